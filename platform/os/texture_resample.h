#pragma once
// Stretching a picture to power-of-two sides for drivers that take no other
// texture sizes. Done here rather than by the GL utility library, whose
// scaler drops the last row or column when the other side keeps its size.

#include <vector>

#include "platform/types.h"

namespace pirn {

// Bilinear stretch of width x height pixels of `components` bytes each
// (rows tightly packed) to NextPowerOfTwo(width) x NextPowerOfTwo(height).
// Samples outside the picture take the nearest edge pixel, so the corner
// pixels come through unchanged. False (out untouched) for an empty
// picture or one whose stretched size would pass kMaxImageBytes.
bool ResampleToPowerOfTwo(const u8* pixels, u32 components, u32 width, u32 height, std::vector<u8>* out,
                          u32* outWidth, u32* outHeight);

}  // namespace pirn
