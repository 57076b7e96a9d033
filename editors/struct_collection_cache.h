#pragma once
// The collections struct editors show sequence names from. A collection is
// loaded once per '.256' tag and attached to the tag under 'sedi', one
// reference per cache entry that holds it, so that every editor showing the
// same collection shares one object and the tag stays in use while it is
// shown. Entries are kept per editor, member and element: a widget's
// collection is only ever replaced by that widget's own next lookup, never by
// a lookup made for another element of the same member.

#include <cstddef>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

class TagMember;
struct TagEntry;

// The collection named by element `index` of a tag member holding `tag_id`:
// a '.256' member names the collection's tag itself, a 'core' member a
// collection reference whose first field does. Null when the tag is missing
// or its collection does not load. The collection stays loaded until the
// same entry is looked up for another collection or the editor's entries
// are dropped.
Collection* LookupCachedCollection(const void* editor, const TagMember& member, u32 index, u32 tag_id);
// Releases every entry of the editor (its collections are freed with their
// last reference).
void DropCachedCollections(const void* editor);

// Entries held (all editors).
size_t CachedCollectionEntryCount();
// The '.256' tag's shared collection, or null when no editor holds it.
Collection* FindSharedCollection(const TagEntry* collection_tag);

// A collection loaded from a '.256' tag without its pixels (the editors need
// only its names), or null when the tag cannot be read or does not load.
Collection* LoadCollectionFromTag(TagEntry* tag);

}  // namespace pirn
