#include <X11/Xlib.h>

#include "platform/os/x11/x11_native.h"
#include "platform/os/os_beep.h"

namespace pirn {

void OsBeep() {
    Display* display = OsX11Display();
    if (!display) return;
    XBell(display, 0);
    XFlush(display);
}

}  // namespace pirn
