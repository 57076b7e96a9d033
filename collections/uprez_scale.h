#pragma once
// The one scale factor between a collection's bitmaps and the
// high-resolution pictures of the same frames: the mean of every pair's
// scale, after pairs whose shape or size stands out from the rest are left
// out.

#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

struct ScalePair {
    u32 width = 0;         // the bitmap
    u32 height = 0;
    u32 image_width = 0;   // its cropped high-resolution picture
    u32 image_height = 0;
    std::string bitmap_name;
    std::string image_name;
};

using BuildLog = std::function<void(i32 level, const std::string& text)>;

// Tolerance above which the search gives up rather than raising it further.
constexpr double kScaleToleranceLimit = 64.0;

// Five passes: pass 0 keeps the pairs whose aspect ratio is within the
// tolerance, passes 1-4 those whose scale is within the tolerance of the
// last pass's mean. A pass that keeps no pair raises the tolerance by 0.1
// and starts again. Pairs with a side of 0 cannot be measured and are left
// out. False, with a FATAL line, when no pair can be measured or the
// tolerance passes kScaleToleranceLimit.
bool ComputeGlobalScale(const std::vector<ScalePair>& pairs, double tolerance, const BuildLog& log, double* scale);

}  // namespace pirn
