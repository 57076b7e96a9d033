// Recursive Image Conversion without its dialogs: the names the converted
// files get, and a walk over a scratch folder of BMP, PNG and TIFF files
// (and others) checked on disk: what is written, what is left alone, that
// no file that was there is replaced, and that only written files count.

#include "app/image_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/image_file.h"
#include "tests/support/test_support.h"

namespace pirn_test {
namespace {

using namespace pirn;

PixelImage Picture(u32 format, u8 seed) {
    PixelImage image;
    const u32 width = 4, height = 3;
    std::vector<u8> pixels(size_t(width) * height * u32(BytesPerPixel(format)));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<u8>(seed + i * 7);
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    return image;
}

void Save(const std::string& path, u32 type, const PixelImage& image) {
    MakeDirectory(path.substr(0, path.rfind('/')));
    ImageFile file;
    InitImageFile(&file, path);
    file.type = type;
    file.kind = kKindImage;
    file.image = image;
    ASSERT_TRUE(SaveImageFile(&file)) << path;
}

PixelImage Load(const std::string& path) {
    ImageFile file;
    InitImageFile(&file, path);
    EXPECT_TRUE(LoadImageFile(&file)) << path;
    return file.image;
}

TEST(ImageConversion, ConvertedNamesLoseTheExtensionsOfBothTypes) {
    struct Case {
        const char* source;
        u32 from, to;
        bool alpha;
        const char* expected;
    } cases[] = {
        {"art/a.png", kTypePng, kTypeBmp, false, "art/a.bmp"},
        {"art/a.PNG", kTypePng, kTypeTiff, false, "art/a.tiff"},
        {"art/a.png.bmp", kTypeBmp, kTypePng, false, "art/a.png"},  // both taken off, in any order
        {"art/a.bmp.png.bmp", kTypeBmp, kTypePng, false, "art/a.png"},
        {"art/a.jpg.png", kTypePng, kTypeBmp, false, "art/a.jpg.bmp"},  // other types stay
        {"art/a.tiff.png", kTypePng, kTypeBmp, false, "art/a.tiff.bmp"},
        {"art/a", kTypeBmp, kTypePng, false, "art/a.png"},
        {"art.png/a", kTypeBmp, kTypePng, false, "art.png/a.png"},  // never the folders
        {"art/.png", kTypePng, kTypeBmp, false, "art/.png.bmp"},    // never the whole name
        {"art/a.png", kTypePng, kTypeBmp, true, "art/a.alpha.bmp"},
        {"art/a.alpha.png", kTypePng, kTypePng, true, "art/a.alpha.alpha.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertedImagePath(c.source, c.from, c.to, c.alpha), c.expected) << c.source;
}

class ImageConversionWalk : public ::testing::Test {
protected:
    std::string At(const std::string& relative) const { return dir_.file(relative); }
    std::vector<std::string> Paths(const std::vector<std::string>& relatives) const {
        std::vector<std::string> paths;
        for (const std::string& r : relatives) paths.push_back(At(r));
        return paths;
    }
    ImageConversionResult Convert(u32 type, u32 mode, std::vector<std::string>* seen = nullptr) {
        return ConvertImagesBelow(dir_.path(), type, mode, [seen](const std::string& path) {
            if (seen) seen->push_back(path);
        });
    }
    TempDir dir_;
};

TEST_F(ImageConversionWalk, FullModeWritesBesideEachSourceAndNeverReplacesAFile) {
    const PixelImage rgb = Picture(kFormatRgb, 1), other = Picture(kFormatRgb, 90), rgba = Picture(kFormatRgba, 5);
    Save(At("a.png"), kTypePng, rgb);
    Save(At("a.png.bmp"), kTypeBmp, other);  // would become "a.png"
    Save(At("c.bmp"), kTypeBmp, rgba);
    Save(At("d.bmp"), kTypeBmp, other);      // d.bmp and d.tiff both want "d.png"
    Save(At("d.tiff"), kTypeTiff, rgb);
    Save(At("sub/deeper/b.tiff"), kTypeTiff, rgb);
    WriteAll(At("notes.txt"), "not a picture");
    ASSERT_TRUE(MakeDirectory(At("e.png")));  // a folder where e.bmp's result would go
    Save(At("e.bmp"), kTypeBmp, rgb);
    const std::vector<u8> before = ReadAll(At("a.png"));

    std::vector<std::string> seen;
    const ImageConversionResult result = Convert(kTypePng, kConvertFull, &seen);
    // Only what was there before is walked, in path order.
    EXPECT_EQ(seen, Paths({"a.png", "a.png.bmp", "c.bmp", "d.bmp", "d.tiff", "e.bmp", "notes.txt",
                           "sub/deeper/b.tiff"}));
    EXPECT_EQ(result.written, Paths({"c.png", "d.png", "sub/deeper/b.png"}));
    ASSERT_EQ(result.not_written.size(), 3u);
    EXPECT_EQ(result.not_written[0], At("a.png.bmp") + ": '" + At("a.png") + "' is there already and was kept.");
    EXPECT_EQ(result.not_written[1], At("d.tiff") + ": '" + At("d.png") + "' is there already and was kept.");
    EXPECT_EQ(result.not_written[2], At("e.bmp") + ": '" + At("e.png") + "' could not be written.");

    EXPECT_EQ(ReadAll(At("a.png")), before);
    EXPECT_EQ(Load(At("c.png")).pixels, rgba.pixels);
    EXPECT_EQ(Load(At("c.png")).format, kFormatRgba);
    EXPECT_EQ(Load(At("d.png")).pixels, other.pixels);  // the first in path order
    EXPECT_EQ(Load(At("sub/deeper/b.png")).pixels, rgb.pixels);
    EXPECT_TRUE(PathExists(At("e.png"), kPathIsFolder));

    // Again: every result is there now, so nothing is written over.
    const ImageConversionResult again = Convert(kTypePng, kConvertFull);
    EXPECT_TRUE(again.written.empty());
    EXPECT_EQ(again.not_written.size(), 6u);
    EXPECT_EQ(Load(At("d.png")).pixels, other.pixels);
}

TEST_F(ImageConversionWalk, AlphaOnlyModeKeepsTheAlphaOfPicturesThatHaveOne) {
    const PixelImage rgba = Picture(kFormatRgba, 3), alpha = Picture(kFormatAlpha, 40);
    Save(At("r.png"), kTypePng, rgba);
    Save(At("plain.png"), kTypePng, Picture(kFormatRgb, 7));  // nothing to keep: left alone
    Save(At("mask.png"), kTypePng, alpha);                   // alpha only in the target type already
    Save(At("mask.bmp"), kTypeBmp, alpha);

    const ImageConversionResult result = Convert(kTypePng, kConvertAlphaOnly);
    EXPECT_EQ(result.written, Paths({"mask.alpha.png", "r.alpha.png"}));
    EXPECT_TRUE(result.not_written.empty());
    const PixelImage kept = Load(At("r.alpha.png"));
    ASSERT_EQ(kept.format, kFormatAlpha);
    ASSERT_EQ(kept.pixels.size(), size_t(12));
    for (size_t i = 0; i < kept.pixels.size(); ++i) EXPECT_EQ(kept.pixels[i], rgba.pixels[i * 4 + 3]) << i;
    EXPECT_EQ(Load(At("mask.alpha.png")).pixels, alpha.pixels);
    EXPECT_FALSE(Exists(At("plain.alpha.png")));
    EXPECT_FALSE(Exists(At("mask.alpha.alpha.png")));
}

TEST_F(ImageConversionWalk, AFolderOfTheTargetTypeInFullModeIsLeftUntouched) {
    Save(At("one.bmp"), kTypeBmp, Picture(kFormatRgb, 1));
    Save(At("two/two.bmp"), kTypeBmp, Picture(kFormatRgb, 2));
    const std::vector<u8> one = ReadAll(At("one.bmp"));
    const ImageConversionResult result = Convert(kTypeBmp, kConvertFull);
    EXPECT_TRUE(result.written.empty());
    EXPECT_TRUE(result.not_written.empty());
    EXPECT_EQ(ReadAll(At("one.bmp")), one);
    std::vector<std::string> files;
    ListDirectoryFiles(dir_.path(), files, true, false);
    EXPECT_EQ(files.size(), 2u);
}

}  // namespace
}  // namespace pirn_test
