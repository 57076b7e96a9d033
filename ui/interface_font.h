#pragma once
// The interface font: one bitmap font in up to four styles for all on-screen
// text, with per-pair advances (kerning by the following character). Glyphs
// are packed into alpha pages at load time; GL textures are made lazily when
// text is first drawn (ui/gl/draw_text.h).

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/atlas_packer.h"

namespace pirn {

constexpr int kFontFirstCode = 32;
constexpr int kFontGlyphCount = 224;  // codes 32..255
constexpr int kFontStyleCount = 4;    // 0 plain "|p", 1 bold "|b", 2 italic "|i", 3 bold italic "|o"
// A glyph record in the file without its bitmap: size, offsets, advances.
constexpr u64 kFontGlyphHeadSize = 8 + kFontGlyphCount;

struct FontGlyph {
    AtlasItem atlas;       // place in the pages (stored turned when tall)
    u16 width = 0;         // bitmap size, upright
    u16 height = 0;
    i16 x_offset = 0;      // bitmap position from the pen on the baseline
    i16 y_offset = 0;
    i8 advance[kFontGlyphCount] = {};  // pen movement before each following code
    std::vector<u8> alpha;             // width x height, only while loading
};

struct FontStyle {
    FontGlyph glyphs[kFontGlyphCount];
    u32 trailer[4] = {};
    bool Exists() const { return trailer[3] & 1; }
};

struct InterfaceFont {
    InterfaceFont() = default;
    ~InterfaceFont();
    InterfaceFont(const InterfaceFont&) = delete;
    InterfaceFont& operator=(const InterfaceFont&) = delete;

    u32 ascent = 0;         // rectangle top to the first baseline
    u32 second_metric = 0;  // kept, not used by the text routines
    u32 line_spacing = 0;   // line height
    u32 tab_width = 0;      // in spaces; 0 is taken as 1
    FontStyle styles[kFontStyleCount];
    std::vector<AtlasPage> pages;

    bool StyleExists(int style) const {
        return style >= 0 && style < kFontStyleCount && styles[style].Exists();
    }
    // The style drawn for a request: itself when it exists, else the first
    // style that does.
    int EffectiveStyle(int style) const;
    const FontGlyph& Glyph(int style, u8 code) const {
        return styles[EffectiveStyle(style)].glyphs[code < kFontFirstCode ? 0 : code - kFontFirstCode];
    }
    // Pen movement after `code` when `next` follows (0 or a code below 32:
    // the entry of the space).
    i32 Advance(int style, u8 code, u8 next) const;
    i32 LineHeight() const { return i32(line_spacing); }
};

// Largest page for headless loading; the GL layer passes its own limit.
constexpr i32 kFontDefaultMaxPage = 2048;

// Reads "res/orvane.pirnfont". Null, with the reason in `error`, when the
// file is missing, short or corrupt, or has no style at all.
std::unique_ptr<InterfaceFont> LoadFont(const std::string& path, std::string* error = nullptr,
                                        i32 max_page = kFontDefaultMaxPage);
std::unique_ptr<InterfaceFont> ParseFont(const u8* data, u64 size, std::string* error = nullptr,
                                         i32 max_page = kFontDefaultMaxPage);
void FreeFont(std::unique_ptr<InterfaceFont>& font);

}  // namespace pirn
