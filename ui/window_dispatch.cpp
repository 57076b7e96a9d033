// Event routing into windows: the base HandleEvent, SendEvent and the frame's
// own mouse handling (move and resize trackers, title-bar buttons).

#include <vector>

#include "platform/os/key_codes.h"
#include "ui/frame_step.h"
#include "ui/window.h"
#include "ui/window_drag.h"
#include "ui/window_metrics.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

// The frame part being dragged by the move-and-resize or title-bar-button
// tracker.
struct FrameTracking {
    u32 part = 0;
    Rect startFrame;    // screen
    Rect pointerLimit;  // screen
};
FrameTracking g_tracking;

constexpr int kKeyW = 87;
constexpr int kKeyF4 = kKeyF1 + 3;
constexpr u32 kTitleButtonParts = kPartButton0 | kPartButton1 | kPartButton2;

Point ClampToRect(Point p, const Rect& r) {
    if (p.x < r.left) p.x = r.left;
    if (p.x > r.right - 1) p.x = r.right - 1;
    if (p.y < r.top) p.y = r.top;
    if (p.y > r.bottom - 1) p.y = r.bottom - 1;
    return p;
}

void MoveResizeTracker(Window* w, Point start, Point current, int phase) {
    const FrameTracking& t = g_tracking;
    const Point p = ClampToRect(current, t.pointerLimit);
    const i32 dx = p.x - start.x;
    const i32 dy = p.y - start.y;
    Rect f = t.startFrame;
    if (t.part == kPartTitle) {
        f = OffsetRect(f, dx, dy);
    } else {
        if (t.part & kPartLeft) f.left += dx;
        if (t.part & kPartRight) f.right += dx;
        if (t.part & kPartTop) f.top += dy;
        if (t.part & kPartBottom) f.bottom += dy;
    }
    if (phase != 0) {
        const Point origin = w->GetParent() ? w->GetParent()->GetClientOrigin() : Point{0, 0};
        SetFrame(w, OffsetRect(f, -origin.x, -origin.y));
    }
    if (phase == 2) g_tracking.part = 0;
}

Rect TitleStripScreenRect(const Window* w) {
    const WindowMetrics m = GetWindowMetrics();
    const i32 b = w->GetBorderSize();
    const Rect& f = w->GetFrameScreenRect();
    return Rect{f.left, f.top, f.right, f.top + 2 * b + m.titleBarHeight};
}

void TitleButtonTracker(Window* w, Point start, Point current, int phase) {
    const u32 part = g_tracking.part;
    const bool over = w->HitTest(current) == part;
    const u32 pressed = (over && phase != 2) ? part : 0;
    if (pressed != WindowInternals::PressedButtons(w)) {
        WindowInternals::PressedButtons(w) = pressed;
        w->InvalidateRect(TitleStripScreenRect(w), false);
    }
    if (phase != 2) return;
    g_tracking.part = 0;
    if (!over) return;
    if (part == kPartButton0) w->Close(1);
    else if (part == kPartButton1) w->ToggleMaximized();
    else if (part == kPartButton2) w->SetCollapsed(-1);
}

}  // namespace

int Window::SendEvent(Window* window, u32 type, InputEvent& event) {
    if (!window) return 0;
    // Handlers may destroy windows; none on this path is freed before the
    // routing returns.
    DispatchGuard guard(window);
    std::vector<Window*> ancestors;
    for (Window* w = window->GetParent(); w; w = w->GetParent()) ancestors.push_back(w);
    for (size_t i = ancestors.size(); i-- > 0;)
        if (ancestors[i]->HandleEvent(window, type, event)) return 1;
    return window->HandleEvent(window, type, event);
}

int Window::HandleEvent(Window* target, u32 type, InputEvent& e) {
    if (type == kEventKey && e.IsPress() && (flags_ & kCloseBox) && !IsDestroyed()) {
        const int code = e.Code();
        const u32 mods = e.KeyModifiers();
        if ((code == kKeyW && (mods & kModControl)) || (code == kKeyF4 && (mods & kModControlAlso))) {
            Window* modal = GetTopModalWindow();
            const bool blocksModal = modal && modal != this && modal->IsDescendantOf(this);
            if (!blocksModal) Close(1);
        }
    }
    if (target != this) return 0;
    switch (type) {
        case kEventKey: {
            if (e.Code() == kKeyTab && tabNext_) {
                if (!e.IsPress()) return 1;
                const bool backwards = (e.KeyModifiers() & kModShift) != 0;
                Window* w = this;
                // One pass over the ring at most: a ring without an enabled,
                // visible window leaves the focus where it is.
                for (int steps = 0; steps < 4096; steps++) {
                    w = backwards ? w->tabPrev_ : w->tabNext_;
                    if (!w || w == this) break;
                    if (w->IsEnabled() && w->IsShownOnScreen()) {
                        ActivateWindow(w, kFocusByTab);
                        break;
                    }
                }
                return 1;
            }
            for (Window* w = this; w; w = w->GetParent())
                if (w->OnKey(e)) return 1;
            return 0;
        }
        case kEventChar:
            OnChar(e);
            return 1;
        case kEventButton: {
            int activation = 0;
            if (e.ButtonAction()) {
                if (Window* top = GetTopLevel()) RaiseWindow(top);
                if (!HasFocus()) activation = ActivateWindow(this, kFocusByClick);
            }
            if (e.Part() == kPartClient) {
                if (activation != 1) OnMouseButton(e);
            } else {
                OnFrameMouseButton(e);
            }
            return 1;
        }
        case kEventDoubleClick:
            if (e.Part() == kPartClient) OnDoubleClick(e);
            else OnFrameDoubleClick(e);
            return 1;
        case kEventMotion:
            if (e.Part() == kPartClient) OnMouseMove(e);
            else OnFrameMouseMove(e);
            return 1;
        case kEventWheel:
            if (e.Part() == kPartClient) OnWheel(e);
            else OnFrameWheel(e);
            return 1;
        default:
            return 0;
    }
}

void Window::OnFrameMouseButton(InputEvent& e) {
    if (!e.ButtonAction() || e.Button() == 1) return;
    const u32 part = e.Part();
    if (part == kPartOtherFrame || part == kPartNone) return;
    const bool resizable = (flags_ & kThickBorder) && (flags_ & kResizable) && windowState_ == kStateNormal;
    u32 tracked = 0;
    DragCallback callback = nullptr;
    if ((part & kTitleButtonParts)) {
        tracked = part & kTitleButtonParts;
        callback = TitleButtonTracker;
    } else if ((part & kPartEdges) && resizable) {
        tracked = part & kPartEdges;
        callback = MoveResizeTracker;
    } else if ((part & kPartTitle) && (flags_ & kTitleBar) && windowState_ != kStateMaximized) {
        tracked = kPartTitle;
        callback = MoveResizeTracker;
    }
    if (!callback || IsDragRunning()) return;
    g_tracking.part = tracked;
    g_tracking.startFrame = frame_;
    g_tracking.pointerLimit = GetScreenRect();
    if (callback == TitleButtonTracker) {
        pressedButtons_ = tracked;
        InvalidateRect(TitleStripScreenRect(this), false);
    }
    StartDrag(this, callback);
}

void Window::OnFrameDoubleClick(InputEvent& e) {
    if (e.Part() == kPartTitle) ToggleMaximized();
}

}  // namespace pirn
