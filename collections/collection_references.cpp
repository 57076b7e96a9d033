// Keeping the references between sequences and bitmaps right: marking,
// replacing, choosing which reference instances show, and the stored
// indices written before saving.

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "collections/collection.h"

namespace pirn {

namespace {

bool IsPowerOfTwo(u32 n) { return n != 0 && (n & (n - 1)) == 0; }

// Bitmap -> list index, built once per pass instead of a list search per
// reference.
class BitmapIndexMap {
public:
    explicit BitmapIndexMap(const Collection& collection) {
        indices_.reserve(collection.bitmaps.size());
        for (size_t i = 0; i < collection.bitmaps.size(); ++i)
            indices_.emplace(collection.bitmaps[i].get(), static_cast<u32>(i));
    }
    // kNoIndex for null, absent, or past what 16 bits can number.
    u16 StoredIndex(const CollectionBitmap* bitmap) const {
        if (!bitmap) return kNoIndex;
        auto found = indices_.find(bitmap);
        if (found == indices_.end() || found->second >= kNoIndex) return kNoIndex;
        return static_cast<u16>(found->second);
    }

private:
    std::unordered_map<const CollectionBitmap*, u32> indices_;
};

void Mark(CollectionBitmap* bitmap) {
    if (bitmap) bitmap->in_use = 1;
}

u16 InstanceFlagsFor(const CollectionBitmap* bitmap) {
    if (!bitmap) return 0;
    u16 flags = 0;
    if (bitmap->flags & kBitmapPartialAlpha) flags |= kInstancePartialAlpha;
    if (!(bitmap->flags & kBitmapRle) && IsPowerOfTwo(bitmap->width) && IsPowerOfTwo(bitmap->height))
        flags |= kInstanceRawPowerOfTwo;
    return flags;
}

}  // namespace

void MarkUsedBitmaps(Collection* collection) {
    for (auto& bitmap : collection->bitmaps) bitmap->in_use = 0;
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames) {
            Mark(frame.shadow);
            for (BitmapInstance& instance : frame.instances) {
                Mark(instance.standard.bitmap);
                if (instance.flags & kInstanceHasAlternate) Mark(instance.alternate.bitmap);
            }
        }
}

void ReplaceBitmapReferences(Collection* collection, const CollectionBitmap* from, CollectionBitmap* to) {
    if (!from) return;
    const i32 found = to ? FindCollectionBitmap(*collection, to) : -1;
    const u16 index = found >= 0 && found < kNoIndex ? static_cast<u16>(found) : kNoIndex;
    auto replace = [&](CollectionBitmap*& pointer, u16& stored) {
        if (pointer != from) return;
        pointer = to;
        stored = index;
    };
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames) {
            replace(frame.shadow, frame.record.shadow_index);
            for (BitmapInstance& instance : frame.instances) {
                replace(instance.standard.bitmap, instance.standard.index);
                replace(instance.alternate.bitmap, instance.alternate.index);
            }
        }
}

void RelinkInstances(Collection* collection, bool use_alternate) {
    ForEachInstance(collection, [use_alternate](BitmapInstance& instance) { instance.shows_alternate = use_alternate; });
}

void FlattenReferences(Collection* collection, FlattenedReferences* out) {
    out->instances.clear();
    out->frame_records.clear();
    const BitmapIndexMap map(*collection);
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames) {
            frame.view_indices.resize(sequence->view_count);
            const size_t views = std::min<size_t>(sequence->view_count, frame.instances.size());
            for (size_t v = 0; v < views; ++v) {
                BitmapInstance& instance = frame.instances[v];
                instance.standard.index = map.StoredIndex(instance.standard.bitmap);
                if (instance.flags & kInstanceHasAlternate)
                    instance.alternate.index = map.StoredIndex(instance.alternate.bitmap);
                instance.flags &= ~u32{kInstancePartialAlpha | kInstanceRawPowerOfTwo};
                instance.flags |= InstanceFlagsFor(instance.standard.bitmap);
                frame.view_indices[v] = static_cast<u16>(std::min<size_t>(out->instances.size(), kNoIndex));
                out->instances.push_back(instance);
            }
            for (size_t v = views; v < frame.view_indices.size(); ++v) frame.view_indices[v] = kNoIndex;
            frame.record.shadow_index = map.StoredIndex(frame.shadow);
            frame.frame_record_index = static_cast<u16>(std::min<size_t>(out->frame_records.size(), kNoIndex));
            out->frame_records.push_back(frame.record);
        }
}

bool BitmapsIdentical(const CollectionBitmap& a, const CollectionBitmap& b) {
    return a.width == b.width && a.height == b.height && a.flags == b.flags &&
           a.bytes_per_pixel == b.bytes_per_pixel && a.pixels == b.pixels;
}

}  // namespace pirn
