#pragma once
// Detail maps ('dmap' tags): which detail texture lies on each part of a
// terrain. For a terrain of width x height cells a map holds a byte plane
// and a 16-bit plane of per-cell values, and 128 texture entries that the
// values refer to. Version 2 is read and written; version 1 is read only.
//
// Version 2 data (big-endian): a 256-byte header {width, height, byte plane
// offset, 0, 16-bit plane offset, 0, entry table offset, 228 zero bytes},
// the 128 entries of 64 bytes, then both planes run-length coded, the
// 16-bit plane as its bytes in little-endian order.
// Version 1 data: a 664-byte header {width, height, 12 unused bytes, 128
// texture ids, 128 attribute bytes, 4 unused bytes}, then the byte plane
// uncompressed.

#include <cstdio>
#include <memory>
#include <vector>

#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDmapGroup = 0x646D6170;  // 'dmap'
constexpr u32 kDetailTextureEntryCount = 128;
constexpr u32 kDetailTextureEntryBytes = 64;
constexpr u32 kDmapHeaderBytes = 256;
constexpr u32 kDmapVersion1HeaderBytes = 664;
constexpr u16 kDmapCurrentVersion = 2;
// Plane values index the 128 entries; larger values read from a file are
// capped to this.
constexpr u8 kDetailMapMaxValue = 127;

struct DetailTextureEntry {
    u32 tag_id;          // 'dtex' tag id; 0xFFFFFFFF: no texture
    u8 attribute;
    u8 highlight[3];     // red, green, blue
    u8 reserved[24];     // zero
    char description[32];  // 31 characters; byte 31 always 0
};
static_assert(sizeof(DetailTextureEntry) == kDetailTextureEntryBytes, "DetailTextureEntry is 64 bytes");

struct DetailMap {
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> byte_plane;   // width x height, row-major
    std::vector<u16> word_plane;  // width x height, row-major
    DetailTextureEntry entries[kDetailTextureEntryCount] = {};
};

// 64 bytes: u32, 4 bytes, 24 zero bytes, 31 bytes, one zero byte.
extern const u16 kDetailTextureEntryLayout[];

void InitDetailMap(DetailMap* map);
void FreeDetailMap(DetailMap* map);
// New zeroed planes of width x height; false (map unchanged) when the
// planes cannot be had.
bool SetDetailMapSize(DetailMap* map, u32 width, u32 height);

// Reads the data the header describes (version 1 or 2), every size and
// offset checked against the header's data length. Values past 127 are
// capped unless keep_raw_values (the add-on builder looks at the stored
// values). 1 on success.
int ReadDetailMap(DetailMap* map, std::FILE* stream, const TagHeader& header, bool keep_raw_values = false);
// Writes version 2 at the header's data offset and sets its version to 2.
int WriteDetailMap(const DetailMap& map, std::FILE* stream, TagHeader* header);
std::unique_ptr<DetailMap> LoadDetailMap(std::FILE* stream, const TagHeader& header, bool keep_raw_values = false);

// Copies at most 31 bytes of text into a 32-byte field and ends it with NUL.
void SetDetailTextureDescription(DetailTextureEntry* entry, const char* text);

}  // namespace pirn
