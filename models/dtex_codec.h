#pragma once
// The lossless codec of detail-texture pixels (24-bit RGB, rows top-down,
// tightly packed). Stored form: a little-endian u32 length L, then L bytes
// of little-endian 32-bit words holding width (12 bits), height (12 bits),
// the predictor (2 bits), three Rice parameters per 8 x 8 block and the
// Rice-coded residuals, zero-padded, then one further zero word.

#include <cstdio>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Sides the 12-bit fields can hold.
constexpr u32 kDtexMaxSide = 4095;

// Encodes the pixels; `words` gets L / 4 words plus one spare. False for a
// side outside 1..4095 or no pixels.
bool EncodeDtexStream(const u8* pixels, u32 width, u32 height, std::vector<u32>* words, u32* byte_length);

// Decodes `word_count` words. False on a zero side, predictor 3, a value
// past 255 or a stream that ends before the last residual; nothing past
// word_count is read.
bool DecodeDtexStream(const u32* words, size_t word_count, std::vector<u8>* pixels, u32* width, u32* height);

// Writes L and the word stream; returns L + 4, 0 when a side is outside
// 1..4095 or a write fails.
u32 WriteDtexPixels(const u8* pixels, u32 width, u32 height, std::FILE* stream);

// Reads L (at least 4, a multiple of 4, and with its 4 bytes no more than
// `data_left`) and the stream, and decodes it. Returns L + 4, 0 on any
// failure (then the out-parameters are unchanged).
u32 ReadDtexPixels(std::vector<u8>* pixels, u32* width, u32* height, std::FILE* stream, u64 data_left);

// The same on bytes in memory (the length word first).
u32 DecodeDtexBytes(const u8* bytes, size_t size, std::vector<u8>* pixels, u32* width, u32* height);
void EncodeDtexBytes(const u8* pixels, u32 width, u32 height, std::vector<u8>* bytes);

}  // namespace pirn
