#pragma once
// The in-memory model every importer produces and every consumer (the
// model-tag builder, the LWO exporter, the 3D view) reads: vertices,
// triangles with per-corner texture coordinates and normals, and textures
// with their images. Coordinates are model units; texture coordinates have
// v = 0 at the top of the image.
//
// A model is made on the heap and never moved: every triangle points back at
// the model that owns it, so that the 3D view can sort the triangles of
// several models in one list.

#include <memory>
#include <string>
#include <vector>

#include "platform/os/gl_texture.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

struct ModelObject;

// Texture index of a triangle drawn without a texture.
constexpr u32 kNoModelTexture = 0xFFFFFFFFu;
// Opaque white: the colour of every imported triangle.
constexpr u32 kModelOpaqueWhite = 0xFFFFFFFFu;

struct ModelVertex {
    float x = 0, y = 0, z = 0;
    // Filled by the 3D view every frame.
    float window_x = 0, window_y = 0, window_depth = 0;
};

struct ModelCorner {
    u32 vertex = 0;
    float u = 0, v = 0;
    float normal[3] = {0, 0, 0};
};

struct ModelTriangle {
    float sort_key = 0;                 // filled by the 3D view
    const ModelObject* owner = nullptr;
    u32 texture = kNoModelTexture;      // position in the texture list
    u32 colour = kModelOpaqueWhite;     // top byte read as alpha
    ModelCorner corners[3];
    float normal[3] = {0, 0, 0};
};

struct ModelTexture {
    // The GL side stays zero in the headless core; the 3D view uploads the
    // colour image on first draw and releases the texture with the view.
    GlTexture gl;
    PixelImage colour;
    PixelImage alpha;                   // empty unless built from a collection
    std::string name;
    std::string file_name;
};

struct ModelObject {
    ModelObject() = default;
    ModelObject(const ModelObject&) = delete;
    ModelObject& operator=(const ModelObject&) = delete;

    float bounds[6] = {0, 0, 0, 0, 0, 0};  // min x, y, z, max x, y, z
    float pivot[3] = {0, 0, 0};
    std::vector<ModelVertex> vertices;
    std::vector<ModelTriangle> triangles;
    std::vector<ModelTexture> textures;
};

// Empties the model back to its state at creation.
void InitModelObject(ModelObject* model);
void FreeModelObject(ModelObject* model);

// Minimum and maximum over the vertices; all zero for a model without any.
void ComputeModelBounds(ModelObject* model);

// Points every triangle at its model.
void SetModelTriangleOwners(ModelObject* model);

// Whether the triangle has a texture with pixels to draw with.
bool ModelTriangleIsTextured(const ModelObject& model, const ModelTriangle& triangle);

// The texture's colour image as RGBA, its alpha from the alpha image when
// that is a plane of the same size (as a display build makes it). False
// when the texture has no pixels to show.
bool ModelTextureRgba(const ModelTexture& texture, PixelImage* rgba);

// Makes texture names distinct within their first max_length characters
// (the space a material name has in a geometry tag): an empty name becomes
// "Texture", a repeated one gets " 2", " 3", ... fitted into the limit.
void MakeModelTextureNamesUnique(ModelObject* model, size_t max_length);

}  // namespace pirn
