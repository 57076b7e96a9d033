#include "models/geom_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "models/model_tag_sections.h"

namespace pirn {

// u32 0 and core id; four u16 counts; pivot; 6 reserved bytes; three
// (offset, size, reserved) triples; the fourth pair (zeroed) and its
// reserved word; header size and total; reserved; bounds; 13 u16; reserved.
const StructLayout kGeomHeaderLayout[] = {128, 2, kRunU32, 4, kRunU16, 3, kRunU16, 3, kRunZero16,
                                          2, kRunU32, 1, kRunZero32, 2, kRunU32, 1, kRunZero32,
                                          2, kRunU32, 1, kRunZero32, 2, kRunZero32, 1, kRunZero32,
                                          2, kRunU32, 1, kRunZero32, 6, kRunU16, 13, kRunU16, 1, kRunZero16};
// name (31 bytes + 1 zeroed), sequence index and three u16, 24 reserved.
const StructLayout kGeomMaterialLayout[] = {64, 31, kRunBytes, 1, kRunZero8, 4, kRunU16, 24, kRunZero8};
const StructLayout kGeomVertexLayout[] = {6, 3, kRunU16};
// flags and normal; plane distance; six u16, transparency, material, the
// corners' twelve u16, the five words at 52..60; reserved.
const StructLayout kGeomTriangleLayout[] = {64, 4, kRunU16, 1, kRunU32, 25, kRunU16, 1, kRunZero16};

namespace {

constexpr u32 kMaxSectionCount = 0xFFFF;

void SetName(char field[32], const std::string& name) {
    std::memset(field, 0, 32);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), 31));
}

// The model point (x, y, z) in stored axes (-x, z, y).
void ToStoredAxes(float x, float y, float z, i16 out[3]) {
    out[0] = GeomStoredUnits(-x);
    out[1] = GeomStoredUnits(z);
    out[2] = GeomStoredUnits(y);
}

}  // namespace

i16 GeomStoredUnits(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * kGeomUnitsPerModelUnit);
    if (std::isnan(scaled)) return 0;
    return static_cast<i16>(std::clamp(scaled, -32768.0, 32767.0));
}

u16 GeomTextureFraction(float value) {
    const double clamped = std::isnan(value) ? 0.0 : std::clamp(static_cast<double>(value), 0.0, 1.0);
    return static_cast<u16>(clamped * 65535.0);
}

void InitGeomData(GeomData* geom) {
    std::memset(&geom->header, 0, sizeof(geom->header));
    geom->materials.clear();
    geom->vertices.clear();
    geom->triangles.clear();
}

void FreeGeomData(GeomData* geom) {
    InitGeomData(geom);
    geom->materials.shrink_to_fit();
    geom->vertices.shrink_to_fit();
    geom->triangles.shrink_to_fit();
}

int ReadGeomData(GeomData* geom, std::FILE* stream, const TagHeader& tag) {
    InitGeomData(geom);
    GeomHeader& h = geom->header;
    if (!ReadTagSectionHeader(stream, tag, &h, kGeomHeaderLayout)) return 0;
    const bool read = ReadTagSectionInto(stream, tag, h.header_size, h.materials_offset, h.material_count,
                                         kGeomMaterialLayout, &geom->materials) &&
                      ReadTagSectionInto(stream, tag, h.header_size, h.vertices_offset, h.vertex_count,
                                         kGeomVertexLayout, &geom->vertices) &&
                      ReadTagSectionInto(stream, tag, h.header_size, h.triangles_offset, h.triangle_count,
                                         kGeomTriangleLayout, &geom->triangles);
    return read ? 1 : 0;
}

int WriteGeomData(GeomData* geom, std::FILE* stream, const TagHeader& tag) {
    GeomHeader& h = geom->header;
    if (geom->materials.size() > kMaxSectionCount || geom->vertices.size() > kMaxSectionCount ||
        geom->triangles.size() > kMaxSectionCount)
        return 0;
    h.header_size = kGeomHeaderSize;
    h.material_count = static_cast<u16>(geom->materials.size());
    h.vertex_count = static_cast<u16>(geom->vertices.size());
    h.triangle_count = static_cast<u16>(geom->triangles.size());
    const TagSection sections[] = {
        {geom->materials.data(), h.material_count, kGeomMaterialLayout, &h.materials_offset, &h.materials_size},
        {geom->vertices.data(), h.vertex_count, kGeomVertexLayout, &h.vertices_offset, &h.vertices_size},
        {geom->triangles.data(), h.triangle_count, kGeomTriangleLayout, &h.triangles_offset, &h.triangles_size},
    };
    if (!WriteTagSections(stream, tag, h.header_size, sections, 3, &h.total_size)) return 0;
    return WriteTagSectionHeader(stream, tag, &h, kGeomHeaderLayout) ? 1 : 0;
}

void SetGeomHeader(GeomData* geom, u32 core_tag_id, const float bounds[6], const float pivot[3]) {
    GeomHeader& h = geom->header;
    h.zero = 0;
    h.core_tag_id = core_tag_id;
    ToStoredAxes(pivot[0], pivot[1], pivot[2], h.pivot);
    ToStoredAxes(bounds[0], bounds[1], bounds[2], h.bounds);
    ToStoredAxes(bounds[3], bounds[4], bounds[5], h.bounds + 3);
    for (int axis = 0; axis < 3; ++axis) {
        if (h.bounds[axis] > h.bounds[axis + 3]) std::swap(h.bounds[axis], h.bounds[axis + 3]);
    }
}

void SetGeomMaterialCount(GeomData* geom, u32 count) { geom->materials.assign(count, GeomMaterial{}); }

void SetGeomMaterial(GeomData* geom, u32 index, const std::string& name, u16 sequence_index) {
    GeomMaterial& material = geom->materials[index];
    SetName(material.name, name);
    material.sequence_index = sequence_index;
}

void SetGeomVertexCount(GeomData* geom, u32 count) { geom->vertices.assign(count, GeomVertex{}); }

void SetGeomVertex(GeomData* geom, u32 index, float x, float y, float z) {
    ToStoredAxes(x, y, z, geom->vertices[index].axis);
}

void SetGeomTriangleCount(GeomData* geom, u32 count) { geom->triangles.assign(count, GeomTriangle{}); }

void SetGeomCorner(GeomData* geom, u32 triangle, int corner, u16 vertex, float u, float v) {
    GeomCorner& c = geom->triangles[triangle].corners[corner];
    c.vertex = vertex;
    c.u = GeomTextureFraction(u);
    c.v = GeomTextureFraction(v);
}

// The face normal in stored axes is (c2 - c0) x (c1 - c0): stored axes turn
// the model without mirroring it, and the model's front faces wind that way.
void SetGeomTriangle(GeomData* geom, u32 triangle, u16 flags, u16 material, u8 alpha) {
    GeomTriangle& t = geom->triangles[triangle];
    t.flags = flags;
    t.material = material;
    t.transparency = static_cast<u16>((255 - alpha) * 257);
    std::fill(t.marks_52, t.marks_52 + 3, 0xFFFF);
    t.mark_60 = 0xFFFF;
    double p[3][3];
    for (int c = 0; c < 3; ++c) {
        const u16 vertex = t.corners[c].vertex;
        if (vertex >= geom->vertices.size()) {
            std::fill(t.normal, t.normal + 3, 0);
            t.plane_distance = 0;
            return;
        }
        for (int axis = 0; axis < 3; ++axis) p[c][axis] = geom->vertices[vertex].axis[axis];
    }
    const double a[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const double b[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    i64 distance = 0;
    for (int axis = 0; axis < 3; ++axis) {
        t.normal[axis] = length > 0 ? static_cast<i16>(std::trunc(n[axis] / length * kGeomNormalScale)) : 0;
        distance -= i64{t.normal[axis]} * geom->vertices[t.corners[0].vertex].axis[axis];
    }
    t.plane_distance = static_cast<i32>(distance);
}

}  // namespace pirn
