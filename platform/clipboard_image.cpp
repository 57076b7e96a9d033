#include "platform/clipboard_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/bmp_codec.h"
#include "platform/pixel_image.h"
#include "platform/png_codec.h"
#include "platform/scratch_stream.h"

namespace pirn {

const char* const kClipboardPngType = "image/png";
const char* const kClipboardBmpType = "image/bmp";

namespace {

bool IsBmpType(const std::string& type) {
    return type == kClipboardBmpType || type == "image/x-bmp" || type == "image/x-MS-bmp";
}

bool RgbSize(u32 width, u32 height, u64* bytes) {
    if (width == 0 || height == 0) return false;
    return ImageByteSize(width, height, kFormatRgb, bytes);
}

// Any decoded picture as RGB.
bool ToRgb(const PixelImage& image, ClipboardImage* out) {
    u64 size = 0;
    if (!RgbSize(image.width, image.height, &size)) return false;
    const u64 count = u64(image.width) * image.height;
    const int bpp = BytesPerPixel(image.format);
    if (bpp <= 0 || image.pixels.size() < count * u64(bpp)) return false;
    std::vector<u8> rgb(static_cast<std::size_t>(size));
    const u8* src = image.pixels.data();
    for (u64 i = 0; i < count; ++i) {
        u8* d = &rgb[static_cast<std::size_t>(i * 3)];
        switch (image.format) {
        case kFormatRgb:
            std::memcpy(d, src + i * 3, 3);
            break;
        case kFormatRgba:
            std::memcpy(d, src + i * 4, 3);
            break;
        case kFormatAlpha:
            d[0] = d[1] = d[2] = src[i];
            break;
        case kFormatColorIndex:
            if (image.palette.size() >= 768) {
                std::memcpy(d, &image.palette[src[i] * 3u], 3);
            } else {
                d[0] = d[1] = d[2] = src[i];
            }
            break;
        default:
            return false;
        }
    }
    out->width = image.width;
    out->height = image.height;
    out->rgb = std::move(rgb);
    return true;
}

}  // namespace

bool IsClipboardImageType(const std::string& type) { return type == kClipboardPngType || IsBmpType(type); }

bool EncodeClipboardImage(const std::string& type, const u8* rgb, u32 width, u32 height,
                          std::vector<u8>* bytes) {
    u64 size = 0;
    if (rgb == nullptr || !RgbSize(width, height, &size)) return false;
    if (type != kClipboardPngType && !IsBmpType(type)) return false;
    PixelImage image;
    if (!SetImagePixels(&image, width, height, kFormatRgb, rgb)) return false;

    return CaptureWrittenBytes(
        [&](std::FILE* stream) { return type == kClipboardPngType ? WritePng(stream, image) : WriteBmp(stream, image); },
        bytes);
}

bool DecodeClipboardImage(const std::string& type, const u8* bytes, std::size_t size,
                          ClipboardImage* image) {
    if (bytes == nullptr || size == 0 || !IsClipboardImageType(type)) return false;
    std::FILE* stream = OpenBytesForReading(bytes, size);
    if (stream == nullptr) return false;
    PixelImage decoded;
    // The BMP reader checks that the rows the header promises fit in the
    // bytes given: a header that claims more than arrived is refused.
    const bool read = type == kClipboardPngType ? ReadPng(stream, &decoded) : ReadBmp(stream, &decoded);
    std::fclose(stream);
    return read && ToRgb(decoded, image);
}

void ConvertDibRows(u8* destination, const u8* source, u32 width, u32 height, bool source_padded,
                    bool destination_padded) {
    const std::size_t tight = std::size_t(width) * 3;
    const std::size_t padded = (tight + 3) & ~std::size_t(3);
    const std::size_t source_row = source_padded ? padded : tight;
    const std::size_t destination_row = destination_padded ? padded : tight;
    for (u32 y = 0; y < height; ++y) {
        const u8* s = source + std::size_t(height - 1 - y) * source_row;
        u8* d = destination + std::size_t(y) * destination_row;
        for (u32 x = 0; x < width; ++x) {
            d[x * 3 + 0] = s[x * 3 + 2];
            d[x * 3 + 1] = s[x * 3 + 1];
            d[x * 3 + 2] = s[x * 3 + 0];
        }
        if (destination_row > tight) std::memset(d + tight, 0, destination_row - tight);
    }
}

}  // namespace pirn
