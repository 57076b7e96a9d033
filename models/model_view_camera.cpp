#include "models/model_view_camera.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pirn {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Set3(float out[3], float x, float y, float z) {
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void Copy3(float out[3], const float in[3]) { std::copy(in, in + 3, out); }

// Column-major 4 x 4, as GL keeps its matrices.
void Identity(double m[16]) {
    std::fill(m, m + 16, 0.0);
    m[0] = m[5] = m[10] = m[15] = 1.0;
}

void Frustum(double m[16], double left, double right, double bottom, double top, double near, double far) {
    std::fill(m, m + 16, 0.0);
    m[0] = 2 * near / (right - left);
    m[5] = 2 * near / (top - bottom);
    m[8] = (right + left) / (right - left);
    m[9] = (top + bottom) / (top - bottom);
    m[10] = -(far + near) / (far - near);
    m[11] = -1;
    m[14] = -2 * far * near / (far - near);
}

void Normalize(double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The look-at from `eye` along `forward` with `up`: rows side, up', -forward,
// then the move to the eye. The direction is given rather than taken from
// eye to centre, so that a distance of 0 still has one.
void LookAlong(double m[16], const double eye[3], const double forward_in[3], const double up_in[3]) {
    double forward[3] = {forward_in[0], forward_in[1], forward_in[2]};
    double up[3] = {up_in[0], up_in[1], up_in[2]};
    Normalize(forward);
    double side[3], true_up[3];
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, true_up);
    Identity(m);
    for (int i = 0; i < 3; ++i) {
        m[4 * i + 0] = side[i];
        m[4 * i + 1] = true_up[i];
        m[4 * i + 2] = -forward[i];
    }
    for (int r = 0; r < 3; ++r) m[12 + r] = -(m[r] * eye[0] + m[4 + r] * eye[1] + m[8 + r] * eye[2]);
}

// Clip coordinates of a point: P x M x (x, y, z, 1).
void ToClip(const double p[16], const double mv[16], const ModelVertex& v, double out[4]) {
    double eye[4];
    for (int r = 0; r < 4; ++r) eye[r] = mv[r] * v.x + mv[4 + r] * v.y + mv[8 + r] * v.z + mv[12 + r];
    for (int r = 0; r < 4; ++r) out[r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r] * eye[3];
}

void ProjectVertices(ModelViewCamera* camera, ModelObject* model) {
    const i32* vp = camera->viewport;
    for (ModelVertex& v : model->vertices) {
        double clip[4];
        ToClip(camera->projection, camera->model_view, v, clip);
        // A point in the eye's own plane has no place on the screen.
        const double w = clip[3] != 0 ? clip[3] : std::numeric_limits<double>::quiet_NaN();
        v.window_x = static_cast<float>(vp[0] + vp[2] * (clip[0] / w + 1) / 2);
        v.window_y = static_cast<float>(vp[1] + vp[3] * (clip[1] / w + 1) / 2);
        v.window_depth = static_cast<float>((clip[2] / w + 1) / 2);
    }
}

bool CornersInRange(const ModelObject& model, const ModelTriangle& triangle) {
    for (const ModelCorner& corner : triangle.corners)
        if (corner.vertex >= model.vertices.size()) return false;
    return true;
}

void KeyTriangles(ModelObject* model) {
    for (ModelTriangle& triangle : model->triangles) {
        if (!CornersInRange(*model, triangle)) {
            triangle.sort_key = std::numeric_limits<float>::quiet_NaN();
            continue;
        }
        float key = std::numeric_limits<float>::infinity();
        for (const ModelCorner& corner : triangle.corners) key = std::min(key, model->vertices[corner.vertex].window_depth);
        // std::min keeps the first of a NaN pair: make any NaN corner count.
        for (const ModelCorner& corner : triangle.corners)
            if (std::isnan(model->vertices[corner.vertex].window_depth)) key = std::numeric_limits<float>::quiet_NaN();
        triangle.sort_key = key;
    }
}

// Twice the signed area of (a, b, p).
double Edge(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

void InitModelViewCamera(ModelViewCamera* camera) { *camera = ModelViewCamera(); }

void FreeModelViewCamera(ModelViewCamera* camera) {
    camera->models.clear();
    camera->models.shrink_to_fit();
    camera->draw_list.clear();
    camera->draw_list.shrink_to_fit();
}

void SetCameraAngles(ModelViewCamera* camera, float a, float b, float c) {
    Set3(camera->committed_angles, a, b, c);
    Set3(camera->angles, a, b, c);
}

void SetCameraDistance(ModelViewCamera* camera, float distance) {
    camera->committed_distance = camera->distance = distance;
}

void SetCameraCentre(ModelViewCamera* camera, float x, float y, float z) {
    Set3(camera->committed_centre, x, y, z);
    Set3(camera->centre, x, y, z);
}

void PanCamera(ModelViewCamera* camera, float dx, float dy) {
    for (int i = 0; i < 3; ++i)
        camera->centre[i] = camera->committed_centre[i] + (dy * camera->up[i] - dx * camera->right[i]) / kCameraPanPixels;
}

void RotateCamera(ModelViewCamera* camera, float dx, float dy) {
    camera->angles[0] = camera->committed_angles[0] - dx * kCameraTurnPerPixel;
    camera->angles[1] = camera->committed_angles[1] + dy * kCameraTurnPerPixel;
}

void ZoomCamera(ModelViewCamera* camera, float dx) {
    camera->near_plane = 1.0f;
    camera->distance = std::exp2(dx / kCameraZoomPixels) * camera->committed_distance;
    camera->far_plane = std::max(2.0f * camera->distance, kCameraFarthestFar);
}

void CommitCamera(ModelViewCamera* camera) {
    Copy3(camera->committed_centre, camera->centre);
    Copy3(camera->committed_angles, camera->angles);
    camera->committed_distance = camera->distance;
}

float FrameCameraOnBounds(ModelViewCamera* camera, const float bounds[6]) {
    const double dx = double{bounds[3]} - bounds[0], dy = double{bounds[4]} - bounds[1], dz = double{bounds[5]} - bounds[2];
    const float diagonal = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    SetCameraAngles(camera, 0, 0, 0);
    SetCameraDistance(camera, diagonal * 1.5f);
    SetCameraCentre(camera, (bounds[0] + bounds[3]) * 0.5f, (bounds[1] + bounds[4]) * 0.5f,
                    (bounds[2] + bounds[5]) * 0.5f);
    camera->far_plane = std::max(2.0f * camera->distance, kCameraFarthestFar);
    return diagonal;
}

void MatrixIdentity(float m[16]) {
    std::fill(m, m + 16, 0.0f);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void MatrixMultiply(float a[16], const float b[16]) {
    float product[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[4 * r + k] * b[4 * k + c];
            product[4 * r + c] = sum;
        }
    std::copy(product, product + 16, a);
}

void MatrixRotate(float m[16], float a, float b, float c) {
    const float sa = std::sin(a), ca = std::cos(a);
    const float sb = std::sin(b), cb = std::cos(b);
    const float sc = std::sin(c), cc = std::cos(c);
    const float ry[16] = {ca, 0, -sa, 0, 0, 1, 0, 0, sa, 0, ca, 0, 0, 0, 0, 1};
    const float rx[16] = {1, 0, 0, 0, 0, cb, sb, 0, 0, -sb, cb, 0, 0, 0, 0, 1};
    const float rz[16] = {cc, sc, 0, 0, -sc, cc, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    MatrixMultiply(m, ry);
    MatrixMultiply(m, rx);
    MatrixMultiply(m, rz);
}

void TransformPoint(const float m[16], const float in[3], float out[3]) {
    float result[3];
    for (int r = 0; r < 3; ++r) result[r] = m[4 * r] * in[0] + m[4 * r + 1] * in[1] + m[4 * r + 2] * in[2] + m[4 * r + 3];
    Copy3(out, result);
}

void SetupCameraView(ModelViewCamera* camera, const i32 viewport[4]) {
    std::copy(viewport, viewport + 4, camera->viewport);
    const double top = std::tan(camera->field_of_view * kPi / 360.0) * camera->near_plane;
    const double aspect = viewport[3] > 0 ? static_cast<double>(viewport[2]) / viewport[3] : 1.0;
    Frustum(camera->projection, -top * aspect, top * aspect, -top, top, camera->near_plane, camera->far_plane);

    float rotation[16];
    MatrixIdentity(rotation);
    MatrixRotate(rotation, camera->angles[0], camera->angles[1], camera->angles[2]);
    const float behind[3] = {0, 0, -camera->distance}, up[3] = {0, 1, 0}, right[3] = {1, 0, 0}, ahead[3] = {0, 0, 1};
    float forward[3];
    TransformPoint(rotation, behind, camera->eye_offset);
    TransformPoint(rotation, up, camera->up);
    TransformPoint(rotation, right, camera->right);
    TransformPoint(rotation, ahead, forward);

    const double eye[3] = {double{camera->centre[0]} + camera->eye_offset[0],
                           double{camera->centre[1]} + camera->eye_offset[1],
                           double{camera->centre[2]} + camera->eye_offset[2]};
    const double look[3] = {forward[0], forward[1], forward[2]};
    const double look_up[3] = {camera->up[0], camera->up[1], camera->up[2]};
    LookAlong(camera->model_view, eye, look, look_up);

    for (ModelObject* model : camera->models) {
        ProjectVertices(camera, model);
        KeyTriangles(model);
    }
}

void SortCameraTriangles(ModelViewCamera* camera) {
    // Keys are sorted as a compact array beside the entries, so that the
    // sort does not chase pointers into the models.
    struct Keyed {
        float key;
        u32 entry;
    };
    std::vector<CameraTriangle> entries;
    std::vector<Keyed> keys;
    size_t total = 0;
    for (const ModelObject* model : camera->models) total += model->triangles.size();
    entries.reserve(total);
    keys.reserve(total);
    for (ModelObject* model : camera->models)
        for (ModelTriangle& triangle : model->triangles) {
            keys.push_back({triangle.sort_key, static_cast<u32>(entries.size())});
            entries.push_back({model, &triangle});
        }
    // A stable sort keeps model order among equal keys, as inserting each
    // triangle before the first nearer one would, in n log n rather than n^2.
    std::stable_sort(keys.begin(), keys.end(), [](const Keyed& a, const Keyed& b) {
        if (std::isnan(b.key)) return !std::isnan(a.key);
        return !std::isnan(a.key) && a.key > b.key;
    });
    std::vector<CameraTriangle>& list = camera->draw_list;
    list.resize(total);
    for (size_t i = 0; i < total; ++i) list[i] = entries[keys[i].entry];
}

bool PickCameraTriangle(const ModelViewCamera& camera, float x, float y, CameraTriangle* picked) {
    bool found = false;
    double nearest = std::numeric_limits<double>::infinity();
    for (const CameraTriangle& entry : camera.draw_list) {
        const ModelObject& model = *entry.model;
        const ModelTriangle& triangle = *entry.triangle;
        if (!CornersInRange(model, triangle)) continue;
        const ModelVertex* v[3];
        bool inside_depth = true;
        for (int c = 0; c < 3; ++c) {
            v[c] = &model.vertices[triangle.corners[c].vertex];
            if (!(v[c]->window_depth >= 0 && v[c]->window_depth <= 1)) inside_depth = false;
        }
        if (!inside_depth) continue;
        const double area = Edge(v[0]->window_x, v[0]->window_y, v[1]->window_x, v[1]->window_y, v[2]->window_x,
                                 v[2]->window_y);
        if (area == 0) continue;
        // Barycentric weights; all of one sign inside, either winding.
        const double w0 = Edge(v[1]->window_x, v[1]->window_y, v[2]->window_x, v[2]->window_y, x, y) / area;
        const double w1 = Edge(v[2]->window_x, v[2]->window_y, v[0]->window_x, v[0]->window_y, x, y) / area;
        const double w2 = 1.0 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        const double depth = w0 * v[0]->window_depth + w1 * v[1]->window_depth + w2 * v[2]->window_depth;
        if (depth <= nearest) {
            nearest = depth;
            *picked = entry;
            found = true;
        }
    }
    return found;
}

}  // namespace pirn
