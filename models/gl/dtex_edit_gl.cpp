#include "models/gl/dtex_edit_gl.h"

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>

#include "models/ui/dtex_edit_drawer.h"
#include "platform/os/gl_texture.h"
#include "platform/os/pirn_gl.h"
#include "ui/texture_pack.h"

namespace pirn {

namespace {

#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif

// The editor shows one texel to a pixel, exactly; the shared texture keeps
// the mipmapped, anisotropic filtering the terrain views draw it with.
class ExactTexels {
public:
    ExactTexels() {
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        if (SupportsAnisotropy()) {
            glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy_);
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
        }
    }
    ~ExactTexels() {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag_);
        if (SupportsAnisotropy()) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy_);
    }
    ExactTexels(const ExactTexels&) = delete;
    ExactTexels& operator=(const ExactTexels&) = delete;

private:
    GLint min_ = GL_LINEAR;
    GLint mag_ = GL_LINEAR;
    GLfloat anisotropy_ = 1.0f;
};

}  // namespace

const GlTexture& EnsureDtexEditTexture(DtexTag* dtex) {
    if (!dtex->uploaded && !dtex->pixels.empty() &&
        dtex->pixels.size() == size_t(dtex->width) * dtex->height * 3) {
        dtex->uploaded = true;
        UploadTexture(&dtex->texture, dtex->pixels.data(), kGlRgb, dtex->width, dtex->height, 1, 1);
    }
    return dtex->texture;
}

void DrawDtexEditTexture(DtexTag* dtex, i32 x, i32 y) {
    const GlTexture& texture = EnsureDtexEditTexture(dtex);
    if (texture.name == 0) return;
    // The skin's images queued so far lie under the texture.
    FlushImageDraws(false);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const GlEntryPoints& gl = GetGlEntryPoints();
    if (gl.activeTexture) {
        gl.activeTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        gl.activeTexture(GL_TEXTURE0);
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4ub(255, 255, 255, 255);
    BindTexture(&texture);
    {
        ExactTexels exact;
        DrawTexture(&texture, 0, x, y, 0, 0, 0, 0, 0, 0);
    }
    glPopAttrib();
}

void InstallDtexEditGl() {
    SetDtexTextureDrawer(DrawDtexEditTexture);
    SetDtexTextureReleaser(ReleaseTexture);
}

}  // namespace pirn
