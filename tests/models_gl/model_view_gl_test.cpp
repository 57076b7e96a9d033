// The 3D model view drawn with GL on Mesa: our camera matrices against
// GLU's, and a synthetic model read back pixel by pixel (texture mapping,
// depth order, blending, culled back faces, untextured triangles).

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "models/gl/model_view_gl.h"
#include "models/model_view_camera.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "ui/frame_step.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A window whose client area shows a camera's models.
class ModelViewWindow : public Window {
public:
    explicit ModelViewWindow(ModelViewCamera* camera) : Window(kVisible | kEnabled, nullptr), camera_(camera) {}
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 1)) GetModelViewRenderer()->DrawScene(camera_);
        EndWindowDraw(this);
    }

private:
    ModelViewCamera* camera_;
};

class ModelViewGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn model view test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        InstallModelViewGl();
        InitModelViewCamera(&camera_);
    }
    void TearDown() override {
        for (auto& model : models_) ReleaseModelTextures(model.get());
        SetModelViewRenderer(nullptr);
        SkinnedGlFixture::TearDown();
    }

    static bool Near(const Rgb& a, const Rgb& b, int tolerance) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        return true;
    }
    static std::string Show(const Rgb& c) {
        return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
    }
    // The pixel under a model point, found through the frame's projection
    // (window y counts from the bottom of the viewport).
    Rgb PixelAt(const ModelObject& model, u32 vertex) const {
        const ModelVertex& v = model.vertices[vertex];
        return Pixel(int(std::floor(v.window_x)), height_ - 1 - int(std::floor(v.window_y)));
    }

    void ExpectSyntheticScene(const ModelObject& scene) const;

    ModelViewCamera camera_;
    std::vector<std::unique_ptr<ModelObject>> models_;
};

TEST_F(ModelViewGlTest, CameraMatricesAreThoseOfGlFrustumAndGluLookAt) {
    ModelViewCamera& camera = camera_;
    SetCameraAngles(&camera, 0.3f, -0.7f, 0.2f);
    SetCameraDistance(&camera, 7);
    SetCameraCentre(&camera, 1, 2, 3);
    ZoomCamera(&camera, 0);
    auto model = std::make_unique<ModelObject>();
    for (float x : {-1.0f, 0.5f, 2.0f}) {
        ModelVertex v;
        v.x = x;
        v.y = x * 0.5f;
        v.z = 3 - x;
        model->vertices.push_back(v);
    }
    camera.models.push_back(model.get());
    const i32 viewport[4] = {10, 20, 300, 200};
    SetupCameraView(&camera, viewport);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    const double top = std::tan(camera.field_of_view * M_PI / 360.0) * camera.near_plane;
    glFrustum(-top * 1.5, top * 1.5, -top, top, camera.near_plane, camera.far_plane);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(camera.centre[0] + camera.eye_offset[0], camera.centre[1] + camera.eye_offset[1],
              camera.centre[2] + camera.eye_offset[2], camera.centre[0], camera.centre[1], camera.centre[2],
              camera.up[0], camera.up[1], camera.up[2]);
    double model_view[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model_view);
    glPopMatrix();
    for (int i = 0; i < 16; ++i) {
        // GL keeps its matrices in single precision.
        EXPECT_NEAR(camera.projection[i], projection[i], 1e-6 * (1 + std::fabs(projection[i]))) << i;
        EXPECT_NEAR(camera.model_view[i], model_view[i], 1e-5) << i;
    }
    const GLint gl_viewport[4] = {10, 20, 300, 200};
    for (const ModelVertex& v : model->vertices) {
        double x, y, z;
        ASSERT_TRUE(gluProject(v.x, v.y, v.z, model_view, projection, gl_viewport, &x, &y, &z));
        EXPECT_NEAR(v.window_x, x, 1e-3);
        EXPECT_NEAR(v.window_y, y, 1e-3);
        EXPECT_NEAR(v.window_depth, z, 1e-6);
    }
}

// Points of the synthetic scene; the view mirrors x, so +x is the left of
// the screen.
enum Point3 : u32 {
    kFarTopLeft, kFarTopRight, kFarBottomRight, kFarBottomLeft,  // textured quad, z = 1
    kNearTopLeft, kNearTopRight, kNearBottomRight, kNearBottomLeft,  // white quad, z = -0.5
    kGlassA, kGlassB, kGlassC,   // half-transparent triangle, z = -0.8
    kBackA, kBackB, kBackC,      // a back face, z = -0.9
    kProbeTopLeft, kProbeTopRight, kProbeBottomLeft, kProbeBottomRight, kProbeCentre,  // on the far quad
    kPointCount
};

std::unique_ptr<ModelObject> SyntheticScene() {
    auto model = std::make_unique<ModelObject>();
    const float p[kPointCount][3] = {
        {1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1},
        {0.25f, 0.25f, -0.5f}, {-0.25f, 0.25f, -0.5f}, {-0.25f, -0.25f, -0.5f}, {0.25f, -0.25f, -0.5f},
        {-0.2f, -0.2f, -0.8f}, {-0.9f, -0.2f, -0.8f}, {-0.55f, -0.9f, -0.8f},
        {0.2f, 0.2f, -0.9f}, {0.9f, 0.2f, -0.9f}, {0.55f, 0.9f, -0.9f},
        {0.5f, 0.5f, 1}, {-0.5f, 0.5f, 1}, {0.5f, -0.5f, 1}, {-0.5f, -0.5f, 1}, {0, 0, 1},
    };
    for (const auto& q : p) {
        ModelVertex v;
        v.x = q[0];
        v.y = q[1];
        v.z = q[2];
        model->vertices.push_back(v);
    }
    auto add = [&model](u32 a, u32 b, u32 c, u32 texture, u32 colour, const float uv[3][2]) {
        ModelTriangle t;
        t.texture = texture;
        t.colour = colour;
        const u32 corners[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            t.corners[k].vertex = corners[k];
            if (uv) {
                t.corners[k].u = uv[k][0];
                t.corners[k].v = uv[k][1];
            }
        }
        model->triangles.push_back(t);
    };
    // Clockwise on the screen is the front. UV v = 0 is the image's top.
    const float first[3][2] = {{0, 0}, {1, 0}, {1, 1}}, second[3][2] = {{0, 0}, {1, 1}, {0, 1}};
    add(kFarTopLeft, kFarTopRight, kFarBottomRight, 0, kModelOpaqueWhite, first);
    add(kFarTopLeft, kFarBottomRight, kFarBottomLeft, 0, kModelOpaqueWhite, second);
    add(kNearTopLeft, kNearTopRight, kNearBottomRight, kNoModelTexture, kModelOpaqueWhite, nullptr);
    add(kNearTopLeft, kNearBottomRight, kNearBottomLeft, kNoModelTexture, kModelOpaqueWhite, nullptr);
    add(kGlassA, kGlassB, kGlassC, kNoModelTexture, 0x80FFFFFFu, nullptr);  // alpha 128, after the quad
    add(kBackA, kBackC, kBackB, kNoModelTexture, kModelOpaqueWhite, nullptr);  // counter-clockwise: culled
    model->textures.resize(1);
    const u8 rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};  // red, green / blue, yellow
    SetImagePixels(&model->textures[0].colour, 2, 2, kFormatRgb, rgb);
    SetModelTriangleOwners(model.get());
    return model;
}

TEST_F(ModelViewGlTest, SyntheticSceneShowsTexturesDepthBlendingAndNoBackFaces) {
    models_.push_back(SyntheticScene());
    ModelObject& scene = *models_.back();
    camera_.models.push_back(&scene);
    camera_.field_of_view = 60;
    SetCameraDistance(&camera_, 4);
    auto* view = new ModelViewWindow(&camera_);
    SetFrame(view, Rect{40, 30, 440, 430});
    Draw();
    Shot("model_view_synthetic");

    ExpectSyntheticScene(scene);
    // The draw order put the glass after everything behind it.
    size_t glass = 0, far_quad = 0;
    for (size_t i = 0; i < camera_.draw_list.size(); ++i) {
        if (camera_.draw_list[i].triangle == &scene.triangles[4]) glass = i;
        if (camera_.draw_list[i].triangle == &scene.triangles[0]) far_quad = i;
    }
    EXPECT_GT(glass, far_quad);
    // Picking agrees with what is shown where nothing is culled.
    CameraTriangle picked{nullptr, nullptr};
    const ModelVertex& centre = scene.vertices[kProbeCentre];
    ASSERT_TRUE(PickCameraTriangle(camera_, centre.window_x, centre.window_y, &picked));
    EXPECT_TRUE(picked.triangle == &scene.triangles[2] || picked.triangle == &scene.triangles[3]);
    // Texturing is off after the draw, blending stays on.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_NE(scene.textures[0].gl.name, 0u);
}

// What other drawing leaves set (another view's clear colour, outlines, a
// texture mode, the depth test the other way round, light) does not show
// in the view, and the view leaves it as it found it.
TEST_F(ModelViewGlTest, OtherDrawingsStateNeitherShowsNorIsChanged) {
    models_.push_back(SyntheticScene());
    ModelObject& scene = *models_.back();
    camera_.models.push_back(&scene);
    camera_.field_of_view = 60;
    SetCameraDistance(&camera_, 4);
    auto* view = new ModelViewWindow(&camera_);
    SetFrame(view, Rect{40, 30, 440, 430});
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glClearColor(0.5f, 0.25f, 0.125f, 1);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glDepthFunc(GL_GREATER);
    glFrontFace(GL_CCW);
    glEnable(GL_LIGHTING);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.9f);
    Draw();
    ExpectSyntheticScene(scene);
    const Rect client = view->GetClientScreenRect();
    EXPECT_EQ(Pixel(client.left + 2, client.bottom - 3), (Rgb{0, 0, 0}));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.5f);
    GLint value[2];
    glGetIntegerv(GL_POLYGON_MODE, value);
    EXPECT_EQ(value[0], GL_LINE);
    glGetIntegerv(GL_DEPTH_FUNC, value);
    EXPECT_EQ(value[0], GL_GREATER);
    glGetIntegerv(GL_FRONT_FACE, value);
    EXPECT_EQ(value[0], GL_CCW);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, value);
    EXPECT_EQ(value[0], GL_REPLACE);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glPopAttrib();
}

// The far quad's texture, one texel per quadrant: red, green / blue,
// yellow, as the image lies; the near white quad; the glass over one texel.
void ModelViewGlTest::ExpectSyntheticScene(const ModelObject& scene) const {
    const struct {
        const char* what;
        u32 point;
        Rgb colour;
    } cases[] = {
        {"top left texel, under the culled back face", kProbeTopLeft, {255, 0, 0}},
        {"top right texel", kProbeTopRight, {0, 255, 0}},
        {"bottom left texel", kProbeBottomLeft, {0, 0, 255}},
        {"bottom right texel under half-transparent white", kProbeBottomRight, {255, 255, 128}},
        {"the near white quad in front of the middle", kProbeCentre, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Rgb seen = PixelAt(scene, c.point);
        EXPECT_TRUE(Near(seen, c.colour, 4)) << Show(seen);
    }
}

TEST_F(ModelViewGlTest, BadIndicesAndEmptyModelsDrawNothingWrong) {
    models_.push_back(SyntheticScene());
    ModelObject& scene = *models_.back();
    // The far quad's texture index leads nowhere and a glass corner names a
    // vertex the model lacks: the quad draws white, the glass not at all.
    scene.triangles[0].texture = 7;
    scene.triangles[1].texture = 7;
    scene.triangles[4].corners[2].vertex = 999;
    models_.push_back(std::make_unique<ModelObject>());  // no triangles at all
    camera_.models = {models_[0].get(), models_[1].get()};
    camera_.field_of_view = 60;
    SetCameraDistance(&camera_, 4);
    auto* view = new ModelViewWindow(&camera_);
    SetFrame(view, Rect{40, 30, 440, 430});
    Draw();
    for (u32 point : {kProbeTopRight, kProbeBottomLeft, kProbeBottomRight}) {
        const Rgb seen = PixelAt(scene, point);
        EXPECT_TRUE(Near(seen, {255, 255, 255}, 2)) << point << ": " << Show(seen);
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
}  // namespace pirn
