// The dialog editor and the sound viewer in the built program on a
// generated demo game: a demo dialog opened from the browser, a control
// dragged, another resized by its corner, one added, the dialog saved and
// opened again, the rectangles checked on disk and on screen; a demo sound's
// permutations exported as WAV files, checked with Python's wave module and
// soxi, and Control+S in the viewer leaving the tag alone. The folder
// chooser is a stand-in for zenity on the program's PATH that records how
// it was asked and answers with a folder.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn_test {
namespace {

using pirn::fixture::ReadU16;

constexpr int kBrowserRight = 1024;
constexpr int kBrowserBottom = 720;

struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

// The canvas's stipple: the two colours of its checkerboard.
bool Stipple(const unsigned char* p) {
    return (p[0] == 40 && p[1] == 64 && p[2] == 96) || (p[0] == 56 && p[1] == 88 && p[2] == 128);
}
bool White(const unsigned char* p) { return p[0] > 245 && p[1] > 245 && p[2] > 245; }

Box FindStipple(const Screenshot& shot) {
    Box box;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (Stipple(shot.At(x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

// A control record of the file: type, id, top, left, bottom, right.
struct Record {
    std::string type;
    int id, top, left, bottom, right;
};

std::vector<Record> Records(const std::vector<uint8_t>& file) {
    std::vector<Record> records;
    if (file.size() < 64 + 12) return records;
    const size_t count = ReadU16(file, 64 + 2);
    for (size_t i = 0; i < count && 64 + 12 + 24 * (i + 1) <= file.size(); ++i) {
        const size_t at = 64 + 12 + 24 * i;
        records.push_back(Record{std::string(file.begin() + at, file.begin() + at + 4), ReadU16(file, at + 6),
                                 int16_t(ReadU16(file, at + 16)), int16_t(ReadU16(file, at + 18)),
                                 int16_t(ReadU16(file, at + 20)), int16_t(ReadU16(file, at + 22))});
    }
    return records;
}

const Record* FindRecord(const std::vector<Record>& records, int id) {
    for (const Record& r : records)
        if (r.id == id) return &r;
    return nullptr;
}

class DialogAndSoundE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame("0 0 0 " + std::to_string(kBrowserRight) + " " + std::to_string(kBrowserBottom));
    }

    // Waits for the dialog editor's canvas and returns the dialog's corner.
    Box WaitForCanvas(const std::string& window, const std::string& shotName) {
        Box box;
        WaitUntil([&] {
            box = FindStipple(CaptureWindow(window));
            return !box.empty() && box.right - box.left == 400 && box.bottom - box.top == 300;
        });
        Shot(window, shotName);
        return box;
    }

    // A drag with a modifier held, pointer steps of at most 10 pixels.
    static void ModifiedDrag(const std::string& window, const std::string& key, int x, int y, int dx, int dy) {
        ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y)}));
        SleepSeconds(0.2);
        ASSERT_TRUE(Xdotool(window, {"keydown", "--window", "{win}", key}));
        SleepSeconds(0.2);
        ASSERT_TRUE(Xdotool(window, {"mousedown", "1"}));
        const int steps = std::max(std::abs(dx), std::abs(dy)) / 10 + 1;
        for (int i = 1; i <= steps; ++i) {
            SleepSeconds(0.05);
            ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x + dx * i / steps),
                                         std::to_string(y + dy * i / steps)}));
        }
        SleepSeconds(0.2);
        ASSERT_TRUE(Xdotool(window, {"mouseup", "1"}));
        SleepSeconds(0.2);
        ASSERT_TRUE(Xdotool(window, {"keyup", "--window", "{win}", key}));
        SleepSeconds(0.3);
    }

    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }

};

TEST_F(DialogAndSoundE2eTest, ADemoDialogIsEditedSavedAndOpenedAgain) {
    const std::string path = Local("Dialogs/Options Dialog");
    const std::vector<Record> original = Records(ReadAll(path));
    ASSERT_EQ(original.size(), 9u);
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    FindTag(window, "Dialogs", "Options Dialog");
    ASSERT_TRUE(Keys(window, {"Return"}));
    const Box dialog = WaitForCanvas(window, "dialog-editor-opened");
    ASSERT_FALSE(dialog.empty()) << "no canvas showing the 400 x 300 dialog";
    auto X = [&](int x) { return dialog.left + x; };
    auto Y = [&](int y) { return dialog.top + y; };

    // "Done" (296, 260)-(384, 290) dragged with Control 40 left, 30 up.
    ModifiedDrag(window, "ctrl", X(340), Y(275), -40, -30);
    Shot(window, "dialog-editor-moved");
    // "Windowed" (16, 60)-(196, 80) by its bottom-right corner with Shift.
    ModifiedDrag(window, "shift", X(194), Y(78), 30, 20);
    Shot(window, "dialog-editor-resized");
    // A new button under the pointer, taken as EditControlDialog offers it.
    ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(X(300)), std::to_string(Y(150))}));
    SleepSeconds(0.3);
    ASSERT_TRUE(Keys(window, {"ctrl+a"}));
    SleepSeconds(1.0);
    Shot(window, "dialog-editor-new-control");
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));

    std::vector<Record> saved;
    ASSERT_TRUE(WaitUntil([&] { return (saved = Records(ReadAll(path))).size() == 10; }, 10.0))
        << "the dialog was not saved with a new control";
    const struct {
        int id;
        int left, top, right, bottom;
        const char* type;
    } expected[] = {{18, 256, 230, 344, 260, "butt"},
                    {11, 16, 60, 226, 100, "radi"},
                    {19, 250, 125, 350, 175, "butt"},
                    {12, 16, 90, 196, 110, "radi"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        const Record* r = FindRecord(saved, e.id);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->type, e.type);
        EXPECT_EQ(r->left, e.left);
        EXPECT_EQ(r->top, e.top);
        EXPECT_EQ(r->right, e.right);
        EXPECT_EQ(r->bottom, e.bottom);
    }
    EXPECT_EQ(saved.back().id, 19);  // appended

    // Closed and opened again from the browser (its title bar clicked to
    // give its tree the keys back, below the menu bar): the canvas shows the
    // rectangles as saved.
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));
    SleepSeconds(1.0);
    ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", "800", "42", "click", "1"}));
    SleepSeconds(0.3);
    ASSERT_TRUE(Keys(window, {"Return"}));
    const Box again = WaitForCanvas(window, "dialog-editor-reopened");
    ASSERT_FALSE(again.empty());
    const Screenshot shot = CaptureWindow(window);
    auto WhiteAt = [&](int x, int y) { return White(shot.At(again.left + x, again.top + y)); };
    EXPECT_TRUE(WhiteAt(256, 250)) << "the moved control's left side";
    EXPECT_FALSE(WhiteAt(296, 280)) << "where it stood before";
    EXPECT_TRUE(WhiteAt(225, 90)) << "the resized control's right side";
    EXPECT_TRUE(WhiteAt(250, 160)) << "the new control's left side";
    Quit(window);
    EXPECT_EQ(Records(ReadAll(path)).size(), 10u);
}

TEST_F(DialogAndSoundE2eTest, ADemoSoundIsExportedAsWavFilesAndNeverSaved) {
    ASSERT_EQ(RunCommand({"sh", "-c", "command -v soxi"}), 0) << "soxi is missing (scripts/install-deps)";
    // The stand-in chooser: its arguments into a file, the folder out.
    const std::string bin = dir_.file("bin");
    const std::string folder = dir_.file("exported");
    ::mkdir(bin.c_str(), 0755);
    ::mkdir(folder.c_str(), 0755);
    WriteAll(bin + "/zenity", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$PIRN_TEST_ZENITY_ARGS\"\necho \"$PIRN_TEST_FOLDER\"\n");
    ::chmod((bin + "/zenity").c_str(), 0755);
    const char* path = std::getenv("PATH");
    const std::string tag = Local("Sounds/Thunder Roll");
    const std::vector<uint8_t> before = ReadAll(tag);
    ASSERT_FALSE(before.empty());

    const std::string window = StartProgram({"PATH=" + bin + ":" + (path ? path : "/usr/bin:/bin"),
                                             "PIRN_TEST_ZENITY_ARGS=" + dir_.file("zenity-args.txt"),
                                             "PIRN_TEST_FOLDER=" + folder});
    ASSERT_FALSE(window.empty());
    FindTag(window, "Sounds", "Thunder Roll");
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(1.5);
    Shot(window, "sound-viewer");
    // List -> Export Selected -> Export All.
    ASSERT_TRUE(Keys(window, {"Tab", "Tab", "Return"}));

    const struct {
        const char* file;
        int channels, rate, frames;
    } files[] = {{"Roll.wav", 2, 22050, 150 * 64},
                 {"Crack.wav", 1, 22050, 40 * 64},
                 {"Crack (2).wav", 1, 11025, 20 * 64},
                 {"Pause.wav", 1, 22050, 0}};
    ASSERT_TRUE(WaitUntil([&] { return Exists(folder + "/Pause.wav"); }, 10.0)) << "nothing was exported";
    SleepSeconds(0.5);
    const std::vector<std::string> args = ReadLines(dir_.file("zenity-args.txt"));
    EXPECT_TRUE(Contains(args, "--directory"));
    EXPECT_TRUE(Contains(args, "--title=Choose Sound Folder"));
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::string wav = folder + "/" + f.file;
        std::string out;
        ASSERT_EQ(RunCommand({"/usr/bin/python3", "-c",
                              "import sys, wave\nw = wave.open(sys.argv[1])\n"
                              "print(w.getnchannels(), w.getframerate(), w.getnframes(), w.getsampwidth())",
                              wav},
                             &out),
                  0);
        std::ostringstream want;
        want << f.channels << " " << f.rate << " " << f.frames << " 2\n";
        EXPECT_EQ(out, want.str()) << "Python's wave";
        for (const auto& [option, value] : std::vector<std::pair<std::string, int>>{
                 {"-c", f.channels}, {"-r", f.rate}, {"-s", f.frames}, {"-b", 16}}) {
            ASSERT_EQ(RunCommand({"soxi", option, wav}, &out), 0) << option;
            EXPECT_EQ(out, std::to_string(value) + "\n") << "soxi " << option;
        }
    }

    // Control+S says the sound is not saved and leaves the file alone.
    const Screenshot shown = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    Screenshot box;
    EXPECT_TRUE(WaitForQuitBox(window, shown, true, &box)) << "no message";
    Shot(window, "sound-viewer-cannot-save");
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(0.5);
    EXPECT_EQ(ReadAll(tag), before);
    Quit(window);
    EXPECT_EQ(PrefLine("LastSoundFolderPath"), "\"" + folder + "/\"");
}

}  // namespace
}  // namespace pirn_test
