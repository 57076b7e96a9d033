#pragma once
// The draw target of a running program: skin painters and the texture-pack
// queue draw with immediate-mode GL.

#include "ui/draw_target.h"

namespace pirn {

class GlDrawTarget : public DrawTarget {
public:
    void SetColor(u32 rgba) override;
    void FillRect(const Rect& rect) override;
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override;
};

// Installs one process-wide GL target (call once the GL context exists).
void InstallGlDrawTarget();

struct ImageQuad;
// The vertices of one textured quad inside glBegin(GL_QUADS): page pixels
// scaled by (sw, sh) to texture coordinates, the quad shifted by (dx, dy).
void EmitImageQuad(const ImageQuad& quad, float sw, float sh, i32 dx = 0, i32 dy = 0);

}  // namespace pirn
