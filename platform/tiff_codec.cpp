#include "platform/tiff_codec.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image_stream.h"

namespace pirn {
namespace {

// Old-style Deflate code, the one our files have always carried.
constexpr u16 kDeflateCompression = 32946;

// The most bytes one stored byte of a compression can turn into, which
// bounds the picture a file's strips can hold: uncompressed strips hold no
// more than their bytes, PackBits makes 128 bytes of two, LZW never more
// than 4096 bytes of a code of at least 9 bits, Deflate at most 1032 bytes
// of one, JPEG at most 512 (a block of 64 samples in 2 bits, twice for the
// subsampled colours), Zstandard 32768 (a 128 KiB block of one repeated
// byte in 4). Other compressions are held to 64 KiB a byte; their rows are
// decoded into a block that grows only as they arrive.
u64 MostExpansion(u16 compression) {
    switch (compression) {
    case COMPRESSION_NONE: return 1;
    case COMPRESSION_PACKBITS: return 64;
    case COMPRESSION_LZW: return 4096 * 8 / 9;
    case COMPRESSION_ADOBE_DEFLATE:
    case kDeflateCompression: return 1032;
    case COMPRESSION_JPEG: return 512;
    case COMPRESSION_ZSTD: return 32768;
    default: return 65536;
    }
}

// The strip bytes that really lie inside the file: a strip's count is cut
// at the file's end, a strip starting past it holds nothing, and strips that
// share bytes hold no more than the file.
u64 StripBytesPresent(TIFF* tif, u64 file_size) {
    u64 present = 0;
    const u32 strips = TIFFNumberOfStrips(tif);
    for (u32 strip = 0; strip < strips && present < file_size; ++strip) {
        int error = 0;
        const u64 offset = TIFFGetStrileOffsetWithErr(tif, strip, &error);
        if (error) return 0;
        const u64 count = TIFFGetStrileByteCountWithErr(tif, strip, &error);
        if (error) return 0;
        if (offset < file_size) present += std::min(count, file_size - offset);
    }
    return std::min(present, file_size);
}

// Decoded rows go into a block that starts at 1 MiB and doubles as rows
// arrive, so that data which does not decode never takes what its header
// promised.
constexpr size_t kFirstRowBlock = size_t(1) << 20;

bool ReadRows(TIFF* tif, u32 height, size_t row, u64 total, std::vector<u8>* pixels) {
    for (u32 y = 0; y < height; ++y) {
        const size_t end = size_t(y + 1) * row;
        if (pixels->size() < end) {
            const size_t grown = std::max(end, std::max(pixels->size() * 2, kFirstRowBlock));
            pixels->resize(static_cast<size_t>(std::min<u64>(total, grown)));
        }
        if (TIFFReadScanline(tif, pixels->data() + size_t(y) * row, y, 0) < 0) return false;
    }
    return true;
}

std::FILE* Stream(thandle_t handle) { return static_cast<std::FILE*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return static_cast<tmsize_t>(std::fread(buffer, 1, static_cast<size_t>(size), Stream(handle)));
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return static_cast<tmsize_t>(std::fwrite(buffer, 1, static_cast<size_t>(size), Stream(handle)));
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    if (offset > toff_t(INT64_MAX)) return toff_t(-1);
    if (fseeko(Stream(handle), static_cast<off_t>(offset), whence) != 0) return toff_t(-1);
    off_t at = ftello(Stream(handle));
    return at < 0 ? toff_t(-1) : static_cast<toff_t>(at);
}

// The stream belongs to the caller; libtiff only borrows it.
int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t handle) {
    u64 size = 0;
    return StreamSize(Stream(handle), &size) ? size : 0;
}

int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int SilentHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle OpenTiff(std::FILE* stream, const char* mode) {
    if (!SeekStream(stream, 0)) return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, SilentHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, SilentHandler, nullptr);
    TIFF* tif = TIFFClientOpenExt("image", mode, stream, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                  MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

}  // namespace

bool ReadTiffHeader(std::FILE* stream) { return OpenTiff(stream, "rm") != nullptr; }

bool ReadTiff(std::FILE* stream, PixelImage* image) {
    TiffHandle tif = OpenTiff(stream, "rm");
    if (!tif) return false;
    if (TIFFIsTiled(tif.get())) return false;

    u32 width = 0, height = 0;
    u16 bits = 0, samples = 0, photometric = 0, planar = 0, sample_format = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height))
        return false;
    if (!TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric)) return false;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &sample_format);
    if (bits != 8 || sample_format != SAMPLEFORMAT_UINT) return false;
    // Scanlines of separate planes hold one channel each: not our layout.
    if (planar != PLANARCONFIG_CONTIG) return false;

    u32 format;
    if (photometric == PHOTOMETRIC_MINISBLACK && samples == 1) {
        format = kFormatAlpha;
    } else if (photometric == PHOTOMETRIC_RGB && samples == 3) {
        format = kFormatRgb;
    } else if (photometric == PHOTOMETRIC_RGB && samples == 4) {
        format = kFormatRgba;
    } else if (photometric == PHOTOMETRIC_PALETTE && samples == 1) {
        format = kFormatColorIndex;
    } else {
        return false;
    }

    // A header promising more pixels than the bytes of its strips can hold
    // under their compression is refused before a block of that size is
    // taken (a 20 KB file must not take a gigabyte), and so is a compression
    // this libtiff cannot decode.
    u64 stream_size = 0;
    u16 compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) return false;
    u64 bytes = 0;
    if (width == 0 || height == 0 || !ImageByteSize(width, height, format, &bytes)) return false;
    if (!StreamSize(stream, &stream_size)) return false;
    const u64 present = StripBytesPresent(tif.get(), stream_size);
    if (bytes / MostExpansion(compression) > present) return false;

    PixelImage decoded;
    decoded.format = format;
    decoded.width = width;
    decoded.height = height;
    const size_t row = size_t(width) * BytesPerPixel(format);
    if (TIFFScanlineSize64(tif.get()) != static_cast<u64>(row)) return false;

    if (format == kFormatColorIndex) {
        u16 *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) return false;
        u8 rgb[kPaletteBytes];
        for (u32 i = 0; i < kPaletteEntries; ++i) {
            rgb[i * 3] = static_cast<u8>(u32(red[i]) * 255 / 65535);
            rgb[i * 3 + 1] = static_cast<u8>(u32(green[i]) * 255 / 65535);
            rgb[i * 3 + 2] = static_cast<u8>(u32(blue[i]) * 255 / 65535);
        }
        SetImagePalette(&decoded, kPaletteEntries, rgb);
    }

    if (!ReadRows(tif.get(), height, row, bytes, &decoded.pixels)) return false;
    MovePixelImage(image, &decoded);
    return true;
}

bool WriteTiff(std::FILE* stream, const PixelImage& image) {
    u16 photometric, samples;
    switch (image.format) {
    case kFormatColorIndex:
        photometric = PHOTOMETRIC_PALETTE;
        samples = 1;
        break;
    case kFormatAlpha:
        photometric = PHOTOMETRIC_MINISBLACK;
        samples = 1;
        break;
    case kFormatRgb:
        photometric = PHOTOMETRIC_RGB;
        samples = 3;
        break;
    case kFormatRgba:
        photometric = PHOTOMETRIC_RGB;
        samples = 4;
        break;
    default:
        return false;
    }
    if (!HasWholePixels(image)) return false;

    std::vector<u16> colour_map;
    if (photometric == PHOTOMETRIC_PALETTE) {
        colour_map.assign(3 * kPaletteEntries, 0);
        for (u32 i = 0; i < kPaletteEntries; ++i) {
            for (u32 c = 0; c < 3; ++c) {
                u32 byte = image.has_palette() ? image.palette[i * 3 + c] : i;
                colour_map[c * kPaletteEntries + i] = static_cast<u16>(byte * 65535 / 255);
            }
        }
    }
    const size_t row = size_t(image.width) * samples;
    std::vector<u8> scanline(row);

    TiffHandle tif = OpenTiff(stream, "w");
    if (!tif) return false;
    TIFF* t = tif.get();
    bool ok = TIFFSetField(t, TIFFTAG_IMAGEWIDTH, image.width) && TIFFSetField(t, TIFFTAG_IMAGELENGTH, image.height) &&
              TIFFSetField(t, TIFFTAG_IMAGEDEPTH, 1) && TIFFSetField(t, TIFFTAG_COMPRESSION, kDeflateCompression) &&
              TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples) &&
              TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric) &&
              TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    if (ok && samples == 4) {
        // Without this, readers take the fourth sample for an unknown
        // channel instead of alpha.
        u16 extra = EXTRASAMPLE_UNASSALPHA;
        ok = TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (ok && !colour_map.empty()) {
        ok = TIFFSetField(t, TIFFTAG_COLORMAP, colour_map.data(), colour_map.data() + kPaletteEntries,
                          colour_map.data() + 2 * kPaletteEntries);
    }
    for (u32 y = 0; ok && y < image.height; ++y) {
        // libtiff may encode in place, so hand it a copy of each row.
        std::copy_n(image.pixels.data() + size_t(y) * row, row, scanline.data());
        ok = TIFFWriteScanline(t, scanline.data(), y, 0) >= 0;
    }
    if (ok) ok = TIFFFlush(t) == 1;
    tif.reset();
    return ok && std::fflush(stream) == 0;
}

}  // namespace pirn
