// One click on Calculate: read the four boxes, search, set the result box.
// The window runs offscreen unless a display platform is chosen.
#include "main/form1.h"
#include "toolkit/toolkit.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

void setHand(Form1 &form, const QStringList &hand)
{
    for (int k = 0; k < 4; ++k)
        form.findChild<QLineEdit *>(QStringLiteral("TxtNum%1").arg(k + 1))->setText(hand.at(k));
}

void clickWithHand(benchmark::State &state, const QStringList &hand)
{
    Form1 &form = toolkit::form<Form1>();
    form.Show();
    setHand(form, hand);
    for (auto _ : state)
        form.cmdJiSuan_Click();
}

// Every click shows a different result than the one before.
void BM_CalculateClickNewHand(benchmark::State &state)
{
    Form1 &form = toolkit::form<Form1>();
    form.Show();
    const QStringList hands[] = {{"3", "5", "9", "8"}, {"1", "4", "5", "6"}};
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setHand(form, hands[next]);
        next = 1 - next;
        state.ResumeTiming();
        form.cmdJiSuan_Click();
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
