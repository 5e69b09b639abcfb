// One click on Calculate: read the four boxes, search, set the result box.
// The window runs offscreen unless a display platform is chosen.
#include "form1driver.h"
#include "main/form1.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void clickWithHand(benchmark::State &state, const std::vector<std::string> &hand)
{
    Form1 &form = toolkit::form<Form1>();
    form.Show();
    const Form1Driver driver(form);
    driver.setEntries(hand);
    for (auto _ : state)
        driver.calculate();
}

// Every click shows a different result than the one before.
void BM_CalculateClickNewHand(benchmark::State &state)
{
    Form1 &form = toolkit::form<Form1>();
    form.Show();
    const Form1Driver driver(form);
    const std::vector<std::string> hands[] = {{"3", "5", "9", "8"}, {"1", "4", "5", "6"}};
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        driver.setEntries(hands[next]);
        next = 1 - next;
        state.ResumeTiming();
        driver.calculate();
    }
}
BENCHMARK(BM_CalculateClickNewHand)->Unit(benchmark::kMicrosecond);

void BM_CalculateClick(benchmark::State &state)
{
    clickWithHand(state, {"3", "5", "9", "8"});
}
BENCHMARK(BM_CalculateClick)->Unit(benchmark::kMicrosecond);

// The hand with the most solutions.
void BM_CalculateClickTwelves(benchmark::State &state)
{
    clickWithHand(state, {"12", "12", "12", "12"});
}
BENCHMARK(BM_CalculateClickTwelves)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    toolkit::testing::Session session(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
