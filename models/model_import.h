#pragma once
// The two model imports: a LightWave object or a 3DMF text file becomes
// the four tags of a model (models/model_tag_builder.h). Both report under
// the log topic "Model Import": the start, what could not be read or was
// left out, and how the import ended.

#include <string>

#include "codex/tag_entry.h"
#include "platform/user_prompts.h"

namespace pirn {

extern const char* const kModelImportTopic;  // "Model Import"

// `folder` is where the object's image files are looked for (the object's
// own folder). The new 'geom' tag's entry, or null; then `failure` (when
// given) says why in one line for the user, or is empty when the user chose
// to keep the local tags of that name.
TagEntry* ImportLwoModel(const std::string& path, const std::string& folder, const std::string& name,
                         UserPrompts& prompts, std::string* failure = nullptr);
TagEntry* Import3dmfModel(const std::string& path, const std::string& name, UserPrompts& prompts,
                          std::string* failure = nullptr);

}  // namespace pirn
