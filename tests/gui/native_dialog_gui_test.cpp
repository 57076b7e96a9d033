// Native dialogs with the desktop's own chooser (zenity) under X: the
// program keeps drawing frames while the dialog is open, and what the user
// types there comes back through the dialog rules.

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/native_dialogs.h"
#include "platform/os/core/zenity_dialog_backend.h"
#include "platform/os/os_dialogs.h"
#include "platform/os/os_window.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

double Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Ends the dialog programs this test process started (found by parent
// process id), each by its own id.
void StopChildDialogs() {
    const std::string self = std::to_string(getpid());
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return;
    while (dirent* entry = readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream file("/proc/" + pid + "/stat");
        std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        // pid (comm) state ppid ...
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos || stat.compare(0, pid.size() + 2, pid + " (") != 0) continue;
        const std::string comm = stat.substr(pid.size() + 2, close - pid.size() - 2);
        std::istringstream rest(stat.substr(close + 1));
        std::string state, ppid;
        rest >> state >> ppid;
        if (ppid == self && comm == "zenity") kill(std::atoi(pid.c_str()), SIGTERM);
    }
    closedir(proc);
}

// Plays the user: once a window with the title shows, types keys into it.
// A chooser that is not ready yet ignores them, so the keys are sent again
// every two seconds until the dialog has gone.
class DialogUser {
public:
    DialogUser(std::string title, std::vector<std::vector<std::string>> xdotool_runs)
        : title_(std::move(title)), runs_(std::move(xdotool_runs)) {}
    // Runs an action of its own on the window (given its id) instead.
    DialogUser(std::string title, std::function<void(const std::string&)> action)
        : title_(std::move(title)), action_(std::move(action)) {}

    void Frame() {
        ++frames_;
        OsPollEvents();
        if (started_ == 0) started_ = Now();
        if (Now() - started_ > 90) {
            // The dialog never showed or never went: end it so the test
            // fails rather than waits for ever.
            StopChildDialogs();
            return;
        }
        if (Now() < next_try_) return;
        next_try_ = Now() + 2.0;
        std::string ids;
        if (pirn_test::RunProgram({"xdotool", "search", "--name", title_}, &ids) != 0 || ids.empty()) {
            next_try_ = Now() + 0.2;
            return;
        }
        const std::string id = ids.substr(0, ids.find('\n'));
        if (first_seen_ == 0) first_seen_ = Now();
        if (Now() - first_seen_ > 60) {
            // The keys never took: close the dialog so the test fails
            // rather than waits for ever.
            pirn_test::RunProgram({"xdotool", "windowkill", id});
            return;
        }
        pirn_test::RunProgram({"xdotool", "windowfocus", "--sync", id});
        if (action_) {
            action_(id);
            return;
        }
        for (std::vector<std::string> run : runs_) {
            for (std::string& arg : run) {
                if (arg == "{win}") arg = id;
            }
            run.insert(run.begin(), "xdotool");
            pirn_test::RunProgram(run);
        }
    }
    int frames() const { return frames_; }

private:
    std::string title_;
    std::vector<std::vector<std::string>> runs_;
    std::function<void(const std::string&)> action_;
    double next_try_ = 0;
    double started_ = 0;
    double first_seen_ = 0;
    int frames_ = 0;
};

class NativeDialogGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        if (!pirn_test::HaveProgram("zenity")) GTEST_SKIP() << "zenity is not installed";
        ASSERT_TRUE(pirn_test::GuiWindow::Open("Pirn GUI Test", 640, 480));
        SetNativeDialogBackend(OsNativeDialogBackend());
        SetNativeDialogModeHook([this](bool on) { modes_.push_back(on); });
    }
    void TearDown() override {
        // Without a window manager the focus stays wherever the dialog left
        // it; later tests of the suite expect it on the program window.
        if (pirn_test::GuiWindow::IsOpen() && !pirn_test::GuiWindow::XWindowId().empty()) {
            pirn_test::RunProgram({"xdotool", "windowfocus", "--sync", pirn_test::GuiWindow::XWindowId()});
            pirn_test::PumpFor(0.05);
        }
        SetNativeDialogBackend(nullptr);
        SetNativeDialogModeHook(nullptr);
        SetNativeDialogFrameHook(nullptr);
    }
    // Location bar, its text replaced by the path, then Enter.
    static std::vector<std::vector<std::string>> TypePath(const std::string& path) {
        return {{"key", "--window", "{win}", "ctrl+l"},
                {"key", "--window", "{win}", "ctrl+a"},
                {"type", "--window", "{win}", "--delay", "10", path},
                {"key", "--window", "{win}", "Return"}};
    }

    std::vector<bool> modes_;
    pirn_test::TempDir dir_;
};

TEST_F(NativeDialogGuiTest, OpenFileWhileFramesKeepComing) {
    pirn_test::WriteAll(dir_.file("IMG.PNG"), std::string("x"));
    DialogUser user("Open Picture", TypePath(dir_.file("IMG.PNG")));
    SetNativeDialogFrameHook([&] { user.Frame(); });

    std::string path = dir_.file("");
    u32 index = 0;
    ASSERT_TRUE(OsOpenFile("Open Picture", {{"BMP", "*.bmp"}, {"PNG", "*.png"}}, &index, &path, nullptr));
    EXPECT_EQ(path, dir_.file("IMG.PNG"));  // nothing appended to a file opened
    EXPECT_EQ(index, 1u);
    EXPECT_GT(user.frames(), 0);
    EXPECT_EQ(modes_, (std::vector<bool>{true, false}));
}

TEST_F(NativeDialogGuiTest, SaveAppendsTheExtensionThenAsksTheExtraChoice) {
    // The file chooser, then the list of the extra box, each its own window.
    DialogUser chooser("^Export Plate$", TypePath(dir_.file("plate")));
    DialogUser list("^Export Plate - Mode$", {{"windowfocus", "--sync", "{win}"},
                                              {"key", "--window", "{win}", "Tab", "Tab", "Return"}});
    SetNativeDialogFrameHook([&] {
        chooser.Frame();
        list.Frame();
    });
    FileDialogOptions options;
    AddFileDialogChoices(options, "Mode:", 1, {{"By Numbering", 10}, {"By Bitmap Name", 11}});
    options.boxes[0].chosen_index = 0;  // must be written back
    std::string path;
    u32 index = 1;
    ASSERT_TRUE(OsSaveFile("Export Plate", {{"BMP", "*.bmp"}, {"PNG", "*.png"}}, &index, &path, &options));
    EXPECT_EQ(path, dir_.file("plate.png"));
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(GetFileDialogChoice(options, 0), 11u);
}

// Clicks the chooser's Select button, at the bottom right of its window.
void ClickSelect(const std::string& id) {
    std::string geometry;
    pirn_test::RunProgram({"xdotool", "getwindowgeometry", "--shell", id}, &geometry);
    auto field = [&](const std::string& name) {
        const std::size_t at = geometry.find(name + "=");
        return at == std::string::npos ? 0 : std::atoi(geometry.c_str() + at + name.size() + 1);
    };
    const int width = field("WIDTH"), height = field("HEIGHT");
    if (width <= 60 || height <= 40) return;
    pirn_test::RunProgram({"xdotool", "mousemove", "--window", id, std::to_string(width - 45),
                           std::to_string(height - 25), "click", "1"});
}

TEST_F(NativeDialogGuiTest, ColourChooserShowsAndKeepsCustomColours) {
    CustomColors colors;
    colors.fill(ColorRgb{255, 255, 255});
    colors[0] = ColorRgb{255, 0, 0};
    OsSetCustomColors(colors);
    DialogUser user("^Color$", ClickSelect);
    SetNativeDialogFrameHook([&] { user.Frame(); });

    ColorRgb rgb{10, 20, 30};
    ASSERT_TRUE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{10, 20, 30}));
    // GTK files the colour it was opened with among its custom colours,
    // ahead of the ones handed in.
    EXPECT_EQ(OsCustomColors()[0], (ColorRgb{10, 20, 30}));
    EXPECT_EQ(OsCustomColors()[1], (ColorRgb{255, 0, 0}));
    EXPECT_EQ(OsCustomColors()[2], (ColorRgb{255, 255, 255}));
    colors.fill(ColorRgb{255, 255, 255});
    OsSetCustomColors(colors);
}

}  // namespace
}  // namespace pirn
