#include "platform/safe_file_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

struct NameCase {
    std::string name;
    bool ok;
    std::string safe;
};

const NameCase kNames[] = {
    // Ordinary names keep every byte: existing files must still be found.
    {"Gate House", true, "Gate House"},
    {"walk01.png", true, "walk01.png"},
    {"a.b.c", true, "a.b.c"},
    {"  lead", true, "  lead"},
    {"l\xC3\xA4ufer", true, "l\xC3\xA4ufer"},
    {"CONSOLE", true, "CONSOLE"},
    {"COM10", true, "COM10"},
    {"LPT", true, "LPT"},
    {"AUXILIARY.txt", true, "AUXILIARY.txt"},
    {"NULL", true, "NULL"},
    {"con_", true, "con_"},
    {"x.CON", true, "x.CON"},
    {"_CON", true, "_CON"},
    // Device names, in any case, with or without an extension.
    {"CON", true, "_CON"},
    {"con", true, "_con"},
    {"Prn", true, "_Prn"},
    {"AUX", true, "_AUX"},
    {"Nul.txt", true, "_Nul.txt"},
    {"aux.tar.gz", true, "_aux.tar.gz"},
    {"COM1", true, "_COM1"},
    {"com9.wav", true, "_com9.wav"},
    {"COM0", true, "_COM0"},
    {"LPT1", true, "_LPT1"},
    {"lpt9.lwo", true, "_lpt9.lwo"},
    {"COM\xC2\xB9", true, "_COM\xC2\xB9"},
    {"lpt\xC2\xB3.png", true, "_lpt\xC2\xB3.png"},
    {"CONIN$", true, "_CONIN$"},
    {"conout$.log", true, "_conout$.log"},
    {"CON .txt", true, "_CON .txt"},
    {"PRN. . ", true, "_PRN"},
    {"nul:", true, "nul_"},  // "nul:" would open the device; "nul_" is a name
    // Characters a Windows disk cannot hold, and names that end in full
    // stops or spaces.
    {"a:b", true, "a_b"},
    {"a/b\\c", true, "a_b_c"},
    {"<>*?|\"", true, "______"},
    {"tab\there", true, "tab_here"},
    {"del\x7F", true, "del_"},
    {"walk:1. ", true, "walk_1"},
    {"name. . ", true, "name"},
    {"../etc/passwd", true, ".._etc_passwd"},
    // Nothing left.
    {"", false, ""},
    {".", false, ""},
    {"..", false, ""},
    {" . ", false, ""},
};

TEST(SafeFileName, NamesAndTheirSafeForms) {
    for (const NameCase& c : kNames) {
        std::string out = "stale";
        EXPECT_EQ(MakeSafeFileName(c.name, &out), c.ok) << "'" << c.name << "'";
        EXPECT_EQ(out, c.safe) << "'" << c.name << "'";
        EXPECT_EQ(SafeFileName(c.name), c.safe);
        // A safe name is its own safe form, so that a name read back from
        // the disk maps to the same file again.
        if (c.ok) {
            EXPECT_EQ(SafeFileName(c.safe), c.safe) << "'" << c.name << "'";
        }
        EXPECT_FALSE(IsWindowsDeviceName(c.safe)) << "'" << c.name << "'";
    }
}

// Every safe form names a plain file of the folder, with its own bytes. On
// Windows a device name opens the device instead: the bytes go nowhere and
// no file appears.
TEST(SafeFileName, SafeNamesAreFilesOnDisk) {
    pirn_test::TempDir dir;
    std::vector<std::string> expected;
    for (const NameCase& c : kNames) {
        if (!c.ok || std::find(expected.begin(), expected.end(), c.safe) != expected.end()) continue;
        // Folders on a disk that ignores case hold one of "con" and "CON".
        bool same_but_case = false;
        for (const std::string& e : expected)
            same_but_case |= e.size() == c.safe.size() &&
                             std::equal(e.begin(), e.end(), c.safe.begin(), [](char a, char b) {
                                 return std::tolower(static_cast<unsigned char>(a)) ==
                                        std::tolower(static_cast<unsigned char>(b));
                             });
        if (same_but_case) continue;
        // Written under what the rule makes of the name, found under the
        // safe form the table expects.
        WriteFileSafely(dir.path() + "/" + SafeFileName(c.name), "bytes of " + c.safe);
        expected.push_back(c.safe);
    }
    std::vector<std::string> listed;
    ListDirectoryFiles(dir.path(), listed, false, false);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (const std::string& name : expected) {
        std::string text;
        ASSERT_TRUE(ReadFileText(dir.path() + "/" + name, &text)) << name;
        EXPECT_EQ(text, "bytes of " + name);
    }
}

}  // namespace

// Whatever made the name (a texture named in a model's data, a path typed
// by hand), no open reaches a device on Windows: no file can have such a
// name there, so none is opened. Elsewhere these are ordinary files.
TEST(SafeFileName, OpeningADeviceNameOpensNoDevice) {
    pirn_test::TempDir dir;
    for (const char* name : {"NUL", "con.txt", "COM1", "lpt1.png", "aux"}) {
        const std::string path = dir.path() + "/" + name;
        std::FILE* written = OpenFileStream(path, "wb");
        std::FILE* read = OpenFileStream(path, "rb");
#ifdef _WIN32
        EXPECT_EQ(written, nullptr) << name;
        EXPECT_EQ(read, nullptr) << name;
#else
        EXPECT_NE(written, nullptr) << name;
        EXPECT_NE(read, nullptr) << name;
#endif
        if (written) CloseFileStream(written);
        if (read) CloseFileStream(read);
    }
}
