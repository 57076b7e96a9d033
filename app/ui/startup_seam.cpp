#include "app/ui/startup_seam.h"

#include "app/startup_log.h"
#include "app/ui/archive_browser.h"
#include "app/ui/codex_start.h"
#include "app/ui/pirn_splash_screen.h"
#include "app/ui/program_editors.h"
#include "app/ui/root_menu.h"
#include "codex/codex.h"
#include "platform/pref_store.h"
#include "ui/log_viewer.h"

namespace pirn {

namespace {
constexpr char kShowSplashKey[] = "ShowSplash";
}

void StartProgramTools() {
    // Before anything that may log (the Codex above all), so that no
    // message is lost and the user sees those that ask for attention.
    InstallLogViewer();
    CreateRootMenu();
    WriteLog("Window System Initialized");
    RegisterProgramEditors();
    WriteLog("XML Editors Initialized");
    InitCodex();
    WriteLog("Codex Initialized");
    OpenArchiveBrowser();
    WriteLog("Archive Browser Opened");
}

// 1 shows the splash once (the preference becomes 0), 2 or more at every
// start, 0 never.
void RunStartupSplash() {
    i32 show = 0;
    if (!GetPrefInt(kShowSplashKey, &show) || show < 1) return;
    RunSplashScreen();
    if (show == 1) SetPrefInt(kShowSplashKey, 0);
}

void StopProgramTools() {
    SetArchiveBrowserListener(false);
    UnloadCodex();
}

}  // namespace pirn
