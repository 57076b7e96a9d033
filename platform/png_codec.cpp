#include "platform/png_codec.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/image_stream.h"

namespace pirn {
namespace {

constexpr u64 kDeflateMostExpansion = 1032;

// libpng reports errors by longjmp. Each function below that calls into
// libpng sets its own jump point and holds no object with a destructor, so
// the jump skips nothing; buffers are made by the callers.

void SilentWarning(png_structp, png_const_charp) {}

void FailingError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (!ReadExact(stream, data, length)) png_error(png, "short read");
}

void WriteToStream(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (!WriteExact(stream, data, length)) png_error(png, "short write");
}

void FlushStream(png_structp png) { std::fflush(static_cast<std::FILE*>(png_get_io_ptr(png))); }

class PngReader {
public:
    explicit PngReader(std::FILE* stream) {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailingError, SilentWarning);
        if (png_) info_ = png_create_info_struct(png_);
        if (png_ && info_) png_set_read_fn(png_, stream, ReadFromStream);
    }
    ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool ok() const { return png_ && info_; }

    bool ReadInfo(PngHeader* header) {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_read_info(png_, info_);
        png_uint_32 width = 0, height = 0;
        int depth = 0, color = 0, interlace = 0;
        png_get_IHDR(png_, info_, &width, &height, &depth, &color, &interlace, nullptr, nullptr);
        header->width = width;
        header->height = height;
        header->bit_depth = depth;
        header->color_type = color;
        header->interlace = interlace;
        if (interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        row_bytes_ = png_get_rowbytes(png_, info_);
        return true;
    }

    size_t row_bytes() const { return row_bytes_; }

    bool Palette(png_colorp* colours, int* count) {
        if (setjmp(png_jmpbuf(png_))) return false;
        return png_get_PLTE(png_, info_, colours, count) == PNG_INFO_PLTE;
    }

    bool ReadRows(png_bytepp rows) {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_read_image(png_, rows);
        png_read_end(png_, nullptr);
        return true;
    }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    size_t row_bytes_ = 0;
};

class PngWriter {
public:
    explicit PngWriter(std::FILE* stream) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailingError, SilentWarning);
        if (png_) info_ = png_create_info_struct(png_);
        if (png_ && info_) png_set_write_fn(png_, stream, WriteToStream, FlushStream);
    }
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool ok() const { return png_ && info_; }

    bool Write(u32 width, u32 height, int color_type, const png_color* palette, int palette_count,
               png_bytepp rows) {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_set_IHDR(png_, info_, width, height, 8, color_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (palette) png_set_PLTE(png_, info_, palette, palette_count);
        png_write_info(png_, info_);
        png_write_image(png_, rows);
        png_write_end(png_, info_);
        return true;
    }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

u32 FormatForColorType(int color_type) {
    switch (color_type) {
    case PNG_COLOR_TYPE_GRAY:
        return kFormatAlpha;
    case PNG_COLOR_TYPE_RGB:
        return kFormatRgb;
    case PNG_COLOR_TYPE_PALETTE:
        return kFormatColorIndex;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return kFormatRgba;
    default:
        return kFormatNone;  // grey with alpha is not read
    }
}

}  // namespace

namespace {

u32 Be32(const u8* p) { return u32{p[0]} << 24 | u32{p[1]} << 16 | u32{p[2]} << 8 | p[3]; }

// The bit depths each colour type allows.
bool DepthFitsColorType(int depth, int color) {
    switch (color) {
    case PNG_COLOR_TYPE_GRAY: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case PNG_COLOR_TYPE_PALETTE: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    case PNG_COLOR_TYPE_RGB_ALPHA: return depth == 8 || depth == 16;
    default: return false;
    }
}

}  // namespace

bool ParsePngHeader(const u8* b, size_t length, PngHeader* header) {
    // Only the signature and the IHDR chunk, checked here (its CRC too):
    // identifying a file needs no decoder, and every later chunk is checked
    // when the image is read.
    *header = PngHeader();
    if (length < kPngHeaderBytes) return false;
    if (png_sig_cmp(b, 0, 8) != 0 || Be32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) return false;
    if (crc32(crc32(0, nullptr, 0), b + 12, 4 + 13) != Be32(b + 29)) return false;
    const u32 width = Be32(b + 16), height = Be32(b + 20);
    const int depth = b[24], color = b[25];
    if (width == 0 || height == 0 || width > PNG_UINT_31_MAX || height > PNG_UINT_31_MAX) return false;
    if (!DepthFitsColorType(depth, color) || b[26] != 0 || b[27] != 0 || b[28] > 1) return false;
    header->width = width;
    header->height = height;
    header->bit_depth = depth;
    header->color_type = color;
    header->interlace = b[28];
    return true;
}

bool ReadPngHeader(std::FILE* stream, PngHeader* header) {
    u8 b[kPngHeaderBytes];
    *header = PngHeader();
    return SeekStream(stream, 0) && ReadExact(stream, b, sizeof b) && ParsePngHeader(b, sizeof b, header);
}

bool ReadPng(std::FILE* stream, PixelImage* image) {
    if (!SeekStream(stream, 0)) return false;
    PngReader reader(stream);
    PngHeader header;
    if (!reader.ok() || !reader.ReadInfo(&header)) return false;
    if (header.bit_depth != 8) return false;
    u32 format = FormatForColorType(header.color_type);
    if (format == kFormatNone) return false;

    // Deflate expands at most 1032 to 1, and every row carries a filter
    // byte: a header promising more than the file can hold is refused
    // before a block of that size is taken.
    u64 stream_size = 0;
    const u64 filtered = u64(header.height) * (u64(header.width) * u64(BytesPerPixel(format)) + 1);
    if (!StreamSize(stream, &stream_size) || filtered / kDeflateMostExpansion > stream_size) return false;

    PixelImage decoded;
    // The size check (64-bit, capped) comes before any allocation.
    if (!SetImagePixels(&decoded, header.width, header.height, format, nullptr)) return false;
    size_t row = size_t(header.width) * BytesPerPixel(format);
    if (reader.row_bytes() != row) return false;

    if (format == kFormatColorIndex) {
        png_colorp colours = nullptr;
        int count = 0;
        if (!reader.Palette(&colours, &count) || count < 1 || count > 256) return false;
        u8 rgb[kPaletteBytes] = {};
        for (int i = 0; i < count; ++i) {
            rgb[i * 3] = colours[i].red;
            rgb[i * 3 + 1] = colours[i].green;
            rgb[i * 3 + 2] = colours[i].blue;
        }
        SetImagePalette(&decoded, static_cast<u32>(count), rgb);
    }

    std::vector<png_bytep> rows(header.height);
    for (u32 y = 0; y < header.height; ++y) rows[y] = decoded.pixels.data() + size_t(y) * row;
    if (!reader.ReadRows(rows.data())) return false;
    MovePixelImage(image, &decoded);
    return true;
}

bool WritePng(std::FILE* stream, const PixelImage& image) {
    int color_type;
    switch (image.format) {
    case kFormatColorIndex:
        color_type = PNG_COLOR_TYPE_PALETTE;
        break;
    case kFormatAlpha:
        color_type = PNG_COLOR_TYPE_GRAY;
        break;
    case kFormatRgb:
        color_type = PNG_COLOR_TYPE_RGB;
        break;
    case kFormatRgba:
        color_type = PNG_COLOR_TYPE_RGB_ALPHA;
        break;
    default:
        return false;
    }
    if (!HasWholePixels(image)) return false;

    std::vector<png_color> palette;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        // A paletted image without palette is written with the grey ramp, as
        // it would be shown.
        u32 count = image.has_palette() && image.palette_count ? image.palette_count : 256;
        // Every index used must have an entry, or readers refuse the file.
        u8 highest = 0;
        for (u8 index : image.pixels) highest = std::max(highest, index);
        count = std::max<u32>(count, u32(highest) + 1);
        palette.resize(count);
        for (u32 i = 0; i < count; ++i) {
            if (image.has_palette()) {
                palette[i] = png_color{image.palette[i * 3], image.palette[i * 3 + 1], image.palette[i * 3 + 2]};
            } else {
                palette[i] = png_color{u8(i), u8(i), u8(i)};
            }
        }
    }
    size_t row = size_t(image.width) * BytesPerPixel(image.format);
    std::vector<png_bytep> rows(image.height);
    for (u32 y = 0; y < image.height; ++y) rows[y] = const_cast<u8*>(image.pixels.data()) + size_t(y) * row;

    PngWriter writer(stream);
    return writer.ok() && writer.Write(image.width, image.height, color_type,
                                       palette.empty() ? nullptr : palette.data(),
                                       static_cast<int>(palette.size()), rows.data());
}

}  // namespace pirn
