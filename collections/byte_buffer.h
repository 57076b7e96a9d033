#pragma once
// A growing run of bytes that writers fill through raw pointers: room is
// taken for the most a step can write, filled, and the unused end given
// back. Unlike std::vector<u8> the room is never zero-filled first, which
// matters where a whole tag or a large bitmap is built in one buffer.
//
//   u8* at = buffer.Extend(bound);
//   at = WriteSomething(at);
//   buffer.TrimTo(at);

#include <cstring>
#include <memory>
#include <new>

#include "platform/types.h"

namespace pirn {

class ByteBuffer {
public:
    // Room for n more bytes at the end (their contents undefined); the size
    // grows by n. The pointer stays valid until the next Extend. Null, with
    // nothing changed, when the size would pass what memory can address.
    u8* Extend(size_t n) {
        if (n > kMaxSize - size_) return nullptr;
        if (capacity_ - size_ < n) Grow(n);
        u8* at = bytes_.get() + size_;
        size_ += n;
        return at;
    }
    // Room for at least `capacity` bytes in all, taken at once: a buffer
    // that is about to be filled with a known amount grows without copies.
    // False when that much memory cannot be had (the buffer stays as it is).
    bool Reserve(size_t capacity) {
        if (capacity <= capacity_) return true;
        if (capacity > kMaxSize) return false;
        std::unique_ptr<u8[]> bytes(new (std::nothrow) u8[capacity]);
        if (!bytes) return false;
        if (size_) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
        return true;
    }
    // Ends the buffer at `end`, a pointer into it.
    void TrimTo(const u8* end) { size_ = static_cast<size_t>(end - bytes_.get()); }
    void Clear() { size_ = 0; }

    u8* data() { return bytes_.get(); }
    const u8* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

private:
    static constexpr size_t kMaxSize = ~size_t{0} / 2;

    void Grow(size_t n) {
        size_t capacity = capacity_ ? capacity_ * 2 : 4096;
        if (capacity < capacity_ || capacity - size_ < n) capacity = size_ + n;
        std::unique_ptr<u8[]> bytes(new u8[capacity]);
        if (size_) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }

    std::unique_ptr<u8[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace pirn
