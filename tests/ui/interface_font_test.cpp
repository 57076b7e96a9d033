#include "ui/interface_font.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "ui/text_layout.h"

namespace pirn {
namespace {

// Builds font bytes field by field in the file's order.
struct FontSpec {
    u32 header[4] = {10, 3, 12, 4};  // ascent, second metric, line spacing, tab width
    bool style_exists[4] = {true, true, false, false};
    // Bitmap size of a glyph; 0 x 0 by default.
    std::function<std::pair<u16, u16>(int style, int code)> size = [](int, int code) {
        return (code >= 'a' && code <= 'z') ? std::make_pair<u16, u16>(4, 6) : std::make_pair<u16, u16>(0, 0);
    };
    // Advance of `code` before `next`; style 1 is wider.
    std::function<i8(int style, int code, int next)> advance = [](int style, int code, int next) {
        if (code == 'A' && next == 'V') return i8(4);  // a kerned pair
        return i8(style == 1 ? 8 : 6);
    };
    std::function<u8(int style, int code, int x, int y)> pixel = [](int, int code, int x, int y) {
        return u8(code + 16 * y + x);
    };

    std::vector<u8> Bytes() const {
        std::vector<u8> b;
        auto u16_ = [&](u16 v) {
            b.push_back(u8(v));
            b.push_back(u8(v >> 8));
        };
        auto u32_ = [&](u32 v) {
            for (int i = 0; i < 4; ++i) b.push_back(u8(v >> (8 * i)));
        };
        for (u32 w : header) u32_(w);
        for (int s = 0; s < 4; ++s) {
            for (int code = 32; code < 256; ++code) {
                const auto [w, h] = size(s, code);
                u16_(w);
                u16_(h);
                u16_(u16(i16(-1)));  // x offset
                u16_(u16(i16(-7)));  // y offset
                for (int next = 32; next < 256; ++next) b.push_back(u8(advance(s, code, next)));
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) b.push_back(pixel(s, code, x, y));
            }
            u32_(12);
            u32_(0);
            u32_(0);
            u32_(style_exists[s] ? 1 : 0);
        }
        return b;
    }
    std::unique_ptr<InterfaceFont> Parse(std::string* error = nullptr) const {
        const auto b = Bytes();
        return ParseFont(b.data(), b.size(), error);
    }
};

TEST(InterfaceFontTest, ParsesHeaderGlyphsAndTrailers) {
    FontSpec spec;
    const auto font = spec.Parse();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->ascent, 10u);
    EXPECT_EQ(font->second_metric, 3u);
    EXPECT_EQ(font->line_spacing, 12u);
    EXPECT_EQ(font->tab_width, 4u);
    EXPECT_TRUE(font->StyleExists(0));
    EXPECT_TRUE(font->StyleExists(1));
    EXPECT_FALSE(font->StyleExists(2));
    EXPECT_EQ(font->styles[0].trailer[0], 12u);
    const FontGlyph& a = font->Glyph(0, 'a');
    EXPECT_EQ(a.width, 4);
    EXPECT_EQ(a.height, 6);
    EXPECT_EQ(a.x_offset, -1);
    EXPECT_EQ(a.y_offset, -7);
    EXPECT_TRUE(a.alpha.empty());  // bitmaps live only in the pages
    EXPECT_EQ(font->Advance(0, 'A', 'V'), 4);
    EXPECT_EQ(font->Advance(0, 'A', 'W'), 6);
    EXPECT_EQ(font->Advance(1, 'A', 'W'), 8);
    // A missing style draws with the first existing one.
    EXPECT_EQ(font->EffectiveStyle(3), 0);
    // Every glyph's pixels are in its page.
    const AtlasPage& page = font->pages.at(a.atlas.page);
    const bool turned = a.atlas.flags & kAtlasRotated;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const int px = turned ? a.atlas.x + y : a.atlas.x + x;
            const int py = turned ? a.atlas.y + x : a.atlas.y + y;
            EXPECT_EQ(page.pixels[size_t(py) * page.width + px], u8('a' + 16 * y + x));
        }
}

TEST(InterfaceFontTest, TallGlyphsAreStoredTurned) {
    FontSpec spec;
    spec.size = [](int, int code) {
        return code == 'l' ? std::make_pair<u16, u16>(2, 9) : std::make_pair<u16, u16>(0, 0);
    };
    const auto font = spec.Parse();
    ASSERT_TRUE(font);
    const FontGlyph& l = font->Glyph(0, 'l');
    EXPECT_TRUE(l.atlas.flags & kAtlasRotated);
    EXPECT_EQ(l.atlas.width, 9);  // stored size
    EXPECT_EQ(l.width, 2);        // drawn size
    const AtlasPage& page = font->pages.at(l.atlas.page);
    EXPECT_EQ(page.pixels[size_t(l.atlas.y + 1) * page.width + l.atlas.x + 8], u8('l' + 16 * 8 + 1));
    // Its quad stands upright at pen + offset and reads the page turned: the
    // glyph's top-right corner is the stored bottom-left.
    ImageQuad q;
    ASSERT_TRUE(MakeGlyphQuad(*font, PlacedGlyph{20, 30, 'l', 0}, &q));
    EXPECT_EQ(q.dest, (Rect{19, 23, 21, 32}));
    EXPECT_FLOAT_EQ(q.s[1], l.atlas.x);
    EXPECT_FLOAT_EQ(q.t[1], l.atlas.y + 2);
    EXPECT_FLOAT_EQ(q.s[3], l.atlas.x + 9);
    EXPECT_FALSE(MakeGlyphQuad(*font, PlacedGlyph{0, 0, 'a', 0}, &q));  // no bitmap in this font
}

TEST(InterfaceFontTest, RefusesShortCorruptAndStylelessFiles) {
    FontSpec spec;
    const auto good = spec.Bytes();
    const u64 style_size = (good.size() - 16) / 4;
    struct Case {
        const char* name;
        std::vector<u8> bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"header cut", std::vector<u8>(good.begin(), good.begin() + 15)},
        {"advances cut", std::vector<u8>(good.begin(), good.begin() + 16 + 8 + 100)},
        {"last trailer cut", std::vector<u8>(good.begin(), good.end() - 1)},
        {"second style cut", std::vector<u8>(good.begin(), good.begin() + 16 + style_size + 5000)},
    };
    // A glyph claiming a 65535 x 65535 bitmap.
    std::vector<u8> huge = good;
    huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
    cases.push_back({"bitmap larger than the file", huge});
    FontSpec none;
    for (bool& e : none.style_exists) e = false;
    cases.push_back({"no style", none.Bytes()});
    // Header metrics no font can have: layout arithmetic would overflow.
    const char* metric_names[4] = {"ascent", "second metric", "line spacing", "tab width"};
    for (int word : {0, 2, 3}) {
        FontSpec absurd;
        absurd.header[word] = 0x7FFFFFF0u;
        cases.push_back({metric_names[word], absurd.Bytes()});
    }
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(ParseFont(c.bytes.data(), c.bytes.size(), &error), nullptr) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
    pirn_test::TempDir dir;
    EXPECT_EQ(LoadFont(dir.file("missing.pirnfont")), nullptr);
    pirn_test::WriteAll(dir.file("good.pirnfont"), good);
    EXPECT_NE(LoadFont(dir.file("good.pirnfont")), nullptr);
}

class TextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = spec_.Parse();
        ASSERT_TRUE(font_);
    }
    std::vector<PlacedGlyph> Layout(const std::string& text, u32 flags, const Rect& rect, i32* widest = nullptr) {
        TextLayout layout;
        const i32 w = LayoutText(font_.get(), text, 0, flags, rect, &layout);
        if (widest) *widest = w;
        return layout.glyphs;
    }
    FontSpec spec_;
    std::unique_ptr<InterfaceFont> font_;
};

TEST_F(TextLayoutTest, InlineStyleSwitches) {
    const auto glyphs = Layout("|Bab|pcd", 0, Rect{0, 0, 200, 50});
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].style, 1);
    EXPECT_EQ(glyphs[1].x, 8);  // bold advance
    EXPECT_EQ(glyphs[2].style, 0);
    EXPECT_EQ(glyphs[2].x, 16);
    EXPECT_EQ(glyphs[3].x, 22);
    EXPECT_EQ(glyphs[0].y, 10);  // the ascent
    // "|" before any other letter is an ordinary character; a switch to a
    // missing style is ignored.
    EXPECT_EQ(TextWidth(*font_, "|x", 0, 0), 12);
    EXPECT_EQ(TextWidth(*font_, "|ia|bb", 0, 0), 6 + 8);
}

TEST_F(TextLayoutTest, KerningTabsAndControlCharacters) {
    EXPECT_EQ(TextWidth(*font_, "AV", 0, 0), 4 + 6);
    EXPECT_EQ(TextWidth(*font_, "VA", 0, 0), 12);
    // A tab at x = 0 advances a full tab width (4 spaces of 6).
    EXPECT_EQ(TextWidth(*font_, "\t", 0, 0), 24);
    EXPECT_EQ(TextWidth(*font_, "a\tb", 0, 0), 24 + 6);
    EXPECT_EQ(TextWidth(*font_, "a\x01" "b", 0, 0), 18);  // control characters count as spaces

    FontSpec no_tab = spec_;
    no_tab.header[3] = 0;  // a tab width of 0 uses one space
    const auto font = no_tab.Parse();
    EXPECT_EQ(TextWidth(*font, "\t", 0, 0), 6);
    EXPECT_EQ(TextWidth(*font, "a\t", 0, 0), 12);
}

TEST_F(TextLayoutTest, LineBreaksAndWrapping) {
    // Without multi-line, text stops at the first break.
    EXPECT_EQ(TextWidth(*font_, "ab\nabcd", 0, 0), 12);
    EXPECT_EQ(TextWidth(*font_, "ab\r\nabcd", 0, kTextMultiLine), 24);
    EXPECT_EQ(WrappedLineCount(*font_, "ab\r\ncd", 0, 0, 100), 2);  // CR LF is one break

    struct Case {
        const char* text;
        i32 width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"abcd efgh", 40, {"abcd", "efgh"}},          // breaks after the space, which goes
        {"abcdefgh", 30, {"abcde", "fgh"}},           // no space: inside the word
        {"ab cdefghij", 30, {"ab", "cdefg", "hij"}},
        {"abcd efgh", 5, {"a", "b", "c", "d", "e", "f", "g", "h"}},  // a character wider than the width
        {"ab\ncd ef", 100, {"ab", "cd ef"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        size_t pos = 0;
        int style = 0;
        const std::string text = c.text;
        for (int guard = 0; guard < 20; ++guard) {
            const TextLine line = BreakLine(*font_, text, kTextWrap, c.width, pos, style);
            std::string s = text.substr(line.start, line.end - line.start);
            if (!s.empty() && s[0] == ' ') s.erase(0, 1);  // only the wide-character case keeps the space
            if (!s.empty()) lines.push_back(s);
            if (!line.more) break;
            pos = line.next;
            style = line.style_out;
        }
        EXPECT_EQ(lines, c.lines) << c.text;
    }
    EXPECT_EQ(TextHeight(*font_, "abcd efgh", 0, 0, 40), 2 * (12 + 2));
}

TEST_F(TextLayoutTest, CharacterUnderAnXOffset) {
    // Characters of 6: middles at 3, 9, 15.
    const std::string text = "abc";
    struct Case {
        i32 x;
        size_t index;
    };
    const Case cases[] = {{-5, 0}, {0, 0}, {3, 0}, {4, 1}, {9, 1}, {10, 2}, {17, 3}, {18, 3}, {500, 3}};
    for (const Case& c : cases) EXPECT_EQ(CharIndexAtX(*font_, text, 0, c.x), c.index) << c.x;
    // Style codes are characters of no width.
    EXPECT_EQ(CharIndexAtX(*font_, "a|bb", 0, 7), 3u);
    EXPECT_EQ(CharIndexAtX(*font_, "a|bb", 0, 11), 4u);
    EXPECT_EQ(OffsetOfIndex(*font_, "a|bb", 0, 3), 6);
    EXPECT_EQ(OffsetOfIndex(*font_, "a|bb", 0, 4), 14);
}

TEST_F(TextLayoutTest, AlignmentAndVerticalPlacement) {
    i32 widest = 0;
    auto g = Layout("ab", kTextCenter, Rect{0, 0, 100, 50}, &widest);
    EXPECT_EQ(widest, 12);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].x, 44);
    g = Layout("ab", kTextRight, Rect{10, 0, 110, 50});
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].x, 98);
    g = Layout("ab", kTextCenterVertically, Rect{0, 0, 100, 40});
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].y, 10 + 14);  // (40 - 12) / 2 further down
    g = Layout("ab", kTextCenterVertically, Rect{0, 0, 100, 11});
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].y, 10);  // never moved up
    // A rectangle too short for the first baseline shows nothing.
    EXPECT_TRUE(Layout("ab", 0, Rect{0, 0, 100, 9}).empty());
    // Lines stop once a baseline passes the bottom: baselines at 10, 24, 38.
    g = Layout("a\nb\nc", kTextMultiLine, Rect{0, 0, 100, 30});
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[1].y, 24);
    EXPECT_EQ(Layout("ab", kTextNothing, Rect{0, 0, 100, 50}).size(), 0u);
    EXPECT_EQ(LayoutText(font_.get(), "ab", 0, 0, Rect{0, 0, 0, 50}, nullptr), 0);
    EXPECT_EQ(LayoutText(nullptr, "ab", 0, 0, Rect{0, 0, 10, 50}, nullptr), 0);
}

// The font the build generates from DejaVu, when this build has it (the
// 32-bit build borrows the 64-bit build's).
std::string GeneratedFontPath() { return pirn_test::GeneratedResource("orvane.pirnfont"); }

TEST(GeneratedFontTest, FourStylesKerningAndLayout) {
    const std::string path = GeneratedFontPath();
    if (path.empty()) GTEST_SKIP() << "no generated font in this build";
    std::string error;
    const auto font = LoadFont(path, &error);
    ASSERT_TRUE(font) << error;
    for (int s = 0; s < 4; ++s) EXPECT_TRUE(font->StyleExists(s)) << s;
    EXPECT_GT(font->line_spacing, font->ascent);
    EXPECT_GT(font->tab_width, 0u);
    // Every printable ASCII letter has a bitmap in every style, and bold is
    // wider than plain.
    for (int s = 0; s < 4; ++s)
        for (int c = 'A'; c <= 'z'; ++c)
            if (std::isalnum(c)) {
                EXPECT_GT(font->Glyph(s, u8(c)).width, 0) << s << " " << char(c);
            }
    EXPECT_GT(TextWidth(*font, "|bHello", 0, 0), TextWidth(*font, "Hello", 0, 0));
    // DejaVu kerns "AV" tighter than "AA".
    EXPECT_LT(font->Advance(0, 'A', 'V'), font->Advance(0, 'A', 'A'));
    // Mac Roman bullet (0xA5) and degree (0xA1) have glyphs.
    EXPECT_GT(font->Glyph(0, 0xA5).width, 0);
    EXPECT_GT(font->Glyph(0, 0xA1).width, 0);
    // Wrapping a sentence keeps every line within the width.
    const std::string text = "The quick brown fox jumps over the lazy dog again and again.";
    size_t pos = 0;
    int style = 0;
    int lines = 0;
    for (;;) {
        const TextLine line = BreakLine(*font, text, kTextWrap, 90, pos, style);
        EXPECT_LE(line.width, 90);
        ++lines;
        if (!line.more) break;
        pos = line.next;
        style = line.style_out;
    }
    EXPECT_GT(lines, 3);
}

}  // namespace
}  // namespace pirn
