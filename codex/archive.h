#pragma once
// Archive and plugin files: a 128-byte header, 112-byte mesh map records, a
// directory of 64-byte tag headers and the tag data. First-version archives
// (48-byte header, directory at the end, old tag headers) are converted to
// this form as they are read.

#include <cstdio>
#include <string>
#include <vector>

#include "codex/tag_entry.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kArchiveSignature = 0x646E6732;          // 'dng2'
constexpr u32 kConvertedArchiveSignature = 0x7A61726E;  // 'zarn'
constexpr u32 kArchiveHeaderSize = 128;
constexpr u32 kArchiveMapRecordSize = 112;
constexpr u32 kFirstVersionHeaderSize = 48;
constexpr u32 kMeshGroup = 0x6D657368;  // 'mesh'

struct ArchiveHeader {
    u16 kind = 0;
    u16 priority = 0;
    char name[32] = {};
    char description[64] = {};
    u16 map_record_count = 0;
    u16 entry_count = 0;
    u32 reserved0 = 0;
    u32 reserved1 = 0;
    u32 file_size = 0;
    u32 reserved2 = 0;
    u32 directory_end = 0;  // after reading: the directory offset actually used
    u32 signature = 0;
};
static_assert(sizeof(ArchiveHeader) == kArchiveHeaderSize, "archive header is 128 packed bytes");

struct ArchiveMapRecord {
    u32 tag_id = 0;
    u32 reserved[3] = {};
    char name[32] = {};
    char description[64] = {};
};
static_assert(sizeof(ArchiveMapRecord) == kArchiveMapRecordSize, "map record is 112 packed bytes");

extern const StructLayout kArchiveHeaderLayout[];
extern const StructLayout kArchiveMapRecordLayout[];
extern const StructLayout kFirstVersionArchiveHeaderLayout[];

struct Archive {
    ArchiveHeader header;
    std::vector<TagSource> entries;  // one per directory entry; never resized once read
    std::vector<ArchiveMapRecord> map_records;
    std::string path;       // as passed to AddArchive
    std::string file_name;  // the part after the last '/' or '\'
    bool active = false;
    u64 open_order = 0;     // identity order of working sets: the order archives were opened
};

// Entry precedence of an archive kind; false for kinds that are not opened
// (0, 4, 8 and above).
bool ArchiveKindPrecedence(u32 kind, u32* precedence);

// Unpacks the first bytes of a file (`available` of them, at most 128 are
// looked at) into `header`. 1 for a current archive whose stored size equals
// `file_size` and whose directory fits in the file, or a first-version
// archive (converted: kind 1, signature 'zarn'); else 0.
int ParseArchiveHeader(ArchiveHeader* header, const u8* bytes, size_t available, u64 file_size);

// Reads the whole archive directory. Every entry's data must lie inside the
// file. Returns null when the file cannot be opened or any check fails; the
// reason is logged under "Codex" with the file's path.
Archive* OpenArchiveFile(const std::string& path);

u32 ReadArchiveMeshEntries(ArchiveMapRecord* records, std::FILE* stream, u32 count);
u32 WriteArchiveMeshEntries(const ArchiveMapRecord* records, std::FILE* stream, u32 count);
u32 WriteArchiveHeader(const ArchiveHeader* header, std::FILE* stream);

}  // namespace pirn
