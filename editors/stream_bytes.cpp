#include "editors/stream_bytes.h"

#include <sys/types.h>

namespace pirn {

u64 StreamBytesLeft(std::FILE* stream) {
    const off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0) return 0;
    const off_t end = ftello(stream);
    if (fseeko(stream, here, SEEK_SET) != 0 || end < here) return 0;
    return static_cast<u64>(end - here);
}

}  // namespace pirn
