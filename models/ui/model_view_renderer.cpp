#include "models/ui/model_view_renderer.h"

namespace pirn {

namespace {
ModelViewRenderer* g_renderer = nullptr;
}  // namespace

ModelViewRenderer* SetModelViewRenderer(ModelViewRenderer* renderer) {
    ModelViewRenderer* previous = g_renderer;
    g_renderer = renderer;
    return previous;
}

ModelViewRenderer* GetModelViewRenderer() { return g_renderer; }

}  // namespace pirn
