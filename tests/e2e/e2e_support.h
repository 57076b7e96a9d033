#pragma once
// Driving the built program from a test: starting it in a working folder,
// waiting for it, xdotool runs, screenshots of its window and the close
// request a window manager would send.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pirn_test {

bool HasDisplay();

// Runs a program found on PATH and waits for it (at most limitSeconds, then
// it is killed). Returns its exit status, -1 when it could not be run or did
// not end by itself. Standard output goes into *output when given.
int RunCommand(const std::vector<std::string>& argv, std::string* output = nullptr, double limitSeconds = 30.0);

// One run of a program under test. Killed (by its own pid) if it still runs
// when the object goes away.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts program in folder with extra environment entries ("NAME=value";
    // "NAME=" removes NAME); standard output and error go to outputPath.
    bool Start(const std::string& program, const std::string& folder, const std::vector<std::string>& env,
               const std::string& outputPath);
    // Waits up to limitSeconds for the end. True when it ended; *status is
    // its exit status, or 128 + the signal that ended it.
    bool Wait(double limitSeconds, int* status);
    bool Running();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;
};

// Polls until done() holds or the limit passes (a safety limit, not a
// measurement). Returns done().
bool WaitUntil(const std::function<bool()>& done, double limitSeconds = 20.0);

// Runs xdotool; every "{win}" in args becomes the window id. True on exit 0.
bool Xdotool(const std::string& window, std::vector<std::string> args);
// The id of the top-level window of process pid with exactly this title,
// "" when there is none yet.
std::string FindWindow(pid_t pid, const std::string& title);
// Width and height of a window, false when xdotool cannot tell.
bool WindowSize(const std::string& window, int* width, int* height);

// Sends WM_DELETE_WINDOW, as a window manager does for the close button.
bool SendCloseRequest(const std::string& window);

// RGB pixels of a window, rows top-down.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool empty() const { return rgb.empty(); }
    const unsigned char* At(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    // Number of distinct colours (a blank screen has one).
    size_t CountColours() const;
    // Pixels that differ from other's; SIZE_MAX when the sizes differ or
    // nothing was captured.
    size_t CountDifferences(const Screenshot& other) const;
    // The same outside the rectangle [left, right) x [top, bottom).
    size_t CountDifferencesOutside(const Screenshot& other, int left, int top, int right, int bottom) const;
};
// Captures the window with ImageMagick's import; also saves a PNG copy to
// keepPath when it is not empty.
Screenshot CaptureWindow(const std::string& window, const std::string& keepPath = "");

// Lines of a text file without their line ends.
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace pirn_test
