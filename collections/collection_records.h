#pragma once
// The stored records of a '.256' tag's data, each in memory exactly as the
// byte-order engine's layout unpacks it (fields native-endian, reserved
// runs zero). All numbers are big-endian on disk.
//
// Data: a 320-byte CollectionHeader whose eight sections point at the
// records below; every offset counts from the data base = tag data offset +
// the header's header-size word.

#include <cstddef>

#include "collections/collection.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kCollectionHeaderSize = 320;
constexpr u16 kCollectionTagVersion = 4;

enum CollectionSectionId : u32 {
    kSectionColorTables = 0,
    kSectionHueChanges = 1,
    kSectionBitmapTable = 2,
    kSectionInstances = 3,
    kSectionSequenceTable = 4,
    kSectionFrameRecords = 5,
    kSectionCount = 8,
};

struct CollectionSection {
    u32 count;
    u32 offset;  // from the data base
    u32 size;    // bytes
    u32 reserved;
};

struct CollectionHeader {
    u32 stored_word;
    u32 flags;
    u16 reserved_a[28];
    CollectionSection sections[kSectionCount];
    u32 reserved_b[2];
    u16 reserved_c[24];
    u32 header_size;  // 320: the base of every offset
    u32 total_size;   // bytes written after the header
    u32 reserved_d[2];
    u8 reserved_e[56];
};
static_assert(sizeof(CollectionHeader) == 320, "collection header is 320 bytes");
static_assert(offsetof(CollectionHeader, sections) == 64 && offsetof(CollectionHeader, header_size) == 248,
              "collection header fields sit at their stored offsets");

// 256 entries of red, green, blue and a zero word, each channel value x 256.
struct ColorTableRecord {
    u32 color_count;
    u32 reserved[7];
    u16 channels[kColorTableEntries][4];
};
static_assert(sizeof(ColorTableRecord) == 2080, "colour-table record is 2,080 bytes");

struct BitmapTableEntry {
    char name[64];
    u32 offset;
    u32 size;
    u32 reserved_a;
    u16 width;
    u16 height;
    u16 reserved_b[16];
    u8 reserved_c[16];
};
static_assert(sizeof(BitmapTableEntry) == 128, "bitmap table entry is 128 bytes");

struct InstanceRecord {
    u32 flags;
    u16 reserved_a[4];
    i16 x;
    i16 y;
    u16 reserved_b[4];
    i16 key_x;
    i16 key_y;
    u16 bitmap_index;
    u16 alternate_index;
    u32 alternate_scale;
    i16 alternate_x;
    i16 alternate_y;
    u16 reserved_c[4];
    u8 reserved_d[16];
};
static_assert(sizeof(InstanceRecord) == 64, "instance record is 64 bytes");
static_assert(offsetof(InstanceRecord, bitmap_index) == 28 && offsetof(InstanceRecord, alternate_x) == 36,
              "instance record fields sit at their stored offsets");

struct SequenceTableEntry {
    char name[64];
    u32 offset;
    u32 size;
    u8 reserved[56];
};
static_assert(sizeof(SequenceTableEntry) == 128, "sequence table entry is 128 bytes");

struct SequenceRecord {
    u32 flags;
    u32 value;
    u16 view_count;
    u16 frame_count;
    u16 ticks_per_frame;
    u16 key_frame;
    u16 loop_frame;
    u16 carried_a[3];
    u32 sounds[3];
    u16 transfer_mode;
    u16 transfer_period;
    u32 box_radius;
    u32 box_lower;
    u32 box_upper;
    u16 carried_b[3];
    u16 reserved[3];
};
static_assert(sizeof(SequenceRecord) == 64, "sequence record is 64 bytes");

// Inside the sequence data, before each frame's view indices.
struct FrameDataRecord {
    u16 frame_record_index;
    u16 values[3];
    u16 reserved[19];
};
static_assert(sizeof(FrameDataRecord) == 46, "frame data record is 46 bytes");

// Section 5.
struct FrameRecordData {
    u32 flags;
    u32 shadow_x;
    u32 shadow_y;
    u16 shadow_index;
    u16 reserved_a;
    u8 reserved_b[16];
};
static_assert(sizeof(FrameRecordData) == 32, "frame record is 32 bytes");

extern const StructLayout kCollectionHeaderLayout[];
extern const StructLayout kColorTableRecordLayout[];
extern const StructLayout kHueChangeRecordLayout[];
extern const StructLayout kBitmapTableEntryLayout[];
extern const StructLayout kInstanceRecordLayout[];
extern const StructLayout kSequenceTableEntryLayout[];
extern const StructLayout kSequenceRecordLayout[];
extern const StructLayout kFrameDataRecordLayout[];
extern const StructLayout kFrameRecordLayout[];

// Big-endian fields read straight from a stored record's bytes, where the
// loader needs a few fields of many records. Each record struct above lays
// its fields out at their stored offsets, so offsetof names the place.
inline u16 StoredU16(const u8* record, size_t offset) {
    return static_cast<u16>((record[offset] << 8) | record[offset + 1]);
}
inline u32 StoredU32(const u8* record, size_t offset) {
    const u8* p = record + offset;
    return (u32{p[0]} << 24) | (u32{p[1]} << 16) | (u32{p[2]} << 8) | p[3];
}

// The colour table as the decoder wants it: count 256, channels x 256.
void MakeColorTableRecord(const u8 colors[kColorTableBytes], ColorTableRecord* record);

}  // namespace pirn
