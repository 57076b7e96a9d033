// What views show of a bitmap: RGBA through the recoloured table, shadows
// as grey, the 64-bit form with its hue changes, and thumbnail sizes.

#include "collections/bitmap_rgba.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

std::vector<u8> Rgba(const Collection& c, const CollectionBitmap& b, u32 x = 0, u32 y = 0, u32 w = 0, u32 h = 0) {
    if (!w) w = b.width;
    if (!h) h = b.height;
    u8 preview[kColorTableBytes];
    PreviewHueChanges(c, preview, nullptr);
    std::vector<u8> out(size_t(w) * h * 4);
    ConvertBitmapToRgba(c, b, preview, x, y, w, h, out.data());
    return out;
}

TEST(BitmapRgba, IndexedPixelsTakeTheTableAndShadowsAreGrey) {
    Collection c;
    InitCollection(&c);
    c.colors[3 * 7] = 10;
    c.colors[3 * 7 + 1] = 20;
    c.colors[3 * 7 + 2] = 30;
    const u8 pixels[] = {255, 7, 128, 7, 0, 0};
    // The kept stored bits 0x4000 and 0x8000 do not make a bitmap a shadow.
    CollectionBitmap* plain = AddCollectionBitmap(&c, "p", kBitmapFormatValid | kBitmapCarried, pixels, 3, 1, 2, nullptr);
    EXPECT_EQ(Rgba(c, *plain), (std::vector<u8>{10, 20, 30, 255, 10, 20, 30, 128, 0, 0, 0, 0}));
    const u8 shade[] = {255, 0, 255, 255, 200, 55};
    CollectionBitmap* shadow = AddCollectionBitmap(&c, "s", kBitmapShadow, shade, 3, 1, 2, nullptr);
    EXPECT_EQ(Rgba(c, *shadow), (std::vector<u8>{255, 255, 255, 255, 0, 0, 0, 255, 200, 200, 200, 200}));
}

TEST(BitmapRgba, RectanglesComeOutRowByRow) {
    Collection c;
    InitCollection(&c);
    for (u32 i = 0; i < 256; ++i) c.colors[3 * i] = u8(i);
    std::vector<u8> pixels;
    for (u32 i = 0; i < 12; ++i) pixels.insert(pixels.end(), {255, u8(i)});
    CollectionBitmap* b = AddCollectionBitmap(&c, "b", 0, pixels.data(), 4, 3, 2, nullptr);
    const std::vector<u8> part = Rgba(c, *b, 1, 1, 2, 2);
    ASSERT_EQ(part.size(), 16u);
    EXPECT_EQ(part[0], 5);
    EXPECT_EQ(part[4], 6);
    EXPECT_EQ(part[8], 9);
    EXPECT_EQ(part[12], 10);
}

TEST(BitmapRgba, SixtyFourBitPixelsUseTheirHueChanges) {
    Collection c;
    InitCollection(&c);
    CollectionHueChange* solid = AddHueChange(&c, "solid");
    solid->replacement_flags = 3;
    solid->replacement_red = 0x1234;
    solid->replacement_green = 0x5678;
    solid->replacement_blue = 0x9ABC;
    AddHueChange(&c, "plain HSV");  // replacement flags 0: the bytes are hue, value, saturation
    const struct {
        const char* what;
        std::vector<u8> pixel;
        std::vector<u8> rgba;
    } cases[] = {
        {"no hue change: the bytes are the colour", {40, 50, 60, 31, 0, 0, 0, 0}, {40, 50, 60, 255}},
        {"alpha from the low five bits", {40, 50, 60, 10, 0, 0, 0, 0}, {40, 50, 60, 82}},
        {"hue change 1 with a solid colour", {40, 50, 60, 32 | 31, 0, 0, 0, 0}, {0x12, 0x56, 0x9A, 255}},
        {"hue change 2: HSV hue 0, value 255, saturation 255", {0, 255, 254, 64 | 31, 0, 0, 0, 0}, {255, 1, 0, 255}},
        {"hue change 7 of 2: none", {40, 50, 60, 0xE0 | 31, 0, 0, 0, 0}, {40, 50, 60, 255}},
        {"odd p2 blends a second colour by (p7 % 32) / 64", {0, 0, 1, 31, 128, 64, 255, 16}, {32, 16, 64, 255}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        CollectionBitmap* b = AddCollectionBitmap(&c, "d", 0, k.pixel.data(), 1, 1, 8, nullptr);
        EXPECT_EQ(Rgba(c, *b), k.rgba);
    }
}

TEST(BitmapRgba, FitIntoBoxKeepsTheAspectAndGuardsEmptySides) {
    const struct {
        i32 width, height, box, out_width, out_height;
    } cases[] = {
        {300, 150, 96, 96, 48}, {150, 300, 96, 48, 96}, {40, 40, 48, 48, 48}, {0, 0, 96, 0, 0}, {0, 10, 96, 0, 0},
        {10, 0, 96, 0, 0},      {32767, 1, 96, 96, 0},
    };
    for (const auto& c : cases) {
        i32 w = -1, h = -1;
        FitIntoBox(c.width, c.height, &w, &h, c.box);
        EXPECT_EQ(w, c.out_width) << c.width << " x " << c.height;
        EXPECT_EQ(h, c.out_height) << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace pirn
