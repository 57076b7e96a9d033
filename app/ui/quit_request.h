#pragma once
// The window system's quit hook: the user confirms ("Really Quit Pirn?"),
// then every top-level window must agree to close (editors may ask to save
// and refuse).

namespace pirn {

// Returns 1 when quitting may go on, 0 to keep running.
int HandleQuitRequest();

}  // namespace pirn
