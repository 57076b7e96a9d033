#include "platform/sort.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/dyn_array.h"

namespace pirn {

namespace {

constexpr u32 kSelectionSortLimit = 16;

// The shared scheme over elements T whose order is given by Less on keys
// returned by KeyOf (the element itself, or a looked-up key for index sorts).
template <typename T, typename KeyOf, typename Less>
void SortScheme(u32& state, T* items, u32 n, KeyOf keyOf, Less less) {
    while (n >= kSelectionSortLimit) {
        state = AdvanceSortState(state);
        // The pivot is copied: the partition moves the element it came from.
        const auto pivot = keyOf(items[state % n]);
        u32 i = 0;
        u32 j = n - 1;
        for (;;) {
            while (less(keyOf(items[i]), pivot)) ++i;
            while (less(pivot, keyOf(items[j]))) --j;
            if (i >= j) break;
            std::swap(items[i], items[j]);
            ++i;
            --j;
        }
        // Left part first, then the right: the order in which the state
        // advances decides the result for equal keys.
        SortScheme(state, items, i, keyOf, less);
        items += i;
        n -= i;
    }
    for (u32 p = 0; p + 1 < n; ++p) {
        u32 smallest = p;
        for (u32 k = p + 1; k < n; ++k)
            if (less(keyOf(items[k]), keyOf(items[smallest]))) smallest = k;
        if (smallest != p) std::swap(items[p], items[smallest]);
    }
}

template <typename T>
struct Identity {
    const T& operator()(const T& v) const { return v; }
};

struct LessThan {
    template <typename A>
    bool operator()(const A& a, const A& b) const { return a < b; }
};

}  // namespace

void SortInts(u32& state, i32* values, u32 n) { SortScheme(state, values, n, Identity<i32>(), LessThan()); }

void SortUInts(u32& state, u32* values, u32 n) { SortScheme(state, values, n, Identity<u32>(), LessThan()); }

void SortStrings(u32& state, std::string* strings, u32 n) {
    // std::string's compare is bytewise (unsigned) then shorter first.
    SortScheme(state, strings, n, Identity<std::string>(), LessThan());
}

void SortIndicesByIntKey(u32& state, u32* indices, u32 n, const i32* keys) {
    SortScheme(state, indices, n, [keys](u32 index) { return keys[index]; }, LessThan());
}

void SortIndicesByUIntKey(u32& state, u32* indices, u32 n, const u32* keys) {
    SortScheme(state, indices, n, [keys](u32 index) { return keys[index]; }, LessThan());
}

void SortCountColorPairs(u32& state, CountColorPair* pairs, u32 n) {
    SortScheme(state, pairs, n, [](const CountColorPair& p) { return p.count; }, LessThan());
}

void SortIndicesByKey(const u32* keys, u32 n, u32* indices) {
    IdentityPermutation(indices, n);
    u32 state = n;
    SortIndicesByUIntKey(state, indices, n, keys);
}

void IdentityPermutation(u32* indices, u32 n) {
    for (u32 i = 0; i < n; ++i) indices[i] = i;
}

void GatherByPermutation(void* destination, const void* source, u32 n, u32 size, const u32* indices) {
    u8* dst = static_cast<u8*>(destination);
    const u8* src = static_cast<const u8*>(source);
    switch (size) {
    case 1:
        for (u32 i = 0; i < n; ++i) dst[i] = src[indices[i]];
        break;
    case 2:
    case 4:
    case 8:
        // Whole words through memcpy of a fixed size: the buffers need not be aligned.
        for (u32 i = 0; i < n; ++i) {
            u64 word;
            std::memcpy(&word, src + static_cast<size_t>(indices[i]) * size, size);
            std::memcpy(dst + static_cast<size_t>(i) * size, &word, size);
        }
        break;
    default:
        for (u32 i = 0; i < n; ++i)
            std::memcpy(dst + static_cast<size_t>(i) * size, src + static_cast<size_t>(indices[i]) * size, size);
        break;
    }
}

void ApplyPermutation(void* data, u32 n, u32 size, const u32* indices) {
    DynArray scratch;
    DynArraySetCount(&scratch, size, n);
    GatherByPermutation(scratch.data, data, n, size, indices);
    if (n && size) std::memcpy(data, scratch.data, static_cast<size_t>(n) * size);
    DynArrayFree(&scratch);
}

}  // namespace pirn
