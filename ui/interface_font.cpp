#include "ui/interface_font.h"

#include <cstring>
#include <unordered_map>

#include "ui/resource_file.h"

namespace pirn {

namespace {

class Reader {
public:
    Reader(const u8* data, u64 size) : data_(data), size_(size) {}
    u64 Left() const { return size_ - pos_; }
    u64 Position() const { return pos_; }
    bool U32(u32* v) {
        if (Left() < 4) return false;
        const u8* p = data_ + pos_;
        *v = u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
        pos_ += 4;
        return true;
    }
    bool U16(u16* v) {
        if (Left() < 2) return false;
        *v = u16(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    const u8* Take(u64 n) {
        if (Left() < n) return nullptr;
        const u8* p = data_ + pos_;
        pos_ += n;
        return p;
    }

private:
    const u8* data_;
    u64 size_;
    u64 pos_ = 0;
};

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

bool ReadStyle(Reader& r, FontStyle& style, int index, std::string* error) {
    for (int g = 0; g < kFontGlyphCount; ++g) {
        FontGlyph& glyph = style.glyphs[g];
        u16 xo = 0, yo = 0;
        if (!r.U16(&glyph.width) || !r.U16(&glyph.height) || !r.U16(&xo) || !r.U16(&yo))
            return Fail(error, "font style " + std::to_string(index) + " glyph " +
                                   std::to_string(g + kFontFirstCode) + " is cut short");
        glyph.x_offset = i16(xo);
        glyph.y_offset = i16(yo);
        const u8* adv = r.Take(kFontGlyphCount);
        if (!adv)
            return Fail(error, "font style " + std::to_string(index) + " advances are cut short");
        std::memcpy(glyph.advance, adv, kFontGlyphCount);
        const u64 bytes = u64(glyph.width) * glyph.height;
        const u8* bitmap = r.Take(bytes);
        if (!bitmap)
            return Fail(error, "font style " + std::to_string(index) + " glyph " +
                                   std::to_string(g + kFontFirstCode) + " bitmap is cut short");
        // A record with one side 0 has no bitmap.
        if (glyph.width && glyph.height) glyph.alpha.assign(bitmap, bitmap + bytes);
    }
    for (u32& word : style.trailer)
        if (!r.U32(&word)) return Fail(error, "font style " + std::to_string(index) + " trailer is cut short");
    return true;
}

bool PackGlyphs(InterfaceFont& font, i32 max_page, std::string* error) {
    std::vector<AtlasItem*> items;
    std::unordered_map<const AtlasItem*, FontGlyph*> glyph_of;
    for (FontStyle& style : font.styles)
        for (FontGlyph& glyph : style.glyphs) {
            glyph.atlas = AtlasItem{};
            if (glyph.alpha.empty()) continue;
            glyph.atlas.width = glyph.width;
            glyph.atlas.height = glyph.height;
            glyph.atlas.flags = kAtlasMayRotate;
            items.push_back(&glyph.atlas);
            glyph_of[&glyph.atlas] = &glyph;
        }
    AtlasCallbacks cb;
    cb.max_width = cb.max_height = max_page;
    cb.new_page = [&](i32 w, i32 h) { return AppendAtlasPage(font.pages, w, h, 1); };
    cb.copy = [&](AtlasItem& item) {
        const FontGlyph& g = *glyph_of.at(&item);
        AtlasPage& page = font.pages[item.page];
        const bool turned = item.flags & kAtlasRotated;
        for (u32 y = 0; y < g.height; ++y)
            for (u32 x = 0; x < g.width; ++x) {
                // Stored turned: the glyph's column x becomes the page row x.
                const u32 px = turned ? item.x + y : item.x + x;
                const u32 py = turned ? item.y + x : item.y + y;
                page.pixels[size_t(py) * page.width + px] = g.alpha[size_t(y) * g.width + x];
            }
    };
    if (!PackAtlas(items, cb)) return Fail(error, "font glyphs do not fit the texture pages");
    return true;
}

}  // namespace

InterfaceFont::~InterfaceFont() {
    for (AtlasPage& page : pages) ReleaseAtlasPageTexture(page);
}

int InterfaceFont::EffectiveStyle(int style) const {
    if (StyleExists(style)) return style;
    for (int s = 0; s < kFontStyleCount; ++s)
        if (styles[s].Exists()) return s;
    return 0;
}

i32 InterfaceFont::Advance(int style, u8 code, u8 next) const {
    const FontGlyph& g = Glyph(style, code);
    const int entry = next < kFontFirstCode ? 0 : next - kFontFirstCode;
    return g.advance[entry];
}

std::unique_ptr<InterfaceFont> ParseFont(const u8* data, u64 size, std::string* error, i32 max_page) {
    Reader r(data, size);
    auto font = std::make_unique<InterfaceFont>();
    if (!r.U32(&font->ascent) || !r.U32(&font->second_metric) || !r.U32(&font->line_spacing) ||
        !r.U32(&font->tab_width)) {
        Fail(error, "font header is cut short");
        return nullptr;
    }
    // Pixel metrics far beyond any screen would overflow the layout's sums.
    constexpr u32 kMaxMetric = 4096;
    constexpr u32 kMaxTabWidth = 256;
    if (font->ascent > kMaxMetric || font->line_spacing > kMaxMetric || font->tab_width > kMaxTabWidth) {
        Fail(error, "font header metrics are out of range (ascent " + std::to_string(font->ascent) +
                        ", line spacing " + std::to_string(font->line_spacing) + ", tab width " +
                        std::to_string(font->tab_width) + ")");
        return nullptr;
    }
    for (int s = 0; s < kFontStyleCount; ++s)
        if (!ReadStyle(r, font->styles[s], s, error)) return nullptr;
    bool any = false;
    for (const FontStyle& style : font->styles) any = any || style.Exists();
    if (!any) {
        Fail(error, "font has no style");
        return nullptr;
    }
    if (!PackGlyphs(*font, max_page, error)) return nullptr;
    for (FontStyle& style : font->styles)
        for (FontGlyph& glyph : style.glyphs) std::vector<u8>().swap(glyph.alpha);
    return font;
}

std::unique_ptr<InterfaceFont> LoadFont(const std::string& path, std::string* error, i32 max_page) {
    std::vector<u8> bytes;
    if (!ReadResourceFile(path, bytes, error)) return nullptr;
    return ParseFont(bytes.data(), bytes.size(), error, max_page);
}

void FreeFont(std::unique_ptr<InterfaceFont>& font) { font.reset(); }


}  // namespace pirn
