// Faults that the random use and the fuzzers found, each kept as a test of
// its own: the main window built offscreen, its timers left running in real
// time where the fault needs them.
#include "../mainwindow/fixture.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "graph/frein.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class Found : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        w->show();
    }
    // Runs the event loop until done() or the time limit (ms).
    template <typename F> bool runUntil(F done, int limit)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < limit)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
};

} // namespace

// Closing the tracing window in the middle of a concentration point's
// animation: the next tick must end the trace. It used to wait for an
// animation that no longer runs, so the trace timer ticked for ever, drawing
// a cross at each tick, and the concentration text was never given back.
TEST_F(Found, ClosingTheTracingWindowDuringTheAnimationEndsTheTrace)
{
    graph::Graph &g = *w->graph;
    w->c.Option1[1]->setChecked(true);
    w->c.Text1->setText(QStringLiteral("0,002"));
    g.Timer1.blockSignals(true);
    g.Timer2.blockSignals(true);
    g.Command5_Click();
    g.Timer1_Timer(); // first point plotted, its animation starts
    ASSERT_TRUE(g.Timer2.isActive());
    ASSERT_LT(g.compteanim, 25);
    g.frein()->close();
    ASSERT_FALSE(g.tracing());
    g.Timer1_Timer();
    EXPECT_FALSE(g.Timer1.isActive());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,002"));
}

// A concentration trace run by its timers: the trace timer (25 ms) must not
// hold back the animation timer (50 ms) it switches on at each tick, or the
// cuvette never moves and the trace never leaves its first point.
TEST_F(Found, ConcentrationTraceMovesOnInRealTime)
{
    graph::Graph &g = *w->graph;
    w->c.Option1[1]->setChecked(true);
    g.Command5_Click();
    ASSERT_TRUE(g.tracing());
    // 25 frames of 50 ms for the first point; the limit only bounds a hang.
    const bool moved = runUntil([&] { return w->c.Text1->text() != QStringLiteral("0"); }, 20000);
    EXPECT_TRUE(moved) << "compteanim " << g.compteanim;
    g.arreter();
    EXPECT_FALSE(g.tracing());
}
