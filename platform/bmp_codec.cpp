#include "platform/bmp_codec.h"

#include <cstring>
#include <vector>

#include "platform/image_stream.h"

namespace pirn {
namespace {

constexpr u32 kFileHeaderBytes = 14;
constexpr u32 kInfoHeaderBytes = 40;
constexpr u32 kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;

u16 Le16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }
u32 Le32(const u8* p) { return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24); }
void PutLe16(u8* p, u32 v) {
    p[0] = static_cast<u8>(v);
    p[1] = static_cast<u8>(v >> 8);
}
void PutLe32(u8* p, u32 v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<u8>(v >> (8 * i));
}

}  // namespace

bool ReadBmpHeader(std::FILE* stream, BmpHeader* header) {
    *header = BmpHeader();
    u64 stream_size = 0;
    if (!StreamSize(stream, &stream_size)) return false;
    u8 bytes[kHeadersBytes];
    if (!SeekStream(stream, 0) || !ReadExact(stream, bytes, sizeof bytes)) return false;
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    BmpHeader h;
    h.file_size = Le32(bytes + 2);
    h.data_offset = Le32(bytes + 10);
    h.header_size = Le32(bytes + 14);
    h.width = static_cast<i32>(Le32(bytes + 18));
    h.height = static_cast<i32>(Le32(bytes + 22));
    h.planes = Le16(bytes + 26);
    h.bits_per_pixel = Le16(bytes + 28);
    h.compression = Le32(bytes + 30);
    h.image_size = Le32(bytes + 34);
    h.colors_used = Le32(bytes + 46);
    h.colors_important = Le32(bytes + 50);

    if (h.header_size != kInfoHeaderBytes) return false;
    if (h.width < 1 || h.width > 32767) return false;
    if (h.height == 0 || h.height < -32767 || h.height > 32767) return false;
    if (h.planes != 1 || h.compression != 0) return false;
    if (h.colors_used > 256 || h.colors_important > 256 || h.colors_important > h.colors_used) return false;
    if (h.bits_per_pixel != 8 && h.bits_per_pixel != 24 && h.bits_per_pixel != 32) return false;
    if (h.bits_per_pixel != 8 && (h.colors_used != 0 || h.colors_important != 0)) return false;

    h.palette_entries = h.bits_per_pixel == 8 ? (h.colors_used ? h.colors_used : 256) : 0;
    h.bottom_up = h.height > 0;
    u64 rows = static_cast<u64>(h.height > 0 ? i64(h.height) : -i64(h.height));
    h.row_bytes = ((u64(h.width) * h.bits_per_pixel / 8) + 3) & ~u64(3);
    // The data offset is where the rows are, whatever lies between; it may
    // not point back into the headers or the palette.
    u64 palette_end = u64(kHeadersBytes) + u64(h.palette_entries) * 4;
    if (h.data_offset < palette_end) return false;
    if (u64(h.data_offset) + h.row_bytes * rows > stream_size) return false;
    *header = h;
    return true;
}

bool ReadBmpPixels(std::FILE* stream, const BmpHeader& header, PixelImage* image) {
    u32 format = header.bits_per_pixel == 8 ? kFormatColorIndex
                                            : header.bits_per_pixel == 24 ? kFormatRgb : kFormatRgba;
    u32 width = static_cast<u32>(header.width);
    u32 height = static_cast<u32>(header.height > 0 ? header.height : -i64(header.height));
    PixelImage decoded;
    if (!SetImagePixels(&decoded, width, height, format, nullptr)) return false;

    if (header.palette_entries) {
        std::vector<u8> records(size_t(header.palette_entries) * 4);
        if (!SeekStream(stream, kHeadersBytes) || !ReadExact(stream, records.data(), records.size())) return false;
        u8 rgb[kPaletteBytes] = {};
        for (u32 i = 0; i < header.palette_entries; ++i) {
            rgb[i * 3] = records[i * 4 + 2];
            rgb[i * 3 + 1] = records[i * 4 + 1];
            rgb[i * 3 + 2] = records[i * 4];
        }
        SetImagePalette(&decoded, header.palette_entries, rgb);
    }

    if (!SeekStream(stream, header.data_offset)) return false;
    const int bpp = BytesPerPixel(format);
    const size_t pixel_row = size_t(width) * bpp;
    std::vector<u8> row(static_cast<size_t>(header.row_bytes));
    for (u32 i = 0; i < height; ++i) {
        if (!ReadExact(stream, row.data(), row.size())) return false;
        u32 y = header.bottom_up ? height - 1 - i : i;
        u8* dst = decoded.pixels.data() + size_t(y) * pixel_row;
        std::memcpy(dst, row.data(), pixel_row);
        if (bpp >= 3) {
            for (size_t x = 0; x < pixel_row; x += bpp) std::swap(dst[x], dst[x + 2]);
        }
    }
    MovePixelImage(image, &decoded);
    return true;
}

bool ReadBmp(std::FILE* stream, PixelImage* image) {
    BmpHeader header;
    return ReadBmpHeader(stream, &header) && ReadBmpPixels(stream, header, image);
}

bool WriteBmp(std::FILE* stream, const PixelImage& image) {
    u32 bits;
    switch (image.format) {
    case kFormatColorIndex:
    case kFormatAlpha:
        bits = 8;
        break;
    case kFormatRgb:
        bits = 24;
        break;
    case kFormatRgba:
        bits = 32;
        break;
    default:
        return false;
    }
    if (image.width > 0x7FFFFFFF || image.height > 0x7FFFFFFF || !HasWholePixels(image)) return false;

    bool own_palette = image.format == kFormatColorIndex && image.has_palette();
    u32 entries = bits == 8 ? (own_palette && image.palette_count ? image.palette_count : 256) : 0;

    const u64 row_bytes = ((u64(image.width) * bits / 8) + 3) & ~u64(3);
    const u64 data_offset = kHeadersBytes + u64(entries) * 4;
    const u64 pixel_bytes = row_bytes * image.height;
    // Readers such as ImageMagick check the sizes against the file; an image
    // past 4 GiB cannot say its size and keeps 0, which means "unknown".
    const u64 file_bytes = data_offset + pixel_bytes;

    u8 head[kHeadersBytes] = {};
    head[0] = 'B';
    head[1] = 'M';
    PutLe32(head + 2, file_bytes <= 0xFFFFFFFFu ? u32(file_bytes) : 0);
    PutLe32(head + 10, u32(data_offset));
    PutLe32(head + 14, kInfoHeaderBytes);
    PutLe32(head + 18, image.width);
    PutLe32(head + 22, image.height);
    PutLe16(head + 26, 1);
    PutLe16(head + 28, bits);
    PutLe32(head + 34, file_bytes <= 0xFFFFFFFFu ? u32(pixel_bytes) : 0);
    PutLe32(head + 46, bits == 8 ? entries : 0);
    if (!WriteExact(stream, head, sizeof head)) return false;

    if (bits == 8) {
        std::vector<u8> records(size_t(entries) * 4, 0);
        for (u32 i = 0; i < entries; ++i) {
            if (own_palette) {
                records[i * 4] = image.palette[i * 3 + 2];
                records[i * 4 + 1] = image.palette[i * 3 + 1];
                records[i * 4 + 2] = image.palette[i * 3];
            } else {
                records[i * 4] = records[i * 4 + 1] = records[i * 4 + 2] = static_cast<u8>(i);
            }
        }
        if (!WriteExact(stream, records.data(), records.size())) return false;
    }

    const int bpp = BytesPerPixel(image.format);
    const size_t pixel_row = size_t(image.width) * bpp;
    std::vector<u8> row(static_cast<size_t>(row_bytes), 0);
    for (u32 i = 0; i < image.height; ++i) {
        const u8* src = image.pixels.data() + size_t(image.height - 1 - i) * pixel_row;
        std::memcpy(row.data(), src, pixel_row);
        if (bpp >= 3) {
            for (size_t x = 0; x < pixel_row; x += bpp) std::swap(row[x], row[x + 2]);
        }
        if (!WriteExact(stream, row.data(), row.size())) return false;
    }
    return true;
}

}  // namespace pirn
