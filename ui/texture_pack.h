#pragma once
// The skin's images: one file of RGBA images, each with an index it is looked
// up by, packed into texture pages at load time. Drawing an image queues a
// textured quad; the queue is flushed page by page.

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/atlas_packer.h"
#include "ui/rect.h"

namespace pirn {

struct TexturePackImage {
    AtlasItem atlas;           // place in the pages; flags are zero after loading
    std::vector<u8> pixels;    // RGBA rows from the top, until packed
    i32 index = 0;

    i32 Width() const { return (atlas.flags & kAtlasRotated) ? atlas.height : atlas.width; }
    i32 Height() const { return (atlas.flags & kAtlasRotated) ? atlas.width : atlas.height; }
};

struct TexturePack {
    TexturePack() = default;
    ~TexturePack();
    TexturePack(const TexturePack&) = delete;
    TexturePack& operator=(const TexturePack&) = delete;

    std::vector<std::unique_ptr<TexturePackImage>> images;
    std::vector<AtlasPage> pages;
};

// Size in bytes of one image head in the file.
constexpr u32 kTexturePackHeadSize = 28;
// Largest page side for the skin.
constexpr i32 kTexturePackMaxPage = 1024;

std::unique_ptr<TexturePack> CreateTexturePack();
// Appends the images of the file; returns the bytes read, or 0 when the file
// cannot be read or is short or corrupt (the images of this call are dropped
// then, and `error` says why when given).
u64 LoadTexturePack(TexturePack& pack, const std::string& path, std::string* error = nullptr);
u64 ParseTexturePack(TexturePack& pack, const u8* data, u64 size, std::string* error = nullptr);
// Packs every image into pages of at most max_page pixels a side (also bounded
// by the GL limit the caller knows). Fails on an image larger than a page.
bool BuildTexturePackPages(TexturePack& pack, i32 max_page = kTexturePackMaxPage);
// Frees the images' own pixels once they are in the pages.
void DropTexturePackPixels(TexturePack& pack);
// The first image with that index, or null.
const TexturePackImage* FindTexturePackImage(const TexturePack& pack, i32 index);
void TexturePackImageSize(const TexturePackImage* image, i32* width, i32* height);
void FreeTexturePack(std::unique_ptr<TexturePack>& pack);

enum ImageDrawFlags : u32 {
    kImageStretch = 1,   // one quad over the rectangle; otherwise tiled at natural size
    kImageRotate = 2,    // turned 90 degrees clockwise
    kImageMirrorX = 4,   // mirrored left-right (on screen)
    kImageMirrorY = 8,   // mirrored top-bottom (on screen)
};

struct QueuedImageDraw {
    const TexturePack* pack = nullptr;
    const TexturePackImage* image = nullptr;
    Rect dest;
    i32 source_x = 0, source_y = 0, source_width = 0, source_height = 0;  // in the image
    u32 flags = 0;
};

// One textured quad: screen corners and atlas coordinates in page pixels for
// the corners top-left, top-right, bottom-right, bottom-left.
struct ImageQuad {
    Rect dest;
    float s[4];
    float t[4];
};

// Queues the whole image over the rectangle.
void QueueImageDraw(const TexturePack* pack, const TexturePackImage* image, const Rect& dest,
                    u32 flags);
// Queues a part of the image.
void QueueImagePartDraw(const TexturePack* pack, const TexturePackImage* image, const Rect& dest,
                        const Rect& source, u32 flags);
// Hands the queue to the draw target (sorted by pack, then page, when asked)
// and empties it.
void FlushImageDraws(bool sort);
const std::vector<QueuedImageDraw>& PendingImageDraws();
// Sorts draws by pack, then page, keeping the order within a page.
void SortImageDraws(std::vector<QueuedImageDraw>& draws);
// The quads of one queued draw: one when stretched, else one per tile with the
// last row and column clipped. A zero-sized image or rectangle gives none.
void AppendImageQuads(const QueuedImageDraw& draw, std::vector<ImageQuad>& out);

}  // namespace pirn
