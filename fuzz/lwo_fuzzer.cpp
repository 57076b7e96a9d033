// LightWave objects (LWO2 and LWOB) as the model import reads them: the
// object, then its first layer made into a model (polygons into fans of
// triangles, surfaces into textures). A model that comes out has every
// index inside it, goes into the geometry and model tags or is refused
// with a message, and its LWO export reads back with the same triangles.

#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/model_harness.h"
#include "models/lwo_object.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn::LwoReadFailure failure;
    std::unique_ptr<pirn::LwoObject> object = pirn::LwoReadObjectBytes(data, size, &failure);
    if (!object) return 0;
    FUZZ_CHECK(!object->layers.empty());
    std::string message;
    std::unique_ptr<pirn::ModelObject> model = pirn::LwoObjectToModel(*object, pirn_fuzz::ScratchFolder(), &message);
    if (!model) return 0;
    pirn_fuzz::CheckModelIndices(*model);
    pirn_fuzz::CheckModelImport(*model);
    pirn_fuzz::CheckLwoExport(*model);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
