#pragma once
// A picture file straight onto the screen: loaded, then uploaded as a plain
// texture. Needs a GL context (pirn_gl).

#include "platform/image_file.h"
#include "platform/types.h"

namespace pirn {

// Loads the image (when not loaded yet) and uploads it as a plain 2D
// texture: paletted pixels expanded to RGB (IndexAlpha to RGBA), linear
// filters, no mipmaps. The texture binding is left as it was. Returns the
// new texture name, or 0 when the file is not a picture that loads or the
// upload fails; the caller owns the name.
u32 ImageFileToTexture(ImageFile* file);

}  // namespace pirn
