#pragma once
// The graph's coordinates and the choice of a round absorbance scale.
#include <QString>

namespace graph
{

constexpr int kLeft = 60, kRight = 360, kTop = 30, kBottom = 330; // plot area
constexpr int yaxe = 330;

struct Scale {
    float absaxe = 1; // absorbance at the top of the axis
    int n = 5;        // number of graduations
    int d = 0;        // the leading digits chosen (for tests)
};

// Chooses absaxe and the number of graduations for the largest absorbance.
Scale chooseScale(float absmax);

// Graduation label i (1..n): absaxe / n * i to three significant digits.
QString graduationLabel(const Scale &s, int i);

inline double xLambda(double lambda)
{
    return (lambda - 400) * 0.75 + 60;
}
double xConc(double c, int updown2);
inline double yAbs(double a, double absaxe)
{
    return 330 - a / absaxe * 300;
}

} // namespace graph
