#include "platform/tiff_codec.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#endif
#include <unistd.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/support/test_support.h"
#include "platform/scratch_stream.h"

namespace pirn {
namespace {

// A baseline TIFF built from the format's tables: header, one IFD with
// entries sorted by tag, arrays that do not fit in an entry after it, then
// the strip. SHORT values are left-justified in the entry's 4 bytes.
class TiffBuilder {
public:
    explicit TiffBuilder(bool big_endian) : big_(big_endian) {}

    void Short(u16 tag, std::vector<u32> values) { entries_.push_back({tag, 3, std::move(values)}); }
    void Long(u16 tag, std::vector<u32> values) { entries_.push_back({tag, 4, std::move(values)}); }

    std::vector<u8> Build(const std::vector<u8>& strip) {
        // Layout: 8-byte header, IFD, overflow arrays, strip.
        u32 ifd_size = 2 + 12 * u32(entries_.size() + 2) + 4;
        u32 extra_start = 8 + ifd_size;
        std::vector<u8> extra;
        std::vector<u8> ifd;
        auto all = entries_;
        all.push_back({273, 4, {0}});  // strip offset, patched below
        all.push_back({279, 4, {u32(strip.size())}});
        std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        u32 strip_offset = 0;
        // Sizes of the overflow arrays decide the strip offset.
        u32 extra_size = 0;
        for (const Entry& e : all) {
            u32 bytes = u32(e.values.size()) * (e.type == 3 ? 2 : 4);
            if (bytes > 4) extra_size += bytes;
        }
        strip_offset = extra_start + extra_size;
        Put16(&ifd, u16(all.size()));
        for (Entry& e : all) {
            if (e.tag == 273) e.values = {strip_offset};
            Put16(&ifd, e.tag);
            Put16(&ifd, e.type);
            Put32(&ifd, u32(e.values.size()));
            u32 bytes = u32(e.values.size()) * (e.type == 3 ? 2 : 4);
            std::vector<u8>* target = &ifd;
            if (bytes > 4) {
                Put32(&ifd, extra_start + u32(extra.size()));
                target = &extra;
            }
            size_t before = target->size();
            for (u32 v : e.values) e.type == 3 ? Put16(target, u16(v)) : Put32(target, v);
            if (bytes <= 4) target->resize(before + 4, 0);
        }
        Put32(&ifd, 0);  // no next IFD
        std::vector<u8> out;
        out.push_back(big_ ? 'M' : 'I');
        out.push_back(big_ ? 'M' : 'I');
        Put16(&out, 42);
        Put32(&out, 8);
        out.insert(out.end(), ifd.begin(), ifd.end());
        out.insert(out.end(), extra.begin(), extra.end());
        out.insert(out.end(), strip.begin(), strip.end());
        return out;
    }

private:
    struct Entry {
        u16 tag;
        u16 type;
        std::vector<u32> values;
    };
    void Put16(std::vector<u8>* out, u32 v) const {
        u8 b[2] = {u8(v), u8(v >> 8)};
        if (big_) std::swap(b[0], b[1]);
        out->insert(out->end(), b, b + 2);
    }
    void Put32(std::vector<u8>* out, u32 v) const {
        u8 b[4] = {u8(v), u8(v >> 8), u8(v >> 16), u8(v >> 24)};
        if (big_) {
            std::swap(b[0], b[3]);
            std::swap(b[1], b[2]);
        }
        out->insert(out->end(), b, b + 4);
    }
    bool big_;
    std::vector<Entry> entries_;
};

bool Decode(const std::vector<u8>& bytes, PixelImage* image) {
    std::FILE* stream = pirn::OpenBytesForReading(bytes.data(), bytes.size());
    if (!stream) return false;
    bool ok = ReadTiff(stream, image);
    std::fclose(stream);
    return ok;
}

TEST(TiffCodecTest, HandBuiltGreyAndRgbFilesInBothByteOrders) {
    TiffBuilder grey(false);
    grey.Short(256, {3});
    grey.Short(257, {2});
    grey.Short(258, {8});
    grey.Short(259, {1});
    grey.Short(262, {1});  // min-is-black
    grey.Short(277, {1});
    grey.Short(278, {2});
    PixelImage image;
    ASSERT_TRUE(Decode(grey.Build({1, 2, 3, 4, 5, 6}), &image));
    EXPECT_EQ(image.format, kFormatAlpha);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.pixels, (std::vector<u8>{1, 2, 3, 4, 5, 6}));

    TiffBuilder rgb(true);
    rgb.Short(256, {2});
    rgb.Short(257, {1});
    rgb.Short(258, {8, 8, 8});
    rgb.Short(259, {1});
    rgb.Short(262, {2});
    rgb.Short(277, {3});
    rgb.Short(278, {1});
    ASSERT_TRUE(Decode(rgb.Build({10, 20, 30, 40, 50, 60}), &image));
    EXPECT_EQ(image.format, kFormatRgb);
    EXPECT_EQ(image.pixels, (std::vector<u8>{10, 20, 30, 40, 50, 60}));
}

TEST(TiffCodecTest, PaletteColourMapIsScaledDownWithTruncation) {
    TiffBuilder palette(false);
    palette.Short(256, {2});
    palette.Short(257, {1});
    palette.Short(258, {8});
    palette.Short(259, {1});
    palette.Short(262, {3});
    palette.Short(277, {1});
    palette.Short(278, {1});
    std::vector<u32> map(768, 0);
    map[1] = 65534;        // red of entry 1: 65534 x 255 / 65535 = 254.99 -> 254
    map[256 + 1] = 65535;  // green of entry 1: 255
    map[512 + 1] = 257;    // blue of entry 1: 1
    palette.Short(320, map);
    PixelImage image;
    ASSERT_TRUE(Decode(palette.Build({1, 0}), &image));
    EXPECT_EQ(image.format, kFormatColorIndex);
    EXPECT_EQ(image.palette[3], 254);
    EXPECT_EQ(image.palette[4], 255);
    EXPECT_EQ(image.palette[5], 1);
    EXPECT_EQ(image.pixels, (std::vector<u8>{1, 0}));
}

// Files that libtiff itself writes in layouts we do not read.
std::vector<u8> WriteWithLibtiff(const std::function<void(TIFF*)>& fields, u32 width, u32 height, bool tiled) {
    pirn_test::TempDir temp;
    std::string path = temp.file("x.tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tif, nullptr);
    if (!tif) return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    fields(tif);
    std::vector<u8> buffer(1 << 16, 0x55);
    if (tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        TIFFWriteTile(tif, buffer.data(), 0, 0, 0, 0);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
        u16 planar = PLANARCONFIG_CONTIG, samples = 1;
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        u16 planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;
        for (u16 s = 0; s < planes; ++s)
            for (u32 y = 0; y < height; ++y) TIFFWriteScanline(tif, buffer.data(), y, s);
    }
    TIFFClose(tif);
    return pirn_test::ReadAll(path);
}

TEST(TiffCodecTest, TiledPlanarAndOtherDepthsAreRefused) {
    struct Case {
        const char* what;
        std::function<void(TIFF*)> fields;
        bool tiled;
    };
    auto basic = [](u16 bits, u16 samples, u16 photometric) {
        return [=](TIFF* t) {
            TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
            TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
            TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
            if (samples == 2 || samples == 4) {
                u16 extra = EXTRASAMPLE_UNASSALPHA;
                TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
            }
        };
    };
    const Case cases[] = {
        {"tiled", basic(8, 3, PHOTOMETRIC_RGB), true},
        {"planar",
         [](TIFF* t) {
             TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
             TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
             TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
             TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
         },
         false},
        {"16-bit grey", basic(16, 1, PHOTOMETRIC_MINISBLACK), false},
        {"1-bit grey", basic(1, 1, PHOTOMETRIC_MINISBLACK), false},
        {"4-bit grey", basic(4, 1, PHOTOMETRIC_MINISBLACK), false},
        {"grey with alpha", basic(8, 2, PHOTOMETRIC_MINISBLACK), false},
        {"min-is-white", basic(8, 1, PHOTOMETRIC_MINISWHITE), false},
        {"separated (CMYK)", basic(8, 4, PHOTOMETRIC_SEPARATED), false},
    };
    for (const Case& c : cases) {
        std::vector<u8> bytes = WriteWithLibtiff(c.fields, 16, 16, c.tiled);
        ASSERT_FALSE(bytes.empty()) << c.what;
        PixelImage image;
        EXPECT_FALSE(Decode(bytes, &image)) << c.what;
        EXPECT_TRUE(image.pixels.empty()) << c.what;
    }
    // The 8-bit RGB control case of the same helper is accepted.
    PixelImage image;
    EXPECT_TRUE(Decode(WriteWithLibtiff(basic(8, 3, PHOTOMETRIC_RGB), 16, 16, false), &image));
}

TEST(TiffCodecTest, TruncatedAndCorruptFilesAreRefused) {
    TiffBuilder grey(false);
    grey.Short(256, {4});
    grey.Short(257, {4});
    grey.Short(258, {8});
    grey.Short(259, {1});
    grey.Short(262, {1});
    grey.Short(277, {1});
    grey.Short(278, {4});
    std::vector<u8> whole = grey.Build(std::vector<u8>(16, 9));
    PixelImage image;
    ASSERT_TRUE(Decode(whole, &image));
    for (size_t cut : {size_t(4), size_t(9), size_t(40), whole.size() - 1}) {
        std::vector<u8> part(whole.begin(), whole.begin() + cut);
        EXPECT_FALSE(Decode(part, &image)) << cut;
    }
    // An image size whose pixel block would overflow 32 bits.
    TiffBuilder huge(false);
    huge.Long(256, {0x10000});
    huge.Long(257, {0x10000});
    huge.Short(258, {8, 8, 8, 8});
    huge.Short(259, {1});
    huge.Short(262, {2});
    huge.Short(277, {4});
    huge.Short(338, {2});
    huge.Long(278, {1});
    EXPECT_FALSE(Decode(huge.Build(std::vector<u8>(16, 0)), &image));
}

enum ChildOutcome { kRefusedSmall = 0, kRefusedBig = 1, kDecoded = 2, kCrashed = 3 };

// Decodes in a child process of its own, so that the peak memory of each
// decode is measured apart: whether it was refused, and whether its peak
// grew by less than 100 MB on the way.
ChildOutcome DecodeInChild(const std::vector<u8>& bytes) {
#ifdef _WIN32
    // No fork: measured in this process, whose peak only ever grows, so a
    // refused decode still shows as no growth.
    PixelImage image;
    const long before = pirn_test::PeakMemoryKiB();
    const bool decoded = Decode(bytes, &image);
    if (decoded) return kDecoded;
    return pirn_test::PeakMemoryKiB() - before < 100 * 1024 ? kRefusedSmall : kRefusedBig;
#else
    pid_t child = fork();
    if (child == 0) {
        PixelImage image;
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        bool decoded = Decode(bytes, &image);
        getrusage(RUSAGE_SELF, &after);
        _exit(decoded ? kDecoded : after.ru_maxrss - before.ru_maxrss < 100 * 1024 ? kRefusedSmall : kRefusedBig);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return kCrashed;
    return static_cast<ChildOutcome>(WEXITSTATUS(status));
#endif
}

// Headers promising more pixels than the bytes of their strips can hold:
// refused before the picture's block is taken.
TEST(TiffCodecTest, PromisesBeyondTheStripBytesAreRefusedBeforeAllocating) {
    struct Case {
        const char* what;
        u32 compression;
        u32 width, height, samples;
        u32 strip_count;  // as the header says
        size_t strip_present;  // bytes the file really holds
    };
    const Case cases[] = {
        // 972 MB of RGB from a 20 KB file: within 65536 x the file size.
        {"uncompressed", 1, 18000, 18000, 3, 20000, 20000},
        {"PackBits, 64 to 1 at most", 32773, 18000, 18000, 3, 20000, 20000},
        {"LZW, about 3600 to 1 at most", 5, 18000, 18000, 3, 20000, 20000},
        {"Deflate, 1032 to 1 at most", 32946, 18000, 18000, 3, 20000, 20000},
        // The count says 300 MB are there, the file ends after 2000 bytes.
        {"strip past the end", 1, 10000, 10000, 3, 300000000, 2000},
        // A compression no codec here decodes.
        {"unknown compression", 32690, 10000, 10000, 3, 20000, 20000},
        // Within what Zstandard can inflate to, but the bytes are no
        // Zstandard data: the rows fail before the block grows.
        {"Zstandard that does not decode", 50000, 10000, 10000, 3, 20000, 20000},
    };
    for (const Case& c : cases) {
        TiffBuilder tiff(false);
        tiff.Long(256, {c.width});
        tiff.Long(257, {c.height});
        tiff.Short(258, std::vector<u32>(c.samples, 8));
        tiff.Short(259, {c.compression});
        tiff.Short(262, {c.samples == 3 ? 2u : 1u});
        tiff.Short(277, {c.samples});
        tiff.Long(278, {c.height});
        std::vector<u8> bytes = tiff.Build(std::vector<u8>(c.strip_present, 0x55));
        // The strip byte count is the last entry value before the strip
        // (tag 279 sorts last): patch it to what the header claims.
        const size_t ifd_entries = bytes[8] | bytes[9] << 8;
        const size_t count_at = 8 + 2 + 12 * (ifd_entries - 1) + 8;
        ASSERT_EQ(bytes[count_at - 8] | bytes[count_at - 7] << 8, 279);
        for (int i = 0; i < 4; ++i) bytes[count_at + i] = u8(c.strip_count >> (8 * i));

        EXPECT_EQ(DecodeInChild(bytes), kRefusedSmall) << c.what;
    }
}

TEST(TiffCodecTest, WrittenFilesCarryTheDocumentedFields) {
    pirn_test::TempDir temp;
    std::string path = temp.file("p.tiff");
    PixelImage image;
    const u8 pixels[] = {0, 1, 2, 255};
    ASSERT_TRUE(SetImagePixels(&image, 2, 2, kFormatColorIndex, pixels));
    u8 palette[kPaletteBytes] = {};
    palette[3] = 1;
    palette[4] = 128;
    palette[5] = 255;
    SetImagePalette(&image, 256, palette);
    std::FILE* stream = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(WriteTiff(stream, image));
    std::fclose(stream);

    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    u16 compression = 0, planar = 0, bits = 0, samples = 0, photometric = 0;
    u32 depth = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_IMAGEDEPTH, &depth);
    EXPECT_EQ(compression, 32946);
    EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(samples, 1);
    EXPECT_EQ(photometric, PHOTOMETRIC_PALETTE);
    EXPECT_EQ(depth, 1u);
    u16 *red = nullptr, *green = nullptr, *blue = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue));
    EXPECT_EQ(red[1], 257);  // byte x 65535 / 255
    EXPECT_EQ(green[1], 128 * 257);
    EXPECT_EQ(blue[1], 65535);
    EXPECT_FALSE(TIFFIsTiled(tif));
    TIFFClose(tif);

    stream = std::fopen(path.c_str(), "rb");
    PixelImage back;
    ASSERT_TRUE(ReadTiff(stream, &back));
    std::fclose(stream);
    EXPECT_TRUE(ImagesEqual(image, back));
    EXPECT_EQ(back.palette, image.palette);
}

}  // namespace
}  // namespace pirn
