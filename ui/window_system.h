#pragma once
// The window system's input and routing: posting input into the 32-record
// ring, draining it through the event filters, focus, hover and pointer
// shape, key state, the tab ring, modal runs, quitting and deferred
// deletion. The frame step and rendering are in ui/frame_step.h, drag
// tracking in ui/window_drag.h, the overview in ui/window_overview.h. Each
// keeps its own state; the core's records are in ui/window_system_internal.h.

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

// Redraw flags. Each bit lives with the part that owns it: full redraw and
// redraw-at-once-during-resize with the frame step, the overview's bits
// (active, leaving, entered, and "layout needed", which a screen resize
// sets) with the overview, deleting with the deferred-delete queue.
enum RedrawFlag : u32 {
    kRedrawFull = 1,
    kRedrawResized = 2,        // also "overview layout needed"
    kRedrawOverview = 4,
    kRedrawOverviewLeaving = 8,
    kRedrawOverviewEntered = 16,
    kRedrawDuringResize = 32,
    kRedrawDeleting = 128,
};

// Deletes the whole window tree and returns every window-system record to
// its zeroed state (tests start from it).
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
// Input posted and not yet drained; whether a mouse button is held.
int QueuedInputCount();
bool IsAnyMouseButtonDown();
// Locking hides the pointer and holds it where the platform can; motion
// events then carry the step since the previous one instead of a position.
// Unlocking puts the pointer back where it was and posts a motion there.
void SetPointerLock(bool on);
bool IsPointerLocked();
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
// Asks each visible top-level window of layer0 to close (byUser 0) and
// destroys those that agree; 0 at the first refusal. Hidden windows are
// neither asked nor closed.
int CloseAllWindows();
// OnDestroy, then queued for deletion; the windows it and its descendants
// own are destroyed with it.
void DestroyWindow(Window* window);
void SetIdleHook(IdleHook hook);
void SetQuitHook(QuitHook hook);
int RunIdleHook();

// ---- defaults ----
void SetDefaultFont(InterfaceFont* font);
InterfaceFont* GetDefaultFont();

}  // namespace pirn
