#include "platform/os/gl_texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "platform/int_math.h"
#include "platform/os/pirn_gl.h"
#include "platform/os/texture_quad.h"
#include "platform/os/texture_resample.h"

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif
#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif
#ifndef GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT 0x84FF
#endif

namespace pirn {
namespace {

GLint ComponentsOf(u32 format) {
    switch (format) {
        case kGlAlpha: return 1;
        case kGlRgb:
        case kGlBgr: return 3;
        default: return 4;
    }
}

// The internal format: GL_ALPHA stays alpha-only, the others keep their
// component count.
GLint InternalFormatOf(u32 format) {
    switch (ComponentsOf(format)) {
        case 1: return GL_ALPHA;
        case 3: return GL_RGB;
        default: return GL_RGBA;
    }
}

}  // namespace

void UploadTexture(GlTexture* texture, const void* pixels, u32 format, u32 width, u32 height,
                   int mipmaps, int anisotropic) {
    if (!texture) return;
    ReleaseTexture(texture);
    texture->owned = 1;
    texture->width = width;
    texture->height = height;

    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Rows tightly packed, whatever width is uploaded (0: the upload's own).
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    GLuint name = 0;
    glGenTextures(1, &name);
    texture->name = name;
    glBindTexture(GL_TEXTURE_2D, name);

    const bool empty = width == 0 || height == 0;
    const bool rescale = TextureNeedsRescale(width, height, SupportsNpotTextures() != 0);
    const bool mipmapFilter = mipmaps || rescale;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // A rescaled texture with no pixels gets only its first level, so a
    // mipmap filter would leave it incomplete (it would draw as nothing once
    // filled); it gets a plain linear filter instead.
    const bool onlyFirstLevel = rescale && (!pixels || empty);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapFilter && !onlyFirstLevel ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    if (mipmaps && !rescale) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    if (anisotropic && SupportsAnisotropy()) {
        GLfloat largest = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, largest);
    }

    if (rescale && pixels && !empty) {
        // The mipmap builder would rescale to powers of two itself, but its
        // scaler drops the last row or column when the other side keeps its
        // size; it gets the picture already stretched. The internal format
        // goes by name: a bare component count of 1 would make an alpha mask
        // a grey texture with full alpha.
        std::vector<u8> stretched;
        u32 stretchedWidth = width, stretchedHeight = height;
        const void* source = pixels;
        if (ResampleToPowerOfTwo(static_cast<const u8*>(pixels), static_cast<u32>(ComponentsOf(format)), width,
                                 height, &stretched, &stretchedWidth, &stretchedHeight)) {
            source = stretched.data();
        }
        gluBuild2DMipmaps(GL_TEXTURE_2D, InternalFormatOf(format), static_cast<GLint>(stretchedWidth),
                          static_cast<GLint>(stretchedHeight), format, GL_UNSIGNED_BYTE, source);
    } else if (rescale) {
        glTexImage2D(GL_TEXTURE_2D, 0, InternalFormatOf(format),
                     static_cast<GLsizei>(NextPowerOfTwo(width)),
                     static_cast<GLsizei>(NextPowerOfTwo(height)), 0, format,
                     GL_UNSIGNED_BYTE, nullptr);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, InternalFormatOf(format), static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, pixels);
    }

    glPopClientAttrib();
    glPopAttrib();
}

void SetTexture(GlTexture* texture, u32 name, u32 width, u32 height, u32 owned) {
    if (!texture) return;
    if (texture->name != name) ReleaseTexture(texture);
    texture->name = name;
    texture->width = width;
    texture->height = height;
    texture->owned = owned;
}

void BindTexture(const GlTexture* texture) {
    glBindTexture(GL_TEXTURE_2D, texture ? texture->name : 0);
}

void DrawTexture(const GlTexture* texture, u32 flags, int x, int y, int w, int h, int sourceX,
                 int sourceY, int sourceW, int sourceH) {
    if (!texture) return;
    GLint glWidth = 0, glHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &glWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &glHeight);
    if (glWidth <= 0 || glHeight <= 0) return;
    TextureQuad quad = ComputeTextureQuad(static_cast<u32>(glWidth), static_cast<u32>(glHeight),
                                          texture->width, texture->height, flags, x, y, w, h,
                                          sourceX, sourceY, sourceW, sourceH);
    if (!quad.drawn) return;
    glBegin(GL_QUADS);
    glTexCoord2f(quad.uLeft, quad.vTop);
    glVertex2i(quad.x0, quad.y0);
    glTexCoord2f(quad.uRight, quad.vTop);
    glVertex2i(quad.x1, quad.y0);
    glTexCoord2f(quad.uRight, quad.vBottom);
    glVertex2i(quad.x1, quad.y1);
    glTexCoord2f(quad.uLeft, quad.vBottom);
    glVertex2i(quad.x0, quad.y1);
    glEnd();
}

void ReleaseTexture(GlTexture* texture) {
    if (!texture) return;
    if (texture->owned && texture->name) {
        GLuint name = texture->name;
        glDeleteTextures(1, &name);
    }
    texture->name = 0;
}

}  // namespace pirn
