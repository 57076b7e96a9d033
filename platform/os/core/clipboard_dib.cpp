#include "platform/os/clipboard_dib.h"

#include <cstring>

namespace pirn {
namespace {

constexpr u32 kCompressionRgb = 0;
constexpr u32 kCompressionBitFields = 3;
constexpr u64 kLargestSide = 32767;

u32 Le32(const u8* p) { return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24; }
u16 Le16(const u8* p) { return static_cast<u16>(p[0] | p[1] << 8); }
void PutLe32(u8* p, u32 v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<u8>(v >> (8 * i));
}
void PutLe16(u8* p, u16 v) {
    p[0] = static_cast<u8>(v);
    p[1] = static_cast<u8>(v >> 8);
}

bool RgbSizeFits(u64 width, u64 height) {
    return width > 0 && height > 0 && width <= kLargestSide && height <= kLargestSide &&
           width * height * 3 <= kLargestClipboardDibRgb;
}

}  // namespace

bool EncodeClipboardDib(const u8* rgb, u32 width, u32 height, std::vector<u8>* dib) {
    if (rgb == nullptr || dib == nullptr || !RgbSizeFits(width, height)) return false;
    const std::size_t row = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    std::vector<u8> bytes(kDibHeaderBytes + row * height, 0);
    PutLe32(&bytes[0], kDibHeaderBytes);
    PutLe32(&bytes[4], width);
    PutLe32(&bytes[8], height);  // positive: rows run bottom-up
    PutLe16(&bytes[12], 1);      // planes
    PutLe16(&bytes[14], 24);     // bits a pixel
    ConvertDibRows(&bytes[kDibHeaderBytes], rgb, width, height, false, true);
    *dib = std::move(bytes);
    return true;
}

bool DecodeClipboardDib(const u8* bytes, std::size_t size, ClipboardImage* image) {
    if (bytes == nullptr || image == nullptr || size < kDibHeaderBytes) return false;
    const u32 header_size = Le32(bytes);
    const i32 width = static_cast<i32>(Le32(bytes + 4));
    const i32 height = static_cast<i32>(Le32(bytes + 8));
    const u16 planes = Le16(bytes + 12);
    const u16 bits = Le16(bytes + 14);
    const u32 compression = Le32(bytes + 16);
    const u32 colors_used = Le32(bytes + 32);
    // The later header versions (52 to 124 bytes) start with the same fields.
    if (header_size < kDibHeaderBytes || header_size > size) return false;
    if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) return false;
    const u64 rows = height > 0 ? u64(height) : u64(-i64(height));
    if (!RgbSizeFits(u64(width), rows)) return false;
    if (bits != 8 && bits != 24 && bits != 32) return false;

    u64 offset = header_size;
    if (compression == kCompressionBitFields) {
        if (bits != 32) return false;
        // A 40-byte header is followed by the three masks; longer ones hold them.
        const u64 masks_at = kDibHeaderBytes;
        if (header_size == kDibHeaderBytes) offset += 12;
        if (masks_at + 12 > size) return false;
        if (Le32(bytes + masks_at) != 0xFF0000u || Le32(bytes + masks_at + 4) != 0xFF00u ||
            Le32(bytes + masks_at + 8) != 0xFFu) {
            return false;
        }
    } else if (compression != kCompressionRgb) {
        return false;
    }
    if (colors_used > 256) return false;
    const u32 palette_entries = bits == 8 ? (colors_used ? colors_used : 256) : colors_used;
    const u64 palette_at = offset;
    offset += u64(palette_entries) * 4;
    const u64 stride = ((u64(width) * bits + 31) / 32) * 4;
    if (offset > size || stride * rows > size - offset) return false;

    ClipboardImage decoded;
    decoded.width = static_cast<u32>(width);
    decoded.height = static_cast<u32>(rows);
    decoded.rgb.resize(std::size_t(width) * rows * 3);
    for (u64 y = 0; y < rows; ++y) {
        const u64 source_row = height > 0 ? rows - 1 - y : y;
        const u8* s = bytes + offset + source_row * stride;
        u8* d = &decoded.rgb[std::size_t(y) * std::size_t(width) * 3];
        for (i32 x = 0; x < width; ++x, d += 3) {
            const u8* bgr = s;
            if (bits == 8) {
                if (s[x] >= palette_entries) return false;
                bgr = bytes + palette_at + u64(s[x]) * 4;
            } else {
                bgr = s + std::size_t(x) * (bits / 8);
            }
            d[0] = bgr[2];
            d[1] = bgr[1];
            d[2] = bgr[0];
        }
    }
    *image = std::move(decoded);
    return true;
}

}  // namespace pirn
