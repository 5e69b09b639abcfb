// How long one search takes, averaged over all 1,820 hands of whole numbers
// 1..13 (order ignored). Reported per hand; the target is 5 microseconds.
#include "hands.h"
#include "modQuaddle.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

namespace {

void BM_FindSolutionsAllHands(benchmark::State &state)
{
    const auto hands = modQuaddle::allHands();
    for (auto _ : state) {
        for (const auto &hand : hands) {
            std::copy(hand.begin(), hand.end(), modQuaddle::Num.begin() + 1);
            modQuaddle::clearResults();
            modQuaddle::FindSolutions();
            benchmark::DoNotOptimize(modQuaddle::strResult1.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(hands.size()));
    state.counters["per_hand"] =
        benchmark::Counter(static_cast<double>(state.iterations() * hands.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FindSolutionsAllHands)->Unit(benchmark::kMillisecond);

// The worst case for formatting: every shape has hundreds of solutions.
void BM_FindSolutionsTwelves(benchmark::State &state)
{
    modQuaddle::Num = {0, 12, 12, 12, 12};
    for (auto _ : state) {
        modQuaddle::clearResults();
        modQuaddle::FindSolutions();
        benchmark::DoNotOptimize(modQuaddle::strResult1.data());
    }
}
BENCHMARK(BM_FindSolutionsTwelves)->Unit(benchmark::kMicrosecond);

} // namespace
