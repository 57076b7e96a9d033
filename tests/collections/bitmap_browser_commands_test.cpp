// The bitmap browser's command bodies and texts apart from its window: the
// rows of each page, the table's cells, the questions' wording, format and
// alpha changes, cropping and uncropping with the points that follow the
// pixels, and moving a table row.

#include "collections/bitmap_browser_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirn {
namespace {

struct Fresh {
    Collection c;
    Fresh() { InitCollection(&c); }
    ~Fresh() { FreeCollection(&c); }
};

// Pixel (x, y) of a 2-byte bitmap holds alpha 255 and index 10 + x + y * w
// inside the box, nothing outside.
CollectionBitmap* AddNumbered(Collection* c, const char* name, u16 w, u16 h, u16 flags = kBitmapRle) {
    std::vector<u8> pixels(size_t(w) * h * 2);
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x) {
            pixels[(y * w + x) * 2] = 255;
            pixels[(y * w + x) * 2 + 1] = u8(10 + x + y * w);
        }
    return AddCollectionBitmap(c, name, flags, pixels.data(), w, h, 2, nullptr);
}

TEST(BitmapBrowserRows, EachPageShowsItsKindInCollectionOrder) {
    Fresh f;
    CollectionBitmap* a = AddNumbered(&f.c, "a", 2, 2);
    CollectionBitmap* s1 = AddNumbered(&f.c, "s1", 2, 2, kBitmapShadow);
    CollectionBitmap* b = AddNumbered(&f.c, "b", 2, 2);
    CollectionBitmap* s2 = AddNumbered(&f.c, "s2", 2, 2, kBitmapShadow | kBitmapRle);
    EXPECT_EQ(PageBitmaps(f.c, false), (std::vector<CollectionBitmap*>{a, b}));
    EXPECT_EQ(PageBitmaps(f.c, true), (std::vector<CollectionBitmap*>{s1, s2}));
}

TEST(BitmapBrowserRows, TableCellsAndLabel) {
    struct Case {
        u16 width, height, flags, bytes;
        const char* bits;
        const char* format;
        const char* dimensions;
    } cases[] = {
        {32, 48, kBitmapPartialAlpha | kBitmapRle, 2, "16 bit", "RLE", "  32 x 48"},
        {640, 4, 0, 2, "8 bit", "RAW", " 640 x 4"},
        {12345, 7, kBitmapRle, 2, "8 bit", "RLE", "12345 x 7"},
        {8, 8, kBitmapFormatValid | kBitmapPartialAlpha, 8, "32 bit", "RAW", "   8 x 8"},
    };
    for (const Case& k : cases) {
        CollectionBitmap bitmap;
        bitmap.width = k.width;
        bitmap.height = k.height;
        bitmap.flags = k.flags;
        bitmap.bytes_per_pixel = k.bytes;
        EXPECT_EQ(BitmapBitsText(bitmap), k.bits);
        EXPECT_STREQ(BitmapFormatText(bitmap), k.format);
        EXPECT_EQ(BitmapDimensionsText(bitmap), k.dimensions);
    }
    EXPECT_EQ(BitmapCountLabel(0, false), "  0 Bitmaps:");
    EXPECT_EQ(BitmapCountLabel(1, false), "  1 Bitmap:");
    EXPECT_EQ(BitmapCountLabel(12, true), " 12 Shadows:");
    EXPECT_EQ(BitmapCountLabel(1000, true), "1000 Shadows:");
}

TEST(BitmapBrowserQuestions, NameTheBitmapsAsThePageHasThem) {
    struct Case {
        size_t rows, count;
        bool all, shadows;
        const char* remove;
        const char* crop;
    } cases[] = {
        {1, 1, false, false, "Are you sure you want to remove the only bitmap?",
         "Are you sure you want to crop the only bitmap?"},
        {1, 1, true, true, "Are you sure you want to remove the only shadow?",
         "Are you sure you want to crop the only bitmap?"},
        {5, 1, false, false, "Are you sure you want to remove the selected bitmap?",
         "Are you sure you want to crop the selected bitmap?"},
        {5, 2, false, true, "Are you sure you want to remove the selected shadows?",
         "Are you sure you want to crop the selected bitmaps?"},
        {5, 5, true, false, "Are you sure you want to remove all bitmaps?",
         "Are you sure you want to crop all bitmaps?"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(DeleteQuestionText(k.rows, k.count, k.all, k.shadows), k.remove);
        EXPECT_EQ(CropQuestionText(k.rows, k.count, k.all), k.crop);
    }
}

TEST(BitmapBrowserCommands, FormatAndAlphaAnswerWhetherAnythingChanged) {
    Fresh f;
    CollectionBitmap* rle = AddNumbered(&f.c, "rle", 2, 2, kBitmapRle | kBitmapShadow);
    CollectionBitmap* raw = AddNumbered(&f.c, "raw", 2, 2, 0);
    EXPECT_TRUE(SetBitmapsRle({rle, raw}, true));
    EXPECT_EQ(raw->flags, kBitmapRle);
    EXPECT_FALSE(SetBitmapsRle({rle, raw}, true));
    EXPECT_TRUE(SetBitmapsRle({rle}, false));
    EXPECT_EQ(rle->flags, kBitmapShadow);

    raw->flags |= kBitmapPartialAlpha;
    raw->pixels[0] = 100;  // partial alpha over index 10
    raw->pixels[2] = 0;    // transparent
    raw->pixels[3] = 0;
    EXPECT_TRUE(RemoveBitmapsAlpha({rle, raw}));
    EXPECT_EQ(raw->flags & kBitmapPartialAlpha, 0);
    EXPECT_EQ(raw->pixels[0], 255);
    EXPECT_EQ(raw->pixels[2], 0);
    EXPECT_FALSE(RemoveBitmapsAlpha({rle, raw}));
}

TEST(BitmapBrowserCommands, CropCountsOnlyBitmapsThatLostPixels) {
    Fresh f;
    CollectionBitmap* framed = AddNumbered(&f.c, "framed", 6, 4);
    // A one-pixel transparent frame: 24 - 8 pixels go.
    for (u32 y = 0; y < 4; ++y)
        for (u32 x = 0; x < 6; ++x)
            if (x == 0 || y == 0 || x == 5 || y == 3) framed->pixels[(y * 6 + x) * 2] = 0;
    CollectionBitmap* clear = AddNumbered(&f.c, "clear", 3, 3);
    for (size_t i = 0; i < clear->pixels.size(); i += 2) clear->pixels[i] = 0;
    CollectionBitmap* raw = AddNumbered(&f.c, "raw", 8, 4, 0);
    raw->pixels[0] = 0;
    const CropOutcome outcome = CropBitmaps(&f.c, {framed, clear, raw});
    EXPECT_EQ(outcome.cropped, 1u);
    EXPECT_EQ(outcome.pixels, 16);
    EXPECT_EQ(framed->width, 4);
    EXPECT_EQ(framed->height, 2);
    // The browser leaves a transparent bitmap where it is.
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 3u);
    EXPECT_EQ(clear->width, 3);
    EXPECT_EQ(raw->width, 8);
}

TEST(BitmapBrowserCommands, UncropSizesFromOneTo4096) {
    const struct {
        const char* typed;
        bool valid;
        u32 size;
    } cases[] = {
        {"64", true, 64}, {" 12 ", true, 12}, {"1", true, 1}, {"4096", true, 4096}, {"0", false, 0},
        {"5000", false, 0}, {"70000", false, 0}, {"99999999999", false, 0}, {"-3", false, 0}, {"", false, 0},
        {"abc", false, 0}, {"6 4", false, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.typed);
        u32 size = 7;
        EXPECT_EQ(ParseUncropSize(k.typed, &size), k.valid);
        EXPECT_EQ(size, k.valid ? k.size : 7u);
    }
}

TEST(BitmapBrowserCommands, UncropCentresThePixelsAndMovesEveryPointWithThem) {
    Fresh f;
    // 41 x 21 into 64: 11 columns left and 12 right, 21 rows above and 22
    // below.
    CollectionBitmap* bitmap = AddNumbered(&f.c, "small", 41, 21);
    const std::vector<u8> before(bitmap->pixels.begin(), bitmap->pixels.end());
    CollectionSequence* s = AddSequence(&f.c, "Walk");
    ResizeSequence(s, 4, 1);
    BitmapInstance* plain = &s->frames[0].instances[0];
    BitmapInstance* mirrored = &s->frames[0].instances[1];
    BitmapInstance* flipped = &s->frames[0].instances[2];
    BitmapInstance* alternate = &s->frames[0].instances[3];
    for (BitmapInstance* i : {plain, mirrored, flipped}) {
        i->standard.bitmap = bitmap;
        i->standard.x = 5;
        i->standard.y = 6;
        i->key_x = 7;
        i->key_y = -2;
    }
    mirrored->flags = kInstanceMirrored;
    flipped->flags = kInstanceFlipped;
    alternate->flags = kInstanceHasAlternate;
    alternate->alternate.bitmap = bitmap;
    alternate->alternate.x = 1;
    alternate->alternate.y = 1;

    EXPECT_TRUE(UncropBitmap(&f.c, bitmap, 64));
    ASSERT_EQ(bitmap->width, 64);
    ASSERT_EQ(bitmap->height, 64);
    for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x) {
            const bool inside = x >= 11 && x < 52 && y >= 21 && y < 42;
            const u8* p = &bitmap->pixels[(y * 64 + x) * 2];
            const u8* q = inside ? &before[((y - 21) * 41 + (x - 11)) * 2] : nullptr;
            ASSERT_EQ(p[0], inside ? q[0] : 0) << x << "," << y;
            ASSERT_EQ(p[1], inside ? q[1] : 0) << x << "," << y;
        }
    EXPECT_EQ(plain->standard.x, 16);
    EXPECT_EQ(plain->standard.y, 27);
    EXPECT_EQ(plain->key_x, 18);
    EXPECT_EQ(plain->key_y, 19);
    EXPECT_EQ(mirrored->standard.x, 17);  // the right margin
    EXPECT_EQ(mirrored->standard.y, 27);
    EXPECT_EQ(flipped->standard.x, 16);
    EXPECT_EQ(flipped->standard.y, 28);  // the bottom margin
    EXPECT_EQ(alternate->alternate.x, 12);
    EXPECT_EQ(alternate->alternate.y, 22);

    // Already that size, or larger: nothing.
    EXPECT_FALSE(UncropBitmap(&f.c, bitmap, 64));
    EXPECT_FALSE(UncropBitmap(&f.c, bitmap, 32));
    CollectionBitmap* wide = AddNumbered(&f.c, "wide", 70, 2);
    EXPECT_EQ(UncropBitmaps(&f.c, {bitmap, wide}, 64), 0u);
    CollectionBitmap* even = AddNumbered(&f.c, "even", 40, 20);
    EXPECT_EQ(UncropBitmaps(&f.c, {bitmap, wide, even}, 64), 1u);
    EXPECT_EQ(even->pixels[((22 * 64) + 12) * 2 + 1], 10);  // its first pixel at (12, 22)
}

TEST(BitmapBrowserCommands, DeleteEmptiesTheViewsThatShowedTheBitmaps) {
    Fresh f;
    CollectionBitmap* a = AddNumbered(&f.c, "a", 2, 2);
    CollectionBitmap* b = AddNumbered(&f.c, "b", 2, 2);
    CollectionSequence* s = AddSequence(&f.c, "Walk");
    s->frames[0].instances[0].standard.bitmap = a;
    s->frames[0].shadow = b;
    EXPECT_EQ(DeleteBitmaps(&f.c, {a, b}), 2u);
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 0u);
    EXPECT_EQ(s->frames[0].instances[0].standard.bitmap, nullptr);
    EXPECT_EQ(s->frames[0].shadow, nullptr);
}

TEST(BitmapBrowserCommands, ARowMovesToTheCollectionPlaceOfTheRowItLandsOn) {
    Fresh f;
    // Collection order: b0 s0 b1 s1 b2 b3; the Bitmaps page shows b0 b1 b2 b3.
    CollectionBitmap* b0 = AddNumbered(&f.c, "b0", 1, 1);
    AddNumbered(&f.c, "s0", 1, 1, kBitmapShadow);
    CollectionBitmap* b1 = AddNumbered(&f.c, "b1", 1, 1);
    AddNumbered(&f.c, "s1", 1, 1, kBitmapShadow);
    CollectionBitmap* b2 = AddNumbered(&f.c, "b2", 1, 1);
    CollectionBitmap* b3 = AddNumbered(&f.c, "b3", 1, 1);
    const std::vector<CollectionBitmap*> rows = PageBitmaps(f.c, false);
    auto names = [&f] {
        std::string all;
        for (const auto& b : f.c.bitmaps) all += std::string(b->name) + " ";
        return all;
    };
    // b0 onto row 2 (b2 at index 4): it stood before, so it lands at 3.
    EXPECT_EQ(MoveBitmapToRow(&f.c, b0, rows, 2), 3u);
    EXPECT_EQ(names(), "s0 b1 s1 b0 b2 b3 ");
    // b1 past the last row: after b3.
    EXPECT_EQ(MoveBitmapToRow(&f.c, b1, PageBitmaps(f.c, false), 4), 5u);
    EXPECT_EQ(names(), "s0 s1 b0 b2 b3 b1 ");
    // Onto its own row: no move.
    EXPECT_EQ(MoveBitmapToRow(&f.c, b2, PageBitmaps(f.c, false), 1), kNotFound);
    EXPECT_EQ(MoveBitmapToRow(&f.c, b2, PageBitmaps(f.c, false), 9), kNotFound);
    (void)b3;
}

}  // namespace
}  // namespace pirn
