#pragma once
// A picture in memory: pixel format, size, optional 256-colour palette and
// tightly packed top-down rows.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Pixel formats; the first four are the GL enumerants of the same meaning.
enum : u32 {
    kFormatNone = 0,
    kFormatColorIndex = 6400,  // 1 byte: palette index
    kFormatAlpha = 6406,       // 1 byte: alpha (grey) only
    kFormatRgb = 6407,         // 3 bytes: red, green, blue
    kFormatRgba = 6408,        // 4 bytes: red, green, blue, alpha
    kFormatIndexAlpha = 6666,  // 2 bytes: alpha, then palette index
};

constexpr u32 kPaletteEntries = 256;
constexpr u32 kPaletteBytes = kPaletteEntries * 3;

// Largest pixel block we agree to hold. Sizes come from files, so anything
// beyond this is treated as hostile rather than attempted.
constexpr u64 kMaxImageBytes = u64(1) << 30;

struct PixelImage {
    u32 format = kFormatNone;
    u32 width = 0;
    u32 height = 0;
    u32 palette_count = 0;
    // CRC-32 of the pixel bytes; 0 = not computed (a real CRC of 0 is kept
    // as 0xFFFFFFFF so that it never reads as "not computed").
    u32 checksum = 0;
    std::vector<u8> palette;  // empty, or 256 RGB triples
    std::vector<u8> pixels;

    bool has_palette() const { return !palette.empty(); }
};

// Bytes per pixel of a format; -1 for a format with no byte size.
int BytesPerPixel(u32 format);

// width x height x bytes per pixel in 64 bits; false when the format has no
// size or the product passes kMaxImageBytes.
bool ImageByteSize(u32 width, u32 height, u32 format, u64* bytes);
// Whether the image is at least one pixel in each direction and its pixel
// block is exactly width x height x bytes per pixel (what every encoder
// needs before it reads a row).
bool HasWholePixels(const PixelImage& image);

void InitPixelImage(PixelImage* image);
// Copies width x height pixels of the format (zero-filled when pixels is
// null). Fails on a format without size or a size past kMaxImageBytes.
bool SetImagePixels(PixelImage* image, u32 width, u32 height, u32 format, const u8* pixels);
// count RGB triples into the 256-entry palette, the rest zeroed; count 0
// frees the palette. Counts above 256 are cut to 256.
void SetImagePalette(PixelImage* image, u32 count, const u8* rgb);
void FreeImagePixels(PixelImage* image);
void MovePixelImage(PixelImage* to, PixelImage* from);

// Keeps the inclusive rectangle; fails when it is empty or leaves the image.
bool CropImage(PixelImage* image, u32 x0, u32 y0, u32 x1, u32 y1);

struct ImageBounds {
    u32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
// Inclusive box of the pixels whose alpha (RGBA) or first byte (other
// formats) is non-zero; all zero when there are none. Returns whether any
// pixel was found, since the all-zero box also describes pixel (0, 0).
bool ImageContentBounds(const PixelImage& image, ImageBounds* bounds);

// Writes a width x height plane into byte `offset` of every pixel.
bool SetImageChannel(PixelImage* image, u32 offset, const u8* plane);
// Replaces byte `offset` of every pixel by 255 minus itself.
bool InvertImageChannel(PixelImage* image, u32 offset);

u32 ComputeImageChecksum(const PixelImage& image);
void UpdateImageChecksum(PixelImage* image);

// Same size and format, equal checksums unless either is 0, and equal rows
// compared from the middle row outward. Palettes are not compared.
bool ImagesEqual(const PixelImage& a, const PixelImage& b);

// The entry i = (i, i, i) palette, used for grey images.
bool IsGreyRampPalette(const PixelImage& image);

}  // namespace pirn
