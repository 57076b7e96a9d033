#pragma once
// The process-wide window-system record and the operations on it: posting
// input into the 32-record ring, draining it through the event filters,
// focus, hover and pointer shape, key state, the tab ring, modal runs,
// quitting and deferred deletion. The frame step and rendering are in
// ui/frame_step.h, drag tracking in ui/window_drag.h.

#include <map>
#include <vector>

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/window.h"
#include "ui/window_event.h"

namespace pirn {

// Returns non-zero when it consumed the event.
using EventFilter = int (*)(u32 type, InputEvent& event);
using IdleHook = int (*)();
using QuitHook = int (*)();
// Tracking callback of a drag (phase 0 start, 1 move, 2 end).
using DragCallback = void (*)(Window* window, Point start, Point current, int phase);
// Called with a rectangle: fills it with the drag image's extent relative to
// the pointer. Called without one: draws the image at the point.
using DragPainter = void (*)(Window::DragDropData* data, Point at, Rect* extent);

struct ModalEntry {
    Window* window = nullptr;
    u32 flags = 0;
};

// Modal-run flags.
enum ModalFlag : u32 {
    kModalKeysOutside = 1,
    kModalMouseOutside = 2,
    kModalDimBehind = 4,
    kModalEndOnClose = 8,
};

// Redraw flags.
enum RedrawFlag : u32 {
    kRedrawFull = 1,
    kRedrawResized = 2,        // also "overview layout needed"
    kRedrawOverview = 4,
    kRedrawOverviewLeaving = 8,
    kRedrawOverviewEntered = 16,
    kRedrawDuringResize = 32,
    kRedrawDeleting = 128,
};

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

struct FrameTracking {
    u32 part = 0;
    Rect startFrame;     // screen
    Rect pointerLimit;   // screen
};

struct WindowSystemState {
    static constexpr int kRingSize = 32;
    static constexpr int kMaxDirtyRects = 32;

    u32 running = 0;
    u32 nativeDialogMode = 0;
    u32 frameAlreadyDrawn = 0;
    Window* root = nullptr;
    Window* layer0 = nullptr;
    Window* layer1 = nullptr;
    Window* hoverWindow = nullptr;
    u32 hoverPart = 0;
    Window* focusWindow = nullptr;
    Window* dimBelowWindow = nullptr;
    Window* menuBar = nullptr;
    Rect dirtyRects[kMaxDirtyRects];
    i32 dirtyCount = 0;
    Rect currentClip;
    Rect currentScissor;
    u32 partialRedraw = 0;
    i32 framesRendered = 0;
    i32 contentsDrawn = 0;
    i32 framesDrawn = 0;
    u32 debugOverlay = 0;
    u32 debugOutlines = 0;
    i32 screenWidth = 0;
    i32 screenHeight = 0;
    std::vector<ModalEntry> modalStack;  // entry 0 is the base {null, 0}
    std::vector<ModalRunRecord*> modalRuns;  // innermost last
    i64 modalResult = 0;
    u32 endedByClose = 0;
    u32 closeEnding = 0;
    i32 closeEndingBudget = 0;
    DragState drag;
    FrameTracking tracking;
    InterfaceFont* defaultFont = nullptr;
    u32 redrawFlags = 0;
    u32 pointerLocked = 0;
    Point lockSavedPoint;
    Point rawPointer;
    i32 cascadeOffset = 0;
    Point previousMouse;
    Point mouse;
    i32 wheel[2] = {0, 0};   // previous, current
    i32 hwheel[2] = {0, 0};
    i32 postedWheel = 0;     // last position handed to the poster
    i32 postedHWheel = 0;
    u32 buttons[3][2] = {{0, 0}, {0, 0}, {0, 0}};
    u32 modifiers = 0;
    u32 keyState[5][2] = {};  // [word][previous, current], one bit per code 0..159
    float fieldOfView = 45.0f;
    float nearPlane = 0.1f;
    float farPlane = 10000.0f;
    float overviewDuration = 0.25f;
    double overviewStart = 0.0;
    float overviewValue = 0.0f;
    std::vector<FilterEntry> filters;
    std::vector<Window*> deferredDeletes;
    Window* deletingNow = nullptr;
    IdleHook idleHook = nullptr;
    QuitHook quitHook = nullptr;
    // Input ring.
    i32 ringCount = 0;
    i32 ringRead = 0;
    i32 ringWrite = 0;
    InputEvent ring[kRingSize];
    std::map<u32, DragPainter> dragPainters;
    u32 glVendorFlag = 0;
    // Double-click detection.
    i32 lastButton = -1;
    double lastButtonTime = -1.0e9;
    Point lastButtonPos;
    double lastDoubleClickTime = -1.0e9;
    u32 cursorShape = 0xFFFFFFFFu;  // last shape asked of the platform; unknown at first
    // Windows whose event handler is running: never deleted until it returns.
    std::vector<Window*> dispatching;
};

WindowSystemState& GetWindowSystem();
// Deletes the whole window tree and returns the record to its zeroed state.
void ResetWindowSystem();

// ---- posting (platform callbacks) ----
void HandleKeyInput(int code, int action);
void HandleCharInput(int code, int action);
void HandleMouseButtonInput(int button, int action);
void HandleMouseMoveInput(int x, int y);
void HandleMouseWheelInput(int position);
void HandleMouseHWheelInput(int position);
// The main window's close box; answers 0 (the window stays open).
int HandleWindowCloseRequest();
// Copies the type's payload (12 bytes for keys and characters, 24 for
// buttons, double clicks and wheels, 16 for motion); a null payload posts
// zeros. Returns false when the ring is full.
bool PostEvent(u32 type, const InputEvent* payload);

// ---- draining and routing ----
void DrainEventQueue();
void PushEventFilter(EventFilter filter, Window* owner = nullptr);
// Removes the topmost entry of that filter (and owner, when given).
bool RemoveEventFilter(EventFilter filter, Window* owner);
int DefaultEventFilter(u32 type, InputEvent& event);
int ModalEventFilter(u32 type, InputEvent& event);
int DispatchKeyEvent(u32 type, InputEvent& event);
bool TopFilterIsDefault();

// ---- focus, hover, keys ----
int ActivateWindow(Window* window, int reason);
void SetTabOrder(Window* first, ...);
void SetTabOrderArray(Window* const* windows, int count);
void UpdateHover();
bool IsKeyDown(int code);
u32 GetModifierMask();
Point GetMousePosition();
bool IsRightButtonEvent(const InputEvent& event);
void SetPointerLock(bool on);
Window* GetFocusWindow();
Window* GetHoverWindow();

// ---- modal runs ----
i64 RunModal(Window* window, u32 flags, int* endedByClose);
void EndModal(Window* window, i64 result);
void BeginModal(Window* window, u32 flags);
bool IsModal(const Window* window, bool topOnly);
Window* GetTopModalWindow();
const ModalEntry& TopModalEntry();

// ---- quitting, destruction ----
int RequestQuit();
int CloseAllWindows();
void DestroyWindow(Window* window);
void SetIdleHook(IdleHook hook);
void SetQuitHook(QuitHook hook);
int RunIdleHook();

// ---- defaults ----
void SetDefaultFont(InterfaceFont* font);
InterfaceFont* GetDefaultFont();

}  // namespace pirn
