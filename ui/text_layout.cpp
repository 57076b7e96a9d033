#include "ui/text_layout.h"

#include <algorithm>
#include <iterator>

namespace pirn {

namespace {

u8 At(std::string_view text, size_t i) { return i < text.size() ? u8(text[i]) : 0; }

bool IsLineBreak(u8 c) { return c == '\r' || c == '\n'; }

// Pen movement for the character at text[i], the pen being at `pen`.
i32 CharAdvance(const InterfaceFont& font, std::string_view text, size_t i, int style, i32 pen) {
    const u8 c = At(text, i);
    if (c == '\t') {
        const i32 tab = font.Advance(style, ' ', ' ') * i32(std::max<u32>(font.tab_width, 1));
        if (tab <= 0) return 0;
        return (pen / tab + 1) * tab - pen;
    }
    // Other control characters count as spaces.
    return font.Advance(style, c < kFontFirstCode ? u8(' ') : c, At(text, i + 1));
}

}  // namespace

int ReadStyleSwitch(const InterfaceFont& font, std::string_view text, size_t i, int* style) {
    if (At(text, i) != '|' || i + 1 >= text.size()) return 0;
    int s = -1;
    switch (text[i + 1]) {
        case 'p': case 'P': s = 0; break;
        case 'b': case 'B': s = 1; break;
        case 'i': case 'I': s = 2; break;
        case 'o': case 'O': s = 3; break;
        default: return 0;
    }
    if (font.StyleExists(s)) *style = s;
    return 2;
}

TextLine BreakLine(const InterfaceFont& font, std::string_view text, u32 flags, i32 max_width,
                   size_t start, int style) {
    const bool wrap = flags & kTextWrap;
    const bool multi = flags & (kTextMultiLine | kTextWrap);
    TextLine line;
    line.start = start;
    line.style_in = style;
    i32 pen = 0;
    bool has_char = false;
    bool have_space = false;
    size_t space_at = 0;
    i32 space_pen = 0;
    int space_style = style;

    size_t i = start;
    while (i < text.size()) {
        if (int n = ReadStyleSwitch(font, text, i, &style)) {
            i += n;
            continue;
        }
        const u8 c = At(text, i);
        if (IsLineBreak(c)) {
            line.end = i;
            line.next = i + ((c == '\r' && At(text, i + 1) == '\n') ? 2 : 1);
            line.width = pen;
            line.style_out = style;
            line.more = multi;
            if (!multi) line.next = text.size();
            return line;
        }
        const i32 w = CharAdvance(font, text, i, style, pen);
        const bool is_space = c == ' ' || c == '\t';
        if (wrap && has_char && pen + w > max_width) {
            if (is_space) {  // the overflowing space is itself the break
                have_space = true;
                space_at = i;
                space_pen = pen;
                space_style = style;
            }
            line.more = true;
            if (have_space) {
                line.end = space_at;
                line.next = space_at + 1;
                line.width = space_pen;
                line.style_out = space_style;
            } else {
                line.end = line.next = i;
                line.width = pen;
                line.style_out = style;
            }
            return line;
        }
        if (is_space) {
            have_space = true;
            space_at = i;
            space_pen = pen;
            space_style = style;
        }
        pen += w;
        has_char = true;
        ++i;
        // A character wider than the whole width stands alone.
        if (wrap && pen > max_width && i < text.size() && !IsLineBreak(At(text, i))) {
            size_t j = i;
            int s = style;
            while (int n = ReadStyleSwitch(font, text, j, &s)) j += n;
            if (j < text.size() && !IsLineBreak(At(text, j))) {
                line.end = line.next = i;
                line.width = pen;
                line.style_out = style;
                line.more = true;
                return line;
            }
        }
    }
    line.end = line.next = text.size();
    line.width = pen;
    line.style_out = style;
    line.more = false;
    return line;
}

bool LineBreak(const InterfaceFont& font, std::string_view text, u32 flags, i32 max_width,
               size_t start, int style, i32* out_width, size_t* out_next, int* out_style) {
    const TextLine line = BreakLine(font, text, flags, max_width, start, style);
    if (out_width) *out_width = line.width;
    if (out_next) *out_next = line.next;
    if (out_style) *out_style = line.style_out;
    return line.more;
}

i32 TextWidth(const InterfaceFont& font, std::string_view text, int style, u32 flags) {
    const u32 no_wrap = flags & ~u32(kTextWrap);
    i32 widest = 0;
    size_t pos = 0;
    for (;;) {
        const TextLine line = BreakLine(font, text, no_wrap, 0, pos, style);
        widest = std::max(widest, line.width);
        if (!line.more || line.next <= pos) break;
        pos = line.next;
        style = line.style_out;
    }
    return widest;
}

i32 WrappedLineCount(const InterfaceFont& font, std::string_view text, int style, u32 flags, i32 width) {
    i32 lines = 0;
    size_t pos = 0;
    for (;;) {
        const TextLine line = BreakLine(font, text, flags | kTextWrap, width, pos, style);
        ++lines;
        if (!line.more || line.next <= pos) break;
        pos = line.next;
        style = line.style_out;
    }
    return lines;
}

i32 LineAdvance(const InterfaceFont& font) { return font.LineHeight() + 2; }

i32 TextHeight(const InterfaceFont& font, std::string_view text, int style, u32 flags, i32 width) {
    return WrappedLineCount(font, text, style, flags, width) * LineAdvance(font);
}

size_t CharIndexAtX(const InterfaceFont& font, std::string_view text, int style, i32 x) {
    i32 pen = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (int n = ReadStyleSwitch(font, text, i, &style)) {
            // Style codes: characters of no width at the pen.
            if (pen >= x) return i;
            i += n;
            continue;
        }
        const i32 w = IsLineBreak(At(text, i)) ? 0 : CharAdvance(font, text, i, style, pen);
        if (pen + w >= x) return 2 * x <= 2 * pen + w ? i : i + 1;
        pen += w;
        ++i;
    }
    return text.size();
}

i32 OffsetOfIndex(const InterfaceFont& font, std::string_view text, int style, size_t index) {
    i32 pen = 0;
    size_t i = 0;
    index = std::min(index, text.size());
    while (i < index) {
        if (int n = ReadStyleSwitch(font, text, i, &style)) {
            i += n;
            continue;
        }
        if (!IsLineBreak(At(text, i))) pen += CharAdvance(font, text, i, style, pen);
        ++i;
    }
    return pen;
}

i32 LayoutText(const InterfaceFont* font, std::string_view text, int style, u32 flags, const Rect& rect,
               TextLayout* out) {
    if (out) *out = TextLayout{};
    if (!font || (flags & kTextNothing) || rect.IsEmpty()) return 0;
    const bool wrap = flags & kTextWrap;
    const i32 width = rect.Width();
    i32 baseline = rect.top + i32(font->ascent);
    if (flags & kTextCenterVertically) baseline += std::max(0, (rect.Height() - font->LineHeight()) / 2);

    i32 widest = 0;
    i32 lines = 0;
    size_t pos = 0;
    while (baseline <= rect.bottom) {
        const TextLine line = BreakLine(*font, text, flags, width, pos, style);
        ++lines;
        widest = std::max(widest, line.width);
        i32 x = rect.left;
        if (line.width < width || wrap) {
            if (flags & kTextCenter)
                x += (width - line.width) / 2;
            else if (flags & kTextRight)
                x += width - line.width;
        }
        if (out) {
            i32 pen = 0;
            int s = line.style_in;
            for (size_t i = line.start; i < line.end;) {
                if (int n = ReadStyleSwitch(*font, text, i, &s)) {
                    i += n;
                    continue;
                }
                const u8 c = u8(text[i]);
                const int drawn = font->EffectiveStyle(s);
                if (c > ' ' && font->Glyph(drawn, c).atlas.width != 0)
                    out->glyphs.push_back(PlacedGlyph{x + pen, baseline, c, u8(drawn)});
                pen += CharAdvance(*font, text, i, s, pen);
                ++i;
            }
        }
        if (!line.more || line.next < pos) break;
        pos = line.next;
        style = line.style_out;
        baseline += LineAdvance(*font);
    }
    if (out) {
        out->widest = widest;
        out->lines = lines;
    }
    return widest;
}

bool MakeGlyphQuad(const InterfaceFont& font, const PlacedGlyph& glyph, ImageQuad* quad) {
    const FontGlyph& g = font.Glyph(glyph.style, glyph.code);
    if (g.width == 0 || g.height == 0) return false;
    const i32 x = glyph.x + g.x_offset;
    const i32 y = glyph.y + g.y_offset;
    quad->dest = Rect{x, y, x + g.width, y + g.height};
    const float ax = g.atlas.x, ay = g.atlas.y, w = g.width, h = g.height;
    if (g.atlas.flags & kAtlasRotated) {
        // Stored turned: the glyph's column becomes the page's row.
        const float s[4] = {ax, ax, ax + h, ax + h};
        const float t[4] = {ay, ay + w, ay + w, ay};
        std::copy(s, s + 4, quad->s);
        std::copy(t, t + 4, quad->t);
    } else {
        const float s[4] = {ax, ax + w, ax + w, ax};
        const float t[4] = {ay, ay, ay + h, ay + h};
        std::copy(s, s + 4, quad->s);
        std::copy(t, t + 4, quad->t);
    }
    return true;
}

}  // namespace pirn
