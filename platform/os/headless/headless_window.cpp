#include "platform/os/core/cursor_show_count.h"
#include "platform/os/core/input_relay.h"
#include "platform/os/core/os_hook_list.h"
#include "platform/os/headless/headless_state.h"
#include "platform/os/os_window.h"
#include "platform/os/program_icon.h"

namespace pirn {
namespace {
using headless_state::Rec;
using headless_state::State;
}  // namespace

int OsInit() {
    os_relay::ResetInputRelay();
    os_cursor::ResetCursorShowCount();
    Rec().cursorShowCount = 0;
    Rec().cursorVisible = true;
    Rec().pointerLocked = false;
    Rec().libraryRunning = true;
    return 1;
}

int OsSetWindow(int width, int height, const char* title, int fullscreen, int vsync) {
    headless_state::HeadlessState& state = State();
    if (state.failNextWindow) {
        state.failNextWindow = false;
        return 0;
    }
    if (!state.record.libraryRunning || state.record.windowOpen || width <= 0 || height <= 0)
        return 0;
    headless::HeadlessRecord& rec = state.record;
    rec.windowOpen = true;
    rec.windowWidth = fullscreen ? state.screen.width : width;
    rec.windowHeight = fullscreen ? state.screen.height : height;
    rec.title = title ? title : "";
    rec.fullscreen = fullscreen;
    rec.vsync = vsync;
    return 1;
}

void OsTerminate() {
    if (!Rec().libraryRunning) return;
    os_hooks::RunTerminateHooks();
    Rec().windowOpen = false;
    Rec().libraryRunning = false;
    State().input.clear();
}

void OsPollEvents() {
    os_hooks::PollGuard guard;
    if (guard.nested()) {
        ++Rec().nestedPolls;
        return;
    }
    ++Rec().polls;
    // Only what was queued before this poll; callbacks may queue more for
    // the next one.
    size_t count = State().input.size();
    for (size_t i = 0; i < count && !State().input.empty(); ++i) {
        std::function<void()> event = std::move(State().input.front());
        State().input.pop_front();
        event();
    }
    os_hooks::RunPollHooks();
}

void OsSwapBuffers() {
    if (Rec().windowOpen) ++Rec().swaps;
}

void OsSetWindowTitle(const char* title) {
    if (Rec().windowOpen) Rec().title = title ? title : "";
}

void* OsGetProcAddress(const char*) { return nullptr; }
int OsExtensionSupported(const char*) { return 0; }
u64 OsGetNativeWindow() { return 0; }

void OsGetFramebufferSize(int* width, int* height) {
    bool open = Rec().windowOpen;
    if (width) *width = open ? Rec().windowWidth : 0;
    if (height) *height = open ? Rec().windowHeight : 0;
}

void OsGetWorkArea(int* x, int* y, int* width, int* height) {
    const headless_state::ScreenState& screen = State().screen;
    if (x) *x = screen.workX;
    if (y) *y = screen.workY;
    if (width) *width = screen.workWidth;
    if (height) *height = screen.workHeight;
}

void OsMaximizeWindow() {
    headless::HeadlessRecord& rec = Rec();
    if (!rec.windowOpen) return;
    const headless_state::ScreenState& screen = State().screen;
    rec.maximized = true;
    if (rec.windowWidth != screen.workWidth || rec.windowHeight != screen.workHeight) {
        rec.windowWidth = screen.workWidth;
        rec.windowHeight = screen.workHeight;
        os_relay::RelayLibraryFramebufferSize(rec.windowWidth, rec.windowHeight);
    }
}

void OsSetWindowIcon(const u8* rgba, int width, int height) {
    headless::HeadlessRecord& rec = Rec();
    if (!rec.windowOpen) return;
    if (rgba && width > 0 && height > 0) {
        rec.icon.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
        rec.iconWidth = width;
        rec.iconHeight = height;
    } else {
        rec.icon = BuildProgramIcon(32);
        rec.iconWidth = rec.iconHeight = 32;
    }
}

int OsWindowCloseRequested() { return Rec().windowOpen && Rec().closeRequested ? 1 : 0; }

}  // namespace pirn
