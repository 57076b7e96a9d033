#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>

#include "platform/os/core/os_hook_list.h"
#ifdef _WIN32
#include "platform/native_dialogs.h"
#else
#include <X11/Xlib.h>
#include <poll.h>

#include <cmath>
#include <vector>

#include "platform/os/x11/x11_native.h"
#endif
#include "platform/os/glfw/glfw_window_state.h"
#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "platform/os/os_window.h"

namespace pirn {

namespace {

// Where no wait is possible nothing can end a sleep early either: it stays
// within a frame's time, as a long one would only hold the caller up.
constexpr double kLongestSleepInstead = 1.0 / 60.0;

#ifndef _WIN32
// Waits until the window's connection or one of the other descriptors has
// something to read, or the time is up. Events already read from the
// connection end it at once, as do those another connection has queued.
void WaitOnDescriptors(double seconds) {
    // Other connections' owners service what they have queued first.
    os_hooks::RunPollHooks();
    Display* display = OsX11Display();
    if (display && XPending(display) > 0) return;
    std::vector<pollfd> watched;
    if (display) watched.push_back(pollfd{ConnectionNumber(display), POLLIN, 0});
    for (int fd : os_hooks::WaitDescriptors()) watched.push_back(pollfd{fd, POLLIN, 0});
    // Whole milliseconds, rounded up: waking early would only wait again.
    const int ms = static_cast<int>(std::ceil(std::min(seconds, 3600.0) * 1000.0));
    poll(watched.data(), watched.size(), ms);
}
#endif

}  // namespace

void OsWaitEvents(double seconds) {
    if (!(seconds > 0.0)) {
        OsPollEvents();
        return;
    }
    os_hooks::PollGuard guard;
    bool may_wait = !guard.nested() && os_glfw::LibraryRunning() && os_glfw::ProgramWindow();
#ifdef _WIN32
    // The modal loop of a system dialog owns the messages (see OsPollEvents).
    may_wait = may_wait && !IsNativeDialogOpen();
#endif
    if (!may_wait) {
        OsSleep(std::min(seconds, kLongestSleepInstead));
        return;
    }
#ifndef _WIN32
    if (!os_hooks::WaitDescriptors().empty()) {
        WaitOnDescriptors(seconds);
        glfwPollEvents();
        os_hooks::RunPollHooks();
        return;
    }
#endif
    // Wakes as soon as the window's connection has an event (input, expose,
    // resize), so waiting costs no latency.
    glfwWaitEventsTimeout(seconds);
    os_hooks::RunPollHooks();
}

}  // namespace pirn
