#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/scratch_stream.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

using pirn_test::Exists;
using pirn_test::ReadAll;
using pirn_test::TempDir;
using pirn_test::WriteAll;

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WalkDirectory(
        folder, false,
        [&](const FileInfo&, const std::string&, const std::string& name) {
            names.push_back(name);
            return true;
        },
        [&](const FileInfo&, const std::string&, const std::string& name) {
            names.push_back(name + "/");
            return true;
        });
    std::sort(names.begin(), names.end());
    return names;
}

// Every name, hidden ones included, straight from the system.
std::vector<std::string> RawNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(folder), error))
        names.push_back(item.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileSystemStatus, StatPathReportsKindSizeAndTimes) {
    TempDir dir;
    WriteAll(dir.file("a.bin"), std::string(1234, 'x'));
    FileInfo info;
    ASSERT_TRUE(StatPath(&info, dir.file("a.bin")));
    EXPECT_EQ(info.size, 1234u);
    EXPECT_FALSE(info.IsFolder());
    EXPECT_NE(info.flags & kFileReadable, 0u);
    EXPECT_GT(info.modification_time, 0);

    ASSERT_TRUE(StatPath(&info, dir.path() + "/"));
    EXPECT_TRUE(info.IsFolder());

    info.size = 77;
    EXPECT_FALSE(StatPath(&info, dir.file("missing")));
    EXPECT_EQ(info.size, 0u);
    EXPECT_EQ(info.flags, 0u);
    EXPECT_EQ(info.modification_time, 0);
}

TEST(FileSystemStatus, SizesPast4GiBAreKept) {
    TempDir dir;
    std::string path = dir.file("big.bin");
    WriteAll(path, std::string());
    const u64 size = (u64{5} << 30) + 3;  // sparse: takes no disk space
    std::error_code error;
    std::filesystem::resize_file(std::filesystem::u8path(path), size, error);
    ASSERT_FALSE(error) << error.message();
    FileInfo info;
    ASSERT_TRUE(StatPath(&info, path));
    EXPECT_EQ(info.size, size);
}

TEST(FileSystemStatus, StatStreamGivesAccessAndSizeOnly) {
    TempDir dir;
    WriteAll(dir.file("s.txt"), std::string("hello"));
    std::FILE* f = std::fopen(dir.file("s.txt").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    FileInfo info;
    ASSERT_TRUE(StatStream(&info, f));
    EXPECT_EQ(info.flags, static_cast<u32>(kFileReadable));
    EXPECT_EQ(info.size, 5u);
    EXPECT_EQ(info.modification_time, 0);
    std::fclose(f);
}

TEST(FileSystemStatus, SameFileStateIgnoresAccessTimeOnly) {
    FileInfo a;
    a.size = 10;
    a.modification_time = 100;
    FileInfo b = a;
    b.access_time = 999;
    EXPECT_TRUE(SameFileState(a, b));
    b = a;
    b.modification_nanoseconds = 1;
    EXPECT_FALSE(SameFileState(a, b));
    b = a;
    b.status_change_nanoseconds = 1;
    EXPECT_FALSE(SameFileState(a, b));
    b = a;
    b.flags = kFileIsFolder;
    EXPECT_FALSE(SameFileState(a, b));
    // A file saved through a temporary file is another file, even when size
    // and times (coarse on many systems) come out the same.
    b = a;
    b.inode = a.inode + 1;
    EXPECT_FALSE(SameFileState(a, b));
    b = a;
    b.device = a.device + 1;
    EXPECT_FALSE(SameFileState(a, b));
}

TEST(FileSystemStatus, FileReplacedThroughARenameIsAnotherFile) {
    TempDir dir;
    WriteAll(dir.file("tag"), std::string("abcd"));
    WriteAll(dir.file("tmp"), std::string("wxyz"));
    FileInfo before, after;
    ASSERT_TRUE(StatPath(&before, dir.file("tag")));
    ASSERT_TRUE(RenameFile(dir.file("tmp"), dir.file("tag")));
    ASSERT_TRUE(StatPath(&after, dir.file("tag")));
    EXPECT_NE(before.inode, 0u);
    EXPECT_NE(before.inode, after.inode);
    EXPECT_EQ(before.device, after.device);
}

TEST(FileSystemStatus, PathExistsByKind) {
    TempDir dir;
    WriteAll(dir.file("f"), std::string("x"));
#ifdef _WIN32
    const std::string odd = "what is";  // '?' is no name character on Windows
#else
    const std::string odd = "what?";  // legal here: not mangled
#endif
    WriteAll(dir.file(odd + "/inner"), std::string("x"));
    struct Case {
        std::string path;
        int kind;
        bool expected;
    } cases[] = {
        {dir.file("f"), kPathIsFile, true},       {dir.file("f"), kPathIsFolder, false},
        {dir.file("f"), kPathAnyKind, true},      {dir.path(), kPathIsFolder, true},
        {dir.path() + "/", kPathIsFolder, true},  {dir.path(), kPathIsFile, false},
        {dir.file(odd), kPathIsFolder, true}, {dir.file("nope"), kPathAnyKind, false},
        {"", kPathAnyKind, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathExists(c.path, c.kind), c.expected) << c.path << " kind " << c.kind;
    }
}

TEST(FileSystemStatus, MakeDirectoryCreatesParentsAndRefusesFiles) {
    TempDir dir;
    EXPECT_TRUE(MakeDirectory(dir.file("a/b/c/")));
    EXPECT_TRUE(PathExists(dir.file("a/b/c"), kPathIsFolder));
    EXPECT_TRUE(MakeDirectory(dir.file("a/b")));  // already there

    WriteAll(dir.file("plain"), std::string("keep"));
    EXPECT_FALSE(MakeDirectory(dir.file("plain")));
    EXPECT_FALSE(MakeDirectory(dir.file("plain/sub")));
    EXPECT_EQ(ReadText(dir.file("plain")), "keep");
    EXPECT_FALSE(MakeDirectory(""));
}

TEST(FileSystemPaths, NormalizeDirectoryPath) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\\b?c", "a/b_c/"}, {"x/", "x/"}, {"*<>|", "____/"}, {"", ""}, {"/", "/"},
    };
    for (const Case& c : cases) {
        std::string path = c.in;
        NormalizeDirectoryPath(path);
        EXPECT_EQ(path, c.out) << c.in;
    }
    EXPECT_EQ(EnsureTrailingSlash("a\\b?c"), "a/b?c/");
}

TEST(FileSystemPaths, FileNamesAndSplits) {
    EXPECT_EQ(PathFileName("a/b/c.tar.gz", false), "c.tar.gz");
    EXPECT_EQ(PathFileName("a/b/c.tar.gz", true), "c.tar");
    EXPECT_EQ(PathFileName("a\\b\\pic.bmp", true), "pic");
    EXPECT_EQ(PathFileName("C:pic.bmp", false), "pic.bmp");
    EXPECT_EQ(PathFileName("dir.d/noext", true), "noext");

    struct Case {
        const char* path;
        const char* folder;
        const char* base;
        const char* extension;
    } cases[] = {
        {"a/b/c.txt", "a/b/", "c", ".txt"},
        {"c.txt", "-", "c", ".txt"},
        {"a.d/file", "a.d/", "file", "-"},
        {"dir/", "dir/", "-", "-"},
        {"x\\y.z", "x\\", "y", ".z"},
    };
    for (const Case& c : cases) {
        std::string folder = "-", base = "-", extension = "-";  // untouched when empty
        SplitPath(c.path, &folder, &base, &extension);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(base, c.base) << c.path;
        EXPECT_EQ(extension, c.extension) << c.path;
    }

    char folder[4] = "?", base[16] = "?", extension[16] = "?";
    SplitPathChars("long/name.ext", folder, sizeof folder, base, sizeof base, nullptr, 0);
    EXPECT_STREQ(folder, "lon");  // cut to fit, NUL-terminated
    EXPECT_STREQ(base, "name");
    EXPECT_STREQ(extension, "?");

    std::string first, second;
    SplitPathInTwo("a/b.c/d.e", kSplitFolderAndFileName, &first, &second);
    EXPECT_EQ(first + "|" + second, "a/b.c/|d.e");
    SplitPathInTwo("a/b.c/d.e", kSplitStemAndExtension, &first, &second);
    EXPECT_EQ(first + "|" + second, "a/b.c/d|.e");
    SplitPathInTwo("a/b.c/d", kSplitStemAndExtension, &first, &second);
    EXPECT_EQ(first + "|" + second, "a/b.c/d|");
}

TEST(FileSystemPaths, ExtensionsAndSearches) {
    std::string path = "Pic.PNG";
    EXPECT_FALSE(StripExtension(path, "bmp"));
    EXPECT_TRUE(StripExtension(path, "png"));
    EXPECT_EQ(path, "Pic");
    path = "a.b/c";
    EXPECT_FALSE(StripExtension(path));  // a dot in a folder name is not an extension
    EXPECT_EQ(path, "a.b/c");
    path = "x.tif";
    EXPECT_TRUE(StripExtension(path, ".TIF"));
    EXPECT_EQ(path, "x");

    std::string text = "abc";
    AppendIfMissing(text, "b");
    EXPECT_EQ(text, "abc");
    AppendIfMissing(text, ";");
    EXPECT_EQ(text, "abc;");

    std::string save = "x.pngs/pic";
    AppendExtensionIfMissing(save, ".png");
    EXPECT_EQ(save, "x.pngs/pic.png");
    save = "out/IMG.PNG";
    AppendExtensionIfMissing(save, ".png");
    EXPECT_EQ(save, "out/IMG.PNG");

    EXPECT_EQ(FindLastChar("a/b/c", '/'), 3u);
    EXPECT_EQ(FindLastChar("a/b/c", '/', 2), 1u);
    EXPECT_EQ(FindLastChar("abc", '/'), std::string::npos);
    EXPECT_EQ(FindLastChar("", '/'), std::string::npos);
}

TEST(FileSystemWalk, VisitsFilesAndFoldersAndSkipsClutter) {
    TempDir dir;
    for (const char* name : {"a.txt", "sub/b.txt", "sub/deeper/c.txt", "Thumbs.db", ".DS_Store",
                             "sub/DESKTOP.INI", ".a.txt.pirn-tmp-1-2-0"}) {
        WriteAll(dir.file(name), std::string("x"));
    }
    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"a.txt", "sub/"}));

    std::vector<std::string> files;
    EXPECT_EQ(ListDirectoryFiles(dir.path(), files, true, false), 3u);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));

    std::vector<std::string> with_folder{"kept"};  // appended to, not emptied
    ListDirectoryFiles(dir.path() + "/sub", with_folder, false, true);
    EXPECT_EQ(with_folder, (std::vector<std::string>{"kept", dir.path() + "/sub/b.txt"}));
}

TEST(FileSystemWalk, CallbackStopsOuterLevelsToo) {
    TempDir dir;
    WriteAll(dir.file("sub/x1"), std::string("x"));
    WriteAll(dir.file("sub/x2"), std::string("x"));
    for (int i = 0; i < 5; ++i) WriteAll(dir.file("top" + std::to_string(i)), std::string("x"));
    int files_seen = 0;
    bool finished = WalkDirectory(
        dir.path(), true,
        [&](const FileInfo&, const std::string& folder, const std::string&) {
            ++files_seen;
            return folder.find("/sub/") == std::string::npos;  // stop inside sub
        },
        nullptr);
    EXPECT_FALSE(finished);
    EXPECT_LE(files_seen, 6);  // stopped at the first file of sub, nothing after it

    EXPECT_TRUE(WalkDirectory(dir.file("missing"), true, nullptr, nullptr));  // counts as empty
}

// Making symbolic links takes a privilege on Windows.
#ifndef _WIN32
TEST(FileSystemWalk, LinkLoopIsNotFollowedForever) {
    TempDir dir;
    WriteAll(dir.file("a/f"), std::string("x"));
    ASSERT_EQ(symlink(dir.path().c_str(), dir.file("a/up").c_str()), 0);
    std::vector<std::string> folders;
    std::vector<std::string> files;
    WalkDirectory(
        dir.path(), true,
        [&](const FileInfo&, const std::string& folder, const std::string& name) {
            files.push_back(folder + name);
            return true;
        },
        [&](const FileInfo&, const std::string& folder, const std::string& name) {
            folders.push_back(folder + name);
            return true;
        });
    // The link is reported as a folder but not entered: it leads back to the top.
    EXPECT_EQ(files, (std::vector<std::string>{dir.path() + "/a/f"}));
    EXPECT_EQ(folders.size(), 2u);
}
#endif

TEST(FileSystemFiles, WholeFileReads) {
    TempDir dir;
    WriteAll(dir.file("empty"), std::string());
    WriteAll(dir.file("data"), std::vector<uint8_t>{1, 0, 2});
    std::vector<u8> bytes{9, 9};
    ASSERT_TRUE(ReadFileBytes(dir.file("empty"), bytes, false));
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(ReadFileBytes(dir.file("data"), bytes, true));
    EXPECT_EQ(bytes, (std::vector<u8>{1, 0, 2, 0}));
    EXPECT_FALSE(ReadFileBytes(dir.file("missing"), bytes, false));
    EXPECT_FALSE(ReadFileBytes(dir.path(), bytes, false));

    std::string text;
    ASSERT_TRUE(ReadFileText(dir.file("data"), &text));
    EXPECT_EQ(text, std::string("\1\0\2", 3));

    std::FILE* f = nullptr;
    EXPECT_TRUE(ReopenFile(&f, dir.file("data"), "rb"));
    EXPECT_FALSE(ReopenFile(&f, dir.file("missing"), "rb"));
    EXPECT_EQ(f, nullptr);
}

TEST(FileSystemRle, EncodesRunsOfAtMost256) {
    std::vector<u8> source(300, 7);
    source.push_back(1);
    source.push_back(1);
    source.push_back(2);
    std::vector<u8> encoded;
    EncodeRleBytes(source.data(), source.size(), encoded);
    EXPECT_EQ(encoded, (std::vector<u8>{7, 255, 7, 43, 1, 1, 2, 0}));

    std::vector<u8> decoded(source.size());
    EXPECT_EQ(DecodeRleBytes(encoded.data(), encoded.size(), decoded.data(), decoded.size()), 8u);
    EXPECT_EQ(decoded, source);
}

// Failure is "consumed nothing" (0) for every helper, as the tag readers
// test it.
TEST(FileSystemRle, DecoderStopsAtNAndAnswersZeroForShortInput) {
    const u8 pairs[] = {5, 9, 6, 0};  // ten 5s, then one 6
    u8 out[4] = {};
    EXPECT_EQ(DecodeRleBytes(pairs, sizeof pairs, out, 4), 2u);  // a run past n fills up to n
    EXPECT_EQ(std::vector<u8>(out, out + 4), (std::vector<u8>{5, 5, 5, 5}));
    u8 more[12];
    EXPECT_EQ(DecodeRleBytes(pairs, sizeof pairs, more, 11), 4u);
    EXPECT_EQ(DecodeRleBytes(pairs, sizeof pairs, more, 12), 0u);
    EXPECT_EQ(DecodeRleBytes(pairs, 3, more, 11), 0u);  // half a pair
    EXPECT_EQ(DecodeRleBytes(pairs, 0, more, 0), 0u);   // an empty block consumes nothing
}

TEST(FileSystemRle, StreamFormsMatchMemoryForms) {
    std::FILE* f = pirn::OpenScratchFile();
    ASSERT_NE(f, nullptr);
    std::vector<u8> source(40, 3);
    source[10] = 4;
    EXPECT_EQ(WriteRleBytes(f, source.data(), source.size()), 6u);
    std::rewind(f);
    std::vector<u8> back(source.size());
    EXPECT_EQ(ReadRleBytes(f, back.data(), back.size()), 6u);
    EXPECT_EQ(back, source);
    EXPECT_EQ(ReadRleBytes(f, back.data(), 1), 0u);  // nothing left
    std::fclose(f);

    // A stream that cannot be written to.
    TempDir dir;
    pirn_test::WriteAll(dir.file("read-only"), std::string("x"));
    std::FILE* read_only = std::fopen(dir.file("read-only").c_str(), "rb");
    ASSERT_NE(read_only, nullptr);
    EXPECT_EQ(WriteRleBytes(read_only, source.data(), source.size()), 0u);
    std::fclose(read_only);
}

TEST(FileSystemDirectories, PushAndPopKeepTheBottomEntry) {
    TempDir dir;
    ASSERT_TRUE(MakeDirectory(dir.file("one/two")));
    const std::string start = pirn_test::CurrentFolder();
    size_t depth = DirectoryStackDepth();

    ASSERT_TRUE(PushDirectory(dir.file("one")));
    ASSERT_TRUE(PushDirectory("two"));  // relative to the new working folder
    EXPECT_TRUE(PathExists(".", kPathIsFolder));
    EXPECT_EQ(PathFileName(pirn_test::CurrentFolder(), false), "two");
    EXPECT_TRUE(PopDirectory());
    EXPECT_TRUE(PopDirectory());
    EXPECT_EQ(pirn_test::CurrentFolder(), start);
    if (depth <= 1) {
        EXPECT_TRUE(PopDirectory());  // only the bottom left: stays there
        EXPECT_EQ(pirn_test::CurrentFolder(), start);
        EXPECT_EQ(DirectoryStackDepth(), 1u);
    }
}

TEST(FileSystemSaving, RenameNoReplaceRefusesAnExistingTarget) {
    TempDir dir;
    WriteAll(dir.file("from"), std::string("new"));
    WriteAll(dir.file("to"), std::string("old"));
    EXPECT_FALSE(RenameNoReplace(dir.file("from"), dir.file("to")));
    EXPECT_EQ(ReadText(dir.file("to")), "old");
    EXPECT_TRUE(Exists(dir.file("from")));
    EXPECT_TRUE(RenameNoReplace(dir.file("from"), dir.file("fresh")));
    EXPECT_EQ(ReadText(dir.file("fresh")), "new");
    EXPECT_FALSE(Exists(dir.file("from")));
}

// Windows files have no mode bits to keep.
#ifndef _WIN32
TEST(FileSystemSaving, CommitReplacesAndKeepsPermissions) {
    TempDir dir;
    std::string target = dir.file("prefs.txt");
    WriteAll(target, std::string("old"));
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    {
        SafeFileWriter out;
        ASSERT_TRUE(out.Open(target));
        ASSERT_TRUE(out.Write("new text", 8));
        EXPECT_EQ(ReadText(target), "old");  // untouched until the commit
        EXPECT_TRUE(out.Commit());
    }
    EXPECT_EQ(ReadText(target), "new text");
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(RawNamesIn(dir.path()), (std::vector<std::string>{"prefs.txt"}));
}
#endif

TEST(FileSystemSaving, AbandonedOrFailedSavesLeaveTheOldFile) {
    TempDir dir;
    std::string target = dir.file("keep.bin");
    WriteAll(target, std::string("precious"));
    {
        SafeFileWriter out;
        ASSERT_TRUE(out.Open(target));
        out.Write("half", 4);
    }  // destroyed without Commit
    EXPECT_EQ(ReadText(target), "precious");

    SafeFileWriter no_replace;
    ASSERT_TRUE(no_replace.Open(target));
    no_replace.Write("other", 5);
    EXPECT_FALSE(no_replace.Commit(false));
    EXPECT_EQ(ReadText(target), "precious");

    // A folder in the way makes the rename fail; the folder stays as it was.
    ASSERT_TRUE(MakeDirectory(dir.file("busy")));
    WriteAll(dir.file("busy/inside"), std::string("x"));
    EXPECT_FALSE(WriteFileSafely(dir.file("busy"), std::string("data")));
    EXPECT_TRUE(Exists(dir.file("busy/inside")));

    EXPECT_FALSE(WriteFileSafely(dir.file("no/such/folder/f"), std::string("data")));
    // Nothing was left behind, not even hidden temporary files.
    EXPECT_EQ(RawNamesIn(dir.path()), (std::vector<std::string>{"busy", "keep.bin"}));
}

TEST(FileSystemSaving, TempNamesAreRecognised) {
    TempDir dir;
    SafeFileWriter out;
    ASSERT_TRUE(out.Open(dir.file("name.tag")));
    EXPECT_TRUE(IsSafeSaveTempName(PathFileName(out.temp_path(), false)));
    EXPECT_TRUE(IsIgnoredFolderEntryName(PathFileName(out.temp_path(), false)));
    EXPECT_FALSE(IsSafeSaveTempName("name.tag"));
    out.Abandon();
    EXPECT_FALSE(Exists(out.temp_path()));
}

// Leftovers of interrupted saves go when their folder is opened again;
// temporary files a save is writing right now, and names that only look
// alike, stay.
TEST(FileSystemSaving, StaleTemporaryFilesAreRemoved) {
    TempDir dir;
    const std::string own = std::to_string(static_cast<long>(getpid()));
    SafeFileWriter busy;  // a save still running in this process
    ASSERT_TRUE(busy.Open(dir.file("busy.bin")));
    struct Case {
        std::string name;
        bool old;  // modified two hours ago
        bool removed;
    };
    const Case cases[] = {
        {".pirn-tmp-2147483647-3-Words", false, true},  // no process has that number
        {".pirn-tmp-" + own + "-99999-Words", false, true},  // ours, but no save holds it
#ifndef _WIN32
        {".pirn-tmp-1-4-Words", false, false},  // process 1 runs
#endif
        {".pirn-tmp-tag-Ab12Cd", true, true},   // an earlier form, old
        {".pirn-tmp-tag-Xy34Zw", false, false},  // an earlier form, recent
        {".Words.pirn-tmp-5-6-0", true, true},
        {"Words", true, false},
        {".hidden", true, false},
        {"pirn-tmp-2147483647-3-Words", false, false},  // not hidden: not ours
    };
    for (const Case& c : cases) {
        WriteAll(dir.file(c.name), std::string("x"));
        if (c.old) {
            pirn_test::AgeFile(dir.file(c.name), 7200);
        }
    }
    EXPECT_EQ(RemoveStaleSafeSaveFiles(dir.path()), 4u);
    for (const Case& c : cases) EXPECT_EQ(Exists(dir.file(c.name)), !c.removed) << c.name;
    EXPECT_TRUE(Exists(busy.temp_path()));
    busy.Write("done", 4);
    EXPECT_TRUE(busy.Commit());
}

// Whatever path opened a folder, the first save of the process into it
// clears what interrupted saves left there (a killed plugin build left its
// temporary file in plugins/ for ever). Folders it does not save into are
// left alone.
TEST(FileSystemSaving, TheFirstSaveIntoAFolderClearsItsLeftovers) {
    TempDir dir;
    const std::string leftover = "/.pirn-tmp-2147483647-1-Addon";  // no process has that number
    for (const char* folder : {"plugins", "elsewhere"}) WriteAll(dir.file(folder + leftover), std::string("x"));
    ASSERT_TRUE(WriteFileSafely(dir.file("plugins/Addon"), std::string("new")));
    EXPECT_FALSE(Exists(dir.file("plugins" + leftover)));
    EXPECT_TRUE(Exists(dir.file("elsewhere" + leftover)));
    std::vector<std::string> files;
    ListDirectoryFiles(dir.file("plugins"), files, false, false);
    EXPECT_EQ(files, std::vector<std::string>{"Addon"});
}

// A failing step of a save is reported with the system's reason, and the
// temporary file lies beside the target.
TEST(FileSystemSaving, FailureReasonNamesTheFailingStep) {
    TempDir dir;
    const std::string target = dir.file("sub/prefs.txt");
    ASSERT_TRUE(MakeDirectory(dir.file("sub")));
    std::vector<std::string> opened;
    int fail_with = ENOSPC;
    FileOp fail_op = FileOp::kWrite;
    SetFileFaultHook([&](FileOp op, const std::string& what, bool) {
        if (op == FileOp::kOpen) opened.push_back(what);
        return op == fail_op ? fail_with : 0;
    });
    SafeFileWriter out;
    ASSERT_TRUE(out.Open(target));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].substr(0, opened[0].rfind('/') + 1), dir.file("sub/"));
    out.Write("text", 4);
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(out.FailureReason(), std::strerror(ENOSPC));

    fail_op = FileOp::kSync;
    fail_with = EIO;
    ASSERT_TRUE(out.Open(target));
    out.Write("text", 4);
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(out.FailureReason(), std::strerror(EIO));
    SetFileFaultHook(nullptr);
    EXPECT_EQ(RawNamesIn(dir.file("sub")), std::vector<std::string>());
}

}  // namespace
}  // namespace pirn
