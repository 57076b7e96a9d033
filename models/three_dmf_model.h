#pragma once
// A model from a 3DMF text file: one texture per TriMesh (its pixmap), the
// points of every mesh in order and their triangles.

#include <memory>
#include <string>

#include "models/model_object.h"

namespace pirn {

// Null with the reader's message set when the file cannot be read or parsed.
std::unique_ptr<ModelObject> Load3dmfModel(const std::string& path, std::string* message);
// The same from the file's text.
std::unique_ptr<ModelObject> Load3dmfModelFromText(const std::string& text, std::string* message);

}  // namespace pirn
