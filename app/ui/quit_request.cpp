#include "app/ui/quit_request.h"

#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

int HandleQuitRequest() {
    if (ConfirmQuit() != 0) return 0;
    return CloseAllWindows() ? 1 : 0;
}

}  // namespace pirn
