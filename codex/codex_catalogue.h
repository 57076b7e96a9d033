#pragma once
// The catalogue of the Codex: one TagEntry per (group code, tag id), each
// with the places that hold the tag, and the rule that picks the effective
// copy: the local file if there is one; otherwise, among the entries in
// active archives, the highest precedence by kind, then the highest priority
// (unsigned), then the archive whose file name sorts last byte by byte.

#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kNoTagId = 0xFFFFFFFF;

// Lookup. "Available" means the tag has an effective copy.
TagEntry* FindTag(u32 group, u32 tag_id);
// The entry whatever its state (unavailable entries kept alive by
// attachments included), or null.
TagEntry* FindTagEntry(u32 group, u32 tag_id);
TagEntry* FindOrCreateTagEntry(u32 group, u32 tag_id);

TagSource* GetEffectiveSource(const TagEntry* tag);
// The copy that would be effective without the local file: the best entry
// in an active archive, or null.
TagSource* GetEffectiveArchiveSource(const TagEntry* tag);
TagSource* FindSourceOfPrecedence(const TagEntry* tag, u32 precedence);
// The effective copy's header; without one a placeholder: zero but group,
// tag id and the name "~codex_placeholder~".
void GetTagHeader(const TagEntry* tag, TagHeader* header);
// The effective copy's archive file name, "local folder" or "unknown".
const char* GetTagLocation(const TagEntry* tag);
// The same for a source already found (null: "unknown").
const char* GetSourceLocation(const TagSource* source);

bool IsTagLocal(const TagEntry* tag);
bool IsTagAvailable(const TagEntry* tag);
// A tag counts as taken when it is available or in use, even without a file.
bool IsTagTaken(const TagEntry* tag);
u32 GetTagUseCount(const TagEntry* tag);
u32 CountTagSources(const TagEntry* tag);
u32 CountTagUses();

// Lists append to `list` (the caller owns it).
void ListAllTags(TagList& list);
void ListLocalTags(TagList& list);
void ListGroupTags(u32 group, TagList& list);
// The tag of every entry of the archive, one per entry (entries whose id
// stands for no tag have none).
void ListArchiveTags(const Archive* archive, TagList& list);
void ListFoundationTags(TagList& list);
void DropUnavailableTags(TagList& list);
// Group code ascending, then the effective copy's name byte by byte, then
// tag id ascending.
void SortTagList(TagList& list);

// Sources. AddTagSource makes a precedence-3 source the local source.
void AddTagSource(TagEntry* entry, TagSource* source);
// Takes a source out of its owner; frees a local source; frees an owner left
// without sources and attachments.
void RemoveTagSource(TagSource* source);
// 0 while the entry has attachments; otherwise unindexes and frees it.
int FreeTagEntry(TagEntry* entry);
// Frees every entry that has neither sources nor attachments (new tags that
// were created but never used or saved).
void FreeUnusedTagEntries();

// Set whenever a source is added or removed or a tag file is written or
// deleted; cleared by every poll of the local folder.
void MarkLocalFolderChanged();
bool IsLocalFolderChanged();

}  // namespace pirn
