#include "collections/bitmap_codec.h"

#include <algorithm>
#include <cstring>

#include "collections/pixel64_stream.h"

namespace pirn {

// 9 x u16, 34 zero bytes.
const StructLayout kBitmapHeaderLayout[] = {52, 9, kRunU16, 34, kRunZero8};

namespace {

u16 LoadU16(const u8* p) { return static_cast<u16>((p[0] << 8) | p[1]); }

// Alpha + index pairs from 4-bit alpha levels x (alpha = x * 17, index kept
// only where x is non-zero), four pixels at a time in the 16-bit lanes of a
// 64-bit word on little-endian machines: byte 0 of a lane is the alpha,
// byte 1 the index. Answers whether some level lies strictly between 0 and
// 15 (partial alpha).
constexpr u64 kLanes = 0x0001000100010001ull;

inline u64 PairsFromLevels(u64 levels, u64 indices, u64* partial) {
    const u64 alpha = (levels << 4) | levels;
    const u64 nonzero = ((levels + 0xFF * kLanes) >> 8) & kLanes;
    const u64 full = ((levels + kLanes) >> 4) & kLanes;
    *partial |= nonzero & ~full;
    return alpha | ((indices & (nonzero * 0xFF)) << 8);
}

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Stored 16-bit pixels (transparency nibble, index) to pairs.
bool ConvertWidePixels(const u8* source, u8* out, size_t count) {
    u64 partial = 0;
    size_t i = 0;
    if (kLittleEndian) {
        for (; i + 4 <= count; i += 4) {
            u64 word;
            std::memcpy(&word, source + 2 * i, 8);
            const u64 levels = 15 * kLanes - (word & 0xF * kLanes);
            word = PairsFromLevels(levels, (word >> 8) & 0xFF * kLanes, &partial);
            std::memcpy(out + 2 * i, &word, 8);
        }
    }
    for (; i < count; ++i) {
        const u8 level = static_cast<u8>(15 - (source[2 * i] & 15));
        out[2 * i] = static_cast<u8>(level * 17);
        out[2 * i + 1] = level ? source[2 * i + 1] : 0;
        partial |= level != 0 && level != 15;
    }
    return partial != 0;
}

// Pairs in place: alpha to (alpha / 16) x 17, index 0 where alpha is 0.
bool NormalisePairs(u8* pairs, size_t count) {
    u64 partial = 0;
    size_t i = 0;
    if (kLittleEndian) {
        for (; i + 4 <= count; i += 4) {
            u64 word;
            std::memcpy(&word, pairs + 2 * i, 8);
            word = PairsFromLevels((word >> 4) & 0xF * kLanes, (word >> 8) & 0xFF * kLanes, &partial);
            std::memcpy(pairs + 2 * i, &word, 8);
        }
    }
    for (; i < count; ++i) {
        const u8 level = static_cast<u8>(pairs[2 * i] / 16);
        pairs[2 * i] = static_cast<u8>(level * 17);
        if (!level) pairs[2 * i + 1] = 0;
        partial |= level != 0 && level != 15;
    }
    return partial != 0;
}

// Alpha of an 8-bit stored index: from the colour table under flag 0x0800
// (the high byte of its largest channel), else 0 for index 0 and 255 for
// the others.
void EightBitAlphas(u16 flags, const ColorTableRecord& table, u8 alpha[256]) {
    for (u32 i = 0; i < 256; ++i) {
        if (flags & kStoredAlphaFromTable) {
            const u16* c = table.channels[i];
            alpha[i] = static_cast<u8>(std::max({c[0], c[1], c[2]}) >> 8);
        } else {
            alpha[i] = i ? 255 : 0;
        }
    }
}

// Converts stored pixels into alpha + index pairs, already normalised
// (alpha a multiple of 17, index 0 where alpha is 0) except where the alpha
// comes from the colour table, and notes whether any alpha is partial.
class PixelConverter {
public:
    PixelConverter(u16 flags, const ColorTableRecord& table)
        : wide_((flags & kStored16Bit) != 0), from_table_(!wide_ && (flags & kStoredAlphaFromTable)) {
        u8 alpha[256];
        EightBitAlphas(flags, table, alpha);
        for (u32 i = 0; i < 256; ++i) {
            pairs_[i][0] = alpha[i];
            pairs_[i][1] = static_cast<u8>(i);
        }
    }
    u32 StoredBytes() const { return wide_ ? 2 : 1; }
    // Whether NormaliseBitmapAlpha must still run over the result.
    bool NeedsNormalising() const { return from_table_; }
    bool FoundPartialAlpha() const { return partial_; }

    void Convert(const u8* source, u8* out, size_t count) {
        if (wide_) {
            partial_ = ConvertWidePixels(source, out, count) || partial_;
        } else {
            for (size_t i = 0; i < count; ++i) std::memcpy(out + 2 * i, pairs_[source[i]], 2);
        }
    }

private:
    bool wide_;
    bool from_table_;
    bool partial_ = false;
    u8 pairs_[256][2];
};

bool DecodeRaw(const u8* data, size_t size, const BitmapHeader& header, PixelConverter& convert,
               std::vector<u8>* pixels) {
    const size_t width = static_cast<size_t>(header.width), height = static_cast<size_t>(header.height);
    const u64 row_bytes = u64{convert.StoredBytes()} * width;
    if (row_bytes * height > size) return false;
    for (size_t y = 0; y < height; ++y)
        convert.Convert(data + y * row_bytes, &(*pixels)[y * width * 2], width);
    return true;
}

// Each row: u16 run count n, u16 pixel count p, n runs of u16 start and end
// (end exclusive, in order, inside the row, adding up to p), the pixel bytes
// of the runs, and a pad byte after an odd byte count with flag 0x0040.
bool DecodeRle(const u8* data, size_t size, const BitmapHeader& header, u16 flags, PixelConverter& convert,
               std::vector<u8>* pixels) {
    const u32 width = static_cast<u32>(header.width);
    const u32 stored = convert.StoredBytes();
    u64 at = 0;
    for (u32 y = 0; y < static_cast<u32>(header.height); ++y) {
        if (size - at < 4) return false;
        const u32 runs = LoadU16(data + at), count = LoadU16(data + at + 2);
        const u64 run_table = at + 4;
        const u64 pixel_bytes = u64{count} * stored;
        if (size - run_table < u64{runs} * 4) return false;
        const u64 pixel_start = run_table + u64{runs} * 4;
        if (size - pixel_start < pixel_bytes) return false;
        u8* row = &(*pixels)[size_t{y} * width * 2];
        u32 previous_end = 0;
        u64 source = pixel_start;
        for (u32 r = 0; r < runs; ++r) {
            const u32 start = LoadU16(data + run_table + 4 * r), end = LoadU16(data + run_table + 4 * r + 2);
            if (start < previous_end || end < start || end > width) return false;
            if (source + u64{end - start} * stored > pixel_start + pixel_bytes) return false;
            convert.Convert(data + source, row + 2 * size_t{start}, end - start);
            source += u64{end - start} * stored;
            previous_end = end;
        }
        if (source != pixel_start + pixel_bytes) return false;
        at = pixel_start + pixel_bytes;
        if ((flags & kStoredRowPadding) && (pixel_bytes & 1)) at += 1;
        at = std::min<u64>(at, size);  // the last row may end without its pad
    }
    return true;
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

}  // namespace

std::unique_ptr<CollectionBitmap> DecodeCollectionBitmapBytes(const u8* block, size_t size,
                                                              const ColorTableRecord& table) {
    if (size < kBitmapHeaderSize) return nullptr;
    BitmapHeader header;
    std::memcpy(&header, block, sizeof header);
    SwapRecordsInPlace(&header, 1, kBitmapHeaderLayout);
    u16 flags = header.flags & kStoredFlagMask;
    const int format = CheckedPixelFormat(header, flags);
    if (format < 0) return nullptr;

    u64 row_table = 0;
    if (!(flags & kStoredNoRowTable)) row_table = u64(header.height) * 4 - 4;
    if (row_table > size - kBitmapHeaderSize) return nullptr;
    flags &= static_cast<u16>(~kStoredNoRowTable);
    const u8* data = block + kBitmapHeaderSize + row_table;
    const size_t data_size = size - kBitmapHeaderSize - static_cast<size_t>(row_table);

    const u32 bytes_per_pixel = format == kPixelFormat64Bit ? 8 : 2;
    const u64 pixel_count = u64(header.width) * u64(header.height);
    if (pixel_count * bytes_per_pixel > kMaxImageBytes) return nullptr;

    auto bitmap = std::make_unique<CollectionBitmap>();
    bitmap->width = static_cast<u16>(header.width);
    bitmap->height = static_cast<u16>(header.height);
    bitmap->bytes_per_pixel = static_cast<u16>(bytes_per_pixel);
    bitmap->pixels.assign(static_cast<size_t>(pixel_count) * bytes_per_pixel, 0);
    bitmap->flags = flags & static_cast<u16>(~(kStoredAlphaFromTable | kStored16Bit));
    if (format == kPixelFormat64Bit) {
        if (!DecodePixel64Stream(data, data_size, bitmap->pixels.data(), static_cast<size_t>(pixel_count)))
            return nullptr;
        return bitmap;
    }
    PixelConverter convert(flags, table);
    const bool decoded = (flags & kStoredRle) ? DecodeRle(data, data_size, header, flags, convert, &bitmap->pixels)
                                              : DecodeRaw(data, data_size, header, convert, &bitmap->pixels);
    if (!decoded) return nullptr;
    // What NormaliseBitmapAlpha would make of it, without a second pass where
    // the conversion already gave normalised alpha.
    if (convert.NeedsNormalising())
        NormaliseBitmapAlpha(bitmap.get());
    else if (convert.FoundPartialAlpha())
        bitmap->flags |= kBitmapPartialAlpha;
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

void PutHeader(const BitmapHeader& header, std::vector<u8>* out) {
    BitmapHeader stored = header;
    SwapRecordsInPlace(&stored, 1, kBitmapHeaderLayout);
    const u8* bytes = reinterpret_cast<const u8*>(&stored);
    out->insert(out->end(), bytes, bytes + sizeof stored);
}

u8* StoreU16(u8* out, u32 v) {
    out[0] = static_cast<u8>(v >> 8);
    out[1] = static_cast<u8>(v);
    return out + 2;
}

// Stored pixels of `count` alpha + index pairs: the 16-bit form
// (transparency 15 - alpha / 16, then index) or one byte (the index, 0 for
// a transparent pixel). Returns the end of what was written.
u8* StorePixels(const u8* pixels, u32 count, bool wide, u8* out) {
    if (wide) {
        for (u32 x = 0; x < count; ++x) {
            out[2 * size_t{x}] = static_cast<u8>(15 - pixels[2 * size_t{x}] / 16);
            out[2 * size_t{x} + 1] = pixels[2 * size_t{x} + 1];
        }
        return out + 2 * size_t{count};
    }
    for (u32 x = 0; x < count; ++x) out[x] = pixels[2 * size_t{x}] ? pixels[2 * size_t{x} + 1] : 0;
    return out + count;
}

// One RLE row: run count, pixel count, the runs (maximal stretches of
// non-zero alpha), their pixels, a pad byte after an odd byte count.
u8* StoreRleRow(const u8* row, u32 width, bool wide, std::vector<u16>* runs, u8* out) {
    runs->clear();
    u32 count = 0;
    for (u32 x = 0; x < width;) {
        if (row[2 * size_t{x}] == 0) {
            ++x;
            continue;
        }
        const u32 start = x;
        while (x < width && row[2 * size_t{x}] != 0) ++x;
        runs->push_back(static_cast<u16>(start));
        runs->push_back(static_cast<u16>(x));
        count += x - start;
    }
    out = StoreU16(out, static_cast<u32>(runs->size() / 2));
    out = StoreU16(out, count);
    for (u16 edge : *runs) out = StoreU16(out, edge);
    for (size_t r = 0; r < runs->size(); r += 2)
        out = StorePixels(row + 2 * size_t{(*runs)[r]}, (*runs)[r + 1] - (*runs)[r], wide, out);
    if ((count * (wide ? 2 : 1)) & 1) *out++ = 0;
    return out;
}

}  // namespace

bool EncodeCollectionBitmapBytes(const CollectionBitmap& bitmap, std::vector<u8>* out) {
    out->clear();
    if (!CanEncodeCollectionBitmap(bitmap)) return false;
    const u32 width = bitmap.width, height = bitmap.height;
    BitmapHeader header = {};
    header.width = static_cast<i16>(width);
    header.height = static_cast<i16>(height);
    if (bitmap.bytes_per_pixel == 8) {
        header.flags = kStoredFormatValid | kStoredNoRowTable;
        header.bits_per_pixel = 64;
        header.bytes_per_row = static_cast<u16>(8 * width);  // recomputed on reading; only its low bits fit
        header.pixel_format = kPixelFormat64Bit;
        PutHeader(header, out);
        EncodePixel64Stream(bitmap.pixels.data(), size_t{width} * height, out);
        return true;
    }

    const bool rle = (bitmap.flags & kBitmapRle) != 0;
    const bool wide = (bitmap.flags & kBitmapPartialAlpha) != 0;
    u16 flags = bitmap.flags & static_cast<u16>(~(kStoredRle | kStored16Bit | kStoredNoRowTable |
                                                 kStoredRowPadding | kStoredAlphaFromTable));
    if (rle) flags |= kStoredRle | kStoredRowPadding;
    if (wide) flags |= kStored16Bit;
    header.flags = flags;
    header.bits_per_pixel = wide ? 16 : 8;
    header.depth_shift = wide ? 1 : 0;
    header.bytes_per_row = static_cast<u16>(wide ? 2 * width : width);
    header.pixel_format = kPixelFormatIndexed;
    PutHeader(header, out);
    const size_t stored = wide ? 2 : 1;
    // Room for the worst case: every other pixel a run of its own.
    const size_t row_room = rle ? 4 + 4 * ((size_t{width} + 1) / 2) + stored * width + 1 : stored * width;
    const size_t start = out->size();
    out->resize(start + size_t{height} * 4 - 4 + row_room * height);  // the row table stays zero
    u8* at = out->data() + start + size_t{height} * 4 - 4;
    std::vector<u16> runs;
    for (u32 y = 0; y < height; ++y) {
        const u8* row = &bitmap.pixels[size_t{y} * width * 2];
        at = rle ? StoreRleRow(row, width, wide, &runs, at) : StorePixels(row, width, wide, at);
    }
    out->resize(static_cast<size_t>(at - out->data()));
    return true;
}

u32 EncodeCollectionBitmap(std::FILE* stream, const CollectionBitmap& bitmap) {
    std::vector<u8> block;
    if (!EncodeCollectionBitmapBytes(bitmap, &block) || block.size() > 0xFFFFFFFFu) return 0;
    if (std::fwrite(block.data(), 1, block.size(), stream) != block.size()) return 0;
    return static_cast<u32>(block.size());
}

void NormaliseBitmapAlpha(CollectionBitmap* bitmap) {
    if (bitmap->bytes_per_pixel != 2) return;
    const bool partial = NormalisePairs(bitmap->pixels.data(), bitmap->pixels.size() / 2);
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
    return true;
}

}  // namespace pirn
