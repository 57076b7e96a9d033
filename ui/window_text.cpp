// Text helpers of windows: the window's font (or the default font) for
// measuring and drawing, and the bounded formatted title.

#include <cstdarg>
#include <cstdio>

#include "ui/window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

InterfaceFont* Window::GetFont() const { return font_ ? font_ : GetDefaultFont(); }

i32 Window::GetTextWidth(const char* text, int style) const {
    return MeasureTextInRect(text, style, 0, Rect{0, 0, 0x3FFFFFFF, 0x3FFFFFFF});
}

i32 Window::GetLineHeight() const { return 2; }

i32 Window::DrawTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const {
    return DrawWindowText(GetFont(), text, style, textFlags, rect);
}

i32 Window::MeasureTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const {
    return 0;
}

i32 DrawWindowText(InterfaceFont* f, const char* text, int style, u32 flags, const Rect& rect) { return 0; }

void Window::SetTitleF(const char* format, ...) {
    // Formatted into 1,024 bytes at most; longer titles are cut.
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SetTitle(buffer);
}

}  // namespace pirn
