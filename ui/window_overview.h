#pragma once
// Window overview (F10): every visible top-level window of layer0 drawn
// scaled into its own tile of a squarified treemap, with an eased animation
// there and back. Windows do not move; only where they are drawn changes.

#include <vector>

#include "platform/types.h"
#include "ui/window_event.h"

namespace pirn {

struct TileNode {
    float weight = 1.0f;
    void* user = nullptr;
    float rect[4] = {0, 0, 0, 0};  // left, top, right, bottom
    std::vector<TileNode> children;
};

using TileCallback = void (*)(const float rect[4], void* user, void* context);

// Lays the root's children out over a width x height rectangle (the root's
// own rectangle becomes that), largest weight first, strip by strip; children
// of a child are laid out inside its tile the same way. The callback gets
// every node's rectangle.
void TileLayout(TileNode* root, float width, float height, TileCallback callback, void* context);

void ToggleOverview();
bool IsOverviewActive();
// The windows' tiles are worked out again on the next animation step (after
// a screen resize, or when a window goes during the overview).
void RequestOverviewLayout();
// The animation value: 0 windows at their real places, 1 in their tiles.
float GetOverviewValue();
void LayoutOverview();
void UpdateOverviewAnimation();
int OverviewEventFilter(u32 type, InputEvent& event);
// The eased animation value for t in 0..1: 0.5 (1 - cos(pi t)) t.
float OverviewEase(float t);

}  // namespace pirn
