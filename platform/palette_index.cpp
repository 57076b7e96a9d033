#include "platform/palette_index.h"

#include <algorithm>

namespace pirn {

namespace {
constexpr i32 kSentinelSum = 65536;
}

bool BuildPaletteIndex(PaletteIndex* index, const u8* palette, u32 count, u32 first) {
    *index = PaletteIndex();
    if (count == 0 || first >= 256 || count > 256 - first || !palette) return false;

    std::vector<PaletteIndexEntry>& entries = index->entries;
    entries.reserve(count + 2);
    entries.push_back(PaletteIndexEntry{0, 0, 0, 0, -kSentinelSum});
    i64 black_distance = -1;
    for (u32 i = first; i < first + count; ++i) {
        const u8* c = palette + i * 3;
        entries.push_back(PaletteIndexEntry{c[0], c[1], c[2], static_cast<u8>(i), c[0] + c[1] + c[2]});
        i64 d = i64(c[0]) * c[0] + i64(c[1]) * c[1] + i64(c[2]) * c[2];
        if (black_distance < 0 || d < black_distance) {
            black_distance = d;
            index->nearest_black = static_cast<u8>(i);
        }
    }
    entries.push_back(PaletteIndexEntry{0, 0, 0, 0, kSentinelSum});
    std::stable_sort(entries.begin() + 1, entries.end() - 1,
                     [](const PaletteIndexEntry& a, const PaletteIndexEntry& b) { return a.sum < b.sum; });

    u32 position = 0;
    for (i32 s = 0; s < 766; ++s) {
        while (entries[position + 1].sum <= s) ++position;
        index->start[s] = position;
    }
    index->valid = true;
    return true;
}

u8 NearestPaletteColor(const PaletteIndex& index, int r, int g, int b, int sum) {
    if (!index.valid) return 0;
    if (sum <= 0) return index.nearest_black;
    if (sum > 765) sum = 765;
    const std::vector<PaletteIndexEntry>& entries = index.entries;
    u32 lower = index.start[sum];
    u32 upper = lower + 1;
    i64 best = i64(1) << 60;
    u8 answer = entries[lower].sum == -kSentinelSum ? entries[upper].index : entries[lower].index;
    for (;;) {
        // Take whichever cursor's entry is closer in brightness.
        bool take_upper = 2 * sum > entries[lower].sum + entries[upper].sum;
        const PaletteIndexEntry& e = take_upper ? entries[upper] : entries[lower];
        if (e.sum == kSentinelSum || e.sum == -kSentinelSum) break;  // both sides used up
        i64 gap = i64(sum) - e.sum;
        // (r+g+b differs by gap) implies a squared distance of at least gap^2 / 3.
        if (gap * gap > 3 * best) break;
        i64 dr = e.r - r, dg = e.g - g, db = e.b - b;
        i64 d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            answer = e.index;
        }
        if (take_upper) {
            ++upper;
        } else {
            --lower;
        }
    }
    return answer;
}

}  // namespace pirn
