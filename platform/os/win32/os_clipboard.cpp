#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/char_map.h"
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_clipboard.h"
#include "platform/os/win32/clipboard_picture.h"

namespace pirn {

// Text as CF_UNICODETEXT through the window library (which hands over
// UTF-8); the system makes it from CF_TEXT when a program offered only that.
bool OsGetClipboardText(std::string* text) {
    if (text == nullptr || !os_glfw::LibraryRunning()) return false;
    const char* utf8 = glfwGetClipboardString(os_glfw::ProgramWindow());
    if (utf8 == nullptr) return false;
    *text = Utf8ToCharMap(utf8);
    return true;
}

bool OsSetClipboardText(const std::string& text) {
    if (!os_glfw::LibraryRunning()) return false;
    glfwSetClipboardString(os_glfw::ProgramWindow(), CharMapToUtf8(text).c_str());
    return true;
}

bool OsGetClipboardImage(std::vector<u8>* rgb, u32* width, u32* height) {
    ClipboardImage image;
    if (rgb == nullptr || width == nullptr || height == nullptr || !win32::ReadClipboardPicture(&image)) return false;
    *rgb = std::move(image.rgb);
    *width = image.width;
    *height = image.height;
    return true;
}

bool OsSetClipboardImage(const u8* rgb, u32 width, u32 height) {
    return win32::PutClipboardPicture(rgb, width, height);
}

}  // namespace pirn
