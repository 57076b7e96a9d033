#pragma once
// Packs many small images (skin images, font glyphs) into as few texture
// pages as it manages. Pages are made, filled and finished through callbacks
// so that the same packer serves RGBA skin pages and alpha glyph pages.

#include <functional>
#include <vector>

#include "platform/types.h"

namespace pirn {

enum AtlasItemFlags : u16 {
    kAtlasMayRotate = 2,  // the packer may store the item turned by 90 degrees
    kAtlasRotated = 4,    // stored turned: width and height are the stored ones
};

// Place of one image in the atlas. width and height are the stored size, so
// they are exchanged for an item stored rotated.
struct AtlasItem {
    u16 x = 0;
    u16 y = 0;
    u16 width = 0;
    u16 height = 0;
    u16 flags = 0;
    u16 page = 0;
};

// One texture page: its pixels until uploaded, then only the texture name.
struct AtlasPage {
    i32 width = 0;
    i32 height = 0;
    u32 texture = 0;          // GL name, 0 until uploaded
    std::vector<u8> pixels;   // emptied by the upload
};

struct AtlasCallbacks {
    // Largest page allowed in each direction.
    i32 max_width = 1024;
    i32 max_height = 1024;
    // Makes a new page; returns its index in the caller's page list, or -1.
    std::function<i32(i32 width, i32 height)> new_page;
    // Copies a placed item into its page (transposed when rotated).
    std::function<void(AtlasItem& item)> copy;
    // The page just filled is complete.
    std::function<void(i32 page)> upload;
};

// Appends a zeroed page of width x height pixels, bytes_per_pixel each (4
// for RGBA skin pages, 1 for alpha glyph pages); returns its index.
i32 AppendAtlasPage(std::vector<AtlasPage>& pages, i32 width, i32 height, int bytes_per_pixel);

// Places every item with a non-zero area. Items that may rotate and are
// taller than wide are turned first. Fails (false) when an item is larger than
// the largest allowed page or a page cannot be made; items placed before a
// failure keep their places.
bool PackAtlas(const std::vector<AtlasItem*>& items, const AtlasCallbacks& callbacks);

// The page size the packer picks for a total area (exposed for the tests and
// the fill-ratio benchmark).
void AtlasPageSizeForArea(u64 area, i32 max_width, i32 max_height, i32* width, i32* height);

// GL textures of pages are deleted through a hook that the GL layer installs
// once it uploads; headless programs never make textures.
using AtlasTextureReleaser = void (*)(u32 texture);
void SetAtlasTextureReleaser(AtlasTextureReleaser releaser);
void ReleaseAtlasPageTexture(AtlasPage& page);

}  // namespace pirn
