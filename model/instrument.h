#pragma once
// The real instrument: what separates a laboratory spectrophotometer from the
// ideal Beer-Lambert reading. Stray light, the spectral bandwidth of the slit,
// the cuvette and solvent's own absorbance until the blank is made, and the
// photometric noise of the detector. Every effect has its named parameter;
// the ideal reading stays in model/absorbance.
#include "model/spectra_data.h"

#include <QString>
#include <cstdint>

namespace spectro::instrument
{

// Stray light, as a fraction of the light reaching the detector with nothing
// in the beam.
constexpr double kStrayDefault = 0.001; // 0,1 %
constexpr double kStrayMin = 0.0005;    // 0,05 %
constexpr double kStrayMax = 0.01;      // 1 %
// Spectral bandwidth (full width at half height of the triangular slit), nm.
constexpr int kBandwidthDefault = 2;
constexpr int kBandwidthMin = 1;
constexpr int kBandwidthMax = 20;
// Standard deviation of the detector signal, as a fraction of the full light:
// the absorbance noise is 0,434 times this divided by the transmitted light.
constexpr double kNoiseDefault = 0.0005;
// Seeds of the noise that the user can choose.
constexpr std::uint32_t kSeedMax = 99999;
// Cuvette and solvent: reflection losses of the two faces, and the scattering
// of water and glass, per cm of solvent at 400 nm, falling as 1/λ^4.
constexpr double kCellReflection = 0.035;
constexpr double kSolventScatter400 = 0.012;

struct Settings {
    bool enabled = false; // "Appareil réel"
    double stray = kStrayDefault;
    int bandwidth = kBandwidthDefault;
    bool noise = true;
    double noiseLevel = kNoiseDefault;
    std::uint32_t seed = 1;
    bool showT = false; // the readout shows T (%) too
};

// Settings out of range are brought to the nearer limit.
Settings clampSettings(Settings s);

// Measured absorbance of a sample of true absorbance a with a stray light
// fraction s: −log10((10^−a + s) / (1 + s)).
double strayLight(double a, double s);
// Highest absorbance the readout shows: beyond it half the light reaching the
// detector is stray light, and the reading is "----".
double readingLimit(double s);
// Absorbance of the cuvette and solvent alone at lambda (nm), thickness l (cm).
double blankAbsorbance(double lambda, double l);
// Weight of the triangular slit at offset nm from its centre.
double slitWeight(int offset, int bandwidth);
// Standard normal deviate for (seed, key): the same pair always gives the
// same value, so a curve's noise is redrawn identically.
double gaussian(std::uint32_t seed, std::uint64_t key);
// Key of one reading: the sample and the instrument settings it was made at.
std::uint64_t readingKey(int lambda, float c, float l, int sample);

// The cuvette and solvent state of the reference beam.
struct Blank {
    bool made = false;
    int lambda = 0; // wavelength at which it was made
    float l = 0;    // cuvette thickness at which it was made
    bool validAt(int lam, float thick) const { return made && lambda == lam && l == thick; }
};

struct Measurement {
    double absorbance = 0;    // what the detector gives, before rounding
    double transmittance = 1; // 10^−absorbance
    bool overLimit = false;   // beyond readingLimit: "----"
};

// One reading at lambda of a sample with coefficient table e (L·mmol-1·cm-1),
// concentration c (mol·L-1), thickness l (cm). blankValid: the reference was
// taken with the solvent at this wavelength; otherwise the reference is the
// empty beam and the cuvette and solvent count in the reading.
Measurement measure(const FloatSpectrum &e, double c, double l, int lambda, const Settings &s,
                    bool blankValid, std::uint64_t noiseKey);

// The readout of a measurement: absorbance limited to the reading limit (and
// to 3, the graph's top) and rounded to three significant digits, its text
// "A = 0,123" or "----", and the transmittance text "T = 75,4 %".
struct Readout {
    float absorbance = 0;
    QString text;
    QString transmittanceText;
};
Readout readout(const Measurement &m, const Settings &s);

} // namespace spectro::instrument
