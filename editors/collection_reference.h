#pragma once
// The record a 'core' tag (Collection Reference) holds: the tag id of the
// '.256' tag whose collection other data uses, 166 16-bit values carried
// unchanged, and 48 reserved bytes written and read as zero.

#include <cstdio>
#include <memory>

#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

struct TagHeader;

struct CollectionReference {
    u32 collection = 0xFFFFFFFF;  // tag id of the '.256' tag
    u16 values[166] = {};
    u16 reserved[24] = {};
};
static_assert(sizeof(CollectionReference) == 384, "the record is 384 bytes in memory as on disk");

constexpr u32 kCollectionReferenceSize = 384;
// 1 x u32, 166 x u16, 24 x zeroed u16.
extern const StructLayout kCollectionReferenceLayout[];

// One record from the stream; 384, or 0 on a short read.
u32 ReadCollectionReference(CollectionReference* record, std::FILE* stream);
// One record to the stream; 384, or 0 when the write fails.
u32 WriteCollectionReference(const CollectionReference& record, std::FILE* stream);
// The record of an open 'core' tag whose stream is at its data; null when
// the data is shorter than a record or cannot be read.
std::unique_ptr<CollectionReference> LoadCollectionReference(std::FILE* stream, const TagHeader& header);

// The collection a 'core' tag names: its record's first field, read from
// the tag's effective copy; 0xFFFFFFFF when the tag, its stream or its
// record is missing.
u32 CoreCollectionId(u32 core_tag_id);

}  // namespace pirn
