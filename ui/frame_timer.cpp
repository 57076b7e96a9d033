#include "ui/frame_timer.h"

#include <algorithm>
#include <limits>

#include "ui/window_system_internal.h"

namespace pirn {

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();

double g_requested = kNever;

}  // namespace

void RequestFrameBy(double time) { g_requested = std::min(g_requested, time); }

double RequestedFrameTime() { return g_requested; }

void ForgetFrameRequests() { g_requested = kNever; }

double NextFrameDue(double now) {
    const FrameState& frame = GetFrameState();
    const bool damaged = (frame.redrawFlags & kRedrawFull) || frame.dirtyCount > 0;
    if (QueuedInputCount() > 0 || !GetDeletionState().deferredDeletes.empty() || damaged ||
        frame.frameAlreadyDrawn || GetModalState().closeEnding)
        return now;
    if (frame.nativeDialogMode) return now + kNativeDialogFrameSeconds;
    return g_requested;
}

}  // namespace pirn
