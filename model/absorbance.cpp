#include "model/absorbance.h"

#include "common/numfmt.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace spectro
{

float thickness(int updownValue)
{
    switch (updownValue) {
    case 1:
        return 0.5f;
    case 3:
        return 1.5f;
    default:
        return 1.0f;
    }
}

std::optional<Reading> computeAbsorbance(const FloatSpectrum &spectre, const QString &concText,
                                         int lambda, int updownValue)
{
    const std::optional<double> conc = numfmt::readNumber(concText);
    if (!conc || lambda < 400 || lambda > 800)
        return std::nullopt;
    const float c = float(*conc);
    const float e = spectre[lambda - 400];
    const float l = thickness(updownValue);
    Reading r;
    // A huge concentration times a zero coefficient is no number: no reading.
    if (!(c * 1000.0f * (e * l) <= 3.0f)) {
        r.absorbance = 3.0f;
        r.text = QStringLiteral("----");
    } else {
        r.absorbance = pointAbsorbance(e, c, l);
        r.text =
            QStringLiteral("A = ") +
            numfmt::format(numfmt::single(roundDecimals(r.absorbance, 3)), QStringLiteral("0.0##"))
                .trimmed();
    }
    return r;
}

float pointAbsorbance(float e, float c, float l)
{
    const float cmm = c * 1000.0f;
    const float a = cmm * (e * l);
    if (!(a <= 3.0f))
        return 3.0f;
    return round3(a);
}

namespace
{

// Keeps `kept` leading digits of the shortest decimal form of value (digit
// 1 being the first significant one; 0 or fewer round to the place before
// it), an exact half away from zero.
float keepDigits(float value, int kept, int exponent, const std::string &digits)
{
    std::string d = digits;
    int exp10 = exponent;
    if (kept < 0)
        return std::copysign(0.0f, value);
    if (int(d.size()) > kept) {
        const bool up = d[size_t(kept)] >= '5';
        d.resize(size_t(kept));
        if (up) {
            int i = kept - 1;
            while (i >= 0 && d[size_t(i)] == '9') {
                d[size_t(i)] = '0';
                --i;
            }
            if (i < 0) {
                d.insert(d.begin(), '1');
                ++exp10;
            } else {
                ++d[size_t(i)];
            }
        }
        if (d.empty())
            return std::copysign(0.0f, value);
    }
    // digits d.ddd x 10^exp10, as an integer times a power of ten
    const std::string text = d + 'e' + std::to_string(exp10 - int(d.size()) + 1);
    return float(std::copysign(std::strtod(text.c_str(), nullptr), double(value)));
}

// The shortest decimal form of |value|: its digits and the power of ten of the
// first one.
void shortestDigits(float value, std::string *digits, int *exponent)
{
    char buf[48];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string s(buf, res.ptr);
    const size_t e = s.find('e');
    *digits = s.substr(0, 1) + (e > 2 ? s.substr(2, e - 2) : std::string());
    *exponent = std::atoi(s.c_str() + e + 1);
}

} // namespace

float round3(float value)
{
    if (!std::isfinite(value) || value == 0.0f)
        return value;
    std::string digits;
    int exponent = 0;
    shortestDigits(value, &digits, &exponent);
    return keepDigits(value, 3, exponent, digits);
}

float roundDecimals(float value, int decimals)
{
    if (!std::isfinite(value) || value == 0.0f)
        return value;
    std::string digits;
    int exponent = 0;
    shortestDigits(value, &digits, &exponent);
    return keepDigits(value, exponent + 1 + decimals, exponent, digits);
}

QString checkConcentration(const QString &text)
{
    float c = float(numfmt::readNumber(text).value_or(0.0));
    if (c < 1e-6f)
        c = 1e-6f;
    if (c > 0.1f)
        c = 0.1f;
    const float r = float(numfmt::round3(c));
    return numfmt::format(numfmt::single(r), QStringLiteral("0.0## ### ###")).trimmed();
}

QString checkPh(const QString &text)
{
    float p = float(numfmt::readNumber(text).value_or(0.0));
    if (p < 1)
        p = 1;
    if (p > 12)
        p = 12;
    const float r = float(numfmt::round3(p));
    return numfmt::format(numfmt::single(r), QStringLiteral("0.0")).trimmed();
}

} // namespace spectro
