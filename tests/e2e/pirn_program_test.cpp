// Pirn as a user starts it: in a fresh working folder with the generated
// resources, under Xvfb, driven with xdotool. Checks the start-up log, the
// window, the screen, the quit confirmation, the preferences written at
// shutdown, and how fatal start-up failures end.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"

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

TEST_F(PirnProgramTest, StartsToTheDesktopAndQuitsOnlyWhenConfirmed) {
    PrepareWorkingFolder();
    const std::string game = MakeGameFolder();
    // Written out of order, with a key the program does not know. The
    // Archive Browser stands in the top-left corner, leaving desktop free.
    WriteAll(dir_.file("res/prefs.txt"), "ZzExtra 5\nZarnPath \"" + game +
                                             "\"\nOsWindowSizeY 200\nOsWindowSizeX 300\nShowSplash 0\n"
                                             "ArchiveBrowserPlacement \"0 10 10 470 320\"\n");
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
    ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", "560", "400", "click", "1", "click", "3",
                                 "click", "4", "click", "5", "click", "4"}));
    EXPECT_TRUE(WaitForQuitBox(window, desktop, false, &current));
    EXPECT_TRUE(run_.Running());

    // A larger window: the window system takes the new size and draws the
    // desktop into all of it (no black left where the window grew).
    ASSERT_TRUE(Xdotool(window, {"windowsize", "{win}", "800", "600"}));
    // Counted where the window grew: the browser's text is dark anyway.
    auto blackPixels = [](const Screenshot& shot) {
        size_t black = 0;
        for (int y = 0; y < shot.height; y++)
            for (int x = 0; x < shot.width; x++) {
                if (x < 640 && y < 480) continue;
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
    // The size the window was given last is remembered for the next start.
    EXPECT_EQ(PrefsWithout({"CodexWorkingSet"}),
              "ArchiveBrowserPlacement \"0 10 10 470 320\"\nOsWindowSizeX 800\nOsWindowSizeY 600\nShowSplash 0\n"
              "UseFullscreen 0\nUseVSync 0\nZarnPath \"" + game + "\"\nZzExtra 5\n");
    if (std::getenv("PIRN_MAKE_DEMO_GAME")) {
        EXPECT_EQ(PrefLine("CodexWorkingSet"), "\"zarnhold;campaign;terrain;Caf\\xC3\\xA9\\\\; Night Pack;Demo Addon;\"");
    }
}

TEST_F(PirnProgramTest, AFirstStartUsesTheDefaultsAndEveryStartRestartsTheLog) {
    PrepareWorkingFolder();
    for (int start = 0; start < 2; start++) {
        SCOPED_TRACE(start);
        // The second start copies the front buffer back after each swap, as
        // on a double-buffered chain.
        if (start == 0) Start();
        else Start({"PIRN_SWAP_CHAIN_LENGTH=2"});
        // The first start shows the splash, once.
        const std::string window = WaitForDesktop(start == 0);
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
        // No game: an empty working set; the browser as it was placed.
        EXPECT_EQ(PrefsWithout({"ArchiveBrowserPlacement"}),
                  "CodexWorkingSet \"\"\nShowSplash 0\nUseFullscreen 0\nUseVSync 0\nZarnPath \".\"\n");
        EXPECT_EQ(PrefLine("ArchiveBrowserPlacement").substr(0, 3), "\"0 ");
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
