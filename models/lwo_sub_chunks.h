#pragma once
// Walking the sub-chunks of a chunk: a four-character id, a u16 size and
// that many bytes of data, padded to an even length.

#include "models/lwo_byte_reader.h"

namespace pirn {

// Calls handle(id, data) for every sub-chunk until the region ends or a read
// fails; each handler reads within its sub-chunk only, whatever it leaves
// unread is skipped.
template <typename Handler>
void ForEachLwoSubChunk(LwoByteReader& region, Handler&& handle) {
    while (!region.at_end() && !region.failed()) {
        if (region.remaining() < 6) {
            region.Fail("a sub-chunk header runs past the end of its chunk");
            return;
        }
        const u32 id = region.ID4();
        const u16 size = region.U2();
        LwoByteReader data = region.Region(size);
        if (region.failed()) return;
        handle(id, data);
    }
}

}  // namespace pirn
