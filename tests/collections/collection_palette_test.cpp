// Importing paletted images into a collection: which table the bitmap
// gets, how palettes merge, and which pixels are transparent.

#include "collections/collection_palette.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pirn {
namespace {

struct Rgb {
    u8 r, g, b;
};

PixelImage Paletted(u32 width, u32 height, const std::vector<u8>& indices, const std::vector<Rgb>& palette) {
    PixelImage image;
    SetImagePixels(&image, width, height, kFormatColorIndex, indices.data());
    std::vector<u8> rgb;
    for (const Rgb& c : palette) rgb.insert(rgb.end(), {c.r, c.g, c.b});
    SetImagePalette(&image, u32(palette.size()), rgb.data());
    return image;
}

Rgb Entry(const Collection& c, u32 i) { return {c.colors[3 * i], c.colors[3 * i + 1], c.colors[3 * i + 2]}; }
bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A table whose entries are all distinct (no free slot) except where asked.
void FillDistinct(Collection* c) {
    for (u32 i = 0; i < 256; ++i) {
        c->colors[3 * i] = u8(i);
        c->colors[3 * i + 1] = u8(255 - i);
        c->colors[3 * i + 2] = 77;
    }
}

TEST(ImportPalette, FirstBitmapBringsItsPaletteIn) {
    Collection c;
    InitCollection(&c);
    const PixelImage image = Paletted(3, 1, {0, 2, 3}, {{0, 0, 255}, {255, 0, 255}, {10, 20, 30}, {40, 50, 60}});
    CollectionBitmap* b = AddBitmapFromImage(&c, image, "first", nullptr, false);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Entry(c, 2), (Rgb{10, 20, 30}));
    EXPECT_EQ(Entry(c, 3), (Rgb{40, 50, 60}));
    EXPECT_EQ(Entry(c, 200), (Rgb{0, 0, 255})) << "a short palette is padded with entry 0";
    EXPECT_EQ(b->pixels, (std::vector<u8>{0, 0, 255, 2, 255, 3}));
    EXPECT_EQ(b->flags, kBitmapRle) << "index 0 marks an RLE bitmap";
    EXPECT_STREQ(b->name, "first");
}

TEST(ImportPalette, IndexOneIsTransparentButOnlyIndexZeroMakesTheBitmapRle) {
    Collection c;
    InitCollection(&c);
    const PixelImage image = Paletted(2, 1, {1, 2}, {{0, 0, 0}, {9, 9, 9}, {7, 7, 7}});
    CollectionBitmap* b = AddBitmapFromImage(&c, image, "raw", nullptr, false);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels, (std::vector<u8>{0, 0, 255, 2}));
    EXPECT_EQ(b->flags, 0);
}

TEST(ImportPalette, OpaqueColoursEqualToTheTransparentEntriesStayOpaque) {
    // The table's entry 0 is black; the image draws opaque black with its
    // own index 5. The pixel must keep its colour in a slot from 2 on.
    Collection c;
    InitCollection(&c);
    FillDistinct(&c);
    c.colors[0] = c.colors[1] = c.colors[2] = 0;
    c.colors[3 * 40] = c.colors[3 * 41] = 5;  // make entry 41 a duplicate of 40: one free slot
    c.colors[3 * 40 + 1] = c.colors[3 * 41 + 1] = 5;
    c.colors[3 * 40 + 2] = c.colors[3 * 41 + 2] = 5;
    AddCollectionBitmap(&c, "existing", 0, nullptr, 1, 1, 2, nullptr);
    const PixelImage image = Paletted(2, 1, {5, 0}, {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 0, 0}});
    CollectionBitmap* b = AddBitmapFromImage(&c, image, "black", nullptr, false);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Entry(c, 41), (Rgb{0, 0, 0})) << "black took the free slot";
    EXPECT_EQ(b->pixels, (std::vector<u8>{255, 41, 0, 0}));
}

TEST(ImportPalette, MergeFillsTheLowestDuplicatesAndNeverSlotOne) {
    u8 table[kColorTableBytes];
    for (u32 i = 0; i < 256; ++i) {
        table[3 * i] = u8(i);
        table[3 * i + 1] = 1;
        table[3 * i + 2] = 2;
    }
    auto duplicate = [&](u32 slot, u32 of) { std::memcpy(&table[3 * slot], &table[3 * of], 3); };
    duplicate(1, 0);  // slot 1 repeats entry 0 but stays reserved
    duplicate(9, 4);
    duplicate(20, 0);
    u8 palette[kColorTableBytes] = {};
    bool used[kColorTableEntries] = {};
    palette[3 * 7] = 200;  // new colours at image indices 7 and 8
    palette[3 * 8] = 201;
    palette[3 * 6] = 4;  // already in the table at 4
    palette[3 * 6 + 1] = 1;
    palette[3 * 6 + 2] = 2;
    used[6] = used[7] = used[8] = true;
    ASSERT_TRUE(MergePalette(table, palette, used));
    EXPECT_EQ(table[3 * 9], 200);
    EXPECT_EQ(table[3 * 20], 201);
    EXPECT_EQ(table[3 * 1], 0);
    palette[3 * 10] = 202;
    used[10] = true;
    palette[3 * 7] = 203;
    EXPECT_FALSE(MergePalette(table, palette, used)) << "no free slot left for two more colours";
}

TEST(ImportPalette, AFreeSlotThatBitmapsShowIsNotTakenFromThem) {
    // Entry 41 repeats entry 40, so it could take a new colour; whether it
    // may depends on what the existing bitmap draws with it.
    struct Case {
        const char* what;
        u8 alpha, index;
        u16 flags;
        bool merges;
    };
    const Case cases[] = {
        {"a bitmap shows entry 41", 255, 41, 0, false},
        {"a bitmap shows entry 41 half see-through", 136, 41, kBitmapPartialAlpha, false},
        {"the bitmap shows entry 40", 255, 40, 0, true},
        {"a shadow's grey level 41 is no table entry", 255, 41, kBitmapShadow, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Collection c;
        InitCollection(&c);
        FillDistinct(&c);
        std::memcpy(&c.colors[3 * 41], &c.colors[3 * 40], 3);
        const u8 pixel[2] = {k.alpha, k.index};
        AddCollectionBitmap(&c, "existing", k.flags, pixel, 1, 1, 2, nullptr);
        u8 before[kColorTableBytes];
        std::memcpy(before, c.colors, sizeof before);
        const PixelImage image = Paletted(1, 1, {2}, {{0, 0, 0}, {0, 0, 0}, {1, 2, 3}});
        CollectionBitmap* b = AddBitmapFromImage(&c, image, "new", nullptr, false);
        if (!k.merges) {
            EXPECT_EQ(b, nullptr);
            EXPECT_EQ(std::memcmp(before, c.colors, sizeof before), 0) << "the existing bitmap keeps its colours";
            continue;
        }
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(Entry(c, 41), (Rgb{1, 2, 3}));
        EXPECT_EQ(b->pixels, (std::vector<u8>{255, 41}));
    }
}

TEST(ImportPalette, UnusedPaletteEntriesNeedNoSlot) {
    Collection c;
    InitCollection(&c);
    FillDistinct(&c);
    AddCollectionBitmap(&c, "existing", 0, nullptr, 1, 1, 2, nullptr);
    std::vector<Rgb> palette(256, Rgb{1, 2, 3});
    palette[2] = Entry(c, 100);
    const PixelImage image = Paletted(2, 1, {2, 1}, palette);
    CollectionBitmap* b = AddBitmapFromImage(&c, image, "fits", nullptr, false);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels, (std::vector<u8>{255, 100, 0, 0}));
}

TEST(ImportPalette, FailedMergeChangesNothingAndForcingReplacesTheTable) {
    Collection c;
    InitCollection(&c);
    FillDistinct(&c);
    CollectionBitmap* existing = AddCollectionBitmap(&c, "existing", 0, nullptr, 1, 1, 2, nullptr);
    u8 before[kColorTableBytes];
    std::memcpy(before, c.colors, sizeof before);
    const PixelImage image = Paletted(1, 1, {2}, {{0, 0, 0}, {0, 0, 0}, {1, 2, 3}});
    EXPECT_EQ(AddBitmapFromImage(&c, image, "new", nullptr, false), nullptr);
    EXPECT_EQ(std::memcmp(before, c.colors, sizeof before), 0);
    EXPECT_EQ(GetCollectionBitmapCount(c), 1u);

    CollectionBitmap* b = AddBitmapFromImage(&c, image, "new", existing, true);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetCollectionBitmap(c, 0), b) << "replaced in place";
    EXPECT_EQ(Entry(c, 2), (Rgb{1, 2, 3}));
    EXPECT_EQ(Entry(c, 255), (Rgb{0, 0, 0}));
}

TEST(ImportPalette, CollectionWithoutBitmapsMergesIntoATableSomeoneFilled) {
    Collection c;
    InitCollection(&c);
    FillDistinct(&c);
    c.colors[3 * 30] = c.colors[3 * 29];
    c.colors[3 * 30 + 1] = c.colors[3 * 29 + 1];
    const PixelImage image = Paletted(1, 1, {2}, {{0, 0, 0}, {0, 0, 0}, {1, 2, 3}});
    ASSERT_NE(AddBitmapFromImage(&c, image, "new", nullptr, false), nullptr);
    EXPECT_EQ(Entry(c, 30), (Rgb{1, 2, 3}));
    EXPECT_EQ(Entry(c, 100), (Rgb{100, 155, 77})) << "the rest of the table kept";
}

TEST(ImportPalette, OnlyEightBitPalettedImagesAreTaken) {
    Collection c;
    InitCollection(&c);
    PixelImage rgb;
    SetImagePixels(&rgb, 1, 1, kFormatRgb, nullptr);
    EXPECT_EQ(AddBitmapFromImage(&c, rgb, "rgb", nullptr, false), nullptr);
    PixelImage no_palette;
    SetImagePixels(&no_palette, 1, 1, kFormatColorIndex, nullptr);
    EXPECT_EQ(AddBitmapFromImage(&c, no_palette, "bare", nullptr, false), nullptr);
}

}  // namespace
}  // namespace pirn
