#include "ui/gl/pixel_image_textures.h"

#include <GL/gl.h>

#include "platform/pixel_convert.h"
#include "platform/pixel_image.h"

namespace pirn {

namespace {

// Uploads the picture as GL takes it (paletted pixels expanded); false when
// it has no whole pixels or the driver refuses it (too large, say).
bool Upload(const PixelImage& image, GlTexture* texture) {
    PixelImage prepared;
    if (!HasWholePixels(image) || !PrepareTexturePixels(image, &prepared) || !HasWholePixels(prepared))
        return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    UploadTexture(texture, prepared.pixels.data(), prepared.format, prepared.width, prepared.height, 0, 0);
    if (glGetError() == GL_NO_ERROR) return true;
    ReleaseTexture(texture);
    return false;
}

}  // namespace

bool PixelImageTextures::Made::operator==(const Made& o) const {
    return pixels == o.pixels && pixelBytes == o.pixelBytes && palette == o.palette &&
           paletteBytes == o.paletteBytes && paletteCount == o.paletteCount && width == o.width &&
           height == o.height && format == o.format && checksum == o.checksum;
}

PixelImageTextures::Made PixelImageTextures::Describe(const PixelImage& image) {
    Made made;
    made.pixels = image.pixels.data();
    made.pixelBytes = image.pixels.size();
    made.palette = image.palette.data();
    made.paletteBytes = image.palette.size();
    made.paletteCount = image.palette_count;
    made.width = image.width;
    made.height = image.height;
    made.format = image.format;
    made.checksum = image.checksum;
    return made;
}

const GlTexture* PixelImageTextures::Ensure(const PixelImage& image) {
    const Made now = Describe(image);
    auto found = entries_.find(&image);
    if (found != entries_.end() && found->second.from == now)
        return found->second.texture.name ? &found->second.texture : nullptr;
    Entry& entry = entries_[&image];
    ReleaseTexture(&entry.texture);
    entry.from = now;
    // A refused upload keeps its entry with no texture, so that it is not
    // tried again every frame.
    if (!Upload(image, &entry.texture)) return nullptr;
    return &entry.texture;
}

void PixelImageTextures::Forget(const PixelImage& image) {
    auto found = entries_.find(&image);
    if (found == entries_.end()) return;
    ReleaseTexture(&found->second.texture);
    entries_.erase(found);
}

void PixelImageTextures::Clear() {
    for (auto& [image, entry] : entries_) ReleaseTexture(&entry.texture);
    entries_.clear();
}

}  // namespace pirn
