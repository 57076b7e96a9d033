#pragma once
// Clock and sleeping.

namespace pirn {

// Seconds since `OsInit`. The headless backend's clock only moves when a
// test advances it or the program sleeps.
double OsGetTime();

// Sleeps the calling thread (headless: advances the clock instead).
void OsSleep(double seconds);

}  // namespace pirn
