#pragma once
// Lazy upload of atlas pages: a page becomes a GL texture the first time it
// is drawn, and its pixel buffer is freed then.

#include "ui/atlas_packer.h"

namespace pirn {

enum class AtlasPageKind {
    kRgbaNearest,  // skin images: exact pixels
    kAlphaLinear,  // font glyphs
};

// Uploads the page when it has no texture yet; returns its texture name
// (0 when the page has neither a texture nor pixels).
u32 EnsureAtlasPageTexture(AtlasPage& page, AtlasPageKind kind);

}  // namespace pirn
