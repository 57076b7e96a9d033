#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/os/cursor_id.h"
#include "platform/os/cursor_image.h"
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_input.h"

namespace pirn {
namespace {

constexpr int kShapeCount = static_cast<int>(PointerShape::Count);

// Made on first use, freed before the library closes.
GLFWcursor* g_cursors[kShapeCount] = {};
int g_currentShape = -1;

int StandardCursorFor(PointerShape shape) {
    switch (shape) {
        case PointerShape::SizeWestEast: return GLFW_HRESIZE_CURSOR;
        case PointerShape::SizeNorthSouth: return GLFW_VRESIZE_CURSOR;
        case PointerShape::TextBeam: return GLFW_IBEAM_CURSOR;
        case PointerShape::Cross: return GLFW_CROSSHAIR_CURSOR;
        default: return GLFW_ARROW_CURSOR;
    }
}

GLFWcursor* CursorFor(PointerShape shape) {
    int index = static_cast<int>(shape);
    if (g_cursors[index]) return g_cursors[index];
    GLFWcursor* cursor = nullptr;
    if (PointerShapeIsStandard(shape)) cursor = glfwCreateStandardCursor(StandardCursorFor(shape));
    if (!cursor) {
        CursorImage image = BuildCursorImage(shape);
        GLFWimage glfwImage{image.width, image.height, image.rgba.data()};
        cursor = glfwCreateCursor(&glfwImage, image.hotX, image.hotY);
    }
    g_cursors[index] = cursor;
    return cursor;
}

}  // namespace

namespace os_glfw {

void ForgetCursors() {
    for (GLFWcursor*& cursor : g_cursors) {
        if (cursor) glfwDestroyCursor(cursor);
        cursor = nullptr;
    }
    g_currentShape = -1;
}

}  // namespace os_glfw

void OsSetCursor(int id) {
    GLFWwindow* window = os_glfw::ProgramWindow();
    if (!window) return;
    PointerShape shape = PointerShapeForId(id);
    // Setting the same shape every frame would be an X round trip each time.
    if (static_cast<int>(shape) == g_currentShape) return;
    GLFWcursor* cursor = CursorFor(shape);
    glfwSetCursor(window, cursor);
    g_currentShape = static_cast<int>(shape);
}

}  // namespace pirn
