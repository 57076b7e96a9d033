#pragma once
// Headless window-system harness: the window system on the platform's
// headless backend (a clock the test advances, recorded beeps and cursors),
// fixed window metrics, no GL. Input goes in through the same posters the
// platform callbacks use.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/headless/headless_os.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_window.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/window.h"
#include "ui/window_drag.h"
#include "ui/window_metrics.h"
#include "ui/window_overview.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn_test {

using namespace pirn;

// A window that records what reached it and answers as told.
class ProbeWindow : public Window {
public:
    explicit ProbeWindow(u32 flags, Window* parent = nullptr, const char* name = nullptr) : Window(flags, parent) {
        if (name) SetTitle(name);
    }
    ~ProbeWindow() override {
        if (destroyedCount) ++*destroyedCount;
        if (deletionLog) deletionLog->push_back(GetTitle() ? GetTitle() : "?");
    }

    const char* GetClassName() const override { return "ProbeWindow"; }
    int OnKey(InputEvent& e) override {
        keys.push_back(e);
        return consumeKeys;
    }
    void OnChar(InputEvent& e) override { chars.push_back(e.Code()); }
    void OnMouseButton(InputEvent& e) override {
        buttons.push_back(e);
        if (onButton) onButton(this, e);
    }
    void OnDoubleClick(InputEvent& e) override { doubleClicks.push_back(e); }
    void OnMouseMove(InputEvent& e) override { moves++; }
    void OnMouseLeave() override {
        leaves++;
        if (onMouseLeave) onMouseLeave(this);
    }
    void OnFrameMouseLeave() override { frameLeaves++; }
    FocusAnswer OnFocusGained(Window* old, int reason) override {
        focusGained++;
        lastFocusReason = reason;
        return focusAnswer;
    }
    void OnFocusLost(Window* next, int reason) override {
        focusLostCount++;
        if (onFocusLost) onFocusLost(this);
    }
    int OnCloseRequest(int byUser) override {
        closeRequests++;
        if (onCloseRequest) onCloseRequest(this);
        if (!allowClose) return 0;
        return Window::OnCloseRequest(byUser);
    }
    void DrawContents() override {
        contentsDrawn++;
        if (drawLog) drawLog->push_back(GetTitle() ? GetTitle() : "?");
        if (onDraw) onDraw(this);
    }
    void OnIdle() override {
        if (idleLog) idleLog->push_back(GetTitle() ? GetTitle() : "?");
        if (onIdle) onIdle(this);
    }
    void OnMouseDrag(Point start, Point pos, int phase) override {
        if (onDrag) onDrag(this, phase);
    }
    int OnDragDrop(Point pos, int phase, DragDropData* data) override {
        if (phase == 1) dragAsks++;
        else drops++;
        if (phase == 0 && dropCount) ++*dropCount;
        if (onDrag) onDrag(this, phase == 0 ? 3 : 4);
        return acceptDrops;
    }
    void Layout() override { layouts++; }

    std::vector<InputEvent> keys, buttons, doubleClicks;
    std::vector<int> chars;
    int consumeKeys = 0;
    int moves = 0, leaves = 0, frameLeaves = 0;
    int focusGained = 0, focusLostCount = 0, lastFocusReason = -1;
    FocusAnswer focusAnswer = kFocusAccept;
    int closeRequests = 0;
    bool allowClose = true;
    int contentsDrawn = 0;
    int dragAsks = 0, drops = 0, acceptDrops = 0;
    int layouts = 0;
    int* destroyedCount = nullptr;
    int* dropCount = nullptr;  // survives the window
    std::vector<std::string>* deletionLog = nullptr;
    std::vector<std::string>* drawLog = nullptr;
    std::vector<std::string>* idleLog = nullptr;
    void (*onButton)(ProbeWindow*, InputEvent&) = nullptr;
    void (*onDraw)(ProbeWindow*) = nullptr;
    void (*onIdle)(ProbeWindow*) = nullptr;
    void (*onFocusLost)(ProbeWindow*) = nullptr;
    void (*onMouseLeave)(ProbeWindow*) = nullptr;
    // Drag phases 0-2 of OnMouseDrag; 3 a drop and 4 a drop question.
    void (*onDrag)(ProbeWindow*, int phase) = nullptr;
    void (*onCloseRequest)(ProbeWindow*) = nullptr;
};

// Records every fill the window system and the skin send to the draw target.
class RecordingDrawTarget : public DrawTarget {
public:
    struct Fill {
        u32 color;
        Rect rect;
    };
    void SetColor(u32 rgba) override { color = rgba; }
    void FillRect(const Rect& r) override { fills.push_back(Fill{color, r}); }
    void DrawImages(const std::vector<QueuedImageDraw>&) override {}
    void DrawPixelImage(const PixelImage&, const Rect&) override {}
    void ForgetPixelImage(const PixelImage&) override {}
    u32 color = 0xFFFFFFFFu;
    std::vector<Fill> fills;
};

class WindowSystemTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    void SetUp() override {
        headless::Reset();
        OsInitForTests();
        ResetWindowSystem();
        WindowMetrics m;
        m.thickBorder = 4;
        m.thinBorder = 1;
        m.titleBarHeight = 22;
        m.titleButtonWidth = 14;
        m.titleButtonHeight = 14;
        SetWindowMetricsOverride(&m);
        InitWindowSystem(kWidth, kHeight);
        SetRunning(true);
        SetPartialRedraw(true);
        frames_ = 0;
        frameLimit_ = 1000;
        SetIdleHook(&WindowSystemTest::IdleFrame);
        SetQuitHook(nullptr);
        StepFrame();  // the first full redraw
    }

    void TearDown() override {
        // Windows a test leaves open are deleted here, after the test body's
        // locals are gone: their recorders must not write into them.
        if (GetLayerWindow(-1)) CutRecorders(GetLayerWindow(-1));
        for (Window* w : GetDeletionState().deferredDeletes) CutRecorders(w);
        ResetWindowSystem();
        SetWindowMetricsOverride(nullptr);
        SetDrawTarget(nullptr);
    }

    static void OsInitForTests() { OsInit(); }

    static void CutRecorders(Window* w) {
        if (auto* probe = dynamic_cast<ProbeWindow*>(w)) {
            probe->destroyedCount = nullptr;
            probe->dropCount = nullptr;
            probe->deletionLog = probe->drawLog = probe->idleLog = nullptr;
        }
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) CutRecorders(c);
    }

    // One frame of a program: time moves on by a 60th of a second. Stops
    // after the frame limit so that a broken modal run fails instead of
    // hanging.
    static int IdleFrame() {
        headless::AdvanceTime(1.0 / 60.0);
        StepFrame();
        return ++frames_ < frameLimit_;
    }

    static void MoveTo(int x, int y) {
        HandleMouseMoveInput(x, y);
        DrainEventQueue();
    }
    static void Press(int button = 0) {
        HandleMouseButtonInput(button, 1);
        DrainEventQueue();
    }
    static void Release(int button = 0) {
        HandleMouseButtonInput(button, 0);
        DrainEventQueue();
    }
    static void Click(int x, int y, int button = 0) {
        MoveTo(x, y);
        Press(button);
        Release(button);
    }
    // A key with modifier keys held around it.
    static void Key(int code, std::vector<int> modifiers = {}) {
        for (int m : modifiers) HandleKeyInput(m, 1);
        HandleKeyInput(code, 1);
        HandleKeyInput(code, 0);
        for (int m : modifiers) HandleKeyInput(m, 0);
        DrainEventQueue();
    }

    inline static int frames_ = 0;
    inline static int frameLimit_ = 1000;
};

}  // namespace pirn_test
