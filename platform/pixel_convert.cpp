#include "platform/pixel_convert.h"

#include <cstring>
#include <utility>

#include "platform/palette_index.h"
#include "platform/palette_quantise.h"
#include "platform/palette_remap.h"

namespace pirn {
namespace {

size_t PixelCount(const PixelImage& image) { return size_t(image.width) * image.height; }

// Replaces the pixels by a block of another format, keeping size and
// palette; the caller has already checked that the size is allowed.
void AdoptPixels(PixelImage* image, u32 format, std::vector<u8>* pixels) {
    image->pixels.swap(*pixels);
    image->format = format;
    image->checksum = 0;
}

const u8* PaletteEntry(const PixelImage& image, u8 index) {
    static const u8 kBlack[3] = {0, 0, 0};
    if (image.palette.size() != kPaletteBytes) return kBlack;
    return &image.palette[size_t(index) * 3];
}

// Quantises the image's opaque colours into a palette and dithers onto it.
bool QuantiseAndDither(PixelImage* image, u32 format) {
    PixelImage work;
    if (!CopyImageAs(&work, *image, kFormatRgba)) return false;
    ColorList colours;
    CollectOpaqueColors(&colours, work);
    u8 palette[kPaletteBytes] = {};
    u32 count = QuantizePalette(&colours, palette, kPaletteEntries);
    // A picture with no opaque pixel still needs one entry to map to.
    if (count == 0) count = 1;
    PaletteIndex index;
    if (!BuildPaletteIndex(&index, palette, count, 0)) return false;
    if (!DitherToPalette(&work, format, palette, 0, count, index)) return false;
    MovePixelImage(image, &work);
    return true;
}

}  // namespace

bool ToAlphaFormat(PixelImage* image) {
    u32 step, offset;
    if (image->format == kFormatRgba) {
        step = 4;
        offset = 3;
    } else if (image->format == kFormatIndexAlpha) {
        step = 2;
        offset = 0;
    } else {
        return false;
    }
    size_t n = PixelCount(*image);
    std::vector<u8> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = image->pixels[i * step + offset];
    AdoptPixels(image, kFormatAlpha, &out);
    SetImagePalette(image, 0, nullptr);
    return true;
}

bool ToPalettedFormat(PixelImage* image) {
    if (image->format == kFormatIndexAlpha) {
        size_t n = PixelCount(*image);
        std::vector<u8> out(n);
        for (size_t i = 0; i < n; ++i) out[i] = image->pixels[i * 2 + 1];
        AdoptPixels(image, kFormatColorIndex, &out);
        return true;
    }
    return QuantiseAndDither(image, kFormatColorIndex);
}

bool ToIndexAlphaFormat(PixelImage* image) {
    if (image->format == kFormatColorIndex) {
        u64 bytes = 0;
        if (!ImageByteSize(image->width, image->height, kFormatIndexAlpha, &bytes)) return false;
        size_t n = PixelCount(*image);
        std::vector<u8> out(n * 2);
        for (size_t i = 0; i < n; ++i) {
            out[i * 2] = 255;
            out[i * 2 + 1] = image->pixels[i];
        }
        AdoptPixels(image, kFormatIndexAlpha, &out);
        return true;
    }
    return QuantiseAndDither(image, kFormatIndexAlpha);
}

bool PalettedToRgb(PixelImage* image) {
    if (image->format != kFormatColorIndex) return false;
    u64 bytes = 0;
    if (!ImageByteSize(image->width, image->height, kFormatRgb, &bytes)) return false;
    size_t n = PixelCount(*image);
    std::vector<u8> out(n * 3);
    for (size_t i = 0; i < n; ++i) std::memcpy(&out[i * 3], PaletteEntry(*image, image->pixels[i]), 3);
    AdoptPixels(image, kFormatRgb, &out);
    SetImagePalette(image, 0, nullptr);
    return true;
}

bool ToRgbaFormat(PixelImage* image) {
    u32 from = image->format;
    if (from != kFormatRgb && from != kFormatColorIndex && from != kFormatAlpha && from != kFormatIndexAlpha)
        return false;
    u64 bytes = 0;
    if (!ImageByteSize(image->width, image->height, kFormatRgba, &bytes)) return false;
    size_t n = PixelCount(*image);
    std::vector<u8> out(n * 4);
    const u8* src = image->pixels.data();
    for (size_t i = 0; i < n; ++i) {
        u8* d = &out[i * 4];
        switch (from) {
        case kFormatRgb:
            std::memcpy(d, src + i * 3, 3);
            d[3] = 255;
            break;
        case kFormatColorIndex:
            std::memcpy(d, PaletteEntry(*image, src[i]), 3);
            d[3] = 255;
            break;
        case kFormatAlpha:
            d[0] = d[1] = d[2] = 255;
            d[3] = src[i];
            break;
        default:  // IndexAlpha
            std::memcpy(d, PaletteEntry(*image, src[i * 2 + 1]), 3);
            d[3] = src[i * 2];
            break;
        }
    }
    AdoptPixels(image, kFormatRgba, &out);
    SetImagePalette(image, 0, nullptr);
    return true;
}

bool ConvertImageFormat(PixelImage* image, u32 format) {
    if (image->format == format) return true;
    switch (format) {
    case kFormatAlpha:
        return ToAlphaFormat(image);
    case kFormatColorIndex:
        return ToPalettedFormat(image);
    case kFormatIndexAlpha:
        return ToIndexAlphaFormat(image);
    case kFormatRgb:
        return PalettedToRgb(image);
    case kFormatRgba:
        return ToRgbaFormat(image);
    default:
        return false;
    }
}

bool CopyImageAs(PixelImage* to, const PixelImage& from, u32 format) {
    PixelImage copy = from;
    if (!ConvertImageFormat(&copy, format)) return false;
    *to = std::move(copy);
    return true;
}

bool PrepareTexturePixels(const PixelImage& image, PixelImage* out) {
    switch (image.format) {
    case kFormatAlpha:
    case kFormatRgb:
    case kFormatRgba:
        *out = image;
        SetImagePalette(out, 0, nullptr);
        return true;
    case kFormatColorIndex:
        return CopyImageAs(out, image, kFormatRgb);
    case kFormatIndexAlpha:
        return CopyImageAs(out, image, kFormatRgba);
    default:
        return false;
    }
}

}  // namespace pirn
