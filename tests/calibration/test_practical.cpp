// The determination by calibration on the real windows, offscreen: the
// wavelength at the maximum, five standards made by dilution and measured,
// the line and its slope against the tables, the unknown measured and read,
// the same with the affine model; then the bad inputs, the questions before
// points are dropped, the exercise records and the places where the unknown
// must not appear.
#include "../mainwindow/fixture.h"
#include "calibration/mesures.h"
#include "calibration/overlay.h"
#include "calibration/session.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "config/configfile.h"
#include "config/recordfile.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/reprise.h"
#include "mainwindow/windows.h"
#include "model/absorbance.h"
#include "output/clipboard.h"
#include "output/export.h"
#include "output/printing.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace calib;

namespace
{

// The main window's fixture, with the calibration activity's windows.
class Practical : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        connectWindows(*w);
        s = Session::of(w.get());
        ASSERT_NE(s, nullptr);
    }

    // The concentration graph, permanganate, at the wavelength where its
    // spectrum is highest.
    int toMaximum()
    {
        w->c.Option1[1]->setChecked(true);
        int best = 400;
        for (int l = 400; l <= 800; ++l) {
            if (w->state.spectre[l - 400] > w->state.spectre[best - 400])
                best = l;
        }
        w->c.HScroll1->setValue(best);
        return best;
    }

    Mesures &mesures()
    {
        s->showMesures();
        return *s->mesures();
    }

    // Five standards from a 1,0e-3 mol/L stock into 50 mL flasks, measured.
    std::vector<double> measureStandards()
    {
        Mesures &m = mesures();
        DilutionDialog d(*s, &m);
        d.mere->setText(QStringLiteral("0,001"));
        d.fiole->setCurrentIndex(1); // 50 mL
        std::vector<double> cs;
        for (int pip : {1, 2, 3, 4, 5}) { // 2, 5, 10, 20, 25 mL
            d.pipette->setCurrentIndex(pip);
            EXPECT_TRUE(d.placer->isEnabled());
            d.placer->click();
            cs.push_back(*numfmt::readNumber(w->c.Text1->text()));
            m.mesurer->click();
        }
        // The whole series of the 50 mL flask in one go; a double click places one.
        d.remplir->click();
        EXPECT_EQ(d.gamme->rowCount(), 6);
        EXPECT_EQ(d.gamme->item(2, 3)->text(), QStringLiteral("0,000 1"));
        EXPECT_EQ(d.gamme->item(2, 2)->text(), QStringLiteral("10"));
        const QString kept = w->c.Text1->text();
        emit d.gamme->cellDoubleClicked(0, 0);
        EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,000 02"));
        w->c.Text1->setText(kept);
        w->Text1_LostFocus();
        return cs;
    }

    // Pixels of a colour inside the plot area of the graph.
    int count(const QColor &colour)
    {
        const QImage img = w->c.graphik->surface().image();
        int n = 0;
        for (int y = 20; y <= 331; ++y)
            for (int x = 58; x <= 362; ++x)
                if (w->c.graphik->surface().pixel(x, y) == colour)
                    ++n;
        (void)img;
        return n;
    }

    // Every text that leaves the program, for the leak checks.
    QStringList outputs()
    {
        QStringList out;
        out << w->c.Rappo->toPlainText();
        output::copileg(*w);
        out << QGuiApplication::clipboard()->text();
        s->copyTable();
        out << QGuiApplication::clipboard()->text()
            << QGuiApplication::clipboard()->mimeData()->html();
        out << QString::fromUtf8(toCsv(s->currentTable()));
        out << QString::fromUtf8(output::graphSvg(*w->graph, *w));
        out << QString::fromUtf8(output::graphCsv(*w->graph));
        if (const auto bytes = config::configRecords(*w))
            out << QString::fromLatin1(*bytes);
        return out;
    }

    Session *s = nullptr;
};

TEST_F(Practical, WholeActivityThroughTheOriginThenAffine)
{
    const int lambda = toMaximum();
    EXPECT_EQ(w->graph->typegraphe, 2);
    // Until it is used the activity shows nothing on the main window.
    EXPECT_FALSE(s->mesurerButton()->isVisible() && s->mesurerButton()->isVisibleTo(w.get()));
    Mesures &m = mesures();
    EXPECT_TRUE(s->mesurerButton()->isVisibleTo(w.get()));

    const std::vector<double> cs = measureStandards();
    ASSERT_EQ(m.tableau->rowCount(), 5);
    EXPECT_EQ(m.tableau->item(2, 1)->text(), QStringLiteral("0,000 2"));
    EXPECT_EQ(m.tableau->item(2, 3)->text(), QString::number(lambda));
    EXPECT_TRUE(m.avertissements->isHidden());
    const std::vector<double> expected = {4e-5, 1e-4, 2e-4, 4e-4, 5e-4};
    for (size_t i = 0; i < cs.size(); ++i)
        EXPECT_NEAR(cs[i], expected[i], expected[i] * 1e-6);

    // The slope is ε·l from the tables, within the rounding of the readings.
    const double el = double(w->state.spectre[lambda - 400]) * 1000 * 1.0;
    const Fit f = s->currentFit();
    ASSERT_TRUE(f.ok) << f.why.toStdString();
    EXPECT_NEAR(numfmt::round3(f.k), el, el * 5e-3);
    ASSERT_TRUE(f.r2.has_value());
    EXPECT_GT(*f.r2, 0.9999);
    EXPECT_TRUE(m.modele->text().contains(QStringLiteral("k = ") + pretty(f.k)))
        << m.modele->text().toStdString();
    EXPECT_TRUE(m.modele->text().contains(QStringLiteral("ε = k / l = ") + pretty(f.k)));
    EXPECT_GT(count(kPointColour), 5 * 16);

    // The unknown: drawn in the graph's range, put in the cuvette, measured.
    s->newUnknown(0.37);
    EXPECT_DOUBLE_EQ(s->unknown.c, numfmt::round3(1e-3 * (0.1 + 0.8 * 0.37)));
    EXPECT_EQ(s->unknown.sol, 8);
    // A teacher's value with more digits than a reading can give, so that
    // any trace of it in an output is a leak and not the pupil's result.
    s->setUnknown(3.9617e-4, 8, false);
    const double truth = s->unknown.c;
    m.dansLaCuve->click();
    EXPECT_EQ(w->c.Text1->text(), kUnknownText);
    EXPECT_FALSE(w->c.Text1->isEnabled());
    EXPECT_FALSE(w->c.Command5->isEnabled());
    const float readout = w->state.absorbance;
    EXPECT_NEAR(readout, el * truth, el * truth * 5e-3);
    m.mesurer->click();
    ASSERT_EQ(m.tableau->rowCount(), 6);
    EXPECT_EQ(m.tableau->item(5, 1)->text(), kUnknownText);
    const auto read = s->unknownReading();
    ASSERT_TRUE(read.has_value());
    EXPECT_NEAR(numfmt::round3(*read), truth, truth * 1e-2);
    EXPECT_TRUE(m.lecture->text().contains(pretty(*read))) << m.lecture->text().toStdString();
    EXPECT_GT(count(kReadingColour), 40); // the construction and the diamond

    // Nothing that leaves the program holds the hidden value, even revealed.
    m.reponse->setText(QString::number(*read, 'g', 3).replace(QLatin1Char('.'), QLatin1Char(',')));
    m.comparer->click();
    EXPECT_TRUE(m.ecart->text().startsWith(QStringLiteral("Écart relatif")));
    EXPECT_TRUE(m.valeur->text().isEmpty());
    m.reveler->click();
    EXPECT_TRUE(m.valeur->text().contains(pretty(truth)));
    EXPECT_TRUE(
        s->currentTable().summary.last().join(QLatin1Char(' ')).contains(QStringLiteral("c lue")));
    const QString hidden = QString::number(truth, 'g', 17);
    for (const QString &out : outputs()) {
        for (const QString &form :
             {hidden, QString(hidden).replace(QLatin1Char('.'), QLatin1Char(',')),
              QStringLiteral("39617"), QStringLiteral("3,96E-04"), QStringLiteral("0,000 396")})
            EXPECT_FALSE(out.contains(form)) << form.toStdString();
    }

    // The same with the affine model.
    m.affine->click();
    const Fit a = s->currentFit();
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.model, Model::Affine);
    EXPECT_NEAR(numfmt::round3(a.k), el, el * 5e-3);
    EXPECT_NEAR(a.b, 0, 5e-3);
    EXPECT_TRUE(m.modele->text().contains(QStringLiteral("a = ") + pretty(a.k)));
    EXPECT_TRUE(m.lecture->text().startsWith(QStringLiteral("Lecture : c = (A − b) / a")));
    const auto readA = s->unknownReading();
    ASSERT_TRUE(readA.has_value());
    EXPECT_NEAR(numfmt::round3(*readA), truth, truth * 1e-2);

    // Picture of the graph for the eye.
    if (qEnvironmentVariableIsSet("CALIB_SCREENSHOT")) {
        m.origine->click();
        QApplication::processEvents();
        w->c.graphik->surface().image().save(qEnvironmentVariable("CALIB_SCREENSHOT"));
        w->grab().save(qEnvironmentVariable("CALIB_SCREENSHOT") + QStringLiteral(".window.png"));
        m.grab().save(qEnvironmentVariable("CALIB_SCREENSHOT") + QStringLiteral(".mesures.png"));
    }

    // A concentration typed over the sample (here by a configuration) takes it out.
    const QString saved = w->c.Text1->text();
    w->c.Text1->setText(QStringLiteral("0,000 1"));
    EXPECT_FALSE(m.dansLaCuve->isChecked());
    EXPECT_TRUE(w->c.Text1->isEnabled());
    w->c.Text1->setText(saved);
    EXPECT_TRUE(m.dansLaCuve->isChecked());

    // Back to the standards: the box gets its text again.
    m.dansLaCuve->click();
    EXPECT_NE(w->c.Text1->text(), kUnknownText);
    EXPECT_TRUE(w->c.Text1->isEnabled());
    EXPECT_TRUE(w->c.Command5->isEnabled());
}

TEST_F(Practical, CurvesStayAndPointsSurviveARedraw)
{
    toMaximum();
    w->c.Check1->setChecked(true);
    w->graph->Command5_Click();
    w->graph->terminer();
    measureStandards();
    const int before = count(kPointColour);
    EXPECT_GT(before, 0);
    // A change of limit rescales and redraws: the points come back.
    w->c.UpDown2->setValue(4);
    EXPECT_GT(count(kPointColour), 0);
    w->c.UpDown2->setValue(3);
    EXPECT_EQ(count(kPointColour), before);
    // Without any curve too: the points follow the new scale at once, as
    // the next measurement would draw them.
    w->graph->Command3_Click();
    for (int limit : {4, 2, 3}) {
        w->c.UpDown2->setValue(limit);
        const QImage shown = w->c.graphik->surface().image();
        s->redraw();
        EXPECT_EQ(shown, w->c.graphik->surface().image()) << limit;
    }
    // The exported picture holds them too.
    EXPECT_TRUE(
        QString::fromUtf8(output::graphSvg(*w->graph, *w)).contains(QStringLiteral("#c8005a")));
}

// A change of zoom rebuilds the window: the practical goes on where it was,
// with its points, its unknown still in the cuvette, the open "Mesures"
// window and the answer the pupil was typing.
TEST_F(Practical, AChangeOfZoomKeepsThePractical)
{
    toMaximum();
    measureStandards();
    s->setModel(Model::Affine);
    s->setUnknown(3.9617e-4, 8, false);
    Mesures &m = mesures();
    m.dansLaCuve->click();
    m.mesurer->click();
    m.reponse->setText(QStringLiteral("3,9E-4"));
    const int points = count(kPointColour), reading = count(kReadingColour);
    ASSERT_GT(points, 0);
    ASSERT_GT(reading, 0);
    const float readout = w->state.absorbance;
    const QImage schema = w->c.schema->surface().image();

    const Reprise r = captureReprise(*w);
    FeuilleP other;
    connectWindows(other);
    other.show();
    restoreReprise(other, r);
    QApplication::processEvents();
    Session *t = Session::of(&other);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->points.size(), 6);
    EXPECT_EQ(t->model, Model::Affine);
    EXPECT_TRUE(t->unknown.set);
    EXPECT_DOUBLE_EQ(t->unknown.c, 3.9617e-4);
    EXPECT_EQ(other.c.Text1->text(), kUnknownText);
    EXPECT_FALSE(other.c.Text1->isEnabled());
    EXPECT_EQ(other.state.absorbance, readout);
    EXPECT_EQ(other.c.schema->surface().image(), schema);
    // Drawn whole, as the old window draws it after a redraw.
    s->redraw();
    EXPECT_EQ(other.c.graphik->surface().image(), w->c.graphik->surface().image());
    EXPECT_TRUE(t->mesurerButton()->isVisibleTo(&other));
    ASSERT_TRUE(t->mesures()->isVisible());
    EXPECT_EQ(t->mesures()->tableau->rowCount(), 6);
    EXPECT_EQ(t->mesures()->reponse->text(), QStringLiteral("3,9E-4"));
    EXPECT_EQ(t->unknownReading(), s->unknownReading());
    // Taken out of the cuvette, the box gets back what it held before.
    t->putUnknownInCuvette(false);
    s->putUnknownInCuvette(false);
    EXPECT_EQ(other.c.Text1->text(), w->c.Text1->text());
}

// The "Mesures" window opens beside the main window, on the screen; where
// the screen has the room (a full HD projector) it leaves the concentration
// box, the readout and the graph in sight.
TEST_F(Practical, TheMesuresWindowOpensBesideTheMainWindow)
{
    w->show();
    QApplication::processEvents();
    Mesures &m = mesures();
    QApplication::processEvents();
    const QRect screen = w->screen()->availableGeometry();
    const QRect outer = m.frameGeometry();
    EXPECT_TRUE(screen.contains(outer.topLeft())) << outer.x() << "," << outer.y();
    EXPECT_EQ(outer.top(), std::max(screen.top(), std::min(w->frameGeometry().top(),
                                                           screen.bottom() + 1 - outer.height())));
    if (screen.width() < 1900)
        return; // the offscreen default screen: nothing can stay in sight
    for (QWidget *seen : {static_cast<QWidget *>(w->c.Text1), static_cast<QWidget *>(w->c.schema),
                          static_cast<QWidget *>(w->c.graphik)}) {
        const QRect global(seen->mapToGlobal(QPoint(0, 0)), seen->size());
        EXPECT_FALSE(outer.intersects(global)) << seen->metaObject()->className();
    }
    // Closed and opened again, it stays where the pupil put it.
    m.move(outer.topLeft() + QPoint(-30, 20));
    const QPoint moved = m.pos();
    m.hide();
    s->showMesures();
    EXPECT_EQ(m.pos(), moved);
}

TEST_F(Practical, BadInputSaysWhyAndDeletingTheLastPointRemovesTheLine)
{
    toMaximum();
    Mesures &m = mesures();
    m.mesurer->click();
    EXPECT_TRUE(m.modele->text().startsWith(QStringLiteral("Un seul point")));
    // Same concentration, same settings, measured twice: still no line.
    m.mesurer->click();
    EXPECT_TRUE(m.modele->text().contains(QStringLiteral("même concentration")));
    m.tableau->selectRow(1);
    m.supprimer->click();
    ASSERT_EQ(s->points.size(), 1);

    // Only beyond the limit.
    s->clearPoints();
    for (const char *c : {"0,01", "0,02"}) {
        w->c.Text1->setText(QString::fromLatin1(c));
        w->Text1_LostFocus();
        m.mesurer->click();
    }
    EXPECT_TRUE(m.modele->text().contains(QStringLiteral("limite de lecture")));
    EXPECT_EQ(m.tableau->item(0, 5)->text(), QStringLiteral("----"));
    for (const QString &t : {m.modele->text(), m.lecture->text()})
        EXPECT_FALSE(t.contains(QStringLiteral("nan"), Qt::CaseInsensitive) ||
                     t.contains(QStringLiteral("inf"), Qt::CaseInsensitive));

    // Two good points and one beyond: the line, and the point beyond kept.
    s->clearPoints();
    for (const char *c : {"0,000 1", "0,000 2", "0,01"}) {
        w->c.Text1->setText(QString::fromLatin1(c));
        w->Text1_LostFocus();
        m.mesurer->click();
    }
    ASSERT_TRUE(s->currentFit().ok);
    EXPECT_EQ(s->currentFit().used, 2);
    EXPECT_EQ(m.tableau->item(2, 6)->text(), QStringLiteral("hors limite, non modélisé"));
    const int withLine = count(kPointColour);
    // Deleting points down to one removes the line.
    m.tableau->selectRow(2);
    m.supprimer->click();
    m.tableau->selectRow(1);
    m.supprimer->click();
    EXPECT_FALSE(s->currentFit().ok);
    EXPECT_LT(count(kPointColour), withLine - 50);
    m.tableau->selectRow(0);
    m.supprimer->click();
    EXPECT_EQ(count(kPointColour), 0);
    EXPECT_TRUE(m.modele->text().startsWith(QStringLiteral("Aucun point")));

    // The shortcut of the main window measures too, and the button tells the help line.
    auto *shortcut = w->findChild<QShortcut *>(QStringLiteral("mesurerShortcut"));
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->key(), QKeySequence(Qt::CTRL | Qt::Key_M));
    emit shortcut->activated();
    ASSERT_EQ(s->points.size(), 1);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(s->mesurerButton(), &move);
    EXPECT_TRUE(w->c.info->text().startsWith(QStringLiteral("Mesurer :")));
    s->clearPoints();

    // Mixed settings are flagged.
    m.mesurer->click();
    w->c.HScroll1->setValue(w->c.HScroll1->value() + 10);
    w->c.UpDown1->setValue(3);
    m.mesurer->click();
    EXPECT_EQ(m.avertissements->text().count(QLatin1Char('\n')), 1);
    EXPECT_FALSE(m.avertissements->isHidden());
}

TEST_F(Practical, ClearingAndChangingTheGraphAskFirst)
{
    toMaximum();
    measureStandards();
    calls.clear();
    // Clearing the graph: Cancel keeps everything.
    answers = {msgbox::Answer::Cancel};
    w->c.Command3->click();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("Les points mesurés seront perdus."));
    EXPECT_EQ(s->points.size(), 5);
    EXPECT_GT(count(kPointColour), 0);
    // Changing the kind: Cancel puts the selection back.
    w->graph->choixutil = true;
    answers = {msgbox::Answer::Cancel};
    w->c.Option1[0]->setChecked(true);
    EXPECT_TRUE(w->c.Option1[1]->isChecked());
    EXPECT_EQ(w->graph->typegraphe, 2);
    EXPECT_EQ(s->points.size(), 5);
    // OK drops them.
    w->graph->choixutil = true;
    w->c.Option1[0]->setChecked(true);
    EXPECT_EQ(w->graph->typegraphe, 1);
    EXPECT_TRUE(s->points.isEmpty());
    // With no point the clear button asks nothing, as before.
    calls.clear();
    w->c.Command3->click();
    EXPECT_TRUE(calls.empty());
}

TEST_F(Practical, CopyMenuPrintedPageAndCsvCarryTheTable)
{
    toMaximum();
    measureStandards();
    // The printed page lists the points below the legend.
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        output::PageContent content;
        content.title = QStringLiteral("Titre");
        content.graph = w->c.graphik->surface().image();
        content.store = &w->graph->store;
        ASSERT_TRUE(output::printPages(writer, content, 1));
    }
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    QImage page(2000, 3000, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        p.setWindow(0, 0, 12000, 18000);
        const double y = output::printAfterLegend(p, 100, 100, output::PageBreak{});
        EXPECT_GT(y, 100 + 5 * 150);
    }
    if (qEnvironmentVariableIsSet("CALIB_SCREENSHOT"))
        page.copy(0, 0, 2000, 400)
            .save(qEnvironmentVariable("CALIB_SCREENSHOT") + QStringLiteral(".print.png"));

    // CSV through the window.
    const QString csv = dir.filePath(QStringLiteral("mesures"));
    Session::askCsvFileName = [csv](QWidget *, const QString &) { return csv; };
    mesures().exporter->click();
    Session::askCsvFileName = nullptr;
    QFile f(csv + QStringLiteral(".csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    // Header, points, blank line, then model, k, R² and ε.
    EXPECT_EQ(bytes.count("\r\n"), 1 + 5 + 1 + 4);
    // A failed write says so and leaves the earlier file as it was.
    Session::askCsvFileName = [this](QWidget *, const QString &) {
        return dir.filePath(QStringLiteral("absent/mesures.csv"));
    };
    calls.clear();
    mesures().exporter->click();
    Session::askCsvFileName = nullptr;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("Ecriture impossible sur disque"));
    // The copy menu's entry.
    QMenu menu;
    output::extraCopyItems(menu, *w);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("Copier le tableau de mesures"));
    menu.actions()[0]->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("N°\tSolution")));
}

// An exercise description with the calibration records after the specified ones.
QString writeExercise(const QString &folder, const QStringList &calibration)
{
    QFile rtf(folder + QStringLiteral("/enonce.rtf"));
    rtf.open(QIODevice::WriteOnly);
    rtf.write("{\\rtf1\\ansi Dosage}");
    rtf.close();
    QStringList recs = {QStringLiteral("enonce.rtf"),
                        QString(),
                        QString(),
                        QString(),
                        QStringLiteral("1"),
                        QString(),
                        QString(),
                        QString(),
                        QString(),
                        QString(),
                        QStringLiteral("Titre")};
    recs += calibration;
    const QString path = folder + QStringLiteral("/exo.E35");
    EXPECT_TRUE(recordfile::saveFile(path, *recordfile::buildFile(recs)));
    return path;
}

TEST_F(Practical, ExerciseNamesItsUnknownAndStandards)
{
    const QString path = writeExercise(
        dir.path(), {kTag, QStringLiteral("0,000 25"), QStringLiteral("1E-4;2E-4;3E-4"),
                     QStringLiteral("affine"), QStringLiteral("0,001")});
    ASSERT_TRUE(w->openExerciseFile);
    w->openExerciseFile(path, QString());
    EXPECT_TRUE(calls.empty()) << calls[0].text.toStdString();
    EXPECT_EQ(w->c.fich->text(), path);
    EXPECT_TRUE(s->unknown.set);
    EXPECT_DOUBLE_EQ(s->unknown.c, 2.5e-4);
    EXPECT_EQ(s->model, Model::Affine);
    ASSERT_EQ(s->standards.size(), 3);
    Mesures &m = *s->mesures();
    EXPECT_TRUE(m.isVisible());
    m.preparer->click();
    EXPECT_EQ(w->c.Text1->text(), QStringLiteral("0,000 1"));
    EXPECT_EQ(m.etalons->currentIndex(), 1);
}

TEST_F(Practical, BadCalibrationRecordsRefuseTheWholeExercise)
{
    const QStringList bad[] = {{kTag, QStringLiteral("0,2")},
                               {kTag, QStringLiteral("1E-7")},
                               {kTag, QStringLiteral("beaucoup")}};
    for (const QStringList &records : bad) {
        calls.clear();
        const QString before = w->c.supertext->toPlainText();
        const QString path = writeExercise(dir.path(), records);
        w->openExerciseFile(path, QString());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].text,
                  QStringLiteral("Ce fichier ne correspond pas à cette application"));
        EXPECT_EQ(calls[0].title, QStringLiteral("Fichier non valide"));
        // Nothing half-applied: statement, file name and unknown unchanged.
        EXPECT_EQ(w->c.supertext->toPlainText(), before);
        EXPECT_TRUE(w->c.fich->text().isEmpty());
        EXPECT_FALSE(s->unknown.set);
    }
    // The same records in a file of their own beside the description.
    const QString path = writeExercise(dir.path(), {});
    const QString side = dir.filePath(QStringLiteral("exo.ETA"));
    for (const QByteArray &bytes :
         {*recordfile::buildFile({kTag, QStringLiteral("0,5")}), QByteArray("\xff\xff\x01")}) {
        calls.clear();
        QFile f(side);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        w->openExerciseFile(path, QString());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].title, QStringLiteral("Fichier non valide"));
        EXPECT_TRUE(w->c.fich->text().isEmpty());
    }
    QFile::remove(side);
    // A specified exercise without the records opens as before.
    calls.clear();
    w->openExerciseFile(path, QString());
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(s->unknown.set);
    EXPECT_FALSE(w->c.fich->text().isEmpty());
}

TEST_F(Practical, ExerciseRecordsInAFileOfTheirOwn)
{
    const QString path = writeExercise(dir.path(), {});
    ASSERT_TRUE(recordfile::saveFile(
        dir.filePath(QStringLiteral("exo.ETA")),
        *recordfile::buildFile({kTag, QStringLiteral("0,062 3"), QStringLiteral("0,01;0,02"),
                                QStringLiteral("origine"), QStringLiteral("0,1"),
                                QStringLiteral("-1")})));
    w->openExerciseFile(path, QString());
    EXPECT_TRUE(calls.empty());
    EXPECT_DOUBLE_EQ(s->unknown.c, 0.0623);
    EXPECT_EQ(w->c.UpDown2->value(), 5);
    EXPECT_DOUBLE_EQ(s->stock, 0.1);
}

// The shipped exercises open on their unknown, and their answer is found.
TEST_F(Practical, ShippedExercisesOpenOnTheirUnknown)
{
    const QDir data(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));
    const struct {
        const char *file;
        double unknown;
        int lambda, limit, solution;
        Model model;
    } cases[] = {{"etalonnage_permanganate.E35", 3.17e-4, 525, 3, 8, Model::Origin},
                 {"etalonnage_sulfate_cuivre.E35", 0.0623, 800, 5, 10, Model::Affine}};
    for (const auto &t : cases) {
        SCOPED_TRACE(t.file);
        calls.clear();
        w->openExerciseFile(data.filePath(QString::fromLatin1(t.file)), QString());
        ASSERT_TRUE(calls.empty()) << calls[0].text.toStdString();
        EXPECT_EQ(w->graph->typegraphe, 2);
        EXPECT_EQ(w->c.HScroll1->value(), t.lambda);
        EXPECT_EQ(w->c.UpDown2->value(), t.limit);
        EXPECT_EQ(w->c.Combo1->currentIndex(), t.solution);
        EXPECT_DOUBLE_EQ(s->unknown.c, t.unknown);
        EXPECT_EQ(s->model, t.model);
        Mesures &m = *s->mesures();
        for (int i = 0; i < m.etalons->count(); ++i) {
            m.preparer->click();
            m.mesurer->click();
        }
        EXPECT_EQ(s->points.size(), 5);
        m.dansLaCuve->click();
        m.mesurer->click();
        QString why;
        const auto c = s->unknownReading(&why);
        ASSERT_TRUE(c.has_value()) << why.toStdString() << " " << w->c.Text1->text().toStdString();
        EXPECT_NEAR(*c, t.unknown, t.unknown * 1e-2);
        m.dansLaCuve->click();
    }
}

// Unused, the activity changes no pixel of the main window: at start-up and on
// the concentration graph with a curve, as a window without it looks.
TEST_F(Practical, UnusedLeavesTheWindowAsItWas)
{
    FeuilleP plain;
    for (FeuilleP *f : {&plain, w.get()}) {
        f->show();
        QApplication::processEvents();
    }
    // The window paints 800 pixels across; a few columns beyond are not its own.
    const auto picture = [](FeuilleP &f) {
        const QImage img = f.grab().toImage();
        return img.copy(0, 0, std::min(800, img.width()), img.height());
    };
    EXPECT_EQ(picture(plain), picture(*w));
    for (FeuilleP *f : {&plain, w.get()}) {
        f->c.Option1[1]->setChecked(true);
        f->c.HScroll1->setValue(525);
        f->graph->Command5_Click();
        f->graph->terminer();
        QApplication::processEvents();
    }
    EXPECT_EQ(picture(plain), picture(*w));
    EXPECT_EQ(plain.c.graphik->surface().image(), w->c.graphik->surface().image());
}

} // namespace
