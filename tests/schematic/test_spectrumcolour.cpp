// The colour of a sample from its spectrum.
#include "schematic/spectrumcolour.h"

#include <gtest/gtest.h>

#include <cmath>

using schematic::couleurSpectre;

namespace
{
std::array<float, 401> band(int from, int to, float e)
{
    std::array<float, 401> t{};
    for (int l = from; l <= to; ++l)
        t[l - 400] = e;
    return t;
}
} // namespace

TEST(SpectrumColour, WhiteLightThroughTheSample)
{
    // Nothing absorbed: the light grey of a colourless solution.
    EXPECT_EQ(couleurSpectre({}, 0.001), QColor(235, 235, 235));
    // The blue taken away: yellow; the red: cyan; the green: magenta.
    EXPECT_EQ(couleurSpectre(band(400, 489, 1000), 0.001), QColor(235, 235, 50));
    EXPECT_EQ(couleurSpectre(band(580, 700, 1000), 0.001), QColor(50, 235, 235));
    EXPECT_EQ(couleurSpectre(band(490, 579, 1000), 0.001), QColor(235, 50, 235));
    // A = 1 over the red band: 10 % of it passes, 50 + 185 × 0,1 = 68,5, to the even 68.
    EXPECT_EQ(couleurSpectre(band(580, 700, 1), 0.001).red(), 68);
    // Everything absorbed: every channel at the same level, shown as the grey.
    EXPECT_EQ(couleurSpectre(band(400, 800, 1000), 0.001), QColor(235, 235, 235));
    // More concentrated, darker.
    const auto t = band(400, 489, 0.5f);
    EXPECT_LT(couleurSpectre(t, 0.002).blue(), couleurSpectre(t, 0.001).blue());
}
