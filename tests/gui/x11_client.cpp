#include "tests/gui/x11_client.h"

#include <X11/Xlib.h>

namespace pirn_test {

bool SendDeleteWindowRequest(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0;
}

FocusThief::FocusThief(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    display_ = display;
    Window focus = 0;
    XGetInputFocus(display, &focus, &former_revert_);
    former_ = focus;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, 60, 40, 0, 0,
                                              WhitePixel(display, DefaultScreen(display)));
    window_ = window;
    XStoreName(display, window, "Pirn test focus thief");
    XSelectInput(display, window, StructureNotifyMask);
    XMapRaised(display, window);
    // Only a mapped window can take the focus.
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
}

namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

FocusThief::~FocusThief() {
    auto* display = static_cast<Display*>(display_);
    if (!display) return;
    // The former holder may be gone by now; that is no error of the test's.
    XSync(display, False);
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    XSetInputFocus(display, former_, former_revert_, CurrentTime);
    XDestroyWindow(display, window_);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
}

bool FocusThief::HoldsFocus() const {
    auto* display = static_cast<Display*>(display_);
    if (!display) return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window_;
}

}  // namespace pirn_test
