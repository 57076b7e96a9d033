#pragma once
// Textures made from pictures built at run time (bitmaps being edited,
// previews), one per image, uploaded when the image is first drawn and
// again when it is seen to have changed. Images are told apart by address;
// what an image held at upload (its pixel and palette blocks, size, format
// and checksum) tells a changed or replaced image from the same one. Pixels
// changed in place change none of these: the owner calls Forget then.
// Needs the GL context.

#include <cstddef>
#include <unordered_map>

#include "platform/os/gl_texture.h"
#include "platform/types.h"

namespace pirn {

struct PixelImage;

class PixelImageTextures {
public:
    PixelImageTextures() = default;
    PixelImageTextures(const PixelImageTextures&) = delete;
    PixelImageTextures& operator=(const PixelImageTextures&) = delete;

    // The image's texture, uploaded now when there is none or the image no
    // longer matches what was uploaded. Null for an image without whole
    // pixels or one the driver refused (not retried until it changes).
    const GlTexture* Ensure(const PixelImage& image);
    // Deletes the image's texture, if any.
    void Forget(const PixelImage& image);
    // Deletes every texture.
    void Clear();
    size_t size() const { return entries_.size(); }

private:
    struct Made {
        const u8* pixels = nullptr;
        size_t pixelBytes = 0;
        const u8* palette = nullptr;
        size_t paletteBytes = 0;
        u32 paletteCount = 0;
        u32 width = 0, height = 0, format = 0, checksum = 0;
        bool operator==(const Made& o) const;
    };
    struct Entry {
        Made from;
        GlTexture texture;
    };
    static Made Describe(const PixelImage& image);

    std::unordered_map<const PixelImage*, Entry> entries_;
};

}  // namespace pirn
