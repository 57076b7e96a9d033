#pragma once
// The local folder: loose tag files in one subfolder per tag group (named by
// the group's plural label), watched by polling. A local file is the
// effective copy of its tag, above every archive.

#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

// Stores the normalised root, drops every local source, removes what
// interrupted saves left in the root and the group folders, watches the 53
// group folders and reads them at once.
void SetLocalFolder(const std::string& path);
// The normalised local root ("" before SetLocalFolder).
const std::string& GetLocalFolder();
// Rescans when forced or when the Codex marked the folder changed.
void PollLocalFolder(bool forced);

// Adds a local source for a header read from `file_name`; null when refused
// (the entry already has a local source: silently for the same file name,
// with the duplicate line for another).
TagSource* AddLocalTagSource(const TagHeader& header, const std::string& file_name);
// The same for a file this program has just written, telling listeners
// (event 1, or 2 when an active archive also holds the tag).
TagSource* AnnounceLocalTagSource(const TagHeader& header, const std::string& file_name);
// Drops the local source of every local tag; 0 at the first one in use.
int DropLocalTags();

// root + the group's plural label (its four characters for an unknown
// group), normalised (ends in '/').
std::string GetGroupFolderPath(const std::string& root, u32 group);
// local root + label + '/' + file name (the header's name when none).
std::string GetLocalTagPath(const TagHeader& header, const char* file_name);
// Whether local root + label + '/' + the name made safe exists.
bool LocalTagFileExists(u32 group, const char* name);

}  // namespace pirn

namespace pirn {

// Takes away a tag's local source, telling listeners first when the tag
// stops being available (event 4) or afterwards when an active archive
// still holds it (event 2). The tag may be freed.
void RemoveLocalSource(TagEntry* tag);

}  // namespace pirn
