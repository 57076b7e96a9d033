#pragma once
// A growable byte buffer with big-endian writers. The demo game is written
// with these directly from the format tables, not through the program's own
// readers and writers, so it can serve as an independent fixture.

#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn::demo {

class BigEndianBuffer {
public:
    void PutU8(u8 v) { bytes_.push_back(v); }
    void PutU16(u16 v) {
        PutU8(static_cast<u8>(v >> 8));
        PutU8(static_cast<u8>(v));
    }
    void PutU32(u32 v) {
        PutU16(static_cast<u16>(v >> 16));
        PutU16(static_cast<u16>(v));
    }
    // Text in a fixed field of `width` bytes, cut to width - 1 and NUL-padded.
    void PutText(const std::string& text, size_t width) {
        const size_t n = text.size() < width ? text.size() : width - 1;
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
        bytes_.insert(bytes_.end(), width - n, 0);
    }
    void PutZeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void PutBytes(const std::vector<u8>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

    void SetU32At(size_t at, u32 v) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<u8>(v >> (24 - 8 * i));
    }

    size_t size() const { return bytes_.size(); }
    const std::vector<u8>& bytes() const { return bytes_; }

private:
    std::vector<u8> bytes_;
};

}  // namespace pirn::demo
