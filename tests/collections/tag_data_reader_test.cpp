// Parts of a tag's data read through the reader's window: in file order,
// backwards, across the window's edge, larger than the window, and outside
// the data.

#include "collections/tag_data_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tests/collections/collection_fixture.h"

namespace pirn {
namespace {

using collection_fixture::MemoryStream;

// A file of `prefix` bytes, then `length` bytes of data whose byte at i is
// a function of i, then a tail.
struct DataFile {
    static u8 At(u64 i) { return u8((i * 131) ^ (i >> 9)); }
    DataFile(size_t prefix, size_t length) {
        std::vector<u8> bytes(prefix, 0xAA);
        for (size_t i = 0; i < length; ++i) bytes.push_back(At(i));
        bytes.insert(bytes.end(), 100, 0xBB);
        stream = std::make_unique<MemoryStream>(bytes);
    }
    std::unique_ptr<MemoryStream> stream;
};

::testing::AssertionResult HoldsDataAt(const u8* bytes, u64 at, u64 size) {
    if (!bytes) return ::testing::AssertionFailure() << "no bytes for " << at << " + " << size;
    for (u64 i = 0; i < size; ++i)
        if (bytes[i] != DataFile::At(at + i))
            return ::testing::AssertionFailure() << "byte " << at + i << " differs";
    return ::testing::AssertionSuccess();
}

TEST(TagDataReader, PartsComeBackWhereverTheyLie) {
    const u64 length = 900000;  // several windows
    DataFile file(64, length);
    TagDataReader reader(file.stream->file, 64, length);
    struct Part {
        u64 at, size;
    };
    const Part parts[] = {
        {0, 320},          {320, 2080},        {200000, 300000},  // larger than a window
        {262000, 1000},    // across the edge of a window
        {100, 50},         // backwards
        {length - 1, 1},   {length - 5000, 5000}, {0, 0}, {length, 0},
    };
    for (const Part& part : parts) {
        SCOPED_TRACE(testing::Message() << part.at << " + " << part.size);
        EXPECT_TRUE(HoldsDataAt(reader.View(part.at, part.size), part.at, part.size));
        std::vector<u8> copy(part.size + 1, 0xEE);
        ASSERT_TRUE(reader.Copy(part.at, part.size, copy.data()));
        EXPECT_TRUE(HoldsDataAt(copy.data(), part.at, part.size));
        EXPECT_EQ(copy.back(), 0xEE);
    }
    // Random parts in random order.
    std::mt19937 random(9);
    for (int i = 0; i < 300; ++i) {
        const u64 at = random() % length;
        const u64 size = random() % std::min<u64>(length - at, random() % 2 ? 4000 : 400000);
        ASSERT_TRUE(HoldsDataAt(reader.View(at, size), at, size)) << at << " + " << size;
    }
    EXPECT_FALSE(reader.failed());
}

TEST(TagDataReader, PartsOutsideTheDataAreRefusedWithoutReading) {
    DataFile file(10, 1000);
    TagDataReader reader(file.stream->file, 10, 1000);
    const struct {
        u64 at, size;
    } outside[] = {{1000, 1}, {999, 2}, {0, 1001}, {0xFFFFFFFFull, 2}, {1, ~u64{0}}, {~u64{0}, 1}};
    for (const auto& part : outside) {
        EXPECT_FALSE(reader.Holds(part.at, part.size));
        EXPECT_EQ(reader.View(part.at, part.size), nullptr);
        u8 byte = 0;
        EXPECT_FALSE(reader.Copy(part.at, part.size, &byte));
    }
    EXPECT_FALSE(reader.failed()) << "nothing was read";
}

TEST(TagDataReader, AStreamShorterThanItsDataFailsTheRead) {
    DataFile file(0, 5000);
    TagDataReader reader(file.stream->file, 0, 8000);  // claims more than there is
    EXPECT_EQ(reader.View(0, 10), nullptr) << "the window's read comes up short";
    EXPECT_TRUE(reader.failed());
    u8 bytes[10];
    EXPECT_FALSE(reader.Copy(7990, 10, bytes));
}

}  // namespace
}  // namespace pirn
