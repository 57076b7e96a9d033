// "res/orvane.pirnfont": the font file, the packing of its glyphs into pages,
// and laying out text with it (kerning tables, style switches, wrapping).

#include <string>

#include "fuzz/fuzz_support.h"
#include "ui/interface_font.h"
#include "ui/text_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Small pages make the packer spread the glyphs over several.
    std::unique_ptr<pirn::InterfaceFont> font = pirn::ParseFont(data, size, nullptr, 128);
    if (!font) return 0;
    FUZZ_CHECK(font->StyleExists(font->EffectiveStyle(0)));

    // Every code, style switches and a tab, laid out narrow enough to wrap.
    std::string text = "|bBig |iRed|p Dog\tx|o7|x";
    for (int code = 1; code < 256; ++code) text.push_back(static_cast<char>(code));
    const pirn::u32 flags = pirn::kTextMultiLine | pirn::kTextWrap | pirn::kTextMeasureOnly;
    for (int style = 0; style < pirn::kFontStyleCount; ++style) {
        pirn::TextWidth(*font, text, style, pirn::kTextMultiLine);
        FUZZ_CHECK(pirn::WrappedLineCount(*font, text, style, flags, 40) >= 1);
        pirn::TextLayout layout;
        pirn::LayoutText(font.get(), text, style, flags | pirn::kTextCenter, pirn::Rect{0, 0, 60, 4000}, &layout);
        for (const pirn::PlacedGlyph& glyph : layout.glyphs) {
            pirn::ImageQuad quad;
            pirn::MakeGlyphQuad(*font, glyph, &quad);
        }
        const size_t index = pirn::CharIndexAtX(*font, text, style, 30);
        FUZZ_CHECK(index <= text.size());
        pirn::OffsetOfIndex(*font, text, style, index);
    }
    return 0;
}
