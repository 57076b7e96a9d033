#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/char_map.h"
#include "platform/os/x11/clipboard_x11.h"
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_clipboard.h"

namespace pirn {
namespace {

// The window library's hidden window, which owns the selection after text
// was copied; learnt at that moment since the library does not tell.
unsigned long g_text_owner = 0;

}  // namespace

bool OsGetClipboardText(std::string* text) {
    if (text == nullptr || !os_glfw::LibraryRunning()) return false;
    // While the program's picture owns the selection the window library
    // would wait for this very thread to answer its request: there is no text.
    if (x11_clipboard::OwnsClipboard()) return false;
    // The library waits without limit for another owner's answer, so an
    // owner that hangs is asked first, with a limit, whether it has text.
    const unsigned long owner = x11_clipboard::CurrentOwner();
    if (owner == 0) return false;
    if (owner != g_text_owner && !x11_clipboard::OwnerOffersText()) return false;
    const char* utf8 = glfwGetClipboardString(os_glfw::ProgramWindow());
    if (utf8 == nullptr) return false;
    *text = Utf8ToCharMap(utf8);
    return true;
}

bool OsSetClipboardText(const std::string& text) {
    if (!os_glfw::LibraryRunning()) return false;
    glfwSetClipboardString(os_glfw::ProgramWindow(), CharMapToUtf8(text).c_str());
    g_text_owner = x11_clipboard::CurrentOwner();
    return true;
}

bool OsGetClipboardImage(std::vector<u8>* rgb, u32* width, u32* height) {
    ClipboardImage image;
    if (rgb == nullptr || width == nullptr || height == nullptr || !x11_clipboard::GetImage(&image)) return false;
    *rgb = std::move(image.rgb);
    *width = image.width;
    *height = image.height;
    return true;
}

bool OsSetClipboardImage(const u8* rgb, u32 width, u32 height) {
    return x11_clipboard::SetImage(rgb, width, height);
}

}  // namespace pirn
