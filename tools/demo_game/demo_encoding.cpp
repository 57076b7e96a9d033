#include "codex/four_char_code.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

namespace pirn::demo {

namespace {

constexpr u32 kArchiveHeaderBytes = 128;
constexpr u32 kFirstVersionHeaderBytes = 48;
constexpr u32 kMapRecordBytes = 112;

// Current tag header: identifier -1, flags and type 0, foundation and owner
// 0xFF, 'zrn2'. Names are cut to 31 characters, as the program keeps them.
void PutTagHeader(BigEndianBuffer& b, const DemoTag& tag, u32 data_offset) {
    fixture::TagHeaderFields h;
    h.name = tag.name.substr(0, 31);
    h.group = tag.group;
    h.id = tag.tag_id;
    h.data_offset = data_offset;
    h.data_length = static_cast<u32>(tag.data.size());
    h.user_data = tag.user_data;
    h.version = tag.version;
    fixture::PutTagHeader(b, h);
}

// Old tag header: the high half of the 32-bit version word is not carried
// over, so it is set here to show that; the unused words are zero.
void PutOldTagHeader(BigEndianBuffer& b, const DemoTag& tag, u32 data_offset) {
    fixture::OldTagHeaderFields h;
    h.name = tag.name.substr(0, 31);
    h.group = tag.group;
    h.id = tag.tag_id;
    h.version_word = 0x00010000u | tag.version;
    h.data_offset = data_offset;
    h.data_length = static_cast<u32>(tag.data.size());
    fixture::PutOldTagHeader(b, h);
}

std::vector<u8> EncodeCurrentArchive(const DemoArchive& a) {
    std::vector<const DemoTag*> meshes;
    for (const DemoTag& tag : a.tags)
        if (tag.group == MakeFourCC("mesh")) meshes.push_back(&tag);
    const u32 directory = kArchiveHeaderBytes + kMapRecordBytes * static_cast<u32>(meshes.size());
    const u32 data_start = directory + fixture::kTagHeaderBytes * static_cast<u32>(a.tags.size());

    BigEndianBuffer b;
    b.PutU16(a.kind);
    b.PutU16(a.priority);
    b.PutText(a.name, 32);
    b.PutText(a.description, 64);
    b.PutU16(static_cast<u16>(meshes.size()));
    b.PutU16(static_cast<u16>(a.tags.size()));
    b.PutU32(0);
    b.PutU32(0);
    b.PutU32(0);  // file size, set below
    b.PutU32(0);
    b.PutU32(data_start);  // directory end
    b.PutU32(MakeFourCC("dng2"));

    // Map records: mesh tag id, three zero words, the name in the name field
    // and again in the first 32 bytes of the description.
    for (const DemoTag* mesh : meshes) {
        b.PutU32(mesh->tag_id);
        b.PutZeros(12);
        b.PutText(mesh->name, 32);
        b.PutText(mesh->name, 32);
        b.PutZeros(32);
    }
    u32 offset = data_start;
    for (const DemoTag& tag : a.tags) {
        PutTagHeader(b, tag, offset);
        offset += static_cast<u32>(tag.data.size());
    }
    for (const DemoTag& tag : a.tags) b.PutBytes(tag.data);
    b.SetU32At(112, static_cast<u32>(b.size()));
    return b.bytes();
}

// First version: 48-byte header, the data, the directory at the end in the
// old header layout.
std::vector<u8> EncodeFirstVersionArchive(const DemoArchive& a) {
    u32 data_bytes = 0;
    for (const DemoTag& tag : a.tags) data_bytes += static_cast<u32>(tag.data.size());
    const u32 directory = kFirstVersionHeaderBytes + data_bytes;

    BigEndianBuffer b;
    b.PutU16(1);
    b.PutU16(1);
    b.PutText(a.name, 32);
    b.PutU32(0);
    b.PutU32(directory);
    b.PutU16(static_cast<u16>(a.tags.size()));
    b.PutU16(0);
    for (const DemoTag& tag : a.tags) b.PutBytes(tag.data);
    u32 offset = kFirstVersionHeaderBytes;
    for (const DemoTag& tag : a.tags) {
        PutOldTagHeader(b, tag, offset);
        offset += static_cast<u32>(tag.data.size());
    }
    return b.bytes();
}

}  // namespace

std::vector<u8> EncodeArchive(const DemoArchive& archive) {
    return archive.first_version ? EncodeFirstVersionArchive(archive) : EncodeCurrentArchive(archive);
}

std::vector<u8> EncodeTagFile(const DemoLocalFile& file) {
    BigEndianBuffer b;
    if (file.old_layout)
        PutOldTagHeader(b, file.tag, fixture::kTagHeaderBytes);
    else
        PutTagHeader(b, file.tag, fixture::kTagHeaderBytes);
    b.PutBytes(file.tag.data);
    return b.bytes();
}

}  // namespace pirn::demo
