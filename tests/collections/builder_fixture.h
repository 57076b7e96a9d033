#pragma once
// Folders of rendered frames for the builder tests. BMP files are laid out
// here byte by byte from the format's tables (14-byte file header,
// 40-byte info header, rows bottom-up padded to 4 bytes, little-endian),
// independently of the program's own BMP writer; PNG files come from the
// program's encoder, which its own tests check against outside readers.

#include <cstring>
#include <string>
#include <vector>

#include "platform/image_file.h"
#include "platform/pixel_image.h"
#include "tests/support/test_support.h"

namespace pirn::builder_fixture {

struct Rgba {
    u8 r, g, b, a;
};

// A w x h RGBA frame, transparent but for the inclusive rectangle.
inline PixelImage Frame(u32 w, u32 h, u32 x0, u32 y0, u32 x1, u32 y1, Rgba colour) {
    PixelImage image;
    SetImagePixels(&image, w, h, kFormatRgba, nullptr);
    for (u32 y = y0; y <= y1; ++y)
        for (u32 x = x0; x <= x1; ++x) std::memcpy(&image.pixels[(size_t(y) * w + x) * 4], &colour, 4);
    return image;
}

inline void Le16(std::vector<u8>& out, u32 v) {
    out.push_back(u8(v));
    out.push_back(u8(v >> 8));
}
inline void Le32(std::vector<u8>& out, u32 v) {
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

// BITMAPFILEHEADER + BITMAPINFOHEADER of a bottom-up picture.
inline std::vector<u8> BmpHeaders(u32 w, u32 h, u32 bits, u32 palette_entries, u32 image_bytes) {
    std::vector<u8> out;
    const u32 offset = 14 + 40 + palette_entries * 4;
    out.push_back('B');
    out.push_back('M');
    Le32(out, offset + image_bytes);
    Le32(out, 0);
    Le32(out, offset);
    Le32(out, 40);
    Le32(out, w);
    Le32(out, h);
    Le16(out, 1);
    Le16(out, bits);
    Le32(out, 0);  // BI_RGB
    Le32(out, image_bytes);
    Le32(out, 2835);
    Le32(out, 2835);
    Le32(out, palette_entries);
    Le32(out, 0);
    return out;
}

// The colours of an RGBA frame as a 24-bit BMP (blue, green, red).
inline std::vector<u8> Bmp24(const PixelImage& rgba) {
    const u32 w = rgba.width, h = rgba.height;
    const u32 stride = (w * 3 + 3) / 4 * 4;
    std::vector<u8> out = BmpHeaders(w, h, 24, 0, stride * h);
    for (u32 row = 0; row < h; ++row) {
        const u32 y = h - 1 - row;
        for (u32 x = 0; x < w; ++x) {
            const u8* p = &rgba.pixels[(size_t(y) * w + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (u32 pad = w * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

// One byte of every pixel (alpha by default) as an 8-bit BMP with a grey
// palette: what painting programs save as a mask.
inline std::vector<u8> BmpGrey(const PixelImage& rgba, u32 channel = 3) {
    const u32 w = rgba.width, h = rgba.height;
    const u32 stride = (w + 3) / 4 * 4;
    std::vector<u8> out = BmpHeaders(w, h, 8, 256, stride * h);
    for (u32 i = 0; i < 256; ++i) {
        out.push_back(u8(i));
        out.push_back(u8(i));
        out.push_back(u8(i));
        out.push_back(0);
    }
    for (u32 row = 0; row < h; ++row) {
        const u32 y = h - 1 - row;
        for (u32 x = 0; x < w; ++x) out.push_back(rgba.pixels[(size_t(y) * w + x) * 4 + channel]);
        for (u32 pad = w; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

inline std::vector<u8> Png(const PixelImage& image) {
    std::vector<u8> bytes;
    EncodeImageBytes(kTypePng, image, &bytes);
    return bytes;
}

// Writes the picture: ".bmp" as a 24-bit BMP of its colours, anything else
// as PNG of the image as it is.
inline void WritePicture(const std::string& path, const PixelImage& image) {
    const bool bmp = path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    pirn_test::WriteAll(path, bmp ? Bmp24(image) : Png(image));
}

// The RGB part of an RGBA frame.
inline PixelImage ColoursOf(const PixelImage& rgba) {
    std::vector<u8> rgb;
    for (size_t i = 0; i < rgba.pixels.size(); i += 4) rgb.insert(rgb.end(), &rgba.pixels[i], &rgba.pixels[i + 3]);
    PixelImage image;
    SetImagePixels(&image, rgba.width, rgba.height, kFormatRgb, rgb.data());
    return image;
}

// The alpha of an RGBA frame as a grey picture.
inline PixelImage AlphaOf(const PixelImage& rgba) {
    std::vector<u8> grey;
    for (size_t i = 3; i < rgba.pixels.size(); i += 4) grey.push_back(rgba.pixels[i]);
    PixelImage image;
    SetImagePixels(&image, rgba.width, rgba.height, kFormatAlpha, grey.data());
    return image;
}

}  // namespace pirn::builder_fixture
