#pragma once
// The geometry of drawing a texture as one quad, apart from GL so it can be
// checked without a context.

#include "platform/types.h"

namespace pirn {

struct TextureQuad {
    bool drawn = false;  // false: nothing to draw (empty texture)
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;                 // destination corners
    float uLeft = 0, uRight = 0, vTop = 0, vBottom = 0;  // texture coordinates
};

// glWidth/glHeight: the texture's level-0 size in GL; imageWidth/imageHeight:
// the size recorded in the GlTexture. An image size of 0 (a record set up
// without one) is taken as the GL size rather than divided by.
TextureQuad ComputeTextureQuad(u32 glWidth, u32 glHeight, u32 imageWidth, u32 imageHeight,
                               u32 flags, int x, int y, int w, int h, int sourceX, int sourceY,
                               int sourceW, int sourceH);

// Whether an upload must be rescaled to powers of two: a side that is zero
// or not a power of two on a driver without NPOT textures.
bool TextureNeedsRescale(u32 width, u32 height, bool npotSupported);

}  // namespace pirn
