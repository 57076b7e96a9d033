#include "platform/image_stream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <limits>

#if defined(__GLIBC__)
#include <stdio_ext.h>
#endif

namespace pirn {

bool ReadExact(std::FILE* stream, void* buffer, size_t bytes) {
    if (bytes == 0) return true;
    return std::fread(buffer, 1, bytes, stream) == bytes;
}

bool WriteExact(std::FILE* stream, const void* buffer, size_t bytes) {
    if (bytes == 0) return true;
    return std::fwrite(buffer, 1, bytes, stream) == bytes;
}

bool SeekStream(std::FILE* stream, u64 position) {
    if (position > u64(std::numeric_limits<off_t>::max())) return false;
    return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool TellStream(std::FILE* stream, u64* position) {
    off_t at = ftello(stream);
    if (at < 0) return false;
    *position = static_cast<u64>(at);
    return true;
}

bool StreamSize(std::FILE* stream, u64* size) {
#if defined(__GLIBC__)
    // A stream that cannot write has nothing of its own to add to the
    // file: its size is the file's, without three seeks (readers of many
    // small images ask for it on every file).
    if (!__fwritable(stream)) {
        const int fd = fileno(stream);
        struct stat st;
        if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            *size = static_cast<u64>(st.st_size);
            return true;
        }
    }
#endif
    u64 at = 0;
    if (!TellStream(stream, &at)) return false;
    if (fseeko(stream, 0, SEEK_END) != 0) return false;
    u64 end = 0;
    bool ok = TellStream(stream, &end);
    if (!SeekStream(stream, at)) return false;
    *size = end;
    return ok;
}

}  // namespace pirn
