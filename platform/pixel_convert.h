#pragma once
// Conversions of a PixelImage between its pixel formats. Each returns false
// and leaves the image unchanged when the source cannot reach the target.

#include "platform/pixel_image.h"

namespace pirn {

// RGBA or IndexAlpha to their alpha byte.
bool ToAlphaFormat(PixelImage* image);
// IndexAlpha keeps its index byte; anything else is quantised to 256
// colours and dithered.
bool ToPalettedFormat(PixelImage* image);
// Paletted gains alpha 255; anything else is quantised and dithered with its
// alpha kept.
bool ToIndexAlphaFormat(PixelImage* image);
// Paletted to the palette's colours.
bool PalettedToRgb(PixelImage* image);
// RGB, paletted, alpha (as white) and IndexAlpha to RGBA.
bool ToRgbaFormat(PixelImage* image);

// In place to 6400, 6406, 6407, 6408 or 6666; the same format succeeds at
// once. Leaving a paletted format for one without palette frees the palette.
bool ConvertImageFormat(PixelImage* image, u32 format);
// Copies pixels and palette, then converts the copy.
bool CopyImageAs(PixelImage* to, const PixelImage& from, u32 format);

// The image in a form GL uploads directly: alpha, RGB and RGBA as they are,
// paletted expanded to RGB and IndexAlpha to RGBA. The result's format is
// the GL enumerant to upload with.
bool PrepareTexturePixels(const PixelImage& image, PixelImage* out);

}  // namespace pirn
