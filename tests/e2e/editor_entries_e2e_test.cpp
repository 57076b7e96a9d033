// What a user enters at the edges of the struct and dialog editors, in the
// built program on a generated demo game: sub-struct array elements that name
// no tag are listed, selected and deleted like any other; a number field
// cleared and left stores 0; a control's id field cleared and taken with OK
// stores 0. Each time the file saved with Control+S holds exactly the bytes
// worked out here from the record layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"

namespace pirn_test {
namespace {

constexpr size_t kHeaderSize = 64;

class EditorEntriesE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame();
        if (IsSkipped()) return;
        // The definition files the build puts beside the font.
        DIR* folder = ::opendir((runDir_ + "/res").c_str());
        ASSERT_NE(folder, nullptr);
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
                CopyFile(runDir_ + "/res/" + name, dir_.file("res/" + name));
        }
        ::closedir(folder);
    }

    std::vector<uint8_t> Data(const std::string& relative) const {
        const std::vector<uint8_t> file = ReadAll(game_ + "/local/" + relative);
        return file.size() < kHeaderSize ? std::vector<uint8_t>{}
                                         : std::vector<uint8_t>(file.begin() + kHeaderSize, file.end());
    }
    bool WaitForData(const std::string& relative, const std::vector<uint8_t>& expected) {
        return WaitUntil([&] { return Data(relative) == expected; }, 20.0);
    }

    // Opens a tag from the browser's tree and waits for its editor.
    void Open(const std::string& window, const std::string& group, const std::string& name,
              const std::string& editorClass) {
        FindTag(window, group, name);
        ASSERT_TRUE(Keys(window, {"Return"}));
        WaitForWindows(editorClass + " of " + name,
                       [&](const WindowReport& r) { return r.Find(editorClass, name) && r.modal == "-"; });
    }

    static bool ClickAt(const std::string& window, int x, int y) {
        return Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y), "click", "1"});
    }
    static bool ClickOn(const std::string& window, const ReportedWindow* w) {
        return w && ClickAt(window, w->x + w->width / 2, w->y + w->height / 2);
    }
    void WaitForNoModal(const std::string& what) {
        WaitForWindows(what, [](const WindowReport& r) { return r.modal == "-"; });
    }
};

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + size_t(i)) = uint8_t(v >> (24 - 8 * i));
}

TEST_F(EditorEntriesE2eTest, ThunderAddedWithoutASoundIsListedSelectedAndDeleted) {
    // The lightning record (68 bytes): strike radius at 18, thunder in use at
    // 40, four 6-byte thunder elements from 44 (sound 0, volume 4).
    const std::string file = "Lightning/Lightning Alpha";
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    Open(window, "Lightning", "Lightning Alpha", "TagStructEdit");

    // Saved unedited first: the record as the editor holds it.
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Data(file).size() == 68; })) << "the first save never came";
    const std::vector<uint8_t> original = Data(file);
    ASSERT_EQ(original[40], 2) << "the demo's lightning has two thunders";

    // Two thunders added and taken with OK (it has the focus): each has the
    // sound of the bytes it reuses, which names no tag.
    const WindowReport shown = Windows();
    const ReportedWindow* add = shown.Find("Button", "Add");
    ASSERT_NE(add, nullptr) << shown.Describe();
    int nudge = 0;  // two clicks on one pixel in quick succession would be a double click
    for (const char* title : {"lightning_sound #3", "lightning_sound #4"}) {
        ASSERT_TRUE(ClickAt(window, add->x + add->width / 2 + nudge, add->y + add->height / 2));
        nudge += 4;
        WaitForWindows(title, [&](const WindowReport& r) { return r.modal == "StructEditor" && r.FindTitle(title); });
        ASSERT_TRUE(Keys(window, {"Return"}));
        WaitForNoModal(std::string("the end of ") + title);
    }
    Shot(window, "struct-array-placeholders");

    // The third row is the first added thunder: a click selects it, Delete
    // removes it, the last moves down.
    const ReportedWindow* list = shown.Find("ListWindow", "ListWindow");
    const ReportedWindow* field = shown.Find("StructNumberField");
    ASSERT_TRUE(list && field) << shown.Describe();
    const int row = field->height;  // a list row is one text line, as a number field is
    ASSERT_TRUE(ClickAt(window, list->x + list->width / 3, list->y + 2 * row + row / 2));
    ASSERT_TRUE(ClickOn(window, shown.Find("Button", "Delete")));

    // The strike radius cleared and left: 0. The editor's own fields (not
    // those of its hidden "Details..." form) by their place on screen:
    // shortest bolt, longest bolt, strike radius, damage.
    std::vector<ReportedWindow> fields;
    int editor_depth = -1;
    for (const ReportedWindow& w : shown.windows) {
        if (w.className == "TagStructEdit") editor_depth = w.depth;
        else if (editor_depth >= 0 && w.depth <= editor_depth) break;
        else if (editor_depth >= 0 && w.depth == editor_depth + 2 && w.className == "StructNumberField") fields.push_back(w);
    }
    std::sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
    ASSERT_GE(fields.size(), 4u);
    ASSERT_TRUE(ClickOn(window, &fields[2]));
    ASSERT_TRUE(Keys(window, {"ctrl+a", "Delete", "Tab", "ctrl+s"}));

    std::vector<uint8_t> expected = original;
    PutU32(expected, 18, 0);
    expected[40] = 3;
    std::copy(original.begin() + 62, original.end(), expected.begin() + 56);
    std::fill(expected.begin() + 62, expected.end(), uint8_t{0});
    EXPECT_TRUE(WaitForData(file, expected)) << "the lightning as saved differs";
    Shot(window, "struct-array-placeholder-deleted");
    Quit(window);
}

TEST_F(EditorEntriesE2eTest, AControlIdClearedInEditControlDataIsSavedAsZero) {
    // The dialog data: a 12-byte header, 24-byte control records from 12
    // (the id at 6 of each), then the texts.
    const std::string file = "Dialogs/Dialog Alpha";
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    Open(window, "Dialogs", "Dialog Alpha", "DialogEdit");
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Data(file).size() > 12; })) << "the first save never came";
    const std::vector<uint8_t> original = Data(file);

    // The first control's row (after eleven rows of dialog data and help);
    // the id field has the focus with its text selected.
    ASSERT_TRUE(Keys(window, {"Home"}));
    ASSERT_TRUE(Keys(window, std::vector<std::string>(11, "Down")));
    ASSERT_TRUE(Keys(window, {"Return"}));
    WaitForWindows("Edit Control Data", [](const WindowReport& r) { return r.modal == "EditControlDialog"; });
    ASSERT_TRUE(Keys(window, {"Delete", "Return"}));
    WaitForNoModal("Edit Control Data to close");
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));

    std::vector<uint8_t> expected = original;
    expected.at(12 + 6) = expected.at(12 + 7) = 0;
    EXPECT_TRUE(WaitForData(file, expected)) << "the dialog as saved differs";
    Quit(window);
}

}  // namespace
}  // namespace pirn_test
