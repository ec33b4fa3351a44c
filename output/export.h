#pragma once
// Export of the graph to files, beside the clipboard copies: the stored curves
// as a table that a spreadsheet opens (CSV), and the graph as a picture (PNG)
// or as a vector drawing (SVG).
#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class Feuille;
class QPainter;
class QWidget;

namespace graph
{
class Graph;
struct CurveSettings;
} // namespace graph

namespace output
{

// x values (nm or mol/L) and absorbances of one curve.
using CurvePoints = QVector<QPair<double, float>>;

// Title of a curve's column: its number and the settings fixed along it,
// "Courbe 1 : Solution de permanganate de potassium, c = 0,001 mol/L, l = 1 cm".
QString curveHeading(int slot, const graph::CurveSettings &s, const QStringList &names,
                     bool wavelengthGraph);

// The table: a heading row, then one row per x with one absorbance column per
// curve. Semicolons between fields, decimal comma, CRLF line ends, UTF-8 with
// a byte order mark so that spreadsheets recognise the encoding. Curves whose
// x values differ share rows only where x is equal; elsewhere cells stay empty.
QByteArray curvesCsv(bool wavelengthGraph, const QStringList &headings,
                     const QVector<CurvePoints> &curves);

// A number as the table writes it: the shortest decimal that reads back as
// the same single-precision value, with a decimal comma and no exponent.
QString csvNumber(float value);

// The table of every stored curve of the graph, values as the redraw computes
// them, concentrations as the whole number of steps they stand for. Empty
// when there is no curve.
QByteArray graphCsv(graph::Graph &g);

// Draws the graph again as vectors with the same layout as on the screen: the
// grid, axes, graduations and every stored curve.
void drawGraph(QPainter &p, graph::Graph &g, Feuille &f);
// The same drawing as an SVG document the size of the graph.
QByteArray graphSvg(graph::Graph &g, Feuille &f);

// Asks where to save; returns an empty name when the user cancels. Unset, the
// standard file dialog asks. selectedFilter comes in as the proposed filter
// and goes out as the chosen one.
extern std::function<QString(QWidget *parent, const QString &caption, const QString &proposed,
                             const QString &filters, QString *selectedFilter)>
    askSaveFileName;

// "Exporter les courbes (CSV)...": with no curve an information message says
// so; otherwise the table is written where the user chooses.
void exporterCourbes(Feuille &f, graph::Graph &g);
// "Exporter le graphe (PNG, SVG)...": the graph's image as PNG, or the vector
// drawing when the name ends in .svg or the SVG filter was chosen.
void exporterGraphe(Feuille &f, graph::Graph &g);

} // namespace output
