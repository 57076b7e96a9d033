#pragma once
// The five whole-collection operations of the collection editor's
// "Optimize" page. Each answers non-zero when it changed the collection
// and fills a report, which the page shows in a box with an "OK" button.

#include <string>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

struct OptimiserReport {
    std::string caption;  // empty for most reports
    std::string text;     // empty: nothing to show
};

// Deletes every bitmap that no instance (standard or alternate reference)
// and no frame shadow shows. Answers the number deleted.
u32 DeleteUnusedBitmaps(Collection* collection, OptimiserReport* report);

// Each set of identical bitmaps (BitmapsIdentical) becomes its first
// member: every reference to a later one points at the first, the later
// ones are deleted. Answers the number deleted.
u32 MergeIdenticalBitmaps(Collection* collection, OptimiserReport* report);

// Crops every bitmap to its opaque box; fully transparent bitmaps are
// deleted (the views that showed them become empty). RAW bitmaps with
// power-of-two sides stay. Answers the bitmaps cropped or deleted.
u32 CropAllBitmaps(Collection* collection, OptimiserReport* report);

// Names every bitmap after the first sequence view that shows it: "%s %.2d"
// (sequence name and view, or frame), "%s %.2d~%.2d" (frame and view), or
// the sequence's name alone. Answers the number of bitmaps named; no
// report when none was.
u32 AutoRenameBitmaps(Collection* collection, OptimiserReport* report);
// The name AutoRenameBitmaps gives the bitmap of frame f, stored view v.
std::string AutoBitmapName(const CollectionSequence& sequence, u32 frame, u32 view);

// The texture memory the bitmaps take, plain and padded to powers of two,
// at 16 and 32 bits a pixel. Changes nothing: answers 0.
struct RuntimeSize {
    u64 plainPixels = 0;
    u64 paddedPixels = 0;
};
RuntimeSize MeasureRuntimeSize(const Collection& collection);
u32 GetRuntimeSize(Collection* collection, OptimiserReport* report);

// The operations in button order (ids 0-4).
using CollectionOptimization = u32 (*)(Collection* collection, OptimiserReport* report);
constexpr u32 kOptimizationCount = 5;
extern const CollectionOptimization kCollectionOptimizations[kOptimizationCount];

}  // namespace pirn
