#include "platform/colour_space.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pirn {
namespace {

struct Rgb8Case {
    u8 rgb[3];
    u8 hsv[3];
};

TEST(ColourSpace8, RgbToHsv8) {
    // Expected values worked out from the integer steps by hand; the
    // negative sextants check that the shift rounds down, not toward zero.
    const Rgb8Case cases[] = {
        {{255, 0, 0}, {0, 255, 255}},    {{0, 255, 0}, {85, 255, 255}},
        {{0, 0, 255}, {170, 255, 255}},  {{128, 128, 128}, {0, 0, 128}},
        {{0, 0, 0}, {0, 0, 0}},          {{255, 0, 10}, {253, 255, 255}},
        {{200, 10, 11}, {255, 242, 200}}, {{10, 200, 30}, {89, 242, 200}},
        {{90, 60, 200}, {179, 178, 200}}, {{255, 255, 0}, {42, 255, 255}},
        {{0, 255, 255}, {128, 255, 255}}, {{1, 0, 2}, {192, 255, 2}},
    };
    for (const Rgb8Case& c : cases) {
        u8 hsv[4] = {1, 1, 1, 1};
        RgbToHsv8(c.rgb, hsv);
        EXPECT_EQ(hsv[0], c.hsv[0]) << int(c.rgb[0]) << "," << int(c.rgb[1]) << "," << int(c.rgb[2]);
        EXPECT_EQ(hsv[1], c.hsv[1]);
        EXPECT_EQ(hsv[2], c.hsv[2]);
        EXPECT_EQ(hsv[3], 255);
    }
}

TEST(ColourSpace8, HsvToRgb8) {
    const Rgb8Case cases[] = {
        // {hsv in the rgb slot, rgb in the hsv slot}
        {{0, 0, 255}, {255, 254, 254}},  {{0, 255, 255}, {255, 0, 0}},
        {{43, 255, 255}, {252, 255, 0}}, {{128, 200, 100}, {21, 98, 100}},
        {{200, 100, 250}, {220, 151, 250}}, {{255, 255, 255}, {255, 0, 0}},
        {{170, 128, 64}, {31, 32, 64}},  {{99, 0, 0}, {0, 0, 0}},
    };
    for (const Rgb8Case& c : cases) {
        u8 rgb[4] = {1, 1, 1, 1};
        HsvToRgb8(c.rgb, rgb);
        EXPECT_EQ(rgb[0], c.hsv[0]) << int(c.rgb[0]) << "," << int(c.rgb[1]) << "," << int(c.rgb[2]);
        EXPECT_EQ(rgb[1], c.hsv[1]);
        EXPECT_EQ(rgb[2], c.hsv[2]);
        EXPECT_EQ(rgb[3], 255);
    }
}

TEST(ColourSpaceDouble, AgreesWithTheTextbookFormulas) {
    // Reference values from Python's colorsys.
    double r, g, b;
    HsvToRgb(0.9, 0.5, 0.8, &r, &g, &b);
    EXPECT_NEAR(r, 0.8, 1e-12);
    EXPECT_NEAR(g, 0.4, 1e-12);
    EXPECT_NEAR(b, 0.64, 1e-12);
    HsvToRgb(0.55, 0.3, 0.6, &r, &g, &b);
    EXPECT_NEAR(r, 0.42, 1e-12);
    EXPECT_NEAR(g, 0.546, 1e-12);
    EXPECT_NEAR(b, 0.6, 1e-12);
    double h, s, v;
    RgbToHsv(0.2, 0.4, 0.9, &h, &s, &v);
    EXPECT_NEAR(h, 0.6190476190476191, 1e-12);
    EXPECT_NEAR(s, 0.7777777777777777, 1e-12);
    EXPECT_NEAR(v, 0.9, 1e-12);

    RgbToHsv(1.0, 1.0, 0.0, &h, &s, &v);  // red and green tie: the red branch
    EXPECT_NEAR(h, 1.0 / 6.0, 1e-12);
    RgbToHsv(0.5, 0.5, 0.5, &h, &s, &v);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 0.0);
    RgbToHsv(0.0, 0.0, 0.0, &h, &s, &v);
    EXPECT_EQ(s, 0.0);
    HsvToRgb(0.3, 0.0, 0.25, &r, &g, &b);
    EXPECT_EQ(r, 0.25);
    EXPECT_EQ(g, 0.25);
    EXPECT_EQ(b, 0.25);
}

TEST(ColourSpaceDouble, RoundTripsOverTheWholeTurn) {
    for (int hi = 0; hi < 60; ++hi) {
        for (double s : {0.25, 1.0}) {
            double h = hi / 60.0, r, g, b, h2, s2, v2;
            HsvToRgb(h, s, 0.75, &r, &g, &b);
            RgbToHsv(r, g, b, &h2, &s2, &v2);
            EXPECT_NEAR(h2, h, 1e-12) << h;
            EXPECT_NEAR(s2, s, 1e-12);
            EXPECT_NEAR(v2, 0.75, 1e-12);
        }
    }
}

TEST(ColourSpaceDouble, HueOutsideTheTurnWrapsAndSetsEveryOutput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double h;
        double r, g, b;
    } cases[] = {
        {1.0, 1.0, 0.0, 0.0},     // a full turn is red
        {1.25, 0.5, 1.0, 0.0},    // same as 0.25
        {-0.25, 0.5, 0.0, 1.0},   // same as 0.75
        {std::nextafter(1.0, 0.0), 1.0, 0.0, 0.0},
        {nan, 1.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        double r = nan, g = nan, b = nan;
        HsvToRgb(c.h, 1.0, 1.0, &r, &g, &b);
        EXPECT_NEAR(r, c.r, 1e-9) << c.h;
        EXPECT_NEAR(g, c.g, 1e-9) << c.h;
        EXPECT_NEAR(b, c.b, 1e-9) << c.h;
    }
}

}  // namespace
}  // namespace pirn
