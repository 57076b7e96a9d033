#pragma once
// The native-dialog backend of the linked operating-system backend: zenity
// in the Linux program, the system's own dialogs in the Windows program,
// scripted answers in the headless backend. Start-up hands
// it to SetNativeDialogBackend (platform/native_dialogs.h).

#include "platform/native_dialogs.h"

namespace pirn {

NativeDialogBackend* OsNativeDialogBackend();

}  // namespace pirn
