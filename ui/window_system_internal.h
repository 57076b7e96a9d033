#pragma once
// Window-system internals shared by the window, dispatch, drag, overview and
// frame-step sources. Not for widgets.

#include "platform/types.h"

namespace pirn {

class Window;

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
