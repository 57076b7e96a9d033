#include "platform/pixel_convert.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace pirn {
namespace {

PixelImage Make(u32 width, u32 height, u32 format, std::vector<u8> pixels) {
    PixelImage image;
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    return image;
}

PixelImage WithPalette(PixelImage image) {
    u8 palette[kPaletteBytes] = {};
    palette[3] = 10;
    palette[4] = 20;
    palette[5] = 30;
    palette[6] = 40;
    palette[7] = 50;
    palette[8] = 60;
    SetImagePalette(&image, 3, palette);
    return image;
}

TEST(PixelConvertTest, ConversionsFollowTheTable) {
    struct Case {
        const char* what;
        PixelImage source;
        u32 target;
        std::vector<u8> expected;
        bool keeps_palette;
    } cases[] = {
        {"RGBA to alpha", Make(2, 1, kFormatRgba, {1, 2, 3, 4, 5, 6, 7, 8}), kFormatAlpha, {4, 8}, false},
        {"IndexAlpha to alpha", Make(2, 1, kFormatIndexAlpha, {9, 1, 7, 2}), kFormatAlpha, {9, 7}, false},
        {"IndexAlpha to paletted", WithPalette(Make(2, 1, kFormatIndexAlpha, {9, 1, 7, 2})), kFormatColorIndex,
         {1, 2}, true},
        {"paletted to IndexAlpha", WithPalette(Make(2, 1, kFormatColorIndex, {2, 1})), kFormatIndexAlpha,
         {255, 2, 255, 1}, true},
        {"paletted to RGB", WithPalette(Make(2, 1, kFormatColorIndex, {2, 1})), kFormatRgb,
         {40, 50, 60, 10, 20, 30}, false},
        {"RGB to RGBA", Make(1, 1, kFormatRgb, {1, 2, 3}), kFormatRgba, {1, 2, 3, 255}, false},
        {"paletted to RGBA", WithPalette(Make(1, 1, kFormatColorIndex, {1})), kFormatRgba, {10, 20, 30, 255},
         false},
        {"alpha to RGBA", Make(1, 1, kFormatAlpha, {77}), kFormatRgba, {255, 255, 255, 77}, false},
        {"IndexAlpha to RGBA", WithPalette(Make(1, 1, kFormatIndexAlpha, {66, 2})), kFormatRgba,
         {40, 50, 60, 66}, false},
    };
    for (Case& c : cases) {
        ASSERT_TRUE(ConvertImageFormat(&c.source, c.target)) << c.what;
        EXPECT_EQ(c.source.format, c.target) << c.what;
        EXPECT_EQ(c.source.pixels, c.expected) << c.what;
        EXPECT_EQ(c.source.has_palette(), c.keeps_palette) << c.what;
    }
}

TEST(PixelConvertTest, UnreachableTargetsFailAndLeaveTheImageAlone) {
    struct Case {
        const char* what;
        PixelImage source;
        u32 target;
    } cases[] = {
        {"RGB to alpha", Make(1, 1, kFormatRgb, {1, 2, 3}), kFormatAlpha},
        {"paletted to alpha", WithPalette(Make(1, 1, kFormatColorIndex, {1})), kFormatAlpha},
        {"RGBA to RGB", Make(1, 1, kFormatRgba, {1, 2, 3, 4}), kFormatRgb},
        {"IndexAlpha to RGB", Make(1, 1, kFormatIndexAlpha, {1, 2}), kFormatRgb},
        {"raw bytes to RGBA", Make(1, 1, 5, {1, 2, 3, 4, 5}), kFormatRgba},
        {"to a raw size", Make(1, 1, kFormatRgb, {1, 2, 3}), 3},
    };
    for (Case& c : cases) {
        PixelImage before = c.source;
        EXPECT_FALSE(ConvertImageFormat(&c.source, c.target)) << c.what;
        EXPECT_EQ(c.source.format, before.format) << c.what;
        EXPECT_EQ(c.source.pixels, before.pixels) << c.what;
    }
    PixelImage same = Make(1, 1, kFormatRgb, {1, 2, 3});
    EXPECT_TRUE(ConvertImageFormat(&same, kFormatRgb));
}

TEST(PixelConvertTest, TrueColourWithFewColoursBecomesPalettedExactly) {
    std::vector<u8> pixels;
    const u8 colours[4][3] = {{255, 0, 0}, {0, 200, 0}, {0, 0, 150}, {250, 250, 250}};
    for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), colours[(i * 7) % 4], colours[(i * 7) % 4] + 3);
    PixelImage image = Make(4, 4, kFormatRgb, pixels);
    PixelImage paletted;
    ASSERT_TRUE(CopyImageAs(&paletted, image, kFormatColorIndex));
    EXPECT_EQ(paletted.palette_count, 4u);
    ASSERT_TRUE(ConvertImageFormat(&paletted, kFormatRgb));
    EXPECT_EQ(paletted.pixels, image.pixels);
    EXPECT_EQ(image.format, kFormatRgb);  // the source of a copy is untouched
}

TEST(PixelConvertTest, AlphaIsKeptWhenQuantisingToIndexAlpha) {
    PixelImage image = Make(2, 1, kFormatRgba, {10, 20, 30, 0, 200, 100, 50, 128});
    ASSERT_TRUE(ConvertImageFormat(&image, kFormatIndexAlpha));
    EXPECT_EQ(image.pixels[0], 0);
    EXPECT_EQ(image.pixels[2], 128);
    const u8* entry = &image.palette[size_t(image.pixels[3]) * 3];
    EXPECT_EQ(entry[0], 200);
    EXPECT_EQ(entry[1], 100);
    EXPECT_EQ(entry[2], 50);
}

TEST(PixelConvertTest, AnImageWithNoOpaquePixelStillConverts) {
    PixelImage image = Make(3, 1, kFormatRgba, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0});
    ASSERT_TRUE(ConvertImageFormat(&image, kFormatIndexAlpha));
    EXPECT_EQ(image.pixels, (std::vector<u8>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(image.palette_count, 1u);
    PixelImage clear = Make(2, 1, kFormatAlpha, {0, 0});
    ASSERT_TRUE(ConvertImageFormat(&clear, kFormatColorIndex));
    EXPECT_EQ(clear.pixels, (std::vector<u8>{0, 0}));
}

TEST(PixelConvertTest, TexturePixelsAreInAFormatGlUploads) {
    PixelImage out;
    ASSERT_TRUE(PrepareTexturePixels(WithPalette(Make(1, 1, kFormatColorIndex, {2})), &out));
    EXPECT_EQ(out.format, kFormatRgb);
    EXPECT_EQ(out.pixels, (std::vector<u8>{40, 50, 60}));
    ASSERT_TRUE(PrepareTexturePixels(WithPalette(Make(1, 1, kFormatIndexAlpha, {7, 1})), &out));
    EXPECT_EQ(out.format, kFormatRgba);
    EXPECT_EQ(out.pixels, (std::vector<u8>{10, 20, 30, 7}));
    ASSERT_TRUE(PrepareTexturePixels(Make(1, 1, kFormatAlpha, {9}), &out));
    EXPECT_EQ(out.format, kFormatAlpha);
    EXPECT_FALSE(PrepareTexturePixels(Make(1, 1, 5, {1, 2, 3, 4, 5}), &out));
}

}  // namespace
}  // namespace pirn
