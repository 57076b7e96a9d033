#include "ui/gl/gl_draw_target.h"

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>

#include "platform/pixel_image.h"
#include "ui/gl/atlas_page_gl.h"
#include "ui/texture_pack.h"

namespace pirn {

void GlDrawTarget::SetColor(u32 rgba) {
    glColor4ub(GLubyte(rgba), GLubyte(rgba >> 8), GLubyte(rgba >> 16), GLubyte(rgba >> 24));
}

void GlDrawTarget::FillRect(const Rect& r) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glRecti(r.left, r.top, r.right, r.bottom);
    glPopAttrib();
}

void GlDrawTarget::DrawImages(const std::vector<QueuedImageDraw>& draws) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    std::vector<ImageQuad> quads;
    u32 bound = 0;
    for (const QueuedImageDraw& d : draws) {
        if (!d.pack || !d.image || d.image->atlas.page >= d.pack->pages.size()) continue;
        // Pages belong to the pack; the queue only borrows it.
        AtlasPage& page = const_cast<TexturePack*>(d.pack)->pages[d.image->atlas.page];
        const u32 texture = EnsureAtlasPageTexture(page, AtlasPageKind::kRgbaNearest);
        if (!texture) continue;
        if (texture != bound) {
            glBindTexture(GL_TEXTURE_2D, texture);
            bound = texture;
        }
        quads.clear();
        AppendImageQuads(d, quads);
        const float sw = 1.0f / float(page.width);
        const float sh = 1.0f / float(page.height);
        glBegin(GL_QUADS);
        for (const ImageQuad& q : quads) EmitImageQuad(q, sw, sh);
        glEnd();
    }
    glPopAttrib();
}

void GlDrawTarget::DrawPixelImage(const PixelImage& image, const Rect& r) { DrawMirroredPixelImage(image, r, 0); }

void GlDrawTarget::DrawMirroredPixelImage(const PixelImage& image, const Rect& r, u32 mirror) {
    if (r.IsEmpty()) return;
    const GlTexture* texture = pixelImageTextures_.Ensure(image);
    if (!texture) return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // The texture covers the whole image (stretched to powers of two where
    // the driver needs it), rows top-down like the screen's y; mirroring
    // swaps the texture's edges.
    const float s0 = (mirror & kMirrorHorizontal) ? 1.0f : 0.0f;
    const float t0 = (mirror & kMirrorVertical) ? 1.0f : 0.0f;
    const float s1 = 1.0f - s0;
    const float t1 = 1.0f - t0;
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2i(r.left, r.top);
    glTexCoord2f(s1, t0);
    glVertex2i(r.right, r.top);
    glTexCoord2f(s1, t1);
    glVertex2i(r.right, r.bottom);
    glTexCoord2f(s0, t1);
    glVertex2i(r.left, r.bottom);
    glEnd();
    glPopAttrib();
}

void GlDrawTarget::ForgetPixelImage(const PixelImage& image) { pixelImageTextures_.Forget(image); }

void EmitImageQuad(const ImageQuad& q, float sw, float sh, i32 dx, i32 dy) {
    const GLint xs[4] = {q.dest.left, q.dest.right, q.dest.right, q.dest.left};
    const GLint ys[4] = {q.dest.top, q.dest.top, q.dest.bottom, q.dest.bottom};
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(q.s[i] * sw, q.t[i] * sh);
        glVertex2i(xs[i] + dx, ys[i] + dy);
    }
}

namespace {

GlDrawTarget& ProcessTarget() {
    static GlDrawTarget target;
    return target;
}

}  // namespace

void InstallGlDrawTarget() { SetDrawTarget(&ProcessTarget()); }

void ReleaseGlDrawTargetTextures() { ProcessTarget().pixelImageTextures().Clear(); }

}  // namespace pirn
