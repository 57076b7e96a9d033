#include "models/geom_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "models/geom_from_model.h"
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

// Tag data placed after a 64-byte stand-in for the tag header.
constexpr u32 kDataOffset = 64;

TagHeader DataHeader(u32 data_length) {
    TagHeader header = MakeTagHeader(MakeFourCC("geom"), MakeFourCC("g001"), "g");
    header.data_offset = kDataOffset;
    header.data_length = data_length;
    return header;
}

File StreamWith(const std::vector<u8>& data) {
    File file(pirn::OpenScratchFile());
    const std::vector<u8> before(kDataOffset, 0xEE);
    std::fwrite(before.data(), 1, before.size(), file.get());
    std::fwrite(data.data(), 1, data.size(), file.get());
    std::fflush(file.get());
    return file;
}

std::vector<u8> DataOf(std::FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::vector<u8> bytes(static_cast<size_t>(size));
    std::fseek(file, 0, SEEK_SET);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    return std::vector<u8>(bytes.begin() + kDataOffset, bytes.end());
}

// The 'geom' of one triangle over three vertices, laid out from the field
// tables by hand: model points (0,1,0), (1,1,0), (0,1,1) stored as (-x, z, y)
// x 512; the normal along stored axis 2; plane distance -(16384 x 512).
std::vector<u8> OneTriangleGeomBytes() {
    BigEndianBuffer b;
    // Header.
    b.PutU32(0);
    b.PutU32(MakeFourCC("cor1"));
    b.PutU16(1);  // materials
    b.PutU16(3);  // vertices
    b.PutU16(1);  // triangles
    b.PutU16(0);
    b.PutU16(0xFF00);  // pivot (0.5, -1, 2): -256, 2 x 512, -512
    b.PutU16(0x0400);
    b.PutU16(0xFE00);
    b.PutZeros(6);
    b.PutU32(0);   // materials offset
    b.PutU32(64);  // size
    b.PutU32(0);
    b.PutU32(64);  // vertices
    b.PutU32(18);
    b.PutU32(0);
    b.PutU32(82);  // triangles
    b.PutU32(64);
    b.PutU32(0);
    b.PutZeros(8);  // fourth pair
    b.PutU32(0);
    b.PutU32(128);  // header size
    b.PutU32(146);  // total
    b.PutU32(0);
    // Bounds: minima then maxima of stored axes 0, 1, 2.
    for (u16 v : {0xFE00, 0x0000, 0x0200, 0x0000, 0x0200, 0x0200}) b.PutU16(v);
    b.PutZeros(26);
    b.PutU16(0);
    // Material.
    b.PutText("bark", 32);
    b.PutU16(0);
    b.PutZeros(6);
    b.PutZeros(24);
    // Vertices.
    for (u16 v : {0x0000, 0x0000, 0x0200, 0xFE00, 0x0000, 0x0200, 0x0000, 0x0200, 0x0200}) b.PutU16(v);
    // Triangle.
    b.PutU16(0);  // flags
    b.PutU16(0);  // normal
    b.PutU16(0);
    b.PutU16(0x4000);
    b.PutU32(0xFF800000u);  // plane distance
    b.PutZeros(12);
    b.PutU16(0x7F7F);  // transparency of alpha 128
    b.PutU16(0);       // material
    for (u16 v : {0x0000, 0x0000, 0x0000, 0x0000,    // v, u, vertex, 0
                  0x0000, 0xFFFF, 0x0001, 0x0000,    // u = 1
                  0xFFFF, 0x7FFF, 0x0002, 0x0000})   // v = 1, u = 0.5
        b.PutU16(v);
    for (u16 v : {0xFFFF, 0xFFFF, 0xFFFF, 0x0000, 0xFFFF, 0x0000}) b.PutU16(v);
    return b.bytes();
}

std::unique_ptr<ModelObject> OneTriangleModel() {
    auto model = std::make_unique<ModelObject>();
    model->vertices = {{0, 1, 0}, {1, 1, 0}, {0, 1, 1}};
    ModelTriangle t;
    t.texture = 0;
    t.colour = 0x80FFFFFFu;
    t.corners[0].vertex = 0;
    t.corners[1].vertex = 1;
    t.corners[1].u = 1;
    t.corners[2].vertex = 2;
    t.corners[2].u = 0.5f;
    t.corners[2].v = 1;
    model->triangles.push_back(t);
    model->textures.emplace_back();
    model->textures[0].name = "bark";
    ComputeModelBounds(model.get());
    model->pivot[0] = 0.5f;
    model->pivot[1] = -1;
    model->pivot[2] = 2;
    return model;
}

TEST(GeomData, BuiltModelIsWrittenAsTheTablesLayItOut) {
    auto model = OneTriangleModel();
    GeomData geom;
    std::string message;
    ASSERT_TRUE(BuildGeomData(*model, MakeFourCC("cor1"), &geom, &message)) << message;
    File file(pirn::OpenScratchFile());
    const std::vector<u8> expected = OneTriangleGeomBytes();
    ASSERT_EQ(WriteGeomData(&geom, file.get(), DataHeader(0)), 1);
    EXPECT_EQ(DataOf(file.get()), expected);
    EXPECT_EQ(geom.header.total_size, 146u);
}

TEST(GeomData, HandBuiltTagReadsField) {
    const std::vector<u8> bytes = OneTriangleGeomBytes();
    File file = StreamWith(bytes);
    GeomData geom;
    ASSERT_EQ(ReadGeomData(&geom, file.get(), DataHeader(u32(bytes.size()))), 1);
    EXPECT_EQ(geom.header.core_tag_id, MakeFourCC("cor1"));
    EXPECT_EQ(geom.header.pivot[0], -256);
    EXPECT_EQ(geom.header.bounds[0], -512);
    EXPECT_EQ(geom.header.header_size, 128u);
    ASSERT_EQ(geom.materials.size(), 1u);
    EXPECT_STREQ(geom.materials[0].name, "bark");
    ASSERT_EQ(geom.vertices.size(), 3u);
    EXPECT_EQ(geom.vertices[1].axis[0], -512);
    ASSERT_EQ(geom.triangles.size(), 1u);
    const GeomTriangle& t = geom.triangles[0];
    EXPECT_EQ(t.normal[2], 16384);
    EXPECT_EQ(t.plane_distance, -8388608);
    EXPECT_EQ(t.transparency, 0x7F7F);
    EXPECT_EQ(t.corners[2].u, 0x7FFF);
    EXPECT_EQ(t.corners[2].v, 0xFFFF);
    EXPECT_EQ(t.corners[2].vertex, 2);
    EXPECT_EQ(t.marks_52[1], 0xFFFF);

    // Read and written again, the data come back byte for byte.
    File out(pirn::OpenScratchFile());
    ASSERT_EQ(WriteGeomData(&geom, out.get(), DataHeader(0)), 1);
    EXPECT_EQ(DataOf(out.get()), bytes);
}

TEST(GeomData, ReaderFollowsOffsetsAndZeroesReservedFields) {
    std::vector<u8> bytes = OneTriangleGeomBytes();
    // Reserved bytes set: they must read back as zero.
    bytes[22] = 0x55;
    bytes[36] = 0x55;
    bytes[126] = 0x55;
    bytes[128 + 31] = 'X';   // material name byte 31
    bytes[128 + 40] = 0x55;  // material reserved
    bytes[128 + 64 + 18 + 62] = 0x55;  // triangle reserved
    // Move the vertices and triangles 6 bytes further on.
    bytes.insert(bytes.begin() + 128 + 64, 6, 0xCC);
    bytes[43] = 64 + 6;
    bytes[55] = 82 + 6;
    File file = StreamWith(bytes);
    GeomData geom;
    ASSERT_EQ(ReadGeomData(&geom, file.get(), DataHeader(u32(bytes.size()))), 1);
    EXPECT_EQ(geom.header.reserved_22[0], 0);
    EXPECT_EQ(geom.header.reserved_36, 0u);
    EXPECT_EQ(geom.header.reserved_126, 0);
    EXPECT_EQ(geom.materials[0].name[31], 0);
    EXPECT_EQ(geom.materials[0].reserved[8], 0);
    EXPECT_EQ(geom.triangles[0].reserved_62, 0);
    EXPECT_EQ(geom.vertices[2].axis[1], 0x200);
    EXPECT_EQ(geom.triangles[0].plane_distance, -8388608);
}

TEST(GeomData, SectionsOutsideTheTagDataAreRefused) {
    const std::vector<u8> good = OneTriangleGeomBytes();
    struct Case {
        const char* what;
        size_t at;
        u8 value;
        u32 data_length;
    };
    const Case cases[] = {
        {"data shorter than the header", 0, 0, 100},
        {"more triangles than the data hold", 13, 2, u32(good.size())},
        {"triangle offset past the end", 55, 0xF0, u32(good.size())},
        {"vertex offset near 4 GiB", 40, 0xFF, u32(good.size())},
        {"sections start past the end", 79, 0xFF, u32(good.size())},
        {"data length beyond the file", 0, 0, u32(good.size() + 64)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<u8> bytes = good;
        bytes[c.at] = c.value == 0 ? bytes[c.at] : c.value;
        if (c.data_length > bytes.size()) bytes.resize(bytes.size() - 10);
        File file = StreamWith(bytes);
        GeomData geom;
        EXPECT_EQ(ReadGeomData(&geom, file.get(), DataHeader(c.data_length)), 0);
    }
}

// The counts in the header are 16 bits each: believed before the sections
// were checked against the data, they made a 128-byte tag take about 9 MB.
// What the reader holds must stay within a few times the tag's own bytes.
TEST(GeomData, WhatTheReaderHoldsIsBoundedByTheTagsBytes) {
    const std::vector<u8> good = OneTriangleGeomBytes();
    const std::vector<u8> header_only(good.begin(), good.begin() + 128);
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        std::vector<size_t> counts_at_max;  // offsets of u16 counts set to 65535
        bool reads;
    };
    const Case cases[] = {
        {"a header alone claiming 65535 of everything", header_only, {8, 10, 12}, false},
        {"a whole tag claiming 65535 triangles", good, {12}, false},
        {"a whole tag claiming 65535 materials", good, {8}, false},
        {"the tag as it is", good, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<u8> bytes = c.bytes;
        for (size_t at : c.counts_at_max) bytes[at] = bytes[at + 1] = 0xFF;
        File file = StreamWith(bytes);
        GeomData geom;
        pirn_test::AllocationMeter meter;
        EXPECT_EQ(ReadGeomData(&geom, file.get(), DataHeader(u32(bytes.size()))), c.reads ? 1 : 0);
        EXPECT_LE(meter.PeakBytes(), 4 * bytes.size() + 1024);
        if (c.reads) {
            EXPECT_GE(meter.PeakBytes(), size_t{64 + 18 + 64}) << "the meter sees the sections read";
        }
    }
}

TEST(GeomData, AnEmptySectionIsWrittenWhereThePreviousOneEnds) {
    // Its stored offset is not looked at on reading; seeking there on
    // writing made a gigabyte-long tag, or one whose offset lay past its end.
    for (const u8 offset_high : {u8(0x40), u8(0)}) {
        SCOPED_TRACE(offset_high ? "offset 0x40000090" : "offset 144, inside the data");
        std::vector<u8> bytes = OneTriangleGeomBytes();
        bytes[13] = 0;  // no triangles
        bytes[52] = offset_high;
        bytes[55] = 144;
        File file = StreamWith(bytes);
        GeomData geom;
        ASSERT_EQ(ReadGeomData(&geom, file.get(), DataHeader(u32(bytes.size()))), 1);
        File out(pirn::OpenScratchFile());
        ASSERT_EQ(WriteGeomData(&geom, out.get(), DataHeader(0)), 1);
        const std::vector<u8> written = DataOf(out.get());
        EXPECT_EQ(written.size(), 128u + 64 + 18);
        EXPECT_EQ((u32{written[52]} << 24 | u32{written[53]} << 16 | u32{written[54]} << 8 | written[55]), 82u)
            << "where the vertices end";
        File back = StreamWith(written);
        GeomData again;
        EXPECT_EQ(ReadGeomData(&again, back.get(), DataHeader(u32(written.size()))), 1);
    }
}

TEST(GeomData, EmptySectionsAreWrittenEmpty) {
    GeomData geom;
    const float bounds[6] = {0, 0, 0, 0, 0, 0}, pivot[3] = {0, 0, 0};
    SetGeomHeader(&geom, 7, bounds, pivot);
    File file(pirn::OpenScratchFile());
    ASSERT_EQ(WriteGeomData(&geom, file.get(), DataHeader(0)), 1);
    const std::vector<u8> data = DataOf(file.get());
    ASSERT_EQ(data.size(), 128u);
    EXPECT_EQ(data[7], 7);
    EXPECT_EQ(data[79], 128);
    EXPECT_EQ(data[83], 0);  // total

    File back = StreamWith(data);
    GeomData read;
    EXPECT_EQ(ReadGeomData(&read, back.get(), DataHeader(128)), 1);
    EXPECT_TRUE(read.triangles.empty());
}

TEST(GeomData, SectionsBeyondSixteenBitCountsAreNotWritten) {
    GeomData geom;
    SetGeomVertexCount(&geom, 0x10000);
    File file(pirn::OpenScratchFile());
    EXPECT_EQ(WriteGeomData(&geom, file.get(), DataHeader(0)), 0);
}

TEST(GeomConversions, StoredUnitsTruncateTowardZeroAndClamp) {
    const struct {
        float value;
        i16 stored;
    } cases[] = {{1.0f, 512},          {-1.0f, -512},        {0.0019f, 0},          {-0.0019f, 0},
                 {0.5f / 512 + 1, 512}, {63.999f, 32767},    {-64.0f, -32768},      {64.0f, 32767},
                 {1e30f, 32767},        {-1e30f, -32768},    {std::nanf(""), 0}};
    for (const auto& c : cases) EXPECT_EQ(GeomStoredUnits(c.value), c.stored) << c.value;

    const struct {
        float value;
        u16 stored;
    } fractions[] = {{0, 0}, {1, 65535}, {0.5f, 32767}, {1.5f, 65535}, {-0.2f, 0}, {std::nanf(""), 0}};
    for (const auto& c : fractions) EXPECT_EQ(GeomTextureFraction(c.value), c.stored) << c.value;
}

TEST(GeomSetters, HeaderOrdersEachBoundsAxisAfterNegation) {
    GeomData geom;
    const float bounds[6] = {-1, -2, -3, 2, 4, 6};
    const float pivot[3] = {1, 2, 3};
    SetGeomHeader(&geom, 0x11223344, bounds, pivot);
    const i16 expected[6] = {-1024, -1536, -1024, 512, 3072, 2048};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(geom.header.bounds[i], expected[i]) << i;
    EXPECT_EQ(geom.header.pivot[0], -512);
    EXPECT_EQ(geom.header.pivot[1], 1536);
    EXPECT_EQ(geom.header.pivot[2], 1024);
    EXPECT_EQ(geom.header.core_tag_id, 0x11223344u);
}

TEST(GeomSetters, TriangleNormalPlaneAndTransparency) {
    GeomData geom;
    SetGeomVertexCount(&geom, 4);
    SetGeomVertex(&geom, 0, 0, 0, 2);   // stored (0, 1024, 0)
    SetGeomVertex(&geom, 1, -1, 0, 2);  // (512, 1024, 0)
    SetGeomVertex(&geom, 2, 0, 1, 2);   // (0, 1024, 512)
    SetGeomVertex(&geom, 3, 0, 2, 2);   // on the line through 0 and 2
    SetGeomTriangleCount(&geom, 2);
    const u16 corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (u32 t = 0; t < 2; ++t)
        for (int c = 0; c < 3; ++c) SetGeomCorner(&geom, t, c, corners[t][c], 0, 0);
    SetGeomTriangle(&geom, 0, 0, 5, 255);
    SetGeomTriangle(&geom, 1, 1, 0, 0);
    const GeomTriangle& t = geom.triangles[0];
    // (c2 - c0) x (c1 - c0) = (0,0,512) x (512,0,0) = +axis 1.
    EXPECT_EQ(t.normal[0], 0);
    EXPECT_EQ(t.normal[1], 16384);
    EXPECT_EQ(t.normal[2], 0);
    EXPECT_EQ(t.plane_distance, -16384 * 1024);
    EXPECT_EQ(t.transparency, 0);
    EXPECT_EQ(t.material, 5);
    const GeomTriangle& flat = geom.triangles[1];
    EXPECT_EQ(flat.normal[0], 0);
    EXPECT_EQ(flat.normal[1], 0);
    EXPECT_EQ(flat.normal[2], 0);
    EXPECT_EQ(flat.plane_distance, 0);
    EXPECT_EQ(flat.transparency, 65535);
    EXPECT_EQ(flat.flags, 1);
}

TEST(GeomSetters, MaterialNamesKeepThirtyOneCharacters) {
    GeomData geom;
    SetGeomMaterialCount(&geom, 1);
    SetGeomMaterial(&geom, 0, std::string(40, 'm'), 3);
    EXPECT_EQ(std::string(geom.materials[0].name), std::string(31, 'm'));
    EXPECT_EQ(geom.materials[0].sequence_index, 3);
}

// --- What a geometry can hold ------------------------------------------------------

TEST(GeomFromModel, ModelsBeyondSixteenBitFieldsAreRefusedWithAMessage) {
    struct Case {
        const char* what;
        void (*change)(ModelObject*);
        const char* says;
    };
    const Case cases[] = {
        {"65536 vertices", [](ModelObject* m) { m->vertices.resize(65536); }, "65536 vertices"},
        {"65536 triangles",
         [](ModelObject* m) { m->triangles.resize(65536, m->triangles[0]); }, "65536 triangles"},
        {"65536 textures", [](ModelObject* m) { m->textures.resize(65536); }, "65536 textures"},
        {"x at -64 stores +32768", [](ModelObject* m) { m->vertices[1].x = -64; }, "Vertex 1"},
        {"y at 64", [](ModelObject* m) { m->vertices[2].y = 64; }, "Vertex 2"},
        {"z far away", [](ModelObject* m) { m->vertices[0].z = 1e9f; }, "Vertex 0"},
        {"not a number", [](ModelObject* m) { m->vertices[0].x = std::nanf(""); }, "Vertex 0"},
        {"bounds", [](ModelObject* m) { m->bounds[4] = 100; }, "bounds"},
        {"pivot", [](ModelObject* m) { m->pivot[2] = -70; }, "pivot"},
        {"corner beyond the vertices", [](ModelObject* m) { m->triangles[0].corners[2].vertex = 3; },
         "uses vertex 3 of 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = OneTriangleModel();
        c.change(model.get());
        GeomData geom;
        std::string message;
        EXPECT_FALSE(BuildGeomData(*model, 1, &geom, &message));
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
    }
}

TEST(GeomFromModel, LimitsThemselvesAreAccepted) {
    auto model = OneTriangleModel();
    model->vertices[0].x = 64;        // stored -32768
    model->vertices[1].y = -64;       // stored -32768
    model->vertices[2].z = 63.998f;   // stored 32766
    model->vertices.resize(65535, model->vertices[0]);
    model->triangles[0].corners[1].u = 2.5f;
    model->triangles[0].corners[1].v = -1;
    ComputeModelBounds(model.get());
    GeomData geom;
    std::string message;
    ASSERT_TRUE(BuildGeomData(*model, 1, &geom, &message)) << message;
    EXPECT_EQ(geom.vertices[0].axis[0], -32768);
    EXPECT_EQ(geom.vertices[1].axis[2], -32768);
    EXPECT_EQ(geom.triangles[0].corners[1].u, 65535);
    EXPECT_EQ(geom.triangles[0].corners[1].v, 0);
    EXPECT_EQ(geom.vertices.size(), 65535u);
}

TEST(GeomFromModel, UntexturedTrianglesGetNoMaterial) {
    auto model = OneTriangleModel();
    model->triangles[0].texture = kNoModelTexture;
    GeomData geom;
    ASSERT_TRUE(BuildGeomData(*model, 1, &geom, nullptr));
    EXPECT_EQ(geom.triangles[0].material, kGeomNoMaterial);
    EXPECT_EQ(geom.materials.size(), 1u);
}

}  // namespace
