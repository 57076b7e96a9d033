#pragma once
// Window-system internals shared by the window, dispatch, drag, overview and
// frame-step sources. Not for widgets.

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/window.h"

namespace pirn {

// What only the window system itself touches of a window's private record:
// the draw state and visible rectangle of the redraw pass, the placement the
// overview draws a window at, the title-bar button held down, a pending
// capture, the window state a destruction sets, and the window's own font
// (without the default behind it).
struct WindowInternals {
    static u32& DrawState(Window* w) { return w->drawState_; }
    static u32 DrawState(const Window* w) { return w->drawState_; }
    // Set first thing in the destructor: walks stop at such a window.
    static bool IsDetached(const Window* w) { return (w->drawState_ & Window::kDetached) != 0; }
    static Rect& VisibleRect(Window* w) { return w->visibleRect_; }
    static const Rect& VisibleRect(const Window* w) { return w->visibleRect_; }
    static Rect& PreviousFrame(Window* w) { return w->prevFrame_; }
    static const Rect& PreviousFrame(const Window* w) { return w->prevFrame_; }
    static Rect& PreviousClient(Window* w) { return w->prevClient_; }
    static const Rect& PreviousClient(const Window* w) { return w->prevClient_; }
    static u32& CaptureRequest(Window* w) { return w->captureRequest_; }
    static u32& PressedButtons(Window* w) { return w->pressedButtons_; }
    static u32 PressedButtons(const Window* w) { return w->pressedButtons_; }
    static void SetWindowState(Window* w, i32 state) { w->windowState_ = state; }
    static InterfaceFont* OwnFont(const Window* w) { return w->font_; }
};

// Clears every reference the window system holds into the window's subtree:
// focus, hover, dim-below, menu bar, modal entries with their filters, a
// drag it captured (cancelled, payload freed), the deferred-delete queue.
void ForgetWindowSubtree(Window* window);

// Ends the topmost modal entry of the window and removes its own modal
// filter. byClose marks the run as ended by a close request and keeps the
// close-ending budget; otherwise the budget becomes 0.
bool EndModalEntryOf(Window* window, i64 result, bool byClose);

// Marks a window whose handler runs, so that deferred deletion leaves it (and
// its ancestors) alone until the handler returns.
class DispatchGuard {
public:
    explicit DispatchGuard(Window* window);
    ~DispatchGuard();
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;
};

// Platform services the window system uses (time, pointer, beep, typed
// characters), in one place.
double WsGetTime();
void WsSetCursor(u32 id);
void WsSetMousePos(i32 x, i32 y);
void WsShowCursor(bool show);
void WsBeep();
// 0 when the character has no program code.
u8 WsMapTypedChar(u32 codePoint, bool option);

}  // namespace pirn
