#pragma once
// The stored form of one collection bitmap: a 52-byte BitmapHeader, an
// optional row table, then the pixels, row by row ("RAW") or as runs of
// non-transparent pixels per row ("RLE"), at 8 or 16 bits a pixel; or the
// 64-bit pixel form as its own byte stream (pixel64_stream.h).
//
// The decoder trusts nothing in the block: every size, row, run and count is
// checked against the block's length in 64-bit arithmetic, and a block that
// does not describe a bitmap decodes to null (the loader then shows its
// placeholder).

#include <cstdio>
#include <memory>
#include <vector>

#include "collections/byte_buffer.h"
#include "collections/collection.h"
#include "collections/collection_records.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kBitmapHeaderSize = 52;
// Longest side the stored header's i16 fields hold.
constexpr u32 kMaxStoredBitmapSide = 32767;

struct BitmapHeader {
    i16 width;
    i16 height;
    u16 bytes_per_row;  // recomputed on reading
    u16 flags;
    u16 bits_per_pixel;  // 8 or 16 for format 0, 64 for format 1
    u16 zero_a;
    u16 zero_b;
    u16 depth_shift;   // log2 of a stored format-0 pixel's bytes
    u16 pixel_format;  // 0 indexed, 1 64-bit; honoured only with 0x4000
    u8 reserved[34];
};
static_assert(sizeof(BitmapHeader) == kBitmapHeaderSize, "bitmap header is 52 bytes");

extern const StructLayout kBitmapHeaderLayout[];

// Flags as stored.
enum StoredBitmapFlag : u16 {
    kStoredRle = 0x0004,
    kStored16Bit = 0x0010,
    kStoredNoRowTable = 0x0020,
    kStoredRowPadding = 0x0040,
    kStoredShadow = 0x0080,
    kStoredAlphaFromTable = 0x0800,
    kStoredFormatValid = 0x4000,
    kStoredCarried = 0x8000,
};
// Every other stored bit is dropped on reading.
constexpr u16 kStoredFlagMask = 0xC8F4;

enum BitmapPixelFormat : u16 {
    kPixelFormatIndexed = 0,
    kPixelFormat64Bit = 1,
};

// Decodes a block of `size` bytes. The colour table (the colour-table record
// of the tag) gives the alpha of 8-bit pixels under flag 0x0800. With
// `blocks` the pixels are placed in them.
std::unique_ptr<CollectionBitmap> DecodeCollectionBitmapBytes(const u8* block, size_t size,
                                                              const ColorTableRecord& table,
                                                              PixelBlocks* blocks = nullptr);
// The pixel bytes decoding a block of `size` bytes would allocate, from its
// 52-byte header alone; 0 when the header already shows that the block does
// not decode.
u64 DecodedPixelBytes(const u8* header, u64 size);
// Reads the block with one read from the stream's position.
std::unique_ptr<CollectionBitmap> DecodeCollectionBitmap(std::FILE* stream, u32 size,
                                                         const ColorTableRecord& table);

// Whether the encoder can store the bitmap: sides 1-32767, 2 or 8 bytes a
// pixel, and exactly that many pixel bytes.
bool CanEncodeCollectionBitmap(const CollectionBitmap& bitmap);
// What a bitmap's block takes in most cases, for reserving room: at most
// twice its pixel bytes and a little per row (most blocks take far less).
u64 TypicalEncodedSize(const CollectionBitmap& bitmap);
// Appends the block (header, zero row table, data). False, with nothing
// appended, for a bitmap the encoder cannot store.
bool AppendCollectionBitmap(const CollectionBitmap& bitmap, ByteBuffer* out);
// Replaces `out` with the block. False for a bitmap the encoder cannot store.
bool EncodeCollectionBitmapBytes(const CollectionBitmap& bitmap, std::vector<u8>* out);
// Bytes written, 0 when the bitmap cannot be stored or a write fails.
u32 EncodeCollectionBitmap(std::FILE* stream, const CollectionBitmap& bitmap);

// 2-byte bitmaps: every alpha becomes (alpha / 16) x 17, a pixel of alpha 0
// index 0, and flag 16 tells whether some alpha is strictly between 0 and
// 255. Run after every decode and before every save.
void NormaliseBitmapAlpha(CollectionBitmap* bitmap);
// With flag 16: clears it and makes every alpha 255 for a non-zero index and
// 0 for index 0. Answers whether anything changed.
bool DropPartialAlpha(CollectionBitmap* bitmap);

}  // namespace pirn
