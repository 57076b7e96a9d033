#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_window.h"

namespace pirn {

u64 OsGetNativeWindow() {
    GLFWwindow* window = os_glfw::ProgramWindow();
    return window ? reinterpret_cast<u64>(glfwGetWin32Window(window)) : 0;
}

}  // namespace pirn
