// Full redraw of ten stored wavelength curves, and the completion of a trace.
#include "bench/benchwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

void BM_RedrawTenCurves(benchmark::State &state)
{
    FeuilleP &w = bench::tenCurves();
    for (auto _ : state) {
        w.graph->echGraph();
        w.graph->retracage(0);
    }
}
BENCHMARK(BM_RedrawTenCurves)->Unit(benchmark::kMillisecond);

void BM_TerminerCompletion(benchmark::State &state)
{
    FeuilleP &w = bench::tenCurves();
    for (auto _ : state) {
        state.PauseTiming();
        w.graph->store.dercourbe = 8;
        w.graph->Command5_Click();
        state.ResumeTiming();
        w.graph->terminer();
    }
}
BENCHMARK(BM_TerminerCompletion)->Unit(benchmark::kMillisecond);

// A whole wavelength trace in real time: 401 ticks of the 25 ms timer.
void BM_RealTimeWavelengthTrace(benchmark::State &state)
{
    FeuilleP &w = bench::tenCurves();
    w.c.Check1->setChecked(false);
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(w.graph.get(), &graph::Graph::traceFinished, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        w.graph->Command5_Click();
        loop.exec();
        state.counters["ms_per_tick"] = double(t.elapsed()) / 401.0;
    }
}
BENCHMARK(BM_RealTimeWavelengthTrace)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
