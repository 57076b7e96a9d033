// Adobe Color Table files against bytes laid out from the format's table:
// 768 bytes of red, green, blue; then, below 256 colours, a big-endian u16
// count and u16 transparent index 0xFFFF.

#include "platform/act_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn {
namespace {

using fixture::BigEndianBuffer;

std::vector<u8> Table(u32 colours) {
    std::vector<u8> table(kActTableSize, 0);
    for (u32 i = 0; i < colours; ++i) {
        table[i * 3] = u8(i);
        table[i * 3 + 1] = u8(255 - i);
        table[i * 3 + 2] = u8(i * 7);
    }
    return table;
}

// The file as the format lays it out, from the colour values themselves.
std::vector<u8> ActBytes(u32 colours, bool withCount, u16 count, u16 transparent = 0xFFFF) {
    BigEndianBuffer b;
    for (u32 i = 0; i < 256; ++i) {
        const bool used = i < colours;
        b.PutU8(used ? u8(i) : 0);
        b.PutU8(used ? u8(255 - i) : 0);
        b.PutU8(used ? u8(i * 7) : 0);
    }
    if (withCount) {
        b.PutU16(count);
        b.PutU16(transparent);
    }
    return b.bytes();
}

class ActFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.file(name); }
    pirn_test::TempDir dir_;
};

TEST_F(ActFileTest, WritesTheTableAndTheCountOnlyBelow256) {
    struct Case {
        u32 colours;
        std::vector<u8> expected;
    } cases[] = {
        {16, ActBytes(16, true, 16)},  // 48 bytes of colour, zeros, 16, 0xFFFF: 772 bytes
        {0, ActBytes(0, true, 0)},
        {255, ActBytes(255, true, 255)},
        {256, ActBytes(256, false, 0)},  // exactly 768 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colours);
        // Entries past the count are written as zeros whatever the table holds.
        const std::vector<u8> table = Table(256);
        ASSERT_EQ(WriteActFile(Path("out.act"), table.data(), c.colours), 1);
        EXPECT_EQ(pirn_test::ReadAll(Path("out.act")), c.expected);
    }
    EXPECT_EQ(ActBytes(16, true, 16).size(), 772u);
}

TEST_F(ActFileTest, ReadsTheCountAndZeroesTheUnusedEntries) {
    struct Case {
        const char* what;
        std::vector<u8> file;
        int read;
        u32 count;
        u32 colours;  // entries expected to hold their values
    } cases[] = {
        {"768 bytes hold 256 colours", ActBytes(256, false, 0), 1, 256, 256},
        {"a count of 16", ActBytes(256, true, 16), 1, 16, 16},
        {"a count of 256 written out", ActBytes(256, true, 256), 1, 256, 256},
        {"a transparent index is not read", ActBytes(256, true, 3, 2), 1, 3, 3},
        {"a count above the table", ActBytes(256, true, 300), 0, 0, 0},
        {"the largest count", ActBytes(256, true, 0xFFFF), 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pirn_test::WriteAll(Path("in.act"), c.file);
        std::vector<u8> table(kActTableSize, 0xEE);
        u32 count = 12345;
        EXPECT_EQ(ReadActFile(Path("in.act"), table.data(), &count), c.read);
        if (c.read) {
            EXPECT_EQ(count, c.count);
            EXPECT_EQ(table, ActBytes(c.colours, false, 0));
        } else {
            EXPECT_EQ(count, 12345u);
            EXPECT_EQ(table, std::vector<u8>(kActTableSize, 0xEE));  // untouched
        }
    }
}

TEST_F(ActFileTest, RefusesWhatIsNoTableAndNeverReadsOrWritesPastIt) {
    std::vector<u8> table = Table(256);
    u32 count = 0;
    EXPECT_EQ(ReadActFile(Path("missing.act"), table.data(), &count), 0);
    for (size_t size : {size_t{0}, size_t{767}, size_t{769}}) {
        SCOPED_TRACE(size);
        std::vector<u8> file = ActBytes(256, true, 16);
        file.resize(size);
        pirn_test::WriteAll(Path("short.act"), file);
        EXPECT_EQ(ReadActFile(Path("short.act"), table.data(), &count), 0);
    }

    // Counts above 256 would read past the 256 entries: refused, nothing written.
    EXPECT_EQ(WriteActFile(Path("big.act"), table.data(), 257), 0);
    EXPECT_FALSE(pirn_test::Exists(Path("big.act")));
    ASSERT_EQ(WriteActFile(Path("keep.act"), table.data(), 8), 1);
    EXPECT_EQ(WriteActFile(Path("keep.act"), table.data(), 1000), 0);
    EXPECT_EQ(pirn_test::ReadAll(Path("keep.act")), ActBytes(8, true, 8));
}

// Random damage: any length and any count, and the reader either refuses
// or fills exactly the table (the sanitizers watch the bounds).
TEST_F(ActFileTest, DamagedFilesAreReadSafely) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<u8> file(random() % 800);
        for (u8& b : file) b = u8(random());
        if (file.size() >= 770 && round % 2) {
            file[768] = 0;  // now and then a count that fits
            file[769] = u8(random());
        }
        pirn_test::WriteAll(Path("damaged.act"), file);
        std::vector<u8> table(kActTableSize);
        u32 count = 0;
        if (ReadActFile(Path("damaged.act"), table.data(), &count)) {
            ASSERT_LE(count, 256u);
            for (size_t i = size_t{count} * 3; i < kActTableSize; ++i) ASSERT_EQ(table[i], 0);
        }
    }
}

}  // namespace
}  // namespace pirn
