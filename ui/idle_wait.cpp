#include "ui/idle_wait.h"

#include <algorithm>

#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "ui/frame_timer.h"
#include "ui/window_system.h"

namespace pirn {

bool IdleWait::Settled() const {
    return lastActivity_ >= 0.0 && OsGetTime() - lastActivity_ >= kSettleSeconds;
}

double IdleWait::WaitSeconds(bool settled, double now, double due) {
    if (!settled) return kShortSleepSeconds;
    // Also an infinite or unordered due time ends up in range.
    const double until = due - now;
    if (!(until > kShortSleepSeconds)) return kShortSleepSeconds;
    return std::min(until, kLongestWaitSeconds);
}

void IdleWait::Rest(bool active) {
    const double now = OsGetTime();
    // A clock that went back (a reset library) starts a new spell.
    if (active || lastActivity_ < 0.0 || now < lastActivity_) lastActivity_ = now;
    if (!Settled()) {
        OsSleep(kShortSleepSeconds);
        return;
    }
    OsWaitEvents(WaitSeconds(true, now, NextFrameDue(now)));
}

bool IsInputActive() { return QueuedInputCount() > 0 || IsAnyMouseButtonDown(); }

}  // namespace pirn
