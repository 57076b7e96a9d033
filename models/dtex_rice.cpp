#include "models/dtex_rice.h"

#include <algorithm>

namespace pirn {

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
            for (u32 y = y0; y < y1; ++y) {
                const u8* value = residuals + y * stride + size_t(x0) * 3;
                for (u32 x = x0; x < x1; ++x) {
                    for (u32 c = 0; c < 3; ++c, ++value) {
                        const u32 v = *value;
                        for (u32 k = 0; k < 7; ++k) sums[c][k] += v >> k;
                    }
                }
            }
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
