#pragma once
// Support for tests that need a real window under X (Xvfb in the test run):
// one program window opened through the platform layer, an event pump that
// waits for a condition, xdotool runs aimed at that window, and a recorder
// of everything the input relay delivers.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace pirn_test {

// Whether an X display is named in the environment.
bool HasDisplay();

// Skips the current test when there is no display to open a window on.
#define PIRN_REQUIRE_DISPLAY()                                                    \
    do {                                                                          \
        if (!::pirn_test::HasDisplay()) GTEST_SKIP() << "no DISPLAY (run under xvfb-run)"; \
    } while (0)

// Runs a program found on PATH with the given arguments and waits for it,
// at most 30 s: one still running then is killed. Returns its exit status,
// or -1 when it could not be started, was killed or ran out of time.
// Standard output goes into *output when given.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);
bool HaveProgram(const std::string& name);

// The one program window of the test process (the platform layer has one
// window per process). Opened on first use and kept until the process ends,
// so every test of a suite shares it.
class GuiWindow {
public:
    // OsInit + OsSetWindow (no vsync) + the window mapped; true when the
    // window is there. Later calls return the first result.
    static bool Open(const std::string& title, int width, int height);
    static bool IsOpen();
    static const std::string& Title();
    // The X window id as decimal text, found by its title with xdotool (so
    // the test also shows that the title reached the desktop).
    static const std::string& XWindowId();
};

// Polls the platform until done() holds or the time limit passes (a safety
// limit, not a measurement). Returns done().
bool PumpUntil(const std::function<bool()>& done, double limitSeconds = 10.0);
// Polls for a while, for events that must NOT come.
void PumpFor(double seconds);

// Runs xdotool; every "{win}" in args becomes the window id. True on exit 0.
bool Xdotool(std::vector<std::string> args);

// Everything the input relay hands the program, in order.
struct RelayedInput {
    enum Kind { Key, Char, Button, Move, Wheel, HorizontalWheel, Close, Refresh, Size };
    Kind kind;
    int a;  // key code, character, button, x, wheel position, width
    int b;  // action, action, action, y, -, height
};

class InputRecorder {
public:
    // Installs the recorder as every handler and callback of the relay.
    static void Install();
    static void Clear();
    static const std::vector<RelayedInput>& Events();
    // Events of one kind, in order.
    static std::vector<RelayedInput> Of(RelayedInput::Kind kind);
    static bool Has(RelayedInput::Kind kind, int a, int b);
    static bool HasKind(RelayedInput::Kind kind);
    // Answer given to close requests (0 keeps the window open).
    static void SetCloseAnswer(int answer);
    // The events as readable lines, for failure messages.
    static std::string Describe();
};

}  // namespace pirn_test
