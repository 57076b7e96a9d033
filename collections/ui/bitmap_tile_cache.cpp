#include "collections/ui/bitmap_tile_cache.h"

#include <functional>

#include "collections/bitmap_rgba.h"
#include "ui/draw_target.h"

namespace pirn {

size_t BitmapTileCache::KeyHash::operator()(const Key& k) const {
    const size_t h = std::hash<const void*>()(k.bitmap);
    return h ^ (size_t{k.x} * 0x9E3779B1u + (size_t{k.y} << 16) + (h << 6) + (h >> 2));
}

bool BitmapTileCache::Source::operator==(const Source& o) const {
    return revision == o.revision && pixels == o.pixels && pixelBytes == o.pixelBytes && width == o.width && height == o.height &&
           tileWidth == o.tileWidth && tileHeight == o.tileHeight && flags == o.flags &&
           bytesPerPixel == o.bytesPerPixel && colorStamp == o.colorStamp;
}

const PixelImage& BitmapTileCache::Tile(const Collection& collection, const CollectionBitmap& bitmap,
                                        const u8 preview[kColorTableBytes], u64 colorStamp, u32 x, u32 y, u32 w,
                                        u32 h) {
    Source source;
    source.revision = bitmap.revision;
    source.pixels = bitmap.pixels.data();
    source.pixelBytes = bitmap.pixels.size();
    source.width = bitmap.width;
    source.height = bitmap.height;
    source.tileWidth = w;
    source.tileHeight = h;
    source.flags = bitmap.flags;
    source.bytesPerPixel = bitmap.bytes_per_pixel;
    source.colorStamp = colorStamp;

    const Key key{&bitmap, x, y};
    auto found = tiles_.find(key);
    if (found != tiles_.end()) {
        Entry& entry = found->second;
        ages_.splice(ages_.begin(), ages_, entry.age);
        if (entry.source == source) return entry.image;
        // The texture made from the old picture must not be shown again:
        // the picture keeps its address and size.
        ForgetDrawnPixelImage(entry.image);
        bytes_ -= entry.image.pixels.size();
    } else {
        ages_.push_front(key);
        found = tiles_.emplace(key, Entry{}).first;
        found->second.age = ages_.begin();
    }
    Entry& entry = found->second;
    entry.source = source;
    entry.image.format = kFormatRgba;
    entry.image.width = w;
    entry.image.height = h;
    entry.image.pixels.resize(size_t{w} * h * 4);
    ConvertBitmapToRgba(collection, bitmap, preview, x, y, w, h, entry.image.pixels.data());
    bytes_ += entry.image.pixels.size();
    ++conversions_;
    Trim(key);
    return entry.image;
}

void BitmapTileCache::Drop(std::unordered_map<Key, Entry, KeyHash>::iterator it) {
    ForgetDrawnPixelImage(it->second.image);
    bytes_ -= it->second.image.pixels.size();
    ages_.erase(it->second.age);
    tiles_.erase(it);
}

void BitmapTileCache::Trim(const Key& keep) {
    while (bytes_ > budget_ && !ages_.empty() && !(ages_.back() == keep)) Drop(tiles_.find(ages_.back()));
}

void BitmapTileCache::ForgetBitmap(const CollectionBitmap* bitmap) {
    for (auto it = tiles_.begin(); it != tiles_.end();) {
        auto next = std::next(it);
        if (it->first.bitmap == bitmap) Drop(it);
        it = next;
    }
}

void BitmapTileCache::Clear() {
    for (auto& [key, entry] : tiles_) ForgetDrawnPixelImage(entry.image);
    tiles_.clear();
    ages_.clear();
    bytes_ = 0;
}

}  // namespace pirn
