#pragma once
// How a collection bitmap is cut for drawing: tiles of at most 512 x 512
// pixels (no texture larger than that is ever needed, whatever the
// bitmap's size), each with the part of the screen rectangle it covers.

#include <vector>

#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

constexpr u32 kBitmapTileSide = 512;

struct BitmapTile {
    u32 x = 0, y = 0;           // the tile's part of the bitmap
    u32 width = 0, height = 0;
    Rect screen;                // where it lands (already mirrored)
};

// The tiles of a bitmap of that size drawn scaled into `screen`, row by
// row from the top, left to right; none when a side is 0. With mirror bit 1
// a tile's screen x is measured from the bitmap's right edge, with bit 2
// its y from the bottom (the tile's pixels are then drawn mirrored too).
// Neighbouring tiles share their screen edges exactly, so that a scaled
// bitmap shows no seams; a tile scaled below a pixel gets an empty
// rectangle.
std::vector<BitmapTile> PlanBitmapTiles(u32 bitmapWidth, u32 bitmapHeight, u32 mirror, const Rect& screen);

}  // namespace pirn
