#include "platform/palette_remap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

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

// Rows below this many per thread are not worth a thread of their own.
constexpr u32 kRowsPerMember = 8;
// Pixels a row does between two looks at the row above.
constexpr u32 kPixelsPerStep = 32;

void WaitForRow(const std::atomic<u32>& done, u32 pixels) {
    for (int spins = 0; done.load(std::memory_order_acquire) < pixels; ++spins) {
        if (spins > 64) std::this_thread::yield();
    }
}

// Maps one pixel to its nearest palette entry and spreads the error.
void DitherPixel(u8* row, u8* below, u32 x, u32 width, const u8* palette, const PaletteIndex& index, u8* o,
                 int out_bpp) {
    u8* p = row + size_t(x) * 4;
    u8 entry = NearestPaletteColor(index, p[0], p[1], p[2], p[0] + p[1] + p[2]);
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

}  // namespace

bool DitherToPalette(PixelImage* image, u32 format, const u8* palette, u32 first, u32 count,
                     const PaletteIndex& index) {
    return DitherToPaletteOnThreads(image, format, palette, first, count, index, WorkerThreadCount());
}

bool DitherToPaletteOnThreads(PixelImage* image, u32 format, const u8* palette, u32 first, u32 count,
                              const PaletteIndex& index, u32 threads) {
    if (format != kFormatColorIndex && format != kFormatIndexAlpha) return false;
    if (!palette || count == 0 || first >= kPaletteEntries || count > kPaletteEntries - first || !index.valid)
        return false;
    u64 bytes = 0;
    if (!ImageByteSize(image->width, image->height, format, &bytes)) return false;
    PixelImage work;
    if (!CopyImageAs(&work, *image, kFormatRgba)) return false;

    const u32 width = work.width;
    const u32 height = work.height;
    const size_t stride = size_t(width) * 4;
    const int out_bpp = format == kFormatIndexAlpha ? 2 : 1;
    std::vector<u8> out(static_cast<size_t>(bytes));

    // Rows go to the team's members in turn, each a few pixels behind the
    // row above. A pixel's right-hand neighbour still takes error from the
    // three pixels above it, and the clamping makes the order of those
    // additions matter, so a row waits until the row above has finished
    // the pixel two to the right of its own: then every pixel sees exactly
    // the additions, in exactly the order, of a plain top-to-bottom pass.
    WorkerTeam team(std::min<u32>(std::max<u32>(1, threads), std::max<u32>(1, height / kRowsPerMember)));
    const u32 members = team.size();
    std::vector<std::atomic<u32>> done(height);  // pixels finished in each row
    for (std::atomic<u32>& d : done) d.store(0, std::memory_order_relaxed);
    team.Run([&](u32 member) {
        for (u32 y = member; y < height; y += members) {
            u8* row = work.pixels.data() + y * stride;
            u8* below = y + 1 < height ? row + stride : nullptr;
            for (u32 x = 0; x < width;) {
                const u32 end = std::min(width, x + kPixelsPerStep);
                if (y > 0) WaitForRow(done[y - 1], std::min(width, end + 2));
                u8* o = &out[(size_t(y) * width + x) * out_bpp];
                for (; x < end; ++x, o += out_bpp) DitherPixel(row, below, x, width, palette, index, o, out_bpp);
                done[y].store(x, std::memory_order_release);
            }
        }
    });

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
    // Many images (the frames of a collection build) go to the team one
    // each, every image dithered in one thread; a few large ones share out
    // their rows. Either way each image comes out as a single pass makes it.
    const u32 threads = WorkerThreadCount();
    std::atomic<bool> all{true};
    if (threads > 1 && images.size() >= size_t(threads) * 2) {
        std::atomic<size_t> next{0};
        WorkerTeam team(threads);
        team.Run([&](u32) {
            for (size_t i = next.fetch_add(1); i < images.size(); i = next.fetch_add(1)) {
                PixelImage* image = images[i];
                if (image && !DitherToPaletteOnThreads(image, target_of(*image), palette, first, count, index, 1))
                    all = false;
            }
        });
        return all;
    }
    for (PixelImage* image : images) {
        if (image && !DitherToPalette(image, target_of(*image), palette, first, count, index)) all = false;
    }
    return all;
}

}  // namespace pirn
