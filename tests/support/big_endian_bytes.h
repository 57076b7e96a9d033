#pragma once
// Fixture bytes written field by field from a format's tables, big-endian,
// each call returning the builder so that a record reads as one chain:
//   struct Bytes : pirn_test::BigEndianBytes<Bytes> {};
//   Bytes b;  b.U16(width).U16(height).Text(name, 32);
// The suites derive their own Bytes from it to keep a builder type of their
// own (and add calls of their format).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pirn_test {

// Big-endian fields read back from saved bytes, checked against the size.
inline uint16_t U16At(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b.at(at) << 8 | b.at(at + 1)); }
inline uint32_t U32At(const std::vector<uint8_t>& b, size_t at) { return uint32_t(U16At(b, at)) << 16 | U16At(b, at + 2); }

template <typename Derived>
struct BigEndianBytes {
    std::vector<uint8_t> data;

    Derived& U8(uint8_t v) {
        data.push_back(v);
        return Self();
    }
    Derived& U16(uint16_t v) { return U8(uint8_t(v >> 8)).U8(uint8_t(v)); }
    Derived& I16(int v) { return U16(uint16_t(int16_t(v))); }
    Derived& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
    // A four-character code, as its four bytes.
    Derived& Code(const char (&text)[5]) {
        for (int i = 0; i < 4; ++i) U8(uint8_t(text[i]));
        return Self();
    }
    // Exactly n bytes: the text, then zeros.
    Derived& Text(const std::string& text, size_t n) {
        for (size_t i = 0; i < n; ++i) U8(i < text.size() ? uint8_t(text[i]) : 0);
        return Self();
    }
    Derived& CString(const std::string& text) { return Text(text, text.size() + 1); }
    Derived& Fill(size_t n, uint8_t v) {
        data.insert(data.end(), n, v);
        return Self();
    }
    Derived& Zeros(size_t n) { return Fill(n, 0); }
    Derived& Append(const std::vector<uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return Self();
    }
    size_t size() const { return data.size(); }
    // Overwrites the four bytes at `at` (a size or offset known only later).
    void SetU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) data.at(at + i) = uint8_t(v >> (24 - 8 * i));
    }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
};

}  // namespace pirn_test
