#include "app/gl/frame_hook.h"

#include "app/ui/idle_wait.h"
#include "codex/local_folder.h"
#include "platform/os/os_window.h"
#include "ui/frame_step.h"
#include "ui/gl/frame_presentation.h"
#include "ui/window_report.h"

namespace pirn {

namespace {

IdleWait g_idleWait;

}  // namespace

int RunFrame() {
    OsPollEvents();
    const bool active = IsInputActive();
    PollLocalFolder(false);
    if (StepFrame()) {
        PresentFrame();
        g_idleWait.NoteDrawn();
    } else {
        g_idleWait.Rest(active);
    }
    PublishWindowReport();
    return 1;
}

void HandleWindowRefresh() {
    InvalidateAll();
    if (IsNativeDialogMode()) {
        RenderFrame();
        PresentFrame();
    }
}

}  // namespace pirn
