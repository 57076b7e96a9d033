#include "ui/gl/draw_text.h"

#include <GL/gl.h>

#include <vector>

#include "ui/gl/atlas_page_gl.h"
#include "ui/gl/gl_draw_target.h"

namespace pirn {

void DrawTextLayout(InterfaceFont* font, const TextLayout& layout, u32 flags) {
    if (!font || layout.glyphs.empty()) return;
    // Quads grouped by page so that each page is bound once.
    std::vector<std::vector<ImageQuad>> by_page(font->pages.size());
    for (const PlacedGlyph& g : layout.glyphs) {
        ImageQuad q;
        if (!MakeGlyphQuad(*font, g, &q)) continue;
        const u16 page = font->Glyph(g.style, g.code).atlas.page;
        if (page < by_page.size()) by_page[page].push_back(q);
    }

    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    for (size_t p = 0; p < by_page.size(); ++p) {
        if (by_page[p].empty()) continue;
        AtlasPage& page = font->pages[p];
        const u32 texture = EnsureAtlasPageTexture(page, AtlasPageKind::kAlphaLinear);
        if (!texture) continue;
        glBindTexture(GL_TEXTURE_2D, texture);
        const float sw = 1.0f / float(page.width);
        const float sh = 1.0f / float(page.height);
        if (flags & kTextShadow) {
            glColor4f(0, 0, 0, color[3]);
            glBegin(GL_QUADS);
            for (const ImageQuad& q : by_page[p]) EmitImageQuad(q, sw, sh, 1, 1);
            glEnd();
            glColor4fv(color);
        }
        glBegin(GL_QUADS);
        for (const ImageQuad& q : by_page[p]) EmitImageQuad(q, sw, sh);
        glEnd();
    }
    glPopAttrib();
}

i32 DrawText(InterfaceFont* font, std::string_view text, int style, u32 flags, const Rect& rect) {
    if (!font) return 0;
    if (flags & kTextMeasureOnly) return LayoutText(font, text, style, flags, rect, nullptr);
    TextLayout layout;
    const i32 widest = LayoutText(font, text, style, flags, rect, &layout);
    DrawTextLayout(font, layout, flags);
    return widest;
}

}  // namespace pirn
