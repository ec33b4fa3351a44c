// The projector zoom: its steps and limits, the window rebuilt with every
// setting and curve, and at 200 % one-pixel lines drawn as sharp two-pixel
// lines (this program runs with Qt's scale factor at 2).
#include "fixture.h"

#include "calculator/keynames.h"
#include "calculator/machine.h"
#include "common/picturebox.h"
#include "common/surface.h"
#include "common/updown.h"
#include "common/zoom.h"
#include "exercises/fichexo.h"
#include "mainwindow/reprise.h"
#include "mainwindow/windows.h"
#include "output/printing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

namespace
{

TEST(Zoom, ReadsAPercentageFrom100To200)
{
    const struct {
        const char *text;
        std::optional<int> zoom;
    } cases[] = {{"150", 150},   {"100", 100}, {"200", 200}, {"125 %", 125},
                 {" 175%", 175}, {"99", {}},   {"201", {}},  {"abc", {}},
                 {"", {}},       {"1.5", {}},  {"-150", {}}, {"150x", {}}};
    for (const auto &c : cases)
        EXPECT_EQ(zoom::parse(QString::fromUtf8(c.text)), c.zoom) << c.text;
}

TEST(Zoom, StepsUpAndDownThroughTheFourSizes)
{
    EXPECT_EQ(zoom::step(100, 1), 125);
    EXPECT_EQ(zoom::step(125, 1), 150);
    EXPECT_EQ(zoom::step(150, 1), 200);
    EXPECT_EQ(zoom::step(200, 1), 200);
    EXPECT_EQ(zoom::step(175, 1), 200);
    EXPECT_EQ(zoom::step(200, -1), 150);
    EXPECT_EQ(zoom::step(175, -1), 150);
    EXPECT_EQ(zoom::step(100, -1), 100);
    EXPECT_EQ(zoom::step(150, 0), 100);
}

TEST(Zoom, ATooLargeZoomComesDownToTheLargestThatFits)
{
    const QSize window(804, 600);
    EXPECT_EQ(zoom::largestFitting(200, QSize(1920, 1200), window), 200);
    EXPECT_EQ(zoom::largestFitting(200, QSize(1920, 1050), window), 150);
    EXPECT_EQ(zoom::largestFitting(200, QSize(1366, 740), window), 100);
    EXPECT_EQ(zoom::largestFitting(150, QSize(1366, 768), window), 125);
    EXPECT_EQ(zoom::largestFitting(175, QSize(1600, 1200), window), 175);
    EXPECT_EQ(zoom::largestFitting(125, QSize(640, 480), window), 100);
}

TEST(Zoom, ARequestGoesToTheHandlerUnlessItChangesNothing)
{
    int asked = 0;
    zoom::setCurrent(100);
    zoom::setHandler([&asked](int z) { asked = z; });
    EXPECT_FALSE(zoom::request(100));
    EXPECT_TRUE(zoom::request(150));
    EXPECT_EQ(asked, 150);
    EXPECT_FALSE(zoom::request(250));
    zoom::setHandler(nullptr);
    EXPECT_FALSE(zoom::request(125));
}

// The zoom keys as a QWERTY and an AZERTY keyboard deliver them to the
// window (as read from X11 with each layout): "+" comes shifted from the main
// row, "0" comes as "à" or shifted on AZERTY, the keypad's with its flag.
TEST_F(MainWindowTest, TheZoomKeysOfEveryLayoutReachTheZoom)
{
    w->show();
    QApplication::setActiveWindow(w.get());
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int zoom;
    } cases[] = {
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 150},   // "+", main row
        {Qt::Key_Equal, Qt::ControlModifier, 150},                      // "=" key unshifted
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 150},  // keypad "+"
        {Qt::Key_Minus, Qt::ControlModifier, 100},                      // "-"
        {Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, 100}, // keypad "-"
        {Qt::Key_0, Qt::ControlModifier, 100},                          // QWERTY "0"
        {Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier, 100},      // AZERTY "0"
        {Qt::Key_Agrave, Qt::ControlModifier, 100},                     // AZERTY "à/0"
        {Qt::Key_0, Qt::ControlModifier | Qt::KeypadModifier, 100},     // keypad "0"
    };
    for (const auto &c : cases) {
        zoom::setCurrent(125);
        int asked = 0;
        zoom::setHandler([&asked](int z) { asked = z; });
        QTest::keyClick(w.get(), c.key, c.mods);
        EXPECT_EQ(asked, c.zoom) << QKeySequence(c.key | c.mods).toString().toStdString();
    }
    zoom::setHandler(nullptr);
    zoom::setCurrent(100);
}

class ZoomWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        // Read once, when the application is made: before anything else here.
        // Another factor may be given to take the screenshots at 150 %.
        if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            qputenv("QT_SCALE_FACTOR", "2");
        MainWindowTest::SetUp();
    }
    bool atTwoHundred() const { return w->devicePixelRatioF() == 2.0; }
    // Saves a window's image when SPECTRO_SCREENSHOTS names a folder.
    static void shot(QWidget *window, const char *name)
    {
        const QString folder = qEnvironmentVariable("SPECTRO_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        const int percent = qRound(window->devicePixelRatioF() * 100);
        window->grab().save(
            QStringLiteral("%1/%2-%3.png").arg(folder).arg(QLatin1String(name)).arg(percent));
    }
};

// A line of the Parts, one logical pixel wide, covers exactly the two device
// rows (or columns) of its pixel, in its full colour.
void expectSharpRow(const QImage &img, int x, int y, const QColor &c)
{
    EXPECT_EQ(QColor(img.pixel(2 * x, 2 * y)), c) << x << "," << y;
    EXPECT_EQ(QColor(img.pixel(2 * x + 1, 2 * y + 1)), c) << x << "," << y;
    EXPECT_NE(QColor(img.pixel(2 * x, 2 * y - 1)), c) << x << "," << y;
    EXPECT_NE(QColor(img.pixel(2 * x, 2 * y + 2)), c) << x << "," << y;
}

void expectSharpColumn(const QImage &img, int x, int y, const QColor &c)
{
    EXPECT_EQ(QColor(img.pixel(2 * x, 2 * y)), c) << x << "," << y;
    EXPECT_EQ(QColor(img.pixel(2 * x + 1, 2 * y + 1)), c) << x << "," << y;
    EXPECT_NE(QColor(img.pixel(2 * x - 1, 2 * y)), c) << x << "," << y;
    EXPECT_NE(QColor(img.pixel(2 * x + 2, 2 * y)), c) << x << "," << y;
}

TEST_F(ZoomWindowTest, AtTwoHundredPercentTheGraphsOnePixelLinesAreSharpTwoPixelLines)
{
    if (!atTwoHundred())
        GTEST_SKIP();
    const Surface &g = w->c.graphik->surface();
    ASSERT_EQ(g.devicePixelRatio(), 2.0);
    const QImage img = g.image();
    ASSERT_EQ(img.size(), QSize(2 * 417, 2 * 361));
    // Horizontal axis (60, 330)-(381, 330) and vertical axis (60, 10)-(60, 330), black.
    expectSharpRow(img, 200, 330, Qt::black);
    expectSharpRow(img, 375, 330, Qt::black);
    expectSharpColumn(img, 60, 100, Qt::black);
    // A vertical grid line of the wavelength graph, x = 97,5 drawn at 98, light grey.
    expectSharpColumn(img, 98, 200, QColor(192, 192, 192));
}

TEST_F(ZoomWindowTest, AtTwoHundredPercentTheSchematicAndTheTabStripAreSharp)
{
    if (!atTwoHundred())
        GTEST_SKIP();
    // The light path's frame (52, 62)-(170, 66) in RGB(100,100,100).
    const QImage schema = w->c.schema->surface().image();
    ASSERT_EQ(schema.size(), QSize(2 * 417, 2 * 129));
    expectSharpRow(schema, 60, 62, QColor(100, 100, 100));
    // The tab strip's outline: its left edge (0, y) is white, its right edge grey.
    w->Onglets_Paint();
    const Surface &s = w->Onglets->surface();
    const QImage strip = s.image();
    const int right = s.width() - 1;
    EXPECT_EQ(QColor(strip.pixel(2 * right, 2 * 100)), qbColor(8));
    EXPECT_EQ(QColor(strip.pixel(2 * right + 1, 2 * 100)), qbColor(8));
    EXPECT_NE(QColor(strip.pixel(2 * right - 1, 2 * 100)), qbColor(8));
}

TEST_F(ZoomWindowTest, EveryWindowIsDrawnAtTheScreensDensity)
{
    const qreal ratio = w->devicePixelRatioF();
    EXPECT_GT(ratio, 1.0);
    // Ten curves on the main window, as a class would see it.
    w->c.Check1->setChecked(true);
    for (int i = 1; i <= 10; ++i) {
        w->c.Text1->setText(QStringLiteral("0,000 ") + QString::number(i));
        w->graph->Command5_Click();
        w->graph->terminer();
    }
    w->show();
    QApplication::processEvents();
    const QPixmap main = w->grab();
    EXPECT_EQ(main.devicePixelRatio(), ratio);
    EXPECT_EQ(main.size(), (QSizeF(w->size()) * ratio).toSize());
    // The painted background is drawn at the screen's density too.
    EXPECT_EQ(w->background.devicePixelRatio(), ratio);
    shot(w.get(), "principale");

    connectWindows(*w);
    Machine calc(w.get());
    nommerTouches(&calc);
    calc.show();
    EXPECT_EQ(calc.grab().devicePixelRatio(), ratio);
    shot(&calc, "calculatrice");
    output::Confimp print(*w, w->graph->store, w.get());
    print.show();
    EXPECT_EQ(print.grab().devicePixelRatio(), ratio);
    shot(&print, "impression");
    Fichexo exo(*w, w.get());
    exo.show();
    QApplication::processEvents();
    EXPECT_EQ(exo.grab().devicePixelRatio(), ratio);
    shot(&exo, "exercices");
}

using RepriseTest = MainWindowTest;

TEST_F(RepriseTest, TheRebuiltWindowHasEverySettingCurveAndTextOfTheOldOne)
{
    // Three superposed curves at different settings, then other settings shown.
    w->c.Check1->setChecked(true);
    const char *concs[] = {"0,000 2", "0,000 5", "0,001"};
    for (const char *c : concs) {
        w->c.Text1->setText(QString::fromUtf8(c));
        w->graph->Command5_Click();
        w->graph->terminer();
    }
    w->c.Combo1->setCurrentIndex(10);
    w->c.Text1->setText(QStringLiteral("0,03"));
    w->Text1_LostFocus();
    w->c.HScroll1->setValue(640);
    w->c.UpDown1->setValue(3);
    w->c.UpDown2->setValue(2);
    w->setOnglet(3);
    w->c.fich->setText(QStringLiteral("/tmp/exercice.E35"));
    w->c.supertext->setReadOnly(false);
    w->c.supertext->setPlainText(QStringLiteral("Ma réponse : A = 0,42"));
    w->textemodif = 1;
    w->corrige = 1;
    w->setWindowTitle(QStringLiteral("Spectrophotométrie - essai.C12"));

    const Reprise r = captureReprise(*w);
    FeuilleP other;
    restoreReprise(other, r);

    EXPECT_EQ(other.c.Combo1->currentIndex(), 10);
    EXPECT_EQ(other.c.Text1->text(), QStringLiteral("0,03"));
    EXPECT_EQ(other.c.HScroll1->value(), 640);
    EXPECT_EQ(other.c.Label7->text(), QStringLiteral("640 nm"));
    EXPECT_EQ(other.c.UpDown1->value(), 3);
    EXPECT_EQ(other.c.Label1->text(), QStringLiteral("1,5 cm"));
    EXPECT_EQ(other.c.UpDown2->value(), 2);
    EXPECT_TRUE(other.c.Check1->isChecked());
    EXPECT_EQ(other.onglet, 3);
    EXPECT_EQ(other.graph->store.dercourbe, 2);
    EXPECT_EQ(other.graph->absaxe, w->graph->absaxe);
    EXPECT_EQ(other.graph->absmaxprec, w->graph->absmaxprec);
    EXPECT_TRUE(other.c.Command6->isEnabled());
    EXPECT_EQ(other.state.absorbance, w->state.absorbance);
    EXPECT_EQ(other.c.Rappo->toPlainText(), w->c.Rappo->toPlainText());
    EXPECT_EQ(other.c.graphik->surface().image(), w->c.graphik->surface().image());
    EXPECT_EQ(other.c.schema->surface().image(), w->c.schema->surface().image());
    EXPECT_EQ(other.c.supertext->toPlainText(), QStringLiteral("Ma réponse : A = 0,42"));
    EXPECT_FALSE(other.c.supertext->isReadOnly());
    EXPECT_EQ(other.c.fich->text(), QStringLiteral("/tmp/exercice.E35"));
    EXPECT_EQ(other.textemodif, 1);
    EXPECT_EQ(other.corrige, 1);
    EXPECT_EQ(other.windowTitle(), QStringLiteral("Spectrophotométrie - essai.C12"));
    // The undo level still works: deleting the last curve restores the scale.
    other.graph->Command6_Click();
    w->graph->Command6_Click();
    EXPECT_EQ(other.graph->store.dercourbe, 1);
    EXPECT_EQ(other.c.graphik->surface().image(), w->c.graphik->surface().image());
}

TEST_F(RepriseTest, AConcentrationGraphComesBackWithItsLimitAndCurves)
{
    w->c.Option1[1]->setChecked(true);
    w->c.Check1->setChecked(true);
    w->graph->Command5_Click();
    w->graph->terminer();
    w->c.HScroll1->setValue(500);
    w->graph->Command5_Click();
    w->graph->terminer();
    const Reprise r = captureReprise(*w);
    FeuilleP other;
    restoreReprise(other, r);
    EXPECT_TRUE(other.c.Option1[1]->isChecked());
    EXPECT_EQ(other.graph->typegraphe, 2);
    EXPECT_EQ(other.graph->store.dercourbe, 1);
    EXPECT_EQ(other.c.Text1->text(), w->c.Text1->text());
    EXPECT_EQ(other.c.Rappo->toPlainText(), w->c.Rappo->toPlainText());
    // The trace drew crosses under its line; the rebuilt graph draws the lines.
    w->graph->echGraph();
    w->graph->retracage(0);
    EXPECT_EQ(other.c.graphik->surface().image(), w->c.graphik->surface().image());
}

} // namespace
