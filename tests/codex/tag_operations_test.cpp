#include "codex/tag_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <random>

#include "codex/plugin_writer.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/log_capture.h"
#include "tests/codex/codex_test_fixture.h"

using namespace pirn;
using namespace codex_fixture;

namespace {

const u32 kTextGroup = Code("text");

class TagOperationsTest : public CodexTest {
protected:
    // Saves data as an editor does: open, write, close with commit.
    int Save(TagEntry* tag, TagHeader* header, const std::string& data, int commit = 1) {
        std::FILE* out = OpenTagForWriting(tag, header, nullptr);
        if (!out) return 0;
        if (!data.empty()) std::fwrite(data.data(), 1, data.size(), out);
        return CloseTagForWriting(tag, header, commit);
    }
    std::string Read(TagEntry* tag) {
        TagHeader header{};
        std::FILE* in = OpenTagForReading(tag, &header);
        if (!in) return "<none>";
        std::string data(header.data_length, '\0');
        if (!data.empty() && std::fread(&data[0], 1, data.size(), in) != data.size()) data = "<short>";
        CloseTagForReading(tag);
        return data;
    }
    // Every name under a folder, recursively, hidden files included.
    std::vector<std::string> FilesUnder(const std::string& folder) {
        std::vector<std::string> names;
        if (!std::filesystem::exists(folder)) return names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                names.push_back(std::filesystem::relative(entry.path(), folder).generic_u8string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TagEntry* NewSavedTag(const char* name, const std::string& data) {
        TagHeader header{};
        TagEntry* tag = CreateTag(kTextGroup, kNoTagId, name, &header, 0);
        if (!tag || !Save(tag, &header, data)) return nullptr;
        PollLocalFolder(true);
        return tag;
    }
};

TEST_F(TagOperationsTest, CreateTagMakesIdsFromNames) {
    TagHeader header{};
    TagEntry* dog = CreateTag(kTextGroup, kNoTagId, "Big Red Dog", &header, 0);
    ASSERT_TRUE(dog);
    EXPECT_EQ(dog->tag_id, Code("BiRD"));
    EXPECT_EQ(header.tag_id, Code("BiRD"));
    EXPECT_EQ(header.version, 1);
    EXPECT_EQ(header.identifier, 0);
    EXPECT_EQ(header.owner_index, 0xFF);
    EXPECT_EQ(header.signature, Code("zrn2"));

    struct Case {
        const char* name;
        const char* id;
    };
    for (const Case& c : {Case{"Archer", "Arch"}, Case{"Ab", "Ab  "}, Case{"one-two", "ontw"},
                          Case{"(x) [y] {z}!", "x yz"}, Case{"Ab Cd Ef Gh", "AbCE"}}) {
        TagHeader h{};
        std::strcpy(h.name, c.name);
        h.group = kTextGroup;
        ASSERT_EQ(MakeTagIdFromName(&h), 1) << c.name;
        char id[5] = {char(h.tag_id >> 24), char(h.tag_id >> 16), char(h.tag_id >> 8), char(h.tag_id), 0};
        EXPECT_STREQ(id, c.id) << c.name;
    }
}

TEST_F(TagOperationsTest, NewTagsInUseOwnTheirIdBeforeTheyAreSaved) {
    TagHeader first{}, second{};
    TagEntry* a = CreateTag(kTextGroup, kNoTagId, "Archer", &first, 0);
    ASSERT_TRUE(a);
    int editor = 0;
    AttachToTag(a, kAttachEditor, &editor);
    TagEntry* b = CreateTag(kTextGroup, kNoTagId, "Archer", &second, 0);
    ASSERT_TRUE(b);
    EXPECT_NE(a, b);
    EXPECT_EQ(b->tag_id, Code("Arci"));
    {
        ScopedLogCapture log;
        EXPECT_FALSE(CreateTag(kTextGroup, Code("Arch"), "Other", nullptr, 0));
        EXPECT_EQ(log.TopicText("Codex"),
                  "CreateTag(name='Other', tagid='Arch', type='Text', allow_overwrite='False') failed because "
                  "'A file with the same tagid already exists'.\n");
        EXPECT_EQ(log.messages()[0].level, 2);
    }
    // Saving both: the second may not replace the first's file "Archer".
    ASSERT_EQ(Save(a, &first, "first"), 1);
    AttachToTag(b, kAttachEditor, &editor);
    EXPECT_EQ(Save(b, &second, "second"), 0);
    EXPECT_EQ(Read(a), "first");
    EXPECT_TRUE(FindTagEntry(kTextGroup, Code("Arci"))) << "an entry in use is not freed by a refused save";
    DetachFromTag(b, kAttachEditor, &editor);
    DetachFromTag(a, kAttachEditor, &editor);
}

TEST_F(TagOperationsTest, MakeTagIdFromNameNeverReachesTheReservedIds) {
    TagHeader header{};
    header.group = kTextGroup;
    std::strcpy(header.name, "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(MakeTagIdFromName(&header), 0);
    std::strcpy(header.name, "\xFF\xFF\xFF\xFD");
    ASSERT_EQ(MakeTagIdFromName(&header), 1);
    EXPECT_EQ(header.tag_id, 0xFFFFFFFDu);
    int in_use = 0;
    AttachToTag(FindOrCreateTagEntry(kTextGroup, 0xFFFFFFFDu), kAttachEditor, &in_use);
    EXPECT_EQ(MakeTagIdFromName(&header), 0) << "0xFFFFFFFE means keep the id";
    DetachFromTag(FindTagEntry(kTextGroup, 0xFFFFFFFDu), kAttachEditor, &in_use);
}

TEST_F(TagOperationsTest, SavedFileHoldsAFreshHeaderAndTheData) {
    TagHeader header{};
    TagEntry* tag = CreateTag(kTextGroup, Code("sv01"), "Saved", &header, 0);
    header.user_data = 0x12345678;
    header.version = 9;
    header.flags = 5;
    ASSERT_EQ(Save(tag, &header, "payload"), 1);
    std::vector<u8> b = pirn_test::ReadAll(Local() + "Text/Saved");
    ASSERT_EQ(b.size(), 64u + 7);
    EXPECT_EQ(ReadU16(b, 0), 0xFFFF);
    EXPECT_EQ(b[2], 5);
    EXPECT_EQ(b[3], 0);
    EXPECT_EQ(ReadText(b, 4, 32), "Saved");
    EXPECT_EQ(ReadU32(b, 36), kTextGroup);
    EXPECT_EQ(ReadU32(b, 40), Code("sv01"));
    EXPECT_EQ(ReadU32(b, 44), 64u);
    EXPECT_EQ(ReadU32(b, 48), 7u);
    EXPECT_EQ(ReadU32(b, 52), 0x12345678u);
    EXPECT_EQ(ReadU16(b, 56), 9);
    EXPECT_EQ(b[58], 0xFF);
    EXPECT_EQ(b[59], 0xFF);
    EXPECT_EQ(ReadU32(b, 60), Code("zrn2"));
    EXPECT_EQ(std::string(b.begin() + 64, b.end()), "payload");
    EXPECT_TRUE(IsTagLocal(tag));
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{"Text/Saved"}) << "no temporary file left";
}

TEST_F(TagOperationsTest, SavingARukMadeThisNameStoresTheFileName) {
    WriteLocal("Text", "Plain", TagFile(Tag{kTextGroup, Code("rk01"), "ruk made this", Data("old")}));
    PollLocalFolder(true);
    TagEntry* tag = FindTag(kTextGroup, Code("rk01"));
    ASSERT_TRUE(tag);
    TagHeader header{};
    GetTagHeader(tag, &header);
    std::strcpy(header.name, "ruk made this");
    ASSERT_EQ(Save(tag, &header, "r"), 1);
    EXPECT_EQ(ReadText(pirn_test::ReadAll(Local() + "Text/Plain"), 4, 32), "Plain");
    EXPECT_STREQ(tag->local_source->header.name, "Plain");
}

TEST_F(TagOperationsTest, TagSavedAndDeletedBetweenPollsLeavesNoLocalCopy) {
    TagHeader header{};
    TagEntry* tag = CreateTag(kTextGroup, Code("qk01"), "Quick", &header, 0);
    ASSERT_EQ(Save(tag, &header, "q"), 1);
    EXPECT_EQ(DeleteTag(tag), 1);
    EXPECT_FALSE(FindTag(kTextGroup, Code("qk01")));
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{});
}

TEST_F(TagOperationsTest, FailedSaveKeepsTheLastGoodFile) {
    TagEntry* tag = NewSavedTag("Keep", "good data");
    ASSERT_TRUE(tag);
    std::vector<u8> before = pirn_test::ReadAll(Local() + "Text/Keep");
    TagHeader header{};
    GetTagHeader(tag, &header);
    EXPECT_EQ(Save(tag, &header, "half writ", 0), 0);
    EXPECT_EQ(pirn_test::ReadAll(Local() + "Text/Keep"), before);
    EXPECT_TRUE(IsTagLocal(tag));
    EXPECT_EQ(Read(tag), "good data");
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{"Text/Keep"});

    // A save that cannot even start (its folder is a file) touches nothing.
    std::filesystem::rename(Local() + "Text", Game() + "moved");
    pirn_test::WriteAll(Local() + "Text", std::vector<u8>{1});
    EXPECT_FALSE(OpenTagForWriting(tag, &header, nullptr));
    EXPECT_EQ(FindTagEntry(kTextGroup, tag->tag_id), tag) << "an existing tag is never deleted";
    std::filesystem::remove(Local() + "Text");
    std::filesystem::rename(Game() + "moved", Local() + "Text");
    EXPECT_EQ(pirn_test::ReadAll(Local() + "Text/Keep"), before);
}

TEST_F(TagOperationsTest, EmptyTagsSaveAndCopy) {
    TagEntry* tag = NewSavedTag("Wall", "");
    ASSERT_TRUE(tag);
    TagEntry* copy = CopyTag(tag, nullptr);
    ASSERT_TRUE(copy);
    TagHeader header{};
    GetTagHeader(copy, &header);
    EXPECT_STREQ(header.name, "Wall copy");
    EXPECT_EQ(header.data_length, 0u);
    PollLocalFolder(true);
    TagEntry* second = CopyTag(tag, nullptr);
    ASSERT_TRUE(second);
    GetTagHeader(second, &header);
    EXPECT_STREQ(header.name, "Wall copy 1");
}

// "copy" then "copy 1" to "copy 100": 101 names, each refusal logged at
// level 2 as CreateTag logs it, and nothing after the last.
TEST_F(TagOperationsTest, CopyTagTriesUpToCopy100AndLogsEveryRefusal) {
    TagEntry* tag = NewSavedTag("Wall", "w");
    ASSERT_TRUE(tag);
    std::vector<std::string> taken = {"Wall copy"};
    for (int n = 1; n <= 100; ++n) taken.push_back("Wall copy " + std::to_string(n));
    for (size_t i = 0; i < taken.size(); ++i) {
        const u32 id = Code("x000") + u32(i / 10) * 256 + u32(i % 10);
        WriteLocal("Text", taken[i], TagFile(Tag{kTextGroup, id, taken[i], Data("")}));
    }
    PollLocalFolder(true);
    auto refusals = [](const ScopedLogCapture& log) {
        size_t n = 0;
        for (const LoggedMessage& m : log.messages()) {
            if (m.text.find("CreateTag(name='Wall copy") == std::string::npos) continue;
            EXPECT_EQ(m.level, 2) << m.text;
            EXPECT_NE(m.text.find("failed because 'A file with the same name already exists'"), std::string::npos);
            ++n;
        }
        return n;
    };
    {
        ScopedLogCapture log;
        EXPECT_FALSE(CopyTag(tag, nullptr));
        EXPECT_EQ(refusals(log), 101u);
        EXPECT_FALSE(log.Contains("Wall copy 101"));
    }
    std::filesystem::remove(Local() + "Text/Wall copy 100");
    PollLocalFolder(true);
    ScopedLogCapture log;
    TagEntry* copy = CopyTag(tag, nullptr);
    ASSERT_TRUE(copy);
    TagHeader header{};
    GetTagHeader(copy, &header);
    EXPECT_STREQ(header.name, "Wall copy 100");
    EXPECT_EQ(refusals(log), 100u);
}

TEST_F(TagOperationsTest, CopyTagKeepsHeaderWordsAndShortensLongNames) {
    Tag source{kTextGroup, Code("lo01"), std::string(31, 'L'), Data("copied bytes")};
    source.user_data = 0xABCD;
    source.version = 6;
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {source}));
    SetDefaultWorkingSet();
    TagEntry* copy = CopyTag(FindTag(kTextGroup, Code("lo01")), nullptr);
    ASSERT_TRUE(copy);
    TagHeader header{};
    GetTagHeader(copy, &header);
    EXPECT_EQ(std::string(header.name), std::string(26, 'L') + " copy");
    EXPECT_EQ(header.user_data, 0xABCDu);
    EXPECT_EQ(header.version, 6);
    EXPECT_EQ(Read(copy), "copied bytes");
    EXPECT_NE(copy->tag_id, Code("lo01"));
}

TEST_F(TagOperationsTest, ChangeTagInfoRenamesAndRenumbers) {
    TagEntry* tag = NewSavedTag("Before", "data");
    ASSERT_TRUE(tag);
    u32 id = tag->tag_id;

    TagEntry* renamed = ChangeTagInfo(tag, kKeepTagId, "After");
    ASSERT_EQ(renamed, tag) << "0xFFFFFFFE with a name keeps the id";
    EXPECT_FALSE(PathExists(Local() + "Text/Before", kPathAnyKind));
    EXPECT_EQ(ReadText(pirn_test::ReadAll(Local() + "Text/After"), 4, 32), "After");
    EXPECT_EQ(ReadU32(pirn_test::ReadAll(Local() + "Text/After"), 40), id);
    EXPECT_EQ(ChangeTagInfo(tag, kNoTagId, nullptr), tag);

    TagEntry* renumbered = ChangeTagInfo(tag, Code("nw01"), nullptr);
    ASSERT_TRUE(renumbered);
    EXPECT_EQ(renumbered->tag_id, Code("nw01"));
    EXPECT_EQ(renumbered->local_source->file_name, "After");
    EXPECT_FALSE(FindTag(kTextGroup, id));
    EXPECT_EQ(Read(renumbered), "data");
    EXPECT_EQ(ReadU32(pirn_test::ReadAll(Local() + "Text/After"), 40), Code("nw01"));

    TagEntry* other = NewSavedTag("Other", "x");
    ASSERT_TRUE(other);
    EXPECT_FALSE(ChangeTagInfo(renumbered, other->tag_id, nullptr)) << "id taken";
    EXPECT_FALSE(ChangeTagInfo(renumbered, kKeepTagId, "Other")) << "name taken";
    EXPECT_EQ(Read(other), "x");
    EXPECT_FALSE(ChangeTagInfo(renumbered, kKeepTagId, ".."));
}

TEST_F(TagOperationsTest, ANewIdThatOnlyAnArchiveHoldsGoesToTheLocalCopy) {
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kTextGroup, Code("ar01"), "Arch", Data("archived")}}));
    SetDefaultWorkingSet();
    TagEntry* tag = NewSavedTag("Mine", "mine");
    ASSERT_TRUE(tag);
    TagEntry* result = ChangeTagInfo(tag, Code("ar01"), nullptr);
    ASSERT_TRUE(result);
    EXPECT_EQ(result, FindTag(kTextGroup, Code("ar01")));
    EXPECT_TRUE(IsTagLocal(result));
    EXPECT_EQ(Read(result), "mine");

    // Not while the archive's tag is in use.
    TagEntry* again = NewSavedTag("Again", "again");
    ASSERT_TRUE(again);
    AttachToTag(result, kAttachEditor, this);
    ASSERT_EQ(DeleteTag(result), 0);
    EXPECT_FALSE(ChangeTagInfo(again, Code("ar01"), nullptr));
    DetachFromTag(result, kAttachEditor, this);
}

TEST_F(TagOperationsTest, RenamingAnArchiveTagRenamesItsLocalCopy) {
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kTextGroup, Code("ar01"), "Arch", Data("a")}}));
    SetDefaultWorkingSet();
    TagEntry* result = ChangeTagInfo(FindTag(kTextGroup, Code("ar01")), kNoTagId, "Renamed");
    ASSERT_TRUE(result);
    EXPECT_NE(result->tag_id, Code("ar01"));
    EXPECT_EQ(result->local_source->file_name, "Renamed");
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{"Text/Renamed"});
}

TEST_F(TagOperationsTest, CopyTagToLocalKeepsArchiveNamesInsideTheFolder) {
    std::vector<Tag> tags = {Tag{kTextGroup, Code("ev01"), "../../evil", Data("e")},
                             Tag{kTextGroup, Code("dt01"), "..", Data("d")},
                             Tag{kTextGroup, Code("ok01"), "Fine", Data("f")}};
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", tags));
    SetDefaultWorkingSet();
    for (const Tag& t : tags) EXPECT_EQ(CopyTagToLocal(FindTag(kTextGroup, t.id)), 1) << t.name;
    EXPECT_EQ(CopyTagToLocal(FindTag(kTextGroup, Code("ok01"))), 0) << "already local";
    EXPECT_EQ(FilesUnder(Local()), (std::vector<std::string>{"Text/.._.._evil", "Text/Fine", "Text/dt01"}));
    EXPECT_EQ(FilesUnder(Game() + "tags"), std::vector<std::string>{"found"});
    PollLocalFolder(true);
    EXPECT_EQ(Read(FindTag(kTextGroup, Code("ev01"))), "e");
    EXPECT_TRUE(IsTagLocal(FindTag(kTextGroup, Code("dt01"))));
}

// Files of these names are skipped by the local folder scan: a tag named so
// would vanish after the next reload and keep its name blocked. A name the
// user gives is refused; a name from an archive gets a '_' in front.
TEST_F(TagOperationsTest, NamesTheFolderScanSkipsAreRefusedOrMapped) {
    const char* const skipped[] = {"Thumbs.db", "DESKTOP.INI", ".DS_Store", ".pirn-tmp-1-2-Words",
                                   ".Words.pirn-tmp-3"};
    TagEntry* words = NewSavedTag("Words", "w");
    ASSERT_TRUE(words);
    std::vector<Tag> archived;
    for (const char* name : skipped) {
        SCOPED_TRACE(name);
        quiet_log.Clear();
        TagHeader header{};
        EXPECT_FALSE(CreateTag(kTextGroup, kNoTagId, name, &header, 0));
        EXPECT_TRUE(quiet_log.Contains("failed because 'The local folder skips files of that name'"));
        EXPECT_FALSE(ChangeTagInfo(words, kKeepTagId, name));
        EXPECT_EQ(BuildPluginFile({words}, 6, name, "", 1), 0);
        archived.push_back(Tag{kTextGroup, Code("sk00") + u32(archived.size()), name, Data(name)});
    }
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{"Text/Words"});
    EXPECT_EQ(FilesUnder(Game() + "plugins"), std::vector<std::string>());

    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", archived));
    SetDefaultWorkingSet();
    for (const Tag& tag : archived) EXPECT_EQ(CopyTagToLocal(FindTag(kTextGroup, tag.id)), 1) << tag.name;
    // A fresh scan finds every copy: none vanished.
    SetLocalFolder(Local());
    for (const Tag& tag : archived) {
        EXPECT_TRUE(IsTagLocal(FindTag(kTextGroup, tag.id))) << tag.name;
        EXPECT_EQ(Read(FindTag(kTextGroup, tag.id)), tag.name);
    }
    EXPECT_TRUE(PathExists(Local() + "Text/_Thumbs.db", kPathIsFile));
}

// Every name that becomes a file follows one rule: what Windows cannot hold
// becomes '_', full stops and spaces at the end go, and a device name (it
// would open the device, not a file) gets a '_' in front. Ordinary names
// keep every byte. The tag still reads back under its own name.
TEST_F(TagOperationsTest, NamesBecomeFilesByOneRule) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"CON", "_CON"},        {"nul.txt", "_nul.txt"}, {"Com1", "_Com1"},           {"lpt9.", "_lpt9"},
        {"conout$", "_conout$"}, {"a:b. ", "a_b"},       {"Gate House", "Gate House"}, {"walk01", "walk01"},
    };
    std::vector<std::string> saved, plugins, unpacked;
    std::vector<Tag> archived;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TagEntry* tag = NewSavedTag(c.name, c.name);
        ASSERT_TRUE(tag);
        EXPECT_EQ(tag->local_source->file_name, c.file);
        EXPECT_TRUE(LocalTagFileExists(kTextGroup, c.name));
        EXPECT_EQ(BuildPluginFileInFolder(Game() + "plugins/", {tag}, 6, c.name, "", 1), 1);
        saved.push_back(std::string("Text/") + c.file);
        plugins.push_back(c.file);
        unpacked.push_back(std::string("Text/") + c.file);
        archived.push_back(Tag{kTextGroup, Code("dv00") + u32(archived.size()), c.name, Data(c.name)});
    }
    std::sort(saved.begin(), saved.end());
    std::sort(plugins.begin(), plugins.end());
    std::sort(unpacked.begin(), unpacked.end());
    EXPECT_EQ(FilesUnder(Local()), saved);
    EXPECT_EQ(FilesUnder(Game() + "plugins"), plugins);

    // A fresh scan reads every tag back under its name, and a second save
    // keeps its one file.
    SetLocalFolder(Local());
    for (const auto& c : cases) {
        TagEntry* tag = nullptr;
        TagList local;
        ListLocalTags(local);
        TagHeader header{};
        for (TagEntry* t : local) {
            GetTagHeader(t, &header);
            if (CleanTagName(c.name) == header.name) tag = t;
        }
        ASSERT_TRUE(tag) << c.name;
        EXPECT_EQ(Read(tag), c.name);
        GetTagHeader(tag, &header);
        EXPECT_EQ(Save(tag, &header, "again"), 1) << c.name;
    }
    EXPECT_EQ(FilesUnder(Local()), saved);

    // Entries of an archive unpack and copy into the local folder the same way.
    Archive* archive = AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", archived));
    ASSERT_TRUE(archive);
    ASSERT_EQ(DisassembleArchive(archive, Game() + "out"), 1);
    EXPECT_EQ(FilesUnder(Game() + "out"), unpacked);
}

// A tag larger than the stream's buffer: the write that fails (a full disk)
// happens while the data is written, long before the save is closed, and
// the save must still fail and keep the old file. Every write from the
// first to the last is tried.
TEST_F(TagOperationsTest, AWriteFailingWhileTheDataIsWrittenFailsTheSave) {
    TagEntry* tag = NewSavedTag("Large", "small and good");
    ASSERT_TRUE(tag);
    const std::vector<u8> before = pirn_test::ReadAll(Local() + "Text/Large");
    const std::string large(64 * 1024, 'x');
    for (int failing = 1;; ++failing) {
        int writes = 0;
        SetFileFaultHook([&](FileOp op, const std::string&, bool) {
            return op == FileOp::kWrite && ++writes == failing ? ENOSPC : 0;
        });
        TagHeader header{};
        GetTagHeader(tag, &header);
        const int saved = Save(tag, &header, large);
        SetFileFaultHook(nullptr);
        if (writes < failing) {
            EXPECT_EQ(saved, 1) << "no write failed";
            break;
        }
        EXPECT_EQ(saved, 0) << "write " << failing << " of " << writes << " failed";
        EXPECT_EQ(pirn_test::ReadAll(Local() + "Text/Large"), before) << "write " << failing;
        EXPECT_EQ(Read(tag), "small and good");
        if (HasFailure()) break;
    }
    EXPECT_EQ(Read(tag), large);
}

// A group folder that is a link to another disk: the temporary file of a
// save lies in that folder, not in the local root, so placing it never
// crosses file systems; a failed save says why in its log line.
// Making symbolic links takes a privilege on Windows.
#ifndef _WIN32
TEST_F(TagOperationsTest, SavesWriteBesideTheirFileAndSayWhyTheyFailed) {
    std::filesystem::create_directories(Game() + "elsewhere");
    std::filesystem::create_directories(Local());
    std::filesystem::create_directory_symlink(Game() + "elsewhere", Local() + "Text");
    TagEntry* tag = NewSavedTag("Linked", "first");
    ASSERT_TRUE(tag);
    std::vector<std::string> opened;
    SetFileFaultHook([&](FileOp op, const std::string& what, bool changes_files) {
        if (op == FileOp::kOpen && changes_files) opened.push_back(what);
        return op == FileOp::kWrite ? ENOSPC : 0;
    });
    TagHeader header{};
    GetTagHeader(tag, &header);
    quiet_log.Clear();
    EXPECT_EQ(Save(tag, &header, "second"), 0);
    SetFileFaultHook(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].substr(0, opened[0].rfind('/') + 1), Local() + "Text/");
    EXPECT_TRUE(quiet_log.Contains(std::string("couldn't save '") + Local() + "Text/Linked': " +
                                   std::strerror(ENOSPC)));
    EXPECT_EQ(Read(tag), "first");
    EXPECT_EQ(Save(tag, &header, "second"), 1);
    EXPECT_EQ(Read(tag), "second");
    EXPECT_EQ(FilesUnder(Game() + "elsewhere"), std::vector<std::string>{"Linked"});
}
#endif

TEST_F(TagOperationsTest, UnknownGroupCodesCannotLeadOutOfTheFolder) {
    const u32 hostile = Code("../x");
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{hostile, Code("ho01"), "name", Data("h")}}));
    SetDefaultWorkingSet();
    Archive* archive = GetArchive(0);
    ASSERT_EQ(CopyTagToLocal(FindTag(hostile, Code("ho01"))), 1);
    ASSERT_EQ(DisassembleArchive(archive, Game() + "out"), 1);
    EXPECT_EQ(FilesUnder(Local()), std::vector<std::string>{".._x/name"});
    EXPECT_EQ(FilesUnder(Game() + "out"), std::vector<std::string>{".._x/name"});
    EXPECT_FALSE(PathExists(Game() + "x", kPathAnyKind));
}

TEST_F(TagOperationsTest, DeleteTagRemovesOnlyUnusedLocalFiles) {
    TagEntry* tag = NewSavedTag("Doomed", "d");
    ASSERT_TRUE(tag);
    int editor = 0;
    AttachToTag(tag, kAttachEditor, &editor);
    EXPECT_EQ(DeleteTag(tag), 0);
    EXPECT_TRUE(PathExists(Local() + "Text/Doomed", kPathIsFile));
    DetachFromTag(tag, kAttachEditor, &editor);
    u32 id = tag->tag_id;
    EXPECT_EQ(DeleteTag(tag), 1);
    EXPECT_FALSE(PathExists(Local() + "Text/Doomed", kPathAnyKind));
    EXPECT_FALSE(FindTagEntry(kTextGroup, id));

    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kTextGroup, Code("ar01"), "Arch", Data("a")}}));
    SetDefaultWorkingSet();
    EXPECT_EQ(DeleteTag(FindTag(kTextGroup, Code("ar01"))), 0) << "archive copies are never deleted";
    EXPECT_TRUE(FindTag(kTextGroup, Code("ar01")));
}

TEST_F(TagOperationsTest, CreateTagOverNameOrIdOnlyWithOverwrite) {
    TagEntry* first = NewSavedTag("Archer", "one");
    ASSERT_TRUE(first);
    ScopedLogCapture log;
    EXPECT_FALSE(CreateTag(kTextGroup, Code("zz01"), "Archer", nullptr, 0));
    EXPECT_TRUE(log.Contains("'A file with the same name already exists'"));
    TagHeader header{};
    TagEntry* again = CreateTag(kTextGroup, Code("zz01"), "Archer", &header, 1);
    ASSERT_TRUE(again);
    EXPECT_EQ(header.tag_id, Code("Arch")) << "takes over the replaced file's id";
    EXPECT_FALSE(PathExists(Local() + "Text/Archer", kPathAnyKind));

    // Overwriting a local copy of an archive tag removes the local file; the
    // new tag shares the entry that the archive keeps available.
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kTextGroup, Code("ar01"), "Arch", Data("a")}}));
    SetDefaultWorkingSet();
    WriteLocal("Text", "Arch", TagFile(Tag{kTextGroup, Code("ar01"), "Arch", Data("local")}));
    PollLocalFolder(true);
    TagEntry* archived = FindTag(kTextGroup, Code("ar01"));
    EXPECT_FALSE(CreateTag(kTextGroup, Code("ar01"), "Fresh", nullptr, 0));
    EXPECT_EQ(CreateTag(kTextGroup, Code("ar01"), "Fresh", nullptr, 1), archived);
    EXPECT_FALSE(IsTagLocal(archived));
}

TEST_F(TagOperationsTest, DisassembleArchiveWritesEveryEntryOnce) {
    std::vector<Tag> tags = {Tag{kTextGroup, Code("aa01"), "Same", Data("first")},
                             Tag{kTextGroup, Code("aa02"), "Same", Data("second")},
                             Tag{Code("soun"), Code("so01"), "a/b", Data("")}};
    tags[0].version = 3;
    Archive* archive = AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", tags));
    ASSERT_TRUE(archive);
    std::string out = Game() + "out";
    ScopedLogCapture log;
    ASSERT_EQ(DisassembleArchive(archive, out), 1);
    EXPECT_EQ(FilesUnder(out), (std::vector<std::string>{"Sounds/a_b", "Text/Same", "Text/Same 2"}));
    std::vector<u8> first = pirn_test::ReadAll(out + "/Text/Same");
    EXPECT_EQ(ReadU32(first, 40), Code("aa01"));
    EXPECT_EQ(ReadU32(first, 44), 64u);
    EXPECT_EQ(ReadU16(first, 56), 3);
    EXPECT_EQ(std::string(first.begin() + 64, first.end()), "first");
    EXPECT_EQ(pirn_test::ReadAll(out + "/Text/Same 2").size(), 64u + 6);
    EXPECT_TRUE(log.Contains("'" + out + "/Text/Same' already exists; 'Same' was unpacked as '" + out +
                             "/Text/Same 2'"));
    EXPECT_EQ(CountTagSources(FindTagEntry(kTextGroup, Code("aa01"))), 1u) << "the catalogue is not changed";

    std::filesystem::remove(archive->path);
    EXPECT_EQ(DisassembleArchive(archive, Game() + "out2"), 0);
    EXPECT_FALSE(PathExists(Game() + "out2", kPathAnyKind));
}

// Unpacking never replaces a file: not a stranger's file in the chosen
// folder, not another tag's saved file in the local folder, not even one
// open in an editor. Each entry that finds its name taken gets the next
// free one, and a line that brings the log forward says which.
TEST_F(TagOperationsTest, DisassembleArchiveNeverReplacesAFile) {
    TagEntry* open = NewSavedTag("Same", "saved by the user");
    ASSERT_TRUE(open);
    int editor = 0;
    AttachToTag(open, kAttachEditor, &editor);
    const std::vector<u8> saved = pirn_test::ReadAll(Local() + "Text/Same");
    pirn_test::WriteAll(Game() + "out/Text/Same", std::string("a stranger's file"));
    pirn_test::WriteAll(Game() + "out/Text/Same 2", std::string("another one"));
    Archive* archive = AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n",
                                                                   {Tag{kTextGroup, Code("aa01"), "Same", Data("first")},
                                                                    Tag{kTextGroup, Code("aa02"), "Same", Data("second")}}));
    ASSERT_TRUE(archive);

    struct Case {
        std::string destination;
        std::vector<std::string> files;  // under destination/Text, after the unpack
        std::string first_free;          // where aa01 lands
        std::string second_free;         // where aa02 lands
    } cases[] = {
        {Game() + "out/", {"Same", "Same 2", "Same 3", "Same 4"}, "Same 3", "Same 4"},
        {Local(), {"Same", "Same 2", "Same 3"}, "Same 2", "Same 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        ScopedLogCapture log;
        ASSERT_EQ(DisassembleArchive(archive, c.destination), 1);
        std::vector<std::string> expected;
        for (const std::string& name : c.files) expected.push_back("Text/" + name);
        EXPECT_EQ(FilesUnder(c.destination), expected);
        std::vector<u8> first = pirn_test::ReadAll(c.destination + "Text/" + c.first_free);
        std::vector<u8> second = pirn_test::ReadAll(c.destination + "Text/" + c.second_free);
        ASSERT_EQ(first.size(), 64u + 5);
        EXPECT_EQ(ReadU32(first, 40), Code("aa01"));
        EXPECT_EQ(ReadU32(second, 40), Code("aa02"));
        size_t renamed = 0;
        for (const LoggedMessage& m : log.messages()) {
            if (m.text.find("already exists; 'Same' was unpacked as") == std::string::npos) continue;
            EXPECT_EQ(m.topic, "Codex");
            EXPECT_EQ(m.level, 1);
            ++renamed;
        }
        EXPECT_EQ(renamed, 2u);
        EXPECT_TRUE(log.Contains("'" + c.destination + "Text/Same' already exists; 'Same' was unpacked as '" +
                                 c.destination + "Text/" + c.first_free + "'"));
    }
    EXPECT_EQ(pirn_test::ReadAll(Game() + "out/Text/Same"), Data("a stranger's file"));
    EXPECT_EQ(pirn_test::ReadAll(Game() + "out/Text/Same 2"), Data("another one"));
    EXPECT_EQ(pirn_test::ReadAll(Local() + "Text/Same"), saved);
    DetachFromTag(open, kAttachEditor, &editor);
}

// Randomly damaged archives that still open go through the whole catalogue:
// their tags are read, copied into the local folder, unpacked and packed
// into a plugin; every file stays inside the game folder and nothing reads
// past an archive (the sanitizer run watches).
TEST_F(TagOperationsTest, RandomlyDamagedArchivesAreSafeToUse) {
    std::vector<Tag> tags = {Tag{kTextGroup, Code("fz01"), "Fuzz", Data("fuzzed data")},
                             Tag{Code("mesh"), Code("fz02"), "Mesh", Data("mesh data")},
                             Tag{Code("soun"), Code("fz03"), "..", Data("")}};
    const std::vector<u8> original = ArchiveBytes(3, 0, "n", tags);
    std::mt19937 random(4321);
    int used = 0;
    for (int round = 0; round < 60; ++round) {
        std::vector<u8> bytes = original;
        // Damage the directory and the names most of the time: the header
        // checks refuse most other damage.
        size_t from = round % 3 ? 128 + 112 : 0;
        for (int hits = 1 + random() % 4; hits > 0; --hits)
            bytes[from + random() % (bytes.size() - from)] = u8(random());
        std::filesystem::remove_all(Game());
        Archive* archive = AddArchiveBytes("tags/fuzz", bytes);
        SetLocalFolder(Local());
        if (!archive) continue;
        ++used;
        SetDefaultWorkingSet();
        TagList all;
        ListAllTags(all);
        for (TagEntry* tag : all) {
            Read(tag);
            CopyTagToLocal(tag);
        }
        DisassembleArchive(archive, Game() + "out");
        all.clear();
        ListArchiveTags(archive, all);
        DropUnavailableTags(all);
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        BuildPluginFileInFolder(Game() + "plugins", all, 6, "fuzz", "", 1);
        for (const std::string& name : FilesUnder(dir.path()))
            EXPECT_TRUE(name.rfind("local/", 0) == 0 || name.rfind("out/", 0) == 0 || name == "tags/fuzz" ||
                        name == "plugins/fuzz")
                << name << " in round " << round;
        ASSERT_EQ(UnloadCodex(), 1);
    }
    EXPECT_GT(used, 20);
}

// Tag operations mixed with files written and removed by another program:
// after every forced poll each id held by a file of the folder is a local
// tag whose copy is one of those files, and each local copy's file holds
// its tag.
TEST_F(TagOperationsTest, RandomOperationsAndOutsideChangesKeepTheCatalogueInStep) {
    const char* names[] = {"Amber", "Birch", "Cedar", "Dune"};
    // One id that an active archive also holds, so removals send 2 there.
    AddArchiveBytes("tags/found", ArchiveBytes(3, 0, "n", {Tag{kTextGroup, Code("ot01"), "Archived", Data("a")}}));
    SetDefaultWorkingSet();
    int editor = 0;
    std::set<u32> in_use;  // ids of the entries an editor is open on
    std::mt19937 random(2024);
    for (int step = 0; step < 300; ++step) {
        std::string name = names[random() % 4];
        TagList local;
        ListLocalTags(local);
        TagEntry* some = local.empty() ? nullptr : local[random() % local.size()];
        switch (random() % 8) {
            case 0: {  // another program writes a file
                u32 id = Code("ot00") + random() % 3;
                WriteLocal("Text", name, TagFile(Tag{kTextGroup, id, name, Data("outside")}));
                break;
            }
            case 1:
                std::remove((Local() + "Text/" + name).c_str());
                break;
            case 2: {
                TagHeader header{};
                TagEntry* tag = CreateTag(kTextGroup, kNoTagId, name.c_str(), &header, random() % 2);
                if (tag) Save(tag, &header, "created");
                break;
            }
            case 3:
                if (some) {
                    TagHeader header{};
                    GetTagHeader(some, &header);
                    Save(some, &header, std::string(1 + random() % 5, 's'), random() % 4 != 0);
                }
                break;
            case 4:
                if (some) DeleteTag(some);
                break;
            case 5:
                if (some) ChangeTagInfo(some, kKeepTagId, name.c_str());
                break;
            case 6:
                if (some) ChangeTagInfo(some, Code("nw00") + random() % 3, nullptr);
                break;
            case 7:  // an editor opens or closes
                if (some && in_use.erase(some->tag_id)) {
                    DetachFromTag(some, kAttachEditor, &editor);
                } else if (some) {
                    AttachToTag(some, kAttachEditor, &editor);
                    in_use.insert(some->tag_id);
                }
                break;
        }
        PollLocalFolder(true);

        std::map<u32, std::set<std::string>> holders;
        for (const std::string& file : FilesUnder(Local() + "Text")) {
            std::vector<u8> bytes = pirn_test::ReadAll(Local() + "Text/" + file);
            ASSERT_GE(bytes.size(), 64u) << file << " at step " << step;
            holders[ReadU32(bytes, 40)].insert(file);
        }
        for (const auto& held : holders) {
            TagEntry* tag = FindTag(kTextGroup, held.first);
            ASSERT_TRUE(tag && tag->local_source) << FourCCToText(held.first) << " at step " << step;
            EXPECT_TRUE(held.second.count(tag->local_source->file_name)) << "step " << step;
        }
        local.clear();
        ListLocalTags(local);
        for (TagEntry* tag : local)
            EXPECT_TRUE(holders[tag->tag_id].count(tag->local_source->file_name))
                << FourCCToText(tag->tag_id) << " at step " << step;
        EXPECT_TRUE(FindTag(kTextGroup, Code("ot01"))) << "the archive copy stays at step " << step;
    }
    // Close every editor so that the catalogue can be unloaded.
    for (u32 id : in_use) DetachFromTag(FindTagEntry(kTextGroup, id), kAttachEditor, &editor);
}

}  // namespace
