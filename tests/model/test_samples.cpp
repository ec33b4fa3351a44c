// Food dyes and mixtures.
#include "common/numfmt.h"
#include "model/samples.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace spectro;

TEST(Dyes, TablesFollowThePublishedValues)
{
    // E(1 %, 1 cm) and wavelength of the EU purity criteria, molar mass of the
    // sodium salt: eps = E1% × M / 10 L·mol-1·cm-1.
    const struct {
        const char *number;
        int lambda;
        double e1;
        double mass;
    } published[] = {{"E102", 426, 530, 534.36},  {"E110", 485, 555, 452.37},
                     {"E124", 505, 430, 604.47},  {"E129", 504, 540, 496.42},
                     {"E131", 638, 2000, 582.66}, {"E133", 630, 1630, 792.84}};
    for (int d = 0; d < kDyeCount; ++d) {
        const auto &p = published[d];
        const FloatSpectrum &t = kDyeSpectra[d];
        EXPECT_STREQ(kDyes[d].number, p.number);
        const double eps = p.e1 * p.mass / 10 / 1000; // L·mmol-1·cm-1
        EXPECT_NEAR(kDyes[d].epsilonMax, eps, eps * 5e-4) << p.number;
        EXPECT_EQ(kDyes[d].lambdaMax, p.lambda);
        const auto top = std::max_element(t.begin(), t.end());
        EXPECT_EQ(int(top - t.begin()) + 400, p.lambda) << p.number;
        EXPECT_FLOAT_EQ(*top, kDyes[d].epsilonMax);
        for (int i = 0; i < kSpectrumSize; ++i) {
            EXPECT_GE(t[i], 0.0f) << p.number << " " << 400 + i;
            // Smooth: no bend sharper than a band 13 nm wide.
            if (i > 0 && i < kSpectrumSize - 1) {
                EXPECT_LT(std::fabs(t[i + 1] - 2 * t[i] + t[i - 1]), 0.006 * *top)
                    << p.number << " " << 400 + i;
            }
        }
    }
    // Yellows absorb the blue, blues the red: each is nil where the other absorbs.
    EXPECT_LT(kDyeSpectra[0][630 - 400], 0.001f);
    EXPECT_LT(kDyeSpectra[5][426 - 400], 0.1f * kDyeSpectra[5][630 - 400]);
}

TEST(Dyes, AfterTheFourteenInTheList)
{
    const QStringList names = extendedSolutionNames();
    ASSERT_EQ(names.size(), kExtendedCount);
    EXPECT_EQ(names.mid(0, 14), solutionNames());
    EXPECT_EQ(names[14], QStringLiteral("Solution de tartrazine (E102)"));
    EXPECT_EQ(names[19], QStringLiteral("Solution de bleu brillant FCF (E133)"));
    EXPECT_EQ(names[20], QStringLiteral("Mélange de solutions"));
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(numsolForListIndex(i), numsolForIndex(i));
    EXPECT_EQ(numsolForListIndex(14), 15);
    EXPECT_EQ(numsolForListIndex(19), 20);
    EXPECT_EQ(numsolForListIndex(20), kMixtureNumsol);
    EXPECT_EQ(numsolForListIndex(21), 0);
    EXPECT_EQ(numsolForListIndex(-1), 0);
    EXPECT_EQ(shortName(14), QStringLiteral("tartrazine (E102)"));
    EXPECT_EQ(shortName(12), QStringLiteral("hélianthine (orange de méthyle)"));
    FloatSpectrum s{};
    chargespectreEtendu(17, QString(), QString(), Mixture{}, s);
    EXPECT_EQ(s, kDyeSpectra[2]);
    // Beyond the list nothing is written.
    FloatSpectrum kept = s;
    chargespectreEtendu(22, QString(), QString(), Mixture{}, kept);
    EXPECT_EQ(kept, s);
}

TEST(Mixtures, AbsorbanceIsTheSumAtEveryWavelength)
{
    const Mixture mixtures[] = {
        defaultMixture(),
        {{{14, QStringLiteral("0,000 03"), QStringLiteral("7,0")},
          {16, QStringLiteral("0,000 01"), QStringLiteral("7,0")},
          {18, QStringLiteral("0,000 002"), QStringLiteral("7,0")}}},
        // An indicator at its own pH, with a fixed solution.
        {{{0, QStringLiteral("0,000 05"), QStringLiteral("7,6")},
          {8, QStringLiteral("0,000 2"), QStringLiteral("7,0")}}},
    };
    for (const Mixture &m : mixtures) {
        ASSERT_TRUE(validMixture(m));
        FloatSpectrum mix{};
        mixtureSpectrum(m, mix);
        const double total = totalConcentration(m);
        for (double l : {0.5, 1.0, 1.5}) {
            for (int i = 0; i < kSpectrumSize; ++i) {
                double sum = 0;
                for (const MixtureComponent &p : m.parts) {
                    FloatSpectrum e{};
                    chargespectreEtendu(numsolForListIndex(p.sol), p.ph, p.conc, Mixture{}, e);
                    sum += *numfmt::readNumber(p.conc) * 1000 * e[i] * l;
                }
                const double a = total * 1000 * mix[i] * l;
                EXPECT_NEAR(a, sum, 1e-6 * std::max(1.0, sum)) << 400 + i;
            }
        }
    }
}

TEST(Mixtures, ChecksAndText)
{
    Mixture m = defaultMixture();
    EXPECT_NEAR(totalConcentration(m), 2.5e-5, 1e-12);
    EXPECT_EQ(mixtureText(m, 1), QStringLiteral("tartrazine (E102) : 0,000 02 mol·L-1 ; "
                                                "bleu brillant FCF (E133) : 0,000 005 mol·L-1"));
    EXPECT_EQ(mixtureText(m, 0.5),
              QStringLiteral("tartrazine (E102) : 0,000 01 mol·L-1 ; "
                             "bleu brillant FCF (E133) : 0,000 002 5 mol·L-1"));
    // Out of range: to the nearer limit, as the concentration and pH boxes.
    m.parts[0].conc = QStringLiteral("0,5");
    m.parts[1].conc = QStringLiteral("0,000 000 01");
    m.parts[1].ph = QStringLiteral("14");
    const Mixture c = checkMixture(m);
    EXPECT_EQ(c.parts[0].conc, QStringLiteral("0,1"));
    EXPECT_EQ(c.parts[1].conc, QStringLiteral("0,000 001"));
    EXPECT_EQ(c.parts[1].ph, QStringLiteral("12,0"));
    // A component that does not exist, the mixture itself, or more than three.
    Mixture bad = defaultMixture();
    bad.parts[0].sol = 20;
    EXPECT_FALSE(validMixture(bad));
    bad.parts[0].sol = -1;
    EXPECT_FALSE(validMixture(bad));
    bad = defaultMixture();
    bad.parts.push_back(bad.parts[0]);
    bad.parts.push_back(bad.parts[0]);
    EXPECT_FALSE(validMixture(bad));
    EXPECT_FALSE(validMixture(Mixture{}));
    // Two mixtures are different samples for the noise.
    EXPECT_NE(sampleId(kMixtureNumsol, defaultMixture()), sampleId(kMixtureNumsol, c));
    EXPECT_EQ(sampleId(1, c), 1);
}
