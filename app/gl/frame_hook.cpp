#include "app/gl/frame_hook.h"

#include "codex/codex_catalogue.h"
#include "codex/local_folder.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "ui/frame_step.h"
#include "ui/frame_timer.h"
#include "ui/gl/frame_presentation.h"
#include "ui/idle_wait.h"
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
    } else {
        // A change this program made to the local folder is read by the
        // next frame's poll.
        if (IsLocalFolderChanged()) RequestFrameBy(OsGetTime());
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
