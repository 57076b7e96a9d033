#pragma once
// The game's archives: every file of the game folder's "tags" folder, then
// every file of its "plugins" folder, each opened as an archive.

#include <string>

#include "platform/types.h"

namespace pirn {

// Adds (AddArchive) every file directly in game + "tags/", then in game +
// "plugins/", each folder in file-name order; a file that is no readable
// archive is left out (the Codex logs why). A missing folder adds nothing.
// Returns the number of archives added.
u32 AddGameArchivesFrom(const std::string& game);
// The same for the game folder of the preferences (ZarnPath).
u32 AddGameArchives();

}  // namespace pirn
