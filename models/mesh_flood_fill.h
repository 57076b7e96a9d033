#pragma once
// Flood fill of an 8-bit bitmap (a scanline fill with an explicit stack),
// and the terrain editor's two uses of it: triangles of the 16-bit planes,
// where a triangle borders the one above or below only across its cell's
// top or bottom edge, and vertices of the byte planes.

#include <memory>
#include <vector>

#include "models/mesh_edit_data.h"
#include "models/mesh_plane_change.h"
#include "platform/types.h"

namespace pirn {

struct FloodFillRequest {
    // In.
    u8* bitmap = nullptr;
    i64 x = 0;
    i64 y = 0;
    u32 width = 0;   // at most 65,536
    u32 height = 0;  // at most 65,536
    u8 new_value = 0;
    bool record_runs = false;
    // Triangle bytes: byte column c is triangle c & 1 of cell c >> 1; a
    // byte reaches the row above only when ((c >> 1) ^ c ^ y) & 1 is 1, the
    // row below only when it is 0.
    bool triangle_adjacency = false;
    // Out.
    bool changed = false;
    u8 old_value = 0;
    u32 min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    std::vector<MeshFillRun> runs;  // sorted by offset
};

// Fills the area of equal bytes around the start with the new value.
// Nothing happens for a start outside the bitmap or one that already
// holds the new value.
void FloodFill(FloodFillRequest* request);

// The triangle under a point of cell space: cell (floor x, floor y), and
// (fx + fy >= 1) on odd cells, (fx >= fy) on even ones. False outside the
// mesh.
bool PickTriangle(const MeshEditData& data, float x, float y, u32* cell_x, u32* cell_y, u32* triangle);

// Fill from the triangle under (x, y) (resp. the vertex) with the current
// index on the working plane; the saved plane takes the same runs. The
// change for undo, or null when nothing changed (or it could not be had,
// the fill then stays done).
std::unique_ptr<MeshFillChange> FloodFillTriangles(MeshEditData* data, float x, float y);
std::unique_ptr<MeshFillChange> FloodFillVertices(MeshEditData* data, i64 x, i64 y);

}  // namespace pirn
