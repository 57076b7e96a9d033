#include "models/lwo_byte_reader.h"

#include <cstring>

#include "platform/strings.h"

namespace pirn {

bool LwoByteReader::Fail(const std::string& reason) {
    if (!failure_->failed) {
        failure_->failed = true;
        failure_->position = position_;
        failure_->reason = reason;
    }
    return false;
}

const u8* LwoByteReader::Take(u64 count, const char* what) {
    if (failure_->failed) return nullptr;
    if (count > remaining()) {
        Fail(FormatString("%s runs past the end of its chunk", what));
        return nullptr;
    }
    const u8* at = file_ + position_;
    position_ += count;
    return at;
}

u8 LwoByteReader::U1() {
    const u8* p = Take(1, "a byte");
    return p ? p[0] : 0;
}

u16 LwoByteReader::U2() {
    const u8* p = Take(2, "a 16-bit value");
    return p ? static_cast<u16>((p[0] << 8) | p[1]) : 0;
}

u32 LwoByteReader::U4() {
    const u8* p = Take(4, "a 32-bit value");
    if (!p) return 0;
    return (static_cast<u32>(p[0]) << 24) | (static_cast<u32>(p[1]) << 16) | (static_cast<u32>(p[2]) << 8) | p[3];
}

i16 LwoByteReader::I2() { return static_cast<i16>(U2()); }
i32 LwoByteReader::I4() { return static_cast<i32>(U4()); }

float LwoByteReader::F4() {
    const u32 bits = U4();
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

u32 LwoByteReader::VX() {
    if (failure_->failed) return 0;
    if (remaining() >= 1 && file_[position_] == 0xFF) {
        const u8* p = Take(4, "an index");
        return p ? (static_cast<u32>(p[1]) << 16) | (static_cast<u32>(p[2]) << 8) | p[3] : 0;
    }
    const u8* p = Take(2, "an index");
    return p ? static_cast<u32>((p[0] << 8) | p[1]) : 0;
}

void LwoByteReader::VEC12(float out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = F4();
}

std::string LwoByteReader::S0() {
    if (failure_->failed) return std::string();
    const u8* start = file_ + position_;
    const void* nul = std::memchr(start, 0, static_cast<size_t>(remaining()));
    if (!nul) {
        Fail("a name runs past the end of its chunk");
        return std::string();
    }
    const u64 length = static_cast<u64>(static_cast<const u8*>(nul) - start);
    std::string text(reinterpret_cast<const char*>(start), static_cast<size_t>(length));
    // The pad byte of an odd-length string may be missing at the very end
    // of a chunk; the text itself is complete, so that is not a failure.
    u64 used = length + 1;
    used += used & 1;
    position_ += used < remaining() ? used : remaining();
    return text;
}

void LwoByteReader::Bytes(std::vector<u8>& out, u64 count) {
    const u8* p = Take(count, "plug-in data");
    if (p) out.assign(p, p + count);
}

LwoByteReader LwoByteReader::Region(u64 size) {
    const u64 begin = position_;
    if (!failure_->failed && size > remaining()) {
        Fail(FormatString("a chunk of %llu bytes runs past the %llu bytes left around it",
                          static_cast<unsigned long long>(size), static_cast<unsigned long long>(remaining())));
    }
    if (failure_->failed) return LwoByteReader(file_, position_, position_, failure_);
    const u64 padded = size + (size & 1);
    position_ += padded < remaining() ? padded : remaining();
    return LwoByteReader(file_, begin, begin + size, failure_);
}

void LwoByteReader::Skip(u64 count) { Take(count, "skipped data"); }

}  // namespace pirn
