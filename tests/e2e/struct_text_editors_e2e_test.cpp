// The struct and text editors in the built program on a generated demo
// game: a struct tag opened from the Archive Browser, a number, a tag
// reference and an array element changed with the keyboard and saved with
// Control+S; a text and a string list edited and saved the same way. Each
// time the file on disk holds exactly the bytes worked out here from the
// record layouts, and opening and saving it again changes nothing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"

namespace pirn_test {
namespace {

constexpr size_t kHeaderSize = 64;

class StructTextEditorsE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame();
        if (IsSkipped()) return;
        CopyDefinitions();
    }

    // The definition files the build puts beside the font.
    void CopyDefinitions() {
        DIR* folder = ::opendir((runDir_ + "/res").c_str());
        ASSERT_NE(folder, nullptr);
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
                CopyFile(runDir_ + "/res/" + name, dir_.file("res/" + name));
        }
        ::closedir(folder);
    }

    // Opens a tag from the browser's tree: its group by name, the tag row,
    // Return.
    void OpenTag(const std::string& window, const std::string& group, const std::string& name) {
        FindTag(window, group, name);
        ASSERT_TRUE(Keys(window, {"Return"}));
        SleepSeconds(1.0);
    }

    // Back to the browser: a click on its title bar (below the menu bar),
    // right of the editors.
    void BackToBrowser(const std::string& window) {
        ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", "800", "42", "click", "1"}));
        SleepSeconds(0.5);
    }

    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }
    std::vector<uint8_t> Data(const std::string& relative) const {
        const std::vector<uint8_t> file = ReadAll(Local(relative));
        return file.size() < kHeaderSize ? std::vector<uint8_t>{}
                                         : std::vector<uint8_t>(file.begin() + kHeaderSize, file.end());
    }
    // Waits until the tag file's data is the expected one.
    bool WaitForData(const std::string& relative, const std::vector<uint8_t>& expected) {
        return WaitUntil([&] { return Data(relative) == expected; }, 10.0);
    }
    static std::vector<std::string> Tabs(int n) { return std::vector<std::string>(size_t(n), "Tab"); }

    // Saves with Control+S, closes the editor, opens the tag again and saves
    // it unedited: the data must not change.
    void ReopenAndSaveAgain(const std::string& window, const std::string& group, const std::string& name,
                            const std::string& file, const std::vector<uint8_t>& expected) {
        ASSERT_TRUE(Keys(window, {"ctrl+w"}));
        SleepSeconds(0.5);
        BackToBrowser(window);
        ASSERT_TRUE(Keys(window, {"Return"}));  // the tag is still selected
        SleepSeconds(1.0);
        ASSERT_TRUE(Keys(window, {"ctrl+s"}));
        SleepSeconds(1.0);
        EXPECT_EQ(Data(file), expected) << group << " " << name;
        ASSERT_TRUE(Keys(window, {"ctrl+w"}));
        SleepSeconds(0.5);
    }

};

void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b.at(at) = uint8_t(v >> 8);
    b.at(at + 1) = uint8_t(v);
}
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    PutU16(b, at, uint16_t(v >> 16));
    PutU16(b, at + 2, uint16_t(v));
}

TEST_F(StructTextEditorsE2eTest, AnArtifactEditedFromTheBrowserSavesExactlyTheChangedFields) {
    // The artifact record (120 bytes): collection 0, icon 4, ground 6,
    // pickup sound 8, weight 12, value 16, effects in use 18, flags 19,
    // limits 20, six 16-byte effects from 24 (kind 0, strength 2, duration 4,
    // sound 8, flags 12, padding 14).
    const std::string file = "Artifacts/Local Artifact";
    std::vector<uint8_t> expected = Data(file);
    ASSERT_EQ(expected.size(), 120u);
    PutU16(expected, 16, 777);          // value
    PutU32(expected, 8, 0xFFFFFFFF);    // pickup sound: "<no tag>"
    PutU16(expected, 24 + 2, 42);       // the first effect's strength

    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    OpenTag(window, "Artifacts", "Local Artifact");
    Shot(window, "struct-editor-artifact");
    // The form's tab ring from OK: Cancel, collection, icon, ground, pickup
    // sound, weight, value.
    ASSERT_TRUE(Keys(window, Tabs(7)));
    ASSERT_TRUE(Type(window, "777"));
    // Back to the pickup sound; its list opens with Down, Up to the top
    // picks "<no tag>", Return closes it.
    ASSERT_TRUE(Keys(window, {"shift+Tab", "shift+Tab", "Down"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, std::vector<std::string>(30, "Up")));
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(0.3);
    // On past weight, value, the two flags and "Uses..." to the effects list:
    // the first row opens its effect; Cancel, kind, strength from its OK.
    ASSERT_TRUE(Keys(window, Tabs(6)));
    ASSERT_TRUE(Keys(window, {"Home", "Return"}));
    SleepSeconds(1.0);
    Shot(window, "struct-editor-effect");
    ASSERT_TRUE(Keys(window, Tabs(3)));
    ASSERT_TRUE(Type(window, "42"));
    // Duration, sound, the two flags, OK; Space presses it.
    ASSERT_TRUE(Keys(window, Tabs(5)));
    ASSERT_TRUE(Keys(window, {"space"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    EXPECT_TRUE(WaitForData(file, expected)) << "the artifact as saved differs";
    Shot(window, "struct-editor-saved");
    ReopenAndSaveAgain(window, "Artifacts", "Local Artifact", file, expected);
    Quit(window);
}

TEST_F(StructTextEditorsE2eTest, ATextAndAStringListEditedFromTheBrowserSaveWithCrLineEnds) {
    const std::string text_file = "Text/Welcome Text";
    const std::string list_file = "String Lists/Unit Names";
    const std::vector<uint8_t> text = Data(text_file);
    const std::vector<uint8_t> list = Data(list_file);
    ASSERT_FALSE(text.empty());
    ASSERT_FALSE(list.empty());

    // A line typed at the start; every line break is saved as CR.
    std::string expected_text = "Heading\r" + std::string(text.begin(), text.end());
    // The strings end in NULs on disk; saved from the editor each ends in CR.
    std::string expected_list = "Knight\r";
    std::string string;
    for (uint8_t c : list) {
        if (c == 0 || c == '\r' || c == '\n') {
            if (!string.empty()) expected_list += string + "\r";
            string.clear();
        } else {
            string += char(c);
        }
    }
    const std::vector<uint8_t> text_bytes(expected_text.begin(), expected_text.end());
    const std::vector<uint8_t> list_bytes(expected_list.begin(), expected_list.end());

    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    OpenTag(window, "Text (", "Welcome");
    ASSERT_TRUE(Type(window, "Heading"));
    ASSERT_TRUE(Keys(window, {"Return", "ctrl+s"}));
    EXPECT_TRUE(WaitForData(text_file, text_bytes)) << "the text as saved differs";
    Shot(window, "text-editor-saved");
    ReopenAndSaveAgain(window, "Text", "Welcome Text", text_file, text_bytes);

    BackToBrowser(window);
    ASSERT_TRUE(Keys(window, {"Left"}));  // up to the group row
    OpenTag(window, "String L", "Unit Names");
    ASSERT_TRUE(Type(window, "Knight"));
    ASSERT_TRUE(Keys(window, {"Return", "ctrl+s"}));
    EXPECT_TRUE(WaitForData(list_file, list_bytes)) << "the string list as saved differs";
    ReopenAndSaveAgain(window, "String Lists", "Unit Names", list_file, list_bytes);
    Quit(window);
}

}  // namespace
}  // namespace pirn_test
