// Mesh maps against byte fixtures laid out from the format tables.

#include <gtest/gtest.h>

#include <random>

#include "models/mesh_map.h"
#include "platform/records.h"
#include "tests/models/models_fixture.h"

namespace {

using pirn::fixture::BigEndianBuffer;
using models_fixture::DataFile;
using pirn::u16;
using pirn::u32;
using pirn::u8;

struct Cell {
    u16 w0, w1, flags, w3, w4, w5;
};

// A 1024-byte header (block counts at 8 and 10, the grid at u32@12 +
// u32@24), some filler, then the cells.
std::vector<u8> MeshData(u16 block_columns, u16 block_rows, const std::vector<Cell>& cells, u32 at12 = 1000,
                         u32 at24 = 40) {
    BigEndianBuffer b;
    b.PutU32(0x11111111);
    b.PutU32(0x22222222);
    b.PutU16(block_columns);
    b.PutU16(block_rows);
    b.PutU32(at12);
    b.PutU32(0x33333333);
    b.PutU32(0xFFFFFFFF);  // zeroed field at 20
    b.PutU32(at24);
    b.PutU32(0x44444444);
    while (b.size() < 300) b.PutU8(0x5A);
    b.PutChars("Terrain name", 63);
    b.PutU8('!');  // zeroed byte 363
    while (b.size() < 1008) b.PutU8(0x5A);
    for (int i = 0; i < 16; ++i) b.PutU8(u8(i));
    while (b.size() < at12 + at24) b.PutU8(0xCC);  // filler up to the grid
    for (const Cell& c : cells)
        for (u16 w : {c.w0, c.w1, c.flags, c.w3, c.w4, c.w5}) b.PutU16(w);
    return b.bytes();
}

std::vector<Cell> Grid(u32 columns, u32 rows, u16 flags) {
    std::vector<Cell> cells(size_t(columns) * rows);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = {u16(i), u16(i * 3), flags, 0xAAAA, u16(i + 7), 0xBBBB};
    return cells;
}

TEST(MeshMap, ReadsTheHeaderAndGrid) {
    std::vector<Cell> cells = Grid(32, 64, 0x0100);
    DataFile file(MeshData(1, 2, cells), 11);
    pirn::MeshMap map;
    ASSERT_EQ(pirn::ReadMeshMap(&map, file.stream(), file.header()), 1);
    EXPECT_EQ(map.columns, 32u);
    EXPECT_EQ(map.rows, 64u);
    EXPECT_EQ(map.header.U32At(0), 0x11111111u);
    EXPECT_EQ(map.header.BlockColumns(), 1);
    EXPECT_EQ(map.header.BlockRows(), 2);
    EXPECT_EQ(map.header.U32At(12), 1000u);
    EXPECT_EQ(map.header.U32At(20), 0u);  // zeroed field
    EXPECT_EQ(map.header.bytes[363], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(map.header.bytes + 300)), "Terrain name");
    EXPECT_EQ(map.header.bytes[1015], 7);
    ASSERT_EQ(map.cells.size(), cells.size());
    const pirn::MeshCell& c = map.cells[70];
    EXPECT_EQ(c.word0, 70);
    EXPECT_EQ(c.word1, 210);
    EXPECT_EQ(c.flags, 0x0100);
    EXPECT_EQ(c.word3, 0);  // zeroed on reading
    EXPECT_EQ(c.word4, 77);
    EXPECT_EQ(c.word5, 0);
}

TEST(MeshMap, FlagPassMarksInnerCellsOfFullBlocks) {
    std::vector<Cell> cells = Grid(32, 32, 0x4200 | 0x0100);
    // A 2 x 2 block at rows 4-5, columns 6-7 with 0x800 and 0x1000.
    for (u32 r : {4u, 5u})
        for (u32 c : {6u, 7u}) cells[r * 32 + c].flags |= 0x1800;
    // Three of four around (10, 11): no mark.
    for (auto rc : {std::pair<u32, u32>{10, 10}, {10, 11}, {11, 10}}) cells[rc.first * 32 + rc.second].flags |= 0x1800;
    // Row 0 / column 0 cells stay as read even with full neighbours.
    cells[0].flags |= 0x1800;
    cells[1].flags |= 0x1800;
    DataFile file(MeshData(1, 1, cells), 11);
    pirn::MeshMap map;
    ASSERT_EQ(pirn::ReadMeshMap(&map, file.stream(), file.header()), 1);
    auto flags = [&](u32 r, u32 c) { return map.cells[r * 32 + c].flags; };
    EXPECT_EQ(flags(5, 7), 0x1800 | 0x0100 | 0x0400);
    EXPECT_EQ(flags(4, 7), 0x1800 | 0x0100);  // its row above lacks the bits
    EXPECT_EQ(flags(11, 11), 0x0100);
    EXPECT_EQ(flags(0, 1), 0x4200 | 0x0100 | 0x1800);  // row 0 untouched
    EXPECT_EQ(flags(3, 0), 0x4200 | 0x0100);           // column 0 untouched
    EXPECT_EQ(flags(3, 3), 0x0100);                    // 0x200 and 0x4000 cleared
}

TEST(MeshMap, RefusesOtherVersionsAndDamagedData) {
    std::vector<Cell> cells = Grid(32, 32, 0);
    const std::vector<u8> good = MeshData(1, 1, cells);
    std::vector<u8> short_grid(good.begin(), good.end() - 12);
    struct Case {
        const char* what;
        std::vector<u8> data;
        u16 version;
    };
    for (const Case& c : std::vector<Case>{
             {"version 10", good, 10},
             {"version 12", good, 12},
             {"grid cut short", short_grid, 11},
             {"no blocks", MeshData(0, 1, {}), 11},
             // 0xFFFFFFF0 + 0x400 wraps to 0x3F0 in 32 bits.
             {"offsets wrap 32 bits", MeshData(1, 1, {}, 0xFFFFFFF0, 0x400), 11},
             {"grid past the data", MeshData(2000, 2000, cells), 11},
             {"header cut short", std::vector<u8>(good.begin(), good.begin() + 1000), 11},
         }) {
        DataFile file(c.data, c.version);
        pirn::MeshMap map;
        EXPECT_EQ(pirn::ReadMeshMap(&map, file.stream(), file.header()), 0) << c.what;
        EXPECT_EQ(pirn::LoadMeshMap(file.stream(), file.header()), nullptr) << c.what;
    }
}

TEST(MeshMap, LayoutsAreWhole) {
    EXPECT_NE(pirn::ValidateStructLayout(pirn::kMeshMapHeaderLayout, 200), 0u);
    EXPECT_EQ(pirn::LayoutDiskSize(pirn::kMeshMapHeaderLayout), 1024u);
    EXPECT_EQ(pirn::ValidateStructLayout(pirn::kMeshCellLayout, 9), 9u);
}

TEST(MeshMap, SurvivesRandomDamage) {
    const std::vector<u8> good = MeshData(1, 1, Grid(32, 32, 0x1800));
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        std::vector<u8> data = good;
        for (int i = 0; i < 3; ++i) data[random() % 32] ^= u8(1u << (random() % 8));
        if (round % 4 == 0) data.resize(random() % data.size());
        DataFile file(data, 11);
        pirn::MeshMap map;
        if (pirn::ReadMeshMap(&map, file.stream(), file.header())) {
            EXPECT_EQ(map.cells.size(), size_t(map.columns) * map.rows);
        }
    }
}

}  // namespace
