#include "models/ui/mesh_renderer.h"

namespace pirn {

namespace {
MeshRenderer* g_mesh_renderer = nullptr;
}  // namespace

MeshRenderer* SetMeshRenderer(MeshRenderer* renderer) {
    MeshRenderer* previous = g_mesh_renderer;
    g_mesh_renderer = renderer;
    return previous;
}

MeshRenderer* GetMeshRenderer() { return g_mesh_renderer; }

}  // namespace pirn
