#include "graph/scale.h"

#include "common/numfmt.h"

#include <cmath>

namespace graph
{

Scale chooseScale(float absmax)
{
    const QString text = numfmt::format(numfmt::single(absmax), QStringLiteral("0.0E+00"));
    int d = text.left(1).toInt();
    double unit = numfmt::val(QStringLiteral("1") + text.right(4));
    if (d < 3) {
        d = numfmt::cint(numfmt::readNumber(text.left(3)).value_or(0) * 10);
        unit /= 10;
    }
    // Compared in single precision, as absmax is held.
    if (float(d * unit) < absmax)
        ++d;
    switch (d) {
    case 11:
        d = 12;
        break;
    case 13:
        d = 14;
        break;
    case 17:
        d = 18;
        break;
    case 19:
        d = 20;
        break;
    case 22:
    case 23:
        d = 24;
        break;
    case 26:
        d = 27;
        break;
    case 29:
        d = 3;
        unit *= 10;
        break;
    default:
        break;
    }
    Scale s;
    s.d = d;
    s.absaxe = float(d * unit);
    switch (d) {
    case 4:
    case 8:
    case 16:
        s.n = 4;
        break;
    case 3:
    case 6:
    case 12:
    case 18:
    case 24:
    case 30:
        s.n = 6;
        break;
    case 7:
    case 14:
    case 28:
        s.n = 7;
        break;
    case 9:
    case 21:
    case 27:
        s.n = 3;
        break;
    default:
        s.n = 5;
        break;
    }
    return s;
}

QString graduationLabel(const Scale &s, int i)
{
    return numfmt::general(numfmt::round3(double(numfmt::single(s.absaxe)) / s.n * i));
}

double xConc(double c, int updown2)
{
    return std::pow(10.0, 6 - updown2) * c * 300 + 60;
}

} // namespace graph
