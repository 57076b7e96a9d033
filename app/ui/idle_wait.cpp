#include "app/ui/idle_wait.h"

#include "platform/os/os_time.h"
#include "platform/os/os_wait.h"
#include "ui/window_system.h"

namespace pirn {

void IdleWait::NoteDrawn() { lastActivity_ = OsGetTime(); }

bool IdleWait::Settled() const {
    return lastActivity_ >= 0.0 && OsGetTime() - lastActivity_ >= kSettleSeconds;
}

void IdleWait::Rest(bool active) {
    const double now = OsGetTime();
    // A clock that went back (a reset library) starts a new spell.
    if (active || lastActivity_ < 0.0 || now < lastActivity_) lastActivity_ = now;
    if (Settled()) OsWaitEvents(kLongestWaitSeconds);
    else OsSleep(kShortSleepSeconds);
}

bool IsInputActive() { return QueuedInputCount() > 0 || IsAnyMouseButtonDown(); }

}  // namespace pirn
