#pragma once
// The geometry tag data of a model: one material per texture, the vertices
// in stored axes and every triangle with its corners, normal and plane.

#include <string>

#include "models/geom_data.h"
#include "models/model_object.h"

namespace pirn {

// Largest count of vertices, triangles or materials a geometry holds.
constexpr size_t kGeomMaxCount = 0xFFFF;

// Whether every count, coordinate and index of the model fits the 16-bit
// fields of a geometry (coordinates within -64..64 units once stored).
// False with a message for the user when not.
bool CheckModelFitsGeom(const ModelObject& model, std::string* message);

// Fills `geom` from the model after CheckModelFitsGeom; texture coordinates
// outside 0..1 are clamped. False (geom untouched) with its message when the
// model does not fit.
bool BuildGeomData(const ModelObject& model, u32 core_tag_id, GeomData* geom, std::string* message);

}  // namespace pirn
