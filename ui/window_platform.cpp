// The platform services the window system uses, in one place. The program
// links the GLFW backend, tests the headless one (whose clock they advance).

#include "platform/char_map.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "ui/window_system_internal.h"

namespace pirn {

double WsGetTime() { return OsGetTime(); }
void WsSetCursor(u32 id) { OsSetCursor(static_cast<int>(id)); }
void WsSetMousePos(i32 x, i32 y) { OsSetMousePos(x, y); }
void WsShowCursor(bool show) { OsShowCursor(show ? 1 : 0); }
void WsSetPointerLock(bool on) { OsSetPointerLock(on ? 1 : 0); }
void WsBeep() { OsBeep(); }
u8 WsMapTypedChar(u32 codePoint, bool option) { return MapTypedChar(codePoint, option); }

}  // namespace pirn
