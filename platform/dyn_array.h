#pragma once
// The program's own growable array: {data, count, capacity} over raw bytes.
// The element size is not stored; every call is given it. Capacity is 0 or a
// power of two (except after DynArraySetExact, where it equals the count).
// Elements are raw bytes: no constructors or destructors run.
//
// Allocation failure is fatal: the program assumes memory is available, and
// a half-valid array is worse than a clear stop.

#include "platform/types.h"

namespace pirn {

struct DynArray {
    void* data = nullptr;
    u32 count = 0;
    u32 capacity = 0;
};

DynArray* DynArrayInit(DynArray* array);
// Grows the block to NextPowerOfTwo(n) elements when n > capacity (contents
// kept); never shrinks. A zero element size frees the block.
void DynArrayReserve(DynArray* array, u32 size, u32 n);
// Reserve, then count := n; new elements are not initialised.
void DynArraySetCount(DynArray* array, u32 size, u32 n);
// count := capacity := n, block reallocated to exactly n x size (0 frees it).
void DynArraySetExact(DynArray* array, u32 size, u32 n);
// Opens an uninitialised gap of n elements at index (index = count appends)
// and returns its address. An index past the end changes nothing and
// returns null.
void* DynArrayInsert(DynArray* array, u32 size, u32 index, u32 n);
// Removes n elements at index; a range past the end is clipped. Capacity kept.
void DynArrayRemove(DynArray* array, u32 size, u32 index, u32 n);
void DynArrayFree(DynArray* array);

// Typed access for arrays with a fixed element type.
template <typename T>
T* DynArrayItems(const DynArray& array) {
    return static_cast<T*>(array.data);
}
template <typename T>
T* DynArrayAppend(DynArray* array, u32 n = 1) {
    return static_cast<T*>(DynArrayInsert(array, sizeof(T), array->count, n));
}

}  // namespace pirn
