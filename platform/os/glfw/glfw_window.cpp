#include <cstdio>
#include <cstdlib>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/os/core/cursor_show_count.h"
#include "platform/os/core/input_relay.h"
#include "platform/os/core/os_hook_list.h"
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_window.h"
#include "platform/os/program_icon.h"
#ifdef _WIN32
#include "platform/native_dialogs.h"
#endif

namespace pirn {
namespace {

GLFWwindow* g_window = nullptr;
bool g_initialised = false;

void ReportGlfwError(int code, const char* description) {
    std::fprintf(stderr, "GLFW error %d: %s\n", code, description ? description : "");
}

}  // namespace

namespace os_glfw {
GLFWwindow* ProgramWindow() { return g_window; }
bool LibraryRunning() { return g_initialised; }
}  // namespace os_glfw

int OsInit() {
    os_relay::ResetInputRelay();
    os_cursor::ResetCursorShowCount();
    os_glfw::ResetInputState();
    glfwSetErrorCallback(ReportGlfwError);
    if (g_initialised) return 1;
    g_initialised = glfwInit() == GLFW_TRUE;
    return g_initialised ? 1 : 0;
}

int OsSetWindow(int width, int height, const char* title, int fullscreen, int vsync) {
    if (!g_initialised || g_window || width <= 0 || height <= 0) return 0;
    glfwDefaultWindowHints();
    // Depth is a soft preference: the library takes the closest format the
    // driver offers (24 bits on Mesa).
    glfwWindowHint(GLFW_DEPTH_BITS, 32);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    g_window = glfwCreateWindow(width, height, title ? title : "", monitor, nullptr);
    if (!g_window) return 0;
    glfwMakeContextCurrent(g_window);
    glfwSwapInterval(vsync ? 1 : 0);
    os_glfw::InstallInputCallbacks(g_window);
    os_glfw::ApplyCursorMode();
    return 1;
}

void OsTerminate() {
    if (!g_initialised) return;
    os_hooks::RunTerminateHooks();
    os_glfw::ForgetCursors();
    if (g_window) glfwDestroyWindow(g_window);
    g_window = nullptr;
    glfwTerminate();
    g_initialised = false;
}

void OsPollEvents() {
    // The library cannot process events from inside one of its own
    // callbacks (a resize that redraws the frame lands here again).
    os_hooks::PollGuard guard;
    if (guard.nested() || !g_initialised) return;
#ifdef _WIN32
    // A modal system dialog runs its own message loop, which already hands
    // the window its messages; taking them here would bypass the dialog's
    // keyboard handling.
    if (IsNativeDialogOpen()) return;
#endif
    glfwPollEvents();
    os_hooks::RunPollHooks();
}

void OsSwapBuffers() {
    if (g_window) glfwSwapBuffers(g_window);
}

void OsSetWindowTitle(const char* title) {
    if (g_window) glfwSetWindowTitle(g_window, title ? title : "");
}

void* OsGetProcAddress(const char* name) {
    if (!g_window || !name) return nullptr;
    return reinterpret_cast<void*>(glfwGetProcAddress(name));
}

int OsExtensionSupported(const char* name) {
    if (!g_window || !name) return 0;
    return glfwExtensionSupported(name) == GLFW_TRUE ? 1 : 0;
}

void OsGetFramebufferSize(int* width, int* height) {
    int w = 0, h = 0;
    if (g_window) glfwGetFramebufferSize(g_window, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
}

void OsGetWorkArea(int* x, int* y, int* width, int* height) {
    int ax = 0, ay = 0, aw = 0, ah = 0;
    if (g_initialised) {
        if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
            glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
            if (aw <= 0 || ah <= 0) {
                // Without a desktop that publishes a work area, the screen.
                if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
                    ax = ay = 0;
                    aw = mode->width;
                    ah = mode->height;
                }
            }
        }
    }
    if (x) *x = ax;
    if (y) *y = ay;
    if (width) *width = aw;
    if (height) *height = ah;
}

void OsMaximizeWindow() {
    if (g_window) glfwMaximizeWindow(g_window);
}

void OsSetWindowIcon(const u8* rgba, int width, int height) {
    if (!g_window) return;
    if (rgba && width > 0 && height > 0) {
        GLFWimage image{width, height, const_cast<unsigned char*>(rgba)};
        glfwSetWindowIcon(g_window, 1, &image);
        return;
    }
    // Several sizes so the desktop need not scale the drawn icon.
    std::vector<u8> small = BuildProgramIcon(16);
    std::vector<u8> medium = BuildProgramIcon(32);
    std::vector<u8> large = BuildProgramIcon(64);
    GLFWimage images[3] = {{16, 16, small.data()}, {32, 32, medium.data()}, {64, 64, large.data()}};
    glfwSetWindowIcon(g_window, 3, images);
}

int OsWindowCloseRequested() {
    return g_window && glfwWindowShouldClose(g_window) ? 1 : 0;
}

}  // namespace pirn
