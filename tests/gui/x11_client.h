#pragma once
// Things GUI tests do to the program window as another X client would (the
// desktop's close box). Kept apart from test headers: Xlib's macros clash
// with GoogleTest's names.

namespace pirn_test {

// Sends WM_DELETE_WINDOW to the window, as a close box does. False when no
// display could be opened.
bool SendDeleteWindowRequest(unsigned long window);

// A window of another X client that takes the keyboard focus from the
// program window, as another program's file dialog does, for as long as it
// lives; it gives the focus back to its former holder when it goes. It lies
// at (x, y) on the screen, out of the way of what a test clicks.
class FocusThief {
public:
    FocusThief(int x, int y);
    ~FocusThief();
    FocusThief(const FocusThief&) = delete;
    FocusThief& operator=(const FocusThief&) = delete;
    // Whether the window is up and holds the focus now.
    bool HoldsFocus() const;

private:
    void* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long former_ = 0;
    int former_revert_ = 0;
};

}  // namespace pirn_test
