#include "collections/bitmap_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "collections/pixel64_stream.h"
#include "collections/pixel_pairs.h"

namespace pirn {

// 9 x u16, 34 zero bytes.
const StructLayout kBitmapHeaderLayout[] = {52, 9, kRunU16, 34, kRunZero8};

namespace {

u16 LoadU16(const u8* p) { return static_cast<u16>((p[0] << 8) | p[1]); }

// The stored format-0 pixel kinds, each converting stored pixels into
// alpha + index pairs. Narrow and wide pixels give normalised pairs (alpha a
// multiple of 17, index 0 where alpha is 0) and wide ones note whether some
// alpha is partial; alpha from the colour table still needs normalising.
struct NarrowPixels {
    static constexpr u32 kStoredBytes = 1;
    void Convert(const u8* source, u8* out, size_t count) { PairsFromNarrow(source, out, count); }
};

struct WidePixels {
    static constexpr u32 kStoredBytes = 2;
    bool partial = false;
    void Convert(const u8* source, u8* out, size_t count) { partial = PairsFromWide(source, out, count) || partial; }
};

// Under flag 0x0800 an 8-bit index takes the high byte of its colour's
// largest channel as alpha.
struct TablePixels {
    static constexpr u32 kStoredBytes = 1;
    u8 pairs[256][2];
    explicit TablePixels(const ColorTableRecord& table) {
        for (u32 i = 0; i < 256; ++i) {
            const u16* c = table.channels[i];
            pairs[i][0] = static_cast<u8>(std::max({c[0], c[1], c[2]}) >> 8);
            pairs[i][1] = static_cast<u8>(i);
        }
    }
    void Convert(const u8* source, u8* out, size_t count) { PairsFromNarrowTable(source, out, count, pairs); }
};

// Rows follow each other without padding, so the whole block converts in
// one go.
template <typename Pixels>
bool DecodeRaw(const u8* data, size_t size, const BitmapHeader& header, Pixels& convert, u8* pixels) {
    const u64 count = u64(header.width) * u64(header.height);
    if (count * Pixels::kStoredBytes > size) return false;
    convert.Convert(data, pixels, static_cast<size_t>(count));
    return true;
}

// Each row: u16 run count n, u16 pixel count p, n runs of u16 start and end
// (end exclusive, in order, inside the row, adding up to p), the pixel bytes
// of the runs, and a pad byte after an odd byte count with flag 0x0040.
template <typename Pixels>
bool DecodeRle(const u8* data, size_t size, const BitmapHeader& header, u16 flags, Pixels& convert, u8* pixels) {
    constexpr u32 stored = Pixels::kStoredBytes;
    const u32 width = static_cast<u32>(header.width);
    const bool padded = (flags & kStoredRowPadding) != 0;
    // The columns between runs are transparent. One fill of the whole
    // bitmap costs less than filling each gap: it brings the bitmap's
    // memory into the cache in one sweep.
    std::memset(pixels, 0, size_t{width} * 2 * static_cast<u32>(header.height));
    // Each row's start depends on the row before; the next start is worked
    // out first and with few steps, the checks after it.
    const u64 pad_bit = padded ? 1 : 0;
    u64 at = 0;
    u8* row = pixels;
    for (u32 y = 0; y < static_cast<u32>(header.height); ++y, row += 2 * size_t{width}) {
        // The last row's pad may be missing: `at` may stand one past the
        // end, but only after the last row.
        if (at + 4 > size) return false;
        const u32 head = StoredU32(data, static_cast<size_t>(at));
        const u32 runs = head >> 16, count = head & 0xFFFF;
        const u64 pixel_start = at + 4 + u64{runs} * 4;
        const u64 pixel_bytes = u64{count} * stored;
        const u64 next = pixel_start + pixel_bytes + (pixel_bytes & pad_bit);
        if (pixel_start > size || size - pixel_start < pixel_bytes) return false;
        // The runs may not cover more than the row announces: the sum of
        // their lengths is checked against the count as they are read.
        const u8* run = data + at + 4;
        const u8* source = data + pixel_start;
        u32 left = count;
        u32 previous_end = 0;
        for (u32 r = 0; r < runs; ++r, run += 4) {
            const u32 start = LoadU16(run), end = LoadU16(run + 2);
            if (start < previous_end || end < start || end > width || end - start > left) return false;
            convert.Convert(source, row + 2 * size_t{start}, end - start);
            source += size_t{end - start} * stored;
            left -= end - start;
            previous_end = end;
        }
        if (left != 0) return false;
        at = next;
    }
    return true;
}

template <typename Pixels>
bool DecodeIndexed(const u8* data, size_t size, const BitmapHeader& header, u16 flags, Pixels& convert,
                   u8* pixels) {
    return (flags & kStoredRle) ? DecodeRle(data, size, header, flags, convert, pixels)
                                : DecodeRaw(data, size, header, convert, pixels);
}

// Which pixel format the header describes, with every field that must agree
// with it; -1 when the combination is not one the format defines.
int CheckedPixelFormat(const BitmapHeader& header, u16 flags) {
    if (header.width <= 0 || header.height <= 0 || header.depth_shift >= 3) return -1;
    const u16 format = (flags & kStoredFormatValid) ? header.pixel_format : u16{kPixelFormatIndexed};
    if (format == kPixelFormatIndexed) {
        // Only 8- and 16-bit stored pixels exist, and the 16-bit form is the
        // one flag 0x0010 announces.
        if (header.depth_shift > 1 || header.bits_per_pixel != 8u << header.depth_shift) return -1;
        if (((flags & kStored16Bit) != 0) != (header.depth_shift == 1)) return -1;
        return format;
    }
    if (format == kPixelFormat64Bit) {
        if (header.bits_per_pixel != 64 || (flags & kStoredRle)) return -1;
        return format;
    }
    return -1;
}

// The header's fields, read straight from the block (every decode reads
// one; the reserved bytes are of no use to it).
BitmapHeader ReadBitmapHeader(const u8* block) {
    BitmapHeader header = {};
    header.width = static_cast<i16>(StoredU16(block, offsetof(BitmapHeader, width)));
    header.height = static_cast<i16>(StoredU16(block, offsetof(BitmapHeader, height)));
    header.bytes_per_row = StoredU16(block, offsetof(BitmapHeader, bytes_per_row));
    header.flags = StoredU16(block, offsetof(BitmapHeader, flags));
    header.bits_per_pixel = StoredU16(block, offsetof(BitmapHeader, bits_per_pixel));
    header.zero_a = StoredU16(block, offsetof(BitmapHeader, zero_a));
    header.zero_b = StoredU16(block, offsetof(BitmapHeader, zero_b));
    header.depth_shift = StoredU16(block, offsetof(BitmapHeader, depth_shift));
    header.pixel_format = StoredU16(block, offsetof(BitmapHeader, pixel_format));
    return header;
}

// Whether the data after the header could describe that many pixels at all:
// RAW needs every stored pixel, RLE four bytes a row, the 64-bit stream one
// byte for at most 128 pixels after its leading count. A damaged block
// claiming a huge bitmap is refused before its pixels are allocated.
bool DataCanHold(const BitmapHeader& header, u16 flags, int format, u64 pixel_count, u64 data_size) {
    if (format == kPixelFormat64Bit) return pixel_count <= 255 + 128 * data_size;
    if (flags & kStoredRle) return u64(header.height) * 4 <= data_size;
    return pixel_count * (u64{header.depth_shift} + 1) <= data_size;
}

// What a block's header says the decoder will make, once the header has
// passed every check that needs no pixel data: the header and the block's
// size are enough.
struct BlockPlan {
    BitmapHeader header = {};
    u16 flags = 0;
    int format = -1;
    u64 data_offset = 0;  // after the header and the row table
    u64 data_size = 0;
    u64 pixel_count = 0;
    u32 bytes_per_pixel = 0;
};

bool PlanBlock(const u8* header_bytes, u64 size, BlockPlan* plan) {
    if (size < kBitmapHeaderSize) return false;
    plan->header = ReadBitmapHeader(header_bytes);
    const BitmapHeader& header = plan->header;
    plan->flags = header.flags & kStoredFlagMask;
    plan->format = CheckedPixelFormat(header, plan->flags);
    if (plan->format < 0) return false;

    u64 row_table = 0;
    if (!(plan->flags & kStoredNoRowTable)) row_table = u64(header.height) * 4 - 4;
    if (row_table > size - kBitmapHeaderSize) return false;
    plan->flags &= static_cast<u16>(~kStoredNoRowTable);
    plan->data_offset = kBitmapHeaderSize + row_table;
    plan->data_size = size - plan->data_offset;

    plan->bytes_per_pixel = plan->format == kPixelFormat64Bit ? 8 : 2;
    plan->pixel_count = u64(header.width) * u64(header.height);
    if (plan->pixel_count * plan->bytes_per_pixel > kMaxImageBytes) return false;
    return DataCanHold(header, plan->flags, plan->format, plan->pixel_count, plan->data_size);
}

}  // namespace

u64 DecodedPixelBytes(const u8* header, u64 size) {
    BlockPlan plan;
    return PlanBlock(header, size, &plan) ? plan.pixel_count * plan.bytes_per_pixel : 0;
}

std::unique_ptr<CollectionBitmap> DecodeCollectionBitmapBytes(const u8* block, size_t size,
                                                              const ColorTableRecord& table, PixelBlocks* blocks) {
    BlockPlan plan;
    if (!PlanBlock(block, size, &plan)) return nullptr;
    const BitmapHeader& header = plan.header;
    const u16 flags = plan.flags;
    const int format = plan.format;
    const u8* data = block + plan.data_offset;
    const size_t data_size = static_cast<size_t>(plan.data_size);
    const u32 bytes_per_pixel = plan.bytes_per_pixel;
    const u64 pixel_count = plan.pixel_count;

    auto bitmap = std::make_unique<CollectionBitmap>();
    bitmap->width = static_cast<u16>(header.width);
    bitmap->height = static_cast<u16>(header.height);
    bitmap->bytes_per_pixel = static_cast<u16>(bytes_per_pixel);
    // Every decoder below writes every byte.
    const size_t pixel_bytes = static_cast<size_t>(pixel_count) * bytes_per_pixel;
    if (!blocks || !blocks->Place(&bitmap->pixels, pixel_bytes)) bitmap->pixels.SetSizeUnfilled(pixel_bytes);
    bitmap->flags = flags & static_cast<u16>(~(kStoredAlphaFromTable | kStored16Bit));
    if (format == kPixelFormat64Bit) {
        if (!DecodePixel64Stream(data, data_size, bitmap->pixels.data(), static_cast<size_t>(pixel_count)))
            return nullptr;
        return bitmap;
    }
    u8* pixels = bitmap->pixels.data();
    if (flags & kStored16Bit) {
        WidePixels wide;
        if (!DecodeIndexed(data, data_size, header, flags, wide, pixels)) return nullptr;
        if (wide.partial) bitmap->flags |= kBitmapPartialAlpha;
    } else if (flags & kStoredAlphaFromTable) {
        TablePixels from_table(table);
        if (!DecodeIndexed(data, data_size, header, flags, from_table, pixels)) return nullptr;
        NormaliseBitmapAlpha(bitmap.get());
    } else {
        NarrowPixels narrow;
        if (!DecodeIndexed(data, data_size, header, flags, narrow, pixels)) return nullptr;
    }
    return bitmap;
}

std::unique_ptr<CollectionBitmap> DecodeCollectionBitmap(std::FILE* stream, u32 size,
                                                         const ColorTableRecord& table) {
    if (size < kBitmapHeaderSize) return nullptr;
    std::vector<u8> block(size);
    if (std::fread(block.data(), 1, size, stream) != size) return nullptr;
    return DecodeCollectionBitmapBytes(block.data(), block.size(), table);
}

bool CanEncodeCollectionBitmap(const CollectionBitmap& bitmap) {
    if (bitmap.width == 0 || bitmap.height == 0) return false;
    if (bitmap.width > kMaxStoredBitmapSide || bitmap.height > kMaxStoredBitmapSide) return false;
    if (bitmap.bytes_per_pixel != 2 && bitmap.bytes_per_pixel != 8) return false;
    return bitmap.pixels.size() == size_t{bitmap.width} * bitmap.height * bitmap.bytes_per_pixel;
}

namespace {

u8* PutHeader(const BitmapHeader& header, u8* out) {
    BitmapHeader stored = header;
    SwapRecordsInPlace(&stored, 1, kBitmapHeaderLayout);
    std::memcpy(out, &stored, sizeof stored);
    return out + sizeof stored;
}

u8* StoreU16(u8* out, u32 v) {
    out[0] = static_cast<u8>(v >> 8);
    out[1] = static_cast<u8>(v);
    return out + 2;
}

// One RLE row: run count, pixel count, the runs (maximal stretches of
// non-zero alpha), their pixels, a pad byte after an odd byte count. Edges
// has room for width + 1 values.
u8* StoreRleRow(const u8* row, u32 width, bool wide, u16* edges, u8* out) {
    const u32 runs = FindOpaqueRuns(row, width, edges);
    u32 count = 0;
    for (u32 r = 0; r < runs; ++r) count += u32{edges[2 * r + 1]} - edges[2 * r];
    out = StoreU16(out, runs);
    out = StoreU16(out, count);
    for (u32 e = 0; e < 2 * runs; ++e) out = StoreU16(out, edges[e]);
    for (u32 r = 0; r < runs; ++r) {
        const u8* first = row + 2 * size_t{edges[2 * r]};
        const size_t length = size_t{edges[2 * r + 1]} - edges[2 * r];
        out = wide ? WideFromPairs(first, length, out) : NarrowFromPairs(first, length, out);
    }
    if (!wide && (count & 1)) *out++ = 0;
    return out;
}

// The most bytes a bitmap's block may take (64-bit streams: with the spare
// bytes their writer may touch).
u64 EncodedBound(const CollectionBitmap& bitmap) {
    const u64 width = bitmap.width, height = bitmap.height;
    if (bitmap.bytes_per_pixel == 8) return kBitmapHeaderSize + Pixel64StreamBound(static_cast<size_t>(width * height));
    // RLE rows at worst: every other pixel a run of its own.
    const u64 row = 4 + 4 * ((width + 1) / 2) + 2 * width + 1;
    return kBitmapHeaderSize + (height * 4 - 4) + row * height;
}

// 8-bit stored pixels know index 0 only as transparent: an opaque pixel of
// index 0 (a 16-bit bitmap of whole alphas holds them) needs 16 bits, or it
// would be lost on saving.
bool NeedsWidePixels(const CollectionBitmap& bitmap) {
    if (bitmap.flags & kBitmapPartialAlpha) return true;
    const u8* pairs = bitmap.pixels.data();
    const size_t count = bitmap.pixels.size() / 2;
    size_t i = 0;
#ifdef __SSE2__
    // Eight pairs at a time: a lane is opaque with index 0 when its alpha
    // byte is not zero and its index byte is.
    __m128i found = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + 2 * i));
        const __m128i no_alpha = _mm_cmpeq_epi16(_mm_and_si128(lanes, _mm_set1_epi16(0x00FF)), _mm_setzero_si128());
        const __m128i no_index =
            _mm_cmpeq_epi16(_mm_and_si128(lanes, _mm_set1_epi16(static_cast<short>(0xFF00))), _mm_setzero_si128());
        found = _mm_or_si128(found, _mm_andnot_si128(no_alpha, no_index));
    }
    if (_mm_movemask_epi8(found) != 0) return true;
#endif
    for (; i < count; ++i)
        if (pairs[2 * i] != 0 && pairs[2 * i + 1] == 0) return true;
    return false;
}

u8* EncodeInto(const CollectionBitmap& bitmap, u8* out) {
    const u32 width = bitmap.width, height = bitmap.height;
    BitmapHeader header = {};
    header.width = static_cast<i16>(width);
    header.height = static_cast<i16>(height);
    if (bitmap.bytes_per_pixel == 8) {
        // The 64-bit form keeps the flags it was loaded with (a shadow's
        // 0x0080, 0x8000); runs and 16-bit pixels are no part of it, and a
        // block claiming runs would not decode again.
        header.flags = (bitmap.flags & static_cast<u16>(~(kStoredRle | kStored16Bit | kStoredAlphaFromTable))) |
                       kStoredFormatValid | kStoredNoRowTable;
        header.bits_per_pixel = 64;
        header.bytes_per_row = static_cast<u16>(8 * width);  // recomputed on reading; only its low bits fit
        header.pixel_format = kPixelFormat64Bit;
        out = PutHeader(header, out);
        return EncodePixel64Stream(bitmap.pixels.data(), size_t{width} * height, out);
    }

    const bool rle = (bitmap.flags & kBitmapRle) != 0;
    const bool wide = NeedsWidePixels(bitmap);
    u16 flags = bitmap.flags & static_cast<u16>(~(kStoredRle | kStored16Bit | kStoredNoRowTable |
                                                 kStoredRowPadding | kStoredAlphaFromTable));
    if (rle) flags |= kStoredRle | kStoredRowPadding;
    if (wide) flags |= kStored16Bit;
    header.flags = flags;
    header.bits_per_pixel = wide ? 16 : 8;
    header.depth_shift = wide ? 1 : 0;
    header.bytes_per_row = static_cast<u16>(wide ? 2 * width : width);
    header.pixel_format = kPixelFormatIndexed;
    out = PutHeader(header, out);
    // The row table stays zero.
    std::memset(out, 0, size_t{height} * 4 - 4);
    out += size_t{height} * 4 - 4;
    const u8* pixels = bitmap.pixels.data();
    if (!rle) {
        const size_t count = size_t{width} * height;
        return wide ? WideFromPairs(pixels, count, out) : NarrowFromPairs(pixels, count, out);
    }
    std::vector<u16> edges(size_t{width} + 1);
    for (u32 y = 0; y < height; ++y) out = StoreRleRow(pixels + size_t{y} * width * 2, width, wide, edges.data(), out);
    return out;
}

}  // namespace

u64 TypicalEncodedSize(const CollectionBitmap& bitmap) {
    const u64 height = bitmap.height;
    return std::min(EncodedBound(bitmap),
                    kBitmapHeaderSize + 16 * height + 2 * u64{bitmap.width} * height * bitmap.bytes_per_pixel);
}

bool AppendCollectionBitmap(const CollectionBitmap& bitmap, ByteBuffer* out) {
    if (!CanEncodeCollectionBitmap(bitmap)) return false;
    const u64 bound = EncodedBound(bitmap);
    u8* at = bound <= ~size_t{0} ? out->Extend(static_cast<size_t>(bound)) : nullptr;
    if (!at) return false;
    out->TrimTo(EncodeInto(bitmap, at));
    return true;
}

bool EncodeCollectionBitmapBytes(const CollectionBitmap& bitmap, std::vector<u8>* out) {
    out->clear();
    ByteBuffer block;
    if (!AppendCollectionBitmap(bitmap, &block)) return false;
    out->assign(block.data(), block.data() + block.size());
    return true;
}

u32 EncodeCollectionBitmap(std::FILE* stream, const CollectionBitmap& bitmap) {
    ByteBuffer block;
    if (!AppendCollectionBitmap(bitmap, &block) || block.size() > 0xFFFFFFFFu) return 0;
    if (std::fwrite(block.data(), 1, block.size(), stream) != block.size()) return 0;
    return static_cast<u32>(block.size());
}

void NormaliseBitmapAlpha(CollectionBitmap* bitmap) {
    if (bitmap->bytes_per_pixel != 2) return;
    bool partial = false;
    // Bytes shared with other bitmaps are only written, and so copied, when
    // they change: saving a damaged tag's placeholders costs nothing.
    const PixelBytes& pixels = bitmap->pixels;
    const bool unchanged = pixels.IsShared() && PairsAreNormal(pixels.data(), pixels.size() / 2, &partial);
    if (!unchanged) partial = NormalisePairs(bitmap->pixels.data(), bitmap->pixels.size() / 2);
    if (partial)
        bitmap->flags |= kBitmapPartialAlpha;
    else
        bitmap->flags &= static_cast<u16>(~kBitmapPartialAlpha);
}

bool DropPartialAlpha(CollectionBitmap* bitmap) {
    if (!(bitmap->flags & kBitmapPartialAlpha)) return false;
    bitmap->flags &= static_cast<u16>(~kBitmapPartialAlpha);
    if (bitmap->bytes_per_pixel != 2) return true;
    for (size_t i = 0; i + 1 < bitmap->pixels.size(); i += 2) bitmap->pixels[i] = bitmap->pixels[i + 1] ? 255 : 0;
    MarkBitmapChanged(bitmap);
    return true;
}

}  // namespace pirn
