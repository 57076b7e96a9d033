// The vector loops of the pixel conversions against their plain forms, on
// random pixels of every length around the vector widths (the loops finish
// with an overlapping step and switch to narrower steps for short runs) and
// at odd addresses, as RLE runs start anywhere in a row.

#include "collections/pixel_pairs.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pirn {
namespace {

// Random pairs: mostly transparent, opaque or partial alpha as asked, with
// random indices (also behind alpha 0, which the conversions must clear).
std::vector<u8> RandomPairs(std::mt19937& random, size_t count, int partial_percent) {
    std::vector<u8> pairs(2 * count);
    for (size_t i = 0; i < count; ++i) {
        const u32 pick = random() % 100;
        pairs[2 * i] = pick < 30 ? u8(random() % 16) : pick < 30 + u32(partial_percent) ? u8(random()) : 255;
        pairs[2 * i + 1] = u8(random());
    }
    return pairs;
}

std::vector<u8> RandomBytes(std::mt19937& random, size_t count) {
    std::vector<u8> bytes(count);
    for (u8& b : bytes) b = random() % 3 == 0 ? 0 : u8(random());
    return bytes;
}

// Lengths that meet every branch: empty, below and above 4, 8 and 16, and
// longer rows with a remainder.
const size_t kLengths[] = {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 23, 31, 32, 33, 47, 64, 100, 257};

TEST(PixelPairs, ConversionsFromStoredPixelsMatchThePlainForms) {
    std::mt19937 random(17);
    for (size_t count : kLengths)
        for (size_t offset : {0, 1, 3}) {
            SCOPED_TRACE(testing::Message() << count << " pixels at offset " << offset);
            const std::vector<u8> narrow = RandomBytes(random, count + offset);
            std::vector<u8> expected(2 * count + 1, 0xCC), got(2 * count + 1, 0xCC);
            plain_pairs::PairsFromNarrow(narrow.data() + offset, expected.data(), count);
            PairsFromNarrow(narrow.data() + offset, got.data(), count);
            EXPECT_EQ(got, expected) << "narrow";

            // Wide stored pixels: any transparency byte (its high nibble
            // ignored), any index.
            const std::vector<u8> wide = RandomBytes(random, 2 * count + offset);
            std::fill(expected.begin(), expected.end(), 0xCC);
            std::fill(got.begin(), got.end(), 0xCC);
            const bool expected_partial = plain_pairs::PairsFromWide(wide.data() + offset, expected.data(), count);
            EXPECT_EQ(PairsFromWide(wide.data() + offset, got.data(), count), expected_partial) << "wide";
            EXPECT_EQ(got, expected) << "wide";
        }
}

TEST(PixelPairs, WidePixelsOfOnlyFullOrNoAlphaAreNotPartial) {
    std::mt19937 random(3);
    for (size_t count : kLengths) {
        std::vector<u8> wide(2 * count);
        for (size_t i = 0; i < count; ++i) {
            wide[2 * i] = random() % 2 ? 0x0F : 0xF0;  // t 15 or 0, high nibble ignored
            wide[2 * i + 1] = u8(random());
        }
        std::vector<u8> pairs(2 * count);
        EXPECT_FALSE(PairsFromWide(wide.data(), pairs.data(), count)) << count;
        if (count == 0) continue;
        wide[2 * (random() % count)] = 0x07;  // one partial pixel anywhere
        EXPECT_TRUE(PairsFromWide(wide.data(), pairs.data(), count)) << count;
    }
}

TEST(PixelPairs, ConversionsFromPairsMatchThePlainForms) {
    std::mt19937 random(29);
    for (size_t count : kLengths)
        for (int partial_percent : {0, 30}) {
            SCOPED_TRACE(testing::Message() << count << " pixels, " << partial_percent << "% partial");
            const std::vector<u8> pairs = RandomPairs(random, count, partial_percent);

            std::vector<u8> expected = pairs, got = pairs;
            const bool expected_partial = plain_pairs::NormalisePairs(expected.data(), count);
            EXPECT_EQ(NormalisePairs(got.data(), count), expected_partial) << "normalise";
            EXPECT_EQ(got, expected) << "normalise";

            std::vector<u8> narrow_expected(count + 1, 0xCC), narrow_got(count + 1, 0xCC);
            EXPECT_EQ(plain_pairs::NarrowFromPairs(pairs.data(), count, narrow_expected.data()),
                      narrow_expected.data() + count);
            EXPECT_EQ(NarrowFromPairs(pairs.data(), count, narrow_got.data()), narrow_got.data() + count);
            EXPECT_EQ(narrow_got, narrow_expected) << "narrow";

            std::vector<u8> wide_expected(2 * count + 1, 0xCC), wide_got(2 * count + 1, 0xCC);
            plain_pairs::WideFromPairs(pairs.data(), count, wide_expected.data());
            EXPECT_EQ(WideFromPairs(pairs.data(), count, wide_got.data()), wide_got.data() + 2 * count);
            EXPECT_EQ(wide_got, wide_expected) << "wide";
        }
}

TEST(PixelPairs, OpaqueRunsMatchThePlainForm) {
    std::mt19937 random(41);
    for (u32 width : {1u, 2u, 15u, 16u, 17u, 31u, 32u, 33u, 64u, 95u, 300u})
        for (int density : {0, 10, 50, 90, 100}) {
            SCOPED_TRACE(testing::Message() << "width " << width << ", " << density << "% opaque");
            std::vector<u8> row(2 * size_t{width});
            for (u32 x = 0; x < width; ++x) row[2 * x] = int(random() % 100) < density ? u8(1 + random() % 255) : 0;
            std::vector<u16> expected(width + 1), got(width + 1);
            const u32 runs = plain_pairs::FindOpaqueRuns(row.data(), width, expected.data());
            ASSERT_EQ(FindOpaqueRuns(row.data(), width, got.data()), runs);
            expected.resize(2 * runs);
            got.resize(2 * runs);
            EXPECT_EQ(got, expected);
        }
}

TEST(PixelPairs, PlainFormsFollowTheStoredPixelTables) {
    // A few pixels by hand, so that the plain forms the loops are held to
    // are themselves right.
    const u8 narrow[] = {0, 7, 255};
    u8 pairs[6];
    plain_pairs::PairsFromNarrow(narrow, pairs, 3);
    EXPECT_EQ(std::vector<u8>(pairs, pairs + 6), (std::vector<u8>{0, 0, 255, 7, 255, 255}));

    const u8 wide[] = {0x00, 4, 0x0C, 6, 0xFF, 9, 0x0E, 3};
    u8 wide_pairs[8];
    EXPECT_TRUE(plain_pairs::PairsFromWide(wide, wide_pairs, 4));
    EXPECT_EQ(std::vector<u8>(wide_pairs, wide_pairs + 8), (std::vector<u8>{255, 4, 51, 6, 0, 0, 17, 3}));

    u8 normalised[] = {200, 5, 10, 6, 255, 7, 16, 8};
    EXPECT_TRUE(plain_pairs::NormalisePairs(normalised, 4));
    EXPECT_EQ(std::vector<u8>(normalised, normalised + 8), (std::vector<u8>{204, 5, 0, 0, 255, 7, 17, 8}));

    const u8 back[] = {204, 5, 0, 6, 255, 7};
    u8 stored[6];
    plain_pairs::NarrowFromPairs(back, 3, stored);
    EXPECT_EQ(std::vector<u8>(stored, stored + 3), (std::vector<u8>{5, 0, 7}));
    plain_pairs::WideFromPairs(back, 3, stored);
    EXPECT_EQ(std::vector<u8>(stored, stored + 6), (std::vector<u8>{3, 5, 15, 6, 0, 7}));
}

}  // namespace
}  // namespace pirn
