#pragma once
// Keyed, reference-counted attachments of windows and resources to a tag.
// Any attachment marks the tag as in use: it cannot be deleted, and its
// archive cannot be closed.

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kAttachEditor = 0x65646974;       // 'edit'
constexpr u32 kAttachResource = 0x74726573;     // 'tres'
constexpr u32 kAttachInfoWindow = 0x696E666F;   // 'info'
constexpr u32 kAttachStructEditor = 0x73656469; // 'sedi'

// An attachment of the same key whose value equals `value` (or where either
// value is null) gains a reference; otherwise a new one is appended.
// Returns the attachment's reference count.
u32 AttachToTag(TagEntry* tag, u32 key, void* value);
// Lowers the first matching attachment; removes it at zero and frees a tag
// left with neither attachments nor sources. Returns the count left, or
// 0xFFFFFFFF when nothing matched.
u32 DetachFromTag(TagEntry* tag, u32 key, void* value);
void* FindTagAttachment(const TagEntry* tag, u32 key);
// 0 past the end.
int GetTagAttachment(const TagEntry* tag, u32 index, u32* key, void** value);

}  // namespace pirn
