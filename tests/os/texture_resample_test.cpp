#include "platform/os/texture_resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace pirn {
namespace {

TEST(TextureResampleTest, EveryEdgeSurvivesTheStretch) {
    // 3 x 2 grey: one side grows, the other keeps its size; the last row and
    // column must not fade.
    const std::vector<u8> grey = {10, 20, 30, 40, 50, 60};
    std::vector<u8> out;
    u32 w = 0, h = 0;
    ASSERT_TRUE(ResampleToPowerOfTwo(grey.data(), 1, 3, 2, &out, &w, &h));
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 2u);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[0], 10);  // corners come through unchanged
    EXPECT_EQ(out[3], 30);
    EXPECT_EQ(out[4], 40);
    EXPECT_EQ(out[7], 60);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out[4 + x] - out[x], 30) << x;  // rows keep their own values

    // A uniform RGBA picture stays uniform everywhere.
    std::vector<u8> rgba;
    for (int i = 0; i < 100 * 64; ++i) rgba.insert(rgba.end(), {200, 100, 50, 255});
    ASSERT_TRUE(ResampleToPowerOfTwo(rgba.data(), 4, 100, 64, &out, &w, &h));
    EXPECT_EQ(w, 128u);
    EXPECT_EQ(h, 64u);
    for (size_t i = 0; i < out.size(); i += 4) {
        ASSERT_EQ(std::vector<u8>(out.begin() + i, out.begin() + i + 4), (std::vector<u8>{200, 100, 50, 255})) << i;
    }
}

TEST(TextureResampleTest, RefusesWhatCannotBeStretched) {
    std::vector<u8> out = {7};
    u32 w = 9, h = 9;
    const u8 one = 1;
    EXPECT_FALSE(ResampleToPowerOfTwo(&one, 1, 0, 1, &out, &w, &h));
    EXPECT_FALSE(ResampleToPowerOfTwo(nullptr, 1, 1, 1, &out, &w, &h));
    EXPECT_FALSE(ResampleToPowerOfTwo(&one, 5, 1, 1, &out, &w, &h));
    // Sides whose power of two would pass the image size limit (never read).
    EXPECT_FALSE(ResampleToPowerOfTwo(&one, 4, 0x80000001u, 1, &out, &w, &h));
    EXPECT_FALSE(ResampleToPowerOfTwo(&one, 4, 20000, 20000, &out, &w, &h));
    EXPECT_EQ(out, std::vector<u8>{7});
    EXPECT_EQ(w, 9u);
}

}  // namespace
}  // namespace pirn
