#pragma once
// Drawing interface-font text with GL: glyph quads page by page, each page
// bound once, tinted by the current draw colour.

#include <string_view>

#include "ui/interface_font.h"
#include "ui/rect.h"
#include "ui/text_layout.h"

namespace pirn {

// Lays out and draws the text in the rectangle (flags: TextFlags); returns
// the width of the widest line laid out. kTextMeasureOnly makes no GL call.
i32 DrawText(InterfaceFont* font, std::string_view text, int style, u32 flags, const Rect& rect);
// Draws an already laid-out text (for callers that reuse a layout).
void DrawTextLayout(InterfaceFont* font, const TextLayout& layout, u32 flags);

}  // namespace pirn
