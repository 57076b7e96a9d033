#pragma once
// An array of strings on the DynArray pattern: {data, count, capacity}, each
// element owning its text. Moving the block moves the strings; elements that
// a caller drops are emptied (StringArrayDestroyRange) before the count falls.

#include <string>

#include "platform/types.h"

namespace pirn {

struct StringArray {
    std::string* data = nullptr;
    u32 count = 0;
    u32 capacity = 0;

    StringArray() = default;
    ~StringArray();
    StringArray(const StringArray&) = delete;
    StringArray& operator=(const StringArray&) = delete;

    std::string& operator[](u32 i) { return data[i]; }
    const std::string& operator[](u32 i) const { return data[i]; }
};

// A new block of NextPowerOfTwo(n) strings when n > capacity, the existing
// strings moved into it in order.
void StringArrayReserve(StringArray* array, u32 n);
// Reserve, count := n; elements added at the end are empty.
void StringArraySetCount(StringArray* array, u32 n);
// As StringArraySetCount, each added element a copy of value.
void ResizeStringArray(StringArray* array, u32 n, const std::string& value);
// Empties strings first .. first + n - 1 (clipped to the capacity); the count
// is left alone.
void StringArrayDestroyRange(StringArray* array, u32 first, u32 n);
// Appends a copy of text.
void StringArrayAppend(StringArray* array, const std::string& text);
void StringArrayFree(StringArray* array);

// Sorts a and b (each with SortStrings seeded with its count), then writes
// their sorted union without duplicates into result; returns its count.
u32 UnionStringArrays(StringArray* result, StringArray* a, StringArray* b);

}  // namespace pirn
