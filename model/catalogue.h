#pragma once
// The fourteen solutions in list order and the working spectrum `spectre`.
#include "model/spectra_data.h"

#include <QString>
#include <QStringList>

namespace spectro
{

struct SolutionInfo {
    const char *name; // text of the solution list (UTF-8)
    int numsol;
    double pKa; // 0 for the fixed solutions
};

constexpr int kSolutionCount = 14;
extern const std::array<SolutionInfo, kSolutionCount> kCatalogue;

QStringList solutionNames();
// List position to numsol; 0 for a position outside the list.
int numsolForIndex(int listIndex);
// The main window treats every numsol above 11 as an indicator.
inline bool isIndicator(int numsol)
{
    return numsol > 11;
}

// The model's values shared by the whole program.
struct SolutionState {
    int numsol = 0;
    FloatSpectrum spectre{};
    float absorbance = 0; // last computed by the readout refresh
};

// Fills spectre for numsol. For an indicator the pH and concentration texts
// (decimal comma) mix the acid and base forms; when they do not read as
// numbers, or c is 0, spectre keeps its content. numsol outside 1..14 does
// nothing.
void chargespectre(int numsol, const QString &phText, const QString &concText,
                   FloatSpectrum &spectre);

} // namespace spectro
