#pragma once
// The detail-texture editor's drawing in GL: the shared DtexTag's texture
// made from its pixels (with mipmaps and anisotropic filtering) whenever
// they changed, drawn at its own size, and released with the resource.

#include "models/dtex_tag.h"
#include "platform/types.h"

namespace pirn {

// With a GL context current: makes the texture's GL texture when its
// pixels changed since the last upload (nothing for a texture without
// pixels). Returns the texture.
const GlTexture& EnsureDtexEditTexture(DtexTag* dtex);

// Inside a 2D drawing scope: the texture at (x, y), one texel to a pixel,
// without blending.
void DrawDtexEditTexture(DtexTag* dtex, i32 x, i32 y);

// Installs the editor's drawer and the releaser of detail-texture GL
// textures (start-up, after the window system's GL side).
void InstallDtexEditGl();

}  // namespace pirn
