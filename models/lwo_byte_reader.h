#pragma once
// The reading primitives of LightWave files over one region of the file's
// bytes (the form, a chunk, a sub-chunk). All readers of one file share a
// failure record: once any read fails, every later read of any region reads
// nothing and returns zero, so a chunk reader may read a whole record and
// test once at the end.

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

    u8 U1();
    u16 U2();
    u32 U4();
    i16 I2();
    i32 I4();
    float F4();
    u32 ID4() { return U4(); }
    // Two bytes, or four when the first is 0xFF (then the low 24 bits).
    u32 VX();
    void VEC12(float out[3]);
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
    const u8* Take(u64 count, const char* what);

    const u8* file_;
    u64 position_;
    u64 end_;
    LwoFailure* failure_;
};

}  // namespace pirn
