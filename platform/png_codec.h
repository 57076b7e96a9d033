#pragma once
// PNG through libpng: 8 bits per channel only (grey, RGB, palette, RGBA).

#include <cstddef>
#include <cstdio>

#include "platform/pixel_image.h"

namespace pirn {

struct PngHeader {
    u32 width = 0;
    u32 height = 0;
    int bit_depth = 0;
    int color_type = 0;
    int interlace = 0;
};

// The signature and the IHDR chunk: the first 33 bytes of a file.
constexpr size_t kPngHeaderBytes = 8 + 8 + 13 + 4;
// Checks the signature and IHDR (fields and CRC) from the file's first
// bytes; later chunks are checked by ReadPng.
bool ParsePngHeader(const u8* bytes, size_t length, PngHeader* header);
// The same, read from the start of the stream.
bool ReadPngHeader(std::FILE* stream, PngHeader* header);
// Grey -> 6406, RGB -> 6407, palette -> 6400 with its palette, RGBA ->
// 6408; interlaced files are de-interlaced. Other depths and grey with
// alpha fail, as does any damaged chunk.
bool ReadPng(std::FILE* stream, PixelImage* image);
// 6400 as palette, 6406 grey, 6407 RGB, 6408 RGBA; 8 bits, no interlace.
bool WritePng(std::FILE* stream, const PixelImage& image);

}  // namespace pirn
