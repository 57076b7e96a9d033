#pragma once
// Reads parts of a tag's data from its stream through one window of the
// file. Parts asked for in file order cost one read per window, and each
// part is still in the processor's cache while it is converted: reading a
// large tag whole and then walking it would pass every byte through memory
// twice.
//
// Every part is checked against the data's length (64-bit arithmetic)
// before anything is read or allocated for it.

#include <cstdio>

#include "collections/byte_buffer.h"
#include "platform/types.h"

namespace pirn {

class TagDataReader {
public:
    // The data of `length` bytes at `offset` in the stream, which the
    // caller has found to hold all of it.
    TagDataReader(std::FILE* stream, u64 offset, u64 length) : stream_(stream), offset_(offset), length_(length) {}

    u64 length() const { return length_; }
    // Whether [at, at + size) lies inside the data.
    bool Holds(u64 at, u64 size) const { return at <= length_ && size <= length_ - at; }

    // The bytes [at, at + size) of the data, valid until the next View or
    // Copy; null when they lie outside the data or a read fails.
    const u8* View(u64 at, u64 size);
    // Copies [at, at + size) into out; false when it lies outside the data
    // or a read fails.
    bool Copy(u64 at, u64 size, u8* out);
    // Whether a read or seek of the stream failed.
    bool failed() const { return failed_; }

private:
    bool ReadAt(u64 at, size_t size, u8* out);

    std::FILE* stream_;
    u64 offset_;
    u64 length_;
    u64 position_ = ~u64{0};  // of the stream, relative to the data
    ByteBuffer window_;
    u64 window_start_ = 0;
    bool failed_ = false;
};

}  // namespace pirn
