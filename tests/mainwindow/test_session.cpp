// A change of zoom while the program runs: the application and its window
// are built again at the new zoom with every setting and curve kept.
#include "app/session.h"

#include "common/msgbox.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "common/zoom.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

TEST(Session, CtrlPlusRebuildsTheWindowAtTheNextZoomWithItsSettingsAndCurves)
{
    QTemporaryDir dir;
    qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    graph::Graph::nonBlockingTrace = true;
    msgbox::handler = [](const msgbox::Call &) { return msgbox::Answer::Ok; };

    struct Seen {
        int zoom = 0;
        qreal ratio = 0;
        int curves = -2, lambda = 0, cuve = 0;
        QString conc;
        QImage graph;
    };
    std::vector<Seen> lives;
    QImage before;
    Session s;
    s.zoom = 100;
    s.fitToScreen = false;
    s.onShown = [&](FeuilleP &w, int life) {
        if (life == 0) {
            // The first trace, a second one superposed, other settings shown.
            w.graph->terminer();
            w.c.Check1->setChecked(true);
            w.c.Text1->setText(QStringLiteral("0,000 4"));
            w.graph->Command5_Click();
            w.graph->terminer();
            w.c.HScroll1->setValue(650);
            w.c.UpDown1->setValue(3);
            before = w.c.graphik->surface().image();
            // The window manager gives the activation back after the trace.
            QApplication::setActiveWindow(&w);
            QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
            // Without a rebuild the loop would never end.
            QTimer::singleShot(5000, [] { QApplication::exit(1); });
            return;
        }
        Seen seen;
        seen.zoom = zoom::current();
        seen.ratio = w.devicePixelRatioF();
        seen.curves = w.graph->store.dercourbe;
        seen.lambda = w.c.HScroll1->value();
        seen.cuve = w.c.UpDown1->value();
        seen.conc = w.c.Text1->text();
        seen.graph = w.c.graphik->surface().image();
        lives.push_back(seen);
        QApplication::exit(0);
    };
    int argc = 1;
    char arg0[] = "spectro";
    char *argv[] = {arg0, nullptr};
    EXPECT_EQ(runSession(argc, argv, s), 0);
    msgbox::handler = nullptr;

    ASSERT_EQ(lives.size(), 1u);
    const Seen &z = lives[0];
    EXPECT_EQ(z.zoom, 125);
    EXPECT_DOUBLE_EQ(z.ratio, 1.25);
    EXPECT_EQ(z.curves, 1);
    EXPECT_EQ(z.lambda, 650);
    EXPECT_EQ(z.cuve, 3);
    EXPECT_EQ(z.conc, QStringLiteral("0,000 4"));
    // Drawn again at the new density, not enlarged: 417 x 361 at 1,25.
    EXPECT_EQ(z.graph.size(), QSize(522, 452));
    // The same curves: as many pixels of the first curve's blue, give or take
    // the new density.
    int blueBefore = 0, blueAfter = 0;
    for (int y = 30; y <= 330; ++y)
        for (int x = 61; x <= 360; ++x) {
            blueBefore += before.pixelColor(x, y) == QColor(0, 0, 255);
            blueAfter += z.graph.pixelColor(x * 5 / 4, y * 5 / 4).blue() > 200 &&
                         z.graph.pixelColor(x * 5 / 4, y * 5 / 4).red() < 60;
        }
    EXPECT_GT(blueBefore, 300);
    EXPECT_GT(blueAfter, blueBefore / 2);
}

} // namespace
