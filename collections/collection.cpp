#include "collections/collection.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_set>

namespace pirn {

const char* const kCollectionFlagLabels[6] = {"Textures",    "Monsters",           "Projectiles",
                                              "Scenery",     "Atmospheric Effects", "Interfaces"};

namespace {

template <typename T>
T* ElementAt(const std::vector<std::unique_ptr<T>>& list, u32 index) {
    return index < list.size() ? list[index].get() : nullptr;
}

template <typename T>
i32 IndexOf(const std::vector<std::unique_ptr<T>>& list, const T* item) {
    if (!item) return -1;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == item) return static_cast<i32>(i);
    return -1;
}

// Removes the element and inserts it at index, or at index - 1 when it stood
// before index (the gap it leaves shifts the rest down).
template <typename T>
u32 MoveElement(std::vector<std::unique_ptr<T>>& list, const T* item, u32 index) {
    const i32 found = IndexOf(list, item);
    if (found < 0) return kNotFound;
    const u32 from = static_cast<u32>(found);
    if (from == index) return kNotFound;
    std::unique_ptr<T> owned = std::move(list[from]);
    list.erase(list.begin() + from);
    u32 to = from < index ? index - 1 : index;
    to = std::min<u32>(to, static_cast<u32>(list.size()));
    list.insert(list.begin() + to, std::move(owned));
    return to;
}

template <typename T>
bool EraseElement(std::vector<std::unique_ptr<T>>& list, const T* item) {
    const i32 found = IndexOf(list, item);
    if (found < 0) return false;
    list.erase(list.begin() + found);
    return true;
}

}  // namespace

u64 NextBitmapRevision() {
    static std::atomic<u64> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

void MarkBitmapChanged(CollectionBitmap* bitmap) { bitmap->revision = NextBitmapRevision(); }

BitmapInstance MakeBitmapInstance() {
    BitmapInstance instance;
    instance.standard.index = 0;
    instance.alternate.index = kNoIndex;
    instance.alternate.scale = 0;
    return instance;
}

bool ShowsAlternate(const BitmapInstance& instance) {
    return (instance.flags & kInstanceHasAlternate) && instance.shows_alternate;
}

InstanceReference& ShownReference(BitmapInstance& instance) {
    return ShowsAlternate(instance) ? instance.alternate : instance.standard;
}

const InstanceReference& ShownReference(const BitmapInstance& instance) {
    return ShowsAlternate(instance) ? instance.alternate : instance.standard;
}

void InitCollection(Collection* collection) {
    FreeCollection(collection);
    std::memset(collection->name, 0, sizeof collection->name);
    std::memset(collection->colors, 0, sizeof collection->colors);
    collection->stored_word = 0;
    collection->flags = kCollectionMonsters | kCollectionProjectiles;
}

void FreeCollection(Collection* collection) {
    // Sequences first: they point at bitmaps.
    collection->sequences.clear();
    collection->hue_changes.clear();
    collection->bitmaps.clear();
}

CollectionBitmap* GetCollectionBitmap(const Collection& collection, u32 index) {
    return ElementAt(collection.bitmaps, index);
}
u32 GetCollectionBitmapCount(const Collection& collection) { return static_cast<u32>(collection.bitmaps.size()); }
i32 FindCollectionBitmap(const Collection& collection, const CollectionBitmap* bitmap) {
    return IndexOf(collection.bitmaps, bitmap);
}

CollectionHueChange* GetCollectionHueChange(const Collection& collection, u32 index) {
    return ElementAt(collection.hue_changes, index);
}
u32 GetCollectionHueChangeCount(const Collection& collection) {
    return static_cast<u32>(collection.hue_changes.size());
}
i32 FindHueChange(const Collection& collection, const CollectionHueChange* hue) {
    return IndexOf(collection.hue_changes, hue);
}

CollectionSequence* GetCollectionSequence(const Collection& collection, u32 index) {
    return ElementAt(collection.sequences, index);
}
u32 GetCollectionSequenceCount(const Collection& collection) {
    return static_cast<u32>(collection.sequences.size());
}
u32 FindSequence(const Collection& collection, const CollectionSequence* sequence) {
    const i32 found = IndexOf(collection.sequences, sequence);
    return found < 0 ? kNotFound : static_cast<u32>(found);
}

u8* GetCollectionColorTable(Collection* collection) { return collection->colors; }

void CopyCollectionColorTable(const Collection& collection, u8 out[kColorTableBytes], u32* count) {
    std::memcpy(out, collection.colors, kColorTableBytes);
    if (count) *count = kColorTableEntries;
}

void SetCollectionColorTable(Collection* collection, const u8* colors, u32 n) {
    n = std::min(n, kColorTableEntries);
    if (n) std::memcpy(collection->colors, colors, size_t{n} * 3);
    std::memset(collection->colors + size_t{n} * 3, 0, kColorTableBytes - size_t{n} * 3);
}

void SetElementName(char (&name)[64], const char* text) {
    std::memset(name, 0, sizeof name);
    if (text) std::strncpy(name, text, sizeof name - 1);
}

u32 GetSequenceFrameCount(const CollectionSequence& sequence) { return sequence.frame_count; }
u32 GetSequenceViewCount(const CollectionSequence& sequence) { return sequence.view_count; }
SequenceFrame* GetSequenceFrame(CollectionSequence* sequence, u32 frame) { return &sequence->frames[frame]; }
BitmapInstance* GetSequenceInstance(CollectionSequence* sequence, u32 frame, u32 view) {
    return &sequence->frames[frame].instances[view];
}

u32 GetStoredViewCount(const CollectionSequence& sequence) {
    return (sequence.flags & kSequenceMirroring) ? sequence.view_count / 2u + 1 : sequence.view_count;
}

CollectionBitmap* AddCollectionBitmap(Collection* collection, const char* name, u16 flags, const u8* pixels,
                                      u32 width, u32 height, u32 bytes_per_pixel, CollectionBitmap* replaced) {
    if (width > 0xFFFF || height > 0xFFFF || bytes_per_pixel == 0 || bytes_per_pixel > 0xFFFF) return nullptr;
    const u64 size = u64{width} * height * bytes_per_pixel;
    if (size > kMaxImageBytes) return nullptr;
    i32 slot = -1;
    if (replaced) {
        slot = FindCollectionBitmap(*collection, replaced);
        if (slot < 0) return nullptr;
    }
    auto bitmap = std::make_unique<CollectionBitmap>();
    SetElementName(bitmap->name, name);
    bitmap->width = static_cast<u16>(width);
    bitmap->height = static_cast<u16>(height);
    bitmap->flags = flags;
    bitmap->bytes_per_pixel = static_cast<u16>(bytes_per_pixel);
    if (pixels)
        bitmap->pixels.assign(pixels, pixels + size);
    else
        bitmap->pixels.assign(size, 0);
    CollectionBitmap* added = bitmap.get();
    if (slot < 0) {
        collection->bitmaps.push_back(std::move(bitmap));
    } else {
        std::unique_ptr<CollectionBitmap> old = std::move(collection->bitmaps[static_cast<size_t>(slot)]);
        collection->bitmaps[static_cast<size_t>(slot)] = std::move(bitmap);
        ReplaceBitmapReferences(collection, old.get(), added);
    }
    return added;
}

void InitHueChange(CollectionHueChange* hue, const char* name) {
    std::memset(hue, 0, sizeof *hue);
    SetElementName(hue->name, name);
    hue->start_hue = kDefaultStartHue;
    hue->end_hue = kDefaultEndHue;
    hue->median_hue = kDefaultMedianHue;
}

CollectionHueChange* AddHueChange(Collection* collection, const char* name) {
    auto hue = std::make_unique<CollectionHueChange>();
    InitHueChange(hue.get(), name);
    collection->hue_changes.push_back(std::move(hue));
    return collection->hue_changes.back().get();
}

CollectionSequence* AddSequence(Collection* collection, const char* name) {
    auto sequence = std::make_unique<CollectionSequence>();
    InitSequence(sequence.get(), name);
    collection->sequences.push_back(std::move(sequence));
    return collection->sequences.back().get();
}

u32 MoveCollectionBitmap(Collection* collection, CollectionBitmap* bitmap, u32 index) {
    const u32 moved = MoveElement(collection->bitmaps, bitmap, index);
    if (moved == kNotFound) return moved;
    const u16 stored = moved < kNoIndex ? static_cast<u16>(moved) : kNoIndex;
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames) {
            if (frame.shadow == bitmap) frame.record.shadow_index = stored;
            for (BitmapInstance& instance : frame.instances) {
                if (instance.standard.bitmap == bitmap) instance.standard.index = stored;
                if (instance.alternate.bitmap == bitmap) instance.alternate.index = stored;
            }
        }
    return moved;
}

u32 MoveHueChange(Collection* collection, CollectionHueChange* hue, u32 index) {
    const std::vector<const CollectionHueChange*> before = HueChangeOrder(*collection);
    const u32 moved = MoveElement(collection->hue_changes, hue, index);
    if (moved != kNotFound) RenumberPixelHueChanges(collection, before);
    return moved;
}

u32 MoveSequence(Collection* collection, CollectionSequence* sequence, u32 index) {
    return MoveElement(collection->sequences, sequence, index);
}

bool DeleteCollectionBitmap(Collection* collection, CollectionBitmap* bitmap) {
    if (FindCollectionBitmap(*collection, bitmap) < 0) return false;
    ReplaceBitmapReferences(collection, bitmap, nullptr);
    return EraseElement(collection->bitmaps, bitmap);
}

bool DeleteHueChange(Collection* collection, CollectionHueChange* hue) {
    std::vector<const CollectionHueChange*> before = HueChangeOrder(*collection);
    const i32 found = FindHueChange(*collection, hue);
    if (found < 0) return false;
    before[static_cast<size_t>(found)] = nullptr;
    EraseElement(collection->hue_changes, hue);
    RenumberPixelHueChanges(collection, before);
    return true;
}

bool DeleteSequence(Collection* collection, CollectionSequence* sequence) {
    return EraseElement(collection->sequences, sequence);
}

u64 DistinctPixelBytes(const Collection& collection) {
    std::unordered_set<const u8*> seen;
    u64 total = 0;
    for (const auto& bitmap : collection.bitmaps) {
        const PixelBytes& pixels = bitmap->pixels;
        if (!pixels.empty() && seen.insert(pixels.data()).second) total += pixels.size();
    }
    return total;
}

}  // namespace pirn
