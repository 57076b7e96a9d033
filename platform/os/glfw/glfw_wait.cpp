#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/os/core/os_hook_list.h"
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
    if (guard.nested() || !os_glfw::LibraryRunning() || !os_glfw::ProgramWindow()) {
        OsSleep(seconds);
        return;
    }
    // Wakes as soon as the window's connection has an event (input, expose,
    // resize), so waiting costs no latency.
    glfwWaitEventsTimeout(seconds);
    os_hooks::RunPollHooks();
}

}  // namespace pirn
