#pragma once
// The X11 side of the program window, for platform code that talks to X
// itself (clipboard selections, dialog ownership). Only in the GLFW backend.

#include <X11/Xlib.h>

namespace pirn {

// The display connection GLFW uses; null before OsInit.
Display* OsX11Display();
// The program window; 0 (None) before OsSetWindow.
Window OsX11Window();

}  // namespace pirn
