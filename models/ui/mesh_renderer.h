#pragma once
// Where the terrain editor draws: the GL side (models/gl/mesh_renderer_gl.h)
// installs itself at start-up. Without one (headless programs and tests)
// the editor lays out, reacts and paints its data, but draws nothing and
// picks nothing.

#include "models/mesh_camera.h"
#include "models/mesh_edit_data.h"
#include "ui/rect.h"

namespace pirn {

class MeshRenderer {
public:
    virtual ~MeshRenderer() = default;
    // Whether block colour textures may be 257 x 257 (the driver takes
    // textures of any size).
    virtual bool AcceptsAnyTextureSize() = 0;
    // Inside the editor's open 3D drawing scope: clears, draws the terrain's
    // enabled passes over the visible blocks, picks the terrain point under
    // the pointer (client coordinates; null when the pointer is not over the
    // view) into the data, and draws the brush outline there.
    virtual void DrawTerrain(MeshEditData* data, const MeshView& view, const Point* pointer) = 0;
    // Frees what drawing made for the blocks; called before they go.
    virtual void ReleaseBlockTextures(MeshEditData* data) = 0;
};

// Installs the renderer (null: nothing is drawn); returns the previous one.
MeshRenderer* SetMeshRenderer(MeshRenderer* renderer);
MeshRenderer* GetMeshRenderer();

}  // namespace pirn
