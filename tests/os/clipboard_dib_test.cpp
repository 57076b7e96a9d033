#include "platform/os/clipboard_dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace pirn {
namespace {

void Put32(std::vector<u8>& b, u32 v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<u8>(v >> (8 * i)));
}
void Put16(std::vector<u8>& b, u16 v) {
    b.push_back(static_cast<u8>(v));
    b.push_back(static_cast<u8>(v >> 8));
}

// BITMAPINFOHEADER field by field, as the format table lists them.
std::vector<u8> InfoHeader(i32 width, i32 height, u16 bits, u32 compression, u32 colors_used = 0,
                           u32 header_size = 40, u16 planes = 1) {
    std::vector<u8> b;
    Put32(b, header_size);
    Put32(b, static_cast<u32>(width));
    Put32(b, static_cast<u32>(height));
    Put16(b, planes);
    Put16(b, bits);
    Put32(b, compression);
    Put32(b, 0);  // image size
    Put32(b, 0);  // x pixels per metre
    Put32(b, 0);  // y pixels per metre
    Put32(b, colors_used);
    Put32(b, 0);  // important colours
    b.resize(header_size, 0);
    return b;
}

void Append(std::vector<u8>& b, std::initializer_list<int> bytes) {
    for (int v : bytes) b.push_back(static_cast<u8>(v));
}

// The 2 x 2 picture every fixture below holds: top row red, green; bottom
// row blue, white.
const std::vector<u8> kPicture = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

TEST(ClipboardDib, EncodesA24BitBottomUpDibWithPaddedBgrRows) {
    std::vector<u8> dib;
    ASSERT_TRUE(EncodeClipboardDib(kPicture.data(), 2, 2, &dib));
    std::vector<u8> expected = InfoHeader(2, 2, 24, 0);
    Append(expected, {255, 0, 0, 255, 255, 255, 0, 0});  // bottom row first, BGR, 2 bytes padding
    Append(expected, {0, 0, 255, 0, 255, 0, 0, 0});
    EXPECT_EQ(dib, expected);

    ClipboardImage back;
    ASSERT_TRUE(DecodeClipboardDib(dib.data(), dib.size(), &back));
    EXPECT_EQ(back.width, 2u);
    EXPECT_EQ(back.height, 2u);
    EXPECT_EQ(back.rgb, kPicture);
}

TEST(ClipboardDib, RefusesToEncodeEmptyOrOversizedPictures) {
    std::vector<u8> dib;
    EXPECT_FALSE(EncodeClipboardDib(kPicture.data(), 0, 2, &dib));
    EXPECT_FALSE(EncodeClipboardDib(kPicture.data(), 2, 0, &dib));
    EXPECT_FALSE(EncodeClipboardDib(nullptr, 2, 2, &dib));
    EXPECT_FALSE(EncodeClipboardDib(kPicture.data(), 40000, 1, &dib));
    EXPECT_TRUE(dib.empty());
}

TEST(ClipboardDib, DecodesTheLayoutsOtherProgramsOffer) {
    struct Case {
        const char* name;
        std::vector<u8> dib;
    };
    std::vector<Case> cases;

    std::vector<u8> top_down = InfoHeader(2, -2, 24, 0);
    Append(top_down, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
    cases.push_back({"24 bits, top-down", top_down});

    std::vector<u8> thirty_two = InfoHeader(2, 2, 32, 0);
    Append(thirty_two, {255, 0, 0, 9, 255, 255, 255, 9, 0, 0, 255, 9, 0, 255, 0, 9});
    cases.push_back({"32 bits, alpha dropped", thirty_two});

    std::vector<u8> bit_fields = InfoHeader(2, 2, 32, 3);
    Put32(bit_fields, 0xFF0000);
    Put32(bit_fields, 0xFF00);
    Put32(bit_fields, 0xFF);
    Append(bit_fields, {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0});
    cases.push_back({"32 bits with bit-field masks after the header", bit_fields});

    std::vector<u8> v5 = InfoHeader(2, 2, 32, 3, 0, 124);
    for (int i = 0; i < 3; ++i) v5[40 + 4 * i] = 0;
    v5[42] = 0xFF;  // red mask 0x00FF0000 inside the longer header
    v5[45] = 0xFF;  // green 0x0000FF00
    v5[48] = 0xFF;  // blue 0x000000FF
    Append(v5, {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0});
    cases.push_back({"version 5 header with its masks inside", v5});

    std::vector<u8> palette = InfoHeader(2, 2, 8, 0, 4);
    Append(palette, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0});  // red, green, blue, white
    Append(palette, {2, 3, 0, 0, 0, 1, 0, 0});
    cases.push_back({"8 bits through a 4-entry palette", palette});

    std::vector<u8> with_colour_table = InfoHeader(2, 2, 24, 0, 1);
    Append(with_colour_table, {1, 2, 3, 0});  // optional table, skipped
    Append(with_colour_table, {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0});
    cases.push_back({"24 bits after an optional colour table", with_colour_table});

    for (const Case& c : cases) {
        ClipboardImage image;
        ASSERT_TRUE(DecodeClipboardDib(c.dib.data(), c.dib.size(), &image)) << c.name;
        EXPECT_EQ(image.width, 2u) << c.name;
        EXPECT_EQ(image.height, 2u) << c.name;
        EXPECT_EQ(image.rgb, kPicture) << c.name;
    }
}

TEST(ClipboardDib, RefusesHeadersThatDoNotMatchTheirBytes) {
    auto with_rows = [](std::vector<u8> header, std::size_t row_bytes) {
        header.resize(header.size() + row_bytes, 0);
        return header;
    };
    struct Case {
        const char* name;
        std::vector<u8> dib;
    };
    std::vector<u8> bad_masks = InfoHeader(2, 2, 32, 3);
    Put32(bad_masks, 0xF800);
    Put32(bad_masks, 0x07E0);
    Put32(bad_masks, 0x001F);
    bad_masks.resize(bad_masks.size() + 16, 0);
    std::vector<u8> index_beyond = InfoHeader(2, 1, 8, 0, 2);
    Append(index_beyond, {0, 0, 0, 0, 255, 255, 255, 0, 1, 2, 0, 0});
    std::vector<u8> core_header = with_rows(InfoHeader(2, 2, 24, 0), 16);
    core_header[0] = 12;  // the older 12-byte header
    std::vector<u8> header_beyond = with_rows(InfoHeader(2, 2, 24, 0), 16);
    header_beyond[0] = 200;
    const Case cases[] = {
        {"shorter than a header", std::vector<u8>(39, 0)},
        {"rows cut short", with_rows(InfoHeader(2, 2, 24, 0), 15)},
        {"header size below 40", core_header},
        {"header size beyond the bytes", header_beyond},
        {"zero width", with_rows(InfoHeader(0, 2, 24, 0), 16)},
        {"negative width", with_rows(InfoHeader(-2, 2, 24, 0), 16)},
        {"zero height", with_rows(InfoHeader(2, 0, 24, 0), 16)},
        {"two planes", with_rows(InfoHeader(2, 2, 24, 0, 0, 40, 2), 16)},
        {"16 bits", with_rows(InfoHeader(2, 2, 16, 0), 16)},
        {"run-length compressed", with_rows(InfoHeader(2, 2, 8, 1), 1024 + 16)},
        {"bit fields of another layout", bad_masks},
        {"palette index beyond the palette", index_beyond},
        {"more than 256 palette entries", with_rows(InfoHeader(2, 2, 8, 0, 257), 257 * 4 + 16)},
        {"sides whose pixels overflow", with_rows(InfoHeader(0x7FFFFFFF, 0x7FFFFFFF, 24, 0), 16)},
    };
    for (const Case& c : cases) {
        ClipboardImage image;
        EXPECT_FALSE(DecodeClipboardDib(c.dib.data(), c.dib.size(), &image)) << c.name;
        EXPECT_TRUE(image.rgb.empty()) << c.name;
    }
}

}  // namespace
}  // namespace pirn
