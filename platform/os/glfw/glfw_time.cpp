#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>

#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_time.h"

namespace pirn {

double OsGetTime() { return os_glfw::LibraryRunning() ? glfwGetTime() : 0.0; }

void OsSleep(double seconds) {
    if (!(seconds > 0.0)) return;
    // Finishes the whole time even when a signal interrupts the sleep; a
    // day at most, so the conversion to the clock's ticks cannot overflow.
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds < 86400.0 ? seconds : 86400.0));
}

}  // namespace pirn
