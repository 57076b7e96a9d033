#include "ui/draw_target.h"

namespace pirn {

namespace {
DrawTarget* g_target = nullptr;
}

DrawTarget* SetDrawTarget(DrawTarget* target) {
    DrawTarget* previous = g_target;
    g_target = target;
    return previous;
}

DrawTarget* GetDrawTarget() { return g_target; }

}  // namespace pirn
