// Checks the compiled absorption tables against the measurements they were built from:
// 25 nm samples, band maxima, the ranges where absorption is nil, storage precision.
#include "model/spectra_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace spectro
{
namespace
{

constexpr int kFirstNm = 400;
constexpr int kSampleCount = 17; // 400, 425, ..., 800 nm

int indexOf(int nm)
{
    return nm - kFirstNm;
}
int sampleNm(int row)
{
    return kFirstNm + 25 * row;
}

using NmRanges = std::vector<std::pair<int, int>>; // inclusive

bool inRanges(const NmRanges &ranges, int nm)
{
    return std::any_of(ranges.begin(), ranges.end(),
                       [nm](const auto &r) { return r.first <= nm && nm <= r.second; });
}

// Zero exactly on the listed ranges and strictly positive everywhere else.
template <typename Table>
void expectZeroExactlyOn(const Table &table, const NmRanges &zeros, const std::string &name)
{
    for (int i = 0; i < kSpectrumSize; ++i) {
        const int nm = kFirstNm + i;
        if (inRanges(zeros, nm))
            EXPECT_EQ(table[i], 0) << name << " at " << nm << " nm";
        else
            EXPECT_GT(table[i], 0) << name << " at " << nm << " nm";
    }
}

// ---------------------------------------------------------------------------------------
// Fixed solutions (numsol 1..11)

constexpr float kFixedSamples[kSampleCount][11] = {
    {0.219f, 6.608f, 0.0f, 0.00474f, 0.0f, 6.8f, 1.159f, 0.0018f, 0.0025f, 0.0f, 0.01007f},
    {0.12f, 3.04f, 0.00003f, 0.00166f, 0.0003614f, 8.3f, 1.272f, 0.0006f, 0.0067f, 0.0f, 0.005167f},
    {0.229f, 1.656f, 0.00004f, 0.0004f, 0.001446f, 9.0f, 0.305f, 0.000205f, 0.0202f, 0.0f,
     0.002167f},
    {0.639f, 0.784f, 0.00004f, 0.00014f, 0.00506f, 8.71f, 0.009f, 0.000202f, 0.0342f, 0.00002f,
     0.003633f},
    {1.535f, 0.4f, 0.00009f, 0.00004f, 0.01241f, 7.55f, 0.0f, 0.0005f, 0.0445f, 0.00005f,
     0.007233f},
    {2.477f, 0.256f, 0.00019f, 0.00012f, 0.0241f, 5.5f, 0.003f, 0.0015f, 0.0427f, 0.00012f,
     0.01297f},
    {2.158f, 0.216f, 0.00035f, 0.00018f, 0.03759f, 3.5f, 0.003f, 0.00356f, 0.0201f, 0.00025f,
     0.0212f},
    {1.013f, 0.144f, 0.00059f, 0.00032f, 0.0494f, 2.0f, 0.004f, 0.004029f, 0.006f, 0.00049f,
     0.032f},
    {0.214f, 0.096f, 0.00103f, 0.00066f, 0.05711f, 0.93f, 0.004f, 0.0034f, 0.0031f, 0.00092f,
     0.04417f},
    {0.157f, 0.088f, 0.00184f, 0.00128f, 0.05964f, 0.38f, 0.007f, 0.0024f, 0.0028f, 0.0017f,
     0.04693f},
    {0.113f, 0.032f, 0.00311f, 0.00186f, 0.05723f, 0.13f, 0.004f, 0.0014f, 0.0021f, 0.00292f,
     0.02417f},
    {0.06f, 0.008f, 0.00487f, 0.00186f, 0.05169f, 0.0f, 0.004f, 0.00048f, 0.0013f, 0.00461f,
     0.006233f},
    {0.015f, 0.0f, 0.00699f, 0.00202f, 0.04506f, 0.0f, 0.006f, 0.000201f, 0.0007f, 0.00665f,
     0.0011f},
    {0.0f, 0.0f, 0.00905f, 0.00214f, 0.03819f, 0.0f, 0.005f, 0.0002f, 0.0001f, 0.00864f,
     0.0001667f},
    {0.0f, 0.0f, 0.01078f, 0.00184f, 0.03241f, 0.0f, 0.006f, 0.00033f, 0.0001f, 0.01033f,
     0.000067f},
    {0.0f, 0.0f, 0.01193f, 0.00136f, 0.02795f, 0.0f, 0.006f, 0.00058f, 0.0002f, 0.01145f,
     0.000033f},
    {0.0f, 0.0f, 0.01241f, 0.00096f, 0.0247f, 0.0f, 0.007f, 0.00101f, 0.0006f, 0.01193f, 0.000067f},
};

struct FixedSummary {
    int numsol;
    float maximum;
    int maximumNm;
    NmRanges zeros;
};

const FixedSummary kFixedSummaries[] = {
    {1, 2.477f, 525, {{714, 800}}},
    {2, 6.608f, 400, {{683, 683}, {685, 690}, {692, 800}}},
    {3, 0.01241f, 800, {{400, 404}}},
    {4, 0.00474f, 400, {{504, 504}}},
    {5, 0.05964f, 620, {{400, 400}, {402, 402}}},
    {6, 9.0f, 447, {{665, 800}}},
    {7, 1.303f, 419, {{495, 497}, {499, 502}, {505, 505}}},
    {8, 0.004029f, 575, {}},
    {9, 0.0473f, 512, {{736, 736}, {738, 744}, {746, 747}}},
    {10, 0.01193f, 800, {{400, 453}}},
    {11, 0.04893f, 616, {{768, 768}, {772, 773}}},
};

TEST(FixedSpectra, UnusedEntryZeroIsAllZero)
{
    for (float v : kFixedSpectra[0])
        EXPECT_EQ(v, 0.0f);
}

TEST(FixedSpectra, Match25NmSamplesExactly)
{
    for (int numsol = 1; numsol <= 11; ++numsol)
        for (int row = 0; row < kSampleCount; ++row)
            EXPECT_EQ(kFixedSpectra[numsol][indexOf(sampleNm(row))], kFixedSamples[row][numsol - 1])
                << "numsol " << numsol << " at " << sampleNm(row) << " nm";
}

TEST(FixedSpectra, MaximumAtStatedWavelength)
{
    for (const auto &s : kFixedSummaries) {
        const auto &table = kFixedSpectra[s.numsol];
        const auto top = std::max_element(table.begin(), table.end()); // first of any ties
        EXPECT_EQ(*top, s.maximum) << "numsol " << s.numsol;
        EXPECT_EQ(top - table.begin(), indexOf(s.maximumNm)) << "numsol " << s.numsol;
    }
}

TEST(FixedSpectra, ZeroExactlyWhereNoAbsorption)
{
    for (const auto &s : kFixedSummaries)
        expectZeroExactlyOn(kFixedSpectra[s.numsol], s.zeros, "numsol " + std::to_string(s.numsol));
}

// Permanganate shows four bands between 500 and 575 nm that the 25 nm samples hide.
TEST(FixedSpectra, PermanganateHasFourStrictBandsBetween500And575)
{
    const auto &t = kFixedSpectra[1];
    const std::vector<std::pair<int, float>> expected = {
        {507, 1.866f}, {525, 2.477f}, {545, 2.385f}, {566, 1.343f}};

    std::vector<std::pair<int, float>> found;
    for (int nm = 500; nm <= 575; ++nm) {
        const int i = indexOf(nm);
        EXPECT_NE(t[i], t[i + 1]) << "plateau at " << nm << " nm";
        if (t[i - 1] < t[i] && t[i] > t[i + 1])
            found.emplace_back(nm, t[i]);
    }
    EXPECT_EQ(found, expected);
}

// ---------------------------------------------------------------------------------------
// Indicator forms, stored as exact multiples of their measurement step.

// Measured values are printed with 4 significant digits (more when exact), trailing zeros
// dropped: "7" stands for 7.000 and "3.533" for 3.533 +- 0.0005.
double halfUnitOf(const char *text)
{
    const double value = std::stod(text);
    if (value == 0)
        return 0;
    const char *dot = std::strchr(text, '.');
    const int written = dot ? static_cast<int>(std::strlen(dot + 1)) : 0;
    const int significant = 3 - static_cast<int>(std::floor(std::log10(value)));
    return 0.5 * std::pow(10.0, -std::max(written, significant));
}

// True when value rounds to the printed digits; a value exactly halfway passes either way.
bool matchesShown(double value, const char *text)
{
    return std::abs(value - std::stod(text)) <= halfUnitOf(text) * (1 + 1e-9);
}

struct IndicatorForm {
    const char *name;
    const DoubleSpectrum *table;
    int denominator;
    const char *samples[kSampleCount];
    const char *maximum;
    int maximumNm;
    NmRanges zeros;
};

// Bromothymol acid form: the measured data only says "isolated zeros between 632 and
// 688 nm" (675 nm among them); the tables use 640, 655, 668, 675 and 683 nm.
const IndicatorForm kIndicators[] = {
    {"bromothymol acid",
     &kBromothymolAcid,
     100,
     {"10.02", "12.7", "12.1", "8.54", "4.56", "1.92", "0.68", "0.22", "0.06", "0.06", "0.02", "0",
      "0.04", "0.04", "0.06", "0.06", "0.08"},
     "12.92",
     431,
     {{640, 640}, {655, 655}, {668, 668}, {675, 675}, {683, 683}}},
    {"bromothymol base",
     &kBromothymolBase,
     100,
     {"1.52", "0.2", "0.46", "1.34", "3.16", "6.62", "12.34", "20.84", "24.5", "3.84", "0.32",
      "0.04", "0.02", "0.02", "0.04", "0.02", "0.06"},
     "28.16",
     591,
     {{680, 686}, {688, 690}}},
    {"phenolphthalein base",
     &kPhenolphthaleinBase,
     16,
     {"3.1875", "0.875", "2.6875", "7", "16.44", "33.12", "60.62", "23.56", "2.25", "0.375", "0",
      "0.125", "0.25", "0.3125", "0.4375", "0.5", "0.5625"},
     "61.375",
     553,
     {{647, 647}, {650, 650}}},
    {"helianthine acid",
     &kHelianthineAcid,
     30,
     {"0.6", "3.533", "11.83", "26.9", "41.37", "40.57", "23.7", "2.767", "0.2", "0.1", "0",
      "0.03333", "0.1333", "0.1667", "0.2", "0.2333", "0.2667"},
     "43.03",
     508,
     {{632, 652}, {661, 661}}},
    {"helianthine base",
     &kHelianthineBase,
     30,
     {"13.13", "18.33", "22.33", "22.8", "15.73", "6.233", "1.233", "0.1333", "0.06667", "0.1333",
      "0.06667", "0.1", "0.1667", "0.2333", "0.3", "0.3333", "0.3667"},
     "23.47",
     463,
     {{580, 580}, {584, 588}}},
};

TEST(IndicatorSpectra, EveryValueIsAnExactMultipleOfTheStep)
{
    for (const auto &form : kIndicators) {
        for (int i = 0; i < kSpectrumSize; ++i) {
            const double v = (*form.table)[i];
            const double k = std::round(v * form.denominator);
            EXPECT_EQ(v, k / form.denominator) << form.name << " at " << kFirstNm + i << " nm";
        }
    }
}

TEST(IndicatorSpectra, Match25NmSamplesToShownDigits)
{
    for (const auto &form : kIndicators)
        for (int row = 0; row < kSampleCount; ++row)
            EXPECT_TRUE(matchesShown((*form.table)[indexOf(sampleNm(row))], form.samples[row]))
                << form.name << " at " << sampleNm(row)
                << " nm: " << (*form.table)[indexOf(sampleNm(row))] << " vs " << form.samples[row];
}

TEST(IndicatorSpectra, MaximumAtStatedWavelength)
{
    for (const auto &form : kIndicators) {
        const DoubleSpectrum &t = *form.table;
        const auto top = std::max_element(t.begin(), t.end());
        EXPECT_TRUE(matchesShown(*top, form.maximum)) << form.name << ": " << *top;
        EXPECT_EQ(top - t.begin(), indexOf(form.maximumNm)) << form.name;
    }
}

TEST(IndicatorSpectra, ZeroExactlyWhereNoAbsorption)
{
    for (const auto &form : kIndicators)
        expectZeroExactlyOn(*form.table, form.zeros, form.name);
}

} // namespace
} // namespace spectro
