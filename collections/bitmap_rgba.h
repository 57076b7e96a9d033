#pragma once
// What a view shows of a bitmap, without drawing it: the RGBA of its pixels
// through the collection's recoloured table, and the size of a thumbnail.

#include "collections/collection.h"

namespace pirn {

// RGBA bytes (rows top-down, w x 4 bytes each) of the rectangle (x, y, w, h)
// of the bitmap, which must lie inside it. `preview` is the table after the
// hue changes (PreviewHueChanges).
//   - 2 bytes a pixel: the preview colour of the index and the alpha byte;
//     a shadow (flag 128) shows grey 255 - index.
//   - 8 bytes a pixel: alpha (p3 % 32) x 255 / 31; the colour from p0-p2
//     and hue change p3 / 32 (0, or a number past the list: none), blended
//     with the one from p4-p6 and hue change p7 / 32 by (p7 % 32) / 64 when
//     p2 is odd.
void ConvertBitmapToRgba(const Collection& collection, const CollectionBitmap& bitmap,
                         const u8 preview[kColorTableBytes], u32 x, u32 y, u32 w, u32 h, u8* rgba);

// The bitmap's size scaled into a square box keeping its aspect ratio: the
// longer side becomes box. A bitmap without pixels fits as 0 x 0.
void FitIntoBox(i32 width, i32 height, i32* out_width, i32* out_height, i32 box);

}  // namespace pirn
