// Collections through the Codex's tag streams, as the editor will use
// them: read from an archive of the demo game, saved as a local tag file,
// read back from the local folder.

#include <gtest/gtest.h>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "platform/log_capture.h"

namespace pirn {
namespace {

class CollectionCodexTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadCodex();
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game(), &error)) << error;
        SetLocalFolder(game() + "/local/");
        ASSERT_NE(AddArchive(game() + "/tags/" + pirn::demo::kDemoBaseArchive), nullptr);
        SetDefaultWorkingSet();
        PollLocalFolder(true);
    }
    void TearDown() override { EXPECT_EQ(UnloadCodex(), 1); }

    std::string game() const { return dir.path() + "/Zarnhold"; }

    int Load(TagEntry* tag, Collection* c) {
        TagHeader header{};
        std::FILE* stream = OpenTagForReading(tag, &header);
        if (!stream) return 0;
        const int ok = LoadCollection(c, stream, &header, true);
        CloseTagForReading(tag);
        return ok;
    }

    pirn_test::TempDir dir;
    ScopedLogCapture quiet_log;
};

TEST_F(CollectionCodexTest, ArchiveCollectionSavesAsALocalTagAndReadsBack) {
    const u32 group = MakeFourCC(".256");
    TagEntry* knight = FindTag(group, MakeFourCC("ck01"));
    ASSERT_NE(knight, nullptr);
    Collection c;
    InitCollection(&c);
    ASSERT_EQ(Load(knight, &c), 1);
    EXPECT_STREQ(c.name, "Demo Knight");
    ASSERT_GT(GetCollectionBitmapCount(c), 10u);

    TagHeader header{};
    TagEntry* copy = CreateTag(group, kNoTagId, "Saved Knight", &header, 0);
    ASSERT_NE(copy, nullptr);
    std::FILE* out = OpenTagForWriting(copy, &header, nullptr);
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(SaveCollection(&c, out, &header), 1);
    ASSERT_EQ(CloseTagForWriting(copy, &header, 1), 1);

    const std::vector<u8> file = pirn_test::ReadAll(game() + "/local/Collections/Saved Knight");
    ASSERT_GT(file.size(), 64u);
    TagHeader written{};
    ASSERT_TRUE(ParseTagHeader(&written, file.data(), file.size(), file.size()));
    EXPECT_EQ(written.group, group);
    EXPECT_EQ(written.version, 4);
    EXPECT_EQ(written.user_data, c.flags);
    EXPECT_EQ(written.data_length, file.size() - 64);

    // The same bytes as the archive's copy, and readable from the local folder.
    TagHeader archived{};
    std::FILE* in = OpenTagForReading(knight, &archived);
    ASSERT_NE(in, nullptr);
    std::vector<u8> archived_data(archived.data_length);
    ASSERT_EQ(std::fread(archived_data.data(), 1, archived_data.size(), in), archived_data.size());
    CloseTagForReading(knight);
    EXPECT_TRUE(std::vector<u8>(file.begin() + 64, file.end()) == archived_data);

    PollLocalFolder(true);
    Collection again;
    InitCollection(&again);
    ASSERT_EQ(Load(FindTag(group, copy->tag_id), &again), 1);
    EXPECT_STREQ(again.name, "Saved Knight");
    EXPECT_EQ(GetCollectionBitmapCount(again), GetCollectionBitmapCount(c));
}

}  // namespace
}  // namespace pirn
