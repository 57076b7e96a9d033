#include "app/startup_seam.h"

#include "app/core/startup_log.h"

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
