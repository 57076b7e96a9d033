#pragma once
// The terrain editor in GL: each visible block's cells with its colour
// texture and the detail textures of their layers (texture unit 1, combined
// at twice the brightness), the highlight colours, the wireframe and the
// vertex points; the pick by reading the depth buffer under the pointer;
// and the brush outline. Immediate mode, as the rest of the program draws.

#include "models/ui/mesh_renderer.h"

namespace pirn {

class GlMeshRenderer : public MeshRenderer {
public:
    bool AcceptsAnyTextureSize() override;
    void DrawTerrain(MeshEditData* data, const MeshView& view, const Point* pointer) override;
    void ReleaseBlockTextures(MeshEditData* data) override;
};

// The GL texture of each block and slot made when first drawn.
void UploadMeshTextures(MeshEditData* data);
// The depth under client pixel (x, y) of the current viewport (y down).
double ReadMeshDepth(i32 x, i32 y);
// The terrain point (cells) under client pixel (x, y), read from the depth
// the terrain pass left; false (and -1, -1) off the terrain.
bool PickMeshPoint(const MeshEditData& data, const MeshView& view, i32 x, i32 y, float* world_x, float* world_z);

// Installs the GL renderer for every terrain editor (start-up, after the
// window system's GL side), and the release of detail textures' GL names.
void InstallMeshRendererGl();

}  // namespace pirn
