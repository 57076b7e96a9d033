#include "platform/palette_remap.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/palette_cells.h"
#include "platform/palette_quantise.h"
#include "platform/pixel_convert.h"
#include "platform/worker_team.h"

namespace pirn {
namespace {

u8 ClampChannel(int v) { return static_cast<u8>(std::clamp(v, 0, 255)); }

// Adds share/64 of each channel's error (truncated toward zero) to a pixel.
void Spread(u8* pixel, const int* error, int share) {
    for (int c = 0; c < 3; ++c) pixel[c] = ClampChannel(pixel[c] + error[c] * share / 64);
}

// Below this many pixels the cells would cost more to make than they save.
constexpr size_t kPixelsForCells = 1u << 16;

// Maps one pixel to its nearest palette entry and spreads the error.
template <typename Nearest>
void DitherPixel(u8* row, u8* below, u32 x, u32 width, const u8* palette, Nearest& nearest, u8* o, int out_bpp) {
    u8* p = row + size_t(x) * 4;
    const u8 entry = nearest(p[0], p[1], p[2]);
    const u8* c = palette + size_t(entry) * 3;
    int error[3] = {p[0] - c[0], p[1] - c[1], p[2] - c[2]};
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
    if (out_bpp == 2) {
        o[0] = p[3];
        o[1] = entry;
    } else {
        o[0] = entry;
    }
    bool last_column = x + 1 == width;
    if (!last_column) Spread(p + 4, error, 21);
    if (below) {
        u8* q = below + size_t(x) * 4;
        if (x > 0) Spread(q - 4, error, 9);
        Spread(q, error, 15);
        if (!last_column) Spread(q + 4, error, 3);
    }
}

// One pass, top to bottom and left to right: every pixel waits for the
// error of the pixels before it, so the pass stays on one thread (a
// picture per thread is what parallel remapping shares out).
template <typename Nearest>
void DitherPass(PixelImage* work, const u8* palette, Nearest nearest, u8* out, int out_bpp) {
    const u32 width = work->width, height = work->height;
    const size_t stride = size_t(width) * 4;
    u8* o = out;
    for (u32 y = 0; y < height; ++y) {
        u8* row = work->pixels.data() + y * stride;
        u8* below = y + 1 < height ? row + stride : nullptr;
        for (u32 x = 0; x < width; ++x, o += out_bpp) DitherPixel(row, below, x, width, palette, nearest, o, out_bpp);
    }
}

}  // namespace

bool DitherToPalette(PixelImage* image, u32 format, const u8* palette, u32 first, u32 count,
                     const PaletteIndex& index) {
    if (format != kFormatColorIndex && format != kFormatIndexAlpha) return false;
    if (!palette || count == 0 || first >= kPaletteEntries || count > kPaletteEntries - first || !index.valid)
        return false;
    u64 bytes = 0;
    if (!ImageByteSize(image->width, image->height, format, &bytes)) return false;
    PixelImage work;
    if (!CopyImageAs(&work, *image, kFormatRgba)) return false;

    const int out_bpp = format == kFormatIndexAlpha ? 2 : 1;
    std::vector<u8> out(static_cast<size_t>(bytes));
    if (size_t(work.width) * work.height >= kPixelsForCells) {
        PaletteCells cells(index);
        DitherPass(&work, palette, [&cells](int r, int g, int b) { return cells.Nearest(r, g, b); }, out.data(),
                   out_bpp);
    } else {
        DitherPass(&work, palette, [&index](int r, int g, int b) { return NearestPaletteColor(index, r, g, b); },
                   out.data(), out_bpp);
    }

    u8 result_palette[kPaletteBytes] = {};
    std::memcpy(result_palette, palette, size_t(first + count) * 3);
    image->pixels.swap(out);
    image->format = format;
    image->checksum = 0;
    SetImagePalette(image, kPaletteEntries, result_palette);
    image->palette_count = first + count;
    return true;
}

u32 BuildImagesPalette(const std::vector<PixelImage*>& images, u8* palette, u32 first, u32 max) {
    max = std::min(max, kPaletteEntries);
    if (first >= max) return 0;
    ColorList colours;
    for (const PixelImage* image : images) {
        if (image) CollectOpaqueColors(&colours, *image);
    }
    return QuantizePalette(&colours, palette + size_t(first) * 3, max - first);
}

u32 BuildSharedPalette(const std::vector<PixelImage*>& images, i32 format, u8* palette) {
    std::memset(palette, 0, kPaletteBytes);
    palette[2] = 255;  // entry 0: (0, 0, 255)
    palette[3] = 255;  // entry 1: (255, 0, 255)
    palette[5] = 255;
    u32 count = BuildImagesPalette(images, palette, 2, kPaletteEntries);
    // Images with no opaque pixel still need an entry to land on.
    u32 remap_count = count == 0 ? 1 : count;
    if (!RemapImagesToPalette(images, format, palette, remap_count, 2)) return 0;
    return 2 + count;
}

bool RemapImagesToPalette(const std::vector<PixelImage*>& images, i32 format, const u8* palette, u32 count,
                          u32 first) {
    PaletteIndex index;
    if (!BuildPaletteIndex(&index, palette, count, first)) return false;
    auto target_of = [format](const PixelImage& image) {
        if (format != -1) return static_cast<u32>(format);
        const bool has_alpha =
            image.format == kFormatAlpha || image.format == kFormatRgba || image.format == kFormatIndexAlpha;
        return has_alpha ? u32{kFormatIndexAlpha} : u32{kFormatColorIndex};
    };
    // The images go to the team one each; every image is dithered in one
    // pass, as one thread alone would.
    std::atomic<bool> all{true};
    const u32 threads = static_cast<u32>(std::min<size_t>(WorkerThreadCount(), images.size()));
    WorkerTeam team(threads);
    team.ForEach(static_cast<u32>(images.size()), [&](u32 i, u32) {
        PixelImage* image = images[i];
        if (image && !DitherToPalette(image, target_of(*image), palette, first, count, index)) all = false;
    });
    return all;
}

}  // namespace pirn
