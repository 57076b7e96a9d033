#include "collections/tag_data_reader.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>

namespace pirn {

namespace {

// Large enough that a window's read costs little beside its copy, small
// enough that the window stays in the processor's second-level cache.
constexpr u64 kWindowBytes = 256 << 10;

}  // namespace

bool TagDataReader::ReadAt(u64 at, size_t size, u8* out) {
    if (position_ != at) {
        const u64 absolute = offset_ + at;
        if (absolute > 0x7FFFFFFFFFFFFFFFull || ::fseeko(stream_, static_cast<off_t>(absolute), SEEK_SET) != 0) {
            failed_ = true;
            position_ = ~u64{0};
            return false;
        }
    }
    if (std::fread(out, 1, size, stream_) != size) {
        failed_ = true;
        position_ = ~u64{0};
        return false;
    }
    position_ = at + size;
    return true;
}

const u8* TagDataReader::View(u64 at, u64 size) {
    if (!Holds(at, size)) return nullptr;
    if (at >= window_start_ && at - window_start_ <= window_.size() && size <= window_.size() - (at - window_start_))
        return window_.data() + (at - window_start_);
    const u64 n = std::max(size, std::min(kWindowBytes, length_ - at));
    window_.Clear();
    u8* bytes = n <= ~size_t{0} ? window_.Extend(static_cast<size_t>(n)) : nullptr;
    if (!bytes) {
        failed_ = true;
        return nullptr;
    }
    window_start_ = at;
    if (!ReadAt(at, static_cast<size_t>(n), bytes)) {
        window_.Clear();
        return nullptr;
    }
    return bytes;
}

bool TagDataReader::Copy(u64 at, u64 size, u8* out) {
    if (!Holds(at, size)) return false;
    if (at >= window_start_ && at - window_start_ <= window_.size() && size <= window_.size() - (at - window_start_)) {
        std::memcpy(out, window_.data() + (at - window_start_), static_cast<size_t>(size));
        return true;
    }
    return ReadAt(at, static_cast<size_t>(size), out);
}

}  // namespace pirn
