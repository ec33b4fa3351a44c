// The real instrument's effects against direct computations.
#include "model/catalogue.h"
#include "model/instrument.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace spectro;
using namespace spectro::instrument;

namespace
{

// Ideal except for what a test switches on.
Settings ideal()
{
    Settings s;
    s.enabled = true;
    s.stray = 0;
    s.bandwidth = 1;
    s.noise = false;
    return s;
}

// A flat table whose absorbance is a at c = 0,001 mol/L in 1 cm.
FloatSpectrum flat(double a)
{
    FloatSpectrum e;
    e.fill(float(a));
    return e;
}

} // namespace

TEST(Instrument, StrayLightFormula)
{
    // −log10((10^−A + s) / (1 + s)) with s = 0,1 %.
    EXPECT_NEAR(strayLight(2, 0.001), -std::log10(0.011 / 1.001), 1e-12);
    EXPECT_NEAR(strayLight(2, 0.001), 1.9590, 1e-4);
    EXPECT_NEAR(strayLight(3, 0.001), -std::log10(0.002 / 1.001), 1e-12);
    EXPECT_NEAR(strayLight(3, 0.001), 2.6994, 1e-4);
    EXPECT_DOUBLE_EQ(strayLight(1.5, 0), 1.5);
    // The reading saturates below −log10(s / (1 + s)).
    EXPECT_LT(strayLight(10, 0.001), -std::log10(0.001 / 1.001));
}

TEST(Instrument, StrayLightInTheReading)
{
    const struct {
        double a;
        double s;
    } cases[] = {{2, 0.001}, {3, 0.001}, {2, 0.01}, {1, 0.0005}};
    for (const auto &k : cases) {
        Settings st = ideal();
        st.stray = k.s;
        // Blank made: the reference is the solvent, whose own light is dimmed too.
        const double tb = std::pow(10.0, -blankAbsorbance(525, 1));
        const double expected =
            -std::log10(((std::pow(10.0, -k.a) * tb + k.s) / (1 + k.s)) / ((tb + k.s) / (1 + k.s)));
        const Measurement m = measure(flat(k.a), 0.001, 1, 525, st, true, 0);
        EXPECT_NEAR(m.absorbance, expected, 1e-9) << k.a << " " << k.s;
        EXPECT_LT(m.absorbance, k.a);
    }
}

TEST(Instrument, ReadingLimitFollowsTheStrayLight)
{
    Settings st = ideal();
    st.stray = 0.001;
    EXPECT_NEAR(readingLimit(0.001), -std::log10(0.002 / 1.001), 1e-12);
    EXPECT_LT(readingLimit(0.01), 2.0);
    const Readout below = readout(measure(flat(2.5), 0.001, 1, 600, st, true, 0), st);
    EXPECT_EQ(below.text, QStringLiteral("A = 2,37"));
    const Readout beyond = readout(measure(flat(3.3), 0.001, 1, 600, st, true, 0), st);
    EXPECT_EQ(beyond.text, QStringLiteral("----"));
    EXPECT_FLOAT_EQ(beyond.absorbance, 2.7f);
    // With 1 % of stray light the readout gives up below A = 2.
    st.stray = 0.01;
    EXPECT_EQ(readout(measure(flat(2.2), 0.001, 1, 600, st, true, 0), st).text,
              QStringLiteral("----"));
}

TEST(Instrument, ReadoutTexts)
{
    Settings st = ideal();
    const Readout r = readout(measure(flat(0.5), 0.001, 1, 500, st, true, 0), st);
    EXPECT_EQ(r.text, QStringLiteral("A = 0,5"));
    EXPECT_FLOAT_EQ(r.absorbance, 0.5f);
    // T = 10^−0,5 = 31,6 %.
    EXPECT_EQ(r.transmittanceText, QStringLiteral("T = 31,6 %"));
}

TEST(Instrument, BandwidthOnPermanganate)
{
    const FloatSpectrum &e = kFixedSpectra[1];
    Settings st = ideal();
    // A slit of 1 nm reads the table itself.
    EXPECT_NEAR(measure(e, 0.001, 1, 525, st, true, 0).absorbance, 2.477, 1e-6);
    // 20 nm: the transmitted light through the triangle, sample over solvent.
    st.bandwidth = 20;
    double num = 0;
    double den = 0;
    for (int x = 506; x <= 544; ++x) {
        const double w = 1 - std::abs(x - 525) / 20.0;
        const double ab = blankAbsorbance(x, 1);
        num += w * std::pow(10.0, -(double(e[x - 400]) + ab));
        den += w * std::pow(10.0, -ab);
    }
    const double expected = -std::log10(num / den);
    const double got = measure(e, 0.001, 1, 525, st, true, 0).absorbance;
    EXPECT_NEAR(got, expected, 1e-9);
    // The peak flattens: about 0,2 below the table's 2,477.
    EXPECT_LT(got, 2.35);
    EXPECT_GT(got, 2.15);
    // Every bandwidth of the range lowers it further.
    double prev = 3;
    for (int bw = 1; bw <= kBandwidthMax; ++bw) {
        st.bandwidth = bw;
        const double a = measure(e, 0.001, 1, 525, st, true, 0).absorbance;
        EXPECT_LE(a, prev + 1e-12) << bw;
        prev = a;
    }
}

TEST(Instrument, SlitWeights)
{
    EXPECT_DOUBLE_EQ(slitWeight(0, 2), 1);
    EXPECT_DOUBLE_EQ(slitWeight(1, 2), 0.5);
    EXPECT_DOUBLE_EQ(slitWeight(-1, 2), 0.5);
    EXPECT_DOUBLE_EQ(slitWeight(2, 2), 0);
    EXPECT_DOUBLE_EQ(slitWeight(1, 1), 0);
}

TEST(Instrument, Blank)
{
    const Settings st = ideal();
    const FloatSpectrum none{};
    // Without the blank the cuvette and the solvent count: more in the blue.
    for (int lambda : {400, 500, 650, 800}) {
        for (double l : {0.5, 1.0, 1.5}) {
            const double ab =
                kCellReflection + kSolventScatter400 * l * std::pow(400.0 / lambda, 4);
            EXPECT_NEAR(measure(none, 0.001, l, lambda, st, false, 0).absorbance, ab, 1e-12);
            EXPECT_NEAR(measure(none, 0.001, l, lambda, st, true, 0).absorbance, 0, 1e-12);
        }
    }
    EXPECT_GT(blankAbsorbance(400, 1), blankAbsorbance(800, 1));
    // The sample's own absorbance is read exactly once the blank is made.
    const FloatSpectrum &e = kFixedSpectra[1];
    EXPECT_NEAR(measure(e, 0.001, 1, 525, st, true, 0).absorbance, 2.477, 1e-6);
    EXPECT_NEAR(measure(e, 0.001, 1, 525, st, false, 0).absorbance, 2.477 + blankAbsorbance(525, 1),
                1e-6);
    // The blank holds at its own wavelength and thickness only.
    Blank b;
    EXPECT_FALSE(b.validAt(525, 1));
    b = {true, 525, 1.0f};
    EXPECT_TRUE(b.validAt(525, 1));
    EXPECT_FALSE(b.validAt(526, 1));
    EXPECT_FALSE(b.validAt(525, 1.5f));
}

TEST(Instrument, NoiseSpreadFromAFixedSeed)
{
    Settings st = ideal();
    st.noise = true;
    st.noiseLevel = kNoiseDefault;
    st.seed = 12345;
    const auto spread = [&](double a) {
        const int n = 20000;
        double sum = 0;
        double sum2 = 0;
        for (int k = 0; k < n; ++k) {
            const double v = measure(flat(a), 0.001, 1, 500, st, true, k).absorbance;
            sum += v;
            sum2 += v * v;
        }
        const double mean = sum / n;
        return std::make_pair(mean, std::sqrt(sum2 / n - mean * mean));
    };
    // sigma_A = 0,4343 × sigma_I / I, I the light through sample and solvent:
    // 10 times larger at A = 2 than at A = 1.
    const auto sigma = [](double a) {
        return 0.4343 * kNoiseDefault / std::pow(10.0, -(a + blankAbsorbance(500, 1)));
    };
    const auto [m1, s1] = spread(1);
    EXPECT_NEAR(m1, 1, 3 * sigma(1) / std::sqrt(20000.0));
    EXPECT_NEAR(s1, sigma(1), 0.03 * sigma(1));
    const auto [m2, s2] = spread(2);
    EXPECT_NEAR(m2, 2, 3 * sigma(2) / std::sqrt(20000.0) + 0.001);
    EXPECT_NEAR(s2, sigma(2), 0.05 * sigma(2));
    EXPECT_GT(s2, 8 * s1);
    // Reproducible: the same seed and reading give the same value, another seed another.
    const double a = measure(flat(1), 0.001, 1, 500, st, true, 99).absorbance;
    EXPECT_EQ(measure(flat(1), 0.001, 1, 500, st, true, 99).absorbance, a);
    st.seed = 12346;
    EXPECT_NE(measure(flat(1), 0.001, 1, 500, st, true, 99).absorbance, a);
    // A reading key depends on each setting.
    EXPECT_NE(readingKey(500, 0.001f, 1, 1), readingKey(501, 0.001f, 1, 1));
    EXPECT_NE(readingKey(500, 0.001f, 1, 1), readingKey(500, 0.002f, 1, 1));
    EXPECT_NE(readingKey(500, 0.001f, 1, 1), readingKey(500, 0.001f, 1.5f, 1));
    EXPECT_NE(readingKey(500, 0.001f, 1, 1), readingKey(500, 0.001f, 1, 2));
}

TEST(Instrument, SettingsOutOfRangeGoToTheNearerLimit)
{
    Settings s;
    s.stray = 0.5;
    s.bandwidth = 50;
    EXPECT_DOUBLE_EQ(clampSettings(s).stray, kStrayMax);
    EXPECT_EQ(clampSettings(s).bandwidth, kBandwidthMax);
    s.stray = -1;
    s.bandwidth = 0;
    EXPECT_DOUBLE_EQ(clampSettings(s).stray, kStrayMin);
    EXPECT_EQ(clampSettings(s).bandwidth, kBandwidthMin);
    s.stray = std::nan("");
    EXPECT_DOUBLE_EQ(clampSettings(s).stray, kStrayMin);
    s.seed = 4000000000u;
    EXPECT_EQ(clampSettings(s).seed, kSeedMax);
    s.stray = 0.002;
    s.bandwidth = 5;
    EXPECT_DOUBLE_EQ(clampSettings(s).stray, 0.002);
    EXPECT_EQ(clampSettings(s).bandwidth, 5);
}
