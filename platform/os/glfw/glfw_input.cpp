#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>

#include "platform/os/core/cursor_show_count.h"
#include "platform/os/core/input_relay.h"
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/library_keys.h"
#include "platform/os/os_input.h"

namespace pirn {

// Key translation and the headless backend use library_keys.h; it must keep
// matching the library this backend is built against.
static_assert(library_key::kUnknown == GLFW_KEY_UNKNOWN);
static_assert(library_key::kSpace == GLFW_KEY_SPACE);
static_assert(library_key::kA == GLFW_KEY_A && library_key::kZ == GLFW_KEY_Z);
static_assert(library_key::k0 == GLFW_KEY_0 && library_key::k9 == GLFW_KEY_9);
static_assert(library_key::kGraveAccent == GLFW_KEY_GRAVE_ACCENT);
static_assert(library_key::kWorld1 == GLFW_KEY_WORLD_1 && library_key::kWorld2 == GLFW_KEY_WORLD_2);
static_assert(library_key::kEscape == GLFW_KEY_ESCAPE);
static_assert(library_key::kEnter == GLFW_KEY_ENTER);
static_assert(library_key::kTab == GLFW_KEY_TAB);
static_assert(library_key::kBackspace == GLFW_KEY_BACKSPACE);
static_assert(library_key::kInsert == GLFW_KEY_INSERT);
static_assert(library_key::kDelete == GLFW_KEY_DELETE);
static_assert(library_key::kRight == GLFW_KEY_RIGHT && library_key::kLeft == GLFW_KEY_LEFT);
static_assert(library_key::kDown == GLFW_KEY_DOWN && library_key::kUp == GLFW_KEY_UP);
static_assert(library_key::kPageUp == GLFW_KEY_PAGE_UP);
static_assert(library_key::kPageDown == GLFW_KEY_PAGE_DOWN);
static_assert(library_key::kHome == GLFW_KEY_HOME && library_key::kEnd == GLFW_KEY_END);
static_assert(library_key::kCapsLock == GLFW_KEY_CAPS_LOCK);
static_assert(library_key::kScrollLock == GLFW_KEY_SCROLL_LOCK);
static_assert(library_key::kNumLock == GLFW_KEY_NUM_LOCK);
static_assert(library_key::kPrintScreen == GLFW_KEY_PRINT_SCREEN);
static_assert(library_key::kPause == GLFW_KEY_PAUSE);
static_assert(library_key::kF1 == GLFW_KEY_F1 && library_key::kF15 == GLFW_KEY_F15);
static_assert(library_key::kF16 == GLFW_KEY_F16 && library_key::kF25 == GLFW_KEY_F25);
static_assert(library_key::kKp0 == GLFW_KEY_KP_0 && library_key::kKp9 == GLFW_KEY_KP_9);
static_assert(library_key::kKpDecimal == GLFW_KEY_KP_DECIMAL);
static_assert(library_key::kKpDivide == GLFW_KEY_KP_DIVIDE);
static_assert(library_key::kKpMultiply == GLFW_KEY_KP_MULTIPLY);
static_assert(library_key::kKpSubtract == GLFW_KEY_KP_SUBTRACT);
static_assert(library_key::kKpAdd == GLFW_KEY_KP_ADD);
static_assert(library_key::kKpEnter == GLFW_KEY_KP_ENTER);
static_assert(library_key::kKpEqual == GLFW_KEY_KP_EQUAL);
static_assert(library_key::kLeftShift == GLFW_KEY_LEFT_SHIFT);
static_assert(library_key::kLeftControl == GLFW_KEY_LEFT_CONTROL);
static_assert(library_key::kLeftAlt == GLFW_KEY_LEFT_ALT);
static_assert(library_key::kLeftSuper == GLFW_KEY_LEFT_SUPER);
static_assert(library_key::kRightShift == GLFW_KEY_RIGHT_SHIFT);
static_assert(library_key::kRightControl == GLFW_KEY_RIGHT_CONTROL);
static_assert(library_key::kRightAlt == GLFW_KEY_RIGHT_ALT);
static_assert(library_key::kRightSuper == GLFW_KEY_RIGHT_SUPER);
static_assert(library_key::kMenu == GLFW_KEY_MENU && library_key::kLast == GLFW_KEY_LAST);
static_assert(library_key::kActionRelease == GLFW_RELEASE);
static_assert(library_key::kActionPress == GLFW_PRESS);
static_assert(library_key::kActionRepeat == GLFW_REPEAT);
static_assert(library_key::kModShift == GLFW_MOD_SHIFT && library_key::kModAlt == GLFW_MOD_ALT);
static_assert(library_key::kModControl == GLFW_MOD_CONTROL);
static_assert(library_key::kModSuper == GLFW_MOD_SUPER);

namespace {

// The pointer lock. With keyboard focus the library holds the pointer
// (GLFW_CURSOR_DISABLED: hidden, grabbed, put back in the middle once per
// poll) and reports a position that moves with it past any edge. Without
// focus it can neither hold nor move the pointer, and in that mode it drops
// every motion; there the pointer is only hidden and its real position is
// reported. Focus may come and go during a lock (a click-to-focus desktop
// gives it on the press that starts a drag), so an offset carries the
// reported positions on across each change of mode: while locked, their
// differences are always the pointer's motion.
struct PointerLock {
    bool on = false;
    bool held = false;  // GLFW_CURSOR_DISABLED in force
    double offsetX = 0, offsetY = 0;
};
PointerLock g_lock;
double g_reportedX = 0, g_reportedY = 0;  // last position handed on

void OnKey(GLFWwindow*, int key, int, int action, int) { os_relay::RelayLibraryKey(key, action); }

// The plain character callback is silent while Ctrl or Alt is held; the
// one with modifiers is not, which the Option layer of the character map
// needs (Alt+e).
void OnCharMods(GLFWwindow*, unsigned codepoint, int) { os_relay::RelayLibraryChar(codepoint); }

void OnMouseButton(GLFWwindow*, int button, int action, int) {
    os_relay::RelayLibraryButton(button, action);
}

void OnCursorPos(GLFWwindow*, double x, double y) {
    if (g_lock.on) {
        x += g_lock.offsetX;
        y += g_lock.offsetY;
    }
    g_reportedX = x;
    g_reportedY = y;
    os_relay::RelayLibraryCursorPos(x, y);
}

// The mode just set counts from where the pointer is now; the reports
// carry on from the last one.
void ContinueFromLastReport(GLFWwindow* window) {
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    g_lock.offsetX = g_reportedX - x;
    g_lock.offsetY = g_reportedY - y;
}

void OnFocus(GLFWwindow*, int) {
    if (g_lock.on) os_glfw::ApplyCursorMode();
}

void OnScroll(GLFWwindow*, double xOffset, double yOffset) {
    os_relay::RelayLibraryScroll(xOffset, yOffset);
}

void OnClose(GLFWwindow* window) {
    if (!os_relay::RelayLibraryCloseRequest()) glfwSetWindowShouldClose(window, GLFW_FALSE);
}

void OnRefresh(GLFWwindow*) { os_relay::RelayLibraryRefresh(); }

void OnFramebufferSize(GLFWwindow*, int width, int height) {
    os_relay::RelayLibraryFramebufferSize(width, height);
}

}  // namespace

namespace os_glfw {

void InstallInputCallbacks(GLFWwindow* window) {
    glfwSetKeyCallback(window, OnKey);
    glfwSetCharModsCallback(window, OnCharMods);
    glfwSetMouseButtonCallback(window, OnMouseButton);
    glfwSetCursorPosCallback(window, OnCursorPos);
    glfwSetWindowFocusCallback(window, OnFocus);
    glfwSetScrollCallback(window, OnScroll);
    glfwSetWindowCloseCallback(window, OnClose);
    glfwSetWindowRefreshCallback(window, OnRefresh);
    glfwSetFramebufferSizeCallback(window, OnFramebufferSize);
}

void ApplyCursorMode() {
    GLFWwindow* window = ProgramWindow();
    if (!window) return;
    const bool hold = g_lock.on && glfwGetWindowAttrib(window, GLFW_FOCUSED);
    int mode = GLFW_CURSOR_NORMAL;
    if (hold)
        mode = GLFW_CURSOR_DISABLED;
    else if (g_lock.on || !os_cursor::CursorShowCountVisible())
        mode = GLFW_CURSOR_HIDDEN;
    const bool switching = g_lock.on && hold != g_lock.held;
    glfwSetInputMode(window, GLFW_CURSOR, mode);
    g_lock.held = hold;
    if (switching) ContinueFromLastReport(window);
}

void ResetInputState() { g_lock = PointerLock{}; }

}  // namespace os_glfw

void OsSetMousePos(int x, int y) {
    if (GLFWwindow* window = os_glfw::ProgramWindow()) glfwSetCursorPos(window, x, y);
}

void OsGetMousePos(int* x, int* y) {
    double px = 0, py = 0;
    if (GLFWwindow* window = os_glfw::ProgramWindow()) glfwGetCursorPos(window, &px, &py);
    if (x) *x = static_cast<int>(std::floor(px));
    if (y) *y = static_cast<int>(std::floor(py));
}

int OsShowCursor(int show) {
    int count = os_cursor::AdjustCursorShowCount(show);
    os_glfw::ApplyCursorMode();
    return count;
}

void OsSetPointerLock(int on) {
    if ((on != 0) == g_lock.on) return;
    g_lock = PointerLock{};
    g_lock.on = on != 0;
    GLFWwindow* window = os_glfw::ProgramWindow();
    if (g_lock.on && window) ContinueFromLastReport(window);
    os_glfw::ApplyCursorMode();
}

}  // namespace pirn
