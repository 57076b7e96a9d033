#pragma once
// The terrain view's camera and everything it works out without GL: the
// model-view and projection matrices, the frustum's side planes, block
// classification, the camera keys, and picking maths (projecting and
// unprojecting points, and a ray cast that finds the triangle under a
// window point the way the depth buffer would).
//
// Coordinates: a mesh point (column, height, row) has x and z in cells and
// its height in 1/512 of a cell; drawn, it is (x, height / 512, z). The
// model-view matrix mirrors x before it moves to the eye, so that the
// camera's x (the eye position below) is the mesh's -x; yaw 135 then looks
// from the mesh's corner over its cells.

#include "platform/types.h"

namespace pirn {

constexpr float kMeshNear = 1.0f;
constexpr float kMeshFar = 10000.0f;
constexpr float kMeshHeightScale = 512.0f;
// Pitch stays inside this range, so that the ground distance (eye height /
// tan(-pitch)) stays finite and the eye never becomes NaN.
constexpr float kMeshPitchMin = -89.0f;
constexpr float kMeshPitchMax = -1.0f;

struct MeshCamera {
    float yaw = 135.0f;    // degrees, [0, 360)
    float pitch = -27.0f;  // degrees
    float roll = 0.0f;
    float eye[3] = {0.0f, 50.0f, 0.0f};  // camera space: x is the mesh's -x
    float distance = 20.0f;  // ground distance along the line of sight
};

// The frustum at the near plane: its extents and the four side planes'
// outward unit normals (eye space; left, right, bottom, top).
struct MeshFrustum {
    float field_of_view = 0;  // degrees, horizontal
    float near_plane = kMeshNear;
    float far_plane = kMeshFar;
    float left = 0, right = 0, bottom = 0, top = 0;
    float normals[4][3] = {};
};

// Everything one frame of the view needs: client size, both matrices (as
// GL holds them, column-major) and the frustum. Valid only for a non-empty
// client.
struct MeshView {
    i32 width = 0;
    i32 height = 0;
    bool valid = false;
    double model_view[16] = {};
    double projection[16] = {};
    MeshFrustum frustum;
};

// Keys the camera reads, as held this tick.
enum MeshCameraKey : u32 {
    kCameraKeyX = 1u << 0,
    kCameraKeyZ = 1u << 1,
    kCameraKeyW = 1u << 2,
    kCameraKeyS = 1u << 3,
    kCameraKeyQ = 1u << 4,
    kCameraKeyE = 1u << 5,
    kCameraKeyA = 1u << 6,
    kCameraKeyD = 1u << 7,
    kCameraKeyC = 1u << 8,
    kCameraKeyV = 1u << 9,
    kCameraKeyO = 1u << 10,
    kCameraKeyP = 1u << 11,
};

void InitMeshCamera(MeshCamera* camera);
// y / tan(-pitch): where the line of sight meets height 0.
float MeshGroundDistance(const MeshCamera& camera);
// One tick of the held keys; true when the camera moved.
bool MoveMeshCamera(MeshCamera* camera, u32 keys);
// The eye in mesh coordinates (x un-mirrored).
void MeshEyePosition(const MeshCamera& camera, float out[3]);

// The model-view matrix: rotations by -yaw about y, -roll and -pitch about
// the turned axes, then the eye moved to the origin, after the mirror in x.
void MeshEditCamera(const MeshCamera& camera, double m[16]);
// Field of view (degrees, horizontal) for a client of w x h: 50 degrees at
// 4:3, wider for wider clients with the same vertical extent.
float MeshFieldOfView(i32 width, i32 height);
// glFrustum for the client: 11/7 of the vertical extent below the centre,
// 3/7 above. False for an empty client.
bool SetMeshProjection(i32 width, i32 height, double m[16], MeshFrustum* frustum);
void MakeFrustumRecord(MeshFrustum* frustum, i32 width, i32 height, float field_of_view, float near_plane,
                       float far_plane);
// The view of the camera for a client; view->valid false for an empty one.
void SetupMeshView(MeshView* view, const MeshCamera& camera, i32 width, i32 height);

// The side-plane normals turned into mesh space.
void MeshFrustumPlanes(const MeshView& view, float planes[4][3]);
// 0 invisible (all eight corners outside one plane), 2 full (no corner
// outside any), else 1 partial. box: min x, y, z, max x, y, z.
int ClassifyBlock(const float box[6], const float planes[4][3], const float eye[3]);

// Window coordinates (x right, y up, depth 0..1 across the near and far
// planes) of a mesh-space point, and back.
bool ProjectMeshPoint(const MeshView& view, const float point[3], double window[3]);
bool UnprojectMeshPoint(const MeshView& view, double wx, double wy, double depth, double point[3]);
// The pixel centre of client pixel (x, y) (y down) in window coordinates.
void MeshPixelCentre(const MeshView& view, i32 x, i32 y, double* wx, double* wy);

}  // namespace pirn
