// The sequence pages in the built program on a generated demo game, as a
// user works them: the demo knight opened from the Archive Browser, a
// picture imported on the Bitmaps page through the file chooser, dragged
// with the mouse onto the "Idle" sequence's view in its sequence editor,
// its picture moved one pixel right in the frame editor with F2 and the
// right arrow, the tag saved; the saved bytes read field by field, and
// the tag opened again saving the same bytes. Screenshots of each step go
// into e2e-screenshots.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/big_endian_bytes.h"
#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"

namespace pirn_test {
namespace {

constexpr double kTypeAheadPause = 0.8;


// Where things stand on the program's 1280 x 1000 screen. Editors open at
// the cascade positions (64, 64), (112, 112), (160, 160) below the menu
// bar; the collection
// editor is 575 x 360, the sequence editor 800 x 600, the frame editor
// 640 x 480.
constexpr int kEditorLeft = 64, kEditorTop = kMenuBarHeight + 64;
constexpr int kTitleBar = 22;   // the title strip of a window
constexpr int kBorder = 4;      // thick border
// The collection editor's tabs and its bitmap grid (zoom 0.5: 48-px
// pictures in 56-px cells, no labels).
constexpr int kTabsTop = kEditorTop + kBorder + kTitleBar;
constexpr int kSequencesTabX = kEditorLeft + 190;
constexpr int kGridTop = kTabsTop + 56;  // below the tab strip and the view strip
constexpr int kGridLeft = kEditorLeft + kBorder + 2;
constexpr int kCell = 56;
// The sequence editor, moved below the collection editor by its title bar.
constexpr int kSequenceOpenedLeft = 112, kSequenceOpenedTop = kMenuBarHeight + 112;
constexpr int kSequenceLeft = 64, kSequenceTop = kMenuBarHeight + 440;
constexpr int kSequenceGridTop = kSequenceTop + kBorder + kTitleBar + 112;
// A column through the Archive Browser's tree, right of every editor.
constexpr int kTreeColumnX = 1000;

class SequenceE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        if (!std::getenv("PIRN_MAKE_DEMO_GAME")) GTEST_SKIP() << "no demo game generator in this build";
        PrepareWorkingFolder();
        game_ = MakeGameFolder();
        WriteAll(dir_.file("res/prefs.txt"),
                 "ZarnPath \"" + game_ +
                     "\"\nShowSplash 0\nOsWindowSizeX 1280\nOsWindowSizeY 1000\n"
                     "ArchiveBrowserPlacement \"0 0 0 1270 960\"\n"
                     "X256BitmapBrowser.GridZoom 0.500000\nX256SequenceEdit.GridZoom 0.500000\n");
    }

    void Find(const std::string& window, const std::string& prefix) {
        SleepSeconds(kTypeAheadPause);
        ASSERT_TRUE(Type(window, prefix));
        SleepSeconds(0.3);
    }
    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }

    static std::vector<uint8_t> KnightData() {
        for (const pirn::demo::DemoArchive& archive : pirn::demo::BuildDemoGame().archives)
            for (const pirn::demo::DemoTag& tag : archive.tags)
                if (tag.name == "Demo Knight") return tag.data;
        return {};
    }
    static std::vector<uint8_t> DataOf(const std::vector<uint8_t>& file) {
        return file.size() < 64 ? std::vector<uint8_t>() : std::vector<uint8_t>(file.begin() + 64, file.end());
    }

    // An 8-bit BMP in the knight's own colours (so that importing it asks
    // nothing): a 16 x 16 square of one ramp inside 32 x 32 of index 0.
    std::string WritePicture(const std::vector<uint8_t>& knight) {
        const size_t table = 320 + U32At(knight, 64 + 4) + 32;
        std::vector<uint8_t> bmp;
        auto u16 = [&](uint32_t v) {
            bmp.push_back(uint8_t(v));
            bmp.push_back(uint8_t(v >> 8));
        };
        auto u32 = [&](uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        const uint32_t side = 32, pixels = 54 + 1024;
        bmp.push_back('B');
        bmp.push_back('M');
        u32(pixels + side * side);
        u32(0);
        u32(pixels);
        u32(40);
        u32(side);
        u32(side);
        u16(1);
        u16(8);
        u32(0);
        u32(side * side);
        u32(2835);
        u32(2835);
        u32(256);
        u32(0);
        for (size_t i = 0; i < 256; ++i) {
            const size_t entry = table + i * 8;
            bmp.push_back(knight.at(entry + 4));  // blue, green, red, 0
            bmp.push_back(knight.at(entry + 2));
            bmp.push_back(knight.at(entry));
            bmp.push_back(0);
        }
        for (uint32_t y = 0; y < side; ++y)
            for (uint32_t x = 0; x < side; ++x)
                bmp.push_back(x >= 8 && x < 24 && y >= 8 && y < 24 ? uint8_t(2 + 4 * 30 + 12 + (x + y) % 10) : 0);
        const std::string path = dir_.file("Imported.bmp");
        WriteAll(path, bmp);
        return path;
    }

    // Types a path into the desktop's file chooser once it shows (tried
    // again every two seconds until it has gone). A slow chooser is waited
    // for up to half a minute; only one seen and gone counts as answered.
    static bool AnswerFileChooser(const std::string& title, const std::string& path) {
        bool seen = false;
        for (int attempt = 0; attempt < 30; ++attempt) {
            std::string ids;
            if (RunCommand({"xdotool", "search", "--name", "^" + title + "$"}, &ids) != 0 || ids.empty()) {
                if (seen) return true;
                SleepSeconds(1.0);
                continue;
            }
            seen = true;
            const std::string id = ids.substr(0, ids.find('\n'));
            RunCommand({"xdotool", "windowfocus", "--sync", id});
            RunCommand({"xdotool", "key", "--window", id, "ctrl+l"});
            RunCommand({"xdotool", "key", "--window", id, "ctrl+a"});
            RunCommand({"xdotool", "type", "--window", id, "--delay", "20", path});
            RunCommand({"xdotool", "key", "--window", id, "Return"});
            SleepSeconds(2.0);
        }
        return false;
    }

    static bool Click(const std::string& window, int x, int y, int button = 1, int repeat = 1) {
        return Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y), "click",
                                "--repeat", std::to_string(repeat), "--delay", "80", std::to_string(button)});
    }
    // A press, a few moves and a release, as a hand drags.
    static bool Drag(const std::string& window, int x0, int y0, int x1, int y1) {
        if (!Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x0), std::to_string(y0)}) ||
            !Xdotool(window, {"mousedown", "1"}))
            return false;
        SleepSeconds(0.2);
        for (int step = 1; step <= 8; ++step) {
            const int x = x0 + (x1 - x0) * step / 8, y = y0 + (y1 - y0) * step / 8;
            Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y)});
            SleepSeconds(0.1);
        }
        SleepSeconds(0.3);
        return Xdotool(window, {"mouseup", "1"});
    }

    // Waits until the screen differs from `before` by more than `pixels`.
    bool WaitForChange(const std::string& window, const Screenshot& before, size_t pixels, Screenshot* now) {
        return WaitUntil([&] {
            *now = CaptureWindow(window);
            return !now->empty() && now->CountDifferences(before) > pixels;
        });
    }

    std::string game_;
};

TEST_F(SequenceE2eTest, ImportDragOntoAFrameMoveItsPointSaveAndReopen) {
    const std::vector<uint8_t> knight = KnightData();
    ASSERT_FALSE(knight.empty());
    const std::string picture = WritePicture(knight);
    Start();
    const std::string window = WaitForDesktop();
    ASSERT_FALSE(window.empty());

    // The knight from the Archive Browser's tree.
    Find(window, "Collections");
    ASSERT_TRUE(Keys(window, {"Right"}));
    Find(window, "Demo Kn");
    Screenshot shot = CaptureWindow(window), next;
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitForChange(window, shot, 10000, &next)) << "no editor came up";
    SleepSeconds(1.0);
    Shot(window, "sequence-e2e-1-opened");

    // "Add Bitmap(s) from File(s)" from the context menu of the first cell.
    shot = CaptureWindow(window);
    ASSERT_TRUE(Click(window, kGridLeft + kCell / 2, kGridTop + kCell / 2, 3));
    SleepSeconds(0.5);
    Shot(window, "sequence-e2e-2-menu");
    ASSERT_TRUE(Keys(window, {"Down", "Down", "Down", "Down", "Return"}));
    ASSERT_TRUE(AnswerFileChooser("Import Bitmaps", picture)) << "no file chooser";
    // Without a window manager the focus stays where the chooser left it.
    ASSERT_TRUE(Xdotool(window, {"windowfocus", "--sync", "{win}"}));
    SleepSeconds(1.0);
    Shot(window, "sequence-e2e-3-imported");

    // The Idle sequence's editor (a double click on its row), moved below
    // the collection editor.
    ASSERT_TRUE(Click(window, kSequencesTabX, kTabsTop + 10));
    SleepSeconds(0.5);
    shot = CaptureWindow(window);
    ASSERT_TRUE(Click(window, kGridLeft + 40, kTabsTop + 24 + 14 + 7, 1, 2));  // the second row
    ASSERT_TRUE(WaitForChange(window, shot, 50000, &next)) << "no sequence editor came up";
    SleepSeconds(0.5);
    ASSERT_TRUE(Drag(window, kSequenceOpenedLeft + 300, kSequenceOpenedTop + 10, kSequenceLeft + 300,
                     kSequenceTop + 10));
    SleepSeconds(0.5);
    ASSERT_TRUE(Click(window, kSequencesTabX - 140, kTabsTop + 10));  // back to the Bitmaps page
    SleepSeconds(0.5);
    Shot(window, "sequence-e2e-4-sequence-editor");

    // The imported bitmap (the 17th of the page: second row, eighth
    // column) onto frame 0, view 0 (the second column after the row
    // numbers).
    const int fromX = kGridLeft + 7 * kCell + kCell / 2, fromY = kGridTop + kCell + kCell / 2;
    const int toX = kSequenceLeft + kBorder + 16 + kCell + kCell / 2, toY = kSequenceGridTop + 21 + kCell / 2;
    ASSERT_TRUE(Drag(window, fromX, fromY, toX, toY));
    SleepSeconds(0.5);
    Shot(window, "sequence-e2e-5-dropped");

    // Its frame editor; F2 and the right arrow move the picture right.
    ASSERT_TRUE(Click(window, toX, toY, 1, 2));
    SleepSeconds(1.0);
    ASSERT_TRUE(Xdotool(window, {"keydown", "--window", "{win}", "F2"}));
    SleepSeconds(0.05);
    ASSERT_TRUE(Keys(window, {"Right"}));
    ASSERT_TRUE(Xdotool(window, {"keyup", "--window", "{win}", "F2"}));
    SleepSeconds(0.5);
    Shot(window, "sequence-e2e-6-frame-editor");

    // Saved from the collection editor.
    const std::string saved = Local("Collections/Demo Knight");
    ASSERT_TRUE(Click(window, kEditorLeft + 200, kEditorTop + 10));
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(saved); }, 10.0));
    SleepSeconds(0.5);
    const std::vector<uint8_t> data = DataOf(ReadAll(saved));
    ASSERT_GT(data.size(), 320u);
    // The imported bitmap is the last of the bitmap table.
    const uint32_t bitmaps = U32At(data, 64 + 2 * 16);
    const size_t last = 320 + U32At(data, 64 + 2 * 16 + 4) + 128 * size_t(bitmaps - 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[last])), "Imported");
    // Idle (the second sequence): its one frame's one view and that instance.
    const size_t table = 320 + U32At(data, 64 + 4 * 16 + 4);
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(&data[table + 128])), "Idle");
    const size_t idle = 320 + U32At(data, table + 128 + 64);
    const size_t instance = 320 + U32At(data, 64 + 3 * 16 + 4) + size_t(U16At(data, idle + 64 + 46)) * 64;
    EXPECT_EQ(U16At(data, instance + 28), bitmaps - 1) << "the dropped bitmap";
    EXPECT_EQ(int16_t(U16At(data, instance + 12)), 31) << "x moved from 32: the picture right";
    EXPECT_EQ(int16_t(U16At(data, instance + 14)), 60);

    // Closed (its close box) and opened again: the same bytes saved.
    ASSERT_TRUE(Click(window, kEditorLeft + 575 - 14, kEditorTop + 11));
    SleepSeconds(1.0);
    Shot(window, "sequence-e2e-7-closed");
    // A double click on the knight's row of the browser's tree (still
    // selected: the blue row).
    shot = CaptureWindow(window);
    int row = -1;
    for (int y = kMenuBarHeight + 40; y < shot.height && row < 0; ++y) {
        const unsigned char* p = shot.At(kTreeColumnX, y);
        if (p[2] > 180 && p[2] > p[0] + 60) row = y + 6;
    }
    ASSERT_GT(row, 0) << "no selected row in the tree";
    ASSERT_TRUE(Click(window, kTreeColumnX, row, 1, 2));
    ASSERT_TRUE(WaitForChange(window, shot, 10000, &next)) << "the editor did not come back";
    SleepSeconds(1.0);
    std::remove(saved.c_str());
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(saved); }, 10.0));
    SleepSeconds(0.5);
    EXPECT_EQ(DataOf(ReadAll(saved)), data);
    Shot(window, "sequence-e2e-8-reopened");

    ASSERT_TRUE(Keys(window, {"alt+F4"}));
    SleepSeconds(1.0);
    ASSERT_TRUE(Keys(window, {"Return"}));
    EXPECT_EQ(WaitForExit(), 0) << Output();
}

}  // namespace
}  // namespace pirn_test
