#include "models/detail_map.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/file_system.h"
#include "platform/records.h"

namespace pirn {

const u16 kDetailTextureEntryLayout[] = {kDetailTextureEntryBytes, 1, kRunU32, 4, kRunBytes, 24, kRunZero8,
                                         31, kRunBytes, 1, kRunZero8};

namespace {

struct DmapHeader {
    u32 width;
    u32 height;
    u32 byte_plane_offset;
    u32 reserved_a;
    u32 word_plane_offset;
    u32 reserved_b;
    u32 entry_table_offset;
    u8 reserved[228];
};
static_assert(sizeof(DmapHeader) == kDmapHeaderBytes, "DmapHeader is 256 bytes");
const u16 kDmapHeaderLayout[] = {kDmapHeaderBytes, 7, kRunU32, 228, kRunZero8};

struct DmapVersion1Header {
    u32 width;
    u32 height;
    u8 unused_a[12];
    u32 tag_ids[kDetailTextureEntryCount];
    u8 attributes[kDetailTextureEntryCount];
    u8 unused_b[4];
};
static_assert(sizeof(DmapVersion1Header) == kDmapVersion1HeaderBytes, "the old header is 664 bytes");
const u16 kDmapVersion1HeaderLayout[] = {kDmapVersion1HeaderBytes, 2, kRunU32, 12, kRunZero8, 128, kRunU32,
                                         128, kRunBytes, 4, kRunZero8};

// Largest plane we agree to hold (cells): far past any terrain, and small
// enough that a damaged size cannot ask a 32-bit build for more memory
// than it has.
constexpr u64 kMaxDetailMapCells = u64(1) << 24;
// A run-length pair expands to at most 256 bytes.
constexpr u64 kMaxRunLength = 256;

bool SeekTo(std::FILE* stream, u64 offset) {
    return offset <= 0x7FFFFFFFFFFFFFFFull && ::fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

// Whether `count` bytes starting `offset` bytes into the data lie inside it.
bool InsideData(const TagHeader& header, u64 offset, u64 count) {
    return offset <= header.data_length && count <= header.data_length - offset;
}

// The run-length reader reports failure as 0 consumed bytes.
bool ReadRlePlane(std::FILE* stream, u8* destination, u64 n) {
    const auto used = ReadRleBytes(stream, destination, static_cast<size_t>(n));
    return used > 0;
}

bool CanHoldRlePlane(const TagHeader& header, u64 offset, u64 bytes) {
    if (!InsideData(header, offset, 2)) return false;
    return bytes <= (u64(header.data_length) - offset) / 2 * kMaxRunLength;
}

void CapValues(DetailMap* map) {
    for (u8& v : map->byte_plane) v = std::min(v, kDetailMapMaxValue);
    for (u16& v : map->word_plane) {
        const u16 low = std::min<u16>(v & 0xFF, kDetailMapMaxValue);
        const u16 high = std::min<u16>(v >> 8, kDetailMapMaxValue);
        v = static_cast<u16>(low | (high << 8));
    }
}

bool ReadVersion1(DetailMap* map, std::FILE* stream, const TagHeader& header) {
    if (!InsideData(header, 0, kDmapVersion1HeaderBytes) || !SeekTo(stream, header.data_offset)) return false;
    DmapVersion1Header old{};
    if (ReadRecords(&old, 1, kDmapVersion1HeaderLayout, stream) != kDmapVersion1HeaderBytes) return false;
    const u64 cells = u64(old.width) * old.height;
    if (cells == 0 || cells > kMaxDetailMapCells || !InsideData(header, kDmapVersion1HeaderBytes, cells)) return false;
    for (u32 i = 0; i < kDetailTextureEntryCount; ++i) {
        DetailTextureEntry& entry = map->entries[i];
        std::memset(&entry, 0, sizeof(entry));
        entry.tag_id = old.tag_ids[i];
        entry.attribute = old.attributes[i] > 1 ? static_cast<u8>(old.attributes[i] - 1) : 0;
    }
    if (!SetDetailMapSize(map, old.width, old.height)) return false;
    return std::fread(map->byte_plane.data(), 1, static_cast<size_t>(cells), stream) == cells;
}

bool ReadVersion2(DetailMap* map, std::FILE* stream, const TagHeader& header) {
    if (!InsideData(header, 0, kDmapHeaderBytes) || !SeekTo(stream, header.data_offset)) return false;
    DmapHeader head{};
    if (ReadRecords(&head, 1, kDmapHeaderLayout, stream) != kDmapHeaderBytes) return false;
    const u64 cells = u64(head.width) * head.height;
    if (cells == 0 || cells > kMaxDetailMapCells) return false;
    if (!InsideData(header, head.entry_table_offset, u64(kDetailTextureEntryCount) * kDetailTextureEntryBytes) ||
        !CanHoldRlePlane(header, head.byte_plane_offset, cells) ||
        !CanHoldRlePlane(header, head.word_plane_offset, 2 * cells))
        return false;
    if (!SeekTo(stream, u64(header.data_offset) + head.entry_table_offset) ||
        ReadRecords(map->entries, kDetailTextureEntryCount, kDetailTextureEntryLayout, stream) !=
            kDetailTextureEntryCount * kDetailTextureEntryBytes)
        return false;
    if (!SetDetailMapSize(map, head.width, head.height)) return false;
    if (!SeekTo(stream, u64(header.data_offset) + head.byte_plane_offset) ||
        !ReadRlePlane(stream, map->byte_plane.data(), cells))
        return false;
    std::vector<u8> word_bytes(static_cast<size_t>(2 * cells));
    if (!SeekTo(stream, u64(header.data_offset) + head.word_plane_offset) ||
        !ReadRlePlane(stream, word_bytes.data(), 2 * cells))
        return false;
    for (size_t i = 0; i < map->word_plane.size(); ++i)
        map->word_plane[i] = static_cast<u16>(word_bytes[2 * i] | (word_bytes[2 * i + 1] << 8));
    return true;
}

// The position of the stream relative to the data's start.
bool DataPosition(std::FILE* stream, const TagHeader& header, u32* position) {
    const off_t at = ::ftello(stream);
    if (at < static_cast<off_t>(header.data_offset)) return false;
    const u64 relative = static_cast<u64>(at) - header.data_offset;
    if (relative > 0xFFFFFFFFu) return false;
    *position = static_cast<u32>(relative);
    return true;
}

bool WriteRlePlane(std::FILE* stream, const u8* bytes, size_t n) {
    const auto written = WriteRleBytes(stream, bytes, n);
    return written > 0;
}

}  // namespace

void InitDetailMap(DetailMap* map) {
    map->width = map->height = 0;
    FreeDetailMap(map);
    std::memset(map->entries, 0, sizeof(map->entries));
}

void FreeDetailMap(DetailMap* map) {
    std::vector<u8>().swap(map->byte_plane);
    std::vector<u16>().swap(map->word_plane);
}

bool SetDetailMapSize(DetailMap* map, u32 width, u32 height) {
    const u64 cells = u64(width) * height;
    if (cells > kMaxDetailMapCells) return false;
    FreeDetailMap(map);
    map->byte_plane.assign(static_cast<size_t>(cells), 0);
    map->word_plane.assign(static_cast<size_t>(cells), 0);
    map->width = width;
    map->height = height;
    return true;
}

int ReadDetailMap(DetailMap* map, std::FILE* stream, const TagHeader& header, bool keep_raw_values) {
    FreeDetailMap(map);
    if (!stream) return 0;
    bool ok = false;
    if (header.version == 1)
        ok = ReadVersion1(map, stream, header);
    else if (header.version == 2)
        ok = ReadVersion2(map, stream, header);
    if (!ok) {
        FreeDetailMap(map);
        return 0;
    }
    if (!keep_raw_values) CapValues(map);
    return 1;
}

int WriteDetailMap(const DetailMap& map, std::FILE* stream, TagHeader* header) {
    header->version = kDmapCurrentVersion;
    const size_t cells = size_t(map.width) * map.height;
    // An empty map could not be read back.
    if (!stream || cells == 0 || map.byte_plane.size() != cells || map.word_plane.size() != cells) return 0;
    DmapHeader head{};
    head.width = map.width;
    head.height = map.height;
    if (!SeekTo(stream, u64(header->data_offset) + kDmapHeaderBytes)) return 0;
    if (!DataPosition(stream, *header, &head.entry_table_offset) ||
        WriteRecords(map.entries, kDetailTextureEntryCount, kDetailTextureEntryLayout, stream) !=
            kDetailTextureEntryCount * kDetailTextureEntryBytes)
        return 0;
    if (!DataPosition(stream, *header, &head.byte_plane_offset) ||
        !WriteRlePlane(stream, map.byte_plane.data(), cells))
        return 0;
    std::vector<u8> word_bytes(2 * cells);
    for (size_t i = 0; i < cells; ++i) {
        word_bytes[2 * i] = static_cast<u8>(map.word_plane[i]);
        word_bytes[2 * i + 1] = static_cast<u8>(map.word_plane[i] >> 8);
    }
    if (!DataPosition(stream, *header, &head.word_plane_offset) ||
        !WriteRlePlane(stream, word_bytes.data(), word_bytes.size()))
        return 0;
    if (!SeekTo(stream, header->data_offset) || WriteRecords(&head, 1, kDmapHeaderLayout, stream) != kDmapHeaderBytes)
        return 0;
    return 1;
}

std::unique_ptr<DetailMap> LoadDetailMap(std::FILE* stream, const TagHeader& header, bool keep_raw_values) {
    std::unique_ptr<DetailMap> map(new (std::nothrow) DetailMap());
    if (!map || !ReadDetailMap(map.get(), stream, header, keep_raw_values)) return nullptr;
    return map;
}

void SetDetailTextureDescription(DetailTextureEntry* entry, const char* text) {
    std::memset(entry->description, 0, sizeof(entry->description));
    if (text) std::strncpy(entry->description, text, sizeof(entry->description) - 1);
}

}  // namespace pirn
