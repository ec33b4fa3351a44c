// Adding a measured point on a concentration graph with ten stored curves and
// twenty points: the point is recorded and the whole graph redrawn (axes, ten
// curves, the points and the line), which must fit in one 60 Hz frame.
#include "calibration/session.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include "bench/benchwindow.h"
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{

struct Setup {
    FeuilleP *w = nullptr;
    calib::Session *s = nullptr;
};

Setup &setup()
{
    static Setup st = [] {
        Setup r;
        r.w = bench::newWindow();
        r.s = calib::Session::install(*r.w);
        r.w->c.Option1[1]->setChecked(true);
        r.w->c.HScroll1->setValue(525);
        r.w->c.Check1->setChecked(true);
        // Ten curves at ten wavelengths.
        for (int i = 0; i < 10; ++i) {
            r.w->c.HScroll1->setValue(450 + 10 * i);
            r.w->graph->Command5_Click();
            r.w->graph->terminer();
        }
        r.w->c.HScroll1->setValue(525);
        // Twenty standards.
        for (int i = 1; i <= 20; ++i) {
            r.w->c.Text1->setText(QStringLiteral("0,000 0") + QString::number(i * 4 + 10));
            r.w->Text1_LostFocus();
            r.s->measure();
        }
        return r;
    }();
    return st;
}

void BM_AddPointAndRedraw(benchmark::State &state)
{
    Setup &st = setup();
    for (auto _ : state) {
        st.s->measure(); // records the point and redraws everything
        state.PauseTiming();
        st.s->points.removeLast();
        state.ResumeTiming();
    }
    state.counters["points"] = double(st.s->points.size() + 1);
    state.counters["curves"] = double(st.w->graph->store.dercourbe + 1);
}
BENCHMARK(BM_AddPointAndRedraw)->Unit(benchmark::kMillisecond);

void BM_OverlayOnly(benchmark::State &state)
{
    Setup &st = setup();
    QImage img(417, 361, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        st.s->paint(p);
    }
}
BENCHMARK(BM_OverlayOnly)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
