#include "platform/os/texture_resample.h"

#include <algorithm>
#include <cmath>

#include "platform/int_math.h"
#include "platform/pixel_image.h"

namespace pirn {
namespace {

// For each target position along one side: the two source positions and
// the weight of the second, pixel centres aligned.
struct Tap {
    u32 first = 0, second = 0;
    float weight = 0;
};

std::vector<Tap> Taps(u32 from, u32 to) {
    std::vector<Tap> taps(to);
    const double scale = double(from) / double(to);
    for (u32 i = 0; i < to; ++i) {
        double at = (i + 0.5) * scale - 0.5;
        at = std::clamp(at, 0.0, double(from - 1));
        const u32 first = static_cast<u32>(std::floor(at));
        taps[i].first = first;
        taps[i].second = std::min(first + 1, from - 1);
        taps[i].weight = static_cast<float>(at - first);
    }
    return taps;
}

}  // namespace

bool ResampleToPowerOfTwo(const u8* pixels, u32 components, u32 width, u32 height, std::vector<u8>* out,
                          u32* outWidth, u32* outHeight) {
    if (!pixels || components == 0 || components > 4 || width == 0 || height == 0) return false;
    const u64 targetWidth = NextPowerOfTwo(width), targetHeight = NextPowerOfTwo(height);
    if (targetWidth < width || targetHeight < height) return false;  // no power of two that large
    const u64 bytes = targetWidth * targetHeight * components;
    if (bytes > kMaxImageBytes) return false;

    const std::vector<Tap> columns = Taps(width, static_cast<u32>(targetWidth));
    const std::vector<Tap> rows = Taps(height, static_cast<u32>(targetHeight));
    std::vector<u8> result(static_cast<size_t>(bytes));
    const size_t sourceRow = size_t(width) * components;
    u8* d = result.data();
    for (const Tap& row : rows) {
        const u8* top = pixels + size_t(row.first) * sourceRow;
        const u8* bottom = pixels + size_t(row.second) * sourceRow;
        for (const Tap& column : columns) {
            for (u32 c = 0; c < components; ++c) {
                const float upper = top[size_t(column.first) * components + c] * (1 - column.weight) +
                                    top[size_t(column.second) * components + c] * column.weight;
                const float lower = bottom[size_t(column.first) * components + c] * (1 - column.weight) +
                                    bottom[size_t(column.second) * components + c] * column.weight;
                *d++ = static_cast<u8>(std::lround(upper * (1 - row.weight) + lower * row.weight));
            }
        }
    }
    out->swap(result);
    *outWidth = static_cast<u32>(targetWidth);
    *outHeight = static_cast<u32>(targetHeight);
    return true;
}

}  // namespace pirn
