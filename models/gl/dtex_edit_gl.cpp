#include "models/gl/dtex_edit_gl.h"

#include <GL/gl.h>

#include "models/ui/dtex_edit_drawer.h"
#include "platform/os/gl_texture.h"
#include "ui/texture_pack.h"

namespace pirn {

namespace {

void ReleaseDtexTexture(GlTexture* texture) { ReleaseTexture(texture); }

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
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4ub(255, 255, 255, 255);
    BindTexture(&texture);
    DrawTexture(&texture, 0, x, y, 0, 0, 0, 0, 0, 0);
    glPopAttrib();
}

void InstallDtexEditGl() {
    SetDtexTextureDrawer(DrawDtexEditTexture);
    SetDtexTextureReleaser(ReleaseDtexTexture);
}

}  // namespace pirn
