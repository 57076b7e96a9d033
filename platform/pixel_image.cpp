#include "platform/pixel_image.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace pirn {

int BytesPerPixel(u32 format) {
    switch (format) {
    case kFormatColorIndex:
    case kFormatAlpha:
        return 1;
    case kFormatRgb:
        return 3;
    case kFormatRgba:
        return 4;
    case kFormatIndexAlpha:
        return 2;
    default:
        break;
    }
    if (format >= 1 && format <= 255) return static_cast<int>(format);
    return -1;
}

bool ImageByteSize(u32 width, u32 height, u32 format, u64* bytes) {
    int bpp = BytesPerPixel(format);
    if (bpp < 0) return false;
    // Each factor is below 2^32 and bpp below 2^8, so the first product
    // cannot wrap; the second is checked before it is formed.
    u64 row = u64(width) * u64(bpp);
    if (height != 0 && row > kMaxImageBytes / height) return false;
    u64 total = row * height;
    if (total > kMaxImageBytes || total > std::numeric_limits<size_t>::max()) return false;
    *bytes = total;
    return true;
}

bool HasWholePixels(const PixelImage& image) {
    u64 expected = 0;
    return image.width != 0 && image.height != 0 && ImageByteSize(image.width, image.height, image.format, &expected) &&
           image.pixels.size() == expected;
}

void InitPixelImage(PixelImage* image) { *image = PixelImage(); }

bool SetImagePixels(PixelImage* image, u32 width, u32 height, u32 format, const u8* pixels) {
    u64 bytes = 0;
    if (!ImageByteSize(width, height, format, &bytes)) return false;
    if (image->pixels.size() != bytes) {
        std::vector<u8> block(static_cast<size_t>(bytes));
        image->pixels.swap(block);
    }
    if (pixels) {
        if (bytes) std::memcpy(image->pixels.data(), pixels, static_cast<size_t>(bytes));
    } else {
        std::fill(image->pixels.begin(), image->pixels.end(), 0);
    }
    image->width = width;
    image->height = height;
    image->format = format;
    image->checksum = 0;
    return true;
}

void SetImagePalette(PixelImage* image, u32 count, const u8* rgb) {
    if (count == 0 || !rgb) {
        image->palette.clear();
        image->palette.shrink_to_fit();
        image->palette_count = 0;
        return;
    }
    count = std::min(count, kPaletteEntries);
    image->palette.assign(kPaletteBytes, 0);
    std::memcpy(image->palette.data(), rgb, size_t(count) * 3);
    image->palette_count = count;
}

void FreeImagePixels(PixelImage* image) {
    image->pixels.clear();
    image->pixels.shrink_to_fit();
    image->palette.clear();
    image->palette.shrink_to_fit();
    image->palette_count = 0;
    image->checksum = 0;
}

void MovePixelImage(PixelImage* to, PixelImage* from) {
    if (to == from) return;
    *to = std::move(*from);
    *from = PixelImage();
}

bool CropImage(PixelImage* image, u32 x0, u32 y0, u32 x1, u32 y1) {
    if (x0 > x1 || y0 > y1 || x1 >= image->width || y1 >= image->height) return false;
    int bpp = BytesPerPixel(image->format);
    if (bpp < 0) return false;
    u32 new_width = x1 - x0 + 1;
    u32 new_height = y1 - y0 + 1;
    size_t src_row = size_t(image->width) * bpp;
    size_t dst_row = size_t(new_width) * bpp;
    std::vector<u8> out(dst_row * new_height);
    for (u32 y = 0; y < new_height; ++y) {
        std::memcpy(out.data() + y * dst_row,
                    image->pixels.data() + size_t(y0 + y) * src_row + size_t(x0) * bpp, dst_row);
    }
    image->pixels.swap(out);
    image->width = new_width;
    image->height = new_height;
    image->checksum = 0;
    return true;
}

bool ImageContentBounds(const PixelImage& image, ImageBounds* bounds) {
    *bounds = ImageBounds();
    int bpp = BytesPerPixel(image.format);
    if (bpp < 0 || image.pixels.empty()) return false;
    size_t probe = image.format == kFormatRgba ? 3 : 0;
    bool found = false;
    u32 min_x = 0, min_y = 0, max_x = 0, max_y = 0;
    const u8* p = image.pixels.data();
    for (u32 y = 0; y < image.height; ++y) {
        for (u32 x = 0; x < image.width; ++x, p += bpp) {
            if (p[probe] == 0) continue;
            if (!found) {
                min_x = max_x = x;
                min_y = max_y = y;
                found = true;
            } else {
                min_x = std::min(min_x, x);
                max_x = std::max(max_x, x);
                max_y = y;
            }
        }
    }
    if (found) *bounds = ImageBounds{min_x, min_y, max_x, max_y};
    return found;
}

bool SetImageChannel(PixelImage* image, u32 offset, const u8* plane) {
    int bpp = BytesPerPixel(image->format);
    if (bpp < 0 || offset >= u32(bpp) || !plane) return false;
    size_t count = size_t(image->width) * image->height;
    for (size_t i = 0; i < count; ++i) image->pixels[i * bpp + offset] = plane[i];
    image->checksum = 0;
    return true;
}

bool InvertImageChannel(PixelImage* image, u32 offset) {
    int bpp = BytesPerPixel(image->format);
    if (bpp < 0 || offset >= u32(bpp)) return false;
    size_t count = size_t(image->width) * image->height;
    for (size_t i = 0; i < count; ++i) {
        u8& b = image->pixels[i * bpp + offset];
        b = static_cast<u8>(255 - b);
    }
    image->checksum = 0;
    return true;
}

u32 ComputeImageChecksum(const PixelImage& image) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const u8* p = image.pixels.data();
    size_t left = image.pixels.size();
    // zlib takes 32-bit lengths; feed it in slices.
    while (left > 0) {
        uInt slice = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
        crc = crc32(crc, p, slice);
        p += slice;
        left -= slice;
    }
    u32 value = static_cast<u32>(crc);
    return value == 0 ? 0xFFFFFFFFu : value;
}

void UpdateImageChecksum(PixelImage* image) { image->checksum = ComputeImageChecksum(*image); }

bool ImagesEqual(const PixelImage& a, const PixelImage& b) {
    if (a.width != b.width || a.height != b.height || a.format != b.format) return false;
    if (a.checksum != 0 && b.checksum != 0 && a.checksum != b.checksum) return false;
    if (a.pixels.size() != b.pixels.size()) return false;
    if (a.height == 0) return true;
    // Edits usually touch the middle of a picture, so start there.
    size_t row = a.pixels.size() / a.height;
    i64 middle = a.height / 2;
    auto row_differs = [&](i64 y) {
        return std::memcmp(a.pixels.data() + size_t(y) * row, b.pixels.data() + size_t(y) * row, row) != 0;
    };
    // Edits usually touch the middle of a picture, so start there and walk
    // outward: middle, above, below, two above, two below, ...
    for (i64 d = 0; middle - d >= 0 || middle + d < i64(a.height); ++d) {
        if (middle - d >= 0 && row_differs(middle - d)) return false;
        if (d > 0 && middle + d < i64(a.height) && row_differs(middle + d)) return false;
    }
    return true;
}

bool IsGreyRampPalette(const PixelImage& image) {
    if (image.palette.size() != kPaletteBytes) return false;
    for (u32 i = 0; i < kPaletteEntries; ++i) {
        const u8* e = &image.palette[i * 3];
        if (e[0] != i || e[1] != i || e[2] != i) return false;
    }
    return true;
}

}  // namespace pirn
