#pragma once
// A model from the first layer of a LightWave object: its triangles, one
// texture per surface in order of first use, and texture coordinates from
// the UV map the surface's image names.

#include <memory>
#include <string>

#include "models/lwo_object.h"
#include "models/model_object.h"

namespace pirn {

// Image files named by clips are looked up in `folder` under the part of
// the clip's name after its last ':' and then its last '/' or '\'. Null
// with a message when a polygon is not a triangle. Textures are named after
// their surfaces (made distinct within 31 characters, the room a material
// name has) so that the model keeps its surfaces through a tag and back.
std::unique_ptr<ModelObject> LwoObjectToModel(const LwoObject& object, const std::string& folder,
                                              std::string* message);

// The file name a clip's path is reduced to.
std::string LwoClipFileName(const std::string& clip_path);

}  // namespace pirn
