#include "models/mesh_camera.h"

#include <cmath>
#include <cstring>

namespace pirn {

namespace {

constexpr double kDegrees = 57.29578;
constexpr float kMoveStep = 0.5f;
constexpr float kTurnStep = 2.0f;
constexpr float kPitchStep = 1.0f;
// tan(25 degrees) at a 4:3 client.
constexpr double kHalfViewAngle = 0.43633232;
constexpr double kReferenceAspect = 1.3333334;
constexpr double kBelowCentre = 1.5714285;  // 11/7
constexpr double kAboveCentre = 0.4285714;  // 3/7

// Column-major 4 x 4, as GL holds them.
void Identity(double m[16]) {
    std::memset(m, 0, 16 * sizeof(double));
    m[0] = m[5] = m[10] = m[15] = 1;
}

// a := a x b
void Multiply(double a[16], const double b[16]) {
    double r[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    std::memcpy(a, r, sizeof(r));
}

// m := m x the rotation glRotate makes.
void Rotate(double m[16], double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees / kDegrees;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    double r[16];
    Identity(r);
    r[0] = x * x * t + c;
    r[1] = y * x * t + z * s;
    r[2] = x * z * t - y * s;
    r[4] = x * y * t - z * s;
    r[5] = y * y * t + c;
    r[6] = y * z * t + x * s;
    r[8] = x * z * t + y * s;
    r[9] = y * z * t - x * s;
    r[10] = z * z * t + c;
    Multiply(m, r);
}

void Translate(double m[16], double x, double y, double z) {
    double t[16];
    Identity(t);
    t[12] = x;
    t[13] = y;
    t[14] = z;
    Multiply(m, t);
}

void Scale(double m[16], double x, double y, double z) {
    double s[16];
    Identity(s);
    s[0] = x;
    s[5] = y;
    s[10] = z;
    Multiply(m, s);
}

bool Invert(const double m[16], double out[16]) {
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
    return true;
}

void Transform(const double m[16], const double in[4], double out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

float WrapDegrees(float degrees) {
    degrees = std::fmod(degrees, 360.0f);
    if (degrees < 0) degrees += 360.0f;
    // fmod of a tiny negative value plus 360 can round to 360 itself.
    return degrees >= 360.0f ? 0.0f : degrees;
}

float ClampPitch(float pitch) {
    return pitch < kMeshPitchMin ? kMeshPitchMin : pitch > kMeshPitchMax ? kMeshPitchMax : pitch;
}

// The line of sight along the ground, in camera space.
void Forward(float yaw, float* fx, float* fz) {
    const double a = -yaw / kDegrees;
    *fx = static_cast<float>(std::sin(a));
    *fz = static_cast<float>(-std::cos(a));
}

void Orbit(MeshCamera* camera, float turn) {
    float fx, fz;
    Forward(camera->yaw, &fx, &fz);
    const float gx = camera->eye[0] + fx * camera->distance;
    const float gz = camera->eye[2] + fz * camera->distance;
    camera->yaw = WrapDegrees(camera->yaw + turn);
    Forward(camera->yaw, &fx, &fz);
    camera->eye[0] = gx - fx * camera->distance;
    camera->eye[2] = gz - fz * camera->distance;
}

void Normalise(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void InitMeshCamera(MeshCamera* camera) { *camera = MeshCamera(); }

float MeshGroundDistance(const MeshCamera& camera) {
    return static_cast<float>(camera.eye[1] / std::tan(-ClampPitch(camera.pitch) / kDegrees));
}

bool MoveMeshCamera(MeshCamera* camera, u32 keys) {
    camera->pitch = ClampPitch(camera->pitch);
    camera->distance = MeshGroundDistance(*camera);
    const double a = -camera->yaw / kDegrees;
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    bool moved = false;

    float dx = 0, dz = 0;
    if (keys & kCameraKeyX) dx += c, dz += s;
    if (keys & kCameraKeyZ) dx -= c, dz -= s;
    if (keys & kCameraKeyW) dx += s, dz -= c;
    if (keys & kCameraKeyS) dx -= s, dz += c;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (length > 1e-6f) {
        camera->eye[0] += dx / length * kMoveStep;
        camera->eye[2] += dz / length * kMoveStep;
        moved = true;
    }
    if (keys & kCameraKeyQ) Orbit(camera, -kTurnStep), moved = true;
    if (keys & kCameraKeyE) Orbit(camera, kTurnStep), moved = true;
    if (keys & kCameraKeyA) camera->yaw = WrapDegrees(camera->yaw + kTurnStep), moved = true;
    if (keys & kCameraKeyD) camera->yaw = WrapDegrees(camera->yaw - kTurnStep), moved = true;
    // C moves along the line of sight, V back; both together cancel out.
    const u32 along = keys & (kCameraKeyC | kCameraKeyV);
    if (along == kCameraKeyC || along == kCameraKeyV) {
        const float sign = along == kCameraKeyC ? 1.0f : -1.0f;
        camera->eye[0] += sign * s;
        camera->eye[2] -= sign * c;
        camera->eye[1] -= sign * static_cast<float>(std::sin(-camera->pitch / kDegrees));
        moved = true;
    }
    if (keys & kCameraKeyO) camera->pitch = ClampPitch(camera->pitch + kPitchStep), moved = true;
    if (keys & kCameraKeyP) camera->pitch = ClampPitch(camera->pitch - kPitchStep), moved = true;
    if (moved) camera->distance = MeshGroundDistance(*camera);
    return moved;
}

void MeshEyePosition(const MeshCamera& camera, float out[3]) {
    out[0] = -camera.eye[0];
    out[1] = camera.eye[1];
    out[2] = camera.eye[2];
}

void MeshEditCamera(const MeshCamera& camera, double m[16]) {
    Identity(m);
    const double a = -camera.yaw / kDegrees;
    Rotate(m, -camera.yaw, 0, 1, 0);
    Rotate(m, -camera.roll, -std::sin(a), 0, std::cos(a));
    Rotate(m, -ClampPitch(camera.pitch), std::cos(a), 0, std::sin(a));
    Translate(m, -camera.eye[0], -camera.eye[1], -camera.eye[2]);
    Scale(m, -1, 1, 1);
}

float MeshFieldOfView(i32 width, i32 height) {
    if (width <= 0 || height <= 0) return 0;
    const double aspect = double(width) / height;
    return static_cast<float>(2 * std::atan(std::tan(kHalfViewAngle) * aspect / kReferenceAspect) * kDegrees);
}

void MakeFrustumRecord(MeshFrustum* frustum, i32 width, i32 height, float field_of_view, float near_plane,
                       float far_plane) {
    frustum->field_of_view = field_of_view;
    frustum->near_plane = near_plane;
    frustum->far_plane = far_plane;
    if (width <= 0 || height <= 0) return;
    const double t = std::tan(field_of_view / 2 / kDegrees) * near_plane;
    const double ratio = double(height) / width;
    frustum->left = static_cast<float>(-t);
    frustum->right = static_cast<float>(t);
    frustum->bottom = static_cast<float>(-kBelowCentre * t * ratio);
    frustum->top = static_cast<float>(kAboveCentre * t * ratio);
    const float n = -near_plane;
    const float corners[4][3] = {{frustum->left, frustum->bottom, n},
                                 {frustum->right, frustum->bottom, n},
                                 {frustum->right, frustum->top, n},
                                 {frustum->left, frustum->top, n}};
    const float inside[3] = {0, (frustum->bottom + frustum->top) / 2, n};
    // Left (corners 3, 0), right (1, 2), bottom (0, 1), top (2, 3).
    const int pairs[4][2] = {{3, 0}, {1, 2}, {0, 1}, {2, 3}};
    for (int plane = 0; plane < 4; ++plane) {
        float* normal = frustum->normals[plane];
        Cross(corners[pairs[plane][0]], corners[pairs[plane][1]], normal);
        Normalise(normal);
        if (normal[0] * inside[0] + normal[1] * inside[1] + normal[2] * inside[2] > 0)
            for (int i = 0; i < 3; ++i) normal[i] = -normal[i];
    }
}

bool SetMeshProjection(i32 width, i32 height, double m[16], MeshFrustum* frustum) {
    // An empty client has no view: its aspect would divide by zero.
    if (width <= 0 || height <= 0) return false;
    MakeFrustumRecord(frustum, width, height, MeshFieldOfView(width, height), kMeshNear, kMeshFar);
    const double l = frustum->left, r = frustum->right, b = frustum->bottom, t = frustum->top;
    const double n = frustum->near_plane, f = frustum->far_plane;
    std::memset(m, 0, 16 * sizeof(double));
    m[0] = 2 * n / (r - l);
    m[5] = 2 * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * f * n / (f - n);
    return true;
}

void SetupMeshView(MeshView* view, const MeshCamera& camera, i32 width, i32 height) {
    view->width = width;
    view->height = height;
    view->valid = SetMeshProjection(width, height, view->projection, &view->frustum);
    MeshEditCamera(camera, view->model_view);
}

void MeshFrustumPlanes(const MeshView& view, float planes[4][3]) {
    const double* m = view.model_view;
    for (int plane = 0; plane < 4; ++plane) {
        const float* n = view.frustum.normals[plane];
        for (int j = 0; j < 3; ++j)
            planes[plane][j] = static_cast<float>(m[j * 4] * n[0] + m[j * 4 + 1] * n[1] + m[j * 4 + 2] * n[2]);
    }
}

int ClassifyBlock(const float box[6], const float planes[4][3], const float eye[3]) {
    bool any_outside = false;
    for (int plane = 0; plane < 4; ++plane) {
        int outside = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const float p[3] = {box[(corner & 1) ? 3 : 0] - eye[0], box[(corner & 2) ? 4 : 1] - eye[1],
                                box[(corner & 4) ? 5 : 2] - eye[2]};
            if (planes[plane][0] * p[0] + planes[plane][1] * p[1] + planes[plane][2] * p[2] > 0) ++outside;
        }
        if (outside == 8) return 0;
        if (outside) any_outside = true;
    }
    return any_outside ? 1 : 2;
}

bool ProjectMeshPoint(const MeshView& view, const float point[3], double window[3]) {
    if (!view.valid) return false;
    const double p[4] = {point[0], point[1], point[2], 1};
    double eye[4], clip[4];
    Transform(view.model_view, p, eye);
    Transform(view.projection, eye, clip);
    if (clip[3] == 0) return false;
    window[0] = (clip[0] / clip[3] + 1) / 2 * view.width;
    window[1] = (clip[1] / clip[3] + 1) / 2 * view.height;
    window[2] = (clip[2] / clip[3] + 1) / 2;
    return true;
}

bool UnprojectMeshPoint(const MeshView& view, double wx, double wy, double depth, double point[3]) {
    if (!view.valid) return false;
    double both[16];
    std::memcpy(both, view.projection, sizeof(both));
    Multiply(both, view.model_view);
    double inverse[16];
    if (!Invert(both, inverse)) return false;
    const double ndc[4] = {wx / view.width * 2 - 1, wy / view.height * 2 - 1, depth * 2 - 1, 1};
    double out[4];
    Transform(inverse, ndc, out);
    if (out[3] == 0) return false;
    for (int i = 0; i < 3; ++i) point[i] = out[i] / out[3];
    return true;
}

void MeshPixelCentre(const MeshView& view, i32 x, i32 y, double* wx, double* wy) {
    *wx = x + 0.5;
    *wy = view.height - y - 0.5;
}

}  // namespace pirn
