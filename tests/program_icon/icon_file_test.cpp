// The .ico writer against the layout Windows reads: ICONDIR, one
// ICONDIRENTRY per image, then BMP images (BITMAPINFOHEADER with twice the
// height, BGRA rows bottom-up, the AND mask) or PNG ones.

#include "tools/program_icon/icon_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/windows_files.h"
#endif

#include "platform/png_codec.h"
#include "platform/scratch_stream.h"

namespace pirn {
namespace {

std::vector<u8> Le32(u32 v) { return {u8(v), u8(v >> 8), u8(v >> 16), u8(v >> 24)}; }

u32 ReadLe32(const std::vector<u8>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | u32(bytes[at + 3]) << 24;
}

std::vector<u8> Join(std::initializer_list<std::vector<u8>> parts) {
    std::vector<u8> out;
    for (const std::vector<u8>& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

IconImage Gradient(int size) {
    IconImage image{size, std::vector<u8>(size_t(size) * size * 4)};
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = u8(i * 7 + i / 1024);
    return image;
}

TEST(IconFile, ASmallImageIsABitmapWithItsMask) {
    // Top-down: red, clear; half-clear green, blue.
    const IconImage image{2, {255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255}};
    const std::vector<u8> expected = Join({
        {0, 0, 1, 0, 1, 0},                                   // reserved, icon, one image
        {2, 2, 0, 0, 1, 0, 32, 0}, Le32(64), Le32(22),        // 2 x 2, 32 bits, 64 bytes at 22
        Le32(40), Le32(2), Le32(4), {1, 0, 32, 0}, Le32(0),   // BITMAPINFOHEADER, height doubled
        Le32(2 * 2 * 4 + 2 * 4), std::vector<u8>(16, 0),
        {0, 255, 0, 128, 255, 0, 0, 255},                     // bottom row first, BGRA
        {0, 0, 255, 255, 0, 0, 0, 0},
        {0, 0, 0, 0},                                         // mask, bottom row: all drawn
        {0x40, 0, 0, 0},                                      // top row: the second pixel clear
    });
    EXPECT_EQ(BuildIconFile({image}), expected);
}

TEST(IconFile, ImagesFollowTheirEntriesAndTheLargestIsPng) {
    const std::vector<IconImage> images = {Gradient(16), Gradient(48), Gradient(256)};
    const std::vector<u8> bytes = BuildIconFile(images);
    ASSERT_GE(bytes.size(), 6u + 3 * 16);
    EXPECT_EQ(bytes[4], 3);
    const u8 widths[] = {16, 48, 0};  // 0 stands for 256
    size_t next = 6 + 3 * 16;
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(bytes[entry], widths[i]);
        EXPECT_EQ(bytes[entry + 1], widths[i]);
        const u32 length = ReadLe32(bytes, entry + 8);
        EXPECT_EQ(ReadLe32(bytes, entry + 12), next);
        next += length;
        const int size = images[i].size;
        if (size < 256) {
            EXPECT_EQ(length, 40u + size * size * 4 + (size + 31) / 32 * 4 * size);
        }
    }
    EXPECT_EQ(next, bytes.size());

    // The 256-pixel image is a PNG holding the very pixels.
    const size_t png_at = ReadLe32(bytes, 6 + 32 + 12);
    std::FILE* stream = OpenBytesForReading(bytes.data() + png_at, bytes.size() - png_at);
    ASSERT_NE(stream, nullptr);
    PixelImage decoded;
    ASSERT_TRUE(ReadPng(stream, &decoded));
    std::fclose(stream);
    ASSERT_EQ(decoded.format, u32(kFormatRgba));
    ASSERT_EQ(decoded.width, 256u);
    EXPECT_TRUE(std::equal(images[2].rgba.begin(), images[2].rgba.end(), decoded.pixels.begin()));
    FreeImagePixels(&decoded);
}

TEST(IconFile, ImagesOfTheWrongShapeAreRefused) {
    IconImage short_of_bytes = Gradient(16);
    short_of_bytes.rgba.pop_back();
    for (const IconImage& image : {short_of_bytes, IconImage{0, {}}, Gradient(257)})
        EXPECT_TRUE(BuildIconFile({Gradient(32), image}).empty()) << image.size;
}

#ifdef _WIN32
// The built program carries the icon as its first icon group: 16, 32, 48
// and 256 pixels, as Explorer and the taskbar look it up.
TEST(ProgramIcon, TheWindowsProgramCarriesItsIcon) {
    const char* build = std::getenv("PIRN_BUILD_DIR");
    if (build == nullptr) GTEST_SKIP() << "PIRN_BUILD_DIR is not set (ctest sets it)";
    const std::string program = std::string(build) + (sizeof(void*) == 8 ? "/app/Pirn64.exe" : "/app/Pirn.exe");
    if (GetFileAttributesW(WidePath(program).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << program << " is not built";
    HMODULE module = LoadLibraryExW(WidePath(program).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << program;
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    // GRPICONDIR: reserved, type 1, count, then 14-byte entries led by
    // width and height.
    const u8* bytes = static_cast<const u8*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(bytes, nullptr);
    ASSERT_GE(SizeofResource(module, group), 6u + 4 * 14);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 1);
    ASSERT_EQ(bytes[4] | bytes[5] << 8, 4);
    const u8 widths[] = {16, 32, 48, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bytes[6 + 14 * i], widths[i]) << i;
    FreeLibrary(module);
}
#endif

}  // namespace
}  // namespace pirn
