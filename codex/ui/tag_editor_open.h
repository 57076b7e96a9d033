#pragma once
// Opening and creating tags in their editors: the only way the Archive
// Browser, the root menu and the builders bring up an editor. Each tag has
// at most one editor; opening it again raises the one already open.

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

class TagEdit;

// The tag's open editor raised, or a new editor from its group's factory,
// loaded and shown. Null when the group has no editor, or when loading
// failed (the user is told: "The tag could not be loaded.").
TagEdit* OpenTagEditor(TagEntry* tag);

// A new tag of the group in a new editor, shown and marked modified, so
// that closing it asks to save; its file is written by the first save.
// Null when the group has no editor, or when the tag cannot be made (the
// user is told: "The tag file '%s' could not be created; It may already
// exist.").
TagEdit* CreateTagWithEditor(u32 group, const char* name);

// Asks for the name of a new tag of the group ("Enter Name for %s", the
// field filled with the suggestion, or empty), then CreateTagWithEditor.
// Null on Cancel, for an empty name ("You must specify a name.") or an
// unknown group.
TagEdit* PromptNewTag(u32 group, const char* suggestion);

}  // namespace pirn
