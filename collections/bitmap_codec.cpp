#include "collections/bitmap_codec.h"

#include <algorithm>
#include <cstring>

#include "collections/pixel64_stream.h"

namespace pirn {

// 9 x u16, 34 zero bytes.
const StructLayout kBitmapHeaderLayout[] = {52, 9, kRunU16, 34, kRunZero8};

namespace {

u16 LoadU16(const u8* p) { return static_cast<u16>((p[0] << 8) | p[1]); }

void PutU16(std::vector<u8>* out, u16 v) {
    out->push_back(static_cast<u8>(v >> 8));
    out->push_back(static_cast<u8>(v));
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

// Converts `count` stored pixels at `source` into alpha + index pairs.
class PixelConverter {
public:
    PixelConverter(u16 flags, const ColorTableRecord& table) : wide_((flags & kStored16Bit) != 0) {
        if (!wide_) EightBitAlphas(flags, table, alpha_);
    }
    u32 StoredBytes() const { return wide_ ? 2 : 1; }
    void Convert(const u8* source, u8* out, size_t count) const {
        if (wide_) {
            for (size_t i = 0; i < count; ++i) {
                out[2 * i] = static_cast<u8>((15 - (source[2 * i] & 15)) * 17);
                out[2 * i + 1] = source[2 * i + 1];
            }
        } else {
            for (size_t i = 0; i < count; ++i) {
                out[2 * i] = alpha_[source[i]];
                out[2 * i + 1] = source[i];
            }
        }
    }

private:
    bool wide_;
    u8 alpha_[256] = {};
};

bool DecodeRaw(const u8* data, size_t size, const BitmapHeader& header, const PixelConverter& convert,
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
bool DecodeRle(const u8* data, size_t size, const BitmapHeader& header, u16 flags, const PixelConverter& convert,
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
    bool decoded = false;
    if (format == kPixelFormat64Bit) {
        decoded = DecodePixel64Stream(data, data_size, bitmap->pixels.data(), static_cast<size_t>(pixel_count));
    } else {
        const PixelConverter convert(flags, table);
        decoded = (flags & kStoredRle) ? DecodeRle(data, data_size, header, flags, convert, &bitmap->pixels)
                                       : DecodeRaw(data, data_size, header, convert, &bitmap->pixels);
    }
    if (!decoded) return nullptr;
    bitmap->flags = flags & static_cast<u16>(~kStoredAlphaFromTable);
    NormaliseBitmapAlpha(bitmap.get());
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

// A stored pixel of the 16-bit form: transparency nibble, then index.
void PutWidePixel(const u8* p, std::vector<u8>* out) {
    out->push_back(static_cast<u8>(15 - p[0] / 16));
    out->push_back(p[1]);
}

void PutRow(const u8* pixels, u32 count, bool wide, std::vector<u8>* out) {
    for (u32 x = 0; x < count; ++x) {
        const u8* p = pixels + 2 * size_t{x};
        if (wide)
            PutWidePixel(p, out);
        else
            out->push_back(p[0] ? p[1] : 0);
    }
}

void PutRleRow(const u8* row, u32 width, bool wide, std::vector<u8>* out) {
    std::vector<std::pair<u16, u16>> runs;
    u32 count = 0;
    for (u32 x = 0; x < width;) {
        if (row[2 * size_t{x}] == 0) {
            ++x;
            continue;
        }
        const u32 start = x;
        while (x < width && row[2 * size_t{x}] != 0) ++x;
        runs.emplace_back(static_cast<u16>(start), static_cast<u16>(x));
        count += x - start;
    }
    PutU16(out, static_cast<u16>(runs.size()));
    PutU16(out, static_cast<u16>(count));
    for (const auto& run : runs) {
        PutU16(out, run.first);
        PutU16(out, run.second);
    }
    for (const auto& run : runs) PutRow(row + 2 * size_t{run.first}, run.second - run.first, wide, out);
    if ((count * (wide ? 2 : 1)) & 1) out->push_back(0);
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
    out->reserve(kBitmapHeaderSize + 4 * size_t{height} + size_t{width} * height * (wide ? 2 : 1));
    PutHeader(header, out);
    out->insert(out->end(), size_t{height} * 4 - 4, 0);
    for (u32 y = 0; y < height; ++y) {
        const u8* row = &bitmap.pixels[size_t{y} * width * 2];
        if (rle)
            PutRleRow(row, width, wide, out);
        else
            PutRow(row, width, wide, out);
    }
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
    bool partial = false;
    u8* p = bitmap->pixels.data();
    const size_t count = bitmap->pixels.size() / 2;
    for (size_t i = 0; i < count; ++i, p += 2) {
        const u8 alpha = static_cast<u8>((p[0] / 16) * 17);
        p[0] = alpha;
        if (alpha == 0) p[1] = 0;
        partial |= alpha != 0 && alpha != 255;
    }
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
