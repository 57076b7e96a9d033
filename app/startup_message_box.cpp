#include "app/startup_message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/native_dialogs.h"
#include "platform/os/os_dialogs.h"

namespace pirn {

void ShowStartupMessageBox(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    const char* off = std::getenv(kNoNativeBoxesVariable);
    if (off && std::strcmp(off, "1") == 0) return;
    if (NativeDialogBackend* backend = OsNativeDialogBackend()) backend->ShowError(caption, text);
}

}  // namespace pirn
