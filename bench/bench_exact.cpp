// The command-line solver's exact searches: the five slots in exact fractions
// and every distinct solution, over all 1,820 hands, and every solution of six
// numbers. Compare with bench_findsolutions, the single-precision search.
#include "everysolution.h"
#include "exactsearch.h"
#include "hands.h"
#include "modQuaddle.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using modQuaddle::HandNumber;
using modQuaddle::Rational;

std::vector<std::vector<HandNumber>> everyHand()
{
    std::vector<std::vector<HandNumber>> hands;
    for (const modQuaddle::Hand &hand : modQuaddle::allHands()) {
        std::vector<HandNumber> numbers;
        for (const float number : hand)
            numbers.push_back({Rational(static_cast<long long>(number)),
                               std::to_string(static_cast<int>(number))});
        hands.push_back(numbers);
    }
    return hands;
}

void BM_ExactAllHands(benchmark::State &state)
{
    std::vector<modQuaddle::ExactHand> hands;
    for (const auto &numbers : everyHand()) {
        modQuaddle::ExactHand hand;
        for (std::size_t k = 0; k < 4; ++k) {
            hand.values[k] = numbers[k].value;
            hand.texts[k] = numbers[k].text;
        }
        hands.push_back(hand);
    }
    for (auto _ : state) {
        for (const auto &hand : hands) {
            modQuaddle::clearResults();
            modQuaddle::FindSolutionsExact(hand);
            benchmark::DoNotOptimize(modQuaddle::strResult1.data());
        }
    }
}
BENCHMARK(BM_ExactAllHands)->Unit(benchmark::kMillisecond);

void BM_EveryAllHands(benchmark::State &state)
{
    const auto hands = everyHand();
    for (auto _ : state) {
        for (const auto &hand : hands)
            benchmark::DoNotOptimize(modQuaddle::FindEverySolution(hand));
    }
}
BENCHMARK(BM_EveryAllHands)->Unit(benchmark::kMillisecond);

void BM_EverySixNumbers(benchmark::State &state)
{
    std::vector<HandNumber> numbers;
    for (int k = 1; k <= 6; ++k)
        numbers.push_back({Rational(k), std::to_string(k)});
    for (auto _ : state)
        benchmark::DoNotOptimize(modQuaddle::FindEverySolution(numbers));
}
BENCHMARK(BM_EverySixNumbers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
