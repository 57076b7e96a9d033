// Every file of PngSuite through the image loader: the accepted ones must
// give exactly the pixels of the suite's JSON dumps, the others must be
// refused cleanly.

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/bmp_codec.h"
#include "platform/image_file.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

std::string SuiteDir() { return pirn_test::TestDataDir() + "/pngsuite"; }

std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name.substr(0, name.size() - suffix.size()));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The JSON dumps are flat arrays of RGBA bytes.
bool ReadJsonPixels(const std::string& path, std::vector<u8>* rgba) {
    std::vector<u8> bytes = pirn_test::ReadAll(path);
    if (bytes.empty()) return false;
    std::string text(bytes.begin(), bytes.end());
    const char* p = text.c_str();
    rgba->clear();
    while (*p) {
        if (*p >= '0' && *p <= '9') {
            char* end = nullptr;
            long v = std::strtol(p, &end, 10);
            if (v < 0 || v > 255) return false;
            rgba->push_back(static_cast<u8>(v));
            p = end;
        } else {
            ++p;
        }
    }
    return true;
}

// PngSuite names say colour type (5th character) and depth (last two).
bool NameSaysAccepted(const std::string& name) {
    if (name.size() != 8 || name[0] == 'x') return false;
    char colour = name[4];
    bool type_ok = colour == '0' || colour == '2' || colour == '3' || colour == '6';
    return type_ok && name.substr(6) == "08";
}

// The loaded image as RGBA; alpha is only meaningful for RGBA images.
std::vector<u8> AsRgba(const PixelImage& image) {
    std::vector<u8> out;
    size_t n = size_t(image.width) * image.height;
    out.reserve(n * 4);
    for (size_t i = 0; i < n; ++i) {
        switch (image.format) {
        case kFormatAlpha:  // grey images load as a single channel
            out.insert(out.end(), {image.pixels[i], image.pixels[i], image.pixels[i], 255});
            break;
        case kFormatColorIndex: {
            const u8* c = &image.palette[size_t(image.pixels[i]) * 3];
            out.insert(out.end(), {c[0], c[1], c[2], 255});
            break;
        }
        case kFormatRgb:
            out.insert(out.end(), {image.pixels[i * 3], image.pixels[i * 3 + 1], image.pixels[i * 3 + 2], 255});
            break;
        case kFormatRgba:
            out.insert(out.end(), image.pixels.begin() + i * 4, image.pixels.begin() + i * 4 + 4);
            break;
        }
    }
    return out;
}

TEST(PngSuiteTest, AcceptedFilesMatchTheJsonPixelsAndTheRestAreRefused) {
    std::vector<std::string> names = ListFiles(SuiteDir() + "/png", ".png");
    ASSERT_FALSE(names.empty()) << "PngSuite not found under " << SuiteDir();
    int accepted = 0, refused = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ImageFile file;
        InitImageFile(&file, SuiteDir() + "/png/" + name + ".png");
        bool loaded = LoadImageFile(&file);
        EXPECT_EQ(file.open_mode, kImageClosed);
        if (!NameSaysAccepted(name)) {
            EXPECT_FALSE(loaded);
            ++refused;
            continue;
        }
        ASSERT_TRUE(loaded);
        ++accepted;
        EXPECT_EQ(file.kind, kKindImage);
        EXPECT_EQ(file.type, kTypePng);
        std::vector<u8> expected;
        ASSERT_TRUE(ReadJsonPixels(SuiteDir() + "/json/" + name + ".json", &expected));
        std::vector<u8> got = AsRgba(file.image);
        ASSERT_EQ(got.size(), expected.size());
        bool compare_alpha = file.image.format == kFormatRgba;
        size_t mismatches = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            if (i % 4 == 3 && !compare_alpha) continue;
            if (got[i] != expected[i]) ++mismatches;
        }
        EXPECT_EQ(mismatches, 0u);
    }
    // The suite has dozens of each; a quiet directory mix-up must not pass.
    EXPECT_GT(accepted, 40);
    EXPECT_GT(refused, 60);
}

TEST(PngSuiteTest, InterlacedFilesEqualTheirProgressiveTwins) {
    std::vector<std::string> names = ListFiles(SuiteDir() + "/png", ".png");
    ASSERT_FALSE(names.empty()) << "PngSuite not found under " << SuiteDir();
    int pairs = 0;
    for (const std::string& name : names) {
        if (name.size() != 8 || name[3] != 'i' || !NameSaysAccepted(name)) continue;
        std::string twin = name.substr(0, 3) + "n" + name.substr(4);
        if (!std::binary_search(names.begin(), names.end(), twin)) continue;
        SCOPED_TRACE(name);
        ImageFile interlaced, plain;
        InitImageFile(&interlaced, SuiteDir() + "/png/" + name + ".png");
        InitImageFile(&plain, SuiteDir() + "/png/" + twin + ".png");
        ASSERT_TRUE(LoadImageFile(&interlaced));
        ASSERT_TRUE(LoadImageFile(&plain));
        EXPECT_TRUE(ImagesEqual(interlaced.image, plain.image));
        ++pairs;
    }
    EXPECT_GE(pairs, 4);
}

TEST(PngSuiteTest, GreyPaletteAndGreyFilesLoadAsAlpha) {
    ImageFile grey;
    InitImageFile(&grey, SuiteDir() + "/png/basn0g08.png");
    ASSERT_TRUE(LoadImageFile(&grey)) << "PngSuite not found under " << SuiteDir();
    EXPECT_EQ(grey.image.format, kFormatAlpha);
    ImageFile palette;
    InitImageFile(&palette, SuiteDir() + "/png/basn3p08.png");
    ASSERT_TRUE(LoadImageFile(&palette));
    EXPECT_EQ(palette.image.format, kFormatColorIndex);
    EXPECT_EQ(palette.image.palette_count, 256u);
}

// The suite's BMP conversions carry 124-byte headers with bit-field
// compression: refused. Rewritten as plain 40-byte headers while keeping
// their data offset (which leaves a gap before the rows), they must give the
// JSON pixels: the reader has to honour the offset.
TEST(PngSuiteTest, BmpConversionsAreRefusedAndReadWhenRewrittenWithAGap) {
    std::vector<std::string> names = ListFiles(SuiteDir() + "/bmp", ".bmp");
    ASSERT_FALSE(names.empty()) << "PngSuite BMP files not found under " << SuiteDir();
    pirn_test::TempDir temp;
    int checked = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::string path = SuiteDir() + "/bmp/" + name + ".bmp";
        ImageFile original;
        InitImageFile(&original, path);
        EXPECT_FALSE(LoadImageFile(&original));

        std::vector<u8> bytes = pirn_test::ReadAll(path);
        ASSERT_GE(bytes.size(), 54u);
        u32 header_size = bytes[14] | (bytes[15] << 8);
        u32 bits = bytes[28] | (bytes[29] << 8);
        if (header_size != 124 || bits != 32) continue;
        std::vector<u8> expected;
        if (!ReadJsonPixels(SuiteDir() + "/json/" + name + ".json", &expected)) continue;
        bytes[14] = 40;   // header size
        bytes[30] = 0;    // no compression
        std::string rewritten = temp.file(name + ".bmp");
        pirn_test::WriteAll(rewritten, bytes);
        ImageFile file;
        InitImageFile(&file, rewritten);
        ASSERT_TRUE(LoadImageFile(&file));
        ASSERT_EQ(file.image.format, kFormatRgba);
        EXPECT_EQ(file.pixel_data_position, u64(bytes[10] | (bytes[11] << 8)));
        ASSERT_EQ(file.image.pixels.size(), expected.size());
        // The converter cleared the colour of fully transparent pixels, so
        // there only alpha is compared.
        size_t mismatches = 0;
        for (size_t i = 0; i < expected.size(); i += 4) {
            bool clear = expected[i + 3] == 0;
            for (size_t c = clear ? 3 : 0; c < 4; ++c) mismatches += file.image.pixels[i + c] != expected[i + c];
        }
        EXPECT_EQ(mismatches, 0u);
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace pirn
