#pragma once
// Reading and changing tags: opening the effective copy, writing tag files
// into the local folder, creating, renaming, copying, deleting, and unpacking
// an archive into tag files. Tags are written only as local files; archives
// only whole, by the plugin writer.
//
// Saving is safe: a tag file is written to a temporary file beside it and
// renamed into place on commit, so a failed save leaves the last good file
// (and its local source) as it was, and a save never replaces a file that
// holds another tag. Renaming is all or nothing.

#include <cstdio>
#include <string>

#include "codex/archive.h"
#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kKeepTagId = 0xFFFFFFFE;  // ChangeTagInfo: keep the id (as does 0xFFFFFFFF)

// Reading. The stream is stored in the tag (one reader at a time; an
// earlier stream the caller forgot is closed first).
std::FILE* OpenTagSource(TagSource* source, TagHeader* header);
std::FILE* OpenTagForReading(TagEntry* tag, TagHeader* header);
void CloseTagForReading(TagEntry* tag);

// Writing. Makes `header` fresh (identifier -1, type 0, the tag's group and
// id, data offset 64, foundation and owner index 0xFF, signature 'zrn2') and
// returns a stream positioned after it, or null. file_name null: the tag's
// local file name, else the header's name made safe.
std::FILE* OpenTagForWriting(TagEntry* tag, TagHeader* header, const char* file_name);
// 1 when the temporary file for root + label + '/' + file name was made and
// the header written; 0 (logged) when it cannot be, or when that file holds
// another tag.
int CreateTagFile(const std::string& root, TagEntry* tag, const TagHeader& header, const char* file_name);
// Commit: fixes the header (data length; user data, version, foundation and
// owner index from `header` when given) and renames the file into place;
// the tag's local source gets the new header (or is added). Always closes
// the stream. 1 on success.
int CloseTagForWriting(TagEntry* tag, const TagHeader* header, int commit);

// tag_id 0xFFFFFFFF asks for an id made from the name. No file is written.
TagEntry* CreateTag(u32 group, u32 tag_id, const char* name, TagHeader* header, int allow_overwrite);
// Sets the header's id from its name, counting up past ids already taken;
// 0 when no id below 0xFFFFFFFE is left.
int MakeTagIdFromName(TagHeader* header);
// new_tag_id 0xFFFFFFFF or 0xFFFFFFFE keeps the id. Returns the tag's entry
// after the change (another one when the id changed), or null.
TagEntry* ChangeTagInfo(TagEntry* tag, u32 new_tag_id, const char* new_name);
TagEntry* CopyTag(TagEntry* tag, const char* name);
int CopyTagToLocal(TagEntry* tag);
int DeleteTag(TagEntry* tag);
// Writes every entry as destination + label + '/' + name. Never replaces a
// file: where the name is taken (a file already there, an earlier entry of
// the same name) the entry gets the first free "name 2", "name 3", ... and
// a level-1 line names both. 0 when the archive cannot be opened or an entry
// could not be written. Leaves no partial file and does not change the
// catalogue.
int DisassembleArchive(Archive* archive, const std::string& destination);
// n, or 0 when a read or write fails or n is 0.
u32 CopyStreamData(std::FILE* destination, std::FILE* source, u32 n);

}  // namespace pirn
