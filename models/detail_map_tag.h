#pragma once
// Detail maps as tags: loading a 'dmap' tag's effective copy, saving one
// into the local folder, and the listing the detail-map editor shows.

#include <memory>
#include <string>

#include "codex/tag_entry.h"
#include "models/detail_map.h"
#include "platform/types.h"

namespace pirn {

// The tag's effective copy decoded, or null.
std::unique_ptr<DetailMap> LoadDetailMapTag(TagEntry* tag, bool keep_raw_values = false);
// Writes the map as the tag's local file (version 2, and the file says so
// even for a tag created as version 1). `header` is the caller's copy of the
// tag's header (from CreateTag for a new tag; it names the file) and is
// updated. 1 on success; a failure keeps the previous file.
int SaveDetailMapTag(TagEntry* tag, TagHeader* header, const DetailMap& map);

// One line "%s - %s\n" per entry that names a texture: the id's four
// characters, then the name of the 'dtex' tag with that id in the Codex or
// "<not found>".
std::string FormatDetailMapListing(const DetailMap& map);

}  // namespace pirn
