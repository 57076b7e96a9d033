// Detail maps against byte fixtures laid out from the format tables.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "models/detail_map.h"
#include "platform/records.h"
#include "tests/models/models_fixture.h"

namespace {

using pirn::fixture::BigEndianBuffer;
using models_fixture::Code;
using models_fixture::DataFile;
using pirn::u16;
using pirn::u32;
using pirn::u8;

void Entry(BigEndianBuffer& b, u32 id, u8 attribute, u8 r, u8 g, u8 bl, const std::string& description, u8 reserved_fill,
           u8 last_byte) {
    b.PutU32(id);
    b.PutU8(attribute);
    b.PutU8(r);
    b.PutU8(g);
    b.PutU8(bl);
    for (int i = 0; i < 24; ++i) b.PutU8(reserved_fill);
    b.PutChars(description, 31);
    b.PutU8(last_byte);
}

void EmptyEntries(BigEndianBuffer& b, int n) {
    for (int i = 0; i < n; ++i) Entry(b, 0xFFFFFFFF, 0, 0, 0, 0, "", 0, 0);
}

// 3 x 2 cells. Byte plane 5 5 5 7 7 200; 16-bit plane 0x0101 x 4, 0,
// 0x0201, stored as the bytes 01 x 8, 00 00, 01 02. The 16-bit plane is
// placed before the byte plane to show the offsets are followed.
const std::vector<u8> kWordRuns = {0x01, 7, 0x00, 1, 0x01, 0, 0x02, 0};
const std::vector<u8> kByteRuns = {5, 2, 7, 1, 200, 0};

std::vector<u8> Version2Data(const std::vector<u8>& word_runs = kWordRuns, const std::vector<u8>& byte_runs = kByteRuns) {
    BigEndianBuffer b;
    b.PutU32(3);
    b.PutU32(2);
    b.PutU32(u32(8448 + word_runs.size()));  // byte plane
    b.PutU32(0);
    b.PutU32(8448);  // 16-bit plane
    b.PutU32(0);
    b.PutU32(256);   // entry table
    b.PutZeros(228);
    Entry(b, Code("gras"), 3, 10, 20, 30, std::string(31, 'A'), 0xEE, 'Z');
    Entry(b, Code("rock"), 0, 1, 2, 3, "Rock", 0, 0);
    EmptyEntries(b, 126);
    b.PutBytes(word_runs);
    b.PutBytes(byte_runs);
    return b.bytes();
}

TEST(DetailMap, ReadsVersion2AsTheTableLaysItOut) {
    DataFile file(Version2Data(), 2);
    pirn::DetailMap map;
    ASSERT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header(), true), 1);
    EXPECT_EQ(map.width, 3u);
    EXPECT_EQ(map.height, 2u);
    EXPECT_EQ(map.byte_plane, (std::vector<u8>{5, 5, 5, 7, 7, 200}));
    EXPECT_EQ(map.word_plane, (std::vector<u16>{0x0101, 0x0101, 0x0101, 0x0101, 0, 0x0201}));
    const pirn::DetailTextureEntry& e = map.entries[0];
    EXPECT_EQ(e.tag_id, Code("gras"));
    EXPECT_EQ(e.attribute, 3);
    EXPECT_EQ(e.highlight[0], 10);
    EXPECT_EQ(e.highlight[2], 30);
    for (u8 r : e.reserved) EXPECT_EQ(r, 0);
    // The stored byte 63 was 'Z': the description still ends at 31.
    EXPECT_EQ(std::string(e.description), std::string(31, 'A'));
    EXPECT_EQ(std::string(map.entries[1].description), "Rock");
    EXPECT_EQ(map.entries[2].tag_id, 0xFFFFFFFFu);
}

TEST(DetailMap, CapsValuesPast127UnlessAskedForTheStoredOnes) {
    // Cell 5 of the 16-bit plane becomes 0x80FF (bytes FF 80).
    DataFile file(Version2Data({0x01, 7, 0x00, 1, 0xFF, 0, 0x80, 0}), 2);
    pirn::DetailMap map;
    ASSERT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header()), 1);
    EXPECT_EQ(map.byte_plane[5], 127);
    EXPECT_EQ(map.word_plane[5], 0x7F7F);
    ASSERT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header(), true), 1);
    EXPECT_EQ(map.byte_plane[5], 200);
    EXPECT_EQ(map.word_plane[5], 0x80FF);
}

TEST(DetailMap, ReadsVersion1WithAttributesLessOne) {
    BigEndianBuffer b;
    b.PutU32(4);
    b.PutU32(2);
    b.PutZeros(12);
    for (u32 i = 0; i < 128; ++i) b.PutU32(i == 0 ? Code("gras") : i == 1 ? Code("sand") : 0xFFFFFFFF);
    for (u32 i = 0; i < 128; ++i) b.PutU8(i == 0 ? 0 : i == 1 ? 1 : i == 2 ? 5 : 9);
    b.PutZeros(4);
    for (u8 v : {0, 1, 2, 3, 4, 5, 6, 7}) b.PutU8(v);
    DataFile file(b.bytes(), 1);
    pirn::DetailMap map;
    ASSERT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header()), 1);
    EXPECT_EQ(map.width, 4u);
    EXPECT_EQ(map.height, 2u);
    EXPECT_EQ(map.byte_plane, (std::vector<u8>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(map.word_plane, std::vector<u16>(8, 0));
    EXPECT_EQ(map.entries[0].tag_id, Code("gras"));
    EXPECT_EQ(map.entries[1].tag_id, Code("sand"));
    EXPECT_EQ(map.entries[2].tag_id, 0xFFFFFFFFu);
    EXPECT_EQ(map.entries[0].attribute, 0);  // stored 0
    EXPECT_EQ(map.entries[1].attribute, 0);  // stored 1
    EXPECT_EQ(map.entries[2].attribute, 4);  // stored 5
    EXPECT_EQ(map.entries[0].description[0], 0);
}

TEST(DetailMap, WritesVersion2ByteForByte) {
    pirn::DetailMap map;
    ASSERT_TRUE(pirn::SetDetailMapSize(&map, 2, 3));
    map.byte_plane = {9, 9, 9, 9, 1, 2};
    map.word_plane = {0x0302, 0x0302, 0, 0, 0, 0xFF00};
    for (auto& e : map.entries) e.tag_id = 0xFFFFFFFF;
    map.entries[0].tag_id = Code("snow");
    map.entries[0].attribute = 7;
    map.entries[0].highlight[1] = 200;
    pirn::SetDetailTextureDescription(&map.entries[0], std::string(40, 'x').c_str());
    pirn::TagHeader seen{};
    std::vector<u8> written = models_fixture::WrittenData([&](std::FILE* f, pirn::TagHeader* h) {
        h->version = 1;
        bool ok = pirn::WriteDetailMap(map, f, h) == 1;
        seen = *h;
        return ok;
    });
    EXPECT_EQ(seen.version, 2);

    BigEndianBuffer b;
    b.PutU32(2);
    b.PutU32(3);
    b.PutU32(256 + 8192);      // byte plane after the entries
    b.PutU32(0);
    b.PutU32(256 + 8192 + 6);  // 16-bit plane after the byte plane's three pairs
    b.PutU32(0);
    b.PutU32(256);
    b.PutZeros(228);
    Entry(b, Code("snow"), 7, 0, 200, 0, std::string(31, 'x'), 0, 0);
    EmptyEntries(b, 127);
    for (u8 v : {9, 3, 1, 0, 2, 0}) b.PutU8(v);
    // 02 03 02 03 00 x 6 00 FF as pairs.
    for (u8 v : {2, 0, 3, 0, 2, 0, 3, 0, 0, 6, 0xFF, 0}) b.PutU8(v);
    EXPECT_EQ(written, b.bytes());
}

TEST(DetailMap, ReadBackOfWhatWasWrittenKeepsEverything) {
    pirn::DetailMap map;
    ASSERT_TRUE(pirn::SetDetailMapSize(&map, 300, 7));  // runs past 256
    for (size_t i = 0; i < map.byte_plane.size(); ++i) map.byte_plane[i] = u8(i / 290 % 128);
    for (size_t i = 0; i < map.word_plane.size(); ++i) map.word_plane[i] = u16((i / 3 % 128) | (5 << 8));
    std::vector<u8> data = models_fixture::WrittenData(
        [&](std::FILE* f, pirn::TagHeader* h) { return pirn::WriteDetailMap(map, f, h) == 1; });
    DataFile file(data, 2);
    pirn::DetailMap back;
    ASSERT_EQ(pirn::ReadDetailMap(&back, file.stream(), file.header()), 1);
    EXPECT_EQ(back.byte_plane, map.byte_plane);
    EXPECT_EQ(back.word_plane, map.word_plane);
}

TEST(DetailMap, RefusesDamagedData) {
    auto with_u32 = [](std::vector<u8> data, size_t at, u32 v) {
        for (int i = 0; i < 4; ++i) data[at + size_t(i)] = u8(v >> (24 - 8 * i));
        return data;
    };
    const std::vector<u8> good = Version2Data();
    struct Case {
        const char* what;
        std::vector<u8> data;
        u16 version;
    };
    std::vector<u8> cut_rle(good.begin(), good.end() - 3);
    std::vector<u8> short_header(good.begin(), good.begin() + 200);
    for (const Case& c : std::vector<Case>{
             {"version 3", good, 3},
             {"version 0", good, 0},
             {"zero width", with_u32(good, 0, 0), 2},
             {"zero height", with_u32(good, 4, 0), 2},
             // 65536 x 65537 wraps to 65536 in 32 bits.
             {"size wraps 32 bits", with_u32(with_u32(good, 0, 65536), 4, 65537), 2},
             {"entry table past the data", with_u32(good, 24, 0xFFFFFFF0), 2},
             {"entry table overlapping the end", with_u32(good, 24, 8400), 2},
             {"byte plane past the data", with_u32(good, 8, 0xFFFFFFFE), 2},
             {"16-bit plane past the data", with_u32(good, 16, u32(good.size())), 2},
             {"planes bigger than their runs can hold", with_u32(good, 0, 3000), 2},
             {"run-length data cut short", cut_rle, 2},
             {"header cut short", short_header, 2},
         }) {
        DataFile file(c.data, c.version);
        pirn::DetailMap map;
        EXPECT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header()), 0) << c.what;
        EXPECT_TRUE(map.byte_plane.empty()) << c.what;
    }
    pirn::fixture::BigEndianBuffer v1;
    v1.PutU32(4);
    v1.PutU32(2);
    v1.PutZeros(656);
    v1.PutZeros(7);  // one plane byte short
    DataFile file(v1.bytes(), 1);
    pirn::DetailMap map;
    EXPECT_EQ(pirn::ReadDetailMap(&map, file.stream(), file.header()), 0);
}

TEST(DetailMap, DescriptionsKeepTheirNul) {
    pirn::DetailTextureEntry entry;
    std::memset(&entry, 0x55, sizeof(entry));
    pirn::SetDetailTextureDescription(&entry, std::string(32, 'q').c_str());
    EXPECT_EQ(std::strlen(entry.description), 31u);
    EXPECT_EQ(entry.description[31], 0);
}

TEST(DetailMap, LayoutsAreWhole) {
    EXPECT_EQ(pirn::ValidateStructLayout(pirn::kDetailTextureEntryLayout, 11), 11u);
}

TEST(DetailMap, SurvivesRandomDamage) {
    const std::vector<u8> good = Version2Data();
    std::mt19937 random(99);
    for (int round = 0; round < 600; ++round) {
        std::vector<u8> data = good;
        // Damage the header, the planes, or cut the end.
        for (int i = 0; i < 4; ++i) {
            size_t at = round % 2 ? random() % 32 : 8448 + random() % (data.size() - 8448);
            data[at] ^= u8(1u << (random() % 8));
        }
        if (round % 5 == 0) data.resize(random() % data.size());
        DataFile file(data, u16(1 + round % 2));
        pirn::DetailMap map;
        if (pirn::ReadDetailMap(&map, file.stream(), file.header())) {
            EXPECT_EQ(map.byte_plane.size(), size_t(map.width) * map.height);
        }
    }
}

}  // namespace
