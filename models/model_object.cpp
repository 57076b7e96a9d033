#include "models/model_object.h"

#include <algorithm>
#include <set>

#include "platform/pixel_convert.h"

namespace pirn {

void InitModelObject(ModelObject* model) {
    std::fill(model->bounds, model->bounds + 6, 0.0f);
    std::fill(model->pivot, model->pivot + 3, 0.0f);
    model->vertices.clear();
    model->triangles.clear();
    model->textures.clear();
}

void FreeModelObject(ModelObject* model) {
    InitModelObject(model);
    model->vertices.shrink_to_fit();
    model->triangles.shrink_to_fit();
    model->textures.shrink_to_fit();
}

void ComputeModelBounds(ModelObject* model) {
    if (model->vertices.empty()) {
        std::fill(model->bounds, model->bounds + 6, 0.0f);
        return;
    }
    const ModelVertex& first = model->vertices.front();
    float* b = model->bounds;
    b[0] = b[3] = first.x;
    b[1] = b[4] = first.y;
    b[2] = b[5] = first.z;
    for (const ModelVertex& v : model->vertices) {
        b[0] = std::min(b[0], v.x);
        b[1] = std::min(b[1], v.y);
        b[2] = std::min(b[2], v.z);
        b[3] = std::max(b[3], v.x);
        b[4] = std::max(b[4], v.y);
        b[5] = std::max(b[5], v.z);
    }
}

void SetModelTriangleOwners(ModelObject* model) {
    for (ModelTriangle& triangle : model->triangles) triangle.owner = model;
}

bool ModelTriangleIsTextured(const ModelObject& model, const ModelTriangle& triangle) {
    return triangle.texture < model.textures.size() && HasWholePixels(model.textures[triangle.texture].colour);
}

bool ModelTextureRgba(const ModelTexture& texture, PixelImage* rgba) {
    if (!HasWholePixels(texture.colour) || !CopyImageAs(rgba, texture.colour, kFormatRgba)) return false;
    const PixelImage& alpha = texture.alpha;
    if (alpha.format == kFormatAlpha && alpha.width == rgba->width && alpha.height == rgba->height &&
        HasWholePixels(alpha))
        SetImageChannel(rgba, 3, alpha.pixels.data());
    return true;
}

void MakeModelTextureNamesUnique(ModelObject* model, size_t max_length) {
    std::set<std::string> taken;
    for (ModelTexture& texture : model->textures) {
        std::string base = texture.name.empty() ? std::string("Texture") : texture.name;
        if (base.size() > max_length) base.resize(max_length);
        std::string name = base;
        for (unsigned n = 2; taken.count(name) != 0; ++n) {
            const std::string suffix = " " + std::to_string(n);
            const size_t keep = suffix.size() < max_length ? std::min(base.size(), max_length - suffix.size()) : 0;
            name = base.substr(0, keep) + suffix;
        }
        taken.insert(name);
        texture.name = name;
    }
}

}  // namespace pirn
