// Contrast of text colours against their background, checked against the
// published reference values of the accessibility guidelines' formula, and
// the legible colour it picks in either direction.

#include <gtest/gtest.h>

#include "ui/draw_target.h"
#include "ui/text_contrast.h"

namespace pirn_test {
namespace {

using namespace pirn;

u32 Rgb(u32 r, u32 g, u32 b) { return PackRgba(r, g, b, 255); }

TEST(TextContrast, RatiosMatchTheReferenceValues) {
    struct Case {
        u32 a, b;
        double ratio;
    } cases[] = {
        {Rgb(0, 0, 0), Rgb(255, 255, 255), 21.0},
        {Rgb(255, 255, 255), Rgb(255, 255, 255), 1.0},
        {Rgb(0x77, 0x77, 0x77), Rgb(255, 255, 255), 4.48},  // the grey known to just miss 4.5
        {Rgb(255, 0, 0), Rgb(255, 255, 255), 4.0},
        {Rgb(0, 0, 255), Rgb(0, 0, 0), 2.44},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01);
        EXPECT_NEAR(ContrastRatio(c.b, c.a), c.ratio, 0.01);
    }
}

TEST(TextContrast, ALegibleColourMovesOnlyAsFarAsItMust) {
    const u32 orange = Rgb(255, 144, 0);
    // Already legible: unchanged, alpha and all.
    EXPECT_EQ(LegibleOn(PackRgba(0, 0, 0, 77), Rgb(255, 255, 255), 4.5), PackRgba(0, 0, 0, 77));
    // Darker on a light fill, lighter on a dark one; just past the mark.
    const u32 onLight = LegibleOn(orange, Rgb(200, 210, 230), 4.5);
    EXPECT_LT(RelativeLuminance(onLight), RelativeLuminance(orange));
    EXPECT_GE(ContrastRatio(onLight, Rgb(200, 210, 230)), 4.5);
    EXPECT_LT(ContrastRatio(onLight, Rgb(200, 210, 230)), 5.0);
    const u32 onDark = LegibleOn(Rgb(120, 60, 0), Rgb(20, 20, 40), 4.5);
    EXPECT_GT(RelativeLuminance(onDark), RelativeLuminance(Rgb(120, 60, 0)));
    EXPECT_GE(ContrastRatio(onDark, Rgb(20, 20, 40)), 4.5);
    // Out of reach: as far as it goes.
    EXPECT_EQ(LegibleOn(orange, Rgb(128, 128, 128), 21.0) & 0xFFFFFF, 0u);
    EXPECT_EQ(CompositeOver(PackRgba(0, 64, 192, 128), Rgb(255, 255, 255)), Rgb(127, 159, 223));
}

}  // namespace
}  // namespace pirn_test
