#include "collections/ui/collection_bitmap_drawing.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "collections/bitmap_placeholder.h"
#include "collections/bitmap_rgba.h"
#include "collections/ui/bitmap_tile_plan.h"
#include "ui/draw_target.h"
#include "ui/window_renderer.h"

namespace pirn {

namespace {

constexpr u64 kFnvOffset = 0xCBF29CE484222325ull;
constexpr u64 kFnvPrime = 0x100000001B3ull;

u64 Fnv(u64 h, const void* data, size_t n) {
    const u8* p = static_cast<const u8*>(data);
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * kFnvPrime;
    return h;
}

// Never destroyed: the draw target it tells about dropped pictures may be
// gone by the time static objects are.
BitmapTileCache& Cache() {
    static BitmapTileCache* cache = new BitmapTileCache();
    return *cache;
}

// The recoloured table of the collection last drawn: a grid draws many
// bitmaps of one collection in a row, and working the hue changes out is
// what costs.
struct PreviewTable {
    bool valid = false;
    u64 stamp = 0;
    u8 colors[kColorTableBytes] = {};
};

const u8* PreviewFor(const Collection& collection, u64 stamp) {
    static PreviewTable table;
    if (!table.valid || table.stamp != stamp) {
        PreviewHueChanges(collection, table.colors, nullptr);
        table.stamp = stamp;
        table.valid = true;
    }
    return table.colors;
}

// The checkerboard shown for a bitmap that cannot be read, in the colours
// of the collection it stands in.
const CollectionBitmap& PlaceholderFor(const Collection& collection, bool shadow, u64 stamp) {
    struct Placeholder {
        std::unique_ptr<CollectionBitmap> bitmap;
        bool filled = false;
        u64 stamp = 0;
    };
    static Placeholder placeholders[2];
    Placeholder& p = placeholders[shadow ? 1 : 0];
    if (!p.bitmap) {
        p.bitmap = MakePlaceholderBitmap();
        p.bitmap->flags = shadow ? kBitmapShadow : 0;
    }
    if (!p.filled || p.stamp != stamp) {
        FillPlaceholderBitmap(collection, p.bitmap.get());
        Cache().ForgetBitmap(p.bitmap.get());
        p.filled = true;
        p.stamp = stamp;
    }
    return *p.bitmap;
}

}  // namespace

bool IsDrawableBitmap(const CollectionBitmap& bitmap) {
    if (bitmap.bytes_per_pixel != 2 && bitmap.bytes_per_pixel != 8) return false;
    return u64{bitmap.width} * bitmap.height * bitmap.bytes_per_pixel == bitmap.pixels.size();
}

u64 CollectionColorStamp(const Collection& collection) {
    u64 h = Fnv(kFnvOffset, collection.colors, sizeof collection.colors);
    const u64 count = collection.hue_changes.size();
    h = Fnv(h, &count, sizeof count);
    for (const auto& hue : collection.hue_changes) h = Fnv(h, hue.get(), sizeof *hue);
    return h;
}

void DrawCollectionBitmap(const Collection& collection, const CollectionBitmap& bitmap, u32 mirrorFlags, i32 x,
                          i32 y, i32 width, i32 height) {
    if (width <= 0 || height <= 0 || bitmap.width == 0 || bitmap.height == 0) return;
    const u64 stamp = CollectionColorStamp(collection);
    const CollectionBitmap& shown =
        IsDrawableBitmap(bitmap) ? bitmap : PlaceholderFor(collection, (bitmap.flags & kBitmapShadow) != 0, stamp);
    const u8* preview = PreviewFor(collection, stamp);
    const Rect screen = MakeRect(x, y, width, height);
    const u32 mirror = (mirrorFlags & kBitmapMirrorHorizontal ? kMirrorHorizontal : 0u) |
                       (mirrorFlags & kBitmapMirrorVertical ? kMirrorVertical : 0u);
    // Whatever the view drew last (a translucent cell background, a label)
    // must not tint the bitmap.
    SetDrawColor(kColorWhite);
    for (const BitmapTile& tile : PlanBitmapTiles(shown.width, shown.height, mirror, screen)) {
        if (tile.screen.IsEmpty()) continue;
        const PixelImage& picture =
            Cache().Tile(collection, shown, preview, stamp, tile.x, tile.y, tile.width, tile.height);
        DrawPixelImage(picture, tile.screen, mirror);
    }
}

Rect FitBitmapInto(const CollectionBitmap& bitmap, const Rect& area) {
    i32 w = 0, h = 0;
    FitIntoBox(bitmap.width, bitmap.height, &w, &h, std::max(std::min(area.Width(), area.Height()), 0));
    return MakeRect(area.left + (area.Width() - w) / 2, area.top + (area.Height() - h) / 2, w, h);
}

void DrawCollectionBitmapInto(const Collection& collection, const CollectionBitmap& bitmap, u32 mirrorFlags,
                              const Rect& area) {
    const Rect r = FitBitmapInto(bitmap, area);
    DrawCollectionBitmap(collection, bitmap, mirrorFlags, r.left, r.top, r.Width(), r.Height());
}

void ForgetCollectionBitmap(const CollectionBitmap* bitmap) { Cache().ForgetBitmap(bitmap); }

void ForgetCollectionBitmaps() { Cache().Clear(); }

BitmapTileCache& CollectionBitmapTiles() { return Cache(); }

}  // namespace pirn
