// Detail maps as tags: the editor's listing, and saving in the Codex.

#include <gtest/gtest.h>

#include "models/detail_map_tag.h"
#include "tests/codex/codex_test_fixture.h"

namespace {

using pirn::fixture::BigEndianBuffer;
using codex_fixture::Code;
using codex_fixture::Tag;
using codex_fixture::TagFile;
using pirn::u16;
using pirn::u32;
using pirn::u8;

class DetailMapTagTest : public codex_fixture::CodexTest {};

TEST_F(DetailMapTagTest, ListingNamesEachUsedEntryOrSaysNotFound) {
    WriteLocal("Detail Textures", "Green Grass", TagFile(Tag{Code("dtex"), Code("gras"), "Green Grass", {1}}));
    pirn::PollLocalFolder(true);
    pirn::DetailMap map;
    for (auto& e : map.entries) e.tag_id = 0xFFFFFFFF;
    map.entries[3].tag_id = Code("miss");
    map.entries[1].tag_id = Code("gras");
    EXPECT_EQ(pirn::FormatDetailMapListing(map), "gras - Green Grass\nmiss - <not found>\n");
}

TEST_F(DetailMapTagTest, NewMapIsLabelledWithTheVersionOfItsData) {
    pirn::TagHeader header{};
    pirn::TagEntry* tag = pirn::CreateTag(Code("dmap"), 0xFFFFFFFF, "Fresh Map", &header, 0);
    ASSERT_NE(tag, nullptr);
    ASSERT_EQ(header.version, 1);  // what a new tag starts with
    pirn::DetailMap map;
    ASSERT_TRUE(pirn::SetDetailMapSize(&map, 4, 4));
    for (auto& e : map.entries) e.tag_id = 0xFFFFFFFF;
    map.byte_plane[5] = 3;
    ASSERT_EQ(pirn::SaveDetailMapTag(tag, &header, map), 1);
    EXPECT_EQ(header.version, 2);
    std::vector<u8> file = pirn_test::ReadAll(Local() + "Detail Maps/Fresh Map");
    ASSERT_GT(file.size(), 64u + 256);
    EXPECT_EQ(codex_fixture::ReadU16(file, 56), 2);
    std::unique_ptr<pirn::DetailMap> back = pirn::LoadDetailMapTag(pirn::FindTag(Code("dmap"), tag->tag_id));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->byte_plane, map.byte_plane);
}

TEST_F(DetailMapTagTest, Version1MapSavedAgainBecomesVersion2) {
    BigEndianBuffer b;
    b.PutU32(2);
    b.PutU32(2);
    b.PutZeros(12);
    for (u32 i = 0; i < 128; ++i) b.PutU32(i == 0 ? Code("gras") : 0xFFFFFFFF);
    for (u32 i = 0; i < 128; ++i) b.PutU8(i == 0 ? 3 : 0);
    b.PutZeros(4);
    for (u8 v : {0, 1, 2, 0}) b.PutU8(v);
    Tag old{Code("dmap"), Code("old1"), "Old Map", b.bytes()};
    old.version = 1;
    WriteLocal("Detail Maps", "Old Map", TagFile(old));
    pirn::PollLocalFolder(true);
    pirn::TagEntry* tag = pirn::FindTag(Code("dmap"), Code("old1"));
    std::unique_ptr<pirn::DetailMap> map = pirn::LoadDetailMapTag(tag);
    ASSERT_NE(map, nullptr);
    pirn::TagHeader header{};
    pirn::GetTagHeader(tag, &header);
    ASSERT_EQ(pirn::SaveDetailMapTag(tag, &header, *map), 1);
    std::vector<u8> file = pirn_test::ReadAll(Local() + "Detail Maps/Old Map");
    EXPECT_EQ(codex_fixture::ReadU16(file, 56), 2);
    std::unique_ptr<pirn::DetailMap> back = pirn::LoadDetailMapTag(tag);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->entries[0].tag_id, Code("gras"));
    EXPECT_EQ(back->entries[0].attribute, 2);
    EXPECT_EQ(back->byte_plane, (std::vector<u8>{0, 1, 2, 0}));
    EXPECT_EQ(back->word_plane, std::vector<u16>(4, 0));
}

}  // namespace
