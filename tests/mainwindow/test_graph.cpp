#include "fixture.h"

#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/frein.h"
#include "graph/scale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <algorithm>

TEST(Scale, RoundScalesAndLabels)
{
    const struct {
        float absmax;
        float absaxe;
        int n;
        const char *labels;
    } cases[] = {
        {0.45f, 0.5f, 5, "0,1 0,2 0,3 0,4 0,5"},
        {2.345f, 2.4f, 6, "0,4 0,8 1,2 1,6 2 2,4"},
        {3.0f, 3.0f, 6, "0,5 1 1,5 2 2,5 3"},
        {0.996f, 1.0f, 5, "0,2 0,4 0,6 0,8 1"},
        {0.0095f, 0.01f, 5, "0,002 0,004 0,006 0,008 0,01"},
        {2.88f, 3.0f, 6, "0,5 1 1,5 2 2,5 3"},
        {2.477f, 2.5f, 5, "0,5 1 1,5 2 2,5"},
        {0.3f, 0.3f, 6, "0,05 0,1 0,15 0,2 0,25 0,3"},
        {1.0f, 1.0f, 5, "0,2 0,4 0,6 0,8 1"},
        {0.072f, 0.08f, 4, "0,02 0,04 0,06 0,08"},
        {0.13f, 0.14f, 7, "0,02 0,04 0,06 0,08 0,1 0,12 0,14"},
    };
    for (const auto &c : cases) {
        const graph::Scale s = graph::chooseScale(c.absmax);
        EXPECT_FLOAT_EQ(s.absaxe, c.absaxe) << c.absmax;
        EXPECT_EQ(s.n, c.n) << c.absmax;
        QStringList labels;
        for (int i = 1; i <= s.n; ++i)
            labels << graph::graduationLabel(s, i);
        EXPECT_EQ(labels.join(QLatin1Char(' ')), QString::fromLatin1(c.labels)) << c.absmax;
    }
}

TEST_F(MainWindowTest, DefaultCurveAfterAWholeTrace)
{
    traceToEnd();
    graph::Graph &g = *w->graph;
    EXPECT_FALSE(g.tracing());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->c.HScroll1->value(), 800);
    EXPECT_FLOAT_EQ(g.absaxe, 2.5f);
    EXPECT_EQ(w->c.graphik->surface().pixel(154, 32), QColor(0, 0, 255));
    EXPECT_EQ(g.store.dercourbe, 0);
    EXPECT_TRUE(w->c.Rappo->toPlainText().contains(QStringLiteral("Courbe 1.")));
}

TEST_F(MainWindowTest, TerminerCompletesFromWhereTheTraceIs)
{
    graph::Graph &g = *w->graph;
    g.Command5_Click();
    g.Timer1.stop();
    for (int i = 0; i < 100; ++i)
        g.Timer1_Timer();
    g.Timer1.stop();
    EXPECT_EQ(w->c.HScroll1->value(), 500);
    g.terminer();
    EXPECT_FALSE(g.tracing());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->c.HScroll1->value(), 500); // Terminer leaves the wavelength where it was
    EXPECT_EQ(w->c.graphik->surface().pixel(154, 32), QColor(0, 0, 255));
    // The polyline reaches 800 nm: permanganate absorbs nothing there.
    EXPECT_EQ(w->c.graphik->surface().pixel(360, 330), QColor(0, 0, 255));
}

TEST_F(MainWindowTest, ElevenSuperposedTracesKeepTen)
{
    w->c.Check1->setChecked(true);
    graph::Graph &g = *w->graph;
    const QStringList concs = {"0,001",   "0,000 9", "0,000 8", "0,000 7",  "0,000 6", "0,000 5",
                               "0,000 4", "0,000 3", "0,000 2", "0,000 15", "0,000 1"};
    for (const QString &c : concs) {
        w->c.Text1->setText(c);
        g.Command5_Click();
        g.terminer();
    }
    EXPECT_EQ(g.store.dercourbe, 9);
    EXPECT_EQ(g.store.curves[0].conc, QStringLiteral("0,000 9"));
    EXPECT_EQ(g.store.curves[9].conc, QStringLiteral("0,000 1"));
    // A redraw paints slot 0, now the second curve, in blue.
    g.echGraph();
    g.retracage(0);
    // 0,0009 mol/L at 525 nm: A = 2,23 on a 2,5 scale -> y = 62.
    EXPECT_EQ(w->c.graphik->surface().pixel(154, 62), QColor(0, 0, 255));
    // Report: ten paragraphs, the sixth in black.
    const QString text = w->c.Rappo->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Courbe 10.")));
    EXPECT_FALSE(text.contains(QStringLiteral("Courbe 11.")));
}

TEST_F(MainWindowTest, ConcentrationTraceDrawsCrossesThenLines)
{
    graph::Graph &g = *w->graph;
    w->c.HScroll1->setValue(525);
    w->c.Option1[1]->setChecked(true);
    ASSERT_EQ(g.typegraphe, 2);
    g.Command5_Click();
    g.Timer1.stop();
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0"));
    EXPECT_EQ(w->onglet, 1);
    QStringList texts;
    int crosses = 0;
    for (int guard = 0; g.tracing() && guard < 100; ++guard) {
        const QString before = w->c.Text1->text();
        g.Timer1_Timer();
        g.Timer1.stop();
        if (g.Timer2.isActive()) {
            ++crosses;
            texts << before;
            // The last cross, at cmax, is drawn at x = 360 before the redraw.
            if (before == QStringLiteral("0,001 0")) {
                EXPECT_EQ(w->c.graphik->surface().pixel(364, 32), QColor(0, 0, 255));
            }
            while (g.Timer2.isActive())
                g.Timer2_Timer();
        }
    }
    EXPECT_EQ(crosses, 11);
    EXPECT_EQ(texts.first(), QStringLiteral("0"));
    EXPECT_EQ(texts[1], QStringLiteral("0,000 1"));
    EXPECT_EQ(texts.last(), QStringLiteral("0,001 0"));
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,001")); // starting text back
    EXPECT_TRUE(w->isEnabled());
}

TEST_F(MainWindowTest, SmallestConcentrationLimitStillReachesElevenPoints)
{
    graph::Graph &g = *w->graph;
    w->c.Option1[1]->setChecked(true);
    w->c.UpDown2->setValue(1);
    g.Command5_Click();
    g.Timer1.stop();
    int points = 0;
    for (int guard = 0; g.tracing() && guard < 100; ++guard) {
        g.Timer1_Timer();
        g.Timer1.stop();
        if (g.Timer2.isActive()) {
            ++points;
            while (g.Timer2.isActive())
                g.Timer2_Timer();
        }
    }
    EXPECT_EQ(points, 11);
    EXPECT_FALSE(g.tracing());
}

TEST_F(MainWindowTest, ArreterRestoresTheConcentrationText)
{
    graph::Graph &g = *w->graph;
    w->c.Text1->setText(QStringLiteral("0,000 5"));
    w->c.Option1[1]->setChecked(true);
    g.Command5_Click();
    g.Timer1.stop();
    for (int i = 0; i < 3; ++i) {
        g.Timer1_Timer();
        g.Timer1.stop();
        while (g.Timer2.isActive())
            g.Timer2_Timer();
    }
    g.arreter();
    EXPECT_FALSE(g.tracing());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,000 5"));
    EXPECT_EQ(g.compteanim, 25);
}

TEST_F(MainWindowTest, DeleteLastCurveRestoresTheScale)
{
    graph::Graph &g = *w->graph;
    const float before = g.absaxe;
    g.Command5_Click();
    g.terminer();
    ASSERT_TRUE(w->c.Command6->isEnabled());
    ASSERT_FLOAT_EQ(g.absaxe, 2.5f);
    g.Command6_Click();
    EXPECT_EQ(g.store.dercourbe, -1);
    EXPECT_FLOAT_EQ(g.absaxe, before);
    EXPECT_FALSE(w->c.Command6->isEnabled());
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,001"));
    EXPECT_TRUE(w->c.Rappo->toPlainText().trimmed().isEmpty());
}

TEST_F(MainWindowTest, ChangingTheGraphKindAsksOnlyWithTwoCurves)
{
    graph::Graph &g = *w->graph;
    w->c.Check1->setChecked(true);
    g.Command5_Click();
    g.terminer();
    g.choixutil = true;
    w->c.Option1[1]->setChecked(true);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(g.store.dercourbe, -1);
    w->c.Option1[0]->setChecked(true);
    g.Command5_Click();
    g.terminer();
    g.Command5_Click();
    g.terminer();
    g.choixutil = true;
    answers = {msgbox::Answer::Cancel};
    w->c.Option1[1]->setChecked(true);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text,
              QStringLiteral("Le changement de graphe entraîne la perte des courbes tracées."));
    EXPECT_TRUE(w->c.Option1[0]->isChecked());
    EXPECT_EQ(g.store.dercourbe, 1);
    EXPECT_EQ(calls.size(), 1u);
}

// Cancelling the warning leaves the focus on the clicked button: clicking it
// again is the user's change too and must ask again before dropping curves.
TEST_F(MainWindowTest, EveryClickThatWouldDropCurvesAsks)
{
    graph::Graph &g = *w->graph;
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->setOnglet(3);
    QApplication::processEvents();
    w->c.Check1->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        g.Command5_Click();
        g.terminer();
    }
    ASSERT_EQ(g.store.dercourbe, 1);
    calls.clear();
    answers = {msgbox::Answer::Cancel, msgbox::Answer::Cancel, msgbox::Answer::Ok};
    const QString warning =
        QStringLiteral("Le changement de graphe entraîne la perte des courbes tracées.");
    for (int click = 1; click <= 2; ++click) {
        QTest::mouseClick(w->c.Option1[1], Qt::LeftButton);
        ASSERT_EQ(calls.size(), size_t(click));
        EXPECT_EQ(calls.back().text, warning);
        EXPECT_TRUE(w->c.Option1[0]->isChecked());
        EXPECT_EQ(g.store.dercourbe, 1);
        EXPECT_EQ(g.typegraphe, 1);
    }
    QTest::mouseClick(w->c.Option1[1], Qt::LeftButton);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_TRUE(w->c.Option1[1]->isChecked());
    EXPECT_EQ(g.store.dercourbe, -1);
    EXPECT_EQ(g.typegraphe, 2);
}

TEST_F(MainWindowTest, PointerReadout)
{
    w->show();
    graph::Graph &g = *w->graph;
    g.graphik_MouseMove(61, 100);
    EXPECT_EQ(w->c.Labeli[0]->text(), QStringLiteral(" 401 nm "));
    EXPECT_TRUE(w->c.Labeli[0]->isVisible());
    g.graphik_MouseMove(62, 100);
    EXPECT_EQ(w->c.Labeli[0]->text(), QStringLiteral(" 403 nm "));
    g.graphik_MouseMove(360, 30);
    EXPECT_EQ(w->c.Labeli[0]->text(), QStringLiteral(" 800 nm "));
    EXPECT_EQ(w->c.info->text(), QStringLiteral("Paramétrer le graphe depuis l'onglet Graphe"));
    g.graphik_MouseMove(361, 100);
    EXPECT_FALSE(w->c.Labeli[0]->isVisible());
    EXPECT_FALSE(w->c.Labeli[1]->isVisible());
}

// The pointer reads the absorbance as the readout rounds it: 1,025 on a 2,5
// scale (y = 207) is 1,03, as by hand.
TEST_F(MainWindowTest, PointerReadoutRoundsAsTheReadout)
{
    w->show();
    graph::Graph &g = *w->graph;
    g.absaxe = 2.5f;
    const std::pair<int, const char *> cases[] = {
        {207, " 1,03 "}, {210, " 1,0 "}, {329, " 0,008 33 "}};
    for (const auto &[y, text] : cases) {
        g.graphik_MouseMove(100, y);
        EXPECT_EQ(w->c.Labeli[1]->text(), QString::fromLatin1(text)) << y;
    }
}

TEST_F(MainWindowTest, TracingWindowHighlight)
{
    graph::Graph &g = *w->graph;
    g.Command5_Click();
    graph::Frein *fr = g.frein();
    ASSERT_NE(fr, nullptr);
    fr->pointerAt(fr->Command1->geometry().center());
    EXPECT_EQ(fr->state(0), 1);
    EXPECT_EQ(fr->state(1), 0);
    fr->pointerAt(fr->command2->geometry().center());
    EXPECT_EQ(fr->state(0), 0);
    EXPECT_EQ(fr->state(1), 1);
    fr->pointerAt(QPoint(1, 1));
    EXPECT_EQ(fr->state(1), 0);
    g.arreter();
}

// A curve traced live, one completed by "Terminer" and the redraw of the
// stored curve put every point on the same pixel, for every solution.
TEST_F(MainWindowTest, LiveCompletedAndRedrawnCurvesAreTheSamePixels)
{
    graph::Graph &g = *w->graph;
    const auto image = [this] { return w->c.graphik->surface().image().copy(); };
    const auto redrawn = [&] {
        g.echGraph();
        g.retracage(0);
        return image();
    };
    for (int sol = 0; sol < 14; ++sol) {
        SCOPED_TRACE(sol);
        w->c.Combo1->setCurrentIndex(sol);

        // Absorbance against wavelength: live to the end, live then completed.
        w->c.Option1[0]->setChecked(true);
        g.Command3_Click();
        traceToEnd();
        const QImage live = image();
        EXPECT_TRUE(live == redrawn()) << "redraw differs from the live trace";
        g.Command3_Click();
        g.Command5_Click();
        g.Timer1.stop();
        for (int i = 0; i < 150; ++i)
            g.Timer1_Timer();
        g.Timer1.stop();
        g.terminer();
        EXPECT_TRUE(image() == live) << "completed curve differs from the live trace";

        // Absorbance against concentration, at the solution's maximum: the
        // live trace measures eleven points, drawn as crosses, which must lie
        // on the computed curve's vertices.
        int peak = 0;
        for (int i = 1; i < spectro::kSpectrumSize; ++i) {
            if (w->state.spectre[i] > w->state.spectre[peak])
                peak = i;
        }
        w->c.HScroll1->setValue(400 + peak);
        w->c.Option1[1]->setChecked(true);
        ASSERT_EQ(g.typegraphe, 2);
        g.Command3_Click();
        g.Command5_Click();
        g.terminer();
        const QImage completed = image();
        EXPECT_TRUE(completed == redrawn()) << "redraw differs from the completed curve";
        g.Command3_Click();
        g.Command5_Click();
        g.Timer1.stop();
        std::vector<std::pair<float, float>> measured; // concentration, absorbance
        for (int guard = 0; g.tracing() && guard < 100; ++guard) {
            g.Timer1_Timer();
            g.Timer1.stop();
            if (g.Timer2.isActive()) {
                measured.emplace_back(float(*numfmt::readNumber(w->c.Text1->text())),
                                      w->state.absorbance);
                while (g.Timer2.isActive())
                    g.Timer2_Timer();
            }
        }
        ASSERT_EQ(measured.size(), 11u);
        const auto points = g.curvePoints(0);
        for (const auto &[c, a] : measured) {
            const auto on = std::find_if(points.begin(), points.end(),
                                         [c = c](const auto &p) { return p.first == double(c); });
            ASSERT_NE(on, points.end()) << c;
            EXPECT_EQ(on->second, a) << c;
            const QPoint centre(numfmt::cint(graph::xConc(c, w->c.UpDown2->value())),
                                numfmt::cint(graph::yAbs(a, g.absaxe)));
            EXPECT_EQ(completed.pixelColor(centre * completed.devicePixelRatio()),
                      graph::curveColour(0))
                << c;
        }
        w->c.Text1->setText(QStringLiteral("0,001"));
        w->Text1_LostFocus();
    }
}
