#include "platform/image_file.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/bmp_codec.h"
#include "platform/png_codec.h"
#include "platform/tiff_codec.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

PixelImage SmallImage(u32 format) {
    PixelImage image;
    int bpp = BytesPerPixel(format);
    std::vector<u8> pixels(size_t(3) * 2 * bpp);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<u8>(i * 37 + 11);
    EXPECT_TRUE(SetImagePixels(&image, 3, 2, format, pixels.data()));
    if (format == kFormatColorIndex) {
        u8 palette[kPaletteBytes];
        for (u32 i = 0; i < kPaletteBytes; ++i) palette[i] = static_cast<u8>(255 - i % 256);
        SetImagePalette(&image, 256, palette);
    }
    return image;
}

std::vector<u8> Encoded(u32 type, const PixelImage& image) {
    std::vector<u8> bytes;
    EXPECT_TRUE(EncodeImageBytes(type, image, &bytes));
    return bytes;
}

struct Identified {
    bool ok;
    u32 kind;
    u32 type;
};

Identified IdentifyBytes(const std::vector<u8>& bytes, u32 kind = 0, u32 type = 0) {
    pirn_test::TempDir temp;
    std::string path = temp.file("file.bin");
    pirn_test::WriteAll(path, bytes);
    ImageFile file;
    InitImageFile(&file, path);
    file.kind = kind;
    file.type = type;
    bool ok = IdentifyImageFile(&file);
    EXPECT_EQ(file.open_mode, kImageClosed);
    return {ok, file.kind, file.type};
}

// A file of `size` bytes that starts with the literal (zero bytes included).
template <size_t N>
std::vector<u8> WithText(size_t size, size_t at, const char (&text)[N]) {
    std::vector<u8> bytes(size, 'z');
    std::memcpy(bytes.data() + at, text, N - 1);
    return bytes;
}

std::vector<u8> Text(const std::string& text) { return std::vector<u8>(text.begin(), text.end()); }

TEST(ImageFileTest, IdentificationFollowsTheMagicBytes) {
    std::vector<u8> png = Encoded(kTypePng, SmallImage(kFormatRgb));
    std::vector<u8> bmp = Encoded(kTypeBmp, SmallImage(kFormatRgb));
    std::vector<u8> tiff = Encoded(kTypeTiff, SmallImage(kFormatRgb));
    // The header chunk is checked against its CRC.
    std::vector<u8> png_bad_crc = png;
    png_bad_crc[32] ^= 1;
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        bool ok;
        u32 kind, type;
    } cases[] = {
        {"png", png, true, kKindImage, kTypePng},
        {"bmp", bmp, true, kKindImage, kTypeBmp},
        {"tiff", tiff, true, kKindImage, kTypeTiff},
        {"wave", WithText(44, 0, "RIFF\x24\0\0\0WAVE"), true, kKindSound, kTypeWav},
        {"lwo", WithText(200, 0, "FORM\0\0\0\x10LWO2"), true, kKindModel, kTypeLwo},
        {"lwob", WithText(200, 0, "FORM\0\0\0\x10LWOB"), true, kKindModel, kTypeLwo},
        {"3dmf", WithText(60, 0, "3DMetafile ( 1 6 Normal toc> )"), true, kKindModel, kType3dmf},
        {"3dmf of the one word", Text("3DMetafile"), true, kKindModel, kType3dmf},
        {"3dmf after blank and comment lines",
         Text("\r\n  \n# made by hand\n   # indented comment\r\n\n\t3DMetafile ( 1 6 Normal toc> )\n"), true,
         kKindModel, kType3dmf},
        {"3dmf after a comment longer than the first block",
         Text("#" + std::string(300, 'c') + "\n3DMetafile\n"), true, kKindModel, kType3dmf},
        {"LXOB form", WithText(200, 0, "FORM\0\0\0\x10LXOB"), false, 0, 0},
        {"LWO2 not inside a FORM", WithText(200, 0, "LIST\0\0\0\x10LWO2"), false, 0, 0},
        {"3dmf word glued to more", Text("3DMetafile(1 6)"), false, 0, 0},
        {"3dmf word after other text", Text("hello\n3DMetafile\n"), false, 0, 0},
        {"# in mid-line before the word", Text("x # no comment\n3DMetafile\n"), false, 0, 0},
        {"comment lines only", Text("# one\n# two\n"), false, 0, 0},
        {"100 unknown bytes", std::vector<u8>(100, 'q'), false, 0, 0},
        {"BM that is no bitmap", WithText(80, 0, "BM"), false, 0, 0},
        {"PNG signature only", WithText(20, 0, "\x89PNG"), false, 0, 0},
        {"png header against its CRC", png_bad_crc, false, 0, 0},
        {"II that is no TIFF", WithText(30, 0, "II"), false, 0, 0},
        {"two bytes", std::vector<u8>{'B', 'M'}, false, 0, 0},
    };
    for (const Case& c : cases) {
        Identified got = IdentifyBytes(c.bytes);
        EXPECT_EQ(got.ok, c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(got.kind, c.kind) << c.what;
            EXPECT_EQ(got.type, c.type) << c.what;
        }
    }
    // An empty file is unknown.
    pirn_test::TempDir temp;
    std::string empty = temp.file("empty");
    pirn_test::WriteAll(empty, std::string());
    ImageFile file;
    InitImageFile(&file, empty);
    EXPECT_FALSE(IdentifyImageFile(&file));
    InitImageFile(&file, temp.file("missing"));
    EXPECT_FALSE(LoadImageFile(&file));
}

TEST(ImageFileTest, PresetKindOrTypeIsARequirement) {
    std::vector<u8> png = Encoded(kTypePng, SmallImage(kFormatRgb));
    EXPECT_TRUE(IdentifyBytes(png, kKindImage, 0).ok);
    EXPECT_TRUE(IdentifyBytes(png, 0, kTypePng).ok);
    EXPECT_FALSE(IdentifyBytes(png, kKindSound, 0).ok);
    EXPECT_FALSE(IdentifyBytes(png, 0, kTypeBmp).ok);
    EXPECT_FALSE(IdentifyBytes(WithText(44, 0, "RIFF\x24\0\0\0WAVE"), kKindImage, 0).ok);
}

// Stand-ins for the Codex's recognisers: they keep the size they were given.
bool RecogniseTestTag(const u8* bytes, size_t length, u64 file_size, std::any* parsed) {
    if (length < 8 || std::memcmp(bytes, "TAG!", 4) != 0) return false;
    *parsed = std::pair<int, u64>(bytes[4], file_size);
    return true;
}

bool RecogniseTestArchive(const u8* bytes, size_t length, u64 file_size, std::any* parsed) {
    if (length < 8 || std::memcmp(bytes, "ARC!", 4) != 0) return false;
    *parsed = file_size;
    return true;
}

TEST(ImageFileTest, TagsAndArchivesNeedTheirRegisteredRecognisers) {
    std::vector<u8> tag = WithText(64, 0, "TAG!\x07");
    std::vector<u8> archive = WithText(300, 0, "ARC!");
    EXPECT_FALSE(IdentifyBytes(tag).ok);
    SetTagHeaderRecogniser(RecogniseTestTag);
    SetArchiveHeaderRecogniser(RecogniseTestArchive);

    pirn_test::TempDir temp;
    pirn_test::WriteAll(temp.file("t"), tag);
    pirn_test::WriteAll(temp.file("a"), archive);
    ImageFile file;
    InitImageFile(&file, temp.file("t"));
    ASSERT_TRUE(LoadImageFile(&file));
    EXPECT_EQ(file.kind, kKindTag);
    EXPECT_EQ(file.type, kTypeTag);
    using TagSeen = std::pair<int, u64>;
    EXPECT_EQ(std::any_cast<TagSeen>(file.header), TagSeen(7, 64));
    // The whole size, not the 128 bytes looked at.
    InitImageFile(&file, temp.file("a"));
    ASSERT_TRUE(IdentifyImageFile(&file));
    EXPECT_EQ(file.kind, kKindArchive);
    EXPECT_EQ(std::any_cast<u64>(file.header), 300u);
    // A short file hands over only the bytes it has.
    EXPECT_FALSE(IdentifyBytes(WithText(6, 0, "TAG!")).ok);

    SetTagHeaderRecogniser(nullptr);
    SetArchiveHeaderRecogniser(nullptr);
}

TEST(ImageFileTest, FileTypeFromExtensionComparesTheLastPartWithoutCase) {
    struct Case {
        const char* path;
        u32 type;
    } cases[] = {{"picture.TIFF", kTypeTiff}, {"tiff", kTypeTiff},      {"picture.tif", kTypeUnknown},
                 {"a/b.c/pic.Png", kTypePng}, {"x.bmp", kTypeBmp},      {"model.LWO", kTypeLwo},
                 {"sound.wav", kTypeWav},      {"noext", kTypeUnknown}, {"dir.png/file", kTypeUnknown},
                 {".png", kTypePng},           {"", kTypeUnknown}};
    for (const Case& c : cases) EXPECT_EQ(FileTypeFromExtension(c.path), c.type) << c.path;
    EXPECT_STREQ(FileTypeRow(kTypePng).extension, ".png");
    EXPECT_STREQ(FileTypeRow(kType3dmf).extension, ".unknown");
    EXPECT_EQ(FileTypeRow(kTypeWav).kind, kKindSound);
}

TEST(ImageFileTest, EveryFormatRoundTripsThroughEachFileType) {
    pirn_test::TempDir temp;
    for (u32 type : {kTypeBmp, kTypePng, kTypeTiff}) {
        for (u32 format : {kFormatColorIndex, kFormatAlpha, kFormatRgb, kFormatRgba}) {
            SCOPED_TRACE(::testing::Message() << "type " << type << " format " << format);
            std::string path = temp.file("img" + std::to_string(type) + "_" + std::to_string(format));
            ImageFile out;
            InitImageFile(&out, path);
            out.type = type;
            out.image = SmallImage(format);
            ASSERT_TRUE(SaveImageFile(&out));
            EXPECT_EQ(out.open_mode, kImageClosed);
            EXPECT_EQ(out.info.size, pirn_test::ReadAll(path).size());

            ImageFile in;
            InitImageFile(&in, path);
            ASSERT_TRUE(LoadImageFile(&in));
            EXPECT_EQ(in.type, type);
            EXPECT_TRUE(ImagesEqual(in.image, out.image));
            if (format == kFormatColorIndex) {
                EXPECT_EQ(in.image.palette, out.image.palette);
            }
        }
    }
}

TEST(ImageFileTest, GreyRampPaletteAndMissingPaletteLoadAsAlpha) {
    PixelImage grey = SmallImage(kFormatColorIndex);
    u8 ramp[kPaletteBytes];
    for (u32 i = 0; i < kPaletteBytes; ++i) ramp[i] = static_cast<u8>(i / 3);
    SetImagePalette(&grey, 256, ramp);
    for (u32 type : {kTypeBmp, kTypePng, kTypeTiff}) {
        PixelImage back;
        u32 found = 0;
        std::vector<u8> bytes = Encoded(type, grey);
        ASSERT_TRUE(DecodeImageBytes(bytes.data(), bytes.size(), &back, &found)) << type;
        EXPECT_EQ(found, type);
        EXPECT_EQ(back.format, kFormatAlpha) << type;
        EXPECT_FALSE(back.has_palette());
        EXPECT_EQ(back.pixels, grey.pixels);
    }
    // One entry off the ramp keeps the palette.
    ramp[3 * 77] = 78;
    SetImagePalette(&grey, 256, ramp);
    std::vector<u8> bytes = Encoded(kTypePng, grey);
    PixelImage back;
    ASSERT_TRUE(DecodeImageBytes(bytes.data(), bytes.size(), &back, nullptr));
    EXPECT_EQ(back.format, kFormatColorIndex);
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* e = dir ? readdir(dir) : nullptr) {
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
    }
    if (dir) closedir(dir);
    return names;
}

TEST(ImageFileTest, RefusedSavesLeaveTheExistingFileAlone) {
    pirn_test::TempDir temp;
    std::string path = temp.file("keep.png");
    pirn_test::WriteAll(path, std::string("precious"));
    struct Case {
        const char* what;
        u32 type;
        PixelImage image;
    } cases[] = {
        {"IndexAlpha as PNG", kTypePng, SmallImage(kFormatIndexAlpha)},
        {"IndexAlpha as BMP", kTypeBmp, SmallImage(kFormatIndexAlpha)},
        {"IndexAlpha as TIFF", kTypeTiff, SmallImage(kFormatIndexAlpha)},
        {"unknown type", kTypeUnknown, SmallImage(kFormatRgb)},
        {"WAV type", kTypeWav, SmallImage(kFormatRgb)},
        {"empty image", kTypePng, PixelImage()},
    };
    for (Case& c : cases) {
        ImageFile file;
        InitImageFile(&file, path);
        file.type = c.type;
        file.image = c.image;
        EXPECT_FALSE(SaveImageFile(&file)) << c.what;
        std::vector<u8> now = pirn_test::ReadAll(path);
        EXPECT_EQ(std::string(now.begin(), now.end()), "precious") << c.what;
    }
    EXPECT_EQ(FolderNames(temp.path()), std::vector<std::string>{"keep.png"});

    // A good save replaces it and leaves no temporary file behind.
    ImageFile file;
    InitImageFile(&file, path);
    file.type = kTypePng;
    file.image = SmallImage(kFormatRgb);
    ASSERT_TRUE(SaveImageFile(&file));
    EXPECT_EQ(FolderNames(temp.path()), std::vector<std::string>{"keep.png"});
    EXPECT_EQ(pirn_test::ReadAll(path)[1], 'P');

    InitImageFile(&file, temp.file("no/such/folder/x.png"));
    file.type = kTypePng;
    file.image = SmallImage(kFormatRgb);
    EXPECT_FALSE(SaveImageFile(&file));
}

TEST(ImageFileTest, ShortWritesAreErrorsInEveryEncoder) {
    std::FILE* probe = std::fopen("/dev/full", "wb");
    if (!probe) GTEST_SKIP() << "/dev/full is not available";
    std::fclose(probe);
    PixelImage image = SmallImage(kFormatRgb);
    using Writer = bool (*)(std::FILE*, const PixelImage&);
    for (Writer write : {Writer(WriteBmp), Writer(WritePng), Writer(WriteTiff)}) {
        std::FILE* full = std::fopen("/dev/full", "w+b");
        ASSERT_NE(full, nullptr);
        std::setvbuf(full, nullptr, _IONBF, 0);
        EXPECT_FALSE(write(full, image));
        std::fclose(full);
    }
}

TEST(ImageFileTest, CallerOpenedStreamsStayOpenAndOthersAreClosed) {
    pirn_test::TempDir temp;
    std::string path = temp.file("a.bmp");
    std::vector<u8> bytes = Encoded(kTypeBmp, SmallImage(kFormatRgb));
    pirn_test::WriteAll(path, bytes);
    ImageFile file;
    InitImageFile(&file, path);
    ASSERT_TRUE(OpenImageFile(&file, kImageReading));
    EXPECT_EQ(file.info.size, bytes.size());
    ASSERT_TRUE(LoadImageFile(&file));
    EXPECT_EQ(file.open_mode, kImageReading);
    EXPECT_NE(file.stream, nullptr);
    EXPECT_EQ(file.pixel_data_position, 54u);
    EXPECT_TRUE(file.bottom_up);
    ImageFile moved = std::move(file);  // the open stream goes along
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(moved.open_mode, kImageReading);
    file = std::move(moved);
    CloseImageFile(&file);
    EXPECT_EQ(file.stream, nullptr);
    // Cached: a second load does not need the file.
    std::remove(path.c_str());
    EXPECT_TRUE(LoadImageFile(&file));
    FreeImageFile(&file);
    EXPECT_TRUE(file.image.pixels.empty());
    EXPECT_FALSE(file.loaded);
}

// The decode fails, and the process's peak memory grows by less than
// 100 MB on the way (a refused header must not take its picture's block).
void ExpectRefusedWithoutTakingTheMemory(const std::vector<u8>& bytes) {
    PixelImage image;
    const long before = pirn_test::PeakMemoryKiB();
    EXPECT_FALSE(DecodeImageBytes(bytes.data(), bytes.size(), &image, nullptr));
    EXPECT_LT(pirn_test::PeakMemoryKiB() - before, 100 * 1024) << "peak memory grew in KiB";
}

TEST(ImageFileTest, HostilePngSizeIsRefusedBeforeAllocating) {
    // A PNG whose header claims 60000 x 60000 RGBA (14 GB) in a tiny file.
    std::vector<u8> bytes = Encoded(kTypePng, SmallImage(kFormatRgba));
    auto put32 = [&](size_t at, u32 v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<u8>(v >> (24 - 8 * i));
    };
    put32(16, 60000);
    put32(20, 60000);
    // Recompute the IHDR CRC so that only the size is "wrong".
    put32(29, static_cast<u32>(crc32(crc32(0, nullptr, 0), bytes.data() + 12, 17)));
    PixelImage image;
    EXPECT_FALSE(DecodeImageBytes(bytes.data(), bytes.size(), &image, nullptr));

    // Within the size limit (16000 x 16000 RGB, 768 MB) but far more than
    // the file's few bytes can inflate to: refused without touching the
    // memory such a picture would take.
    bytes = Encoded(kTypePng, SmallImage(kFormatRgb));
    put32(16, 16000);
    put32(20, 16000);
    put32(29, static_cast<u32>(crc32(crc32(0, nullptr, 0), bytes.data() + 12, 17)));
    ExpectRefusedWithoutTakingTheMemory(bytes);
}

TEST(ImageFileTest, HostileTiffSizeIsRefusedBeforeAllocating) {
    // Our own small TIFF with its width and length tags changed to 16000
    // x 16000 RGB (768 MB, within the size limit) in a file of a few hundred
    // bytes: no codec inflates that far, so it is refused before the memory
    // is touched.
    std::vector<u8> bytes = Encoded(kTypeTiff, SmallImage(kFormatRgb));
    ASSERT_EQ(bytes[0], 'I');  // written little-endian on this machine
    auto get16 = [&](size_t at) { return u32(bytes[at]) | u32(bytes[at + 1]) << 8; };
    auto get32 = [&](size_t at) { return get16(at) | get16(at + 2) << 16; };
    const size_t ifd = get32(4);
    int changed = 0;
    for (u32 i = 0; i < get16(ifd); ++i) {
        const size_t entry = ifd + 2 + 12 * size_t(i);
        const u32 tag = get16(entry);
        if (tag != 256 && tag != 257) continue;
        const u32 type = get16(entry + 2);  // 3 SHORT, 4 LONG
        ASSERT_TRUE(type == 3 || type == 4);
        bytes[entry + 8] = 16000 & 0xFF;
        bytes[entry + 9] = 16000 >> 8;
        if (type == 4) bytes[entry + 10] = bytes[entry + 11] = 0;
        ++changed;
    }
    ASSERT_EQ(changed, 2);
    ExpectRefusedWithoutTakingTheMemory(bytes);
}

// Damaged files of every type: each decode either fails or yields a
// consistent picture; the sanitizer build checks that nothing is read or
// written out of bounds on the way.
TEST(ImageFileTest, RandomlyDamagedFilesNeverCrashTheDecoders) {
    std::mt19937 random(2024);
    for (u32 type : {kTypeBmp, kTypePng, kTypeTiff}) {
        for (u32 format : {kFormatColorIndex, kFormatRgb, kFormatRgba}) {
            const std::vector<u8> good = Encoded(type, SmallImage(format));
            for (int round = 0; round < 150; ++round) {
                std::vector<u8> bytes = good;
                int flips = 1 + int(random() % 6);
                for (int f = 0; f < flips; ++f) bytes[random() % bytes.size()] = static_cast<u8>(random());
                if (round % 5 == 0) bytes.resize(1 + random() % bytes.size());
                PixelImage image;
                if (DecodeImageBytes(bytes.data(), bytes.size(), &image, nullptr)) {
                    u64 size = 0;
                    ASSERT_TRUE(ImageByteSize(image.width, image.height, image.format, &size));
                    ASSERT_EQ(image.pixels.size(), size);
                }
            }
        }
    }
}

}  // namespace
}  // namespace pirn
