#pragma once
// Conversions between a 2-byte bitmap's (alpha, colour index) pairs and the
// stored pixel bytes of the bitmap codec, the loops every decode and save
// spends its time in:
//   narrow  one byte, the index; index 0 is transparent;
//   wide    two bytes, the transparency nibble t (alpha (15 - t) x 17) and
//           the index.
// The pairs they make are normalised: alpha a multiple of 17, index 0 where
// alpha is 0. Each loop works on 16 or 8 pixels at a time in SSE2 registers
// where the compiler has them (both of our x86 builds) and answers exactly
// what its plain form below answers, which stays the definition.

#include <cstddef>

#include "platform/types.h"

namespace pirn {

// Narrow stored pixels to pairs: (255, i) for a non-zero index, (0, 0) else.
void PairsFromNarrow(const u8* stored, u8* pairs, size_t count);
// Narrow stored pixels to pairs through a table of 256 pairs (alpha from the
// colour table; not normalised).
void PairsFromNarrowTable(const u8* stored, u8* pairs, size_t count, const u8 table[256][2]);
// Wide stored pixels to pairs; answers whether some alpha lies strictly
// between 0 and 255.
bool PairsFromWide(const u8* stored, u8* pairs, size_t count);
// Pairs in place: alpha to (alpha / 16) x 17, index 0 where that is 0;
// answers whether some alpha lies strictly between 0 and 255 afterwards.
bool NormalisePairs(u8* pairs, size_t count);
// Pairs to narrow stored pixels (the index, 0 where alpha is 0); returns the
// end of what was written.
u8* NarrowFromPairs(const u8* pairs, size_t count, u8* stored);
// Pairs to wide stored pixels (15 - alpha / 16, the index as it is).
u8* WideFromPairs(const u8* pairs, size_t count, u8* stored);
// The maximal stretches of pairs with non-zero alpha in a row, left to
// right, as start and end (exclusive) columns into edges (room for width + 1
// values); answers the number of stretches. Widths up to 65535.
u32 FindOpaqueRuns(const u8* pairs, u32 width, u16* edges);

// The plain forms: one pixel at a time.
namespace plain_pairs {
void PairsFromNarrow(const u8* stored, u8* pairs, size_t count);
bool PairsFromWide(const u8* stored, u8* pairs, size_t count);
bool NormalisePairs(u8* pairs, size_t count);
u8* NarrowFromPairs(const u8* pairs, size_t count, u8* stored);
u8* WideFromPairs(const u8* pairs, size_t count, u8* stored);
u32 FindOpaqueRuns(const u8* pairs, u32 width, u16* edges);
}  // namespace plain_pairs

}  // namespace pirn
