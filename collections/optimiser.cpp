#include "collections/optimiser.h"

#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "collections/x256_messages.h"
#include "collections/x256_texts.h"
#include "platform/int_math.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// A hash of what BitmapsIdentical compares, so that only bitmaps with the
// same key are compared byte by byte.
u64 BitmapKey(const CollectionBitmap& bitmap) {
    const std::string_view bytes(reinterpret_cast<const char*>(bitmap.pixels.data()), bitmap.pixels.size());
    u64 key = std::hash<std::string_view>{}(bytes);
    for (u64 field : {u64{bitmap.width}, u64{bitmap.height}, u64{bitmap.flags}, u64{bitmap.bytes_per_pixel}})
        key = (key ^ field) * 1099511628211ull;
    return key;
}

// Removes and frees the marked bitmaps in one pass; nothing may refer to
// them any more.
void EraseBitmaps(Collection* collection, const std::unordered_set<const CollectionBitmap*>& gone) {
    auto& list = collection->bitmaps;
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i)
        if (!gone.count(list[i].get())) list[kept++] = std::move(list[i]);
    list.resize(kept);
}

}  // namespace

u32 DeleteUnusedBitmaps(Collection* collection, OptimiserReport* report) {
    std::unordered_set<const CollectionBitmap*> unused;
    if (!collection->bitmaps.empty()) {
        MarkUsedBitmaps(collection);
        for (const auto& bitmap : collection->bitmaps)
            if (!bitmap->in_use) unused.insert(bitmap.get());
        EraseBitmaps(collection, unused);
    }
    const u32 deleted = static_cast<u32>(unused.size());
    report->caption = x256_text::kNoCaption;
    report->text = FormatString(x256_text::kUnusedReport, static_cast<int>(deleted), WasWereEnding(deleted));
    return deleted;
}

u32 MergeIdenticalBitmaps(Collection* collection, OptimiserReport* report) {
    // Each bitmap's first identical one in list order, by key buckets.
    std::unordered_map<u64, std::vector<CollectionBitmap*>> firsts;
    std::unordered_map<const CollectionBitmap*, CollectionBitmap*> into;
    for (const auto& owned : collection->bitmaps) {
        CollectionBitmap* bitmap = owned.get();
        std::vector<CollectionBitmap*>& bucket = firsts[BitmapKey(*bitmap)];
        CollectionBitmap* first = nullptr;
        for (CollectionBitmap* candidate : bucket)
            if (BitmapsIdentical(*candidate, *bitmap)) {
                first = candidate;
                break;
            }
        if (first) into[bitmap] = first;
        else bucket.push_back(bitmap);
    }
    std::unordered_set<const CollectionBitmap*> merged;
    if (!into.empty()) {
        auto redirect = [&](CollectionBitmap*& pointer) {
            auto found = into.find(pointer);
            if (found != into.end()) pointer = found->second;
        };
        for (auto& sequence : collection->sequences)
            for (SequenceFrame& frame : sequence->frames) {
                redirect(frame.shadow);
                for (BitmapInstance& instance : frame.instances) {
                    redirect(instance.standard.bitmap);
                    redirect(instance.alternate.bitmap);
                }
            }
        for (const auto& pair : into) merged.insert(pair.first);
        EraseBitmaps(collection, merged);
    }
    const u32 deleted = static_cast<u32>(merged.size());
    report->caption = x256_text::kNoCaption;
    report->text = FormatString(x256_text::kMergeReport, static_cast<int>(deleted), WasWereEnding(deleted));
    return deleted;
}

u32 CropAllBitmaps(Collection* collection, OptimiserReport* report) {
    u64 cropped = 0, transparent = 0;
    i64 pixels = 0;
    std::vector<CollectionBitmap*> empty;
    for (size_t i = collection->bitmaps.size(); i-- > 0;) {
        CollectionBitmap* bitmap = collection->bitmaps[i].get();
        const i64 removed = CropBitmapToContent(collection, bitmap);
        if (removed < 0) {
            pixels += i64{bitmap->width} * bitmap->height;
            ++transparent;
            empty.push_back(bitmap);
        } else if (removed > 0) {
            pixels += removed;
            ++cropped;
        }
    }
    for (CollectionBitmap* bitmap : empty) DeleteCollectionBitmap(collection, bitmap);
    report->caption = x256_text::kNoCaption;
    report->text = CropReportText(cropped + transparent, pixels);
    if (transparent > 0)
        report->text += FillTemplate(x256_text::kTransparentReport, {std::to_string(transparent), WasWereEnding(transparent)});
    return static_cast<u32>(cropped + transparent);
}

std::string AutoBitmapName(const CollectionSequence& sequence, u32 frame, u32 view) {
    const u32 views = GetStoredViewCount(sequence);
    const u32 frames = GetSequenceFrameCount(sequence);
    if (views > 1) {
        if (frames == 1) return FormatString(x256_text::kViewName, sequence.name, static_cast<int>(view));
        return FormatString(x256_text::kFrameViewName, sequence.name, static_cast<int>(frame), static_cast<int>(view));
    }
    if (frames > 1) return FormatString(x256_text::kViewName, sequence.name, static_cast<int>(frame));
    return sequence.name;
}

u32 AutoRenameBitmaps(Collection* collection, OptimiserReport* report) {
    std::unordered_set<const CollectionBitmap*> named;
    for (const auto& sequence : collection->sequences) {
        const u32 views = GetStoredViewCount(*sequence);
        for (u32 f = 0; f < sequence->frames.size(); ++f) {
            SequenceFrame& frame = sequence->frames[f];
            for (u32 v = 0; v < views && v < frame.instances.size(); ++v) {
                CollectionBitmap* bitmap = ShownReference(frame.instances[v]).bitmap;
                if (!bitmap || !named.insert(bitmap).second) continue;
                SetElementName(bitmap->name, AutoBitmapName(*sequence, f, v).c_str());
            }
        }
    }
    const u32 count = static_cast<u32>(named.size());
    *report = OptimiserReport{};
    if (count > 0) {
        report->caption = x256_text::kRenameCaption;
        report->text = FormatString(x256_text::kRenameReport, static_cast<int>(count));
    }
    return count;
}

RuntimeSize MeasureRuntimeSize(const Collection& collection) {
    RuntimeSize size;
    for (const auto& bitmap : collection.bitmaps) {
        size.plainPixels += u64{bitmap->width} * bitmap->height;
        size.paddedPixels += u64{NextPowerOfTwo(bitmap->width)} * NextPowerOfTwo(bitmap->height);
    }
    return size;
}

u32 GetRuntimeSize(Collection* collection, OptimiserReport* report) {
    const RuntimeSize size = MeasureRuntimeSize(*collection);
    const double megabyte = 1048576.0;
    report->caption = x256_text::kInformationCaption;
    report->text = FormatString(x256_text::kRuntimeSizeReport, double(size.paddedPixels) * 2 / megabyte,
                                double(size.plainPixels) * 2 / megabyte, double(size.paddedPixels) * 4 / megabyte,
                                double(size.plainPixels) * 4 / megabyte);
    return 0;
}

const CollectionOptimization kCollectionOptimizations[kOptimizationCount] = {
    DeleteUnusedBitmaps, MergeIdenticalBitmaps, CropAllBitmaps, AutoRenameBitmaps, GetRuntimeSize,
};

}  // namespace pirn
