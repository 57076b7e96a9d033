#include "codex/local_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <random>
#include <sys/stat.h>
#include <sys/time.h>
#include <ctime>

#include "codex/plugin_writer.h"
#include "platform/file_ops.h"
#include "platform/log_capture.h"
#include "tests/codex/codex_test_fixture.h"

using namespace pirn;
using namespace codex_fixture;

namespace {

using LocalFolderTest = CodexTest;

const u32 kText = Code("text");

TEST_F(LocalFolderTest, TagFilesOfBothLayoutsBecomeLocalCopies) {
    Tag current{kText, Code("cu01"), "Current", Data("12345")};
    current.user_data = 77;
    Tag old{kText, Code("ol01"), "Old", Data("abc")};
    old.version = 4;
    WriteLocal("Text", "Current", TagFile(current));
    WriteLocal("Text", "Old", OldTagFile(old));
    WriteLocal("Quicktime/MP3", "Tune", TagFile(Tag{Code("quik"), Code("tu01"), "Tune", Data("")}));
    SetLocalFolder(Local());

    TagEntry* a = FindTag(kText, Code("cu01"));
    TagEntry* b = FindTag(kText, Code("ol01"));
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(IsTagLocal(a));
    EXPECT_EQ(a->local_source->file_name, "Current");
    EXPECT_EQ(a->local_source->header.user_data, 77u);
    EXPECT_EQ(b->local_source->header.version, 4);
    EXPECT_EQ(b->local_source->header.data_length, 3u);
    EXPECT_TRUE(FindTag(Code("quik"), Code("tu01"))) << "a label with a slash is a nested folder";
    EXPECT_EQ(CountEvents(kCodexTagAvailable), 3u);
}

// What a crash in the middle of a save left behind goes when the folders
// are opened again, and is never taken for a tag or an archive.
TEST_F(LocalFolderTest, LeftoversOfInterruptedSavesGoWhenTheFoldersOpen) {
    const Tag words{kText, Code("wo01"), "Words", Data("words")};
    const std::string dead = ".pirn-tmp-2147483647-1-";  // no process has that number
    WriteLocal("Text", "Words", TagFile(words));
    WriteLocal("Text", dead + "Words", TagFile(Tag{kText, Code("wo02"), "Half", Data("half")}));
    WriteLocal("Quicktime/MP3", dead + "Tune", TagFile(Tag{Code("quik"), Code("tu01"), "Tune", Data("")}));
    WriteFile("local/.pirn-tmp-tag-Ab12Cd", TagFile(words));  // an earlier version's, old
    const std::string old_temp = Local() + ".pirn-tmp-tag-Ab12Cd";
    pirn_test::AgeFile(old_temp, 7200);
    WriteFile("plugins/Addon", ArchiveBytes(6, 1, "Addon", {words}));
    WriteFile("plugins/" + dead + "Addon", ArchiveBytes(6, 1, "Addon", {words}));

    SetLocalFolder(Local());
    EXPECT_EQ(AddArchivesInFolder(Game() + "plugins"), 1u);
    EXPECT_FALSE(FindTag(kText, Code("wo02")));
    EXPECT_FALSE(FindTag(Code("quik"), Code("tu01")));
    EXPECT_EQ(GetArchive(0)->file_name, "Addon");
    for (const std::string& gone : {Local() + "Text/" + dead + "Words", Local() + "Quicktime/MP3/" + dead + "Tune",
                                    old_temp, Game() + "plugins/" + dead + "Addon"})
        EXPECT_FALSE(std::filesystem::exists(gone)) << gone;
    EXPECT_TRUE(IsTagLocal(FindTag(kText, Code("wo01"))));
}

TEST_F(LocalFolderTest, RukMadeThisNameIsReplacedByTheFileName) {
    WriteLocal("Text", "Real Name", TagFile(Tag{kText, Code("ru01"), "ruk made this", Data("x")}));
    PollLocalFolder(true);
    TagHeader header{};
    GetTagHeader(FindTag(kText, Code("ru01")), &header);
    EXPECT_STREQ(header.name, "Real Name");
}

TEST_F(LocalFolderTest, DuplicateIdsAndWrongFoldersAreRefusedWithTheirLines) {
    WriteLocal("Text", "First", TagFile(Tag{kText, Code("du01"), "First", Data("1")}));
    PollLocalFolder(true);
    ScopedLogCapture log;
    WriteLocal("Text", "Second", TagFile(Tag{kText, Code("du01"), "Second", Data("2")}));
    WriteLocal("Meshes", "Map", TagFile(Tag{Code("dmap"), Code("dm01"), "Map", Data("m")}));
    WriteLocal("Meshes", "Alien", TagFile(Tag{Code("xxxx"), Code("al01"), "Alien", Data("m")}));
    PollLocalFolder(true);
    EXPECT_EQ(log.TopicText("Codex"),
              "'Map', a 'Detail Maps' file, was found in the 'Meshes' folder.\n"
              "duplicate tagids detected: in the 'Text' folder, 'Second' and 'First' have the same tagids.\n");
    EXPECT_EQ(log.messages().at(0).level, 1);
    EXPECT_EQ(FindTag(kText, Code("du01"))->local_source->file_name, "First");
    EXPECT_FALSE(FindTag(Code("dmap"), Code("dm01")));
    EXPECT_FALSE(FindTag(Code("xxxx"), Code("al01")));

    // Removing the refused duplicate leaves the first file as the local copy.
    std::remove((Local() + "Text/Second").c_str());
    PollLocalFolder(true);
    ASSERT_TRUE(FindTag(kText, Code("du01")));
    EXPECT_EQ(FindTag(kText, Code("du01"))->local_source->file_name, "First");
}

// The id 0xFFFFFFFF stands for "no tag": a tag of that id could never be
// found again, so its file could not leave the catalogue once it was gone.
TEST_F(LocalFolderTest, TagIdThatStandsForNoTagIsNotATag) {
    ScopedLogCapture log;
    WriteLocal("Text", "Nobody", TagFile(Tag{kText, 0xFFFFFFFF, "Nobody", Data("n")}));
    WriteLocal("Text", "Somebody", TagFile(Tag{kText, Code("so01"), "Somebody", Data("s")}));
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kText, 0xFFFFFFFF, "Nobody", Data("a")},
                                                           Tag{kText, Code("so02"), "Other", Data("o")}}));
    SetDefaultWorkingSet();
    PollLocalFolder(true);
    EXPECT_EQ(log.TopicText("Codex"),
              "ERROR: 'Nobody' in the 'Text' folder has the tag id 0xffffffff, which stands for no tag.\n");
    TagList all;
    ListAllTags(all);
    SortTagList(all);  // by name: Other, Somebody
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->tag_id, Code("so02"));
    EXPECT_EQ(all[1]->tag_id, Code("so01"));
    TagList in_archive;
    ListArchiveTags(GetArchive(0), in_archive);
    EXPECT_EQ(in_archive, TagList{all[0]});
    EXPECT_EQ(GetArchive(0)->entries.size(), 2u) << "the entry stays in the directory";
}

TEST_F(LocalFolderTest, RefusedDuplicateTakesOverWhenTheLocalCopyGoes) {
    std::string first = WriteLocal("Text", "First", TagFile(Tag{kText, Code("du01"), "First", Data("1")}));
    PollLocalFolder(true);
    WriteLocal("Text", "Second", TagFile(Tag{kText, Code("du01"), "Second", Data("22")}));
    PollLocalFolder(true);
    ASSERT_EQ(FindTag(kText, Code("du01"))->local_source->file_name, "First");

    events.clear();
    std::remove(first.c_str());
    PollLocalFolder(true);
    TagEntry* tag = FindTag(kText, Code("du01"));
    ASSERT_TRUE(tag) << "the other file of that id is still in the folder";
    EXPECT_EQ(tag->local_source->file_name, "Second");
    EXPECT_EQ(tag->local_source->header.data_length, 2u);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].event, kCodexTagGone);
    EXPECT_EQ(events[1].event, kCodexTagAvailable);

    // It is remembered as the copy now: its own removal takes the tag away,
    // or hands it on when it goes together with another refused duplicate.
    WriteLocal("Text", "Third", TagFile(Tag{kText, Code("du01"), "Third", Data("333")}));
    WriteLocal("Text", "Fourth", TagFile(Tag{kText, Code("du01"), "Fourth", Data("4444")}));
    PollLocalFolder(true);
    std::remove((Local() + "Text/Second").c_str());
    std::remove((Local() + "Text/Fourth").c_str());
    PollLocalFolder(true);
    ASSERT_TRUE(FindTag(kText, Code("du01")));
    EXPECT_EQ(FindTag(kText, Code("du01"))->local_source->file_name, "Third");
    std::remove((Local() + "Text/Third").c_str());
    PollLocalFolder(true);
    EXPECT_FALSE(FindTag(kText, Code("du01")));
}

TEST_F(LocalFolderTest, DamagedTagFilesAreRefusedWithALineNamingThem) {
    std::vector<u8> good = TagFile(Tag{kText, Code("ok01"), "Ok", Data("fine")});
    std::vector<u8> bad_signature = good;
    bad_signature[63] = '3';
    std::vector<u8> no_terminator = TagFile(Tag{kText, Code("nt01"), std::string(40, 'q'), Data("z")});
    ScopedLogCapture log;
    WriteLocal("Text", "Short", std::vector<u8>(good.begin(), good.begin() + 63));
    WriteLocal("Text", "Empty", std::vector<u8>{});
    WriteLocal("Text", "Signature", bad_signature);
    WriteLocal("Text", "Unterminated", no_terminator);
    WriteLocal("Text", "Ok", good);
    PollLocalFolder(true);
    for (const char* name : {"'Short'", "'Empty'", "'Signature'"}) EXPECT_TRUE(log.Contains(name)) << name;
    EXPECT_TRUE(FindTag(kText, Code("ok01"))) << "the rest of the folder loads";
    TagEntry* unterminated = FindTag(kText, Code("nt01"));
    ASSERT_TRUE(unterminated);
    EXPECT_EQ(std::string(unterminated->local_source->header.name), std::string(31, 'q'));
}

// Windows has no FIFOs.
#ifndef _WIN32
TEST_F(LocalFolderTest, SpecialFilesUnderTagNamesNeitherBlockNorLoad) {
    WriteLocal("Text", "Ok", TagFile(Tag{kText, Code("ok01"), "Ok", Data("fine")}));
    ASSERT_EQ(::mkfifo((Local() + "Text/Pipe").c_str(), 0600), 0);
    std::filesystem::create_directories(Game() + "tags");
    ASSERT_EQ(::mkfifo((Game() + "tags/pipe").c_str(), 0600), 0);
    PollLocalFolder(true);
    EXPECT_FALSE(AddArchive(Game() + "tags/pipe"));
    EXPECT_TRUE(FindTag(kText, Code("ok01")));
    TagList local;
    ListLocalTags(local);
    EXPECT_EQ(local.size(), 1u);
}
#endif

TEST_F(LocalFolderTest, FileChangesAndRemovalsSendTheirEvents) {
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kText, Code("ar01"), "Arch", Data("a")}}));
    SetDefaultWorkingSet();
    std::string both = WriteLocal("Text", "Arch", TagFile(Tag{kText, Code("ar01"), "Arch", Data("local")}));
    std::string only = WriteLocal("Text", "Only", TagFile(Tag{kText, Code("on01"), "Only", Data("o")}));
    events.clear();
    PollLocalFolder(true);
    EXPECT_EQ(CountEvents(kCodexSourcesChanged), 1u) << "a local file over an archive copy";
    EXPECT_EQ(CountEvents(kCodexTagAvailable), 1u);

    events.clear();
    pirn_test::WriteAll(only, TagFile(Tag{kText, Code("on01"), "Only", Data("longer data")}));
    PollLocalFolder(true);
    EXPECT_EQ(CountEvents(kCodexSourcesChanged), 1u);
    EXPECT_EQ(FindTag(kText, Code("on01"))->local_source->header.data_length, 11u);

    events.clear();
    std::remove(both.c_str());
    std::remove(only.c_str());
    PollLocalFolder(true);
    EXPECT_EQ(CountEvents(kCodexSourcesChanged), 1u) << "archive copy remains: event 2";
    EXPECT_EQ(CountEvents(kCodexTagGone), 1u);
    EXPECT_TRUE(FindTag(kText, Code("ar01")));
    EXPECT_FALSE(FindTagEntry(kText, Code("on01")));
}

// A changed file that cannot be opened when the folder is looked at (a
// failing disk, a moment without permission) still holds its tag: the
// catalogue keeps what it knew rather than dropping a tag whose file is
// there, and a fresh scan agrees once the file reads again.
TEST_F(LocalFolderTest, AChangedFileThatCannotBeOpenedKeepsItsTag) {
    const std::string path = WriteLocal("Text", "Kept", TagFile(Tag{kText, Code("ke01"), "Kept", Data("first")}));
    PollLocalFolder(true);
    ASSERT_TRUE(IsTagLocal(FindTag(kText, Code("ke01"))));
    pirn_test::WriteAll(path, TagFile(Tag{kText, Code("ke01"), "Kept", Data("second data")}));
    for (int error : {EIO, EACCES}) {
        SetFileFaultHook([&](FileOp op, const std::string& what, bool) {
            return op == FileOp::kOpen && what == path ? error : 0;
        });
        quiet_log.Clear();
        PollLocalFolder(true);
        SetFileFaultHook(nullptr);
        TagEntry* tag = FindTag(kText, Code("ke01"));
        ASSERT_TRUE(tag) << std::strerror(error);
        EXPECT_TRUE(IsTagLocal(tag));
        EXPECT_TRUE(quiet_log.Contains("'Kept' in the 'Text' folder could not be opened."));
        pirn_test::WriteAll(path, TagFile(Tag{kText, Code("ke01"), "Kept", Data("third")}));
    }
    PollLocalFolder(true);
    EXPECT_EQ(FindTag(kText, Code("ke01"))->local_source->header.data_length, 5u);
    SetLocalFolder(Local());
    EXPECT_TRUE(IsTagLocal(FindTag(kText, Code("ke01"))));
}

TEST_F(LocalFolderTest, UnforcedPollWaitsForTheChangedFlag) {
    PollLocalFolder(true);
    WriteLocal("Text", "Late", TagFile(Tag{kText, Code("la01"), "Late", Data("l")}));
    PollLocalFolder(false);
    EXPECT_FALSE(FindTag(kText, Code("la01")));
    MarkLocalFolderChanged();
    PollLocalFolder(false);
    EXPECT_TRUE(FindTag(kText, Code("la01")));
    EXPECT_FALSE(IsLocalFolderChanged());
    EXPECT_TRUE(LocalTagFileExists(kText, "Late"));
    EXPECT_FALSE(LocalTagFileExists(kText, "Early"));
}

// Random damage to tag files of both layouts: whatever still loads is read to
// its end, copied and packed into a plugin without reading past the file
// (the sanitizer run watches the reads); the rest is refused.
TEST_F(LocalFolderTest, RandomlyDamagedTagFilesLoadOnlyWhenReadable) {
    const std::vector<std::vector<u8>> originals = {
        TagFile(Tag{kText, Code("fz01"), "Fuzzed", Data("some tag data")}),
        OldTagFile(Tag{kText, Code("fz01"), "Fuzzed", Data("old tag data")})};
    std::string path = Local() + "Text/Fuzzed";
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<u8> bytes = originals[round % 2];
        for (int hits = 1 + random() % 4; hits > 0; --hits) bytes[random() % bytes.size()] = u8(random());
        if (round % 5 == 0) bytes.resize(random() % bytes.size());
        pirn_test::WriteAll(path, bytes);
        SetLocalFolder(Local());

        TagHeader parsed{};
        ParseTagHeader(&parsed, bytes.data(), bytes.size(), bytes.size());
        TagList local;
        ListLocalTags(local);
        ASSERT_LE(local.size(), 1u) << "round " << round;
        if (local.empty()) continue;
        TagEntry* tag = local[0];
        EXPECT_EQ(tag->local_source->header.data_length + u64{64}, bytes.size()) << "round " << round;
        EXPECT_EQ(tag->local_source->header.name[31], 0) << "round " << round;
        TagHeader header{};
        std::FILE* in = OpenTagForReading(tag, &header);
        ASSERT_TRUE(in) << "round " << round;
        std::vector<u8> data(header.data_length + 1);
        EXPECT_EQ(std::fread(data.data(), 1, data.size(), in), header.data_length) << "round " << round;
        CloseTagForReading(tag);
        if (round % 10 == 1) {
            EXPECT_EQ(BuildPluginFileInFolder(Game() + "plugins/", {tag}, 6, "fuzz", "", 1), 1) << "round " << round;
            Archive* plugin = FindArchiveByPath(Game() + "plugins/fuzz");
            ASSERT_TRUE(plugin) << "round " << round;
            EXPECT_EQ(plugin->entries.at(0).header.data_length, header.data_length);
            EXPECT_EQ(CloseAndRemoveArchive(plugin), 1);
        }
    }
}

// Random saves, rewrites and removals of files by another program, polled
// now and then: afterwards every tag id held by a file of the folder is a
// local tag whose copy is one of those files, and no other tag is local.
TEST_F(LocalFolderTest, RandomFileChangesKeepTheCatalogueInStepWithTheFolder) {
    const char* names[] = {"a", "b", "c", "d", "e"};
    const u32 ids[] = {Code("id01"), Code("id02"), Code("id03")};
    std::mt19937 random(77);
    std::map<std::string, u32> on_disk;  // file name -> id
    for (int step = 0; step < 400; ++step) {
        std::string name = names[random() % 5];
        if (random() % 3 == 0) {
            std::remove((Local() + "Text/" + name).c_str());
            on_disk.erase(name);
        } else {
            u32 id = ids[random() % 3];
            WriteLocal("Text", name, TagFile(Tag{kText, id, name, Data(std::string(1 + random() % 3, 'x'))}));
            on_disk[name] = id;
        }
        if (random() % 3 != 0) continue;
        PollLocalFolder(true);
        for (u32 id : ids) {
            std::set<std::string> holders;
            for (const auto& file : on_disk)
                if (file.second == id) holders.insert(file.first);
            TagEntry* tag = FindTag(kText, id);
            if (holders.empty()) {
                EXPECT_FALSE(tag && tag->local_source) << "step " << step;
                continue;
            }
            ASSERT_TRUE(tag && tag->local_source) << "step " << step;
            EXPECT_TRUE(holders.count(tag->local_source->file_name)) << "step " << step;
        }
    }
}

}  // namespace
