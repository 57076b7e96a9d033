#pragma once
// Things GUI tests do to the program window as another X client would (the
// desktop's close box). Kept apart from test headers: Xlib's macros clash
// with GoogleTest's names.

namespace pirn_test {

// Sends WM_DELETE_WINDOW to the window, as a close box does. False when no
// display could be opened.
bool SendDeleteWindowRequest(unsigned long window);

}  // namespace pirn_test
