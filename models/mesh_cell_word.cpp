#include "models/mesh_cell_word.h"

#include <algorithm>

namespace pirn {

namespace {

u32 Capped(u8 value) { return std::min<u32>(value, 127); }

}  // namespace

u32 EncodeCellWord(u8 triangle, u8 corner1, u8 corner2, u8 corner3) {
    if (triangle != 0) return (Capped(triangle) << 9) | kCellWordBase | 7;
    const u32 corners[3] = {Capped(corner1), Capped(corner2), Capped(corner3)};
    if (corners[0] == corners[1] && corners[1] == corners[2])
        return corners[0] == 0 ? kCellWordBase : (corners[0] << 9) | 7;
    u32 sorted[3] = {corners[0], corners[1], corners[2]};
    std::sort(sorted, sorted + 3);
    u32 word = kCellWordBase;
    u32 layer = 0;
    for (u32 i = 0; i < 3; ++i) {
        if (i > 0 && sorted[i] == sorted[i - 1]) continue;
        for (u32 corner = 0; corner < 3; ++corner)
            if (corners[corner] == sorted[i]) word |= 1u << (3 * layer + corner);
        word |= sorted[i] << (9 + 7 * layer);
        ++layer;
    }
    return word;
}

u32 DecodeCellWord(u32 word, CellWordLayer layers[kCellWordLayers]) {
    u32 count = 0;
    for (u32 k = 0; k < kCellWordLayers; ++k) {
        const u32 corners = (word >> (3 * k)) & 7;
        if (!corners) break;
        layers[count].index = (word >> (9 + 7 * k)) & 127;
        layers[count].corners = corners;
        ++count;
    }
    return count;
}

}  // namespace pirn
