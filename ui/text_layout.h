#pragma once
// Laying out interface-font text without drawing it: line breaking with
// inline style switches ("|p", "|b", "|i", "|o"), tabs and wrapping, measuring,
// and the character under an x position. Drawing (ui/gl/draw_text.h) places
// its glyphs from the same layout.

#include <string_view>
#include <vector>

#include "platform/types.h"
#include "ui/interface_font.h"
#include "ui/rect.h"
#include "ui/texture_pack.h"

namespace pirn {

enum TextFlags : u32 {
    kTextNothing = 1,        // nothing is laid out or drawn
    kTextTitle = 2,          // passed by titles and debug texts; no effect on layout
    kTextMultiLine = 4,      // CR or LF starts a new line; without it text stops there
    kTextWrap = 8,           // wrap at the rectangle's width (implies multi-line)
    kTextCenter = 16,        // centre each line
    kTextRight = 32,         // align each line right
    kTextCenterVertically = 64,
    kTextShadow = 0x100,     // black copy one pixel right and down first
    kTextMeasureOnly = 0x200,
};

// Reads a style switch at text[i]: a bar and b, i, o or p in either case.
// Returns the characters it takes (2) and updates *style when that style
// exists; 0 when text[i] starts no switch (the bar is then an ordinary
// character).
int ReadStyleSwitch(const InterfaceFont& font, std::string_view text, size_t i, int* style);

// One laid-out line: text[start, end) holds its characters; the next line
// starts at `next`.
struct TextLine {
    size_t start = 0;
    size_t end = 0;
    size_t next = 0;
    i32 width = 0;
    int style_in = 0;
    int style_out = 0;
    bool more = false;  // more text follows on a further line
};

// Breaks the line that starts at `start`. With kTextWrap, a character that
// would pass max_width breaks the line after the last space or tab (which is
// consumed), or before the character when there is none; a single character
// wider than the whole width stands alone on its line.
TextLine BreakLine(const InterfaceFont& font, std::string_view text, u32 flags, i32 max_width,
                   size_t start, int style);
// The same in the out-parameter form the widgets use; returns whether more
// text follows.
bool LineBreak(const InterfaceFont& font, std::string_view text, u32 flags, i32 max_width,
               size_t start, int style, i32* out_width, size_t* out_next, int* out_style);

// Width of the widest line (no wrapping; only the first line without
// kTextMultiLine).
i32 TextWidth(const InterfaceFont& font, std::string_view text, int style, u32 flags);
// Lines the text takes when wrapped at `width` (at least 1).
i32 WrappedLineCount(const InterfaceFont& font, std::string_view text, int style, u32 flags, i32 width);
// (line spacing + 2) per wrapped line.
i32 TextHeight(const InterfaceFont& font, std::string_view text, int style, u32 flags, i32 width);
// Distance from one baseline to the next: the line spacing plus 2, the same
// line height the windows use.
i32 LineAdvance(const InterfaceFont& font);

// The caret index for an x offset within one line: the first character whose
// right edge reaches x decides, the index before it when x is at or left of
// its middle, else after it; the text's length when none reaches x. Style
// codes count as characters of no width, and so do line breaks.
size_t CharIndexAtX(const InterfaceFont& font, std::string_view text, int style, i32 x);
// The pen offset before character `index` of one line (the caret's x).
i32 OffsetOfIndex(const InterfaceFont& font, std::string_view text, int style, size_t index);

struct PlacedGlyph {
    i32 x = 0;       // pen position on the baseline
    i32 y = 0;       // baseline
    u8 code = 0;
    u8 style = 0;    // the style drawn (after the fall-back to an existing one)
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;  // only characters with a bitmap
    i32 widest = 0;
    i32 lines = 0;
};

// Everything DrawText draws: lines from the rectangle's top plus the ascent,
// aligned by the flags, until a baseline passes the rectangle's bottom.
// Returns the widest line laid out (0 for an empty rectangle or kTextNothing).
i32 LayoutText(const InterfaceFont* font, std::string_view text, int style, u32 flags, const Rect& rect,
               TextLayout* out);

// The quad of one placed glyph: its bitmap at pen + offset, with the atlas
// place of its corners in page pixels (a glyph stored turned draws upright).
// False for a glyph without a bitmap.
bool MakeGlyphQuad(const InterfaceFont& font, const PlacedGlyph& glyph, ImageQuad* quad);

}  // namespace pirn
