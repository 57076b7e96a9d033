#pragma once
// The layout shared by the 'geom' and 'mode' tags: a header, then sections
// of records, each found through an (offset, size) pair in the header whose
// offsets count from a start field (the header size) after the data offset.
// The sections are written first and the header last, once their offsets
// and sizes are known.

#include <cstdio>
#include <vector>

#include "codex/tag_header.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

// One section: its records in memory form and the header fields that
// describe it.
struct TagSection {
    const void* records;
    u32 count;
    const StructLayout* layout;
    u32* offset;   // stored offset from the sections' start
    u32* size;     // bytes
};

// Seeks to data offset + start, writes every section in order (at data
// offset + start + its stored offset when that is non-zero, else where the
// previous one ended), records each one's offset and size and returns the
// total through `total`. A section of no records is written empty where the
// previous one ended. False at
// the first failed seek or write.
bool WriteTagSections(std::FILE* stream, const TagHeader& tag, u32 start, const TagSection* sections, int count,
                      u32* total);

// Writes the header record at the data offset.
bool WriteTagSectionHeader(std::FILE* stream, const TagHeader& tag, const void* header, const StructLayout* layout);

// Reads the header record at the data offset; false when the tag's data is
// shorter than the header or the read fails.
bool ReadTagSectionHeader(std::FILE* stream, const TagHeader& tag, void* header, const StructLayout* layout);

// Whether `count` records at data offset + start + offset lie inside the
// tag's data (checked in 64 bits).
bool TagSectionFits(const TagHeader& tag, u32 start, u32 offset, u32 count, const StructLayout* layout);

// Reads `count` records at data offset + start + offset into `records`
// (room for count records), after checking that they lie inside the tag's
// data. Count 0 reads nothing.
bool ReadTagSection(std::FILE* stream, const TagHeader& tag, u32 start, u32 offset, u32 count,
                    const StructLayout* layout, void* records);

// The same into an array sized to the count only once the section is known
// to lie inside the data: the counts of a header are only claims, and what
// a tag makes the reader hold must stay bounded by the tag's own bytes.
template <typename Record>
bool ReadTagSectionInto(std::FILE* stream, const TagHeader& tag, u32 start, u32 offset, u32 count,
                        const StructLayout* layout, std::vector<Record>* records) {
    if (!TagSectionFits(tag, start, offset, count, layout)) return false;
    records->resize(count);
    return ReadTagSection(stream, tag, start, offset, count, layout, records->data());
}

}  // namespace pirn
