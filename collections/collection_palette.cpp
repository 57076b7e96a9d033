#include "collections/collection_palette.h"

#include <cstring>
#include <vector>

namespace pirn {

namespace {

bool SameColor(const u8* a, const u8* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// First entry from 2 on holding the colour, or -1.
int FindOpaqueEntry(const u8 table[kColorTableBytes], const u8* color) {
    for (u32 j = kFirstOpaqueEntry; j < kColorTableEntries; ++j)
        if (SameColor(&table[3 * j], color)) return static_cast<int>(j);
    return -1;
}

}  // namespace

bool PaddedImagePalette(const PixelImage& image, u8 out[kColorTableBytes]) {
    if (image.palette.size() < kColorTableBytes) return false;
    u32 count = image.palette_count;
    if (count == 0 || count > kColorTableEntries) count = kColorTableEntries;
    std::memcpy(out, image.palette.data(), size_t{count} * 3);
    for (u32 i = count; i < kColorTableEntries; ++i) std::memcpy(&out[3 * i], &image.palette[0], 3);
    return true;
}

void OpaqueEntriesUsed(const PixelImage& image, bool used[kColorTableEntries]) {
    for (u32 i = 0; i < kColorTableEntries; ++i) used[i] = false;
    if (image.format == kFormatIndexAlpha) {
        for (size_t i = 0; i + 1 < image.pixels.size(); i += 2)
            if (image.pixels[i] != 0 && image.pixels[i + 1] >= kFirstOpaqueEntry) used[image.pixels[i + 1]] = true;
        return;
    }
    for (u8 index : image.pixels)
        if (index >= kFirstOpaqueEntry) used[index] = true;
}

bool TableIsOneColor(const u8 table[kColorTableBytes]) {
    for (u32 i = 1; i < kColorTableEntries; ++i)
        if (!SameColor(&table[3 * i], table)) return false;
    return true;
}

void EntriesShownByBitmaps(const Collection& collection, bool shown[kColorTableEntries]) {
    for (u32 i = 0; i < kColorTableEntries; ++i) shown[i] = false;
    for (const auto& bitmap : collection.bitmaps) {
        // A shadow's bytes are grey levels, not table entries.
        if (bitmap->bytes_per_pixel != 2 || (bitmap->flags & kBitmapShadow)) continue;
        const PixelBytes& pixels = bitmap->pixels;
        for (size_t i = 0; i + 1 < pixels.size(); i += 2)
            if (pixels[i] != 0) shown[pixels[i + 1]] = true;
    }
}

bool MergePalette(u8 table[kColorTableBytes], const u8 palette[kColorTableBytes],
                  const bool used[kColorTableEntries], const bool shown[kColorTableEntries]) {
    std::vector<u32> free_slots;
    for (u32 j = kFirstOpaqueEntry; j < kColorTableEntries; ++j) {
        if (shown && shown[j]) continue;
        for (u32 k = 0; k < j; ++k)
            if (SameColor(&table[3 * j], &table[3 * k])) {
                free_slots.push_back(j);
                break;
            }
    }
    size_t next_free = 0;
    for (u32 i = kFirstOpaqueEntry; i < kColorTableEntries; ++i) {
        if (!used[i] || FindOpaqueEntry(table, &palette[3 * i]) >= 0) continue;
        if (next_free == free_slots.size()) return false;
        std::memcpy(&table[3 * free_slots[next_free++]], &palette[3 * i], 3);
    }
    return true;
}

bool MapPaletteToTable(const u8 table[kColorTableBytes], const u8 palette[kColorTableBytes],
                       const bool used[kColorTableEntries], u8 map[kColorTableEntries]) {
    map[0] = map[1] = 0;
    for (u32 i = kFirstOpaqueEntry; i < kColorTableEntries; ++i) {
        map[i] = 0;
        if (!used[i]) continue;
        const int entry = FindOpaqueEntry(table, &palette[3 * i]);
        if (entry < 0) return false;
        map[i] = static_cast<u8>(entry);
    }
    return true;
}

bool ChooseImportTable(const Collection& collection, const u8 palette[kColorTableBytes],
                       const bool used[kColorTableEntries], bool force, u8 table[kColorTableBytes]) {
    std::memcpy(table, collection.colors, kColorTableBytes);
    if (force || (collection.bitmaps.empty() && TableIsOneColor(table))) {
        std::memcpy(table, palette, kColorTableBytes);
        return true;
    }
    // Finding the entries bitmaps draw with reads every pixel: only an
    // image that brings new colours needs them.
    bool missing = false;
    for (u32 i = kFirstOpaqueEntry; i < kColorTableEntries && !missing; ++i)
        missing = used[i] && FindOpaqueEntry(table, &palette[3 * i]) < 0;
    if (!missing) return true;
    bool shown[kColorTableEntries];
    EntriesShownByBitmaps(collection, shown);
    return MergePalette(table, palette, used, shown);
}

CollectionBitmap* AddBitmapFromImage(Collection* collection, const PixelImage& image, const char* name,
                                     CollectionBitmap* replaced, bool force_colors) {
    const bool with_alpha = image.format == kFormatIndexAlpha;
    if ((image.format != kFormatColorIndex && !with_alpha) || !HasWholePixels(image)) return nullptr;
    if (replaced && FindCollectionBitmap(*collection, replaced) < 0) return nullptr;
    u8 palette[kColorTableBytes];
    if (!PaddedImagePalette(image, palette)) return nullptr;
    bool used[kColorTableEntries];
    OpaqueEntriesUsed(image, used);
    u8 table[kColorTableBytes];
    if (!ChooseImportTable(*collection, palette, used, force_colors, table)) return nullptr;
    u8 map[kColorTableEntries];
    if (!MapPaletteToTable(table, palette, used, map)) return nullptr;

    const size_t count = size_t(image.width) * image.height;
    std::vector<u8> pixels(count * 2);
    u16 flags = 0;
    for (size_t i = 0; i < count; ++i) {
        // With alpha, a pixel of alpha 0 is a transparent one like index 0:
        // it makes the bitmap RLE.
        const u8 alpha = with_alpha ? image.pixels[2 * i] : 255;
        const u8 source = with_alpha ? image.pixels[2 * i + 1] : image.pixels[i];
        if (source == 0 || alpha == 0) flags |= kBitmapRle;
        const bool opaque = source >= kFirstOpaqueEntry && alpha != 0;
        if (opaque && alpha != 255) flags |= kBitmapPartialAlpha;
        pixels[2 * i] = opaque ? alpha : 0;
        pixels[2 * i + 1] = opaque ? map[source] : 0;
    }
    CollectionBitmap* added =
        AddCollectionBitmap(collection, name, flags, pixels.data(), image.width, image.height, 2, replaced);
    if (added) std::memcpy(collection->colors, table, kColorTableBytes);
    return added;
}

}  // namespace pirn
