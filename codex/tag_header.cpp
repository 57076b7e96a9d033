#include "codex/tag_header.h"

#include <cstring>
#include <utility>
#include <vector>

#include "platform/safe_file_name.h"

namespace pirn {

const StructLayout kTagHeaderLayout[] = {64, 1, kRunU16, 2, kRunBytes, 31, kRunBytes, 1, kRunZero8,
                                         5, kRunU32, 1, kRunU16, 2, kRunBytes, 1, kRunU32};
const StructLayout kOldTagHeaderLayout[] = {64, 31, kRunBytes, 1, kRunZero8, 3, kRunU32,
                                            2, kRunU16, 4, kRunU32};

namespace {

// Signature word of a header still in disk form.
u32 DiskSignature(const u8* bytes) {
    return (static_cast<u32>(bytes[60]) << 24) | (static_cast<u32>(bytes[61]) << 16) |
           (static_cast<u32>(bytes[62]) << 8) | static_cast<u32>(bytes[63]);
}

bool IsForbiddenNameChar(char c) {
    switch (c) {
    case '\\': case '/': case '|': case '"': case '<': case '>': case '*': case '?': case ':':
        return true;
    default:
        return false;
    }
}

// The name rules on a 32-byte field.
void CleanNameField(char name[32], const char* text) {
    std::memset(name, 0, 32);
    size_t length = 0;
    while (length < kTagNameMax && text[length]) {
        name[length] = IsForbiddenNameChar(text[length]) ? '_' : text[length];
        ++length;
    }
    // Trailing full stops and spaces cannot end a file name; the first
    // character always stays.
    while (length > 1 && (name[length - 1] == '.' || name[length - 1] == ' ')) name[--length] = '\0';
}

}  // namespace

TagHeader MakeTagHeader(u32 group, u32 tag_id, const char* name) {
    TagHeader header{};
    header.identifier = -1;
    header.group = group;
    header.tag_id = tag_id;
    header.data_offset = kTagFileDataOffset;
    header.version = 1;
    header.foundation_index = 0xFF;
    header.owner_index = 0xFF;
    header.signature = kTagHeaderSignature;
    SetTagHeaderName(&header, name ? name : "");
    return header;
}

TagHeader ConvertOldTagHeader(const OldTagHeader& old) {
    TagHeader header{};
    std::memcpy(header.name, old.name, sizeof header.name);
    header.name[31] = '\0';
    header.group = old.group;
    header.tag_id = old.tag_id;
    header.data_offset = old.data_offset;
    header.data_length = old.data_length;
    header.version = static_cast<u16>(old.version & 0xFFFF);
    header.signature = kOldTagHeaderSignature;
    return header;
}

void ConvertOldTagHeaders(TagHeader* headers, u32 n) {
    for (u32 i = 0; i < n; ++i) {
        OldTagHeader old;
        std::memcpy(&old, &headers[i], sizeof old);
        headers[i] = ConvertOldTagHeader(old);
    }
}

u32 ReadOldTagHeaders(TagHeader* headers, std::FILE* stream, u32 n) {
    const u32 bytes = ReadRecords(headers, n, kOldTagHeaderLayout, stream);
    if (bytes == 0) return 0;
    ConvertOldTagHeaders(headers, n);
    return bytes;
}

u32 ReadTagHeaders(TagHeader* headers, std::FILE* stream, u32 n) {
    if (n == 0 || u64{n} * kTagHeaderSize > 0xFFFFFFFFu) return 0;
    const size_t bytes = static_cast<size_t>(n) * kTagHeaderSize;
    if (std::fread(headers, 1, bytes, stream) != bytes) return 0;
    const u32 signature = DiskSignature(reinterpret_cast<const u8*>(headers));
    if (signature == kTagHeaderSignature) {
        SwapRecordsInPlace(headers, n, kTagHeaderLayout);
    } else if (signature == kOldTagHeaderSignature) {
        SwapRecordsInPlace(headers, n, kOldTagHeaderLayout);
        ConvertOldTagHeaders(headers, n);
    } else {
        return 0;
    }
    return static_cast<u32>(bytes);
}

void PackTagHeader(const TagHeader& header, u8 bytes[kTagHeaderSize]) {
    TagHeader current = header;
    current.signature = kTagHeaderSignature;
    PackRecords(bytes, &current, 1, kTagHeaderLayout);
}

u32 WriteTagHeaders(const TagHeader* headers, std::FILE* stream, u32 n) {
    if (n == 0 || u64{n} * kTagHeaderSize > 0xFFFFFFFFu) return 0;
    std::vector<u8> bytes(static_cast<size_t>(n) * kTagHeaderSize);
    for (u32 i = 0; i < n; ++i) PackTagHeader(headers[i], bytes.data() + static_cast<size_t>(i) * kTagHeaderSize);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) return 0;
    return static_cast<u32>(bytes.size());
}

bool ParseTagHeader(TagHeader* header, const u8* bytes, size_t byte_count, u64 file_size) {
    *header = TagHeader{};
    if (byte_count < kTagHeaderSize || file_size < kTagHeaderSize) return false;
    const u32 signature = DiskSignature(bytes);
    if (signature == kOldTagHeaderSignature) {
        OldTagHeader old;
        SwapRecords(&old, bytes, 1, kOldTagHeaderLayout);
        *header = ConvertOldTagHeader(old);
    } else {
        SwapRecords(header, bytes, 1, kTagHeaderLayout);
    }
    return HasTagHeaderSignature(*header) && u64{header->data_length} == file_size - kTagHeaderSize;
}

bool HasTagHeaderSignature(const TagHeader& header) {
    return header.signature == kTagHeaderSignature || header.signature == kOldTagHeaderSignature;
}

void SetTagHeaderName(TagHeader* header, const char* text) { CleanNameField(header->name, text ? text : ""); }

std::string CleanTagName(const char* text) {
    char name[32];
    CleanNameField(name, text ? text : "");
    return std::string(name);
}

bool MakeSafePathComponent(const char* text, std::string* out) {
    if (!MakeSafeFileName(CleanTagName(text), out)) return false;
    // A device name's '_' must not make it longer than a name: the result
    // stays its own safe form.
    if (out->size() > kTagNameMax) {
        out->resize(kTagNameMax);
        return MakeSafeFileName(std::string(*out), out);
    }
    return true;
}

bool IsSafePathComponent(const std::string& text) {
    if (text.find('\0') != std::string::npos) return false;
    std::string clean;
    return MakeSafePathComponent(text.c_str(), &clean) && clean == text;
}

}  // namespace pirn
