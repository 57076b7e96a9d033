#pragma once
// Our own reader and writer of uncompressed Windows bitmaps (40-byte
// information header; 8, 24 and 32 bits per pixel).

#include <cstdio>

#include "platform/pixel_image.h"

namespace pirn {

struct BmpHeader {
    u32 file_size = 0;
    u32 data_offset = 0;
    u32 header_size = 0;
    i32 width = 0;
    i32 height = 0;
    u16 planes = 0;
    u16 bits_per_pixel = 0;
    u32 compression = 0;
    u32 image_size = 0;
    u32 colors_used = 0;
    u32 colors_important = 0;
    // Derived once the header is accepted.
    u32 palette_entries = 0;
    u64 row_bytes = 0;  // with padding
    bool bottom_up = false;
};

// Reads and checks both headers from the start of the stream. Besides the
// field rules, the palette must end at or before the data offset and the
// rows must fit in the stream.
bool ReadBmpHeader(std::FILE* stream, BmpHeader* header);
// Decodes palette and rows of an accepted header into 6400, 6407 or 6408.
bool ReadBmpPixels(std::FILE* stream, const BmpHeader& header, PixelImage* image);
bool ReadBmp(std::FILE* stream, PixelImage* image);

// 6400 and 6406 as 8 bits, 6407 as 24, 6408 as 32, bottom-up; other formats
// fail. Every write is checked.
bool WriteBmp(std::FILE* stream, const PixelImage& image);

}  // namespace pirn
