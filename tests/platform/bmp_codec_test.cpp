// BMP fixtures are built byte by byte from the format's field tables, so
// that the reader and writer are not only checked against each other.

#include "platform/bmp_codec.h"
#include "platform/scratch_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace pirn {
namespace {

struct BmpFields {
    u32 data_offset = 0;  // 0: right after the palette
    u32 header_size = 40;
    i32 width = 1;
    i32 height = 1;
    u16 planes = 1;
    u16 bits = 24;
    u32 compression = 0;
    u32 colors_used = 0;
    u32 colors_important = 0;
};

void Put16(std::vector<u8>* out, u32 v) {
    out->push_back(static_cast<u8>(v));
    out->push_back(static_cast<u8>(v >> 8));
}
void Put32(std::vector<u8>* out, u32 v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<u8>(v >> (8 * i)));
}

// "BM", file header, 40-byte information header, palette records, `gap`
// filler bytes, then the rows as given.
std::vector<u8> BuildBmp(const BmpFields& f, const std::vector<u8>& palette_records, u32 gap,
                         const std::vector<u8>& rows) {
    std::vector<u8> out = {'B', 'M'};
    u32 offset = f.data_offset ? f.data_offset : 54 + u32(palette_records.size()) + gap;
    Put32(&out, 0);  // file size: not used
    Put32(&out, 0);  // reserved
    Put32(&out, offset);
    Put32(&out, f.header_size);
    Put32(&out, static_cast<u32>(f.width));
    Put32(&out, static_cast<u32>(f.height));
    Put16(&out, f.planes);
    Put16(&out, f.bits);
    Put32(&out, f.compression);
    Put32(&out, 0);  // image size
    Put32(&out, 0);
    Put32(&out, 0);
    Put32(&out, f.colors_used);
    Put32(&out, f.colors_important);
    out.insert(out.end(), palette_records.begin(), palette_records.end());
    out.insert(out.end(), gap, 0xEE);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

bool Decode(const std::vector<u8>& bytes, PixelImage* image) {
    std::FILE* stream = pirn::OpenBytesForReading(bytes.data(), bytes.size());
    if (!stream) return false;
    bool ok = ReadBmp(stream, image);
    std::fclose(stream);
    return ok;
}

std::vector<u8> Encode(const PixelImage& image, bool* ok) {
    std::FILE* stream = pirn::OpenScratchFile();
    *ok = WriteBmp(stream, image);
    std::vector<u8> bytes;
    long size = std::ftell(stream);
    std::rewind(stream);
    bytes.resize(size > 0 ? size_t(size) : 0);
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size()) *ok = false;
    std::fclose(stream);
    return bytes;
}

TEST(BmpCodecTest, EightBitBottomUpReadsPaletteAndSkipsRowPadding) {
    BmpFields f;
    f.width = 3;
    f.height = 2;
    f.bits = 8;
    f.colors_used = 2;
    // (blue, green, red, unused) records
    std::vector<u8> palette = {30, 20, 10, 0, 60, 50, 40, 0};
    // Bottom row first; 3 bytes + 1 padding each.
    std::vector<u8> rows = {1, 1, 0, 0xAA, 0, 1, 0, 0xAA};
    PixelImage image;
    ASSERT_TRUE(Decode(BuildBmp(f, palette, 0, rows), &image));
    EXPECT_EQ(image.format, kFormatColorIndex);
    EXPECT_EQ(image.palette_count, 2u);
    EXPECT_EQ(std::vector<u8>(image.palette.begin(), image.palette.begin() + 6),
              (std::vector<u8>{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(image.pixels, (std::vector<u8>{0, 1, 0, 1, 1, 0}));
}

TEST(BmpCodecTest, TwentyFourBitTopDownRowsOfNineBytesPlusThreePadding) {
    BmpFields f;
    f.width = 3;
    f.height = -2;
    std::vector<u8> rows = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0,  //
                            13, 12, 11, 16, 15, 14, 19, 18, 17, 0, 0, 0};
    PixelImage image;
    ASSERT_TRUE(Decode(BuildBmp(f, {}, 0, rows), &image));
    EXPECT_EQ(image.format, kFormatRgb);
    EXPECT_EQ(image.pixels, (std::vector<u8>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
}

TEST(BmpCodecTest, ThirtyTwoBitRowsStartAtTheDataOffsetPastAGap) {
    BmpFields f;
    f.width = 2;
    f.height = 1;
    f.bits = 32;
    std::vector<u8> rows = {3, 2, 1, 200, 6, 5, 4, 100};
    PixelImage image;
    ASSERT_TRUE(Decode(BuildBmp(f, {}, 12, rows), &image));
    EXPECT_EQ(image.format, kFormatRgba);
    EXPECT_EQ(image.pixels, (std::vector<u8>{1, 2, 3, 200, 4, 5, 6, 100}));

    // Eight-bit with colours used 0 has 256 palette records, then a gap.
    BmpFields g;
    g.bits = 8;
    std::vector<u8> palette(256 * 4, 0);
    palette[7 * 4 + 2] = 77;
    ASSERT_TRUE(Decode(BuildBmp(g, palette, 5, {7, 0, 0, 0}), &image));
    EXPECT_EQ(image.palette_count, 256u);
    EXPECT_EQ(image.pixels, (std::vector<u8>{7}));
    EXPECT_EQ(image.palette[7 * 3], 77);
}

TEST(BmpCodecTest, BadHeadersAndOffsetsAreRefused) {
    struct Case {
        const char* what;
        BmpFields fields;
        u32 palette_records;
        size_t row_bytes;
    };
    auto with = [](auto change) {
        BmpFields f;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"v4 header", with([](BmpFields& f) { f.header_size = 108; }), 0, 4},
        {"v5 header", with([](BmpFields& f) { f.header_size = 124; }), 0, 4},
        {"width 0", with([](BmpFields& f) { f.width = 0; }), 0, 4},
        {"negative width", with([](BmpFields& f) { f.width = -1; }), 0, 4},
        {"width 32768", with([](BmpFields& f) { f.width = 32768; }), 0, 4},
        {"height 0", with([](BmpFields& f) { f.height = 0; }), 0, 4},
        {"height -32768", with([](BmpFields& f) { f.height = -32768; }), 0, 4},
        {"two planes", with([](BmpFields& f) { f.planes = 2; }), 0, 4},
        {"RLE", with([](BmpFields& f) { f.compression = 1; }), 0, 4},
        {"16 bits", with([](BmpFields& f) { f.bits = 16; }), 0, 4},
        {"4 bits", with([](BmpFields& f) { f.bits = 4; }), 0, 4},
        {"24 bits with a palette count", with([](BmpFields& f) { f.colors_used = 1; }), 0, 4},
        {"257 colours", with([](BmpFields& f) { f.bits = 8; f.colors_used = 257; }), 257, 4},
        {"important above used",
         with([](BmpFields& f) { f.bits = 8; f.colors_used = 2; f.colors_important = 3; }), 2, 4},
        {"offset inside the palette",
         with([](BmpFields& f) { f.bits = 8; f.colors_used = 4; f.data_offset = 54 + 8; }), 4, 4},
        {"offset inside the header", with([](BmpFields& f) { f.data_offset = 20; }), 0, 4},
        {"offset past the end", with([](BmpFields& f) { f.data_offset = 4000; }), 0, 4},
        {"short rows", with([](BmpFields& f) { f.height = 3; }), 0, 8},
        {"huge rows", with([](BmpFields& f) { f.width = 32767; f.height = 32767; f.bits = 32; }), 0, 64},
    };
    for (const Case& c : cases) {
        std::vector<u8> palette(size_t(c.palette_records) * 4, 0);
        std::vector<u8> rows(c.row_bytes, 0);
        PixelImage image;
        EXPECT_FALSE(Decode(BuildBmp(c.fields, palette, 0, rows), &image)) << c.what;
        EXPECT_TRUE(image.pixels.empty()) << c.what;
    }
    // Cut inside the headers.
    std::vector<u8> whole = BuildBmp(BmpFields(), {}, 0, {1, 2, 3, 0});
    PixelImage image;
    for (size_t cut : {size_t(0), size_t(2), size_t(14), size_t(53), whole.size() - 1}) {
        std::vector<u8> part(whole.begin(), whole.begin() + cut);
        if (part.empty()) continue;  // fmemopen needs a non-empty buffer
        EXPECT_FALSE(Decode(part, &image)) << cut;
    }
}

TEST(BmpCodecTest, WriterProducesTheTableLayout) {
    PixelImage image;
    const u8 pixels[] = {0, 1, 1, 1, 0, 0};  // 3 x 2, top row first
    ASSERT_TRUE(SetImagePixels(&image, 3, 2, kFormatColorIndex, pixels));
    const u8 palette[] = {10, 20, 30, 40, 50, 60};
    SetImagePalette(&image, 2, palette);
    bool ok = false;
    std::vector<u8> bytes = Encode(image, &ok);
    ASSERT_TRUE(ok);
    // File size 70 and image size 8: outside readers check them.
    std::vector<u8> expected = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,  // data offset 54 + 2 x 4
                                40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0,
                                0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                2, 0, 0, 0, 0, 0, 0, 0,                  // colours used, important
                                30, 20, 10, 0, 60, 50, 40, 0,            // palette as B, G, R, 0
                                1, 0, 0, 0, 0, 1, 1, 0};                 // bottom row first, padded
    EXPECT_EQ(bytes, expected);

    // RGB: BGR on disk, the image itself untouched; 6-byte rows padded to 8.
    PixelImage rgb;
    const u8 rgb_pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(SetImagePixels(&rgb, 2, 2, kFormatRgb, rgb_pixels));
    bytes = Encode(rgb, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(bytes.size(), 54u + 16u);
    EXPECT_EQ(bytes[2], 70);
    EXPECT_EQ(bytes[10], 54);
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes[34], 16);
    EXPECT_EQ(bytes[46], 0);
    EXPECT_EQ(std::vector<u8>(bytes.begin() + 54, bytes.end()),
              (std::vector<u8>{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));
    EXPECT_EQ(rgb.pixels[0], 1);
}

TEST(BmpCodecTest, AlphaImagesGetAGreyRampAndIndexAlphaIsRefused) {
    PixelImage alpha;
    const u8 pixels[] = {5, 250};
    ASSERT_TRUE(SetImagePixels(&alpha, 2, 1, kFormatAlpha, pixels));
    bool ok = false;
    std::vector<u8> bytes = Encode(alpha, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(bytes[10] | (bytes[11] << 8), 54 + 1024);
    EXPECT_EQ(bytes[46] | (bytes[47] << 8), 256);
    EXPECT_EQ(bytes[54 + 4 * 200], 200);  // entry 200 = (200, 200, 200)
    PixelImage back;
    ASSERT_TRUE(Decode(bytes, &back));
    EXPECT_EQ(back.pixels, alpha.pixels);

    PixelImage index_alpha;
    ASSERT_TRUE(SetImagePixels(&index_alpha, 1, 1, kFormatIndexAlpha, nullptr));
    Encode(index_alpha, &ok);
    EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace pirn
