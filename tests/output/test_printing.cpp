// The print dialog and the printed page, printed into PDF files and read back
// with the poppler tools (text, page count, rendering).
#include "fakefeuille.h"

#include "common/msgbox.h"
#include "common/updown.h"
#include "graph/graphpicture.h"
#include "output/printing.h"
#include "support/fsfaults.h"
#include "support/systemtraits.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <optional>

namespace
{

// Standard output of a poppler tool; a failing run fails the test.
QString run(const char *tool, const QStringList &args)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(QString::fromLatin1(tool)), args);
    const bool ok =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(ok) << tool << " " << args.join(QLatin1Char(' ')).toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool havePoppler()
{
    for (const char *tool : {"pdfinfo", "pdftotext", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    }
    return true;
}

constexpr const char *kNoPoppler = "poppler-utils are not installed";

class Printing : public testing::Test
{
protected:
    FakeFeuille f;
    graph::CurveStore store;
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        output::askPdfFileName = nullptr;
        output::setupPrinter = nullptr;
    }
    void TearDown() override
    {
        output::askPdfFileName = nullptr;
        output::setupPrinter = nullptr;
    }

    void add(const graph::CurveSettings &s) { store.curves[store.nextSlot(true)] = s; }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Prints through the dialog's "&OK" into a PDF file covering the whole
    // sheet, so that page coordinates are twips from the sheet's corner.
    QString print(const std::function<void(output::Confimp &)> &setUp = {})
    {
        const QString file = path("page.pdf");
        output::Confimp dlg(f, store, f.window());
        dlg.printer().setOutputFileName(file);
        dlg.printer().setFullPage(true);
        if (setUp)
            setUp(dlg);
        dlg.Command1->click();
        return file;
    }

    // Text of one page.
    static QString pageText(const QString &pdf, int page)
    {
        const QString n = QString::number(page);
        return run("pdftotext",
                   {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")});
    }

    // The page rendered at 72 dpi: one pixel per point, 20 twips.
    QImage render(const QString &pdf, int page = 1, const QStringList &extra = {})
    {
        const QString out = path("render");
        const QString n = QString::number(page);
        run("pdftoppm", QStringList{QStringLiteral("-png"), QStringLiteral("-r"),
                                    QStringLiteral("72"), QStringLiteral("-f"), n,
                                    QStringLiteral("-l"), n, QStringLiteral("-singlefile")} +
                            extra + QStringList{pdf, out});
        return QImage(out + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(Printing, DialogLayoutAndStartValues)
{
    output::Confimp dlg(f, store, f.window());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Imprimer"));
    EXPECT_EQ(dlg.size(), QSize(376, 221));
    EXPECT_EQ(dlg.y(), f.window()->frameGeometry().top() + 20);
    EXPECT_EQ(dlg.palette().color(QPalette::Window), QColor(192, 192, 192));

    EXPECT_EQ(dlg.Label2->text(), QStringLiteral("Imprimante:"));
    EXPECT_EQ(dlg.defaut->geometry(), QRect(80, 16, 177, 19));
    EXPECT_EQ(dlg.Frame1->title(), QStringLiteral("Options"));
    EXPECT_EQ(dlg.Frame1->geometry(), QRect(24, 56, 233, 153));
    EXPECT_EQ(dlg.Label5->text(), QStringLiteral("Titre de la page :"));
    EXPECT_EQ(dlg.Text1->text(), QStringLiteral("Norvalis - Spectrophotom\u00e9trie"));
    EXPECT_EQ(dlg.Check1[0]->text(), QStringLiteral("Le sch\u00e9ma"));
    EXPECT_EQ(dlg.Check1[1]->text(), QStringLiteral("Le graphe"));
    EXPECT_TRUE(dlg.Check1[0]->isChecked());
    EXPECT_TRUE(dlg.Check1[1]->isChecked());
    EXPECT_FALSE(dlg.Check1[2]->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.Label3->text(), QStringLiteral("Nombre d'exemplaires :"));
    EXPECT_EQ(dlg.Label4->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg.UpDown1->minimum(), 1);
    EXPECT_EQ(dlg.UpDown1->maximum(), 40);
    EXPECT_EQ(dlg.command2->text(), QStringLiteral("&Imprimantes"));
    EXPECT_EQ(dlg.Command3->text(), QStringLiteral("&Annuler"));
    EXPECT_EQ(dlg.Command1->text(), QStringLiteral("&OK"));
    EXPECT_EQ(dlg.Command1->geometry(), QRect(288, 152, 73, 57));
    EXPECT_FALSE(dlg.Frame2->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("Veuillez patienter quelques instants..."));

    dlg.UpDown1->setValue(12);
    EXPECT_EQ(dlg.Label4->text(), QStringLiteral("12"));
    EXPECT_EQ(dlg.defaut->text(), output::printerLabel(dlg.printer()));
}

// "&Imprimantes" only chooses the printer: its dialog confirms with a button
// that does not say it prints.
TEST_F(Printing, PrinterSetUpConfirmsWithChoisir)
{
    if (!systemtraits::kQtPrintDialog)
        GTEST_SKIP() << "the system's own print dialog, with the system's own words";
    // In French, as the program runs, Qt's own button would read "&Imprimer".
    QTranslator french;
    if (french.load(QStringLiteral("qtbase_fr"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&french);
    output::Confimp dlg(f, store, f.window());
    QStringList buttons;
    bool seen = false;
    // Looked at once the dialog's own start-up events have run.
    const auto inspect = [&] {
        auto *setUp = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!setUp)
            return;
        seen = true;
        if (auto *box = setUp->findChild<QDialogButtonBox *>()) {
            for (QAbstractButton *b : box->buttons()) {
                if (b->isVisible())
                    buttons << b->text();
            }
        }
        setUp->reject();
    };
    QTimer::singleShot(0, [&] { QTimer::singleShot(0, inspect); });
    const QString before = dlg.defaut->text();
    dlg.command2->click();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Choisir"))) << buttons.join(' ').toStdString();
    for (const QString &text : std::as_const(buttons))
        EXPECT_FALSE(QString(text).remove(QLatin1Char('&')).contains(QStringLiteral("Imprimer")));
    EXPECT_EQ(dlg.defaut->text(), before);
    QCoreApplication::removeTranslator(&french);
}

TEST_F(Printing, BothBoxesClearedOkDoesNothing)
{
    output::Confimp dlg(f, store, f.window());
    const QString file = path("rien.pdf");
    dlg.printer().setOutputFileName(file);
    dlg.show();
    dlg.Check1[0]->setChecked(false);
    dlg.Check1[1]->setChecked(false);
    dlg.Command1->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.Command1->isVisible());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(Printing, CancelClosesWithoutPrinting)
{
    output::Confimp dlg(f, store, f.window());
    const QString file = path("annule.pdf");
    dlg.printer().setOutputFileName(file);
    dlg.show();
    dlg.Command3->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(Printing, TwoCopiesAreTwoIdenticalPagesOfOneDocument)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    add(curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2));
    const QString pdf = print([](output::Confimp &d) { d.UpDown1->setValue(2); });
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.toStdString();

    const QString page1 = pageText(pdf, 1);
    const QString page2 = pageText(pdf, 2);
    EXPECT_TRUE(page1.contains(QStringLiteral("Courbe 1.")));
    EXPECT_EQ(page1, page2);
    const QImage img1 = render(pdf, 1);
    ASSERT_FALSE(img1.isNull());
    EXPECT_EQ(img1, render(pdf, 2));
}

// Lines of the page's text with the layout's runs of blanks reduced to one.
const QStringList kNoLegend = {QStringLiteral("Courbe")};

QStringList textLines(const QString &text)
{
    QStringList out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString l = line.simplified();
        if (!l.isEmpty())
            out << l;
    }
    return out;
}

struct TextCase {
    const char *name;
    bool wavelengthGraph;
    const char *title; // null: the dialog's default title
    bool withGraph;
    std::vector<graph::CurveSettings> curves;
    QStringList present;
    QStringList absent;
};

class PrintedText : public Printing, public testing::WithParamInterface<TextCase>
{
};

TEST_P(PrintedText, Lines)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    const TextCase &c = GetParam();
    for (const auto &s : c.curves)
        add(s);
    f.c.Option1[c.wavelengthGraph ? 0 : 1]->setChecked(true);
    const QString pdf = print([&](output::Confimp &d) {
        if (c.title)
            d.Text1->setText(QString::fromUtf8(c.title));
        d.Check1[1]->setChecked(c.withGraph);
    });
    const QString text = run("pdftotext", {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    const QStringList lines = textLines(text);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), c.title ? QString::fromUtf8(c.title)
                                     : QStringLiteral("Norvalis - Spectrophotom\u00e9trie"));
    for (const QString &want : c.present)
        EXPECT_TRUE(lines.contains(want)) << want.toStdString() << "\n" << text.toStdString();
    for (const QString &unwanted : c.absent)
        EXPECT_FALSE(text.contains(unwanted)) << unwanted.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintedText,
    testing::Values(TextCase{"WavelengthGraph",
                             true,
                             nullptr,
                             true,
                             {curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2)},
                             {QStringLiteral("\u2022 Courbe 1. Solution de sulfate de cuivre"),
                              QStringLiteral("Concentration : c = 0,001 mol \u00b7 L-1"),
                              QStringLiteral("pH de la solution : 7"),
                              QStringLiteral("\u00c9paisseur de la cuve : 1 cm")},
                             {QStringLiteral("Longueur d'onde")}},
                    TextCase{"ConcentrationGraphAndOwnTitle",
                             false,
                             "Dosage du diiode",
                             true,
                             {curve(7, QStringLiteral("0,001"), QStringLiteral("4,2"), 480, 3),
                              curve(0, QStringLiteral("0,002"), QStringLiteral("6,5"), 620, 1)},
                             {QStringLiteral("\u2022 Courbe 1. Solution de diiode"),
                              QStringLiteral("Longueur d'onde : \u03bb = 480 nm"),
                              QStringLiteral("pH de la solution : 4,2"),
                              QStringLiteral("\u00c9paisseur de la cuve : 1,5 cm"),
                              QStringLiteral("\u2022 Courbe 2. Solution de bleu de bromothymol"),
                              QStringLiteral("Longueur d'onde : \u03bb = 620 nm"),
                              QStringLiteral("pH de la solution : 6,5"),
                              QStringLiteral("\u00c9paisseur de la cuve : 0,5 cm")},
                             {QStringLiteral("Concentration"), QStringLiteral("Norvalis")}},
                    TextCase{"NoCurveNoLegend", true, nullptr, true, {}, {}, kNoLegend},
                    TextCase{"NoGraphNoLegend",
                             true,
                             nullptr,
                             false,
                             {curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2)},
                             {},
                             kNoLegend}),
    [](const auto &info) { return std::string(info.param.name); });

// A curve of the default mixture at half its concentration, traced with the real instrument.
graph::CurveSettings realCurve()
{
    graph::CurveSettings s = curve(8, QStringLiteral("0,000 012 5"), QStringLiteral("7"), 525, 2);
    s.extra.real.enabled = true;
    s.extra.real.bandwidth = 20;
    s.extra.real.stray = 0.005;
    s.extra.real.noise = false;
    s.extra.blankValid = true;
    s.extra.mix = spectro::defaultMixture();
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    RealInstrument, PrintedText,
    testing::Values(TextCase{
        "RealInstrumentAndMixture",
        true,
        nullptr,
        true,
        {realCurve()},
        {QStringLiteral("Appareil r\u00e9el : bande passante 20 nm, lumi\u00e8re parasite 0,5 %, "
                        "sans bruit, blanc fait"),
         QStringLiteral("M\u00e9lange : tartrazine (E102) : 0,000 01 mol\u00b7L-1 ; bleu brillant "
                        "FCF (E133) : 0,000 002 5 mol\u00b7L-1")},
        {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Printing, LegendTooLongForThePageGoesOnOnTheNextOne)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    for (int i = 0; i < graph::kSlots; ++i)
        add(curve(i, QStringLiteral("0,001"), QStringLiteral("7"), 500, 2));
    const QString pdf = print([](output::Confimp &d) { d.UpDown1->setValue(2); });
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))))
        << info.toStdString();

    QStringList pages;
    for (int page = 1; page <= 4; ++page) {
        pages << pageText(pdf, page);
    }
    EXPECT_EQ(pages[0], pages[2]); // each copy the same
    EXPECT_EQ(pages[1], pages[3]);
    // Each curve once per copy, with its four lines on the same page.
    const QString copy = pages[0] + pages[1];
    for (int i = 1; i <= graph::kSlots; ++i)
        EXPECT_EQ(copy.count(QStringLiteral("Courbe %1.").arg(i)), 1) << i;
    EXPECT_EQ(copy.count(QStringLiteral("\u00c9paisseur de la cuve")), graph::kSlots);
    for (const QString &page : {pages[0], pages[1]}) {
        EXPECT_EQ(page.count(QStringLiteral("Courbe ")), page.count(QStringLiteral("pH de")));
        EXPECT_EQ(page.count(QStringLiteral("Courbe ")), page.count(QStringLiteral("paisseur")));
    }
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Courbe 10.")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("Norvalis"))); // the title is printed once
}

TEST_F(Printing, ExponentRaisedAboveTheConcentrationLine)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    add(curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2));
    const QString pdf = print();
    const QString boxes = run("pdftotext", {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    // Words as poppler sees them: "L" and the raised "-1" may come as one word.
    const QRegularExpression word(
        QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]*)<"));
    std::optional<double> molTop, molBottom, expTop;
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3) == QStringLiteral("mol") && !molTop) {
            molTop = m.captured(1).toDouble();
            molBottom = m.captured(2).toDouble();
        } else if (m.captured(3).endsWith(QStringLiteral("-1")) && !expTop) {
            expTop = m.captured(1).toDouble();
        }
    }
    ASSERT_TRUE(molTop && expTop) << boxes.toStdString();
    // 60 twips are 3 points.
    EXPECT_NEAR(*molTop - *expTop, 3.0, 0.5);
    EXPECT_NEAR(*molBottom - *molTop, 8 * 1.117, 0.3); // Arial 8 points
}

struct PlacementCase {
    const char *name;
    bool schema;
    bool graph;
};

class Placement : public Printing, public testing::WithParamInterface<PlacementCase>
{
};

// Colours of pictures come back from the renderer within a few units.
bool near(const QColor &a, const QColor &b, int tol = 4)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}

// Bounding box of the pixels that pass a test.
template <typename Pred> QRect bounds(const QImage &img, Pred pred)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (pred(img.pixelColor(x, y)))
                r |= QRect(x, y, 1, 1);
        }
    }
    return r;
}

TEST_P(Placement, PicturesAtNaturalSizeCentred)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    const PlacementCase &c = GetParam();
    const QString pdf = print([&](output::Confimp &d) {
        d.Check1[0]->setChecked(c.schema);
        d.Check1[1]->setChecked(c.graph);
    });
    const QImage page = render(pdf);
    ASSERT_FALSE(page.isNull());
    // A4 in points, one pixel per point; pictures at 15 twips = 3/4 point per pixel.
    const double w = 595.28, h = 841.89;
    // The schematic's gradient runs from blue 100 to 228; the graph's curve,
    // printed without loss, is pure blue 255.
    const QRect schema = bounds(page, [](const QColor &p) {
        return p.red() == 0 && p.green() == 0 && p.blue() >= 100 && p.blue() <= 228;
    });
    const QRect graph =
        bounds(page, [](const QColor &p) { return near(p, FakeFeuille::graphBack()); });
    const double tol = 1.5;

    ASSERT_EQ(schema.isValid(), c.schema);
    ASSERT_EQ(graph.isValid(), c.graph);
    if (c.schema) {
        EXPECT_NEAR(schema.top(), h / 20, tol);
        EXPECT_NEAR(schema.left(), (w - 417 * 0.75) / 2, tol);
        EXPECT_NEAR(schema.width(), 417 * 0.75, 2 * tol);
        EXPECT_NEAR(schema.height(), 129 * 0.75, 2 * tol);
    }
    if (c.graph) {
        EXPECT_NEAR(graph.left(), (w - 417 * 0.75) / 2, tol);
        EXPECT_NEAR(graph.width(), 417 * 0.75, 2 * tol);
        EXPECT_NEAR(graph.height(), 361 * 0.75, 2 * tol);
        if (c.schema) {
            // Two empty lines of 10 points under the schematic.
            const double gap = graph.top() - (h / 20 + 129 * 0.75);
            EXPECT_GE(gap, 2 * 10 - tol);
            EXPECT_LE(gap, 2 * 13 + tol);
        } else {
            EXPECT_NEAR(graph.top(), h / 20, tol);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, Placement,
                         testing::Values(PlacementCase{"SchemaAndGraph", true, true},
                                         PlacementCase{"GraphOnly", false, true},
                                         PlacementCase{"SchemaOnly", true, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Printing, LegendTitlesInTheCurvesColours)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    add(curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2));
    add(curve(8, QStringLiteral("0,000 2"), QStringLiteral("7"), 525, 2));
    const QString pdf = print();
    const QImage page = render(pdf, 1,
                               {QStringLiteral("-aa"), QStringLiteral("no"),
                                QStringLiteral("-aaVector"), QStringLiteral("no")});
    ASSERT_FALSE(page.isNull());
    const QRect graph =
        bounds(page, [](const QColor &p) { return near(p, FakeFeuille::graphBack()); });
    ASSERT_TRUE(graph.isValid());
    // Under the graph only: the graph has a blue curve of its own.
    const QImage legend = page.copy(0, graph.bottom() + 2, page.width(), page.height());
    const QRect first =
        bounds(legend, [](const QColor &p) { return near(p, graph::curveColour(0)); });
    const QRect second =
        bounds(legend, [](const QColor &p) { return near(p, graph::curveColour(1)); });
    const QRect black = bounds(legend, [](const QColor &p) { return near(p, Qt::black); });
    ASSERT_TRUE(first.isValid());
    ASSERT_TRUE(second.isValid());
    ASSERT_TRUE(black.isValid());
    EXPECT_LT(first.bottom(), second.top());    // curve 1's title above curve 2's
    EXPECT_NEAR(first.left(), graph.left(), 2); // the legend starts at the graph's edge
    EXPECT_GT(black.bottom(), second.bottom()); // the lines under a title are black
}

TEST_F(Printing, PdfOutputAsksForTheFileName)
{
    if (!QPrinterInfo::defaultPrinterName().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    QString proposed;
    QString answer;
    output::askPdfFileName = [&](QWidget *, const QString &p) {
        proposed = p;
        return answer;
    };
    output::Confimp dlg(f, store, f.window());
    EXPECT_EQ(dlg.defaut->text(), QStringLiteral("Imprimer dans un fichier (PDF)"));
    dlg.show();

    answer.clear(); // the file dialog is cancelled: back to the dialog
    dlg.Command1->click();
    const QString proposal = QStringLiteral("spectrophotometrie.pdf");
    EXPECT_EQ(proposed, QDir::current().absoluteFilePath(proposal));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.Command1->isVisible());

    answer = path("sortie"); // no suffix given: ".pdf" is added
    dlg.Command1->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_TRUE(QFile::exists(path("sortie.pdf")));
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    const QString info = run("pdfinfo", {path("sortie.pdf")});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
}

TEST_F(Printing, APdfFileThatCannotBeWrittenIsReported)
{
    struct Case {
        const char *name;
        QString file;
        bool fullDisk;
    };
    const Case cases[] = {{"folder missing", path("absent/page.pdf"), false},
                          {"disk full", path("plein.pdf"), true}};
    for (const Case &c : cases) {
        if (c.fullDisk && !fsfaults::WriteLimit::supported())
            continue; // nothing to play it with here
        std::vector<msgbox::Call> calls;
        msgbox::handler = [&calls](const msgbox::Call &call) {
            calls.push_back(call);
            return msgbox::Answer::Ok;
        };
        output::Confimp dlg(f, store, f.window());
        dlg.printer().setOutputFileName(c.file);
        dlg.show();
        {
            std::optional<fsfaults::WriteLimit> disk;
            if (c.fullDisk) {
                ASSERT_TRUE(disk.emplace(2048).active());
            }
            dlg.Command1->click();
        }
        msgbox::handler = nullptr;
        ASSERT_EQ(calls.size(), 1u) << c.name;
        EXPECT_EQ(calls[0].text, QStringLiteral("Ecriture impossible sur disque"));
        EXPECT_EQ(calls[0].title, QStringLiteral("Impression impossible"));
        EXPECT_EQ(calls[0].icon, msgbox::Icon::Error);
        // Back to the dialog, which asks for a file at the next "OK".
        EXPECT_TRUE(dlg.isVisible()) << c.name;
        EXPECT_TRUE(dlg.Command1->isVisible());
        EXPECT_FALSE(dlg.Frame2->isVisible());
        EXPECT_EQ(dlg.printer().outputFormat(), QPrinter::PdfFormat);
        EXPECT_TRUE(dlg.printer().outputFileName().isEmpty());
    }
}

TEST_F(Printing, PrinterSetUpKeepsOrTakesTheChoice)
{
    for (const bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed ? "confirmed" : "cancelled");
        output::setupPrinter = [&](QPrinter &p, QWidget *) {
            p.setPageOrientation(QPageLayout::Landscape);
            p.setCopyCount(3);
            p.setOutputFileName(path("choisi.pdf"));
            return confirmed;
        };
        output::Confimp dlg(f, store, f.window());
        const QString shown = dlg.defaut->text();
        const QPrinter::OutputFormat format = dlg.printer().outputFormat();
        dlg.command2->click();
        const QPrinter &p = dlg.printer();
        EXPECT_EQ(p.pageLayout().orientation(),
                  confirmed ? QPageLayout::Landscape : QPageLayout::Portrait);
        EXPECT_EQ(p.outputFileName(), confirmed ? path("choisi.pdf") : QString());
        EXPECT_EQ(p.copyCount(), 1); // copies are pages of their own
        EXPECT_EQ(dlg.UpDown1->value(), confirmed ? 3 : 1);
        EXPECT_EQ(dlg.Label4->text(), confirmed ? QStringLiteral("3") : QStringLiteral("1"));
        if (confirmed) {
            EXPECT_EQ(dlg.defaut->text(), QStringLiteral("Imprimer dans un fichier (PDF)"));
        } else {
            EXPECT_EQ(p.outputFormat(), format);
            EXPECT_EQ(dlg.defaut->text(), shown);
        }
    }
}

} // namespace

namespace
{

// The images of a PDF as pdfimages lists them: one line each, "type ... enc ...".
QStringList imageLines(const QString &pdf)
{
    const QStringList lines =
        run("pdfimages", {QStringLiteral("-list"), pdf}).split(QLatin1Char('\n'));
    QStringList images;
    for (const QString &line : lines.mid(2)) {
        if (!line.trimmed().isEmpty())
            images << line.simplified();
    }
    return images;
}

int countColour(const QImage &img, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    }
    return n;
}

} // namespace

// The pictures keep their pixels: no lossy compression that would blur the
// one-pixel curves and change their colours.
TEST_F(Printing, PicturesAreStoredLosslessly)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    const QString pdf = print();
    const QStringList images = imageLines(pdf);
    ASSERT_EQ(images.size(), 2) << images.join('\n').toStdString();
    for (const QString &line : images)
        EXPECT_FALSE(line.contains(QStringLiteral(" jpeg "))) << line.toStdString();
    // Taken out of the file, they are the pictures of the screen, pixel for pixel.
    run("pdfimages", {QStringLiteral("-png"), pdf, path("image")});
    const QImage schema(path("image-000.png"));
    const QImage graph(path("image-001.png"));
    EXPECT_EQ(schema.convertToFormat(QImage::Format_RGB32),
              f.c.schema->surface().image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(graph.convertToFormat(QImage::Format_RGB32),
              f.c.graphik->surface().image().convertToFormat(QImage::Format_RGB32));
    EXPECT_GE(countColour(graph, FakeFeuille::graphCurve()), 250);
}

// With what the graph shows, the graph is drawn on the page as vectors: no
// picture of it, real text, and curves in their exact colours at any
// resolution.
TEST_F(Printing, GraphPrintedAsVectorsInExactColours)
{
    if (!havePoppler())
        GTEST_SKIP() << kNoPoppler;
    graph::GraphPicture picture;
    picture.typegraphe = 1;
    picture.absmax = 1;
    const QColor blue(0, 0, 255), green(0, 128, 0);
    using Mark = graph::GraphPicture::Mark;
    picture.marks.append({Mark::Point, QPointF(60, 300), blue});
    for (int x = 61; x <= 360; ++x)
        picture.marks.append({Mark::LineTo, QPointF(x, 300 - 0.6 * (x - 60)), blue});
    for (int k = 0; k <= 10; ++k)
        picture.marks.append({Mark::Cross, QPointF(60 + 30 * k, 320 - 20 * k), green});
    const QString pdf = print([&](output::Confimp &d) { d.graphPicture = &picture; });

    // Only the schematic is a picture.
    EXPECT_EQ(imageLines(pdf).size(), 1);
    const QString text = pageText(pdf, 1);
    for (const char *word : {"400", "800", "(nm)", "0,2", "1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
    // The graduations in Arial 8 at the screen's size: 3/4 point a pixel
    // makes them 8 points on paper, as the legend under the graph.
    const QString boxes = run("pdftotext", {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">800<"));
    const auto m = word.match(boxes);
    ASSERT_TRUE(m.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(m.captured(2).toDouble() - m.captured(1).toDouble(), 8 * 1.117, 0.5);
    const QImage page =
        render(pdf, 1,
               {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-aa"),
                QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no")});
    ASSERT_FALSE(page.isNull());
    // 300 graph pixels of line, three rendered pixels each way at this size.
    EXPECT_GE(countColour(page, blue), 300 * 3 * 2);
    EXPECT_GE(countColour(page, green), 11 * 7 * 3);
    EXPECT_EQ(countColour(page, FakeFeuille::graphBack()), 0);
    const QRect grid = bounds(page, [](const QColor &c) { return c == QColor(192, 192, 192); });
    // The grid spans 300 graph pixels, 3/4 point each, 4 rendered pixels a point.
    EXPECT_NEAR(grid.width(), 300 * 0.75 * 4, 8);
}
