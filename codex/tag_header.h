#pragma once
// The 64-byte big-endian header at the start of every tag file and of every
// entry of an archive directory. Two layouts exist on disk: the current one
// (signature 'zrn2') and an older one (signature 'zarn') that is still read
// and converted; only the current layout is ever written.

#include <cstddef>
#include <cstdio>
#include <string>

#include "codex/four_char_code.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kTagHeaderSize = 64;
// Data offset of a tag file: the data follows its header.
constexpr u32 kTagFileDataOffset = 64;
constexpr u32 kTagHeaderSignature = MakeFourCC("zrn2");
constexpr u32 kOldTagHeaderSignature = MakeFourCC("zarn");
// Longest tag name: 31 characters and a NUL.
constexpr size_t kTagNameMax = 31;

// Current layout, in memory as on disk (no pointers), fields native-endian.
struct TagHeader {
    i16 identifier;      // -1 in headers this program creates
    u8 flags;
    u8 type;             // 0 in headers this program creates
    char name[32];       // NUL-terminated; byte 31 always 0 after reading
    u32 group;
    u32 tag_id;
    u32 data_offset;     // 64 in a tag file; absolute in an archive
    u32 data_length;
    u32 user_data;       // group-specific word
    u16 version;
    u8 foundation_index; // 0xFF in headers this program creates
    u8 owner_index;      // 0xFF in headers this program creates
    u32 signature;       // 'zrn2', or 'zarn' when converted from the old layout
};
static_assert(sizeof(TagHeader) == 64, "TagHeader is a packed 64-byte record");
static_assert(offsetof(TagHeader, group) == 36 && offsetof(TagHeader, version) == 56 &&
                  offsetof(TagHeader, signature) == 60,
              "TagHeader fields sit at their disk offsets");

// Older layout, as unpacked before conversion.
struct OldTagHeader {
    char name[32];       // byte 31 forced to zero on reading
    u32 group;
    u32 tag_id;
    u32 version;         // conversion keeps the low 16 bits
    u16 unused_a;
    u16 unused_b;
    u32 data_offset;
    u32 data_length;
    u32 unused_c;
    u32 signature;       // 'zarn'
};
static_assert(sizeof(OldTagHeader) == 64, "OldTagHeader is a packed 64-byte record");

// u16 identifier, two u8, 31 bytes copied plus one forced to zero, five u32,
// one u16, two u8, one u32.
extern const StructLayout kTagHeaderLayout[];
// 31 bytes copied plus one forced to zero, three u32, two u16, four u32.
extern const StructLayout kOldTagHeaderLayout[];

// A fresh header as this program creates it: identifier -1, data offset 64,
// version 1, foundation and owner index 0xFF, signature 'zrn2'. The name goes
// through SetTagHeaderName.
TagHeader MakeTagHeader(u32 group, u32 tag_id, const char* name);

// Reads n headers. The signature of the first decides for all: 'zrn2' reads
// the current layout, 'zarn' the old one (converted). Returns n x 64, or 0 on
// a short read, for n = 0 or for any other signature.
u32 ReadTagHeaders(TagHeader* headers, std::FILE* stream, u32 n);
// Reads n old-layout headers and converts them (entries of old archives).
u32 ReadOldTagHeaders(TagHeader* headers, std::FILE* stream, u32 n);
// Converts one unpacked old header: identifier, flags, type, user data,
// foundation and owner index 0; version the low 16 bits; signature 'zarn'.
TagHeader ConvertOldTagHeader(const OldTagHeader& old);
// Rewrites n old-layout headers held in the 64-byte slots in the current one.
void ConvertOldTagHeaders(TagHeader* headers, u32 n);
// Writes n headers in the current layout, always with signature 'zrn2' (a
// header converted from the old layout must not be read back as one).
// Returns the bytes written, 0 on failure.
u32 WriteTagHeaders(const TagHeader* headers, std::FILE* stream, u32 n);
// The 64 disk bytes of one header (current layout, signature 'zrn2').
void PackTagHeader(const TagHeader& header, u8 bytes[kTagHeaderSize]);

// Unpacks one header from bytes already read (converting an old-layout one)
// and tells whether they begin a tag file: a known signature and a data
// length of file size - 64. Fewer than 64 bytes, or a file shorter than a
// header, is never a tag file (header zeroed).
bool ParseTagHeader(TagHeader* header, const u8* bytes, size_t byte_count, u64 file_size);
bool HasTagHeaderSignature(const TagHeader& header);

// Stores a tag name: at most 31 characters; \ / | " < > * ? : become '_';
// trailing full stops and spaces removed, the first character always kept;
// the rest of the 32 bytes zeroed.
void SetTagHeaderName(TagHeader* header, const char* text);
// The same rules on a string (the name a tag file would get).
std::string CleanTagName(const char* text);
// A component that is safe to join to a folder path: the tag-name rules,
// then the file-name rule of every name that becomes a path (safe_file_name.h:
// control characters, full stops and spaces at the end, device names), at
// most 31 characters; false (out cleared) when nothing is left.
bool MakeSafePathComponent(const char* text, std::string* out);
// Whether text is already such a component (it would come back unchanged).
bool IsSafePathComponent(const std::string& text);

}  // namespace pirn
