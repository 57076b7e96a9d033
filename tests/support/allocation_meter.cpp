#include "tests/support/allocation_meter.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_held{0};
std::atomic<size_t> g_peak{0};

// Every block carries, just before what the caller gets, its size and how
// far the caller's part lies from the start of the malloc block; so delete
// needs neither the sized nor the aligned form to give it back.
struct BlockNote {
    size_t size;
    size_t offset;
};

void* Take(size_t size, size_t alignment) {
    if (alignment < alignof(std::max_align_t)) alignment = alignof(std::max_align_t);
    const size_t extra = sizeof(BlockNote) + alignment;
    if (size > static_cast<size_t>(-1) - extra) return nullptr;
    char* block = static_cast<char*>(std::malloc(size + extra));
    if (!block) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(block) + sizeof(BlockNote);
    char* pointer = reinterpret_cast<char*>((start + alignment - 1) / alignment * alignment);
    BlockNote* note = reinterpret_cast<BlockNote*>(pointer) - 1;
    note->size = size;
    note->offset = static_cast<size_t>(pointer - block);
    const size_t held = g_held.fetch_add(size) + size;
    size_t peak = g_peak.load();
    while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
    }
    return pointer;
}

void Give(void* pointer) {
    if (!pointer) return;
    const BlockNote* note = static_cast<const BlockNote*>(pointer) - 1;
    g_held.fetch_sub(note->size);
    std::free(static_cast<char*>(pointer) - note->offset);
}

void* TakeOrThrow(size_t size, size_t alignment) {
    void* pointer = Take(size == 0 ? 1 : size, alignment);
    if (!pointer) throw std::bad_alloc();
    return pointer;
}

size_t Align(std::align_val_t alignment) { return static_cast<size_t>(alignment); }

}  // namespace

// Every replaceable form, so that no form of the library's own is linked
// beside these.
void* operator new(size_t size) { return TakeOrThrow(size, 0); }
void* operator new[](size_t size) { return TakeOrThrow(size, 0); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Take(size == 0 ? 1 : size, 0); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Take(size == 0 ? 1 : size, 0); }
void* operator new(size_t size, std::align_val_t a) { return TakeOrThrow(size, Align(a)); }
void* operator new[](size_t size, std::align_val_t a) { return TakeOrThrow(size, Align(a)); }
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Take(size == 0 ? 1 : size, Align(a));
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Take(size == 0 ? 1 : size, Align(a));
}
void operator delete(void* pointer) noexcept { Give(pointer); }
void operator delete[](void* pointer) noexcept { Give(pointer); }
void operator delete(void* pointer, size_t) noexcept { Give(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Give(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Give(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Give(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { Give(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { Give(pointer); }
void operator delete(void* pointer, size_t, std::align_val_t) noexcept { Give(pointer); }
void operator delete[](void* pointer, size_t, std::align_val_t) noexcept { Give(pointer); }
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { Give(pointer); }
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { Give(pointer); }

namespace pirn_test {

AllocationMeter::AllocationMeter() : start_(g_held.load()) { g_peak.store(start_); }

size_t AllocationMeter::PeakBytes() const {
    const size_t peak = g_peak.load();
    return peak > start_ ? peak - start_ : 0;
}

}  // namespace pirn_test
