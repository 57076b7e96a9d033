#include "models/mesh_brush.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace pirn {

namespace {

struct DabRange {
    i64 x0, x1, y0, y1;
};

// Columns and rows a brush can reach, clamped to the plane.
bool BrushRange(const MeshEditData& data, float x, float y, float radius, DabRange* range) {
    if (data.columns == 0 || data.rows == 0 || !std::isfinite(x) || !std::isfinite(y)) return false;
    range->x0 = std::max<i64>(static_cast<i64>(std::floor(x - radius)), 0);
    range->x1 = std::min<i64>(static_cast<i64>(std::ceil(x + radius)), i64(data.columns) - 1);
    range->y0 = std::max<i64>(static_cast<i64>(std::floor(y - radius)), 0);
    range->y1 = std::min<i64>(static_cast<i64>(std::ceil(y + radius)), i64(data.rows) - 1);
    return range->x0 <= range->x1 && range->y0 <= range->y1;
}

bool Covers(const MeshEditData& data, float dx, float dy, float radius) {
    const float r2 = radius * radius;
    if (data.square_brush) return dx * dx <= r2 && dy * dy <= r2;
    return dx * dx + dy * dy <= r2;
}

void GrowStroke(MeshEditData* data, const DabRange& range) {
    MeshStroke& s = data->stroke;
    if (s.empty) {
        s.x0 = u32(range.x0), s.x1 = u32(range.x1), s.y0 = u32(range.y0), s.y1 = u32(range.y1);
        s.empty = false;
        return;
    }
    s.x0 = std::min(s.x0, u32(range.x0));
    s.y0 = std::min(s.y0, u32(range.y0));
    s.x1 = std::max(s.x1, u32(range.x1));
    s.y1 = std::max(s.y1, u32(range.y1));
}

u8 PaintValue(const MeshEditData& data) {
    return static_cast<u8>(std::min<u32>(data.current_texture, kMeshPlaneMaxValue));
}

}  // namespace

void TriangleCentroid(u32 x, u32 y, u32 triangle, float* cx, float* cy) {
    const bool odd = ((x ^ y) & 1) != 0;
    const float third = 1.0f / 3, two_thirds = 2.0f / 3;
    if (!odd) {
        *cx = x + (triangle ? two_thirds : third);
        *cy = y + (triangle ? third : two_thirds);
    } else {
        *cx = x + (triangle ? two_thirds : third);
        *cy = y + (triangle ? two_thirds : third);
    }
}

u32 ApplyTriangleBrush(MeshEditData* data, MeshBrushCallback callback, float x, float y, float radius) {
    DabRange range;
    if (!BrushRange(*data, x, y, radius, &range)) return 0;
    u32 calls = 0;
    for (i64 row = range.y0; row <= range.y1; ++row)
        for (i64 column = range.x0; column <= range.x1; ++column)
            for (u32 triangle = 0; triangle < 2; ++triangle) {
                float px, py;
                TriangleCentroid(u32(column), u32(row), triangle, &px, &py);
                if (!Covers(*data, x - px, y - py, radius)) continue;
                callback(data, u32(column), u32(row), triangle);
                ++calls;
            }
    GrowStroke(data, range);
    InvalidateMeshRegion(data, range.x0, range.x1, range.y0, range.y1);
    return calls;
}

u32 ApplyVertexBrush(MeshEditData* data, MeshBrushCallback callback, float x, float y, float radius) {
    DabRange range;
    if (!BrushRange(*data, x, y, radius, &range)) return 0;
    u32 calls = 0;
    for (i64 row = range.y0; row <= range.y1; ++row)
        for (i64 column = range.x0; column <= range.x1; ++column) {
            if (!Covers(*data, x - float(column), y - float(row), radius)) continue;
            callback(data, u32(column), u32(row), 0);
            ++calls;
        }
    GrowStroke(data, range);
    InvalidateMeshRegion(data, range.x0, range.x1, range.y0, range.y1);
    return calls;
}

void SetTriangleValue(MeshEditData* data, u32 x, u32 y, u32 triangle) {
    if (!data->planes_exist || IsValueLocked(*data, TriangleValue(*data, x, y, triangle))) return;
    MeshPlane& plane = data->triangle_plane;
    if (x >= plane.width || y >= plane.height) return;
    plane.values[(size_t(y) * plane.width + x) * 2 + (triangle & 1)] = PaintValue(*data);
}

void SetVertexValue(MeshEditData* data, u32 x, u32 y, u32) {
    if (!data->planes_exist || IsValueLocked(*data, VertexValue(*data, x, y))) return;
    MeshPlane& plane = data->vertex_plane;
    if (x >= plane.width || y >= plane.height) return;
    plane.values[size_t(y) * plane.width + x] = PaintValue(*data);
}

void BeginBrushStroke(MeshEditData* data) {
    data->stroke.active = true;
    data->stroke.empty = true;
    data->stroke.x0 = data->stroke.y0 = data->stroke.x1 = data->stroke.y1 = 0;
}

void PaintBrushDab(MeshEditData* data, float x, float y) {
    if (data->triangle_mode) ApplyTriangleBrush(data, SetTriangleValue, x, y, data->brush_radius);
    else ApplyVertexBrush(data, SetVertexValue, x, y, data->brush_radius);
}

std::unique_ptr<MeshStrokeChange> EndBrushStroke(MeshEditData* data) {
    MeshStroke& s = data->stroke;
    s.active = false;
    if (s.empty || !data->planes_exist) return nullptr;
    MeshPlane* saved = data->triangle_mode ? &data->saved_triangle_plane : &data->saved_vertex_plane;
    MeshPlane* working = data->triangle_mode ? &data->triangle_plane : &data->vertex_plane;
    std::unique_ptr<MeshStrokeChange> change(new (std::nothrow) MeshStrokeChange());
    if (change) {
        change->saved = saved;
        change->working = working;
        change->before = CopyMeshPlaneRect(*saved, s.x0, s.y0, s.x1, s.y1);
        change->after = CopyMeshPlaneRect(*working, s.x0, s.y0, s.x1, s.y1);
        change->x0 = s.x0, change->y0 = s.y0, change->x1 = s.x1, change->y1 = s.y1;
        if (!change->before || !change->after) change.reset();
    }
    // The saved plane follows the working one whether or not undo can keep
    // the stroke.
    if (change) PasteMeshPlaneRect(saved, *change->after);
    else CopyMeshPlane(saved, *working);
    s.empty = true;
    return change;
}

}  // namespace pirn
