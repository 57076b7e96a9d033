#include "models/geom_to_model.h"

namespace pirn {

namespace {

// Stored axes (-x, z, y) x 512 back to the model's (x, y, z).
void FromStoredAxes(const i16 stored[3], float* x, float* y, float* z) {
    *x = -stored[0] / kGeomUnitsPerModelUnit;
    *y = stored[2] / kGeomUnitsPerModelUnit;
    *z = stored[1] / kGeomUnitsPerModelUnit;
}

// The transparency field holds (1 - alpha) x 65535, so the alpha drawn is
// its complement.
u32 TriangleColour(const GeomTriangle& stored) {
    if ((stored.flags & kGeomTriangleTransparent) == 0) return kModelOpaqueWhite;
    const u32 alpha = 255u - stored.transparency / 257u;
    return (kModelOpaqueWhite & 0x00FFFFFFu) | (alpha << 24);
}

bool CornersInRange(const GeomTriangle& stored, size_t vertex_count) {
    for (const GeomCorner& corner : stored.corners) {
        if (corner.vertex >= vertex_count) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<ModelObject> GeomDataToModel(const GeomData& geom, const GeomTextureFiller& fill,
                                             GeomDisplayProblems* problems) {
    auto model = std::make_unique<ModelObject>();
    GeomDisplayProblems found;
    model->vertices.resize(geom.vertices.size());
    for (size_t i = 0; i < geom.vertices.size(); ++i) {
        ModelVertex& v = model->vertices[i];
        FromStoredAxes(geom.vertices[i].axis, &v.x, &v.y, &v.z);
    }
    FromStoredAxes(geom.header.pivot, &model->pivot[0], &model->pivot[1], &model->pivot[2]);
    ComputeModelBounds(model.get());

    const u32 materials = static_cast<u32>(geom.materials.size());
    model->triangles.reserve(geom.triangles.size());
    for (const GeomTriangle& stored : geom.triangles) {
        if (!CornersInRange(stored, geom.vertices.size())) {
            ++found.triangles_left_out;
            continue;
        }
        ModelTriangle triangle;
        triangle.owner = model.get();
        // The material is read as a signed 16-bit index; anything outside
        // the material list draws untextured (0xFFFF is "no material").
        const i16 material = static_cast<i16>(stored.material);
        if (material >= 0 && static_cast<u32>(material) < materials) {
            triangle.texture = static_cast<u32>(material);
        } else {
            triangle.texture = kNoModelTexture;
            if (stored.material != kGeomNoMaterial) ++found.bad_materials;
        }
        triangle.colour = TriangleColour(stored);
        for (int c = 0; c < 3; ++c) {
            triangle.corners[c].vertex = stored.corners[c].vertex;
            triangle.corners[c].u = stored.corners[c].u / 65535.0f;
            triangle.corners[c].v = stored.corners[c].v / 65535.0f;
        }
        model->triangles.push_back(triangle);
    }

    model->textures.resize(materials);
    for (u32 i = 0; i < materials && fill; ++i) fill(i, geom.materials[i], &model->textures[i]);
    if (problems) *problems = found;
    return model;
}

}  // namespace pirn
