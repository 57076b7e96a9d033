// Files we write must satisfy other programs: pngcheck, tiffinfo and
// ImageMagick check the structure, Pillow reads the pixels back. Each check skips when its
// tool is not installed.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/image_file.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    result.status = pclose(pipe);
    return result;
}

bool HaveCommand(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null").status == 0; }

// The Python that has Pillow: Debian's own first, since a version manager's
// python3 on PATH may lack the system packages.
std::string PillowPython() {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        if (RunCommand(std::string(python) + " -c 'import PIL' >/dev/null").status == 0) return python;
    }
    return std::string();
}

PixelImage TestPicture(u32 format) {
    const u32 width = 13, height = 7;  // odd sizes exercise row padding
    PixelImage image;
    std::vector<u8> pixels(size_t(width) * height * BytesPerPixel(format));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<u8>((i * 29 + i / 7) & 0xFF);
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    if (format == kFormatColorIndex) {
        u8 palette[kPaletteBytes];
        for (u32 i = 0; i < kPaletteBytes; ++i) palette[i] = static_cast<u8>(i * 7 + 3);
        SetImagePalette(&image, 256, palette);
    }
    return image;
}

// What a reader should see, as RGBA.
std::vector<u8> ExpectedRgba(const PixelImage& image) {
    std::vector<u8> out;
    size_t n = size_t(image.width) * image.height;
    for (size_t i = 0; i < n; ++i) {
        const u8* p = image.pixels.data();
        switch (image.format) {
        case kFormatColorIndex: {
            const u8* c = &image.palette[size_t(p[i]) * 3];
            out.insert(out.end(), {c[0], c[1], c[2], 255});
            break;
        }
        case kFormatAlpha:
            out.insert(out.end(), {p[i], p[i], p[i], 255});
            break;
        case kFormatRgb:
            out.insert(out.end(), {p[i * 3], p[i * 3 + 1], p[i * 3 + 2], 255});
            break;
        default:
            out.insert(out.end(), p + i * 4, p + i * 4 + 4);
            break;
        }
    }
    return out;
}

std::string Hex(const std::vector<u8>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (u8 b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string Save(const pirn_test::TempDir& temp, u32 type, u32 format) {
    std::string path = temp.file("out_" + std::to_string(format) + FileTypeRow(type).extension);
    ImageFile file;
    InitImageFile(&file, path);
    file.type = type;
    file.image = TestPicture(format);
    EXPECT_TRUE(SaveImageFile(&file));
    return path;
}

const u32 kFormats[] = {kFormatColorIndex, kFormatAlpha, kFormatRgb, kFormatRgba};

TEST(ImageExternalReadersTest, WrittenPngFilesPassPngcheck) {
    PIRN_SKIP_LINUX_CHECKERS("pngcheck");
    if (!HaveCommand("pngcheck")) GTEST_SKIP() << "pngcheck is not installed";
    pirn_test::TempDir temp;
    for (u32 format : kFormats) {
        CommandResult r = RunCommand("pngcheck -q '" + Save(temp, kTypePng, format) + "'");
        EXPECT_EQ(r.status, 0) << format << ": " << r.output;
    }
}

TEST(ImageExternalReadersTest, WrittenTiffFilesPassTiffinfo) {
    PIRN_SKIP_LINUX_CHECKERS("tiffinfo");
    if (!HaveCommand("tiffinfo")) GTEST_SKIP() << "tiffinfo is not installed";
    pirn_test::TempDir temp;
    for (u32 format : kFormats) {
        CommandResult r = RunCommand("tiffinfo -D '" + Save(temp, kTypeTiff, format) + "'");
        EXPECT_EQ(r.status, 0) << format << ": " << r.output;
        EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("Warning"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("Deflate"), std::string::npos) << r.output;
    }
}

// ImageMagick checks a BMP's file and image sizes against the file and
// warns ("length and filesize do not match") when they disagree.
TEST(ImageExternalReadersTest, WrittenBmpFilesPassImageMagickWithoutWarnings) {
    PIRN_SKIP_LINUX_CHECKERS("identify");
    if (!HaveCommand("identify")) GTEST_SKIP() << "ImageMagick is not installed";
    pirn_test::TempDir temp;
    for (u32 format : kFormats) {
        CommandResult r = RunCommand("identify -regard-warnings '" + Save(temp, kTypeBmp, format) + "'");
        EXPECT_EQ(r.status, 0) << format << ": " << r.output;
        EXPECT_EQ(r.output.find("warning"), std::string::npos) << r.output;
    }
}

TEST(ImageExternalReadersTest, PillowReadsBackIdenticalPixels) {
    PIRN_SKIP_LINUX_CHECKERS("python3 with Pillow");
    std::string python = PillowPython();
    if (python.empty()) GTEST_SKIP() << "Pillow is not installed";
    pirn_test::TempDir temp;
    const char* script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "im.load()\n"
        "print(im.size[0], im.size[1], im.convert('RGBA').tobytes().hex())\n";
    pirn_test::WriteAll(temp.file("read.py"), std::string(script));
    for (u32 type : {kTypeBmp, kTypePng, kTypeTiff}) {
        for (u32 format : kFormats) {
            SCOPED_TRACE(::testing::Message() << FileTypeRow(type).extension << " format " << format);
            std::string path = Save(temp, type, format);
            CommandResult r = RunCommand(python + " '" + temp.file("read.py") + "' '" + path + "'");
            ASSERT_EQ(r.status, 0) << r.output;
            PixelImage image = TestPicture(format);
            std::vector<u8> expected = ExpectedRgba(image);
            if (type == kTypeBmp && format == kFormatRgba) {
                // The fourth byte of a 32-bit BMP without bit fields is
                // unused by the format; readers show the pixels opaque.
                for (size_t i = 3; i < expected.size(); i += 4) expected[i] = 255;
            }
            std::string want = std::to_string(image.width) + " " + std::to_string(image.height) + " " + Hex(expected);
            EXPECT_EQ(r.output.substr(0, r.output.find('\n')), want);
        }
    }
}

}  // namespace
}  // namespace pirn
