#include "output/export.h"
#include "output/report.h"
#include "output/svgdevice.h"

#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/updown.h"
#include "graph/curvestore.h"
#include "graph/graph.h"
#include "graph/scale.h"
#include "model/catalogue.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>
#include <map>

namespace output
{

std::function<QString(QWidget *, const QString &, const QString &, const QString &, QString *)>
    askSaveFileName;

namespace
{

const QColor kGrid(192, 192, 192);

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The folder proposed by the next dialog: the last one used, else the
// user's documents.
QString &lastFolder()
{
    static QString folder;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return folder;
}

QString askName(Feuille &f, const QString &caption, const QString &name, const QString &filters,
                QString *chosen)
{
    const QString proposed = QDir(lastFolder()).filePath(name);
    QString path;
    if (askSaveFileName)
        path = askSaveFileName(f.window(), caption, proposed, filters, chosen);
    else
        path = QFileDialog::getSaveFileName(f.window(), caption, proposed, filters, chosen);
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

// Writes through a temporary file renamed over the target only once complete,
// so that a failed export leaves an earlier file as it was.
bool writeFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The last buffered bytes are written here: a full disk shows now, and
    // commit() would not always report it.
    if (!write(file) || !file.flush()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

void writeOrWarn(Feuille &f, const QString &path, const std::function<bool(QIODevice &)> &write)
{
    if (!writeFile(path, write))
        msgbox::show(f.window(), QStringLiteral("Ecriture impossible sur disque"),
                     QStringLiteral("Enregistrement impossible"), msgbox::Icon::Error);
}

// Text as Surface::print places it: top-left corner at (x, y).
class TextPen
{
public:
    TextPen(QPainter &p, const QPaintDevice *metricsDevice)
        : m_p(p), m_device(metricsDevice), m_font(arialFont(8))
    {
    }
    double x = 0;
    double y = 0;
    void setItalic(bool italic) { m_font.setItalic(italic); }
    double width(const QString &t) const { return metrics().horizontalAdvance(t); }
    double height() const { return metrics().height(); }
    void print(const QString &t)
    {
        const QFontMetricsF fm = metrics();
        m_p.setFont(m_font);
        m_p.setPen(Qt::black);
        m_p.drawText(QPointF(x, y + fm.ascent()), t);
        x += fm.horizontalAdvance(t);
    }

private:
    // Measured on the graph's image so that texts fall where the screen has them.
    QFontMetricsF metrics() const { return QFontMetricsF(m_font, m_device); }
    QPainter &m_p;
    const QPaintDevice *m_device;
    QFont m_font;
};

void line(QPainter &p, double x1, double y1, double x2, double y2, const QColor &c)
{
    p.setPen(QPen(c, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

} // namespace

QString curveHeading(int slot, const graph::CurveSettings &s, const QStringList &names,
                     bool wavelengthGraph)
{
    QString t = QStringLiteral("Courbe %1 : %2").arg(slot + 1).arg(names.value(s.sol));
    if (wavelengthGraph)
        t += QStringLiteral(", c = ") + s.conc.trimmed() + QStringLiteral(" mol/L");
    else
        t += QStringLiteral(", λ = %1 nm").arg(s.lambda);
    if (spectro::isIndicator(spectro::numsolForIndex(s.sol)))
        t += QStringLiteral(", pH = ") + s.ph.trimmed();
    const QString l = output::thicknessText(s.cuve);
    if (!l.isEmpty())
        t += QStringLiteral(", l = ") + l + QStringLiteral(" cm");
    return t;
}

QString csvNumber(float value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0f)
        return QStringLiteral("0");
    const double v = value;
    // Fewest significant digits that give the value back.
    int digits = 1;
    while (digits < 9 && float(QString::number(v, 'e', digits - 1).toDouble()) != value)
        ++digits;
    const QString e = QString::number(v, 'e', digits - 1);
    const int exponent = e.mid(e.indexOf(QLatin1Char('e')) + 1).toInt();
    int decimals = std::max(0, digits - 1 - exponent);
    QString s = QString::number(v, 'f', decimals);
    while (float(s.toDouble()) != value && decimals < 60)
        s = QString::number(v, 'f', ++decimals);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QByteArray curvesCsv(bool wavelengthGraph, const QStringList &headings,
                     const QVector<CurvePoints> &curves)
{
    const QString eol = QStringLiteral("\r\n");
    QString out;
    out += wavelengthGraph ? QStringLiteral("λ (nm)") : QStringLiteral("c (mol/L)");
    for (int k = 0; k < curves.size(); ++k)
        out += QLatin1Char(';') + csvField(headings.value(k));
    out += eol;
    // A row per x; an x met twice in a curve (the concentration graph's last
    // step and its limit can coincide) gives two rows, in the curve's order.
    std::map<std::pair<double, int>, QStringList> rows;
    for (int k = 0; k < curves.size(); ++k) {
        std::map<double, int> seen;
        for (const auto &pt : curves[k]) {
            QStringList &row = rows[{pt.first, seen[pt.first]++}];
            while (row.size() < curves.size())
                row << QString();
            row[k] = csvNumber(pt.second);
        }
    }
    for (const auto &[key, cells] : rows)
        out += csvNumber(float(key.first)) + QLatin1Char(';') + cells.join(QLatin1Char(';')) + eol;
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QByteArray graphCsv(graph::Graph &g)
{
    if (g.store.dercourbe < 0)
        return QByteArray();
    const bool wavelength = g.typegraphe == 1;
    const QStringList names = spectro::solutionNames();
    QStringList headings;
    QVector<CurvePoints> curves;
    for (int i = 0; i <= g.store.dercourbe; ++i) {
        headings << curveHeading(i, g.store.curves[i], names, wavelength);
        curves << g.curvePoints(i);
    }
    return curvesCsv(wavelength, headings, curves);
}

void drawGraph(QPainter &p, graph::Graph &g, Feuille &f)
{
    const Surface &surface = f.c.graphik->surface();
    const QImage &image = surface.image();
    const bool wavelength = g.typegraphe == 1;
    const int u = f.c.UpDown2 ? f.c.UpDown2->value() : 3;
    p.save();
    p.setClipRect(QRectF(0, 0, image.width(), image.height()));
    p.fillRect(QRectF(0, 0, image.width(), image.height()), surface.backColor());
    // The screen's one-pixel lines cover the pixels at whole coordinates.
    p.translate(0.5, 0.5);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int columns = wavelength ? 8 : 10;
    const double columnWidth = 300.0 / columns;
    for (int i = 0; i <= columns; ++i)
        line(p, 60 + columnWidth * i, 30, 60 + columnWidth * i, 330, kGrid);
    line(p, 60, 330, 381, 330, Qt::black);
    line(p, 374, 327, 380, 330, Qt::black);
    line(p, 374, 333, 380, 330, Qt::black);

    TextPen text(p, &image);
    const graph::Scale sc = graph::chooseScale(g.absmax);
    const double pas = 300.0 / sc.n;
    for (int i = 1; i <= sc.n; ++i) {
        const double y = 330 - pas * i;
        line(p, 60, y, 360, y, kGrid);
        const QString label = graph::graduationLabel(sc, i);
        text.x = 56 - text.width(label);
        text.y = y - text.height() / 2;
        text.print(label);
    }
    line(p, 60, 10, 60, 330, Qt::black);
    line(p, 63, 16, 60, 10, Qt::black);
    line(p, 57, 16, 60, 10, Qt::black);
    for (int i = 0; i <= columns; ++i) {
        const QString t = wavelength ? QString::number(400 + 50 * i) : numfmt::general(i / 10.0);
        text.x = 60 + columnWidth * i - text.width(t) / 2;
        text.y = 330;
        text.print(t);
    }
    text.x = 370;
    text.y = 312;
    if (wavelength) {
        text.print(QStringLiteral("λ  "));
        text.print(QStringLiteral(" (nm)"));
    } else {
        text.setItalic(true);
        text.print(QStringLiteral("c "));
        text.setItalic(false);
        text.x = 330;
        text.y = 344;
        text.print(QStringLiteral("(× 10"));
        text.y -= 3;
        text.print(QString::number(u - 6));
        text.y += 3;
        text.print(QStringLiteral(" mol · L"));
        text.y -= 3;
        text.print(QStringLiteral("-1"));
        text.y += 3;
        text.print(QStringLiteral(")"));
    }
    text.setItalic(true);
    text.x = 70;
    text.y = 5;
    text.print(QStringLiteral("A"));

    if (g.absaxe != 0) {
        for (int i = 0; i <= g.store.dercourbe; ++i) {
            QPainterPath path;
            for (const auto &[x, a] : g.curvePoints(i)) {
                const QPointF pt(wavelength ? graph::xLambda(x) : graph::xConc(x, u),
                                 graph::yAbs(a, g.absaxe));
                if (!std::isfinite(pt.x()) || !std::isfinite(pt.y()))
                    continue;
                if (path.elementCount() == 0)
                    path.moveTo(pt);
                else
                    path.lineTo(pt);
            }
            p.setPen(QPen(graph::curveColour(i), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
    }
    p.restore();
}

QByteArray graphSvg(graph::Graph &g, Feuille &f)
{
    const QImage &image = f.c.graphik->surface().image();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SvgDevice generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(image.size());
    generator.setViewBox(QRect(QPoint(0, 0), image.size()));
    generator.setResolution(image.logicalDpiX());
    generator.setTitle(QStringLiteral("Graphe"));
    generator.setDescription(g.typegraphe == 1
                                 ? QStringLiteral("Absorbance en fonction de la longueur d'onde")
                                 : QStringLiteral("Absorbance en fonction de la concentration"));
    QPainter p(&generator);
    drawGraph(p, g, f);
    p.end();
    return buffer.data();
}

void exporterCourbes(Feuille &f, graph::Graph &g)
{
    if (g.store.dercourbe < 0) {
        msgbox::show(f.window(), QStringLiteral("Aucune courbe à exporter."),
                     QStringLiteral("Exporter les courbes"), msgbox::Icon::Information);
        return;
    }
    const QString filter = QStringLiteral("Tableau CSV (*.csv)");
    QString chosen = filter;
    const QString caption = QStringLiteral("Exporter les courbes");
    QString path = askName(f, caption, QStringLiteral("courbes.csv"), filter, &chosen);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QByteArray table = graphCsv(g);
    writeOrWarn(f, path, [&table](QIODevice &d) { return d.write(table) == table.size(); });
}

void exporterGraphe(Feuille &f, graph::Graph &g)
{
    const QString png = QStringLiteral("Image PNG (*.png)");
    const QString svg = QStringLiteral("Dessin vectoriel SVG (*.svg)");
    QString chosen = png;
    QString path = askName(f, QStringLiteral("Exporter le graphe"), QStringLiteral("graphe.png"),
                           png + QStringLiteral(";;") + svg, &chosen);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool asSvg = suffix == QLatin1String("svg");
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("png")) {
        asSvg = chosen == svg;
        path += asSvg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    if (asSvg) {
        const QByteArray drawing = graphSvg(g, f);
        writeOrWarn(f, path,
                    [&drawing](QIODevice &d) { return d.write(drawing) == drawing.size(); });
    } else {
        const QImage image = f.c.graphik->surface().image();
        writeOrWarn(f, path, [&image](QIODevice &d) { return image.save(&d, "PNG"); });
    }
}

} // namespace output
