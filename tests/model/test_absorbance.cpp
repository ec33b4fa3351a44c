#include "common/numfmt.h"
#include "model/absorbance.h"
#include "model/catalogue.h"

#include <gtest/gtest.h>

using namespace spectro;

namespace
{
FloatSpectrum spectrumOf(int listIndex, const char *ph = "7,0", const char *c = "0,001")
{
    FloatSpectrum s{};
    chargespectre(numsolForIndex(listIndex), QString::fromUtf8(ph), QString::fromUtf8(c), s);
    return s;
}
constexpr int kPermanganate = 8;
constexpr int kBromothymol = 0;
constexpr int kPhenolphthalein = 9;
constexpr int kHelianthine = 12;
} // namespace

TEST(Catalogue, ListOrderAndNumbers)
{
    const QStringList names = solutionNames();
    ASSERT_EQ(names.size(), 14);
    EXPECT_EQ(names[8], QStringLiteral("Solution de permanganate de potassium"));
    EXPECT_EQ(names[12], QStringLiteral("Solution d'hélianthine (orange de méthyle)"));
    const int expected[] = {12, 11, 10, 4, 8, 6, 9, 2, 1, 13, 3, 5, 14, 7};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(numsolForIndex(i), expected[i]);
    EXPECT_EQ(numsolForIndex(14), 0);
    EXPECT_EQ(numsolForIndex(-1), 0);
}

TEST(Catalogue, ChargespectreFixedAndOutOfRange)
{
    const FloatSpectrum s = spectrumOf(kPermanganate);
    EXPECT_FLOAT_EQ(s[125], 2.477f);
    EXPECT_EQ(s[400], 0.0f);
    FloatSpectrum kept = s;
    chargespectre(0, QString(), QString(), kept);
    chargespectre(15, QString(), QString(), kept);
    EXPECT_EQ(kept, s);
}

TEST(Catalogue, IndicatorMixing)
{
    // Bromothymol blue at pH = pKa: the mean of both forms.
    const FloatSpectrum bbt = spectrumOf(kBromothymol, "7,0");
    for (int i : {31, 100, 191, 300})
        EXPECT_NEAR(bbt[i], (kBromothymolAcid[i] + kBromothymolBase[i]) / 2, 1e-5);
    const FloatSpectrum bbt1 = spectrumOf(kBromothymol, "1,0");
    const double fa = 1 / (1 + 1e-6);
    EXPECT_NEAR(bbt1[31], kBromothymolAcid[31] * fa + kBromothymolBase[31] * (1 - fa), 1e-4);
    const FloatSpectrum bbt12 = spectrumOf(kBromothymol, "12,0");
    const double fa12 = 1 / (1 + 1e5);
    EXPECT_NEAR(bbt12[191], kBromothymolAcid[191] * fa12 + kBromothymolBase[191] * (1 - fa12),
                1e-4);
    // Phenolphthalein at pH 7: only a small share of the base form.
    EXPECT_NEAR(spectrumOf(kPhenolphthalein, "7,0")[153], 0.154, 0.001);
    EXPECT_NEAR(spectrumOf(kPhenolphthalein, "12,0")[153], 61.1, 0.05);
    // Helianthine at pH = pKa: half of each form.
    const FloatSpectrum hel = spectrumOf(kHelianthine, "3,7");
    EXPECT_NEAR(hel[108], (kHelianthineAcid[108] + kHelianthineBase[108]) / 2, 1e-4);
    // The concentration changes the mix only by single-precision rounding.
    const FloatSpectrum other = spectrumOf(kBromothymol, "7,0", "0,05");
    for (int i = 0; i < kSpectrumSize; ++i)
        EXPECT_NEAR(other[i], bbt[i], 1e-5f * (1 + bbt[i]));
    // Unreadable pH or a zero concentration keep what was there.
    FloatSpectrum kept = bbt;
    chargespectre(12, QStringLiteral("abc"), QStringLiteral("0,001"), kept);
    chargespectre(12, QStringLiteral("7,0"), QStringLiteral("0"), kept);
    EXPECT_EQ(kept, bbt);
}

struct ReadingCase {
    const char *conc;
    int lambda;
    int updown;
    float absorbance;
    const char *text;
};

TEST(Absorbance, Readings)
{
    const FloatSpectrum s = spectrumOf(kPermanganate);
    const ReadingCase cases[] = {
        {"0,001", 525, 2, 2.48f, "A = 2,48"},         {"0,001", 525, 3, 3.0f, "----"},
        {"0,000 001", 525, 2, 0.00248f, "A = 0,002"}, {"0,001", 750, 2, 0.0f, "A = 0,0"},
        {"0,001", 525, 1, 1.24f, "A = 1,24"},         {"0,001", 525, 7, 2.48f, "A = 2,48"},
    };
    for (const ReadingCase &c : cases) {
        const auto r = computeAbsorbance(s, QString::fromUtf8(c.conc), c.lambda, c.updown);
        ASSERT_TRUE(r.has_value()) << c.conc;
        EXPECT_FLOAT_EQ(r->absorbance, c.absorbance) << c.conc << " " << c.lambda;
        EXPECT_EQ(r->text, QString::fromUtf8(c.text));
    }
    EXPECT_FALSE(computeAbsorbance(s, QStringLiteral("abc"), 525, 2).has_value());
    // Exactly 3 is still a reading.
    FloatSpectrum flat{};
    flat.fill(3.0f);
    EXPECT_EQ(computeAbsorbance(flat, QStringLiteral("0,001"), 500, 2)->text,
              QStringLiteral("A = 3,0"));
}

// Three significant digits of the decimal the single-precision value stands
// for, an exact half away from zero, whatever binary value lies under it.
TEST(Absorbance, RoundsTheDecimalAPupilReads)
{
    const std::pair<float, float> sig3[] = {
        {1.535f, 1.54f},        {1.045f, 1.05f},      {2.477f, 2.48f}, {1.5349f, 1.53f},
        {0.0075f, 0.0075f},     {0.00248f, 0.00248f}, {9.995f, 10.0f}, {-1.535f, -1.54f},
        {0.0012345f, 0.00123f}, {3.0f, 3.0f},         {0.0f, 0.0f},    {123456.0f, 123000.0f}};
    for (const auto &[in, out] : sig3)
        EXPECT_EQ(round3(in), out) << in;
    const std::pair<float, float> dec3[] = {{0.0445f, 0.045f},  {0.0075f, 0.008f},
                                            {0.00248f, 0.002f}, {0.0005f, 0.001f},
                                            {0.00049f, 0.0f},   {1.54f, 1.54f}};
    for (const auto &[in, out] : dec3)
        EXPECT_EQ(roundDecimals(in, 3), out) << in;

    // Permanganate, 0,001 mol/L, 1 cm: 1,535 at 500 nm and 1,045 at 488 nm in
    // the table. The readout and a computed point agree.
    const FloatSpectrum s = spectrumOf(kPermanganate);
    ASSERT_EQ(s[100], 1.535f);
    ASSERT_EQ(s[88], 1.045f);
    const std::pair<int, const char *> readings[] = {{500, "A = 1,54"}, {488, "A = 1,05"}};
    for (const auto &[lambda, text] : readings) {
        const auto r = computeAbsorbance(s, QStringLiteral("0,001"), lambda, 2);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->text, QString::fromLatin1(text)) << lambda;
        EXPECT_EQ(r->absorbance, pointAbsorbance(s[lambda - 400], 0.001f, 1.0f)) << lambda;
    }
    // One computation: the readout and the computed points never differ.
    for (int sol = 0; sol < kSolutionCount; ++sol) {
        for (const char *conc : {"0,001", "0,000 5", "0,000 012 3", "0,05"}) {
            const FloatSpectrum sp = spectrumOf(sol, "7,0", conc);
            const float c = float(*numfmt::readNumber(QString::fromLatin1(conc)));
            for (int updown = 1; updown <= 3; ++updown) {
                for (int lambda = 400; lambda <= 800; ++lambda) {
                    const auto r = computeAbsorbance(sp, QString::fromLatin1(conc), lambda, updown);
                    ASSERT_TRUE(r.has_value());
                    ASSERT_EQ(r->absorbance,
                              pointAbsorbance(sp[lambda - 400], c, thickness(updown)))
                        << sol << " " << conc << " " << lambda;
                }
            }
        }
    }
}

TEST(Absorbance, InputChecks)
{
    const std::pair<const char *, const char *> conc[] = {
        {"0,001234", "0,001 23"},    {"0,5", "0,1"},
        {"0,0000005", "0,000 001"},  {"13", "0,1"},
        {"", "0,000 001"},           {"abc", "0,000 001"},
        {"0,001", "0,001"},          {"0,05", "0,05"},
        {"0,0000123", "0,000 012 3"}};
    for (const auto &[in, out] : conc)
        EXPECT_EQ(checkConcentration(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    // Too large for a double is huge, too small is zero: the nearer limit.
    const QString nines(309, QLatin1Char('9'));
    const QString tiny = QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1');
    EXPECT_EQ(checkConcentration(nines), QStringLiteral("0,1"));
    EXPECT_EQ(checkConcentration(QStringLiteral("1E400")), QStringLiteral("0,1"));
    EXPECT_EQ(checkConcentration(tiny), QStringLiteral("0,000 001"));
    EXPECT_EQ(checkPh(nines), QStringLiteral("12,0"));
    EXPECT_EQ(checkPh(nines + QStringLiteral(",9")), QStringLiteral("12,0"));
    EXPECT_EQ(checkPh(tiny), QStringLiteral("1,0"));
    const std::pair<const char *, const char *> ph[] = {
        {"13", "12,0"}, {"", "1,0"}, {"0,5", "1,0"}, {"7,65", "7,7"}, {"7", "7,0"}};
    for (const auto &[in, out] : ph)
        EXPECT_EQ(checkPh(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}
