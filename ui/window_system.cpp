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

InputState g_input;
FocusState g_focus;
ModalState g_modal;
DeletionState g_deletion;
IdleHook g_idleHook = nullptr;
QuitHook g_quitHook = nullptr;
InterfaceFont* g_defaultFont = nullptr;

void SetKeyBit(u32 (*state)[2], int code, bool on) {
    u32& word = state[code / 32][1];
    const u32 bit = 1u << (code % 32);
    word = on ? (word | bit) : (word & ~bit);
}

bool KeyBit(int code) {
    if (code < 0 || code >= 160) return false;
    return (g_input.keyState[code / 32][1] >> (code % 32)) & 1u;
}

void RecomputeModifiers() {
    u32 m = 0;
    if (KeyBit(kKeyShift)) m |= kModShift;
    if (KeyBit(kKeyAlt)) m |= kModAlt;
    if (KeyBit(kKeyControl)) m |= kModControl | kModControlAlso;
    g_input.modifiers = m;
}

bool HitWalk(Window* w, Point p, Window** hit, u32* part) {
    if (!w->IsVisible() || WindowInternals::IsDetached(w)) return false;
    if (w->GetWindowState() != Window::kStateCollapsed)
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling())
            if (HitWalk(c, p, hit, part)) return true;
    if (w == GetLayerWindow(1)) return false;
    const u32 r = w->HitTest(p);
    if (!r) return false;
    *hit = w;
    *part = r;
    return true;
}

// Deferred deletion must not free a window whose handler is still running,
// nor one of its ancestors.
bool IsBusy(const Window* w) {
    for (const Window* d : g_deletion.dispatching)
        if (d && d->IsDescendantOf(w)) return true;
    return false;
}

}  // namespace

InputState& GetInputState() { return g_input; }
FocusState& GetFocusState() { return g_focus; }
ModalState& GetModalState() { return g_modal; }
DeletionState& GetDeletionState() { return g_deletion; }

void ResetWindowSystem() {
    DestroyRootWindow();
    g_input = InputState{};
    g_focus = FocusState{};
    g_modal = ModalState{};
    g_deletion = DeletionState{};
    g_idleHook = nullptr;
    g_quitHook = nullptr;
    g_defaultFont = nullptr;
    ResetFrameState();
    ResetOverviewState();
    ResetDragState();
}

// ---- dispatch guard ----

DispatchGuard::DispatchGuard(Window* window) { g_deletion.dispatching.push_back(window); }

DispatchGuard::~DispatchGuard() {
    // Guards live on the stack, so they end in the reverse order of their
    // start; the entry may have been cleared if the window was deleted.
    if (!g_deletion.dispatching.empty()) g_deletion.dispatching.pop_back();
}

// ---- posting ----

bool PostEvent(u32 type, const InputEvent* payload) {
    if (g_input.ringCount >= InputState::kRingSize) return false;
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
    g_input.ring[g_input.ringWrite] = e;
    g_input.ringWrite = (g_input.ringWrite + 1) % InputState::kRingSize;
    g_input.ringCount++;
    return true;
}

void HandleKeyInput(int code, int action) {
    if (!IsRunning()) return;
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
    if (!IsRunning()) return;
    // Characters arrive as code points; the character map decides later which
    // have a program code. Control characters and NUL never do.
    if (code < 32) return;
    InputEvent e;
    e.word[0] = static_cast<u32>(code);
    e.word[1] = static_cast<u32>(action);
    PostEvent(kEventChar, &e);
}

void HandleMouseButtonInput(int button, int action) {
    if (!IsRunning()) return;
    if (button < 0 || button > 2) return;
    const double now = WsGetTime();
    InputEvent e;
    e.word[4] = static_cast<u32>(button);
    e.word[5] = action ? 1u : 0u;
    u32 type = kEventButton;
    if (action && button == g_input.lastButton && g_input.rawPointer.x == g_input.lastButtonPos.x &&
        g_input.rawPointer.y == g_input.lastButtonPos.y && now - g_input.lastButtonTime < 0.2 &&
        now - g_input.lastDoubleClickTime > 0.3) {
        type = kEventDoubleClick;
        g_input.lastDoubleClickTime = now;
    }
    g_input.lastButton = button;
    g_input.lastButtonTime = now;
    g_input.lastButtonPos = g_input.rawPointer;
    PostEvent(type, &e);
}

void HandleMouseMoveInput(int x, int y) {
    if (!IsRunning()) return;
    InputEvent e;
    if (g_input.pointerLocked) {
        // The platform's lock reports positions that move with the pointer
        // whether or not it could hold the pointer: a motion is the step
        // from the last one, never from a centre the pointer may not be at.
        const i32 dx = x - g_input.rawPointer.x;
        const i32 dy = y - g_input.rawPointer.y;
        g_input.rawPointer = Point{x, y};
        if (dx == 0 && dy == 0) return;
        e.word[0] = static_cast<u32>(dx);
        e.word[1] = static_cast<u32>(dy);
    } else {
        e.word[0] = static_cast<u32>(x);
        e.word[1] = static_cast<u32>(y);
        g_input.rawPointer = Point{x, y};
    }
    PostEvent(kEventMotion, &e);
}

namespace {
void PostWheel(int position, bool horizontal) {
    if (!IsRunning()) return;
    InputEvent e;
    e.word[0] = static_cast<u32>(g_input.mouse.x);
    e.word[1] = static_cast<u32>(g_input.mouse.y);
    e.word[3] = horizontal ? kWheelHorizontalBit : 0u;
    i32& posted = horizontal ? g_input.postedHWheel : g_input.postedWheel;
    e.word[4] = static_cast<u32>(posted);
    e.word[5] = static_cast<u32>(position);
    if (PostEvent(kEventWheel, &e)) posted = position;
}
}  // namespace

void HandleMouseWheelInput(int position) { PostWheel(position, false); }
void HandleMouseHWheelInput(int position) { PostWheel(position, true); }

int HandleWindowCloseRequest() {
    g_modal.closeEnding = TopModalEntry().flags & kModalEndOnClose;
    g_modal.closeEndingBudget = INT_MAX;
    PostEvent(kEventClose, nullptr);
    return 0;
}

// ---- draining ----

void DrainEventQueue() {
    while (g_input.ringCount > 0) {
        // Copied out first: handlers may post (or drain) again.
        InputEvent e = g_input.ring[g_input.ringRead];
        g_input.ringRead = (g_input.ringRead + 1) % InputState::kRingSize;
        g_input.ringCount--;
        bool deliver = true;
        switch (e.type) {
            case kEventKey: {
                const int code = static_cast<int>(e.word[0]);
                if (code < 0 || code >= 160) {
                    deliver = false;
                    break;
                }
                const bool on = e.word[1] != 0;
                if (KeyBit(code) == on) {
                    e.word[2] |= kKeyRepeatBit;
                } else {
                    g_input.keyState[code / 32][0] = g_input.keyState[code / 32][1];
                    SetKeyBit(g_input.keyState, code, on);
                    RecomputeModifiers();
                }
                e.word[2] |= g_input.modifiers;
                break;
            }
            case kEventChar: {
                e.word[2] |= g_input.modifiers;
                const u8 mapped = WsMapTypedChar(e.word[0], (g_input.modifiers & kModAlt) != 0);
                // A character without a program code is not typed at all.
                if (mapped == 0) deliver = false;
                e.word[0] = mapped;
                break;
            }
            case kEventButton:
            case kEventDoubleClick: {
                const u32 b = std::min<u32>(e.word[4], 2);
                g_input.buttons[b][0] = g_input.buttons[b][1];
                g_input.buttons[b][1] = e.word[5];
                break;
            }
            case kEventMotion:
                g_input.previousMouse = g_input.mouse;
                g_input.mouse = Point{static_cast<i32>(e.word[0]), static_cast<i32>(e.word[1])};
                UpdateHover();
                break;
            case kEventWheel:
                if (e.word[3] & kWheelHorizontalBit) {
                    g_input.hwheel[0] = g_input.hwheel[1];
                    g_input.hwheel[1] = static_cast<i32>(e.word[5]);
                } else {
                    g_input.wheel[0] = g_input.wheel[1];
                    g_input.wheel[1] = static_cast<i32>(e.word[5]);
                }
                break;
            default: break;
        }
        if (e.type >= kEventButton && e.type <= kEventWheel) {
            e.word[0] = static_cast<u32>(g_input.mouse.x);
            e.word[1] = static_cast<u32>(g_input.mouse.y);
            e.word[2] = g_focus.hoverPart;
            e.word[3] = (e.word[3] & kWheelHorizontalBit) | g_input.modifiers;
        }
        if (deliver) {
            if (e.type == kEventClose) {
                RequestQuit();
            } else if (!g_modal.filters.empty()) {
                g_modal.filters.back().filter(e.type, e);
            } else {
                DefaultEventFilter(e.type, e);
            }
        }
        if (!g_deletion.deferredDeletes.empty()) ProcessDeferredDeletes();
    }
}

void PushEventFilter(EventFilter filter, Window* owner) {
    g_modal.filters.push_back(FilterEntry{filter, owner});
    UpdateHover();
}

bool RemoveEventFilter(EventFilter filter, Window* owner) {
    auto& f = g_modal.filters;
    for (size_t i = f.size(); i-- > 0;) {
        if (f[i].filter == filter && (!owner || f[i].owner == owner)) {
            f.erase(f.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool TopFilterIsDefault() {
    const auto& f = g_modal.filters;
    return f.empty() || f.back().filter == DefaultEventFilter;
}

int DefaultEventFilter(u32 type, InputEvent& e) {
    switch (type) {
        case kEventKey:
            if (DispatchKeyEvent(type, e)) return 1;
            if (g_focus.focusWindow) Window::SendEvent(g_focus.focusWindow, type, e);
            return 1;
        case kEventChar:
            if (g_focus.focusWindow) Window::SendEvent(g_focus.focusWindow, type, e);
            return 1;
        case kEventButton:
        case kEventDoubleClick:
        case kEventMotion:
        case kEventWheel:
            if (g_focus.hoverWindow) Window::SendEvent(g_focus.hoverWindow, type, e);
            return 1;
        default: return 0;
    }
}

int DispatchKeyEvent(u32 type, InputEvent& e) {
    if (type != kEventKey) return 0;
    const int code = e.Code();
    const bool press = e.IsPress();
    const u32 mods = e.KeyModifiers();
    if (code == kKeyF1 + 3 && press && (g_input.modifiers & kModAlt)) {  // Alt+F4
        HandleWindowCloseRequest();
        return 1;
    }
    if (code == kKeyF1 && press && (mods & kModControl)) {
        SetDebugOverlay(!IsDebugOverlayOn());
        InvalidateAll();
        return 0;
    }
    if (code == kKeyF1 + 1 && press && (mods & kModControl)) {
        SetDirtyRectOutlines(!AreDirtyRectOutlinesOn());
        InvalidateAll();
        return 0;
    }
    if (code == kKeyF1 + 9 && press) {  // F10
        if (TopFilterIsDefault()) ToggleOverview();
        return 1;
    }
    if (!g_focus.focusWindow || !press) return 0;
    Window* top = g_focus.focusWindow->GetTopLevel();
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
    const ModalEntry top = TopModalEntry();
    Window* m = top.window;
    if (!m) return DefaultEventFilter(type, e);
    if (type == kEventKey || type == kEventChar) {
        if (type == kEventKey && DispatchKeyEvent(type, e)) return 1;
        if (g_focus.focusWindow && g_focus.focusWindow->IsDescendantOf(m)) Window::SendEvent(g_focus.focusWindow, type, e);
        else if (top.flags & kModalKeysOutside) Window::SendEvent(m, type, e);
        return 1;
    }
    if (type >= kEventButton && type <= kEventWheel) {
        if (g_focus.hoverWindow && g_focus.hoverWindow->IsDescendantOf(m)) {
            Window::SendEvent(g_focus.hoverWindow, type, e);
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
        if (g_focus.focusWindow == window) return 0;
        Window* old = g_focus.focusWindow;
        // Focus handlers may close windows and run frames (a message box
        // about a value just left): neither side is deleted under them.
        DispatchGuard keepOld(old);
        DispatchGuard keepNew(window);
        if (old) {
            old->focusLost.Emit(reason);
            if (g_focus.focusWindow == old) old->OnFocusLost(window, reason);
        }
        const FocusAnswer answer = window->OnFocusGained(old, reason);
        if (answer >= 2 || answer < 0) {
            window = reinterpret_cast<Window*>(answer);
            continue;
        }
        g_focus.focusWindow = window;
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
    Window* root = GetLayerWindow(-1);
    if (!root || WindowInternals::IsDetached(root)) return;
    Window* hit = nullptr;
    u32 part = 0;
    const bool overview = IsOverviewActive();
    if (!overview) HitWalk(root, g_input.mouse, &hit, &part);
    Window* modal = GetTopModalWindow();
    if (modal && hit && !hit->IsDescendantOf(modal)) {
        hit = nullptr;
        part = 0;
    }
    Window* old = g_focus.hoverWindow;
    const u32 oldPart = g_focus.hoverPart;
    // Stored before the leave call so that a leave handler that moves windows
    // (and so re-evaluates the hover) sees the new state.
    g_focus.hoverWindow = hit;
    g_focus.hoverPart = part;
    if (old && oldPart && (old != hit || oldPart != part) && (!modal || old->IsDescendantOf(modal))) {
        DispatchGuard keepOld(old);  // a leave handler may run frames
        if (oldPart == kPartClient) old->OnMouseLeave();
        else old->OnFrameMouseLeave();
    }
    if (g_focus.hoverWindow != hit) return;  // a leave handler already set it
    u32 shape = 0;
    const Window* captured = GetDragState().captured;
    const bool blocked = !hit || (captured && captured != hit) || overview ||
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
    if (shape != g_focus.cursorShape) {
        // Asking the desktop for the same shape on every move costs a round trip.
        g_focus.cursorShape = shape;
        WsSetCursor(shape);
    }
}

void ShowPointerShape(u32 shape) {
    g_focus.cursorShape = shape;
    WsSetCursor(shape);
}

int QueuedInputCount() { return g_input.ringCount; }

bool IsAnyMouseButtonDown() {
    for (const auto& button : g_input.buttons)
        if (button[1]) return true;
    return false;
}

void ForgetHeldInput() {
    for (auto& word : g_input.keyState) {
        word[0] = word[1];
        word[1] = 0;
    }
    for (auto& button : g_input.buttons) {
        button[0] = button[1];
        button[1] = 0;
    }
    g_input.modifiers = 0;
}

bool IsKeyDown(int code) { return KeyBit(code); }
u32 GetModifierMask() { return g_input.modifiers; }
Point GetMousePosition() { return g_input.mouse; }
bool IsRightButtonEvent(const InputEvent& e) { return e.Button() == 1; }
Window* GetFocusWindow() { return g_focus.focusWindow; }
Window* GetHoverWindow() { return g_focus.hoverWindow; }

bool IsPointerLocked() { return g_input.pointerLocked != 0; }

void SetPointerLock(bool on) {
    if (on == (g_input.pointerLocked != 0)) return;
    if (on) {
        g_input.lockSavedPoint = g_input.mouse;
        g_input.pointerLocked = 1;
        WsSetPointerLock(true);
        WsShowCursor(false);
    } else {
        g_input.pointerLocked = 0;
        WsSetPointerLock(false);
        WsSetMousePos(g_input.lockSavedPoint.x, g_input.lockSavedPoint.y);
        g_input.rawPointer = g_input.lockSavedPoint;
        InputEvent e;
        e.word[0] = static_cast<u32>(g_input.lockSavedPoint.x);
        e.word[1] = static_cast<u32>(g_input.lockSavedPoint.y);
        PostEvent(kEventMotion, &e);
        WsShowCursor(true);
    }
}

// ---- modal runs ----

const ModalEntry& TopModalEntry() {
    static const ModalEntry base;
    return g_modal.modalStack.empty() ? base : g_modal.modalStack.back();
}

Window* GetTopModalWindow() { return TopModalEntry().window; }

void BeginModal(Window* window, u32 flags) {
    if (g_modal.modalStack.empty()) g_modal.modalStack.push_back(ModalEntry{});
    PushEventFilter(ModalEventFilter, window);
    g_modal.modalStack.push_back(ModalEntry{window, flags});
    UpdateHover();
}

i64 RunModal(Window* window, u32 flags, int* endedByClose) {
    if (!window) return 0;
    if (flags & kModalDimBehind) InvalidateAll();
    ModalRunRecord run;
    run.window = window;
    g_modal.modalRuns.push_back(&run);
    BeginModal(window, flags);
    if (window->IsVisible()) {
        RaiseWindow(window);
        ActivateWindow(window, kFocusByProgram);
    }
    // The window is only compared, never touched, once the run may have
    // ended: it can be gone by then.
    while (!run.ended && TopModalEntry().window == window && g_idleHook && g_idleHook()) {
    }
    if (!run.ended && IsModal(window, false)) {
        // No idle hook (or it asked to stop): the run cannot go on.
        EndModalEntryOf(window, 0, false);
    }
    g_modal.modalRuns.erase(std::find(g_modal.modalRuns.begin(), g_modal.modalRuns.end(), &run));
    if (flags & kModalDimBehind) InvalidateAll();
    if (endedByClose) *endedByClose = static_cast<int>(run.endedByClose);
    return run.result;
}

bool EndModalEntryOf(Window* window, i64 result, bool byClose) {
    auto& stack = g_modal.modalStack;
    for (size_t i = stack.size(); i-- > 1;) {
        if (stack[i].window != window) continue;
        stack.erase(stack.begin() + static_cast<std::ptrdiff_t>(i));
        RemoveEventFilter(ModalEventFilter, window);
        g_modal.closeEnding = 1;
        if (!byClose) g_modal.closeEndingBudget = 0;
        g_modal.endedByClose = byClose ? 1 : 0;
        g_modal.modalResult = result;
        // The innermost run of this window that is still going gets it.
        for (size_t r = g_modal.modalRuns.size(); r-- > 0;) {
            ModalRunRecord* run = g_modal.modalRuns[r];
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
    const auto& stack = g_modal.modalStack;
    if (stack.size() <= 1 || !window) return false;
    if (topOnly) return stack.back().window == window;
    for (size_t i = 1; i < stack.size(); i++)
        if (stack[i].window == window) return true;
    return false;
}

// ---- quitting and destruction ----

int RequestQuit() {
    if (IsOverviewActive()) {
        // Leave the overview first; a toggle while it is still entering is
        // ignored, so ask again each frame until leaving has started.
        const OverviewState& overview = GetOverviewState();
        while (IsOverviewActive() && g_idleHook) {
            if ((overview.flags & kRedrawOverviewEntered) && !(overview.flags & kRedrawOverviewLeaving))
                ToggleOverview();
            if (!g_idleHook()) break;
        }
    }
    if (!TopFilterIsDefault()) {
        WsBeep();
        return 1;
    }
    if (g_quitHook && !g_quitHook()) return 1;
    SetRunning(false);
    return 1;
}

int CloseAllWindows() {
    Window* layer0 = GetLayerWindow(0);
    if (!layer0) return 1;
    for (Window* w = layer0->GetFirstChild(); w;) {
        Window* next = w->GetNextSibling();
        // Hidden windows (forms and helpers kept for later) are not asked:
        // nobody could answer them. They go with their owners or the tree.
        if (!w->IsDestroyed() && w->IsVisible()) {
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

namespace {

// A live window owned by a window of the subtree (top and its descendants)
// but not inside it; null when there is none.
Window* FindOwnedOutside(Window* w, const Window* top) {
    for (Window* owned : w->GetOwnedWindows())
        if (!owned->IsDestroyed() && !owned->IsDescendantOf(top)) return owned;
    for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling())
        if (Window* owned = FindOwnedOutside(c, top)) return owned;
    return nullptr;
}

}  // namespace

void DestroyWindow(Window* window) {
    if (!window || window->IsDestroyed()) return;
    window->OnDestroy();
    if (window->IsDestroyed()) return;
    window->DisconnectAll();
    g_deletion.deferredDeletes.push_back(window);
    WindowInternals::SetWindowState(window, Window::kStateDestroyed);
    // Windows owned by the window or by anything inside it go now, while
    // their owners are whole, not when the owners are deleted. One at a
    // time: each OnDestroy may change the tree.
    while (Window* owned = FindOwnedOutside(window, window)) DestroyWindow(owned);
}

void ForgetWindowSubtree(Window* window) {
    auto inside = [window](const Window* w) { return w && w->IsDescendantOf(window); };
    if (inside(g_focus.focusWindow)) g_focus.focusWindow = nullptr;
    if (inside(g_focus.hoverWindow)) {
        g_focus.hoverWindow = nullptr;
        g_focus.hoverPart = 0;
    }
    FrameState& frame = GetFrameState();
    if (inside(frame.dimBelowWindow)) frame.dimBelowWindow = nullptr;
    ScreenLayers& layers = GetScreenLayers();
    if (inside(layers.menuBar)) layers.menuBar = nullptr;
    if (inside(GetDragState().captured)) CancelDrag();
    // Each modal run of the subtree ends (with its own filter), result 0.
    for (bool again = true; again;) {
        again = false;
        for (size_t i = g_modal.modalStack.size(); i-- > 1;) {
            if (inside(g_modal.modalStack[i].window)) {
                EndModalEntryOf(g_modal.modalStack[i].window, 0, false);
                again = true;
                break;
            }
        }
    }
    for (auto& f : g_modal.filters)
        if (inside(f.owner)) f.owner = nullptr;
    for (Window*& d : g_deletion.dispatching)
        if (inside(d)) d = nullptr;
    auto& q = g_deletion.deferredDeletes;
    q.erase(std::remove(q.begin(), q.end(), window), q.end());
    if (g_deletion.deletingNow == window) g_deletion.deletingNow = nullptr;
}

void ProcessDeferredDeletes() {
    if (g_deletion.deferredDeletes.empty()) return;
    g_deletion.redrawFlags |= kRedrawDeleting;
    std::vector<Window*> kept;
    while (!g_deletion.deferredDeletes.empty()) {
        Window* w = g_deletion.deferredDeletes.back();
        g_deletion.deferredDeletes.pop_back();
        if (IsBusy(w)) {
            kept.push_back(w);
            continue;
        }
        g_deletion.deletingNow = w;
        // The destructor takes the window's queued descendants off the queue
        // as it deletes them, so none is freed twice.
        delete w;
        g_deletion.deletingNow = nullptr;
    }
    // Busy windows wait for the next chance, oldest first as before.
    g_deletion.deferredDeletes.assign(kept.rbegin(), kept.rend());
    g_deletion.redrawFlags &= ~kRedrawDeleting;
    UpdateHover();
}

void SetIdleHook(IdleHook hook) { g_idleHook = hook; }
void SetQuitHook(QuitHook hook) { g_quitHook = hook; }
int RunIdleHook() { return g_idleHook ? g_idleHook() : 0; }

void SetDefaultFont(InterfaceFont* font) { g_defaultFont = font; }
InterfaceFont* GetDefaultFont() { return g_defaultFont; }

}  // namespace pirn
