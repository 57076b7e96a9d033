#include "collections/picture_file.h"

#include <cstring>
#include <utility>

#include "platform/image_file.h"

namespace pirn {

bool LoadPictureFile(const std::string& path, PixelImage* image) {
    ImageFile file;
    InitImageFile(&file, path);
    file.kind = kKindImage;
    const bool ok = LoadImageFile(&file) && file.kind == kKindImage && HasWholePixels(file.image);
    if (ok) MovePixelImage(image, &file.image);
    FreeImageFile(&file);
    return ok;
}

bool GreyToRgb(PixelImage* image) {
    if (image->format != kFormatAlpha) return false;
    const size_t count = image->pixels.size();
    std::vector<u8> rgb(count * 3);
    for (size_t i = 0; i < count; ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = image->pixels[i];
    image->pixels.swap(rgb);
    image->format = kFormatRgb;
    image->checksum = 0;
    SetImagePalette(image, 0, nullptr);
    return true;
}

bool AlphaPlaneOf(const PixelImage& image, bool accept_rgba, std::vector<u8>* plane) {
    const size_t count = size_t(image.width) * image.height;
    size_t step = 0;
    if (image.format == kFormatAlpha)
        step = 1;
    else if (image.format == kFormatRgb)
        step = 3;
    else if (image.format == kFormatRgba && accept_rgba)
        step = 4;
    if (step == 0 || image.pixels.size() < count * step) return false;
    plane->resize(count);
    for (size_t i = 0; i < count; ++i) (*plane)[i] = image.pixels[i * step];
    return true;
}

void ClearTransparentPixels(PixelImage* rgba) {
    u8* p = rgba->pixels.data();
    const size_t count = rgba->pixels.size() / 4;
    for (size_t i = 0; i < count; ++i, p += 4)
        if (p[3] == 0) std::memset(p, 0, 4);
    rgba->checksum = 0;
}

}  // namespace pirn
