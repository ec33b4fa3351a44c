#include "numfmt.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace numfmt
{
namespace
{

struct Mask {
    QString intPart; // characters before the decimal point
    QString decPart; // characters after it, spaces included
    bool hasPoint = false;
    bool scientific = false;
    bool expAlwaysSign = false; // "E+" shows '+' too, "E-" only '-'
    int expDigits = 0;
};

Mask parseMask(const QString &mask)
{
    Mask m;
    QString body = mask;
    const int e = mask.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
    if (e >= 0 && e + 1 < mask.size() &&
        (mask[e + 1] == QLatin1Char('+') || mask[e + 1] == QLatin1Char('-'))) {
        m.scientific = true;
        m.expAlwaysSign = mask[e + 1] == QLatin1Char('+');
        m.expDigits = int(mask.size()) - e - 2;
        body = mask.left(e);
    }
    const int p = body.indexOf(QLatin1Char('.'));
    if (p >= 0) {
        m.hasPoint = true;
        m.intPart = body.left(p);
        m.decPart = body.mid(p + 1);
    } else {
        m.intPart = body;
    }
    return m;
}

// Digits of the decimal part: how many are required, how many at most, and
// after which digit counts a group space goes.
struct DecSpec {
    int required = 0;
    int maximum = 0;
    QList<int> spacesAfter;
};

DecSpec decSpec(const QString &dec)
{
    DecSpec s;
    for (QChar c : dec) {
        if (c == QLatin1Char('0')) {
            ++s.maximum;
            s.required = s.maximum;
        } else if (c == QLatin1Char('#')) {
            ++s.maximum;
        } else if (c == QLatin1Char(' ')) {
            s.spacesAfter.append(s.maximum);
        }
    }
    return s;
}

// Fixed-point text of |value| with `decimals` decimals, '.' as separator.
QString fixed(double value, int decimals)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
    return QString::fromLatin1(buf);
}

QString groupDecimals(const QString &digits, const DecSpec &spec)
{
    QString out;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && spec.spacesAfter.contains(i))
            out += QLatin1Char(' ');
        out += digits[i];
    }
    return out;
}

QString formatFixed(double value, const Mask &m)
{
    const DecSpec spec = decSpec(m.decPart);
    QString text = fixed(value, spec.maximum);
    QString intDigits = text;
    QString decDigits;
    const int p = text.indexOf(QLatin1Char('.'));
    if (p >= 0) {
        intDigits = text.left(p);
        decDigits = text.mid(p + 1);
    }
    while (decDigits.size() > spec.required && decDigits.endsWith(QLatin1Char('0')))
        decDigits.chop(1);
    const int requiredInt = int(m.intPart.count(QLatin1Char('0')));
    if (intDigits == QLatin1String("0") && requiredInt == 0)
        intDigits.clear();
    while (intDigits.size() < requiredInt)
        intDigits.prepend(QLatin1Char('0'));
    const bool negative =
        std::signbit(value) && (intDigits.count(QLatin1Char('0')) != intDigits.size() ||
                                decDigits.count(QLatin1Char('0')) != decDigits.size());
    QString out = negative ? QStringLiteral("-") : QString();
    out += intDigits;
    if (m.hasPoint && !decDigits.isEmpty())
        out += QLatin1Char(',') + groupDecimals(decDigits, spec);
    return out;
}

QString formatScientific(double value, const Mask &m)
{
    const DecSpec spec = decSpec(m.decPart);
    int exponent = 0;
    QString mantissa;
    if (value != 0.0 && std::isfinite(value)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*e", spec.maximum, std::fabs(value));
        const QString s = QString::fromLatin1(buf);
        const int e = s.indexOf(QLatin1Char('e'));
        mantissa = s.left(e);
        exponent = s.mid(e + 1).toInt();
    } else {
        mantissa = fixed(0.0, spec.maximum);
    }
    QString intDigits = mantissa.section(QLatin1Char('.'), 0, 0);
    QString decDigits = mantissa.section(QLatin1Char('.'), 1);
    while (decDigits.size() > spec.required && decDigits.endsWith(QLatin1Char('0')))
        decDigits.chop(1);
    QString out = (value < 0) ? QStringLiteral("-") : QString();
    out += intDigits;
    if (m.hasPoint)
        out += QLatin1Char(',') + groupDecimals(decDigits, spec);
    out += QLatin1Char('E');
    if (exponent < 0)
        out += QLatin1Char('-');
    else if (m.expAlwaysSign)
        out += QLatin1Char('+');
    QString ed = QString::number(std::abs(exponent));
    while (ed.size() < m.expDigits)
        ed.prepend(QLatin1Char('0'));
    return out + ed;
}

} // namespace

QString format(double value, const QString &mask)
{
    const Mask m = parseMask(mask);
    return m.scientific ? formatScientific(value, m) : formatFixed(value, m);
}

double round3(double value)
{
    return readNumber(format(value, QStringLiteral("0.00E+00"))).value_or(0.0);
}

QString general(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    const double a = std::fabs(value);
    QString s;
    if (a < 1e-4 || a >= 1e15) {
        s = QString::number(value, 'E', 14);
        // 1.50000000000000E-05 -> 1,5E-05
        const int e = s.indexOf(QLatin1Char('E'));
        QString mant = s.left(e);
        QString exp = s.mid(e + 1);
        while (mant.contains(QLatin1Char('.')) && mant.endsWith(QLatin1Char('0')))
            mant.chop(1);
        if (mant.endsWith(QLatin1Char('.')))
            mant.chop(1);
        const QChar sign = exp[0];
        exp = exp.mid(1);
        while (exp.size() > 2 && exp.startsWith(QLatin1Char('0')))
            exp.remove(0, 1);
        s = mant + QLatin1Char('E') + sign + exp;
    } else {
        s = QString::number(value, 'g', 15);
        if (s.contains(QLatin1Char('e')))
            s = QString::number(value, 'f', 15);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
    }
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

// True when 15 significant digits carry the value to 1E+15 or beyond.
static bool roundsToExponent(double a)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", a);
    return std::strchr(buf, 'e') != nullptr && a >= 1;
}

QString str(double value)
{
    if (std::isnan(value))
        return QStringLiteral(" NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral(" Inf") : QStringLiteral("-Inf");
    QString body;
    const double a = std::fabs(value);
    if (a == 0.0) {
        body = QStringLiteral("0");
    } else if (a >= 1e15 || a < 1e-4 || roundsToExponent(a)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.14e", a);
        QString s = QString::fromLatin1(buf);
        const int e = s.indexOf(QLatin1Char('e'));
        QString mant = s.left(e);
        const int exponent = s.mid(e + 1).toInt();
        while (mant.endsWith(QLatin1Char('0')))
            mant.chop(1);
        if (mant.endsWith(QLatin1Char('.')))
            mant.chop(1);
        QString ed = QString::number(std::abs(exponent));
        if (ed.size() < 2)
            ed.prepend(QLatin1Char('0'));
        body = mant + QLatin1Char('E') + (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) + ed;
    } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", a);
        body = QString::fromLatin1(buf);
        if (body.contains(QLatin1Char('e'))) {
            std::snprintf(buf, sizeof buf, "%.15f", a);
            body = QString::fromLatin1(buf);
            while (body.endsWith(QLatin1Char('0')))
                body.chop(1);
            if (body.endsWith(QLatin1Char('.')))
                body.chop(1);
        }
        if (body.startsWith(QLatin1String("0.")))
            body.remove(0, 1);
    }
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + body;
}

double val(const QString &text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const int start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    if (i < n && (text[i].toUpper() == QLatin1Char('E') || text[i].toUpper() == QLatin1Char('D'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        int expDigits = 0;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            end = j;
    }
    QString num = text.mid(start, end - start);
    num.replace(QLatin1Char('D'), QLatin1Char('E')).replace(QLatin1Char('d'), QLatin1Char('E'));
    bool ok = false;
    const double v = num.toDouble(&ok);
    if (ok)
        return v;
    // Out of range exponents: keep the sign of the overflow.
    const std::string s = num.toStdString();
    return std::strtod(s.c_str(), nullptr);
}

// For a number of plain ASCII digits that a double cannot hold: true when it
// is too large, false when too small; empty for any other text.
static std::optional<bool> beyondRange(const QString &t)
{
    const int n = int(t.size());
    int i = 0;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    qint64 intDigits = 0;    // digits before the point
    qint64 firstInt = -1;    // index of the first significant one among them
    qint64 fracPosition = 0; // position of the current decimal, 1 for tenths
    qint64 firstFrac = 0;    // position of the first significant decimal
    bool afterPoint = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        if (afterPoint) {
            ++fracPosition;
            if (firstInt < 0 && firstFrac == 0 && c != QLatin1Char('0'))
                firstFrac = fracPosition;
        } else {
            if (firstInt < 0 && c != QLatin1Char('0'))
                firstInt = intDigits;
            ++intDigits;
        }
    }
    if (firstInt < 0 && firstFrac == 0)
        return std::nullopt; // zero, which any double holds
    qint64 exponent = 0;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        const bool negative = i < n && t[i] == QLatin1Char('-');
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        for (; i < n && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i)
            exponent = std::min<qint64>(exponent * 10 + (t[i].unicode() - '0'), 1000000000);
        if (negative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;
    // Power of ten of the first significant digit.
    const qint64 power = firstInt >= 0 ? intDigits - 1 - firstInt : -firstFrac;
    return power + exponent > 0;
}

std::optional<double> readNumber(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eEdD][+-]?\\d+)?$"));
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    if (t.isEmpty() || !re.match(t).hasMatch())
        return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    t.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && std::isfinite(v))
        return v;
    // Beyond the range of a double: a huge number is huge, not unreadable, so
    // that a box brings it to its upper limit; a tiny one is zero.
    if (const std::optional<bool> huge = beyondRange(t))
        return (t.startsWith(QLatin1Char('-')) ? -1.0 : 1.0) *
               (*huge ? std::numeric_limits<double>::max() : 0.0);
    return std::nullopt;
}

double single(float value)
{
    if (!std::isfinite(value))
        return double(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", double(value));
    return std::strtod(buf, nullptr);
}

int cint(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

} // namespace numfmt
