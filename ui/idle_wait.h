#pragma once
// How a frame that drew nothing rests. Right after input (or while a
// mouse button is held) it sleeps a millisecond, as frames always have.
// Once no input has come for a short spell it waits for input until the
// next frame is due (ui/frame_timer.h): input ends the wait at once,
// clocked things (a caret's blink, an animation) still come on time, and an
// idle program with nothing due sleeps until the user does something.

namespace pirn {

class IdleWait {
public:
    // Quiet time after which frames wait for input instead of sleeping.
    static constexpr double kSettleSeconds = 0.1;
    // Sleep of a frame that drew nothing during activity, and the least
    // rest of a settled frame: a frame due at once is still a frame later.
    static constexpr double kShortSleepSeconds = 0.001;
    // Longest wait once settled: whatever a window forgot to ask for is
    // late by at most this, never stuck.
    static constexpr double kLongestWaitSeconds = 0.5;

    // After each frame that drew nothing: `active` when input arrived or a
    // mouse button is held. Sleeps (OsSleep) or waits for input
    // (OsWaitEvents) for WaitSeconds.
    void Rest(bool active);
    // Whether the next quiet frame waits for input rather than sleeping.
    bool Settled() const;
    // How long the next rest lasts, given whether it is settled and when
    // the next frame is due.
    static double WaitSeconds(bool settled, double now, double due);

private:
    double lastActivity_ = -1.0;  // OsGetTime of the last input; none yet
};

// Input waiting in the window system's queue, or a mouse button held (a
// press the widgets repeat or drag on).
bool IsInputActive();

}  // namespace pirn
