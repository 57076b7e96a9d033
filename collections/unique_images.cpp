#include "collections/unique_images.h"

#include <utility>

namespace pirn {

u32 UniqueImages::Add(PixelImage* image, const std::string& path) {
    if (image->checksum == 0) UpdateImageChecksum(image);
    auto range = by_checksum_.equal_range(image->checksum);
    u32 first = 0xFFFFFFFF;
    for (auto it = range.first; it != range.second; ++it)
        if (it->second < first && ImagesEqual(images_[it->second].image, *image)) first = it->second;
    if (first != 0xFFFFFFFF) {
        FreeImagePixels(image);
        return first;
    }
    const u32 index = size();
    BuildImage kept;
    kept.path = path;
    MovePixelImage(&kept.image, image);
    images_.push_back(std::move(kept));
    by_checksum_.emplace(images_.back().image.checksum, index);
    return index;
}

void UniqueImages::Truncate(u32 count) {
    if (count >= size()) return;
    images_.resize(count);
    for (auto it = by_checksum_.begin(); it != by_checksum_.end();) {
        if (it->second >= count)
            it = by_checksum_.erase(it);
        else
            ++it;
    }
}

bool CropToAlpha(PixelImage* image, CropBox* box) {
    ImageBounds bounds;
    if (!ImageContentBounds(*image, &bounds)) return false;
    if (!CropImage(image, bounds.x0, bounds.y0, bounds.x1, bounds.y1)) return false;
    box->x0 = static_cast<i32>(bounds.x0);
    box->y0 = static_cast<i32>(bounds.y0);
    box->x1 = static_cast<i32>(bounds.x1);
    box->y1 = static_cast<i32>(bounds.y1);
    return true;
}

}  // namespace pirn
