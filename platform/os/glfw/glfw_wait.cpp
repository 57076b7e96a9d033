#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/os/core/os_hook_list.h"
#ifdef _WIN32
#include "platform/native_dialogs.h"
#endif
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "platform/os/os_window.h"

namespace pirn {

void OsWaitEvents(double seconds) {
    if (!(seconds > 0.0)) {
        OsPollEvents();
        return;
    }
    os_hooks::PollGuard guard;
    bool may_wait = !guard.nested() && os_glfw::LibraryRunning() && os_glfw::ProgramWindow();
#ifdef _WIN32
    // The modal loop of a system dialog owns the messages (see OsPollEvents).
    may_wait = may_wait && !IsNativeDialogOpen();
#endif
    if (!may_wait) {
        OsSleep(seconds);
        return;
    }
    // Wakes as soon as the window's connection has an event (input, expose,
    // resize), so waiting costs no latency.
    glfwWaitEventsTimeout(seconds);
    os_hooks::RunPollHooks();
}

}  // namespace pirn
