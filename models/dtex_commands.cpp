#include "models/dtex_commands.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/image_file.h"

namespace pirn {

const char* const kDtexMessageNot24Bit = "Image must be 24 bit RGB.";
const char* const kDtexMessageNotPowerOfTwo = "The texture must have dimensions that are powers of two.";
const char* const kDtexMessageTooLarge = "The texture must not be larger than 2048 pixels on a side.";
const char* const kDtexMessageLoadFailed = "Failed to load image data.";
const char* const kDtexMessageWriteFailed = "The file could not be written.";
const char* const kDtexMessageNoClipboardImage = "Could not retrieve an image from the clipboard.";

namespace {

bool IsPowerOfTwo(u32 n) { return n != 0 && (n & (n - 1)) == 0; }

}  // namespace

const char* CheckDtexSize(u32 width, u32 height) {
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) return kDtexMessageNotPowerOfTwo;
    if (width > kDtexMaxImportSide || height > kDtexMaxImportSide) return kDtexMessageTooLarge;
    return nullptr;
}

const char* CheckDtexImage(u32 format, u32 width, u32 height) {
    if (format != kFormatRgb) return kDtexMessageNot24Bit;
    return CheckDtexSize(width, height);
}

const char* LoadDtexImageFile(const std::string& path, DtexPicture* picture) {
    ImageFile file;
    InitImageFile(&file, path);
    file.kind = kKindImage;
    if (!LoadImageFile(&file)) return kDtexMessageLoadFailed;
    const PixelImage& image = file.image;
    if (const char* refused = CheckDtexImage(image.format, image.width, image.height)) return refused;
    if (!HasWholePixels(image)) return kDtexMessageLoadFailed;
    picture->width = image.width;
    picture->height = image.height;
    picture->rgb = image.pixels;
    return nullptr;
}

const char* SaveDtexImageFile(const DtexTag& dtex, const std::string& path) {
    ImageFile file;
    InitImageFile(&file, path);
    file.type = FileTypeFromExtension(path);
    if (!SetImagePixels(&file.image, dtex.width, dtex.height, kFormatRgb, dtex.pixels.data()) ||
        dtex.pixels.size() != size_t(dtex.width) * dtex.height * 3 || !SaveImageFile(&file))
        return kDtexMessageWriteFailed;
    return nullptr;
}

void ApplyDtexPicture(DtexTag* dtex, const DtexPicture& picture) {
    dtex->SetPixels(picture.rgb.data(), picture.width, picture.height);
}

DtexPasteResult PasteDtexPicture(DtexTag* dtex, bool have_image, const DtexPicture& clipboard,
                                 const char** message) {
    *message = nullptr;
    if (!have_image) return DtexPasteResult::kBeepOnly;
    if (const char* refused = CheckDtexSize(clipboard.width, clipboard.height)) {
        *message = refused;
        return DtexPasteResult::kMessageAndBeep;
    }
    if (clipboard.rgb.size() != size_t(clipboard.width) * clipboard.height * 3) return DtexPasteResult::kBeepOnly;
    ApplyDtexPicture(dtex, clipboard);
    return DtexPasteResult::kPasted;
}

std::string DtexNameFromImagePath(const std::string& path) { return PathFileName(path, true); }

namespace {

DtexTag* MakeNewDtex(const std::string& name, const DtexPicture& picture, const DtexTagMaker& make_tag) {
    DtexTag* dtex = make_tag ? make_tag(name) : nullptr;
    // No tag (the name was refused or the prompt cancelled): nothing more
    // happens and the picture is dropped by the caller.
    if (!dtex) return nullptr;
    ApplyDtexPicture(dtex, picture);
    return dtex;
}

}  // namespace

DtexTag* NewDtexFromImageFile(const std::string& path, const DtexTagMaker& make_tag, const char** message) {
    DtexPicture picture;
    *message = LoadDtexImageFile(path, &picture);
    if (*message) return nullptr;
    return MakeNewDtex(DtexNameFromImagePath(path), picture, make_tag);
}

DtexTag* NewDtexFromClipboard(bool have_image, const DtexPicture& clipboard, const DtexTagMaker& make_tag,
                              const char** message) {
    *message = nullptr;
    if (!have_image || clipboard.rgb.size() != size_t(clipboard.width) * clipboard.height * 3 ||
        clipboard.rgb.empty()) {
        *message = kDtexMessageNoClipboardImage;
        return nullptr;
    }
    if ((*message = CheckDtexSize(clipboard.width, clipboard.height))) return nullptr;
    return MakeNewDtex(std::string(), clipboard, make_tag);
}

void MeanCenterOffsets(const DtexTag& dtex, u32 mode, int offsets[3]) {
    const u64 n = u64(dtex.width) * dtex.height;
    offsets[0] = offsets[1] = offsets[2] = 0;
    if (n == 0 || dtex.pixels.size() < n * 3) return;
    const u8* p = dtex.pixels.data();
    if (mode == kMeanCenterRgb) {
        u64 sums[3] = {0, 0, 0};
        for (u64 i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c) sums[c] += p[i * 3 + u64(c)];
        for (int c = 0; c < 3; ++c) offsets[c] = 128 - static_cast<int>(sums[c] / n);
        return;
    }
    u64 luma = 0;
    for (u64 i = 0; i < n; ++i) luma += (77u * p[i * 3] + 151u * p[i * 3 + 1] + 28u * p[i * 3 + 2]) / 256;
    // floor(floor(S / 255) / floor(n / 256)) for every texture of 256
    // pixels or more (n a power of two); defined for smaller ones too.
    const int offset = 128 - static_cast<int>((256 * luma) / (255 * n));
    offsets[0] = offsets[1] = offsets[2] = offset;
}

void MeanCenterTexture(DtexTag* dtex, u32 mode) {
    int offsets[3];
    MeanCenterOffsets(*dtex, mode, offsets);
    const size_t n = size_t(dtex->width) * dtex->height;
    if (dtex->pixels.size() < n * 3) return;
    u8* p = dtex->pixels.data();
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) p[i * 3 + size_t(c)] = static_cast<u8>(std::clamp(p[i * 3 + size_t(c)] + offsets[c], 0, 255));
    dtex->MarkPixelsChanged();
}

void SwapTextureQuadrants(DtexTag* dtex) {
    const u32 w = dtex->width, h = dtex->height;
    if (dtex->pixels.size() < size_t(w) * h * 3) return;
    u8* p = dtex->pixels.data();
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x) {
            const u32 x2 = (x + w / 2) % w;
            const u32 y2 = (y + h / 2) % h;
            if (!(x < x2 || (x == x2 && y < y2))) continue;
            std::swap_ranges(p + (size_t(y) * w + x) * 3, p + (size_t(y) * w + x) * 3 + 3, p + (size_t(y2) * w + x2) * 3);
        }
    dtex->MarkPixelsChanged();
}

}  // namespace pirn
