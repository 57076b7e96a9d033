#pragma once
// The orbit camera of the 3D model view and everything it works out for a
// frame without GL: the projection and view matrices, every vertex in
// window coordinates, and the order the triangles are drawn in (farthest
// first, so that blending sees what lies behind). The GL drawing is in
// models/gl/model_view_gl.h.
//
// The camera orbits a centre at a distance, turned by three angles. Each
// gesture (pan, rotate, zoom) is computed from the committed state and the
// pointer's total motion since the gesture began, and committed at its end.

#include <vector>

#include "models/model_object.h"
#include "platform/types.h"

namespace pirn {

// 2 pi / 256: a drag of 256 pixels turns once.
constexpr float kCameraTurnPerPixel = 0.024543693f;
// Pixels of drag per model unit of pan, and per doubling of the distance.
constexpr float kCameraPanPixels = 128.0f;
constexpr float kCameraZoomPixels = 32.0f;
// The far plane never comes nearer than this once a zoom has set it.
constexpr float kCameraFarthestFar = 65535.0f;

// One triangle in the draw order, with the model that owns it.
struct CameraTriangle {
    ModelObject* model;
    ModelTriangle* triangle;
};

struct ModelViewCamera {
    // Worked out every frame from the current angles and distance.
    float eye_offset[3] = {0, 0, 0};
    float up[3] = {0, 0, 0};
    float right[3] = {0, 0, 0};
    float committed_centre[3] = {0, 0, 0};
    float centre[3] = {0, 0, 0};
    float committed_angles[3] = {0, 0, 0};
    float angles[3] = {0, 0, 0};
    float near_plane = 1.0f;
    float far_plane = 256.0f;
    float field_of_view = 45.0f;  // degrees, vertical
    float committed_distance = 5000.0f;
    float distance = 5000.0f;
    // As GL holds them (column-major), for the drawing to load.
    double projection[16] = {};
    double model_view[16] = {};
    i32 viewport[4] = {0, 0, 0, 0};  // x, y (from the bottom), width, height
    // The models shown (not owned) and this frame's draw order.
    std::vector<ModelObject*> models;
    std::vector<CameraTriangle> draw_list;
};

// The defaults above; no models.
void InitModelViewCamera(ModelViewCamera* camera);
// Forgets the models (which the camera does not own) and the draw order.
void FreeModelViewCamera(ModelViewCamera* camera);

// Each sets the committed and the current value.
void SetCameraAngles(ModelViewCamera* camera, float a, float b, float c);
void SetCameraDistance(ModelViewCamera* camera, float distance);
void SetCameraCentre(ModelViewCamera* camera, float x, float y, float z);

// Gesture steps with the total motion (pixels) since the gesture began.
void PanCamera(ModelViewCamera* camera, float dx, float dy);
void RotateCamera(ModelViewCamera* camera, float dx, float dy);
// Also sets the near plane to 1 and the far plane to the larger of twice
// the distance and 65535.
void ZoomCamera(ModelViewCamera* camera, float dx);
// The end of a gesture: the current state becomes the committed one.
void CommitCamera(ModelViewCamera* camera);

// Looks at a box (min x, y, z, max x, y, z) from 1.5 times its diagonal,
// angles 0, centred on it; the far plane moves out as a zoom moves it, so
// that a box larger than the first far plane is still whole. Returns the
// diagonal.
float FrameCameraOnBounds(ModelViewCamera* camera, const float bounds[6]);

// Matrices of the camera maths: 4 x 4, row-major; a point is the first
// three rows times (x, y, z, 1).
void MatrixIdentity(float m[16]);
// a := a x b
void MatrixMultiply(float a[16], const float b[16]);
// m := m x Ry(a) x Rx(b) x Rz(c)
void MatrixRotate(float m[16], float a, float b, float c);
void TransformPoint(const float m[16], const float in[3], float out[3]);

// The frame's view for a viewport (x, y from the bottom, width, height):
// projection, eye, up and right, the look-at, then every vertex of every
// model in window coordinates (x, y from the bottom-left, depth 0 near to 1
// far) and every triangle's sort key, its nearest corner's depth.
void SetupCameraView(ModelViewCamera* camera, const i32 viewport[4]);

// The draw order: every triangle of every model, farthest key first, and
// among equal keys the earlier model and triangle first (what inserting
// each in turn before the first nearer one gives). A key that is not a
// number (a degenerate view) sorts last.
void SortCameraTriangles(ModelViewCamera* camera);

// The triangle seen at a window point (x, y from the bottom-left) after
// SetupCameraView and SortCameraTriangles, as depth testing shows it: of
// the triangles whose window triangle holds the point, the one nearest
// there (the later drawn on a tie). Triangles reaching in front of the
// near plane or past the far plane are left out. False when there is none.
bool PickCameraTriangle(const ModelViewCamera& camera, float x, float y, CameraTriangle* picked);

}  // namespace pirn
