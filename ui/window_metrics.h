#pragma once
// The few skin measures that window geometry depends on (borders, title bar,
// title-bar buttons). Taken from the skin when one is set; tests may fix them
// so that geometry needs no texture pack.

#include "platform/types.h"

namespace pirn {

struct WindowMetrics {
    i32 thickBorder = 4;
    i32 thinBorder = 1;
    i32 titleBarHeight = 22;
    i32 titleButtonWidth = 14;
    i32 titleButtonHeight = 14;
};

// The metrics in force: the override when set, else the skin's, else the
// defaults above.
WindowMetrics GetWindowMetrics();
void SetWindowMetricsOverride(const WindowMetrics* metrics);  // null clears

}  // namespace pirn
