// Scroll state and scrollbars: setters and their order of effects, client
// area, thumb layout, hit parts, thumb dragging, auto-repeat, corner box,
// wheel, and arithmetic that must not overflow or divide by zero.

#include "ui/scrollable_window.h"

#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "platform/os/os_time.h"
#include "tests/ui/widget_fixture.h"
#include "ui/frame_timer.h"

namespace pirn_test {
namespace {

class ScrollProbe : public ScrollableWindow {
public:
    ScrollProbe() : ScrollableWindow(kVisible, nullptr) {}
    void OnScrollY(i32 y) override {
        log.push_back("y" + std::to_string(y) + " range" + std::to_string(GetScrollRangeY()));
    }
    void OnScrollX(i32 x) override { log.push_back("x" + std::to_string(x)); }
    void OnCornerClick() override { cornerClicks++; }
    std::vector<std::string> log;
    int cornerClicks = 0;
};

class ScrollableWindowTest : public WidgetTest {
protected:
    static constexpr i32 kLeft = 50, kTop = 40;
    void SetUp() override {
        WidgetTest::SetUp();
        w_ = new ScrollProbe();
        SetFrame(w_, MakeRect(kLeft, kTop, 200, 142));
    }
    // Screen point from frame-relative coordinates.
    static Point At(i32 x, i32 y) { return Point{kLeft + x, kTop + y}; }
    void PressAt(i32 x, i32 y) {
        headless::AdvanceTime(1.0);
        MoveTo(kLeft + x, kTop + y);
        Press();
    }
    void Vertical(i32 range, i32 pos, i32 page) {
        w_->SetScrollInfo(ScrollableWindow::kSetRangeY | ScrollableWindow::kSetPosY | ScrollableWindow::kSetPageY,
                          range, pos, page, 0, 0, 0);
    }
    ScrollProbe* w_ = nullptr;
};

TEST_F(ScrollableWindowTest, PagesDecideTheScrollbarsAndTheClientArea) {
    EXPECT_EQ(w_->GetClientSize().x, 200);
    EXPECT_EQ(w_->GetClientSize().y, 142);
    EXPECT_EQ(w_->HitTest(At(190, 50)), kPartClient);
    Vertical(100, 0, 100);  // range = page: a bar, disabled, without a thumb
    EXPECT_EQ(w_->GetClientSize().x, 200 - kScrollbar);
    EXPECT_FALSE(w_->IsVerticalThumbShown());
    w_->SetScrollY(50);
    EXPECT_EQ(w_->GetScrollY(), 0);
    EXPECT_EQ(w_->HitTest(At(190, 50)), kPartOtherFrame);
    w_->SetScrollInfo(ScrollableWindow::kSetRangeX | ScrollableWindow::kSetPageX, 0, 0, 0, 300, 0, 100);
    EXPECT_EQ(w_->GetClientSize().y, 142 - kScrollbar);
    w_->SetScrollInfo(ScrollableWindow::kSetPageX | ScrollableWindow::kSetPageY, 0, 0, -5, 0, 0, 0);
    EXPECT_EQ(w_->GetScrollPageY(), 0);  // negative pages become 0
    EXPECT_EQ(w_->GetClientSize().x, 200);
    EXPECT_EQ(w_->GetClientSize().y, 142);
}

TEST_F(ScrollableWindowTest, PositionsClampAndSlotsComeBeforeNewRanges) {
    w_->SetScrollInfo(63, 100, 80, 10, 50, 30, 10);
    EXPECT_EQ(w_->log, (std::vector<std::string>{"y80 range0", "x30"}));
    w_->log.clear();
    w_->SetScrollInfo(ScrollableWindow::kSetRangeY, 50, 0, 0, 0, 0, 0);  // position 80 no longer fits
    EXPECT_EQ(w_->log, (std::vector<std::string>{"y40 range100"}));
    EXPECT_EQ(w_->GetScrollRangeY(), 50);

    struct Case {
        i32 request;
        i32 expected;
    } cases[] = {{1000, 40}, {-5, 0}, {INT_MIN, 0}, {INT_MAX, 40}, {17, 17}};
    for (const Case& c : cases) {
        w_->SetScrollY(c.request);
        EXPECT_EQ(w_->GetScrollY(), c.expected) << c.request;
    }
    w_->ScrollByY(INT_MAX);  // no wrap-around
    EXPECT_EQ(w_->GetScrollY(), 40);

    // Setting the same position again calls nothing and redraws nothing.
    StepFrame();
    w_->log.clear();
    w_->SetScrollY(40);
    w_->SetScrollInfo(ScrollableWindow::kSetPosY, 0, 40, 0, 0, 0, 0);
    EXPECT_TRUE(w_->log.empty());
    EXPECT_EQ(GetFrameState().dirtyCount, 0);
    EXPECT_FALSE(IsFullRedrawPending());

    w_->SetViewRect(Rect{5, 20, 25, 30});  // x 5, page 20; y 20, page 10
    EXPECT_EQ(w_->GetScrollX(), 5);
    EXPECT_EQ(w_->GetScrollPageX(), 20);
    EXPECT_EQ(w_->GetScrollY(), 20);
    EXPECT_EQ(w_->GetScrollPageY(), 10);
}

TEST_F(ScrollableWindowTest, ThumbLayout) {
    // Client height 142: track 114.
    Vertical(200, 50, 100);  // length 57, offset 57 * 50 / 100 = 28
    EXPECT_EQ(w_->VerticalThumb(), (Rect{184, 42, 200, 99}));
    Vertical(1000, 450, 100);  // 11 px is raised to 14; offset 100 * 450 / 900
    EXPECT_EQ(w_->VerticalThumb(), (Rect{184, 64, 200, 78}));
    // Huge ranges: the products need 64 bits.
    Vertical(INT_MAX, INT_MAX, 1000);
    EXPECT_EQ(w_->GetScrollY(), INT_MAX - 1000);
    EXPECT_EQ(w_->VerticalThumb(), (Rect{184, 114, 200, 128}));

    w_->SetScrollInfo(ScrollableWindow::kSetRangeX | ScrollableWindow::kSetPageX, 0, 0, 0, 400, 0, 100);
    EXPECT_EQ(w_->HorizontalThumb(), (Rect{14, 126, 14 + 39, 142}));  // track 156 x 100 / 400

    // A track of 14 px shows no thumb.
    SetSize(w_, 200, 42);
    Vertical(1000, 0, 10);
    EXPECT_FALSE(w_->IsVerticalThumbShown());
}

TEST_F(ScrollableWindowTest, HitParts) {
    Vertical(200, 50, 100);  // thumb 42..99 of 0..142
    w_->SetScrollInfo(ScrollableWindow::kSetRangeX | ScrollableWindow::kSetPageX, 0, 0, 0, 400, 0, 100);
    // Now the client is 184 x 126; the vertical thumb is laid out again.
    const Rect t = w_->VerticalThumb();
    struct Case {
        i32 x, y;
        u32 part;
    } cases[] = {
        {190, 0, 2},           {190, 13, 2},          {190, 14, 4},        {190, t.top - 1, 4},
        {190, t.top, 1},       {190, t.bottom, 1},    {190, t.bottom + 1, 5}, {190, 112, 5},
        {190, 113, 3},         {190, 126, 3},         {184, 60, 1},        {200, 60, 1},
        {5, 130, 7},           {20, 130, 6},          {60, 130, 10},       {171, 130, 8},
        {190, 134, 0},         {100, 60, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(w_->ScrollbarHitTest(At(c.x, c.y)), c.part) << c.x << "," << c.y;
    w_->SetCornerBox(true);
    EXPECT_EQ(w_->ScrollbarHitTest(At(190, 134)), ScrollableWindow::kScrollCorner);
}

TEST_F(ScrollableWindowTest, DraggingTheThumb) {
    Vertical(200, 50, 100);  // thumb 42..99: offset 28, room 57
    PressAt(190, 60);
    EXPECT_TRUE(w_->IsTracking());
    Release();  // no move: no change
    EXPECT_EQ(w_->GetScrollY(), 50);

    PressAt(190, 60);
    MoveTo(kLeft + 190, kTop + 70);
    EXPECT_EQ(w_->GetScrollY(), 100 * 38 / 57);
    MoveTo(kLeft + 190, kTop + 1000);
    EXPECT_EQ(w_->GetScrollY(), 100);
    MoveTo(kLeft + 190, kTop - 1000);
    EXPECT_EQ(w_->GetScrollY(), 0);
    Release();
    EXPECT_FALSE(w_->IsTracking());

    // Huge range: 64-bit products.
    Vertical(INT_MAX, INT_MAX, 1000);  // thumb 114..128, offset 100 of 100
    PressAt(190, 120);
    MoveTo(kLeft + 190, kTop + 70);
    EXPECT_EQ(w_->GetScrollY(), static_cast<i32>(static_cast<i64>(INT_MAX - 1000) * 50 / 100));
    // The window shrinks under the drag: no room left, no division by zero.
    SetSize(w_, 200, 40);
    const i32 before = w_->GetScrollY();
    MoveTo(kLeft + 190, kTop + 20);
    EXPECT_EQ(w_->GetScrollY(), before);
    Release();
}

TEST_F(ScrollableWindowTest, HeldArrowsRepeatAfterTheFirstFrame) {
    Vertical(1000, 0, 100);
    w_->SetLineStep(3);
    PressAt(190, 135);  // down arrow
    EXPECT_TRUE(w_->IsDownArrowPressed());
    EXPECT_EQ(w_->GetScrollY(), 0);
    StepFrame();  // first frame after the press
    EXPECT_EQ(w_->GetScrollY(), 3);
    // The next step is asked for, so a program that waits wakes for it.
    EXPECT_DOUBLE_EQ(RequestedFrameTime(), OsGetTime() + ScrollableWindow::kArrowRepeatInterval);
    headless::AdvanceTime(0.02);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 3);
    headless::AdvanceTime(0.02);  // 1/30 s since the last step
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 6);
    MoveTo(kLeft + 100, kTop + 50);  // off the arrow: paused, look released
    EXPECT_FALSE(w_->IsDownArrowPressed());
    headless::AdvanceTime(0.05);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 6);
    MoveTo(kLeft + 190, kTop + 135);
    EXPECT_TRUE(w_->IsDownArrowPressed());
    headless::AdvanceTime(0.05);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 9);
    Release();
    EXPECT_FALSE(w_->IsDownArrowPressed());
    headless::AdvanceTime(0.05);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 9);
    EXPECT_EQ(RequestedFrameTime(), std::numeric_limits<double>::infinity()) << "nothing held, nothing due";

    // A 14-px track has no thumb, but its arrows still step.
    SetSize(w_, 200, 42);
    PressAt(190, 37);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 12);
    Release();
}

TEST_F(ScrollableWindowTest, HeldTrackPagesUntilTheThumbReachesThePointer) {
    Vertical(1000, 0, 100);  // thumb 14..28
    PressAt(190, 100);
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 100);
    headless::AdvanceTime(0.1);  // under 0.2 s: no page yet
    StepFrame();
    EXPECT_EQ(w_->GetScrollY(), 100);
    for (int i = 2; i <= 10; i++) {
        headless::AdvanceTime(0.25);
        StepFrame();
        EXPECT_EQ(w_->GetScrollY(), std::min(100 * i, 700)) << i;
    }
    // At 700 the thumb (91..105) lies under the pointer.
    EXPECT_EQ(w_->GetScrollY(), 700);
    Release();
}

TEST_F(ScrollableWindowTest, CornerBoxNeedsBothBarsAndSomethingToScroll) {
    w_->SetCornerBox(true);
    w_->SetScrollInfo(63, 100, 0, 100, 100, 0, 100);  // both bars, nothing to scroll
    PressAt(190, 134);
    Release();
    EXPECT_EQ(w_->cornerClicks, 0);
    w_->SetScrollInfo(ScrollableWindow::kSetRangeY, 300, 0, 0, 0, 0, 0);
    PressAt(190, 134);
    Release();
    EXPECT_EQ(w_->cornerClicks, 1);
    EXPECT_FALSE(IsDragRunning());
    w_->SetScrollInfo(ScrollableWindow::kSetPageX, 0, 0, 0, 0, 0, 0);  // one bar: no corner
    PressAt(190, 134);
    Release();
    EXPECT_EQ(w_->cornerClicks, 1);
}

TEST_F(ScrollableWindowTest, WheelScrollsOverTheClientAndTheBars) {
    w_->SetScrollInfo(63, 1000, 0, 100, 1000, 0, 100);
    MoveTo(kLeft + 50, kTop + 50);
    HandleMouseWheelInput(-3);
    DrainEventQueue();
    EXPECT_EQ(w_->GetScrollY(), 3);
    MoveTo(kLeft + 190, kTop + 50);  // over the vertical bar
    HandleMouseWheelInput(-5);
    DrainEventQueue();
    EXPECT_EQ(w_->GetScrollY(), 5);
    HandleMouseWheelInput(10);
    DrainEventQueue();
    EXPECT_EQ(w_->GetScrollY(), 0);
    HandleMouseHWheelInput(-4);
    DrainEventQueue();
    EXPECT_EQ(w_->GetScrollX(), 4);
}

}  // namespace
}  // namespace pirn_test
