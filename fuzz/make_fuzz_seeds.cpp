// Writes the seed inputs of every harness into FOLDER/<harness>/: the demo
// game's archives and tag files, the hand-built archive fixtures of the Codex
// tests, small pictures in every format our writers make plus variants only
// libpng and libtiff write (interlaced, other depths, other compressions,
// tiles, separate planes), and small fonts, texture packs, charmaps and
// preference files laid out from their format tables; for the readers of
// the editors, collections and models, the demo game's tags of each group
// (with bitmaps, plates and frame scripts made from them), the samples and
// definition files of the source tree, and small hand-built files.
//
//   make_fuzz_seeds FOLDER [SOURCE_FOLDER]
//
// scripts/fuzz runs it before fuzzing; the seeds are not kept in the
// repository (fuzz/corpus/ holds the minimised corpus that grew from them).

#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "collections/bitmap_codec.h"
#include "collections/collection.h"
#include "collections/collection_tag.h"
#include "collections/plate.h"
#include "editors/text_edit_content.h"
#include "platform/act_file.h"
#include "platform/char_map.h"
#include "platform/clipboard_image.h"
#include "platform/image_file.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tools/demo_game/demo_game.h"

namespace {

using pirn::u16;
using pirn::u32;
using pirn::u8;
using Bytes = std::vector<u8>;

std::string g_root;
std::string g_source;  // the source tree, or empty

void Write(const std::string& harness, const std::string& name, const Bytes& bytes) {
    const std::string folder = g_root + "/" + harness;
    std::filesystem::create_directories(folder);
    std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!file || (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot write %s/%s\n", folder.c_str(), name.c_str());
        std::exit(1);
    }
}

void Write(const std::string& harness, const std::string& name, const std::string& text) {
    Write(harness, name, Bytes(text.begin(), text.end()));
}

Bytes ReadFileBytes(const std::string& path) {
    Bytes bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(u8(c));
        std::fclose(file);
    }
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// --- Pictures -------------------------------------------------------------------

pirn::PixelImage Picture(u32 format, u32 width, u32 height) {
    pirn::PixelImage image;
    const int bytes = pirn::BytesPerPixel(format);
    std::vector<u8> pixels(size_t(width) * height * size_t(bytes));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = u8(i * 37 + i / 7);
    pirn::SetImagePixels(&image, width, height, format, pixels.data());
    if (format == pirn::kFormatColorIndex) {
        u8 rgb[pirn::kPaletteBytes];
        for (u32 i = 0; i < pirn::kPaletteBytes; ++i) rgb[i] = u8(255 - i);
        pirn::SetImagePalette(&image, 256, rgb);
    }
    return image;
}

Bytes Encoded(u32 type, const pirn::PixelImage& image) {
    Bytes bytes;
    if (!pirn::EncodeImageBytes(type, image, &bytes)) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot encode a seed picture\n");
        std::exit(1);
    }
    return bytes;
}

struct LittleEndian {
    Bytes data;
    void U8(u8 v) { data.push_back(v); }
    void U16(u16 v) { U8(u8(v)), U8(u8(v >> 8)); }
    void U32(u32 v) { U16(u16(v)), U16(u16(v >> 16)); }
};

// An 8-bit BMP with a palette of `colours` entries and a gap before its
// rows; a negative height for top-down rows.
Bytes HandBuiltBmp(int height, u32 colours, u32 gap) {
    const u32 width = 3, row = 4;
    const u32 rows = u32(height < 0 ? -height : height);
    LittleEndian b;
    b.U8('B'), b.U8('M');
    b.U32(0);
    b.U32(0);
    b.U32(54 + 4 * colours + gap);
    b.U32(40);
    b.U32(width);
    b.U32(u32(height));
    b.U16(1);
    b.U16(8);
    b.U32(0);
    b.U32(0);
    b.U32(0);
    b.U32(0);
    b.U32(colours);
    b.U32(0);
    for (u32 i = 0; i < colours; ++i) b.U32(0x00010203u * i);
    for (u32 i = 0; i < gap; ++i) b.U8(0xEE);
    for (u32 i = 0; i < rows * row; ++i) b.U8(u8(i % colours));
    return b.data;
}

// What libpng writes with settings our writer never uses.
Bytes LibpngPicture(int colour_type, int depth, bool interlaced) {
    const u32 width = 5, height = 4;
    std::FILE* stream = std::tmpfile();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) std::exit(1);
    png_init_io(png, stream);
    png_set_IHDR(png, info, width, height, depth, colour_type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[16];
        for (int i = 0; i < 16; ++i) palette[i] = png_color{u8(i * 16), u8(255 - i), u8(i * 3)};
        png_set_PLTE(png, info, palette, 16);
    }
    png_write_info(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    std::vector<u8> row(row_bytes);
    const int passes = interlaced ? png_set_interlace_handling(png) : 1;
    // Palette indices must stay below the 16 entries (a 4-bit pixel always does).
    const u8 mask = colour_type == PNG_COLOR_TYPE_PALETTE && depth == 8 ? 0x0F : 0xFF;
    for (int pass = 0; pass < passes; ++pass) {
        for (u32 y = 0; y < height; ++y) {
            for (size_t x = 0; x < row_bytes; ++x) row[x] = u8((x + y) * 29 & mask);
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    Bytes bytes(size_t(std::ftell(stream)));
    std::rewind(stream);
    if (std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size()) std::exit(1);
    std::fclose(stream);
    return bytes;
}

// What libtiff writes with settings our writer never uses.
Bytes LibtiffPicture(u16 compression, u16 samples, u16 bits, u16 planar, bool tiled) {
    const std::string path = g_root + "/.libtiff-seed.tif";
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) std::exit(1);
    const u32 width = 16, height = 16;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (samples == 4) {
        u16 extra = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    std::vector<u8> block(size_t(width) * height * samples * bits / 8);
    for (size_t i = 0; i < block.size(); ++i) block[i] = u8(i * 13 / 5);
    if (tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        TIFFWriteEncodedTile(tif, 0, block.data(), tmsize_t(block.size()));
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
        const tmsize_t strip_size = TIFFStripSize(tif);
        const u32 strips = TIFFNumberOfStrips(tif);
        for (u32 s = 0; s < strips; ++s) {
            const size_t at = (size_t(s) * size_t(strip_size)) % block.size();
            TIFFWriteEncodedStrip(tif, s, block.data() + at, std::min<tmsize_t>(strip_size, tmsize_t(block.size() - at)));
        }
    }
    TIFFClose(tif);
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(u8(c));
    std::fclose(file);
    std::filesystem::remove(path);
    return bytes;
}

void WriteImageSeeds() {
    const u32 formats[] = {pirn::kFormatColorIndex, pirn::kFormatAlpha, pirn::kFormatRgb, pirn::kFormatRgba};
    const char* const format_names[] = {"index", "grey", "rgb", "rgba"};
    struct Kind {
        u32 type;
        const char* harness;
        const char* extension;
    };
    for (const Kind& kind : {Kind{pirn::kTypeBmp, "bmp", ".bmp"}, Kind{pirn::kTypePng, "png", ".png"},
                             Kind{pirn::kTypeTiff, "tiff", ".tiff"}}) {
        for (int i = 0; i < 4; ++i) {
            const Bytes bytes = Encoded(kind.type, Picture(formats[i], 7, 3));
            Write(kind.harness, std::string("ours-") + format_names[i] + kind.extension, bytes);
            Write("image_identification", std::string(format_names[i]) + kind.extension, bytes);
        }
    }
    Write("bmp", "top-down.bmp", HandBuiltBmp(-2, 4, 0));
    Write("bmp", "gap-before-rows.bmp", HandBuiltBmp(2, 3, 6));

    Write("png", "interlaced-rgb.png", LibpngPicture(PNG_COLOR_TYPE_RGB, 8, true));
    Write("png", "interlaced-palette.png", LibpngPicture(PNG_COLOR_TYPE_PALETTE, 8, true));
    Write("png", "grey-16.png", LibpngPicture(PNG_COLOR_TYPE_GRAY, 16, false));
    Write("png", "grey-alpha.png", LibpngPicture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, false));
    Write("png", "palette-4.png", LibpngPicture(PNG_COLOR_TYPE_PALETTE, 4, false));

    Write("tiff", "rgb-none.tiff", LibtiffPicture(COMPRESSION_NONE, 3, 8, PLANARCONFIG_CONTIG, false));
    Write("tiff", "rgb-lzw.tiff", LibtiffPicture(COMPRESSION_LZW, 3, 8, PLANARCONFIG_CONTIG, false));
    Write("tiff", "grey-packbits.tiff", LibtiffPicture(COMPRESSION_PACKBITS, 1, 8, PLANARCONFIG_CONTIG, false));
    Write("tiff", "rgba-deflate.tiff", LibtiffPicture(COMPRESSION_ADOBE_DEFLATE, 4, 8, PLANARCONFIG_CONTIG, false));
    Write("tiff", "rgb-tiled.tiff", LibtiffPicture(COMPRESSION_NONE, 3, 8, PLANARCONFIG_CONTIG, true));
    Write("tiff", "rgb-planes.tiff", LibtiffPicture(COMPRESSION_NONE, 3, 8, PLANARCONFIG_SEPARATE, false));
    Write("tiff", "grey-16.tiff", LibtiffPicture(COMPRESSION_NONE, 1, 16, PLANARCONFIG_CONTIG, false));

    // The clipboard: a type byte (0 PNG, 1 BMP), then the bytes.
    const pirn::PixelImage rgb = Picture(pirn::kFormatRgb, 5, 3);
    for (const auto& [selector, type] : {std::pair<u8, const char*>{0, pirn::kClipboardPngType},
                                         std::pair<u8, const char*>{1, pirn::kClipboardBmpType}}) {
        Bytes bytes;
        pirn::EncodeClipboardImage(type, rgb.pixels.data(), rgb.width, rgb.height, &bytes);
        bytes.insert(bytes.begin(), selector);
        Write("clipboard_image", std::string("offered-") + (selector ? "bmp" : "png"), bytes);
    }
    Write("clipboard_image", "bmp-8-bit", Join({Bytes{1}, HandBuiltBmp(2, 4, 0)}));
    Write("clipboard_image", "png-palette", Join({Bytes{0}, LibpngPicture(PNG_COLOR_TYPE_PALETTE, 8, false)}));
}

// --- Tags and archives -------------------------------------------------------------

void WriteCodexSeeds(const pirn::demo::DemoGame& game) {
    using namespace codex_fixture;
    for (const pirn::demo::DemoArchive& archive : game.archives) {
        const Bytes bytes = pirn::demo::EncodeArchive(archive);
        Write("archive", "demo-" + archive.file_name, bytes);
        Write("image_identification", "archive-" + archive.file_name, bytes);
    }
    std::vector<Bytes> local_files;
    for (const pirn::demo::DemoLocalFile& file : game.local_files) {
        local_files.push_back(pirn::demo::EncodeTagFile(file));
        std::string name = file.file_name;
        for (char& c : name)
            if (c == '/' || c == ' ') c = '-';
        Write("tag_header", "demo-" + name, local_files.back());
        Write("tag_header", "demo-header-" + name,
              Bytes(local_files.back().begin(), local_files.back().begin() + std::min<size_t>(local_files.back().size(), 64)));
    }
    Write("image_identification", "tag-file", local_files.front());

    // The Codex tests' fixtures: a mesh with its map record, an old layout,
    // an empty tag, and a first-version archive.
    const Tag mesh{Code("mesh"), Code("mes1"), "Plain", Data("mesh data")};
    const Tag text{Code("text"), Code("txt1"), "Words", Data("some words")};
    const Tag empty{Code("text"), Code("emp1"), "Empty", {}};
    Write("archive", "fixture-mesh-map", ArchiveBytes(6, 100, "Addon", {mesh, text, empty}));
    Write("archive", "fixture-first-version", FirstVersionArchiveBytes("Old", {text, mesh}));
    Write("tag_header", "fixture-old-layout", OldTagFile(text));
    Write("tag_header", "fixture-headers", Join({TagFile(mesh), TagFile(text)}));

    // The local folder: a group byte, a name byte, then the file.
    const std::string next = "@@file@@";
    const Bytes separator(next.begin(), next.end());
    Write("local_tag_files", "one-text", Join({Bytes{3, 0}, TagFile(text)}));
    Write("local_tag_files", "same-id-twice", Join({Bytes{3, 0}, TagFile(text), separator, Bytes{3, 1}, TagFile(text)}));
    Write("local_tag_files", "mesh-in-text-folder", Join({Bytes{3, 2}, TagFile(mesh), separator, Bytes{0, 3}, OldTagFile(mesh)}));
    Write("local_tag_files", "scan-skips", Join({Bytes{3, 5}, TagFile(text), separator, Bytes{3, 6}, TagFile(empty)}));
    for (size_t i = 0; i + 1 < local_files.size(); i += 3)
        Write("local_tag_files", "demo-" + std::to_string(i),
              Join({Bytes{u8(i), u8(i)}, local_files[i], separator, Bytes{u8(i + 1), u8(i + 7)}, local_files[i + 1]}));
}

// --- Tag data of the editors, collections and models ------------------------------

constexpr u32 Group(const char (&code)[5]) {
    return u32(u8(code[0])) << 24 | u32(u8(code[1])) << 16 | u32(u8(code[2])) << 8 | u8(code[3]);
}

std::vector<pirn::demo::DemoTag> DemoTagsOf(const pirn::demo::DemoGame& game, u32 group) {
    std::vector<pirn::demo::DemoTag> tags;
    for (const pirn::demo::DemoArchive& archive : game.archives)
        for (const pirn::demo::DemoTag& tag : archive.tags)
            if (tag.group == group) tags.push_back(tag);
    for (const pirn::demo::DemoLocalFile& file : game.local_files)
        if (file.tag.group == group) tags.push_back(file.tag);
    return tags;
}

std::string SeedName(const pirn::demo::DemoTag& tag) {
    std::string name = "demo-" + tag.name;
    for (char& c : name)
        if (c == '/' || c == ' ') c = '-';
    return name;
}

// The tag-data harnesses take the tag's version as their first byte.
Bytes Versioned(const pirn::demo::DemoTag& tag) { return Join({Bytes{u8(tag.version)}, tag.data}); }

std::unique_ptr<pirn::Collection> LoadDemoCollection(const pirn::demo::DemoTag& tag) {
    auto collection = std::make_unique<pirn::Collection>();
    Bytes data = tag.data;
    std::FILE* stream = fmemopen(data.data(), data.size(), "rb");
    pirn::TagHeader header{};
    header.group = tag.group;
    header.version = tag.version;
    header.user_data = tag.user_data;
    header.data_length = u32(data.size());
    const bool loaded = stream && pirn::LoadCollection(collection.get(), stream, &header, true);
    if (stream) std::fclose(stream);
    if (!loaded) return nullptr;
    return collection;
}

void WriteCollectionSeeds(const pirn::demo::DemoGame& game) {
    size_t bitmaps = 0, plates = 0;
    for (const pirn::demo::DemoTag& tag : DemoTagsOf(game, Group(".256"))) {
        Write("collection", SeedName(tag), Versioned(tag));
        std::unique_ptr<pirn::Collection> collection = LoadDemoCollection(tag);
        if (!collection) continue;
        std::vector<const pirn::CollectionBitmap*> two_byte;
        for (const auto& bitmap : collection->bitmaps) {
            Bytes block;
            if (bitmaps < 24 && pirn::EncodeCollectionBitmapBytes(*bitmap, &block))
                Write("collection_bitmap", SeedName(tag) + "-" + std::to_string(bitmaps++), block);
            if (bitmap->bytes_per_pixel == 2 && two_byte.size() < 6) two_byte.push_back(bitmap.get());
        }
        pirn::PixelImage plate;
        if (plates >= 6 || two_byte.empty() || !pirn::BuildPlateImage(*collection, two_byte, plates % 2 == 1, 0, &plate))
            continue;
        ++plates;
        Write("plate", SeedName(tag) + ".bmp", Join({Bytes{1}, Encoded(pirn::kTypeBmp, plate)}));
        Write("plate", SeedName(tag) + ".png", Join({Bytes{1}, Encoded(pirn::kTypePng, plate)}));
        if (plate.width >= pirn::kMinPlateSide && plate.width <= pirn::kMinPlateSide + 255 && plate.height < 200)
            Write("plate", SeedName(tag) + ".grid",
                  Join({Bytes{0, u8(plate.width - pirn::kMinPlateSide)}, plate.pixels}));
    }
}

void WriteTagDataSeeds(const pirn::demo::DemoGame& game) {
    const std::pair<const char*, u32> kinds[] = {
        {"dtex", Group("dtex")}, {"detail_map", Group("dmap")}, {"mesh_map", Group("mesh")},
        {"geom", Group("geom")}, {"mode", Group("mode")},       {"sound", Group("soun")},
    };
    for (const auto& [harness, group] : kinds) {
        size_t written = 0;
        for (const pirn::demo::DemoTag& tag : DemoTagsOf(game, group))
            if (written++ < 16) Write(harness, SeedName(tag), Versioned(tag));
    }
    // The text harness: a first byte 0 for plain text, 1 for a string list.
    for (const u32 group : {Group("text"), Group("ditl"), Group("scri"), Group("stli"), Group("temp")}) {
        const bool list = pirn::TextTagKindOf(group) == pirn::TextTagKind::StringList;
        for (const pirn::demo::DemoTag& tag : DemoTagsOf(game, group))
            Write("text_tag", SeedName(tag), Join({Bytes{u8(list)}, tag.data}));
    }
    Write("text_tag", "line-ends-and-carried", std::string("\0a\rb\nc\r\n\r\rd\0tail\r", 17));
    Write("text_tag", "list-with-empties", std::string("\1\0\0one\r\ntwo\0\nthree", 18));
    // The dialog harness reads the data alone.
    for (const pirn::demo::DemoTag& tag : DemoTagsOf(game, Group("bina"))) Write("dialog", SeedName(tag), tag.data);
    for (const pirn::demo::DemoFile& file : game.files) {
        if (file.path.size() < 10 || file.path.compare(file.path.size() - 10, 10, "script.txt") != 0) continue;
        std::string name = file.path;
        for (char& c : name)
            if (c == '/' || c == ' ') c = '-';
        Write("build_script", "demo-" + name, file.bytes);
    }
    Write("build_script", "every-key",
          std::string("  BitmapOrder 2\r\nAlignType 3\nAlignIndividually Yes\nReverseViews t\n"
                      "(1 2 -3 ~ 99999999999 4)\nHueChange \"Team colour\" 200 240 280 25\n"
                      "huechange 0 0 0 0\nunknown key\n"));
}

// --- Models, tables and definitions ----------------------------------------------------

void WriteModelSeeds() {
    const std::string triangle = "TriMesh ( 1 0 0 0 3 0\n0 1 2\n0 0 0  1 0 0  0 1 0\n0 0 0 1 1 0 False )\n";
    Write("three_dmf", "triangle", "3DMetafile ( 1 6 Normal toc> )\n" + triangle);
    Write("three_dmf", "textured",
          "3DMetafile\n" + triangle + "AttributeArray ( 2 0 2 0 0\n 0 0  0.25 0.75  1 0.5 )\n"
          "AttributeArray ( 3 0 0 0 0\n 0 0 1 )\nAttributeArray ( 3 0 2 0 0\n 0 0 1  0 0 1  0 0 1 )\n"
          "PixmapTexture ( 3 1 12 32 ARGB32 BigEndian BigEndian\n0x80112233FF445566007788990A0B0C0D )\n");
    Write("three_dmf", "two-meshes-rgb16",
          "3DMetafile\nContainer ( " + triangle +
          "TriMesh ( 2 0 0 0 4 0\n0 1 2  0 2 3\n-5 0 0  0 0 0  0 2 0  1 1 7\n-5 0 0 1 2 7 False )\n"
          "PixmapTexture ( 2 1 4 16 RGB16 BigEndian BigEndian\n0x7FFF8421000000000000000000000000 ) ) EndGroup ( )\n");

    // .act: 256 colours; 16 colours with the count; a count above 256.
    Bytes full(pirn::kActTableSize), counted(pirn::kActTableSize + 4, 0), too_many(pirn::kActTableSize + 4, 0);
    for (size_t i = 0; i < full.size(); ++i) full[i] = counted[i] = u8(i * 5);
    counted[768] = 0, counted[769] = 16, counted[770] = 0xFF, counted[771] = 0xFF;
    too_many[768] = 1, too_many[769] = 1;
    Write("act", "256-colours", full);
    Write("act", "16-colours", counted);
    Write("act", "count-past-256", too_many);

    if (g_source.empty()) return;
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(g_source + "/tests/data/lwo", error)) {
        if (!entry.is_regular_file(error) || entry.path().extension() != ".lwo" || entry.file_size(error) > 16384)
            continue;
        std::string name = fs::relative(entry.path(), g_source + "/tests/data/lwo", error).string();
        for (char& c : name)
            if (c == '/') c = '-';
        Write("lwo", name, ReadFileBytes(entry.path().string()));
    }
    for (const char* folder : {"/data", "/tests/editors/definitions/grammar"}) {
        for (const auto& entry : fs::directory_iterator(g_source + folder, error)) {
            if (!entry.is_regular_file(error) || entry.path().extension() != ".xml") continue;
            const std::string marker = "@@record@@";
            Write("xml_definitions", entry.path().filename().string(),
                  Join({ReadFileBytes(entry.path().string()), Bytes(marker.begin(), marker.end()),
                        Bytes{0, 1, 2, 3, 0x80, 0xFF, 0x7F, 9, 0, 0, 0, 2}}));
        }
    }
}

// --- Resource files ------------------------------------------------------------------

// A font with glyphs in the styles of `styles` (bit n: style n exists).
Bytes TinyFont(unsigned styles) {
    LittleEndian b;
    b.U32(11), b.U32(3), b.U32(14), b.U32(4);
    for (int style = 0; style < 4; ++style) {
        for (int code = 32; code < 256; ++code) {
            const bool drawn = (styles >> style & 1) && (code == 'A' || code == 'g' || code == '|' || code == 0xA5);
            const u16 width = drawn ? u16(3 + style) : 0, height = drawn ? u16(5 + code % 4) : 0;
            b.U16(width), b.U16(height), b.U16(u16(-1)), b.U16(u16(-9));
            for (int next = 32; next < 256; ++next) b.U8(u8(drawn ? width + 1 - (next == 'A') : 4));
            for (int i = 0; i < width * height; ++i) b.U8(u8(i * 40));
        }
        b.U32(0), b.U32(0), b.U32(0), b.U32((styles >> style) & 1);
    }
    return b.data;
}

Bytes TinyTexturePack() {
    LittleEndian b;
    const u16 sizes[][2] = {{2, 3}, {5, 1}, {1, 9}};
    b.U32(3);
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 12; ++k) b.U8(0xAA);
        b.U16(sizes[i][0]), b.U16(sizes[i][1]);
        for (int k = 0; k < 8; ++k) b.U8(0xBB);
        b.U32(u32(100 + i % 2));
        for (int k = 0; k < sizes[i][0] * sizes[i][1] * 4; ++k) b.U8(u8(k * 9));
    }
    return b.data;
}

void WriteResourceSeeds() {
    Write("interface_font", "plain-only", TinyFont(1));
    Write("interface_font", "four-styles", TinyFont(15));
    Write("texture_pack", "three-images", TinyTexturePack());
    Write("char_map", "built-in", pirn::CharMapFileBytes(pirn::BuiltInCharMap()));
    Write("char_map", "mac-roman-text", std::string("Caf\x8E \xA5 10\xA1 \xDB\x7F\tend\r\n"));
    Write("prefs", "typical",
          std::string("ArchiveBrowserPlacement \"10 20 640 480 0\"\nCodexWorkingSet \"campaign;Demo Addon;\"\n"
                      "OsWindowSizeX 1024\nRatio 1.500000\nShowSplash 1\nZarnPath \"/home/me/Zarn \\\"x\\\" \\xA5\"\n"));
    Write("prefs", "line-ends", std::string("A 1\r\nB 2.5\rC \"x\"\r\n\nD 4\n"));
    Write("image_identification", "wav-head", std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0", 20));
    Write("image_identification", "lwo-head", std::string("FORM\0\0\0\x0cLWO2TAGS", 16));
    Write("image_identification", "3dmf-head", std::string("3DMetafile (1.6 Normal toc)"));
    Write("prefs", "malformed", std::string("NoValue\nTab\t3\nE 1e3\nF \"open\nG 7 8\n"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER [SOURCE_FOLDER]\n");
        return 2;
    }
    g_root = argv[1];
    if (argc == 3) g_source = argv[2];
    std::filesystem::create_directories(g_root);
    const pirn::demo::DemoGame game = pirn::demo::BuildDemoGame();
    WriteImageSeeds();
    WriteCodexSeeds(game);
    WriteCollectionSeeds(game);
    WriteTagDataSeeds(game);
    WriteModelSeeds();
    WriteResourceSeeds();
    return 0;
}
