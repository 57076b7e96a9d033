#pragma once
// What the model harnesses (LWO, 3DMF) check of the model a reader made:
// every index points inside it; the model import's next steps (the
// geometry and model tags) take it or refuse it cleanly; and the LWO
// export of it reads back with the same triangles.

#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "models/geom_data.h"
#include "models/geom_from_model.h"
#include "models/lwo_export.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/model_mode_data.h"
#include "models/model_object.h"

namespace pirn_fuzz {

inline void CheckModelIndices(const pirn::ModelObject& model) {
    for (const pirn::ModelTriangle& triangle : model.triangles) {
        FUZZ_CHECK(triangle.texture == pirn::kNoModelTexture || triangle.texture < model.textures.size());
        for (const pirn::ModelCorner& corner : triangle.corners) FUZZ_CHECK(corner.vertex < model.vertices.size());
    }
    // A texture without pixels is empty, never half made.
    for (const pirn::ModelTexture& texture : model.textures)
        FUZZ_CHECK(texture.colour.pixels.empty() || pirn::HasWholePixels(texture.colour));
}

inline void CheckModelImport(const pirn::ModelObject& model) {
    std::string message;
    if (!pirn::CheckModelFitsGeom(model, &message)) return;
    pirn::GeomData geom;
    FUZZ_CHECK(pirn::BuildGeomData(model, 0x636F7265, &geom, &message));
    pirn::ModeData mode;
    pirn::BuildModeData(geom, 0x67656F6D, &mode);
}

// Exports the model into the scratch folder and reads the object back.
inline void CheckLwoExport(const pirn::ModelObject& model) {
    const std::string folder = ScratchFolder() + "/export";
    pirn::LwoExportResult result = pirn::ExportLwoModel(model, folder, "model");
    if (!result.written) return;
    pirn::LwoReadFailure failure;
    std::unique_ptr<pirn::LwoObject> object = pirn::LwoReadObjectFile(result.lwo_path, &failure);
    FUZZ_CHECK(object != nullptr);
    std::string message;
    std::unique_ptr<pirn::ModelObject> again = pirn::LwoObjectToModel(*object, folder, &message);
    FUZZ_CHECK(again != nullptr);
    FUZZ_CHECK(again->triangles.size() == model.triangles.size());
    CheckModelIndices(*again);
}

}  // namespace pirn_fuzz
