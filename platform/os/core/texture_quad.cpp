#include "platform/os/texture_quad.h"

#include <utility>

namespace pirn {

TextureQuad ComputeTextureQuad(u32 glWidth, u32 glHeight, u32 imageWidth, u32 imageHeight,
                               u32 flags, int x, int y, int w, int h, int sourceX, int sourceY,
                               int sourceW, int sourceH) {
    TextureQuad quad;
    if (glWidth == 0 || glHeight == 0) return quad;
    // A record adopted with no image size would divide by zero below; it
    // is drawn as if the image were the texture itself.
    if (imageWidth == 0) imageWidth = glWidth;
    if (imageHeight == 0) imageHeight = glHeight;

    const double fx = static_cast<double>(glWidth) / imageWidth;
    const double fy = static_cast<double>(glHeight) / imageHeight;
    const double left = sourceX * fx;
    const double top = sourceY * fy;
    const double width = sourceW ? sourceW * fx : static_cast<double>(glWidth);
    const double height = sourceH ? sourceH * fy : static_cast<double>(glHeight);

    quad.uLeft = static_cast<float>(left / glWidth);
    quad.uRight = static_cast<float>((left + width) / glWidth);
    quad.vTop = static_cast<float>(top / glHeight);
    quad.vBottom = static_cast<float>((top + height) / glHeight);
    if (flags & 2) std::swap(quad.uLeft, quad.uRight);
    if (flags & 1) std::swap(quad.vTop, quad.vBottom);

    if (w == 0) w = static_cast<int>(imageWidth);
    if (h == 0) h = static_cast<int>(imageHeight);
    quad.x0 = x;
    quad.y0 = y;
    quad.x1 = x + w;
    quad.y1 = y + h;
    quad.drawn = true;
    return quad;
}

bool TextureNeedsRescale(u32 width, u32 height, bool npotSupported) {
    if (npotSupported) return false;
    auto isPowerOfTwo = [](u32 v) { return v != 0 && (v & (v - 1)) == 0; };
    return !isPowerOfTwo(width) || !isPowerOfTwo(height);
}

}  // namespace pirn
