#include "ui/draw_target.h"

#include "ui/texture_pack.h"

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

void DrawPixelImage(const PixelImage& image, const Rect& rect, u32 mirror) {
    if (!g_target) return;
    FlushImageDraws(false);
    mirror &= kMirrorHorizontal | kMirrorVertical;
    if (mirror) g_target->DrawMirroredPixelImage(image, rect, mirror);
    else g_target->DrawPixelImage(image, rect);
}

void ForgetDrawnPixelImage(const PixelImage& image) {
    if (g_target) g_target->ForgetPixelImage(image);
}

}  // namespace pirn
