#include "codex/codex.h"

#include "codex/codex_state.h"

namespace pirn {

int UnloadCodex() {
    int released = CloseAllArchives();
    if (!DropLocalTags()) return 0;
    FreeUnusedTagEntries();
    CodexState& codex = TheCodex();
    FreeFolderWatchers(codex.watchers);
    codex.local_folder_changed = false;
    return released;
}

}  // namespace pirn
