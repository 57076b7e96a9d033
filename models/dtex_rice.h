#pragma once
// Golomb-Rice coding of the detail-texture residuals. Each 8 x 8 block has a
// parameter k per residual channel: 0..6 codes a value v as v >> k one-bits,
// a zero-bit and the low k bits of v; 7 means every residual of that channel
// in the block is 0 and nothing is stored.

#include <vector>

#include "models/dtex_bit_stream.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexBlockSide = 8;
constexpr u32 kDtexAllZero = 7;
constexpr u32 kDtexBlockParameterBits = 9;

inline u32 DtexBlockCount(u32 side) { return (side + kDtexBlockSide - 1) / kDtexBlockSide; }

// Fills params with three k per block (block rows top to bottom, blocks left
// to right) and returns the sum of the chosen costs in bits. On equal costs
// the larger k wins; the search stops at the first k that costs more than
// the best so far.
u64 ChooseBlockRiceParameters(const u8* residuals, u32 width, u32 height, u8* params);

// The best k and its cost for one channel's values (the search above).
u32 ChooseRiceParameter(const u32 shifted_sums[7], u32 value_count, u32* cost);

inline void WriteRiceValue(DtexBitWriter& writer, u32 value, u32 k) {
    if (k == kDtexAllZero) return;
    u32 ones = value >> k;
    const u32 code_bits = ones + 1 + k;
    if (writer.position() + code_bits <= 32) {
        // Nothing straddles, so the fields may go in as one.
        writer.PutBits((LowBitMask(ones) << (k + 1)) | (value & LowBitMask(k)), code_bits);
        return;
    }
    while (ones >= 32) {
        writer.PutBits(0xFFFFFFFFu, 32);
        ones -= 32;
    }
    if (ones > 0) writer.PutBits(LowBitMask(ones), ones);
    writer.PutBits(0, 1);
    if (k >= 1) writer.PutBits(value & LowBitMask(k), k);
}

// Values above 255 fail the reader.
inline u32 ReadRiceValue(DtexBitReader& reader, u32 k) {
    if (k == kDtexAllZero) return 0;
    const u32 ones = reader.ReadUnary(255u >> k);
    const u32 low = k >= 1 ? reader.ReadBits(k) : 0;
    return (ones << k) | low;
}

}  // namespace pirn
