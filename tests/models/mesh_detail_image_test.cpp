// Detail planes as 8-bit images: the squares and half squares of the
// export with the rows mirrored, checked pixel by pixel; the import's
// votes, its refusals and what it does with the palette.

#include <gtest/gtest.h>

#include <cstring>

#include "models/mesh_detail_image.h"
#include "models/mesh_terrain_types.h"
#include "platform/file_system.h"
#include "tests/models/mesh_test_data.h"
#include "tests/support/test_support.h"

namespace {

using mesh_test::MakeMeshData;
using mesh_test::Triangle;
using mesh_test::Vertex;
using pirn::PixelImage;
using pirn::u32;
using pirn::u8;

// The palette file of these tests, in a scratch folder.
class DetailImageTest : public ::testing::Test {
protected:
    std::string Palette() const { return dir_.file("dtex.act"); }
    pirn_test::TempDir dir_;
};

u8 Pixel(const PixelImage& image, u32 x, u32 y) { return image.pixels[size_t(y) * image.width + x]; }

TEST_F(DetailImageTest, VertexExportFillsMirroredSquares) {
    auto d = MakeMeshData(1, 1);
    Vertex(*d, 0, 0) = 5;
    Vertex(*d, 3, 2) = 9;
    d->palette[5 * 3] = 77;
    PixelImage image;
    ASSERT_TRUE(pirn::MakeVertexDetailImage(*d, &image));
    EXPECT_EQ(image.format, pirn::kFormatColorIndex);
    EXPECT_EQ(image.width, 256u);
    EXPECT_EQ(image.height, 256u);
    ASSERT_TRUE(image.has_palette());
    EXPECT_EQ(image.palette[5 * 3], 77);
    // Vertex (0, 0) at the right end of the top rows, (3, 2) 32 pixels in
    // from the right, 16 down.
    for (u32 y = 0; y < 8; ++y)
        for (u32 x = 248; x < 256; ++x) EXPECT_EQ(Pixel(image, x, y), 5);
    EXPECT_EQ(Pixel(image, 247, 0), 0);
    EXPECT_EQ(Pixel(image, 255, 8), 0);
    for (u32 y = 16; y < 24; ++y)
        for (u32 x = 224; x < 232; ++x) EXPECT_EQ(Pixel(image, x, y), 9);
    EXPECT_EQ(Pixel(image, 223, 16), 0);
    EXPECT_EQ(Pixel(image, 232, 16), 0);
}

TEST_F(DetailImageTest, TriangleExportSplitsSquaresAlongTheDiagonal) {
    auto d = MakeMeshData(1, 1);
    Triangle(*d, 0, 0, 0) = 1;  // even cell
    Triangle(*d, 0, 0, 1) = 2;
    Triangle(*d, 1, 0, 0) = 3;  // odd cell
    Triangle(*d, 1, 0, 1) = 4;
    PixelImage image;
    ASSERT_TRUE(pirn::MakeTriangleDetailImage(*d, &image));
    // Unmirrored square rows: even cell, row r: r of triangle 0 then 8 - r
    // of triangle 1; odd cell: 8 - r of triangle 0 then r of triangle 1.
    const char* even[8] = {"22222222", "12222222", "11222222", "11122222",
                           "11112222", "11111222", "11111122", "11111112"};
    const char* odd[8] = {"33333333", "33333334", "33333344", "33333444",
                          "33334444", "33344444", "33444444", "34444444"};
    int ones = 0;
    for (u32 r = 0; r < 8; ++r)
        for (u32 c = 0; c < 8; ++c) {
            EXPECT_EQ(Pixel(image, 255 - c, r), even[r][c] - '0') << r << "," << c;
            EXPECT_EQ(Pixel(image, 255 - 8 - c, r), odd[r][c] - '0') << r << "," << c;
            ones += even[r][c] == '1';
        }
    EXPECT_EQ(ones, 28);  // the triangle on the 8-pixel side of row 0 has 36
}

TEST_F(DetailImageTest, ExportedImagesComeBackUnchanged) {
    auto d = MakeMeshData(2, 1);
    for (u32 y = 0; y < d->rows; ++y)
        for (u32 x = 0; x < d->columns; ++x) {
            Vertex(*d, x, y) = u8((x * 7 + y * 3) % 20);
            Triangle(*d, x, y, 0) = u8((x + y) % 5);
            Triangle(*d, x, y, 1) = u8((x * y) % 9);
        }
    pirn::SyncSavedPlanes(d.get());
    const std::vector<u8> vertices = d->vertex_plane.values, triangles = d->triangle_plane.values;
    PixelImage vimage, timage;
    ASSERT_TRUE(pirn::MakeVertexDetailImage(*d, &vimage));
    ASSERT_TRUE(pirn::MakeTriangleDetailImage(*d, &timage));
    pirn::ResetMeshPlanes(d.get());
    EXPECT_TRUE(pirn::ImportVertexDetail(d.get(), vimage, Palette())) << "no partial success";
    EXPECT_TRUE(pirn::ImportTriangleDetail(d.get(), timage, Palette()));
    EXPECT_EQ(d->vertex_plane.values, vertices);
    EXPECT_EQ(d->triangle_plane.values, triangles);
    EXPECT_EQ(d->saved_vertex_plane.values, vertices);
    EXPECT_EQ(d->saved_triangle_plane.values, triangles);
}

TEST_F(DetailImageTest, ImportVotesForTheMostFrequentValueTheSmallerOnTies) {
    auto d = MakeMeshData(1, 1);
    PixelImage image;
    ASSERT_TRUE(pirn::SetImagePixels(&image, 256, 256, pirn::kFormatAlpha, nullptr));
    auto put = [&](u32 x, u32 y, u8 v) { image.pixels[size_t(y) * 256 + (255 - x)] = v; };  // unmirrored x
    // Vertex (0, 0): 40 pixels of 6, 24 of 3.
    for (u32 i = 0; i < 64; ++i) put(i % 8, i / 8, i < 40 ? 6 : 3);
    // Vertex (1, 0): 32 of 9 and 32 of 8: the smaller wins.
    for (u32 i = 0; i < 64; ++i) put(8 + i % 8, i / 8, i % 2 ? 9 : 8);
    // Vertex (2, 0): all 200, stored capped.
    for (u32 i = 0; i < 64; ++i) put(16 + i % 8, i / 8, 200);
    d->palette[0] = 33;
    EXPECT_FALSE(pirn::ImportVertexDetail(d.get(), image, Palette())) << "not every square was whole";
    EXPECT_EQ(Vertex(*d, 0, 0), 6);
    EXPECT_EQ(Vertex(*d, 1, 0), 8);
    EXPECT_EQ(Vertex(*d, 2, 0), 127);
    EXPECT_EQ(d->palette[0], 33) << "a greyscale image keeps the palette";
}

TEST_F(DetailImageTest, ImportLeavesLockedValuesUnlessShiftIsHeld) {
    auto d = MakeMeshData(1, 1);
    Vertex(*d, 4, 4) = 2;
    d->slots[2].locked = true;
    PixelImage image;
    ASSERT_TRUE(pirn::SetImagePixels(&image, 256, 256, pirn::kFormatColorIndex, nullptr));
    std::memset(image.pixels.data(), 5, image.pixels.size());
    u8 palette[768];
    for (int i = 0; i < 768; ++i) palette[i] = u8(255 - i % 256);
    pirn::SetImagePalette(&image, 256, palette);
    EXPECT_TRUE(pirn::ImportVertexDetail(d.get(), image, Palette()));
    EXPECT_EQ(Vertex(*d, 4, 4), 2);
    EXPECT_EQ(Vertex(*d, 5, 4), 5);
    EXPECT_EQ(0, std::memcmp(d->palette, palette, 768)) << "a paletted image's colours become the palette";
    EXPECT_EQ(pirn_test::ReadAll(Palette()).size(), 772u);
    d->modifiers = 1;
    EXPECT_TRUE(pirn::ImportVertexDetail(d.get(), image, Palette()));
    EXPECT_EQ(Vertex(*d, 4, 4), 5);
}

TEST_F(DetailImageTest, RefusesImagesOfTheWrongSizeOrFormat) {
    auto d = MakeMeshData(2, 1);
    PixelImage image;
    pirn::SetImagePixels(&image, 513, 256, pirn::kFormatColorIndex, nullptr);
    EXPECT_EQ(pirn::CheckDetailImage(*d, image, false),
              "Image dimensions (513,256) do not match mesh dimensions (512,256)");
    EXPECT_EQ(pirn::CheckDetailImage(*d, image, true),
              "Image dimensions (513,256) do not match expected dimensions (512,256)");
    pirn::SetImagePixels(&image, 512, 256, pirn::kFormatRgb, nullptr);
    EXPECT_EQ(pirn::CheckDetailImage(*d, image, false), "Image must be 8-bit paletted or greyscale.");
    EXPECT_FALSE(pirn::ImportVertexDetail(d.get(), image, Palette()));
    pirn::SetImagePixels(&image, 512, 256, pirn::kFormatAlpha, nullptr);
    EXPECT_EQ(pirn::CheckDetailImage(*d, image, true), "");
}

TEST(TerrainTypes, NewDetailMapFromTerrainGivesEachVertexItsTypePlusOne) {
    auto d = MakeMeshData(1, 1, nullptr, [](u32 x, u32) { return pirn::u16(x < 16 ? 6 << 4 : (11 << 4) | 0x800); });
    pirn::TerrainTypeChoice choices[pirn::kTerrainTypeCount];
    for (u32 t = 0; t < pirn::kTerrainTypeCount; ++t) {
        choices[t].name = pirn::kTerrainTypes[t].name;
        choices[t].entry.tag_id = 0xFFFFFFFF;
        std::memcpy(choices[t].entry.highlight, pirn::kTerrainTypes[t].colour, 3);
    }
    choices[6].entry.tag_id = 0x67726173;  // 'gras'
    pirn::ApplyTerrainTypes(d.get(), choices);
    EXPECT_EQ(Vertex(*d, 0, 0), 7);
    EXPECT_EQ(Vertex(*d, 15, 31), 7);
    EXPECT_EQ(Vertex(*d, 16, 0), 12);
    EXPECT_EQ(d->saved_vertex_plane.values, d->vertex_plane.values);
    EXPECT_EQ(d->slots[0].entry.tag_id, 0xFFFFFFFFu);
    EXPECT_EQ(d->slots[7].entry.tag_id, 0x67726173u);
    EXPECT_EQ(d->palette[7 * 3 + 2], 255);  // grass: 255, 255, 255
    EXPECT_EQ(d->palette[1 * 3 + 2], 255);  // dwarf depth media: 32, 32, 255
    EXPECT_EQ(d->palette[1 * 3], 32);
    EXPECT_TRUE(d->detail_textures);
    EXPECT_STREQ(pirn::kTerrainTypes[3].name, "deeper than giant depth media");
    EXPECT_STREQ(pirn::kTerrainTypes[14].name, "walking impassible");
}

}  // namespace
