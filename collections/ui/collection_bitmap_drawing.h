#pragma once
// Drawing a collection bitmap the way every view shows it: through the
// collection's colour table after its hue changes, shadows as grey, 64-bit
// pixels blended, scaled into a rectangle and optionally mirrored, in tiles
// of at most 512 x 512 through the draw target's run-time pictures
// (ui/draw_target.h), so that a recorder sees one picture per tile.
//
// The converted tiles are kept between frames (BitmapTileCache); they are
// made again by themselves when the bitmap's revision, pixel block, size or
// flags or the colours change: the collection's own operations (alpha
// masks and plates, crops, a new bitmap in a freed one's place) need
// nothing more. Code that writes a bitmap's pixels itself calls
// MarkBitmapChanged or ForgetCollectionBitmap afterwards (then invalidates
// its window as usual); ForgetCollectionBitmap also lets a freed bitmap's
// tiles go at once instead of when the cache is full.

#include "collections/collection.h"
#include "collections/ui/bitmap_tile_cache.h"
#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

enum BitmapMirror : u32 {
    kBitmapMirrorHorizontal = 1,
    kBitmapMirrorVertical = 2,
};

// Draws the bitmap scaled into (x, y, width, height) of the current drawing
// scope, opaque white tint, mirrored by BitmapMirror bits. Nothing for an
// empty rectangle or a bitmap without pixels. A bitmap whose pixel block
// does not hold width x height pixels of 2 or 8 bytes draws as the
// placeholder checkerboard instead of being read.
void DrawCollectionBitmap(const Collection& collection, const CollectionBitmap& bitmap, u32 mirrorFlags, i32 x,
                          i32 y, i32 width, i32 height);

// Where a thumbnail stands in a view's cell: the bitmap's size fitted into
// the square of the area's shorter side (FitIntoBox), centred in the area.
Rect FitBitmapInto(const CollectionBitmap& bitmap, const Rect& area);
// DrawCollectionBitmap at FitBitmapInto's rectangle: a grid cell's image.
void DrawCollectionBitmapInto(const Collection& collection, const CollectionBitmap& bitmap, u32 mirrorFlags,
                              const Rect& area);

// Drops the bitmap's tiles: its pixels changed in place, or it is about to
// be freed.
void ForgetCollectionBitmap(const CollectionBitmap* bitmap);
// Drops every kept tile (a collection editor closing, or before the GL
// context goes).
void ForgetCollectionBitmaps();
// The program's tile cache, for tests and benchmarks that count conversions.
BitmapTileCache& CollectionBitmapTiles();

// Whether the bitmap's pixel block holds exactly its pixels in a size the
// views can show (2 or 8 bytes a pixel).
bool IsDrawableBitmap(const CollectionBitmap& bitmap);
// A stamp of everything a bitmap's colours depend on: the colour table and
// the hue-change records.
u64 CollectionColorStamp(const Collection& collection);

}  // namespace pirn
