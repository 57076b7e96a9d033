// Input ring, routing, focus, Tab order, hover and pointer shapes, headless.

#include "tests/ui/window_system_fixture.h"

namespace pirn_test {
namespace {

using DispatchTest = WindowSystemTest;

// A visible focusable window at a place, in front.
ProbeWindow* MakeWindow(const Rect& frame, u32 extra = 0, Window* parent = nullptr, const char* name = nullptr) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kTakesFocus | extra, parent, name);
    SetFrame(w, frame);
    return w;
}

TEST_F(DispatchTest, RingHoldsThirtyTwoEvents) {
    auto* w = MakeWindow(Rect{0, 0, 100, 100});
    ActivateWindow(w, kFocusByProgram);
    for (int i = 0; i < 33; i++) HandleCharInput('a' + (i % 26), 1);
    EXPECT_EQ(GetInputState().ringCount, 32);
    DrainEventQueue();
    EXPECT_EQ(w->chars.size(), 32u);
}

TEST_F(DispatchTest, KeysAreFoldedAndBadInputDropped) {
    auto* w = MakeWindow(Rect{0, 0, 100, 100});
    ActivateWindow(w, kFocusByProgram);
    struct Case {
        int posted;
        int delivered;  // -1: nothing arrives
    } cases[] = {
        {kKeyLeftShift, kKeyShift}, {kKeyRightControl, kKeyControl}, {kKeyRightAlt, kKeyAlt},
        {kKeyPadEnter, kKeyEnter},  {65, 65},                        {157, -1},
        {-1, -1},
    };
    for (const Case& c : cases) {
        w->keys.clear();
        HandleKeyInput(c.posted, 1);
        HandleKeyInput(c.posted, 0);
        DrainEventQueue();
        if (c.delivered < 0) {
            EXPECT_TRUE(w->keys.empty()) << c.posted;
        } else {
            ASSERT_EQ(w->keys.size(), 2u) << c.posted;
            EXPECT_EQ(w->keys[0].Code(), c.delivered);
        }
    }
    // Modifier mask: shift 1, alt 2, control 4 and 8; held keys repeat.
    HandleKeyInput(kKeyLeftControl, 1);
    HandleKeyInput(kKeyLeftShift, 1);
    HandleKeyInput(65, 1);
    HandleKeyInput(65, 1);
    DrainEventQueue();
    ASSERT_GE(w->keys.size(), 2u);
    const InputEvent& first = w->keys[w->keys.size() - 2];
    const InputEvent& repeat = w->keys.back();
    EXPECT_EQ(first.KeyModifiers(), 1u | 4u | 8u);
    EXPECT_EQ(repeat.KeyModifiers(), 1u | 4u | 8u | kKeyRepeatBit);
    EXPECT_TRUE(IsKeyDown(kKeyControl));
    EXPECT_EQ(GetModifierMask(), 13u);
}

TEST_F(DispatchTest, CharactersGoThroughTheCharacterMap) {
    auto* w = MakeWindow(Rect{0, 0, 100, 100});
    ActivateWindow(w, kFocusByProgram);
    HandleCharInput('e', 1);
    HandleCharInput(0x00E9, 1);  // e acute: 0x8E in the program's set
    HandleCharInput(0x4E00, 1);  // no program code: dropped, never a NUL
    HandleCharInput(9, 1);       // control characters are not typed
    HandleKeyInput(kKeyLeftAlt, 1);
    HandleCharInput('e', 1);     // Option layer
    HandleKeyInput(kKeyLeftAlt, 0);
    DrainEventQueue();
    EXPECT_EQ(w->chars, (std::vector<int>{'e', 0x8E, 0xAB}));
}

TEST_F(DispatchTest, DoubleClickNeedsSamePlaceShortIntervalAndTheGuard) {
    auto* w = MakeWindow(Rect{0, 0, 200, 200});
    MoveTo(50, 50);
    Press();
    Release();
    headless::AdvanceTime(0.1);
    Press();  // within 0.2 s, same spot
    Release();
    EXPECT_EQ(w->doubleClicks.size(), 1u);
    headless::AdvanceTime(0.1);
    Press();  // 0.1 s after the double click: the 0.3 s guard makes it a press
    Release();
    EXPECT_EQ(w->doubleClicks.size(), 1u);
    headless::AdvanceTime(0.5);
    Press();
    Release();
    headless::AdvanceTime(0.1);
    MoveTo(51, 50);
    Press();  // moved: no double click
    EXPECT_EQ(w->doubleClicks.size(), 1u);
    EXPECT_EQ(w->buttons.size(), 8u);
    EXPECT_EQ(w->buttons.back().X(), 51);  // screen coordinates
}

TEST_F(DispatchTest, ClickActivatesAndAnswerOneSwallowsTheClick) {
    auto* back = MakeWindow(Rect{0, 0, 200, 200}, 0, nullptr, "back");
    auto* front = MakeWindow(Rect{300, 0, 500, 200}, 0, nullptr, "front");
    back->focusAnswer = kFocusSwallowClick;
    Click(50, 50);
    EXPECT_EQ(GetFocusWindow(), back);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), back);  // raised
    EXPECT_EQ(back->buttons.size(), 1u);  // only the release; the press activated
    EXPECT_EQ(back->lastFocusReason, kFocusByClick);
    Click(400, 50);
    EXPECT_EQ(GetFocusWindow(), front);
    EXPECT_EQ(front->buttons.size(), 2u);
    EXPECT_EQ(back->focusLostCount, 1);
}

TEST_F(DispatchTest, FocusRedirectAndFocusLostSignal) {
    auto* a = MakeWindow(Rect{0, 0, 100, 100});
    auto* b = MakeWindow(Rect{0, 0, 100, 100});
    auto* target = MakeWindow(Rect{0, 0, 100, 100});
    ActivateWindow(a, kFocusByProgram);
    static int lostReason;
    lostReason = -1;
    ConnectSignal(a->focusLost, nullptr, [](SignalListener*, i32 reason) { lostReason = reason; });
    b->focusAnswer = PassFocusTo(target);
    ActivateWindow(b, kFocusByTab);
    EXPECT_EQ(GetFocusWindow(), target);
    EXPECT_EQ(lostReason, kFocusByTab);
    // A window without the focus flag passes on down its focus-child chain.
    auto* holder = new ProbeWindow(Window::kVisible);
    auto* inner = MakeWindow(Rect{0, 0, 10, 10}, 0, holder);
    ActivateWindow(holder, kFocusByProgram);
    EXPECT_EQ(GetFocusWindow(), inner);
}

TEST_F(DispatchTest, KeysGoToFocusThenUpItsParents) {
    auto* dialog = MakeWindow(Rect{0, 0, 300, 300}, 0, nullptr, "dialog");
    auto* box = MakeWindow(Rect{10, 10, 50, 30}, 0, dialog, "box");
    ActivateWindow(box, kFocusByProgram);
    dialog->consumeKeys = 1;
    Key(65);
    EXPECT_EQ(box->keys.size(), 2u);
    EXPECT_EQ(dialog->keys.size(), 2u);
    box->consumeKeys = 1;
    Key(66);
    EXPECT_EQ(dialog->keys.size(), 2u);
}

TEST_F(DispatchTest, TabRingSkipsHiddenAndDisabledBothWays) {
    auto* dialog = MakeWindow(Rect{0, 0, 300, 300});
    ProbeWindow* f[4];
    for (auto*& w : f) w = MakeWindow(Rect{0, 0, 20, 20}, 0, dialog);
    SetTabOrder(f[0], f[1], f[2], f[3], nullptr);
    EXPECT_EQ(GetFocusWindow(), f[0]);
    f[1]->SetVisible(false);
    f[2]->SetEnabled(false);
    ActivateWindow(f[0], kFocusByProgram);
    Key(kKeyTab);
    EXPECT_EQ(GetFocusWindow(), f[3]);
    EXPECT_EQ(f[3]->lastFocusReason, kFocusByTab);
    Key(kKeyTab, {kKeyLeftShift});
    EXPECT_EQ(GetFocusWindow(), f[0]);
    // Nothing else can take it: the focus stays after one pass.
    f[3]->SetEnabled(false);
    Key(kKeyTab);
    EXPECT_EQ(GetFocusWindow(), f[0]);
}

TEST_F(DispatchTest, ControlWClosesTheDialogButNotTheParentOfAModal) {
    const u32 closable = Window::kTitleBar | Window::kThickBorder | Window::kCloseBox;
    int dialogGone = 0, modalGone = 0, parentGone = 0;
    auto* dialog = MakeWindow(Rect{0, 0, 300, 300}, closable, nullptr, "dialog");
    dialog->destroyedCount = &dialogGone;
    auto* box = MakeWindow(Rect{10, 40, 100, 60}, 0, dialog);
    ActivateWindow(box, kFocusByProgram);
    Key(87, {kKeyLeftControl});
    EXPECT_EQ(dialogGone, 1);  // asked, agreed, deleted after the event

    auto* parent = MakeWindow(Rect{0, 0, 400, 400}, closable, nullptr, "parent");
    parent->destroyedCount = &parentGone;
    auto* modal = MakeWindow(Rect{50, 50, 200, 200}, closable, parent, "modal");
    modal->destroyedCount = &modalGone;
    auto* field = MakeWindow(Rect{10, 40, 100, 60}, 0, parent);
    BeginModal(modal, 0);
    ActivateWindow(field, kFocusByProgram);  // focus in the parent, outside the modal
    Key(87, {kKeyLeftControl});
    EXPECT_EQ(parent->closeRequests, 0);
    // Keys reach the modal window's own tree.
    ActivateWindow(modal, kFocusByProgram);
    Key(kKeyF1 + 3, {kKeyLeftControl});  // Ctrl+F4
    EXPECT_EQ(modalGone, 1);
    EXPECT_EQ(parentGone, 0);
    EXPECT_EQ(parent->closeRequests, 0);
    EXPECT_EQ(GetModalState().modalStack.size(), 1u);
    EXPECT_TRUE(TopFilterIsDefault());
    // With the modal run over, the same keys close the parent, once.
    ActivateWindow(field, kFocusByProgram);
    Key(87, {kKeyLeftControl});
    EXPECT_EQ(parentGone, 1);
}

TEST_F(DispatchTest, HoverLeaveAndPointerShapes) {
    auto* w = MakeWindow(Rect{100, 100, 300, 300},
                         Window::kThickBorder | Window::kResizable | Window::kTitleBar);
    w->SetCursor(5, false);
    struct Case {
        Point p;
        int cursor;
    } cases[] = {
        {{150, 200}, 5}, {{101, 200}, 1}, {{150, 101}, 2}, {{101, 101}, 3},
        {{298, 101}, 4}, {{150, 110}, 0}, {{50, 50}, 0},
    };
    for (const Case& c : cases) {
        MoveTo(c.p.x, c.p.y);
        EXPECT_EQ(headless::Record().cursorId, c.cursor) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(GetHoverWindow(), GetLayerWindow(0));
    EXPECT_EQ(w->leaves, 1);
    EXPECT_GE(w->frameLeaves, 4);
}

TEST_F(DispatchTest, ModalRunsRouteAndBeep) {
    auto* outside = MakeWindow(Rect{0, 0, 200, 200}, 0, nullptr, "outside");
    auto* modal = MakeWindow(Rect{300, 0, 500, 200}, 0, nullptr, "modal");
    BeginModal(modal, 0);
    Click(50, 50);
    EXPECT_TRUE(outside->buttons.empty());
    EXPECT_EQ(headless::Record().beeps, 1);
    EndModal(modal, 0);
    BeginModal(modal, kModalMouseOutside | kModalKeysOutside);
    headless::AdvanceTime(1.0);  // not a double click
    Click(50, 50);
    ASSERT_EQ(modal->buttons.size(), 2u);
    EXPECT_EQ(modal->buttons[0].Part(), kPartClient);
    ActivateWindow(outside, kFocusByProgram);
    Key(65);
    EXPECT_TRUE(outside->keys.empty());
    EXPECT_EQ(modal->keys.size(), 2u);
}

TEST_F(DispatchTest, RunModalReturnsTheResultOfItsOwnEnd) {
    auto* dialog = MakeWindow(Rect{100, 100, 300, 300});
    dialog->onButton = [](ProbeWindow* self, InputEvent& e) {
        if (!e.ButtonAction()) EndModal(self, 7);
    };
    // The platform delivers the click while the run waits.
    static ProbeWindow* s_dialog;
    s_dialog = dialog;
    SetIdleHook([]() -> int {
        if (frames_ == 3) {
            HandleMouseMoveInput(150, 150);
            HandleMouseButtonInput(0, 1);
            HandleMouseButtonInput(0, 0);
        }
        return IdleFrame();
    });
    int endedByClose = -1;
    EXPECT_EQ(RunModal(s_dialog, 0, &endedByClose), 7);
    EXPECT_EQ(endedByClose, 0);
    EXPECT_FALSE(IsModal(dialog, false));
    EXPECT_TRUE(TopFilterIsDefault());
}

TEST_F(DispatchTest, EndModalTouchesOnlyItsOwnRun) {
    auto* lower = MakeWindow(Rect{0, 0, 100, 100});
    auto* upper = MakeWindow(Rect{0, 0, 100, 100});
    EndModal(lower, 3);  // no run at all: nothing happens
    EXPECT_EQ(GetModalState().modalStack.size(), 1u);
    EXPECT_EQ(GetModalState().closeEnding, 0u);
    BeginModal(lower, 0);
    BeginModal(upper, 0);
    ASSERT_TRUE(StartDrag(upper, nullptr));
    EndModal(lower, 3);
    EXPECT_TRUE(IsModal(upper, true));
    EXPECT_FALSE(IsModal(lower, false));
    // The drag filter stays on top; one modal filter (upper's) below it.
    ASSERT_EQ(GetModalState().filters.size(), 2u);
    EXPECT_EQ(GetModalState().filters.back().filter, &DragEventFilter);
    EXPECT_EQ(GetModalState().filters[0].owner, upper);
    EndModal(upper, 4);  // not on the stack any more after this
    EndModal(upper, 5);
    EXPECT_EQ(GetModalState().modalResult, 4);
    EXPECT_TRUE(IsDragRunning());
}

TEST_F(DispatchTest, CloseRequestEndsFlagEightRunsOnePerFrameThenQuits) {
    static int quitAsked;
    quitAsked = 0;
    SetQuitHook([]() -> int {
        quitAsked++;
        return 1;
    });
    auto* outer = MakeWindow(Rect{0, 0, 100, 100});
    auto* inner = MakeWindow(Rect{0, 0, 100, 100});
    BeginModal(outer, kModalEndOnClose);
    BeginModal(inner, kModalEndOnClose);
    HandleWindowCloseRequest();
    StepFrame();
    EXPECT_FALSE(IsModal(inner, false));
    EXPECT_TRUE(IsModal(outer, false));
    EXPECT_EQ(GetModalState().endedByClose, 1u);
    StepFrame();
    EXPECT_FALSE(IsModal(outer, false));
    EXPECT_EQ(quitAsked, 0);
    StepFrame();  // nothing on top with flag 8: the close event reaches the quit
    StepFrame();
    EXPECT_EQ(quitAsked, 1);
    EXPECT_FALSE(IsRunning());
}

TEST_F(DispatchTest, QuitIsRefusedDuringModalRunsAndByTheHook) {
    auto* modal = MakeWindow(Rect{0, 0, 100, 100});
    BeginModal(modal, 0);
    RequestQuit();
    EXPECT_EQ(headless::Record().beeps, 1);
    EXPECT_TRUE(IsRunning());
    EndModal(modal, 0);
    SetQuitHook([]() -> int { return 0; });
    RequestQuit();
    EXPECT_TRUE(IsRunning());
    SetQuitHook([]() -> int { return 1; });
    RequestQuit();
    EXPECT_FALSE(IsRunning());
}

TEST_F(DispatchTest, F11CyclesTopLevelWindowsAndF12AsksForACapture) {
    auto* a = MakeWindow(Rect{0, 0, 100, 100}, 0, nullptr, "a");
    auto* b = MakeWindow(Rect{0, 0, 100, 100}, 0, nullptr, "b");
    auto* inner = MakeWindow(Rect{0, 0, 10, 10}, 0, b, "inner");
    ActivateWindow(inner, kFocusByProgram);
    Key(kKeyF1 + 10);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), a);
    EXPECT_EQ(GetLayerWindow(0)->GetLastChild(), b);
    EXPECT_EQ(GetFocusWindow(), a);
    Key(kKeyF1 + 11, {kKeyLeftControl, kKeyLeftAlt});
    EXPECT_EQ(WindowInternals::CaptureRequest(a), 2u);  // client area only
    RenderFrame();
    EXPECT_EQ(WindowInternals::CaptureRequest(a), 0u);  // served by the next redraw
}

TEST_F(DispatchTest, HidingTheFrontWindowHandsTheFrontToTheNextOnly) {
    auto* back = MakeWindow(Rect{0, 0, 100, 100}, 0, nullptr, "back");
    auto* middle = MakeWindow(Rect{0, 0, 100, 100}, 0, nullptr, "middle");
    auto* front = MakeWindow(Rect{0, 0, 100, 100}, 0, nullptr, "front");
    ActivateWindow(front, kFocusByProgram);
    back->SetVisible(false);  // hiding a window behind changes nothing in front
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), front);
    EXPECT_EQ(GetFocusWindow(), front);
    front->SetVisible(false);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), middle);
    EXPECT_EQ(GetFocusWindow(), middle);
}

// While locked, each motion is the step from the position reported before
// it: right whether or not the platform could hold the pointer.
TEST_F(DispatchTest, PointerLockPostsStepsFromThePreviousPosition) {
    auto* w = MakeWindow(Rect{0, 0, 800, 600});
    MoveTo(100, 100);
    SetPointerLock(true);
    EXPECT_FALSE(headless::Record().cursorVisible);
    EXPECT_TRUE(headless::Record().pointerLocked);
    HandleMouseMoveInput(107, 97);
    DrainEventQueue();
    EXPECT_EQ(GetMousePosition().x, 7);
    EXPECT_EQ(GetMousePosition().y, -3);
    HandleMouseMoveInput(110, 97);
    DrainEventQueue();
    EXPECT_EQ(GetMousePosition().x, 3);
    EXPECT_EQ(GetMousePosition().y, 0);
    SetPointerLock(false);
    EXPECT_FALSE(headless::Record().pointerLocked);
    DrainEventQueue();
    EXPECT_TRUE(headless::Record().cursorVisible);
    EXPECT_EQ(GetMousePosition().x, 100);
    EXPECT_EQ(GetMousePosition().y, 100);
    EXPECT_GE(w->moves, 1);
}

}  // namespace
}  // namespace pirn_test
