// Operations on one bitmap: cropping (and the points that move with it),
// images of its colours and alpha, alpha masks, identity and the nearest
// table colour.

#include <gtest/gtest.h>

#include <cstring>

#include "collections/collection.h"

namespace pirn {
namespace {

// A bitmap whose pixels are transparent outside the box [x0, x1) x [y0, y1).
CollectionBitmap* AddBoxed(Collection* c, u16 width, u16 height, u16 flags, u32 x0, u32 y0, u32 x1, u32 y1) {
    std::vector<u8> pixels(size_t(width) * height * 2, 0);
    for (u32 y = y0; y < y1; ++y)
        for (u32 x = x0; x < x1; ++x) {
            pixels[(size_t(y) * width + x) * 2] = 255;
            pixels[(size_t(y) * width + x) * 2 + 1] = u8(10 + x + 16 * y);
        }
    return AddCollectionBitmap(c, "boxed", flags, pixels.data(), width, height, 2, nullptr);
}

TEST(BitmapCrop, AnswersAndSizes) {
    const struct {
        const char* what;
        u16 width, height, flags;
        u32 x0, y0, x1, y1;
        i64 answer;
        u16 new_width, new_height;
    } cases[] = {
        {"nothing opaque", 8, 8, kBitmapRle, 0, 0, 0, 0, -1, 8, 8},
        {"RAW 64 x 32 is left alone", 64, 32, 0, 3, 3, 5, 5, 0, 64, 32},
        {"content fills the bitmap", 6, 5, kBitmapRle, 0, 0, 6, 5, 0, 6, 5},
        {"RLE with margins: W x H - w x h", 10, 8, kBitmapRle, 2, 1, 7, 4, 80 - 15, 5, 3},
        {"RAW not a power of two is cropped", 10, 8, 0, 0, 0, 10, 7, 10, 10, 7},
        {"corner pixel only", 9, 9, kBitmapRle, 8, 8, 9, 9, 80, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Collection col;
        InitCollection(&col);
        CollectionBitmap* b = AddBoxed(&col, c.width, c.height, c.flags, c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(CropBitmapToContent(&col, b), c.answer);
        EXPECT_EQ(b->width, c.new_width);
        EXPECT_EQ(b->height, c.new_height);
        EXPECT_EQ(b->pixels.size(), size_t(c.new_width) * c.new_height * 2);
        if (c.answer > 0) {
            EXPECT_EQ(b->pixels[0], 255);
            EXPECT_EQ(b->pixels[1], u8(10 + c.x0 + 16 * c.y0)) << "the box's top-left pixel comes first";
        }
    }
}

TEST(BitmapCrop, RegistrationPointsLoseTheMarginOnTheirSide) {
    // Margins: left 2, right 3, top 1, bottom 4.
    const struct {
        const char* what;
        u32 flags;
        i16 x, y, key_x, key_y;
    } cases[] = {
        {"plain", 0, 20 - 2, 30 - 1, 5 - 2, 6 - 1},
        {"mirrored", kInstanceMirrored, 20 - 3, 30 - 1, 5 - 3, 6 - 1},
        {"flipped", kInstanceFlipped, 20 - 2, 30 - 4, 5 - 2, 6 - 4},
        {"both", kInstanceMirrored | kInstanceFlipped, 20 - 3, 30 - 4, 5 - 3, 6 - 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Collection col;
        InitCollection(&col);
        CollectionBitmap* b = AddBoxed(&col, 10, 10, kBitmapRle, 2, 1, 7, 6);
        CollectionBitmap* other = AddBoxed(&col, 10, 10, kBitmapRle, 2, 1, 7, 6);
        CollectionSequence* s = AddSequence(&col, "s");
        ResizeSequence(s, 3, 1);
        BitmapInstance& shows = s->frames[0].instances[0];
        shows.flags = c.flags;
        shows.standard = {b, 0, 20, 30, kStandardScale};
        shows.key_x = 5;
        shows.key_y = 6;
        BitmapInstance& alternate = s->frames[0].instances[1];
        alternate.flags = c.flags | kInstanceHasAlternate;
        alternate.standard = {other, 1, 20, 30, kStandardScale};
        alternate.alternate = {b, 0, 20, 30, 5 * kFixedOne};
        alternate.key_x = 5;
        BitmapInstance& untouched = s->frames[0].instances[2];
        untouched.standard = {other, 1, 20, 30, kStandardScale};
        ASSERT_GT(CropBitmapToContent(&col, b), 0);
        EXPECT_EQ(shows.standard.x, c.x);
        EXPECT_EQ(shows.standard.y, c.y);
        EXPECT_EQ(shows.key_x, c.key_x);
        EXPECT_EQ(shows.key_y, c.key_y);
        EXPECT_EQ(alternate.alternate.x, c.x) << "the alternate reference to the cropped bitmap moves";
        EXPECT_EQ(alternate.alternate.y, c.y);
        EXPECT_EQ(alternate.standard.x, 20) << "its standard reference shows another bitmap";
        EXPECT_EQ(alternate.key_x, 5) << "the key point belongs to the standard reference";
        EXPECT_EQ(untouched.standard.x, 20);
    }
}

TEST(BitmapCrop, SixtyFourBitPixelsCountTheAlphaBitsOfTheirCode) {
    Collection col;
    InitCollection(&col);
    std::vector<u8> pixels(size_t(4) * 3 * 8, 0);
    pixels[(1 * 4 + 2) * 8 + 3] = 0x21;  // alpha 1
    pixels[(2 * 4 + 0) * 8 + 3] = 0x40;  // alpha 0 with a hue change: still transparent
    CollectionBitmap* b = AddCollectionBitmap(&col, "deep", kBitmapFormatValid, pixels.data(), 4, 3, 8, nullptr);
    EXPECT_EQ(CropBitmapToContent(&col, b), 11);
    EXPECT_EQ(b->width, 1);
    EXPECT_EQ(b->pixels.size(), 8u);
    EXPECT_EQ(b->pixels[3], 0x21);
}

TEST(BitmapImages, ColorsTakeTheTransparentIndexOfTheirStoredForm) {
    Collection col;
    InitCollection(&col);
    col.colors[3 * 9] = 200;
    const u8 pixels[] = {0, 0, 255, 9, 0, 5, 120, 6};  // transparent, opaque, transparent shadow-ish, partial
    const struct {
        const char* what;
        u16 flags;
        std::vector<u8> indices;
        bool grey;
    } cases[] = {
        {"RLE", kBitmapRle, {0, 9, 0, 6}, false},
        {"RAW", 0, {1, 9, 1, 6}, false},
        {"shadow keeps its index", kBitmapShadow, {0, 9, 5, 6}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CollectionBitmap* b = AddCollectionBitmap(&col, "b", c.flags, pixels, 4, 1, 2, nullptr);
        PixelImage image;
        ASSERT_TRUE(ExportBitmapColors(col, *b, &image));
        EXPECT_EQ(image.format, kFormatColorIndex);
        EXPECT_EQ(image.pixels, c.indices);
        ASSERT_EQ(image.palette.size(), kColorTableBytes);
        EXPECT_EQ(IsGreyRampPalette(image), c.grey);
        EXPECT_EQ(image.palette[3 * 9], c.grey ? 9 : 200);
    }
    CollectionBitmap* b = GetCollectionBitmap(col, 0);
    PixelImage alpha;
    ASSERT_TRUE(ExportBitmapAlpha(*b, &alpha));
    EXPECT_EQ(alpha.format, kFormatAlpha);
    EXPECT_EQ(alpha.pixels, (std::vector<u8>{0, 255, 0, 120}));
}

TEST(BitmapImages, SixtyFourBitBitmapsHaveNoIndexImage) {
    Collection col;
    InitCollection(&col);
    CollectionBitmap* b = AddCollectionBitmap(&col, "deep", 0, nullptr, 2, 2, 8, nullptr);
    PixelImage image;
    EXPECT_FALSE(ExportBitmapColors(col, *b, &image));
    EXPECT_FALSE(ExportBitmapAlpha(*b, &image));
}

TEST(BitmapImages, AlphaMaskMustMatchTheSizeAndSetsPartialAlpha) {
    Collection col;
    InitCollection(&col);
    const u8 pixels[] = {255, 3, 255, 4, 255, 5, 255, 6};
    CollectionBitmap* b = AddCollectionBitmap(&col, "b", 0, pixels, 2, 2, 2, nullptr);
    PixelImage mask;
    SetImagePixels(&mask, 2, 1, kFormatAlpha, nullptr);
    EXPECT_FALSE(ApplyAlphaMask(b, mask));
    EXPECT_EQ(b->pixels[0], 255);
    const u8 partial[] = {0, 128, 255, 255};
    SetImagePixels(&mask, 2, 2, kFormatAlpha, partial);
    EXPECT_TRUE(ApplyAlphaMask(b, mask));
    EXPECT_EQ(b->pixels, (std::vector<u8>{0, 3, 128, 4, 255, 5, 255, 6}));
    EXPECT_EQ(b->flags, kBitmapPartialAlpha);
    const u8 hard[] = {0, 255, 255, 0};
    SetImagePixels(&mask, 2, 2, kFormatAlpha, hard);
    EXPECT_TRUE(ApplyAlphaMask(b, mask));
    EXPECT_EQ(b->flags, 0);
    SetImagePixels(&mask, 2, 2, kFormatRgb, nullptr);
    EXPECT_FALSE(ApplyAlphaMask(b, mask)) << "not an 8-bit image";
}

TEST(BitmapIdentity, EveryPixelByteOfEverySizeCounts) {
    Collection col;
    InitCollection(&col);
    std::vector<u8> deep(size_t(4) * 4 * 8, 1);
    CollectionBitmap* a = AddCollectionBitmap(&col, "a", 0, deep.data(), 4, 4, 8, nullptr);
    CollectionBitmap* b = AddCollectionBitmap(&col, "b", 0, deep.data(), 4, 4, 8, nullptr);
    EXPECT_TRUE(BitmapsIdentical(*a, *b)) << "names do not count";
    b->pixels.back() = 2;  // far past width x height x 2 bytes
    EXPECT_FALSE(BitmapsIdentical(*a, *b));
    b->pixels.back() = 1;
    b->flags = kBitmapRle;
    EXPECT_FALSE(BitmapsIdentical(*a, *b)) << "RLE and RAW differ";
    CollectionBitmap* shallow = AddCollectionBitmap(&col, "c", 0, deep.data(), 4, 8, 2, nullptr);
    EXPECT_FALSE(BitmapsIdentical(*a, *shallow)) << "same byte count, other pixel size";
}

TEST(NearestColor, ExactMatchesTiesAndEmptyRanges) {
    u8 table[kColorTableBytes] = {};
    auto set = [&](u32 i, u8 r, u8 g, u8 b) {
        table[3 * i] = r;
        table[3 * i + 1] = g;
        table[3 * i + 2] = b;
    };
    set(1, 10, 10, 10);
    set(2, 30, 10, 10);
    set(3, 250, 250, 250);
    set(4, 255, 255, 255);
    set(5, 20, 10, 10);
    const auto rgba = [](u32 r, u32 g, u32 b) { return r | g << 8 | b << 16 | 0xFF000000u; };
    EXPECT_EQ(FindNearestColor(table, 1, 255, rgba(255, 255, 255)), 4u);
    EXPECT_EQ(FindNearestColor(table, 1, 3, rgba(255, 255, 255)), 3u);
    EXPECT_EQ(FindNearestColor(table, 1, 4, rgba(20, 10, 10)), 1u) << "tie between 1 and 2 keeps 1";
    EXPECT_EQ(FindNearestColor(table, 1, 255, rgba(20, 10, 10)), 5u) << "exact match";
    EXPECT_EQ(FindNearestColor(table, 0, 255, rgba(0, 0, 0)), 0u);
    EXPECT_EQ(FindNearestColor(table, 7, 3, rgba(0, 0, 0)), 7u);
}

}  // namespace
}  // namespace pirn
