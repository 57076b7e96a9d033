#include <windows.h>

#include "platform/os/os_beep.h"

namespace pirn {

void OsBeep() { MessageBeep(MB_OK); }

}  // namespace pirn
