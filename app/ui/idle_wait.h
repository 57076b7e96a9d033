#pragma once
// How an idle frame rests. Right after activity (something drawn, input,
// a mouse button held) a frame that draws nothing sleeps a millisecond, as
// it always has, so clocked behaviour that follows input (held scroll
// arrows, drags) keeps its fine timing. Once nothing has happened for a
// short spell the frame instead waits for input with a timeout: input still
// ends the wait at once, clocked things (caret blink, child-process
// dialogs, folder polls) still run at frame rate, and an idle program stops
// waking a thousand times a second.

namespace pirn {

class IdleWait {
public:
    // Quiet time after which frames wait for input instead of sleeping.
    static constexpr double kSettleSeconds = 0.1;
    // Sleep of a frame that drew nothing during activity.
    static constexpr double kShortSleepSeconds = 0.001;
    // Longest wait for input once settled (about one frame at 60 Hz).
    static constexpr double kLongestWaitSeconds = 0.016;

    // After each frame that drew nothing: `active` when input arrived or a
    // button is held. Sleeps or waits (OsSleep / OsWaitEvents).
    void Rest(bool active);
    // A frame was drawn (and presented): the quiet spell starts again.
    void NoteDrawn();
    // Whether the next quiet frame waits for input rather than sleeping.
    bool Settled() const;

private:
    double lastActivity_ = -1.0;  // OsGetTime of the last activity; none yet
};

// Input waiting in the window system's queue, or a mouse button held (a
// press that the window system repeats or drags on by the clock).
bool IsInputActive();

}  // namespace pirn
