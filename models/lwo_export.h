#pragma once
// Writing a model as a LightWave object (LWO2) with its textures as PNG
// files beside it: one layer of the model's points (x mirrored back) and
// triangles, one surface per texture mapped by a UV map of its own name,
// and one image clip per texture that has pixels.
//
// Names come from tag data and are made safe first: file names keep only
// their last part, lose characters no file name may hold, never come out
// empty or as ".png" alone, and never collide, so no texture overwrites
// another's file; surface names are made distinct so that the object keeps
// one surface per texture when it is read back.

#include <string>
#include <vector>

#include "models/model_object.h"

namespace pirn {

struct LwoExportResult {
    bool written = false;                  // the LWO file is in place
    std::string lwo_path;
    std::vector<std::string> texture_files;  // per texture, "" without pixels
    std::vector<std::string> surface_names;  // per texture, then "Default" when used
    std::vector<std::string> problems;       // one line each, for the user
};

// Makes the folder (an existing one is fine), writes the object as
// folder/name".lwo" (no second ".lwo" when the name ends in it), then its
// PNG files. A PNG that cannot be written is a problem but does not stop
// the export; an object that cannot be written stops it before any PNG is
// written, so that nothing of a failed export is left in the folder.
LwoExportResult ExportLwoModel(const ModelObject& model, const std::string& folder, const std::string& name);

// The LWO2 bytes of the model with the given texture file and surface
// names (as ExportLwoModel chooses them).
std::vector<u8> EncodeLwoModel(const ModelObject& model, const std::vector<std::string>& texture_files,
                               const std::vector<std::string>& surface_names);

// The file name a texture asks for: its file name's last part made safe,
// ".png" added unless it ends so; "texture<number>.png" when nothing usable
// is left.
std::string LwoTextureBaseName(const std::string& file_name, size_t number);
// That name, with " 2", " 3", ... before the extension while `taken`
// (compared without case) holds it; the result is added to `taken`.
// Textures asking for the same name with the same picture share one file.
std::string LwoTextureFileName(const std::string& file_name, size_t number, std::vector<std::string>* taken);

// The folder as the export joins it: backslashes become '/', * ? < > |
// become '_', and it ends in '/'.
std::string CanonicalExportFolder(const std::string& folder);

// The pseudo-random colours of the surfaces: state x 214013 + 2531011,
// (state >> 16) & 0x7FFF.
class LwoColourSequence {
public:
    explicit LwoColourSequence(u32 seed) : state_(seed) {}
    u32 Next() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFFu;
    }

private:
    u32 state_;
};

}  // namespace pirn
