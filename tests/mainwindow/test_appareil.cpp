// The real instrument and the extra samples through the main window.
#include "fixture.h"

#include "common/picturebox.h"
#include "common/updown.h"
#include "config/configfile.h"
#include "mainwindow/appareil.h"
#include "mainwindow/reprise.h"
#include "model/absorbance.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>

namespace ins = spectro::instrument;

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Default settings without the noise, for exact comparisons.
ins::Settings quiet()
{
    ins::Settings s;
    s.enabled = true;
    s.noise = false;
    return s;
}

} // namespace

TEST_F(MainWindowTest, RealModeOffLeavesTheWindowAsItWas)
{
    Appareil &a = *w->appareil;
    EXPECT_FALSE(a.settings().enabled);
    EXPECT_TRUE(a.bar()->isHidden());
    EXPECT_EQ(w->c.Combo1->count(), 14);
    w->show();
    // The window's own painting: the background picture is 800 pixels wide.
    const auto shot = [&] { return w->grab().toImage().copy(0, 0, 800, w->height()); };
    shot();
    const QImage before = shot();
    const QImage schemaBefore = w->c.schema->surface().image();
    a.setRealMode(true);
    EXPECT_FALSE(a.bar()->isHidden());
    EXPECT_NE(w->c.schema->surface().image(), schemaBefore);
    a.faireLeBlanc();
    a.setExtended(true);
    EXPECT_EQ(w->c.Combo1->count(), spectro::kExtendedCount);
    a.setExtended(false);
    a.setRealMode(false);
    EXPECT_EQ(w->c.schema->surface().image(), schemaBefore);
    EXPECT_EQ(shot(), before);
    EXPECT_EQ(w->c.Combo1->count(), 14);
}

TEST_F(MainWindowTest, ContextMenuSwitchesTheModes)
{
    Appareil &a = *w->appareil;
    QStringList texts;
    QAction *real = nullptr;
    QAction *samples = nullptr;
    for (QAction *act : a.menu()->actions()) {
        texts << act->text();
        if (act->text() == QStringLiteral("Appareil réel"))
            real = act;
        if (act->text() == QStringLiteral("Colorants alimentaires et mélanges"))
            samples = act;
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Appareil réel"), QStringLiteral("Faire le blanc"),
                                  QStringLiteral("Afficher la transmittance T (%)"), QString(),
                                  QStringLiteral("Colorants alimentaires et mélanges"),
                                  QStringLiteral("Composition du mélange…")}));
    ASSERT_TRUE(real && samples);
    EXPECT_EQ(w->c.schema->contextMenuPolicy(), Qt::CustomContextMenu);
    real->trigger();
    EXPECT_TRUE(a.settings().enabled);
    EXPECT_TRUE(real->isChecked());
    samples->trigger();
    EXPECT_TRUE(a.extended());
    EXPECT_EQ(w->c.Combo1->count(), spectro::kExtendedCount);
    real->trigger();
    EXPECT_FALSE(a.settings().enabled);
}

TEST_F(MainWindowTest, RealReadoutBlankAndLimit)
{
    Appareil &a = *w->appareil;
    w->c.HScroll1->setValue(525);
    a.setRealMode(true);
    a.setSettings(quiet());
    const auto expected = [&](double c, bool blank) {
        const ins::Measurement m =
            ins::measure(spectro::kFixedSpectra[1], float(c), 1, 525, a.settings(), blank, 0);
        return ins::readout(m, a.settings());
    };
    // Before the blank the cuvette and solvent add to the reading.
    EXPECT_FALSE(a.blankValidNow());
    EXPECT_FLOAT_EQ(w->state.absorbance, expected(0.001, false).absorbance);
    a.faireLeBlanc();
    EXPECT_TRUE(a.blankValidNow());
    const ins::Readout r = expected(0.001, true);
    EXPECT_FLOAT_EQ(w->state.absorbance, r.absorbance);
    // 2,477 lowered by 0,1 % of stray light and the 2 nm slit.
    EXPECT_EQ(r.text, QStringLiteral("A = 2,35"));
    // Another wavelength: the blank is to be made again there.
    w->c.HScroll1->setValue(526);
    EXPECT_FALSE(a.blankValidNow());
    w->c.HScroll1->setValue(525);
    EXPECT_TRUE(a.blankValidNow());
    w->c.UpDown1->setValue(3);
    EXPECT_FALSE(a.blankValidNow());
    w->c.UpDown1->setValue(2);
    // Beyond the instrument's limit the readout gives up, below 3.
    w->c.Text1->setText(QStringLiteral("0,002"));
    w->majafficheur();
    EXPECT_FLOAT_EQ(w->state.absorbance, 2.7f);
    // Out-of-range settings go to the nearer limit.
    ins::Settings s = quiet();
    s.stray = 0.2;
    s.bandwidth = 99;
    a.setSettings(s);
    EXPECT_DOUBLE_EQ(a.settings().stray, ins::kStrayMax);
    EXPECT_EQ(a.settings().bandwidth, ins::kBandwidthMax);
}

TEST_F(MainWindowTest, RealCurvesAreRedrawnAsTraced)
{
    Appareil &a = *w->appareil;
    a.setRealMode(true);
    ins::Settings s = a.settings();
    s.bandwidth = 20;
    s.seed = 7;
    a.setSettings(s);
    traceToEnd();
    ASSERT_EQ(w->graph->store.dercourbe, 0);
    const auto pts = w->graph->curvePoints(0);
    ASSERT_EQ(pts.size(), 401);
    // The point at 525 nm is the flattened maximum, noise included, and the
    // readout at that wavelength gives the same value.
    const spectro::CurveExtras &x = w->graph->store.curves[0].extra;
    EXPECT_TRUE(x.real.enabled);
    EXPECT_EQ(x.real.bandwidth, 20);
    EXPECT_FALSE(x.blankValid);
    const ins::Measurement m = ins::measure(spectro::kFixedSpectra[1], 0.001f, 1, 525, x.real,
                                            false, ins::readingKey(525, 0.001f, 1, 1));
    EXPECT_FLOAT_EQ(pts[125].second, ins::readout(m, x.real).absorbance);
    EXPECT_LT(pts[125].second, 2.45f);
    w->c.HScroll1->setValue(525);
    EXPECT_FLOAT_EQ(w->state.absorbance, pts[125].second);
    // The report says how the curve was traced.
    EXPECT_TRUE(w->c.Rappo->toPlainText().contains(
        QStringLiteral("Appareil réel : bande passante 20 nm, lumière parasite 0,1 %, bruit "
                       "(graine 7), sans blanc")))
        << w->c.Rappo->toPlainText().toStdString();
    // With the blank made first the scan runs on the solvent's baseline.
    a.faireLeBlanc();
    w->c.Check1->setChecked(true);
    traceToEnd();
    EXPECT_TRUE(w->graph->store.curves[1].extra.blankValid);
    EXPECT_TRUE(w->c.Rappo->toPlainText().contains(QStringLiteral("blanc fait")));
}

TEST_F(MainWindowTest, DyesAndMixtureInTheList)
{
    Appareil &a = *w->appareil;
    a.setExtended(true);
    ASSERT_EQ(w->c.Combo1->count(), spectro::kExtendedCount);
    w->c.Combo1->setCurrentIndex(14); // tartrazine
    EXPECT_EQ(w->state.numsol, 15);
    EXPECT_TRUE(w->c.Text2->isHidden());
    EXPECT_EQ(w->state.spectre, spectro::kDyeSpectra[0]);
    // A yellow solution: the blue is absorbed.
    w->c.Text1->setText(QStringLiteral("0,000 05"));
    w->majafficheur();
    EXPECT_GT(w->coulSolution.red(), w->coulSolution.blue() + 60);
    EXPECT_GT(w->coulSolution.green(), w->coulSolution.blue() + 60);

    w->c.Combo1->setCurrentIndex(spectro::kMixtureIndex);
    EXPECT_FALSE(a.compositionButton()->isHidden());
    a.setMixture(spectro::defaultMixture());
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,000 025"));
    // Additivity: the reading is the sum of the two dyes' at 630 nm.
    w->c.HScroll1->setValue(630);
    const float sum = 0.02f * spectro::kDyeSpectra[0][230] + 0.005f * spectro::kDyeSpectra[5][230];
    EXPECT_FLOAT_EQ(w->state.absorbance, spectro::pointAbsorbance(sum, 0.001f, 1));
    traceToEnd();
    EXPECT_TRUE(w->c.Rappo->toPlainText().contains(
        QStringLiteral("Mélange : tartrazine (E102) : 0,000 02 mol·L-1 ; bleu brillant FCF "
                       "(E133) : 0,000 005 mol·L-1")))
        << w->c.Rappo->toPlainText().toStdString();
    EXPECT_TRUE(w->c.Rappo->toPlainText().contains(QStringLiteral("Mélange de solutions")));
    // Leaving the extra samples goes back to permanganate.
    a.setExtended(false);
    EXPECT_EQ(w->c.Combo1->currentIndex(), 8);
    EXPECT_EQ(w->state.numsol, 1);
}

// A change of zoom rebuilds the window: the real instrument comes back with
// its settings and its blank, the list with the dyes and the mixture, which
// stays selected with its composition, and the curve traced on it.
TEST_F(MainWindowTest, AChangeOfZoomKeepsTheRealInstrumentAndTheMixture)
{
    Appareil &a = *w->appareil;
    a.setRealMode(true);
    ins::Settings s = quiet();
    s.bandwidth = 8;
    s.stray = 0.005;
    s.showT = true;
    s.seed = 7;
    a.setSettings(s);
    a.setExtended(true);
    w->c.Combo1->setCurrentIndex(spectro::kMixtureIndex);
    spectro::Mixture mix;
    mix.parts = {{14, QStringLiteral("0,000 03"), QStringLiteral("7,0")},
                 {19, QStringLiteral("0,000 002"), QStringLiteral("7,0")}};
    a.setMixture(mix);
    w->c.HScroll1->setValue(610);
    a.faireLeBlanc();
    traceToEnd();
    w->c.HScroll1->setValue(610);
    ASSERT_TRUE(a.blankValidNow());

    const Reprise r = captureReprise(*w);
    FeuilleP other;
    restoreReprise(other, r);
    Appareil &b = *other.appareil;
    EXPECT_TRUE(b.settings().enabled);
    EXPECT_EQ(b.settings().bandwidth, 8);
    EXPECT_DOUBLE_EQ(b.settings().stray, 0.005);
    EXPECT_TRUE(b.settings().showT);
    EXPECT_EQ(b.settings().seed, 7u);
    EXPECT_TRUE(b.blankValidNow());
    EXPECT_TRUE(b.extended());
    EXPECT_TRUE(b.mixture() == a.mixture());
    EXPECT_FALSE(b.bar()->isHidden());
    EXPECT_FALSE(b.compositionButton()->isHidden());
    EXPECT_EQ(other.c.Combo1->count(), spectro::kExtendedCount);
    EXPECT_EQ(other.c.Combo1->currentIndex(), spectro::kMixtureIndex);
    EXPECT_EQ(other.c.Text1->text(), w->c.Text1->text());
    EXPECT_EQ(other.state.absorbance, w->state.absorbance);
    EXPECT_EQ(other.c.schema->surface().image(), w->c.schema->surface().image());
    EXPECT_EQ(other.c.Rappo->toPlainText(), w->c.Rappo->toPlainText());
    EXPECT_EQ(other.c.graphik->surface().image(), w->c.graphik->surface().image());
}

TEST_F(MainWindowTest, ConfigurationsKeepTheNewThingsAfterTheNineRecords)
{
    Appareil &a = *w->appareil;
    // Nothing new in use: nine records, as ever.
    a.setExtended(true);
    w->nomfichier = dir.filePath(QStringLiteral("neuf.C12"));
    ASSERT_TRUE(ecrireConfig(*w));
    EXPECT_EQ(readAll(w->nomfichier).size(), 1152);

    a.setRealMode(true);
    ins::Settings s = a.settings();
    s.bandwidth = 10;
    s.stray = 0.005;
    s.seed = 42;
    s.showT = true;
    a.setSettings(s);
    spectro::Mixture m = spectro::defaultMixture();
    m.parts.push_back({0, QStringLiteral("0,000 01"), QStringLiteral("8,0")});
    w->c.Combo1->setCurrentIndex(spectro::kMixtureIndex);
    a.setMixture(m);
    w->nomfichier = dir.filePath(QStringLiteral("reel.C12"));
    ASSERT_TRUE(ecrireConfig(*w));
    EXPECT_EQ(readAll(w->nomfichier).size(), 17 * 128);

    auto other = std::make_unique<FeuilleP>();
    other->nomfichier = w->nomfichier;
    ASSERT_TRUE(chargeconfig(*other));
    Appareil &b = *other->appareil;
    EXPECT_TRUE(b.settings().enabled);
    EXPECT_EQ(b.settings().bandwidth, 10);
    EXPECT_DOUBLE_EQ(b.settings().stray, 0.005);
    EXPECT_EQ(b.settings().seed, 42u);
    EXPECT_TRUE(b.settings().showT);
    EXPECT_TRUE(b.extended());
    EXPECT_EQ(other->c.Combo1->currentIndex(), spectro::kMixtureIndex);
    EXPECT_EQ(other->state.numsol, spectro::kMixtureNumsol);
    EXPECT_TRUE(b.mixture() == a.mixture());
    EXPECT_EQ(other->state.spectre, w->state.spectre);

    // Bad files: the loader's own message, nothing applied.
    const auto withRecord = [&](int n, const QString &text) {
        QByteArray bytes = readAll(w->nomfichier);
        EXPECT_TRUE(recordfile::writeRecord(bytes, n, text));
        const QString path = dir.filePath(QStringLiteral("mauvais.C12"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    };
    const struct {
        int record;
        const char *text;
    } bad[] = {{14, "4"}, {15, "25;0,001;7,0"}, {15, "20;0,001;7,0"}, {11, "1;0,1;2;1;1"},
               {13, "2"}, {15, "x;0,001;7,0"}};
    for (const auto &k : bad) {
        auto third = std::make_unique<FeuilleP>();
        third->nomfichier = withRecord(k.record, QString::fromUtf8(k.text));
        calls.clear();
        EXPECT_FALSE(chargeconfig(*third)) << k.record << " " << k.text;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].text, QStringLiteral("Lecture impossible sur disque"));
        EXPECT_EQ(third->c.Combo1->currentIndex(), 8);
        EXPECT_FALSE(third->appareil->settings().enabled);
    }
    // Out of range: brought to the nearer limit.
    {
        auto third = std::make_unique<FeuilleP>();
        third->nomfichier = withRecord(11, QStringLiteral("1;0.5;0;1;3;0"));
        ASSERT_TRUE(chargeconfig(*third));
        EXPECT_DOUBLE_EQ(third->appareil->settings().stray, ins::kStrayMax);
        EXPECT_EQ(third->appareil->settings().bandwidth, ins::kBandwidthMin);
    }
    // What follows the nine in a file of another origin is not read.
    {
        auto third = std::make_unique<FeuilleP>();
        third->nomfichier = withRecord(10, QStringLiteral("autre chose"));
        calls.clear();
        // Record 8 names the mixture, which the list does not hold without the extras.
        EXPECT_FALSE(chargeconfig(*third));
        QByteArray nine = readAll(dir.filePath(QStringLiteral("neuf.C12")));
        nine.append(QByteArray("\x05\x00junk", 6));
        const QString path = dir.filePath(QStringLiteral("suite.C12"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(nine);
        f.close();
        third->nomfichier = path;
        EXPECT_TRUE(chargeconfig(*third));
        EXPECT_FALSE(third->appareil->settings().enabled);
    }
}

// The situations of the help's figures, each with the curves it shows; the
// pictures are written when SPECTRO_FIGURES names the folder that receives them.
TEST_F(MainWindowTest, HelpFigures)
{
    const QString out = qEnvironmentVariable("SPECTRO_FIGURES");
    const auto saveImage = [&](const QImage &img, const QString &name) {
        if (!out.isEmpty()) {
            ASSERT_TRUE(img.save(out + QStringLiteral("/") + name + QStringLiteral(".png")));
        }
    };
    Appareil &a = *w->appareil;
    w->show();
    const auto save = [&](const QString &name) {
        w->graph->rapport();
        QApplication::processEvents();
        saveImage(w->c.graphik->surface().image(), name);
        saveImage(w->grab().toImage(), name + QStringLiteral("_fenetre"));
    };

    // Calibration line of permanganate at 525 nm: ideal, then 0,1 % and 1 % of stray light.
    w->graph->choixutil = false;
    w->c.Option1[1]->setChecked(true);
    w->c.Check1->setChecked(true);
    w->c.HScroll1->setValue(525);
    w->graph->Command3_Click();
    traceToEnd();
    a.setRealMode(true);
    w->c.HScroll1->setValue(525);
    a.faireLeBlanc();
    traceToEnd();
    ins::Settings s = a.settings();
    s.stray = 0.01;
    a.setSettings(s);
    traceToEnd();
    EXPECT_EQ(w->graph->store.dercourbe, 2);
    save(QStringLiteral("etalonnage_courbe"));

    // Permanganate's spectrum: ideal, then slits of 10 and 20 nm.
    a.setRealMode(false);
    w->graph->choixutil = false;
    w->c.Option1[0]->setChecked(true);
    w->graph->Command3_Click();
    traceToEnd();
    a.setRealMode(true);
    a.faireLeBlanc();
    for (int bw : {10, 20}) {
        s = a.settings();
        s.stray = ins::kStrayDefault;
        s.bandwidth = bw;
        a.setSettings(s);
        traceToEnd();
    }
    EXPECT_EQ(w->graph->store.dercourbe, 2);
    save(QStringLiteral("bande_passante"));

    // A green drink: tartrazine, bleu brillant FCF and their mixture.
    a.setRealMode(false);
    a.setExtended(true);
    w->graph->Command3_Click();
    w->c.Combo1->setCurrentIndex(14);
    w->c.Text1->setText(QStringLiteral("0,000 02"));
    traceToEnd();
    w->c.Combo1->setCurrentIndex(19);
    w->c.Text1->setText(QStringLiteral("0,000 005"));
    traceToEnd();
    w->c.Combo1->setCurrentIndex(spectro::kMixtureIndex);
    a.setMixture(spectro::defaultMixture());
    traceToEnd();
    w->c.HScroll1->setValue(630);
    EXPECT_EQ(w->graph->store.dercourbe, 2);
    save(QStringLiteral("melange"));
    w->setOnglet(1);
    QApplication::processEvents();
    saveImage(w->grab().toImage(), QStringLiteral("melange_onglet"));

    // The schematic of the real instrument, blank to be made, T shown.
    a.setRealMode(true);
    s = a.settings();
    s.bandwidth = 2;
    s.showT = true;
    a.setSettings(s);
    w->c.HScroll1->setValue(631);
    saveImage(w->c.schema->surface().image(), QStringLiteral("schema_reel"));
    saveImage(a.bar()->grab().toImage(), QStringLiteral("barre"));
}
