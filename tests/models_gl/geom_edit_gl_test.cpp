// From a third-party LightWave object to the screen and back: the object
// imported through the model import into a scratch game's local folder,
// its four tags found in the catalogue, the geometry opened in GeomEdit
// through the editor registry and drawn on Mesa (a screenshot goes to the
// test output), the Zoom button dragged with the pointer locked, and the
// geometry exported to LWO and compared with the source.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/gl/mesh_renderer_gl.h"
#include "models/gl/model_view_gl.h"
#include "models/lwo_reader.h"
#include "models/model_import.h"
#include "models/ui/geom_edit.h"
#include "models/ui/mesh_edit.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "platform/pixel_convert.h"
#include "platform/os/os_input.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/gui/x11_client.h"
#include "tests/models/terrain_fixture.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "ui/frame_step.h"
#include "ui/skin_slots.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// One corner of a polygon: position and texture coordinates.
struct Corner {
    float p[3];
    float uv[2];
};

// Where the pointer is on the screen, as xdotool reports it.
std::pair<int, int> PointerLocation() {
    std::string out;
    pirn_test::RunProgram({"xdotool", "getmouselocation"}, &out);
    int x = -1, y = -1;
    std::sscanf(out.c_str(), "x:%d y:%d", &x, &y);
    return {x, y};
}

bool Near(float a, float b, float tolerance) { return std::fabs(a - b) <= tolerance; }

bool SameCorner(const Corner& a, const Corner& b) {
    for (int k = 0; k < 3; ++k)
        if (!Near(a.p[k], b.p[k], 1.0f / 512)) return false;
    return Near(a.uv[0], b.uv[0], 2.0f / 65535) && Near(a.uv[1], b.uv[1], 2.0f / 65535);
}

// Every polygon of the object's first layer as corners, with the UVs of
// the surface's image map (per-polygon values first, then per-point).
std::vector<std::vector<Corner>> Polygons(const LwoObject& object) {
    const LwoLayer& layer = object.layers.at(0);
    std::vector<std::vector<Corner>> polygons;
    for (const LwoPolygon& polygon : layer.polygons) {
        const std::string& map = object.surfaces.at(polygon.surface).channels[kLwoChannelColour].at(0).image.uv_map;
        std::vector<Corner> corners;
        for (const LwoPolygonVertex& vertex : polygon.vertices) {
            Corner c{};
            std::copy(layer.points[vertex.index].position, layer.points[vertex.index].position + 3, c.p);
            bool found = false;
            for (const LwoSpan<LwoVertexMapRef>& refs : {layer.VmadsOf(vertex), layer.VmapsOf(layer.points[vertex.index])}) {
                for (const LwoVertexMapRef& ref : refs) {
                    const LwoVertexMap& vm = layer.vertex_maps[ref.map];
                    if (found || vm.name != map) continue;
                    c.uv[0] = vm.entry(ref.entry)[0];
                    c.uv[1] = vm.entry(ref.entry)[1];
                    found = true;
                }
            }
            corners.push_back(c);
        }
        polygons.push_back(corners);
    }
    return polygons;
}

class GeomEditGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn geometry editor test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        InstallModelViewGl();
        UnloadCodex();
        SetLocalFolder(game_.path() + "/local/");
        PollLocalFolder(true);
        BindGeomEdit();
        RegisterTagEditors();
        OsSetMousePosCallback(HandleMouseMoveInput);
        OsSetMouseButtonHandler(HandleMouseButtonInput);
    }
    void TearDown() override {
        if (!IsSkipped()) {
            OsSetMousePosCallback(nullptr);
            OsSetMouseButtonHandler(nullptr);
            ResetWindowSystem();  // the editor lets go of its tag
            EXPECT_EQ(UnloadCodex(), 1);
            UnbindTagEditors();
            ClearTagGroupEditors();
            SetModelViewRenderer(nullptr);
        }
        SkinnedGlFixture::TearDown();
    }

    // Frames until the condition holds (a safety limit, not a measurement).
    static bool FramesUntil(const std::function<bool()>& done) {
        return pirn_test::PumpUntil([&] {
            StepFrame();
            return done();
        });
    }

    // A drag on Zoom in steps: the press (in the button's middle, or
    // `nudge` pixels down and right of it), moves to the right, the release.
    // Each waits for the editor to have it. The pointer comes to the button
    // from beside it, so that reaching it is a motion even when an earlier
    // drag left the pointer there. GLFW drops a motion onto the point it
    // last moved the pointer to itself (where the last drag began), so a
    // drag after another one that held the pointer begins on another pixel.
    void PressZoom(GeomEdit* editor, int nudge = 0) {
        pirn_test::GuiWindow::XWindowId();
        const Rect zoom = editor->ZoomButton()->GetFrameScreenRect();
        ASSERT_TRUE(pirn_test::Xdotool({"mousemove", "--window", "{win}", std::to_string(zoom.left - 20),
                                        std::to_string(zoom.bottom + 20)}));
        ASSERT_TRUE(FramesUntil([&] { return GetHoverWindow() != editor->ZoomButton(); }));
        ASSERT_TRUE(pirn_test::Xdotool({"mousemove", "--window", "{win}",
                                        std::to_string(ZoomMiddle(editor).first + nudge),
                                        std::to_string(ZoomMiddle(editor).second + nudge)}));
        ASSERT_TRUE(FramesUntil([&] { return GetHoverWindow() == editor->ZoomButton(); }));
        ASSERT_TRUE(pirn_test::Xdotool({"mousedown", "1"}));
        ASSERT_TRUE(FramesUntil([] { return IsPointerLocked(); }));
    }
    void MoveRight(GeomEdit* editor, int dx) {
        const int expected = editor->ZoomButton()->GetDragTotal().x + dx;
        ASSERT_TRUE(pirn_test::Xdotool({"mousemove_relative", "--", std::to_string(dx), "0"}));
        EXPECT_TRUE(FramesUntil([&] { return editor->ZoomButton()->GetDragTotal().x >= expected; }))
            << editor->ZoomButton()->GetDragTotal().x;
    }
    void ReleaseZoom() {
        ASSERT_TRUE(pirn_test::Xdotool({"mouseup", "1"}));
        ASSERT_TRUE(FramesUntil([] { return !IsPointerLocked(); }));
    }
    static std::pair<int, int> ZoomMiddle(GeomEdit* editor) {
        const Rect zoom = editor->ZoomButton()->GetFrameScreenRect();
        return {(zoom.left + zoom.right) / 2, (zoom.top + zoom.bottom) / 2};
    }

    // After a drag of 32 pixels to the right in all: the view is twice as
    // far away as before it.
    static void ExpectDoubled(GeomEdit* editor, float distance_before) {
        EXPECT_EQ(editor->ZoomButton()->GetDragTotal().x, 32);
        EXPECT_EQ(editor->ZoomButton()->GetDragTotal().y, 0);
        EXPECT_FLOAT_EQ(editor->Camera().committed_distance, distance_before * 2);
    }
    void ZoomRightBy32(GeomEdit* editor) {
        const float distance = editor->Camera().distance;
        PressZoom(editor);
        MoveRight(editor, 32);
        ReleaseZoom();
        ExpectDoubled(editor, distance);
    }

    void Screenshot(const std::string& name) const {
        SavePng(name);
    }

    pirn_test::TempDir game_;
    pirn_test::TempDir out_;
    ScopedLogCapture log_;
    ScriptedPrompts prompts_;
};

TEST_F(GeomEditGlTest, ImportedObjectShowsInGeomEditAndExportsBackToItsSource) {
    const std::string folder = pirn_test::SourceDir() + "/tests/data/lwo/LWO2";
    const std::string source = folder + "/boxuv.lwo";
    ImageFile identified;
    InitImageFile(&identified, source);
    ASSERT_TRUE(IdentifyImageFile(&identified));
    EXPECT_EQ(identified.kind, u32{kKindModel});

    TagEntry* geom = ImportLwoModel(source, folder, "Box", prompts_);
    ASSERT_NE(geom, nullptr) << log_.TopicText("Model Import");

    // The four tags in the catalogue, all named "Box".
    TagList local;
    ListLocalTags(local);
    std::vector<std::string> found;
    for (TagEntry* tag : local) {
        TagHeader header{};
        GetTagHeader(tag, &header);
        if (std::string(header.name) == "Box") found.push_back(FourCCToText(tag->group));
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{".256", "core", "geom", "mode"}));

    auto* editor = dynamic_cast<GeomEdit*>(OpenTagEditor(geom));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 60, 40);
    Draw();
    Screenshot("geom_edit_boxuv");
    // The face toward the eye is the source's "-Z" face: white letters and
    // lines on black inside the box's outline, the cleared black around it.
    const ModelObject& model = *editor->Model();
    float left = 1e9f, right = -1e9f, low = 1e9f, high = -1e9f;
    for (const ModelVertex& v : model.vertices) {
        left = std::min(left, v.window_x);
        right = std::max(right, v.window_x);
        low = std::min(low, v.window_y);
        high = std::max(high, v.window_y);
    }
    const Rect face{int(left) + 2, height_ - int(high) + 2, int(right) - 2, height_ - int(low) - 2};
    const Rect client = editor->GetClientScreenRect();
    ASSERT_TRUE(face.left > client.left && face.right < client.right && face.top > client.top + 60 &&
                face.bottom < client.bottom);
    auto white = [this](int x, int y) {
        const std::array<int, 3> p = Pixel(x, y);
        return p[0] > 200 && p[1] > 200 && p[2] > 200;
    };
    int letters = 0, samples = 0;
    for (int y = face.top; y < face.bottom; y += 2)
        for (int x = face.left; x < face.right; x += 2, ++samples) letters += white(x, y) ? 1 : 0;
    EXPECT_GT(letters, samples / 50);
    EXPECT_LT(letters, samples / 2);
    for (int x = face.left; x < face.right; x += 7) {
        EXPECT_EQ(Pixel(x, face.top - 8), (std::array<int, 3>{0, 0, 0}));
        EXPECT_EQ(Pixel(x, face.bottom + 8), (std::array<int, 3>{0, 0, 0}));
    }

    // A drag on Zoom, 32 pixels to the right with the pointer locked,
    // doubles the distance.
    ZoomRightBy32(editor);
    EXPECT_EQ(editor->ZoomButton()->GetDragTotal().x, 32);
    Draw();
    Screenshot("geom_edit_boxuv_zoomed");

    // Exported, the object is the source's: the same points, every triangle
    // inside one source quad with the same texture coordinates, the same
    // surface and picture.
    const LwoExportResult exported = editor->ExportTo(out_.path());
    ASSERT_TRUE(exported.written);
    LwoReadFailure failure;
    auto original = LwoReadObjectFile(source, &failure);
    auto back = LwoReadObjectFile(exported.lwo_path, &failure);
    ASSERT_TRUE(original && back) << LwoFailureText(failure);
    ASSERT_EQ(back->layers[0].points.size(), original->layers[0].points.size());
    for (size_t i = 0; i < original->layers[0].points.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(back->layers[0].points[i].position[k], original->layers[0].points[i].position[k], 1.0 / 512);
    ASSERT_EQ(back->surfaces.size(), original->surfaces.size());
    EXPECT_EQ(back->surfaces[0].name, original->surfaces[0].name);
    ASSERT_EQ(back->clips.size(), 1u);
    EXPECT_EQ(back->clips[0].file_name, "boxuv.png");

    const std::vector<std::vector<Corner>> quads = Polygons(*original), triangles = Polygons(*back);
    EXPECT_EQ(triangles.size(), 2 * quads.size());
    std::vector<int> triangles_per_quad(quads.size(), 0);
    for (const std::vector<Corner>& triangle : triangles) {
        ASSERT_EQ(triangle.size(), 3u);
        bool inside = false;
        for (size_t q = 0; q < quads.size() && !inside; ++q) {
            int matched = 0;
            for (const Corner& corner : triangle)
                for (const Corner& quad_corner : quads[q])
                    if (SameCorner(corner, quad_corner)) {
                        ++matched;
                        break;
                    }
            if (matched == 3) {
                inside = true;
                ++triangles_per_quad[q];
            }
        }
        EXPECT_TRUE(inside);
    }
    for (int count : triangles_per_quad) EXPECT_EQ(count, 2);

    // The picture went through a 256-colour table: the same size, colours
    // close to the source's.
    ImageFile a, b;
    InitImageFile(&a, folder + "/boxuv.png");
    InitImageFile(&b, out_.path() + "/boxuv.png");
    ASSERT_TRUE(LoadImageFile(&a) && LoadImageFile(&b));
    PixelImage pa, pb;
    ASSERT_TRUE(CopyImageAs(&pa, a.image, kFormatRgba) && CopyImageAs(&pb, b.image, kFormatRgba));
    ASSERT_EQ(pa.width, pb.width);
    ASSERT_EQ(pa.height, pb.height);
    double difference = 0;
    for (size_t i = 0; i < pa.pixels.size(); i += 4)
        for (int k = 0; k < 3; ++k) difference += std::abs(int(pa.pixels[i + k]) - int(pb.pixels[i + k]));
    EXPECT_LT(difference / (3.0 * pa.width * pa.height), 8.0);
}

// With the keyboard focus in another program's window the pointer cannot be
// held or put back in the middle; the drag still measures what the pointer
// did.
TEST_F(GeomEditGlTest, ZoomDragIsRightWithTheFocusInAnotherWindow) {
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game_.path() + "/Zarnhold", &error)) << error;
    SetLocalFolder(game_.path() + "/Zarnhold/local/");
    PollLocalFolder(true);
    auto* editor = dynamic_cast<GeomEdit*>(OpenTagEditor(FindTag(MakeFourCC("geom"), MakeFourCC("m002"))));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 100, 80);  // away from where the first test's drag began (see PressZoom)
    Draw();
    pirn_test::FocusThief thief(kWidth + 100, kHeight + 100);
    ASSERT_TRUE(thief.HoldsFocus());
    ZoomRightBy32(editor);
    EXPECT_TRUE(thief.HoldsFocus());
    // Again, for the second drag starts where the first left the pointer.
    ZoomRightBy32(editor);
}

// Where the desktop gives the focus on a click, it arrives just after the
// press that starts a drag: the drag goes on from where it was, now with
// the pointer held. A window of another program that takes the focus
// during a drag ends it, as a release would, and frees the pointer.
TEST_F(GeomEditGlTest, ZoomDragIsRightWhenTheFocusComesOrGoesDuringIt) {
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game_.path() + "/Zarnhold", &error)) << error;
    SetLocalFolder(game_.path() + "/Zarnhold/local/");
    PollLocalFolder(true);
    auto* editor = dynamic_cast<GeomEdit*>(OpenTagEditor(FindTag(MakeFourCC("geom"), MakeFourCC("m002"))));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 140, 120);  // away from where earlier drags began (see PressZoom)
    Draw();

    auto thief = std::make_unique<pirn_test::FocusThief>(kWidth + 100, kHeight + 100);
    ASSERT_TRUE(thief->HoldsFocus());
    float distance = editor->Camera().distance;
    PressZoom(editor);
    MoveRight(editor, 12);
    thief.reset();  // the focus goes back to the program window
    // Held, the pointer is put in the middle of the window.
    ASSERT_TRUE(FramesUntil([] { return PointerLocation() == std::make_pair(kWidth / 2, kHeight / 2); }));
    MoveRight(editor, 20);
    ReleaseZoom();
    ExpectDoubled(editor, distance);

    distance = editor->Camera().distance;
    PressZoom(editor, 3);
    MoveRight(editor, 16);
    thief = std::make_unique<pirn_test::FocusThief>(kWidth + 100, kHeight + 100);
    ASSERT_TRUE(FramesUntil([] { return !IsPointerLocked(); }));
    EXPECT_EQ(editor->ZoomButton()->GetDragTotal().x, 16);
    EXPECT_FLOAT_EQ(editor->Camera().committed_distance, distance * std::sqrt(2.0f));
    EXPECT_EQ(editor->ZoomButton()->CurrentLook(), kSlotZoomButton);
    ASSERT_TRUE(pirn_test::Xdotool({"mouseup", "1"}));
}

// Each view sets the GL state it draws with: the geometry view's background
// is the same black whether or not the terrain view (which clears to its
// sky) drew before it, and the terrain's sky stays its own.
TEST_F(GeomEditGlTest, BackgroundIsTheSameAfterTheTerrainViewDrew) {
    const std::string folder = pirn_test::SourceDir() + "/tests/data/lwo/LWO2";
    TagEntry* geom = ImportLwoModel(folder + "/boxuv.lwo", folder, "Box", prompts_);
    ASSERT_NE(geom, nullptr);
    auto* editor = dynamic_cast<GeomEdit*>(OpenTagEditor(geom));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 20, 20);
    Draw();
    const Rect client = editor->GetClientScreenRect();
    const std::array<std::array<int, 2>, 3> corners = {
        {{client.left + 4, client.bottom - 4}, {client.right - 4, client.bottom - 4}, {client.right - 4, client.top + 40}}};
    for (const auto& at : corners) EXPECT_EQ(Pixel(at[0], at[1]), (std::array<int, 3>{0, 0, 0}));

    // The terrain view beside it: one block of one colour under its sky.
    ASSERT_TRUE(PushDirectory(game_.path()));  // the terrain view keeps its palette in res/
    MakeDirectory(game_.file("res"));
    InstallMeshRendererGl();
    BindMeshEdit();
    RegisterTagEditors();
    auto write = [this](const char* label, u32 group, u32 id, const char* name, const std::vector<u8>& data,
                        u16 version) {
        codex_fixture::Tag tag{group, id, name, data};
        tag.version = version;
        pirn_test::WriteAll(game_.path() + "/local/" + label + "/" + name, codex_fixture::TagFile(tag));
    };
    write("Meshes", MakeFourCC("mesh"), MakeFourCC("vall"), "Valley", terrain_fixture::MeshData(terrain_fixture::MeshSpec{}), 11);
    terrain_fixture::TerrainCollection colours;
    colours.colour_index.push_back([](u32, u32) { return u8(10); });
    colours.shade.push_back([](u32, u32) { return u8(0); });
    write("Collections", MakeFourCC(".256"), MakeFourCC("tcol"), "Valley Colours", terrain_fixture::TerrainCollectionData(colours), 4);
    PollLocalFolder(true);
    auto* terrain = dynamic_cast<MeshEdit*>(OpenTagEditor(FindTag(MakeFourCC("mesh"), MakeFourCC("vall"))));
    ASSERT_NE(terrain, nullptr);
    SetPosition(terrain, 460, 20);
    terrain->SetSize(300, 300);
    Draw();
    Draw();  // the geometry view now draws after the terrain view's frame
    Screenshot("geom_edit_after_terrain");
    for (const auto& at : corners) EXPECT_EQ(Pixel(at[0], at[1]), (std::array<int, 3>{0, 0, 0}));
    const Rect sky = terrain->GetClientScreenRect();
    EXPECT_EQ(Pixel(sky.left + 4, sky.top + 4), (std::array<int, 3>{41, 51, 71}));
    // Drawn last in the frame, the terrain view left the clear colour as it
    // found it.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<float>(clear, clear + 3), std::vector<float>(3, 0.0f));
    DestroyWindow(terrain);
    SetMeshRenderer(nullptr);
    PopDirectory();
}

// The demo game's figure, opened from the demo folder and turned a little:
// its red tunic, its face and its white (untextured) boots all show.
TEST_F(GeomEditGlTest, DemoFigureShowsItsTexturedAndPlainSurfaces) {
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game_.path() + "/Zarnhold", &error)) << error;
    SetLocalFolder(game_.path() + "/Zarnhold/local/");
    PollLocalFolder(true);
    auto* editor = dynamic_cast<GeomEdit*>(OpenTagEditor(FindTag(MakeFourCC("geom"), MakeFourCC("m002"))));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->StatusText(), "Triangles: 96\nVertices: 192\nMaterials: 3\n");
    SetPosition(editor, 60, 40);
    SetCameraAngles(&editor->Camera(), 0.5f, 0.3f, 0);
    Draw();
    Screenshot("geom_edit_demo_figure");
    const Rect client = editor->GetClientScreenRect();
    int red = 0, white = 0, skin = 0;
    for (int y = client.top + 60; y < client.bottom; y += 2)
        for (int x = client.left; x < client.right; x += 2) {
            const std::array<int, 3> p = Pixel(x, y);
            if (p[0] > 120 && p[1] < 70 && p[2] < 80) ++red;
            if (p[0] > 240 && p[1] > 240 && p[2] > 240) ++white;
            if (p[0] > 200 && p[1] > 150 && p[1] < 215 && p[2] > 110 && p[2] < 180) ++skin;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(white, 10);
    EXPECT_GT(skin, 10);
}

}  // namespace
}  // namespace pirn
