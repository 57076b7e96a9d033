// The terrain camera and view maths: projection constants, the view's
// shape with the client's, the camera keys, block classification, and
// picking by ray against the drawn surface.

#include <gtest/gtest.h>

#include <cmath>

#include "models/mesh_camera.h"
#include "models/mesh_pick.h"
#include "tests/models/mesh_test_data.h"

namespace {

using pirn::MeshCamera;
using pirn::MeshView;
using pirn::u32;

TEST(MeshCamera, ProjectionKeepsTheVerticalViewForAnyClientShape) {
    EXPECT_NEAR(pirn::MeshFieldOfView(640, 480), 50.0, 1e-3);
    EXPECT_GT(pirn::MeshFieldOfView(1280, 480), pirn::MeshFieldOfView(640, 480));
    double narrow[16], wide[16];
    pirn::MeshFrustum f1, f2;
    ASSERT_TRUE(pirn::SetMeshProjection(640, 480, narrow, &f1));
    ASSERT_TRUE(pirn::SetMeshProjection(1280, 480, wide, &f2));
    // tan(25 degrees) / (4/3) of the near distance, split 11/7 below and 3/7 above.
    const double unit = std::tan(0.43633232) / 1.3333334;
    for (const pirn::MeshFrustum& f : {f1, f2}) {
        EXPECT_NEAR(f.bottom, -1.5714285 * unit, 1e-5);
        EXPECT_NEAR(f.top, 0.4285714 * unit, 1e-5);
        EXPECT_FLOAT_EQ(f.near_plane, 1.0f);
        EXPECT_FLOAT_EQ(f.far_plane, 10000.0f);
        EXPECT_FLOAT_EQ(f.left, -f.right);
    }
    EXPECT_NEAR(f1.right, std::tan(25 / 57.29578), 1e-5);
    EXPECT_GT(f2.right, f1.right);
    EXPECT_NEAR(narrow[5], wide[5], 1e-5);  // the same vertical scale
    // An empty client has no view (its aspect would divide by zero).
    EXPECT_FALSE(pirn::SetMeshProjection(0, 480, narrow, &f1));
    EXPECT_FALSE(pirn::SetMeshProjection(640, 0, narrow, &f1));
    MeshView view;
    pirn::SetupMeshView(&view, MeshCamera(), 0, 0);
    EXPECT_FALSE(view.valid);
}

TEST(MeshCamera, SideNormalsPointOutOfTheFrustum) {
    pirn::MeshFrustum f;
    pirn::MakeFrustumRecord(&f, 800, 600, 50.0f, 1.0f, 10000.0f);
    const float corners[4][3] = {{f.left, f.bottom, -1}, {f.right, f.bottom, -1}, {f.right, f.top, -1}, {f.left, f.top, -1}};
    const float outside[4][3] = {{-1, 0, -0.1f}, {1, 0, -0.1f}, {0, -1, -0.1f}, {0, 1, -0.1f}};
    for (int plane = 0; plane < 4; ++plane) {
        const float* n = f.normals[plane];
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-5);
        for (const auto& c : corners) EXPECT_LE(n[0] * c[0] + n[1] * c[1] + n[2] * c[2], 1e-5);
        EXPECT_GT(n[0] * outside[plane][0] + n[1] * outside[plane][1] + n[2] * outside[plane][2], 0) << plane;
    }
}

TEST(MeshCamera, KeysKeepYawInRangeAndPitchFinite) {
    MeshCamera camera;
    for (u32 key : {pirn::kCameraKeyA, pirn::kCameraKeyD, pirn::kCameraKeyQ, pirn::kCameraKeyE})
        for (int i = 0; i < 500; ++i) {
            pirn::MoveMeshCamera(&camera, key);
            ASSERT_GE(camera.yaw, 0.0f);
            ASSERT_LT(camera.yaw, 360.0f);
        }
    for (int i = 0; i < 200; ++i) pirn::MoveMeshCamera(&camera, pirn::kCameraKeyO);
    EXPECT_FLOAT_EQ(camera.pitch, pirn::kMeshPitchMax);
    for (int i = 0; i < 50; ++i) pirn::MoveMeshCamera(&camera, pirn::kCameraKeyQ);
    for (float v : camera.eye) EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(camera.distance));
    for (int i = 0; i < 200; ++i) pirn::MoveMeshCamera(&camera, pirn::kCameraKeyP);
    EXPECT_FLOAT_EQ(camera.pitch, pirn::kMeshPitchMin);
}

TEST(MeshCamera, MovesAlongTheLineOfSightAndOrbitsItsGroundPoint) {
    MeshCamera camera;
    float before[3], after[3];
    pirn::MeshEyePosition(camera, before);
    ASSERT_TRUE(pirn::MoveMeshCamera(&camera, pirn::kCameraKeyW));
    pirn::MeshEyePosition(camera, after);
    // At yaw 135 forward is the mesh's +x, +z diagonal.
    EXPECT_NEAR(after[0] - before[0], 0.5 / std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(after[2] - before[2], 0.5 / std::sqrt(2.0), 1e-5);
    EXPECT_FLOAT_EQ(after[1], before[1]);
    // X and Z cancel out.
    EXPECT_FALSE(pirn::MoveMeshCamera(&camera, pirn::kCameraKeyX | pirn::kCameraKeyZ));

    const float d = pirn::MeshGroundDistance(camera);
    EXPECT_NEAR(d, 50.0 / std::tan(27 / 57.29578), 1e-3);
    auto ground = [](const MeshCamera& c, float out[2]) {
        const double a = -c.yaw / 57.29578;
        out[0] = float(c.eye[0] + std::sin(a) * c.distance);
        out[1] = float(c.eye[2] - std::cos(a) * c.distance);
    };
    float g0[2], g1[2];
    camera.distance = d;
    ground(camera, g0);
    pirn::MoveMeshCamera(&camera, pirn::kCameraKeyQ);
    ground(camera, g1);
    EXPECT_NEAR(g0[0], g1[0], 1e-3);
    EXPECT_NEAR(g0[1], g1[1], 1e-3);
    EXPECT_FLOAT_EQ(camera.yaw, 133.0f);
}

TEST(MeshCamera, DefaultViewLooksOverTheMeshFromItsCorner) {
    MeshView view;
    pirn::SetupMeshView(&view, MeshCamera(), 800, 600);
    ASSERT_TRUE(view.valid);
    double w[3];
    const float ahead[3] = {70, 0, 70};
    ASSERT_TRUE(pirn::ProjectMeshPoint(view, ahead, w));
    EXPECT_NEAR(w[0], 400, 1);  // straight ahead: the middle column
    EXPECT_GT(w[1], 0);
    EXPECT_LT(w[1], 600);
    EXPECT_GT(w[2], 0);
    EXPECT_LT(w[2], 1);
    // Unprojecting gives the point back.
    double back[3];
    ASSERT_TRUE(pirn::UnprojectMeshPoint(view, w[0], w[1], w[2], back));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], ahead[i], 1e-2);
    // Mirrored in x: the mesh's +x side is to the right of the line of sight,
    // as the detail images (rows mirrored) show it from above.
    const float right_side[3] = {90, 0, 50};
    ASSERT_TRUE(pirn::ProjectMeshPoint(view, right_side, w));
    EXPECT_GT(w[0], 400);
}

TEST(MeshCamera, ClassifiesBlocksAgainstTheFrustum) {
    MeshView view;
    pirn::SetupMeshView(&view, MeshCamera(), 800, 600);
    float planes[4][3], eye[3];
    pirn::MeshFrustumPlanes(view, planes);
    pirn::MeshEyePosition(MeshCamera(), eye);
    const float inside[6] = {68, -0.1f, 68, 72, 0.1f, 72};
    const float behind[6] = {-40, -1, -40, -30, 1, -30};
    const float straddling[6] = {0, 0, 60, 200, 1, 70};
    EXPECT_EQ(pirn::ClassifyBlock(inside, planes, eye), 2);
    EXPECT_EQ(pirn::ClassifyBlock(behind, planes, eye), 0);
    EXPECT_EQ(pirn::ClassifyBlock(straddling, planes, eye), 1);
}

TEST(MeshPick, RayFindsTheTriangleUnderAPixelAndTheDepthReadGivesItsPoint) {
    // 4 x 4 blocks with a gentle slope.
    auto d = mesh_test::MakeMeshData(4, 4, [](u32 x, u32 y) { return pirn::i16(x * 16 + y * 8); });
    MeshView view;
    pirn::SetupMeshView(&view, d->camera, 800, 600);
    int hits = 0;
    for (int y = 300; y < 600; y += 37)
        for (int x = 50; x < 800; x += 71) {
            pirn::MeshPick pick;
            if (!pirn::CastMeshRay(*d, view, x, y, &pick)) continue;
            ++hits;
            // The hit lies in its triangle: the triangle picked at that
            // point's x and z is the same one.
            u32 cx = u32(pick.point[0]), cz = u32(pick.point[2]);
            EXPECT_EQ(cx, pick.cell_x);
            EXPECT_EQ(cz, pick.cell_z);
            EXPECT_NEAR(pick.point[1], pirn::GetTerrainHeight(*d, pick.point[0], pick.point[2]), 1e-3);
            float wx, wz;
            ASSERT_TRUE(pirn::PickPointFromDepth(view, x, y, pick.depth, &wx, &wz));
            EXPECT_NEAR(wx, pick.point[0], 1e-2);
            EXPECT_NEAR(wz, pick.point[2], 1e-2);
        }
    EXPECT_GT(hits, 20);
    float wx, wz;
    EXPECT_FALSE(pirn::PickPointFromDepth(view, 10, 10, 1.0, &wx, &wz));
    EXPECT_FLOAT_EQ(wx, -1.0f);
}

}  // namespace
