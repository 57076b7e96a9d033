// Pirn as a user starts it: in a fresh working folder with the generated
// resources, under Xvfb, driven with xdotool. Checks the start-up log, the
// window, the screen, the quit confirmation, the preferences written at
// shutdown, and how fatal start-up failures end.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_support.h"

namespace pirn_test {
namespace {

const std::vector<std::string> kFullLog = {
    "In main",
    "OsSpecificInit Passed",
    "ReadPrefs Passed",
    "OsInit Passed",
    "OsSetWindow Passed",
    "PirnGL_Init Passed",
    "Window Adjustment OK",
    "DetermineSwapChainLength Passed",
    "Font loaded",
    "Window System Initialized",
    "XML Editors Initialized",
    "Codex Initialized",
    "Archive Browser Opened",
    "Entering main loop...",
    "Shutting down...",
    "Graceful shutdown complete",
};

std::vector<std::string> LogUpTo(const std::string& last) {
    std::vector<std::string> lines;
    for (const std::string& line : kFullLog) {
        lines.push_back(line);
        if (line == last) break;
    }
    return lines;
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

void CopyFile(const std::string& from, const std::string& to) { WriteAll(to, ReadAll(from)); }

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

class PirnProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasDisplay()) GTEST_SKIP() << "no DISPLAY (run under xvfb-run)";
        const char* program = std::getenv("PIRN_PROGRAM");
        const char* runDir = std::getenv("PIRN_E2E_RUN_DIR");
        ASSERT_TRUE(program && runDir) << "PIRN_PROGRAM and PIRN_E2E_RUN_DIR come from CTest";
        program_ = program;
        runDir_ = runDir;
        if (!Exists(runDir_ + "/res/orvane.pirnfont") || !Exists(runDir_ + "/res/texturepack"))
            GTEST_SKIP() << "no generated resources in " << runDir_ << " (build the 64-bit flavour first)";
        for (const char* tool : {"xdotool", "import"})
            if (RunCommand({"sh", "-c", std::string("command -v ") + tool}) != 0) GTEST_SKIP() << tool << " missing";
        if (const char* build = std::getenv("PIRN_BUILD_DIR")) {
            shotDir_ = std::string(build) + "/e2e-screenshots";
            ::mkdir(shotDir_.c_str(), 0755);
        }
    }

    // The working folder a user gets: res/ with the font and the texture
    // pack, and the character map.
    void PrepareWorkingFolder(bool withFont = true, bool withSkin = true) {
        if (withFont) CopyFile(runDir_ + "/res/orvane.pirnfont", dir_.file("res/orvane.pirnfont"));
        if (withSkin) CopyFile(runDir_ + "/res/texturepack", dir_.file("res/texturepack"));
        if (Exists(runDir_ + "/charmap")) CopyFile(runDir_ + "/charmap", dir_.file("charmap"));
    }

    // A generated demo game folder, when the generator is built.
    std::string MakeGameFolder() {
        const std::string game = dir_.file("Zarnhold");
        const char* tool = std::getenv("PIRN_MAKE_DEMO_GAME");
        if (tool) EXPECT_EQ(RunCommand({tool, game}), 0);
        else ::mkdir(game.c_str(), 0755);
        return game;
    }

    void Start(std::vector<std::string> env = {}) {
        env.push_back("PIRN_NO_NATIVE_BOXES=1");
        ASSERT_TRUE(run_.Start(program_, dir_.path(), env, output_.file("output.txt")));
    }

    // Waits for the main loop and the first frame; returns the window id.
    std::string WaitForDesktop() {
        const bool looping = WaitUntil([&] { return Contains(Log(), "Entering main loop..."); });
        EXPECT_TRUE(looping) << Output();
        std::string window;
        WaitUntil([&] { return !(window = FindWindow(run_.pid(), "Pirn")).empty(); });
        EXPECT_FALSE(window.empty()) << "no window titled Pirn";
        if (window.empty()) return window;
        // The desktop is drawn in the skin's light background, never black.
        Screenshot shot;
        const bool drawn = WaitUntil([&] {
            shot = CaptureWindow(window);
            return !shot.empty() && shot.At(shot.width / 2, shot.height / 2)[0] > 128;
        });
        EXPECT_TRUE(drawn) << "the first frame never showed";
        return window;
    }

    Screenshot Shot(const std::string& window, const std::string& name) {
        return CaptureWindow(window, shotDir_.empty() ? "" : shotDir_ + "/" + name + ".png");
    }

    // The quit confirmation dims everything behind it: the corners of the
    // screen are at half their brightness.
    static bool IsDimmed(const Screenshot& shot, const Screenshot& desktop) {
        if (shot.empty() || shot.width != desktop.width || shot.height != desktop.height) return false;
        const unsigned char* now = shot.At(2, shot.height - 3);
        const unsigned char* before = desktop.At(2, desktop.height - 3);
        for (int c = 0; c < 3; c++)
            if (std::abs(int(now[c]) - int(before[c]) / 2) > 8) return false;
        return true;
    }

    // Waits for the quit box to show, or to be gone again.
    bool WaitForQuitBox(const std::string& window, const Screenshot& desktop, bool shown, Screenshot* last) {
        return WaitUntil([&] {
            *last = CaptureWindow(window);
            if (last->empty()) return false;
            return shown ? IsDimmed(*last, desktop) : last->CountDifferences(desktop) == 0;
        });
    }

    int WaitForExit() {
        int status = -1;
        EXPECT_TRUE(run_.Wait(20.0, &status)) << "the program did not end";
        return status;
    }

    std::vector<std::string> Log() const { return ReadLines(dir_.file("pirn_log.txt")); }
    std::string Output() const { return ReadText(output_.file("output.txt")); }
    std::string Prefs() const { return ReadText(dir_.file("res/prefs.txt")); }

    std::string program_;
    std::string runDir_;
    std::string shotDir_;
    TempDir dir_;     // the working folder
    TempDir output_;  // the program's standard output and error
    ProgramRun run_;
};

TEST_F(PirnProgramTest, StartsToTheDesktopAndQuitsOnlyWhenConfirmed) {
    PrepareWorkingFolder();
    const std::string game = MakeGameFolder();
    // Written out of order, with a key the program does not know.
    WriteAll(dir_.file("res/prefs.txt"), "ZzExtra 5\nZarnPath \"" + game +
                                             "\"\nOsWindowSizeY 200\nOsWindowSizeX 300\nShowSplash 0\n");
    Start();
    const std::string window = WaitForDesktop();
    ASSERT_FALSE(window.empty());

    int width = 0, height = 0;
    ASSERT_TRUE(WindowSize(window, &width, &height));
    EXPECT_EQ(width, 640);  // 300 x 200 raised to the smallest window
    EXPECT_EQ(height, 480);

    Screenshot desktop = Shot(window, "desktop");
    ASSERT_EQ(desktop.width, 640);
    ASSERT_EQ(desktop.height, 480);

    // Keys reach the window system: Ctrl+F1 shows the debug overlay's text
    // at the bottom and hides it again.
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "ctrl+F1"}));
    Screenshot overlay;
    EXPECT_TRUE(WaitUntil([&] {
        overlay = CaptureWindow(window);
        return !overlay.empty() && overlay.CountDifferences(desktop) > 200;
    }));
    Shot(window, "debug-overlay");
    EXPECT_GT(overlay.CountColours(), 8u);  // text, not a flat fill
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "ctrl+F1"}));
    Screenshot current;
    EXPECT_TRUE(WaitForQuitBox(window, desktop, false, &current)) << "the overlay stayed";

    // Clicks and the wheel on the empty desktop change nothing.
    ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", "200", "150", "click", "1", "click", "3",
                                 "click", "4", "click", "5", "click", "4"}));
    EXPECT_TRUE(WaitForQuitBox(window, desktop, false, &current));
    EXPECT_TRUE(run_.Running());

    // A larger window: the window system takes the new size and draws the
    // desktop into all of it (no black left where the window grew).
    ASSERT_TRUE(Xdotool(window, {"windowsize", "{win}", "800", "600"}));
    auto blackPixels = [](const Screenshot& shot) {
        size_t black = 0;
        for (int y = 0; y < shot.height; y++)
            for (int x = 0; x < shot.width; x++) {
                const unsigned char* p = shot.At(x, y);
                if (p[0] < 64 && p[1] < 64 && p[2] < 64) black++;
            }
        return black;
    };
    EXPECT_TRUE(WaitUntil([&] {
        current = CaptureWindow(window);
        return current.width == 800 && current.height == 600 && blackPixels(current) == 0;
    })) << "the resized window was not redrawn";
    width = 800;
    height = 600;
    desktop = Shot(window, "resized-desktop");

    // Alt+F4 asks; "Don't Quit" (the right-hand button, centred in the
    // screen) keeps the program running.
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "alt+F4"}));
    ASSERT_TRUE(WaitForQuitBox(window, desktop, true, &current)) << "no quit confirmation";
    Shot(window, "quit-confirmation");
    EXPECT_GT(current.CountColours(), 16u);
    ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(width / 2 + 60),
                                 std::to_string(height / 2 + 11), "click", "1"}));
    EXPECT_TRUE(WaitForQuitBox(window, desktop, false, &current)) << "the box stayed";
    EXPECT_TRUE(run_.Running());
    EXPECT_FALSE(Contains(Log(), "Shutting down..."));

    // The close button asks again; Enter answers with the focused "Quit".
    ASSERT_TRUE(SendCloseRequest(window));
    ASSERT_TRUE(WaitForQuitBox(window, desktop, true, &current)) << "no quit confirmation";
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "Return"}));
    EXPECT_EQ(WaitForExit(), 0) << Output();

    EXPECT_EQ(Log(), kFullLog);
    EXPECT_EQ(Prefs(), "OsWindowSizeX 300\nOsWindowSizeY 200\nShowSplash 0\nUseFullscreen 0\nUseVSync 0\n"
                       "ZarnPath \"" + game + "\"\nZzExtra 5\n");
}

TEST_F(PirnProgramTest, AFirstStartUsesTheDefaultsAndEveryStartRestartsTheLog) {
    PrepareWorkingFolder();
    for (int start = 0; start < 2; start++) {
        SCOPED_TRACE(start);
        // The second start copies the front buffer back after each swap, as
        // on a double-buffered chain.
        if (start == 0) Start();
        else Start({"PIRN_SWAP_CHAIN_LENGTH=2"});
        const std::string window = WaitForDesktop();
        ASSERT_FALSE(window.empty());
        int width = 0, height = 0;
        ASSERT_TRUE(WindowSize(window, &width, &height));
        EXPECT_EQ(width, 1024);
        EXPECT_EQ(height, 768);

        const Screenshot desktop = Shot(window, "default-desktop");
        Screenshot current;
        ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "alt+F4"}));
        ASSERT_TRUE(WaitForQuitBox(window, desktop, true, &current));
        // Tab moves the focus to "Don't Quit": only the box's buttons are
        // redrawn, and the rest of the presented frame must still be the
        // dimmed desktop (with the copy, what the back buffer got from the
        // front one).
        const Screenshot asking = CaptureWindow(window);
        ASSERT_FALSE(asking.empty());
        ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "Tab"}));
        EXPECT_TRUE(WaitUntil([&] {
            current = CaptureWindow(window);
            return !current.empty() && current.CountDifferences(asking) > 0;
        })) << "the focus did not move";
        Shot(window, start == 0 ? "focus-moved" : "focus-moved-copied");
        EXPECT_EQ(current.CountDifferencesOutside(asking, width / 2 - 200, height / 2 - 100, width / 2 + 200,
                                                  height / 2 + 100),
                  0u);
        // Pressing it brings the desktop back whole.
        ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "space"}));
        EXPECT_TRUE(WaitForQuitBox(window, desktop, false, &current));
        ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "alt+F4"}));
        ASSERT_TRUE(WaitForQuitBox(window, desktop, true, &current));
        ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "space"}));
        EXPECT_EQ(WaitForExit(), 0) << Output();

        EXPECT_EQ(Log(), kFullLog);  // one run's lines, not two
        EXPECT_EQ(Prefs(), "ShowSplash 1\nUseFullscreen 0\nUseVSync 0\nZarnPath \".\"\n");
    }
}

TEST_F(PirnProgramTest, WithoutTheResFolderItSaysSoAndFails) {
    Start();
    const int status = WaitForExit();
    EXPECT_NE(status, 0);
    EXPECT_NE(Output().find("The 'res' folder could not be found (improper installation?); quitting."),
              std::string::npos)
        << Output();
    EXPECT_EQ(Log(), LogUpTo("DetermineSwapChainLength Passed"));
    EXPECT_FALSE(Exists(dir_.file("res")));
}

TEST_F(PirnProgramTest, WithoutTheTexturePackItFails) {
    PrepareWorkingFolder(true, false);
    Start();
    EXPECT_NE(WaitForExit(), 0);
    EXPECT_EQ(Log(), LogUpTo("Font loaded"));
    EXPECT_FALSE(Exists(dir_.file("res/prefs.txt")));
}

TEST_F(PirnProgramTest, AWindowThatCannotOpenEndsTheStartAndKeepsThePreferences) {
    PrepareWorkingFolder();
    const std::string prefs = "OsWindowSizeX 800\nZarnPath \"/somewhere\"\n";
    WriteAll(dir_.file("res/prefs.txt"), prefs);
    Start({"DISPLAY=:4711"});  // no such display
    EXPECT_NE(WaitForExit(), 0);
    const std::vector<std::string> expected = {"In main", "OsSpecificInit Passed", "ReadPrefs Passed",
                                               "FATAL: OsSetWindow failed; quitting."};
    EXPECT_EQ(Log(), expected);
    EXPECT_NE(Output().find("FATAL: OsSetWindow failed; quitting."), std::string::npos) << Output();
    EXPECT_EQ(Prefs(), prefs);
}

TEST_F(PirnProgramTest, ALogThatCannotBeWrittenEndsTheStart) {
    PrepareWorkingFolder();
    ASSERT_EQ(::mkdir(dir_.file("pirn_log.txt").c_str(), 0755), 0);  // a folder in its place
    Start();
    EXPECT_NE(WaitForExit(), 0);
    EXPECT_NE(Output().find("Couldn't open pirn_log.txt for writing. Press OK to quit."), std::string::npos)
        << Output();
    EXPECT_FALSE(Exists(dir_.file("res/prefs.txt")));
}

}  // namespace
}  // namespace pirn_test
