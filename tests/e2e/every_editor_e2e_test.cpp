// One tag of every group that has an editor in the demo game, opened from
// the Archive Browser as a user does and closed again with OK, Cancel or
// the close box (a struct editor's nested form opened and closed on the
// way): after each the program reports as many windows as before the
// editor opened, and at the end Pirn quits with status 0 and a graceful
// shutdown. (That every demo tag of those groups loads in its editor is
// the app suite's demo_game_windows_test.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"

namespace pirn_test {
namespace {

enum class Closing { kOk, kCancel, kCloseBox };

struct EditorCase {
    const char* group;  // the group row's text up to its count
    const char* tag;
    const char* editor;  // the editor's class
    Closing closing;
    bool nestedForm;  // open "Details..." first and close it by its close box
};

// In the tree's order; struct editors take every way of closing.
const EditorCase kCases[] = {
    {"Artifacts (", "Artifact Alpha", "TagStructEdit", Closing::kOk, false},
    {"Collection References (", "Collection Reference Alpha", "TagStructEdit", Closing::kCancel, false},
    {"Collections (", "Collection Alpha", "X256Edit", Closing::kCloseBox, false},
    {"Detail Maps (", "Detail Map Alpha", "DmapEdit", Closing::kCloseBox, false},
    {"Detail Textures (", "Detail Texture Alpha", "DtexEdit", Closing::kCloseBox, false},
    {"Dialog String Lists (", "Dialog String List Alpha", "TextEdit", Closing::kCloseBox, false},
    {"Dialogs (", "Dialog Alpha", "DialogEdit", Closing::kCloseBox, false},
    {"Geometries (", "Geometry Alpha", "GeomEdit", Closing::kCloseBox, false},
    {"Lightning (", "Lightning Alpha", "TagStructEdit", Closing::kCancel, true},
    {"Meshes (", "Mesh Alpha", "MeshEdit", Closing::kCloseBox, false},
    {"Scripts (", "Script Alpha", "TextEdit", Closing::kCloseBox, false},
    {"Sounds (", "Sound Alpha", "SoundEdit", Closing::kCloseBox, false},
    {"String Lists (", "String List Alpha", "TextEdit", Closing::kCloseBox, false},
    {"Templates (", "Template Alpha", "TextEdit", Closing::kCloseBox, false},
    {"Text (", "Text Alpha", "TextEdit", Closing::kCloseBox, false},
    {"Wind (", "Wind Alpha", "TagStructEdit", Closing::kCloseBox, false},
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool Click(const std::string& window, int x, int y) {
    return Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y), "click", "1"});
}

bool ClickMiddle(const std::string& window, const ReportedWindow& w) {
    return Click(window, w.x + w.width / 2, w.y + w.height / 2);
}

// The close box as a user sees it: the red button at the right of the
// window's title bar. Returns its middle, or false when the screenshot has
// none there.
bool FindCloseBox(const Screenshot& shot, const ReportedWindow& w, int* x, int* y) {
    long sx = 0, sy = 0, n = 0;
    for (int py = w.y; py < w.y + 32 && py < shot.height; ++py)
        for (int px = std::max(w.x + w.width - 48, 0); px < w.x + w.width && px < shot.width; ++px) {
            const unsigned char* p = shot.At(px, py);
            if (p[0] > 180 && p[1] < 130 && p[2] < 120 && p[0] - p[1] > 80) {
                sx += px;
                sy += py;
                ++n;
            }
        }
    if (n < 20) return false;
    *x = int(sx / n);
    *y = int(sy / n);
    return true;
}

class EveryEditorE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame();
        if (IsSkipped()) return;
        CopyDefinitionFiles();
    }

    // The top-level window of the class whose title starts with the tag's
    // name (a "*" may follow), or null.
    static const ReportedWindow* Editor(const WindowReport& r, const EditorCase& c) {
        for (const ReportedWindow& w : r.windows)
            if (w.depth == 2 && w.visible && w.className == c.editor && StartsWith(w.title, c.tag)) return &w;
        return nullptr;
    }
    static const ReportedWindow* Box(const WindowReport& r) {
        const ReportedWindow* box = r.Find("MessageBoxWindow");
        return box && box->visible ? box : nullptr;
    }

    // Clicks the close box of a reported window, found on screen.
    void ClickCloseBox(const std::string& window, const ReportedWindow& w) {
        int x = 0, y = 0;
        const Screenshot shot = CaptureWindow(window);
        ASSERT_TRUE(FindCloseBox(shot, w, &x, &y)) << "no close box on " << w.className << " \"" << w.title << "\"";
        ASSERT_TRUE(Click(window, x, y));
    }

    // The nested form of a struct editor: "Details..." shows it modally; its
    // close box ends the run and hides it again.
    void OpenAndCloseNestedForm(const std::string& window) {
        const WindowReport r = Windows();
        const ReportedWindow* button = r.Find("Button", "Details...");
        ASSERT_NE(button, nullptr) << r.Describe();
        ASSERT_TRUE(ClickMiddle(window, *button));
        const WindowReport shown = WaitForWindows("the nested form", [](const WindowReport& now) {
            const ReportedWindow* form = now.Find("Table", "Details...");
            return form && form->visible && now.modal == "Table";
        });
        const ReportedWindow* form = shown.Find("Table", "Details...");
        ASSERT_NE(form, nullptr);
        Shot(window, "every-editor-nested-form");
        ClickCloseBox(window, *form);
        WaitForWindows("the nested form closed", [](const WindowReport& now) {
            const ReportedWindow* f = now.Find("Table", "Details...");
            return f && !f->visible && now.modal == "-";
        });
    }

    void CloseEditor(const std::string& window, const EditorCase& c, const ReportedWindow& editor) {
        switch (c.closing) {
            case Closing::kOk:
            case Closing::kCancel: {
                const char* label = c.closing == Closing::kOk ? "OK" : "Cancel";
                const WindowReport r = Windows();
                const ReportedWindow* button = r.Find("Button", label);
                ASSERT_NE(button, nullptr) << r.Describe();
                ASSERT_TRUE(ClickMiddle(window, *button));
                break;
            }
            case Closing::kCloseBox:
                ClickCloseBox(window, editor);
                break;
        }
        // An editor with changes asks first (a collection opens modified):
        // the changes are discarded.
        const WindowReport after = WaitForWindows("the editor closing", [&c](const WindowReport& r) {
            return (!Editor(r, c) && r.modal == "-") || Box(r);
        });
        if (const ReportedWindow* box = Box(after)) {
            EXPECT_EQ(box->title, "Save?");
            const ReportedWindow* discard = after.Find("Button", "Discard");
            ASSERT_NE(discard, nullptr) << after.Describe();
            ASSERT_TRUE(ClickMiddle(window, *discard));
        }
    }
};

TEST_F(EveryEditorE2eTest, EachEditorClosesLeavingNoWindowAndPirnQuits) {
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    const WindowReport start = WaitForWindows("the browser", [](const WindowReport& r) {
        return r.Has("ArchiveBrowser") && r.modal == "-";
    });
    const size_t windows = start.windows.size();
    // The tag tree takes the keys (and gets them back from each editor
    // that closes); each group row is found by its text up to its count.
    const ReportedWindow* tree = start.Find("ListWindow", "Tag Tree");
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(ClickMiddle(window, *tree));

    for (const EditorCase& c : kCases) {
        SCOPED_TRACE(c.tag);
        FindTag(window, c.group, c.tag);
        ASSERT_TRUE(Keys(window, {"Return"}));
        const WindowReport opened = WaitForWindows(std::string("the editor of ") + c.tag, [&c](const WindowReport& r) {
            return Editor(r, c) || Box(r);
        });
        const ReportedWindow* editor = Editor(opened, c);
        ASSERT_NE(editor, nullptr) << "it did not open: " << opened.Describe();
        EXPECT_GT(opened.windows.size(), windows);
        Shot(window, std::string("every-editor-") + c.editor + "-" + c.tag);
        if (c.nestedForm) OpenAndCloseNestedForm(window);
        CloseEditor(window, c, *editor);
        const WindowReport closed = WaitForWindows("as many windows as before the editor", [windows](const WindowReport& r) {
            return r.windows.size() == windows && r.modal == "-";
        });
        ASSERT_EQ(closed.windows.size(), windows) << closed.Describe();
    }

    Quit(window);
    EXPECT_TRUE(Contains(Log(), "Graceful shutdown complete"));
    EXPECT_FALSE(PrefLine("ZarnPath").empty()) << "res/prefs.txt was not written";
}

}  // namespace
}  // namespace pirn_test
