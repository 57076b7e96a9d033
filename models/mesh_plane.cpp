#include "models/mesh_plane.h"

#include <cstring>
#include <new>

namespace pirn {

namespace {

// Largest plane we agree to hold: 128 x 128 blocks of 32 x 32 cells, two
// bytes a cell.
constexpr u64 kMaxPlaneBytes = u64(1) << 25;

}  // namespace

bool InitMeshPlane(MeshPlane* plane, u32 width, u32 height, u32 shift) {
    const u64 bytes = (u64(width) * height) << shift;
    if (shift > 1 || bytes > kMaxPlaneBytes) return false;
    std::vector<u8> values;
    values.assign(static_cast<size_t>(bytes), 0);
    plane->values.swap(values);
    plane->x = plane->y = 0;
    plane->width = width;
    plane->height = height;
    plane->shift = shift;
    return true;
}

void ClearMeshPlane(MeshPlane* plane) { std::memset(plane->values.data(), 0, plane->values.size()); }

std::unique_ptr<MeshPlane> CopyMeshPlaneRect(const MeshPlane& plane, u32 x0, u32 y0, u32 x1, u32 y1) {
    if (x0 > x1 || y0 > y1 || x1 >= plane.width || y1 >= plane.height) return nullptr;
    std::unique_ptr<MeshPlane> rect(new (std::nothrow) MeshPlane());
    if (!rect || !InitMeshPlane(rect.get(), x1 - x0 + 1, y1 - y0 + 1, plane.shift)) return nullptr;
    rect->x = x0;
    rect->y = y0;
    const size_t offset = size_t(x0) << plane.shift;
    for (u32 row = 0; row < rect->height; ++row)
        std::memcpy(rect->Row(row), plane.Row(y0 + row) + offset, rect->RowBytes());
    return rect;
}

bool PasteMeshPlaneRect(MeshPlane* plane, const MeshPlane& rect) {
    if (rect.shift != plane->shift || u64(rect.x) + rect.width > plane->width ||
        u64(rect.y) + rect.height > plane->height)
        return false;
    const size_t offset = size_t(rect.x) << plane->shift;
    for (u32 row = 0; row < rect.height; ++row)
        std::memcpy(plane->Row(rect.y + row) + offset, rect.Row(row), rect.RowBytes());
    return true;
}

bool CopyMeshPlane(MeshPlane* to, const MeshPlane& from) {
    if (to->width != from.width || to->height != from.height || to->shift != from.shift) return false;
    to->values = from.values;
    return true;
}

}  // namespace pirn
