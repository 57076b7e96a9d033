#pragma once
// Golomb-Rice coding of the detail-texture residuals. Each 8 x 8 block has a
// parameter k per residual channel: 0..6 codes a value v as v >> k one-bits,
// a zero-bit and the low k bits of v; 7 means every residual of that channel
// in the block is 0 and nothing is stored.

#include "models/dtex_bit_stream.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexBlockSide = 8;
constexpr u32 kDtexBlockParameterBits = 9;

inline u32 DtexBlockCount(u32 side) { return (side + kDtexBlockSide - 1) / kDtexBlockSide; }

// Chooses k for every block of one block row of one residual channel and
// returns the sum of the chosen costs in bits. `rows` (1..8) rows of
// residual bytes lie `stride` bytes apart, each zero from `width` up to the
// next multiple of 8. The k of block b goes to params[3 * b]. On equal
// costs the larger k wins; the search stops at the first k that costs more
// than the best so far.
u64 ChooseBlockRiceParameters(const u8* residual_rows, size_t stride, u32 rows, u32 width, u8* params);

// The best k and its cost for one channel's values given the sums of
// v >> k for k = 0..6 (the search above).
u32 ChooseRiceParameter(const u32 shifted_sums[7], u32 value_count, u32* cost);

inline void WriteRiceValue(DtexBitWriter& writer, u32 value, u32 k) { writer.PutRice(value, k); }

// Values above 255 fail the reader.
inline u32 ReadRiceValue(DtexBitReader& reader, u32 k) { return reader.ReadRice(k); }

}  // namespace pirn
