#pragma once
// Picking without GL: the terrain triangle under a client pixel, found by
// casting the pixel centre's ray through the mesh as drawn (media animation
// off). The GL side picks by reading the depth buffer and unprojecting
// (models/gl/mesh_renderer_gl.h); both name the same point.

#include "models/mesh_camera.h"
#include "models/mesh_edit_data.h"
#include "platform/types.h"

namespace pirn {

struct MeshPick {
    u32 cell_x = 0;
    u32 cell_z = 0;
    u32 triangle = 0;
    float point[3] = {0, 0, 0};  // mesh space: x and z in cells, y in cells
    double depth = 1.0;          // window depth there
};

// The nearest triangle hit by the ray through client pixel (x, y) (y
// down); false when the ray misses the terrain.
bool CastMeshRay(const MeshEditData& data, const MeshView& view, i32 x, i32 y, MeshPick* pick);

// The picked point from a depth read at client pixel (x, y): false for the
// far plane (nothing drawn there).
bool PickPointFromDepth(const MeshView& view, i32 x, i32 y, double depth, float* world_x, float* world_z);
// The terrain is drawn with a polygon offset (so that lines over it show),
// which moves its depth back the more the steeper it is seen: the depth
// pick lands near the surface, not on it. This puts it on the surface: the
// pixel's ray against the triangles of the cells around the depth's point.
// Keeps the point when the ray meets none of them.
void RefineMeshPick(const MeshEditData& data, const MeshView& view, i32 x, i32 y, float* world_x, float* world_z);

}  // namespace pirn
