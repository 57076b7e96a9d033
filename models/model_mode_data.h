#pragma once
// The data of a model tag ('mode'): a 64-byte header, 8 bytes never written,
// then three sections: one u32 per geometry vertex, 64-byte records and the
// ground cells the model covers.

#include <cstddef>
#include <cstdio>
#include <vector>

#include "codex/tag_header.h"
#include "models/geom_data.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kModeHeaderSize = 64;
// Sections start here, not at the end of the header.
constexpr u32 kModeSectionsStart = 72;
constexpr u16 kModeTagVersion = 4;
// The value of every cell the builder writes.
constexpr u16 kModeCellValue = 2;

struct ModeHeader {
    u32 zero;                 // written as 0
    u32 geom_tag_id;
    u16 reserved_8;
    u16 vertex_word_count;
    u16 record_count;
    u16 cell_count;
    u32 vertex_words_offset, vertex_words_size;
    u32 reserved_24;
    u32 records_offset, records_size;
    u32 reserved_36;
    u32 cells_offset, cells_size;
    u32 reserved_48;
    u32 sections_start;       // 72
    u32 total_size;
    u32 reserved_60;
};
static_assert(sizeof(ModeHeader) == kModeHeaderSize && offsetof(ModeHeader, sections_start) == 52,
              "ModeHeader fields sit at their disk offsets");

struct ModeRecord {
    u16 reserved_0;
    char name[32];
    u8 reserved_34[30];
};
static_assert(sizeof(ModeRecord) == 64, "ModeRecord is 64 bytes");

// Cell coordinates are signed cell numbers held in 16 bits.
struct ModeCell {
    u16 axis0;
    u16 axis1;
    u16 value;
    u16 reserved;
};

extern const StructLayout kModeHeaderLayout[];
extern const StructLayout kModeVertexWordLayout[];
extern const StructLayout kModeRecordLayout[];
extern const StructLayout kModeCellLayout[];

struct ModeData {
    ModeHeader header{};
    std::vector<u32> vertex_words;
    std::vector<ModeRecord> records;
    std::vector<ModeCell> cells;
};

void InitModeData(ModeData* mode);
void FreeModeData(ModeData* mode);

// 1, or 0 on a failed seek or write or a section too long for its count.
int WriteModeData(ModeData* mode, std::FILE* stream, const TagHeader& tag);
// 1, or 0 on a failed check, seek or read.
int ReadModeData(ModeData* mode, std::FILE* stream, const TagHeader& tag);

// Setters used by the builder.
void SetModeHeader(ModeData* mode, u32 geom_tag_id);
void AddModeCell(ModeData* mode, i32 axis0, i32 axis1, u16 value);
void SetModeRecordCount(ModeData* mode, u32 count);
void ClearModeRecord(ModeData* mode, u32 index);
void SetModeVertexWordCount(ModeData* mode, u32 count);
void SetModeVertexWord(ModeData* mode, u32 index, u32 word);

// The cells of a geometry's stored bounds on axes 0 and 1: every cell of 512
// units from floor(min / 512) up to ceil(max / 512) - 1, axis 1 outer.
void AddModeCellsForBounds(ModeData* mode, const i16 stored_bounds[6]);

// The model tag of a geometry: header with the geometry's id, its cells,
// one zero word per vertex and one zero record.
void BuildModeData(const GeomData& geom, u32 geom_tag_id, ModeData* mode);

}  // namespace pirn
