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

const u8* LwoByteReader::TakeFailed(u64 count, const char* what) {
    if (failure_->failed) return nullptr;
    Fail(FormatString("%s runs past the end of its chunk", what));
    (void)count;
    return nullptr;
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
