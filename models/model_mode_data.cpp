#include "models/model_mode_data.h"

#include <cstring>

#include "models/model_tag_sections.h"

namespace pirn {

// u32 0 and geom id; reserved u16; three counts; three (offset, size,
// reserved) triples; sections start, total, reserved.
const StructLayout kModeHeaderLayout[] = {64, 2, kRunU32, 1, kRunZero16, 3, kRunU16,
                                          2, kRunU32, 1, kRunZero32, 2, kRunU32, 1, kRunZero32,
                                          2, kRunU32, 1, kRunZero32, 2, kRunU32, 1, kRunZero32};
const StructLayout kModeVertexWordLayout[] = {4, 1, kRunU32};
const StructLayout kModeRecordLayout[] = {64, 1, kRunZero16, 32, kRunBytes, 30, kRunZero8};
const StructLayout kModeCellLayout[] = {8, 3, kRunU16, 1, kRunZero16};

namespace {

constexpr u32 kMaxSectionCount = 0xFFFF;

// floor and ceil of value / 512 in exact integer arithmetic, so that whole
// multiples of 512 land on their own cell edge.
i32 FloorCell(i32 value) { return value >= 0 ? value / 512 : -((-value + 511) / 512); }
i32 CeilCell(i32 value) { return value >= 0 ? (value + 511) / 512 : -((-value) / 512); }

}  // namespace

void InitModeData(ModeData* mode) {
    std::memset(&mode->header, 0, sizeof(mode->header));
    mode->vertex_words.clear();
    mode->records.clear();
    mode->cells.clear();
}

void FreeModeData(ModeData* mode) {
    InitModeData(mode);
    mode->vertex_words.shrink_to_fit();
    mode->records.shrink_to_fit();
    mode->cells.shrink_to_fit();
}

int WriteModeData(ModeData* mode, std::FILE* stream, const TagHeader& tag) {
    ModeHeader& h = mode->header;
    if (mode->vertex_words.size() > kMaxSectionCount || mode->records.size() > kMaxSectionCount ||
        mode->cells.size() > kMaxSectionCount)
        return 0;
    h.sections_start = kModeSectionsStart;
    h.vertex_word_count = static_cast<u16>(mode->vertex_words.size());
    h.record_count = static_cast<u16>(mode->records.size());
    h.cell_count = static_cast<u16>(mode->cells.size());
    const TagSection sections[] = {
        {mode->vertex_words.data(), h.vertex_word_count, kModeVertexWordLayout, &h.vertex_words_offset,
         &h.vertex_words_size},
        {mode->records.data(), h.record_count, kModeRecordLayout, &h.records_offset, &h.records_size},
        {mode->cells.data(), h.cell_count, kModeCellLayout, &h.cells_offset, &h.cells_size},
    };
    if (!WriteTagSections(stream, tag, h.sections_start, sections, 3, &h.total_size)) return 0;
    return WriteTagSectionHeader(stream, tag, &h, kModeHeaderLayout) ? 1 : 0;
}

int ReadModeData(ModeData* mode, std::FILE* stream, const TagHeader& tag) {
    InitModeData(mode);
    ModeHeader& h = mode->header;
    if (!ReadTagSectionHeader(stream, tag, &h, kModeHeaderLayout)) return 0;
    const bool read = ReadTagSectionInto(stream, tag, h.sections_start, h.vertex_words_offset,
                                         h.vertex_word_count, kModeVertexWordLayout, &mode->vertex_words) &&
                      ReadTagSectionInto(stream, tag, h.sections_start, h.records_offset, h.record_count,
                                         kModeRecordLayout, &mode->records) &&
                      ReadTagSectionInto(stream, tag, h.sections_start, h.cells_offset, h.cell_count,
                                         kModeCellLayout, &mode->cells);
    return read ? 1 : 0;
}

void SetModeHeader(ModeData* mode, u32 geom_tag_id) {
    mode->header.zero = 0;
    mode->header.geom_tag_id = geom_tag_id;
}

void AddModeCell(ModeData* mode, i32 axis0, i32 axis1, u16 value) {
    ModeCell cell{};
    cell.axis0 = static_cast<u16>(axis0);
    cell.axis1 = static_cast<u16>(axis1);
    cell.value = value;
    mode->cells.push_back(cell);
}

void SetModeRecordCount(ModeData* mode, u32 count) { mode->records.assign(count, ModeRecord{}); }

void ClearModeRecord(ModeData* mode, u32 index) { mode->records[index] = ModeRecord{}; }

void SetModeVertexWordCount(ModeData* mode, u32 count) { mode->vertex_words.assign(count, 0); }

void SetModeVertexWord(ModeData* mode, u32 index, u32 word) { mode->vertex_words[index] = word; }

void AddModeCellsForBounds(ModeData* mode, const i16 stored_bounds[6]) {
    const i32 i0 = FloorCell(stored_bounds[0]), i1 = CeilCell(stored_bounds[3]);
    const i32 j0 = FloorCell(stored_bounds[1]), j1 = CeilCell(stored_bounds[4]);
    for (i32 j = j0; j < j1; ++j) {
        for (i32 i = i0; i < i1; ++i) AddModeCell(mode, i, j, kModeCellValue);
    }
}

void BuildModeData(const GeomData& geom, u32 geom_tag_id, ModeData* mode) {
    InitModeData(mode);
    SetModeHeader(mode, geom_tag_id);
    AddModeCellsForBounds(mode, geom.header.bounds);
    SetModeVertexWordCount(mode, static_cast<u32>(geom.vertices.size()));
    SetModeRecordCount(mode, 1);
    ClearModeRecord(mode, 0);
}

}  // namespace pirn
