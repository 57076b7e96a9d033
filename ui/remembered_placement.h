#pragma once
// Window placements kept in the preferences, so that a window reappears
// where the user left it: one string of five integers, "%d %d %d %d %d",
// the window state and the frame's left, top, right and bottom (relative to
// the window's parent, as Window::GetPlacement gives them).

#include <string>

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/window.h"

namespace pirn {

void SaveWindowPlacement(const Window* window, const std::string& key);
// 1 when the key holds exactly five integers; the placement is then applied,
// kept on the screen first when asked. Otherwise the window is left alone.
int RestoreWindowPlacement(Window* window, const std::string& key, bool keepOnScreen);

// The five-integer text of a placement, and back (false unless the text is
// exactly five integers, with nothing but spaces around them).
std::string FormatWindowPlacement(const Window::Placement& placement);
bool ParseWindowPlacement(const std::string& text, Window::Placement* placement);

// Moves a frame (its size unchanged) left and up by what lies beyond the
// screen's right and bottom edges, then right and down by what lies before
// its left and top edges; on a frame larger than the screen the second move
// wins.
Rect KeepFrameOnScreen(const Rect& frame, Point screen);

}  // namespace pirn
