#pragma once
// TIFF through libtiff, over our own stream procedures: 8 bits per sample,
// strips with contiguous samples.

#include <cstdio>

#include "platform/pixel_image.h"

namespace pirn {

// Opens the stream as TIFF and reads the first directory.
bool ReadTiffHeader(std::FILE* stream);
// Min-is-black -> 6406, RGB with 3 or 4 samples -> 6407 / 6408, palette ->
// 6400 (colour map value x 255 / 65535). Tiled or planar files and every
// other layout fail.
bool ReadTiff(std::FILE* stream, PixelImage* image);
// Deflate, contiguous, 8 bits per sample, one scanline at a time.
bool WriteTiff(std::FILE* stream, const PixelImage& image);

}  // namespace pirn
