#pragma once
// Hand-built archive and tag-file bytes for the Codex tests, laid out from
// the format tables field by field (never through the code under test).

#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace codex_fixture {

using pirn::u16;
using pirn::u32;
using pirn::u8;

constexpr u32 Code(const char (&text)[5]) {
    return (u32(u8(text[0])) << 24) | (u32(u8(text[1])) << 16) | (u32(u8(text[2])) << 8) | u32(u8(text[3]));
}

struct Bytes {
    std::vector<u8> data;
    void U8(u8 v) { data.push_back(v); }
    void U16(u16 v) {
        U8(u8(v >> 8));
        U8(u8(v));
    }
    void U32(u32 v) {
        for (int shift = 24; shift >= 0; shift -= 8) U8(u8(v >> shift));
    }
    // Exactly n bytes: the text, then zeros (no NUL when the text fills n).
    void Text(const std::string& text, size_t n) {
        for (size_t i = 0; i < n; ++i) U8(i < text.size() ? u8(text[i]) : 0);
    }
    void Zeros(size_t n) { data.insert(data.end(), n, 0); }
    void Append(const std::vector<u8>& more) { data.insert(data.end(), more.begin(), more.end()); }
    size_t size() const { return data.size(); }
};

inline u32 ReadU32(const std::vector<u8>& b, size_t at) {
    return (u32(b.at(at)) << 24) | (u32(b.at(at + 1)) << 16) | (u32(b.at(at + 2)) << 8) | u32(b.at(at + 3));
}
inline u16 ReadU16(const std::vector<u8>& b, size_t at) { return u16((b.at(at) << 8) | b.at(at + 1)); }
inline std::string ReadText(const std::vector<u8>& b, size_t at, size_t n) {
    std::string text;
    for (size_t i = 0; i < n && b.at(at + i); ++i) text.push_back(char(b[at + i]));
    return text;
}

struct Tag {
    u32 group;
    u32 id;
    std::string name;
    std::vector<u8> data;
    u32 user_data = 0;
    u16 version = 1;
    u8 flags = 0;
};

// Current tag header: i16 identifier, u8 flags, u8 type, name[32], group,
// id, data offset, data length, user data, u16 version, u8 foundation,
// u8 owner, signature.
inline void CurrentHeader(Bytes& b, const Tag& tag, u32 data_offset, u32 signature = Code("zrn2")) {
    b.U16(0xFFFF);
    b.U8(tag.flags);
    b.U8(0);
    b.Text(tag.name, 32);
    b.U32(tag.group);
    b.U32(tag.id);
    b.U32(data_offset);
    b.U32(u32(tag.data.size()));
    b.U32(tag.user_data);
    b.U16(tag.version);
    b.U8(0xFF);
    b.U8(0xFF);
    b.U32(signature);
}

// Old tag header: name[32], group, id, u32 version, two u16, data offset,
// data length, u32, 'zarn'.
inline void OldHeader(Bytes& b, const Tag& tag, u32 data_offset, u32 version_word) {
    b.Text(tag.name, 32);
    b.U32(tag.group);
    b.U32(tag.id);
    b.U32(version_word);
    b.U16(0x1111);
    b.U16(0x2222);
    b.U32(data_offset);
    b.U32(u32(tag.data.size()));
    b.U32(0x33333333);
    b.U32(Code("zarn"));
}

inline std::vector<u8> TagFile(const Tag& tag) {
    Bytes b;
    CurrentHeader(b, tag, 64);
    b.Append(tag.data);
    return b.data;
}

inline std::vector<u8> OldTagFile(const Tag& tag) {
    Bytes b;
    OldHeader(b, tag, 64, tag.version);
    b.Append(tag.data);
    return b.data;
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

    Bytes b;
    b.U16(kind);
    b.U16(priority);
    b.Text(name, 32);
    b.Text("a description", 64);
    b.U16(u16(meshes.size()));
    b.U16(u16(tags.size()));
    b.U32(0);
    b.U32(0);
    b.U32(size);
    b.U32(0);
    b.U32(data);
    b.U32(Code("dng2"));
    for (const Tag* mesh : meshes) {
        b.U32(mesh->id);
        b.Zeros(12);
        b.Text(mesh->name, 32);
        b.Text(mesh->name, 64);
    }
    u32 offset = data;
    for (const Tag& tag : tags) {
        CurrentHeader(b, tag, offset);
        offset += u32(tag.data.size());
    }
    for (const Tag& tag : tags) b.Append(tag.data);
    return b.data;
}

// First-version archive: 48-byte header (1, 1, name, u32, directory offset,
// u16 count, u16), the data, then old-layout headers at the end.
inline std::vector<u8> FirstVersionArchiveBytes(const std::string& name, const std::vector<Tag>& tags) {
    u32 directory = 48;
    for (const Tag& tag : tags) directory += u32(tag.data.size());
    Bytes b;
    b.U16(1);
    b.U16(1);
    b.Text(name, 32);
    b.U32(0x44444444);
    b.U32(directory);
    b.U16(u16(tags.size()));
    b.U16(0x5555);
    for (const Tag& tag : tags) b.Append(tag.data);
    u32 offset = 48;
    for (const Tag& tag : tags) {
        OldHeader(b, tag, offset, 0x00070000u | tag.version);
        offset += u32(tag.data.size());
    }
    return b.data;
}

inline std::vector<u8> Data(const std::string& text) { return std::vector<u8>(text.begin(), text.end()); }

}  // namespace codex_fixture
