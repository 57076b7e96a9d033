#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cerrno>
#include <cmath>
#include <ctime>

#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_time.h"

namespace pirn {

double OsGetTime() { return os_glfw::LibraryRunning() ? glfwGetTime() : 0.0; }

void OsSleep(double seconds) {
    if (!(seconds > 0.0)) return;
    timespec remaining;
    remaining.tv_sec = static_cast<time_t>(std::floor(seconds));
    remaining.tv_nsec = static_cast<long>((seconds - std::floor(seconds)) * 1e9);
    if (remaining.tv_nsec >= 1000000000L) remaining.tv_nsec = 999999999L;
    // Signals cut a sleep short; finish the rest.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace pirn
