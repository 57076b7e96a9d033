// Interface text: DrawText glyphs per second against the same glyph quads
// drawn in one begin/end; layout-only characters per second against a bare
// advance sum over the same text; the atlas packer's fill ratio on the font's
// glyphs and on the skin's images. Run under Xvfb (scripts/bench).

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "ui/gl/draw_text.h"
#include "ui/interface_font.h"
#include "ui/text_layout.h"
#include "ui/texture_pack.h"

namespace {

using namespace pirn;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

std::string SampleText() {
    std::string text;
    const char* words[] = {"The", "|bquick|p", "brown", "fox", "jumps", "over", "the", "|ilazy|p", "dog;",
                           "AV", "Wa", "To", "kerning", "pairs", "and\ttabs", "in", "every", "line."};
    for (int i = 0; text.size() < 4000; ++i) {
        text += words[i % 18];
        text += (i % 23 == 22) ? "\n" : " ";
    }
    return text;
}

// Fraction of the pages' area that holds glyph pixels.
double FontFill(const InterfaceFont& font, size_t* pages, int* page_w, int* page_h) {
    double used = 0, total = 0;
    for (const FontStyle& s : font.styles)
        for (const FontGlyph& g : s.glyphs) used += double(g.width) * g.height;
    for (const AtlasPage& p : font.pages) total += double(p.width) * p.height;
    *pages = font.pages.size();
    *page_w = font.pages.empty() ? 0 : font.pages[0].width;
    *page_h = font.pages.empty() ? 0 : font.pages[0].height;
    return total > 0 ? used / total : 0;
}

double PackFill(const TexturePack& pack) {
    double used = 0, total = 0;
    for (const auto& im : pack.images) used += double(im->Width()) * im->Height();
    for (const AtlasPage& p : pack.pages) total += double(p.width) * p.height;
    return total > 0 ? used / total : 0;
}

}  // namespace

int main() {
    const std::string font_path = std::string(PIRN_RUN_RES_DIR) + "/orvane.pirnfont";
    std::string error;
    auto font = LoadFont(font_path, &error);
    if (!font) {
        std::fprintf(stderr, "ui_text_bench: %s\n", error.c_str());
        return 1;
    }
    const std::string text = SampleText();
    const Rect rect{0, 0, 1000, 100000};

    // Layout only.
    size_t glyph_count = 0;
    {
        TextLayout layout;
        LayoutText(font.get(), text, 0, kTextWrap, rect, &layout);
        glyph_count = layout.glyphs.size();
        const int rounds = 400;
        auto t0 = Clock::now();
        i32 sink = 0;
        for (int r = 0; r < rounds; ++r) sink += LayoutText(font.get(), text, 0, kTextWrap, rect, &layout);
        auto t1 = Clock::now();
        for (int r = 0; r < rounds; ++r)
            for (size_t i = 0; i < text.size(); ++i)
                sink += font->Advance(0, u8(text[i]), u8(i + 1 < text.size() ? text[i + 1] : 0));
        auto t2 = Clock::now();
        const double chars = double(text.size()) * rounds;
        const double layout_rate = chars / Seconds(t0, t1);
        const double sum_rate = chars / Seconds(t1, t2);
        std::printf("layout only (wrapped, styles, tabs): %.1f M chars/s; bare advance sum %.1f M chars/s; "
                    "ratio %.2f (sink %d)\n",
                    layout_rate / 1e6, sum_rate / 1e6, layout_rate / sum_rate, int(sink & 1));
    }

    // Atlas fill.
    {
        size_t pages = 0;
        int w = 0, h = 0;
        const double fill = FontFill(*font, &pages, &w, &h);
        std::printf("atlas fill, font glyphs: %.1f%% of %zu page(s) of %d x %d\n", fill * 100, pages, w, h);
        auto pack = CreateTexturePack();
        if (LoadTexturePack(*pack, std::string(PIRN_RUN_RES_DIR) + "/texturepack") &&
            BuildTexturePackPages(*pack))
            std::printf("atlas fill, skin images: %.1f%% of %zu page(s) of %d x %d\n", PackFill(*pack) * 100,
                        pack->pages.size(), pack->pages[0].width, pack->pages[0].height);
    }

    // Drawing.
    if (!OsInit() || !OsSetWindow(1024, 768, "ui_text_bench", 0, 0)) {
        std::fprintf(stderr, "ui_text_bench: no GL window (run under Xvfb); drawing skipped\n");
        return 0;
    }
    PirnGL_Init();
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 768, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4ub(0, 0, 0, 255);
    const Rect screen{0, 0, 1024, 768};
    TextLayout layout;
    LayoutText(font.get(), text, 0, kTextWrap, screen, &layout);
    const size_t drawn = layout.glyphs.size();
    DrawText(font.get(), text, 0, kTextWrap, screen);  // uploads the page
    glFinish();

    const int rounds = 200;
    auto t0 = Clock::now();
    for (int r = 0; r < rounds; ++r) DrawText(font.get(), text, 0, kTextWrap, screen);
    glFinish();
    auto t1 = Clock::now();

    // Reference: the same quads, precomputed, in one begin/end.
    std::vector<ImageQuad> quads;
    for (const PlacedGlyph& g : layout.glyphs) {
        ImageQuad q;
        if (MakeGlyphQuad(*font, g, &q)) quads.push_back(q);
    }
    const float sw = 1.0f / font->pages[0].width, sh = 1.0f / font->pages[0].height;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, font->pages[0].texture);
    glFinish();
    auto t2 = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        glBegin(GL_QUADS);
        for (const ImageQuad& q : quads) {
            const GLint xs[4] = {q.dest.left, q.dest.right, q.dest.right, q.dest.left};
            const GLint ys[4] = {q.dest.top, q.dest.top, q.dest.bottom, q.dest.bottom};
            for (int i = 0; i < 4; ++i) {
                glTexCoord2f(q.s[i] * sw, q.t[i] * sh);
                glVertex2i(xs[i], ys[i]);
            }
        }
        glEnd();
    }
    glFinish();
    auto t3 = Clock::now();
    const double draw_rate = double(drawn) * rounds / Seconds(t0, t1);
    const double ref_rate = double(quads.size()) * rounds / Seconds(t2, t3);
    std::printf("DrawText: %.2f M glyphs/s (%zu glyphs a call); same quads in one call %.2f M glyphs/s; ratio %.2f\n",
                draw_rate / 1e6, drawn, ref_rate / 1e6, draw_rate / ref_rate);
    std::printf("(layout glyphs per text: %zu)\n", glyph_count);
    OsTerminate();
    return 0;
}
