// How idle frames rest, on the headless clock: a millisecond's sleep while
// activity is recent, a wait for input once things have been quiet for a
// spell, and input ending such a wait at once; and what counts as activity.

#include "app/ui/idle_wait.h"

#include <gtest/gtest.h>

#include "platform/os/headless/headless_os.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "platform/os/os_window.h"
#include "tests/ui/window_system_fixture.h"
#include "ui/window_system.h"

namespace pirn_test {
namespace {

using namespace pirn;

int g_keys = 0;
void CountKey(int, int) { g_keys++; }

class IdleWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        ASSERT_TRUE(OsInit());
        ASSERT_TRUE(OsSetWindow(640, 480, "idle", 0, 0));
        g_keys = 0;
        OsSetKeyHandler(CountKey);
        headless::SetTime(10.0);
    }
    void TearDown() override {
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

TEST_F(IdleWaitTest, QuietFramesSleepBrieflyThenWaitForInput) {
    IdleWait idle;
    EXPECT_NEAR(RestStep(idle, false), IdleWait::kShortSleepSeconds, 1e-9);
    // Short sleeps until the quiet spell is over...
    int shortSleeps = 1;
    while (!idle.Settled()) {
        ASSERT_NEAR(RestStep(idle, false), IdleWait::kShortSleepSeconds, 1e-9);
        ASSERT_LT(++shortSleeps, 1000);
    }
    EXPECT_GE(OsGetTime() - 10.0, IdleWait::kSettleSeconds - 1e-9);
    // ...then each quiet frame waits up to a frame's time.
    for (int i = 0; i < 5; i++) EXPECT_NEAR(RestStep(idle, false), IdleWait::kLongestWaitSeconds, 1e-9);
}

TEST_F(IdleWaitTest, ActivityOrADrawnFrameStartsTheSpellAgain) {
    IdleWait idle;
    idle.Rest(false);
    headless::AdvanceTime(1.0);
    ASSERT_TRUE(idle.Settled());

    EXPECT_NEAR(RestStep(idle, true), IdleWait::kShortSleepSeconds, 1e-9) << "input arrived";
    EXPECT_FALSE(idle.Settled());

    headless::AdvanceTime(1.0);
    ASSERT_TRUE(idle.Settled());
    idle.NoteDrawn();
    EXPECT_FALSE(idle.Settled());
    EXPECT_NEAR(RestStep(idle, false), IdleWait::kShortSleepSeconds, 1e-9);
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

}  // namespace
}  // namespace pirn_test
