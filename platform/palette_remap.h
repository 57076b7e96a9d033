#pragma once
// Mapping true-colour pictures onto palettes: error diffusion and the
// palettes shared by several images.

#include <vector>

#include "platform/palette_index.h"
#include "platform/pixel_image.h"

namespace pirn {

// Maps the image onto palette entries first .. first + count - 1 with
// error diffusion (21/64 right, 9/64 below-left, 15/64 below, 3/64
// below-right). format is 6400 or 6666 (alpha kept). The result's palette is
// the given one up to first + count - 1, the rest zero. `index` must have
// been built over the same entries.
bool DitherToPalette(PixelImage* image, u32 format, const u8* palette, u32 first, u32 count,
                     const PaletteIndex& index);

// Quantises the opaque colours of every image into entries first .. max - 1
// (max at most 256). Returns the number of colours written.
u32 BuildImagesPalette(const std::vector<PixelImage*>& images, u8* palette, u32 first, u32 max);

// Entry 0 = (0, 0, 255), entry 1 = (255, 0, 255), entries from 2 quantised
// from all images; then every image is remapped onto entries 2 onward.
// Returns the palette size.
u32 BuildSharedPalette(const std::vector<PixelImage*>& images, i32 format, u8* palette);

// Converts every image by DitherToPalette onto entries first .. first +
// count - 1, in `format` or, for -1, IndexAlpha for images with alpha and
// paletted for the others.
bool RemapImagesToPalette(const std::vector<PixelImage*>& images, i32 format, const u8* palette, u32 count,
                          u32 first);

}  // namespace pirn
