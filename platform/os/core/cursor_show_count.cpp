#include "platform/os/core/cursor_show_count.h"

namespace pirn {
namespace os_cursor {
namespace {
int g_showCount = 0;
}  // namespace

void ResetCursorShowCount() { g_showCount = 0; }

int AdjustCursorShowCount(int show) {
    g_showCount += show ? 1 : -1;
    return g_showCount;
}

bool CursorShowCountVisible() { return g_showCount >= 0; }

}  // namespace os_cursor
}  // namespace pirn
