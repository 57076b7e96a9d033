#include "models/model_from_lwo.h"

#include <map>

#include "platform/image_file.h"
#include "platform/strings.h"

namespace pirn {

namespace {

constexpr size_t kMaterialNameLength = 31;

// What a surface contributes to the model: its texture and, when its colour
// is an image mapped by UV, the UV map's name.
struct SurfaceTexture {
    u32 texture = 0;
    bool textured = false;
    std::string uv_map;
};

const LwoTextureBlock* FirstColourBlock(const LwoObject& object, u32 surface) {
    if (surface >= object.surfaces.size()) return nullptr;
    const std::vector<LwoTextureBlock>& blocks = object.surfaces[surface].channels[kLwoChannelColour];
    return blocks.empty() ? nullptr : &blocks.front();
}

void LoadClipImage(const LwoObject& object, u32 clip_index, const std::string& folder, ModelTexture* texture) {
    const LwoClip* clip = LwoFindClip(object.clips, clip_index);
    if (!clip || clip->type != kLwoClipStill) return;
    texture->file_name = LwoClipFileName(clip->file_name);
    if (texture->file_name.empty()) return;
    ImageFile file;
    InitImageFile(&file, EnsureTrailingSlash(folder.empty() ? std::string(".") : folder) + texture->file_name);
    file.kind = kKindImage;
    if (LoadImageFile(&file) && file.kind == kKindImage) texture->colour = std::move(file.image);
    FreeImageFile(&file);
}

// The image is loaded whatever its projection; only a UV projection gives
// the corners texture coordinates.
SurfaceTexture AddSurfaceTexture(const LwoObject& object, u32 surface, const std::string& folder, ModelObject* model,
                                 LwoConversionNotes* notes) {
    SurfaceTexture result;
    result.texture = static_cast<u32>(model->textures.size());
    model->textures.emplace_back();
    ModelTexture& texture = model->textures.back();
    if (surface < object.surfaces.size()) texture.name = object.surfaces[surface].name;
    const LwoTextureBlock* block = FirstColourBlock(object, surface);
    if (!block || block->type != LwoId("IMAP")) return result;
    LoadClipImage(object, block->image.clip, folder, &texture);
    if (block->image.projection == kLwoProjectionUv) {
        result.textured = true;
        result.uv_map = block->image.uv_map;
    } else if (HasWholePixels(texture.colour)) {
        notes->projected_images.push_back({texture.name, block->image.projection});
    }
    return result;
}

bool FindUv(const LwoLayer& layer, LwoSpan<LwoVertexMapRef> refs, const std::string& name, float* u, float* v) {
    for (const LwoVertexMapRef& ref : refs) {
        const LwoVertexMap& map = layer.vertex_maps[ref.map];
        if (map.name != name || map.dimension < 2) continue;
        const float* value = map.entry(ref.entry);
        *u = value[0];
        *v = 1.0f - value[1];
        return true;
    }
    return false;
}

void SetCorner(const LwoLayer& layer, const LwoPolygonVertex& vertex, const SurfaceTexture& surface,
               ModelCorner* corner) {
    corner->vertex = vertex.index;
    corner->normal[0] = -vertex.normal[0];
    corner->normal[1] = vertex.normal[1];
    corner->normal[2] = vertex.normal[2];
    if (!surface.textured) return;
    if (!FindUv(layer, layer.VmadsOf(vertex), surface.uv_map, &corner->u, &corner->v))
        FindUv(layer, layer.VmapsOf(layer.points[vertex.index]), surface.uv_map, &corner->u, &corner->v);
}

bool IsDrawnKind(u32 type) {
    return type != LwoId("CURV") && type != LwoId("BONE") && type != LwoId("MBAL");
}

// Newell's normal: sound for any simple polygon, planar or not.
void PolygonNormal(const LwoLayer& layer, const LwoPolygon& polygon, double normal[3]) {
    normal[0] = normal[1] = normal[2] = 0;
    const size_t n = polygon.vertices.size();
    for (size_t i = 0; i < n; ++i) {
        const float* a = layer.points[polygon.vertices[i].index].position;
        const float* b = layer.points[polygon.vertices[(i + 1) % n].index].position;
        normal[0] += (double{a[1]} - b[1]) * (double{a[2]} + b[2]);
        normal[1] += (double{a[2]} - b[2]) * (double{a[0]} + b[0]);
        normal[2] += (double{a[0]} - b[0]) * (double{a[1]} + b[1]);
    }
}

// Whether every corner turns the same way about the polygon's normal, so
// that the fan's triangles cover the polygon without overlapping.
bool IsConvex(const LwoLayer& layer, const LwoPolygon& polygon) {
    double normal[3];
    PolygonNormal(layer, polygon, normal);
    const size_t n = polygon.vertices.size();
    for (size_t i = 0; i < n; ++i) {
        const float* a = layer.points[polygon.vertices[(i + n - 1) % n].index].position;
        const float* b = layer.points[polygon.vertices[i].index].position;
        const float* c = layer.points[polygon.vertices[(i + 1) % n].index].position;
        const double u[3] = {double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
        const double v[3] = {double{c[0]} - b[0], double{c[1]} - b[1], double{c[2]} - b[2]};
        const double turn = (u[1] * v[2] - u[2] * v[1]) * normal[0] + (u[2] * v[0] - u[0] * v[2]) * normal[1] +
                            (u[0] * v[1] - u[1] * v[0]) * normal[2];
        if (turn < 0) return false;
    }
    return true;
}

// Triangles each polygon gives, counting what is left out or split.
size_t CountTriangles(const LwoLayer& layer, LwoConversionNotes* notes) {
    size_t triangles = 0;
    for (const LwoPolygon& polygon : layer.polygons) {
        const size_t corners = polygon.vertices.size();
        if (!IsDrawnKind(polygon.type)) {
            ++notes->skipped_other_kinds;
        } else if (corners < 3) {
            ++notes->skipped_points_lines;
        } else {
            triangles += corners - 2;
            if (corners > 3) {
                ++notes->split_polygons;
                if (!IsConvex(layer, polygon)) ++notes->not_convex;
            }
        }
    }
    return triangles;
}

void CopyPlacement(const LwoLayer& layer, ModelObject* model) {
    // x is mirrored, so the mirrored maximum is the new minimum.
    model->bounds[0] = -layer.bounds[3];
    model->bounds[3] = -layer.bounds[0];
    for (int axis = 1; axis < 3; ++axis) {
        model->bounds[axis] = layer.bounds[axis];
        model->bounds[axis + 3] = layer.bounds[axis + 3];
    }
    model->pivot[0] = -layer.pivot[0];
    model->pivot[1] = layer.pivot[1];
    model->pivot[2] = layer.pivot[2];
    model->vertices.resize(layer.points.size());
    for (size_t i = 0; i < layer.points.size(); ++i) {
        const float* p = layer.points[i].position;
        model->vertices[i].x = -p[0];
        model->vertices[i].y = p[1];
        model->vertices[i].z = p[2];
    }
}

}  // namespace

std::string LwoClipFileName(const std::string& clip_path) {
    std::string name = clip_path;
    const size_t colon = name.rfind(':');
    if (colon != std::string::npos) name.erase(0, colon + 1);
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    return name;
}

std::unique_ptr<ModelObject> LwoObjectToModel(const LwoObject& object, const std::string& folder,
                                              std::string* message, LwoConversionNotes* notes) {
    if (object.layers.empty()) {
        if (message) *message = "The object has no layer.";
        return nullptr;
    }
    const LwoLayer& layer = object.layers.front();
    LwoConversionNotes counted;
    auto model = std::make_unique<ModelObject>();
    CopyPlacement(layer, model.get());
    model->triangles.reserve(CountTriangles(layer, &counted));
    std::map<u32, SurfaceTexture> textures;
    for (const LwoPolygon& polygon : layer.polygons) {
        const size_t corners = polygon.vertices.size();
        if (!IsDrawnKind(polygon.type) || corners < 3) continue;
        auto found = textures.find(polygon.surface);
        if (found == textures.end())
            found = textures.emplace(polygon.surface,
                                     AddSurfaceTexture(object, polygon.surface, folder, model.get(), &counted))
                        .first;
        ModelTriangle triangle;
        triangle.owner = model.get();
        triangle.texture = found->second.texture;
        triangle.normal[0] = -polygon.normal[0];
        triangle.normal[1] = polygon.normal[1];
        triangle.normal[2] = polygon.normal[2];
        // A fan around the first corner; a triangle is a fan of one.
        for (size_t k = 1; k + 1 < corners; ++k) {
            const size_t fan[3] = {0, k, k + 1};
            for (int c = 0; c < 3; ++c)
                SetCorner(layer, polygon.vertices[fan[c]], found->second, &triangle.corners[c]);
            model->triangles.push_back(triangle);
        }
    }
    MakeModelTextureNamesUnique(model.get(), kMaterialNameLength);
    if (notes) *notes = counted;
    return model;
}

}  // namespace pirn
