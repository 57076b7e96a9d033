#pragma once
// In-place, unstable ascending sorts sharing one scheme: runs of fewer than
// 16 elements by selection sort; otherwise a Hoare partition around the
// element at state mod n, the caller's state advanced by a linear
// congruential step once per partition. The caller picks the seed, so every
// run is repeatable and sorted input does not degrade.

#include <string>

#include "platform/types.h"

namespace pirn {

// x -> x * 1664525 + 1013904223 (mod 2^32)
inline u32 AdvanceSortState(u32 state) { return state * 1664525u + 1013904223u; }

struct CountColorPair {
    u32 count;
    u32 color;
};
static_assert(sizeof(CountColorPair) == 8, "pairs are 8-byte records");

void SortInts(u32& state, i32* values, u32 n);
void SortUInts(u32& state, u32* values, u32 n);
// Bytewise over the common length, then the shorter first.
void SortStrings(u32& state, std::string* strings, u32 n);
void SortIndicesByIntKey(u32& state, u32* indices, u32 n, const i32* keys);
void SortIndicesByUIntKey(u32& state, u32* indices, u32 n, const u32* keys);
// By count, unsigned.
void SortCountColorPairs(u32& state, CountColorPair* pairs, u32 n);

// indices := 0 .. n - 1 sorted by keys[index] (state seeded with n).
void SortIndicesByKey(const u32* keys, u32 n, u32* indices);
void IdentityPermutation(u32* indices, u32 n);
// destination[i] := source[indices[i]] for elements of size bytes.
void GatherByPermutation(void* destination, const void* source, u32 n, u32 size, const u32* indices);
// The same gather, written back over data.
void ApplyPermutation(void* data, u32 n, u32 size, const u32* indices);

}  // namespace pirn
