#include "app/ui/startup_seam.h"

#include "app/startup_log.h"
#include "codex/codex.h"
#include "ui/log_viewer.h"

namespace pirn {

namespace {

// The steps below that are still empty leave the program on an empty
// desktop. The log keeps its full sequence meanwhile, so a step that is
// filled in later changes what happens, not what the log looks like.
void CreateRootMenu() {}
void RegisterTagEditors() {}

// From here on the file dialogs and the import commands tell tag files and
// archives apart from other files.
void StartCodex() { RegisterCodexFileKinds(); }

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
