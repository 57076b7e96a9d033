// Demo terrain content: detail textures of generated pictures at several
// power-of-two sizes, a version-11 mesh and a version-10 one, a version-1
// detail map in an archive and a version-2 detail map in the local folder
// that uses textures from both the archive and the local folder.

#include <cmath>
#include <string>

#include "codex/four_char_code.h"
#include "models/dtex_codec.h"
#include "platform/file_system.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

u32 Id(const char (&text)[5]) { return MakeFourCC(text); }

// A picture that looks a little like a photograph of ground: soft waves of
// the base colour with fine grain, tiling at its edges.
std::vector<u8> GroundPicture(u32 side_x, u32 side_y, const u8 base[3], u32 seed) {
    std::vector<u8> rgb(size_t(side_x) * side_y * 3);
    u32 state = seed * 2654435761u + 1;
    const double pi2 = 6.283185307179586;
    for (u32 y = 0; y < side_y; ++y)
        for (u32 x = 0; x < side_x; ++x) {
            state = state * 1664525u + 1013904223u;
            const double wave = 18 * std::sin(pi2 * x / side_x * 2) * std::cos(pi2 * y / side_y * 3) +
                                9 * std::sin(pi2 * (x + y) / side_x * 5);
            const int grain = int(state >> 28) - 8;
            for (int c = 0; c < 3; ++c) {
                const int v = base[c] + int(wave) + grain + c;
                rgb[(size_t(y) * side_x + x) * 3 + size_t(c)] = u8(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    return rgb;
}

DemoTag Texture(u32 id, const std::string& name, u32 w, u32 h, u8 r, u8 g, u8 b) {
    const u8 base[3] = {r, g, b};
    std::vector<u8> stream;
    EncodeDtexBytes(GroundPicture(w, h, base, id).data(), w, h, &stream);
    BigEndianBuffer data;
    data.PutU32(w);
    data.PutU32(h);
    data.PutU32(0);
    data.PutU32(0);
    data.PutBytes(stream);
    DemoTag tag;
    tag.group = Id("dtex");
    tag.tag_id = id;
    tag.name = name;
    tag.data = data.bytes();
    return tag;
}

constexpr u32 kCells = 32;  // one block of 32 x 32 cells

// The map data of a 'mesh' tag: the 1024-byte header (one block each way,
// the grid right after the header: 1024 + 0), then 12-byte cells.
DemoTag Mesh(u32 id, const std::string& name, u16 version) {
    BigEndianBuffer b;
    b.PutU32(0);
    b.PutU32(0);
    b.PutU16(1);
    b.PutU16(1);
    b.PutU32(1024);
    b.PutU32(0);
    b.PutZeros(4);
    b.PutU32(0);
    b.PutZeros(300 - b.size());
    b.PutText(name, 64);
    b.PutZeros(1024 - b.size());
    for (u32 row = 0; row < kCells; ++row)
        for (u32 column = 0; column < kCells; ++column) {
            const bool water = row > 20 && column > 20;
            const u16 height = u16(200 + 8 * column + 5 * row);
            b.PutU16(height);
            b.PutU16(0);
            b.PutU16(water ? 0x1800 : 0x0100);
            b.PutU16(0);
            b.PutU16(water ? 100 : height);
            b.PutU16(0);
        }
    DemoTag tag;
    tag.group = Id("mesh");
    tag.tag_id = id;
    tag.name = name;
    tag.version = version;
    tag.data = b.bytes();
    return tag;
}

// One 64-byte texture entry.
void PutEntry(BigEndianBuffer& b, u32 id, u8 attribute, u8 r, u8 g, u8 bl, const std::string& description) {
    b.PutU32(id);
    b.PutU8(attribute);
    b.PutU8(r);
    b.PutU8(g);
    b.PutU8(bl);
    b.PutZeros(24);
    b.PutText(description, 32);
}

// Version 2: header, entries at 256, the byte plane and the 16-bit plane
// (its bytes low first) run-length coded.
DemoTag DetailMapVersion2(u32 id, const std::string& name) {
    std::vector<u8> bytes(kCells * kCells);
    std::vector<u8> words(2 * kCells * kCells);
    for (u32 row = 0; row < kCells; ++row)
        for (u32 column = 0; column < kCells; ++column) {
            const size_t cell = size_t(row) * kCells + column;
            bytes[cell] = column < 16 ? 0 : 1;             // grass, sand
            words[2 * cell] = row < 16 ? 0 : 2;            // grass, mud
            words[2 * cell + 1] = column + row < 40 ? 1 : 2;  // sand, mud
        }
    std::vector<u8> byte_runs, word_runs;
    EncodeRleBytes(bytes.data(), bytes.size(), byte_runs);
    EncodeRleBytes(words.data(), words.size(), word_runs);
    const u32 entries_at = 256;
    const u32 bytes_at = entries_at + 128 * 64;
    const u32 words_at = bytes_at + u32(byte_runs.size());
    BigEndianBuffer b;
    b.PutU32(kCells);
    b.PutU32(kCells);
    b.PutU32(bytes_at);
    b.PutU32(0);
    b.PutU32(words_at);
    b.PutU32(0);
    b.PutU32(entries_at);
    b.PutZeros(228);
    PutEntry(b, Id("gras"), 0, 40, 160, 40, "Grass on the slopes");
    PutEntry(b, Id("sand"), 1, 220, 200, 120, "Sand by the water");
    PutEntry(b, Id("mud "), 2, 110, 80, 50, "Mud in the valley");
    PutEntry(b, Id("rock"), 0, 120, 120, 120, "Rock (not painted yet)");
    PutEntry(b, Id("gone"), 0, 255, 0, 255, "A texture that no cell uses");
    for (int i = 5; i < 128; ++i) PutEntry(b, 0xFFFFFFFF, 0, 0, 0, 0, "");
    b.PutBytes(byte_runs);
    b.PutBytes(word_runs);
    DemoTag tag;
    tag.group = Id("dmap");
    tag.tag_id = id;
    tag.name = name;
    tag.version = 2;
    tag.data = b.bytes();
    return tag;
}

// Version 1: the 664-byte header, then the byte plane as it is.
DemoTag DetailMapVersion1(u32 id, const std::string& name) {
    BigEndianBuffer b;
    b.PutU32(kCells);
    b.PutU32(kCells);
    b.PutZeros(12);
    const u32 ids[3] = {Id("gras"), Id("sand"), Id("rock")};
    for (u32 i = 0; i < 128; ++i) b.PutU32(i < 3 ? ids[i] : 0xFFFFFFFF);
    for (u32 i = 0; i < 128; ++i) b.PutU8(i < 3 ? u8(i + 1) : 0);
    b.PutZeros(4);
    for (u32 row = 0; row < kCells; ++row)
        for (u32 column = 0; column < kCells; ++column) b.PutU8(u8((row / 11 + column / 11) % 3));
    DemoTag tag;
    tag.group = Id("dmap");
    tag.tag_id = id;
    tag.name = name;
    tag.version = 1;
    tag.data = b.bytes();
    return tag;
}

}  // namespace

void AddDemoTerrain(DemoGame& game) {
    DemoArchive terrain;
    terrain.folder = "tags";
    terrain.file_name = "terrain";
    terrain.kind = 2;
    terrain.priority = 3;
    terrain.name = "Zarnhold Terrain";
    terrain.description = "Terrain meshes, detail maps and detail textures";
    terrain.tags = {
        Texture(Id("gras"), "Grass", 64, 64, 70, 130, 50),
        Texture(Id("sand"), "Sand", 128, 128, 200, 180, 120),
        Texture(Id("rock"), "Rock", 256, 256, 120, 115, 110),
        Texture(Id("snow"), "Snow", 32, 64, 235, 240, 250),
        Mesh(Id("dv11"), "Demo Valley", 11),
        Mesh(Id("ov10"), "Old Valley", 10),
        DetailMapVersion1(Id("ov10"), "Old Valley"),
    };
    game.archives.push_back(terrain);

    DemoLocalFile mud;
    mud.tag = Texture(Id("mud "), "Mud", 64, 64, 110, 80, 50);
    mud.file_name = mud.tag.name;
    game.local_files.push_back(mud);
    DemoLocalFile map;
    map.tag = DetailMapVersion2(Id("dv11"), "Demo Valley");
    map.file_name = map.tag.name;
    game.local_files.push_back(map);
}

}  // namespace pirn::demo
