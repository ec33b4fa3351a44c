// Text that reaches the number boxes other than by typed keys, and the clicks
// that end an edit.
#include "fixture.h"

#include "common/picturebox.h"
#include "common/updown.h"
#include "model/absorbance.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace
{

class InputTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    // Gives box the focus with all of its text selected.
    void select(QLineEdit *box)
    {
        w->setOnglet(1);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        box->setFocus();
        box->selectAll();
        QApplication::processEvents();
        ASSERT_TRUE(box->hasFocus());
    }
    QString readout() const
    {
        const auto r = spectro::computeAbsorbance(w->state.spectre, w->c.Text1->text(),
                                                  w->c.HScroll1->value(), w->c.UpDown1->value());
        EXPECT_FLOAT_EQ(w->state.absorbance, r ? r->absorbance : -1) << "readout not refreshed";
        return r ? r->text : QString();
    }
};

const QString kPasted = QStringLiteral("abc0.5 x\n");

TEST_F(InputTest, PastedTextGoesThroughTheKeyFilter)
{
    QGuiApplication::clipboard()->setText(kPasted);
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}) {
        SCOPED_TRACE(keys.toString().toStdString());
        select(w->c.Text1);
        QTest::keySequence(w->c.Text1, keys);
        EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,5"));
    }

    // The box's own menu: its "Coller" pastes through the filter too.
    w->c.Combo1->setCurrentIndex(0); // an indicator, with its pH box
    select(w->c.Text2);
    QGuiApplication::clipboard()->setText(QStringLiteral("pH = 8.5"));
    bool pasted = false;
    QTimer::singleShot(0, w.get(), [&pasted] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;

        for (QAction *a : menu->actions()) {
            const bool isPaste = a->objectName() == QLatin1String("edit-paste") ||
                                 a->text().section(QLatin1Char('\t'), 0, 0) ==
                                     QCoreApplication::translate("QLineEdit", "&Paste");
            if (isPaste && a->isEnabled()) {
                a->trigger();
                pasted = true;
            }
        }
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                w->c.Text2->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w->c.Text2, &menuEvent);
    EXPECT_TRUE(pasted);
    EXPECT_EQ(w->c.Text2->text(), QStringLiteral("8,5"));

    // Nothing acceptable: the box keeps its text.
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    select(w->c.Text1);
    w->c.Text1->setText(QStringLiteral("0,002"));
    w->c.Text1->end(false);
    QTest::keySequence(w->c.Text1, QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,002"));

    // A middle click pastes the selection where the platform has one.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        clipboard->setText(kPasted, QClipboard::Selection);
        select(w->c.Text1);
        w->c.Text1->clear();
        QTest::mouseClick(w->c.Text1, Qt::MiddleButton);
        EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,5"));
    }
    // Nor can text be dropped in.
    EXPECT_FALSE(w->c.Text1->acceptDrops());
    EXPECT_FALSE(w->c.Text2->acceptDrops());
}

// On the original platform a picture box takes the focus when clicked: a
// click on the graph, the schematic, the tab strip or the bare window ends the
// edit and runs the box's check.
TEST_F(InputTest, AClickAnywhereEndsTheEdit)
{
    const QPoint background(428, 100);
    ASSERT_EQ(w->childAt(background), nullptr);
    const struct {
        const char *name;
        QWidget *widget;
        QPoint at;
    } targets[] = {
        {"graph", w->c.graphik, QPoint(200, 200)},
        {"schematic", w->c.schema, QPoint(200, 20)},
        {"tab strip", w->Onglets, QPoint(10, 5)},
        {"window", w.get(), background},
    };
    for (const auto &t : targets) {
        SCOPED_TRACE(t.name);
        select(w->c.Text1);
        QTest::keyClicks(w->c.Text1, QStringLiteral("0,5"));
        ASSERT_EQ(w->c.Text1->text(), QStringLiteral("0,5"));
        QTest::mouseClick(t.widget, Qt::LeftButton, {}, t.at);
        EXPECT_FALSE(w->c.Text1->hasFocus());
        EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,1"));
        EXPECT_EQ(readout(), QStringLiteral("----"));
        w->c.Text1->setText(QStringLiteral("0,001"));
        w->Text1_LostFocus();
    }
}

// A number too large for a double is huge, not unreadable: it goes to the
// upper limit, not the lower one.
TEST_F(InputTest, HugeNumbersGoToTheUpperLimit)
{
    const QString nines(309, QLatin1Char('9'));
    w->c.Combo1->setCurrentIndex(0);
    for (const QString &text : {nines, nines + nines, nines + QStringLiteral(",5")}) {
        SCOPED_TRACE(text.size());
        w->c.Text1->setText(text);
        w->Text1_LostFocus();
        EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,1"));
        w->c.Text2->setText(text);
        w->Text2_LostFocus();
        EXPECT_EQ(w->c.Text2->text(), QStringLiteral("12,0"));
    }
    // And a tiny one is tiny.
    const QString tiny = QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1');
    w->c.Text1->setText(tiny);
    w->Text1_LostFocus();
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,000 001"));
}

} // namespace
