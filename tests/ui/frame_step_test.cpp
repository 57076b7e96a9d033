// Dirty rectangles, visibility, render order, dimming, native-dialog mode
// and screen resizing, headless (the draw target records instead of GL).

#include "tests/ui/window_system_fixture.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

using FrameStepTest = WindowSystemTest;

ProbeWindow* MakeWindow(const Rect& frame, u32 extra = 0, const char* name = nullptr) {
    auto* w = new ProbeWindow(Window::kVisible | extra, nullptr, name);
    SetFrame(w, frame);
    return w;
}

std::vector<Rect> DirtyList() {
    return std::vector<Rect>(GetFrameState().dirtyRects, GetFrameState().dirtyRects + GetFrameState().dirtyCount);
}

TEST_F(FrameStepTest, DirtyRectanglesMergeAndOverflowToAFullRedraw) {
    Window* layer = GetLayerWindow(0);
    RenderFrame();
    layer->InvalidateRect(Rect{10, 10, 20, 20}, false);
    layer->InvalidateRect(Rect{30, 30, 40, 40}, false);
    layer->InvalidateRect(Rect{50, 10, 60, 20}, false);
    layer->InvalidateRect(Rect{12, 12, 18, 18}, false);  // inside a listed one: free
    EXPECT_EQ(DirtyList().size(), 3u);
    layer->InvalidateRect(Rect{0, 0, 100, 100}, false);  // contains all three
    EXPECT_EQ(DirtyList(), (std::vector<Rect>{{0, 0, 100, 100}}));
    layer->InvalidateRect(Rect{-50, -50, -10, -10}, false);  // off screen
    layer->InvalidateRect(Rect{790, 590, 900, 900}, false);  // clipped to the screen
    EXPECT_EQ(DirtyList().back(), (Rect{790, 590, 800, 600}));
    RenderFrame();
    for (int i = 0; i < 32; i++) layer->InvalidateRect(MakeRect(i * 20, 300, 10, 10), false);
    EXPECT_FALSE(IsFullRedrawPending());
    layer->InvalidateRect(MakeRect(0, 400, 10, 10), false);  // the 33rd
    EXPECT_TRUE(IsFullRedrawPending());
    EXPECT_EQ(RenderFrame(), 1);
    EXPECT_EQ(RenderFrame(), 0);  // nothing left: nothing drawn
}

TEST_F(FrameStepTest, VisibleRegionSplitsIntoFourPieces) {
    ResetVisibleRegion();
    VisibleRegion(Rect{0, 0, 100, 100}, nullptr, false);
    Rect out;
    EXPECT_EQ(VisibleRegion(Rect{40, 40, 60, 60}, &out, true), 1);
    EXPECT_EQ(out, (Rect{40, 40, 60, 60}));
    EXPECT_EQ(GetVisibleRegionRects(),
              (std::vector<Rect>{{0, 0, 100, 40}, {0, 40, 40, 60}, {60, 40, 100, 60}, {0, 60, 100, 100}}));
    EXPECT_EQ(VisibleRegion(Rect{45, 45, 55, 55}, &out, false), 0);
    EXPECT_EQ(VisibleRegion(Rect{30, 30, 70, 50}, &out, false), 1);
    EXPECT_EQ(out, (Rect{30, 30, 70, 50}));
}

TEST_F(FrameStepTest, WindowsBehindOpaqueOnesAreNotDrawn) {
    std::vector<std::string> drawn;
    auto* hidden = MakeWindow(Rect{100, 100, 200, 200}, 0, "hidden");
    auto* behindGlass = MakeWindow(Rect{300, 100, 400, 200}, 0, "behind glass");
    MakeWindow(Rect{50, 50, 250, 250}, Window::kBackground, "opaque");
    MakeWindow(Rect{250, 50, 450, 250}, 0, "glass");
    hidden->drawLog = behindGlass->drawLog = &drawn;
    InvalidateAll();
    RenderFrame();
    EXPECT_EQ(drawn, (std::vector<std::string>{"behind glass"}));
    EXPECT_EQ(WindowInternals::VisibleRect(hidden), Rect{});
    EXPECT_EQ(WindowInternals::VisibleRect(behindGlass), (Rect{300, 100, 400, 200}));
}

// The front window draws an active title bar: a window that gains or loses
// the front is drawn again whole.
TEST_F(FrameStepTest, RaisingAndLoweringRedrawBothWindowsWhoseTitleChanges) {
    auto* left = MakeWindow(Rect{20, 20, 120, 120});
    auto* middle = MakeWindow(Rect{220, 20, 320, 120});
    auto* right = MakeWindow(Rect{420, 20, 520, 120});  // the newest: in front
    auto listed = [](const Window* w) {
        for (const Rect& r : DirtyList())
            if (RectContains(r, w->GetFrameWithShadow())) return true;
        return false;
    };
    struct Case {
        const char* step;
        void (*move)(Window*);
        Window* moved;
        Window* other;  // the window that lost or gained the front
    } cases[] = {
        {"raise left over right", RaiseWindow, left, right},
        {"lower left behind all", LowerWindow, left, right},
        {"raise middle over right", RaiseWindow, middle, right},
        {"lower middle: right in front again", LowerWindow, middle, right},
    };
    for (const Case& c : cases) {
        RenderFrame();
        c.move(c.moved);
        EXPECT_TRUE(listed(c.moved)) << c.step;
        EXPECT_TRUE(listed(c.other)) << c.step;
    }
}

TEST_F(FrameStepTest, InvalidationsMadeWhileDrawingAreKeptForTheNextFrame) {
    auto* w = MakeWindow(Rect{100, 100, 200, 200});
    static int draws;
    draws = 0;
    w->onDraw = [](ProbeWindow* self) {
        if (++draws == 1) self->Invalidate();  // e.g. an animation asking for more
    };
    InvalidateAll();
    EXPECT_EQ(RenderFrame(), 1);
    EXPECT_EQ(DirtyList(), (std::vector<Rect>{{100, 100, 200, 200}}));
    EXPECT_EQ(RenderFrame(), 1);
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(RenderFrame(), 0);
}

TEST_F(FrameStepTest, ModalDimmingIsDrawnRightBeforeTheDialog) {
    RecordingDrawTarget target;
    SetDrawTarget(&target);
    std::vector<std::string> drawn;
    auto* back = MakeWindow(Rect{0, 0, 300, 300}, 0, "back");
    auto* dialog = MakeWindow(Rect{100, 100, 200, 200}, 0, "dialog");
    back->drawLog = dialog->drawLog = &drawn;
    static RecordingDrawTarget* s_target;
    static std::vector<std::string>* s_drawn;
    s_target = &target;
    s_drawn = &drawn;
    dialog->onDraw = [](ProbeWindow*) {
        // The dim fill came after "back" and before this call.
        ASSERT_FALSE(s_target->fills.empty());
        EXPECT_EQ(s_target->fills.back().color, kColorDim);
        EXPECT_EQ(s_target->fills.back().rect, GetScreenRect());
        EXPECT_EQ(s_drawn->front(), "back");
    };
    BeginModal(dialog, kModalDimBehind);
    InvalidateAll();
    RenderFrame();
    EXPECT_EQ(drawn, (std::vector<std::string>{"back", "dialog"}));
    dialog->onDraw = nullptr;
    EndModal(dialog, 0);
    target.fills.clear();
    InvalidateAll();
    RenderFrame();
    for (const auto& f : target.fills) EXPECT_NE(f.color, kColorDim);
}

TEST_F(FrameStepTest, NativeDialogModeDimsAndDropsInput) {
    RecordingDrawTarget target;
    SetDrawTarget(&target);
    auto* w = MakeWindow(Rect{0, 0, 100, 100}, Window::kTakesFocus);
    ActivateWindow(w, kFocusByProgram);
    SetIdleHook([]() -> int { return 1; });
    SetNativeDialogMode(true);
    EXPECT_TRUE(IsNativeDialogMode());
    ASSERT_FALSE(target.fills.empty());
    EXPECT_EQ(target.fills.back().color, kColorDim);
    EXPECT_EQ(target.fills.back().rect, GetScreenRect());
    HandleCharInput('a', 1);
    HandleMouseButtonInput(0, 1);
    EXPECT_EQ(GetInputState().ringCount, 0);
    EXPECT_EQ(StepFrame(), 1);  // presents the dimmed frame drawn on entry
    EXPECT_EQ(StepFrame(), 0);
    SetNativeDialogMode(false);
    EXPECT_TRUE(IsRunning());
    HandleCharInput('a', 1);
    DrainEventQueue();
    EXPECT_EQ(w->chars.size(), 1u);
}

// The keys and buttons held when a native dialog took the keyboard (Control
// of Control+O) are let go out there; their releases never reach us.
TEST_F(FrameStepTest, WhatWasHeldWhenANativeDialogOpenedIsNotHeldAfterIt) {
    auto* w = MakeWindow(Rect{0, 0, 100, 100}, Window::kTakesFocus);
    ActivateWindow(w, kFocusByProgram);
    SetIdleHook([]() -> int { return 1; });
    HandleKeyInput(kKeyLeftControl, 1);
    HandleMouseButtonInput(0, 1);
    DrainEventQueue();
    ASSERT_TRUE(IsKeyDown(kKeyControl));
    ASSERT_TRUE(IsAnyMouseButtonDown());
    SetNativeDialogMode(true);
    HandleKeyInput(kKeyLeftControl, 0);
    HandleMouseButtonInput(0, 0);
    SetNativeDialogMode(false);
    EXPECT_FALSE(IsKeyDown(kKeyControl));
    EXPECT_EQ(GetModifierMask(), 0u);
    EXPECT_FALSE(IsAnyMouseButtonDown());
    w->keys.clear();
    HandleKeyInput(kKeyF1, 1);
    DrainEventQueue();
    ASSERT_FALSE(w->keys.empty());
    EXPECT_EQ(w->keys.back().word[2] & kModControl, 0u);
}

TEST_F(FrameStepTest, TickRunsChildrenBeforeParentsAndDeletesComeFirst) {
    std::vector<std::string> ticks;
    auto* parent = MakeWindow(Rect{0, 0, 100, 100}, 0, "parent");
    auto* a = new ProbeWindow(Window::kVisible, parent, "a");
    auto* b = new ProbeWindow(Window::kVisible, parent, "b");  // in front of a
    auto* gone = MakeWindow(Rect{0, 0, 10, 10}, 0, "gone");
    for (ProbeWindow* w : {parent, a, b, gone}) w->idleLog = &ticks;
    DestroyWindow(gone);
    StepFrame();
    EXPECT_EQ(ticks, (std::vector<std::string>{"b", "a", "parent"}));
}

TEST_F(FrameStepTest, ATickThatClosesTheNextWindowAndRunsAFrameIsSafe) {
    // A tick may close another window and show a message box (a nested
    // frame, which runs the deferred deletes) before the tick walk reaches
    // that window.
    int backGone = 0;
    auto* back = MakeWindow(Rect{0, 0, 10, 10}, 0, "back");
    back->destroyedCount = &backGone;
    auto* front = MakeWindow(Rect{0, 0, 10, 10}, 0, "front");
    front->SetUserData(back);
    front->onIdle = [](ProbeWindow* self) {
        auto* next = static_cast<Window*>(self->GetUserData());
        if (!next) return;
        self->SetUserData(nullptr);
        DestroyWindow(next);
        StepFrame();
    };
    StepFrame();
    StepFrame();
    EXPECT_EQ(backGone, 1);
    EXPECT_TRUE(GetDeletionState().deferredDeletes.empty());
}

TEST_F(FrameStepTest, ScreenResizeRefitsMaximisedAndRecentresFlagged) {
    auto* maxed = MakeWindow(Rect{10, 10, 200, 200}, Window::kThickBorder | Window::kResizable);
    maxed->ToggleMaximized();
    auto* centred = MakeWindow(Rect{0, 0, 100, 50}, Window::kRecenterOnResize);
    HandleWindowResize(0, 500);  // ignored
    EXPECT_EQ(GetScreenSize().x, kWidth);
    HandleWindowResize(1000, 700);
    EXPECT_EQ(maxed->GetFrameScreenRect(), (Rect{0, 0, 1000, 700}));
    EXPECT_EQ(centred->GetFrame(), (Rect{450, 325, 550, 375}));
    // The resized screen is drawn at once, from inside the resize.
    EXPECT_FALSE(IsFullRedrawPending());
    EXPECT_GT(frames_, 0);
}

TEST_F(FrameStepTest, DebugOverlayText) {
    auto* dialog = MakeWindow(Rect{0, 0, 100, 100}, Window::kTakesFocus, "Dialog");
    auto* box = new ProbeWindow(Window::kVisible | Window::kTakesFocus, dialog);
    ActivateWindow(box, kFocusByProgram);
    BeginModal(dialog, 0);
    EXPECT_EQ(DebugOverlayText(),
              "frames rendered: 0\nfocus: root -> layer0 -> Dialog -> ?\nmodal stack: Dialog");
    Key(kKeyF1, {kKeyLeftControl});
    EXPECT_EQ(GetFrameState().debugOverlay, 1u);
    RenderFrame();
    EXPECT_EQ(GetFrameState().framesRendered, 1);
}

}  // namespace
}  // namespace pirn_test
