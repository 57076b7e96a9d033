// Text helpers of windows: the window's font (or the default font) for
// measuring and drawing, and the bounded formatted title.

#include <cstdarg>
#include <cstdio>

#include "ui/interface_font.h"
#include "ui/text_layout.h"
#include "ui/window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {
TextDrawer g_textDrawer = nullptr;
}  // namespace

void SetWindowTextDrawer(TextDrawer drawer) { g_textDrawer = drawer; }

i32 DrawWindowText(InterfaceFont* f, const char* text, int style, u32 flags, const Rect& rect) {
    if (!f) f = GetDefaultFont();
    if (!f || !text) return 0;
    if (g_textDrawer && !(flags & kTextMeasureOnly)) return g_textDrawer(f, text, style, flags, rect);
    TextLayout layout;
    return LayoutText(f, text, style, flags | kTextMeasureOnly, rect, &layout);
}

InterfaceFont* Window::GetFont() const { return font_ ? font_ : GetDefaultFont(); }

i32 Window::GetTextWidth(const char* text, int style) const {
    InterfaceFont* f = GetFont();
    return f && text ? TextWidth(*f, text, style, 0) : 0;
}

i32 Window::GetLineHeight() const {
    InterfaceFont* f = GetFont();
    return (f ? f->LineHeight() : 0) + 2;
}

i32 Window::DrawTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const {
    return DrawWindowText(GetFont(), text, style, textFlags, rect);
}

i32 Window::MeasureTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const {
    return DrawWindowText(GetFont(), text, style, textFlags | kTextMeasureOnly, rect);
}

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
