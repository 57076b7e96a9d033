// Window-system record: input ring, filters, focus, hover, modal runs,
// quitting and deferred deletion.

#include "ui/window_system.h"

#include <algorithm>
#include <climits>
#include <cstdarg>

#include "platform/os/key_codes.h"
#include "ui/frame_step.h"
#include "ui/window_drag.h"
#include "ui/window_overview.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

WindowSystemState g_state;


void SetKeyBit(u32 (*state)[2], int code, bool on) {
    u32& word = state[code / 32][1];
    const u32 bit = 1u << (code % 32);
    word = on ? (word | bit) : (word & ~bit);
}

bool KeyBit(const WindowSystemState& ws, int code) {
    if (code < 0 || code >= 160) return false;
    return (ws.keyState[code / 32][1] >> (code % 32)) & 1u;
}

void RecomputeModifiers(WindowSystemState& ws) {
    u32 m = 0;
    if (KeyBit(ws, kKeyShift)) m |= kModShift;
    if (KeyBit(ws, kKeyAlt)) m |= kModAlt;
    if (KeyBit(ws, kKeyControl)) m |= kModControl | kModControlAlso;
    ws.modifiers = m;
}

bool HitWalk(WindowSystemState& ws, Window* w, Point p, Window** hit, u32* part) {
    if (!w->IsVisible() || WindowInternals::IsDetached(w)) return false;
    if (w->GetWindowState() != Window::kStateCollapsed)
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling())
            if (HitWalk(ws, c, p, hit, part)) return true;
    if (w == ws.layer1) return false;
    const u32 r = w->HitTest(p);
    if (!r) return false;
    *hit = w;
    *part = r;
    return true;
}

// Deferred deletion must not free a window whose handler is still running,
// nor one of its ancestors.
bool IsBusy(const WindowSystemState& ws, const Window* w) {
    for (const Window* d : ws.dispatching)
        if (d && d->IsDescendantOf(w)) return true;
    return false;
}

}  // namespace

WindowSystemState& GetWindowSystem() { return g_state; }

void ResetWindowSystem() {
    DestroyRootWindow();
    g_state.~WindowSystemState();
    new (&g_state) WindowSystemState();
}

// ---- dispatch guard ----

DispatchGuard::DispatchGuard(Window* window) { g_state.dispatching.push_back(window); }

DispatchGuard::~DispatchGuard() {
    // Guards live on the stack, so they end in the reverse order of their
    // start; the entry may have been cleared if the window was deleted.
    if (!g_state.dispatching.empty()) g_state.dispatching.pop_back();
}

// ---- posting ----

bool PostEvent(u32 type, const InputEvent* payload) {
    WindowSystemState& ws = g_state;
    if (ws.ringCount >= WindowSystemState::kRingSize) return false;
    InputEvent e;
    e.type = type;
    if (payload) {
        int words = 0;
        switch (type) {
            case kEventKey:
            case kEventChar: words = 3; break;
            case kEventButton:
            case kEventDoubleClick:
            case kEventWheel: words = 6; break;
            case kEventMotion: words = 4; break;
            default: words = 0; break;
        }
        for (int i = 0; i < words; i++) e.word[i] = payload->word[i];
    }
    ws.ring[ws.ringWrite] = e;
    ws.ringWrite = (ws.ringWrite + 1) % WindowSystemState::kRingSize;
    ws.ringCount++;
    return true;
}

void HandleKeyInput(int code, int action) {
    if (!g_state.running) return;
    // Negative codes are keys the platform could not name.
    if (code < 0 || code >= kKeyCodeLimit) return;
    switch (code) {
        case kKeyLeftShift:
        case kKeyRightShift: code = kKeyShift; break;
        case kKeyLeftControl:
        case kKeyRightControl: code = kKeyControl; break;
        case 121:
        case 122: code = 123; break;
        case kKeyLeftAlt:
        case kKeyRightAlt: code = kKeyAlt; break;
        case kKeyPadEnter: code = kKeyEnter; break;
        default: break;
    }
    InputEvent e;
    e.word[0] = static_cast<u32>(code);
    e.word[1] = action ? 1u : 0u;
    PostEvent(kEventKey, &e);
}

void HandleCharInput(int code, int action) {
    if (!g_state.running) return;
    // Characters arrive as code points; the character map decides later which
    // have a program code. Control characters and NUL never do.
    if (code < 32) return;
    InputEvent e;
    e.word[0] = static_cast<u32>(code);
    e.word[1] = static_cast<u32>(action);
    PostEvent(kEventChar, &e);
}

void HandleMouseButtonInput(int button, int action) {
    WindowSystemState& ws = g_state;
    if (!ws.running) return;
    if (button < 0 || button > 2) return;
    const double now = WsGetTime();
    InputEvent e;
    e.word[4] = static_cast<u32>(button);
    e.word[5] = action ? 1u : 0u;
    u32 type = kEventButton;
    if (action && button == ws.lastButton && ws.rawPointer.x == ws.lastButtonPos.x &&
        ws.rawPointer.y == ws.lastButtonPos.y && now - ws.lastButtonTime < 0.2 &&
        now - ws.lastDoubleClickTime > 0.3) {
        type = kEventDoubleClick;
        ws.lastDoubleClickTime = now;
    }
    ws.lastButton = button;
    ws.lastButtonTime = now;
    ws.lastButtonPos = ws.rawPointer;
    PostEvent(type, &e);
}

void HandleMouseMoveInput(int x, int y) {
    WindowSystemState& ws = g_state;
    if (!ws.running) return;
    InputEvent e;
    if (ws.pointerLocked) {
        const i32 cx = ws.screenWidth / 2;
        const i32 cy = ws.screenHeight / 2;
        if (x == cx && y == cy) return;  // our own warp
        e.word[0] = static_cast<u32>(x - cx);
        e.word[1] = static_cast<u32>(y - cy);
        WsSetMousePos(cx, cy);
        ws.rawPointer = Point{cx, cy};
    } else {
        e.word[0] = static_cast<u32>(x);
        e.word[1] = static_cast<u32>(y);
        ws.rawPointer = Point{x, y};
    }
    PostEvent(kEventMotion, &e);
}

namespace {
void PostWheel(int position, bool horizontal) {
    WindowSystemState& ws = g_state;
    if (!ws.running) return;
    InputEvent e;
    e.word[0] = static_cast<u32>(ws.mouse.x);
    e.word[1] = static_cast<u32>(ws.mouse.y);
    e.word[3] = horizontal ? kWheelHorizontalBit : 0u;
    i32& posted = horizontal ? ws.postedHWheel : ws.postedWheel;
    e.word[4] = static_cast<u32>(posted);
    e.word[5] = static_cast<u32>(position);
    if (PostEvent(kEventWheel, &e)) posted = position;
}
}  // namespace

void HandleMouseWheelInput(int position) { PostWheel(position, false); }
void HandleMouseHWheelInput(int position) { PostWheel(position, true); }

int HandleWindowCloseRequest() {
    WindowSystemState& ws = g_state;
    ws.closeEnding = TopModalEntry().flags & kModalEndOnClose;
    ws.closeEndingBudget = INT_MAX;
    PostEvent(kEventClose, nullptr);
    return 0;
}

// ---- draining ----

void DrainEventQueue() {
    WindowSystemState& ws = g_state;
    while (ws.ringCount > 0) {
        // Copied out first: handlers may post (or drain) again.
        InputEvent e = ws.ring[ws.ringRead];
        ws.ringRead = (ws.ringRead + 1) % WindowSystemState::kRingSize;
        ws.ringCount--;
        bool deliver = true;
        switch (e.type) {
            case kEventKey: {
                const int code = static_cast<int>(e.word[0]);
                if (code < 0 || code >= 160) {
                    deliver = false;
                    break;
                }
                const bool on = e.word[1] != 0;
                if (KeyBit(ws, code) == on) {
                    e.word[2] |= kKeyRepeatBit;
                } else {
                    ws.keyState[code / 32][0] = ws.keyState[code / 32][1];
                    SetKeyBit(ws.keyState, code, on);
                    RecomputeModifiers(ws);
                }
                e.word[2] |= ws.modifiers;
                break;
            }
            case kEventChar: {
                e.word[2] |= ws.modifiers;
                const u8 mapped = WsMapTypedChar(e.word[0], (ws.modifiers & kModAlt) != 0);
                // A character without a program code is not typed at all.
                if (mapped == 0) deliver = false;
                e.word[0] = mapped;
                break;
            }
            case kEventButton:
            case kEventDoubleClick: {
                const u32 b = std::min<u32>(e.word[4], 2);
                ws.buttons[b][0] = ws.buttons[b][1];
                ws.buttons[b][1] = e.word[5];
                break;
            }
            case kEventMotion:
                ws.previousMouse = ws.mouse;
                ws.mouse = Point{static_cast<i32>(e.word[0]), static_cast<i32>(e.word[1])};
                UpdateHover();
                break;
            case kEventWheel:
                if (e.word[3] & kWheelHorizontalBit) {
                    ws.hwheel[0] = ws.hwheel[1];
                    ws.hwheel[1] = static_cast<i32>(e.word[5]);
                } else {
                    ws.wheel[0] = ws.wheel[1];
                    ws.wheel[1] = static_cast<i32>(e.word[5]);
                }
                break;
            default: break;
        }
        if (e.type >= kEventButton && e.type <= kEventWheel) {
            e.word[0] = static_cast<u32>(ws.mouse.x);
            e.word[1] = static_cast<u32>(ws.mouse.y);
            e.word[2] = ws.hoverPart;
            e.word[3] = (e.word[3] & kWheelHorizontalBit) | ws.modifiers;
        }
        if (deliver) {
            if (e.type == kEventClose) {
                RequestQuit();
            } else if (!ws.filters.empty()) {
                ws.filters.back().filter(e.type, e);
            } else {
                DefaultEventFilter(e.type, e);
            }
        }
        if (!ws.deferredDeletes.empty()) ProcessDeferredDeletes();
    }
}

void PushEventFilter(EventFilter filter, Window* owner) {
    g_state.filters.push_back(FilterEntry{filter, owner});
    UpdateHover();
}

bool RemoveEventFilter(EventFilter filter, Window* owner) {
    auto& f = g_state.filters;
    for (size_t i = f.size(); i-- > 0;) {
        if (f[i].filter == filter && (!owner || f[i].owner == owner)) {
            f.erase(f.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool TopFilterIsDefault() {
    const auto& f = g_state.filters;
    return f.empty() || f.back().filter == DefaultEventFilter;
}

int DefaultEventFilter(u32 type, InputEvent& e) {
    WindowSystemState& ws = g_state;
    switch (type) {
        case kEventKey:
            if (DispatchKeyEvent(type, e)) return 1;
            if (ws.focusWindow) Window::SendEvent(ws.focusWindow, type, e);
            return 1;
        case kEventChar:
            if (ws.focusWindow) Window::SendEvent(ws.focusWindow, type, e);
            return 1;
        case kEventButton:
        case kEventDoubleClick:
        case kEventMotion:
        case kEventWheel:
            if (ws.hoverWindow) Window::SendEvent(ws.hoverWindow, type, e);
            return 1;
        default: return 0;
    }
}

int DispatchKeyEvent(u32 type, InputEvent& e) {
    WindowSystemState& ws = g_state;
    if (type != kEventKey) return 0;
    const int code = e.Code();
    const bool press = e.IsPress();
    const u32 mods = e.KeyModifiers();
    if (code == kKeyF1 + 3 && press && (ws.modifiers & kModAlt)) {  // Alt+F4
        HandleWindowCloseRequest();
        return 1;
    }
    if (code == kKeyF1 && press && (mods & kModControl)) {
        ws.debugOverlay = !ws.debugOverlay;
        InvalidateAll();
        return 0;
    }
    if (code == kKeyF1 + 1 && press && (mods & kModControl)) {
        ws.debugOutlines = !ws.debugOutlines;
        InvalidateAll();
        return 0;
    }
    if (code == kKeyF1 + 9 && press) {  // F10
        if (TopFilterIsDefault()) ToggleOverview();
        return 1;
    }
    if (!ws.focusWindow || !press) return 0;
    Window* top = ws.focusWindow->GetTopLevel();
    if (code == kKeyF1 + 10) {  // F11
        if (top) {
            Window* next = nullptr;
            for (Window* s = top->GetNextSibling(); s; s = s->GetNextSibling())
                if (s->IsVisible()) {
                    next = s;
                    break;
                }
            LowerWindow(top);
            if (next) {
                RaiseWindow(next);
                ActivateWindow(next, kFocusByProgram);
            }
        }
        return 1;
    }
    if (code == kKeyF1 + 11 && (mods & kModControl)) {  // F12
        if (top) {
            WindowInternals::CaptureRequest(top) = (mods & kModAlt) ? 2 : 1;
            top->Invalidate();
        }
        return 0;
    }
    return 0;
}

int ModalEventFilter(u32 type, InputEvent& e) {
    WindowSystemState& ws = g_state;
    const ModalEntry top = TopModalEntry();
    Window* m = top.window;
    if (!m) return DefaultEventFilter(type, e);
    if (type == kEventKey || type == kEventChar) {
        if (type == kEventKey && DispatchKeyEvent(type, e)) return 1;
        if (ws.focusWindow && ws.focusWindow->IsDescendantOf(m)) Window::SendEvent(ws.focusWindow, type, e);
        else if (top.flags & kModalKeysOutside) Window::SendEvent(m, type, e);
        return 1;
    }
    if (type >= kEventButton && type <= kEventWheel) {
        if (ws.hoverWindow && ws.hoverWindow->IsDescendantOf(m)) {
            Window::SendEvent(ws.hoverWindow, type, e);
        } else if (top.flags & kModalMouseOutside) {
            e.word[2] = kPartClient;
            Window::SendEvent(m, type, e);
        } else if (type == kEventButton && e.ButtonAction()) {
            WsBeep();
        }
        return 1;
    }
    return 0;
}

// ---- focus, hover, keys ----

int ActivateWindow(Window* window, int reason) {
    WindowSystemState& ws = g_state;
    // Focus passed on by OnFocusGained may come back; a few hops are plenty.
    for (int hops = 0; window && hops < 16; hops++) {
        if (window->IsDestroyed() && WindowInternals::IsDetached(window)) return 0;
        if (!window->TestFlags(Window::kTakesFocus)) {
            Window* end = window->GetFocusChild();
            if (!end) return 0;
            while (end->GetFocusChild()) end = end->GetFocusChild();
            window = end;
        }
        for (Window* w = window; w->GetParent(); w = w->GetParent()) w->GetParent()->SetFocusChild(w);
        if (ws.focusWindow == window) return 0;
        Window* old = ws.focusWindow;
        // Focus handlers may close windows and run frames (a message box
        // about a value just left): neither side is deleted under them.
        DispatchGuard keepOld(old);
        DispatchGuard keepNew(window);
        if (old) {
            old->focusLost.Emit(reason);
            if (ws.focusWindow == old) old->OnFocusLost(window, reason);
        }
        const FocusAnswer answer = window->OnFocusGained(old, reason);
        if (answer >= 2 || answer < 0) {
            window = reinterpret_cast<Window*>(answer);
            continue;
        }
        ws.focusWindow = window;
        window->InvalidateFrame();
        if (old && old != window && !WindowInternals::IsDetached(old)) old->InvalidateFrame();
        return static_cast<int>(answer);
    }
    return 0;
}

void SetTabOrderArray(Window* const* windows, int count) {
    if (count <= 0) return;
    for (int i = 0; i < count; i++) windows[i]->SetTabNext(windows[(i + 1) % count]);
    ActivateWindow(windows[0], kFocusByTab);
}

void SetTabOrder(Window* first, ...) {
    std::vector<Window*> list;
    va_list args;
    va_start(args, first);
    for (Window* w = first; w; w = va_arg(args, Window*)) list.push_back(w);
    va_end(args);
    SetTabOrderArray(list.data(), static_cast<int>(list.size()));
}

void UpdateHover() {
    WindowSystemState& ws = g_state;
    if (!ws.root || WindowInternals::IsDetached(ws.root)) return;
    Window* hit = nullptr;
    u32 part = 0;
    const bool overview = (ws.redrawFlags & kRedrawOverview) != 0;
    if (!overview) HitWalk(ws, ws.root, ws.mouse, &hit, &part);
    Window* modal = GetTopModalWindow();
    if (modal && hit && !hit->IsDescendantOf(modal)) {
        hit = nullptr;
        part = 0;
    }
    Window* old = ws.hoverWindow;
    const u32 oldPart = ws.hoverPart;
    // Stored before the leave call so that a leave handler that moves windows
    // (and so re-evaluates the hover) sees the new state.
    ws.hoverWindow = hit;
    ws.hoverPart = part;
    if (old && oldPart && (old != hit || oldPart != part) && (!modal || old->IsDescendantOf(modal))) {
        DispatchGuard keepOld(old);  // a leave handler may run frames
        if (oldPart == kPartClient) old->OnMouseLeave();
        else old->OnFrameMouseLeave();
    }
    if (ws.hoverWindow != hit) return;  // a leave handler already set it
    u32 shape = 0;
    const bool blocked = !hit || (ws.drag.captured && ws.drag.captured != hit) || overview ||
                         (modal && !hit->IsDescendantOf(modal));
    if (!blocked) {
        const u32 edges = part & kPartEdges;
        const bool resizable = hit->TestFlags(Window::kThickBorder) && hit->TestFlags(Window::kResizable) &&
                               hit->GetWindowState() == Window::kStateNormal;
        if (resizable && edges && part != kPartClient) {
            if (edges == kPartLeft || edges == kPartRight) shape = 1;
            else if (edges == kPartTop || edges == kPartBottom) shape = 2;
            else if (edges == (kPartLeft | kPartTop) || edges == (kPartRight | kPartBottom)) shape = 3;
            else if (edges == (kPartTop | kPartRight) || edges == (kPartLeft | kPartBottom)) shape = 4;
        } else if (part == kPartClient) {
            shape = hit->GetCursor();
        }
    }
    if (shape != ws.cursorShape) {
        // Asking the desktop for the same shape on every move costs a round trip.
        ws.cursorShape = shape;
        WsSetCursor(shape);
    }
}

bool IsKeyDown(int code) { return KeyBit(g_state, code); }
u32 GetModifierMask() { return g_state.modifiers; }
Point GetMousePosition() { return g_state.mouse; }
bool IsRightButtonEvent(const InputEvent& e) { return e.Button() == 1; }
Window* GetFocusWindow() { return g_state.focusWindow; }
Window* GetHoverWindow() { return g_state.hoverWindow; }

void SetPointerLock(bool on) {
    WindowSystemState& ws = g_state;
    if (on == (ws.pointerLocked != 0)) return;
    if (on) {
        ws.lockSavedPoint = ws.mouse;
        const i32 cx = ws.screenWidth / 2;
        const i32 cy = ws.screenHeight / 2;
        ws.pointerLocked = 1;
        WsSetMousePos(cx, cy);
        ws.rawPointer = Point{cx, cy};
        WsShowCursor(false);
    } else {
        ws.pointerLocked = 0;
        WsSetMousePos(ws.lockSavedPoint.x, ws.lockSavedPoint.y);
        ws.rawPointer = ws.lockSavedPoint;
        InputEvent e;
        e.word[0] = static_cast<u32>(ws.lockSavedPoint.x);
        e.word[1] = static_cast<u32>(ws.lockSavedPoint.y);
        PostEvent(kEventMotion, &e);
        WsShowCursor(true);
    }
}

// ---- modal runs ----

const ModalEntry& TopModalEntry() {
    static const ModalEntry base;
    return g_state.modalStack.empty() ? base : g_state.modalStack.back();
}

Window* GetTopModalWindow() { return TopModalEntry().window; }

void BeginModal(Window* window, u32 flags) {
    WindowSystemState& ws = g_state;
    if (ws.modalStack.empty()) ws.modalStack.push_back(ModalEntry{});
    PushEventFilter(ModalEventFilter, window);
    ws.modalStack.push_back(ModalEntry{window, flags});
    UpdateHover();
}

i64 RunModal(Window* window, u32 flags, int* endedByClose) {
    WindowSystemState& ws = g_state;
    if (!window) return 0;
    if (flags & kModalDimBehind) InvalidateAll();
    ModalRunRecord run;
    run.window = window;
    ws.modalRuns.push_back(&run);
    BeginModal(window, flags);
    if (window->IsVisible()) {
        RaiseWindow(window);
        ActivateWindow(window, kFocusByProgram);
    }
    // The window is only compared, never touched, once the run may have
    // ended: it can be gone by then.
    while (!run.ended && TopModalEntry().window == window && ws.idleHook && ws.idleHook()) {
    }
    if (!run.ended && IsModal(window, false)) {
        // No idle hook (or it asked to stop): the run cannot go on.
        EndModalEntryOf(window, 0, false);
    }
    ws.modalRuns.erase(std::find(ws.modalRuns.begin(), ws.modalRuns.end(), &run));
    if (flags & kModalDimBehind) InvalidateAll();
    if (endedByClose) *endedByClose = static_cast<int>(run.endedByClose);
    return run.result;
}

bool EndModalEntryOf(Window* window, i64 result, bool byClose) {
    WindowSystemState& ws = g_state;
    auto& stack = ws.modalStack;
    for (size_t i = stack.size(); i-- > 1;) {
        if (stack[i].window != window) continue;
        stack.erase(stack.begin() + static_cast<std::ptrdiff_t>(i));
        RemoveEventFilter(ModalEventFilter, window);
        ws.closeEnding = 1;
        if (!byClose) ws.closeEndingBudget = 0;
        ws.endedByClose = byClose ? 1 : 0;
        ws.modalResult = result;
        // The innermost run of this window that is still going gets it.
        for (size_t r = ws.modalRuns.size(); r-- > 0;) {
            ModalRunRecord* run = ws.modalRuns[r];
            if (run->window == window && !run->ended) {
                run->ended = true;
                run->result = result;
                run->endedByClose = byClose ? 1 : 0;
                break;
            }
        }
        UpdateHover();
        return true;
    }
    return false;
}

void EndModal(Window* window, i64 result) {
    // Only that window's own run ends; with no run at all nothing happens.
    if (!window) return;
    EndModalEntryOf(window, result, false);
}

bool IsModal(const Window* window, bool topOnly) {
    const auto& stack = g_state.modalStack;
    if (stack.size() <= 1 || !window) return false;
    if (topOnly) return stack.back().window == window;
    for (size_t i = 1; i < stack.size(); i++)
        if (stack[i].window == window) return true;
    return false;
}

// ---- quitting and destruction ----

int RequestQuit() {
    WindowSystemState& ws = g_state;
    if (ws.redrawFlags & kRedrawOverview) {
        // Leave the overview first; a toggle while it is still entering is
        // ignored, so ask again each frame until leaving has started.
        while ((ws.redrawFlags & kRedrawOverview) && ws.idleHook) {
            if ((ws.redrawFlags & kRedrawOverviewEntered) && !(ws.redrawFlags & kRedrawOverviewLeaving))
                ToggleOverview();
            if (!ws.idleHook()) break;
        }
    }
    if (!TopFilterIsDefault()) {
        WsBeep();
        return 1;
    }
    if (ws.quitHook && !ws.quitHook()) return 1;
    ws.running = 0;
    return 1;
}

int CloseAllWindows() {
    WindowSystemState& ws = g_state;
    if (!ws.layer0) return 1;
    for (Window* w = ws.layer0->GetFirstChild(); w;) {
        Window* next = w->GetNextSibling();
        if (!w->IsDestroyed()) {
            // Asking may run frames (a "Save?" box) that delete queued
            // windows: the next one stays until the walk has passed.
            DispatchGuard keepThis(w);
            DispatchGuard keepNext(next);
            if (!w->OnCloseRequest(0)) return 0;
            DestroyWindow(w);
        }
        w = next;
    }
    ProcessDeferredDeletes();
    return 1;
}

void DestroyWindow(Window* window) {
    if (!window || window->IsDestroyed()) return;
    window->OnDestroy();
    if (window->IsDestroyed()) return;
    window->DisconnectAll();
    g_state.deferredDeletes.push_back(window);
    WindowInternals::SetWindowState(window, Window::kStateDestroyed);
}

void ForgetWindowSubtree(Window* window) {
    WindowSystemState& ws = g_state;
    auto inside = [window](const Window* w) { return w && w->IsDescendantOf(window); };
    if (inside(ws.focusWindow)) ws.focusWindow = nullptr;
    if (inside(ws.hoverWindow)) {
        ws.hoverWindow = nullptr;
        ws.hoverPart = 0;
    }
    if (inside(ws.dimBelowWindow)) ws.dimBelowWindow = nullptr;
    if (inside(ws.menuBar)) ws.menuBar = nullptr;
    if (inside(ws.drag.captured)) CancelDrag();
    // Each modal run of the subtree ends (with its own filter), result 0.
    for (bool again = true; again;) {
        again = false;
        for (size_t i = ws.modalStack.size(); i-- > 1;) {
            if (inside(ws.modalStack[i].window)) {
                EndModalEntryOf(ws.modalStack[i].window, 0, false);
                again = true;
                break;
            }
        }
    }
    for (auto& f : ws.filters)
        if (inside(f.owner)) f.owner = nullptr;
    for (Window*& d : ws.dispatching)
        if (inside(d)) d = nullptr;
    auto& q = ws.deferredDeletes;
    q.erase(std::remove(q.begin(), q.end(), window), q.end());
    if (ws.deletingNow == window) ws.deletingNow = nullptr;
}

void ProcessDeferredDeletes() {
    WindowSystemState& ws = g_state;
    if (ws.deferredDeletes.empty()) return;
    ws.redrawFlags |= kRedrawDeleting;
    std::vector<Window*> kept;
    while (!ws.deferredDeletes.empty()) {
        Window* w = ws.deferredDeletes.back();
        ws.deferredDeletes.pop_back();
        if (IsBusy(ws, w)) {
            kept.push_back(w);
            continue;
        }
        ws.deletingNow = w;
        // The destructor takes the window's queued descendants off the queue
        // as it deletes them, so none is freed twice.
        delete w;
        ws.deletingNow = nullptr;
    }
    // Busy windows wait for the next chance, oldest first as before.
    ws.deferredDeletes.assign(kept.rbegin(), kept.rend());
    ws.redrawFlags &= ~kRedrawDeleting;
    UpdateHover();
}

void SetIdleHook(IdleHook hook) { g_state.idleHook = hook; }
void SetQuitHook(QuitHook hook) { g_state.quitHook = hook; }
int RunIdleHook() { return g_state.idleHook ? g_state.idleHook() : 0; }

void SetDefaultFont(InterfaceFont* font) { g_state.defaultFont = font; }
InterfaceFont* GetDefaultFont() { return g_state.defaultFont; }

}  // namespace pirn
