#pragma once
// The reading primitives of LightWave files over one region of the file's
// bytes (the form, a chunk, a sub-chunk). All readers of one file share a
// failure record: once any read fails, every later read of any region reads
// nothing and returns zero, so a chunk reader may read a whole record and
// test once at the end.

#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

struct LwoFailure {
    bool failed = false;
    u32 chunk = 0;       // the top-level chunk being read
    u64 position = 0;    // file offset where the failing read began
    std::string reason;
};

class LwoByteReader {
public:
    // The region [begin, end) of the file's bytes.
    LwoByteReader(const u8* file, u64 begin, u64 end, LwoFailure* failure)
        : file_(file), position_(begin), end_(end), failure_(failure) {}

    // The primitives run for every value of a file: defined here, so that
    // they inline into the chunk readers' loops.
    u8 U1() {
        const u8* p = Take(1, "a byte");
        return p ? p[0] : 0;
    }
    u16 U2() {
        const u8* p = Take(2, "a 16-bit value");
        return p ? static_cast<u16>((p[0] << 8) | p[1]) : 0;
    }
    u32 U4() {
        const u8* p = Take(4, "a 32-bit value");
        return p ? BigEndian32(p) : 0;
    }
    i16 I2() { return static_cast<i16>(U2()); }
    i32 I4() { return static_cast<i32>(U4()); }
    float F4() {
        const u32 bits = U4();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    u32 ID4() { return U4(); }
    // Two bytes, or four when the first is 0xFF (then the low 24 bits).
    u32 VX() {
        if (position_ < end_ && file_[position_] == 0xFF) {
            const u8* p = Take(4, "an index");
            return p ? BigEndian32(p) & 0xFFFFFF : 0;
        }
        const u8* p = Take(2, "an index");
        return p ? static_cast<u32>((p[0] << 8) | p[1]) : 0;
    }
    // `count` F4 values at once; zeros when they are not all there.
    void F4s(float* out, u32 count) {
        const u8* p = Take(u64{count} * 4, "a run of values");
        for (u32 i = 0; i < count; ++i) {
            const u32 bits = p ? BigEndian32(p + 4 * i) : 0;
            std::memcpy(&out[i], &bits, sizeof(float));
        }
    }
    void VEC12(float out[3]) { F4s(out, 3); }
    void COL12(float out[3]) { VEC12(out); }
    // NUL-ended, padded to an even length; the text must end inside the
    // region. An empty string takes two bytes.
    std::string S0();
    // count bytes copied out (for plug-in data).
    void Bytes(std::vector<u8>& out, u64 count);

    // A sub-region of `size` bytes starting here; this reader moves past it
    // and its pad byte. A size running past this region fails.
    LwoByteReader Region(u64 size);
    void Skip(u64 count);
    void SkipToEnd() { position_ = end_; }

    u64 position() const { return position_; }
    u64 end() const { return end_; }
    u64 remaining() const { return position_ < end_ ? end_ - position_ : 0; }
    bool at_end() const { return position_ >= end_; }
    bool failed() const { return failure_->failed; }
    LwoFailure* failure() const { return failure_; }

    // Records the first failure (reason and where it happened); always false.
    bool Fail(const std::string& reason);

private:
    static u32 BigEndian32(const u8* p) {
        return (static_cast<u32>(p[0]) << 24) | (static_cast<u32>(p[1]) << 16) | (static_cast<u32>(p[2]) << 8) | p[3];
    }
    // `count` bytes from here, or null (and a failure recorded) when they
    // are not all there or an earlier read failed.
    const u8* Take(u64 count, const char* what) {
        if (!failure_->failed && count <= end_ - position_ && position_ <= end_) {
            const u8* at = file_ + position_;
            position_ += count;
            return at;
        }
        return TakeFailed(count, what);
    }
    const u8* TakeFailed(u64 count, const char* what);

    const u8* file_;
    u64 position_;
    u64 end_;
    LwoFailure* failure_;
};

}  // namespace pirn
