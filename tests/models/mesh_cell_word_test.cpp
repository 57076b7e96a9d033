// Cell words against values worked out by hand from the bit layout: corner
// masks at bits 3k..3k+2, texture index at 9+7k, bit 30 for the base.

#include <gtest/gtest.h>

#include "models/mesh_cell_word.h"

namespace {

using pirn::u32;
using pirn::u8;

struct EncodeCase {
    u8 triangle, c1, c2, c3;
    u32 word;
};

TEST(MeshCellWord, EncodesTriangleAndCornerValues) {
    const EncodeCase cases[] = {
        {5, 0, 0, 0, 0x40000A07},      // triangle value: one opaque layer over the base
        {5, 1, 2, 3, 0x40000A07},      // ... whatever the corners say
        {0, 0, 0, 0, 0x40000000},      // nothing: the base alone
        {0, 3, 3, 3, 0x00000607},      // one opaque layer, no base
        {0, 1, 2, 1, 0x40020215},      // 1 at corners 1, 3; 2 at corner 2
        {0, 9, 4, 0, 0x44840054},      // three layers in ascending order
        {0, 127, 0, 127, 0x407F002A},  // 0 at corner 2; 127 at corners 1, 3
        {0, 200, 200, 200, 0x0000FE07},  // values past 127 count as 127
        {200, 0, 0, 0, 0x4000FE07},
        {0, 200, 0, 0, 0x407F000E},      // 0 at corners 2, 3; 127 at corner 1
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(pirn::EncodeCellWord(c.triangle, c.c1, c.c2, c.c3), c.word)
            << int(c.triangle) << " " << int(c.c1) << " " << int(c.c2) << " " << int(c.c3);
}

TEST(MeshCellWord, DecodesLayersUntilTheFirstAbsentOne) {
    pirn::CellWordLayer layers[3];
    ASSERT_EQ(pirn::DecodeCellWord(0x44840054, layers), 3u);
    EXPECT_EQ(layers[0].index, 0u);
    EXPECT_EQ(layers[0].corners, 4u);
    EXPECT_EQ(layers[1].index, 4u);
    EXPECT_EQ(layers[1].corners, 2u);
    EXPECT_EQ(layers[2].index, 9u);
    EXPECT_EQ(layers[2].corners, 1u);
    EXPECT_EQ(pirn::DecodeCellWord(0x40000000, layers), 0u);
    // Layer 1 absent ends the list even though layer 2 has corner bits.
    EXPECT_EQ(pirn::DecodeCellWord(0x40000207 | (1u << 6), layers), 1u);
}

}  // namespace
