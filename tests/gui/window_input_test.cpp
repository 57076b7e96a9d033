// The GLFW backend in a real window: xdotool sends keys, characters, clicks,
// wheel notches and drags, and the program key codes, characters and
// positions that reach the relay's handlers are checked.

#include <gtest/gtest.h>

#include <string>

#include "platform/os/cursor_id.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_input.h"
#include "platform/os/os_window.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/x11_client.h"

namespace pirn {
namespace {

using pirn_test::InputRecorder;
using pirn_test::PumpUntil;
using pirn_test::RelayedInput;
using pirn_test::Xdotool;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class WindowInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        ASSERT_TRUE(pirn_test::GuiWindow::Open("Pirn GUI Test", kWidth, kHeight));
        ASSERT_FALSE(pirn_test::GuiWindow::XWindowId().empty()) << "window not found by title";
        InputRecorder::Install();
        pirn_test::PumpFor(0.05);
        InputRecorder::Clear();
    }

    // Waits until the recorder holds a key event (code, action).
    static bool WaitForKey(int code, int action) {
        return PumpUntil([&] { return InputRecorder::Has(RelayedInput::Key, code, action); });
    }

    // Codes of the key presses, in order; every one must also be released
    // (xdotool decides the order of the releases).
    static std::vector<int> PressesAllReleased() {
        std::vector<int> presses;
        for (const RelayedInput& e : InputRecorder::Of(RelayedInput::Key))
            if (e.b == kOsPress) presses.push_back(e.a);
        for (int code : presses)
            EXPECT_TRUE(InputRecorder::Has(RelayedInput::Key, code, kOsRelease)) << code;
        return presses;
    }

    // The key events only, as (code, action) pairs.
    static std::vector<std::pair<int, int>> Keys() {
        std::vector<std::pair<int, int>> keys;
        for (const RelayedInput& e : InputRecorder::Of(RelayedInput::Key)) keys.push_back({e.a, e.b});
        return keys;
    }
};

using KeyList = std::vector<std::pair<int, int>>;

TEST_F(WindowInputTest, KeysWithModifiersArriveAsProgramCodes) {
    ASSERT_TRUE(Xdotool({"key", "--window", "{win}", "ctrl+a"}));
    ASSERT_TRUE(WaitForKey(kKeyLeftControl, kOsRelease)) << InputRecorder::Describe();
    EXPECT_EQ(PressesAllReleased(), (std::vector<int>{118, 65}));
    // Control+A types no character.
    EXPECT_FALSE(InputRecorder::HasKind(RelayedInput::Char)) << InputRecorder::Describe();

    InputRecorder::Clear();
    ASSERT_TRUE(Xdotool({"key", "--window", "{win}", "shift+F1", "alt+Escape", "Return", "KP_Enter",
                         "KP_7", "Up", "BackSpace", "Delete", "F12", "Super_L"}));
    ASSERT_TRUE(WaitForKey(kKeyF1 + 11, kOsRelease)) << InputRecorder::Describe();
    // Super has no program code and never arrives.
    EXPECT_EQ(PressesAllReleased(),
              (std::vector<int>{115, 98, 124, 97, 128, 144, 153, 135, 127, 134, 109}));
    EXPECT_EQ(Keys().size(), 22u);
}

TEST_F(WindowInputTest, TypedCharactersIncludingWhileAltIsHeld) {
    // Alt+e must still deliver the character so that the Option layer of the
    // character map can turn it into its accented form.
    ASSERT_TRUE(Xdotool({"key", "--window", "{win}", "shift+a", "alt+e", "9", "space"}));
    ASSERT_TRUE(WaitForKey(kKeySpace, kOsRelease)) << InputRecorder::Describe();
    std::vector<int> chars;
    for (const RelayedInput& e : InputRecorder::Of(RelayedInput::Char)) {
        chars.push_back(e.a);
        EXPECT_EQ(e.b, kOsPress);
    }
    EXPECT_EQ(chars, (std::vector<int>{'A', 'e', '9', ' '})) << InputRecorder::Describe();
    // The character comes after its key press.
    const auto& events = InputRecorder::Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].kind, RelayedInput::Key);
    EXPECT_EQ(events[0].a, kKeyLeftShift);
}

TEST_F(WindowInputTest, ClicksArriveAtThePointerPosition) {
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "100", "50"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Move, 100, 50); }))
        << InputRecorder::Describe();
    InputRecorder::Clear();
    // X buttons 1, 3, 2 are left, right, middle; 8 (back) has no program
    // button and must not arrive.
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "1"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "3"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "8"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "2"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Button, 2, kOsRelease); }))
        << InputRecorder::Describe();
    std::vector<std::pair<int, int>> buttons;
    for (const RelayedInput& e : InputRecorder::Of(RelayedInput::Button)) buttons.push_back({e.a, e.b});
    EXPECT_EQ(buttons, (KeyList{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}}));
    int x = 0, y = 0;
    OsGetMousePos(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
}

TEST_F(WindowInputTest, WheelNotchesMoveTheIntegerPosition) {
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "200", "200"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "4"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "4"}));
    ASSERT_TRUE(Xdotool({"click", "--window", "{win}", "5"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Of(RelayedInput::Wheel).size() >= 3; }))
        << InputRecorder::Describe();
    std::vector<RelayedInput> wheel = InputRecorder::Of(RelayedInput::Wheel);
    ASSERT_EQ(wheel.size(), 3u);
    // Away from the user (button 4) counts up; the position is absolute.
    EXPECT_EQ(wheel[1].a - wheel[0].a, 1);
    EXPECT_EQ(wheel[2].a - wheel[1].a, -1);
    // The wheel is not a button.
    EXPECT_FALSE(InputRecorder::HasKind(RelayedInput::Button));
}

TEST_F(WindowInputTest, DragReportsPressMotionAndRelease) {
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "50", "60"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Move, 50, 60); }));
    InputRecorder::Clear();
    ASSERT_TRUE(Xdotool({"mousedown", "--window", "{win}", "1"}));
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "120", "90"}));
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "300", "250"}));
    ASSERT_TRUE(Xdotool({"mouseup", "--window", "{win}", "1"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Button, 0, kOsRelease); }))
        << InputRecorder::Describe();
    const auto& events = InputRecorder::Events();
    size_t press = events.size(), far = events.size(), release = events.size();
    for (size_t i = 0; i < events.size(); ++i) {
        const RelayedInput& e = events[i];
        if (e.kind == RelayedInput::Button && e.a == 0 && e.b == kOsPress && press == events.size()) press = i;
        if (e.kind == RelayedInput::Move && e.a == 300 && e.b == 250) far = i;
        if (e.kind == RelayedInput::Button && e.a == 0 && e.b == kOsRelease) release = i;
    }
    ASSERT_LT(press, events.size()) << InputRecorder::Describe();
    ASSERT_LT(far, events.size()) << InputRecorder::Describe();
    EXPECT_LT(press, far);
    EXPECT_LT(far, release);
    EXPECT_TRUE(InputRecorder::Has(RelayedInput::Move, 120, 90)) << InputRecorder::Describe();
}

TEST_F(WindowInputTest, WarpingThePointerIsNotReportedAsMotion) {
    OsSetMousePos(310, 220);
    pirn_test::PumpFor(0.2);
    int x = 0, y = 0;
    OsGetMousePos(&x, &y);
    EXPECT_EQ(x, 310);
    EXPECT_EQ(y, 220);
    EXPECT_FALSE(InputRecorder::Has(RelayedInput::Move, 310, 220)) << InputRecorder::Describe();
}

// The window system's pointer lock: the pointer is hidden and held, warped
// to the centre after each motion, and motion arrives relative to the warp.
TEST_F(WindowInputTest, LockedPointerReportsMotionFromTheWarpPoint) {
    ASSERT_TRUE(Xdotool({"mousemove", "--window", "{win}", "300", "200"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Move, 300, 200); }));
    OsSetPointerLock(1);
    OsSetMousePos(kWidth / 2, kHeight / 2);
    pirn_test::PumpFor(0.1);
    InputRecorder::Clear();
    ASSERT_TRUE(Xdotool({"mousemove_relative", "--", "15", "-7"}));
    EXPECT_TRUE(PumpUntil([] { return InputRecorder::HasKind(RelayedInput::Move); }));
    std::vector<RelayedInput> moves = InputRecorder::Of(RelayedInput::Move);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().a, kWidth / 2 + 15) << InputRecorder::Describe();
    EXPECT_EQ(moves.back().b, kHeight / 2 - 7) << InputRecorder::Describe();
    OsSetPointerLock(0);
    pirn_test::PumpFor(0.05);
}

TEST_F(WindowInputTest, CloseRequestReachesTheCallbackAndCanBeVetoed) {
    InputRecorder::SetCloseAnswer(0);
    ASSERT_TRUE(pirn_test::SendDeleteWindowRequest(static_cast<unsigned long>(OsGetNativeWindow())));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::HasKind(RelayedInput::Close); }));
    EXPECT_EQ(OsWindowCloseRequested(), 0);
    // The window is still there and still takes input.
    ASSERT_TRUE(Xdotool({"key", "--window", "{win}", "x"}));
    EXPECT_TRUE(WaitForKey('X', kOsRelease)) << InputRecorder::Describe();
}

TEST_F(WindowInputTest, ResizeReportsTheNewDrawableSize) {
    ASSERT_TRUE(Xdotool({"windowsize", "{win}", "700", "500"}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Size, 700, 500); }))
        << InputRecorder::Describe();
    int w = 0, h = 0;
    OsGetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 700);
    EXPECT_EQ(h, 500);
    ASSERT_TRUE(Xdotool({"windowsize", "{win}", std::to_string(kWidth), std::to_string(kHeight)}));
    ASSERT_TRUE(PumpUntil([] { return InputRecorder::Has(RelayedInput::Size, kWidth, kHeight); }));
}

TEST_F(WindowInputTest, TitleIconCursorsAndDesktopServices) {
    OsSetWindowTitle("Pirn GUI Test renamed");
    pirn_test::PumpFor(0.05);
    std::string name;
    pirn_test::RunProgram({"xdotool", "getwindowname", pirn_test::GuiWindow::XWindowId()}, &name);
    EXPECT_EQ(name, "Pirn GUI Test renamed\n");
    OsSetWindowTitle(pirn_test::GuiWindow::Title().c_str());

    // The drawn icon reaches the window in several sizes.
    OsSetWindowIcon(nullptr, 0, 0);
    pirn_test::PumpFor(0.05);
    if (pirn_test::HaveProgram("xprop")) {
        std::string icon;
        pirn_test::RunProgram({"xprop", "-id", pirn_test::GuiWindow::XWindowId(), "_NET_WM_ICON"}, &icon);
        for (const char* size : {"Icon (16 x 16)", "Icon (32 x 32)", "Icon (64 x 64)"})
            EXPECT_NE(icon.find(size), std::string::npos) << size;
    }

    // Every cursor id, our own images included, can be shown.
    for (int id = -1; id <= kCursorIdCount; ++id) OsSetCursor(id);
    OsSetCursor(0);
    OsShowCursor(0);
    OsShowCursor(1);
    OsSetPointerLock(1);
    OsSetPointerLock(0);
    OsBeep();
    pirn_test::PumpFor(0.05);

    int x = -1, y = -1, w = 0, h = 0;
    OsGetWorkArea(&x, &y, &w, &h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    EXPECT_NE(OsGetNativeWindow(), 0u);
    EXPECT_EQ(std::to_string(OsGetNativeWindow()), pirn_test::GuiWindow::XWindowId());
    EXPECT_NE(OsGetProcAddress("glActiveTexture"), nullptr);
    EXPECT_EQ(OsWindowCloseRequested(), 0);
}

}  // namespace
}  // namespace pirn
