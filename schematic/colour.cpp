#include "schematic/colour.h"

#include "common/numfmt.h"

#include <cmath>

namespace schematic
{

using numfmt::cint;

std::optional<LightColour> quecol(int lambda)
{
    if (lambda < 400 || lambda > 800)
        return std::nullopt;
    LightColour c;
    if (lambda < 440) {
        c.bleu = cint(double((lambda - 360) * 255) / 80.0);
    } else if (lambda < 500) {
        c.vert = cint(double((lambda - 440) * 255) / 60.0);
        c.bleu = 255;
    } else if (lambda < 550) {
        c.vert = 255;
        c.bleu = cint(double((550 - lambda) * 255) / 50.0);
    } else if (lambda < 590) {
        c.rouge = cint(double((lambda - 550) * 255) / 40.0);
        c.vert = 255;
    } else if (lambda < 750) {
        c.rouge = 255;
        c.vert = cint(double(750 - lambda) / 160.0 * 255.0);
    } else {
        c.rouge = cint(double(850 - lambda) / 100.0 * 255.0);
    }
    return c;
}

namespace
{

struct Base {
    int r, g, b;
    double m;
};

int clamp50to235(int v)
{
    if (v > 235)
        v = 235;
    if (v < 50)
        v = 50;
    return v;
}

// Scales a component, leaving it as it was when the product is not finite.
int scaled(int v, double factor)
{
    const double p = double(v) * factor;
    if (!std::isfinite(p) || std::fabs(p) > 32767)
        return v;
    return cint(p);
}

} // namespace

QColor coulsol(int numsol, const QString &concText, const QString &phText)
{
    static const Base fixed[12] = {{0, 0, 0, 0},        {200, 80, 200, 3},    {200, 130, 50, 2},
                                   {50, 130, 200, 0.9}, {50, 200, 50, 1.2},   {50, 80, 200, 1.2},
                                   {200, 50, 50, 2.5},  {50, 200, 100, 1.2},  {50, 80, 200, 1.2},
                                   {200, 150, 50, 1.5}, {200, 100, 100, 0.9}, {130, 50, 200, 1}};
    Base base{0, 0, 0, 0};
    if (numsol >= 1 && numsol <= 11) {
        base = fixed[numsol];
    } else if (numsol >= 12 && numsol <= 14) {
        base.m = 2;
        const std::optional<double> ph = numfmt::readNumber(phText);
        const float p = ph ? float(*ph) : 0.0f;
        const double pd = double(p);
        switch (numsol) {
        case 12:
            base = {255, 255, 50, 2};
            if (ph && p > 6.2f) {
                base.r = cint(255 - (pd - 6.2) * 300);
                base.g = cint(255 - (pd - 6.2) * 100);
            }
            if (ph && p > 7.2f)
                base.b = cint(50 + (pd - 7.2) * 300);
            break;
        case 13:
            base = {255, 255, 255, 2};
            if (ph && p > 8.2f) {
                base.g = cint(255 - (pd - 8.2) * 150);
                base.b = cint(255 - (pd - 8.2) * 50);
            }
            break;
        default:
            base = {255, 50, 50, 2};
            if (ph && p > 3.2f)
                base.g = cint(50 + (pd - 3.2) * 150);
            break;
        }
    }
    int r = clamp50to235(base.r);
    int g = clamp50to235(base.g);
    int b = clamp50to235(base.b);
    if (base.m != 0) {
        r = cint(r / base.m);
        g = cint(g / base.m);
        b = cint(b / base.m);
    }
    // The factor stays m when the concentration cannot give a logarithm.
    double k = base.m;
    const std::optional<double> conc = numfmt::readNumber(concText);
    if (conc && float(*conc) > 0.0f)
        k = -std::log(double(float(*conc))) / std::log(10.0);
    r = clamp50to235(scaled(r, k));
    g = clamp50to235(scaled(g, k));
    b = clamp50to235(scaled(b, k));
    if (r == g && g == b)
        r = g = b = 235;
    return QColor(r, g, b);
}

} // namespace schematic
