// How idle frames rest, on the headless clock: a millisecond's sleep while
// activity is recent, then a wait that input ends at once and that lasts
// until the next frame is due; what makes a frame due; and a blinking caret
// that keeps its times while an idle program steps only the frames it needs.

#include "ui/idle_wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "platform/os/headless/headless_os.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "platform/os/os_window.h"
#include "tests/ui/widget_fixture.h"
#include "ui/frame_timer.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn_test {
namespace {

using namespace pirn;

constexpr double kNever = std::numeric_limits<double>::infinity();

int g_keys = 0;
void CountKey(int, int) { g_keys++; }

class IdleWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        ASSERT_TRUE(OsInit());
        ASSERT_TRUE(OsSetWindow(640, 480, "idle", 0, 0));
        ResetWindowSystem();
        g_keys = 0;
        OsSetKeyHandler(CountKey);
        headless::SetTime(10.0);
    }
    void TearDown() override {
        ResetWindowSystem();
        OsSetKeyHandler(nullptr);
        OsTerminate();
        headless::Reset();
    }
    // Rests once and reports how far the clock moved.
    static double RestStep(IdleWait& idle, bool active) {
        const double before = OsGetTime();
        idle.Rest(active);
        return OsGetTime() - before;
    }
};

TEST_F(IdleWaitTest, QuietFramesSleepBrieflyThenWaitUntilTheNextFrameIsDue) {
    IdleWait idle;
    EXPECT_NEAR(RestStep(idle, false), IdleWait::kShortSleepSeconds, 1e-9);
    // Short sleeps until the quiet spell is over...
    int shortSleeps = 1;
    while (!idle.Settled()) {
        ASSERT_NEAR(RestStep(idle, false), IdleWait::kShortSleepSeconds, 1e-9);
        ASSERT_LT(++shortSleeps, 1000);
    }
    EXPECT_GE(OsGetTime() - 10.0, IdleWait::kSettleSeconds - 1e-9);
    // ...then, with nothing due, each wait is the longest one...
    for (int i = 0; i < 3; i++) EXPECT_NEAR(RestStep(idle, false), IdleWait::kLongestWaitSeconds, 1e-9);
    // ...and with a frame asked for, the wait ends when it is due.
    RequestFrameBy(OsGetTime() + 0.3);
    EXPECT_NEAR(RestStep(idle, false), 0.3, 1e-9);
}

TEST_F(IdleWaitTest, InputStartsTheSpellAgain) {
    IdleWait idle;
    idle.Rest(false);
    headless::AdvanceTime(1.0);
    ASSERT_TRUE(idle.Settled());

    EXPECT_NEAR(RestStep(idle, true), IdleWait::kShortSleepSeconds, 1e-9) << "input arrived";
    EXPECT_FALSE(idle.Settled());
    headless::AdvanceTime(1.0);
    EXPECT_TRUE(idle.Settled());
}

TEST_F(IdleWaitTest, InputEndsAWaitAtOnceAndIsDelivered) {
    IdleWait idle;
    idle.Rest(false);
    headless::AdvanceTime(1.0);
    ASSERT_TRUE(idle.Settled());

    headless::PostKey(65, 1);  // 'A' pressed
    EXPECT_EQ(RestStep(idle, false), 0.0);
    EXPECT_EQ(g_keys, 1);
    EXPECT_EQ(headless::PendingInput(), 0u);

    // Waiting polls as a frame's poll does.
    const int polls = headless::Record().polls;
    OsWaitEvents(0.5);
    EXPECT_EQ(headless::Record().polls, polls + 1);
    OsWaitEvents(0.0);
    EXPECT_EQ(headless::Record().polls, polls + 2);
}

TEST(IdleWaitSecondsTest, TheRestLiesBetweenAShortSleepAndTheLongestWait) {
    const double s = IdleWait::kShortSleepSeconds, longest = IdleWait::kLongestWaitSeconds;
    struct Case {
        bool settled;
        double due;  // after now = 5
        double expected;
    } cases[] = {
        {false, kNever, s},         // activity: a millisecond, whatever is due
        {true, kNever, longest},    // nothing due
        {true, 5.2, 0.2},           // due later: until then
        {true, 5.0 + 2 * longest, longest},
        {true, 5.0, s},             // due now or overdue: still a frame later
        {true, 4.0, s},
        {true, std::nan(""), s},
    };
    for (const Case& c : cases) EXPECT_NEAR(IdleWait::WaitSeconds(c.settled, 5.0, c.due), c.expected, 1e-12) << c.due;
}

class InputActivityTest : public WindowSystemTest {};

TEST_F(InputActivityTest, QueuedInputAndHeldButtonsCountAsActivity) {
    DrainEventQueue();
    EXPECT_FALSE(IsInputActive());
    HandleMouseMoveInput(100, 100);
    EXPECT_TRUE(IsInputActive()) << "input waiting in the queue";
    DrainEventQueue();
    EXPECT_FALSE(IsInputActive());

    HandleMouseButtonInput(0, 1);
    DrainEventQueue();
    EXPECT_TRUE(IsInputActive()) << "a held button repeats and drags by the clock";
    HandleMouseButtonInput(0, 0);
    DrainEventQueue();
    EXPECT_FALSE(IsInputActive());
}

class FrameDueTest : public WindowSystemTest {};

TEST_F(FrameDueTest, WhatWaitsForTheNextFrameMakesItDueAtOnce) {
    struct Case {
        const char* what;
        std::function<void(ProbeWindow*)> make;
        double due;  // after now
    } cases[] = {
        {"nothing", [](ProbeWindow*) {}, kNever},
        {"input in the queue", [](ProbeWindow*) { HandleMouseMoveInput(5, 5); }, 0.0},
        {"a damaged rectangle", [](ProbeWindow* w) { w->Invalidate(); }, 0.0},
        {"a full redraw", [](ProbeWindow*) { InvalidateAll(); }, 0.0},
        {"a window to delete", [](ProbeWindow* w) { DestroyWindow(w); }, 0.0},
        {"a frame asked for", [](ProbeWindow*) { RequestFrameBy(OsGetTime() + 2.0); }, 2.0},
        {"native-dialog mode", [](ProbeWindow*) { SetNativeDialogMode(true); }, kNativeDialogFrameSeconds},
    };
    for (const Case& c : cases) {
        auto* window = new ProbeWindow(Window::kVisible, nullptr, "probe");
        SetFrame(window, Rect{10, 10, 110, 110});
        StepFrame();
        StepFrame();
        ASSERT_EQ(NextFrameDue(OsGetTime()), kNever) << "settled before " << c.what;
        c.make(window);
        EXPECT_DOUBLE_EQ(NextFrameDue(OsGetTime()) - OsGetTime(), c.due) << c.what;
        // Back to a settled state for the next case (the deletion case has
        // its window queued already; leaving native-dialog mode steps frames).
        if (!window->IsDestroyed()) DestroyWindow(window);
        if (IsNativeDialogMode()) SetNativeDialogMode(false);
        DrainEventQueue();
        StepFrame();
    }
}

// The program's frame on the headless clock: poll, step, rest. Counts the
// frames and records when the caret's visibility changed.
class BlinkingCaretTest : public WidgetTest {};

TEST_F(BlinkingCaretTest, AnIdleProgramStepsOnlyTheFramesTheCaretNeeds) {
    auto* owner = new ProbeWindow(Window::kVisible, nullptr, "owner");
    SetFrame(owner, Rect{100, 100, 500, 400});
    TextBox* box = new TextBox(TextBox::kTextField, owner);
    SetFrame(box, Rect{10, 10, 210, 24});
    box->SetText("idle");
    ActivateWindow(box, kFocusByProgram);
    const double start = OsGetTime();  // 100: solid until 100.5, then on every half second

    IdleWait idle;
    int frames = 0;
    std::vector<double> changes;
    bool shown = box->IsCaretShown();
    while (OsGetTime() - start < 3.0) {
        OsPollEvents();
        const bool active = IsInputActive();
        ++frames;
        if (!StepFrame()) idle.Rest(active);
        if (box->IsCaretShown() != shown) {
            shown = box->IsCaretShown();
            changes.push_back(OsGetTime() - start);
        }
    }
    // Shown at once and through the solid half second; hidden at 100.5,
    // shown at 101, and so on: every change on its half second, give or
    // take the frame that shows it.
    ASSERT_GE(changes.size(), 5u);
    for (size_t i = 0; i < changes.size(); ++i)
        EXPECT_NEAR(changes[i], 0.5 * double(i + (changes[0] < 0.25 ? 0 : 1)), 2 * IdleWait::kShortSleepSeconds)
            << "change " << i;
    // A millisecond's frames through the first quiet spell, then a frame to
    // draw each change and one that finds nothing to do: not a frame every
    // few milliseconds.
    EXPECT_LE(frames, int(IdleWait::kSettleSeconds / IdleWait::kShortSleepSeconds) + 2 * int(changes.size()) + 4);
}

}  // namespace
}  // namespace pirn_test
