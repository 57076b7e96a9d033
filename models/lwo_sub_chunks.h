#pragma once
// Walking the chunks of a FORM (a four-character id, a u32 size and that
// many bytes of data, padded to an even length) and the sub-chunks of a
// chunk (the same with a u16 size).

#include "models/lwo_byte_reader.h"
#include "models/lwo_object.h"

namespace pirn {

// "FORM", its size and the form type come before the first chunk.
constexpr u64 kLwoFormHeaderSize = 12;

// Calls handle(id, data) for every chunk of the FORM until it ends or a read
// fails, with failure->chunk naming the chunk being read; each handler reads
// within its chunk only. False when a read failed.
template <typename Handler>
bool ForEachLwoChunk(const u8* bytes, u64 file_end, u64 form_end, LwoFailure* failure, Handler&& handle) {
    LwoByteReader form(bytes, kLwoFormHeaderSize, form_end < file_end ? form_end : file_end, failure);
    while (form.position() < form_end && !failure->failed) {
        if (form.remaining() < 8) {
            failure->chunk = LwoId("FORM");
            return form.Fail("the file ends inside a chunk header");
        }
        const u32 id = form.ID4();
        const u32 size = form.U4();
        failure->chunk = id;
        LwoByteReader chunk = form.Region(size);
        if (failure->failed) return false;
        handle(id, chunk);
    }
    return !failure->failed;
}

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
