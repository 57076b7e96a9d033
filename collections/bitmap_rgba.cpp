#include "collections/bitmap_rgba.h"

#include "platform/colour_space.h"

namespace pirn {

namespace {

struct Rgb {
    int r, g, b;
};

// One colour of a 64-bit pixel: bytes c0-c2 and the hue change numbered n
// (from 1; 0 or past the list: none).
Rgb DeepColor(const Collection& collection, u8 c0, u8 c1, u8 c2, u32 n) {
    if (n == 0 || n > collection.hue_changes.size()) return {c0, c1, c2};
    const CollectionHueChange& hue = *collection.hue_changes[n - 1];
    if (hue.replacement_flags >= 2)
        return {hue.replacement_red >> 8, hue.replacement_green >> 8, hue.replacement_blue >> 8};
    u8 hsv[3] = {c0, c2, c1};
    if (hue.replacement_flags != 0) {
        double h = 0, s = 0, v = 0;
        RgbToHsv(hue.replacement_red / 65535.0, hue.replacement_green / 65535.0, hue.replacement_blue / 65535.0, &h,
                 &s, &v);
        const int replacement_hue = static_cast<int>(h * 65536.0);
        const int replacement_saturation = static_cast<int>(s * 65535.0);
        const int replacement_value = static_cast<int>(v * 65535.0);
        const int median = hue.median_hue >> 8;
        const int shifted = (hue.hue_flags & 1) ? median - c0 : c0 - median;
        hsv[0] = static_cast<u8>((shifted + replacement_hue / 256) & 0xFF);
        hsv[1] = static_cast<u8>(c2 * (replacement_saturation / 256) / 256);
        hsv[2] = static_cast<u8>(c1 * (replacement_value / 256) / 256);
    }
    u8 rgb[4];
    HsvToRgb8(hsv, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

void DeepPixel(const Collection& collection, const u8* p, u8* out) {
    Rgb color = DeepColor(collection, p[0], p[1], p[2], p[3] / 32u);
    if (p[2] & 1) {
        const Rgb second = DeepColor(collection, p[4], p[5], p[6], p[7] / 32u);
        const int w = p[7] % 32;
        color = {(color.r * (64 - w) + second.r * w) / 64, (color.g * (64 - w) + second.g * w) / 64,
                 (color.b * (64 - w) + second.b * w) / 64};
    }
    out[0] = static_cast<u8>(color.r);
    out[1] = static_cast<u8>(color.g);
    out[2] = static_cast<u8>(color.b);
    out[3] = static_cast<u8>((p[3] % 32) * 255 / 31);
}

}  // namespace

void ConvertBitmapToRgba(const Collection& collection, const CollectionBitmap& bitmap,
                         const u8 preview[kColorTableBytes], u32 x, u32 y, u32 w, u32 h, u8* rgba) {
    const bool shadow = (bitmap.flags & kBitmapShadow) != 0;
    const size_t bpp = bitmap.bytes_per_pixel;
    for (u32 row = 0; row < h; ++row) {
        const u8* p = &bitmap.pixels[((size_t{y} + row) * bitmap.width + x) * bpp];
        u8* out = rgba + size_t{row} * w * 4;
        for (u32 column = 0; column < w; ++column, p += bpp, out += 4) {
            if (bpp == 8) {
                DeepPixel(collection, p, out);
                continue;
            }
            if (shadow) {
                out[0] = out[1] = out[2] = static_cast<u8>(255 - p[1]);
            } else {
                out[0] = preview[3 * p[1]];
                out[1] = preview[3 * p[1] + 1];
                out[2] = preview[3 * p[1] + 2];
            }
            out[3] = p[0];
        }
    }
}

void FitIntoBox(i32 width, i32 height, i32* out_width, i32* out_height, i32 box) {
    if (width <= 0 || height <= 0) {
        *out_width = *out_height = 0;
        return;
    }
    if (width <= height) {
        *out_width = static_cast<i32>(i64{width} * box / height);
        *out_height = box;
    } else {
        *out_width = box;
        *out_height = static_cast<i32>(i64{height} * box / width);
    }
}

}  // namespace pirn
