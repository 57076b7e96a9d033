#include "collections/pixel_bytes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pirn {

PixelBytes& PixelBytes::operator=(const PixelBytes& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
}

PixelBytes& PixelBytes::operator=(PixelBytes&& other) noexcept {
    PixelBytes taken(std::move(other));
    swap(taken);
    return *this;
}

PixelBytes& PixelBytes::operator=(std::initializer_list<u8> bytes) {
    assign(bytes.begin(), bytes.end());
    return *this;
}

PixelBytes& PixelBytes::operator=(const std::vector<u8>& bytes) {
    assign(bytes.data(), bytes.data() + bytes.size());
    return *this;
}

void PixelBytes::Reallocate(size_t capacity, size_t keep) {
    std::unique_ptr<u8[]> bytes(new u8[capacity]);
    if (keep) std::memcpy(bytes.get(), data_, keep);
    own_ = std::move(bytes);
    block_.reset();
    data_ = own_.get();
    capacity_ = capacity;
    shared_ = false;
}

void PixelBytes::Unshare() {
    // The last holder writes in place. A placed block is also held by the
    // other bitmaps placed in it, so shared bytes there are always copied.
    if (block_.use_count() > 1) Reallocate(size_, size_);
    shared_ = false;
}

void PixelBytes::ShareWith(PixelBytes& other) {
    if (this == &other) return;
    if (other.own_) {
        // Storage of its own becomes a block both can hold.
        other.block_ = std::shared_ptr<u8>(other.own_.release(), std::default_delete<u8[]>());
        other.data_ = other.block_.get();
    }
    own_.reset();
    block_ = other.block_;
    data_ = other.data_;
    size_ = capacity_ = other.size_;
    other.capacity_ = other.size_;
    shared_ = other.shared_ = true;
}

void PixelBytes::Forget() {
    own_.reset();
    block_.reset();
    data_ = nullptr;
    size_ = capacity_ = 0;
    shared_ = false;
}

void PixelBytes::assign(size_t count, u8 value) {
    if (shared_) Forget();
    if (count > capacity_) Reallocate(count, 0);
    if (count) std::memset(data_, value, count);
    size_ = count;
}

void PixelBytes::assign(const u8* first, const u8* last) {
    const size_t count = static_cast<size_t>(last - first);
    // The source may be these very bytes, or bytes shared with them: they
    // stay alive until they are copied.
    const std::shared_ptr<u8> source_block = block_;
    if (shared_) Forget();
    if (count > capacity_) Reallocate(count, 0);
    if (count) std::memmove(data_, first, count);
    size_ = count;
}

void PixelBytes::resize(size_t count) {
    if (shared_) Unshare();
    if (count > capacity_) Reallocate(std::max(count, 2 * capacity_), size_);
    if (count > size_) std::memset(data_ + size_, 0, count - size_);
    size_ = count;
}

void PixelBytes::push_back(u8 value) {
    if (shared_) Unshare();
    if (size_ == capacity_) Reallocate(std::max<size_t>(64, 2 * capacity_), size_);
    data_[size_++] = value;
}

void PixelBytes::swap(PixelBytes& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    own_.swap(other.own_);
    block_.swap(other.block_);
    std::swap(shared_, other.shared_);
}

void PixelBytes::SetSizeUnfilled(size_t count) {
    if (shared_) Forget();
    if (count > capacity_) Reallocate(count, 0);
    size_ = count;
}

bool operator==(const PixelBytes& a, const PixelBytes& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool operator==(const PixelBytes& a, const std::vector<u8>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool operator==(const std::vector<u8>& a, const PixelBytes& b) { return b == a; }

bool PixelBlocks::Place(PixelBytes* pixels, size_t count) {
    if (count > size_ - used_) {
        // What the expectation left out gets blocks of its own size or more;
        // one much larger than a block does not cut the current block short.
        const bool alone = count >= kMinBlock / 4 && size_ - used_ >= kMinBlock / 4;
        const u64 wanted = std::max<u64>(count, alone ? 0 : std::min<u64>(next_block_, kMaxFirstBlock));
        if (wanted > ~size_t{0}) return false;
        u8* bytes = new (std::nothrow) u8[static_cast<size_t>(wanted)];
        if (!bytes) return false;
        std::shared_ptr<u8> block(bytes, std::default_delete<u8[]>());
        if (alone) {
            pixels->own_.reset();
            pixels->shared_ = false;
            pixels->block_ = std::move(block);
            pixels->data_ = bytes;
            pixels->size_ = pixels->capacity_ = count;
            return true;
        }
        block_ = std::move(block);
        used_ = 0;
        size_ = static_cast<size_t>(wanted);
        next_block_ = kMinBlock;
    }
    pixels->own_.reset();
    pixels->shared_ = false;
    pixels->block_ = block_;
    pixels->data_ = block_.get() + used_;
    pixels->size_ = pixels->capacity_ = count;
    used_ += count;
    return true;
}

}  // namespace pirn
