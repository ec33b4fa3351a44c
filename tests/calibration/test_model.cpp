// The calibration arithmetic: lines through exact and noisy points, the cases
// where no line can be computed, the reading of an unknown, dilution, the
// exercise records and the tables that leave the program.
#include "calibration/model.h"

#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

using namespace calib;

namespace
{

struct LineCase {
    const char *name;
    std::vector<double> c, a;
    Model model;
    bool ok;
    double k, b;      // expected when ok
    double tolerance; // relative on k, absolute on b
    double r2min;     // R² at least this (when ok and defined)
    const char *why;  // words the reason contains when !ok
};

class Lines : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(Lines, FitsOrSaysWhy)
{
    const LineCase &t = GetParam();
    const Fit f = fit(t.c, t.a, t.model);
    ASSERT_EQ(f.ok, t.ok) << f.why.toStdString();
    if (!t.ok) {
        EXPECT_TRUE(f.why.contains(QString::fromUtf8(t.why))) << f.why.toStdString();
        EXPECT_FALSE(f.r2.has_value());
        return;
    }
    EXPECT_TRUE(f.why.isEmpty());
    EXPECT_TRUE(std::isfinite(f.k));
    EXPECT_NEAR(f.k, t.k, std::fabs(t.k) * t.tolerance + 1e-12);
    EXPECT_NEAR(f.b, t.b, t.tolerance + 1e-12);
    if (t.r2min > -1) {
        ASSERT_TRUE(f.r2.has_value());
        EXPECT_GE(*f.r2, t.r2min);
        EXPECT_LE(*f.r2, 1.0 + 1e-12);
    }
}

const double kPerm = 2480; // L/mol, permanganate at 525 nm in 1 cm

INSTANTIATE_TEST_SUITE_P(
    Calibration, Lines,
    ::testing::Values(
        LineCase{"exact_origin",
                 {1e-4, 2e-4, 3e-4, 4e-4, 5e-4},
                 {0.248, 0.496, 0.744, 0.992, 1.24},
                 Model::Origin,
                 true,
                 kPerm,
                 0,
                 1e-12,
                 0.999999,
                 ""},
        LineCase{"exact_affine",
                 {1, 2, 3, 4},
                 {3.5, 5.5, 7.5, 9.5},
                 Model::Affine,
                 true,
                 2,
                 1.5,
                 1e-12,
                 0.999999,
                 ""},
        // Rounded readings (three significant digits) of A = 2480 c.
        LineCase{"rounded_readings_origin",
                 {1e-4, 2e-4, 3e-4, 4e-4, 5e-4},
                 {0.248, 0.495, 0.743, 0.991, 1.24},
                 Model::Origin,
                 true,
                 2478.7,
                 0,
                 1e-3,
                 0.9999,
                 ""},
        // Noisy points: k = sum(cA) / sum(c^2) = 24.1 / 9.9... computed by hand.
        LineCase{"noisy_origin",
                 {1, 2, 3},
                 {2.1, 3.9, 6.1},
                 Model::Origin,
                 true,
                 (2.1 + 7.8 + 18.3) / 14.0,
                 0,
                 1e-12,
                 0.99,
                 ""},
        LineCase{"noisy_affine",
                 {1, 2, 3},
                 {2.1, 3.9, 6.1},
                 Model::Affine,
                 true,
                 2.0,
                 0.0333333,
                 1e-6,
                 0.99,
                 ""},
        // A point at the origin counts as any other.
        LineCase{"zero_and_one_standard",
                 {0, 1e-4},
                 {0, 0.25},
                 Model::Origin,
                 true,
                 2500,
                 0,
                 1e-12,
                 0.999999,
                 ""},
        // A horizontal affine line through equal absorbances: R² has no meaning.
        LineCase{
            "flat_affine", {1, 2, 3}, {0.5, 0.5, 0.5}, Model::Affine, true, 0, 0.5, 1e-12, -2, ""},
        LineCase{"no_point", {}, {}, Model::Origin, false, 0, 0, 0, 0, "Aucun point"},
        LineCase{"one_point", {1e-4}, {0.248}, Model::Origin, false, 0, 0, 0, 0, "Un seul point"},
        LineCase{"only_zero_concentration",
                 {0, 0, 0},
                 {0, 0.01, 0},
                 Model::Origin,
                 false,
                 0,
                 0,
                 0,
                 0,
                 "c = 0"},
        LineCase{"only_zero_affine", {0, 0}, {0, 0}, Model::Affine, false, 0, 0, 0, 0, "c = 0"},
        LineCase{"same_concentration_different_readings",
                 {2e-4, 2e-4},
                 {0.49, 0.51},
                 Model::Origin,
                 false,
                 0,
                 0,
                 0,
                 0,
                 "même concentration"},
        LineCase{"same_concentration_affine",
                 {2e-4, 2e-4, 2e-4},
                 {0.49, 0.51, 0.5},
                 Model::Affine,
                 false,
                 0,
                 0,
                 0,
                 0,
                 "même concentration"},
        LineCase{"non_finite_left_out",
                 {1e-4, NAN, 2e-4},
                 {0.25, 0.3, INFINITY},
                 Model::Origin,
                 false,
                 0,
                 0,
                 0,
                 0,
                 "Un seul point"}),
    [](const ::testing::TestParamInfo<LineCase> &i) { return std::string(i.param.name); });

Point pt(double c, float a, bool beyond = false, bool unknown = false, int lambda = 525,
         int cuve = 2, int sol = 8)
{
    Point p;
    p.c = c;
    p.conc = cell(c);
    p.absorbance = a;
    p.beyond = beyond;
    p.unknown = unknown;
    p.lambda = lambda;
    p.cuve = cuve;
    p.sol = sol;
    p.solName = QStringLiteral("Solution de permanganate de potassium");
    return p;
}

TEST(Points, BeyondTheLimitAndUnknownAreLeftOutButKept)
{
    const QVector<Point> pts = {pt(1e-4, 0.248f), pt(2e-4, 0.496f), pt(2e-3, 3, true),
                                pt(1.5e-4, 0.372f, false, true)};
    const Fit f = fit(pts, Model::Origin);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.used, 2);
    EXPECT_NEAR(f.k, 2480, 1e-3); // absorbances are single floats
    EXPECT_DOUBLE_EQ(f.cmax, 2e-4);
    // The table still lists all four points.
    EXPECT_EQ(table(pts, f).rows.size(), 4);
}

TEST(Points, OnlyBeyondTheLimitSaysSo)
{
    const Fit f = fit(QVector<Point>{pt(1e-2, 3, true), pt(2e-2, 3, true)}, Model::Origin);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.why.contains(QStringLiteral("limite de lecture"))) << f.why.toStdString();
}

TEST(Points, OneStandardAndOneBeyondSaysWhyItDoesNotCount)
{
    const Fit f = fit(QVector<Point>{pt(1e-4, 0.248f), pt(2e-2, 3, true)}, Model::Origin);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.why.contains(QStringLiteral("Un seul point")));
    EXPECT_TRUE(f.why.contains(QStringLiteral("hors limite")));
}

TEST(Points, PointsAboveTheLinearDomainPullTheLineButStayVisible)
{
    // 0,01 mol/L of permanganate at 525 nm reads "----": left out, not hidden.
    QVector<Point> pts = {pt(1e-4, 0.248f), pt(2e-4, 0.495f), pt(1e-2, 3, true)};
    const Fit f = fit(pts, Model::Origin);
    ASSERT_TRUE(f.ok);
    const Table t = table(pts, f);
    EXPECT_EQ(t.rows[2][6], QStringLiteral("----"));
}

TEST(Epsilon, SlopeOverThickness)
{
    for (const auto &[code, l] : std::vector<std::pair<int, double>>{{1, 0.5}, {2, 1}, {3, 1.5}}) {
        const QVector<Point> pts = {pt(1e-4, float(0.248 * l), false, false, 525, code),
                                    pt(2e-4, float(0.496 * l), false, false, 525, code)};
        const Fit f = fit(pts, Model::Origin);
        const auto e = epsilon(f, pts);
        ASSERT_TRUE(e.has_value());
        EXPECT_NEAR(*e, 2480, 1e-3) << "cuvette code " << code;
    }
    QString why;
    const QVector<Point> mixed = {pt(1e-4, 0.248f, false, false, 525, 2),
                                  pt(2e-4, 0.248f, false, false, 525, 1)};
    EXPECT_FALSE(epsilon(fit(mixed, Model::Origin), mixed, &why).has_value());
    EXPECT_TRUE(why.contains(QStringLiteral("même cuve")));
    EXPECT_FALSE(epsilon(fit(mixed, Model::Affine), mixed).has_value());
}

TEST(Warnings, MixedSolutionsWavelengthsCuvettes)
{
    EXPECT_TRUE(mixWarnings({pt(1e-4, 0.2f), pt(2e-4, 0.4f)}).isEmpty());
    EXPECT_EQ(mixWarnings({pt(1e-4, 0.2f), pt(2e-4, 0.4f, false, false, 550)}).size(), 1);
    EXPECT_EQ(mixWarnings({pt(1e-4, 0.2f, false, false, 525, 1, 3),
                           pt(2e-4, 0.4f, false, false, 550, 2, 8)})
                  .size(),
              3);
}

TEST(Reading, ConcentrationOnTheLine)
{
    const Fit f = fit({1e-4, 2e-4}, {0.248, 0.496}, Model::Origin);
    EXPECT_NEAR(*readConcentration(f, 0.619), 0.619 / 2480, 1e-12);
    const Fit a = fit({1, 2}, {3.5, 5.5}, Model::Affine);
    EXPECT_NEAR(*readConcentration(a, 4.5), 1.5, 1e-12);
    QString why;
    const Fit flat = fit({1, 2, 3}, {0.5, 0.5, 0.5}, Model::Affine);
    EXPECT_FALSE(readConcentration(flat, 0.5, &why).has_value());
    EXPECT_TRUE(why.contains(QStringLiteral("horizontale")));
    const Fit none = fit({1e-4}, {0.2}, Model::Origin);
    EXPECT_FALSE(readConcentration(none, 0.5, &why).has_value());
    EXPECT_EQ(why, none.why);
    const Fit zero = fit({1e-4, 2e-4}, {0, 0}, Model::Origin);
    ASSERT_TRUE(zero.ok);
    EXPECT_FALSE(readConcentration(zero, 0.1).has_value());
}

struct DilutionCase {
    double stock, pipette, flask;
    bool ok;
    double c, factor;
};

TEST(Dilution, FromStock)
{
    const DilutionCase cases[] = {
        {1e-3, 5, 50, true, 1e-4, 10},    {1e-3, 10, 50, true, 2e-4, 5},
        {1e-3, 25, 25, true, 1e-3, 1},    {1e-3, 1, 100, true, 1e-5, 100},
        {1e-3, 20, 25, true, 8e-4, 1.25}, {1e-3, 50, 25, false, 0, 0}, // pipette > flask
        {0, 5, 50, false, 0, 0},          {1, 25, 100, false, 0, 0},   // 0,25 mol/L > 0,1
        {1e-5, 1, 100, false, 0, 0},                                   // 1e-7 < 1e-6
    };
    for (const DilutionCase &t : cases) {
        QString why;
        const auto d = dilute(t.stock, t.pipette, t.flask, &why);
        ASSERT_EQ(d.has_value(), t.ok) << t.stock << " " << t.pipette << " " << t.flask;
        if (d) {
            EXPECT_NEAR(d->c, t.c, t.c * 1e-12);
            EXPECT_NEAR(d->factor, t.factor, 1e-12);
        } else {
            EXPECT_FALSE(why.isEmpty());
        }
    }
    // A 50 mL flask gives a standard for every pipette below it.
    const QVector<SeriesRow> s = series(1e-3, 50);
    ASSERT_EQ(s.size(), 6);
    EXPECT_NEAR(s[2].d.c, 1e-4, 1e-15);
    EXPECT_EQ(series(1e-3, 25).size(), 5);
    EXPECT_EQ(concentrationText(1e-4), QStringLiteral("0,000 1"));
    EXPECT_EQ(concentrationText(2.5e-4), QStringLiteral("0,000 25"));
}

TEST(Unknown, DrawnInsideTheRange)
{
    for (double u : {0.0, 0.25, 0.5, 0.999999}) {
        const double c = drawUnknown(1e-3, u);
        EXPECT_GE(c, 1e-4 * (1 - 1e-9));
        EXPECT_LE(c, 9e-4 * (1 + 1e-9));
    }
    EXPECT_DOUBLE_EQ(drawUnknown(1e-3, 0.5), 5e-4);
    EXPECT_NEAR(relativeGap(2.55e-4, 2.5e-4), 2.0, 1e-9);
    EXPECT_NEAR(relativeGap(2.45e-4, 2.5e-4), -2.0, 1e-9);
}

TEST(ExerciseRecords, ReadWriteAndRefuse)
{
    Exercise e;
    e.unknown = 2.5e-4;
    e.standards = {1e-4, 2e-4, 3e-4};
    e.model = Model::Affine;
    e.stock = 1e-3;
    e.limit = 4;
    bool bad = true;
    const auto back = parseExercise(exerciseRecords(e), &bad);
    ASSERT_TRUE(back.has_value());
    EXPECT_FALSE(bad);
    EXPECT_DOUBLE_EQ(back->unknown, 2.5e-4);
    EXPECT_EQ(back->standards.size(), 3);
    EXPECT_EQ(back->model, Model::Affine);
    EXPECT_DOUBLE_EQ(back->stock, 1e-3);
    EXPECT_EQ(back->limit, 4);
    EXPECT_EQ(exerciseRecords(e).last(), QStringLiteral("-2"));

    // Not a calibration exercise: nothing, and nothing wrong.
    EXPECT_FALSE(parseExercise({}, &bad).has_value());
    EXPECT_FALSE(bad);
    EXPECT_FALSE(parseExercise({QString(), QStringLiteral("1E-4")}, &bad).has_value());
    EXPECT_FALSE(bad);

    const QStringList refused[] = {
        {kTag, QStringLiteral("0,2")},  // above 0,1 mol/L
        {kTag, QStringLiteral("1E-7")}, // below 1e-6
        {kTag, QStringLiteral("abc")},  // unreadable
        {kTag, QString()},              // missing
        {kTag, QStringLiteral("1E-4"), QStringLiteral("1E-4;x")},
        {kTag, QStringLiteral("1E-4"), QString(), QStringLiteral("parabole")},
        {kTag, QStringLiteral("1E-4"), QString(), QString(), QStringLiteral("-1")},
        {kTag, QStringLiteral("1E-4"), QString(), QString(), QString(), QStringLiteral("-6")},
        {kTag, QStringLiteral("1E-4"), QString(), QString(), QString(), QStringLiteral("2")},
    };
    for (const QStringList &r : refused) {
        bad = false;
        EXPECT_FALSE(parseExercise(r, &bad).has_value()) << r.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(bad) << r.join(QLatin1Char('|')).toStdString();
    }
}

TEST(Tables, SpreadsheetCellsAndNoLeakOfTheUnknown)
{
    // The reading on the line (0,786 / 2480) differs from the hidden value.
    const double hidden = 3.1234e-4;
    const QVector<Point> pts = {pt(1e-4, 0.248f), pt(2e-4, 0.496f),
                                pt(hidden, 0.786f, false, true)};
    const Fit f = fit(pts, Model::Origin);
    const Table t = table(pts, f);
    ASSERT_EQ(t.header.size(), 7);
    EXPECT_EQ(t.rows[0][2], QStringLiteral("0,0001"));
    EXPECT_EQ(t.rows[0][6], QStringLiteral("0,248"));
    EXPECT_EQ(t.rows[2][2], kUnknownText);

    const QString tsv = toTsv(t);
    const QString html = toHtml(t);
    const QByteArray csvBytes = toCsv(t);
    EXPECT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF"));
    const QString csv = QString::fromUtf8(csvBytes.mid(3));
    EXPECT_TRUE(tsv.startsWith(QStringLiteral("N°\tSolution\tc (mol/L)")));
    EXPECT_TRUE(tsv.contains(QStringLiteral("\r\n2\tSolution de permanganate de potassium\t"
                                            "0,0002\t\t525\t1\t0,496\r\n")))
        << tsv.toStdString();
    EXPECT_TRUE(tsv.contains(QStringLiteral("k (L/mol)\t2480\r\n"))) << tsv.toStdString();
    EXPECT_TRUE(tsv.contains(QStringLiteral("ε (L/mol/cm)\t2480")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>0,248</td>")));
    EXPECT_TRUE(tsv.contains(QStringLiteral("c lue (mol/L)\t0,000317")));
    EXPECT_TRUE(csv.startsWith(QStringLiteral("N°;Solution;c (mol/L);pH")));
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n1;Solution de permanganate de potassium;0,0001;;"
                                            "525;1;0,248\r\n")));
    // The hidden value, in any of the forms a number can take, is nowhere.
    for (const QString &out : {tsv, html, csv}) {
        for (const QString &form :
             {QStringLiteral("31234"), QStringLiteral("3,12E-04"), QStringLiteral("0,000312"),
              QStringLiteral("0.000312"), QStringLiteral("0,000 312")})
            EXPECT_FALSE(out.contains(form)) << form.toStdString();
    }
}

TEST(Format, ThreeSignificantDigits)
{
    EXPECT_EQ(sig3(2478.7), QStringLiteral("2,48E+03"));
    EXPECT_EQ(pretty(2478.7), QStringLiteral("2,48 × 10³"));
    EXPECT_EQ(pretty(2.5e-4), QStringLiteral("2,50 × 10⁻⁴"));
    EXPECT_EQ(pretty(0.619), QStringLiteral("0,619"));
    EXPECT_EQ(pretty(12.54), QStringLiteral("12,5"));
    EXPECT_EQ(pretty(NAN), QStringLiteral("—"));
    EXPECT_EQ(cell(2.5e-4), QStringLiteral("0,00025"));
    EXPECT_EQ(cell(1.25e-7), QStringLiteral("1,25E-07"));
}

} // namespace
