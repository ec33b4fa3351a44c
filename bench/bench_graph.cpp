// Full redraw of ten stored wavelength curves, and the completion of a trace.
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

FeuilleP &window()
{
    static int argc = 1;
    static char arg0[] = "bench";
    static char *argv[] = {arg0, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static QTemporaryDir dir;
    static FeuilleP *w = [] {
        qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
        graph::Graph::nonBlockingTrace = true;
        auto *f = new FeuilleP;
        f->c.Check1->setChecked(true);
        for (int i = 1; i <= 10; ++i) {
            f->c.Text1->setText(QStringLiteral("0,000 ") + QString::number(i));
            f->graph->Command5_Click();
            f->graph->terminer();
        }
        return f;
    }();
    return *w;
}

void BM_RedrawTenCurves(benchmark::State &state)
{
    FeuilleP &w = window();
    for (auto _ : state) {
        w.graph->echGraph();
        w.graph->retracage(0);
    }
}
BENCHMARK(BM_RedrawTenCurves)->Unit(benchmark::kMillisecond);

void BM_TerminerCompletion(benchmark::State &state)
{
    FeuilleP &w = window();
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
    FeuilleP &w = window();
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
