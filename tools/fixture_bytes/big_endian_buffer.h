#pragma once
// A growable byte buffer with big-endian writers, and readers for checking
// bytes the program wrote. Fixtures, benchmarks and the demo game build
// their files with these straight from the format tables, never through the
// program's own readers and writers, so that a fault shared by both cannot
// hide itself.
//
//   BigEndianBuffer b;
//   b.PutU16(6);                 // kind
//   b.PutText("Demo Addon", 32);  // name field
//   b.PutFourCC("dng2");

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn::fixture {

constexpr u32 FourCC(const char (&text)[5]) {
    return (u32(u8(text[0])) << 24) | (u32(u8(text[1])) << 16) | (u32(u8(text[2])) << 8) | u32(u8(text[3]));
}

// Overwrite bytes already written; `at` + the size must lie inside.
inline void SetU16At(std::vector<u8>& bytes, size_t at, u16 v) {
    bytes.at(at) = u8(v >> 8);
    bytes.at(at + 1) = u8(v);
}
inline void SetU32At(std::vector<u8>& bytes, size_t at, u32 v) {
    for (size_t i = 0; i < 4; ++i) bytes.at(at + i) = u8(v >> (24 - 8 * i));
}

// Reads for checking written bytes; out-of-range reads throw (a test fails
// rather than reading past the end).
inline u16 ReadU16(const std::vector<u8>& b, size_t at) { return u16((b.at(at) << 8) | b.at(at + 1)); }
inline u32 ReadU32(const std::vector<u8>& b, size_t at) {
    return (u32(b.at(at)) << 24) | (u32(b.at(at + 1)) << 16) | (u32(b.at(at + 2)) << 8) | u32(b.at(at + 3));
}
// The text of a fixed field of `width` bytes, up to its first NUL.
inline std::string ReadText(const std::vector<u8>& b, size_t at, size_t width) {
    std::string text;
    for (size_t i = 0; i < width && b.at(at + i); ++i) text.push_back(char(b[at + i]));
    return text;
}

class BigEndianBuffer {
public:
    void PutU8(u8 v) { bytes_.push_back(v); }
    void PutU16(u16 v) {
        PutU8(u8(v >> 8));
        PutU8(u8(v));
    }
    void PutU32(u32 v) {
        PutU16(u16(v >> 16));
        PutU16(u16(v));
    }
    // IEEE single precision, most significant byte first.
    void PutF32(float v) {
        u32 bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        PutU32(bits);
    }
    void PutFourCC(const char (&text)[5]) { PutU32(FourCC(text)); }
    // Text in a fixed field of `width` bytes, cut to width - 1 and NUL-padded
    // (always terminated, as the program writes its fields).
    void PutText(const std::string& text, size_t width) {
        if (width == 0) return;
        const size_t n = text.size() < width ? text.size() : width - 1;
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + std::ptrdiff_t(n));
        bytes_.insert(bytes_.end(), width - n, 0);
    }
    // Exactly `width` bytes: the text cut to width, then zeros. A text that
    // fills the field leaves it unterminated (what hostile files hold).
    void PutChars(const std::string& text, size_t width) {
        for (size_t i = 0; i < width; ++i) PutU8(i < text.size() ? u8(text[i]) : 0);
    }
    void PutZeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void PutBytes(const std::vector<u8>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

    void SetU16At(size_t at, u16 v) { fixture::SetU16At(bytes_, at, v); }
    void SetU32At(size_t at, u32 v) { fixture::SetU32At(bytes_, at, v); }

    size_t size() const { return bytes_.size(); }
    const std::vector<u8>& bytes() const { return bytes_; }
    // For padding a file out or damaging it on purpose.
    std::vector<u8>& mutable_bytes() { return bytes_; }

private:
    std::vector<u8> bytes_;
};

}  // namespace pirn::fixture
