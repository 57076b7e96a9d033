#include "codex/plugin_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "platform/file_system.h"
#include "platform/pref_store.h"
#include "tests/codex/codex_test_fixture.h"

using namespace pirn;
using namespace codex_fixture;

namespace {

class PluginWriterTest : public CodexTest {
protected:
    std::string Plugins() const { return Game() + "plugins/"; }
    int Build(const TagList& tags, const std::string& name, u32 kind = 6, u16 priority = 100) {
        return BuildPluginFileInFolder(Plugins(), tags, kind, name, "http://example.org/addon", priority);
    }
    // Every name in the plugins folder, hidden temporary files included.
    std::vector<std::string> PluginFolderFiles() {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(Plugins()))
            files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(PluginWriterTest, EmptyPluginIsOneHeaderOf128Bytes) {
    ASSERT_EQ(Build({}, "Empty Addon", 6, 321), 1);
    std::vector<u8> b = pirn_test::ReadAll(Plugins() + "Empty Addon");
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(ReadU16(b, 0), 6);                      // kind
    EXPECT_EQ(ReadU16(b, 2), 321);                    // priority
    EXPECT_EQ(ReadText(b, 4, 32), "Empty Addon");     // name
    EXPECT_EQ(ReadText(b, 36, 64), "http://example.org/addon");
    EXPECT_EQ(ReadU16(b, 100), 0);                    // map-record count
    EXPECT_EQ(ReadU16(b, 102), 0);                    // entry count
    EXPECT_EQ(ReadU32(b, 104), 0u);
    EXPECT_EQ(ReadU32(b, 108), 0u);
    EXPECT_EQ(ReadU32(b, 112), 128u);                 // file size
    EXPECT_EQ(ReadU32(b, 116), 0u);
    EXPECT_EQ(ReadU32(b, 120), 128u);                 // directory end
    EXPECT_EQ(ReadU32(b, 124), Code("dng2"));
    Archive* added = FindArchiveByPath(Plugins() + "Empty Addon");
    ASSERT_TRUE(added) << "the new plugin joins the catalogue";
    EXPECT_FALSE(added->active);
}

TEST_F(PluginWriterTest, TwoTagsWithAMeshAreLaidOutAsTheTableSays) {
    Tag mesh{Code("mesh"), Code("pl01"), "Plains", Data("MESHDATA")};
    mesh.user_data = 0xCAFE;
    mesh.version = 12;
    mesh.flags = 3;
    Tag text{Code("text"), Code("he01"), "Hello", Data("hello")};
    // An old-layout local file: its converted header must be written as 'zrn2'.
    WriteLocal("Text", "Hello", OldTagFile(text));
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {mesh}));
    SetDefaultWorkingSet();
    PollLocalFolder(true);
    TagList tags = {FindTag(Code("text"), Code("he01")), FindTag(Code("mesh"), Code("pl01"))};
    ASSERT_TRUE(tags[0] && tags[1]);
    ASSERT_EQ(Build(tags, "Two"), 1);

    std::vector<u8> b = pirn_test::ReadAll(Plugins() + "Two");
    const u32 directory = 128 + 112;
    const u32 data = directory + 2 * 64;
    ASSERT_EQ(b.size(), data + 8u + 5u);
    EXPECT_EQ(ReadU16(b, 100), 1);
    EXPECT_EQ(ReadU16(b, 102), 2);
    EXPECT_EQ(ReadU32(b, 112), u32(b.size()));
    EXPECT_EQ(ReadU32(b, 120), data);
    // Map record: tag id, three zero words, the name twice.
    EXPECT_EQ(ReadU32(b, 128), Code("pl01"));
    EXPECT_EQ(ReadU32(b, 132) | ReadU32(b, 136) | ReadU32(b, 140), 0u);
    EXPECT_EQ(ReadText(b, 144, 32), "Plains");
    EXPECT_EQ(ReadText(b, 176, 64), "Plains");
    // Directory sorted by group: 'mesh' < 'text'.
    const size_t m = directory, t = directory + 64;
    EXPECT_EQ(ReadU32(b, m + 36), Code("mesh"));
    EXPECT_EQ(ReadText(b, m + 4, 32), "Plains");
    EXPECT_EQ(b[m + 2], 3);
    EXPECT_EQ(ReadU32(b, m + 40), Code("pl01"));
    EXPECT_EQ(ReadU32(b, m + 44), data);
    EXPECT_EQ(ReadU32(b, m + 48), 8u);
    EXPECT_EQ(ReadU32(b, m + 52), 0xCAFEu);
    EXPECT_EQ(ReadU16(b, m + 56), 12);
    EXPECT_EQ(ReadU32(b, m + 60), Code("zrn2"));
    EXPECT_EQ(ReadU32(b, t + 36), Code("text"));
    EXPECT_EQ(ReadText(b, t + 4, 32), "Hello");
    EXPECT_EQ(ReadU32(b, t + 44), data + 8);
    EXPECT_EQ(ReadU32(b, t + 48), 5u);
    EXPECT_EQ(ReadU32(b, t + 60), Code("zrn2"));
    EXPECT_EQ(std::string(b.begin() + data, b.end()), "MESHDATAhello");
}

TEST_F(PluginWriterTest, DirectoryIsOrderedByGroupThenNameBytesThenId) {
    std::vector<Tag> held = {Tag{Code("text"), Code("bb01"), "Beta", Data("1")},
                             Tag{Code("text"), Code("zz01"), "Alpha", Data("2")},
                             Tag{Code("text"), Code("ee01"), "\xE9t\xE9", Data("3")},
                             Tag{Code("text"), Code("aa01"), "Alpha", Data("4")},
                             Tag{Code("text"), Code("cc01"), "alpha", Data("5")},
                             Tag{Code(".256"), Code("dd01"), "Zed", Data("6")}};
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", held));
    SetDefaultWorkingSet();
    TagList tags;
    for (const Tag& t : held) tags.push_back(FindTag(t.group, t.id));
    ASSERT_EQ(Build(tags, "Ordered"), 1);
    std::vector<u8> b = pirn_test::ReadAll(Plugins() + "Ordered");
    std::vector<std::string> order;
    for (size_t at = 128; at < 128 + 64 * held.size(); at += 64)
        order.push_back(ReadText(b, at + 4, 32) + "/" + ReadText(b, at + 40, 4));
    EXPECT_EQ(order, (std::vector<std::string>{"Zed/dd01", "Alpha/aa01", "Alpha/zz01", "Beta/bb01", "alpha/cc01",
                                               "\xE9t\xE9/ee01"}));
}

TEST_F(PluginWriterTest, KindOneGetsPriority0xFFFFAndLocalCopiesAreRead) {
    Tag wall{Code("text"), Code("wa01"), "Wall", Data("archive copy")};
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {wall}));
    wall.data = Data("local copy");
    WriteLocal("Text", "Wall", TagFile(wall));
    SetDefaultWorkingSet();
    PollLocalFolder(true);
    ASSERT_EQ(Build({FindTag(Code("text"), Code("wa01"))}, "k1", 1, 5), 1);
    std::vector<u8> b = pirn_test::ReadAll(Plugins() + "k1");
    EXPECT_EQ(ReadU16(b, 2), 0xFFFF);
    EXPECT_EQ(std::string(b.end() - 10, b.end()), "local copy");
}

TEST_F(PluginWriterTest, RebuildingAnActivePluginReplacesItAndKeepsItActive) {
    Tag a{Code("text"), Code("aa01"), "A", Data("old a")};
    Tag only_old{Code("text"), Code("oo01"), "Only old", Data("gone")};
    Archive* old = AddArchiveBytes("plugins/Mine", ArchiveBytes(6, 100, "Mine", {a, only_old}));
    SetDefaultWorkingSet();
    ASSERT_TRUE(old && old->active);
    // The tag's effective copy lies inside the plugin being replaced.
    TagList tags = {FindTag(Code("text"), Code("aa01"))};
    events.clear();
    ASSERT_EQ(Build(tags, "Mine"), 1);

    EXPECT_EQ(CountEvents(kCodexArchiveClosing), 1u);
    EXPECT_EQ(CountEvents(kCodexArchiveAdded), 1u);
    Archive* now = FindArchiveByPath(Plugins() + "Mine");
    ASSERT_TRUE(now);
    EXPECT_TRUE(now->active);
    EXPECT_EQ(now->header.entry_count, 1);
    EXPECT_FALSE(FindTag(Code("text"), Code("oo01")));
    TagEntry* tag = FindTag(Code("text"), Code("aa01"));
    ASSERT_TRUE(tag);
    TagHeader header{};
    std::FILE* in = OpenTagForReading(tag, &header);
    ASSERT_TRUE(in);
    char text[6] = {};
    EXPECT_EQ(std::fread(text, 1, 5, in), 5u);
    CloseTagForReading(tag);
    EXPECT_STREQ(text, "old a");
}

TEST_F(PluginWriterTest, PluginOpenedUnderAnotherSpellingOfItsPathIsReplacedToo) {
    Tag a{Code("text"), Code("aa01"), "A", Data("old a")};
    WriteFile("plugins/Mine", ArchiveBytes(6, 100, "Mine", {a}));
    Archive* old = AddArchive(Game() + "plugins/./Mine");
    ASSERT_TRUE(old);
    SetDefaultWorkingSet();
    Tag b{Code("text"), Code("bb01"), "B", Data("new b")};
    WriteLocal("Text", "B", TagFile(b));
    PollLocalFolder(true);
    ASSERT_EQ(Build({FindTag(Code("text"), Code("bb01"))}, "Mine"), 1);
    ASSERT_EQ(CountArchives(), 1u) << "the old record of the file is closed, not left reading the new bytes";
    EXPECT_TRUE(GetArchive(0)->active);
    EXPECT_FALSE(FindTag(Code("text"), Code("aa01")));
}

TEST_F(PluginWriterTest, PluginInUseIsNotReplacedAndItsFileStaysAsItWas) {
    Tag a{Code("text"), Code("aa01"), "A", Data("old a")};
    std::string path = WriteFile("plugins/Mine", ArchiveBytes(6, 100, "Mine", {a}));
    std::vector<u8> before = pirn_test::ReadAll(path);
    AddArchive(path);
    SetDefaultWorkingSet();
    TagEntry* tag = FindTag(Code("text"), Code("aa01"));
    int editor = 0;
    AttachToTag(tag, kAttachEditor, &editor);
    EXPECT_EQ(Build({tag}, "Mine"), 0);
    EXPECT_EQ(pirn_test::ReadAll(path), before);
    EXPECT_EQ(FindArchiveByPath(path), GetArchive(0));
    EXPECT_EQ(PluginFolderFiles(), std::vector<std::string>{"Mine"});
    DetachFromTag(tag, kAttachEditor, &editor);
}

TEST_F(PluginWriterTest, FailureMidwayLeavesTheOldPluginAndNoTemporaryFile) {
    Tag a{Code("text"), Code("aa01"), "A", Data("a")};
    std::string old_path = WriteFile("plugins/Mine", ArchiveBytes(6, 100, "Mine", {}));
    std::vector<u8> before = pirn_test::ReadAll(old_path);
    std::string local = WriteLocal("Text", "A", TagFile(a));
    PollLocalFolder(true);
    TagEntry* tag = FindTag(Code("text"), Code("aa01"));
    ASSERT_TRUE(tag);
    pirn_test::WriteAll(local, std::vector<u8>{1, 2, 3});  // now too short to be a tag
    EXPECT_EQ(Build({tag}, "Mine"), 0);
    EXPECT_EQ(pirn_test::ReadAll(old_path), before);
    EXPECT_EQ(PluginFolderFiles(), std::vector<std::string>{"Mine"});
}

TEST_F(PluginWriterTest, RefusesUnsafeNamesAndTooManyTags) {
    for (const char* name : {"", ".", "..", "..."}) EXPECT_EQ(Build({}, name), 0) << "'" << name << "'";
    // A name with separators stays inside the plugins folder.
    ASSERT_EQ(Build({}, "../escape"), 1);
    EXPECT_TRUE(PathExists(Plugins() + ".._escape", kPathIsFile));
    EXPECT_FALSE(PathExists(Game() + "escape", kPathAnyKind));

    TagList many;
    for (u32 i = 0; i < 65536; ++i) many.push_back(FindOrCreateTagEntry(Code("text"), i));
    EXPECT_EQ(Build(many, "Huge"), 0);
    EXPECT_FALSE(PathExists(Plugins() + "Huge", kPathAnyKind));
    for (TagEntry* tag : many) FreeTagEntry(tag);
}

TEST_F(PluginWriterTest, KindsThatCannotBeReadBackAreRefusedBeforeAnythingIsReplaced) {
    std::string path = WriteFile("plugins/Mine", ArchiveBytes(6, 100, "Mine", {}));
    std::vector<u8> before = pirn_test::ReadAll(path);
    AddArchive(path);
    for (u32 kind : {0u, 4u, 8u, 0x10006u}) {
        EXPECT_EQ(Build({}, "Mine", kind), 0) << kind;
        EXPECT_EQ(pirn_test::ReadAll(path), before) << kind;
        EXPECT_TRUE(FindArchiveByPath(path)) << kind;
    }
}

TEST_F(PluginWriterTest, GameFolderComesFromTheZarnPathPreference) {
    SetPrefString("ZarnPath", Game());
    ASSERT_EQ(BuildPluginFile({}, 6, "From Prefs", "u", 100), 1);
    EXPECT_TRUE(PathExists(Game() + "plugins/From Prefs", kPathIsFile));
}

// Plugins rebuilt again and again from tags whose copies lie in local files,
// other archives and the plugin being replaced: each build reads back with
// the data of the copies it was given (the sanitizer run watches for reads
// of freed records).
TEST_F(PluginWriterTest, RepeatedRebuildsReadBackTheCopiesTheyWereGiven) {
    std::vector<Tag> found;
    for (int i = 0; i < 6; ++i)
        found.push_back(Tag{Code("text"), Code("fo00") + u32(i), "F" + std::to_string(i), Data("found " + std::to_string(i))});
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", found));
    WriteLocal("Text", "F1", TagFile(Tag{Code("text"), Code("fo01"), "F1", Data("local 1")}));
    SetDefaultWorkingSet();
    PollLocalFolder(true);
    std::mt19937 random(5);
    for (int round = 0; round < 30; ++round) {
        TagList all;
        ListAllTags(all);
        TagList chosen;
        std::map<u32, std::string> expected;
        for (TagEntry* tag : all) {
            if (random() % 2) continue;
            chosen.push_back(tag);
            TagHeader header{};
            std::FILE* in = OpenTagForReading(tag, &header);
            ASSERT_TRUE(in);
            std::string data(header.data_length, '\0');
            ASSERT_EQ(std::fread(&data[0], 1, data.size(), in), data.size());
            CloseTagForReading(tag);
            expected[tag->tag_id] = data;
        }
        ASSERT_EQ(Build(chosen, "P", 6, u16(100 + round)), 1) << "round " << round;
        Archive* plugin = FindArchiveByPath(Plugins() + "P");
        ASSERT_TRUE(plugin);
        if (random() % 2) {
            ArchiveList set;
            GetWorkingSet(set);
            if (!plugin->active) set.push_back(plugin);
            SetWorkingSet(set);
        }
        ASSERT_EQ(plugin->entries.size(), expected.size());
        std::vector<u8> bytes = pirn_test::ReadAll(Plugins() + "P");
        for (const TagSource& entry : plugin->entries) {
            std::string data(bytes.begin() + entry.header.data_offset,
                             bytes.begin() + entry.header.data_offset + entry.header.data_length);
            EXPECT_EQ(data, expected[entry.header.tag_id]) << "round " << round;
        }
    }
}

}  // namespace
