// The detail-texture editor's commands on the data: image checks, import
// and export, paste, new textures, mean centring and the quadrant swap.

#include <gtest/gtest.h>

#include <memory>

#include "models/dtex_commands.h"
#include "platform/image_file.h"
#include "tests/support/test_support.h"

namespace {

using pirn::u32;
using pirn::u8;

std::vector<u8> Gradient(u32 w, u32 h) {
    std::vector<u8> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = u8(i * 7 + i / 5);
    return rgb;
}

void WriteImage(const std::string& path, u32 type, u32 format, u32 w, u32 h) {
    pirn::PixelImage image;
    std::vector<u8> pixels(size_t(w) * h * size_t(pirn::BytesPerPixel(format)), 0x40);
    if (format == pirn::kFormatRgb) pixels = Gradient(w, h);
    ASSERT_TRUE(pirn::SetImagePixels(&image, w, h, format, pixels.data()));
    std::vector<u8> bytes;
    ASSERT_TRUE(pirn::EncodeImageBytes(type, image, &bytes));
    pirn_test::WriteAll(path, bytes);
}

std::unique_ptr<pirn::DtexTag> Texture(u32 w, u32 h, const std::vector<u8>& rgb) {
    auto dtex = std::make_unique<pirn::DtexTag>(nullptr);
    dtex->SetPixels(rgb.data(), w, h);
    return dtex;
}

std::vector<u8> Flat(u32 n, u8 r, u8 g, u8 b) {
    std::vector<u8> rgb;
    for (u32 i = 0; i < n; ++i) rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

TEST(DtexCommands, ImageCheckRefusesWhatCannotBeATexture) {
    struct Case {
        u32 format, w, h;
        const char* expected;
    };
    for (Case c : {Case{pirn::kFormatRgb, 256, 256, nullptr}, Case{pirn::kFormatRgb, 2048, 1, nullptr},
                   Case{pirn::kFormatRgba, 256, 256, pirn::kDtexMessageNot24Bit},
                   Case{pirn::kFormatAlpha, 256, 256, pirn::kDtexMessageNot24Bit},
                   Case{pirn::kFormatColorIndex, 256, 256, pirn::kDtexMessageNot24Bit},
                   Case{pirn::kFormatRgb, 100, 64, pirn::kDtexMessageNotPowerOfTwo},
                   Case{pirn::kFormatRgb, 0, 64, pirn::kDtexMessageNotPowerOfTwo},
                   Case{pirn::kFormatRgb, 4096, 64, pirn::kDtexMessageTooLarge},
                   Case{pirn::kFormatRgb, 64, 8192, pirn::kDtexMessageTooLarge}})
        EXPECT_EQ(pirn::CheckDtexImage(c.format, c.w, c.h), c.expected) << c.format << " " << c.w << "x" << c.h;
    EXPECT_STREQ(pirn::kDtexMessageNotPowerOfTwo, "The texture must have dimensions that are powers of two.");
    EXPECT_STREQ(pirn::kDtexMessageNot24Bit, "Image must be 24 bit RGB.");
}

TEST(DtexCommands, ImportsOnlyRgbPowerOfTwoImages) {
    pirn_test::TempDir dir;
    WriteImage(dir.file("good.png"), pirn::kTypePng, pirn::kFormatRgb, 32, 16);
    WriteImage(dir.file("good.bmp"), pirn::kTypeBmp, pirn::kFormatRgb, 8, 4);
    WriteImage(dir.file("alpha.png"), pirn::kTypePng, pirn::kFormatRgba, 32, 32);
    WriteImage(dir.file("grey.png"), pirn::kTypePng, pirn::kFormatAlpha, 32, 32);
    WriteImage(dir.file("odd.png"), pirn::kTypePng, pirn::kFormatRgb, 100, 64);
    pirn_test::WriteAll(dir.file("junk.png"), std::string("not a picture"));
    struct Case {
        const char* file;
        const char* expected;
    };
    for (Case c : {Case{"good.png", nullptr}, Case{"good.bmp", nullptr}, Case{"alpha.png", pirn::kDtexMessageNot24Bit},
                   Case{"grey.png", pirn::kDtexMessageNot24Bit}, Case{"odd.png", pirn::kDtexMessageNotPowerOfTwo},
                   Case{"junk.png", pirn::kDtexMessageLoadFailed}, Case{"missing.png", pirn::kDtexMessageLoadFailed}}) {
        pirn::DtexPicture picture;
        EXPECT_EQ(pirn::LoadDtexImageFile(dir.file(c.file), &picture), c.expected) << c.file;
    }
    pirn::DtexPicture picture;
    ASSERT_EQ(pirn::LoadDtexImageFile(dir.file("good.png"), &picture), nullptr);
    EXPECT_EQ(picture.width, 32u);
    EXPECT_EQ(picture.rgb, Gradient(32, 16));
}

TEST(DtexCommands, ExportedImageReadsBackWithTheSamePixels) {
    pirn_test::TempDir dir;
    auto dtex = Texture(16, 8, Gradient(16, 8));
    for (const char* name : {"out.png", "out.bmp", "out.tiff"}) {
        ASSERT_EQ(pirn::SaveDtexImageFile(*dtex, dir.file(name)), nullptr) << name;
        pirn::DtexPicture back;
        ASSERT_EQ(pirn::LoadDtexImageFile(dir.file(name), &back), nullptr) << name;
        EXPECT_EQ(back.rgb, dtex->pixels) << name;
    }
    EXPECT_EQ(pirn::SaveDtexImageFile(*dtex, dir.file("no/such/folder/out.png")), pirn::kDtexMessageWriteFailed);
    EXPECT_EQ(pirn::SaveDtexImageFile(*dtex, dir.file("out.unknown")), pirn::kDtexMessageWriteFailed);
}

TEST(DtexCommands, PasteTakesOnlyUsablePictures) {
    auto dtex = Texture(1, 1, {1, 2, 3});
    const char* message = "unset";
    pirn::DtexPicture none;
    EXPECT_EQ(pirn::PasteDtexPicture(dtex.get(), false, none, &message), pirn::DtexPasteResult::kBeepOnly);
    EXPECT_EQ(message, nullptr);

    pirn::DtexPicture odd{100, 64, std::vector<u8>(100 * 64 * 3)};
    EXPECT_EQ(pirn::PasteDtexPicture(dtex.get(), true, odd, &message), pirn::DtexPasteResult::kMessageAndBeep);
    EXPECT_EQ(message, pirn::kDtexMessageNotPowerOfTwo);
    pirn::DtexPicture huge{4096, 1, std::vector<u8>(4096 * 3)};
    EXPECT_EQ(pirn::PasteDtexPicture(dtex.get(), true, huge, &message), pirn::DtexPasteResult::kMessageAndBeep);
    EXPECT_EQ(message, pirn::kDtexMessageTooLarge);
    EXPECT_EQ(dtex->pixels, (std::vector<u8>{1, 2, 3}));

    pirn::DtexPicture good{4, 2, Gradient(4, 2)};
    dtex->uploaded = true;
    EXPECT_EQ(pirn::PasteDtexPicture(dtex.get(), true, good, &message), pirn::DtexPasteResult::kPasted);
    EXPECT_EQ(dtex->pixels, good.rgb);
    EXPECT_EQ(dtex->width, 4u);
    EXPECT_FALSE(dtex->uploaded);
}

TEST(DtexCommands, NewTextureStopsCleanlyWhenNoTagIsMade) {
    pirn_test::TempDir dir;
    WriteImage(dir.file("Grass Tile.png"), pirn::kTypePng, pirn::kFormatRgb, 8, 8);
    std::string asked;
    const char* message = "unset";
    pirn::DtexTag* made = pirn::NewDtexFromImageFile(
        dir.file("Grass Tile.png"),
        [&](const std::string& name) -> pirn::DtexTag* {
            asked = name;
            return nullptr;
        },
        &message);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(message, nullptr);
    EXPECT_EQ(asked, "Grass Tile");

    pirn::DtexTag target(nullptr);
    made = pirn::NewDtexFromImageFile(dir.file("Grass Tile.png"), [&](const std::string&) { return &target; },
                                      &message);
    EXPECT_EQ(made, &target);
    EXPECT_EQ(target.pixels, Gradient(8, 8));

    pirn::DtexPicture none;
    EXPECT_EQ(pirn::NewDtexFromClipboard(false, none, [&](const std::string&) { return &target; }, &message), nullptr);
    EXPECT_EQ(message, pirn::kDtexMessageNoClipboardImage);
    pirn::DtexPicture odd{3, 4, std::vector<u8>(36)};
    EXPECT_EQ(pirn::NewDtexFromClipboard(true, odd, [&](const std::string&) { return &target; }, &message), nullptr);
    EXPECT_EQ(message, pirn::kDtexMessageNotPowerOfTwo);
    pirn::DtexPicture good{2, 2, Flat(4, 1, 2, 3)};
    EXPECT_EQ(pirn::NewDtexFromClipboard(true, good, [&](const std::string& name) {
                  EXPECT_EQ(name, "");
                  return &target;
              }, &message),
              &target);
    EXPECT_EQ(target.pixels, good.rgb);
}

TEST(DtexCommands, MeanCentringShiftsTheMeanToMidGrey) {
    struct Case {
        const char* what;
        u32 side;
        std::vector<u8> pixels;
        u32 mode;
        std::vector<u8> first_pixel_after;
    };
    std::vector<u8> halves = Flat(8, 0, 0, 0);
    std::vector<u8> bright = Flat(8, 255, 255, 255);
    halves.insert(halves.end(), bright.begin(), bright.end());
    for (const Case& c : std::vector<Case>{
             {"rgb flat grey 100", 4, Flat(16, 100, 100, 100), pirn::kMeanCenterRgb, {128, 128, 128}},
             {"rgb per channel", 4, Flat(16, 250, 10, 128), pirn::kMeanCenterRgb, {128, 128, 128}},
             // Mean 127.5 rounds down: +1, so 0 -> 1 and 255 sticks.
             {"rgb clamps", 4, halves, pirn::kMeanCenterRgb, {1, 1, 1}},
             // Luma of flat 200 is 200: offset 128 - floor(51200 / 255) = -72.
             {"luma flat 200, 256 pixels", 16, Flat(256, 200, 200, 200), pirn::kMeanCenterLuma, {128, 128, 128}},
             // Flat 255: offset 128 - 256 = -128, giving 127.
             {"luma flat 255", 16, Flat(256, 255, 255, 255), pirn::kMeanCenterLuma, {127, 127, 127}},
             {"luma under 256 pixels", 2, Flat(4, 200, 200, 200), pirn::kMeanCenterLuma, {128, 128, 128}},
             {"luma one pixel", 1, Flat(1, 0, 0, 0), pirn::kMeanCenterLuma, {128, 128, 128}},
             // Luma floor((77 x 250 + 151 x 10 + 28 x 100) / 256) = 92: offset 36.
             {"luma colours", 16, Flat(256, 250, 10, 100), pirn::kMeanCenterLuma, {255, 46, 136}},
         }) {
        auto dtex = Texture(c.side, u32(c.pixels.size() / 3 / c.side), c.pixels);
        dtex->uploaded = true;
        pirn::MeanCenterTexture(dtex.get(), c.mode);
        EXPECT_EQ(std::vector<u8>(dtex->pixels.begin(), dtex->pixels.begin() + 3), c.first_pixel_after) << c.what;
        EXPECT_FALSE(dtex->uploaded) << c.what;
    }
}

TEST(DtexCommands, QuadrantSwapShiftsByHalfAndUndoesItself) {
    // 4 x 2: pixel (x, y) holds the value 10 y + x in every channel.
    std::vector<u8> rgb;
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 4; ++x) rgb.insert(rgb.end(), 3, u8(10 * y + x));
    auto dtex = Texture(4, 2, rgb);
    pirn::SwapTextureQuadrants(dtex.get());
    std::vector<u8> first_channel;
    for (size_t i = 0; i < dtex->pixels.size(); i += 3) first_channel.push_back(dtex->pixels[i]);
    EXPECT_EQ(first_channel, (std::vector<u8>{12, 13, 10, 11, 2, 3, 0, 1}));
    pirn::SwapTextureQuadrants(dtex.get());
    EXPECT_EQ(dtex->pixels, rgb);

    auto column = Texture(1, 4, Flat(4, 0, 0, 0));
    column->pixels[0] = 9;
    pirn::SwapTextureQuadrants(column.get());
    EXPECT_EQ(column->pixels[6], 9);
}

}  // namespace
