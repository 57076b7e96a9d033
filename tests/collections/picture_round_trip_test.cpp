// Outside pictures through a collection and back: PngSuite PNGs and BMPs
// that Pillow wrote are imported, exported as PNG, BMP and TIFF, and read
// again (by us, and by Pillow and pngcheck where they are installed) with
// the same pixels wherever the stored form keeps them.

#include <gtest/gtest.h>

#include <cstdio>

#include "collections/bitmap_export.h"
#include "collections/bitmap_import.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

std::string DataFile(const std::string& relative) { return pirn_test::SourceDir() + "/tests/data/" + relative; }

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    *status = pclose(pipe);
    return output;
}

bool HavePillow() {
    int status = -1;
    RunCommand("/usr/bin/python3 -c 'import PIL'", &status);
    return status == 0;
}

PixelImage Load(const std::string& path) {
    ImageFile file;
    InitImageFile(&file, path);
    EXPECT_TRUE(LoadImageFile(&file)) << path;
    PixelImage image;
    MovePixelImage(&image, &file.image);
    return image;
}

const char* const kPalettedPictures[] = {
    "pngsuite/png/basn3p08.png", "pngsuite/png/basi3p08.png", "pngsuite/png/tbbn3p08.png",
    "pngsuite/png/tp1n3p08.png", "pngsuite/png/ch2n3p08.png", "pngsuite/png/cs3n3p08.png",
    "collections/pillow_basn3p08.bmp", "collections/pillow_tbbn3p08.bmp",
};

TEST(PictureRoundTrip, PalettedPicturesExportToTheirOwnColours) {
    for (const char* picture : kPalettedPictures) {
        for (u32 type : {kTypePng, kTypeBmp, kTypeTiff}) {
            SCOPED_TRACE(testing::Message() << picture << " as type " << type);
            pirn_test::TempDir dir;
            ScriptedPrompts prompts;
            Collection c;
            InitCollection(&c);
            ASSERT_EQ(AddBitmapsFromFiles(&c, {DataFile(picture)}, false, prompts), 1u);
            const PixelImage source = Load(DataFile(picture));
            const std::string out = dir.file("out");
            ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], false, out, type, prompts));
            const PixelImage back = Load(out + FileTypeRow(type).extension);
            ASSERT_EQ(back.format, kFormatColorIndex);
            ASSERT_EQ(back.width, source.width);
            ASSERT_EQ(back.height, source.height);
            const bool rle = (c.bitmaps[0]->flags & kBitmapRle) != 0;
            for (size_t i = 0; i < source.pixels.size(); ++i) {
                const u8 s = source.pixels[i], b = back.pixels[i];
                if (s < 2) {
                    ASSERT_EQ(b, rle ? 0 : 1) << "transparent pixel " << i;
                    continue;
                }
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(back.palette[3 * b + k], source.palette[3 * s + k]) << "pixel " << i;
            }
        }
    }
}

TEST(PictureRoundTrip, GreyPicturesComeBackAsTheSameShadow) {
    for (const char* picture : {"pngsuite/png/basn0g08.png", "collections/pillow_basn0g08.bmp"}) {
        SCOPED_TRACE(picture);
        pirn_test::TempDir dir;
        ScriptedPrompts prompts;
        Collection c;
        InitCollection(&c);
        ASSERT_EQ(AddBitmapsFromFiles(&c, {DataFile(picture)}, true, prompts), 1u);
        const PixelImage source = Load(DataFile(picture));
        ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], false, dir.file("shadow.png"), 0, prompts));
        const PixelImage back = Load(dir.file("shadow.png"));
        EXPECT_EQ(back.format, kFormatAlpha) << "a grey-ramp palette reads as greyscale";
        EXPECT_EQ(back.pixels, source.pixels);
    }
}

TEST(PictureRoundTrip, PicturesOtherThanEightBitAreRefused) {
    ScriptedPrompts prompts;
    Collection c;
    InitCollection(&c);
    EXPECT_EQ(AddBitmapsFromFiles(&c, {DataFile("pngsuite/png/basn6a08.png")}, false, prompts), 0u);
    EXPECT_EQ(AddBitmapsFromFiles(&c, {DataFile("pngsuite/png/basn2c08.png")}, true, prompts), 0u);
    EXPECT_EQ(prompts.errors, (std::vector<std::string>{"'basn6a08.png': The image is not 8-bit paletted.",
                                                         "'basn2c08.png': The image is not 8-bit greyscale."}));
}

TEST(PictureRoundTrip, OutsideReadersSeeOurExportsAsPalettedAndGrey) {
    PIRN_SKIP_LINUX_CHECKERS("python3 with Pillow");
    if (!HavePillow()) GTEST_SKIP() << "Pillow is not installed";
    pirn_test::TempDir dir;
    ScriptedPrompts prompts;
    Collection c;
    InitCollection(&c);
    ASSERT_EQ(AddBitmapsFromFiles(&c, {DataFile("pngsuite/png/basn3p08.png")}, false, prompts), 1u);
    ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], false, dir.file("colors.png"), 0, prompts));
    ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], true, dir.file("alpha.png"), 0, prompts));
    ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], false, dir.file("colors.bmp"), 0, prompts));
    const PixelImage colors = Load(dir.file("colors.png"));
    int status = -1;
    const std::string script = "from PIL import Image\n"
                               "import sys\n"
                               "for p in sys.argv[1:]:\n"
                               "    im = Image.open(p)\n"
                               "    print(im.mode, im.size[0], im.size[1], sum(im.getdata()))\n";
    pirn_test::WriteAll(dir.file("check.py"), script);
    const std::string output = RunCommand("/usr/bin/python3 " + dir.file("check.py") + " " + dir.file("colors.png") +
                                              " " + dir.file("alpha.png") + " " + dir.file("colors.bmp"),
                                          &status);
    ASSERT_EQ(status, 0) << output;
    u64 index_sum = 0, alpha_sum = 0;
    for (u8 v : colors.pixels) index_sum += v;
    for (size_t i = 0; i < c.bitmaps[0]->pixels.size(); i += 2) alpha_sum += c.bitmaps[0]->pixels[i];
    const std::string sum = std::to_string(index_sum);
    EXPECT_EQ(output, "P 32 32 " + sum + "\nL 32 32 " + std::to_string(alpha_sum) + "\nP 32 32 " + sum + "\n");
    int pngcheck = -1, tiffinfo = -1;
    RunCommand("command -v pngcheck", &pngcheck);
    if (pngcheck == 0) {
        const std::string report = RunCommand("pngcheck " + dir.file("colors.png") + " " + dir.file("alpha.png"), &status);
        EXPECT_EQ(status, 0) << report;
    }
    RunCommand("command -v tiffinfo", &tiffinfo);
    if (tiffinfo == 0) {
        ASSERT_TRUE(ExportBitmapToFile(c, *c.bitmaps[0], false, dir.file("colors.tiff"), 0, prompts));
        const std::string report = RunCommand("tiffinfo " + dir.file("colors.tiff"), &status);
        EXPECT_EQ(status, 0) << report;
        EXPECT_NE(report.find("Photometric Interpretation: palette color"), std::string::npos) << report;
    }
}

}  // namespace
}  // namespace pirn
