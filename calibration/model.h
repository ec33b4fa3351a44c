#pragma once
// Determination by calibration ("dosage par étalonnage"): the points a pupil
// measures, the least-squares lines through them, the reading of an unknown
// on the line, the dilution of a stock solution, and the tables that leave the
// program. No widget here: the windows only show what this computes.
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>
#include <vector>

namespace calib
{

// Text of the concentration box while the unknown sample is in the cuvette.
inline const QString kUnknownText = QStringLiteral("inconnue");

struct Point {
    int sol = -1;         // solution list index
    QString solName;      // its list text
    QString conc;         // concentration text as shown; kUnknownText for the unknown
    double c = 0;         // mol/L; for the unknown the hidden value, never written out
    QString ph;           // pH text
    int lambda = 0;       // nm
    int cuve = 2;         // thickness code 1..3
    float absorbance = 0; // as read, 3 when beyond the limit
    bool beyond = false;  // read "----": kept, shown, left out of the line
    bool unknown = false; // the sample of unknown concentration
};

enum class Model { Origin, Affine };

// A least-squares line A = k·c (through the origin) or A = k·c + b.
struct Fit {
    bool ok = false;
    QString why; // when !ok: why no line can be computed
    Model model = Model::Origin;
    double k = 0;              // slope, L/mol
    double b = 0;              // intercept (affine only)
    std::optional<double> r2;  // none when every absorbance used is the same
    int used = 0;              // points in the fit
    double cmin = 0, cmax = 0; // measured range of the points used
};

// The line through (c, A) pairs, every pair used. The reasons are the ones
// the pupil reads: too few points, all at c = 0, all at one concentration.
Fit fit(const std::vector<double> &c, const std::vector<double> &a, Model model);
// The line through the standards: the unknown and the points beyond the
// limit are left out (and said so when nothing else is left).
Fit fit(const QVector<Point> &points, Model model);

// Value of the line at c.
double lineAt(const Fit &f, double c);
// Concentration read on the line for an absorbance; empty with the reason
// when the line is flat.
std::optional<double> readConcentration(const Fit &f, double absorbance, QString *why = nullptr);

// Molar absorption coefficient ε = k / l (L·mol⁻¹·cm⁻¹) of a line through
// the origin, l from the cuvette of the standards; empty with the reason when
// the standards were not all measured in one cuvette or there is no line.
std::optional<double> epsilon(const Fit &f, const QVector<Point> &points, QString *why = nullptr);

// Sentences warning that points do not belong on one line: more than one
// solution, wavelength or cuvette among them.
QStringList mixWarnings(const QVector<Point> &points);

// Three significant digits as the program writes them, "2,48E+03".
QString sig3(double v);
// Three significant digits for reading: "2,48 × 10³", "0,619", "12,5".
QString pretty(double v);

// ---- dilution ----

inline const double kPipettes[] = {1, 2, 5, 10, 20, 25}; // mL
inline const double kFlasks[] = {25, 50, 100};           // mL

struct Dilution {
    double c = 0;      // mol/L of the standard
    double factor = 0; // flask / pipette
};
// A standard made from a stock solution: pipetted volume into a flask. Empty
// with the reason when it cannot be made or falls outside the box's range.
std::optional<Dilution> dilute(double stock, double pipette, double flask, QString *why = nullptr);
// The series a flask gives with every pipette smaller than it, smallest first.
struct SeriesRow {
    double pipette = 0;
    double flask = 0;
    Dilution d;
};
QVector<SeriesRow> series(double stock, double flask);
// Concentration text as the box shows it after its check ("0,000 1").
QString concentrationText(double c);

// ---- the unknown sample ----

// A concentration for an unknown drawn in the graph's range: u in [0, 1)
// gives 10 % to 90 % of cmax, three significant digits.
double drawUnknown(double cmax, double u);
// Relative gap of an answer to the true value, in %.
double relativeGap(double answer, double truth);

// ---- calibration records of an exercise description ----

// Six records: the tag, the unknown's concentration, the standards separated
// by ";", the model ("origine" or "affine"), the stock solution's
// concentration, the exponent of the concentration graph's limit ("-3").
// They follow the specified records of a ".E35" (records 12 to 17) or fill a
// file of their own beside it, same name with the extension ".ETA".
constexpr int kFirstRecord = 12;
constexpr int kRecordCount = 6;
inline const QString kTag = QStringLiteral("ETALONNAGE");
inline const QString kSideExtension = QStringLiteral(".ETA");

struct Exercise {
    double unknown = 0;        // mol/L
    QVector<double> standards; // mol/L, in the order given
    Model model = Model::Origin;
    double stock = 0; // 0 when none
    int limit = 0;    // UpDown2 value 1..5 of the graph's limit, 0 to leave it
};
// records[0] is the tag. Empty without error when record 12 is not the tag
// (an exercise without calibration); empty with *bad when the records are
// tagged but unreadable or name an unknown outside 1e-6..0,1 mol/L.
std::optional<Exercise> parseExercise(const QStringList &records, bool *bad);
QStringList exerciseRecords(const Exercise &e);

// ---- tables ----

struct Table {
    QStringList header;
    QVector<QStringList> rows;
    QVector<QStringList> summary; // label / value pairs after the points
};
// The points and the model as cells: numbers with a decimal comma and no
// grouping spaces, the unknown's concentration as "inconnue" whatever it is.
Table table(const QVector<Point> &points, const Fit &f);
// Tab-separated text, CRLF, for the clipboard.
QString toTsv(const Table &t);
// An HTML table for the clipboard.
QString toHtml(const Table &t);
// Semicolons, decimal comma, CRLF, UTF-8 with a byte order mark.
QByteArray toCsv(const Table &t);
// A number as a spreadsheet reads it: up to 6 significant digits, comma.
QString cell(double v);

} // namespace calib
