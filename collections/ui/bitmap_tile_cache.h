#pragma once
// The RGBA pictures of bitmap tiles as views show them (through the
// collection's recoloured table), kept between frames so that a grid of
// thumbnails converts and uploads each bitmap once instead of at every
// redraw. The draw target keeps a texture for each picture it drew; the
// cache tells it to drop that texture whenever a picture is converted
// again or let go.
//
// A tile is converted again when its bitmap no longer matches what it was
// made from (another revision, pixel block, size, format or flags) or the
// colours differ (the colour stamp its caller computes). A bitmap made in
// the place of a freed one has a revision of its own, and the collection's
// operations that rewrite pixels in place give it a new one; code that
// writes pixels itself calls MarkBitmapChanged or ForgetBitmap afterwards.
// Least recently used tiles go once the pictures pass the byte budget.

#include <cstddef>
#include <list>
#include <unordered_map>

#include "collections/collection.h"
#include "platform/pixel_image.h"

namespace pirn {

class BitmapTileCache {
public:
    static constexpr size_t kDefaultBudget = size_t{64} << 20;

    explicit BitmapTileCache(size_t byteBudget = kDefaultBudget) : budget_(byteBudget) {}
    ~BitmapTileCache() { Clear(); }
    BitmapTileCache(const BitmapTileCache&) = delete;
    BitmapTileCache& operator=(const BitmapTileCache&) = delete;

    // The picture of the tile (x, y, w, h) of the bitmap, which must lie
    // inside it, converted through `preview` (the table after the hue
    // changes) unless the cached one still matches the bitmap and
    // `colorStamp`. Valid until the next call on the cache.
    const PixelImage& Tile(const Collection& collection, const CollectionBitmap& bitmap,
                           const u8 preview[kColorTableBytes], u64 colorStamp, u32 x, u32 y, u32 w, u32 h);

    // Drops every tile of the bitmap.
    void ForgetBitmap(const CollectionBitmap* bitmap);
    void Clear();

    size_t TileCount() const { return tiles_.size(); }
    size_t ByteCount() const { return bytes_; }
    // Tiles converted since the cache was made: what a redraw cost.
    u64 ConversionCount() const { return conversions_; }

private:
    struct Key {
        const CollectionBitmap* bitmap;
        u32 x, y;
        bool operator==(const Key& o) const { return bitmap == o.bitmap && x == o.x && y == o.y; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const;
    };
    // What a picture was made from.
    struct Source {
        u64 revision = 0;
        const u8* pixels = nullptr;
        size_t pixelBytes = 0;
        u32 width = 0, height = 0, tileWidth = 0, tileHeight = 0;
        u16 flags = 0, bytesPerPixel = 0;
        u64 colorStamp = 0;
        bool operator==(const Source& o) const;
    };
    struct Entry {
        Source source;
        PixelImage image;
        std::list<Key>::iterator age;
    };

    void Drop(std::unordered_map<Key, Entry, KeyHash>::iterator it);
    void Trim(const Key& keep);

    size_t budget_;
    size_t bytes_ = 0;
    u64 conversions_ = 0;
    std::unordered_map<Key, Entry, KeyHash> tiles_;
    std::list<Key> ages_;  // most recently used first
};

}  // namespace pirn
