// Configurations saved and loaded through the real main window.
#include "fixture.h"

#include "common/picturebox.h"
#include "common/updown.h"
#include "config/configfile.h"
#include "model/absorbance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace
{
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST_F(MainWindowTest, SaveThenLoadRestoresTheControlsAndEmptiesTheGraph)
{
    w->c.Option1[1]->setChecked(true);
    w->c.Check1->setChecked(true);
    w->c.Combo1->setCurrentIndex(0); // bromothymol blue
    w->c.Text2->setText(QStringLiteral("8,5"));
    w->c.HScroll1->setValue(550);
    w->c.UpDown1->setValue(3);
    w->c.Text1->setText(QStringLiteral("0,000 5"));
    w->nomfichier = dir.filePath(QStringLiteral("essai.C12"));
    ASSERT_TRUE(ecrireConfig(*w));
    const QByteArray bytes = readAll(w->nomfichier);
    ASSERT_EQ(bytes.size(), 1152);
    EXPECT_EQ(bytes.mid(640, 6), QByteArray("\x04\x00 550", 6));
    EXPECT_EQ(bytes.mid(768, 4), QByteArray("\x02\x00 3", 4));
    EXPECT_EQ(bytes.mid(896, 4), QByteArray("\x02\x00 0", 4));
    EXPECT_EQ(bytes.mid(1024, 9), QByteArray("\x07\x00"
                                             "0,000 5",
                                             9));
    EXPECT_EQ(w->windowTitle(),
              QStringLiteral("Spectrophotométrie - ") + QDir::toNativeSeparators(w->nomfichier));

    auto other = std::make_unique<FeuilleP>();
    other->graph->Command5_Click();
    other->graph->terminer();
    ASSERT_EQ(other->graph->store.dercourbe, 0);
    other->nomfichier = w->nomfichier;
    ASSERT_TRUE(chargeconfig(*other));
    EXPECT_TRUE(other->c.Option1[1]->isChecked());
    EXPECT_FALSE(other->c.Option1[0]->isChecked());
    EXPECT_TRUE(other->c.Check1->isChecked());
    EXPECT_EQ(other->c.Combo1->currentIndex(), 0);
    EXPECT_EQ(other->c.Text2->text(), QStringLiteral("8,5"));
    EXPECT_FALSE(other->c.Text2->isHidden());
    EXPECT_EQ(other->c.HScroll1->value(), 550);
    EXPECT_EQ(other->c.Label7->text(), QStringLiteral("550 nm"));
    EXPECT_EQ(other->c.UpDown1->value(), 3);
    EXPECT_EQ(other->c.Text1->text(), QStringLiteral("0,000 5"));
    EXPECT_EQ(other->graph->store.dercourbe, -1);
    EXPECT_EQ(other->graph->typegraphe, 2);
    EXPECT_EQ(other->windowTitle(),
              QStringLiteral("Spectrophotométrie - ") + QDir::toNativeSeparators(w->nomfichier));
    // The readout follows the loaded settings.
    EXPECT_EQ(other->state.numsol, 12);
}

TEST_F(MainWindowTest, LoadingAnotherGraphKindWarnsWhenCurvesWouldBeLost)
{
    w->c.Option1[1]->setChecked(true);
    w->nomfichier = dir.filePath(QStringLiteral("conc.C12"));
    ASSERT_TRUE(ecrireConfig(*w));
    w->c.Option1[0]->setChecked(true);
    w->c.Check1->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        w->graph->Command5_Click();
        w->graph->terminer();
    }
    w->graph->choixutil = true;
    calls.clear();
    answers = {msgbox::Answer::Ok};
    ASSERT_TRUE(chargeconfig(*w));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].title, QStringLiteral("Avertissement"));
    EXPECT_TRUE(w->c.Option1[1]->isChecked());
    EXPECT_EQ(w->graph->store.dercourbe, -1);
}

// A configuration whose solution is the one already chosen (an indicator at
// another pH) must still bring its own spectrum: the same file gives the same
// readout and the same curve whatever was set before.
TEST_F(MainWindowTest, LoadingTheSameIndicatorAtAnotherPhReloadsItsSpectrum)
{
    const QString path = dir.filePath(QStringLiteral("bbt4.C12"));
    ASSERT_TRUE(recordfile::saveFile(
        path, *recordfile::buildFile(
                  {QStringLiteral("KELVANO"), QStringLiteral("1"), QStringLiteral("0"),
                   QStringLiteral("0"), QStringLiteral("4,0"), QStringLiteral(" 591"),
                   QStringLiteral(" 2"), QStringLiteral(" 0"), QStringLiteral("0,000 05")})));
    const auto readout = [](FeuilleP &f) {
        const auto r = spectro::computeAbsorbance(f.state.spectre, f.c.Text1->text(),
                                                  f.c.HScroll1->value(), f.c.UpDown1->value());
        EXPECT_TRUE(r.has_value());
        EXPECT_FLOAT_EQ(f.state.absorbance, r ? r->absorbance : -1);
        return r ? r->text : QString();
    };
    const auto traced = [](FeuilleP &f) {
        f.graph->Command5_Click();
        f.graph->terminer();
        return f.c.graphik->surface().image();
    };

    // Bromothymol blue at pH 10,0 first.
    w->c.Combo1->setCurrentIndex(0);
    w->c.Text1->setText(QStringLiteral("0,000 05"));
    w->Text1_LostFocus();
    w->c.Text2->setText(QStringLiteral("10,0"));
    w->Text2_LostFocus();
    w->c.HScroll1->setValue(591);
    ASSERT_EQ(readout(*w), QStringLiteral("A = 1,41"));
    w->nomfichier = path;
    ASSERT_TRUE(chargeconfig(*w));
    EXPECT_EQ(w->c.Text2->text(), QStringLiteral("4,0"));
    EXPECT_EQ(readout(*w), QStringLiteral("A = 0,006"));

    // The same file in a window that never saw pH 10,0.
    FeuilleP fresh;
    fresh.nomfichier = path;
    ASSERT_TRUE(chargeconfig(fresh));
    EXPECT_EQ(fresh.state.spectre, w->state.spectre);
    EXPECT_EQ(readout(fresh), QStringLiteral("A = 0,006"));
    EXPECT_TRUE(traced(*w) == traced(fresh)) << "the curves differ";
}
