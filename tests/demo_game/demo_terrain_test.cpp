// The demo game's terrain tags read back with the program's readers.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "codex/four_char_code.h"
#include "models/detail_map.h"
#include "models/dtex_codec.h"
#include "codex/codex.h"
#include "models/mesh_edit_load.h"
#include "models/mesh_map.h"
#include "platform/file_system.h"
#include "platform/log_capture.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

using namespace pirn;
using namespace pirn::demo;

namespace {

// The terrain tags of a group (the other archives hold placeholders of
// every group).
std::vector<const DemoTag*> TagsOf(const DemoGame& game, u32 group) {
    const std::set<u32> terrain = {MakeFourCC("gras"), MakeFourCC("sand"), MakeFourCC("rock"), MakeFourCC("snow"),
                                   MakeFourCC("wate"), MakeFourCC("ston"), MakeFourCC("dirt"), MakeFourCC("mud "),
                                   MakeFourCC("dv11"), MakeFourCC("ov10")};
    std::vector<const DemoTag*> found;
    for (const DemoArchive& a : game.archives)
        for (const DemoTag& t : a.tags)
            if (t.group == group && terrain.count(t.tag_id)) found.push_back(&t);
    for (const DemoLocalFile& f : game.local_files)
        if (f.tag.group == group && terrain.count(f.tag.tag_id)) found.push_back(&f.tag);
    return found;
}

// The tag's data in a file, read through a stream at offset 0.
struct DataStream {
    explicit DataStream(const DemoTag& tag) {
        pirn_test::WriteAll(dir.file("data"), tag.data);
        stream = std::fopen(dir.file("data").c_str(), "rb");
        header.data_offset = 0;
        header.data_length = u32(tag.data.size());
        header.version = tag.version;
    }
    ~DataStream() { std::fclose(stream); }
    pirn_test::TempDir dir;
    std::FILE* stream = nullptr;
    TagHeader header{};
};

bool IsPowerOfTwo(u32 n) { return n && !(n & (n - 1)); }

TEST(DemoTerrain, DetailTexturesDecodeAtPowerOfTwoSizes) {
    const DemoGame game = BuildDemoGame();
    std::vector<u32> sides;
    for (const DemoTag* tag : TagsOf(game, MakeFourCC("dtex"))) {
        std::vector<u8> pixels;
        u32 w = 0, h = 0;
        ASSERT_NE(DecodeDtexBytes(tag->data.data() + 16, tag->data.size() - 16, &pixels, &w, &h), 0u) << tag->name;
        EXPECT_TRUE(IsPowerOfTwo(w) && IsPowerOfTwo(h)) << tag->name;
        EXPECT_EQ(w, u32(tag->data[3] | tag->data[2] << 8)) << tag->name;
        sides.push_back(w);
    }
    EXPECT_EQ(sides.size(), 8u);
}

TEST(DemoTerrain, DetailMapsOfBothVersionsAndMeshesRead) {
    const DemoGame game = BuildDemoGame();
    std::set<u16> map_versions;
    for (const DemoTag* tag : TagsOf(game, MakeFourCC("dmap"))) {
        DataStream data(*tag);
        DetailMap map;
        ASSERT_EQ(ReadDetailMap(&map, data.stream, data.header), 1) << tag->name;
        EXPECT_EQ(map.width, tag->version == 1 ? 32u : 96u) << tag->name;
        map_versions.insert(tag->version);
    }
    EXPECT_EQ(map_versions, (std::set<u16>{1, 2}));
    std::set<u16> mesh_versions;
    for (const DemoTag* tag : TagsOf(game, MakeFourCC("mesh"))) {
        DataStream data(*tag);
        MeshMap mesh;
        EXPECT_EQ(ReadMeshMap(&mesh, data.stream, data.header), tag->version == 11 ? 1 : 0) << tag->name;
        mesh_versions.insert(tag->version);
    }
    EXPECT_EQ(mesh_versions, (std::set<u16>{10, 11}));
}

// A new user's first terrain: the demo game written out, the Codex over it,
// and Demo Valley loaded with its collection, media and detail map.
TEST(DemoTerrain, DemoValleyOpensWithItsCollectionMediaAndDetailMap) {
    pirn_test::TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteDemoGame(BuildDemoGame(), dir.file("Zarnhold"), &error)) << error;
    ScopedLogCapture quiet;
    UnloadCodex();
    ASSERT_NE(AddArchive(dir.file("Zarnhold/tags/terrain")), nullptr);
    SetDefaultWorkingSet();
    SetLocalFolder(dir.file("Zarnhold/local"));
    PollLocalFolder(true);
    ASSERT_TRUE(PushDirectory(dir.path()));
    MakeDirectory(dir.file("res"));
    {
        TagEntry* tag = FindTag(MakeFourCC("mesh"), MakeFourCC("dv11"));
        ASSERT_NE(tag, nullptr);
        TagHeader header{};
        std::FILE* stream = OpenTagForReading(tag, &header);
        ASSERT_NE(stream, nullptr);
        MeshEditData data;
        MeshLoadResult result;
        const int loaded = LoadMeshEditData(&data, stream, header, true, &result);
        CloseTagForReading(tag);
        ASSERT_EQ(loaded, 1);
        EXPECT_EQ(data.columns, 96u);
        EXPECT_EQ(data.collection_name, "Demo Valley");
        EXPECT_TRUE(result.conflict_text.empty());
        EXPECT_TRUE(data.detail_map_present);
        EXPECT_FLOAT_EQ(data.media.amplitude[1], 96 / 512.0f * 512);
        for (u32 slot : {1u, 2u, 3u, 4u}) EXPECT_NE(data.slots[slot].texture, nullptr) << slot;
        EXPECT_EQ(SlotLabel(data.slots[5]), "'gone' <not found>");
        EXPECT_EQ(SlotLabel(data.slots[3]), "|iMud in the valley|p (Mud)");
        // Every block has its colour texels, and the lake is under media.
        for (const MeshBlockRecord& block : data.blocks) {
            EXPECT_EQ(block.texels.size(), 257u * 257 * 3);
            EXPECT_NE(block.texels[(100 * 257 + 100) * 3 + 1], 0) << block.index;
        }
        EXPECT_TRUE(data.mesh->cells[62 * 96 + 28].flags & 0x1800);
        EXPECT_TRUE(data.mesh->cells[62 * 96 + 28].flags & 0x400);
    }
    PopDirectory();
    EXPECT_EQ(UnloadCodex(), 1);
}

}  // namespace
