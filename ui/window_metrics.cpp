// Window geometry's view of the skin.

#include "ui/window_metrics.h"

#include "ui/skin.h"

namespace pirn {

namespace {
bool g_overridden = false;
WindowMetrics g_override;
}  // namespace

WindowMetrics GetWindowMetrics() {
    if (g_overridden) return g_override;
    WindowMetrics m;
    const Skin* skin = GetSkin();
    if (!skin) return m;
    m.thickBorder = GetThickBorderSize(skin);
    m.thinBorder = GetThinBorderSize(skin);
    m.titleBarHeight = GetTitleBarHeight(skin);
    GetTitleBarButtonSize(skin, &m.titleButtonWidth, &m.titleButtonHeight);
    return m;
}

void SetWindowMetricsOverride(const WindowMetrics* metrics) {
    g_overridden = metrics != nullptr;
    if (metrics) g_override = *metrics;
}

}  // namespace pirn
