#include "platform/os/x11/x11_native.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_window.h"

namespace pirn {

Display* OsX11Display() { return os_glfw::LibraryRunning() ? glfwGetX11Display() : nullptr; }

Window OsX11Window() {
    GLFWwindow* window = os_glfw::ProgramWindow();
    return window ? glfwGetX11Window(window) : None;
}

u64 OsGetNativeWindow() { return static_cast<u64>(OsX11Window()); }

}  // namespace pirn
