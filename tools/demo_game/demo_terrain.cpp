// Demo terrain content: "Demo Valley", a version-11 mesh of 3 x 3 blocks
// (96 x 96 cells) with hills, a mountain and a lake under media, its
// collection of block colour and shade bitmaps (2 per block), its media and
// its version-2 detail map (the local copy, whose id is the collection's)
// painted with textures from both the archive and the local folder; detail
// textures of generated pictures at several power-of-two sizes, among them
// the ones the automatic detail texturing proposes; and an old version-10
// mesh with a version-1 detail map in the archive.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "codex/four_char_code.h"
#include "collections/collection.h"
#include "collections/collection_records.h"
#include "models/dtex_codec.h"
#include "platform/file_system.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

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

// ---- the valley ----

constexpr u32 kBlocks = 3;
constexpr u32 kCells = kBlocks * 32;
constexpr int kWaterLevel = 700;  // 1/512 of a cell
constexpr u32 kTexels = 256;

enum TerrainType : u32 {
    kShallow = 0, kHumanDepth = 1, kGiantDepth = 2, kDeep = 3, kSloped = 4, kSteep = 5, kGrass = 6,
    kDesert = 7, kRocky = 8, kMarsh = 9, kSnow = 10, kForest = 11,
};

// Ground height (the lake's bed under water), any point in cells.
double GroundHeight(double x, double y) {
    const double hills = 1200 + 700 * std::sin(x * 0.09) * std::cos(y * 0.07) + 180 * std::sin((x + 2 * y) * 0.23);
    const double mountain = 2600 * std::exp(-((x - 74) * (x - 74) + (y - 70) * (y - 70)) / 380.0);
    const double lake = 1500 * std::exp(-((x - 28) * (x - 28) + (y - 62) * (y - 62)) / 260.0);
    return hills + mountain - lake;
}

int Height(u32 x, u32 y) { return int(std::lround(GroundHeight(x, y))); }

double Slope(u32 x, u32 y) {
    const double dx = GroundHeight(x + 1.0, y) - GroundHeight(x, y);
    const double dy = GroundHeight(x, y + 1.0) - GroundHeight(x, y);
    return std::sqrt(dx * dx + dy * dy) / 512.0;
}

u32 TypeOf(u32 x, u32 y) {
    const int h = Height(x, y);
    if (h < kWaterLevel) {
        const int depth = kWaterLevel - h;
        return depth < 100 ? kShallow : depth < 250 ? kHumanDepth : depth < 450 ? kGiantDepth : kDeep;
    }
    const double slope = Slope(x, y);
    if (slope > 1.1) return kSteep;
    if (h > 3000) return kSnow;
    if (slope > 0.55) return kSloped;
    if (h > 2300) return kRocky;
    if (h < 800) return kDesert;
    if (h < 900) return kMarsh;
    if (std::sin(x * 0.31) * std::sin(y * 0.27) > 0.55) return kForest;
    return kGrass;
}

// 0x800 and 0x1000 mark a cell under media; the flag pass adds 0x400.
u16 FlagsOf(u32 x, u32 y) {
    const u16 media = Height(x, y) < kWaterLevel ? 0x1800 : 0;
    return u16(media | (TypeOf(x, y) << 4) | 0x0100);
}

// The map data: a 1024-byte header (collection and media ids, 3 x 3 blocks,
// the grid right after the header, lighting: b -96 and a 96 towards white
// around the middle shade), then 12-byte cells (word 0 the ground, word 4
// the water's surface).
DemoTag Mesh(u32 id, const std::string& name, u16 version, u32 collection, u32 media, u16 blocks) {
    BigEndianBuffer b;
    b.PutU32(collection);
    b.PutU32(media);
    b.PutU16(blocks);
    b.PutU16(blocks);
    b.PutU32(1024);
    b.PutU32(0);
    b.PutZeros(4);
    b.PutU32(0);
    b.PutZeros(88 - b.size());
    b.PutU16(u16(-96));
    b.PutU16(96);
    b.PutU16(65535);
    b.PutU16(65535);
    b.PutU16(65535);
    b.PutZeros(108 - b.size());
    b.PutU32(32896);  // (32896 x 255) >> 16 = 127
    b.PutZeros(300 - b.size());
    b.PutText(name, 64);
    b.PutZeros(1024 - b.size());
    const u32 cells = blocks * 32u;
    for (u32 row = 0; row < cells; ++row)
        for (u32 column = 0; column < cells; ++column) {
            const int h = Height(column, row);
            const u16 flags = FlagsOf(column, row);
            b.PutU16(u16(i16(h)));
            b.PutU16(0);
            b.PutU16(flags);
            b.PutU16(0);
            b.PutU16((flags & 0x1800) ? u16(kWaterLevel) : u16(i16(h)));
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

// Colour table: eight ramps of 32 shades, one per kind of ground.
enum Ramp : u32 { kRampGrass, kRampSand, kRampRock, kRampSnow, kRampWater, kRampForest, kRampMarsh, kRampDirt };

void FillTerrainPalette(Collection* c) {
    const u8 ends[8][2][3] = {
        {{40, 70, 20}, {150, 200, 80}},    // grass
        {{140, 120, 70}, {240, 225, 170}},  // sand
        {{70, 65, 60}, {175, 170, 160}},    // rock
        {{170, 175, 190}, {255, 255, 255}}, // snow
        {{10, 30, 80}, {60, 120, 180}},     // water
        {{15, 45, 15}, {70, 120, 50}},      // forest
        {{60, 70, 40}, {130, 140, 90}},     // marsh
        {{80, 55, 30}, {160, 120, 80}},     // dirt
    };
    for (u32 r = 0; r < 8; ++r)
        for (u32 s = 0; s < 32; ++s)
            for (int k = 0; k < 3; ++k)
                c->colors[(r * 32 + s) * 3 + u32(k)] = u8(ends[r][0][k] + (ends[r][1][k] - ends[r][0][k]) * int(s) / 31);
}

u32 RampOf(u32 type) {
    switch (type) {
        case kShallow: case kHumanDepth: case kGiantDepth: case kDeep: return kRampWater;
        case kSloped: return kRampDirt;
        case kSteep: case kRocky: return kRampRock;
        case kDesert: return kRampSand;
        case kMarsh: return kRampMarsh;
        case kSnow: return kRampSnow;
        case kForest: return kRampForest;
        default: return kRampGrass;
    }
}

// Bitmaps 2i (colour index) and 2i + 1 (shade) of block i: 8 texels a
// cell, the colour from the cell's ground with grain, the shade from the
// light falling from the north-west.
void AddBlockBitmaps(Collection* c, u32 block) {
    const u32 bx = block % kBlocks, by = block / kBlocks;
    std::vector<u8> colour(size_t(kTexels) * kTexels * 2), shade(size_t(kTexels) * kTexels * 2);
    u32 state = block * 7919u + 17;
    for (u32 ty = 0; ty < kTexels; ++ty)
        for (u32 tx = 0; tx < kTexels; ++tx) {
            const double x = bx * 32 + tx / 8.0, y = by * 32 + ty / 8.0;
            const u32 cx = std::min(u32(x), kCells - 1), cy = std::min(u32(y), kCells - 1);
            state = state * 1664525u + 1013904223u;
            const double ground = GroundHeight(x, y);
            const u32 ramp = RampOf(TypeOf(cx, cy));
            double level = ramp == kRampWater ? 28 - (kWaterLevel - ground) / 40.0 : 10 + (ground - 700) / 150.0;
            level += int(state >> 29) - 3;
            const u32 s = u32(std::clamp(level, 0.0, 31.0));
            const size_t at = (size_t(ty) * kTexels + tx) * 2;
            colour[at] = 255;
            colour[at + 1] = u8(ramp * 32 + s);
            const double nx = GroundHeight(x - 0.5, y) - GroundHeight(x + 0.5, y);
            const double ny = GroundHeight(x, y - 0.5) - GroundHeight(x, y + 0.5);
            const double light = ramp == kRampWater ? 0.5 : 0.5 + (nx + ny) / 512.0 * 0.35;
            shade[at] = 255;
            shade[at + 1] = u8(std::clamp(light * 255.0, 0.0, 255.0));
        }
    const std::string index = std::to_string(block);
    AddCollectionBitmap(c, ("colour " + index).c_str(), 0, colour.data(), kTexels, kTexels, 2, nullptr);
    AddCollectionBitmap(c, ("shade " + index).c_str(), 0, shade.data(), kTexels, kTexels, 2, nullptr);
}

// The bitmaps of the first `blocks` blocks of the valley.
DemoTag TerrainCollection(u32 id, const std::string& name, u32 blocks = kBlocks * kBlocks) {
    Collection c;
    InitCollection(&c);
    c.flags = kCollectionTextures;
    FillTerrainPalette(&c);
    for (u32 block = 0; block < blocks; ++block) AddBlockBitmaps(&c, block);
    DemoTag tag;
    tag.group = Id(".256");
    tag.tag_id = id;
    tag.name = name;
    tag.data = EncodeDemoCollection(&c, name);
    tag.user_data = c.flags;
    tag.version = kCollectionTagVersion;
    FreeCollection(&c);
    return tag;
}

// The water's 256-byte record: a slow swell.
DemoTag Media(u32 id, const std::string& name) {
    BigEndianBuffer b;
    b.PutU32(0);
    b.PutU32(0);
    b.PutZeros(16);
    for (int i = 0; i < 16; ++i) b.PutU32(0);
    for (int i = 0; i < 6; ++i) b.PutU16(0);
    b.PutU32(0);
    const u16 values[9] = {40, 40, 96, 800, 800, 1200, 0, 0, 0};  // amplitudes x, z, y; frequencies x, z, y
    for (u16 v : values) b.PutU16(v);
    b.PutZeros(256 - b.size());
    DemoTag tag;
    tag.group = Id("medi");
    tag.tag_id = id;
    tag.name = name;
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

u8 VertexTexture(u32 x, u32 y) {
    switch (RampOf(TypeOf(x, y))) {
        case kRampSand: case kRampMarsh: return 2;  // sand
        case kRampWater: return 3;                  // mud
        case kRampRock: case kRampSnow: case kRampDirt: return 4;  // rock
        default: return 1;                          // grass
    }
}

// Version 2: header, entries at 256, the byte plane and the 16-bit plane
// (its bytes low first) run-length coded. The vertices follow the ground;
// a track of mud is painted across the grass triangle by triangle.
DemoTag DetailMapVersion2(u32 id, const std::string& name) {
    std::vector<u8> bytes(kCells * kCells);
    std::vector<u8> words(2 * kCells * kCells);
    for (u32 row = 0; row < kCells; ++row)
        for (u32 column = 0; column < kCells; ++column) {
            const size_t cell = size_t(row) * kCells + column;
            bytes[cell] = VertexTexture(column, row);
            const int track = int(column) - int(row) / 2 - 30;
            if (track >= 0 && track < 2 && Height(column, row) >= kWaterLevel) {
                words[2 * cell] = 3;
                words[2 * cell + 1] = track == 0 ? 3 : 0;
            }
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
    PutEntry(b, 0xFFFFFFFF, 127, 128, 128, 128, "");
    PutEntry(b, Id("gras"), 63, 40, 160, 40, "Grass on the slopes");
    PutEntry(b, Id("sand"), 95, 220, 200, 120, "Sand by the water");
    PutEntry(b, Id("mud "), 63, 110, 80, 50, "Mud in the valley");
    PutEntry(b, Id("rock"), 127, 120, 120, 120, "Rock on the heights");
    PutEntry(b, Id("gone"), 127, 255, 0, 255, "A texture that no cell uses");
    PutEntry(b, Id("snow"), 127, 250, 250, 250, "Snow for a later winter");
    for (int i = 7; i < 128; ++i) PutEntry(b, 0xFFFFFFFF, 127, 0, 0, 0, "");
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
    constexpr u32 kOldCells = 32;
    BigEndianBuffer b;
    b.PutU32(kOldCells);
    b.PutU32(kOldCells);
    b.PutZeros(12);
    const u32 ids[3] = {Id("gras"), Id("sand"), Id("rock")};
    for (u32 i = 0; i < 128; ++i) b.PutU32(i < 3 ? ids[i] : 0xFFFFFFFF);
    for (u32 i = 0; i < 128; ++i) b.PutU8(i < 3 ? u8(i + 1) : 0);
    b.PutZeros(4);
    for (u32 row = 0; row < kOldCells; ++row)
        for (u32 column = 0; column < kOldCells; ++column) b.PutU8(u8((row / 11 + column / 11) % 3));
    DemoTag tag;
    tag.group = Id("dmap");
    tag.tag_id = id;
    tag.name = name;
    tag.version = 1;
    tag.data = b.bytes();
    return tag;
}

// The ground collection of a one-block mesh: the mesh's id with its first
// letter upper-case ("f001" -> "F001").
u32 GroundCollectionId(u32 mesh_id) {
    const u32 first = mesh_id >> 24;
    const u32 upper = first >= 'a' && first <= 'z' ? first - 'a' + 'A' : first;
    return (upper << 24) | (mesh_id & 0xFFFFFFu);
}

// Every detail texture, detail map and mesh of the archive gets data of its
// kind in place of a placeholder, so that each opens in its editor; a mesh
// is one block of the valley with a ground collection of its own beside
// it. Versions stay as they are.
void FillTerrainTags(DemoArchive& archive) {
    std::vector<DemoTag> grounds;
    for (DemoTag& tag : archive.tags) {
        if (tag.group == Id("dtex")) {
            const u8 shade = u8(90 + (tag.tag_id % 7) * 20);
            tag.data = Texture(tag.tag_id, tag.name, 32, 32, shade, u8(200 - shade / 2), 90).data;
        } else if (tag.group == Id("dmap")) {
            tag.data = DetailMapVersion1(tag.tag_id, tag.name).data;
        } else if (tag.group == Id("mesh")) {
            const u32 ground = GroundCollectionId(tag.tag_id);
            tag.data = Mesh(tag.tag_id, tag.name, tag.version, ground, 0xFFFFFFFF, 1).data;
            grounds.push_back(TerrainCollection(ground, tag.name + " Ground", 1));
        }
    }
    archive.tags.insert(archive.tags.end(), grounds.begin(), grounds.end());
}

}  // namespace

void AddDemoTerrain(DemoGame& game) {
    for (DemoArchive& archive : game.archives) FillTerrainTags(archive);
    DemoArchive terrain;
    terrain.folder = "tags";
    terrain.file_name = "terrain";
    terrain.kind = 2;
    terrain.priority = 3;
    terrain.name = "Zarnhold Terrain";
    terrain.description = "Terrain meshes, their collections, detail maps and detail textures";
    terrain.tags = {
        Texture(Id("gras"), "Grass", 64, 64, 70, 130, 50),
        Texture(Id("sand"), "Sand", 128, 128, 200, 180, 120),
        Texture(Id("rock"), "Rock", 256, 256, 120, 115, 110),
        Texture(Id("snow"), "Snow", 32, 64, 235, 240, 250),
        Texture(Id("wate"), "Water", 64, 64, 60, 100, 150),
        Texture(Id("ston"), "Stone", 128, 64, 140, 135, 130),
        Texture(Id("dirt"), "Dirt", 64, 128, 120, 90, 60),
        Mesh(Id("dv11"), "Demo Valley", 11, Id("dv11"), Id("dvwa"), kBlocks),
        TerrainCollection(Id("dv11"), "Demo Valley"),
        Media(Id("dvwa"), "Demo Valley Water"),
        Mesh(Id("ov10"), "Old Valley", 10, Id("ov10"), 0xFFFFFFFF, 1),
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
