#pragma once
// The counting show/hide of the pointer: visible while the count is >= 0.

namespace pirn {
namespace os_cursor {

void ResetCursorShowCount();
// +1 for show, -1 for hide; returns the new count.
int AdjustCursorShowCount(int show);
bool CursorShowCountVisible();

}  // namespace os_cursor
}  // namespace pirn
