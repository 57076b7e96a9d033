// The demo game's terrain tags read back with the program's readers.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "codex/four_char_code.h"
#include "models/detail_map.h"
#include "models/dtex_codec.h"
#include "models/mesh_map.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

using namespace pirn;
using namespace pirn::demo;

namespace {

// The terrain tags of a group (the other archives hold placeholders of
// every group).
std::vector<const DemoTag*> TagsOf(const DemoGame& game, u32 group) {
    const std::set<u32> terrain = {MakeFourCC("gras"), MakeFourCC("sand"), MakeFourCC("rock"), MakeFourCC("snow"),
                                   MakeFourCC("mud "), MakeFourCC("dv11"), MakeFourCC("ov10")};
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
    EXPECT_EQ(sides.size(), 5u);
}

TEST(DemoTerrain, DetailMapsOfBothVersionsAndMeshesRead) {
    const DemoGame game = BuildDemoGame();
    std::set<u16> map_versions;
    for (const DemoTag* tag : TagsOf(game, MakeFourCC("dmap"))) {
        DataStream data(*tag);
        DetailMap map;
        ASSERT_EQ(ReadDetailMap(&map, data.stream, data.header), 1) << tag->name;
        EXPECT_EQ(map.width, 32u);
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

}  // namespace
