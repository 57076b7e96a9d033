// Hue changes: the colours they affect and the recoloured table.

#include <gtest/gtest.h>

#include <cstring>

#include "collections/bitmap_rgba.h"
#include "collections/collection.h"

namespace pirn {
namespace {

void SetColor(Collection* c, u32 i, u8 r, u8 g, u8 b) {
    c->colors[3 * i] = r;
    c->colors[3 * i + 1] = g;
    c->colors[3 * i + 2] = b;
}

std::vector<u8> ColorOf(const u8* table, u32 i) { return {table[3 * i], table[3 * i + 1], table[3 * i + 2]}; }

TEST(HueChangeRange, AffectedColoursBySaturationAndHue) {
    CollectionHueChange wrap;
    InitHueChange(&wrap, "reds");
    wrap.start_hue = 0xC000;
    wrap.end_hue = 0x4000;
    CollectionHueChange plain;
    InitHueChange(&plain, "greens");  // default third to two thirds of a turn
    const struct {
        const char* what;
        u8 r, g, b;
        bool wrapped, default_range;
    } cases[] = {
        {"pure red, hue 0", 255, 0, 0, true, false},
        {"red leaning to blue, hue just below a turn", 255, 0, 32, true, false},
        {"orange", 255, 128, 0, true, false},
        {"pure green, hue 1/3 (21845 is below the start 0x5556)", 0, 255, 0, false, false},
        {"green leaning to blue", 0, 255, 40, false, true},
        {"pure blue, hue 2/3 (43690 is below the end 0xAAAB)", 0, 0, 255, false, true},
        {"grey has no saturation", 90, 90, 90, false, false},
        {"black", 0, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HueChangeAffectsColor(wrap, c.r, c.g, c.b), c.wrapped);
        EXPECT_EQ(HueChangeAffectsColor(plain, c.r, c.g, c.b), c.default_range);
    }
}

TEST(HueChangeRange, MinimumSaturationIsExclusive) {
    CollectionHueChange hue;
    InitHueChange(&hue, "reds");
    hue.start_hue = 0xC000;
    hue.end_hue = 0x4000;
    // (255, 128, 128): saturation 127 / 255 of 65535 = 32639.
    hue.minimum_saturation = 32639;
    EXPECT_FALSE(HueChangeAffectsColor(hue, 255, 128, 128));
    hue.minimum_saturation = 32638;
    EXPECT_TRUE(HueChangeAffectsColor(hue, 255, 128, 128));
}

TEST(HueChangeRange, AffectedSetHasOneBitPerTableEntry) {
    Collection c;
    InitCollection(&c);
    SetColor(&c, 0, 255, 0, 0);
    SetColor(&c, 9, 255, 20, 0);
    SetColor(&c, 255, 250, 0, 10);
    SetColor(&c, 10, 0, 255, 0);
    CollectionHueChange* hue = AddHueChange(&c, "reds");
    hue->start_hue = 0xC000;
    hue->end_hue = 0x4000;
    hue->affected_colors[5] = 0xFF;  // stale bits go
    ComputeAffectedColors(c, hue);
    u8 expected[32] = {};
    expected[0] = 0x01;
    expected[1] = 0x02;
    expected[31] = 0x80;
    EXPECT_EQ(std::vector<u8>(hue->affected_colors, hue->affected_colors + 32), std::vector<u8>(expected, expected + 32));
}

TEST(HueChangePreview, InactiveHueChangesLeaveTheTable) {
    Collection c;
    InitCollection(&c);
    for (u32 i = 0; i < 256; ++i) SetColor(&c, i, u8(i), u8(255 - i), u8(i * 7));
    CollectionHueChange* hue = AddHueChange(&c, "off");
    hue->start_hue = 0;
    hue->end_hue = 0xFFFF;
    hue->replacement_blue = 0xFFFF;
    u8 table[kColorTableBytes];
    u32 count = 0;
    PreviewHueChanges(c, table, &count);
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(std::vector<u8>(table, table + kColorTableBytes), std::vector<u8>(c.colors, c.colors + kColorTableBytes));
}

TEST(HueChangePreview, EachChangeTestsTheUnchangedColourAndRecoloursTheCurrentOne) {
    Collection c;
    InitCollection(&c);
    SetColor(&c, 2, 255, 0, 0);
    SetColor(&c, 3, 0, 0, 255);
    SetColor(&c, 4, 0, 255, 0);
    SetColor(&c, 5, 128, 0, 0);
    // Reds to blue: hue - median 0 + the replacement's hue.
    CollectionHueChange* to_blue = AddHueChange(&c, "to blue");
    to_blue->start_hue = 0xC000;
    to_blue->end_hue = 0x4000;
    to_blue->median_hue = 0;
    to_blue->replacement_blue = 0xFFFF;
    to_blue->replacement_flags = 1;
    // Blues to green: the median is blue's hue.
    CollectionHueChange* to_green = AddHueChange(&c, "to green");
    to_green->start_hue = 0x8000;
    to_green->end_hue = 0xC000;
    to_green->median_hue = 43690;
    to_green->replacement_green = 0xFFFF;
    to_green->replacement_flags = 1;
    u8 table[kColorTableBytes];
    PreviewHueChanges(c, table, nullptr);
    // Value and saturation scale by the replacement's over 65536, so a full
    // 65280 (255 x 256) comes out as 65279: high byte 254.
    EXPECT_EQ(ColorOf(table, 2), (std::vector<u8>{0, 0, 254})) << "red became blue and stays blue";
    EXPECT_EQ(ColorOf(table, 3), (std::vector<u8>{0, 254, 0})) << "blue became green";
    EXPECT_EQ(ColorOf(table, 4), (std::vector<u8>{0, 255, 0})) << "green untouched";
    EXPECT_EQ(ColorOf(table, 5), (std::vector<u8>{0, 0, 127})) << "value scales with the replacement's";
}

TEST(HueChangePreview, ReversedChangesSubtractTheHueFromTheMedian) {
    Collection c;
    InitCollection(&c);
    SetColor(&c, 2, 255, 0, 0);
    CollectionHueChange* hue = AddHueChange(&c, "reverse");
    hue->start_hue = 0xC000;
    hue->end_hue = 0x4000;
    hue->median_hue = 0x5555;  // (median - hue) + replacement hue 0: red lands on a third of a turn
    hue->hue_flags = 1;
    hue->replacement_red = 0xFFFF;  // replacement hue 0
    hue->replacement_flags = 1;
    u8 table[kColorTableBytes];
    PreviewHueChanges(c, table, nullptr);
    EXPECT_EQ(ColorOf(table, 2), (std::vector<u8>{0, 254, 0}));
}

// 64-bit pixels (the high-resolution bitmaps) name hue changes by their
// place in the list, from 1 in three bits. Moving or deleting a hue change
// must leave every pixel showing what it showed: the same hue change where
// it can still be named, else its own colour, as under a hue change that
// replaces nothing.
struct DeepHueFixture {
    Collection c;
    CollectionBitmap* deep = nullptr;

    explicit DeepHueFixture(u32 hue_count) {
        InitCollection(&c);
        for (u32 i = 0; i < hue_count; ++i) {
            CollectionHueChange* hue = AddHueChange(&c, "solid");
            hue->replacement_flags = 3;  // in use, solid colour
            hue->replacement_red = u16(0x1100 * (i + 1));
            hue->replacement_green = u16(0xFF00 - 0x1300 * i);
            hue->replacement_blue = u16(0x2A00 + 0x0700 * i);
        }
        // One pixel per hue number 0-7, then one blending two numbered colours.
        std::vector<u8> pixels;
        for (u32 n = 0; n <= 7; ++n) pixels.insert(pixels.end(), {u8(30 * n), 200, 180, u8(31 + 32 * n), 0, 0, 0, 0});
        pixels.insert(pixels.end(), {90, 150, 181, u8(31 + 32 * 3), 20, 240, 100, u8(20 + 32 * 2)});
        deep = AddCollectionBitmap(&c, "deep", 0, pixels.data(), 9, 1, 8, nullptr);
    }
    std::vector<u8> Shown() const {
        u8 preview[kColorTableBytes] = {};
        std::vector<u8> rgba(9 * 4);
        ConvertBitmapToRgba(c, *deep, preview, 0, 0, 9, 1, rgba.data());
        return rgba;
    }
    // What the pixels show while hue change i replaces nothing.
    std::vector<u8> ShownWithout(u32 i) {
        CollectionHueChange* hue = c.hue_changes[i].get();
        const u8 flags = hue->replacement_flags;
        hue->replacement_flags = 0;
        std::vector<u8> shown = Shown();
        hue->replacement_flags = flags;
        return shown;
    }
};

TEST(HueChangeNumbers, PixelsShowTheSameAfterHueChangesMoveOrGo) {
    struct Case {
        const char* what;
        u32 hues;
        bool remove;
        u32 which, to;
        int lost;  // the hue change whose pixels cannot name it any more
    };
    const Case cases[] = {
        {"the first moves to the end", 3, false, 0, 3, -1},
        {"the last moves to the front", 3, false, 2, 0, -1},
        {"the second moves past the seven numbers", 9, false, 1, 9, 1},
        {"the ninth moves to the front, the seventh past the numbers", 9, false, 8, 0, 6},
        {"the second is deleted", 3, true, 1, 0, 1},
        {"the first of nine is deleted", 9, true, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        DeepHueFixture f(k.hues);
        const std::vector<u8> expected = k.lost >= 0 ? f.ShownWithout(u32(k.lost)) : f.Shown();
        const u64 revision = f.deep->revision;
        CollectionHueChange* hue = f.c.hue_changes[k.which].get();
        if (k.remove)
            ASSERT_TRUE(DeleteHueChange(&f.c, hue));
        else
            ASSERT_NE(MoveHueChange(&f.c, hue, k.to), kNotFound);
        // A colour shown as its own loses the lowest bit of its blue: there
        // the bit tells whether a second colour follows.
        const std::vector<u8> shown = f.Shown();
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < shown.size(); ++i) EXPECT_NEAR(shown[i], expected[i], 1) << "byte " << i;
        EXPECT_NE(f.deep->revision, revision) << "views draw the pixels anew";
    }
}

}  // namespace
}  // namespace pirn
