// Collection speeds against references measured in the same run:
//   codec     decode and encode of 1,000 distinct bitmaps of 256 x 256 per
//             stored form, in MB/s of pixels, against memcpy of the same
//             pixels;
//   tag       load and save of a collection of 1,000 bitmaps and 100
//             sequences against a raw read and write of the same bytes;
//   import    100 paletted PNGs into one collection against bare libpng
//             decoding the same files to their colour indices.
// Times are the best of several runs.

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "codex/four_char_code.h"
#include "collections/bitmap_codec.h"
#include "collections/bitmap_import.h"
#include "collections/collection_tag.h"
#include "platform/image_file.h"
#include "platform/pixel_convert.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

constexpr int kRuns = 5;
constexpr u32 kSide = 256;
constexpr int kBitmapsPerForm = 1000;

double MBps(double bytes, double seconds) { return bytes / seconds / 1e6; }

// A sprite: a shaded disc on transparency, with soft edges when asked, so
// that RLE rows have runs and the 16-bit form has partial alpha.
CollectionBitmap Sprite(u32 seed, u16 flags, u16 bytes_per_pixel) {
    CollectionBitmap b;
    b.width = b.height = kSide;
    b.flags = flags;
    b.bytes_per_pixel = bytes_per_pixel;
    b.pixels.assign(size_t{kSide} * kSide * bytes_per_pixel, 0);
    std::mt19937 random(seed);
    const double cx = 100 + random() % 56, cy = 100 + random() % 56, r = 80 + random() % 40;
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x) {
            const double d = std::hypot(x - cx, y - cy) / r;
            if (d > 1.0) continue;
            u8* p = &b.pixels[(size_t{y} * kSide + x) * bytes_per_pixel];
            const u8 index = u8(2 + (x / 4 + y / 8 + seed) % 250);
            if (bytes_per_pixel == 8) {
                p[3] = u8((x % 3 == 0 ? 32 : 0) | u8(31 * (1.0 - d)));
                p[0] = index;
                p[1] = u8(200 * (1 - d));
                p[2] = u8(index | (x % 5 == 0));
                if (p[2] & 1) p[4] = p[5] = p[6] = p[7] = index;
            } else {
                p[0] = (flags & kBitmapPartialAlpha) ? u8(std::min(255.0, 400 * (1.0 - d))) : 255;
                p[1] = index;
            }
        }
    NormaliseBitmapAlpha(&b);
    return b;
}

ColorTableRecord GreyTable() {
    ColorTableRecord table = {};
    table.color_count = 256;
    for (u32 i = 0; i < 256; ++i) table.channels[i][0] = table.channels[i][1] = table.channels[i][2] = u16(i << 8);
    return table;
}

void BenchCodec() {
    const struct {
        const char* name;
        u16 flags, bytes_per_pixel;
    } forms[] = {
        {"8-bit RAW", 0, 2},
        {"8-bit RLE", kBitmapRle, 2},
        {"16-bit RAW", kBitmapPartialAlpha, 2},
        {"16-bit RLE", kBitmapRle | kBitmapPartialAlpha, 2},
        {"64-bit stream", 0, 8},
    };
    const ColorTableRecord table = GreyTable();
    std::printf("codec: %d bitmaps of %u x %u per form, MB/s of decoded pixels\n", kBitmapsPerForm, kSide, kSide);
    std::printf("  %-14s %9s %9s %9s | %8s %8s\n", "form", "decode", "encode", "memcpy", "dec/mcp", "enc/mcp");
    for (const auto& form : forms) {
        std::vector<CollectionBitmap> bitmaps;
        std::vector<std::vector<u8>> blocks(kBitmapsPerForm);
        for (int i = 0; i < kBitmapsPerForm; ++i) {
            bitmaps.push_back(Sprite(u32(i) + 1, form.flags, form.bytes_per_pixel));
            EncodeCollectionBitmapBytes(bitmaps.back(), &blocks[i]);
        }
        const double pixel_bytes = double(bitmaps[0].pixels.size()) * kBitmapsPerForm;
        std::vector<u8> scratch;
        std::vector<u8> copy(bitmaps[0].pixels.size());
        size_t sink = 0;
        const double decode = BestSeconds(kRuns, [&] {
            for (int i = 0; i < kBitmapsPerForm; ++i) {
                const std::vector<u8>& block = blocks[size_t(i)];
                sink += DecodeCollectionBitmapBytes(block.data(), block.size(), table)->pixels.size();
            }
        });
        const double encode = BestSeconds(kRuns, [&] {
            for (int i = 0; i < kBitmapsPerForm; ++i) {
                EncodeCollectionBitmapBytes(bitmaps[size_t(i)], &scratch);
                sink += scratch.size();
            }
        });
        const double memcpy_time = BestSeconds(kRuns, [&] {
            for (int i = 0; i < kBitmapsPerForm; ++i) {
                const auto& pixels = bitmaps[size_t(i)].pixels;
                std::memcpy(copy.data(), pixels.data(), pixels.size());
                sink += copy[size_t(i) % copy.size()];
            }
        });
        std::printf("  %-14s %9.0f %9.0f %9.0f | %8.2f %8.2f\n", form.name, MBps(pixel_bytes, decode),
                    MBps(pixel_bytes, encode), MBps(pixel_bytes, memcpy_time), decode / memcpy_time,
                    encode / memcpy_time);
        if (sink == 1) std::printf(" ");
    }
    std::printf("  (dec/mcp, enc/mcp: decode and encode time over memcpy of the same pixels; decode goal <= 3)\n");
}

// 1,000 bitmaps of 32 x 48 in the four 2-byte forms plus 64-bit ones, 100
// sequences of 8 views x 4 frames showing them.
void BuildLargeCollection(Collection* c) {
    InitCollection(c);
    for (u32 i = 0; i < 256; ++i) c->colors[3 * i] = c->colors[3 * i + 1] = c->colors[3 * i + 2] = u8(i);
    const u16 flags[] = {0, kBitmapRle, kBitmapPartialAlpha, kBitmapRle | kBitmapPartialAlpha};
    std::mt19937 random(5);
    for (int i = 0; i < 1000; ++i) {
        const u16 bpp = i % 50 == 49 ? 8 : 2;
        std::vector<u8> pixels(size_t(32) * 48 * bpp, 0);
        for (size_t p = 0; p < pixels.size(); p += bpp) {
            const u32 x = u32(p / bpp % 32), y = u32(p / bpp / 32);
            if ((x - 16) * (x - 16) + (y - 24) * (y - 24) > 250) continue;
            pixels[p] = bpp == 2 ? u8(flags[i % 4] & kBitmapPartialAlpha ? 119 + (x % 2) * 136 : 255) : 0;
            pixels[p + 1] = u8(2 + random() % 250);
            if (bpp == 8) pixels[p + 3] = 31;
        }
        AddCollectionBitmap(c, ("bitmap " + std::to_string(i)).c_str(), bpp == 2 ? flags[i % 4] : 0, pixels.data(),
                            32, 48, bpp, nullptr);
    }
    for (int s = 0; s < 100; ++s) {
        CollectionSequence* sequence = AddSequence(c, ("sequence " + std::to_string(s)).c_str());
        ResizeSequence(sequence, 8, 4);
        for (u32 f = 0; f < 4; ++f) {
            sequence->frames[f].shadow = c->bitmaps[(s * 7 + f) % 1000].get();
            for (u32 v = 0; v < 8; ++v)
                sequence->frames[f].instances[v].standard.bitmap = c->bitmaps[(s * 32 + f * 8 + v) % 1000].get();
        }
    }
    AddHueChange(c, "team")->replacement_flags = 1;
}

void BenchTag() {
    Collection c;
    BuildLargeCollection(&c);
    const std::string path = "/tmp/pirn_collections_bench.256";
    TagHeader header = MakeTagHeader(MakeFourCC(".256"), 1, "bench");
    u64 size = 0;
    const double save = BestSeconds(kRuns, [&] {
        std::FILE* f = std::fopen(path.c_str(), "wb+");
        TagHeader h = header;
        SaveCollection(&c, f, &h);
        std::fseek(f, 0, SEEK_END);
        size = u64(std::ftell(f));
        std::fclose(f);
        header = h;
    });
    header.data_length = u32(size - 64);
    const double load = BestSeconds(kRuns, [&] {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        Collection loaded;
        InitCollection(&loaded);
        LoadCollection(&loaded, f, &header, true);
        std::fclose(f);
    });
    const double load_without_pixels = BestSeconds(kRuns, [&] {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        Collection loaded;
        InitCollection(&loaded);
        LoadCollection(&loaded, f, &header, false);
        std::fclose(f);
    });
    std::vector<u8> bytes(size);
    const double raw_write = BestSeconds(kRuns, [&] {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    });
    // Saving left the tag in place; rewrite it for reading.
    {
        std::FILE* f = std::fopen(path.c_str(), "wb+");
        TagHeader h = header;
        SaveCollection(&c, f, &h);
        std::fclose(f);
    }
    const double raw_read = BestSeconds(kRuns, [&] {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::printf("short read\n");
        std::fclose(f);
    });
    std::remove(path.c_str());
    std::printf("tag: 1,000 bitmaps (32 x 48, every form), 100 sequences of 8 x 4, %.1f MB\n", size / 1e6);
    std::printf("  load %.2f ms, raw read %.2f ms: %.2fx   save %.2f ms, raw write %.2f ms: %.2fx   (goal <= 2)\n",
                load * 1e3, raw_read * 1e3, load / raw_read, save * 1e3, raw_write * 1e3, save / raw_write);
    std::printf("  load without decoding the pixels %.2f ms: %.2fx\n", load_without_pixels * 1e3,
                load_without_pixels / raw_read);
}

// libpng decoding a paletted file to its colour indices and palette, as
// the import needs them: no transformation.
bool DecodePngIndices(const std::string& path, PixelImage* image) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    const u32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    png_colorp colors = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colors, &count);
    SetImagePixels(image, width, height, kFormatColorIndex, nullptr);
    SetImagePalette(image, u32(count), reinterpret_cast<const u8*>(colors));
    std::vector<png_bytep> rows(height);
    for (u32 y = 0; y < height; ++y) rows[y] = &image->pixels[size_t{y} * width];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

class SilentPrompts : public UserPrompts {
public:
    void ShowError(const std::string&) override {}
    int Ask(const std::string&, const std::string&, const std::vector<std::string>& buttons) override {
        return int(buttons.size()) - 1;
    }
};

void BenchImport() {
    // 100 sprites of 96 x 96 sharing one 256-colour palette.
    u8 palette[kPaletteBytes];
    for (u32 i = 0; i < 256; ++i) {
        palette[3 * i] = u8(i);
        palette[3 * i + 1] = u8(i * 7);
        palette[3 * i + 2] = u8(255 - i);
    }
    std::vector<std::string> paths;
    for (int n = 0; n < 100; ++n) {
        ImageFile file;
        InitImageFile(&file, "/tmp/pirn_collections_bench_" + std::to_string(n) + ".png");
        file.type = kTypePng;
        SetImagePixels(&file.image, 96, 96, kFormatColorIndex, nullptr);
        for (u32 y = 0; y < 96; ++y)
            for (u32 x = 0; x < 96; ++x) {
                const int d = (int(x) - 48) * (int(x) - 48) + (int(y) - 48) * (int(y) - 48);
                file.image.pixels[y * 96 + x] = d > 1900 ? 0 : u8(2 + (x + y * 3 + n) % 254);
            }
        SetImagePalette(&file.image, 256, palette);
        SaveImageFile(&file);
        paths.push_back(file.path);
    }
    SilentPrompts prompts;
    const double import = BestSeconds(kRuns, [&] {
        Collection c;
        InitCollection(&c);
        AddBitmapsFromFiles(&c, paths, false, prompts);
    });
    const double reference = BestSeconds(kRuns, [&] {
        std::vector<PixelImage> images(paths.size());
        for (size_t i = 0; i < paths.size(); ++i) DecodePngIndices(paths[i], &images[i]);
    });
    for (const std::string& path : paths) std::remove(path.c_str());
    std::printf("import: 100 paletted PNGs of 96 x 96 into one collection %.2f ms, libpng decoding them to indices "
                "%.2f ms: %.2fx (goal <= 2)\n",
                import * 1e3, reference * 1e3, import / reference);
}

}  // namespace

// Arguments name the parts to run (codec, tag, import); none runs all.
int main(int argc, char** argv) {
    auto wanted = [&](const char* part) {
        if (argc < 2) return true;
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], part) == 0) return true;
        return false;
    };
    if (wanted("codec")) BenchCodec();
    if (wanted("tag")) BenchTag();
    if (wanted("import")) BenchImport();
    return 0;
}
