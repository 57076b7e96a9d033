#include "models/geom_from_model.h"

#include <cmath>

#include "platform/strings.h"

namespace pirn {

namespace {

// Whether value x 512, truncated, is a 16-bit signed number.
bool FitsStoredUnits(float value) {
    if (!std::isfinite(value)) return false;
    const double scaled = std::trunc(static_cast<double>(value) * kGeomUnitsPerModelUnit);
    return scaled >= -32768.0 && scaled <= 32767.0;
}

// Stored axes hold -x, z and y.
bool FitsStoredPoint(float x, float y, float z) { return FitsStoredUnits(-x) && FitsStoredUnits(y) && FitsStoredUnits(z); }

bool Refuse(std::string* message, const std::string& text) {
    if (message) *message = text;
    return false;
}

bool CheckCounts(const ModelObject& model, std::string* message) {
    const struct {
        size_t count;
        const char* what;
    } counts[] = {{model.vertices.size(), "vertices"},
                  {model.triangles.size(), "triangles"},
                  {model.textures.size(), "textures"}};
    for (const auto& entry : counts) {
        if (entry.count > kGeomMaxCount)
            return Refuse(message, FormatString("The model has %zu %s; a geometry holds at most 65535.", entry.count,
                                                entry.what));
    }
    return true;
}

bool CheckCoordinates(const ModelObject& model, std::string* message) {
    for (size_t i = 0; i < model.vertices.size(); ++i) {
        const ModelVertex& v = model.vertices[i];
        if (!FitsStoredPoint(v.x, v.y, v.z))
            return Refuse(message, FormatString("Vertex %zu at (%g, %g, %g) lies beyond the -64..64 units a "
                                                "geometry can hold.",
                                                i, v.x, v.y, v.z));
    }
    const float* b = model.bounds;
    if (!FitsStoredPoint(b[0], b[1], b[2]) || !FitsStoredPoint(b[3], b[4], b[5]))
        return Refuse(message, FormatString("The model's bounds (%g, %g, %g)-(%g, %g, %g) reach beyond the -64..64 "
                                            "units a geometry can hold.",
                                            b[0], b[1], b[2], b[3], b[4], b[5]));
    const float* p = model.pivot;
    if (!FitsStoredPoint(p[0], p[1], p[2]))
        return Refuse(message, FormatString("The model's pivot (%g, %g, %g) lies beyond the -64..64 units a "
                                            "geometry can hold.",
                                            p[0], p[1], p[2]));
    return true;
}

bool CheckCorners(const ModelObject& model, std::string* message) {
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        for (const ModelCorner& corner : model.triangles[t].corners) {
            if (corner.vertex >= model.vertices.size())
                return Refuse(message, FormatString("Triangle %zu uses vertex %u of %zu.", t, corner.vertex,
                                                    model.vertices.size()));
        }
    }
    return true;
}

}  // namespace

bool CheckModelFitsGeom(const ModelObject& model, std::string* message) {
    return CheckCounts(model, message) && CheckCoordinates(model, message) && CheckCorners(model, message);
}

bool BuildGeomData(const ModelObject& model, u32 core_tag_id, GeomData* geom, std::string* message) {
    if (!CheckModelFitsGeom(model, message)) return false;
    InitGeomData(geom);
    SetGeomHeader(geom, core_tag_id, model.bounds, model.pivot);
    const u32 materials = static_cast<u32>(model.textures.size());
    SetGeomMaterialCount(geom, materials);
    for (u32 i = 0; i < materials; ++i) SetGeomMaterial(geom, i, model.textures[i].name, static_cast<u16>(i));
    SetGeomVertexCount(geom, static_cast<u32>(model.vertices.size()));
    for (u32 i = 0; i < model.vertices.size(); ++i) {
        const ModelVertex& v = model.vertices[i];
        SetGeomVertex(geom, i, v.x, v.y, v.z);
    }
    SetGeomTriangleCount(geom, static_cast<u32>(model.triangles.size()));
    for (u32 t = 0; t < model.triangles.size(); ++t) {
        const ModelTriangle& triangle = model.triangles[t];
        for (int c = 0; c < 3; ++c) {
            const ModelCorner& corner = triangle.corners[c];
            SetGeomCorner(geom, t, c, static_cast<u16>(corner.vertex), corner.u, corner.v);
        }
        const u16 material = triangle.texture < materials ? static_cast<u16>(triangle.texture) : kGeomNoMaterial;
        SetGeomTriangle(geom, t, 0, material, static_cast<u8>(triangle.colour >> 24));
    }
    return true;
}

}  // namespace pirn
