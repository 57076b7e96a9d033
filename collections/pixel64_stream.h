#pragma once
// The byte stream of the 64-bit pixel form. A pixel is 8 bytes p0-p7 whose
// p3 is the code byte (alpha in its low five bits). The stream opens with a
// count of all-zero pixels, then carries single pixels: the code, then p2,
// p1, p0 when code % 32 is non-zero, then p6, p5, p4, p7 when p2 is odd.
// After a code whose value % 32 is 0 or 31 a count of followers comes: for
// 31 each brings its own bytes, for 0 they are all-zero pixels. The writer
// ends with a zero byte.

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Fills pixel_count x 8 bytes (every byte written) from the stream. Counts
// reaching past the last pixel are cut there. False when the stream ends
// before every pixel is produced.
bool DecodePixel64Stream(const u8* stream, size_t size, u8* pixels, size_t pixel_count);

// The most bytes EncodePixel64Stream may touch for pixel_count pixels (its
// stream plus room for whole-word stores past the end).
u64 Pixel64StreamBound(size_t pixel_count);
// Writes the stream of pixel_count pixels at out, which has room for
// Pixel64StreamBound bytes; returns the end of the stream. Followers are
// counted only where they decode as they would on their own: after a code
// of 31 (mod 32) those with the same code, after code 0 those with code 0,
// after the other codes of alpha 0 none (followers of those decode as zero).
u8* EncodePixel64Stream(const u8* pixels, size_t pixel_count, u8* out);
// The same, appended to a vector.
void EncodePixel64Stream(const u8* pixels, size_t pixel_count, std::vector<u8>* out);

}  // namespace pirn
