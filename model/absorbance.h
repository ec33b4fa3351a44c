#pragma once
// Beer-Lambert absorbance with the instrument's reading limit, and the checks
// applied to the concentration and pH typed by the user.
#include "model/spectra_data.h"

#include <QString>
#include <optional>

namespace spectro
{

// Cuvette thickness in cm from the up-down position: 1, 2, 3 give 0,5, 1,
// 1,5; anything else 1.
float thickness(int updownValue);

struct Reading {
    float absorbance = 0; // limited to 3, rounded to three significant digits
    QString text;         // "A = 2,48" or "----"
};

// Absorbance of the current settings; empty when the concentration text does
// not read as a number or the wavelength lies outside 400..800.
std::optional<Reading> computeAbsorbance(const FloatSpectrum &spectre, const QString &concText,
                                         int lambda, int updownValue);

// Absorbance of a point computed rather than measured (completion, redraw):
// e * (c * 1000) * l, limited to 3, three significant digits.
float pointAbsorbance(float e, float c, float l);

// The concentration check: returns the text written back into the box.
QString checkConcentration(const QString &text);
// The pH check: returns the text written back into the box.
QString checkPh(const QString &text);

} // namespace spectro
