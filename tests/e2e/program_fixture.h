#pragma once
// The built program as a user starts it: a fresh working folder with the
// generated resources, an optional demo game folder, the program under
// Xvfb, its window found by title, screenshots kept in the build folder's
// e2e-screenshots/, and the log and preferences it writes read back.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/e2e/window_report_reader.h"
#include "tests/support/test_support.h"

namespace pirn_test {

// The menu bar across the top of the screen: window placements count from
// below it (its 29 rows, as drawn).
constexpr int kMenuBarHeight = 29;

inline std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void CopyFile(const std::string& from, const std::string& to) { WriteAll(to, ReadAll(from)); }

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

class PirnProgramTest : public ::testing::Test {
protected:
    void SetUp() override { FindProgram("PIRN_PROGRAM"); }

    // The program CTest names in programVariable and the run folder with
    // the generated resources; skips without a display, the resources or
    // one of the tools; screenshots go to the build folder when there is one.
    void FindProgram(const char* programVariable, const std::vector<const char*>& tools = {"xdotool", "import"}) {
        if (!HasDisplay()) GTEST_SKIP() << "no DISPLAY (run under xvfb-run)";
        const char* program = std::getenv(programVariable);
        const char* runDir = std::getenv("PIRN_E2E_RUN_DIR");
        ASSERT_TRUE(program && runDir) << programVariable << " and PIRN_E2E_RUN_DIR come from CTest";
        program_ = program;
        runDir_ = runDir;
        if (!Exists(runDir_ + "/res/orvane.pirnfont") || !Exists(runDir_ + "/res/texturepack"))
            GTEST_SKIP() << "no generated resources in " << runDir_ << " (build the 64-bit flavour first)";
        for (const char* tool : tools)
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
        if (Exists(runDir_ + "/res/pirn.bmp")) CopyFile(runDir_ + "/res/pirn.bmp", dir_.file("res/pirn.bmp"));
        if (Exists(runDir_ + "/res/dtex.act")) CopyFile(runDir_ + "/res/dtex.act", dir_.file("res/dtex.act"));
        if (Exists(runDir_ + "/charmap")) CopyFile(runDir_ + "/charmap", dir_.file("charmap"));
    }

    // The tag layout definitions (res/*.xml) the run folder has: the struct
    // editors' groups.
    void CopyDefinitionFiles() {
        DIR* folder = ::opendir((runDir_ + "/res").c_str());
        ASSERT_NE(folder, nullptr);
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
                CopyFile(runDir_ + "/res/" + name, dir_.file("res/" + name));
        }
        ::closedir(folder);
    }

    // The font, the texture pack and the character map the run folder has.
    void CopyGeneratedFiles() {
        for (const char* res : {"/res/orvane.pirnfont", "/res/texturepack", "/charmap"})
            if (Exists(runDir_ + res)) WriteAll(dir_.path() + res, ReadAll(runDir_ + res));
    }

    // The working folder on a generated demo game in game_, with the
    // program's window at 1024 x 768, no splash and the Archive Browser
    // placed as given ("0 left top right bottom"); skips without the
    // generator.
    void PrepareDemoGame(const std::string& browserPlacement = "0 0 0 1024 720") {
        if (!std::getenv("PIRN_MAKE_DEMO_GAME")) GTEST_SKIP() << "no demo game generator in this build";
        PrepareWorkingFolder();
        game_ = MakeGameFolder();
        WriteDemoPrefs(browserPlacement);
    }
    void WriteDemoPrefs(const std::string& browserPlacement) {
        WriteAll(dir_.file("res/prefs.txt"),
                 "ZarnPath \"" + game_ + "\"\nShowSplash 0\nOsWindowSizeX 1024\nOsWindowSizeY 768\n" +
                     "ArchiveBrowserPlacement \"" + browserPlacement + "\"\n");
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
        env.push_back("PIRN_WINDOW_REPORT=" + ReportPath());
        // A restart's wait must not take the last run's log or window
        // report for its own.
        ::unlink(dir_.file("pirn_log.txt").c_str());
        ::unlink(ReportPath().c_str());
        ASSERT_TRUE(run_.Start(program_, dir_.path(), env, output_.file("output.txt")));
    }

    // Waits for the main loop and the first frame; returns the window id.
    // With the splash, waits until it has faded (2.5 s after the first frame).
    std::string WaitForDesktop(bool splash = false) {
        EXPECT_TRUE(WaitForMainLoop()) << Output();
        const std::string window = WaitForPirnWindow();
        EXPECT_FALSE(window.empty()) << "no window titled Pirn";
        if (window.empty()) return window;
        // Something is drawn: the desktop and the Archive Browser on it.
        Screenshot shot;
        const bool drawn = WaitUntil([&] {
            shot = CaptureWindow(window);
            return !shot.empty() && shot.CountColours() > 8;
        });
        EXPECT_TRUE(drawn) << "the first frame never showed";
        if (splash) SleepSeconds(3.0);
        return window;
    }

    // True once the log says the main loop runs.
    bool WaitForMainLoop() const {
        return WaitUntil([&] { return Contains(Log(), "Entering main loop..."); });
    }
    // The id of the program's window, "" when it never showed.
    std::string WaitForPirnWindow() const {
        std::string window;
        WaitUntil([&] { return !(window = FindWindow(run_.pid(), "Pirn")).empty(); });
        return window;
    }

    std::string StartProgram(std::vector<std::string> env = {}) {
        Start(std::move(env));
        return WaitForDesktop();
    }

    // Alt+F4, the quit confirmation shows, Return confirms; the program ends
    // with status 0.
    void Quit(const std::string& window) {
        const Screenshot before = CaptureWindow(window);
        ASSERT_TRUE(Keys(window, {"alt+F4"}));
        Screenshot now;
        ASSERT_TRUE(WaitForQuitBox(window, before, true, &now)) << "no quit confirmation";
        ASSERT_TRUE(Keys(window, {"Return"}));
        EXPECT_EQ(WaitForExit(), 0) << Output();
    }

    // Type-ahead in the focused list, after the pause that ends the last
    // search (half a second without typing).
    static void Find(const std::string& window, const std::string& prefix) {
        SleepSeconds(0.8);
        ASSERT_TRUE(Type(window, prefix));
        SleepSeconds(0.3);
    }
    // Selects a tag row of the browser's tree (focused): its group row by
    // name, opened, then the row.
    static void FindTag(const std::string& window, const std::string& group, const std::string& name) {
        Find(window, group);
        ASSERT_TRUE(Keys(window, {"Right"}));
        Find(window, name);
    }

    static void SleepSeconds(double seconds) {
        WaitUntil([] { return false; }, seconds);
    }

    // xdotool key names, sent one after another to the window.
    static bool Keys(const std::string& window, const std::vector<std::string>& keys) {
        std::vector<std::string> args = {"key", "--window", "{win}", "--delay", "60"};
        args.insert(args.end(), keys.begin(), keys.end());
        return Xdotool(window, args);
    }
    // Typed text (type-ahead in lists, text fields).
    static bool Type(const std::string& window, const std::string& text) {
        return Xdotool(window, {"type", "--window", "{win}", "--delay", "60", text});
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

    // The program's report of its own windows (ui/window_report.h).
    std::string ReportPath() const { return output_.file("windows.txt"); }
    WindowReport Windows() const { return ReadWindowReport(ReportPath()); }
    // Waits until the program reports windows that satisfy holds; on
    // timeout the test fails naming what it waited for and what was open.
    // Returns the last report read.
    WindowReport WaitForWindows(const std::string& what, const std::function<bool(const WindowReport&)>& holds,
                                double limitSeconds = 60.0) const {
        WindowReport report;
        const bool ok = WaitUntil(
            [&] {
                report = Windows();
                return report.serial != 0 && holds(report);
            },
            limitSeconds);
        EXPECT_TRUE(ok) << "waited " << limitSeconds << " s for " << what << "; the program reports "
                        << report.Describe();
        return report;
    }

    std::vector<std::string> Log() const { return ReadLines(dir_.file("pirn_log.txt")); }
    std::string Output() const { return ReadText(output_.file("output.txt")); }
    std::string Prefs() const { return ReadText(dir_.file("res/prefs.txt")); }
    // The preference file without the lines of the given keys.
    std::string PrefsWithout(const std::vector<std::string>& keys) const {
        std::string kept;
        for (const std::string& line : ReadLines(dir_.file("res/prefs.txt"))) {
            bool drop = false;
            for (const std::string& key : keys) drop = drop || line.rfind(key + " ", 0) == 0;
            if (!drop) kept += line + "\n";
        }
        return kept;
    }
    // The line of one key without the key, "" when absent.
    std::string PrefLine(const std::string& key) const {
        for (const std::string& line : ReadLines(dir_.file("res/prefs.txt")))
            if (line.rfind(key + " ", 0) == 0) return line.substr(key.size() + 1);
        return "";
    }

    std::string program_;
    std::string runDir_;
    std::string game_;  // the demo game folder
    std::string shotDir_;
    TempDir dir_;     // the working folder
    TempDir output_;  // the program's standard output and error
    ProgramRun run_;
};

}  // namespace pirn_test
