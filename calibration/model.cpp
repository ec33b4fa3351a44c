#include "calibration/model.h"

#include "common/numfmt.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace calib
{

namespace
{

double thicknessCm(int code)
{
    switch (code) {
    case 1:
        return 0.5;
    case 3:
        return 1.5;
    default:
        return 1.0;
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString q = text;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString modelText(Model m)
{
    return m == Model::Origin ? QStringLiteral("A = k · c") : QStringLiteral("A = a · c + b");
}

} // namespace

Fit fit(const std::vector<double> &c, const std::vector<double> &a, Model model)
{
    Fit f;
    f.model = model;
    const size_t n = std::min(c.size(), a.size());
    std::vector<double> xs, ys;
    for (size_t i = 0; i < n; ++i) {
        if (std::isfinite(c[i]) && std::isfinite(a[i])) {
            xs.push_back(c[i]);
            ys.push_back(a[i]);
        }
    }
    f.used = int(xs.size());
    if (xs.empty()) {
        f.why = QStringLiteral("Aucun point mesuré : mesurer au moins deux solutions étalons.");
        return f;
    }
    if (xs.size() == 1) {
        f.why = QStringLiteral("Un seul point : il en faut au moins deux pour tracer une droite.");
        return f;
    }
    const auto [mn, mx] = std::minmax_element(xs.begin(), xs.end());
    f.cmin = *mn;
    f.cmax = *mx;
    if (*mn == 0 && *mx == 0) {
        f.why = QStringLiteral("Tous les points sont à c = 0 : la pente ne peut pas être "
                               "calculée.");
        return f;
    }
    if (*mn == *mx) {
        f.why = QStringLiteral("Tous les points sont à la même concentration : aucune droite "
                               "ne peut être calculée. Mesurer des étalons de concentrations "
                               "différentes.");
        return f;
    }
    const double m = double(xs.size());
    double sx = 0, sy = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
        sx += xs[i];
        sy += ys[i];
    }
    const double xbar = sx / m, ybar = sy / m;
    if (model == Model::Origin) {
        double sxy = 0, sxx = 0;
        for (size_t i = 0; i < xs.size(); ++i) {
            sxy += xs[i] * ys[i];
            sxx += xs[i] * xs[i];
        }
        f.k = sxy / sxx; // sxx > 0: some c differs from 0
        f.b = 0;
    } else {
        double sxy = 0, sxx = 0;
        for (size_t i = 0; i < xs.size(); ++i) {
            sxy += (xs[i] - xbar) * (ys[i] - ybar);
            sxx += (xs[i] - xbar) * (xs[i] - xbar);
        }
        f.k = sxy / sxx; // sxx > 0: two concentrations differ
        f.b = ybar - f.k * xbar;
    }
    double ssres = 0, sstot = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
        const double r = ys[i] - (f.k * xs[i] + f.b);
        ssres += r * r;
        sstot += (ys[i] - ybar) * (ys[i] - ybar);
    }
    // All absorbances equal: the spread to explain is nil and R² means nothing.
    const double scale = std::max(std::fabs(ybar), 1e-300);
    if (sstot > 1e-24 * scale * scale * m)
        f.r2 = 1.0 - ssres / sstot;
    if (!std::isfinite(f.k) || !std::isfinite(f.b)) {
        f = Fit{};
        f.model = model;
        f.why = QStringLiteral("Les valeurs mesurées ne permettent pas de calculer une droite.");
        return f;
    }
    f.ok = true;
    return f;
}

Fit fit(const QVector<Point> &points, Model model)
{
    std::vector<double> c, a;
    int standards = 0, beyond = 0;
    for (const Point &p : points) {
        if (p.unknown)
            continue;
        ++standards;
        if (p.beyond) {
            ++beyond;
            continue;
        }
        c.push_back(p.c);
        a.push_back(p.absorbance);
    }
    if (standards > 0 && beyond == standards) {
        Fit f;
        f.model = model;
        f.why = QStringLiteral("Tous les étalons sont au-delà de la limite de lecture (----) : "
                               "les diluer ou choisir une autre longueur d'onde.");
        return f;
    }
    Fit f = fit(c, a, model);
    if (!f.ok && beyond > 0 && f.used <= 1)
        f.why += QStringLiteral(" Les points hors limite (----) ne comptent pas.");
    return f;
}

double lineAt(const Fit &f, double c)
{
    return f.k * c + f.b;
}

std::optional<double> readConcentration(const Fit &f, double absorbance, QString *why)
{
    auto fail = [why](const QString &t) -> std::optional<double> {
        if (why)
            *why = t;
        return std::nullopt;
    };
    if (!f.ok)
        return fail(f.why);
    if (!std::isfinite(absorbance))
        return fail(QStringLiteral("Absorbance illisible."));
    if (f.k == 0)
        return fail(QStringLiteral("La droite est horizontale : aucune concentration ne peut "
                                   "être lue."));
    const double c = (absorbance - f.b) / f.k;
    if (!std::isfinite(c))
        return fail(QStringLiteral("La concentration ne peut pas être lue sur la droite."));
    return c;
}

std::optional<double> epsilon(const Fit &f, const QVector<Point> &points, QString *why)
{
    auto fail = [why](const QString &t) -> std::optional<double> {
        if (why)
            *why = t;
        return std::nullopt;
    };
    if (!f.ok)
        return fail(f.why);
    if (f.model != Model::Origin)
        return fail(QStringLiteral("ε se déduit de la droite passant par l'origine."));
    QSet<int> cuves;
    for (const Point &p : points) {
        if (!p.unknown && !p.beyond)
            cuves.insert(p.cuve);
    }
    if (cuves.size() != 1)
        return fail(QStringLiteral("Les étalons n'ont pas tous été mesurés dans la même cuve."));
    return f.k / thicknessCm(*cuves.begin());
}

QStringList mixWarnings(const QVector<Point> &points)
{
    QSet<int> sols, lambdas, cuves;
    for (const Point &p : points) {
        sols.insert(p.sol);
        lambdas.insert(p.lambda);
        cuves.insert(p.cuve);
    }
    QStringList w;
    if (sols.size() > 1)
        w << QStringLiteral("Les points mélangent plusieurs solutions : ils ne sont pas sur une "
                            "même droite.");
    if (lambdas.size() > 1)
        w << QStringLiteral("Les points ont été mesurés à plusieurs longueurs d'onde : ils ne "
                            "sont pas sur une même droite.");
    if (cuves.size() > 1)
        w << QStringLiteral("Les points ont été mesurés avec des cuves d'épaisseurs "
                            "différentes : ils ne sont pas sur une même droite.");
    return w;
}

QString sig3(double v)
{
    return numfmt::format(v, QStringLiteral("0.00E+00"));
}

QString pretty(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("—");
    if (v == 0)
        return QStringLiteral("0");
    const double a = std::fabs(v);
    if (a >= 0.01 && a < 1000) {
        // Three significant digits in plain decimals.
        const int e = int(std::floor(std::log10(a)));
        const int decimals = std::max(0, 2 - e);
        QString s = QString::number(numfmt::round3(v), 'f', decimals);
        return s.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    const QString t = sig3(v); // "2,48E+03"
    const int e = t.indexOf(QLatin1Char('E'));
    const int exponent = t.mid(e + 1).toInt();
    static const QString sup = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString ex;
    if (exponent < 0)
        ex += QStringLiteral("⁻");
    for (const QChar ch : QString::number(std::abs(exponent)))
        ex += sup[ch.digitValue()];
    return t.left(e) + QStringLiteral(" × 10") + ex;
}

std::optional<Dilution> dilute(double stock, double pipette, double flask, QString *why)
{
    auto fail = [why](const QString &t) -> std::optional<Dilution> {
        if (why)
            *why = t;
        return std::nullopt;
    };
    if (!std::isfinite(stock) || stock <= 0)
        return fail(QStringLiteral("Saisir la concentration de la solution mère."));
    if (!(pipette > 0) || !(flask > 0))
        return fail(QStringLiteral("Choisir une pipette et une fiole jaugées."));
    if (pipette > flask)
        return fail(QStringLiteral("Le volume prélevé dépasse celui de la fiole."));
    Dilution d;
    d.factor = flask / pipette;
    d.c = stock * pipette / flask;
    if (d.c < 1e-6 * (1 - 1e-9) || d.c > 0.1 * (1 + 1e-9))
        return fail(QStringLiteral("La concentration obtenue sort du domaine de 10⁻⁶ à 0,1 "
                                   "mol·L⁻¹ du simulateur."));
    return d;
}

QVector<SeriesRow> series(double stock, double flask)
{
    QVector<SeriesRow> rows;
    for (double p : kPipettes) {
        if (p >= flask)
            continue;
        if (const auto d = dilute(stock, p, flask))
            rows.append({p, flask, *d});
    }
    return rows;
}

QString concentrationText(double c)
{
    const float r = float(numfmt::round3(c));
    return numfmt::format(numfmt::single(r), QStringLiteral("0.0## ### ###")).trimmed();
}

double drawUnknown(double cmax, double u)
{
    u = std::clamp(u, 0.0, 1.0);
    return numfmt::round3(cmax * (0.1 + 0.8 * u));
}

double relativeGap(double answer, double truth)
{
    if (truth == 0)
        return answer == 0 ? 0 : INFINITY;
    return (answer - truth) / truth * 100.0;
}

std::optional<Exercise> parseExercise(const QStringList &records, bool *bad)
{
    if (bad)
        *bad = false;
    if (records.isEmpty() || records[0].trimmed() != kTag)
        return std::nullopt;
    auto fail = [bad]() -> std::optional<Exercise> {
        if (bad)
            *bad = true;
        return std::nullopt;
    };
    Exercise e;
    const std::optional<double> u = numfmt::readNumber(records.value(1).trimmed());
    if (!u || !std::isfinite(*u) || *u < 1e-6 || *u > 0.1)
        return fail();
    e.unknown = *u;
    const QString list = records.value(2).trimmed();
    if (!list.isEmpty()) {
        for (const QString &s : list.split(QLatin1Char(';'))) {
            const std::optional<double> c = numfmt::readNumber(s.trimmed());
            if (!c || !std::isfinite(*c) || *c < 1e-6 || *c > 0.1)
                return fail();
            e.standards.append(*c);
        }
    }
    const QString model = records.value(3).trimmed();
    if (model == QLatin1String("affine"))
        e.model = Model::Affine;
    else if (model.isEmpty() || model == QLatin1String("origine"))
        e.model = Model::Origin;
    else
        return fail();
    const QString stock = records.value(4).trimmed();
    if (!stock.isEmpty()) {
        const std::optional<double> s = numfmt::readNumber(stock);
        if (!s || !std::isfinite(*s) || *s <= 0 || *s > 10)
            return fail();
        e.stock = *s;
    }
    const QString limit = records.value(5).trimmed();
    if (!limit.isEmpty()) {
        bool ok = false;
        const int exponent = limit.toInt(&ok);
        if (!ok || exponent < -5 || exponent > -1)
            return fail();
        e.limit = exponent + 6;
    }
    return e;
}

QStringList exerciseRecords(const Exercise &e)
{
    QStringList std;
    for (double c : e.standards)
        std << cell(c);
    return {kTag,
            cell(e.unknown),
            std.join(QLatin1Char(';')),
            e.model == Model::Affine ? QStringLiteral("affine") : QStringLiteral("origine"),
            e.stock > 0 ? cell(e.stock) : QString(),
            e.limit > 0 ? QString::number(e.limit - 6) : QString()};
}

QString cell(double v)
{
    if (!std::isfinite(v))
        return QString();
    QString s = QString::number(v, 'g', 6);
    if (s.contains(QLatin1Char('e'))) {
        // Spreadsheets read 2,5E-04 as a number.
        s = QString::number(v, 'E', 5);
        const int e = s.indexOf(QLatin1Char('E'));
        QString mant = s.left(e);
        while (mant.contains(QLatin1Char('.')) && mant.endsWith(QLatin1Char('0')))
            mant.chop(1);
        if (mant.endsWith(QLatin1Char('.')))
            mant.chop(1);
        s = mant + s.mid(e);
    }
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

Table table(const QVector<Point> &points, const Fit &f)
{
    Table t;
    t.header = {QStringLiteral("N°"), QStringLiteral("Solution"), QStringLiteral("c (mol/L)"),
                QStringLiteral("pH"), QStringLiteral("λ (nm)"),   QStringLiteral("l (cm)"),
                QStringLiteral("A")};
    for (int i = 0; i < points.size(); ++i) {
        const Point &p = points[i];
        t.rows.append({QString::number(i + 1), p.solName, p.unknown ? kUnknownText : cell(p.c),
                       p.ph, QString::number(p.lambda), cell(thicknessCm(p.cuve)),
                       p.beyond ? QStringLiteral("----") : cell(double(p.absorbance))});
    }
    t.summary.append({QStringLiteral("Modèle"), modelText(f.model)});
    if (!f.ok) {
        t.summary.append({QStringLiteral("Droite"), f.why});
        return t;
    }
    if (f.model == Model::Origin) {
        t.summary.append({QStringLiteral("k (L/mol)"), cell(numfmt::round3(f.k))});
    } else {
        t.summary.append({QStringLiteral("a (L/mol)"), cell(numfmt::round3(f.k))});
        t.summary.append({QStringLiteral("b"), cell(numfmt::round3(f.b))});
    }
    t.summary.append(
        {QStringLiteral("R²"),
         f.r2 ? QString::number(*f.r2, 'f', 4).replace(QLatin1Char('.'), QLatin1Char(','))
              : QStringLiteral("non défini")});
    if (const auto eps = epsilon(f, points))
        t.summary.append({QStringLiteral("ε (L/mol/cm)"), cell(numfmt::round3(*eps))});
    for (const Point &p : points) {
        if (!p.unknown || p.beyond)
            continue;
        if (const auto c = readConcentration(f, p.absorbance))
            t.summary.append(
                {QStringLiteral("Échantillon inconnu, c lue (mol/L)"), cell(numfmt::round3(*c))});
    }
    return t;
}

QString toTsv(const Table &t)
{
    const QString eol = QStringLiteral("\r\n");
    auto clean = [](QString s) {
        s.replace(QLatin1Char('\t'), QLatin1Char(' '));
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        s.remove(QLatin1Char('\r'));
        return s;
    };
    QStringList lines;
    QStringList h;
    for (const QString &s : t.header)
        h << clean(s);
    lines << h.join(QLatin1Char('\t'));
    for (const QStringList &r : t.rows) {
        QStringList cells;
        for (const QString &s : r)
            cells << clean(s);
        lines << cells.join(QLatin1Char('\t'));
    }
    lines << QString();
    for (const QStringList &r : t.summary) {
        QStringList cells;
        for (const QString &s : r)
            cells << clean(s);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(eol) + eol;
}

QString toHtml(const Table &t)
{
    auto esc = [](const QString &s) { return s.toHtmlEscaped(); };
    QString h = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr>");
    for (const QString &s : t.header)
        h += QStringLiteral("<th>") + esc(s) + QStringLiteral("</th>");
    h += QStringLiteral("</tr>\n");
    for (const QStringList &r : t.rows) {
        h += QStringLiteral("<tr>");
        for (const QString &s : r)
            h += QStringLiteral("<td>") + esc(s) + QStringLiteral("</td>");
        h += QStringLiteral("</tr>\n");
    }
    h += QStringLiteral("</table>\n<table>\n");
    for (const QStringList &r : t.summary) {
        h += QStringLiteral("<tr>");
        for (const QString &s : r)
            h += QStringLiteral("<td>") + esc(s) + QStringLiteral("</td>");
        h += QStringLiteral("</tr>\n");
    }
    h += QStringLiteral("</table>\n");
    return h;
}

QByteArray toCsv(const Table &t)
{
    const QString eol = QStringLiteral("\r\n");
    QString out;
    auto row = [&](const QStringList &cells) {
        QStringList f;
        for (const QString &s : cells)
            f << csvField(s);
        out += f.join(QLatin1Char(';')) + eol;
    };
    row(t.header);
    for (const QStringList &r : t.rows)
        row(r);
    out += eol;
    for (const QStringList &r : t.summary)
        row(r);
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace calib
