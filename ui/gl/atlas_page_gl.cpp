#include "ui/gl/atlas_page_gl.h"

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>

#include <vector>

#include "platform/os/gl_texture.h"

namespace pirn {

namespace {

void DeleteGlTexture(u32 texture) {
    GLuint name = texture;
    glDeleteTextures(1, &name);
}

}  // namespace

u32 EnsureAtlasPageTexture(AtlasPage& page, AtlasPageKind kind) {
    if (page.texture) return page.texture;
    const size_t bpp = kind == AtlasPageKind::kRgbaNearest ? 4 : 1;
    if (page.width <= 0 || page.height <= 0 ||
        page.pixels.size() != size_t(page.width) * size_t(page.height) * bpp)
        return 0;
    SetAtlasTextureReleaser(&DeleteGlTexture);
    GlTexture texture;
    UploadTexture(&texture, page.pixels.data(), bpp == 4 ? kGlRgba : kGlAlpha, u32(page.width),
                  u32(page.height), 0, 0);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    const GLint filter = kind == AtlasPageKind::kRgbaNearest ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    page.texture = texture.name;
    std::vector<u8>().swap(page.pixels);
    return page.texture;
}

}  // namespace pirn
