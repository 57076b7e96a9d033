#include "platform/os/core/os_hook_list.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "platform/os/os_window.h"

namespace pirn {

void OsWaitEvents(double seconds) {
    {
        os_hooks::PollGuard guard;
        if (guard.nested()) {
            OsSleep(seconds);
            return;
        }
    }
    // Scripted input counts as already waiting: the wait ends at once.
    if (headless::PendingInput() == 0 && seconds > 0.0) headless::AdvanceTime(seconds);
    OsPollEvents();
}

}  // namespace pirn
