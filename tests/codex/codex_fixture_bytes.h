#pragma once
// Hand-built archive and tag-file bytes for the Codex tests, laid out from
// the format tables field by field (never through the code under test).

#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

namespace codex_fixture {

using pirn::u16;
using pirn::u32;
using pirn::u8;
using pirn::fixture::BigEndianBuffer;
using pirn::fixture::ReadText;
using pirn::fixture::ReadU16;
using pirn::fixture::ReadU32;

constexpr u32 Code(const char (&text)[5]) { return pirn::fixture::FourCC(text); }

struct Tag {
    u32 group;
    u32 id;
    std::string name;
    std::vector<u8> data;
    u32 user_data = 0;
    u16 version = 1;
    u8 flags = 0;
};

// Current tag header with the foundation and owner indexes unset (0xFF).
inline void CurrentHeader(BigEndianBuffer& b, const Tag& tag, u32 data_offset, u32 signature = Code("zrn2")) {
    pirn::fixture::TagHeaderFields h;
    h.flags = tag.flags;
    h.name = tag.name;
    h.group = tag.group;
    h.id = tag.id;
    h.data_offset = data_offset;
    h.data_length = u32(tag.data.size());
    h.user_data = tag.user_data;
    h.version = tag.version;
    h.signature = signature;
    pirn::fixture::PutTagHeader(b, h);
}

// Old tag header with its unused fields set to values no reader may keep.
inline void OldHeader(BigEndianBuffer& b, const Tag& tag, u32 data_offset, u32 version_word) {
    pirn::fixture::OldTagHeaderFields h;
    h.name = tag.name;
    h.group = tag.group;
    h.id = tag.id;
    h.version_word = version_word;
    h.unused_a = 0x1111;
    h.unused_b = 0x2222;
    h.data_offset = data_offset;
    h.data_length = u32(tag.data.size());
    h.unused_c = 0x33333333;
    pirn::fixture::PutOldTagHeader(b, h);
}

inline std::vector<u8> TagFile(const Tag& tag) {
    BigEndianBuffer b;
    CurrentHeader(b, tag, 64);
    b.PutBytes(tag.data);
    return b.bytes();
}

inline std::vector<u8> OldTagFile(const Tag& tag) {
    BigEndianBuffer b;
    OldHeader(b, tag, 64, tag.version);
    b.PutBytes(tag.data);
    return b.bytes();
}

// Current archive: 128-byte header, a map record per 'mesh' tag, directory,
// data in directory order.
inline std::vector<u8> ArchiveBytes(u16 kind, u16 priority, const std::string& name, const std::vector<Tag>& tags) {
    std::vector<const Tag*> meshes;
    for (const Tag& tag : tags)
        if (tag.group == Code("mesh")) meshes.push_back(&tag);
    u32 directory = u32(128 + 112 * meshes.size());
    u32 data = u32(directory + 64 * tags.size());
    u32 size = data;
    for (const Tag& tag : tags) size += u32(tag.data.size());

    BigEndianBuffer b;
    b.PutU16(kind);
    b.PutU16(priority);
    b.PutChars(name, 32);
    b.PutChars("a description", 64);
    b.PutU16(u16(meshes.size()));
    b.PutU16(u16(tags.size()));
    b.PutU32(0);
    b.PutU32(0);
    b.PutU32(size);
    b.PutU32(0);
    b.PutU32(data);
    b.PutU32(Code("dng2"));
    for (const Tag* mesh : meshes) {
        b.PutU32(mesh->id);
        b.PutZeros(12);
        b.PutChars(mesh->name, 32);
        b.PutChars(mesh->name, 64);
    }
    u32 offset = data;
    for (const Tag& tag : tags) {
        CurrentHeader(b, tag, offset);
        offset += u32(tag.data.size());
    }
    for (const Tag& tag : tags) b.PutBytes(tag.data);
    return b.bytes();
}

// First-version archive: 48-byte header (1, 1, name, u32, directory offset,
// u16 count, u16), the data, then old-layout headers at the end.
inline std::vector<u8> FirstVersionArchiveBytes(const std::string& name, const std::vector<Tag>& tags) {
    u32 directory = 48;
    for (const Tag& tag : tags) directory += u32(tag.data.size());
    BigEndianBuffer b;
    b.PutU16(1);
    b.PutU16(1);
    b.PutChars(name, 32);
    b.PutU32(0x44444444);
    b.PutU32(directory);
    b.PutU16(u16(tags.size()));
    b.PutU16(0x5555);
    for (const Tag& tag : tags) b.PutBytes(tag.data);
    u32 offset = 48;
    for (const Tag& tag : tags) {
        OldHeader(b, tag, offset, 0x00070000u | tag.version);
        offset += u32(tag.data.size());
    }
    return b.bytes();
}

inline std::vector<u8> Data(const std::string& text) { return std::vector<u8>(text.begin(), text.end()); }

}  // namespace codex_fixture
