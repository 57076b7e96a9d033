// What an LWO file leaves implicit, derived once the whole file is read.

#include <algorithm>
#include <cmath>

#include "models/lwo_chunk_readers.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Unit length, or all zero for a vector with no usable direction (a
// degenerate polygon, or values that are not finite). Single precision for
// the usual lengths: the normals are kept as floats, and a square root and
// a division in double cost twice the time for digits that are dropped.
// Squares too small or too large for a float take the double path.
void NormalizeInDouble(float v[3]) {
    const double length = std::sqrt(double{v[0]} * v[0] + double{v[1]} * v[1] + double{v[2]} * v[2]);
    if (!(length > 1e-30) || !std::isfinite(length)) {
        v[0] = v[1] = v[2] = 0;
        return;
    }
    const double scale = 1.0 / length;
    for (int i = 0; i < 3; ++i) v[i] = static_cast<float>(v[i] * scale);
}

inline void NormalizeOrZero(float v[3]) {
    const float squared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (!(squared >= 1e-30f && squared <= 1e30f)) return NormalizeInDouble(v);
    const float scale = 1.0f / std::sqrt(squared);
    for (int i = 0; i < 3; ++i) v[i] *= scale;
}

void ComputeBoundsIfMissing(LwoLayer& layer) {
    for (float value : layer.bounds) {
        if (value != 0) return;
    }
    if (layer.points.empty()) return;
    for (int i = 0; i < 3; ++i) layer.bounds[i] = layer.bounds[i + 3] = layer.points[0].position[i];
    for (const LwoPoint& point : layer.points) {
        for (int i = 0; i < 3; ++i) {
            layer.bounds[i] = std::min(layer.bounds[i], point.position[i]);
            layer.bounds[i + 3] = std::max(layer.bounds[i + 3], point.position[i]);
        }
    }
}

// From the first, second and last corner, as LightWave orders them.
void ComputePolygonNormals(LwoLayer& layer) {
    for (LwoPolygon& polygon : layer.polygons) {
        if (polygon.vertices.size() < 3) continue;
        const float* p0 = layer.points[polygon.vertices.front().index].position;
        const float* p1 = layer.points[polygon.vertices[1].index].position;
        const float* pn = layer.points[polygon.vertices.back().index].position;
        const float a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
        const float b[3] = {pn[0] - p0[0], pn[1] - p0[1], pn[2] - p0[2]};
        polygon.normal[0] = a[1] * b[2] - a[2] * b[1];
        polygon.normal[1] = a[2] * b[0] - a[0] * b[2];
        polygon.normal[2] = a[0] * b[1] - a[1] * b[0];
        NormalizeOrZero(polygon.normal);
    }
}

// With each item's run holding its count: the runs laid end to end from
// `next`, each left empty to be filled; returns where the last one ends.
template <typename Item>
u32 StartRuns(std::vector<Item>& items, LwoRange Item::*run, u32 next = 0) {
    for (Item& item : items) {
        const u32 count = (item.*run).count;
        item.*run = LwoRange{next, 0};
        next += count;
    }
    return next;
}

// Each point's polygons, in polygon order, as one run of the layer's list.
void LinkPointsToPolygons(LwoLayer& layer) {
    for (LwoPoint& point : layer.points) point.polygons = LwoRange{};
    for (const LwoPolygon& polygon : layer.polygons) {
        for (const LwoPolygonVertex& vertex : polygon.vertices) ++layer.points[vertex.index].polygons.count;
    }
    const u32 total = StartRuns(layer.points, &LwoPoint::polygons);
    layer.point_polygons.assign(total, 0);
    for (u32 i = 0; i < layer.polygons.size(); ++i) {
        for (const LwoPolygonVertex& vertex : layer.polygons[i].vertices) {
            LwoRange& run = layer.points[vertex.index].polygons;
            layer.point_polygons[run.first + run.count++] = i;
        }
    }
}

bool CheckTag(u32 tag, const LwoObject& object, const char* what, size_t polygon, LwoFailure* failure) {
    if (tag == kLwoNone || tag < object.tags.size()) return true;
    failure->failed = true;
    failure->reason = FormatString("polygon %zu names %s tag %u of a list of %zu", polygon, what, tag, object.tags.size());
    return false;
}

// Polygons without a SURF tag take the first tag, as LightWave does; with no
// tags at all they keep no surface.
bool ResolveSurfaces(LwoLayer& layer, LwoObject& object, std::vector<u32>& surface_of_tag, LwoFailure* failure) {
    for (size_t i = 0; i < layer.polygons.size(); ++i) {
        LwoPolygon& polygon = layer.polygons[i];
        if (!CheckTag(polygon.surface_tag, object, "surface", i, failure)) return false;
        if (!CheckTag(polygon.part_tag, object, "part", i, failure)) return false;
        if (object.tags.empty()) continue;
        const u32 tag = polygon.surface_tag == kLwoNone ? 0 : polygon.surface_tag;
        if (surface_of_tag[tag] == kLwoNone) {
            const std::string& name = object.tags[tag];
            auto found = std::find_if(object.surfaces.begin(), object.surfaces.end(),
                                      [&](const LwoSurface& s) { return s.name == name; });
            if (found == object.surfaces.end()) {
                object.surfaces.emplace_back();
                object.surfaces.back().name = name;
                found = object.surfaces.end() - 1;
            }
            surface_of_tag[tag] = static_cast<u32>(found - object.surfaces.begin());
        }
        polygon.surface = surface_of_tag[tag];
    }
    return true;
}

// Each corner averages its polygon's normal with those of the neighbours on
// the same surface that meet it at no more than the surface's smoothing
// angle. acos is decreasing, so "acos(dot) <= angle" is tested as "dot >=
// cos(angle)": no acos per neighbour, and no argument outside -1..1 (a dot
// product of unit vectors may round past 1). The neighbours' normals and
// surfaces are read from a packed copy, and a corner that took no
// neighbour keeps its polygon's unit normal as it is. Single precision
// throughout: the normals are kept as floats.
void ComputeVertexNormals(LwoLayer& layer, const LwoObject& object) {
    constexpr double kPi = 3.14159265358979323846;
    struct Face {
        float normal[3];
        u32 surface;
    };
    std::vector<Face> faces(layer.polygons.size());
    for (size_t j = 0; j < faces.size(); ++j) {
        std::copy(layer.polygons[j].normal, layer.polygons[j].normal + 3, faces[j].normal);
        faces[j].surface = layer.polygons[j].surface;
    }
    // Per surface: whether it smooths, and the cosine its neighbours' dot
    // products must reach (kLwoNone: no surface, never smoothed).
    std::vector<float> threshold(object.surfaces.size());
    std::vector<bool> smooths(object.surfaces.size());
    for (size_t s = 0; s < object.surfaces.size(); ++s) {
        const float angle = object.surfaces[s].smoothing_angle;
        smooths[s] = angle > 0;
        threshold[s] = angle >= kPi ? -2.0f : static_cast<float>(std::cos(static_cast<double>(angle)));
    }
    // First every corner's sum, then the square roots and divisions in a
    // run of their own: kept apart from the neighbour tests' unpredictable
    // branches, they overlap one another.
    std::vector<float*> sums;
    sums.reserve(layer.point_polygons.size());  // one per corner at most
    for (u32 j = 0; j < layer.polygons.size(); ++j) {
        LwoPolygon& polygon = layer.polygons[j];
        const Face face = faces[j];
        const bool smooth = face.surface < smooths.size() && smooths[face.surface];
        for (LwoPolygonVertex& vertex : polygon.vertices) {
            std::copy(face.normal, face.normal + 3, vertex.normal);
            if (!smooth) continue;
            const float cosine = threshold[face.surface];
            // Summed in locals: the compiler cannot tell the corner's normal
            // from the packed ones.
            float x = face.normal[0], y = face.normal[1], z = face.normal[2];
            bool joined = false;
            for (u32 g : layer.PolygonsOf(layer.points[vertex.index])) {
                const Face& other = faces[g];
                if (g == j || other.surface != face.surface) continue;
                const float dot = face.normal[0] * other.normal[0] + face.normal[1] * other.normal[1] +
                                  face.normal[2] * other.normal[2];
                if (!(dot >= cosine)) continue;
                x += other.normal[0];
                y += other.normal[1];
                z += other.normal[2];
                joined = true;
            }
            if (!joined) continue;
            vertex.normal[0] = x;
            vertex.normal[1] = y;
            vertex.normal[2] = z;
            sums.push_back(vertex.normal);
        }
    }
    for (float* sum : sums) NormalizeOrZero(sum);
}

// The corner of the polygon at the point, or null.
LwoPolygonVertex* CornerAt(LwoPolygon& polygon, u32 point) {
    for (LwoPolygonVertex& vertex : polygon.vertices)
        if (vertex.index == point) return &vertex;
    return nullptr;
}

// The entries of every vertex map, in map and entry order, on their points
// (VMAP) or polygon corners (VMAD): counted, laid out, then filled.
void AttachVertexMaps(LwoLayer& layer) {
    for (LwoPoint& point : layer.points) point.vmaps = LwoRange{};
    for (LwoPolygon& polygon : layer.polygons)
        for (LwoPolygonVertex& vertex : polygon.vertices) vertex.vmads = LwoRange{};
    // The corner of each VMAD entry, looked up once for both passes.
    std::vector<LwoPolygonVertex*> corner_of;
    for (const LwoVertexMap& map : layer.vertex_maps) {
        if (!map.per_polygon) {
            for (u32 point : map.points) ++layer.points[point].vmaps.count;
            continue;
        }
        for (u32 i = 0; i < map.size(); ++i) {
            LwoPolygonVertex* corner = CornerAt(layer.polygons[map.polygons[i]], map.points[i]);
            if (corner) ++corner->vmads.count;
            corner_of.push_back(corner);
        }
    }
    layer.point_vmaps.assign(StartRuns(layer.points, &LwoPoint::vmaps), LwoVertexMapRef{});
    u32 corners = 0;
    for (LwoPolygon& polygon : layer.polygons) corners = StartRuns(polygon.vertices, &LwoPolygonVertex::vmads, corners);
    layer.corner_vmads.assign(corners, LwoVertexMapRef{});
    size_t entry = 0;
    for (u32 m = 0; m < layer.vertex_maps.size(); ++m) {
        const LwoVertexMap& map = layer.vertex_maps[m];
        for (u32 i = 0; i < map.size(); ++i) {
            if (!map.per_polygon) {
                LwoRange& run = layer.points[map.points[i]].vmaps;
                layer.point_vmaps[run.first + run.count++] = {m, i};
            } else if (LwoPolygonVertex* corner = corner_of[entry++]) {
                layer.corner_vmads[corner->vmads.first + corner->vmads.count++] = {m, i};
            }
        }
    }
}

}  // namespace

bool LwoDeriveObject(LwoObject* object, LwoFailure* failure) {
    if (object->layers.empty()) object->layers.emplace_back();
    std::vector<u32> surface_of_tag(object->tags.size(), kLwoNone);
    for (LwoLayer& layer : object->layers) {
        ComputeBoundsIfMissing(layer);
        ComputePolygonNormals(layer);
        LinkPointsToPolygons(layer);
        if (!ResolveSurfaces(layer, *object, surface_of_tag, failure)) return false;
        ComputeVertexNormals(layer, *object);
        AttachVertexMaps(layer);
    }
    return true;
}

}  // namespace pirn
