#include "app/ui/codex_start.h"

#include "app/game_archives.h"
#include "app/ui/archive_browser.h"
#include "codex/codex.h"
#include "platform/zarn_path.h"

namespace pirn {

void InitCodex() {
    // From here on the file dialogs and the import commands tell tag files
    // and archives apart from other files.
    RegisterCodexFileKinds();
    UnloadCodex();
    CloseArchiveBrowser();
    SetArchiveBrowserListener(false);
    SetArchiveBrowserListener(true);
    AddGameArchives();
    SetLocalFolder(GetZarnPath() + "local");
    SetDefaultWorkingSet();
    OpenArchiveBrowser();
}

}  // namespace pirn
