#pragma once
// Nearest-colour search over a palette, ordered by brightness sum so that a
// query visits only the entries that can still win.

#include <array>
#include <vector>

#include "platform/types.h"

namespace pirn {

struct PaletteIndexEntry {
    u8 r = 0, g = 0, b = 0;
    u8 index = 0;  // position in the palette
    i32 sum = 0;   // r + g + b
};

struct PaletteIndex {
    // Palette entries sorted by sum between two sentinels (sums -65536 and
    // +65536).
    std::vector<PaletteIndexEntry> entries;
    // For every sum 0..765, the position of the last entry whose sum is <=.
    std::array<u32, 766> start{};
    u8 nearest_black = 0;
    bool valid = false;
};

// Indexes palette entries first .. first + count - 1. Fails (leaving the
// index invalid) when count is 0 or the range passes entry 255.
bool BuildPaletteIndex(PaletteIndex* index, const u8* palette, u32 count, u32 first);

// Palette index of the entry nearest to (r, g, b) by squared RGB distance;
// sum must be r + g + b. An invalid index answers 0.
u8 NearestPaletteColor(const PaletteIndex& index, int r, int g, int b, int sum);
inline u8 NearestPaletteColor(const PaletteIndex& index, int r, int g, int b) {
    return NearestPaletteColor(index, r, g, b, r + g + b);
}

}  // namespace pirn
