// Operations on one bitmap's pixels: cropping to content, images of its
// colours and alpha, alpha masks, and the nearest table colour.

#include <algorithm>
#include <cstring>

#include "collections/collection.h"

namespace pirn {

namespace {

bool IsPowerOfTwo(u32 n) { return n != 0 && (n & (n - 1)) == 0; }

// A pixel counts as content when it is not fully transparent: alpha in the
// 2-byte form, the alpha bits of the code byte in the 64-bit form.
bool HasContent(const CollectionBitmap& bitmap, size_t pixel) {
    const u8* p = &bitmap.pixels[pixel * bitmap.bytes_per_pixel];
    if (bitmap.bytes_per_pixel == 8) return (p[3] % 32) != 0;
    return p[0] != 0;
}

bool WholePixels(const CollectionBitmap& bitmap) {
    return bitmap.bytes_per_pixel > 0 &&
           bitmap.pixels.size() == size_t{bitmap.width} * bitmap.height * bitmap.bytes_per_pixel;
}

struct Box {
    u32 left = 0, top = 0, right = 0, bottom = 0;  // inclusive
};

bool ContentBox(const CollectionBitmap& bitmap, Box* box) {
    bool any = false;
    for (u32 y = 0; y < bitmap.height; ++y)
        for (u32 x = 0; x < bitmap.width; ++x) {
            if (!HasContent(bitmap, size_t{y} * bitmap.width + x)) continue;
            if (!any) {
                *box = {x, y, x, y};
                any = true;
            }
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
            box->top = std::min(box->top, y);
            box->bottom = std::max(box->bottom, y);
        }
    return any;
}

i16 Shifted(i16 value, u32 margin) {
    const i64 moved = i64{value} - margin;
    return static_cast<i16>(std::clamp<i64>(moved, -32768, 32767));
}

void ShiftReference(InstanceReference* reference, u32 dx, u32 dy) {
    reference->x = Shifted(reference->x, dx);
    reference->y = Shifted(reference->y, dy);
}

}  // namespace

i64 CropBitmapToContent(Collection* collection, CollectionBitmap* bitmap) {
    if (!WholePixels(*bitmap)) return -1;
    Box box;
    if (!ContentBox(*bitmap, &box)) return -1;
    if (!(bitmap->flags & kBitmapRle) && IsPowerOfTwo(bitmap->width) && IsPowerOfTwo(bitmap->height)) return 0;
    const u32 width = box.right - box.left + 1;
    const u32 height = box.bottom - box.top + 1;
    if (width == bitmap->width && height == bitmap->height) return 0;

    const size_t bpp = bitmap->bytes_per_pixel;
    std::vector<u8> cropped(size_t{width} * height * bpp);
    for (u32 y = 0; y < height; ++y)
        std::memcpy(&cropped[size_t{y} * width * bpp],
                    &bitmap->pixels[(size_t{box.top + y} * bitmap->width + box.left) * bpp], width * bpp);

    const u32 left = box.left, right = bitmap->width - 1 - box.right;
    const u32 top = box.top, bottom = bitmap->height - 1 - box.bottom;
    ForEachInstance(collection, [&](BitmapInstance& instance) {
        const u32 dx = (instance.flags & kInstanceMirrored) ? right : left;
        const u32 dy = (instance.flags & kInstanceFlipped) ? bottom : top;
        if (instance.standard.bitmap == bitmap) {
            ShiftReference(&instance.standard, dx, dy);
            instance.key_x = Shifted(instance.key_x, dx);
            instance.key_y = Shifted(instance.key_y, dy);
        }
        if (instance.alternate.bitmap == bitmap) ShiftReference(&instance.alternate, dx, dy);
    });

    const i64 removed = i64{bitmap->width} * bitmap->height - i64{width} * height;
    bitmap->pixels = cropped;
    bitmap->width = static_cast<u16>(width);
    bitmap->height = static_cast<u16>(height);
    MarkBitmapChanged(bitmap);
    return removed;
}

bool ExportBitmapAlpha(const CollectionBitmap& bitmap, PixelImage* image) {
    if (bitmap.bytes_per_pixel != 2 || !WholePixels(bitmap)) return false;
    const size_t count = size_t{bitmap.width} * bitmap.height;
    std::vector<u8> alpha(count);
    for (size_t i = 0; i < count; ++i) alpha[i] = bitmap.pixels[2 * i];
    InitPixelImage(image);
    return SetImagePixels(image, bitmap.width, bitmap.height, kFormatAlpha, alpha.data());
}

bool ExportBitmapColors(const Collection& collection, const CollectionBitmap& bitmap, PixelImage* image) {
    if (bitmap.bytes_per_pixel != 2 || !WholePixels(bitmap)) return false;
    const bool shadow = (bitmap.flags & kBitmapShadow) != 0;
    const u8 transparent = (bitmap.flags & kBitmapRle) ? 0 : 1;
    const size_t count = size_t{bitmap.width} * bitmap.height;
    std::vector<u8> indices(count);
    for (size_t i = 0; i < count; ++i) {
        const u8 alpha = bitmap.pixels[2 * i], index = bitmap.pixels[2 * i + 1];
        indices[i] = (alpha != 0 || shadow) ? index : transparent;
    }
    InitPixelImage(image);
    if (!SetImagePixels(image, bitmap.width, bitmap.height, kFormatColorIndex, indices.data())) return false;
    u8 palette[kColorTableBytes];
    if (shadow)
        for (u32 i = 0; i < kColorTableEntries; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = u8(i);
    else
        std::memcpy(palette, collection.colors, sizeof palette);
    SetImagePalette(image, kColorTableEntries, palette);
    return true;
}

bool ApplyAlphaMask(CollectionBitmap* bitmap, const PixelImage& image) {
    if (bitmap->bytes_per_pixel != 2 || !WholePixels(*bitmap)) return false;
    if (image.format != kFormatAlpha && image.format != kFormatColorIndex) return false;
    if (image.width != bitmap->width || image.height != bitmap->height || !HasWholePixels(image)) return false;
    bool partial = false;
    const size_t count = size_t{bitmap->width} * bitmap->height;
    for (size_t i = 0; i < count; ++i) {
        const u8 alpha = image.pixels[i];
        bitmap->pixels[2 * i] = alpha;
        partial = partial || (alpha != 0 && alpha != 255);
    }
    if (partial)
        bitmap->flags |= kBitmapPartialAlpha;
    else
        bitmap->flags &= static_cast<u16>(~kBitmapPartialAlpha);
    MarkBitmapChanged(bitmap);
    return true;
}

u32 FindNearestColor(const u8* table, u32 first, u32 last, u32 rgba) {
    if (first > last) return first;
    last = std::min(last, kColorTableEntries - 1);
    const int r = rgba & 0xFF, g = (rgba >> 8) & 0xFF, b = (rgba >> 16) & 0xFF;
    u32 best = first;
    int best_distance = -1;
    for (u32 i = first; i <= last; ++i) {
        const int dr = table[3 * i] - r, dg = table[3 * i + 1] - g, db = table[3 * i + 2] - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance == 0) return i;
        if (best_distance < 0 || distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    return best;
}

}  // namespace pirn
