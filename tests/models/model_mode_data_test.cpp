#include "models/model_mode_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "platform/scratch_stream.h"
#include "tests/support/allocation_meter.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

using namespace pirn;
using pirn::fixture::BigEndianBuffer;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

TagHeader DataHeader(u32 data_offset, u32 data_length) {
    TagHeader header = MakeTagHeader(MakeFourCC("mode"), MakeFourCC("m001"), "m");
    header.data_offset = data_offset;
    header.data_length = data_length;
    return header;
}

std::vector<u8> FileBytes(std::FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    std::vector<u8> bytes(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    return bytes;
}

std::vector<std::pair<int, int>> CellsOf(const ModeData& mode) {
    std::vector<std::pair<int, int>> cells;
    for (const ModeCell& cell : mode.cells) {
        EXPECT_EQ(cell.value, 2);
        cells.push_back({static_cast<i16>(cell.axis0), static_cast<i16>(cell.axis1)});
    }
    return cells;
}

TEST(ModeCells, BoundsCoverWholeCellsOf512Units) {
    struct Case {
        const char* what;
        i16 bounds[6];
        std::vector<std::pair<int, int>> cells;
    };
    const Case cases[] = {
        {"512..1024 on axis 0 is cell 1 only", {512, 0, 0, 1024, 512, 0}, {{1, 0}}},
        {"-512..0", {-512, 0, 0, 0, 512, 0}, {{-1, 0}}},
        {"one unit either side of zero", {-1, -1, 0, 1, 1, 0}, {{-1, -1}, {0, -1}, {-1, 0}, {0, 0}}},
        {"flat on a cell edge of axis 1", {0, 512, 0, 512, 512, 0}, {}},
        {"flat inside a cell", {0, 100, 0, 512, 100, 0}, {{0, 0}}},
        {"100..700 by 0..512", {100, 0, 0, 700, 512, 0}, {{0, 0}, {1, 0}}},
        {"axis 1 outer, axis 0 inner", {0, 0, 0, 1024, 1024, 0}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {"the whole range", {-32768, -513, 0, -32767, -512, 0}, {{-64, -2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModeData mode;
        AddModeCellsForBounds(&mode, c.bounds);
        EXPECT_EQ(CellsOf(mode), c.cells);
    }
}

// The 'mode' of a three-vertex geometry over cell (-1, 0), from the tables:
// header, 8 bytes never written, then the sections from byte 72.
std::vector<u8> ExpectedModeBytes() {
    BigEndianBuffer b;
    b.PutU32(0);
    b.PutU32(MakeFourCC("geo1"));
    b.PutU16(0);
    b.PutU16(3);  // vertex words
    b.PutU16(1);  // records
    b.PutU16(1);  // cells
    b.PutU32(0);
    b.PutU32(12);
    b.PutU32(0);
    b.PutU32(12);
    b.PutU32(64);
    b.PutU32(0);
    b.PutU32(76);
    b.PutU32(8);
    b.PutU32(0);
    b.PutU32(72);  // sections start
    b.PutU32(84);  // total
    b.PutU32(0);
    b.PutZeros(8);
    b.PutZeros(12);
    b.PutZeros(64);
    b.PutU16(0xFFFF);
    b.PutU16(0);
    b.PutU16(2);
    b.PutU16(0);
    return b.bytes();
}

GeomData ThreeVertexGeom() {
    GeomData geom;
    SetGeomVertexCount(&geom, 3);
    const float bounds[6] = {0, 0, 0, 1, 1, 1}, pivot[3] = {0, 0, 0};
    // Stored axis 0 runs -512..0, axis 1 0..512.
    SetGeomHeader(&geom, 1, bounds, pivot);
    return geom;
}

TEST(ModeData, BuiltTagIsWrittenAsTheTablesLayItOut) {
    ModeData mode;
    BuildModeData(ThreeVertexGeom(), MakeFourCC("geo1"), &mode);
    File file(pirn::OpenScratchFile());
    ASSERT_EQ(WriteModeData(&mode, file.get(), DataHeader(0, 0)), 1);
    EXPECT_EQ(FileBytes(file.get()), ExpectedModeBytes());
}

TEST(ModeData, WrittenAtTheTagsDataOffset) {
    ModeData mode;
    BuildModeData(ThreeVertexGeom(), MakeFourCC("geo1"), &mode);
    File file(pirn::OpenScratchFile());
    const std::vector<u8> before(64, 0xAB);
    std::fwrite(before.data(), 1, before.size(), file.get());
    ASSERT_EQ(WriteModeData(&mode, file.get(), DataHeader(64, 0)), 1);
    std::vector<u8> bytes = FileBytes(file.get());
    EXPECT_EQ(std::vector<u8>(bytes.begin(), bytes.begin() + 64), before);
    EXPECT_EQ(std::vector<u8>(bytes.begin() + 64, bytes.end()), ExpectedModeBytes());
}

TEST(ModeData, HandBuiltTagReadsBack) {
    std::vector<u8> bytes = ExpectedModeBytes();
    bytes[8] = 0x77;        // reserved, read as zero
    bytes[72 + 12] = 0x77;  // record's first word, read as zero
    bytes[72 + 12 + 5] = 'n';
    File file(pirn::OpenScratchFile());
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    ModeData mode;
    ASSERT_EQ(ReadModeData(&mode, file.get(), DataHeader(0, u32(bytes.size()))), 1);
    EXPECT_EQ(mode.header.geom_tag_id, MakeFourCC("geo1"));
    EXPECT_EQ(mode.header.reserved_8, 0);
    EXPECT_EQ(mode.vertex_words.size(), 3u);
    ASSERT_EQ(mode.records.size(), 1u);
    EXPECT_EQ(mode.records[0].reserved_0, 0);
    EXPECT_EQ(mode.records[0].name[3], 'n');
    ASSERT_EQ(mode.cells.size(), 1u);
    EXPECT_EQ(mode.cells[0].axis0, 0xFFFF);

    EXPECT_EQ(ReadModeData(&mode, file.get(), DataHeader(0, u32(bytes.size()) - 1)), 0);
}

// The three 16-bit counts are checked against the data before anything is
// sized by them: a 72-byte tag once took almost 5 MB.
TEST(ModeData, WhatTheReaderHoldsIsBoundedByTheTagsBytes) {
    const std::vector<u8> good = ExpectedModeBytes();
    const std::vector<u8> header_only(good.begin(), good.begin() + 72);
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        std::vector<size_t> counts_at_max;  // offsets of u16 counts set to 65535
        bool reads;
    };
    const Case cases[] = {
        {"a header alone claiming 65535 of everything", header_only, {10, 12, 14}, false},
        {"a whole tag claiming 65535 cells", good, {14}, false},
        {"a whole tag claiming 65535 records", good, {12}, false},
        {"the tag as it is", good, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<u8> bytes = c.bytes;
        for (size_t at : c.counts_at_max) bytes[at] = bytes[at + 1] = 0xFF;
        File file(pirn::OpenScratchFile());
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        ModeData mode;
        pirn_test::AllocationMeter meter;
        EXPECT_EQ(ReadModeData(&mode, file.get(), DataHeader(0, u32(bytes.size()))), c.reads ? 1 : 0);
        EXPECT_LE(meter.PeakBytes(), 4 * bytes.size() + 1024);
        if (c.reads) {
            EXPECT_GE(meter.PeakBytes(), size_t{12 + 64 + 8}) << "the meter sees the sections read";
        }
    }
}

}  // namespace
