#include "collections/ui/bitmap_tile_plan.h"

#include <algorithm>

#include "ui/draw_target.h"

namespace pirn {

namespace {

// Screen coordinate of bitmap position `at` (0..size) along an axis running
// from `origin` over `extent` pixels, rounded to the nearest pixel.
i32 ScreenEdge(i32 origin, i32 extent, u32 at, u32 size) {
    const i64 scaled = (i64{at} * extent * 2 + size) / (i64{size} * 2);
    return static_cast<i32>(std::clamp<i64>(origin + scaled, INT32_MIN, INT32_MAX));
}

}  // namespace

std::vector<BitmapTile> PlanBitmapTiles(u32 bitmapWidth, u32 bitmapHeight, u32 mirror, const Rect& screen) {
    std::vector<BitmapTile> tiles;
    if (bitmapWidth == 0 || bitmapHeight == 0) return tiles;
    const u32 columns = (bitmapWidth + kBitmapTileSide - 1) / kBitmapTileSide;
    const u32 rows = (bitmapHeight + kBitmapTileSide - 1) / kBitmapTileSide;
    const i32 w = screen.Width();
    const i32 h = screen.Height();
    const bool flipX = (mirror & kMirrorHorizontal) != 0;
    const bool flipY = (mirror & kMirrorVertical) != 0;
    tiles.reserve(size_t{columns} * rows);
    for (u32 row = 0; row < rows; ++row) {
        for (u32 column = 0; column < columns; ++column) {
            BitmapTile tile;
            tile.x = column * kBitmapTileSide;
            tile.y = row * kBitmapTileSide;
            tile.width = std::min(kBitmapTileSide, bitmapWidth - tile.x);
            tile.height = std::min(kBitmapTileSide, bitmapHeight - tile.y);
            const u32 x0 = flipX ? bitmapWidth - tile.x - tile.width : tile.x;
            const u32 y0 = flipY ? bitmapHeight - tile.y - tile.height : tile.y;
            tile.screen = Rect{ScreenEdge(screen.left, w, x0, bitmapWidth), ScreenEdge(screen.top, h, y0, bitmapHeight),
                               ScreenEdge(screen.left, w, x0 + tile.width, bitmapWidth),
                               ScreenEdge(screen.top, h, y0 + tile.height, bitmapHeight)};
            tiles.push_back(tile);
        }
    }
    return tiles;
}

}  // namespace pirn
