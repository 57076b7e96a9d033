#include "platform/os/image_texture.h"

#include <GL/gl.h>

#include "platform/pixel_convert.h"

namespace pirn {

u32 ImageFileToTexture(ImageFile* file) {
    if (file == nullptr || !LoadImageFile(file) || file->kind != kKindImage) return 0;
    PixelImage pixels;
    if (!PrepareTexturePixels(file->image, &pixels) || !HasWholePixels(pixels)) return 0;
    const GLenum format = static_cast<GLenum>(pixels.format);  // GL_ALPHA, GL_RGB or GL_RGBA

    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(pixels.width),
                 static_cast<GLsizei>(pixels.height), 0, format, GL_UNSIGNED_BYTE, pixels.pixels.data());
    const bool uploaded = glGetError() == GL_NO_ERROR;
    glPopClientAttrib();
    glPopAttrib();
    if (!uploaded) {
        // Too large for the driver, say: no half-made texture is handed out.
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

}  // namespace pirn
