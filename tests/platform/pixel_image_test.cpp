#include "platform/pixel_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pirn {
namespace {

PixelImage MakeImage(u32 width, u32 height, u32 format, std::vector<u8> pixels) {
    PixelImage image;
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    return image;
}

TEST(PixelImageTest, BytesPerPixelFollowsTheFormatTable) {
    struct Case {
        u32 format;
        int bytes;
    } cases[] = {{6400, 1}, {6406, 1}, {6407, 3}, {6408, 4}, {6666, 2}, {1, 1},
                 {200, 200}, {255, 255}, {0, -1}, {256, -1}, {6401, -1}, {0xFFFFFFFF, -1}};
    for (const Case& c : cases) EXPECT_EQ(BytesPerPixel(c.format), c.bytes) << c.format;
}

TEST(PixelImageTest, SizeProductsAreCheckedIn64Bits) {
    u64 bytes = 0;
    EXPECT_TRUE(ImageByteSize(16384, 16384, kFormatRgba, &bytes));
    EXPECT_EQ(bytes, u64(1) << 30);
    // 65536 x 65536 x 4 wraps to 0 in 32 bits; 0xFFFFFFFF squared wraps too.
    EXPECT_FALSE(ImageByteSize(65536, 65536, kFormatRgba, &bytes));
    EXPECT_FALSE(ImageByteSize(0xFFFFFFFFu, 0xFFFFFFFFu, kFormatRgb, &bytes));
    EXPECT_FALSE(ImageByteSize(16385, 16384, kFormatRgba, &bytes));
    EXPECT_FALSE(ImageByteSize(10, 10, 0, &bytes));

    PixelImage image;
    EXPECT_FALSE(SetImagePixels(&image, 65536, 65536, kFormatRgba, nullptr));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(PixelImageTest, SetPixelsCopiesOrZeroFillsAndPaletteKeepsOnly256Entries) {
    PixelImage image = MakeImage(2, 1, kFormatRgb, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(image.pixels, (std::vector<u8>{1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(SetImagePixels(&image, 1, 2, kFormatRgb, nullptr));
    EXPECT_EQ(image.pixels, std::vector<u8>(6, 0));

    std::vector<u8> rgb(300 * 3, 7);
    SetImagePalette(&image, 300, rgb.data());
    EXPECT_EQ(image.palette_count, 256u);
    EXPECT_EQ(image.palette.size(), kPaletteBytes);
    SetImagePalette(&image, 2, rgb.data());
    EXPECT_EQ(image.palette[5], 7);
    EXPECT_EQ(image.palette[6], 0);  // the rest zeroed
    SetImagePalette(&image, 0, rgb.data());
    EXPECT_FALSE(image.has_palette());
}

TEST(PixelImageTest, CropKeepsTheInclusiveRectangleAndRefusesOutside) {
    PixelImage image = MakeImage(3, 3, kFormatIndexAlpha,
                                 {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8});
    PixelImage copy = image;
    EXPECT_FALSE(CropImage(&copy, 1, 1, 3, 2));
    EXPECT_FALSE(CropImage(&copy, 2, 0, 1, 2));
    EXPECT_EQ(copy.pixels, image.pixels);
    ASSERT_TRUE(CropImage(&image, 1, 1, 2, 2));
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.pixels, (std::vector<u8>{4, 4, 5, 5, 7, 7, 8, 8}));
}

TEST(PixelImageTest, ContentBoundsUseAlphaForRgbaAndTheFirstByteOtherwise) {
    // RGBA: only the alpha byte counts, so the bright but clear pixel is out.
    PixelImage rgba = MakeImage(3, 2, kFormatRgba,
                                {255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 9});
    ImageBounds bounds;
    EXPECT_TRUE(ImageContentBounds(rgba, &bounds));
    EXPECT_EQ(bounds.x0, 1u);
    EXPECT_EQ(bounds.y0, 1u);
    EXPECT_EQ(bounds.x1, 2u);
    EXPECT_EQ(bounds.y1, 1u);

    PixelImage rgb = MakeImage(2, 2, kFormatRgb, {0, 5, 5, 0, 0, 0, 0, 0, 0, 3, 0, 0});
    EXPECT_TRUE(ImageContentBounds(rgb, &bounds));
    EXPECT_EQ(bounds.x0, 1u);
    EXPECT_EQ(bounds.y0, 1u);

    PixelImage empty = MakeImage(2, 2, kFormatAlpha, {0, 0, 0, 0});
    EXPECT_FALSE(ImageContentBounds(empty, &bounds));
    EXPECT_EQ(bounds.x1, 0u);
    EXPECT_EQ(bounds.y1, 0u);
}

TEST(PixelImageTest, ChannelsAreWrittenAndInverted) {
    PixelImage image = MakeImage(2, 1, kFormatRgba, {1, 2, 3, 4, 5, 6, 7, 8});
    const u8 plane[] = {100, 200};
    ASSERT_TRUE(SetImageChannel(&image, 3, plane));
    ASSERT_TRUE(InvertImageChannel(&image, 0));
    EXPECT_EQ(image.pixels, (std::vector<u8>{254, 2, 3, 100, 250, 6, 7, 200}));
    EXPECT_FALSE(SetImageChannel(&image, 4, plane));
    EXPECT_FALSE(InvertImageChannel(&image, 4));
}

TEST(PixelImageTest, ChecksumIsZlibCrc32AndNeverZero) {
    const char* text = "123456789";
    PixelImage image = MakeImage(9, 1, kFormatColorIndex, std::vector<u8>(text, text + 9));
    UpdateImageChecksum(&image);
    EXPECT_EQ(image.checksum, 0xCBF43926u);

    // These four bytes have a CRC-32 of 0, which would read as "not computed".
    PixelImage zero = MakeImage(4, 1, kFormatColorIndex, {157, 10, 217, 109});
    UpdateImageChecksum(&zero);
    EXPECT_EQ(zero.checksum, 0xFFFFFFFFu);
}

TEST(PixelImageTest, ImagesEqualComparesSizeFormatChecksumAndEveryRow) {
    std::vector<u8> pixels(5 * 7);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<u8>(i);
    PixelImage a = MakeImage(5, 7, kFormatAlpha, pixels);
    PixelImage b = a;
    u8 grey[kPaletteBytes] = {1};
    SetImagePalette(&b, 1, grey);  // palettes are not compared
    EXPECT_TRUE(ImagesEqual(a, b));

    // A difference in the first and in the last row, the edges of the
    // middle-out walk.
    for (size_t at : {size_t(0), pixels.size() - 1, size_t(17)}) {
        PixelImage c = a;
        c.pixels[at] ^= 1;
        EXPECT_FALSE(ImagesEqual(a, c)) << at;
    }
    PixelImage d = a;
    d.format = kFormatColorIndex;
    EXPECT_FALSE(ImagesEqual(a, d));

    PixelImage e = a;
    e.checksum = 5;
    EXPECT_TRUE(ImagesEqual(a, e));  // a's checksum is 0: not computed
    a.checksum = 6;
    EXPECT_FALSE(ImagesEqual(a, e));
}

TEST(PixelImageTest, MoveClearsTheSource) {
    PixelImage a = MakeImage(1, 1, kFormatRgb, {1, 2, 3});
    PixelImage b;
    MovePixelImage(&b, &a);
    EXPECT_EQ(b.pixels.size(), 3u);
    EXPECT_TRUE(a.pixels.empty());
    EXPECT_EQ(a.width, 0u);
    MovePixelImage(&b, &b);
    EXPECT_EQ(b.pixels.size(), 3u);
}

}  // namespace
}  // namespace pirn
