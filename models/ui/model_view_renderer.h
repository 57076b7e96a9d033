#pragma once
// Where the 3D model view draws: the GL side (models/gl/model_view_gl.h)
// installs itself at start-up. Without one (headless programs and tests)
// the view lays out, reacts and computes its camera, but draws nothing.

#include "models/model_object.h"
#include "models/model_view_camera.h"

namespace pirn {

class ModelViewRenderer {
public:
    virtual ~ModelViewRenderer() = default;
    // Inside an open 3D drawing scope: clears colour and depth, draws the
    // camera's models with depth testing and back faces culled. It sets
    // all the state it draws with and leaves the state as it found it.
    virtual void DrawScene(ModelViewCamera* camera) = 0;
    // Frees what drawing made for the model's textures; called before the
    // model goes.
    virtual void ReleaseModel(ModelObject* model) = 0;
};

// Installs the renderer (null: nothing is drawn); returns the previous one.
ModelViewRenderer* SetModelViewRenderer(ModelViewRenderer* renderer);
ModelViewRenderer* GetModelViewRenderer();

}  // namespace pirn
