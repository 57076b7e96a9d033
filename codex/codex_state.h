#pragma once
// The Codex's process-wide state, shared by the files of the catalogue. Not
// for use outside codex/.

#include <string>
#include <vector>

#include "codex/archive.h"
#include "codex/codex_events.h"
#include "codex/id_map.h"
#include "codex/tag_entry.h"
#include "platform/folder_watcher.h"

namespace pirn {

struct CodexListenerSlot {
    CodexListener function;
    void* context;
};

using TagIdMap = IdMap<TagEntry>;

struct CodexState {
    std::vector<Archive*> archives;  // in CompareArchives order after each working-set change
    IdMap<TagIdMap> groups;          // group code -> tag id -> entry
    std::string local_root;          // normalised, ends in '/'; empty before SetLocalFolder
    FolderWatcherList watchers;     // one per group, in table order
    bool local_folder_changed = false;
    std::vector<CodexListenerSlot> listeners;
    u64 next_open_order = 0;
};

CodexState& TheCodex();

// The tag ids of one group, the map made and indexed when missing; and
// FindOrCreateTagEntry within such a map.
TagIdMap* FindOrCreateGroupMap(u32 group);
TagEntry* FindOrCreateTagEntryIn(TagIdMap* ids, u32 group, u32 tag_id);

}  // namespace pirn
