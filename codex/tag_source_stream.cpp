#include "codex/tag_source_stream.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "codex/archive.h"
#include "codex/codex_log.h"
#include "codex/codex_catalogue.h"
#include "codex/codex_state.h"
#include "codex/safe_tag_name.h"
#include "codex/tag_group.h"
#include "platform/file_ops.h"

namespace pirn {

std::FILE* OpenRegularFileForReading(const std::string& path, u64* size) {
#ifdef O_NONBLOCK
    // A FIFO with a tag's name must not hang the scan.
    int fd = OpenFileDescriptor(path, O_RDONLY | O_NONBLOCK);
#else
    int fd = OpenFileDescriptor(path, O_RDONLY);
#endif
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* stream = StreamFromDescriptor(fd, "rb", path);
    if (!stream) return nullptr;
    if (size) *size = static_cast<u64>(info.st_size);
    return stream;
}

bool ReadLocalTagHeader(std::FILE* stream, const std::string& file_name, TagHeader* header) {
    struct stat info;
    if (::fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return ReadLocalTagHeaderOfSize(stream, file_name, static_cast<u64>(info.st_size), header);
}

bool ReadLocalTagHeaderOfSize(std::FILE* stream, const std::string& file_name, u64 size, TagHeader* header) {
    // Shorter than a header cannot be a tag; longer than 4 GiB + 64 cannot
    // have its length in the 32-bit field.
    if (size < kTagHeaderSize || size - kTagHeaderSize > 0xFFFFFFFFu) return false;
    if (ReadTagHeaders(header, stream, 1) != kTagHeaderSize) return false;
    if (!HasTagHeaderSignature(*header)) return false;
    if (std::strstr(header->name, "ruk made this")) {
        std::memset(header->name, 0, sizeof(header->name));
        std::strncpy(header->name, file_name.c_str(), sizeof(header->name) - 1);
    }
    header->data_length = static_cast<u32>(size - kTagHeaderSize);
    return true;
}

std::string LocalSourcePath(const TagSource* source) {
    return TheCodex().local_root + GroupFolderName(source->header.group) + "/" + source->file_name;
}

std::FILE* OpenSourceStream(TagSource* source, TagHeader* header) {
    if (!source) return nullptr;
    if (source->archive) {
        std::FILE* stream = OpenRegularFileForReading(source->archive->path, nullptr);
        if (!stream) return nullptr;
        if (::fseeko(stream, static_cast<off_t>(source->header.data_offset), SEEK_SET) != 0) {
            CloseFileStream(stream);
            return nullptr;
        }
        if (header) *header = source->header;
        return stream;
    }
    std::string path = LocalSourcePath(source);
    u64 size = 0;
    std::FILE* stream = OpenRegularFileForReading(path, &size);
    TagHeader fresh{};
    if (!stream || !ReadLocalTagHeaderOfSize(stream, source->file_name, size, &fresh)) {
        if (stream) CloseFileStream(stream);
        LogCodex(0, "couldn't open local file '%s' for reading\n", source->file_name.c_str());
        return nullptr;
    }
    if (fresh.group != source->header.group || fresh.tag_id != source->header.tag_id) {
        // Another program put a different tag under this name; the next
        // poll sorts the catalogue out, this one is not read as ours.
        CloseFileStream(stream);
        MarkLocalFolderChanged();
        LogCodex(0, "couldn't open local file '%s' for reading\n", source->file_name.c_str());
        return nullptr;
    }
    source->header = fresh;
    if (header) *header = fresh;
    return stream;
}

bool CopyStreamBytes(std::FILE* destination, std::FILE* source, u64 n) {
    static constexpr size_t kChunk = 64 * 1024;
    static thread_local u8 buffer[kChunk];
    while (n > 0) {
        size_t want = n < kChunk ? static_cast<size_t>(n) : kChunk;
        if (std::fread(buffer, 1, want, source) != want) return false;
        if (std::fwrite(buffer, 1, want, destination) != want) return false;
        n -= want;
    }
    return true;
}

}  // namespace pirn
