#pragma once
// A model from the first layer of a LightWave object: its triangles, one
// texture per surface in order of first use with the image its colour's
// first block names, and texture coordinates from the UV map of a
// UV-projected image.

#include <memory>
#include <string>
#include <vector>

#include "models/lwo_object.h"
#include "models/model_object.h"

namespace pirn {

// A surface whose image is laid on by a projection rather than a UV map.
struct LwoProjectedImage {
    std::string surface;
    u16 projection = 0;              // LwoProjection
};

// What the conversion did to polygons that are not triangles, and to
// images it could not place.
struct LwoConversionNotes {
    u32 split_polygons = 0;          // polygons of 4 or more corners made into fans
    u32 not_convex = 0;              // of those, the ones whose fans may overlap
    u32 skipped_points_lines = 0;    // polygons of fewer than 3 corners, left out
    u32 skipped_other_kinds = 0;     // curves, bones and metaballs, left out
    // Their images are loaded, but their corners get no texture coordinates
    // (u and v stay 0).
    std::vector<LwoProjectedImage> projected_images;
};

// Image files named by clips are looked up in `folder` under the part of
// the clip's name after its last ':' and then its last '/' or '\'.
// Polygons of 4 or more corners become fans of triangles around their first
// corner (LightWave objects are mostly quads); points, lines, curves, bones
// and metaballs are left out and counted in `notes`. Null with a message
// when the object has no layer. Textures are named after their surfaces
// (made distinct within 31 characters, the room a material name has) so
// that the model keeps its surfaces through a tag and back.
std::unique_ptr<ModelObject> LwoObjectToModel(const LwoObject& object, const std::string& folder,
                                              std::string* message, LwoConversionNotes* notes = nullptr);

// The file name a clip's path is reduced to.
std::string LwoClipFileName(const std::string& clip_path);

}  // namespace pirn
