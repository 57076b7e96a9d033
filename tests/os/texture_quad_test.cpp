#include "platform/os/texture_quad.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

// A 100 x 60 image uploaded to a 128 x 64 texture (the rescaling path).
constexpr u32 kGlW = 128, kGlH = 64, kImageW = 100, kImageH = 60;

TEST(TextureQuad, DefaultSizesCoverTheImageAndTheWholeTexture) {
    TextureQuad q = ComputeTextureQuad(kGlW, kGlH, kImageW, kImageH, 0, 5, 7, 0, 0, 0, 0, 0, 0);
    ASSERT_TRUE(q.drawn);
    EXPECT_EQ(q.x0, 5);
    EXPECT_EQ(q.y0, 7);
    EXPECT_EQ(q.x1, 105);
    EXPECT_EQ(q.y1, 67);
    EXPECT_FLOAT_EQ(q.uLeft, 0.0f);
    EXPECT_FLOAT_EQ(q.uRight, 1.0f);
    EXPECT_FLOAT_EQ(q.vTop, 0.0f);
    EXPECT_FLOAT_EQ(q.vBottom, 1.0f);
}

TEST(TextureQuad, SourceRowsAreImageRowsWhateverTheScale) {
    // Rows 10..29 of the image are texture rows 10/60 .. 30/60 of the height.
    for (u32 glW : {128u, 256u, 100u}) {
        TextureQuad q = ComputeTextureQuad(glW, kGlH, kImageW, kImageH, 0, 0, 0, 100, 20, 0, 10,
                                           0, 20);
        EXPECT_FLOAT_EQ(q.vTop, 10.0f / 60.0f) << glW;
        EXPECT_FLOAT_EQ(q.vBottom, 30.0f / 60.0f) << glW;
    }
    TextureQuad q = ComputeTextureQuad(kGlW, kGlH, kImageW, kImageH, 0, 0, 0, 0, 0, 25, 0, 50, 0);
    EXPECT_FLOAT_EQ(q.uLeft, 0.25f);
    EXPECT_FLOAT_EQ(q.uRight, 0.75f);
}

TEST(TextureQuad, FlagsMirror) {
    TextureQuad plain = ComputeTextureQuad(kGlW, kGlH, kImageW, kImageH, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    TextureQuad vertical = ComputeTextureQuad(kGlW, kGlH, kImageW, kImageH, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    TextureQuad half = ComputeTextureQuad(kGlW, kGlH, kImageW, kImageH, 3, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(vertical.vTop, plain.vBottom);
    EXPECT_EQ(vertical.uLeft, plain.uLeft);
    EXPECT_EQ(half.uLeft, plain.uRight);
    EXPECT_EQ(half.uRight, plain.uLeft);
    EXPECT_EQ(half.vTop, plain.vBottom);
    EXPECT_EQ(half.vBottom, plain.vTop);
}

// An empty texture draws nothing; a record adopted without an image size
// is drawn at the texture's own size instead of dividing by zero.
TEST(TextureQuad, EmptySizesNeverDivideByZero) {
    EXPECT_FALSE(ComputeTextureQuad(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).drawn);
    EXPECT_FALSE(ComputeTextureQuad(0, 64, 100, 60, 0, 0, 0, 0, 0, 0, 0, 0, 0).drawn);
    TextureQuad q = ComputeTextureQuad(64, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 8);
    ASSERT_TRUE(q.drawn);
    EXPECT_EQ(q.x1, 64);
    EXPECT_EQ(q.y1, 32);
    EXPECT_FLOAT_EQ(q.uRight, 0.25f);
    EXPECT_FLOAT_EQ(q.vBottom, 0.25f);
}

TEST(TextureQuad, RescaleDecision) {
    struct Case {
        u32 w, h;
        bool npot, rescale;
    };
    const Case cases[] = {
        {64, 32, false, false}, {100, 64, false, true}, {64, 60, false, true},
        {0, 64, false, true},   {1, 1, false, false},   {100, 60, true, false},
        {0, 0, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextureNeedsRescale(c.w, c.h, c.npot), c.rescale) << c.w << "x" << c.h << " " << c.npot;
}

}  // namespace
}  // namespace pirn
