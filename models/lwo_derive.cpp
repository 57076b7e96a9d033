// What an LWO file leaves implicit, derived once the whole file is read.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "models/lwo_chunk_readers.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Unit length, or all zero for a vector with no usable direction (a
// degenerate polygon, or values that are not finite).
void NormalizeOrZero(float v[3]) {
    const double length = std::sqrt(double{v[0]} * v[0] + double{v[1]} * v[1] + double{v[2]} * v[2]);
    if (!(length > 1e-30) || !std::isfinite(length)) {
        v[0] = v[1] = v[2] = 0;
        return;
    }
    const double scale = 1.0 / length;
    for (int i = 0; i < 3; ++i) v[i] = static_cast<float>(v[i] * scale);
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

void LinkPointsToPolygons(LwoLayer& layer) {
    // Counted first so that every list is allocated once.
    std::vector<u32> uses(layer.points.size(), 0);
    for (const LwoPolygon& polygon : layer.polygons) {
        for (const LwoPolygonVertex& vertex : polygon.vertices) ++uses[vertex.index];
    }
    for (size_t i = 0; i < layer.points.size(); ++i) layer.points[i].polygons.reserve(uses[i]);
    for (u32 i = 0; i < layer.polygons.size(); ++i) {
        for (const LwoPolygonVertex& vertex : layer.polygons[i].vertices) layer.points[vertex.index].polygons.push_back(i);
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

float SmoothingAngle(const LwoObject& object, u32 surface) {
    return surface < object.surfaces.size() ? object.surfaces[surface].smoothing_angle : 0.0f;
}

// Each corner averages its polygon's normal with those of the neighbours on
// the same surface that meet it at no more than the surface's smoothing
// angle. acos is decreasing, so "acos(dot) <= angle" is tested as "dot >=
// cos(angle)": no acos per neighbour, and no argument outside -1..1 (a dot
// product of unit vectors may round past 1).
void ComputeVertexNormals(LwoLayer& layer, const LwoObject& object) {
    constexpr double kPi = 3.14159265358979323846;
    for (u32 j = 0; j < layer.polygons.size(); ++j) {
        LwoPolygon& polygon = layer.polygons[j];
        const float angle = SmoothingAngle(object, polygon.surface);
        const double threshold = angle >= kPi ? -2.0 : std::cos(static_cast<double>(angle));
        for (LwoPolygonVertex& vertex : polygon.vertices) {
            std::copy(polygon.normal, polygon.normal + 3, vertex.normal);
            if (!(angle > 0)) continue;
            for (u32 g : layer.points[vertex.index].polygons) {
                if (g == j) continue;
                const LwoPolygon& other = layer.polygons[g];
                if (other.surface != polygon.surface) continue;
                const double dot = double{polygon.normal[0]} * other.normal[0] +
                                   double{polygon.normal[1]} * other.normal[1] +
                                   double{polygon.normal[2]} * other.normal[2];
                if (!(dot >= threshold)) continue;
                for (int k = 0; k < 3; ++k) vertex.normal[k] += other.normal[k];
            }
            NormalizeOrZero(vertex.normal);
        }
    }
}

void AttachVertexMaps(LwoLayer& layer) {
    for (u32 m = 0; m < layer.vertex_maps.size(); ++m) {
        const LwoVertexMap& map = layer.vertex_maps[m];
        for (u32 i = 0; i < map.size(); ++i) {
            if (!map.per_polygon) {
                layer.points[map.points[i]].vmaps.push_back({m, i});
                continue;
            }
            for (LwoPolygonVertex& vertex : layer.polygons[map.polygons[i]].vertices) {
                if (vertex.index == map.points[i]) {
                    vertex.vmads.push_back({m, i});
                    break;
                }
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
