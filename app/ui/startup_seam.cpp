#include "app/ui/startup_seam.h"

#include "app/startup_log.h"
#include "ui/log_viewer.h"

namespace pirn {

namespace {

// Each step below is still empty: the program starts to an empty desktop.
// The log keeps its full sequence meanwhile, so a step that is filled in
// later changes what happens, not what the log looks like.
void CreateRootMenu() {}
void RegisterTagEditors() {}
void StartCodex() {}
void OpenStartupArchiveBrowser() {}

}  // namespace

void StartProgramTools() {
    // Before anything that may log (the Codex above all), so that no
    // message is lost and the user sees those that ask for attention.
    InstallLogViewer();
    CreateRootMenu();
    WriteLog("Window System Initialized");
    RegisterTagEditors();
    WriteLog("XML Editors Initialized");
    StartCodex();
    WriteLog("Codex Initialized");
    OpenStartupArchiveBrowser();
    WriteLog("Archive Browser Opened");
}

void RunStartupSplash() {}

void StopProgramTools() {}

}  // namespace pirn
