#include "tools/demo_game/demo_game.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "codex/tag_group.h"
#include "codex/tag_header.h"
#include "tests/support/test_support.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

using namespace pirn;
using namespace pirn::demo;

namespace {

using fixture::ReadU16;
using fixture::ReadU32;

const DemoArchive& ArchiveNamed(const DemoGame& game, const std::string& file) {
    for (const DemoArchive& a : game.archives)
        if (a.file_name == file) return a;
    throw std::runtime_error("no archive " + file);
}

}  // namespace

TEST(DemoGame, CurrentArchiveFollowsTheFormatTables) {
    const DemoGame game = BuildDemoGame();
    const DemoArchive& foundation = ArchiveNamed(game, kDemoBaseArchive);
    const std::vector<u8> b = EncodeArchive(foundation);
    const u16 maps = ReadU16(b, 100);
    const u16 entries = ReadU16(b, 102);
    EXPECT_EQ(ReadU16(b, 0), 3);
    EXPECT_EQ(maps, 2) << "two mesh tags";
    EXPECT_EQ(entries, foundation.tags.size());
    EXPECT_EQ(ReadU32(b, 112), b.size());
    EXPECT_EQ(ReadU32(b, 124), MakeFourCC("dng2"));
    const size_t directory = 128 + 112 * size_t{maps};
    EXPECT_EQ(ReadU32(b, 120), directory + 64 * size_t{entries});
    // Map record: mesh tag id, three zero words, name twice.
    EXPECT_EQ(ReadU32(b, 128) >> 24, u32{'f'});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[144])), "Mesh Alpha");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[176])), "Mesh Alpha");
    // Directory entries parse as current headers and tile the data exactly.
    u64 expected_offset = directory + 64 * u64{entries};
    u32 previous_group = 0;
    for (u32 i = 0; i < entries; ++i) {
        const std::vector<u8> entry(b.begin() + directory + 64 * i, b.begin() + directory + 64 * (i + 1));
        TagHeader h;
        ParseTagHeader(&h, entry.data(), entry.size(), u64{1} << 40);  // unpack only
        EXPECT_EQ(h.signature, kTagHeaderSignature);
        EXPECT_EQ(h.data_offset, expected_offset);
        EXPECT_GE(h.group, previous_group) << "directory sorted by group";
        previous_group = h.group;
        expected_offset += h.data_length;
    }
    EXPECT_EQ(expected_offset, b.size());
}

TEST(DemoGame, FirstVersionArchiveHasItsDirectoryAtTheEnd) {
    const DemoGame game = BuildDemoGame();
    const std::vector<u8> b = EncodeArchive(ArchiveNamed(game, "legacy"));
    EXPECT_EQ(ReadU16(b, 0), 1);
    EXPECT_EQ(ReadU16(b, 2), 1);
    const u32 directory = ReadU32(b, 40);
    const u16 count = ReadU16(b, 44);
    EXPECT_EQ(b.size() - directory, 64u * count);
    const std::vector<u8> entry(b.begin() + directory, b.begin() + directory + 64);
    TagHeader h;
    ParseTagHeader(&h, entry.data(), entry.size(), u64{1} << 40);  // unpack only
    EXPECT_EQ(h.signature, kOldTagHeaderSignature);
    EXPECT_EQ(h.data_offset, 48u);
}

TEST(DemoGame, WritesEveryPartOfTheFolderAndReplacesItOnRerun) {
    pirn_test::TempDir dir;
    const std::string root = dir.file("Zarnhold");
    const DemoGame game = BuildDemoGame();
    std::string error;
    ASSERT_TRUE(WriteDemoGame(game, root, &error)) << error;
    pirn_test::WriteAll(root + "/local/Text/stray", std::string("left from an earlier run"));
    ASSERT_TRUE(WriteDemoGame(game, root, &error)) << error;
    EXPECT_FALSE(pirn_test::Exists(root + "/local/Text/stray")) << "rerun replaces the folder";
    EXPECT_TRUE(pirn_test::Exists(root + "/plugins/Demo Addon"));
    EXPECT_TRUE(pirn_test::Exists(root + "/tags/legacy"));
    EXPECT_TRUE(pirn_test::Exists(root + "/local/Quicktime/MP3/Local Quicktime-MP3"));

    // Local files in both layouts are tag files by the header rules; one of
    // each overrides a copy that an archive also holds.
    std::set<std::pair<u32, u32>> archived;
    for (const DemoArchive& a : game.archives)
        for (const DemoTag& t : a.tags) archived.insert({t.group, t.tag_id});
    int old_layout = 0, overrides = 0;
    std::set<u32> groups;
    for (const DemoLocalFile& f : game.local_files) {
        const std::vector<u8> bytes =
            pirn_test::ReadAll(root + "/local/" + TagGroupLabelText(f.tag.group) + "/" + f.file_name);
        TagHeader h;
        EXPECT_TRUE(ParseTagHeader(&h, bytes.data(), bytes.size(), bytes.size())) << f.file_name;
        EXPECT_EQ(h.tag_id, f.tag.tag_id);
        EXPECT_EQ(h.version, f.tag.version);
        old_layout += f.old_layout;
        overrides += archived.count({f.tag.group, f.tag.tag_id}) > 0;
    }
    EXPECT_GE(old_layout, 3);
    EXPECT_GE(overrides, 2);
    for (const DemoArchive& a : game.archives)
        for (const DemoTag& t : a.tags) groups.insert(t.group);
    EXPECT_EQ(groups.size(), kTagGroupCount) << "tags of every group";
}

TEST(DemoGame, LeavesForeignFoldersAlone) {
    pirn_test::TempDir dir;
    const std::string root = dir.file("Precious");
    pirn_test::WriteAll(root + "/notes.txt", std::string("mine"));
    std::string error;
    EXPECT_FALSE(WriteDemoGame(BuildDemoGame(), root, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(pirn_test::Exists(root + "/notes.txt"));
    EXPECT_FALSE(pirn_test::Exists(root + "/tags"));
}
