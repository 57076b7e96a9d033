#include "platform/palette_cells.h"

#include <algorithm>
#include <utility>

namespace pirn {

u32 CubeCandidates(const u8* centres, const u8* from, u32 n, const i32* low, i32 size, u32 rank, u8* out) {
    rank = std::clamp<u32>(rank, 1, 3);
    // The rank smallest distances to the cube's farthest corner.
    i32 least[3] = {1 << 30, 1 << 30, 1 << 30};
    i32 nearest[kPaletteEntries];
    for (u32 j = 0; j < n; ++j) {
        const u8* c = centres + from[j] * 3;
        i32 near = 0, far = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const i32 v = c[axis], a = low[axis], z = low[axis] + size - 1;
            const i32 in = v < a ? a - v : v > z ? v - z : 0;
            const i32 out_of = std::max(v - a, z - v);
            near += in * in;
            far += out_of * out_of;
        }
        nearest[j] = near;
        for (u32 k = 0; k < rank; ++k) {
            if (far < least[k]) std::swap(far, least[k]);
        }
    }
    u32 count = 0;
    for (u32 j = 0; j < n; ++j) {
        if (nearest[j] <= least[rank - 1]) out[count++] = from[j];
    }
    return count;
}

PaletteCells::PaletteCells(const PaletteIndex& index)
    : index_(index),
      fine_start_(size_t(1) << (3 * kFineBits), kNotMade),
      coarse_start_(size_t(1) << (3 * kCoarseBits), kNotMade),
      fine_size_(size_t(1) << (3 * kFineBits), 0),
      coarse_size_(size_t(1) << (3 * kCoarseBits), 0) {
    // The index's entries between its two sentinels.
    if (index.entries.size() >= 2) count_ = u32(std::min<size_t>(index.entries.size() - 2, kPaletteEntries));
    for (u32 i = 0; i < count_; ++i) {
        const PaletteIndexEntry& e = index.entries[i + 1];
        colours_[i * 3] = e.r;
        colours_[i * 3 + 1] = e.g;
        colours_[i * 3 + 2] = e.b;
        ids_[i] = e.index;
        sums_[i] = e.sum;
    }
}

u32 PaletteCells::MakeCoarseCell(u32 cell) {
    if (coarse_start_[cell] != kNotMade) return coarse_start_[cell];
    u8 everyone[kPaletteEntries];
    for (u32 i = 0; i < count_; ++i) everyone[i] = static_cast<u8>(i);
    const u32 side = 1u << kCoarseBits;
    const i32 low[3] = {i32(cell / (side * side)) << kCoarse, i32(cell / side % side) << kCoarse,
                        i32(cell % side) << kCoarse};
    u8 list[kPaletteEntries];
    const u32 size = CubeCandidates(colours_, everyone, count_, low, 1 << kCoarse, 1, list);
    coarse_start_[cell] = u32(lists_.size());
    coarse_size_[cell] = u16(size);
    lists_.insert(lists_.end(), list, list + size);
    return coarse_start_[cell];
}

void PaletteCells::MakeFineCell(u32 cell) {
    const u32 side = 1u << kFineBits;
    const u32 x = cell / (side * side), y = cell / side % side, z = cell % side;
    // The coarse cell around it holds every entry that can be nearest here.
    const u32 coarse_side = 1u << kCoarseBits, up = kCoarse - kFine;
    const u32 coarse = ((x >> up) * coarse_side + (y >> up)) * coarse_side + (z >> up);
    const u32 from = MakeCoarseCell(coarse);
    u8 around[kPaletteEntries];
    std::copy(lists_.begin() + from, lists_.begin() + from + coarse_size_[coarse], around);
    const i32 low[3] = {i32(x) << kFine, i32(y) << kFine, i32(z) << kFine};
    u8 list[kPaletteEntries];
    const u32 size = CubeCandidates(colours_, around, coarse_size_[coarse], low, 1 << kFine, 1, list);
    fine_start_[cell] = u32(lists_.size());
    fine_size_[cell] = u16(size);
    lists_.insert(lists_.end(), list, list + size);
}

}  // namespace pirn
