#pragma once
// Input relay: the window system installs its handlers here, the platform
// calls them from inside `OsPollEvents`. Key codes are program key codes
// (platform/os/key_codes.h); actions are kOsRelease / kOsPress.
//
// What is relayed:
// - key handler (code, action): library keys translated by `OsTranslateKey`;
//   keys without a code are dropped; a library repeat arrives as another
//   press (the window system sees the key already down and marks it as a
//   repeat).
// - character callback (character, action): the typed Unicode code point with
//   action kOsPress, also while Alt or Control is held (so Alt+e can reach
//   the Option layer of the character map); code point 0 is dropped.
// - mouse-button handler (button, action): 0 left, 1 right, 2 middle; other
//   buttons are dropped.
// - position callback (x, y): window pixels, origin top-left.
// - wheel callback (position): an integer position that grows by one per
//   notch away from the user (fractional offsets of smooth scrolling are
//   summed and the rounded sum is reported when it changes); the horizontal
//   wheel keeps its own position in the library's direction.
// - close callback (): return 0 to keep the window open (the request is then
//   vetoed); non-zero lets `OsWindowCloseRequested` report it.
// - refresh callback (): the window contents were damaged.
// - size callback (width, height): the new drawable size in pixels.

namespace pirn {

using OsKeyHandler = void (*)(int code, int action);
using OsMouseButtonHandler = void (*)(int button, int action);
using OsCharCallback = void (*)(int character, int action);
using OsMousePosCallback = void (*)(int x, int y);
using OsMouseWheelCallback = void (*)(int position);
using OsWindowCloseCallback = int (*)();
using OsWindowRefreshCallback = void (*)();
using OsWindowSizeCallback = void (*)(int width, int height);

void OsSetKeyHandler(OsKeyHandler handler);
void OsSetMouseButtonHandler(OsMouseButtonHandler handler);
void OsSetCharCallback(OsCharCallback callback);
void OsSetMousePosCallback(OsMousePosCallback callback);
void OsSetMouseWheelCallback(OsMouseWheelCallback callback);
void OsSetMouseHWheelCallback(OsMouseWheelCallback callback);
void OsSetWindowCloseCallback(OsWindowCloseCallback callback);
void OsSetWindowRefreshCallback(OsWindowRefreshCallback callback);
void OsSetWindowSizeCallback(OsWindowSizeCallback callback);

// Moves the pointer within the window (window pixels). The move itself is
// not reported back as motion.
void OsSetMousePos(int x, int y);
void OsGetMousePos(int* x, int* y);

// Shows (non-zero) or hides the pointer. Calls are counted: the pointer is
// visible while shows minus hides is zero or more, as the program's callers
// expect. Returns the new count.
int OsShowCursor(int show);

// Pointer shape by `CursorId` (platform/os/cursor_id.h); unknown ids give
// the arrow.
void OsSetCursor(int id);

// Pointer lock: hides the pointer and, while the window has keyboard focus,
// holds it so that motion never runs into the screen edge (without focus
// the pointer cannot be held or moved, and it only hides). Either way, the
// positions reported while locked move by exactly the pointer's motion from
// the last one reported before: their differences are what the pointer did,
// though the positions themselves may lie outside the window.
void OsSetPointerLock(int on);

}  // namespace pirn
