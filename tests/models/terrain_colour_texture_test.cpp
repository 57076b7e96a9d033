// Block colour textures: the shade lookup against the blend worked out
// here, the 257-texel border from the neighbours, and black where bitmaps
// are missing or too small.

#include <gtest/gtest.h>

#include <cstring>

#include "models/terrain_colour_texture.h"

namespace {

using pirn::Collection;
using pirn::i16;
using pirn::MeshMapHeader;
using pirn::u16;
using pirn::u32;
using pirn::u8;

MeshMapHeader Lighting(i16 b, i16 a, u16 r, u16 g, u16 bl, u32 f) {
    MeshMapHeader h{};
    const u16 words[5] = {u16(b), u16(a), r, g, bl};
    std::memcpy(h.bytes + 88, words, sizeof words);
    std::memcpy(h.bytes + 108, &f, 4);
    return h;
}

const u8* Entry(const std::vector<u8>& lookup, int shade, int colour) {
    return &lookup[(size_t(shade) * 256 + size_t(colour)) * 3];
}

TEST(ShadeLookup, BlendsTowardsTheTargetAboveMidAndAwayBelow) {
    u8 colors[768];
    for (int i = 0; i < 256; ++i) colors[i * 3] = u8(i), colors[i * 3 + 1] = u8(255 - i), colors[i * 3 + 2] = 100;
    std::vector<u8> lookup;

    // No lighting: every shade gives the colour as it is.
    pirn::BuildShadeLookup(&lookup, colors, Lighting(0, 0, 65535, 65535, 65535, 0x8000));
    ASSERT_EQ(lookup.size(), pirn::kShadeLookupBytes);
    for (int shade : {0, 127, 128, 255})
        for (int colour : {0, 1, 200, 255}) {
            EXPECT_EQ(Entry(lookup, shade, colour)[0], colour);
            EXPECT_EQ(Entry(lookup, shade, colour)[1], 255 - colour);
        }

    // mid = (0x8000 x 255) >> 16 = 127; a = 128 at shade 255 weighs the
    // target (red 65535) half: (128 x c x 256 + 128 x 65535) / 256 / 256.
    pirn::BuildShadeLookup(&lookup, colors, Lighting(0, 128, 65535, 0, 0, 0x8000));
    EXPECT_EQ(Entry(lookup, 255, 100)[0], (128 * 100 * 256 + 128 * 65535) / 256 / 256);  // 177
    EXPECT_EQ(Entry(lookup, 255, 100)[1], (128 * 155 * 256) / 256 / 256);                // 77
    EXPECT_EQ(Entry(lookup, 127, 100)[0], 100);  // at mid nothing changes
    // Shade 191: t = (191 - 127) x 128 / 128 = 64.
    EXPECT_EQ(Entry(lookup, 191, 100)[0], ((256 - 64) * 100 * 256 + 64 * 65535) / 256 / 256);

    // b = -256 at shade 0: t = -256, the colour pushed away from the target,
    // clamped to 0..255 rather than wrapping.
    pirn::BuildShadeLookup(&lookup, colors, Lighting(-256, 0, 65535, 0, 0, 0x8000));
    EXPECT_EQ(Entry(lookup, 0, 0)[0], 0);        // 512 x 0 - 256 x 65535 < 0
    EXPECT_EQ(Entry(lookup, 0, 0)[1], 255);      // 512 x 255 x 256 / 256 > 65535
    EXPECT_EQ(Entry(lookup, 0, 100)[2], 200);    // 512 x 100 / 256

    // mid 0 (f = 0): shade 0 would divide by zero; it keeps the colour.
    pirn::BuildShadeLookup(&lookup, colors, Lighting(100, 0, 0, 0, 0, 0));
    EXPECT_EQ(Entry(lookup, 0, 42)[0], 42);
}

// A collection whose bitmaps give block b colour index b + 1 everywhere
// and shade 0, except texel (x, y) of each colour bitmap, x + y.
Collection TerrainCollection(u32 blocks, u32 skip_block = 99, u16 side = 256) {
    Collection c;
    pirn::InitCollection(&c);
    for (u32 b = 0; b < blocks; ++b) {
        std::vector<u8> colour(size_t(side) * side * 2), shade(size_t(side) * side * 2, 0);
        for (u32 y = 0; y < side; ++y)
            for (u32 x = 0; x < side; ++x) {
                colour[(size_t(y) * side + x) * 2] = 255;
                colour[(size_t(y) * side + x) * 2 + 1] = u8(b * 64 + (x + y) % 64);
            }
        if (b == skip_block) continue;
        pirn::AddCollectionBitmap(&c, "colour", 0, colour.data(), side, side, 2, nullptr);
        pirn::AddCollectionBitmap(&c, "shade", 0, shade.data(), side, side, 2, nullptr);
    }
    for (int i = 0; i < 256; ++i) c.colors[i * 3] = c.colors[i * 3 + 1] = c.colors[i * 3 + 2] = u8(i);
    return c;
}

u8 Red(const std::vector<u8>& rgb, u32 side, u32 x, u32 y) { return rgb[(size_t(y) * side + x) * 3]; }

TEST(BlockTexture, BorderedFormTakesTheNeighboursEdges) {
    Collection c = TerrainCollection(4);  // 2 x 2 blocks
    std::vector<u8> lookup;
    pirn::BuildShadeLookup(&lookup, c.colors, Lighting(0, 0, 0, 0, 0, 0x8000));
    std::vector<u8> rgb;
    pirn::MakeBlockTexture256(&rgb, c, lookup, 3);
    ASSERT_EQ(rgb.size(), 256u * 256 * 3);
    EXPECT_EQ(Red(rgb, 256, 5, 7), 3 * 64 + 12);

    pirn::MakeBlockTexture257(&rgb, c, lookup, 2, 2, 3);  // bottom right
    ASSERT_EQ(rgb.size(), 257u * 257 * 3);
    EXPECT_EQ(Red(rgb, 257, 6, 8), 3 * 64 + 12);                // own texel (5, 7)
    EXPECT_EQ(Red(rgb, 257, 0, 0), 0 * 64 + (255 + 255) % 64);  // last texel of block 0
    EXPECT_EQ(Red(rgb, 257, 0, 9), 2 * 64 + (255 + 8) % 64);    // last column of block 2
    EXPECT_EQ(Red(rgb, 257, 9, 0), 1 * 64 + (8 + 255) % 64);    // last row of block 1

    pirn::MakeBlockTexture257(&rgb, c, lookup, 2, 2, 0);  // top left: black border
    for (u32 i = 0; i < 257; ++i) {
        EXPECT_EQ(Red(rgb, 257, i, 0), 0);
        EXPECT_EQ(Red(rgb, 257, 0, i), 0);
    }
    EXPECT_EQ(Red(rgb, 257, 1, 1), 0 * 64 + 0);
    EXPECT_EQ(Red(rgb, 257, 2, 1), 1);
    pirn::FreeCollection(&c);
}

TEST(BlockTexture, MissingOrSmallBitmapsAreBlack) {
    std::vector<u8> lookup;
    u8 white[768];
    std::memset(white, 200, sizeof white);
    pirn::BuildShadeLookup(&lookup, white, Lighting(0, 0, 0, 0, 0, 0x8000));
    std::vector<u8> rgb;
    // Three blocks' worth for a mesh of four: block 3 has no bitmaps.
    Collection c = TerrainCollection(3);
    pirn::MakeBlockTexture257(&rgb, c, lookup, 2, 2, 3);
    EXPECT_EQ(Red(rgb, 257, 100, 100), 0);
    EXPECT_EQ(Red(rgb, 257, 0, 100), 200);  // block 2 to the left is there
    pirn::MakeBlockTexture256(&rgb, c, lookup, 3);
    EXPECT_EQ(rgb, std::vector<u8>(256 * 256 * 3, 0));
    pirn::MakeBlockTexture257(&rgb, c, lookup, 2, 2, 2);
    EXPECT_EQ(Red(rgb, 257, 1, 0), 200);  // block 0 above
    pirn::FreeCollection(&c);

    Collection small = TerrainCollection(1, 99, 128);
    EXPECT_FALSE(pirn::IsTerrainBitmapUsable(small, 0));
    pirn::MakeBlockTexture256(&rgb, small, lookup, 0);
    EXPECT_EQ(rgb, std::vector<u8>(256 * 256 * 3, 0));
    pirn::MakeBlockTexture257(&rgb, small, lookup, 1, 1, 0);
    EXPECT_EQ(rgb, std::vector<u8>(257 * 257 * 3, 0));
    pirn::FreeCollection(&small);
}

TEST(BlockTexture, ResizingReleasesTheRemovedRecordsTextures) {
    static int released;
    released = 0;
    std::vector<pirn::MeshBlockRecord> records;
    pirn::ResizeBlockRecords(&records, 3, [](pirn::GlTexture*) { ++released; });
    ASSERT_EQ(records.size(), 3u);
    records[1].texture.name = 5;
    records[2].texture.name = 6;
    pirn::ResizeBlockRecords(&records, 1, [](pirn::GlTexture*) { ++released; });
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(released, 2);
}

}  // namespace
