#include "models/dtex_rice.h"

#include <algorithm>

namespace pirn {

namespace {

constexpr u32 kLanes = kDtexBlockSide * 3;  // the bytes of one block row

// A whole-width block: each k gets 24 lanes (8 pixels x 3 channels) that
// the compiler can add as vectors; lane i belongs to channel i % 3.
void SumFullBlockRows(const u8* first, size_t stride, u32 rows, u32 sums[3][7]) {
    u16 lanes[7][kLanes] = {};
    for (u32 y = 0; y < rows; ++y) {
        const u8* v = first + y * stride;
        for (u32 k = 0; k < 7; ++k)
            for (u32 i = 0; i < kLanes; ++i) lanes[k][i] = static_cast<u16>(lanes[k][i] + (v[i] >> k));
    }
    for (u32 k = 0; k < 7; ++k)
        for (u32 i = 0; i < kLanes; ++i) sums[i % 3][k] += lanes[k][i];
}

// An edge block narrower than 8 pixels.
void SumBlockRows(const u8* first, size_t stride, u32 columns, u32 rows, u32 sums[3][7]) {
    for (u32 y = 0; y < rows; ++y) {
        const u8* v = first + y * stride;
        for (u32 i = 0; i < columns * 3; ++i)
            for (u32 k = 0; k < 7; ++k) sums[i % 3][k] += u32(v[i]) >> k;
    }
}

}  // namespace

u32 ChooseRiceParameter(const u32 shifted_sums[7], u32 value_count, u32* cost) {
    if (shifted_sums[0] == 0) {
        *cost = 0;
        return kDtexAllZero;
    }
    u32 best_k = 0;
    u32 best = shifted_sums[0] + value_count;
    for (u32 k = 1; k < 7; ++k) {
        const u32 here = shifted_sums[k] + value_count * (1 + k);
        if (here > best) break;
        best = here;
        best_k = k;
    }
    *cost = best;
    return best_k;
}

u64 ChooseBlockRiceParameters(const u8* residuals, u32 width, u32 height, u8* params) {
    const u32 columns = DtexBlockCount(width);
    const u32 rows = DtexBlockCount(height);
    const size_t stride = size_t(width) * 3;
    u64 total = 0;
    for (u32 block_row = 0; block_row < rows; ++block_row) {
        const u32 y0 = block_row * kDtexBlockSide;
        const u32 y1 = std::min(height, y0 + kDtexBlockSide);
        for (u32 block_column = 0; block_column < columns; ++block_column) {
            const u32 x0 = block_column * kDtexBlockSide;
            const u32 x1 = std::min(width, x0 + kDtexBlockSide);
            // Sums of v >> k for k = 0..6, per channel: the cost of every k
            // follows from them without a trial encoding.
            u32 sums[3][7] = {};
            if (x1 - x0 == kDtexBlockSide)
                SumFullBlockRows(residuals + y0 * stride + size_t(x0) * 3, stride, y1 - y0, sums);
            else
                SumBlockRows(residuals + y0 * stride + size_t(x0) * 3, stride, x1 - x0, y1 - y0, sums);
            const u32 count = (x1 - x0) * (y1 - y0);
            u8* block = params + 3 * (size_t(block_row) * columns + block_column);
            for (u32 c = 0; c < 3; ++c) {
                u32 cost = 0;
                block[c] = static_cast<u8>(ChooseRiceParameter(sums[c], count, &cost));
                total += cost;
            }
        }
    }
    return total;
}

}  // namespace pirn
