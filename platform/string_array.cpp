#include "platform/string_array.h"

#include <utility>

#include "platform/int_math.h"
#include "platform/sort.h"

namespace pirn {

StringArray::~StringArray() { StringArrayFree(this); }

void StringArrayReserve(StringArray* array, u32 n) {
    if (n <= array->capacity) return;
    u32 capacity = NextPowerOfTwo(n);
    if (capacity == 0) capacity = n;
    std::string* block = new std::string[capacity];
    for (u32 i = 0; i < array->count; ++i) block[i] = std::move(array->data[i]);
    delete[] array->data;
    array->data = block;
    array->capacity = capacity;
}

void StringArraySetCount(StringArray* array, u32 n) {
    StringArrayReserve(array, n);
    for (u32 i = array->count; i < n; ++i) array->data[i].clear();
    array->count = n;
}

void ResizeStringArray(StringArray* array, u32 n, const std::string& value) {
    const u32 old = array->count;
    StringArraySetCount(array, n);
    for (u32 i = old; i < n; ++i) array->data[i] = value;
}

void StringArrayDestroyRange(StringArray* array, u32 first, u32 n) {
    for (u32 i = first; i < array->capacity && i - first < n; ++i) {
        std::string().swap(array->data[i]);
    }
}

void StringArrayAppend(StringArray* array, const std::string& text) {
    ResizeStringArray(array, array->count + 1, text);
}

void StringArrayFree(StringArray* array) {
    delete[] array->data;
    array->data = nullptr;
    array->count = 0;
    array->capacity = 0;
}

namespace {

// The SortStrings order: bytewise over the common length, shorter first.
int CompareBytewise(const std::string& a, const std::string& b) { return a.compare(b); }

}  // namespace

u32 UnionStringArrays(StringArray* result, StringArray* a, StringArray* b) {
    u32 stateA = a->count;
    SortStrings(stateA, a->data, a->count);
    u32 stateB = b->count;
    SortStrings(stateB, b->data, b->count);

    const u32 total = a->count + b->count;
    if (result->count > total) StringArrayDestroyRange(result, total, result->count - total);
    StringArraySetCount(result, total);

    u32 i = 0, j = 0, written = 0;
    while (i < a->count && j < b->count) {
        const int c = CompareBytewise(a->data[i], b->data[j]);
        if (c < 0) {
            result->data[written++] = a->data[i++];
        } else if (c > 0) {
            result->data[written++] = b->data[j++];
        } else {
            result->data[written++] = a->data[i++];
            ++j;
        }
    }
    while (i < a->count) result->data[written++] = a->data[i++];
    while (j < b->count) result->data[written++] = b->data[j++];
    StringArrayDestroyRange(result, written, total - written);
    result->count = written;
    return written;
}

}  // namespace pirn
