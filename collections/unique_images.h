#pragma once
// The pictures a build keeps, each once: a frame equal to one already kept
// (same checksum, then the same rows) becomes a use of that one, so a
// picture that many frames show is quantised, labelled and stored once.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

struct BuildImage {
    std::string path;  // the colour file it came from
    PixelImage image;
};

class UniqueImages {
public:
    // The index of an equal image already kept (the first such), or of the
    // image appended; the image is moved from either way. Its checksum is
    // taken when it has none.
    u32 Add(PixelImage* image, const std::string& path);
    // Drops the images from index `count` on (those a skipped sequence
    // added).
    void Truncate(u32 count);

    u32 size() const { return static_cast<u32>(images_.size()); }
    BuildImage& operator[](u32 index) { return images_[index]; }
    const BuildImage& operator[](u32 index) const { return images_[index]; }
    std::vector<BuildImage>& images() { return images_; }

private:
    std::vector<BuildImage> images_;
    std::unordered_multimap<u32, u32> by_checksum_;
};

// Cuts an RGBA image to the inclusive box of its pixels with non-zero
// alpha; the box (in the image before the cut) goes to `box`. False, image
// unchanged, when no pixel has alpha.
struct CropBox {
    i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
bool CropToAlpha(PixelImage* image, CropBox* box);

}  // namespace pirn
