// Loading a terrain from hand-built tags in a scratch game: the mesh with
// its collection, media and matching detail map; the size conflict; saving
// the detail map (made when missing, named after the collection) and
// reading the saved bytes back with the test's own decoder.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "models/mesh_brush.h"
#include "models/mesh_highlight_palette.h"
#include "tests/models/mesh_test_data.h"
#include "tests/models/terrain_codex_fixture.h"

namespace {

using pirn::u16;
using pirn::u32;
using pirn::u8;
using terrain_fixture::Code;
using terrain_fixture::Entry;
using terrain_fixture::MeshSpec;

class MeshEditLoadTest : public terrain_fixture::TerrainCodexTest {};

// 2 x 1 blocks: heights x + 2y in word 0; cells with x >= 40 under media
// (flags 0x800) with word 4 = 1000.
MeshSpec TwoBlocks() {
    MeshSpec spec;
    spec.block_columns = 2;
    spec.block_rows = 1;
    spec.word0 = [](u32 x, u32 y) { return u16(x + 2 * y); };
    spec.word4 = [](u32, u32) { return u16(1000); };
    spec.flags = [](u32 x, u32) { return u16(x >= 40 ? 0x800 : 0x10 * (x % 16)); };
    return spec;
}

TEST_F(MeshEditLoadTest, LoadsTheMeshItsCollectionAndDefaults) {
    AddMesh(TwoBlocks());
    AddCollection(2);
    auto d = Load();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->columns, 64u);
    EXPECT_EQ(d->rows, 32u);
    EXPECT_EQ(d->collection_name, "Valley Colours");
    EXPECT_EQ(d->collection_id, Code("tcol"));
    EXPECT_FALSE(d->detail_map_present);
    EXPECT_FALSE(d->planes_exist);
    EXPECT_EQ(d->tool, pirn::kMeshNoTool);
    // Default media: amplitudes 0.1, 0.1, 0.2; y in height units.
    EXPECT_FLOAT_EQ(d->media.amplitude[0], 0.1f);
    EXPECT_FLOAT_EQ(d->media.amplitude[1], 0.1f * 512);
    EXPECT_FLOAT_EQ(d->media.amplitude[2], 0.2f);
    EXPECT_FLOAT_EQ(d->media.largest, 0.2f);
    ASSERT_EQ(d->blocks.size(), 2u);
    const pirn::MeshBlockRecord& right = d->blocks[1];
    EXPECT_EQ(right.first_column, 32u);
    EXPECT_EQ(right.index, 1u);
    // Vertex (35, 3) from word 0; (45, 3) under media from word 4; the last
    // vertex column (64) lies outside the mesh: 0.
    EXPECT_EQ(right.heights[3 * 33 + 3], 35 + 6);
    EXPECT_EQ(right.heights[3 * 33 + 13], 1000);
    EXPECT_EQ(right.heights[3 * 33 + 32], 0);
    EXPECT_FLOAT_EQ(right.box[0], 32);
    EXPECT_FLOAT_EQ(right.box[3], 64);
    EXPECT_FLOAT_EQ(right.box[4], 1000 / 512.0f);
    // Colour textures: grey palette, colour index 10 + block, no lighting.
    ASSERT_EQ(right.texel_side, 257u);
    EXPECT_EQ(right.texels[(5 * 257 + 5) * 3], 11);
    EXPECT_EQ(right.texels[(5 * 257 + 0) * 3], 10);  // left column from block 0
    EXPECT_EQ(right.texels[(0 * 257 + 5) * 3], 0);   // nothing above
    auto unbordered = Load(nullptr, false);
    ASSERT_TRUE(unbordered);
    EXPECT_EQ(unbordered->blocks[1].texel_side, 256u);
}

TEST_F(MeshEditLoadTest, ReadsTheMediaWave) {
    MeshSpec spec = TwoBlocks();
    spec.media_id = Code("wave");
    AddMesh(spec);
    AddCollection(2);
    AddTag("Media Types", Code("medi"), Code("wave"), "Water",
           terrain_fixture::MediaData(256, 1024, 512, 16384, 32768, 8192));
    auto d = Load();
    ASSERT_TRUE(d);
    EXPECT_FLOAT_EQ(d->media.amplitude[0], 0.5f);
    EXPECT_FLOAT_EQ(d->media.amplitude[1], 1.0f * 512);
    EXPECT_FLOAT_EQ(d->media.amplitude[2], 2.0f);
    EXPECT_FLOAT_EQ(d->media.largest, 2.0f);
    EXPECT_NEAR(d->media.frequency[0], 3.14159265 / 2, 1e-5);
    EXPECT_NEAR(d->media.frequency[1], 3.14159265 / 4, 1e-5);
    EXPECT_NEAR(d->media.frequency[2], 3.14159265, 1e-5);
    float v[3] = {1, 0, 2};
    pirn::ApplyMediaWave(d->media, 10, v);
    const float phase = 377 + 2 * 211 + 5;
    EXPECT_NEAR(v[0], 1 + std::sin(phase * d->media.frequency[0]) * 0.5f, 1e-3);
    EXPECT_NEAR(v[1], std::sin(phase * d->media.frequency[1]) * 512, 1e-2);
}

TEST_F(MeshEditLoadTest, FailsWithoutItsCollectionOrAtAnotherVersion) {
    AddMesh(TwoBlocks());
    EXPECT_FALSE(Load()) << "no collection";
    AddCollection(2);
    EXPECT_TRUE(Load());
    codex_fixture::Tag old{Code("mesh"), Code("vall"), "Valley", terrain_fixture::MeshData(TwoBlocks())};
    old.version = 10;
    WriteLocal("Meshes", "Valley", codex_fixture::TagFile(old));
    EXPECT_FALSE(Load()) << "version 10";
}

TEST_F(MeshEditLoadTest, AdoptsTheMatchingDetailMap) {
    AddMesh(TwoBlocks());
    AddCollection(2);
    AddDetailTexture(Code("gras"), "Grass", 64);
    std::vector<u8> bytes(64 * 32), triangles(2 * 64 * 32);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = u8(i % 3);
    for (size_t i = 0; i < triangles.size(); ++i) triangles[i] = u8((i / 7) % 4);
    std::vector<Entry> entries(3);
    entries[0] = {0xFFFFFFFF, 0, {1, 2, 3}, ""};
    entries[1] = {Code("gras"), 63, {10, 200, 10}, "Lawn"};
    entries[2] = {Code("lost"), 255, {7, 8, 9}, "Gone"};
    AddTag("Detail Maps", Code("dmap"), Code("tcol"), "Valley Map",
           terrain_fixture::DmapData(64, 32, entries, bytes, triangles), 2);
    auto d = Load();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->detail_map_present);
    EXPECT_TRUE(d->planes_exist);
    EXPECT_EQ(d->tool, pirn::kMeshDetailMapTool);
    EXPECT_TRUE(d->detail_textures);
    EXPECT_TRUE(d->highlighting);
    EXPECT_EQ(d->vertex_plane.values, bytes);
    EXPECT_EQ(d->triangle_plane.values, triangles);
    EXPECT_EQ(d->saved_vertex_plane.values, bytes);
    EXPECT_EQ(d->saved_triangle_plane.values, triangles);
    EXPECT_EQ(d->slots[1].scale, 64u);
    EXPECT_EQ(d->slots[2].scale, 256u);
    EXPECT_EQ(d->slots[5].scale, 1u);
    EXPECT_EQ(d->palette[3], 10);
    EXPECT_EQ(d->palette[4], 200);
    ASSERT_NE(d->slots[1].texture, nullptr);
    EXPECT_FLOAT_EQ(d->slots[1].u_scale, 1.0f);  // 64 px per cell over 64 px
    EXPECT_EQ(pirn::SlotLabel(d->slots[1]), "|iLawn|p (Grass)");
    EXPECT_EQ(pirn::SlotLabel(d->slots[2]), "'lost' <not found>");
    EXPECT_EQ(pirn::SlotLabel(d->slots[0]), "<no tag>");
    EXPECT_EQ(pirn::SlotRowText(7, "<no tag>"), " 007 ~ <no tag>");
    // The cell words follow the planes: cell (1, 0) is odd; its triangle 0
    // joins vertices (1,0), (1,1), (2,0).
    const u8 t0 = triangles[2], c0 = bytes[1], c3 = bytes[64 + 1], c1 = bytes[2];
    EXPECT_EQ(d->blocks[0].words[1][0], pirn::EncodeCellWord(t0, c0, c3, c1));
    d.reset();  // lets go of the texture
}

TEST_F(MeshEditLoadTest, ADetailMapOfAnotherSizeIsReportedAndLeftAlone) {
    AddMesh(TwoBlocks());
    AddCollection(2);
    AddTag("Detail Maps", Code("dmap"), Code("tcol"), "Old Map",
           terrain_fixture::DmapData(32, 32, {}, std::vector<u8>(32 * 32, 1), std::vector<u8>(2 * 32 * 32, 1)), 2);
    pirn::MeshLoadResult result;
    auto d = Load(&result);
    ASSERT_TRUE(d);
    EXPECT_FALSE(d->detail_map_present);
    EXPECT_EQ(result.conflict_title, "dmap tagid conflict detected");
    EXPECT_EQ(result.conflict_text,
              "WARNING: A the dmap tag tcol (Old Map) matches this color map, but its dimensions do not match. If you "
              "edit and save the dmap on this mesh, it will overwrite the existing file, and the meshes which used "
              "that dmap will no longer have working detail textures.");
}

TEST_F(MeshEditLoadTest, SavingMakesTheDetailMapNamedAfterTheCollection) {
    AddMesh(TwoBlocks());
    AddCollection(2);
    auto d = Load();
    ASSERT_TRUE(d);
    EXPECT_EQ(pirn::SaveDetailMap(d.get()), 1) << "nothing to save is no failure";
    EXPECT_FALSE(pirn_test::Exists(DmapFile("Valley Colours")));

    mesh_test::CountingHooks hooks;
    d->hooks = &hooks;
    ASSERT_TRUE(pirn::NewBlankDetailMap(d.get(), pirn::kHighlightPalettePath));
    EXPECT_EQ(hooks.modified, 1);
    // The palette file was missing: the fallback colours were written.
    const std::vector<u8> act = pirn_test::ReadAll(dir.file("res/dtex.act"));
    ASSERT_EQ(act.size(), 768u);
    EXPECT_EQ(act[0], 255);
    EXPECT_EQ(act[1], 8);
    EXPECT_EQ(act[2], 51);
    EXPECT_EQ(act[8 * 3], 255);  // repeats every eight
    d->slots[4].entry.tag_id = Code("gras");
    pirn::SetSlotScale(d.get(), 4, 300);
    pirn::SetSlotScale(d.get(), 5, 0);
    EXPECT_EQ(d->slots[4].scale, 256u);
    EXPECT_EQ(d->slots[5].scale, 1u);
    d->current_texture = 4;
    d->brush_radius = 1.0f;
    pirn::BeginBrushStroke(d.get());
    pirn::PaintBrushDab(d.get(), 50, 20);
    d->triangle_mode = true;
    pirn::PaintBrushDab(d.get(), 3.5f, 3.5f);
    pirn::EndBrushStroke(d.get());
    ASSERT_EQ(pirn::SaveDetailMap(d.get()), 1);

    const std::vector<u8> file = pirn_test::ReadAll(DmapFile("Valley Colours"));
    ASSERT_GT(file.size(), 64u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 4)), "Valley Colours");
    EXPECT_EQ(terrain_fixture::BigU32(file, 36), Code("dmap"));
    EXPECT_EQ(terrain_fixture::BigU32(file, 40), Code("tcol"));
    EXPECT_EQ(file[56] * 256 + file[57], 2) << "written as version 2";
    terrain_fixture::ParsedDmap saved;
    ASSERT_TRUE(terrain_fixture::ParseDmap(TagData(DmapFile("Valley Colours")), &saved));
    EXPECT_EQ(saved.width, 64u);
    EXPECT_EQ(saved.height, 32u);
    EXPECT_EQ(saved.byte_plane, d->vertex_plane.values);
    EXPECT_EQ(saved.triangle_bytes, d->triangle_plane.values);
    EXPECT_EQ(saved.byte_plane[20 * 64 + 50], 4);
    EXPECT_EQ(saved.byte_plane[20 * 64 + 51], 4);
    EXPECT_EQ(saved.triangle_bytes[(3 * 64 + 3) * 2 + 1], 4);
    EXPECT_EQ(saved.entries[4].id, Code("gras"));
    EXPECT_EQ(saved.entries[4].attribute, 255);  // scale - 1
    EXPECT_EQ(saved.entries[5].attribute, 0);
    EXPECT_EQ(saved.entries[6].attribute, 127);
    EXPECT_EQ(saved.entries[4].colour[1], 246);  // the fallback palette's entry 4: (0, 246, 204)
    // A second load finds it and adopts it.
    d.reset();
    auto again = Load();
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->detail_map_present);
    EXPECT_EQ(again->slots[4].scale, 256u);
}

TEST_F(MeshEditLoadTest, HighlightPaletteKeepsItsFirst128Colours) {
    AddMesh(TwoBlocks());
    AddCollection(2);
    auto d = Load();
    ASSERT_TRUE(d);
    u8 colors[768];
    for (int i = 0; i < 768; ++i) colors[i] = u8(i * 7);
    pirn::SetHighlightPalette(d.get(), colors, pirn::kHighlightPalettePath);
    EXPECT_EQ(0, std::memcmp(d->palette, colors, 768));
    const std::vector<u8> act = pirn_test::ReadAll(dir.file("res/dtex.act"));
    ASSERT_EQ(act.size(), 772u);
    EXPECT_EQ(0, std::memcmp(act.data(), colors, 384));
    EXPECT_EQ(act[384], 0);
    EXPECT_EQ(act[768], 0);  // count 128, big-endian
    EXPECT_EQ(act[769], 128);
    u8 read[768];
    EXPECT_TRUE(pirn::LoadHighlightPaletteFile(read, pirn::kHighlightPalettePath));
    EXPECT_EQ(0, std::memcmp(read, colors, 384));
    EXPECT_EQ(read[400], 0);
}

TEST(MeshEditData, InvalidatingARegionRebuildsOnlyTheBlocksItTouches) {
    auto d = mesh_test::MakeMeshData(2, 2);
    struct Case {
        pirn::i64 x0, x1, y0, y1;
        u32 blocks;
    } cases[] = {
        {0, 0, 0, 0, 1},     // grown to 0..1
        {30, 30, 5, 5, 1},   // 29..31: block 0 only
        {31, 31, 5, 5, 2},   // 30..32: vertex 32 is block 1's first
        {63, 63, 63, 63, 1},
        {32, 32, 32, 32, 4},
        {5, 4, 0, 0, 0},     // empty
        {-10, -5, 0, 0, 0},  // outside
    };
    for (const Case& c : cases)
        EXPECT_EQ(pirn::InvalidateMeshRegion(d.get(), c.x0, c.x1, c.y0, c.y1), c.blocks)
            << c.x0 << ".." << c.x1 << ", " << c.y0 << ".." << c.y1;
}

}  // namespace
