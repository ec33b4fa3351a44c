// The whole program by keyboard: every key goes where a real keyboard sends
// it (the open pop-up menu, else the focused widget of the active window).
#include "fixture.h"

#include "common/focusring.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/frein.h"
#include "mainwindow/appareil.h"
#include "mainwindow/windows.h"
#include "model/samples.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace
{

QWidget *keyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal->focusWidget() ? modal->focusWidget() : modal;
    if (QWidget *f = QApplication::focusWidget())
        return f;
    return QApplication::activeWindow();
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *t = keyTarget();
    ASSERT_NE(t, nullptr);
    QTest::keyClick(t, k, mods);
    QApplication::processEvents();
}

void type(const QString &text)
{
    QTest::keyClicks(keyTarget(), text);
    QApplication::processEvents();
}

class KeyboardTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        connectWindows(*w);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    // Tab until the focus is on the widget, at most n presses.
    // The window manager gives the activation back when the tracing window closes.
    void backToMainWindow()
    {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void tabTo(QWidget *target, int n = 40, bool back = false)
    {
        for (int i = 0; i < n && QApplication::focusWidget() != target; ++i)
            key(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_EQ(QApplication::focusWidget(), target);
    }
};

TEST_F(KeyboardTest, AMeasurementATraceAndACopyOfTheGraphWithKeysOnly)
{
    EXPECT_EQ(QApplication::focusWidget(), w->Command2);

    // The tab strip comes right after the command row.
    for (int i = 0; i < 7; ++i)
        key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->Onglets);
    EXPECT_EQ(w->onglet, 1);
    key(Qt::Key_Right);
    EXPECT_EQ(w->onglet, 2);
    key(Qt::Key_Left);
    EXPECT_EQ(w->onglet, 1);

    // Solution: from permanganate (position 8) down to position 10.
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->c.Combo1);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(w->c.Combo1->currentIndex(), 10);
    const QString solution = w->c.Combo1->currentText();

    // Concentration, with the point typed as a decimal comma.
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->c.Text1);
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("0.02"));
    key(Qt::Key_Return);
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,02"));

    // The instrument's tab from anywhere, then its two controls.
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->onglet, 2);
    EXPECT_TRUE(w->frame2->isVisible());
    tabTo(w->c.HScroll1);
    key(Qt::Key_End);
    EXPECT_EQ(w->c.HScroll1->value(), 800);
    key(Qt::Key_Home);
    EXPECT_EQ(w->c.HScroll1->value(), 400);
    key(Qt::Key_PageUp);
    key(Qt::Key_PageUp);
    EXPECT_EQ(w->c.HScroll1->value(), 450);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Left);
    EXPECT_EQ(w->c.HScroll1->value(), 451);
    EXPECT_EQ(w->c.Label7->text(), QStringLiteral("451 nm"));
    key(Qt::Key_PageDown);
    EXPECT_EQ(w->c.HScroll1->value(), 426);
    EXPECT_EQ(w->longueurOnde, 426);

    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->c.UpDown1);
    key(Qt::Key_Up);
    EXPECT_EQ(w->c.UpDown1->value(), 3);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("1,5 cm"));
    key(Qt::Key_Up); // already at its top
    EXPECT_EQ(w->c.UpDown1->value(), 3);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("0,5 cm"));
    key(Qt::Key_Up);
    EXPECT_EQ(w->c.Label1->text(), QStringLiteral("1 cm"));

    // The keyboard's focus is shown round the focused control.
    EXPECT_TRUE(FocusRing::instance().keyboardMode());
    EXPECT_EQ(FocusRing::instance().target(), w->c.UpDown1);

    // "Tracer" from its button, then "Terminer" by Enter in the tracing window.
    tabTo(w->c.Command5);
    key(Qt::Key_Space);
    graph::Frein *frein = w->graph->frein();
    ASSERT_NE(frein, nullptr);
    ASSERT_TRUE(w->graph->tracing());
    EXPECT_EQ(w->graph->store.dercourbe, 0);
    EXPECT_EQ(w->graph->store.curves[0].conc, QStringLiteral("0,02"));
    EXPECT_EQ(w->graph->store.curves[0].cuve, 2);
    EXPECT_EQ(w->graph->store.curves[0].sol, 10);
    w->graph->Timer1.stop();
    key(Qt::Key_Return);
    EXPECT_FALSE(w->graph->tracing());
    EXPECT_TRUE(w->isEnabled());
    backToMainWindow();
    EXPECT_EQ(QApplication::focusWidget(), w->c.Command5);
    // The curve reaches 800 nm: its last point in the first curve colour.
    const Surface &g = w->c.graphik->surface();
    int blue = 0;
    for (int y = 30; y <= 330; ++y)
        blue += g.pixel(360, y) == QColor(0, 0, 255);
    EXPECT_GE(blue, 1);
    EXPECT_NE(w->c.Rappo->toPlainText().indexOf(solution.section(QLatin1Char(' '), -1)), -1);

    // A second trace by its key, stopped by Escape where it is.
    w->c.Check1->setChecked(true);
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(w->graph->tracing());
    w->graph->Timer1.stop();
    for (int i = 0; i < 5; ++i)
        w->graph->Timer1_Timer();
    w->graph->Timer1.stop();
    key(Qt::Key_Escape);
    EXPECT_FALSE(w->graph->tracing());
    EXPECT_EQ(w->c.HScroll1->value(), 405);
    EXPECT_EQ(w->graph->store.dercourbe, 1);
    backToMainWindow();

    // Delete that last curve by its key: the button is disabled afterwards.
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(w->graph->store.dercourbe, 0);
    EXPECT_FALSE(w->c.Command6->isEnabled());

    // Copy the graph: Alt+P opens the copy menu under its button, the arrows
    // walk it (the separator is skipped) and Enter chooses.
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    QPoint menuAt;
    QTimer::singleShot(300, [&menuAt] {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            return;
        menuAt = popup->pos();
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
    });
    key(Qt::Key_P, Qt::AltModifier);
    QTest::qWait(400);
    EXPECT_EQ(menuAt, w->Command4->mapToGlobal(QPoint(0, w->Command4->height())));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasImage());
    const QImage copied = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              g.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(w->c.info->text(), w->msgcopie);
}

TEST_F(KeyboardTest, TheTabStripCyclesAndTheGraphLimitFollowsTheArrows)
{
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->onglet, 3);
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->onglet, 1);
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w->onglet, 3);
    tabTo(w->c.UpDown2);
    key(Qt::Key_Down);
    EXPECT_EQ(w->c.UpDown2->value(), 2);
    EXPECT_EQ(w->c.Label2->text(), QStringLiteral("-4"));
    key(Qt::Key_End);
    EXPECT_EQ(w->c.Label2->text(), QStringLiteral("-1"));
}

TEST_F(KeyboardTest, AClickHidesTheFocusFrameAndTakesNoFocusFromTheNumberBox)
{
    w->c.Text1->setFocus();
    QTest::mouseClick(w->c.UpDown1->findChildren<QWidget *>().value(0), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w->c.Text1);
    key(Qt::Key_Tab);
    EXPECT_NE(FocusRing::instance().target(), nullptr);
    QTest::mouseClick(w->Onglets, Qt::LeftButton, {}, QPoint(2, 40));
    QApplication::processEvents();
    EXPECT_EQ(FocusRing::instance().target(), nullptr);
}

// What a pupil clicks takes the keys: the scroll bar's arrows then move the
// wavelength, the tab strip's the tabs, and the edit of a number box ends.
TEST_F(KeyboardTest, AClickedScrollBarOrTabStripTakesTheKeys)
{
    w->setOnglet(2);
    QApplication::processEvents();
    w->c.HScroll1->setValue(500);
    w->c.Text1->setFocus();
    QTest::mouseClick(w->c.HScroll1, Qt::LeftButton, {},
                      QPoint(w->c.HScroll1->width() / 2, w->c.HScroll1->height() / 2));
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w->c.HScroll1);
    const int after = w->c.HScroll1->value();
    key(Qt::Key_Right);
    EXPECT_EQ(w->c.HScroll1->value(), after + 1);
    key(Qt::Key_Home);
    EXPECT_EQ(w->c.HScroll1->value(), 400);

    QTest::mouseClick(w->Onglets, Qt::LeftButton, {}, QPoint(10, 5));
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w->Onglets);
    const int tab = w->onglet;
    key(Qt::Key_Right);
    EXPECT_NE(w->onglet, tab);
}

// The controls that come with the real instrument and the calibration
// practical take their place in the reading order: the mixture's composition
// after the concentration, "Mesurer" after the graph's buttons, the
// instrument's bar after the exercise text; a reader names its boxes.
TEST_F(KeyboardTest, TheAddedControlsComeInReadingOrder)
{
    Appareil &a = *w->appareil;
    a.setRealMode(true);
    a.setExtended(true);
    w->setOnglet(1);
    w->c.Combo1->setCurrentIndex(spectro::kMixtureIndex);
    Q_EMIT w->c.Combo1->activated(spectro::kMixtureIndex);
    key(Qt::Key_M, Qt::ControlModifier);
    backToMainWindow();
    auto *mesurer = w->c.graphik->findChild<QPushButton *>(QStringLiteral("mesurer"));
    ASSERT_NE(mesurer, nullptr);
    ASSERT_TRUE(mesurer->isVisible());
    ASSERT_TRUE(a.compositionButton()->isVisible());

    tabTo(w->c.Combo1);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->c.Text1);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), a.compositionButton());
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->c.Command5);
    tabTo(w->c.Command3, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), mesurer);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->c.schema);

    tabTo(w->c.supertext, 6);
    key(Qt::Key_Tab);
    QWidget *first = QApplication::focusWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), a.bar());
    EXPECT_EQ(qobject_cast<QPushButton *>(first)->text(), QStringLiteral("Faire le blanc"));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->c.supertext);

    QStringList names;
    for (QAbstractSpinBox *box : a.bar()->findChildren<QAbstractSpinBox *>())
        names << QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name);
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("Bande passante"), QStringLiteral("Lumière parasite"),
                           QStringLiteral("Graine du bruit")}));
}

} // namespace
