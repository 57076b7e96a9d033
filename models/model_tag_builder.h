#pragma once
// Writing a model into the local folder as its four tags (geometry,
// collection, collection reference, model tag), all named alike, in one
// step: either all four are written, or none is and every tag that was
// there before is as it was.
//
// Local tags of the same name in any of the four groups are replaced only
// after the user agreed (one question for all of them) and never while one
// of them is in use (open in an editor, loaded by another one). New tags get
// ids made from the name; a replaced tag keeps its id, so that whatever
// points at it still does.

#include <string>

#include "codex/tag_entry.h"
#include "models/model_object.h"
#include "platform/user_prompts.h"

namespace pirn {

enum class ModelTagsOutcome {
    kBuilt,
    kCancelled,  // the user chose to keep the local tags of that name
    kFailed,     // the reason is in the message
};

// The question asked before local tags are replaced.
extern const char* const kReplaceModelTagsCaption;     // "Replace?"
std::string ReplaceModelTagsText(const std::string& name, const std::string& labels);

// The new (or rewritten) 'geom' tag's entry, or null with the outcome and,
// for a failure, the reason in `message`. The model must have a name that
// can be a tag name.
TagEntry* BuildModelTags(const ModelObject& model, const std::string& name, UserPrompts& prompts,
                         ModelTagsOutcome* outcome, std::string* message);

}  // namespace pirn
