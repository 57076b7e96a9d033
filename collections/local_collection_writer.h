#pragma once
// Storing a collection a builder made as a local '.256' tag without losing
// what was there: the new file is written completely (to a temporary file
// that replaces the tag's own local file only once complete), and only
// then is another local tag in its way (one whose file has the new name)
// deleted and the new file given its name. A failed write changes nothing
// on disk.

#include <string>

#include "codex/tag_entry.h"
#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kCollectionGroup = 0x2E323536;  // '.256'

// The local '.256' tag whose file is the one a tag of this name would get,
// or null.
TagEntry* FindLocalCollectionByName(const char* name);
// The '.256' tag the builders would write for (tag_id, name): tag_id
// itself; for kNoTagId the tag whose local file has the name; else null (a
// fresh id will be made).
TagEntry* FindCollectionTarget(u32 tag_id, const char* name);

// Saves the collection as the local copy of '.256' tag tag_id (kNoTagId:
// the tag whose local file has the name, else a fresh id made from the
// name) under `name`. Returns the tag, or null when nothing was written (a
// tag in use, a name that cannot be a file name, a failed write: logged
// under "Codex").
TagEntry* SaveCollectionAsLocalTag(Collection* collection, u32 tag_id, const char* name);

}  // namespace pirn
