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

// FindOpaqueEntry for many colours against one table: every import looks
// up each colour its pixels use, and a search of the table for each would
// cost the table's size over again.
class OpaqueEntryFinder {
public:
    explicit OpaqueEntryFinder(const u8 table[kColorTableBytes]) {
        for (u32 j = kFirstOpaqueEntry; j < kColorTableEntries; ++j) {
            const u32 key = Key(&table[3 * j]);
            u32 slot = Slot(key);
            while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) % kSlots;
            if (keys_[slot] == 0) {  // the first entry of a colour stays
                keys_[slot] = key;
                entries_[slot] = static_cast<u8>(j);
            }
        }
    }
    int Find(const u8* color) const {
        const u32 key = Key(color);
        for (u32 slot = Slot(key); keys_[slot] != 0; slot = (slot + 1) % kSlots)
            if (keys_[slot] == key) return entries_[slot];
        return -1;
    }

private:
    static constexpr u32 kSlots = 1024;  // a quarter full at most
    static u32 Key(const u8* c) { return (u32{c[0]} << 16 | u32{c[1]} << 8 | c[2]) + 1; }  // 0: empty
    static u32 Slot(u32 key) { return (key * 2654435761u) >> 22; }
    u32 keys_[kSlots] = {};
    u8 entries_[kSlots] = {};
};

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
    // Every index marked, the transparent ones cleared after: no test per
    // pixel.
    for (u8 index : image.pixels) used[index] = true;
    for (u32 i = 0; i < kFirstOpaqueEntry; ++i) used[i] = false;
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
    const OpaqueEntryFinder finder(table);
    for (u32 i = kFirstOpaqueEntry; i < kColorTableEntries; ++i) {
        map[i] = 0;
        if (!used[i]) continue;
        const int entry = finder.Find(&palette[3 * i]);
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
    const OpaqueEntryFinder finder(table);
    for (u32 i = kFirstOpaqueEntry; i < kColorTableEntries && !missing; ++i)
        missing = used[i] && finder.Find(&palette[3 * i]) < 0;
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

    // Made in the collection at once and filled there: no copy of the
    // pixels on the way.
    CollectionBitmap* added = AddCollectionBitmap(collection, name, 0, nullptr, image.width, image.height, 2, replaced);
    if (!added) return nullptr;
    const size_t count = size_t(image.width) * image.height;
    u8* out = added->pixels.data();
    u16 flags = 0;
    if (!with_alpha) {
        // Indices 0 and 1 map to 0 (MapPaletteToTable): one pass with no
        // test per pixel, and one search for an index 0 (which makes the
        // bitmap RLE).
        u8 stored[kColorTableEntries][2];  // alpha, table entry
        for (u32 s = 0; s < kColorTableEntries; ++s) {
            stored[s][0] = s >= kFirstOpaqueEntry ? 255 : 0;
            stored[s][1] = map[s];
        }
        const u8* source = image.pixels.data();
        for (size_t i = 0; i < count; ++i) std::memcpy(out + 2 * i, stored[source[i]], 2);
        if (count > 0 && std::memchr(source, 0, count)) flags |= kBitmapRle;
    }
    for (size_t i = 0; with_alpha && i < count; ++i) {
        // With alpha, a pixel of alpha 0 is a transparent one like index 0:
        // it makes the bitmap RLE.
        const u8 alpha = image.pixels[2 * i];
        const u8 source = image.pixels[2 * i + 1];
        if (source == 0 || alpha == 0) flags |= kBitmapRle;
        const bool opaque = source >= kFirstOpaqueEntry && alpha != 0;
        if (opaque && alpha != 255) flags |= kBitmapPartialAlpha;
        out[2 * i] = opaque ? alpha : 0;
        out[2 * i + 1] = opaque ? map[source] : 0;
    }
    added->flags = flags;
    std::memcpy(collection->colors, table, kColorTableBytes);
    return added;
}

}  // namespace pirn
