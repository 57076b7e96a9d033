// The bitmap codec against blocks built from the format tables: every
// stored pixel form and flag it reads, the blocks it refuses, and the exact
// bytes it writes.

#include "collections/bitmap_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "collections/pixel64_stream.h"
#include "platform/scratch_stream.h"
#include "tests/collections/collection_fixture.h"

namespace pirn {
namespace {

using collection_fixture::BitmapHeader;
using collection_fixture::Bytes;
using collection_fixture::RleRow;

// (alpha, index) pairs, row after row.
using Pairs = std::vector<std::pair<int, int>>;

Pairs PairsOf(const CollectionBitmap& bitmap) {
    Pairs pairs;
    for (size_t i = 0; i + 1 < bitmap.pixels.size(); i += 2) pairs.emplace_back(bitmap.pixels[i], bitmap.pixels[i + 1]);
    return pairs;
}

ColorTableRecord GreyTable() {
    ColorTableRecord table = {};
    table.color_count = 256;
    for (u32 i = 0; i < 256; ++i) table.channels[i][0] = table.channels[i][1] = table.channels[i][2] = u16(i << 8);
    return table;
}

u16 ReadBitsPerPixel(const std::vector<u8>& block) { return collection_fixture::ReadU16(block, 8); }

std::unique_ptr<CollectionBitmap> Decode(const Bytes& block, const ColorTableRecord& table = GreyTable()) {
    return DecodeCollectionBitmapBytes(block.data.data(), block.size(), table);
}

struct DecodeCase {
    const char* what;
    Bytes block;
    u16 width, height, flags;
    Pairs pixels;
};

std::vector<DecodeCase> DecodeCases() {
    std::vector<DecodeCase> cases;
    {
        Bytes b = BitmapHeader(3, 2, 3, 0x0000, 8, 0, 0);
        b.Zeros(4).U8(0).U8(5).U8(7).U8(9).U8(0).U8(1);
        cases.push_back({"8-bit RAW: index 0 transparent", b, 3, 2, 0,
                         {{0, 0}, {255, 5}, {255, 7}, {255, 9}, {0, 0}, {255, 1}}});
    }
    {
        Bytes b = BitmapHeader(3, 1, 6, 0x0010, 16, 1, 0);
        b.U8(0x00).U8(4).U8(0x0C).U8(6).U8(0xFF).U8(9);  // high nibble ignored, 15 = transparent
        cases.push_back({"16-bit RAW: alpha (15 - t) x 17", b, 3, 1, 0x0010, {{255, 4}, {51, 6}, {0, 0}}});
    }
    {
        Bytes b = BitmapHeader(5, 2, 5, 0x0044, 8, 0, 0);
        b.Zeros(4);
        RleRow(&b, {{1, 4}}, {7, 8, 9}, 3, true);
        RleRow(&b, {}, {}, 0, true);
        cases.push_back({"8-bit RLE with pad byte and an empty row", b, 5, 2, 0x0044,
                         {{0, 0}, {255, 7}, {255, 8}, {255, 9}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}});
    }
    {
        Bytes b = BitmapHeader(6, 1, 12, 0x0014, 16, 1, 0);
        RleRow(&b, {{0, 1}, {3, 5}}, {0x03, 10, 0x00, 11, 0x08, 12}, 3, false);
        cases.push_back({"16-bit RLE with two runs, no padding flag", b, 6, 1, 0x0014,
                         {{204, 10}, {0, 0}, {0, 0}, {255, 11}, {119, 12}, {0, 0}}});
    }
    {
        Bytes b = BitmapHeader(2, 2, 2, 0x0020, 8, 0, 0);
        b.U8(1).U8(2).U8(3).U8(4);
        cases.push_back({"no row table with flag 0x0020", b, 2, 2, 0, {{255, 1}, {255, 2}, {255, 3}, {255, 4}}});
    }
    {
        Bytes b = BitmapHeader(2, 1, 2, 0x4000 | 0x8000 | 0x0080 | 0x0100 | 0x0002 | 0x1000, 8, 0, 0);
        b.U8(3).U8(0);
        cases.push_back({"flags masked to the kept bits", b, 2, 1, 0xC080, {{255, 3}, {0, 0}}});
    }
    {
        // The pixel-format field only counts with 0x4000.
        Bytes b = BitmapHeader(1, 1, 1, 0x0000, 8, 0, 1);
        b.U8(6);
        cases.push_back({"pixel format ignored without 0x4000", b, 1, 1, 0, {{255, 6}}});
    }
    return cases;
}

TEST(BitmapCodecDecode, StoredFormsGiveAlphaAndIndexPairs) {
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.what);
        auto bitmap = Decode(c.block);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->width, c.width);
        EXPECT_EQ(bitmap->height, c.height);
        EXPECT_EQ(bitmap->bytes_per_pixel, 2);
        EXPECT_EQ(bitmap->flags, c.flags);
        EXPECT_EQ(PairsOf(*bitmap), c.pixels);
    }
}

TEST(BitmapCodecDecode, AlphaFromTheColorTableUsesTheLargestChannelAndIsNormalised) {
    ColorTableRecord table = GreyTable();
    table.channels[3][0] = 0x2000;
    table.channels[3][1] = 0x8000;  // largest: alpha 0x80, normalised to 136
    table.channels[3][2] = 0x4000;
    table.channels[4][0] = table.channels[4][1] = table.channels[4][2] = 0x0FFF;  // alpha 15 -> 0
    table.channels[5][0] = 0xFF00;
    Bytes b = BitmapHeader(3, 1, 3, 0x0800, 8, 0, 0);
    b.U8(3).U8(4).U8(5);
    auto bitmap = Decode(b, table);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(PairsOf(*bitmap), (Pairs{{136, 3}, {0, 0}, {255, 5}}));
    EXPECT_EQ(bitmap->flags, kBitmapPartialAlpha) << "0x0800 is dropped; partial alpha found";
}

TEST(BitmapCodecDecode, SixtyFourBitStreamCarriesEveryItemKind) {
    Bytes b = BitmapHeader(8, 1, 64, 0x4020, 64, 0, 1);
    b.U8(1);                                                   // one leading zero pixel
    b.U8(0x41).U8(0x03).U8(0x22).U8(0x11).U8(0x66).U8(0x55).U8(0x44).U8(0x77);  // p2 odd: seven bytes
    b.U8(0x3F).U8(0x02).U8(0x12).U8(0x13).U8(1).U8(0x04).U8(0x14).U8(0x15);     // 31: one follower
    b.U8(0x20).U8(2);                                          // 32: code only, two zero followers
    b.U8(0x05).U8(0x08).U8(0x09).U8(0x0A);
    b.U8(0);
    auto bitmap = Decode(b);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bytes_per_pixel, 8);
    EXPECT_EQ(bitmap->flags, 0x4000);
    const std::vector<u8> expected = {
        0, 0, 0, 0, 0, 0, 0, 0,                     //
        0x11, 0x22, 0x03, 0x41, 0x44, 0x55, 0x66, 0x77,  //
        0x13, 0x12, 0x02, 0x3F, 0, 0, 0, 0,         //
        0x15, 0x14, 0x04, 0x3F, 0, 0, 0, 0,         //
        0, 0, 0, 0x20, 0, 0, 0, 0,                  //
        0, 0, 0, 0, 0, 0, 0, 0,                     //
        0, 0, 0, 0, 0, 0, 0, 0,                     //
        0x0A, 0x09, 0x08, 0x05, 0, 0, 0, 0};
    EXPECT_EQ(bitmap->pixels, expected);
}

TEST(BitmapCodecDecode, StreamCountsPastTheLastPixelAreCut) {
    Bytes b = BitmapHeader(3, 1, 24, 0x4020, 64, 0, 1);
    b.U8(200);  // leading count beyond the three pixels
    auto bitmap = Decode(b);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->pixels, std::vector<u8>(24, 0));
    Bytes followers = BitmapHeader(2, 1, 16, 0x4020, 64, 0, 1);
    followers.U8(0).U8(0).U8(250);
    bitmap = Decode(followers);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->pixels, std::vector<u8>(16, 0));
}

struct RefusalCase {
    const char* what;
    Bytes block;
};

std::vector<RefusalCase> RefusalCases() {
    std::vector<RefusalCase> cases;
    auto raw = [](i16 w, i16 h, u16 flags, u16 bits, u16 shift, u16 format, size_t data) {
        Bytes b = BitmapHeader(w, h, 0, flags, bits, shift, format);
        b.Zeros(h > 0 ? size_t(h) * 4 - 4 : 0).Zeros(data);
        return b;
    };
    Bytes short_header;
    short_header.Zeros(51);
    cases.push_back({"block under 52 bytes", short_header});
    cases.push_back({"zero width", raw(0, 1, 0, 8, 0, 0, 4)});
    cases.push_back({"negative height", raw(1, -1, 0x20, 8, 0, 0, 4)});
    cases.push_back({"depth shift 3", raw(1, 1, 0, 8, 3, 0, 8)});
    cases.push_back({"16 bits a pixel with depth shift 0", raw(1, 1, 0, 16, 0, 0, 2)});
    cases.push_back({"depth shift 2 (no 24-bit form)", raw(1, 1, 0, 24, 2, 0, 4)});
    cases.push_back({"flag 0x0010 with 8-bit pixels", raw(1, 1, 0x10, 8, 0, 0, 2)});
    cases.push_back({"16-bit pixels without flag 0x0010", raw(1, 1, 0, 16, 1, 0, 2)});
    cases.push_back({"64 bits a pixel in format 0", raw(1, 1, 0, 64, 0, 0, 8)});
    cases.push_back({"format 1 not 64 bits a pixel", raw(1, 1, 0x4020, 32, 0, 1, 8)});
    cases.push_back({"format 1 with the RLE flag", raw(1, 1, 0x4024, 64, 0, 1, 8)});
    cases.push_back({"unknown pixel format", raw(1, 1, 0x4020, 8, 0, 2, 8)});
    {
        Bytes b = BitmapHeader(1, 100, 1, 0, 8, 0, 0);
        b.Zeros(10);
        cases.push_back({"row table longer than the block", b});
    }
    cases.push_back({"RAW rows past the block", raw(4, 2, 0, 8, 0, 0, 7)});
    cases.push_back({"RAW 16-bit rows past the block", raw(2, 1, 0x10, 16, 1, 0, 3)});
    auto rle = [](std::vector<collection_fixture::Run> runs, std::vector<u8> pixels, size_t count, u16 width,
                  u16 height = 1) {
        Bytes b = BitmapHeader(i16(width), i16(height), width, 0x44, 8, 0, 0);
        b.Zeros(size_t(height) * 4 - 4);
        RleRow(&b, runs, pixels, count, true);
        return b;
    };
    cases.push_back({"RLE run ending past the width", rle({{2, 5}}, {1, 2, 3}, 3, 4)});
    cases.push_back({"RLE runs out of order", rle({{2, 3}, {0, 1}}, {1, 2}, 2, 4)});
    cases.push_back({"RLE overlapping runs", rle({{0, 2}, {1, 3}}, {1, 2, 3, 4}, 4, 4)});
    cases.push_back({"RLE run ending before it starts", rle({{3, 2}}, {}, 0, 4)});
    cases.push_back({"RLE pixel count above the runs", rle({{0, 2}}, {1, 2, 3}, 3, 4)});
    cases.push_back({"RLE pixel count below the runs", rle({{0, 2}}, {1}, 1, 4)});
    cases.push_back({"RLE second row missing", rle({{0, 1}}, {1}, 1, 4, 2)});
    {
        Bytes b = BitmapHeader(4, 1, 4, 0x44, 8, 0, 0);
        b.U16(3).U16(1).U16(0).U16(1);  // three runs announced, one present
        cases.push_back({"RLE run table past the block", b});
    }
    {
        Bytes b = BitmapHeader(4, 1, 4, 0x44, 8, 0, 0);
        b.U16(1).U16(4).U16(0).U16(4).U8(1).U8(2);
        cases.push_back({"RLE pixel bytes past the block", b});
    }
    {
        Bytes b = BitmapHeader(3, 1, 24, 0x4020, 64, 0, 1);
        b.U8(0).U8(0x41).U8(0x01).U8(2);  // p2 odd needs four more bytes
        cases.push_back({"64-bit stream ending inside a pixel", b});
    }
    {
        Bytes b = BitmapHeader(3, 1, 24, 0x4020, 64, 0, 1);
        b.U8(0).U8(0x02).U8(0).U8(0).U8(0);
        cases.push_back({"64-bit stream ending before the last pixel", b});
    }
    {
        Bytes b = BitmapHeader(32767, 32767, 0, 0x4020, 64, 0, 1);
        b.U8(255);
        cases.push_back({"64-bit pixels beyond what a bitmap may hold", b});
    }
    return cases;
}

TEST(BitmapCodecDecode, RefusesBlocksThatDoNotDescribeABitmap) {
    for (const RefusalCase& c : RefusalCases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Decode(c.block), nullptr);
    }
}

TEST(BitmapCodecDecode, RefusalsWithinTheBlockDoNotReadPastIt) {
    // Every prefix of a valid RLE block either decodes or is refused; the
    // sanitizer build catches a read past the copy.
    Bytes b = BitmapHeader(5, 3, 5, 0x0044, 8, 0, 0);
    b.Zeros(8);
    RleRow(&b, {{0, 2}, {3, 5}}, {1, 2, 3, 4}, 4, true);
    RleRow(&b, {{1, 4}}, {5, 6, 7}, 3, true);
    RleRow(&b, {{0, 5}}, {1, 2, 3, 4, 5}, 5, true);
    for (size_t n = 0; n <= b.size(); ++n) {
        std::vector<u8> prefix(b.data.begin(), b.data.begin() + long(n));
        auto bitmap = DecodeCollectionBitmapBytes(prefix.data(), prefix.size(), GreyTable());
        // The last row's pad byte carries nothing; a block may end without it.
        const bool whole = n + 1 >= b.size();
        EXPECT_EQ(bitmap != nullptr, whole) << "prefix of " << n << " bytes";
    }
}

TEST(BitmapCodecDecode, StreamOfAGivenSizeIsReadWithOneRead) {
    Bytes b = BitmapHeader(2, 1, 2, 0x0020, 8, 0, 0);
    b.U8(9).U8(0).U8(0xEE);  // a byte past the block stays unread
    std::FILE* stream = pirn::OpenScratchFile();
    std::fwrite(b.data.data(), 1, b.size(), stream);
    std::rewind(stream);
    auto bitmap = DecodeCollectionBitmap(stream, u32(b.size() - 1), GreyTable());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(PairsOf(*bitmap), (Pairs{{255, 9}, {0, 0}}));
    EXPECT_EQ(std::ftell(stream), long(b.size() - 1));
    std::rewind(stream);
    EXPECT_EQ(DecodeCollectionBitmap(stream, 1000, GreyTable()), nullptr) << "short read";
    std::fclose(stream);
}

// --- Encoding ---------------------------------------------------------------

CollectionBitmap MakeBitmap(u16 width, u16 height, u16 flags, const Pairs& pixels) {
    CollectionBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.flags = flags;
    bitmap.bytes_per_pixel = 2;
    for (const auto& p : pixels) {
        bitmap.pixels.push_back(u8(p.first));
        bitmap.pixels.push_back(u8(p.second));
    }
    return bitmap;
}

std::vector<u8> Encode(const CollectionBitmap& bitmap) {
    std::vector<u8> out;
    EXPECT_TRUE(EncodeCollectionBitmapBytes(bitmap, &out));
    return out;
}

struct EncodeCase {
    const char* what;
    CollectionBitmap bitmap;
    Bytes expected;
};

std::vector<EncodeCase> EncodeCases() {
    std::vector<EncodeCase> cases;
    {
        Bytes e = BitmapHeader(3, 2, 3, 0x0000, 8, 0, 0);
        e.Zeros(4).U8(0).U8(5).U8(0).U8(9).U8(1).U8(0);
        cases.push_back({"8-bit RAW: transparent pixels as 0",
                         MakeBitmap(3, 2, 0, {{0, 0}, {255, 5}, {0, 7}, {255, 9}, {255, 1}, {0, 0}}), e});
    }
    {
        Bytes e = BitmapHeader(4, 1, 4, 0x0044, 8, 0, 0);
        RleRow(&e, {{1, 4}}, {7, 8, 9}, 3, true);
        cases.push_back({"8-bit RLE row of three pixels: 4 + 4 + 3 + 1 bytes, empty row table",
                         MakeBitmap(4, 1, kBitmapRle, {{0, 0}, {255, 7}, {255, 8}, {255, 9}}), e});
    }
    {
        Bytes e = BitmapHeader(5, 2, 5, 0x0044, 8, 0, 0);
        e.Zeros(4);
        RleRow(&e, {{0, 1}, {3, 5}}, {1, 3, 4}, 3, true);
        RleRow(&e, {}, {}, 0, true);
        cases.push_back({"8-bit RLE: maximal runs, an empty row as two zero words",
                         MakeBitmap(5, 2, kBitmapRle,
                                    {{255, 1}, {0, 0}, {0, 0}, {255, 3}, {255, 4}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}),
                         e});
    }
    {
        Bytes e = BitmapHeader(3, 1, 6, 0x0010, 16, 1, 0);
        e.U8(3).U8(4).U8(15).U8(0).U8(0).U8(6);
        cases.push_back({"16-bit RAW: transparency 15 - alpha / 16",
                         MakeBitmap(3, 1, kBitmapPartialAlpha, {{204, 4}, {0, 0}, {255, 6}}), e});
    }
    {
        Bytes e = BitmapHeader(2, 1, 4, 0x0010, 16, 1, 0);
        e.U8(0).U8(0).U8(0).U8(6);
        cases.push_back({"opaque index 0 without partial alpha: 16 bits, as 8 bits it would be transparent",
                         MakeBitmap(2, 1, 0, {{255, 0}, {255, 6}}), e});
    }
    {
        Bytes e = BitmapHeader(3, 1, 6, 0x0054, 16, 1, 0);
        RleRow(&e, {{1, 3}}, {8, 4, 0, 6}, 2, true);
        cases.push_back({"16-bit RLE needs no pad",
                         MakeBitmap(3, 1, kBitmapRle | kBitmapPartialAlpha, {{0, 0}, {119, 4}, {255, 6}}), e});
    }
    {
        Bytes e = BitmapHeader(1, 1, 1, 0xC080, 8, 0, 0);
        e.U8(2);
        cases.push_back({"kept flags written back; stored-only bits dropped",
                         MakeBitmap(1, 1, 0xC080 | kStoredNoRowTable | kStoredRowPadding | kStoredAlphaFromTable,
                                    {{255, 2}}),
                         e});
    }
    return cases;
}

TEST(BitmapCodecEncode, WritesTheStoredFormsByteForByte) {
    for (const EncodeCase& c : EncodeCases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Encode(c.bitmap), c.expected.data);
    }
}

TEST(BitmapCodecEncode, SixtyFourBitBitmapsWriteTheStreamWithoutRowTable) {
    CollectionBitmap bitmap;
    bitmap.width = 4;
    bitmap.height = 1;
    bitmap.bytes_per_pixel = 8;
    bitmap.pixels = {0,    0,    0,    0,    9,    9, 9, 9,   // code 0: bytes not carried
                     0x11, 0x22, 0x03, 0x41, 0x44, 0x55, 0x66, 0x77,  //
                     0x13, 0x12, 0x02, 0x5F, 0x99, 0x99, 0x99, 0x99,  // p2 even: p4-p7 not carried
                     0x15, 0x14, 0x04, 0x5F, 0,    0, 0, 0};
    // The stored flags: the bitmap's own, with 0x4000 (format valid) and
    // 0x0020 (no row table); runs and 16-bit pixels are no part of the form.
    const struct {
        u16 in_memory, stored;
    } flags[] = {
        {0x0000, 0x4020},
        {kBitmapShadow, 0x40A0},
        {kBitmapCarried | kBitmapFormatValid | kBitmapShadow, 0xC0A0},
        {kBitmapRowPadding | kBitmapCarried, 0xC060},
        {kBitmapRle | kBitmapPartialAlpha | kBitmapShadow, 0x40A0},
    };
    for (const auto& f : flags) {
        SCOPED_TRACE(f.in_memory);
        bitmap.flags = f.in_memory;
        Bytes e = BitmapHeader(4, 1, 32, f.stored, 64, 0, 1);
        e.U8(1).U8(0x41).U8(0x03).U8(0x22).U8(0x11).U8(0x66).U8(0x55).U8(0x44).U8(0x77);
        e.U8(0x5F).U8(0x02).U8(0x12).U8(0x13).U8(1).U8(0x04).U8(0x14).U8(0x15).U8(0);
        EXPECT_EQ(Encode(bitmap), e.data);
        // Read back, the bitmap has its flags again (0x4000 is kept on
        // reading, the others as they were).
        auto decoded = Decode(e);
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(decoded->flags, (f.stored & ~0x0020) | 0x4000);
    }
}

TEST(BitmapCodecEncode, FollowersOfTransparentCodesAreCountedOnlyWhenTheyDecodeAlike) {
    // Codes 32..224 with alpha 0: a follower would decode as all zero, so
    // each pixel stands alone and keeps its code.
    const size_t n = 3;
    std::vector<u8> pixels(8 * n, 0);
    for (size_t i = 0; i < n; ++i) pixels[8 * i + 3] = 0x40;
    std::vector<u8> stream;
    EncodePixel64Stream(pixels.data(), n, &stream);
    EXPECT_EQ(stream, (std::vector<u8>{0, 0x40, 0, 0x40, 0, 0x40, 0, 0}));
    std::vector<u8> decoded(8 * n, 0);
    ASSERT_TRUE(DecodePixel64Stream(stream.data(), stream.size(), decoded.data(), n));
    EXPECT_EQ(decoded, pixels);

    // Code 0 after the leading run: followers of code 0 are counted.
    std::vector<u8> zeros(8 * 300, 0);
    stream.clear();
    EncodePixel64Stream(zeros.data(), 300, &stream);
    EXPECT_EQ(stream, (std::vector<u8>{255, 0, 44, 0}));
}

TEST(BitmapCodecEncode, RefusesWhatTheHeaderCannotHold) {
    const struct {
        const char* what;
        u16 width, height, bytes_per_pixel;
        size_t pixel_bytes;
    } cases[] = {
        {"0 x 0", 0, 0, 2, 0},
        {"zero height", 4, 0, 2, 0},
        {"side above 32767", 32768, 1, 2, 65536},
        {"4 bytes a pixel", 1, 1, 4, 4},
        {"pixel buffer of the wrong size", 2, 2, 2, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CollectionBitmap bitmap;
        bitmap.width = c.width;
        bitmap.height = c.height;
        bitmap.bytes_per_pixel = c.bytes_per_pixel;
        bitmap.pixels.assign(c.pixel_bytes, 0);
        std::vector<u8> out{1, 2, 3};
        EXPECT_FALSE(EncodeCollectionBitmapBytes(bitmap, &out));
        EXPECT_TRUE(out.empty());
    }
}

// --- Round trips and alpha ---------------------------------------------------

TEST(BitmapCodecRoundTrip, EveryFormAndFlagComesBackAsNormalised) {
    std::mt19937 random(12);
    const u16 flag_sets[] = {0, kBitmapRle, kBitmapShadow, kBitmapRle | kBitmapShadow | kBitmapCarried, kBitmapFormatValid};
    for (u16 flags : flag_sets)
        for (bool partial : {false, true})
            for (u16 side : {1, 7, 64}) {
                SCOPED_TRACE(testing::Message() << "flags " << flags << " partial " << partial << " side " << side);
                CollectionBitmap bitmap;
                bitmap.width = side;
                bitmap.height = u16(side + 2);
                bitmap.flags = flags;
                bitmap.pixels.resize(size_t(bitmap.width) * bitmap.height * 2);
                for (size_t i = 0; i < bitmap.pixels.size(); i += 2) {
                    const u32 r = random();
                    u8 alpha = (r & 3) == 0 ? 0 : 255;
                    if (partial && (r & 12) == 4) alpha = u8(r >> 8);
                    bitmap.pixels[i] = alpha;
                    bitmap.pixels[i + 1] = u8(1 + (r >> 16) % 255);
                }
                NormaliseBitmapAlpha(&bitmap);
                std::vector<u8> block = Encode(bitmap);
                auto back = DecodeCollectionBitmapBytes(block.data(), block.size(), GreyTable());
                ASSERT_NE(back, nullptr);
                u16 expected_flags = flags;
                if (flags & kBitmapRle) expected_flags |= kBitmapRowPadding;
                if (bitmap.flags & kBitmapPartialAlpha) expected_flags |= kBitmapPartialAlpha;
                EXPECT_EQ(back->flags, expected_flags);
                EXPECT_EQ(back->pixels, bitmap.pixels);
            }
}

TEST(BitmapCodecRoundTrip, SixtyFourBitPixelsComeBackWithTheBytesTheStreamCarries) {
    std::mt19937 random(64);
    CollectionBitmap bitmap;
    bitmap.width = 40;
    bitmap.height = 9;
    bitmap.bytes_per_pixel = 8;
    bitmap.pixels.resize(size_t(40) * 9 * 8);
    for (size_t i = 0; i < bitmap.pixels.size(); i += 8) {
        const u32 r = random();
        const u8 codes[] = {0, 0, 0x1F, 0x3F, 0x20, 0x05, 0xE7, 0x1F};
        u8* p = &bitmap.pixels[i];
        p[3] = codes[r % 8];
        if (p[3] % 32 == 0) continue;  // the stream carries only the code
        for (int k : {0, 1, 2}) p[k] = u8(random());
        if (p[2] & 1)
            for (int k : {4, 5, 6, 7}) p[k] = u8(random());
    }
    std::vector<u8> block = Encode(bitmap);
    auto back = DecodeCollectionBitmapBytes(block.data(), block.size(), GreyTable());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->pixels, bitmap.pixels);
}

TEST(BitmapAlpha, NormalisingQuantisesAlphaAndClearsIndicesOfTransparentPixels) {
    CollectionBitmap bitmap = MakeBitmap(4, 1, kBitmapPartialAlpha, {{200, 3}, {10, 4}, {255, 5}, {0, 6}});
    NormaliseBitmapAlpha(&bitmap);
    EXPECT_EQ(PairsOf(bitmap), (Pairs{{204, 3}, {0, 0}, {255, 5}, {0, 0}}));
    EXPECT_EQ(bitmap.flags, kBitmapPartialAlpha);
    CollectionBitmap opaque = MakeBitmap(2, 1, kBitmapPartialAlpha, {{255, 3}, {15, 4}});
    NormaliseBitmapAlpha(&opaque);
    EXPECT_EQ(opaque.flags, 0) << "nothing strictly between 0 and 255 is left";
}

TEST(BitmapAlpha, DroppingPartialAlphaFollowsTheIndex) {
    CollectionBitmap bitmap = MakeBitmap(3, 1, kBitmapPartialAlpha | kBitmapRle, {{17, 3}, {204, 0}, {0, 0}});
    EXPECT_TRUE(DropPartialAlpha(&bitmap));
    EXPECT_EQ(PairsOf(bitmap), (Pairs{{255, 3}, {0, 0}, {0, 0}}));
    EXPECT_EQ(bitmap.flags, kBitmapRle);
    EXPECT_FALSE(DropPartialAlpha(&bitmap)) << "nothing left to drop";
}

TEST(BitmapAlpha, OnePartialPixelSwitchesTheWholeBitmapTo16Bits) {
    CollectionBitmap bitmap = MakeBitmap(2, 1, 0, {{255, 3}, {255, 4}});
    NormaliseBitmapAlpha(&bitmap);
    EXPECT_EQ(ReadBitsPerPixel(Encode(bitmap)), 8);
    bitmap.pixels[0] = 128;
    NormaliseBitmapAlpha(&bitmap);
    EXPECT_EQ(ReadBitsPerPixel(Encode(bitmap)), 16);
}

}  // namespace
}  // namespace pirn
