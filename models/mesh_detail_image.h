#pragma once
// The detail planes as 8-bit images, for painting them in other programs:
// each vertex value (each cell's two triangle values, split along the
// cell's diagonal) fills an 8 x 8 square, the palette is the highlight
// palette, and every row is mirrored left to right, as the terrain shows
// on screen. Importing reverses the mirroring and lets the pixels of each
// square (or half square) vote for its value.

#include <string>

#include "models/mesh_edit_data.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDetailSquare = 8;

// Paletted (8 x columns) by (8 x rows) images of the working planes.
bool MakeVertexDetailImage(const MeshEditData& data, PixelImage* image);
bool MakeTriangleDetailImage(const MeshEditData& data, PixelImage* image);
// Whether pixel (px, py) of a cell's square belongs to triangle 1 (else 0).
bool IsTriangleOnePixel(u32 column, u32 row, u32 px, u32 py);

// The message an import refuses the image with, or "" when it fits: the
// size first ("Image dimensions (%d,%d) do not match mesh dimensions
// (%d,%d)" for vertices, "... expected dimensions ..." for triangles), then
// the format ("Image must be 8-bit paletted or greyscale.").
std::string CheckDetailImage(const MeshEditData& data, const PixelImage& image, bool triangles);

// Writes the vote winners (capped at 127) into the working plane, except
// over locked values without Shift; a paletted image's colours become the
// highlight palette (a greyscale one has none and keeps the palette); the
// saved planes follow, every cell is rebuilt, the data is marked modified.
// Returns whether every square (half) was one value throughout.
bool ImportVertexDetail(MeshEditData* data, const PixelImage& image, const std::string& palette_path);
bool ImportTriangleDetail(MeshEditData* data, const PixelImage& image, const std::string& palette_path);

}  // namespace pirn
