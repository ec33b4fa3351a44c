#pragma once
// Samples beyond the fourteen solutions: six food dyes and a mixture of up to
// three catalogue solutions, after them in the solution list so that every
// list position keeps its meaning. Also what a curve keeps of them and of the
// real instrument, so that a redraw gives the same points.
#include "model/catalogue.h"
#include "model/dyes_data.h"
#include "model/instrument.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace spectro
{

constexpr int kFirstDyeNumsol = 15; // 15 to 20, in the order of kDyes
constexpr int kMixtureNumsol = kFirstDyeNumsol + kDyeCount;
constexpr int kFirstDyeIndex = kSolutionCount;            // list positions 14 to 19
constexpr int kMixtureIndex = kSolutionCount + kDyeCount; // list position 20
constexpr int kExtendedCount = kMixtureIndex + 1;
constexpr int kMaxComponents = 3;

inline bool isDye(int numsol)
{
    return numsol >= kFirstDyeNumsol && numsol < kMixtureNumsol;
}
// Only the three colour indicators have a pH.
inline bool hasPh(int numsol)
{
    return numsol >= 12 && numsol <= 14;
}

// The texts added after the fourteen: the dyes, then the mixture.
QStringList extraSampleNames();
// The fourteen names followed by the extra ones.
QStringList extendedSolutionNames();
// List position to numsol over the extended list; 0 outside it.
int numsolForListIndex(int listIndex);
// The name without its "Solution de " prefix ("tartrazine (E102)").
QString shortName(int listIndex);

struct MixtureComponent {
    int sol = -1;                       // list position, a solution or a dye
    QString conc;                       // mol·L-1, as shown
    QString ph = QStringLiteral("7,0"); // indicators only
};

struct Mixture {
    std::vector<MixtureComponent> parts; // 1 to 3
};

bool operator==(const MixtureComponent &a, const MixtureComponent &b);
bool operator==(const Mixture &a, const Mixture &b);

// A green drink: tartrazine and bleu brillant FCF.
Mixture defaultMixture();
// Whether every component names a catalogue solution or dye, and there are 1 to 3.
bool validMixture(const Mixture &m);
// Concentrations brought into 10^-6..0,1 and pH into 1..12 as the boxes do.
Mixture checkMixture(const Mixture &m);
// Sum of the components' concentrations (mol·L-1).
double totalConcentration(const Mixture &m);
// The mixture's coefficient per unit of total concentration: its absorbance
// at total concentration c is then c × 1000 × table × l, the sum of the
// components' absorbances (additivity).
void mixtureSpectrum(const Mixture &m, FloatSpectrum &out);
// "tartrazine (E102) : 0,000 02 mol·L-1 ; ..." with each concentration scaled
// by dilution (the concentration box over the mixture's total).
QString mixtureText(const Mixture &m, double dilution);
// An identity for the noise of a sample's readings.
int sampleId(int numsol, const Mixture &m);

// chargespectre over the extended catalogue: 1 to 14 as the solutions, the
// dyes their table, the mixture its sum. Otherwise nothing is written.
void chargespectreEtendu(int numsol, const QString &phText, const QString &concText,
                         const Mixture &mix, FloatSpectrum &spectre);

// What a stored curve keeps beyond its five settings.
struct CurveExtras {
    instrument::Settings real; // real.enabled false: the ideal instrument
    bool blankValid = false;   // the reference was taken with the solvent
    Mixture mix;               // the mixture, when the curve is of one
};

// The report's and the legend's lines for a curve's extras (none for a curve
// of the ideal instrument and a single solution); concText is the curve's
// concentration, which dilutes a mixture.
QStringList curveExtraLines(const CurveExtras &x, const QString &concText);
// "bande passante 2 nm, lumière parasite 0,1 %, bruit (graine 1)".
QString settingsText(const instrument::Settings &s);

} // namespace spectro
