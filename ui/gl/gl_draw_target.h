#pragma once
// The draw target of a running program: skin painters, the texture-pack
// queue and run-time pictures draw with immediate-mode GL.

#include "ui/draw_target.h"
#include "ui/gl/pixel_image_textures.h"

namespace pirn {

class GlDrawTarget : public DrawTarget {
public:
    void SetColor(u32 rgba) override;
    void FillRect(const Rect& rect) override;
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override;
    // Uploads the picture on its first draw and keeps the texture for the
    // next ones (see PixelImageTextures for when it is made again).
    void DrawPixelImage(const PixelImage& image, const Rect& rect) override;
    void DrawMirroredPixelImage(const PixelImage& image, const Rect& rect, u32 mirror) override;
    void ForgetPixelImage(const PixelImage& image) override;

    // The textures of the pictures drawn so far; Clear() them before the GL
    // context goes.
    PixelImageTextures& pixelImageTextures() { return pixelImageTextures_; }

private:
    PixelImageTextures pixelImageTextures_;
};

// Installs one process-wide GL target (call once the GL context exists).
void InstallGlDrawTarget();
// Deletes the process-wide target's picture textures; before the GL
// context goes.
void ReleaseGlDrawTargetTextures();

struct ImageQuad;
// The vertices of one textured quad inside glBegin(GL_QUADS): page pixels
// scaled by (sw, sh) to texture coordinates, the quad shifted by (dx, dy).
void EmitImageQuad(const ImageQuad& quad, float sw, float sh, i32 dx = 0, i32 dy = 0);

}  // namespace pirn
