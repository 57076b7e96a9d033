#pragma once
// When the next frame step has something to do. Input, damage to redraw
// and windows to delete make it due at once; clocked behaviour between
// input (a caret's blink, a held scroll arrow's repeat, an animation, the
// splash's hold) is asked for by the window that has it, from its per-frame
// tick, as the time of its next change. An idle program can then sleep
// until the earliest of these, or until input arrives, instead of stepping
// frames that find nothing to do.

namespace pirn {

// Asks for a frame step no later than `time` (on OsGetTime's clock). The
// requests start afresh with every frame's ticks, so a window asks again
// from each tick for as long as it has something coming.
void RequestFrameBy(double time);

// The earliest time asked for since the last ticks began; +infinity when
// nobody asked.
double RequestedFrameTime();
// The frame step's, as the ticks begin (and the window system's reset).
void ForgetFrameRequests();

// While a native dialog blocks the main loop, its child process is looked
// at between frames: they come this often.
constexpr double kNativeDialogFrameSeconds = 1.0 / 60.0;

// The time by which the next frame step is due: `now` when input waits in
// the queue, windows wait to be deleted, something is to be redrawn, a
// frame drawn outside the step waits to be shown or a modal run is being
// ended; one native-dialog frame after `now` in native-dialog mode;
// otherwise the earliest requested time, +infinity when there is none.
double NextFrameDue(double now);

}  // namespace pirn
