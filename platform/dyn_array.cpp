#include "platform/dyn_array.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/int_math.h"

namespace pirn {

namespace {

[[noreturn]] void OutOfMemory(u64 bytes) {
    std::fprintf(stderr, "FATAL: out of memory (%llu bytes)\n", static_cast<unsigned long long>(bytes));
    std::abort();
}

void Reallocate(DynArray* array, u64 bytes) {
    if (bytes == 0) {
        std::free(array->data);
        array->data = nullptr;
        return;
    }
    if (bytes > SIZE_MAX) OutOfMemory(bytes);
    void* block = std::realloc(array->data, static_cast<size_t>(bytes));
    if (!block) OutOfMemory(bytes);
    array->data = block;
}

u8* At(const DynArray* array, u32 size, u32 index) {
    return static_cast<u8*>(array->data) + static_cast<size_t>(index) * size;
}

}  // namespace

DynArray* DynArrayInit(DynArray* array) {
    array->data = nullptr;
    array->count = 0;
    array->capacity = 0;
    return array;
}

void DynArrayReserve(DynArray* array, u32 size, u32 n) {
    if (n <= array->capacity) return;
    u32 capacity = NextPowerOfTwo(n);
    if (capacity == 0) capacity = n;  // above 2^31: no larger power of two fits in 32 bits
    Reallocate(array, static_cast<u64>(capacity) * size);
    array->capacity = capacity;
}

void DynArraySetCount(DynArray* array, u32 size, u32 n) {
    DynArrayReserve(array, size, n);
    array->count = n;
}

void DynArraySetExact(DynArray* array, u32 size, u32 n) {
    Reallocate(array, static_cast<u64>(n) * size);
    array->count = n;
    array->capacity = n;
}

void* DynArrayInsert(DynArray* array, u32 size, u32 index, u32 n) {
    if (index > array->count) return nullptr;
    const u32 oldCount = array->count;
    if (static_cast<u64>(oldCount) + n > 0xFFFFFFFFu) OutOfMemory(static_cast<u64>(oldCount + u64{n}) * size);
    DynArraySetCount(array, size, oldCount + n);
    if (size == 0 || !array->data) return array->data;
    std::memmove(At(array, size, index + n), At(array, size, index), static_cast<size_t>(oldCount - index) * size);
    return At(array, size, index);
}

void DynArrayRemove(DynArray* array, u32 size, u32 index, u32 n) {
    if (index >= array->count || n == 0) return;
    if (n > array->count - index) n = array->count - index;
    const u32 tail = array->count - index - n;
    if (size != 0 && tail != 0)
        std::memmove(At(array, size, index), At(array, size, index + n), static_cast<size_t>(tail) * size);
    array->count -= n;
}

void DynArrayFree(DynArray* array) {
    std::free(array->data);
    DynArrayInit(array);
}

}  // namespace pirn
