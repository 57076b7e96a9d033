#pragma once
// Writing a plugin archive: the only way archives are written, always whole.

#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

// Writes the tags' effective copies as the archive "<game folder>/plugins/
// <name>" (game folder from the ZarnPath preference) and adds it to the
// Codex. The file is written beside the target first and renamed into place
// only when complete, so a failure leaves an older plugin of the same name
// as it was. An open archive of that path is closed first (refused when one
// of its tags is in use); if it was active the new one takes its place in
// the working set. Tags are identified by (group, tag id) before that close:
// entries of `tags` that lived only in the replaced plugin may be freed, so
// callers must not use their list afterwards. Refuses more than 65,535 tags,
// files past 4 GiB, names that are not a safe file name and kinds that are
// not read (0, 4, 8 and above). 1 on success.
int BuildPluginFile(const TagList& tags, u32 kind, const std::string& name, const std::string& description,
                    u16 priority);

// The same into a given plugins folder (created when missing).
int BuildPluginFileInFolder(const std::string& plugins_folder, const TagList& tags, u32 kind,
                            const std::string& name, const std::string& description, u16 priority);

}  // namespace pirn
