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

// The absorbance every reading, trace, redraw and export shows: (c * 1000) *
// (e * l) in single precision, limited to 3, three significant digits.
float pointAbsorbance(float e, float c, float l);

// Three significant digits of the decimal a single-precision value stands for
// (its shortest decimal form), an exact half away from zero: 1,535 gives 1,54,
// as a pupil rounds it by hand, whatever binary value lies under 1,535.
float round3(float value);
// The same rule at a fixed number of decimals: 0,0445 to 3 decimals is 0,045.
float roundDecimals(float value, int decimals);

// The concentration check: returns the text written back into the box.
QString checkConcentration(const QString &text);
// The pH check: returns the text written back into the box.
QString checkPh(const QString &text);

} // namespace spectro
