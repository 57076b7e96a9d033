#pragma once
// Hash map from a 32-bit key (group code or tag id) to a pointer, the index
// of the Codex. Open addressing with linear probing and backward-shift
// removal keeps lookups to one or two cache lines for 100,000 tags; the slot
// is empty when its value is null, so every u32 (0xFFFFFFFF included) is a
// valid key.

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace pirn {

inline u32 HashIdFnv1a(u32 key) {
    u32 hash = 2166136261u;
    for (int shift = 24; shift >= 0; shift -= 8) {
        hash ^= (key >> shift) & 0xFFu;
        hash *= 16777619u;
    }
    return hash;
}

template <typename T>
class IdMap {
public:
    T* Find(u32 key) const {
        if (slots_.empty()) return nullptr;
        size_t mask = slots_.size() - 1;
        for (size_t i = HashIdFnv1a(key) & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (!slot.value) return nullptr;
            if (slot.key == key) return slot.value;
        }
    }

    // Stores value (never null) under key, replacing an earlier value.
    void Insert(u32 key, T* value) {
        if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
        size_t mask = slots_.size() - 1;
        for (size_t i = HashIdFnv1a(key) & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (!slot.value) {
                slot.key = key;
                slot.value = value;
                ++count_;
                return;
            }
            if (slot.key == key) {
                slot.value = value;
                return;
            }
        }
    }

    // Returns the removed value, or null when the key was not present.
    T* Remove(u32 key) {
        if (slots_.empty()) return nullptr;
        size_t mask = slots_.size() - 1;
        size_t i = HashIdFnv1a(key) & mask;
        while (true) {
            if (!slots_[i].value) return nullptr;
            if (slots_[i].key == key) break;
            i = (i + 1) & mask;
        }
        T* removed = slots_[i].value;
        // Shift later members of the probe chain back so no lookup stops early.
        size_t hole = i;
        for (size_t j = (i + 1) & mask; slots_[j].value; j = (j + 1) & mask) {
            size_t home = HashIdFnv1a(slots_[j].key) & mask;
            bool movable = (hole <= j) ? (home <= hole || home > j) : (home <= hole && home > j);
            if (movable) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = Slot{};
        --count_;
        return removed;
    }

    // Where a lookup of key starts (null in an empty map): a caller that
    // prefetches it for lookups to come waits for their misses side by
    // side. (A function of its own that only prefetched would count as
    // doing nothing, and the compiler would drop its calls.)
    const void* FirstSlot(u32 key) const {
        return slots_.empty() ? nullptr : &slots_[HashIdFnv1a(key) & (slots_.size() - 1)];
    }

    size_t Count() const { return count_; }

    // Appends every value in the map's own slot order.
    void AppendValues(std::vector<T*>& out) const {
        for (const Slot& slot : slots_)
            if (slot.value) out.push_back(slot.value);
    }

    void Clear() {
        slots_.clear();
        count_ = 0;
    }

private:
    struct Slot {
        u32 key = 0;
        T* value = nullptr;
    };

    void Grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        count_ = 0;
        for (const Slot& slot : old)
            if (slot.value) Insert(slot.key, slot.value);
    }

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

}  // namespace pirn
