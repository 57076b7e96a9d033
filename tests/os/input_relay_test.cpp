// The input relay as the program sees it, driven through the headless
// backend's scripted library events.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/core/input_relay.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/key_codes.h"
#include "platform/os/library_keys.h"
#include "platform/os/os_hooks.h"
#include "platform/os/os_input.h"
#include "platform/os/os_window.h"

namespace pirn {
namespace {

namespace lk = library_key;

// Every relayed event as text, in arrival order.
std::vector<std::string> g_events;
int g_closeAnswer = 0;

void Log(const std::string& text) { g_events.push_back(text); }
void OnKey(int code, int action) { Log("key " + std::to_string(code) + " " + std::to_string(action)); }
void OnChar(int c, int action) { Log("char " + std::to_string(c) + " " + std::to_string(action)); }
void OnButton(int b, int action) { Log("button " + std::to_string(b) + " " + std::to_string(action)); }
void OnMove(int x, int y) { Log("move " + std::to_string(x) + " " + std::to_string(y)); }
void OnWheel(int position) { Log("wheel " + std::to_string(position)); }
void OnHWheel(int position) { Log("hwheel " + std::to_string(position)); }
int OnClose() {
    Log("close");
    return g_closeAnswer;
}
void OnRefresh() { Log("refresh"); }
void OnSize(int w, int h) { Log("size " + std::to_string(w) + " " + std::to_string(h)); }

class InputRelayTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        g_events.clear();
        g_closeAnswer = 0;
        ASSERT_EQ(OsInit(), 1);
        ASSERT_EQ(OsSetWindow(640, 480, "Pirn", 0, 1), 1);
    }

    static void InstallAll() {
        OsSetKeyHandler(OnKey);
        OsSetCharCallback(OnChar);
        OsSetMouseButtonHandler(OnButton);
        OsSetMousePosCallback(OnMove);
        OsSetMouseWheelCallback(OnWheel);
        OsSetMouseHWheelCallback(OnHWheel);
        OsSetWindowCloseCallback(OnClose);
        OsSetWindowRefreshCallback(OnRefresh);
        OsSetWindowSizeCallback(OnSize);
    }

    static std::vector<std::string> Poll() {
        g_events.clear();
        OsPollEvents();
        return g_events;
    }
};

using Events = std::vector<std::string>;

TEST_F(InputRelayTest, KeysArriveAsProgramCodesWithRepeatAsPress) {
    InstallAll();
    headless::PostKey(lk::kA, lk::kActionPress);
    headless::PostKey(lk::kA, lk::kActionRepeat);
    headless::PostKey(lk::kA, lk::kActionRelease);
    headless::PostKey(lk::kF1, lk::kActionPress);
    headless::PostKey(lk::kF15, lk::kActionPress);
    headless::PostKey(lk::kF16, lk::kActionPress);      // no code: dropped
    headless::PostKey(lk::kUnknown, lk::kActionPress);  // negative: dropped
    headless::PostKey(lk::kKp0 + 7, lk::kActionPress);
    headless::PostKey(lk::kKpEnter, lk::kActionPress);
    headless::PostKey(lk::kEnter, lk::kActionPress);
    headless::PostKey(lk::kA, 7);                       // not an action: dropped
    EXPECT_EQ(Poll(), (Events{"key 65 1", "key 65 1", "key 65 0", "key 98 1", "key 112 1",
                              "key 153 1", "key 144 1", "key 128 1"}));
}

TEST_F(InputRelayTest, EmptySlotsDropEventsAndOsInitEmptiesThem) {
    headless::PostKey(lk::kA, lk::kActionPress);
    headless::PostMouseButton(0, 1);
    headless::PostChar('x');
    EXPECT_EQ(Poll(), Events{});
    // Nothing was held back for a handler installed later.
    InstallAll();
    EXPECT_EQ(Poll(), Events{});

    ASSERT_EQ(OsInit(), 1);
    headless::PostKey(lk::kA, lk::kActionPress);
    headless::PostMouseButton(0, 1);
    headless::PostScroll(0, 1);
    EXPECT_EQ(Poll(), Events{});
}

TEST_F(InputRelayTest, OnlyTheFirstThreeButtonsArrive) {
    InstallAll();
    for (int button = 0; button < 5; ++button) {
        headless::PostMouseButton(button, 1);
        headless::PostMouseButton(button, 0);
    }
    EXPECT_EQ(Poll(), (Events{"button 0 1", "button 0 0", "button 1 1", "button 1 0",
                              "button 2 1", "button 2 0"}));
}

TEST_F(InputRelayTest, CharactersArriveAsCodePointsAndNulIsDropped) {
    InstallAll();
    headless::PostChar('e');
    headless::PostChar(0);
    headless::PostChar(0xE9);    // é: passed on for the character map to judge
    headless::PostChar(0x20AC);  // €
    headless::PostChar(0x110000);  // not a code point
    EXPECT_EQ(Poll(), (Events{"char 101 1", "char 233 1", "char 8364 1"}));
}

TEST_F(InputRelayTest, MotionIsInWholePixels) {
    InstallAll();
    headless::PostMouseMove(10.75, 20.25);
    headless::PostMouseMove(-0.5, 3.0);
    EXPECT_EQ(Poll(), (Events{"move 10 20", "move -1 3"}));
}

TEST_F(InputRelayTest, WheelOffsetsAccumulateIntoAnIntegerPosition) {
    InstallAll();
    headless::PostScroll(0, 1);
    headless::PostScroll(0, 1);
    headless::PostScroll(0, -1);
    // Smooth-scrolling fractions: reported once the rounded position moves.
    headless::PostScroll(0, 0.25);
    headless::PostScroll(0, 0.3);
    headless::PostScroll(0, -3);
    headless::PostScroll(2, 0);
    EXPECT_EQ(Poll(), (Events{"wheel 1", "wheel 2", "wheel 1", "wheel 2", "wheel -1", "hwheel 2"}));
    EXPECT_EQ(os_relay::WheelPosition(), -1);
}

TEST_F(InputRelayTest, CloseCallbackDecidesWhetherTheWindowCloses) {
    headless::PostCloseRequest();  // nobody vetoes: the request stands
    Poll();
    EXPECT_EQ(OsWindowCloseRequested(), 1);

    InstallAll();
    g_closeAnswer = 0;
    headless::PostCloseRequest();
    EXPECT_EQ(Poll(), Events{"close"});
    EXPECT_EQ(OsWindowCloseRequested(), 0);

    g_closeAnswer = 1;
    headless::PostCloseRequest();
    EXPECT_EQ(Poll(), Events{"close"});
    EXPECT_EQ(OsWindowCloseRequested(), 1);
}

TEST_F(InputRelayTest, RefreshAndResizeReachTheirCallbacks) {
    InstallAll();
    headless::PostRefresh();
    headless::PostResize(800, 600);
    EXPECT_EQ(Poll(), (Events{"refresh", "size 800 600"}));
    int w = 0, h = 0;
    OsGetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

// A size callback that redraws runs the frame, which polls again: that
// inner poll must do nothing, and events it would have taken wait for the
// next outer poll.
void PollFromInsideCallback(int, int) {
    Log("resize-poll");
    headless::PostKey('B', lk::kActionPress);
    OsPollEvents();
}

TEST_F(InputRelayTest, PollingInsideACallbackDoesNothing) {
    InstallAll();
    OsSetWindowSizeCallback(PollFromInsideCallback);
    headless::PostResize(700, 500);
    headless::PostKey(lk::kA, lk::kActionPress);
    EXPECT_EQ(Poll(), (Events{"resize-poll", "key 65 1"}));
    EXPECT_EQ(headless::Record().nestedPolls, 1);
    EXPECT_EQ(Poll(), Events{"key 66 1"});
}

void HookA(void* context) { Log(std::string("hook A ") + static_cast<const char*>(context)); }
void HookB(void* context) { Log(std::string("hook B ") + static_cast<const char*>(context)); }

TEST_F(InputRelayTest, PollHooksRunAfterEventsAndTerminateHooksNewestFirst) {
    InstallAll();
    char one[] = "1";
    char two[] = "2";
    OsAddPollHook(HookA, one);
    OsAddPollHook(HookA, one);  // same pair: once
    OsAddPollHook(HookB, two);
    headless::PostKey(lk::kA, lk::kActionPress);
    EXPECT_EQ(Poll(), (Events{"key 65 1", "hook A 1", "hook B 2"}));
    OsRemovePollHook(HookA, one);
    EXPECT_EQ(Poll(), Events{"hook B 2"});
    OsRemovePollHook(HookB, two);

    OsAddTerminateHook(HookA, one);
    OsAddTerminateHook(HookB, two);
    g_events.clear();
    OsTerminate();
    EXPECT_EQ(g_events, (Events{"hook B 2", "hook A 1"}));
    // Run once only.
    g_events.clear();
    ASSERT_EQ(OsInit(), 1);
    OsTerminate();
    EXPECT_EQ(g_events, Events{});
}

}  // namespace
}  // namespace pirn
