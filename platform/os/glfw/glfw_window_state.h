#pragma once
// Internal to the GLFW backend: the one program window.

struct GLFWwindow;

namespace pirn {
namespace os_glfw {

// The program window, null before OsSetWindow and after OsTerminate.
GLFWwindow* ProgramWindow();
// Whether the library is running (between OsInit and OsTerminate).
bool LibraryRunning();

// Called by the window code when the window opens or closes, so the
// input and cursor code can set up or drop what belongs to the window.
void InstallInputCallbacks(GLFWwindow* window);
void ApplyCursorMode();
void ForgetCursors();
void ResetInputState();

}  // namespace os_glfw
}  // namespace pirn
