#pragma once
// Where the skin painters and the texture-pack queue send their drawing. The
// GL layer installs its target at start-up; without one (headless programs
// and tests) drawing goes nowhere, and tests install a recorder instead.

#include <vector>

#include "platform/types.h"
#include "ui/rect.h"

namespace pirn {

struct QueuedImageDraw;

class DrawTarget {
public:
    virtual ~DrawTarget() = default;
    // Packed RGBA: red in the low byte, alpha in the high byte.
    virtual void SetColor(u32 rgba) = 0;
    virtual void FillRect(const Rect& rect) = 0;
    // Draws the queued images in order, tinted by the current colour.
    virtual void DrawImages(const std::vector<QueuedImageDraw>& draws) = 0;
};

// Installs the target (null: drawing goes nowhere); returns the previous one.
DrawTarget* SetDrawTarget(DrawTarget* target);
DrawTarget* GetDrawTarget();

constexpr u32 PackRgba(u32 r, u32 g, u32 b, u32 a) {
    return (r & 255) | (g & 255) << 8 | (b & 255) << 16 | (a & 255) << 24;
}

}  // namespace pirn
