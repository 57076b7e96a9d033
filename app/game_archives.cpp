#include "app/game_archives.h"

#include "codex/archive_list.h"
#include "platform/file_system.h"
#include "platform/zarn_path.h"

namespace pirn {

u32 AddGameArchivesFrom(const std::string& game) {
    const std::string root = EnsureTrailingSlash(game);
    // Each folder is cleared of what interrupted plugin builds left there.
    return AddArchivesInFolder(root + "tags/") + AddArchivesInFolder(root + "plugins/");
}

u32 AddGameArchives() { return AddGameArchivesFrom(GetZarnPath()); }

}  // namespace pirn
