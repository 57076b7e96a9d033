#include "codex/archive.h"

#include <cstring>
#include <memory>

#include "codex/codex_log.h"
#include "codex/tag_header.h"
#include "codex/tag_source_stream.h"
#include "platform/file_ops.h"

namespace pirn {

// 2 x u16, name (31 bytes + 1 zeroed), description (63 + 1 zeroed), 2 x u16, 6 x u32.
const StructLayout kArchiveHeaderLayout[] = {128, 2, kRunU16, 31, kRunBytes, 1, kRunZero8,
                                             63, kRunBytes, 1, kRunZero8, 2, kRunU16, 6, kRunU32};
// tag id and three zero words, name (31 + 1 zeroed), description (63 + 1 zeroed).
const StructLayout kArchiveMapRecordLayout[] = {112, 4, kRunU32, 31, kRunBytes, 1, kRunZero8,
                                                63, kRunBytes, 1, kRunZero8};
// two u16 that must be 1, name (31 + 1 zeroed), 2 x u32, 2 x u16.
const StructLayout kFirstVersionArchiveHeaderLayout[] = {48, 2, kRunU16, 31, kRunBytes, 1, kRunZero8,
                                                         2, kRunU32, 2, kRunU16};

namespace {

struct FirstVersionArchiveHeader {
    u16 version_a;
    u16 version_b;
    char name[32];
    u32 unused;
    u32 directory_offset;
    u16 entry_count;
    u16 unused_count;
};
static_assert(sizeof(FirstVersionArchiveHeader) == kFirstVersionHeaderSize, "first-version header is 48 bytes");

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) CloseFileStream(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ArchiveKindPrecedence(u32 kind, u32* precedence) {
    u32 value;
    switch (kind) {
        case 3: value = 0; break;
        case 2: value = 1; break;
        case 1: case 5: case 6: case 7: value = 2; break;
        default: return false;
    }
    if (precedence) *precedence = value;
    return true;
}

int ParseArchiveHeader(ArchiveHeader* header, const u8* bytes, size_t available, u64 file_size) {
    // Short files are zero-padded so neither layout reads past what was given.
    u8 padded[kArchiveHeaderSize] = {};
    std::memcpy(padded, bytes, available < sizeof(padded) ? available : sizeof(padded));

    UnpackRecords(header, padded, 1, kArchiveHeaderLayout);
    u64 directory = kArchiveHeaderSize + u64{kArchiveMapRecordSize} * header->map_record_count;
    header->directory_end = static_cast<u32>(directory);
    if (file_size >= kArchiveHeaderSize && header->file_size == file_size &&
        header->signature == kArchiveSignature &&
        directory + u64{kTagHeaderSize} * header->entry_count <= file_size)
        return 1;

    if (file_size < kFirstVersionHeaderSize) return 0;
    FirstVersionArchiveHeader old;
    UnpackRecords(&old, padded, 1, kFirstVersionArchiveHeaderLayout);
    if (old.version_a != 1 || old.version_b != 1) return 0;
    if (file_size > 0xFFFFFFFFu) return 0;  // offsets are 32-bit
    if (old.directory_offset < kFirstVersionHeaderSize || old.directory_offset > file_size) return 0;
    if (file_size - old.directory_offset != u64{kTagHeaderSize} * old.entry_count) return 0;

    *header = ArchiveHeader{};
    header->kind = 1;
    header->priority = 0;
    std::memcpy(header->name, old.name, sizeof(header->name));
    header->map_record_count = 0;
    header->entry_count = old.entry_count;
    header->directory_end = old.directory_offset;
    header->file_size = static_cast<u32>(file_size);
    header->signature = kConvertedArchiveSignature;
    return 1;
}

Archive* OpenArchiveFile(const std::string& path) {
    u64 file_size = 0;
    FilePtr file(OpenRegularFileForReading(path, &file_size));
    if (!file) {
        LogCodex(0, "ERROR: couldn't open '%s' as an archive (missing, unreadable or not a regular file).\n",
                 path.c_str());
        return nullptr;
    }
    u8 first[kArchiveHeaderSize] = {};
    size_t got = std::fread(first, 1, sizeof(first), file.get());

    auto archive = std::make_unique<Archive>();
    if (!ParseArchiveHeader(&archive->header, first, got, file_size)) {
        LogCodex(0, "ERROR: '%s' is not an archive (bad header, size or signature).\n", path.c_str());
        return nullptr;
    }
    ArchiveHeader& header = archive->header;
    u32 precedence = 0;
    if (!ArchiveKindPrecedence(header.kind, &precedence)) {
        LogCodex(0, "ERROR: archive '%s' has kind %u, which is not read.\n", path.c_str(),
                 static_cast<unsigned>(header.kind));
        return nullptr;
    }

    if (header.map_record_count) {
        archive->map_records.resize(header.map_record_count);
        if (::fseeko(file.get(), kArchiveHeaderSize, SEEK_SET) != 0 ||
            !ReadArchiveMeshEntries(archive->map_records.data(), file.get(), header.map_record_count)) {
            LogCodex(0, "ERROR: archive '%s': its mesh records could not be read.\n", path.c_str());
            return nullptr;
        }
    }

    u32 count = header.entry_count;
    std::vector<TagHeader> headers(count);
    if (count) {
        if (::fseeko(file.get(), static_cast<off_t>(header.directory_end), SEEK_SET) != 0) {
            LogCodex(0, "ERROR: archive '%s': its directory could not be read.\n", path.c_str());
            return nullptr;
        }
        u32 read = (header.signature == kArchiveSignature)
                       ? ReadRecords(headers.data(), count, kTagHeaderLayout, file.get())
                       : ReadOldTagHeaders(headers.data(), file.get(), count);
        if (!read) {
            LogCodex(0, "ERROR: archive '%s': its directory could not be read.\n", path.c_str());
            return nullptr;
        }
    }

    archive->entries.resize(count);
    for (u32 i = 0; i < count; ++i) {
        const TagHeader& entry = headers[i];
        if (u64{entry.data_offset} + entry.data_length > file_size) {
            LogCodex(0, "ERROR: archive '%s': entry %u ('%s') lies past the end of the file.\n", path.c_str(),
                     static_cast<unsigned>(i), entry.name);
            return nullptr;
        }
        TagSource& source = archive->entries[i];
        source.header = entry;
        source.precedence = precedence;
        source.archive = archive.get();
    }
    archive->path = path;
    archive->file_name = FileNamePart(path);
    return archive.release();
}

u32 ReadArchiveMeshEntries(ArchiveMapRecord* records, std::FILE* stream, u32 count) {
    return ReadRecords(records, count, kArchiveMapRecordLayout, stream);
}

u32 WriteArchiveMeshEntries(const ArchiveMapRecord* records, std::FILE* stream, u32 count) {
    return WriteRecords(records, count, kArchiveMapRecordLayout, stream);
}

u32 WriteArchiveHeader(const ArchiveHeader* header, std::FILE* stream) {
    return WriteRecords(header, 1, kArchiveHeaderLayout, stream);
}

}  // namespace pirn
