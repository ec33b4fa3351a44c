#include "schematic/schema.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace
{
// Fonts need an application object.
struct App {
    int argc = 1;
    char arg0[8] = "test";
    char *argv[1] = {arg0};
    QGuiApplication app{argc, argv};
};
App &app()
{
    static App a;
    return a;
}
} // namespace

TEST(Schema, BackgroundGradientAndNozzle)
{
    app();
    Surface tall(417, 130);
    schematic::fondschema(tall, 129, 417);
    EXPECT_EQ(tall.pixel(10, 0), QColor(255, 200, 155));
    EXPECT_EQ(tall.pixel(10, 129), QColor(255, 255, 255));

    Surface s(417, 129);
    schematic::deschema(s, 1);
    // Rows 61 and 67 (greys 255 and 55) lie under the nozzle's black outline.
    const int greys[] = {222, 188, 155, 122, 88};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.pixel(46, 62 + i), QColor(greys[i], greys[i], greys[i])) << i;
    EXPECT_EQ(s.pixel(46, 61), QColor(Qt::black));
    // The frozen picture survives a clear; a plain-white one replaces it.
    s.cls();
    EXPECT_EQ(s.pixel(2, 0), QColor(255, 200, 155));
    schematic::deschema(s, 0);
    s.cls();
    EXPECT_EQ(s.pixel(2, 0), QColor(Qt::white));
    EXPECT_EQ(s.pixel(45, 55), QColor(Qt::black)); // compartment stays
}

TEST(Schema, MeasuringLayer)
{
    app();
    Surface s(417, 129);
    schematic::deschema(s, 1);
    schematic::Measure m;
    m.cuvetteCode = 3;
    m.coulLambda = QColor(0, 255, 0);
    m.rouge = 0;
    m.vert = 255;
    m.bleu = 0;
    m.coulSolution = QColor(201, 81, 201);
    m.readout = QStringLiteral("----");
    m.absorbance = 3;
    schematic::drawMeasure(s, m);
    EXPECT_EQ(s.pixel(96, 40), QColor(Qt::black));
    EXPECT_EQ(s.pixel(120, 40), QColor(Qt::black));
    EXPECT_NE(s.pixel(121, 40), QColor(Qt::black));
    EXPECT_EQ(s.pixel(100, 80), QColor(201, 81, 201));
    EXPECT_EQ(s.pixel(60, 64), QColor(0, 255, 0)); // incident beam
    EXPECT_EQ(s.pixel(121, 64), QColor(0, 16, 0)); // 255 / 16
    EXPECT_EQ(s.pixel(150, 64), QColor(0, 16, 0));

    m.cuvetteCode = 1;
    m.absorbance = 0.5f; // d = 3.5
    m.readout = QStringLiteral("A = 0,5");
    schematic::drawMeasure(s, m);
    EXPECT_EQ(s.pixel(104, 60), QColor(Qt::black));
    EXPECT_EQ(s.pixel(112, 60), QColor(Qt::black));
    EXPECT_EQ(s.pixel(113, 64), QColor(0, 73, 0));
    EXPECT_EQ(s.pixel(112, 40), QColor(Qt::black));
    EXPECT_NE(s.pixel(120, 40), QColor(Qt::black)); // the wide cuvette is gone
    // The readout is centred on x = 324.
    int left = 417, right = -1;
    for (int x = 284; x < 363; ++x)
        for (int y = 57; y < 72; ++y)
            if (s.pixel(x, y).lightness() < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LT(left, right);
    EXPECT_NEAR((left + right) / 2.0, 324, 2.0);
}

TEST(Schema, CuvetteAnimation)
{
    app();
    Surface s(417, 129);
    schematic::deschema(s, 1);
    s.cls();
    const QImage before = s.image();
    const QImage hand = schematic::handPicture();
    for (int k = 1; k <= 4; ++k) {
        schematic::animtube(s, k, 2, QColor(1, 2, 3), hand);
        EXPECT_EQ(s.image(), before) << k;
    }
    schematic::animtube(s, 5, 3, std::nullopt, hand);
    EXPECT_EQ(s.pixel(60, 64), QColor(Qt::black)); // light off
    EXPECT_EQ(s.pixel(96, 60), QColor(Qt::black)); // cuvette outline at x 96..120
    EXPECT_EQ(s.pixel(120, 60), QColor(Qt::black));
    EXPECT_EQ(s.pixel(100, 80), QColor(128, 128, 128)); // empty well, no fill
    schematic::animtube(s, 6, 2, QColor(201, 81, 201), hand);
    EXPECT_EQ(s.pixel(104, 80), QColor(201, 81, 201)); // lifted by 5 pixels
}
