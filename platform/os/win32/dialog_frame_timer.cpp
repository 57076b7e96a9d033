#include "platform/os/win32/dialog_frame_timer.h"

#include <windows.h>

#include "platform/native_dialogs.h"

namespace pirn {
namespace win32 {
namespace {

constexpr UINT kFrameIntervalMs = 50;
bool g_in_frame = false;

// Thread timers reach their procedure from whatever loop dispatches the
// thread's messages, the dialog's included.
void CALLBACK DrawFrame(HWND, UINT, UINT_PTR, DWORD) {
    // A frame that itself waits on messages must not start another.
    if (g_in_frame) return;
    g_in_frame = true;
    RunNativeDialogFrame();
    g_in_frame = false;
}

}  // namespace

DialogFrameTimer::DialogFrameTimer() : id_(SetTimer(nullptr, 0, kFrameIntervalMs, DrawFrame)) {}

DialogFrameTimer::~DialogFrameTimer() {
    if (id_ != 0) KillTimer(nullptr, static_cast<UINT_PTR>(id_));
}

}  // namespace win32
}  // namespace pirn
