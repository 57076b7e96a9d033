#include "models/mesh_pick.h"

#include <algorithm>
#include <cmath>

namespace pirn {

namespace {

struct Ray {
    double origin[3];
    double direction[3];
};

bool RayHitsBox(const Ray& ray, const float box[6], double* enter) {
    double t0 = 0, t1 = 1e30;
    for (int axis = 0; axis < 3; ++axis) {
        const double lo = box[axis], hi = box[axis + 3];
        if (std::fabs(ray.direction[axis]) < 1e-12) {
            if (ray.origin[axis] < lo || ray.origin[axis] > hi) return false;
            continue;
        }
        double a = (lo - ray.origin[axis]) / ray.direction[axis];
        double b = (hi - ray.origin[axis]) / ray.direction[axis];
        if (a > b) std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        if (t0 > t1) return false;
    }
    *enter = t0;
    return true;
}

// Moller-Trumbore; the ray parameter of the hit, or -1.
double RayHitsTriangle(const Ray& ray, const double a[3], const double b[3], const double c[3]) {
    const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const double* d = ray.direction;
    const double p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
    const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (std::fabs(det) < 1e-15) return -1;
    const double inv = 1 / det;
    const double s[3] = {ray.origin[0] - a[0], ray.origin[1] - a[1], ray.origin[2] - a[2]};
    const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * inv;
    if (u < 0 || u > 1) return -1;
    const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
    const double v = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
    if (v < 0 || u + v > 1) return -1;
    const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
    return t >= 0 ? t : -1;
}

bool PixelRay(const MeshView& view, i32 x, i32 y, Ray* ray) {
    double wx, wy;
    MeshPixelCentre(view, x, y, &wx, &wy);
    double near_point[3], far_point[3];
    if (!UnprojectMeshPoint(view, wx, wy, 0.0, near_point) || !UnprojectMeshPoint(view, wx, wy, 1.0, far_point))
        return false;
    for (int i = 0; i < 3; ++i) {
        ray->origin[i] = near_point[i];
        ray->direction[i] = far_point[i] - near_point[i];
    }
    return true;
}

// The nearest hit among the cells [x0, x1) x [z0, x1) of the block.
void HitCells(const MeshBlockRecord& block, const Ray& ray, u32 x0, u32 x1, u32 z0, u32 z1, double* best,
              MeshPick* pick) {
    for (u32 cz = z0; cz < z1; ++cz)
        for (u32 cx = x0; cx < x1; ++cx)
            for (u32 triangle = 0; triangle < 2; ++triangle) {
                u32 corners[3][2];
                TriangleCorners(cx, cz, triangle, corners);
                double p[3][3];
                for (int i = 0; i < 3; ++i) {
                    p[i][0] = corners[i][0];
                    p[i][1] = block.heights[(corners[i][1] - block.first_row) * kBlockVertices +
                                            (corners[i][0] - block.first_column)] /
                              double(kMeshHeightScale);
                    p[i][2] = corners[i][1];
                }
                const double t = RayHitsTriangle(ray, p[0], p[1], p[2]);
                if (t < 0 || (*best >= 0 && t >= *best)) continue;
                *best = t;
                pick->cell_x = cx;
                pick->cell_z = cz;
                pick->triangle = triangle;
            }
}

}  // namespace

bool CastMeshRay(const MeshEditData& data, const MeshView& view, i32 x, i32 y, MeshPick* pick) {
    Ray ray;
    if (!view.valid || !data.mesh || !PixelRay(view, x, y, &ray)) return false;
    double best = -1;
    for (const MeshBlockRecord& block : data.blocks) {
        double enter;
        if (!RayHitsBox(ray, block.box, &enter) || (best >= 0 && enter > best)) continue;
        HitCells(block, ray, block.first_column, block.first_column + kMeshBlockCells, block.first_row,
                 block.first_row + kMeshBlockCells, &best, pick);
    }
    if (best < 0) return false;
    for (int i = 0; i < 3; ++i) pick->point[i] = static_cast<float>(ray.origin[i] + best * ray.direction[i]);
    double window[3];
    pick->depth = ProjectMeshPoint(view, pick->point, window) ? window[2] : 1.0;
    return true;
}

bool PickPointFromDepth(const MeshView& view, i32 x, i32 y, double depth, float* world_x, float* world_z) {
    *world_x = *world_z = -1.0f;
    if (!view.valid || !(depth < 1.0)) return false;
    double wx, wy, point[3];
    MeshPixelCentre(view, x, y, &wx, &wy);
    if (!UnprojectMeshPoint(view, wx, wy, depth, point)) return false;
    *world_x = static_cast<float>(point[0]);
    *world_z = static_cast<float>(point[2]);
    return true;
}

void RefineMeshPick(const MeshEditData& data, const MeshView& view, i32 x, i32 y, float* world_x, float* world_z) {
    Ray ray;
    if (!view.valid || !data.mesh || !PixelRay(view, x, y, &ray)) return;
    const i64 cx = static_cast<i64>(std::floor(*world_x)), cz = static_cast<i64>(std::floor(*world_z));
    double best = -1;
    MeshPick pick;
    for (const MeshBlockRecord& block : data.blocks) {
        const i64 x0 = std::max<i64>(cx - 1, block.first_column);
        const i64 x1 = std::min<i64>(cx + 2, i64(block.first_column) + kMeshBlockCells);
        const i64 z0 = std::max<i64>(cz - 1, block.first_row);
        const i64 z1 = std::min<i64>(cz + 2, i64(block.first_row) + kMeshBlockCells);
        if (x0 >= x1 || z0 >= z1) continue;
        HitCells(block, ray, u32(x0), u32(x1), u32(z0), u32(z1), &best, &pick);
    }
    if (best < 0) return;
    *world_x = static_cast<float>(ray.origin[0] + best * ray.direction[0]);
    *world_z = static_cast<float>(ray.origin[2] + best * ray.direction[2]);
}

}  // namespace pirn
