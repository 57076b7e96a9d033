#include "platform/os/core/zenity_dialog_backend.h"
#include "platform/os/os_dialogs.h"
#include "platform/os/os_window.h"

namespace pirn {

NativeDialogBackend* OsNativeDialogBackend() {
    // Dialogs are attached to the program window so the desktop keeps them
    // above it.
    static ZenityDialogBackend backend([] { return OsGetNativeWindow(); });
    return &backend;
}

}  // namespace pirn
