#pragma once
// The one program window with its OpenGL context: start-up, events,
// presentation, geometry, icon and GL entry points.

#include "platform/types.h"

namespace pirn {

// Starts the window library and empties every handler slot. Returns 0 when
// the library cannot start (no display).
int OsInit();

// Opens the window with a GL context: default colour bits, a depth buffer of
// up to 32 bits, no stencil buffer; full screen on the primary monitor or an
// ordinary window; swap interval 1 with vsync, else 0. Returns 1 or 0.
int OsSetWindow(int width, int height, const char* title, int fullscreen, int vsync);

// Closes the window and the window library.
void OsTerminate();

// Processes pending window events; every input callback runs inside this
// call. A call made from inside a callback does nothing (the library's event
// processing cannot nest).
void OsPollEvents();

// Presents the back buffer.
void OsSwapBuffers();

void OsSetWindowTitle(const char* title);

// Address of a GL entry point, null when absent. Under GLX any name may get
// an address; ask only for functions the GL version or an extension promises.
void* OsGetProcAddress(const char* name);
// 1 when the current GL context has the extension.
int OsExtensionSupported(const char* name);

// The native window of the program window (the X11 window id, or the HWND
// on Windows), 0 when there is none.
// Owner of native dialogs.
u64 OsGetNativeWindow();

// Drawable size of the window in pixels.
void OsGetFramebufferSize(int* width, int* height);
// Position and size of the primary monitor's work area (the desktop minus
// panels); the whole screen when the desktop does not say.
void OsGetWorkArea(int* x, int* y, int* width, int* height);
void OsMaximizeWindow();

// Window icon from RGBA pixels (rows top-down); null pixels give the
// program's own drawn icon.
void OsSetWindowIcon(const u8* rgba, int width, int height);

// Whether the user asked to close the window and nothing vetoed it.
int OsWindowCloseRequested();

}  // namespace pirn
