#pragma once
// The system beep for refused input.

namespace pirn {

void OsBeep();

}  // namespace pirn
