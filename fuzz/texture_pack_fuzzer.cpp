// "res/texturepack": the skin's image file, the packing of its images into
// pages, and the quads of drawing each image tiled, stretched and turned.

#include <vector>

#include "fuzz/fuzz_support.h"
#include "ui/texture_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<pirn::TexturePack> pack = pirn::CreateTexturePack();
    const pirn::u64 read = pirn::ParseTexturePack(*pack, data, size);
    FUZZ_CHECK(read <= size);
    if (read == 0) {
        FUZZ_CHECK(pack->images.empty());
        return 0;
    }
    // Small pages make the packer spread the images over several.
    if (!pirn::BuildTexturePackPages(*pack, 128)) return 0;
    std::vector<pirn::ImageQuad> quads;
    for (const auto& image : pack->images) {
        FUZZ_CHECK(pirn::FindTexturePackImage(*pack, image->index) != nullptr);
        FUZZ_CHECK(image->atlas.page < pack->pages.size() || image->Width() == 0 || image->Height() == 0);
        for (pirn::u32 flags : {0u, 1u, 2u | 4u, 8u}) {
            pirn::QueuedImageDraw draw;
            draw.pack = pack.get();
            draw.image = image.get();
            draw.dest = pirn::Rect{0, 0, 37, 23};
            draw.source_width = image->Width();
            draw.source_height = image->Height();
            draw.flags = flags;
            quads.clear();
            pirn::AppendImageQuads(draw, quads);
        }
    }
    pirn::DropTexturePackPixels(*pack);
    return 0;
}
