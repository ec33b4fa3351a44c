#include "common/numfmt.h"

#include <gtest/gtest.h>
#include <limits>

using namespace numfmt;

struct FormatCase {
    double value;
    const char *mask;
    const char *expected;
};

class FormatTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatTest, MatchesMask)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(format(c.value, QString::fromLatin1(c.mask)), QString::fromUtf8(c.expected))
        << c.value << " with " << c.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, FormatTest,
    ::testing::Values(
        // three significant digits
        FormatCase{2.477, "0.00E+00", "2,48E+00"}, FormatCase{0.00248, "0.00E+00", "2,48E-03"},
        FormatCase{0.001234, "0.00E+00", "1,23E-03"}, FormatCase{0, "0.00E+00", "0,00E+00"},
        FormatCase{13, "0.00E+00", "1,30E+01"},
        // graph scale
        FormatCase{0.45, "0.0E+00", "4,5E-01"}, FormatCase{2.345, "0.0E+00", "2,3E+00"},
        FormatCase{2.88, "0.0E+00", "2,9E+00"}, FormatCase{0.996, "0.0E+00", "1,0E+00"},
        FormatCase{0.0095, "0.0E+00", "9,5E-03"}, FormatCase{3, "0.0E+00", "3,0E+00"},
        // readout
        FormatCase{2.48, "0.0##", "2,48"}, FormatCase{0.00248, "0.0##", "0,002"},
        FormatCase{0, "0.0##", "0,0"}, FormatCase{3, "0.0##", "3,0"},
        // concentration box
        FormatCase{0.001, "0.0## ### ###", "0,001"}, FormatCase{0.1, "0.0## ### ###", "0,1"},
        FormatCase{0.05, "0.0## ### ###", "0,05"},
        FormatCase{0.0000123, "0.0## ### ###", "0,000 012 3"},
        FormatCase{0.000001, "0.0## ### ###", "0,000 001"},
        FormatCase{0.00123, "0.0## ### ###", "0,001 23"},
        // pointer readout and trace steps
        FormatCase{1.25, "0.0## ###", "1,25"}, FormatCase{0.0001234, "0.0## ###", "0,000 123"},
        FormatCase{0.0001, "0.000 0#", "0,000 1"}, FormatCase{0.001, "0.000 0#", "0,001 0"},
        FormatCase{0.00001, "0.000 0#", "0,000 01"}, FormatCase{0.0009, "0.000 0#", "0,000 9"},
        FormatCase{7, "0.0", "7,0"}, FormatCase{12, "0.0", "12,0"}, FormatCase{7.6, "0.0", "7,6"},
        FormatCase{401.33, "##0", "401"}, FormatCase{402.67, "##0", "403"},
        FormatCase{0.35, "0.00#", "0,35"}, FormatCase{1.0 / 3, "0.00#", "0,333"},
        FormatCase{0, "0.00#", "0,00"},
        // calculator scientific mode
        FormatCase{1234.5678, "#.#######E+00", "1,2345678E+03"},
        FormatCase{5, "#.#######E+00", "5,E+00"}, FormatCase{14, "#.#######E+00", "1,4E+01"}));

TEST(NumFmt, ThreeSignificantDigits)
{
    EXPECT_FLOAT_EQ(float(round3(2.477)), 2.48f);
    EXPECT_FLOAT_EQ(float(round3(0.00247699)), 0.00248f);
    EXPECT_DOUBLE_EQ(round3(3.7155), 3.72);
    EXPECT_DOUBLE_EQ(round3(0), 0);
}

TEST(NumFmt, GeneralForm)
{
    const std::pair<double, const char *> cases[] = {
        {0.1, "0,1"}, {1.5, "1,5"}, {0.025, "0,025"}, {0, "0"},          {1, "1"},
        {2.4, "2,4"}, {0.3, "0,3"}, {400, "400"},     {0.00002, "2E-05"}};
    for (const auto &[v, text] : cases)
        EXPECT_EQ(general(v), QString::fromLatin1(text)) << v;
}

TEST(NumFmt, StrLikeBasic)
{
    const std::pair<double, const char *> cases[] = {
        {0.5, " .5"},     {-2, "-2"},  {-0.25, "-.25"},     {3.14159265358979, " 3.14159265358979"},
        {14, " 14"},      {0, " 0"},   {1e15, " 1E+15"},    {0.00001, " 1E-05"},
        {0.003, " .003"}, {36, " 36"}, {1.5e-5, " 1.5E-05"}};
    for (const auto &[v, text] : cases)
        EXPECT_EQ(str(v), QString::fromLatin1(text)) << v;
    EXPECT_EQ(str(4 * std::atan(1.0)).trimmed(), QStringLiteral("3.14159265358979"));
}

TEST(NumFmt, ValLikeBasic)
{
    const std::pair<const char *, double> cases[] = {
        {"  12abc", 12}, {"1,5", 1}, {" .5", 0.5},       {"-2", -2},
        {"", 0},         {"abc", 0}, {"1.5E-3", 0.0015}, {"2D2", 200},
        {" 550", 550},   {"-1", -1}, {"1E", 1},          {"Calcul impossible", 0},
        {" 9999", 9999}};
    for (const auto &[text, v] : cases)
        EXPECT_DOUBLE_EQ(val(QString::fromLatin1(text)), v) << text;
}

TEST(NumFmt, ReadNumberFromBoxes)
{
    const std::pair<const char *, double> ok[] = {{"0,001", 0.001}, {"0,000 012 3", 0.0000123},
                                                  {"7,0", 7},       {"2,5E-3", 0.0025},
                                                  {" 13 ", 13},     {"0.5", 0.5},
                                                  {"0", 0},         {",5", 0.5}};
    for (const auto &[text, v] : ok) {
        ASSERT_TRUE(readNumber(QString::fromLatin1(text)).has_value()) << text;
        EXPECT_DOUBLE_EQ(*readNumber(QString::fromLatin1(text)), v) << text;
    }
    for (const char *bad : {"", "abc", "1e", "1,2,3", "-", ","})
        EXPECT_FALSE(readNumber(QString::fromLatin1(bad)).has_value()) << bad;
    // Beyond a double's range: huge stays huge and keeps its sign, tiny is 0.
    const QString nines(309, QLatin1Char('9'));
    const std::pair<QString, double> beyond[] = {
        {nines, std::numeric_limits<double>::max()},
        {QStringLiteral("-") + nines, -std::numeric_limits<double>::max()},
        {QStringLiteral("0,000 1E400"), std::numeric_limits<double>::max()},
        {QStringLiteral("1e99999999999999999999"), std::numeric_limits<double>::max()},
        {QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1'), 0.0},
        {QStringLiteral("1E-400"), 0.0},
        {QStringLiteral("100E-400"), 0.0}};
    for (const auto &[text, v] : beyond) {
        ASSERT_TRUE(readNumber(text).has_value()) << text.left(20).toStdString();
        EXPECT_EQ(*readNumber(text), v) << text.left(20).toStdString();
    }
    // Every text the concentration mask writes reads back as the same number.
    for (double v : {0.0000123, 0.001, 0.05, 0.000001, 0.00123})
        EXPECT_DOUBLE_EQ(*readNumber(format(v, QStringLiteral("0.0## ### ###"))), v);
}

TEST(NumFmt, RoundsHalfToEven)
{
    EXPECT_EQ(cint(127.5), 128);
    EXPECT_EQ(cint(88.5), 88);
    EXPECT_EQ(cint(25.5), 26);
    EXPECT_EQ(cint(-2.5), -2);
    EXPECT_EQ(cint(2.4999), 2);
}
