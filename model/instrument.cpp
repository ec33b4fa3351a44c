#include "model/instrument.h"

#include "common/numfmt.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace spectro::instrument
{

namespace
{

// splitmix64: a small, well mixed hash, the same on every platform.
std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Uniform in (0, 1), never 0 so that its logarithm exists.
double uniform(std::uint64_t h)
{
    return (double(h >> 11) + 0.5) / 9007199254740992.0;
}

double clampIndex(const FloatSpectrum &e, int lambda)
{
    return e[std::clamp(lambda, 400, 800) - 400];
}

} // namespace

Settings clampSettings(Settings s)
{
    if (!(s.stray >= kStrayMin))
        s.stray = kStrayMin;
    if (s.stray > kStrayMax)
        s.stray = kStrayMax;
    s.bandwidth = std::clamp(s.bandwidth, kBandwidthMin, kBandwidthMax);
    if (!(s.noiseLevel >= 0))
        s.noiseLevel = 0;
    if (s.noiseLevel > 0.01)
        s.noiseLevel = 0.01;
    if (s.seed > kSeedMax)
        s.seed = kSeedMax;
    return s;
}

double strayLight(double a, double s)
{
    return -std::log10((std::pow(10.0, -a) + s) / (1.0 + s));
}

double readingLimit(double s)
{
    if (s <= 0)
        return 3.0;
    return -std::log10(2.0 * s / (1.0 + s));
}

double blankAbsorbance(double lambda, double l)
{
    const double r = 400.0 / lambda;
    return kCellReflection + kSolventScatter400 * l * r * r * r * r;
}

double slitWeight(int offset, int bandwidth)
{
    const double w = 1.0 - std::abs(offset) / double(std::max(bandwidth, 1));
    return w > 0 ? w : 0.0;
}

double gaussian(std::uint32_t seed, std::uint64_t key)
{
    const std::uint64_t h1 = mix(key ^ (std::uint64_t(seed) << 32 | seed));
    const std::uint64_t h2 = mix(h1);
    const double u1 = uniform(h1);
    const double u2 = uniform(h2);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

std::uint64_t readingKey(int lambda, float c, float l, int sample)
{
    // The same concentration reached by steps or typed gives the same reading.
    c = float(numfmt::round3(c));
    std::uint32_t cb = 0;
    std::uint32_t lb = 0;
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    std::memcpy(&cb, &c, sizeof cb);
    std::memcpy(&lb, &l, sizeof lb);
    std::uint64_t k = mix(std::uint64_t(lambda) << 32 | std::uint32_t(sample));
    k = mix(k ^ cb);
    return mix(k ^ (std::uint64_t(lb) << 16));
}

Measurement measure(const FloatSpectrum &e, double c, double l, int lambda, const Settings &s,
                    bool blankValid, std::uint64_t noiseKey)
{
    // Light through the slit: the detector adds what each wavelength of the
    // triangle transmits; beyond the tables the edge values continue.
    double sample = 0;
    double reference = 0;
    double weights = 0;
    const int half = std::max(s.bandwidth, 1);
    for (int k = -half + 1; k <= half - 1; ++k) {
        const double w = slitWeight(k, half);
        const int x = lambda + k;
        const double ab = blankAbsorbance(std::clamp(x, 400, 800), l);
        const double as = c * 1000.0 * clampIndex(e, x) * l;
        sample += w * std::pow(10.0, -(as + ab));
        reference += w * std::pow(10.0, -ab);
        weights += w;
    }
    sample /= weights;
    reference = blankValid ? reference / weights : 1.0;
    // Stray light reaches the detector whatever is in the beam.
    const double stray = std::max(s.stray, 0.0);
    double iSample = (sample + stray) / (1.0 + stray);
    const double iReference = (reference + stray) / (1.0 + stray);
    if (s.noise && s.noiseLevel > 0)
        iSample += s.noiseLevel * gaussian(s.seed, noiseKey);
    iSample = std::max(iSample, 1e-9);
    Measurement m;
    m.absorbance = -std::log10(iSample / iReference);
    m.transmittance = std::pow(10.0, -m.absorbance);
    m.overLimit = m.absorbance > readingLimit(stray);
    return m;
}

Readout readout(const Measurement &m, const Settings &s)
{
    Readout r;
    const double top = std::min(readingLimit(std::max(s.stray, 0.0)), 3.0);
    if (m.overLimit || m.absorbance > top) {
        r.absorbance = float(numfmt::round3(top));
        r.text = QStringLiteral("----");
        r.transmittanceText =
            QStringLiteral("T < ") +
            numfmt::format(numfmt::round3(100 * std::pow(10.0, -top)), QStringLiteral("0.0##"))
                .trimmed() +
            QStringLiteral(" %");
        return r;
    }
    r.absorbance = float(numfmt::round3(m.absorbance));
    r.text = QStringLiteral("A = ") +
             numfmt::format(numfmt::single(r.absorbance), QStringLiteral("0.0##")).trimmed();
    r.transmittanceText =
        QStringLiteral("T = ") +
        numfmt::format(numfmt::round3(100 * m.transmittance), QStringLiteral("0.0##")).trimmed() +
        QStringLiteral(" %");
    return r;
}

} // namespace spectro::instrument
