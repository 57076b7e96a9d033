#pragma once
// What the "Build Standard Collection" dialog does with its fields, apart
// from the window: the checks of the OK button, the questions before a
// local collection is replaced, the build and the save. The old local tag
// stays as it is until the new collection has been built and written.

#include <string>

#include "codex/tag_entry.h"
#include "collections/collection_builder.h"
#include "platform/user_prompts.h"

namespace pirn {

struct AutoCollectionFields {
    std::string name;
    std::string path;
    std::string tag_id;  // up to four characters, or empty
    std::string registration_x;
    std::string registration_y;
    bool invert_alphas = false;
    bool frames_then_views = false;
};

// A registration coordinate: an integer whose magnitude is below 4097.
bool ParseRegistrationValue(const std::string& text, i32* value);
// The tag id field as a four-character code (shorter text padded with
// blanks); kNoTagId for an empty field.
u32 ParseTagIdField(const std::string& text);

// The OK button's checks in order; the first that fails shows its box.
// True with the settings and tag id filled when all pass.
bool CheckAutoCollectionFields(const AutoCollectionFields& fields, UserPrompts& prompts,
                               CollectionBuildSettings* settings, u32* tag_id);

// After the fields were stored: asks before replacing a local collection
// of the same tag id or name, builds, and saves the collection as a local
// tag. The new tag, or null when the user declined or the build failed
// (then a box has said so).
TagEntry* RunAutoCollectionBuild(const CollectionBuildSettings& settings, u32 tag_id, UserPrompts& prompts);

}  // namespace pirn
