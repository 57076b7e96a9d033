#pragma once
// What the "Build High-Res Collection" dialog does with its fields, apart
// from the window: the checks of the OK button, the question before the
// local copy is replaced, the run and the save; and "Create", which lays
// out an empty folder tree for a collection's high-resolution frames.
//
// The collection is always read from its archive copy. A local copy it may
// have is replaced only once the new collection has been built and
// written.

#include <string>

#include "codex/tag_entry.h"
#include "collections/uprez_builder.h"
#include "platform/user_prompts.h"

namespace pirn {

struct AutoUpResFields {
    TagEntry* collection = nullptr;
    std::string high_res_path;
    std::string scale;
    std::string scale_tolerance;
    std::string object_scale;
    bool invert_alphas = false;
    bool frames_then_views = false;
    bool align_individually = false;
};

// A real number field: the whole text (blanks around it aside) is one
// number within [low, high].
bool ParseScaleField(const std::string& text, double low, double high, double* value);

// The OK button's checks up to the question about the local copy; the
// first that fails shows its box. True with the settings filled (target =
// object scale x target scale).
bool CheckAutoUpResFields(const AutoUpResFields& fields, UserPrompts& prompts, UpResSettings* settings);
// Step 6: a collection only in the local folder is refused; with a local
// copy beside an archive's, asks before replacing it. False to stop.
bool ConfirmUpResTarget(TagEntry* collection, UserPrompts& prompts);

// Reads the archive copy, runs the build and saves the result as the
// local copy of the same tag. The tag, or null after a box saying why.
TagEntry* RunUpRes(TagEntry* collection, const UpResSettings& settings, UserPrompts& prompts);

// "Create" once a location was chosen: location/<collection name>/ with
// one empty folder per sequence (names from the tag made safe as folder
// names). The folder made, or "" after a box.
std::string CreateHighResFolders(TagEntry* collection, const std::string& location, UserPrompts& prompts);
// The check "Create" makes before it asks for the location.
bool CheckHighResFoldersCollection(TagEntry* collection, UserPrompts& prompts);

}  // namespace pirn
