#pragma once
// Clipboard pictures as device-independent bitmaps (the Windows clipboard's
// CF_DIB): a 40-byte BITMAPINFOHEADER, then rows bottom-up in BGR order,
// each padded to 4 bytes. Pure byte work, so both directions are testable
// on any platform.

#include <cstddef>
#include <vector>

#include "platform/clipboard_image.h"
#include "platform/types.h"

namespace pirn {

constexpr std::size_t kDibHeaderBytes = 40;
// Pictures above this many RGB bytes are refused both ways.
constexpr u64 kLargestClipboardDibRgb = u64(256) << 20;

// A 24-bit uncompressed DIB with a positive height (rows bottom-up) and every
// other header field 0. False for an empty or oversized picture.
bool EncodeClipboardDib(const u8* rgb, u32 width, u32 height, std::vector<u8>* dib);

// Reads a DIB of 8 (palette), 24 or 32 bits, uncompressed, or 32 bits with
// the standard BGR bit fields; bottom-up or top-down. The rows start after
// the header, the bit-field masks and the palette. False for anything else,
// for a header that does not fit its bytes, and for a palette index beyond
// the palette.
bool DecodeClipboardDib(const u8* bytes, std::size_t size, ClipboardImage* image);

}  // namespace pirn
