#include "tools/program_icon/icon_file.h"

#include "platform/pixel_image.h"
#include "platform/png_codec.h"
#include "platform/scratch_stream.h"

namespace pirn {

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kBitmapHeaderSize = 40;

void PutU16(std::vector<u8>& out, u32 value) {
    out.push_back(static_cast<u8>(value));
    out.push_back(static_cast<u8>(value >> 8));
}

void PutU32(std::vector<u8>& out, u32 value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// BITMAPINFOHEADER (its height counts the colour rows and the mask rows),
// BGRA rows bottom-up, then the 1-bit AND mask, rows padded to 32 bits,
// set where the icon is transparent.
std::vector<u8> BmpEntry(const IconImage& image) {
    const u32 size = static_cast<u32>(image.size);
    const u32 mask_stride = (size + 31) / 32 * 4;
    std::vector<u8> out;
    PutU32(out, kBitmapHeaderSize);
    PutU32(out, size);
    PutU32(out, size * 2);
    PutU16(out, 1);   // planes
    PutU16(out, 32);  // bits per pixel
    PutU32(out, 0);   // BI_RGB
    PutU32(out, size * size * 4 + mask_stride * size);
    for (int i = 0; i < 4; ++i) PutU32(out, 0);  // resolution, palette counts
    for (u32 row = size; row-- > 0;) {
        for (u32 x = 0; x < size; ++x) {
            const u8* p = &image.rgba[(static_cast<size_t>(row) * size + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (u32 row = size; row-- > 0;) {
        std::vector<u8> bits(mask_stride, 0);
        for (u32 x = 0; x < size; ++x)
            if (image.rgba[(static_cast<size_t>(row) * size + x) * 4 + 3] == 0) bits[x / 8] |= 0x80 >> (x % 8);
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

bool PngEntry(const IconImage& image, std::vector<u8>* out) {
    PixelImage pixels;
    if (!SetImagePixels(&pixels, static_cast<u32>(image.size), static_cast<u32>(image.size), kFormatRgba,
                        image.rgba.data()))
        return false;
    const bool ok = CaptureWrittenBytesInScratchFile([&](std::FILE* stream) { return WritePng(stream, pixels); }, out);
    FreeImagePixels(&pixels);
    return ok;
}

}  // namespace

std::vector<u8> BuildIconFile(const std::vector<IconImage>& images) {
    std::vector<std::vector<u8>> entries;
    for (const IconImage& image : images) {
        if (image.size < 1 || image.size > 256 ||
            image.rgba.size() != static_cast<size_t>(image.size) * image.size * 4)
            return {};
        std::vector<u8> bytes;
        if (image.size == 256) {
            if (!PngEntry(image, &bytes)) return {};
        } else {
            bytes = BmpEntry(image);
        }
        entries.push_back(std::move(bytes));
    }
    std::vector<u8> out;
    PutU16(out, 0);  // reserved
    PutU16(out, 1);  // an icon, not a cursor
    PutU16(out, static_cast<u32>(images.size()));
    size_t offset = kDirectorySize + kEntrySize * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const u32 size = static_cast<u32>(images[i].size);
        out.push_back(static_cast<u8>(size == 256 ? 0 : size));  // 0 stands for 256
        out.push_back(static_cast<u8>(size == 256 ? 0 : size));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutU16(out, 1);   // planes
        PutU16(out, 32);  // bits per pixel
        PutU32(out, static_cast<u32>(entries[i].size()));
        PutU32(out, static_cast<u32>(offset));
        offset += entries[i].size();
    }
    for (const std::vector<u8>& entry : entries) out.insert(out.end(), entry.begin(), entry.end());
    return out;
}

}  // namespace pirn
