// Export of the curves as a table and of the graph as a picture or drawing,
// on the whole main window, checked against what the graph shows.
#include "../mainwindow/fixture.h"

#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/platform.h"
#include "common/updown.h"
#include "graph/graphpicture.h"
#include "graph/scale.h"
#include "output/clipboard.h"
#include "output/export.h"
#include "output/printing.h"
#include "support/fsfaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QXmlStreamReader>

namespace
{

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The table read back as a spreadsheet would: rows of fields.
struct Table {
    QStringList heading;
    QList<QStringList> rows;
};

Table parseCsv(const QByteArray &bytes)
{
    Table t;
    EXPECT_TRUE(bytes.startsWith(kBom));
    QStringList lines = QString::fromUtf8(bytes.mid(kBom.size())).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.last(), QString()); // every line ends with CRLF
    lines.removeLast();
    if (lines.isEmpty())
        return t;
    t.heading = lines.takeFirst().split(QLatin1Char(';'));
    for (const QString &l : lines)
        t.rows << l.split(QLatin1Char(';'));
    return t;
}

// A cell as a French spreadsheet reads it: digits with a decimal comma only.
float cellValue(const QString &cell)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    EXPECT_TRUE(number.match(cell).hasMatch()) << cell.toStdString();
    bool ok = false;
    const double v = QString(cell).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    EXPECT_TRUE(ok) << cell.toStdString();
    return float(v);
}

class Export : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(out.isValid());
        output::askSaveFileName = [this](QWidget *, const QString &caption, const QString &,
                                         const QString &filters, QString *selected) {
            ++asked;
            lastCaption = caption;
            lastFilters = filters;
            if (selected && !filterToChoose.isEmpty())
                *selected = filterToChoose;
            return nameToGive;
        };
    }
    void TearDown() override
    {
        output::askSaveFileName = nullptr;
        MainWindowTest::TearDown();
    }

    // Traces one curve with the current settings, completed at once.
    void trace(const QString &conc, int listIndex = 8, int cuve = 2)
    {
        w->c.Combo1->setCurrentIndex(listIndex);
        w->c.Text1->setText(conc);
        w->c.UpDown1->setValue(cuve);
        w->graph->Command5_Click();
        w->graph->terminer();
    }

    // Chooses an item of the "Co&pier" menu as the user would.
    void chooseFromCopyMenu(const char *item)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            seen = menu != nullptr;
            if (!menu)
                return;
            QAction *a = menu->findChild<QAction *>(QString::fromLatin1(item));
            ASSERT_NE(a, nullptr);
            EXPECT_TRUE(a->isEnabled());
            menu->setActiveAction(a);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        });
        output::popupCopyMenu(*w, w->graph->store, QPoint(10, 10));
        EXPECT_TRUE(seen);
    }

    QColor pixel(double x, double y) const
    {
        return w->c.graphik->surface().pixel(numfmt::cint(x), numfmt::cint(y));
    }

    QTemporaryDir out;
    QString nameToGive;
    QString filterToChoose;
    QString lastCaption;
    QString lastFilters;
    int asked = 0;
};

TEST(CsvNumber, DecimalCommaNoExponentSameValue)
{
    EXPECT_EQ(output::csvNumber(400.0f), QStringLiteral("400"));
    EXPECT_EQ(output::csvNumber(0.0f), QStringLiteral("0"));
    EXPECT_EQ(output::csvNumber(2.48f), QStringLiteral("2,48"));
    EXPECT_EQ(output::csvNumber(0.001f), QStringLiteral("0,001"));
    EXPECT_EQ(output::csvNumber(1e-5f), QStringLiteral("0,00001"));
    EXPECT_EQ(output::csvNumber(-0.5f), QStringLiteral("-0,5"));
    // Concentrations reached by adding a float step keep their exact value.
    float c = 0;
    for (int i = 0; i < 37; ++i)
        c += 1e-7f;
    const QString text = output::csvNumber(c);
    EXPECT_FALSE(text.contains(QLatin1Char('e')) || text.contains(QLatin1Char('E')));
    EXPECT_EQ(cellValue(text), c);
}

TEST(CsvTable, CurvesWithDifferentGridsShareOnlyEqualX)
{
    const QByteArray csv = output::curvesCsv(
        false, {QStringLiteral("Courbe 1 : a"), QStringLiteral("Courbe 2 : b; \"c\"")},
        {{{0.0, 0.0f}, {0.5, 1.0f}, {0.5, 1.5f}}, {{0.25, 0.5f}, {0.5, 2.0f}}});
    const Table t = parseCsv(csv);
    // The second heading holds a semicolon: quoted, so it stays one field.
    EXPECT_TRUE(csv.contains("\"Courbe 2 : b; \"\"c\"\"\""));
    ASSERT_EQ(t.rows.size(), 4);
    EXPECT_EQ(t.rows[0], (QStringList{"0", "0", ""}));
    EXPECT_EQ(t.rows[1], (QStringList{"0,25", "", "0,5"}));
    EXPECT_EQ(t.rows[2], (QStringList{"0,5", "1", "2"}));
    EXPECT_EQ(t.rows[3], (QStringList{"0,5", "1,5", ""}));
}

TEST_F(Export, ThreeSuperposedWavelengthCurvesAsDrawn)
{
    w->c.Check1->setChecked(true);
    trace(QStringLiteral("0,001"));
    trace(QStringLiteral("0,000 6"));
    trace(QStringLiteral("0,000 3"), 8, 3);
    graph::Graph &g = *w->graph;
    ASSERT_EQ(g.store.dercourbe, 2);

    nameToGive = out.filePath(QStringLiteral("courbes"));
    chooseFromCopyMenu("exportcsv");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(lastCaption, QStringLiteral("Exporter les courbes"));
    EXPECT_EQ(w->c.info->text(), w->msgcopie);
    const Table t = parseCsv(readAll(nameToGive + QStringLiteral(".csv")));
    EXPECT_EQ(t.heading,
              (QStringList{QStringLiteral("λ (nm)"),
                           QStringLiteral("Courbe 1 : Solution de permanganate de potassium, "
                                          "c = 0,001 mol/L, l = 1 cm"),
                           QStringLiteral("Courbe 2 : Solution de permanganate de potassium, "
                                          "c = 0,000 6 mol/L, l = 1 cm"),
                           QStringLiteral("Courbe 3 : Solution de permanganate de potassium, "
                                          "c = 0,000 3 mol/L, l = 1,5 cm")}));
    ASSERT_EQ(t.rows.size(), 401);
    QVector<output::CurvePoints> pts;
    for (int i = 0; i < 3; ++i)
        pts << g.curvePoints(i);
    for (int r = 0; r < 401; ++r) {
        ASSERT_EQ(t.rows[r].size(), 4) << r;
        EXPECT_EQ(cellValue(t.rows[r][0]), float(400 + r));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(cellValue(t.rows[r][i + 1]), pts[i][r].second) << r << " " << i;
    }
    // Where the three curves lie apart, each value falls on a pixel of its own
    // curve: the first two drawn by the redraw, the last one by the trace.
    ASSERT_GT(g.absaxe, 0);
    for (int lambda : {480, 525, 545, 570}) {
        const QStringList &row = t.rows[lambda - 400];
        for (int i = 0; i < 3; ++i) {
            const float a = cellValue(row[i + 1]);
            EXPECT_EQ(pixel(graph::xLambda(lambda), graph::yAbs(a, g.absaxe)),
                      graph::curveColour(i))
                << lambda << " nm, courbe " << i + 1;
        }
    }
    // The three curves differ at the peak, so a column mixed up would show.
    EXPECT_GT(cellValue(t.rows[125][1]), cellValue(t.rows[125][2]));
}

TEST_F(Export, ConcentrationCurvesOneRowPerConcentration)
{
    graph::Graph &g = *w->graph;
    w->c.Option1[1]->setChecked(true);
    ASSERT_EQ(g.typegraphe, 2);
    w->c.Check1->setChecked(true);
    w->c.HScroll1->setValue(525);
    trace(QStringLiteral("0,001"));
    w->c.HScroll1->setValue(620);
    w->c.Text2->setText(QStringLiteral("8,5"));
    trace(QStringLiteral("0,001"), 0);
    ASSERT_EQ(g.store.dercourbe, 1);

    nameToGive = out.filePath(QStringLiteral("conc.csv"));
    output::exporterCourbes(*w, g);
    const Table t = parseCsv(readAll(nameToGive));
    EXPECT_EQ(t.heading, (QStringList{QStringLiteral("c (mol/L)"),
                                      QStringLiteral("Courbe 1 : Solution de permanganate de "
                                                     "potassium, λ = 525 nm, l = 1 cm"),
                                      QStringLiteral("Courbe 2 : Solution de bleu de "
                                                     "bromothymol, λ = 620 nm, pH = 8,5, "
                                                     "l = 1 cm")}));
    const output::CurvePoints p0 = g.curvePoints(0);
    const output::CurvePoints p1 = g.curvePoints(1);
    ASSERT_EQ(p0.size(), p1.size());
    ASSERT_EQ(t.rows.size(), p0.size());
    EXPECT_EQ(t.rows.first()[0], QStringLiteral("0"));
    EXPECT_EQ(t.rows.last()[0], QStringLiteral("0,001"));
    // Each concentration is the decimal it stands for, a whole number of
    // steps of 0,000 01 (0,00007, not the 0,000069999995 the float sum holds).
    const auto steps = [](int k) {
        QString s = QString::number(k * 1e-5, 'f', 5);
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
        return s.replace(QLatin1Char('.'), QLatin1Char(','));
    };
    EXPECT_EQ(t.rows[7][0], QStringLiteral("0,00007"));
    for (int r = 0; r < t.rows.size(); ++r) {
        ASSERT_EQ(t.rows[r].size(), 3) << r;
        EXPECT_EQ(t.rows[r][0], steps(std::min(r, 100))) << r;
        EXPECT_EQ(cellValue(t.rows[r][1]), p0[r].second) << r;
        EXPECT_EQ(cellValue(t.rows[r][2]), p1[r].second) << r;
    }
    // The last row, at the graph's limit, is where the redraw ends each line.
    const QStringList &last = t.rows.last();
    ASSERT_GT(g.absaxe, 0);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(pixel(360, graph::yAbs(cellValue(last[i + 1]), g.absaxe)), graph::curveColour(i))
            << i;
}

// An indicator stored with a zero concentration gives no spectrum of its own:
// the redraw draws it with the spectrum of the curve before, and so must the
// points read for the export.
TEST_F(Export, CurvePointsFollowTheRedrawForAnIndicatorWithoutSpectrum)
{
    graph::Graph &g = *w->graph;
    w->c.Option1[1]->setChecked(true);
    w->c.HScroll1->setValue(525);
    g.store.curves[0] = {QStringLiteral("0,001"), QStringLiteral("7,0"), 525, 2, 8};
    g.store.curves[1] = {QStringLiteral("0"), QStringLiteral("7,0"), 525, 2, 0};
    g.store.dercourbe = 1;
    g.absmax = 0;
    g.echGraph();
    g.retracage(0);
    ASSERT_GT(g.absaxe, 0);
    const output::CurvePoints pts = g.curvePoints(1);
    ASSERT_FALSE(pts.isEmpty());
    for (int k : {int(pts.size()) / 2, int(pts.size()) - 1}) {
        const double x = graph::xConc(pts[k].first, w->c.UpDown2->value());
        EXPECT_GT(pts[k].second, 0.5f) << k;
        EXPECT_EQ(pixel(x, graph::yAbs(pts[k].second, g.absaxe)), graph::curveColour(1)) << k;
    }
}

TEST_F(Export, EmptyStoreSaysThereIsNothingToExport)
{
    ASSERT_EQ(w->graph->store.dercourbe, -1);
    nameToGive = out.filePath(QStringLiteral("vide.csv"));
    calls.clear();
    output::exporterCourbes(*w, *w->graph);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("Aucune courbe à exporter."));
    EXPECT_EQ(calls[0].icon, msgbox::Icon::Information);
    EXPECT_FALSE(QFile::exists(nameToGive));
}

TEST_F(Export, CancelledDialogWritesNothing)
{
    trace(QStringLiteral("0,001"));
    nameToGive.clear();
    calls.clear();
    output::exporterCourbes(*w, *w->graph);
    output::exporterGraphe(*w, *w->graph);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Export, PngIsTheGraphImage)
{
    w->c.Check1->setChecked(true);
    trace(QStringLiteral("0,001"));
    trace(QStringLiteral("0,000 5"), 10);
    nameToGive = out.filePath(QStringLiteral("graphe"));
    filterToChoose = QStringLiteral("Image PNG (*.png)");
    chooseFromCopyMenu("exportgraphe");
    EXPECT_TRUE(lastFilters.contains(QStringLiteral("*.svg")));
    const QImage saved(nameToGive + QStringLiteral(".png"), "PNG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              w->c.graphik->surface().image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(Export, SvgIsAVectorDrawingOfTheCurves)
{
    w->c.Check1->setChecked(true);
    trace(QStringLiteral("0,001"));
    trace(QStringLiteral("0,000 5"), 10);
    const QString path = out.filePath(QStringLiteral("graphe.svg"));
    for (const QString &filter : {QStringLiteral("Dessin vectoriel SVG (*.svg)"), QString()}) {
        SCOPED_TRACE(filter.toStdString());
        QFile::remove(path);
        // The name's extension decides; without one the chosen filter does.
        nameToGive = filter.isEmpty() ? path : out.filePath(QStringLiteral("graphe"));
        filterToChoose = filter;
        output::exporterGraphe(*w, *w->graph);
        const QByteArray svg = readAll(path);
        QXmlStreamReader xml(svg);
        ASSERT_TRUE(xml.readNextStartElement());
        EXPECT_EQ(xml.name(), QStringLiteral("svg"));
        const QSize size = w->c.graphik->surface().image().size();
        EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")).toString(),
                  QStringLiteral("0 0 %1 %2").arg(size.width()).arg(size.height()));
        int paths = 0;
        int texts = 0;
        int images = 0;
        QStringList strokes;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QStringLiteral("path"))
                ++paths;
            if (xml.name() == QStringLiteral("text"))
                ++texts;
            if (xml.name() == QStringLiteral("image"))
                ++images;
            if (xml.name() == QStringLiteral("g"))
                strokes << xml.attributes().value(QStringLiteral("stroke")).toString();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(images, 0);
        EXPECT_EQ(paths, 2);  // a path per curve, the rest lines
        EXPECT_GT(texts, 10); // graduations and axis names stay text
        // One stroke in each curve's colour.
        EXPECT_TRUE(strokes.contains(graph::curveColour(0).name()));
        EXPECT_TRUE(strokes.contains(graph::curveColour(1).name()));
        EXPECT_FALSE(strokes.contains(graph::curveColour(2).name()));
    }
}

TEST_F(Export, DialogsStartInTheCurrentFolderWhenWritableElseInTheDocuments)
{
    trace(QStringLiteral("0,001"));
    QStringList proposed;
    output::askSaveFileName = [&](QWidget *, const QString &, const QString &p, const QString &,
                                  QString *) {
        proposed << p;
        return QString();
    };
    const QString previous = QDir::currentPath();
    const QString base = QDir(out.path()).canonicalPath();
    QDir::setCurrent(base);
    output::exporterCourbes(*w, *w->graph);
    output::exporterGraphe(*w, *w->graph);
    EXPECT_EQ(proposed, (QStringList{QDir(base).filePath(QStringLiteral("courbes.csv")),
                                     QDir(base).filePath(QStringLiteral("graphe.png"))}));

    // A chosen file makes its folder the current one, where the next starts.
    QDir(base).mkdir(QStringLiteral("sous"));
    const QString sub = QDir(base).filePath(QStringLiteral("sous"));
    output::askSaveFileName = [&](QWidget *, const QString &, const QString &p, const QString &,
                                  QString *) {
        proposed << p;
        return sub + QStringLiteral("/a.csv");
    };
    proposed.clear();
    output::exporterCourbes(*w, *w->graph);
    output::exporterCourbes(*w, *w->graph);
    EXPECT_EQ(proposed.value(1), sub + QStringLiteral("/courbes.csv"));
    EXPECT_TRUE(QFile::exists(sub + QStringLiteral("/a.csv")));

    // A folder the user cannot write: the documents folder.
    Platform::writableCheck = [&sub](const QString &folder) { return folder != sub; };
    proposed.clear();
    output::exporterCourbes(*w, *w->graph);
    Platform::writableCheck = nullptr;
    QDir::setCurrent(previous);
    EXPECT_EQ(proposed.value(0),
              QDir(Platform::documentsFolder()).filePath(QStringLiteral("courbes.csv")));
    EXPECT_NE(Platform::documentsFolder(), sub);
}

TEST_F(Export, WriteFailureWarnsAndKeepsTheEarlierFile)
{
    if (!fsfaults::WriteLimit::supported())
        GTEST_SKIP() << fsfaults::kNoWriteLimit;
    w->c.Check1->setChecked(true);
    trace(QStringLiteral("0,001"));
    trace(QStringLiteral("0,000 5"));
    const QString path = out.filePath(QStringLiteral("courbes.csv"));
    const QByteArray earlier = "λ (nm);ancien\r\n";
    ASSERT_TRUE(writeAll(path, earlier));

    // A disk that fills up: files may not grow past 1 kB for this write.
    nameToGive = path;
    calls.clear();
    {
        fsfaults::WriteLimit disk(1024);
        ASSERT_TRUE(disk.active());
        output::exporterCourbes(*w, *w->graph);
    }

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("Ecriture impossible sur disque"));
    EXPECT_EQ(calls[0].title, QStringLiteral("Enregistrement impossible"));
    EXPECT_EQ(calls[0].icon, msgbox::Icon::Error);
    EXPECT_EQ(readAll(path), earlier);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{QStringLiteral("courbes.csv")});

    // A folder that does not exist: the same message, for the picture too.
    calls.clear();
    nameToGive = out.filePath(QStringLiteral("absent/graphe.png"));
    output::exporterGraphe(*w, *w->graph);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("Ecriture impossible sur disque"));
    EXPECT_FALSE(QFile::exists(nameToGive));

    // Once the disk has room again the export replaces the earlier file.
    calls.clear();
    nameToGive = path;
    output::exporterCourbes(*w, *w->graph);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(parseCsv(readAll(path)).rows.size(), 401);
}

} // namespace

// One routine paints the graph: painted at whole pixels, its description gives
// the screen's image exactly, whatever was traced, stopped or completed.
TEST_F(Export, TheScreenImageIsTheGraphPicturePaintedInPixels)
{
    graph::Graph &g = *w->graph;
    const auto samePixels = [&](const char *what) {
        const Surface &s = w->c.graphik->surface();
        QImage painted(s.image().size(), QImage::Format_RGB32);
        painted.fill(Qt::red);
        QPainter p(&painted);
        graph::paintGraph(p, g.picture(), graph::Rendering::Pixels);
        p.end();
        EXPECT_EQ(painted, s.image().convertToFormat(QImage::Format_RGB32)) << what;
        EXPECT_FALSE(g.picture().marks.isEmpty()) << what;
    };
    w->c.Check1->setChecked(true);
    trace(QStringLiteral("0,001"));
    trace(QStringLiteral("0,000 6"), 8, 3);
    // A trace stopped half-way stays half drawn.
    w->c.Combo1->setCurrentIndex(10);
    g.Command5_Click();
    for (int i = 0; i < 150; ++i)
        g.Timer1_Timer();
    g.arreter();
    samePixels("wavelength curves, one stopped");

    // A concentration trace: crosses while it runs, then every curve as lines.
    w->c.Option1[1]->setChecked(true);
    ASSERT_EQ(g.typegraphe, 2);
    traceToEnd();
    samePixels("concentration trace run to its end");
    w->c.HScroll1->setValue(620);
    trace(QStringLiteral("0,001"), 0);
    samePixels("concentration curve completed");
    g.Command6_Click();
    samePixels("last curve deleted");
}

// Printed from the window, the graph is vectors: the curve keeps its exact
// colour on the page, as its legend line has it.
TEST_F(Export, PrintedGraphKeepsTheCurveColour)
{
    const auto tool = [](const char *name) {
        return QStandardPaths::findExecutable(QString::fromLatin1(name));
    };
    if (tool("pdftoppm").isEmpty() || tool("pdfimages").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    trace(QStringLiteral("0,001"));
    const QString pdf = out.filePath(QStringLiteral("page.pdf"));
    {
        output::Confimp d(*w, w->graph->store, w.get());
        d.graphPicture = &w->graph->picture();
        d.printer().setOutputFormat(QPrinter::PdfFormat);
        d.printer().setOutputFileName(pdf);
        d.Check1[0]->setChecked(false);
        d.Command1->click();
    }
    QProcess images;
    images.start(tool("pdfimages"), {QStringLiteral("-list"), pdf});
    ASSERT_TRUE(images.waitForFinished(60000));
    // Header lines only: no picture on the page.
    EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).trimmed().count('\n'), 1);
    QProcess render;
    const QString png = out.filePath(QStringLiteral("page"));
    render.start(tool("pdftoppm"),
                 {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("288"),
                  QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
                  QStringLiteral("no"), QStringLiteral("-singlefile"), pdf, png});
    ASSERT_TRUE(render.waitForFinished(60000));
    const QImage page = QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(page.isNull());
    int exact = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            exact += page.pixelColor(x, y) == graph::curveColour(0);
    }
    // The whole curve, 300 graph pixels wide, three rendered pixels each way.
    EXPECT_GE(exact, 300 * 3 * 2);
}
