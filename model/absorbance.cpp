#include "model/absorbance.h"

#include "common/numfmt.h"

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
    const float cmm = c * 1000.0f;
    const float a = cmm * (e * thickness(updownValue));
    Reading r;
    if (a > 3.0f) {
        r.absorbance = 3.0f;
        r.text = QStringLiteral("----");
    } else {
        r.absorbance = float(numfmt::round3(a));
        r.text = QStringLiteral("A = ") +
                 numfmt::format(numfmt::single(r.absorbance), QStringLiteral("0.0##")).trimmed();
    }
    return r;
}

float pointAbsorbance(float e, float c, float l)
{
    double a = double(e) * (double(c) * 1000.0) * double(l);
    if (a > 3)
        a = 3;
    return float(numfmt::round3(a));
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
