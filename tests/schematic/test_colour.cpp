#include "schematic/colour.h"

#include <gtest/gtest.h>

using schematic::coulsol;
using schematic::quecol;

TEST(Quecol, SamplesOfTheVisibleSpectrum)
{
    const struct {
        int lambda, r, g, b;
    } cases[] = {{400, 0, 0, 128},   {439, 0, 0, 252},   {440, 0, 0, 255},  {470, 0, 128, 255},
                 {500, 0, 255, 255}, {525, 0, 255, 128}, {550, 0, 255, 0},  {570, 128, 255, 0},
                 {590, 255, 255, 0}, {650, 255, 159, 0}, {734, 255, 26, 0}, {750, 255, 0, 0},
                 {800, 128, 0, 0}};
    for (const auto &c : cases) {
        const auto q = quecol(c.lambda);
        ASSERT_TRUE(q.has_value()) << c.lambda;
        EXPECT_EQ(q->rgb(), QColor(c.r, c.g, c.b)) << c.lambda;
    }
    EXPECT_FALSE(quecol(399).has_value());
    EXPECT_FALSE(quecol(801).has_value());
}

TEST(Coulsol, SolutionColours)
{
    const struct {
        int numsol;
        const char *conc, *ph;
        int r, g, b;
    } cases[] = {
        {1, "0,001", "7,0", 201, 81, 201},
        {1, "0,01", "7,0", 134, 54, 134},
        {1, "0,1", "7,0", 67, 50, 67},
        {2, "0,01", "7,0", 200, 130, 50},
        {2, "0,001", "7,0", 235, 195, 75},
        {10, "0,001", "7,0", 235, 235, 235},
        {10, "0,01", "7,0", 235, 222, 222},
        {13, "0,001", "7", 235, 235, 235},
        {13, "0,1", "7", 235, 235, 235},
        {13, "0,001", "9", 235, 204, 235},
        {13, "0,001", "10", 235, 75, 235},
        {12, "0,001", "5", 235, 235, 75},
        {12, "0,001", "7", 75, 235, 75},
        {12, "0,001", "7,6", 75, 174, 235},
        {12, "0,001", "9", 75, 75, 235},
        {14, "0,001", "2", 235, 75, 75},
        {14, "0,001", "4", 235, 235, 75},
        {14, "0,001", "12", 235, 235, 75},
        {1, "1", "7,0", 235, 235, 235},
        {3, "2", "7,0", 235, 235, 235},
        // An unreadable concentration keeps the factor at m: the base colour.
        {2, "abc", "7,0", 200, 130, 50},
        // An entered 6,2 is not above the single-precision 6.2.
        {12, "0,001", "6,2", 235, 235, 75},
    };
    for (const auto &c : cases)
        EXPECT_EQ(coulsol(c.numsol, QString::fromLatin1(c.conc), QString::fromLatin1(c.ph)),
                  QColor(c.r, c.g, c.b))
            << c.numsol << " " << c.conc << " pH " << c.ph;
}
