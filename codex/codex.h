#pragma once
// The Codex, the tag database: every tag the game can see, from its archives
// and the local folder. One catalogue per process, used from the UI thread.

#include "codex/archive.h"
#include "codex/archive_list.h"
#include "codex/codex_catalogue.h"
#include "codex/codex_events.h"
#include "codex/local_folder.h"
#include "codex/tag_attachments.h"
#include "codex/tag_entry.h"
#include "codex/tag_operations.h"

namespace pirn {

// Closes every archive, drops every local source, frees unused entries and
// the folder watchers. 1 only when everything was released; a tag in use keeps its
// archive and the local tags in place (0).
int UnloadCodex();

// Teaches file identification (platform/image_file.h) the two
// Codex formats: a file that begins with a valid tag header is a tag, one
// with a valid archive header an archive, each with its parsed header kept.
// The Codex start calls it; calling it again changes nothing.
void RegisterCodexFileKinds();

}  // namespace pirn
