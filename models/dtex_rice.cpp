#include "models/dtex_rice.h"

#include <algorithm>

namespace pirn {

namespace {

constexpr u32 kShifts = 7;  // k = 0..6

// Sums of v >> k over the 8 columns of one block, for every k. The column
// lanes are summed first (a fixed shape the compiler turns into vector
// adds), the lanes of each k last.
void SumShiftedBlock(const u8* first, size_t stride, u32 rows, u32 sums[kShifts]) {
    u16 lanes[kShifts][kDtexBlockSide] = {};
    for (u32 y = 0; y < rows; ++y) {
        const u8* v = first + y * stride;
        for (u32 k = 0; k < kShifts; ++k)
            for (u32 i = 0; i < kDtexBlockSide; ++i) lanes[k][i] = static_cast<u16>(lanes[k][i] + (v[i] >> k));
    }
    for (u32 k = 0; k < kShifts; ++k) {
        u32 sum = 0;
        for (u32 i = 0; i < kDtexBlockSide; ++i) sum += lanes[k][i];
        sums[k] = sum;
    }
}

// Any non-zero byte among the block's values.
bool AnyNonZero(const u8* first, size_t stride, u32 rows) {
    u32 any = 0;
    for (u32 y = 0; y < rows; ++y)
        for (u32 i = 0; i < kDtexBlockSide; ++i) any |= first[y * stride + i];
    return any != 0;
}

}  // namespace

u32 ChooseRiceParameter(const u32 shifted_sums[7], u32 value_count, u32* cost) {
    if (shifted_sums[0] == 0) {
        *cost = 0;
        return kDtexAllZero;
    }
    u32 best_k = 0;
    u32 best = shifted_sums[0] + value_count;
    for (u32 k = 1; k < kShifts; ++k) {
        const u32 here = shifted_sums[k] + value_count * (1 + k);
        if (here > best) break;
        best = here;
        best_k = k;
    }
    *cost = best;
    return best_k;
}

u64 ChooseBlockRiceParameters(const u8* residual_rows, size_t stride, u32 rows, u32 width, u8* params) {
    u64 total = 0;
    const u32 columns = DtexBlockCount(width);
    for (u32 b = 0; b < columns; ++b) {
        const u8* first = residual_rows + size_t(b) * kDtexBlockSide;
        // Flat areas: all-zero blocks are common and need no sums.
        if (!AnyNonZero(first, stride, rows)) {
            params[3 * size_t(b)] = static_cast<u8>(kDtexAllZero);
            continue;
        }
        u32 sums[kShifts];
        SumShiftedBlock(first, stride, rows, sums);
        const u32 count = std::min(kDtexBlockSide, width - b * kDtexBlockSide) * rows;
        u32 cost = 0;
        params[3 * size_t(b)] = static_cast<u8>(ChooseRiceParameter(sums, count, &cost));
        total += cost;
    }
    return total;
}

}  // namespace pirn
