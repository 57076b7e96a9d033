#include "platform/os/headless/headless_os.h"

#include <deque>
#include <functional>

#include "platform/os/core/cursor_show_count.h"
#include "platform/os/core/input_relay.h"
#include "platform/os/core/os_hook_list.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/program_icon.h"

namespace pirn {
namespace {

struct ScreenState {
    int width = 1280;
    int height = 1024;
    int workX = 0, workY = 0, workWidth = 1280, workHeight = 1024;
};

struct HeadlessState {
    headless::HeadlessRecord record;
    ScreenState screen;
    double time = 0.0;
    bool failNextWindow = false;
    std::deque<std::function<void()>> input;
};

HeadlessState& State() {
    static HeadlessState state;
    return state;
}

headless::HeadlessRecord& Rec() { return State().record; }

void Post(std::function<void()> event) { State().input.push_back(std::move(event)); }

}  // namespace

namespace headless {

void Reset() {
    State() = HeadlessState();
    os_relay::ResetInputRelay();
    os_cursor::ResetCursorShowCount();
}

const HeadlessRecord& Record() { return Rec(); }

void SetTime(double seconds) { State().time = seconds; }
void AdvanceTime(double seconds) { State().time += seconds; }

void SetScreenSize(int width, int height) {
    ScreenState& screen = State().screen;
    screen.width = width;
    screen.height = height;
    screen.workX = 0;
    screen.workY = 0;
    screen.workWidth = width;
    screen.workHeight = height;
}

void SetWorkArea(int x, int y, int width, int height) {
    ScreenState& screen = State().screen;
    screen.workX = x;
    screen.workY = y;
    screen.workWidth = width;
    screen.workHeight = height;
}

void FailNextWindow() { State().failNextWindow = true; }

void PostKey(int libraryKey, int action) {
    Post([=] { os_relay::RelayLibraryKey(libraryKey, action); });
}

void PostChar(unsigned codepoint) {
    Post([=] { os_relay::RelayLibraryChar(codepoint); });
}

void PostMouseButton(int button, int action) {
    Post([=] { os_relay::RelayLibraryButton(button, action); });
}

void PostMouseMove(double x, double y) {
    Post([=] {
        Rec().mouseX = static_cast<int>(x);
        Rec().mouseY = static_cast<int>(y);
        os_relay::RelayLibraryCursorPos(x, y);
    });
}

void PostScroll(double xOffset, double yOffset) {
    Post([=] { os_relay::RelayLibraryScroll(xOffset, yOffset); });
}

void PostCloseRequest() {
    Post([] { Rec().closeRequested = os_relay::RelayLibraryCloseRequest(); });
}

void PostRefresh() {
    Post([] { os_relay::RelayLibraryRefresh(); });
}

void PostResize(int width, int height) {
    Post([=] {
        Rec().windowWidth = width;
        Rec().windowHeight = height;
        os_relay::RelayLibraryFramebufferSize(width, height);
    });
}

size_t PendingInput() { return State().input.size(); }

}  // namespace headless

// ---- The platform functions, headless ----

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
    HeadlessState& state = State();
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
    const ScreenState& screen = State().screen;
    if (x) *x = screen.workX;
    if (y) *y = screen.workY;
    if (width) *width = screen.workWidth;
    if (height) *height = screen.workHeight;
}

void OsMaximizeWindow() {
    headless::HeadlessRecord& rec = Rec();
    if (!rec.windowOpen) return;
    const ScreenState& screen = State().screen;
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

double OsGetTime() { return State().time; }

void OsSleep(double seconds) {
    if (seconds > 0.0) State().time += seconds;
}

void OsBeep() { ++Rec().beeps; }

void OsSetMousePos(int x, int y) {
    // Like the real backend, a warp is not reported back as motion.
    Rec().mouseX = x;
    Rec().mouseY = y;
}

void OsGetMousePos(int* x, int* y) {
    if (x) *x = Rec().mouseX;
    if (y) *y = Rec().mouseY;
}

int OsShowCursor(int show) {
    int count = os_cursor::AdjustCursorShowCount(show);
    Rec().cursorShowCount = count;
    Rec().cursorVisible = os_cursor::CursorShowCountVisible();
    return count;
}

void OsSetCursor(int id) {
    headless::HeadlessRecord& rec = Rec();
    rec.cursorId = id;
    rec.cursorShape = CursorShapeForId(id);
    rec.cursorHistory.push_back(rec.cursorShape);
}

void OsSetPointerLock(int on) { Rec().pointerLocked = on != 0; }

}  // namespace pirn
