#pragma once
// Where the detail-texture editor draws its texture: the GL side
// (models/gl/dtex_edit_gl.h) installs a drawer at start-up that uploads the
// shared texture on first use and draws it. Without one (headless programs
// and tests) the editor lays out and runs its commands but draws nothing.

#include "models/dtex_tag.h"
#include "platform/types.h"

namespace pirn {

// Inside an open 2D drawing scope: the texture at (x, y) at its own size,
// made from the pixels first when they changed.
using DtexTextureDrawer = void (*)(DtexTag* dtex, i32 x, i32 y);

// Installs the drawer (null: nothing is drawn); returns the previous one.
DtexTextureDrawer SetDtexTextureDrawer(DtexTextureDrawer drawer);
DtexTextureDrawer GetDtexTextureDrawer();

}  // namespace pirn
