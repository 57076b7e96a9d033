// The 3D view's camera without GL: matrices, gestures, projection of
// vertices, the draw order and picking.

#include "models/model_view_camera.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <list>
#include <memory>
#include <random>

using namespace pirn;

namespace {

constexpr float kPi = 3.14159265f;

TEST(CameraMatrices, RotationsFollowTheirRowTables) {
    // Ry(a) rows (c, 0, -s), (0, 1, 0), (s, 0, c); Rx(b) rows (1, 0, 0),
    // (0, c, s), (0, -s, c); Rz(c) rows (c, s, 0), (-s, c, 0), (0, 0, 1).
    const struct {
        const char* what;
        float a, b, c;
        float in[3], out[3];
    } cases[] = {
        {"y quarter turn", kPi / 2, 0, 0, {1, 0, 0}, {0, 0, 1}},
        {"y quarter turn of z", kPi / 2, 0, 0, {0, 0, 1}, {-1, 0, 0}},
        {"x quarter turn", 0, kPi / 2, 0, {0, 1, 0}, {0, 0, -1}},
        {"z quarter turn", 0, 0, kPi / 2, {1, 0, 0}, {0, -1, 0}},
        // y first, then x: Ry(pi/2) x Rx(pi/2) x (0, 1, 0) = Ry x (0, 0, -1).
        {"y then x", kPi / 2, kPi / 2, 0, {0, 1, 0}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        float m[16];
        MatrixIdentity(m);
        MatrixRotate(m, c.a, c.b, c.c);
        float out[3];
        TransformPoint(m, c.in, out);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(out[k], c.out[k], 1e-6f) << k;
    }
    // The fourth column moves points: a translation times a point.
    float m[16];
    MatrixIdentity(m);
    m[3] = 5;
    m[7] = -2;
    const float p[3] = {1, 1, 1};
    float moved[3];
    TransformPoint(m, p, moved);
    EXPECT_EQ(moved[0], 6.0f);
    EXPECT_EQ(moved[1], -1.0f);
    EXPECT_EQ(moved[2], 1.0f);
}

TEST(CameraGestures, StepsComeFromTheCommittedStateAndTheTotalMotion) {
    ModelViewCamera camera;
    InitModelViewCamera(&camera);
    EXPECT_EQ(camera.far_plane, 256.0f);
    EXPECT_EQ(camera.distance, 5000.0f);

    // Zoom: 32 pixels double, -32 halve; the far plane follows at twice
    // the distance but never nearer than 65535.
    const struct {
        float committed, dx, distance, far;
    } zooms[] = {{100, 32, 200, 65535}, {100, -32, 50, 65535}, {100, 64, 400, 65535},
                 {32767.5f, 0, 32767.5f, 65535}, {20000, 32, 40000, 80000}};
    for (const auto& z : zooms) {
        SetCameraDistance(&camera, z.committed);
        camera.near_plane = 3;
        ZoomCamera(&camera, z.dx);
        ZoomCamera(&camera, z.dx);  // steps do not add up: each is from the committed state
        EXPECT_FLOAT_EQ(camera.distance, z.distance);
        EXPECT_EQ(camera.committed_distance, z.committed);
        EXPECT_FLOAT_EQ(camera.far_plane, z.far);
        EXPECT_EQ(camera.near_plane, 1.0f);
    }

    // Rotate: 256 pixels to the left is a whole turn of angle a.
    SetCameraAngles(&camera, 0.5f, 0.25f, 0.125f);
    RotateCamera(&camera, -256, 0);
    EXPECT_NEAR(camera.angles[0], 0.5f + 2 * kPi, 1e-5f);
    RotateCamera(&camera, 0, 128);
    EXPECT_NEAR(camera.angles[0], 0.5f, 1e-6f);
    EXPECT_NEAR(camera.angles[1], 0.25f + kPi, 1e-5f);
    EXPECT_EQ(camera.angles[2], 0.125f);

    // Pan: along the last frame's up and right, 128 pixels a unit.
    SetCameraCentre(&camera, 1, 2, 3);
    const float up[3] = {0, 1, 0}, right[3] = {0, 0, 1};
    std::copy(up, up + 3, camera.up);
    std::copy(right, right + 3, camera.right);
    PanCamera(&camera, 64, 256);
    EXPECT_FLOAT_EQ(camera.centre[0], 1);
    EXPECT_FLOAT_EQ(camera.centre[1], 4);
    EXPECT_FLOAT_EQ(camera.centre[2], 2.5f);

    CommitCamera(&camera);
    EXPECT_EQ(camera.committed_centre[1], camera.centre[1]);
    EXPECT_EQ(camera.committed_angles[1], camera.angles[1]);
    ZoomCamera(&camera, 32);
    CommitCamera(&camera);
    EXPECT_EQ(camera.committed_distance, camera.distance);
}

TEST(CameraGestures, FramingABoxCentresItAndKeepsItInsideTheFarPlane) {
    const struct {
        const char* what;
        float bounds[6];
        float diagonal, centre[3], far;
    } cases[] = {
        {"unit box", {0, 0, 0, 3, 4, 0}, 5, {1.5f, 2, 0}, 65535},
        {"one point", {2, 2, 2, 2, 2, 2}, 0, {2, 2, 2}, 65535},
        {"far larger than the first far plane", {-30000, 0, 0, 30000, 0, 0}, 60000, {0, 0, 0}, 180000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModelViewCamera camera;
        InitModelViewCamera(&camera);
        SetCameraAngles(&camera, 1, 2, 3);
        EXPECT_FLOAT_EQ(FrameCameraOnBounds(&camera, c.bounds), c.diagonal);
        EXPECT_FLOAT_EQ(camera.distance, 1.5f * c.diagonal);
        EXPECT_FLOAT_EQ(camera.committed_distance, 1.5f * c.diagonal);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(camera.angles[k], 0.0f);
            EXPECT_EQ(camera.committed_centre[k], c.centre[k]);
        }
        EXPECT_FLOAT_EQ(camera.far_plane, c.far);
    }
}

// A model of the given points and triangles.
std::unique_ptr<ModelObject> Model(const std::vector<std::array<float, 3>>& points,
                                   const std::vector<std::array<u32, 3>>& triangles) {
    auto model = std::make_unique<ModelObject>();
    for (const auto& p : points) {
        ModelVertex v;
        v.x = p[0];
        v.y = p[1];
        v.z = p[2];
        model->vertices.push_back(v);
    }
    for (const auto& t : triangles) {
        ModelTriangle triangle;
        for (int c = 0; c < 3; ++c) triangle.corners[c].vertex = t[c];
        model->triangles.push_back(triangle);
    }
    SetModelTriangleOwners(model.get());
    return model;
}

TEST(CameraView, VerticesLandWhereThePerspectivePutsThem) {
    // Eye 10 units in front of the origin, 90 degrees of view over a
    // 200 x 100 viewport at (30, 40): one unit at the centre's depth is a
    // tenth of the half height (50 px) and a twentieth of the half width.
    auto model = Model({{0, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -5}}, {});
    ModelViewCamera camera;
    InitModelViewCamera(&camera);
    camera.field_of_view = 90;
    SetCameraDistance(&camera, 10);
    camera.models.push_back(model.get());
    const i32 viewport[4] = {30, 40, 200, 100};
    SetupCameraView(&camera, viewport);
    const struct {
        float x, y, depth;
    } expected[] = {
        {130, 90, 0.903529f},  // (1 + ((257 / 255) x 10 - 512 / 255) / 10) / 2
        {135, 90, 0.903529f},  // model -x is to the right: the view mirrors x
        {130, 95, 0.903529f},
        {130, 90, 0.803137f},  // 5 units from the eye: (1 + ((257 / 255) x 5 - 512 / 255) / 5) / 2
    };
    for (size_t i = 0; i < model->vertices.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(model->vertices[i].window_x, expected[i].x, 1e-3f);
        EXPECT_NEAR(model->vertices[i].window_y, expected[i].y, 1e-3f);
        EXPECT_NEAR(model->vertices[i].window_depth, expected[i].depth, 1e-5f);
    }
    EXPECT_NEAR(camera.eye_offset[2], -10, 1e-6f);
    EXPECT_NEAR(camera.up[1], 1, 1e-6f);
    EXPECT_NEAR(camera.right[0], 1, 1e-6f);

    // A quarter turn of angle a puts the eye on +x looking along -x, with
    // -z to the right: the origin stays in the middle, -x lies farther
    // away and z = -5 a quarter of the half width to the right.
    SetCameraAngles(&camera, kPi / 2, 0, 0);
    SetupCameraView(&camera, viewport);
    EXPECT_NEAR(camera.eye_offset[0], 10, 1e-5f);
    EXPECT_NEAR(camera.right[2], 1, 1e-6f);  // R x (1, 0, 0), the screen's left
    EXPECT_NEAR(model->vertices[0].window_x, 130, 1e-3f);
    EXPECT_NEAR(model->vertices[1].window_x, 130, 1e-3f);
    EXPECT_GT(model->vertices[1].window_depth, model->vertices[0].window_depth);
    EXPECT_NEAR(model->vertices[3].window_x, 155, 1e-3f);
}

// The draw order as the list insertion makes it: each triangle goes before
// the first one whose key is smaller, else at the end.
std::vector<const ModelTriangle*> InsertionOrder(const std::vector<ModelObject*>& models) {
    std::list<const ModelTriangle*> list;
    for (const ModelObject* model : models)
        for (const ModelTriangle& triangle : model->triangles) {
            auto at = list.begin();
            while (at != list.end() && !((*at)->sort_key < triangle.sort_key)) ++at;
            list.insert(at, &triangle);
        }
    return {list.begin(), list.end()};
}

TEST(CameraView, DrawOrderIsFarthestFirstAndModelOrderOnTies) {
    std::mt19937 random(7);
    std::vector<std::unique_ptr<ModelObject>> models;
    ModelViewCamera camera;
    InitModelViewCamera(&camera);
    for (int m = 0; m < 3; ++m) {
        models.push_back(Model({{0, 0, 0}}, std::vector<std::array<u32, 3>>(200, {0, 0, 0})));
        camera.models.push_back(models.back().get());
        // Few distinct keys, so that ties are everywhere.
        for (ModelTriangle& t : models.back()->triangles) t.sort_key = float(random() % 5) / 4;
    }
    SortCameraTriangles(&camera);
    const std::vector<const ModelTriangle*> reference = InsertionOrder(camera.models);
    ASSERT_EQ(camera.draw_list.size(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) {
        ASSERT_EQ(camera.draw_list[i].triangle, reference[i]) << i;
        EXPECT_EQ(camera.draw_list[i].model, reference[i]->owner);
    }

    // A key that is not a number goes last, in model order.
    models[0]->triangles[3].sort_key = std::numeric_limits<float>::quiet_NaN();
    models[2]->triangles[0].sort_key = std::numeric_limits<float>::quiet_NaN();
    SortCameraTriangles(&camera);
    EXPECT_EQ(camera.draw_list[599].triangle, &models[2]->triangles[0]);
    EXPECT_EQ(camera.draw_list[598].triangle, &models[0]->triangles[3]);
    for (size_t i = 1; i < 598; ++i)
        EXPECT_GE(camera.draw_list[i - 1].triangle->sort_key, camera.draw_list[i].triangle->sort_key);
}

TEST(CameraView, SortKeysAreTheNearestCornerAndPickingFindsTheVisibleTriangle) {
    // Two triangles over the centre of the view, the second nearer and
    // smaller; a third off to the side; a fourth naming a vertex the model
    // lacks.
    auto model = Model({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}, {-0.5f, -0.5f, -2}, {0.5f, -0.5f, -2}, {0, 0.5f, -2}, {5, 5, 0}},
                       {{0, 2, 1}, {3, 5, 4}, {6, 6, 6}, {0, 1, 9}});
    ModelViewCamera camera;
    InitModelViewCamera(&camera);
    SetCameraDistance(&camera, 10);
    camera.models.push_back(model.get());
    const i32 viewport[4] = {0, 0, 100, 100};
    SetupCameraView(&camera, viewport);
    SortCameraTriangles(&camera);
    EXPECT_FLOAT_EQ(model->triangles[0].sort_key, model->vertices[0].window_depth);
    EXPECT_LT(model->triangles[1].sort_key, model->triangles[0].sort_key);
    EXPECT_TRUE(std::isnan(model->triangles[3].sort_key));
    EXPECT_EQ(camera.draw_list.back().triangle, &model->triangles[3]);

    const struct {
        const char* what;
        float x, y;
        int triangle;  // -1 for none
    } cases[] = {{"both under the point: the nearer", 50, 50, 1},
                 // 45 degrees of view: the far triangle's lower edge at y 37.9,
                 // the near one's at 42.5.
                 {"the far one below the near one", 50, 40, 0},
                 {"nothing", 5, 95, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CameraTriangle picked{nullptr, nullptr};
        const bool found = PickCameraTriangle(camera, c.x, c.y, &picked);
        EXPECT_EQ(found, c.triangle >= 0);
        if (found && c.triangle >= 0) {
            EXPECT_EQ(picked.triangle, &model->triangles[size_t(c.triangle)]);
        }
    }
}

}  // namespace
