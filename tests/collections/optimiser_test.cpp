// The five whole-collection operations of the collection editor's
// "Optimize" page: what each does to bitmaps and the references to them,
// what it answers, and the report it gives, word for word.

#include "collections/optimiser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirn {
namespace {

// A bitmap of 2-byte pixels: `opaque` pixels (alpha 255, index 9) in a box,
// the rest transparent.
CollectionBitmap* AddBox(Collection* c, const char* name, u16 width, u16 height, u16 flags, u32 left = 0,
                         u32 top = 0, u32 right = 0, u32 bottom = 0, u8 index = 9) {
    if (!right) right = width;
    if (!bottom) bottom = height;
    std::vector<u8> pixels(size_t(width) * height * 2, 0);
    for (u32 y = top; y < bottom; ++y)
        for (u32 x = left; x < right; ++x) {
            pixels[(size_t(y) * width + x) * 2] = 255;
            pixels[(size_t(y) * width + x) * 2 + 1] = index;
        }
    return AddCollectionBitmap(c, name, flags, pixels.data(), width, height, 2, nullptr);
}

CollectionSequence* AddShowing(Collection* c, const char* name, u16 views, u16 frames) {
    CollectionSequence* s = AddSequence(c, name);
    ResizeSequence(s, views, frames);
    return s;
}

struct Fresh {
    Collection c;
    Fresh() { InitCollection(&c); }
    ~Fresh() { FreeCollection(&c); }
};

TEST(DeleteUnusedBitmaps, KeepsEveryBitmapAnyReferenceShowsAndReportsTheCount) {
    Fresh f;
    CollectionBitmap* standard = AddBox(&f.c, "standard", 4, 4, 0);
    CollectionBitmap* unused1 = AddBox(&f.c, "unused1", 4, 4, 0);
    CollectionBitmap* alternate = AddBox(&f.c, "alternate", 8, 8, 0);
    CollectionBitmap* shadow = AddBox(&f.c, "shadow", 4, 4, kBitmapShadow);
    AddBox(&f.c, "unused2", 4, 4, 0);
    CollectionSequence* s = AddShowing(&f.c, "Walk", 1, 1);
    BitmapInstance& instance = s->frames[0].instances[0];
    instance.standard.bitmap = standard;
    instance.flags |= kInstanceHasAlternate;
    instance.alternate.bitmap = alternate;
    s->frames[0].shadow = shadow;
    // Shown or not, the alternate counts as used.
    RelinkInstances(&f.c, false);

    OptimiserReport report;
    EXPECT_EQ(DeleteUnusedBitmaps(&f.c, &report), 2u);
    EXPECT_EQ(report.caption, "");
    EXPECT_EQ(report.text, "2 unused bitmaps were removed.");
    ASSERT_EQ(GetCollectionBitmapCount(f.c), 3u);
    EXPECT_EQ(f.c.bitmaps[0].get(), standard);
    EXPECT_EQ(f.c.bitmaps[1].get(), alternate);
    EXPECT_EQ(f.c.bitmaps[2].get(), shadow);
    EXPECT_EQ(instance.alternate.bitmap, alternate);
    (void)unused1;

    AddBox(&f.c, "one more", 2, 2, 0);
    EXPECT_EQ(DeleteUnusedBitmaps(&f.c, &report), 1u);
    EXPECT_EQ(report.text, "1 unused bitmap was removed.");
    EXPECT_EQ(DeleteUnusedBitmaps(&f.c, &report), 0u);
    EXPECT_EQ(report.text, "0 unused bitmaps were removed.");

    Fresh empty;
    EXPECT_EQ(DeleteUnusedBitmaps(&empty.c, &report), 0u);
    EXPECT_EQ(report.text, "0 unused bitmaps were removed.");
}

TEST(MergeIdenticalBitmaps, EveryCopyBecomesTheFirstOfItsKindInEveryReference) {
    Fresh f;
    CollectionBitmap* first = AddBox(&f.c, "a", 6, 5, kBitmapRle, 1, 1, 4, 4);
    CollectionBitmap* second = AddBox(&f.c, "b", 6, 5, kBitmapRle, 1, 1, 4, 4);
    CollectionBitmap* other = AddBox(&f.c, "other", 6, 5, kBitmapRle, 0, 0, 3, 3);
    CollectionBitmap* third = AddBox(&f.c, "c", 6, 5, kBitmapRle, 1, 1, 4, 4);
    // The same pixels stored RAW are another bitmap.
    CollectionBitmap* raw = AddBox(&f.c, "raw", 6, 5, 0, 1, 1, 4, 4);
    CollectionSequence* s = AddShowing(&f.c, "Walk", 2, 2);
    s->frames[0].instances[0].standard.bitmap = second;
    s->frames[0].instances[1].standard.bitmap = third;
    s->frames[1].instances[0].standard.bitmap = raw;
    s->frames[1].instances[1].flags |= kInstanceHasAlternate;
    s->frames[1].instances[1].alternate.bitmap = third;
    s->frames[1].shadow = second;

    OptimiserReport report;
    EXPECT_EQ(MergeIdenticalBitmaps(&f.c, &report), 2u);
    EXPECT_EQ(report.text, "2 bitmaps were deleted after merging.");
    ASSERT_EQ(GetCollectionBitmapCount(f.c), 3u);
    EXPECT_EQ(f.c.bitmaps[0].get(), first);
    EXPECT_EQ(f.c.bitmaps[1].get(), other);
    EXPECT_EQ(f.c.bitmaps[2].get(), raw);
    EXPECT_EQ(s->frames[0].instances[0].standard.bitmap, first);
    EXPECT_EQ(s->frames[0].instances[1].standard.bitmap, first);
    EXPECT_EQ(s->frames[1].instances[0].standard.bitmap, raw);
    EXPECT_EQ(s->frames[1].instances[1].alternate.bitmap, first);
    EXPECT_EQ(s->frames[1].shadow, first);

    EXPECT_EQ(MergeIdenticalBitmaps(&f.c, &report), 0u);
    EXPECT_EQ(report.text, "0 bitmaps were deleted after merging.");
}

TEST(MergeIdenticalBitmaps, ComparesEveryByteOfWidePixels) {
    // Two 8-byte bitmaps that agree in their first width x height x 2 bytes
    // but not after: different bitmaps.
    Fresh f;
    std::vector<u8> pixels(4 * 4 * 8, 3);
    AddCollectionBitmap(&f.c, "wide", kBitmapFormatValid, pixels.data(), 4, 4, 8, nullptr);
    pixels.back() = 4;
    AddCollectionBitmap(&f.c, "wide changed", kBitmapFormatValid, pixels.data(), 4, 4, 8, nullptr);
    OptimiserReport report;
    EXPECT_EQ(MergeIdenticalBitmaps(&f.c, &report), 0u);
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 2u);
    pixels.back() = 3;
    AddCollectionBitmap(&f.c, "wide again", kBitmapFormatValid, pixels.data(), 4, 4, 8, nullptr);
    EXPECT_EQ(MergeIdenticalBitmaps(&f.c, &report), 1u);
    EXPECT_EQ(report.text, "1 bitmap was deleted after merging.");
}

TEST(CropAllBitmaps, CropsDeletesTransparentOnesAndLeavesRawPowersOfTwo) {
    Fresh f;
    // 10 x 8 with an opaque 4 x 3 box at (2, 1): 80 - 12 = 68 pixels go.
    CollectionBitmap* boxed = AddBox(&f.c, "boxed", 10, 8, kBitmapRle, 2, 1, 6, 4);
    CollectionBitmap* empty = AddBox(&f.c, "empty", 5, 7, kBitmapRle, 0, 0, 0, 0);
    for (size_t i = 0; i < empty->pixels.size(); ++i) empty->pixels[i] = 0;
    CollectionBitmap* raw = AddBox(&f.c, "raw", 16, 8, 0, 4, 4, 5, 5);
    CollectionBitmap* whole = AddBox(&f.c, "whole", 3, 3, kBitmapRle);
    CollectionSequence* s = AddShowing(&f.c, "Cast", 2, 1);
    s->frames[0].instances[0].standard.bitmap = boxed;
    s->frames[0].instances[0].standard.x = 5;
    s->frames[0].instances[0].standard.y = 6;
    s->frames[0].instances[1].standard.bitmap = empty;

    OptimiserReport report;
    EXPECT_EQ(CropAllBitmaps(&f.c, &report), 2u);
    EXPECT_EQ(report.caption, "");
    EXPECT_EQ(report.text,
              "2 bitmaps were cropped (103 pixels removed).\n Additionally, 1 bitmap was removed due to being "
              "completely transparent.");
    EXPECT_EQ(boxed->width, 4);
    EXPECT_EQ(boxed->height, 3);
    EXPECT_EQ(s->frames[0].instances[0].standard.x, 3);
    EXPECT_EQ(s->frames[0].instances[0].standard.y, 5);
    // The transparent bitmap is gone and its view is empty.
    EXPECT_EQ(GetCollectionBitmapCount(f.c), 3u);
    EXPECT_EQ(s->frames[0].instances[1].standard.bitmap, nullptr);
    EXPECT_EQ(raw->width, 16);
    EXPECT_EQ(whole->width, 3);

    EXPECT_EQ(CropAllBitmaps(&f.c, &report), 0u);
    EXPECT_EQ(report.text, "0 bitmaps were cropped (0 pixels removed).");
}

TEST(AutoRenameBitmaps, NamesEachBitmapAfterTheFirstStoredViewThatShowsIt) {
    struct Case {
        u16 views, frames;
        bool mirroring;
        u32 frame, view;
        const char* name;
    } cases[] = {
        {8, 4, false, 2, 5, "Walk 02~05"},
        {8, 1, false, 0, 5, "Walk 05"},
        {1, 4, false, 2, 0, "Walk 02"},
        {1, 1, false, 0, 0, "Walk"},
        // Mirrored: five stored views of eight.
        {8, 3, true, 1, 4, "Walk 01~04"},
        {2, 12, false, 11, 1, "Walk 11~01"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Fresh f;
        CollectionSequence* s = AddShowing(&f.c, "Walk", k.views, k.frames);
        if (k.mirroring) s->flags |= kSequenceMirroring;
        EXPECT_EQ(AutoBitmapName(*s, k.frame, k.view), k.name);
        CollectionBitmap* bitmap = AddBox(&f.c, "old", 2, 2, 0);
        s->frames[k.frame].instances[k.view].standard.bitmap = bitmap;
        OptimiserReport report;
        EXPECT_EQ(AutoRenameBitmaps(&f.c, &report), 1u);
        EXPECT_STREQ(bitmap->name, k.name);
        EXPECT_EQ(report.caption, "Rename operation");
        EXPECT_EQ(report.text, "1 Bitmaps Renamed.");
    }
}

TEST(AutoRenameBitmaps, TheFirstSequenceWinsAndUnshownBitmapsKeepTheirNames) {
    Fresh f;
    CollectionBitmap* shared = AddBox(&f.c, "shared", 2, 2, 0);
    CollectionBitmap* alone = AddBox(&f.c, "alone", 2, 2, 0);
    CollectionBitmap* mirrored = AddBox(&f.c, "mirrored", 2, 2, 0);
    CollectionSequence* idle = AddShowing(&f.c, "Idle", 1, 1);
    CollectionSequence* walk = AddShowing(&f.c, "Walk", 8, 1);
    walk->flags |= kSequenceMirroring;
    idle->frames[0].instances[0].standard.bitmap = shared;
    walk->frames[0].instances[1].standard.bitmap = shared;
    walk->frames[0].instances[2].standard.bitmap = shared;
    // Past the stored views: never visited.
    walk->frames[0].instances[6].standard.bitmap = mirrored;

    OptimiserReport report;
    EXPECT_EQ(AutoRenameBitmaps(&f.c, &report), 1u);
    EXPECT_STREQ(shared->name, "Idle");
    EXPECT_STREQ(alone->name, "alone");
    EXPECT_STREQ(mirrored->name, "mirrored");

    // Names are cut to 63 characters.
    const std::string long_name(70, 'x');
    SetElementName(idle->name, long_name.c_str());
    AutoRenameBitmaps(&f.c, &report);
    EXPECT_EQ(std::string(shared->name), std::string(63, 'x'));

    Fresh none;
    report.text = "stale";
    EXPECT_EQ(AutoRenameBitmaps(&none.c, &report), 0u);
    EXPECT_EQ(report.text, "");
}

TEST(GetRuntimeSize, ReportsPaddedAndPlainSizesAndChangesNothing) {
    Fresh f;
    AddBox(&f.c, "square", 64, 64, 0);
    AddBox(&f.c, "odd", 100, 100, 0);
    const RuntimeSize size = MeasureRuntimeSize(f.c);
    EXPECT_EQ(size.paddedPixels, 4096u + 16384u);
    EXPECT_EQ(size.plainPixels, 4096u + 10000u);
    OptimiserReport report;
    EXPECT_EQ(GetRuntimeSize(&f.c, &report), 0u);
    EXPECT_EQ(report.caption, "Information");
    EXPECT_EQ(report.text,
              "Approximate texture cache consumption, by format:\n16 bit po2 => 0.04 MB\n16 bit npo2 => 0.03 MB\n"
              "32 bit po2 => 0.08 MB\n32 bit npo2 => 0.05 MB\n");
}

}  // namespace
}  // namespace pirn
