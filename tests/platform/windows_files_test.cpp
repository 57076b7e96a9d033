// What the file layer does on Windows that Linux has no counterpart for:
// UTF-16 names, the attribute and time records, MoveFileExW's two kinds of
// rename and GetLastError turned into errno.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/windows_files.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

using pirn_test::TempDir;

// "Zürich Straße 東京" as UTF-8 and as the UTF-16 Windows must see.
const char kUtf8Name[] = "Z\xC3\xBCrich Stra\xC3\x9F" "e \xE6\x9D\xB1\xE4\xBA\xAC";
const wchar_t kWideName[] = L"Z\u00FCrich Stra\u00DFe \u6771\u4EAC";

std::wstring WideFolder(const TempDir& dir) { return WidePath(dir.path()) + L"/"; }

TEST(WindowsFiles, NonAsciiNamesReachWindowsAsUtf16AndComeBackAsUtf8) {
    TempDir dir;
    const std::string folder = dir.file(kUtf8Name);
    ASSERT_TRUE(MakeDirectory(folder + "/inner"));
    const std::string file = folder + "/" + kUtf8Name + ".tag";
    ASSERT_TRUE(WriteFileSafely(file, std::string("bytes")));

    // Windows holds the names as the UTF-16 text, not as code-page guesses.
    const std::wstring wide_file = WideFolder(dir) + kWideName + L"/" + kWideName + L".tag";
    EXPECT_NE(GetFileAttributesW(wide_file.c_str()), INVALID_FILE_ATTRIBUTES);

    std::vector<u8> bytes;
    ASSERT_TRUE(ReadFileBytes(file, bytes, false));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "bytes");
    FileInfo info;
    ASSERT_TRUE(StatPath(&info, file));
    EXPECT_EQ(info.size, 5u);

    std::vector<std::string> names;
    ListDirectoryFiles(folder, names, false, false);
    EXPECT_EQ(names, std::vector<std::string>{std::string(kUtf8Name) + ".tag"});

    const size_t depth = DirectoryStackDepth();
    ASSERT_TRUE(PushDirectory(folder + "/inner"));
    EXPECT_TRUE(PathExists("../" + std::string(kUtf8Name) + ".tag", kPathIsFile));
    EXPECT_TRUE(PopDirectory());
    EXPECT_EQ(DirectoryStackDepth(), depth > 0 ? depth : 1u);
}

// Names that are not UTF-8: tag names in the program's 8-bit set ("Caf\x8E"
// is "Café" there), cut or overlong sequences, an encoded surrogate, and the
// UTF-8 form of a character the escapes use.
TEST(WindowsFiles, NamesThatAreNotUtf8SurviveTheTripAndStayApart) {
    const std::string names[] = {"Caf\x8E", "or\x9C\x95", "or\x9D\x95", "cut \xE6\x9D", "over\xC0\xAF",
                                 "sur\xED\xA0\x80", "\xF5\xFF", "pua \xEF\x9E\x80", "mixed \xC3\xBC\xFC \xF0\x9F\x98\x80"};
    TempDir dir;
    std::vector<std::wstring> wides;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::wstring wide = WidePath(name);
        EXPECT_EQ(Utf8FromWide(wide.c_str()), name);
        wides.push_back(wide);
        ASSERT_TRUE(WriteFileSafely(dir.file(name), name));
    }
    // "\xC3\xBC" is UTF-8 and reaches Windows as the letter; the lone 0xFC
    // beside it as its escape.
    EXPECT_EQ(wides.back(), std::wstring(L"mixed \u00FC\uF7FC \U0001F600"));
    EXPECT_EQ(Utf8FromWide(L"pua \uF780"), "pua \x80");
    for (size_t i = 0; i < wides.size(); ++i)
        for (size_t j = i + 1; j < wides.size(); ++j) EXPECT_NE(wides[i], wides[j]) << i << " " << j;

    // One file per name, each read back by the name it was written under.
    std::vector<std::string> listed;
    ListDirectoryFiles(dir.path(), listed, false, false);
    std::vector<std::string> expected(std::begin(names), std::end(names));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (const std::string& name : names) {
        std::vector<u8> bytes;
        ASSERT_TRUE(ReadFileBytes(dir.file(name), bytes, false)) << name;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), name);
    }

    // A lone surrogate another program left in a name has no UTF-8 form.
    const wchar_t lone[] = {L'a', wchar_t(0xD800), L'b', 0};
    EXPECT_EQ(Utf8FromWide(lone), "a\xEF\xBF\xBD" "b");
}

TEST(WindowsFiles, RenamesReplaceOrRefuseAsAsked) {
    TempDir dir;
    pirn_test::WriteAll(dir.file("new"), std::string("new"));
    pirn_test::WriteAll(dir.file("old"), std::string("old"));

    errno = 0;
    EXPECT_FALSE(RenameFileNoReplace(dir.file("new"), dir.file("old")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(pirn_test::ReadAll(dir.file("old")), (std::vector<uint8_t>{'o', 'l', 'd'}));

    // rename() would refuse here on Windows; the replacing rename must not.
    EXPECT_TRUE(RenameFile(dir.file("new"), dir.file("old")));
    EXPECT_EQ(pirn_test::ReadAll(dir.file("old")), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_FALSE(pirn_test::Exists(dir.file("new")));

    errno = 0;
    EXPECT_FALSE(RenameFile(dir.file("missing"), dir.file("old")));
    EXPECT_EQ(errno, ENOENT);
}

TEST(WindowsFiles, StatusComesFromAttributesAndFileTimes) {
    TempDir dir;
    const std::string path = dir.file("dated");
    pirn_test::WriteAll(path, std::string(1000, 'x'));
    const std::wstring wide = WidePath(path);

    // 2021-03-04 05:06:07.1234567 UTC in 100 ns ticks since 1601.
    const u64 ticks = 132593079671234567ULL;
    FILETIME when{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE handle = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &when));
    CloseHandle(handle);

    FileInfo info;
    ASSERT_TRUE(StatPath(&info, path));
    EXPECT_EQ(info.size, 1000u);
    EXPECT_EQ(info.modification_time, 1614834367);
    EXPECT_EQ(info.modification_nanoseconds, 123456700u);
    EXPECT_EQ(info.flags, u32{kFileReadable | kFileWritable});
    EXPECT_NE(info.inode, 0u);

    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(StatPath(&info, path));
    EXPECT_EQ(info.flags, u32{kFileReadable});
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));

    // The listing gives the same record, less the identity of files.
    std::vector<std::string> seen;
    WalkDirectory(
        dir.path(), false,
        [&](const FileInfo& listed, const std::string&, const std::string& name) {
            seen.push_back(name);
            EXPECT_EQ(listed.size, 1000u);
            EXPECT_EQ(listed.modification_time, 1614834367);
            EXPECT_EQ(listed.modification_nanoseconds, 123456700u);
            return true;
        },
        nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"dated"});

    ASSERT_TRUE(StatPath(&info, dir.path() + "/"));
    EXPECT_EQ(info.flags, u32{kFileReadable | kFileWritable | kFileIsFolder});
    EXPECT_EQ(info.size, 0u);
}

TEST(WindowsFiles, ASavedFileIsAnotherFileToTheWatcher) {
    TempDir dir;
    const std::string path = dir.file("prefs.txt");
    ASSERT_TRUE(WriteFileSafely(path, std::string("one")));
    FileInfo before;
    ASSERT_TRUE(StatPath(&before, path));
    ASSERT_TRUE(WriteFileSafely(path, std::string("two")));
    FileInfo after;
    ASSERT_TRUE(StatPath(&after, path));
    EXPECT_EQ(after.device, before.device);
    EXPECT_NE(after.inode, before.inode);
    EXPECT_FALSE(SameFileState(before, after));
}

TEST(WindowsFiles, WindowsErrorsBecomeTheErrnoCallersReport) {
    const struct {
        DWORD error;
        int expected;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT},  {ERROR_ALREADY_EXISTS, EEXIST},
        {ERROR_FILE_EXISTS, EEXIST},    {ERROR_ACCESS_DENIED, EACCES},   {ERROR_SHARING_VIOLATION, EACCES},
        {ERROR_DISK_FULL, ENOSPC},      {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_NOT_SAME_DEVICE, EXDEV},
        {ERROR_SUCCESS, 0},             {ERROR_CRC, EIO},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrnoFromWindowsError(c.error), c.expected) << c.error;
}

TEST(WindowsFiles, SyncFlushesThroughToTheFile) {
    TempDir dir;
    std::FILE* stream = OpenFileStream(dir.file("synced"), "wb");
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(std::fwrite("abc", 1, 3, stream), 3u);
    EXPECT_TRUE(SyncStream(stream));
    FileInfo info;
    ASSERT_TRUE(StatPath(&info, dir.file("synced")));
    EXPECT_EQ(info.size, 3u);
    EXPECT_TRUE(CloseFileStream(stream));
}

}  // namespace
}  // namespace pirn

#endif  // _WIN32
