#pragma once
// The pixel bytes of one collection bitmap. They behave like a
// std::vector<u8> of their own: copies are deep, growing zero-fills, and
// they compare equal to a vector with the same bytes. What differs is where
// the bytes may live: loading a collection places the bytes of all its
// bitmaps in a few large blocks (PixelBlocks) instead of one allocation
// each, and leaves them unfilled for the decoder to write. A block lives as
// long as any bitmap placed in it; a bitmap that grows moves to storage of
// its own.
//
// Bitmaps with the same pixels may also share their bytes (a tag's entries
// that name one block, the placeholders of bitmaps that did not decode):
// then every access that may write (the non-const accessors and every
// change) first gives the bytes storage of their own, so that no bitmap
// sees another's edits. Reading through a const reference never copies.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/types.h"

namespace pirn {

class PixelBlocks;

class PixelBytes {
public:
    using value_type = u8;
    using size_type = size_t;
    using difference_type = std::ptrdiff_t;
    using reference = u8&;
    using const_reference = const u8&;
    using pointer = u8*;
    using const_pointer = const u8*;
    using iterator = u8*;
    using const_iterator = const u8*;

    PixelBytes() = default;
    PixelBytes(std::initializer_list<u8> bytes) { assign(bytes.begin(), bytes.end()); }
    PixelBytes(const PixelBytes& other) { assign(other.begin(), other.end()); }
    PixelBytes(PixelBytes&& other) noexcept { swap(other); }
    PixelBytes& operator=(const PixelBytes& other);
    PixelBytes& operator=(PixelBytes&& other) noexcept;
    PixelBytes& operator=(std::initializer_list<u8> bytes);
    PixelBytes& operator=(const std::vector<u8>& bytes);

    u8* data() { return Writable(); }
    const u8* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    u8& operator[](size_t i) { return Writable()[i]; }
    const u8& operator[](size_t i) const { return data_[i]; }
    u8& back() { return Writable()[size_ - 1]; }
    const u8& back() const { return data_[size_ - 1]; }
    u8* begin() { return Writable(); }
    u8* end() { return Writable() + size_; }
    const u8* begin() const { return data_; }
    const u8* end() const { return data_ + size_; }

    void assign(size_t count, u8 value);
    void assign(const u8* first, const u8* last);
    template <typename Iterator, typename = std::enable_if_t<!std::is_integral<Iterator>::value>>
    void assign(Iterator first, Iterator last) {
        if constexpr (std::is_convertible<Iterator, const u8*>::value) {
            assign(static_cast<const u8*>(first), static_cast<const u8*>(last));
        } else {
            const std::vector<u8> bytes(first, last);
            assign(bytes.data(), bytes.data() + bytes.size());
        }
    }
    // New bytes are zero.
    void resize(size_t count);
    void clear() { size_ = 0; }
    void push_back(u8 value);
    void swap(PixelBytes& other) noexcept;

    // Makes room for exactly `count` bytes whose contents are undefined, in
    // storage of its own; for writers that fill every byte.
    void SetSizeUnfilled(size_t count);

    // These bytes become the same bytes as `other`'s, shared until either
    // is written.
    void ShareWith(PixelBytes& other);
    // Whether the bytes may be shared with others (a write copies them).
    bool IsShared() const { return shared_; }

private:
    friend class PixelBlocks;
    u8* Writable() {
        if (shared_) Unshare();
        return data_;
    }
    // Storage of its own for the bytes, unless nothing else holds them.
    void Unshare();
    // Lets go of the bytes: empty, holding nothing.
    void Forget();
    // Room of its own for `capacity` bytes, keeping the first `keep`.
    void Reallocate(size_t capacity, size_t keep);

    u8* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    std::unique_ptr<u8[]> own_;
    std::shared_ptr<u8> block_;  // the block the bytes lie in, when placed or shared
    bool shared_ = false;
};

bool operator==(const PixelBytes& a, const PixelBytes& b);
bool operator==(const PixelBytes& a, const std::vector<u8>& b);
bool operator==(const std::vector<u8>& a, const PixelBytes& b);
inline bool operator!=(const PixelBytes& a, const PixelBytes& b) { return !(a == b); }
inline bool operator!=(const PixelBytes& a, const std::vector<u8>& b) { return !(a == b); }
inline bool operator!=(const std::vector<u8>& a, const PixelBytes& b) { return !(a == b); }

// Places the pixel bytes of many bitmaps in few large blocks: the first of
// the size expected for all of them, then blocks of at least kMinBlock as
// the expectation runs out. Placed bytes are not filled.
class PixelBlocks {
public:
    explicit PixelBlocks(u64 expected_bytes) : next_block_(expected_bytes) {}
    // Room for exactly `count` bytes at `pixels`; false (nothing changed)
    // when memory for them cannot be had.
    bool Place(PixelBytes* pixels, size_t count);

private:
    static constexpr size_t kMinBlock = 1 << 20;
    // A wrong expectation (a damaged table) reserves no more than this.
    static constexpr u64 kMaxFirstBlock = u64{64} << 20;

    std::shared_ptr<u8> block_;
    size_t used_ = 0;
    size_t size_ = 0;
    u64 next_block_;
};

}  // namespace pirn
