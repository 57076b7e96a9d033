#pragma once
// A rectangle of per-cell values of a terrain's detail map. Whole planes
// (origin 0, 0) hold the painted values; smaller rectangles with their
// origin are what undo keeps of a stroke.
//
// Byte planes (shift 0) hold one value per cell vertex; 16-bit planes
// (shift 1) two bytes per cell, one per triangle (byte 0 is triangle 0, the
// low byte of the stored 16-bit value). Every value is a texture index of
// at most 127.

#include <memory>
#include <vector>

#include "platform/types.h"

namespace pirn {

constexpr u8 kMeshPlaneMaxValue = 127;

struct MeshPlane {
    u32 x = 0;
    u32 y = 0;
    u32 width = 0;
    u32 height = 0;
    u32 shift = 0;
    std::vector<u8> values;  // width x height values of 1 << shift bytes, row-major

    u32 RowBytes() const { return width << shift; }
    u8* Row(u32 row) { return values.data() + size_t(row) * RowBytes(); }
    const u8* Row(u32 row) const { return values.data() + size_t(row) * RowBytes(); }
};

// A zeroed whole plane; false (plane unchanged) when it cannot be had.
bool InitMeshPlane(MeshPlane* plane, u32 width, u32 height, u32 shift);
void ClearMeshPlane(MeshPlane* plane);

// The inclusive rectangle of cells (x0, y0)-(x1, y1) of a whole plane, with
// its origin; null when the rectangle is empty or leaves the plane.
std::unique_ptr<MeshPlane> CopyMeshPlaneRect(const MeshPlane& plane, u32 x0, u32 y0, u32 x1, u32 y1);
// Puts a rectangle back at its origin; false when it does not fit.
bool PasteMeshPlaneRect(MeshPlane* plane, const MeshPlane& rect);
// Copies a whole plane into another of the same size and shift.
bool CopyMeshPlane(MeshPlane* to, const MeshPlane& from);

}  // namespace pirn
