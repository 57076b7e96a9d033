#include "platform/os/os_dialogs.h"
#include "platform/os/os_window.h"
#include "platform/os/win32/dialog_backend.h"

namespace pirn {

NativeDialogBackend* OsNativeDialogBackend() {
    // Owned by the program window, so they stay above it and it waits for
    // them; before the window exists they stand alone.
    static win32::DialogBackend backend([] { return OsGetNativeWindow(); });
    return &backend;
}

}  // namespace pirn
