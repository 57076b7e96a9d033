#include "app/game_archives.h"

#include <algorithm>
#include <vector>

#include "codex/archive_list.h"
#include "platform/file_system.h"
#include "platform/zarn_path.h"

namespace pirn {

namespace {

u32 AddFolder(const std::string& folder) {
    std::vector<std::string> files;
    ListDirectoryFiles(folder, files, false, false);
    std::sort(files.begin(), files.end());
    u32 added = 0;
    for (const std::string& name : files) {
        const std::string path = folder + name;
        if (AddArchive(path)) ++added;  // anything else is logged and left out
    }
    return added;
}

}  // namespace

u32 AddGameArchivesFrom(const std::string& game) {
    const std::string root = EnsureTrailingSlash(game);
    return AddFolder(root + "tags/") + AddFolder(root + "plugins/");
}

u32 AddGameArchives() { return AddGameArchivesFrom(GetZarnPath()); }

}  // namespace pirn
