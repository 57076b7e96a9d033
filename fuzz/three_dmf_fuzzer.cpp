// 3DMF text files as the model import reads them (the tokenizer, then the
// TriMesh, AttributeArray and PixmapTexture objects, every other token
// stepped over). A model that comes out has every index inside it, goes
// into the geometry and model tags or is refused with a message, and its
// LWO export reads back with the same triangles.

#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/model_harness.h"
#include "models/three_dmf_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    std::string message;
    std::unique_ptr<pirn::ModelObject> model =
        pirn::Load3dmfModelFromText(std::string(reinterpret_cast<const char*>(data), size), &message);
    if (!model) {
        FUZZ_CHECK(!message.empty());
        return 0;
    }
    pirn_fuzz::CheckModelIndices(*model);
    pirn_fuzz::CheckModelImport(*model);
    pirn_fuzz::CheckLwoExport(*model);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
