#pragma once
// The 3D model view in GL: the camera's view loaded, every triangle drawn
// back to front with alpha blending, each texture uploaded on its first
// draw and bound only when it changes from one triangle to the next.

#include "models/model_view_camera.h"
#include "models/ui/model_view_renderer.h"

namespace pirn {

// With a GL context current, inside a drawing scope: sets up the view for
// the current viewport and draws. Texturing is off afterwards; blending
// stays on.
void DrawCameraModels(ModelViewCamera* camera);

// Deletes the GL textures made for the model.
void ReleaseModelTextures(ModelObject* model);

// What the view clears to: red, green, blue.
constexpr float kModelViewBackground[3] = {0.0f, 0.0f, 0.0f};

class GlModelViewRenderer : public ModelViewRenderer {
public:
    void DrawScene(ModelViewCamera* camera) override;
    void ReleaseModel(ModelObject* model) override;
};

// Installs the GL renderer for every model view (start-up, after the
// window system's GL side).
void InstallModelViewGl();

}  // namespace pirn
