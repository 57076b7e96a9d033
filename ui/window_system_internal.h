#pragma once
// Window-system internals shared by the window, dispatch, drag, overview and
// frame-step sources (and the tests of that core). Not for widgets: they go
// through Window's public functions and ui/window_system.h.
//
// Each record below belongs to the one source file that defines it; the
// others reach it through its getter. GL details (the 3D projection, the
// driver vendor) live with the GL renderer in ui/gl.

#include <map>
#include <vector>

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/window.h"
#include "ui/window_event.h"
#include "ui/window_system.h"

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

// ---- the records, each owned by one source file ----

// Input as posted and drained (window_system.cpp).
struct InputState {
    static constexpr int kRingSize = 32;
    i32 ringCount = 0;
    i32 ringRead = 0;
    i32 ringWrite = 0;
    InputEvent ring[kRingSize];
    Point rawPointer;        // last position the platform reported
    u32 pointerLocked = 0;
    Point lockSavedPoint;
    Point previousMouse;
    Point mouse;
    i32 wheel[2] = {0, 0};   // previous, current
    i32 hwheel[2] = {0, 0};
    i32 postedWheel = 0;     // last position handed to the poster
    i32 postedHWheel = 0;
    u32 buttons[3][2] = {{0, 0}, {0, 0}, {0, 0}};
    u32 modifiers = 0;
    u32 keyState[5][2] = {};  // [word][previous, current], one bit per code 0..159
    // Double-click detection.
    i32 lastButton = -1;
    double lastButtonTime = -1.0e9;
    Point lastButtonPos;
    double lastDoubleClickTime = -1.0e9;
};
InputState& GetInputState();
// Takes every key and button as released without telling any window. The
// releases of what was held when another program took the keyboard (a
// native dialog) never reach us, and a Control kept "held" would turn every
// later click into a Control-click.
void ForgetHeldInput();

// Focus, hover and the pointer shape (window_system.cpp).
struct FocusState {
    Window* focusWindow = nullptr;
    Window* hoverWindow = nullptr;
    u32 hoverPart = 0;
    u32 cursorShape = 0xFFFFFFFFu;  // last shape asked of the platform; unknown at first
};
FocusState& GetFocusState();

// One RunModal on the C++ stack: where the end of its own entry leaves the
// result, so that nested runs ended out of order each return their own.
struct ModalRunRecord {
    Window* window = nullptr;
    bool ended = false;
    i64 result = 0;
    u32 endedByClose = 0;
};

struct FilterEntry {
    EventFilter filter = nullptr;
    Window* owner = nullptr;  // the modal or captured window it serves, if any
};

// The event-filter stack and modal runs (window_system.cpp).
struct ModalState {
    std::vector<FilterEntry> filters;        // empty: the default filter
    std::vector<ModalEntry> modalStack;      // entry 0 is the base {null, 0}
    std::vector<ModalRunRecord*> modalRuns;  // innermost last
    i64 modalResult = 0;
    u32 endedByClose = 0;
    u32 closeEnding = 0;
    i32 closeEndingBudget = 0;
};
ModalState& GetModalState();

// Windows waiting for deletion (window_system.cpp).
struct DeletionState {
    std::vector<Window*> deferredDeletes;
    Window* deletingNow = nullptr;
    u32 redrawFlags = 0;  // kRedrawDeleting while the queue is worked off
    // Windows whose event handler is running: never deleted until it returns.
    std::vector<Window*> dispatching;
};
DeletionState& GetDeletionState();

// The main loop and the redraw bookkeeping (frame_step.cpp).
struct FrameState {
    static constexpr int kMaxDirtyRects = 32;
    u32 running = 0;
    u32 nativeDialogMode = 0;
    u32 frameAlreadyDrawn = 0;
    u32 redrawFlags = 0;  // kRedrawFull, kRedrawDuringResize
    Rect dirtyRects[kMaxDirtyRects];
    i32 dirtyCount = 0;
    u32 partialRedraw = 0;
    Rect currentClip;     // the damaged rectangle being redrawn
    Rect currentScissor;  // the last scissor rectangle given to the renderer
    Window* dimBelowWindow = nullptr;
    i32 framesRendered = 0;
    i32 contentsDrawn = 0;  // this frame
    i32 framesDrawn = 0;    // this frame
    u32 debugOverlay = 0;
    u32 debugOutlines = 0;
};
FrameState& GetFrameState();

// The layer windows and the screen (frame_step.cpp).
struct ScreenLayers {
    Window* root = nullptr;
    Window* layer0 = nullptr;
    Window* layer1 = nullptr;
    Window* menuBar = nullptr;
    i32 screenWidth = 0;
    i32 screenHeight = 0;
    i32 cascadeOffset = 0;  // NextCascadePosition
};
ScreenLayers& GetScreenLayers();

// The overview's mode, animation and tiles (window_overview.cpp).
struct OverviewState {
    struct Tile {
        const Window* window = nullptr;  // compared, never followed: it may be gone
        Rect rect;                       // screen
    };
    u32 flags = 0;  // kRedrawOverview, kRedrawOverviewLeaving, kRedrawOverviewEntered, kRedrawResized
    float duration = 0.25f;
    double start = 0.0;
    float value = 0.0f;  // 0 real places, 1 tiles
    std::vector<Tile> tiles;  // of the last layout
};
OverviewState& GetOverviewState();

// A running drag (window_drag.cpp).
struct DragState {
    Window* captured = nullptr;
    u32 mode = 0;  // 1 drag and drop with a payload, 0 plain tracking
    Point start;
    Point previous;
    Point current;
    Window::DragDropData* payload = nullptr;
    int accepted = 0;
    DragCallback callback = nullptr;
    DragPainter painter = nullptr;
    Rect imageRect;  // relative to the pointer
};
DragState& GetDragState();

// Each owner's record back to its zeroed state (ResetWindowSystem).
void ResetFrameState();
void ResetOverviewState();
void ResetDragState();

// Asks the platform for a pointer shape and remembers it as the one shown.
void ShowPointerShape(u32 shape);

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
void WsSetPointerLock(bool on);
void WsBeep();
// 0 when the character has no program code.
u8 WsMapTypedChar(u32 codePoint, bool option);

}  // namespace pirn
