#include "codex/archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "platform/log_capture.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"

using namespace pirn;
using namespace codex_fixture;

namespace {

std::vector<Tag> TwoTags() {
    Tag mesh{Code("mesh"), Code("pl01"), "Plains", Data("abc")};
    mesh.user_data = 0x01020304;
    mesh.version = 11;
    mesh.flags = 0x40;
    Tag text{Code("text"), Code("he01"), "Hello", Data("hello world")};
    return {mesh, text};
}

std::unique_ptr<Archive> Open(const std::string& path) { return std::unique_ptr<Archive>(OpenArchiveFile(path)); }

TEST(ArchiveTest, CurrentArchiveReadsEveryField) {
    pirn_test::TempDir dir;
    std::string path = dir.file("base archive");
    pirn_test::WriteAll(path, ArchiveBytes(2, 7, "Base", TwoTags()));
    auto archive = Open(path);
    ASSERT_TRUE(archive);

    const ArchiveHeader& h = archive->header;
    EXPECT_EQ(h.kind, 2);
    EXPECT_EQ(h.priority, 7);
    EXPECT_STREQ(h.name, "Base");
    EXPECT_STREQ(h.description, "a description");
    EXPECT_EQ(h.map_record_count, 1);
    EXPECT_EQ(h.entry_count, 2);
    EXPECT_EQ(h.file_size, 128u + 112 + 128 + 3 + 11);
    EXPECT_EQ(h.directory_end, 240u);  // the directory offset actually used
    EXPECT_EQ(h.signature, Code("dng2"));
    EXPECT_EQ(archive->path, path);
    EXPECT_EQ(archive->file_name, "base archive");
    EXPECT_FALSE(archive->active);

    ASSERT_EQ(archive->map_records.size(), 1u);
    EXPECT_EQ(archive->map_records[0].tag_id, Code("pl01"));
    EXPECT_STREQ(archive->map_records[0].name, "Plains");
    EXPECT_STREQ(archive->map_records[0].description, "Plains");

    ASSERT_EQ(archive->entries.size(), 2u);
    const TagSource& mesh = archive->entries[0];
    EXPECT_EQ(mesh.archive, archive.get());
    EXPECT_EQ(mesh.precedence, 1u);
    EXPECT_STREQ(mesh.header.name, "Plains");
    EXPECT_EQ(mesh.header.identifier, -1);
    EXPECT_EQ(mesh.header.flags, 0x40);
    EXPECT_EQ(mesh.header.group, Code("mesh"));
    EXPECT_EQ(mesh.header.tag_id, Code("pl01"));
    EXPECT_EQ(mesh.header.data_offset, 368u);
    EXPECT_EQ(mesh.header.data_length, 3u);
    EXPECT_EQ(mesh.header.user_data, 0x01020304u);
    EXPECT_EQ(mesh.header.version, 11);
    EXPECT_EQ(archive->entries[1].header.data_offset, 371u);
    EXPECT_EQ(archive->entries[1].header.data_length, 11u);
}

TEST(ArchiveTest, FirstVersionArchiveIsConvertedOnReading) {
    pirn_test::TempDir dir;
    std::string path = dir.file("old");
    Tag a{Code("soun"), Code("so01"), "Bell", Data("ding")};
    a.version = 3;
    Tag b{Code("text"), Code("tx01"), "Note", Data("")};
    pirn_test::WriteAll(path, FirstVersionArchiveBytes("Old One", {a, b}));
    auto archive = Open(path);
    ASSERT_TRUE(archive);

    const ArchiveHeader& h = archive->header;
    EXPECT_EQ(h.kind, 1);
    EXPECT_EQ(h.priority, 0);
    EXPECT_STREQ(h.name, "Old One");
    EXPECT_EQ(h.map_record_count, 0);
    EXPECT_EQ(h.entry_count, 2);
    EXPECT_EQ(h.directory_end, 52u);
    EXPECT_EQ(h.file_size, 52u + 128);
    EXPECT_EQ(h.signature, Code("zarn"));

    ASSERT_EQ(archive->entries.size(), 2u);
    const TagHeader& first = archive->entries[0].header;
    EXPECT_EQ(archive->entries[0].precedence, 2u);
    EXPECT_STREQ(first.name, "Bell");
    EXPECT_EQ(first.group, Code("soun"));
    EXPECT_EQ(first.version, 3);  // low 16 bits of 0x00070003
    EXPECT_EQ(first.identifier, 0);
    EXPECT_EQ(first.user_data, 0u);
    EXPECT_EQ(first.data_offset, 48u);
    EXPECT_EQ(first.data_length, 4u);
    EXPECT_EQ(first.signature, Code("zarn"));
    EXPECT_EQ(archive->entries[1].header.data_length, 0u);
}

TEST(ArchiveTest, KindDecidesWhetherItOpensAndItsPrecedence) {
    struct Case {
        u16 kind;
        bool opens;
        u32 precedence;
    };
    const Case cases[] = {{0, false, 0}, {1, true, 2}, {2, true, 1}, {3, true, 0}, {4, false, 0},
                          {5, true, 2},  {6, true, 2}, {7, true, 2}, {8, false, 0}, {300, false, 0}};
    pirn_test::TempDir dir;
    for (const Case& c : cases) {
        std::string path = dir.file("kind" + std::to_string(c.kind));
        pirn_test::WriteAll(path, ArchiveBytes(c.kind, 1, "k", TwoTags()));
        auto archive = Open(path);
        EXPECT_EQ(bool(archive), c.opens) << "kind " << c.kind;
        if (archive) {
            EXPECT_EQ(archive->entries[0].precedence, c.precedence) << "kind " << c.kind;
        }
    }
}

TEST(ArchiveTest, NamesWithoutTerminatorKeepThirtyOneCharacters) {
    pirn_test::TempDir dir;
    std::string path = dir.file("long");
    std::string long_name(40, 'n');
    Tag tag{Code("mesh"), Code("lo01"), long_name, Data("x")};
    pirn_test::WriteAll(path, ArchiveBytes(3, 0, long_name, {tag}));
    auto archive = Open(path);
    ASSERT_TRUE(archive);
    EXPECT_EQ(std::string(archive->header.name), std::string(31, 'n'));
    EXPECT_EQ(std::string(archive->header.description), "a description");
    EXPECT_EQ(std::string(archive->entries[0].header.name), std::string(31, 'n'));
    EXPECT_EQ(std::string(archive->map_records[0].name), std::string(31, 'n'));
    EXPECT_EQ(std::string(archive->map_records[0].description), std::string(40, 'n'));
}

// Each case damages a good archive; the reader must refuse it.
TEST(ArchiveTest, DamagedArchivesAreRefused) {
    const std::vector<u8> good = ArchiveBytes(2, 0, "Good", TwoTags());
    const size_t directory = 240;
    struct Case {
        const char* what;
        std::vector<u8> bytes;
    };
    auto with = [&](auto change) {
        std::vector<u8> bytes = good;
        change(bytes);
        return bytes;
    };
    auto put32 = [](std::vector<u8>& b, size_t at, u32 v) {
        for (int i = 0; i < 4; ++i) b[at + i] = u8(v >> (24 - 8 * i));
    };
    std::vector<Case> cases = {
        {"one byte longer than stored", with([](std::vector<u8>& b) { b.push_back(0); })},
        {"one byte shorter than stored", with([](std::vector<u8>& b) { b.pop_back(); })},
        {"wrong signature", with([&](std::vector<u8>& b) { put32(b, 124, Code("dng1")); })},
        {"empty file", {}},
        {"shorter than a first-version header", std::vector<u8>(good.begin(), good.begin() + 47)},
        {"header only", std::vector<u8>(good.begin(), good.begin() + 100)},
        {"entry data past the end", with([&](std::vector<u8>& b) { put32(b, directory + 44, u32(good.size())); })},
        {"entry length past the end", with([&](std::vector<u8>& b) { put32(b, directory + 48, 1000); })},
        {"offset and length wrap 32 bits",
         with([&](std::vector<u8>& b) {
             put32(b, directory + 44, 0xFFFFFFF0u);
             put32(b, directory + 48, 0x20);
         })},
        {"huge entry count", with([](std::vector<u8>& b) { b[102] = 0xFF, b[103] = 0xFF; })},
        {"huge map-record count", with([](std::vector<u8>& b) { b[100] = 0xFF, b[101] = 0xFF; })},
    };
    pirn_test::TempDir dir;
    for (const Case& c : cases) {
        std::string path = dir.file("bad");
        pirn_test::WriteAll(path, c.bytes);
        ScopedLogCapture log;
        EXPECT_FALSE(Open(path)) << c.what;
        ASSERT_EQ(log.messages().size(), 1u) << c.what;
        EXPECT_EQ(log.messages()[0].topic, "Codex");
        EXPECT_NE(log.messages()[0].text.find(path), std::string::npos) << "names the file: " << c.what;
    }
    EXPECT_FALSE(Open(dir.file("missing"))) << "missing file";
    EXPECT_FALSE(Open(dir.path())) << "a folder";
}

TEST(ArchiveTest, DamagedFirstVersionArchivesAreRefused) {
    Tag a{Code("soun"), Code("so01"), "Bell", Data("ding")};
    const std::vector<u8> good = FirstVersionArchiveBytes("Old", {a});
    pirn_test::TempDir dir;
    std::string path = dir.file("old");
    pirn_test::WriteAll(path, good);
    ASSERT_TRUE(Open(path));

    std::vector<u8> bad_version = good;
    bad_version[3] = 2;
    std::vector<u8> count_mismatch = good;
    count_mismatch[45] = 2;
    std::vector<u8> directory_past_end = good;
    directory_past_end[40] = 0x7F;
    std::vector<u8> data_past_end = good;
    data_past_end[52 + 48 + 3] = 0xF0;  // the entry's data offset
    for (const auto& bytes : {bad_version, count_mismatch, directory_past_end, data_past_end}) {
        pirn_test::WriteAll(path, bytes);
        EXPECT_FALSE(Open(path));
    }
}

// Random damage to both versions: every archive that still opens keeps all
// its entries inside the file (the sanitizer run watches the reads).
TEST(ArchiveTest, RandomlyDamagedArchivesOpenOnlyWhenConsistent) {
    Tag a{Code("soun"), Code("so01"), "Bell", Data("ding")};
    const std::vector<std::vector<u8>> originals = {ArchiveBytes(2, 0, "Good", TwoTags()),
                                                    FirstVersionArchiveBytes("Old", {a, a})};
    pirn_test::TempDir dir;
    std::string path = dir.file("fuzzed");
    std::mt19937 random(99);
    ScopedLogCapture quiet;
    for (int round = 0; round < 400; ++round) {
        std::vector<u8> bytes = originals[round % 2];
        for (int hits = 1 + random() % 4; hits > 0; --hits) bytes[random() % bytes.size()] = u8(random());
        if (round % 5 == 0) bytes.resize(random() % bytes.size());
        pirn_test::WriteAll(path, bytes);
        auto archive = Open(path);
        if (!archive) continue;
        for (const TagSource& entry : archive->entries)
            EXPECT_LE(u64{entry.header.data_offset} + entry.header.data_length, bytes.size()) << "round " << round;
    }
}

TEST(ArchiveTest, ParseArchiveHeaderNeedsEveryByteItLooksAt) {
    ArchiveHeader header;
    // A current header claiming a 128-byte file, but only 64 bytes exist.
    std::vector<u8> bytes = ArchiveBytes(2, 0, "x", {});
    EXPECT_EQ(ParseArchiveHeader(&header, bytes.data(), bytes.size(), 128), 1);
    EXPECT_EQ(ParseArchiveHeader(&header, bytes.data(), 64, 64), 0);
    EXPECT_EQ(ParseArchiveHeader(&header, bytes.data(), 0, 0), 0);
}

}  // namespace
