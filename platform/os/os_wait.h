#pragma once
// Waiting for input without spinning: an idle program sleeps here until the
// user does something or the time is up, whichever comes first.

namespace pirn {

// Waits up to `seconds` for window-library events and delivers what came, as
// `OsPollEvents` does (callbacks, then the poll hooks). Returns at once when
// input is already waiting. From inside a library callback, or without a
// running library, it only sleeps, at most a 60th of a second (the library
// cannot wait re-entrantly).
// Headless: queued scripted input is delivered at once; otherwise the clock
// moves on by `seconds`.
void OsWaitEvents(double seconds);

}  // namespace pirn
