#pragma once
// The display model of a geometry tag: vertices back in model axes,
// triangles with their texture coordinates and transparency, one texture per
// material. Indices read from the tag are checked: a triangle naming a
// vertex the tag does not have is left out, and one naming a material it
// does not have is drawn untextured.

#include <functional>
#include <memory>

#include "models/geom_data.h"
#include "models/model_object.h"

namespace pirn {

// Fills texture `index` for material `material` (from the collection the
// geometry's 'core' reference names: its name from the material's sequence,
// its images and file name from that sequence's first bitmap). A texture it
// leaves without pixels is drawn untextured.
using GeomTextureFiller = std::function<void(u32 index, const GeomMaterial& material, ModelTexture* texture)>;

struct GeomDisplayProblems {
    u32 triangles_left_out = 0;   // a corner named a vertex beyond the vertex count
    u32 bad_materials = 0;        // triangles drawn untextured for a bad material index
};

// Never null. `fill` may be empty (textures stay empty), `problems` null.
std::unique_ptr<ModelObject> GeomDataToModel(const GeomData& geom, const GeomTextureFiller& fill,
                                             GeomDisplayProblems* problems);

}  // namespace pirn
