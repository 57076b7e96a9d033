#include "models/mesh_flood_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace pirn {

namespace {

constexpr u32 kMaxFillSide = 65536;

u32 Seed(u32 x, u32 y) { return ((y & 0xFFFF) << 16) | (x & 0xFFFF); }

// Walks columns left..right of a neighbouring row and pushes a seed at the
// start of each run of bytes equal to old among the columns that take part.
void ScanNeighbourRow(const FloodFillRequest& r, u32 left, u32 right, u32 row, u32 parity, u32 current_row,
                      std::vector<u32>* stack) {
    const u8* line = r.bitmap + size_t(row) * r.width;
    bool in_run = false;
    for (u32 c = left; c <= right; ++c) {
        if (r.triangle_adjacency && (((c >> 1) ^ c ^ current_row) & 1) != parity) {
            in_run = false;
            continue;
        }
        if (line[c] != r.old_value) {
            in_run = false;
            continue;
        }
        if (!in_run) stack->push_back(Seed(c, row));
        in_run = true;
    }
}

}  // namespace

void FloodFill(FloodFillRequest* r) {
    r->changed = false;
    r->runs.clear();
    if (!r->bitmap || r->width == 0 || r->height == 0 || r->width > kMaxFillSide || r->height > kMaxFillSide) return;
    if (r->x < 0 || r->y < 0 || r->x >= r->width || r->y >= r->height) return;
    const u8 old = r->bitmap[size_t(r->y) * r->width + size_t(r->x)];
    if (old == r->new_value) return;
    r->changed = true;
    r->old_value = old;
    r->min_x = r->max_x = u32(r->x);
    r->min_y = r->max_y = u32(r->y);
    std::vector<u32> stack;
    stack.push_back(Seed(u32(r->x), u32(r->y)));
    while (!stack.empty()) {
        const u32 seed = stack.back();
        stack.pop_back();
        const u32 x = seed & 0xFFFF, y = seed >> 16;
        u8* line = r->bitmap + size_t(y) * r->width;
        // A seed pushed twice is filled by the first: it would record a
        // duplicate run.
        if (line[x] != old) continue;
        u32 left = x, right = x;
        while (left > 0 && line[left - 1] == old) --left;
        while (right + 1 < r->width && line[right + 1] == old) ++right;
        std::memset(line + left, r->new_value, right - left + 1);
        if (r->record_runs) r->runs.push_back({u32(size_t(y) * r->width + left), right - left + 1});
        r->min_x = std::min(r->min_x, left);
        r->max_x = std::max(r->max_x, right);
        r->min_y = std::min(r->min_y, y);
        r->max_y = std::max(r->max_y, y);
        if (y > 0) ScanNeighbourRow(*r, left, right, y - 1, 1, y, &stack);
        if (y + 1 < r->height) ScanNeighbourRow(*r, left, right, y + 1, 0, y, &stack);
    }
    if (r->record_runs) {
        std::sort(r->runs.begin(), r->runs.end(),
                  [](const MeshFillRun& a, const MeshFillRun& b) { return a.offset < b.offset; });
        r->runs.shrink_to_fit();
    }
}

bool PickTriangle(const MeshEditData& data, float x, float y, u32* cell_x, u32* cell_y, u32* triangle) {
    // A point past the last column would wrap into the next row.
    if (!(x >= 0) || !(y >= 0) || x >= float(data.columns) || y >= float(data.rows)) return false;
    const u32 cx = std::min(static_cast<u32>(std::floor(x)), data.columns - 1);
    const u32 cy = std::min(static_cast<u32>(std::floor(y)), data.rows - 1);
    const float fx = x - float(cx), fy = y - float(cy);
    *cell_x = cx;
    *cell_y = cy;
    *triangle = ((cx ^ cy) & 1) ? (fx + fy >= 1 ? 1 : 0) : (fx >= fy ? 1 : 0);
    return true;
}

std::unique_ptr<MeshFillChange> FloodFillTriangles(MeshEditData* data, float x, float y) {
    u32 cx, cy, triangle;
    if (!data->planes_exist || !PickTriangle(*data, x, y, &cx, &cy, &triangle)) return nullptr;
    FloodFillRequest r;
    r.bitmap = data->triangle_plane.values.data();
    r.width = 2 * data->columns;
    r.height = data->rows;
    r.x = 2 * i64(cx) + triangle;
    r.y = cy;
    r.new_value = static_cast<u8>(std::min<u32>(data->current_texture, kMeshPlaneMaxValue));
    r.record_runs = true;
    r.triangle_adjacency = true;
    FloodFill(&r);
    if (!r.changed) return nullptr;
    const i64 x0 = r.min_x / 2, x1 = r.max_x / 2 + 1, y0 = i64(r.min_y) - 1, y1 = i64(r.max_y) + 1;
    InvalidateMeshRegion(data, x0, x1, y0, y1);
    std::unique_ptr<MeshFillChange> change(new (std::nothrow) MeshFillChange());
    if (change) {
        change->saved = &data->saved_triangle_plane;
        change->working = &data->triangle_plane;
        change->new_value = r.new_value;
        change->old_value = r.old_value;
        change->runs = std::move(r.runs);
        change->x0 = x0, change->x1 = x1, change->y0 = y0, change->y1 = y1;
        for (const MeshFillRun& run : change->runs)
            std::memset(change->saved->values.data() + run.offset, r.new_value, run.length);
    } else {
        CopyMeshPlane(&data->saved_triangle_plane, data->triangle_plane);
    }
    NotifyModified(data);
    RequestRedraw(data);
    return change;
}

std::unique_ptr<MeshFillChange> FloodFillVertices(MeshEditData* data, i64 x, i64 y) {
    if (!data->planes_exist) return nullptr;
    FloodFillRequest r;
    r.bitmap = data->vertex_plane.values.data();
    r.width = data->columns;
    r.height = data->rows;
    r.x = x;
    r.y = y;
    r.new_value = static_cast<u8>(std::min<u32>(data->current_texture, kMeshPlaneMaxValue));
    r.record_runs = true;
    FloodFill(&r);
    if (!r.changed) return nullptr;
    std::unique_ptr<MeshFillChange> change(new (std::nothrow) MeshFillChange());
    if (change) {
        change->saved = &data->saved_vertex_plane;
        change->working = &data->vertex_plane;
        change->new_value = r.new_value;
        change->old_value = r.old_value;
        change->runs = std::move(r.runs);
        change->x0 = r.min_x, change->x1 = r.max_x, change->y0 = r.min_y, change->y1 = r.max_y;
        for (const MeshFillRun& run : change->runs)
            std::memset(change->saved->values.data() + run.offset, r.new_value, run.length);
    } else {
        CopyMeshPlane(&data->saved_vertex_plane, data->vertex_plane);
    }
    NotifyModified(data);
    InvalidateWholeMesh(data);
    RequestRedraw(data);
    return change;
}

}  // namespace pirn
