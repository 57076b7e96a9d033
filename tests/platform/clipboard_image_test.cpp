#include "platform/clipboard_image.h"

#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

void PutU16(std::vector<u8>& b, std::size_t at, u32 v) {
    b[at] = static_cast<u8>(v);
    b[at + 1] = static_cast<u8>(v >> 8);
}
void PutU32(std::vector<u8>& b, std::size_t at, u32 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<u8>(v >> (8 * i));
}

// A 3 x 2 24-bit BMP laid out by hand: "BM", the 12-byte file header, the
// 40-byte information header, then rows bottom-up in BGR order, each padded
// from 9 to 12 bytes.
std::vector<u8> HandBuiltBmp(i32 height_field = 2) {
    std::vector<u8> b(54 + 2 * 12, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutU32(b, 2, static_cast<u32>(b.size()));
    PutU32(b, 10, 54);
    PutU32(b, 14, 40);
    PutU32(b, 18, 3);
    PutU32(b, 22, static_cast<u32>(height_field));
    PutU16(b, 26, 1);
    PutU16(b, 28, 24);
    const u8 bottom[9] = {3, 2, 1, 6, 5, 4, 9, 8, 7};          // BGR of (1,2,3) (4,5,6) (7,8,9)
    const u8 top[9] = {30, 20, 10, 60, 50, 40, 90, 80, 70};
    std::memcpy(&b[54], height_field > 0 ? bottom : top, 9);
    std::memcpy(&b[66], height_field > 0 ? top : bottom, 9);
    return b;
}

const std::vector<u8> kTopDownRgb = {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(ClipboardImageTest, DecodesAHandBuiltBmpEitherWayUp) {
    for (i32 height : {2, -2}) {
        const std::vector<u8> bmp = HandBuiltBmp(height);
        ClipboardImage image;
        ASSERT_TRUE(DecodeClipboardImage("image/bmp", bmp.data(), bmp.size(), &image)) << height;
        EXPECT_EQ(image.width, 3u);
        EXPECT_EQ(image.height, 2u);
        EXPECT_EQ(image.rgb, kTopDownRgb);
    }
}

TEST(ClipboardImageTest, RefusesPicturesWhoseHeaderDoesNotMatchTheirBytes) {
    ClipboardImage image;
    std::vector<u8> bmp = HandBuiltBmp();
    std::vector<u8> truncated(bmp.begin(), bmp.end() - 1);
    EXPECT_FALSE(DecodeClipboardImage("image/bmp", truncated.data(), truncated.size(), &image));

    std::vector<u8> taller = HandBuiltBmp();
    PutU32(taller, 22, 3);  // claims a third row that never came
    EXPECT_FALSE(DecodeClipboardImage("image/bmp", taller.data(), taller.size(), &image));

    std::vector<u8> huge = HandBuiltBmp();
    PutU32(huge, 18, 30000);
    PutU32(huge, 22, 30000);
    EXPECT_FALSE(DecodeClipboardImage("image/bmp", huge.data(), huge.size(), &image));

    std::vector<u8> sixteen = HandBuiltBmp();
    PutU16(sixteen, 28, 16);
    EXPECT_FALSE(DecodeClipboardImage("image/bmp", sixteen.data(), sixteen.size(), &image));

    EXPECT_FALSE(DecodeClipboardImage("image/png", bmp.data(), bmp.size(), &image));
    EXPECT_FALSE(DecodeClipboardImage("image/jpeg", bmp.data(), bmp.size(), &image));
    EXPECT_FALSE(DecodeClipboardImage("image/bmp", bmp.data(), 0, &image));
    EXPECT_EQ(image.width, 0u);
}

TEST(ClipboardImageTest, EncodesBmpAsTheWriterTableSays) {
    std::vector<u8> bmp;
    ASSERT_TRUE(EncodeClipboardImage("image/bmp", kTopDownRgb.data(), 3, 2, &bmp));
    ASSERT_EQ(bmp.size(), 54u + 24u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[10], 54);   // data offset
    EXPECT_EQ(bmp[14], 40);   // information header size
    EXPECT_EQ(bmp[18], 3);    // width
    EXPECT_EQ(bmp[22], 2);    // positive height: bottom-up
    EXPECT_EQ(bmp[26], 1);    // planes
    EXPECT_EQ(bmp[28], 24);   // bits
    const std::vector<u8> rows(bmp.begin() + 54, bmp.end());
    const std::vector<u8> expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0,
                                      30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0};
    EXPECT_EQ(rows, expected);

    EXPECT_FALSE(EncodeClipboardImage("image/bmp", kTopDownRgb.data(), 0, 2, &bmp));
    EXPECT_FALSE(EncodeClipboardImage("text/plain", kTopDownRgb.data(), 3, 2, &bmp));
}

TEST(ClipboardImageTest, PngRoundTrip) {
    std::vector<u8> png;
    ASSERT_TRUE(EncodeClipboardImage("image/png", kTopDownRgb.data(), 3, 2, &png));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    ClipboardImage image;
    ASSERT_TRUE(DecodeClipboardImage("image/png", png.data(), png.size(), &image));
    EXPECT_EQ(image.rgb, kTopDownRgb);
}

// The RGBA pixels of a PngSuite JSON dump, alpha dropped.
std::vector<u8> JsonRgb(const std::string& path) {
    const std::vector<uint8_t> text = pirn_test::ReadAll(path);
    std::vector<u8> rgba;
    int value = -1;
    for (uint8_t c : text) {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
        } else if (value >= 0) {
            rgba.push_back(static_cast<u8>(value));
            value = -1;
        }
    }
    std::vector<u8> rgb;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) rgb.insert(rgb.end(), &rgba[i], &rgba[i] + 3);
    return rgb;
}

TEST(ClipboardImageTest, PngsFromOtherProgramsBecomeRgb) {
    const std::string suite = pirn_test::TestDataDir() + "/pngsuite";
    for (const char* name : {"basn2c08", "basn3p08", "basn0g08", "basn6a08", "basi2c08"}) {
        const std::vector<uint8_t> png = pirn_test::ReadAll(suite + "/png/" + name + ".png");
        ClipboardImage image;
        ASSERT_TRUE(DecodeClipboardImage("image/png", png.data(), png.size(), &image)) << name;
        EXPECT_EQ(image.width, 32u);
        EXPECT_EQ(image.rgb, JsonRgb(suite + "/json/" + name + ".json")) << name;
    }
    for (const char* name : {"xs1n0g01", "xcrn0g04", "basn0g16"}) {
        const std::vector<uint8_t> png = pirn_test::ReadAll(suite + "/png/" + name + ".png");
        ClipboardImage image;
        EXPECT_FALSE(DecodeClipboardImage("image/png", png.data(), png.size(), &image)) << name;
    }
}

TEST(ClipboardImageTest, DibRowsReverseTwiceToTheSamePicture) {
    std::vector<u8> dib(24, 0xEE);
    ConvertDibRows(dib.data(), kTopDownRgb.data(), 3, 2, false, true);
    EXPECT_EQ(std::vector<u8>(dib.begin(), dib.begin() + 12), (std::vector<u8>{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
    std::vector<u8> back(18);
    ConvertDibRows(back.data(), dib.data(), 3, 2, true, false);
    EXPECT_EQ(back, kTopDownRgb);
}

}  // namespace
}  // namespace pirn
