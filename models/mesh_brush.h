#pragma once
// Painting the current texture index into the detail map with a round or
// square brush: in vertex mode one byte per cell vertex, in triangle mode
// one byte per triangle (two per cell, the diagonal alternating like a
// checkerboard). A stroke gathers the rectangle of cells its dabs touched;
// ending it records what changed for undo.

#include <memory>

#include "models/mesh_edit_data.h"
#include "models/mesh_plane_change.h"
#include "platform/types.h"

namespace pirn {

using MeshBrushCallback = void (*)(MeshEditData* data, u32 x, u32 y, u32 triangle);

// Centroid of triangle t of cell (x, y), in cells.
void TriangleCentroid(u32 x, u32 y, u32 triangle, float* cx, float* cy);

// Calls back for every triangle (vertex) whose centroid (point) the brush
// at (x, y) covers, grows the stroke rectangle and rebuilds the dab's
// cells. Returns the number of calls.
u32 ApplyTriangleBrush(MeshEditData* data, MeshBrushCallback callback, float x, float y, float radius);
u32 ApplyVertexBrush(MeshEditData* data, MeshBrushCallback callback, float x, float y, float radius);

// The brush callbacks: min(current index, 127) into the working plane,
// unless the value there belongs to a locked slot and Shift is not held.
void SetTriangleValue(MeshEditData* data, u32 x, u32 y, u32 triangle);
void SetVertexValue(MeshEditData* data, u32 x, u32 y, u32 unused);

// A new stroke: active, its rectangle empty.
void BeginBrushStroke(MeshEditData* data);
// One dab of the current brush in the current mode at (x, y).
void PaintBrushDab(MeshEditData* data, float x, float y);
// Ends the stroke: the change over its rectangle (before from the saved
// plane, after from the working one), after which the saved plane holds
// the working one's values there. Null when the stroke touched nothing;
// the planes are brought in step even when the change cannot be had.
std::unique_ptr<MeshStrokeChange> EndBrushStroke(MeshEditData* data);

}  // namespace pirn
