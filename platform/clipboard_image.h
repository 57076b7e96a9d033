#pragma once
// Clipboard pictures: 24-bit RGB in memory, PNG or BMP bytes on the desktop
// clipboard, so other programs can paste what the program copies and the
// other way round. Decoding refuses any picture whose header does not match
// the bytes it came with.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// RGB bytes, rows top-down and tightly packed: width x height x 3.
struct ClipboardImage {
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> rgb;
};

// The data types offered and understood, best first.
extern const char* const kClipboardPngType;  // "image/png"
extern const char* const kClipboardBmpType;  // "image/bmp"
// True for the types DecodeClipboardImage reads (BMP also under its older
// names "image/x-bmp" and "image/x-MS-bmp").
bool IsClipboardImageType(const std::string& type);

// PNG (RGB, 8 bits) or a 24-bit bottom-up BMP. False for another type, an
// empty picture or pixels of the wrong size.
bool EncodeClipboardImage(const std::string& type, const u8* rgb, u32 width, u32 height,
                          std::vector<u8>* bytes);
// Any 8-bit PNG, or a BMP of 8, 24 or 32 bits, becomes RGB (palettes looked
// up, grey spread to the three channels, alpha dropped). False for anything
// damaged, truncated or of another type.
bool DecodeClipboardImage(const std::string& type, const u8* bytes, std::size_t size,
                          ClipboardImage* image);

// Copies 24-bit rows in reverse row order exchanging bytes 0 and 2 of each
// pixel (RGB top-down <-> BGR bottom-up); a padded side's rows are rounded up
// to 4 bytes, padding written as zero.
void ConvertDibRows(u8* destination, const u8* source, u32 width, u32 height, bool source_padded,
                    bool destination_padded);

}  // namespace pirn
