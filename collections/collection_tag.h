#pragma once
// Reading and writing the data of a '.256' tag ("Collections") through the
// Codex's tag streams.
//
// Written in this order after the 320-byte CollectionHeader: one colour
// table, the hue changes, the instances, the sequence table (filled in after
// the sequence data), the sequence data, the frame records, the bitmap table
// (filled in after the bitmap data), the bitmap data; the header last.
//
// The loader bounds every section, table entry and sequence block by the
// tag's data length in 64-bit arithmetic. A collection that does not fit is
// refused with a line in the "Codex" log; a bitmap that does not decode
// becomes the checkerboard placeholder and the load goes on.

#include <cstdio>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "collections/byte_buffer.h"
#include "collections/collection.h"
#include "collections/collection_records.h"

namespace pirn {

// The pixel bytes a tag of `data_length` bytes may unpack to: the loader
// refuses a tag whose bitmaps add up to more. Entries naming one block
// share its pixels until they are edited, and the placeholders of those
// that do not decode share two checkerboards, so a collection as loaded
// holds at most this much pixel memory and the two checkerboards
// (DistinctPixelBytes).
u64 CollectionPixelBudget(u64 data_length);

// Fills the collection from the tag data at header->data_offset. With
// read_bitmaps false the pixels are left out and references resolve to no
// bitmap. 1 on success; 0 (logged) leaves the collection empty.
int LoadCollection(Collection* collection, std::FILE* stream, const TagHeader* header, bool read_bitmaps);

// Writes the data at header->data_offset and sets the header's group
// ('.256'), version (4) and user data (the flags). Refuses, before writing
// anything, what the format cannot hold: 0xFFFF or more bitmaps, instances
// or frame records, a bitmap side of 0 or above 32767, a pixel size other
// than 2 or 8, data past 4 GiB. 1 on success, 0 (logged) on refusal or a
// failed seek or write.
int SaveCollection(Collection* collection, std::FILE* stream, TagHeader* header);

// What the loader shares with the sequence reader: the stored instance and
// frame records, as bytes of the tag.
struct LoadedReferences {
    const u8* instances = nullptr;  // instance_count records of 64 bytes
    u32 instance_count = 0;
    const u8* frame_records = nullptr;  // frame_record_count records of 32 bytes
    u32 frame_record_count = 0;
};

// One sequence block of `size` bytes (record, then per frame its record and
// view indices). False when the block is shorter than its counts need.
bool ReadSequenceData(const Collection& collection, CollectionSequence* sequence, const u8* block, size_t size,
                      const LoadedReferences& references);
// The block as saving writes it (after FlattenReferences), appended to out.
// False when memory for it runs out.
bool WriteSequenceData(CollectionSequence* sequence, ByteBuffer* out);

// The hue-change records as saving writes them, affected colours recomputed.
std::vector<CollectionHueChange> MakeHueChangeList(Collection* collection);

// Whether SaveCollection would accept the collection; the reason otherwise.
bool CheckCollectionStorable(const Collection& collection, std::string* reason);

}  // namespace pirn
