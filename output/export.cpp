#include "output/export.h"
#include "output/report.h"
#include "output/svgdevice.h"

#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/picturebox.h"
#include "common/platform.h"
#include "common/safefile.h"
#include "common/updown.h"
#include "graph/curvestore.h"
#include "graph/graph.h"
#include "model/catalogue.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <map>

namespace output
{

std::function<QString(QWidget *, const QString &, const QString &, const QString &, QString *)>
    askSaveFileName;

namespace
{

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Like every file dialog, starts in the current folder (when the user may
// write there); choosing a file makes its folder the current one.
QString askName(Feuille &f, const QString &caption, const QString &name, const QString &filters,
                QString *chosen)
{
    const QString proposed = QDir(Platform::dialogFolder()).filePath(name);
    QString path;
    if (askSaveFileName)
        path = askSaveFileName(f.window(), caption, proposed, filters, chosen);
    else
        path = QFileDialog::getSaveFileName(f.window(), caption, proposed, filters, chosen);
    if (!path.isEmpty())
        QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

// A failed export leaves an earlier file as it was.
void writeOrWarn(Feuille &f, const QString &path, const std::function<bool(QIODevice &)> &write)
{
    if (!safefile::save(path, write))
        msgbox::show(f.window(), QStringLiteral("Ecriture impossible sur disque"),
                     QStringLiteral("Enregistrement impossible"), msgbox::Icon::Error);
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
    for (const QString &line : spectro::curveExtraLines(s.extra, s.conc))
        t += QStringLiteral(", ") + line;
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
    const QStringList names = spectro::extendedSolutionNames();
    QStringList headings;
    QVector<CurvePoints> curves;
    for (int i = 0; i <= g.store.dercourbe; ++i) {
        headings << curveHeading(i, g.store.curves[i], names, wavelength);
        CurvePoints points = g.curvePoints(i);
        // A concentration graph steps c by adding a single-precision step, a
        // hundredth of its limit (the last point), and the sum drifts from
        // the decimal (0,000069999995 for 0,00007): each point is a whole
        // number of steps, and the table gives that decimal.
        if (!wavelength && !points.isEmpty()) {
            const double step = numfmt::single(float(points.last().first)) / 100;
            for (auto &pt : points)
                pt.first = std::nearbyint(pt.first / step) * step;
        }
        curves << points;
    }
    return curvesCsv(wavelength, headings, curves);
}

void drawGraph(QPainter &p, graph::Graph &g, Feuille &)
{
    graph::paintGraph(p, g.picture(), graph::Rendering::Vectors);
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
