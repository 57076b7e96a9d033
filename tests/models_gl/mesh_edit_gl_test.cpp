// The terrain editor drawn with GL on a synthetic terrain (Xvfb + Mesa in
// the test run): block colours, detail layers and highlights checked pixel
// by pixel, picks at chosen pixels against the triangles the headless ray
// cast names, painting with the mouse against the headless brush, the
// wireframe, and culling. Screenshots go to the test output folder.

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "codex/codex.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/gl/mesh_renderer_gl.h"
#include "models/mesh_brush.h"
#include "models/mesh_flood_fill.h"
#include "models/dtex_codec.h"
#include "models/mesh_pick.h"
#include "platform/os/key_codes.h"
#include "models/ui/mesh_edit.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "platform/os/pirn_gl.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/models/terrain_fixture.h"
#include "tests/support/test_support.h"
#include "ui/frame_step.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using terrain_fixture::Code;

constexpr int kWidth = 900;
constexpr int kHeight = 700;
const u8 kBlockColours[4][3] = {{220, 30, 30}, {30, 220, 30}, {30, 30, 220}, {220, 220, 30}};

class MeshEditGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn terrain editor test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        InstallMeshRendererGl();
        UnloadCodex();
        ASSERT_TRUE(PushDirectory(game_.path()));
        MakeDirectory(game_.file("res"));
        SetLocalFolder(game_.path() + "/local/");
        BindMeshEdit();
        RegisterTagEditors();
    }
    void TearDown() override {
        if (!IsSkipped()) {
            ResetWindowSystem();
            EXPECT_EQ(UnloadCodex(), 1);
            UnbindTagEditors();
            ClearTagGroupEditors();
            SetMeshRenderer(nullptr);
            PopDirectory();
        }
        SkinnedGlFixture::TearDown();
    }

    void WriteTag(const char* label, u32 group, u32 id, const std::string& name, const std::vector<u8>& data,
                  u16 version) {
        codex_fixture::Tag tag{group, id, name, data};
        tag.version = version;
        pirn_test::WriteAll(game_.path() + "/local/" + label + "/" + name, codex_fixture::TagFile(tag));
    }

    // 2 x 2 blocks: each block one flat colour, no lighting; heights from
    // the function; a grey detail texture of (64, 64, 64).
    MeshEdit* OpenTerrain(const std::function<u16(u32, u32)>& height) {
        terrain_fixture::MeshSpec spec;
        spec.block_columns = spec.block_rows = 2;
        spec.word0 = height;
        WriteTag("Meshes", Code("mesh"), Code("vall"), "Valley", terrain_fixture::MeshData(spec), 11);
        terrain_fixture::TerrainCollection t;
        for (int b = 0; b < 4; ++b) {
            std::memcpy(t.colors[10 + b], kBlockColours[b], 3);
            t.colour_index.push_back([b](u32, u32) { return u8(10 + b); });
            t.shade.push_back([](u32, u32) { return u8(0); });
        }
        WriteTag("Collections", Code(".256"), Code("tcol"), "Valley Colours", terrain_fixture::TerrainCollectionData(t), 4);
        std::vector<u8> rgb(16 * 16 * 3, 64), stream;
        EncodeDtexBytes(rgb.data(), 16, 16, &stream);
        terrain_fixture::Bytes dtex;
        dtex.U32(16).U32(16).U32(0).U32(0).Append(stream);
        WriteTag("Detail Textures", Code("dtex"), Code("grey"), "Grey", dtex.data, 1);
        PollLocalFolder(true);
        auto* editor = dynamic_cast<MeshEdit*>(OpenTagEditor(FindTag(Code("mesh"), Code("vall"))));
        if (!editor) return nullptr;
        // The window is the size the first suite of the run asked for: the
        // editor stays inside it, or picks past its edge read no depth.
        SetPosition(editor, 20, 20);
        editor->SetSize(std::min(860, width_ - 40), std::min(640, height_ - 40));
        editor->Data().show_info = false;
        // Looking down at the middle of the terrain from above its corner.
        MeshCamera& camera = editor->Data().camera;
        camera.pitch = -50;
        camera.eye[0] = 10;  // the mesh's x is mirrored: this is x -10
        camera.eye[1] = 70;
        camera.eye[2] = -10;
        Draw();
        return editor;
    }

    // Moves the pointer over a client pixel and draws (the pick follows).
    void PointAt(MeshEdit* editor, int x, int y) {
        const Rect& client = editor->GetClientScreenRect();
        HandleMouseMoveInput(client.left + x, client.top + y);
        StepFrame();
        Draw();
    }

    std::array<int, 3> ClientPixel(const MeshEdit* editor, int x, int y) const {
        const Rect& client = editor->GetClientScreenRect();
        return Pixel(client.left + x, client.top + y);
    }

    // The client pixel where a mesh point shows.
    static bool ScreenOf(const MeshEdit* editor, float x, float y, float z, int* px, int* py) {
        const float point[3] = {x, y, z};
        double window[3];
        if (!ProjectMeshPoint(editor->View(), point, window)) return false;
        *px = int(window[0]);
        *py = editor->View().height - 1 - int(window[1]);
        return window[2] > 0 && window[2] < 1;
    }

    // A pixel beside the terrain (left of its near corner).
    static bool SkyPixel(const MeshEdit* editor, int* x, int* y) {
        return ScreenOf(editor, -8, 0, 16, x, y) && *x >= 0 && *y >= 0 && *x < editor->View().width &&
               *y < editor->View().height;
    }

    void Screenshot(const std::string& name) const {
        SavePng(name);
    }

    void ExpectBlocksAndSky(const MeshEdit* editor) const;

    pirn_test::TempDir game_;
    ScopedLogCapture log_;
};

bool Near(const std::array<int, 3>& p, int r, int g, int b, int tolerance) {
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

// The colour of each block's middle, as the collection gives it, and the
// sky beside the terrain.
void MeshEditGlTest::ExpectBlocksAndSky(const MeshEdit* editor) const {
    const float middles[4][2] = {{16, 16}, {44, 16}, {16, 44}, {44, 44}};
    for (int b = 0; b < 4; ++b) {
        int px, py;
        ASSERT_TRUE(ScreenOf(editor, middles[b][0] + 0.5f, 0, middles[b][1] + 0.5f, &px, &py)) << b;
        ASSERT_TRUE(px > 0 && py > 0 && px < editor->View().width && py < editor->View().height) << b;
        EXPECT_TRUE(Near(ClientPixel(editor, px, py), kBlockColours[b][0], kBlockColours[b][1], kBlockColours[b][2], 3))
            << b << ": " << ClientPixel(editor, px, py)[0] << "," << ClientPixel(editor, px, py)[1] << ","
            << ClientPixel(editor, px, py)[2];
    }
    // Beside the terrain the sky.
    int sky_x, sky_y;
    ASSERT_TRUE(SkyPixel(editor, &sky_x, &sky_y));
    EXPECT_TRUE(Near(ClientPixel(editor, sky_x, sky_y), 41, 51, 71, 2))
        << sky_x << "," << sky_y << ": " << ClientPixel(editor, sky_x, sky_y)[0] << ","
        << ClientPixel(editor, sky_x, sky_y)[1] << "," << ClientPixel(editor, sky_x, sky_y)[2];
}

// The terrain is drawn with the state it sets: outlines, culling, light or
// a second texture unit left on by other drawing do not show in it.
TEST_F(MeshEditGlTest, OtherDrawingsStateDoesNotShowInTheTerrain) {
    MeshEdit* editor = OpenTerrain([](u32, u32) { return u16(0); });
    ASSERT_NE(editor, nullptr);
    const GlEntryPoints& gl = GetGlEntryPoints();
    ASSERT_NE(gl.activeTexture, nullptr);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    GLuint black = 0;
    const u8 texel[3] = {0, 0, 0};
    glGenTextures(1, &black);
    gl.activeTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, black);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    gl.activeTexture(GL_TEXTURE0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glEnable(GL_LIGHTING);
    Draw();
    ExpectBlocksAndSky(editor);
    glPopAttrib();
    glDeleteTextures(1, &black);
}

TEST_F(MeshEditGlTest, BlocksShowTheirColoursAndDetailLayersDarkenThem) {
    MeshEdit* editor = OpenTerrain([](u32, u32) { return u16(0); });
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->View().valid);
    Screenshot("mesh_edit_blocks");
    ExpectBlocksAndSky(editor);
    EXPECT_EQ(editor->Data().blocks_by_class[0] + editor->Data().blocks_by_class[1] + editor->Data().blocks_by_class[2], 4u);

    // A new detail map; the vertices of a 6 x 6 patch of block 0 carry the
    // grey texture: the opaque layer at twice its brightness halves red.
    editor->RunCommand(MeshEdit::kNewBlankCommand);
    MeshEditData& d = editor->Data();
    d.slots[1].entry.tag_id = Code("grey");
    editor->SetSlotTexture(1, false);
    ASSERT_NE(d.slots[1].texture, nullptr);
    for (u32 y = 10; y < 16; ++y)
        for (u32 x = 10; x < 16; ++x) d.vertex_plane.values[y * 64 + x] = 1;
    SyncSavedPlanes(&d);
    InvalidateWholeMesh(&d);
    d.detail_textures = true;
    d.highlighting = false;
    Draw();
    Screenshot("mesh_edit_detail_layer");
    int px, py;
    ASSERT_TRUE(ScreenOf(editor, 12.5f, 0, 12.5f, &px, &py));
    const int dimmed = 220 * 64 / 255 * 2;
    EXPECT_TRUE(Near(ClientPixel(editor, px, py), dimmed, 30 * 64 * 2 / 255, 30 * 64 * 2 / 255, 4))
        << ClientPixel(editor, px, py)[0];
    ASSERT_TRUE(ScreenOf(editor, 20.5f, 0, 20.5f, &px, &py));
    EXPECT_TRUE(Near(ClientPixel(editor, px, py), 220, 30, 30, 3));

    // Highlighted, slot 1's cells take half its palette colour.
    d.palette[3] = 0;
    d.palette[4] = 0;
    d.palette[5] = 255;
    d.slots[1].highlighted = true;
    d.highlighting = true;
    Draw();
    ASSERT_TRUE(ScreenOf(editor, 12.5f, 0, 12.5f, &px, &py));
    const std::array<int, 3> tinted = ClientPixel(editor, px, py);
    EXPECT_NEAR(tinted[0], dimmed * 128 / 255, 4);
    EXPECT_NEAR(tinted[2], 15 * 128 / 255 + 127, 4);
}

TEST_F(MeshEditGlTest, APickAtAPixelHitsTheTriangleTheRayNames) {
    MeshEdit* editor = OpenTerrain([](u32 x, u32 y) { return u16(900 + 600 * std::sin(x * 0.3) * std::cos(y * 0.2)); });
    ASSERT_NE(editor, nullptr);
    const MeshView& view = editor->View();
    int checked = 0;
    for (float mz = 3.3f; mz < 64; mz += 7.1f)
        for (float mx = 2.6f; mx < 64; mx += 6.7f) {
            int x, y;
            if (!ScreenOf(editor, mx, 0, mz, &x, &y) || x < 0 || y < 0 || x >= view.width || y >= view.height) continue;
            MeshPick expected;
            if (!CastMeshRay(editor->Data(), view, x, y, &expected)) continue;
            PointAt(editor, x, y);
            ASSERT_TRUE(editor->Data().pick_valid) << x << "," << y;
            u32 cx, cz, triangle;
            ASSERT_TRUE(PickTriangle(editor->Data(), editor->Data().pick_x, editor->Data().pick_z, &cx, &cz, &triangle));
            EXPECT_NEAR(editor->Data().pick_x, expected.point[0], 1e-3) << x << "," << y;
            EXPECT_NEAR(editor->Data().pick_z, expected.point[2], 1e-3) << x << "," << y;
            EXPECT_EQ(cx, expected.cell_x) << x << "," << y;
            EXPECT_EQ(cz, expected.cell_z) << x << "," << y;
            EXPECT_EQ(triangle, expected.triangle) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 40);
    // Over the sky there is nothing to pick.
    int sky_x, sky_y;
    ASSERT_TRUE(SkyPixel(editor, &sky_x, &sky_y));
    PointAt(editor, sky_x, sky_y);
    EXPECT_FALSE(editor->Data().pick_valid);
    EXPECT_FLOAT_EQ(editor->Data().pick_x, -1.0f);
}

TEST_F(MeshEditGlTest, AClickPaintsWhereTheBrushCoversThePick) {
    MeshEdit* editor = OpenTerrain([](u32 x, u32) { return u16(x * 20); });
    ASSERT_NE(editor, nullptr);
    editor->RunCommand(MeshEdit::kNewBlankCommand);
    MeshEditData& d = editor->Data();
    d.current_texture = 5;
    d.brush_radius = 2.0f;
    int x, y;
    ASSERT_TRUE(ScreenOf(editor, 20.3f, 20 * 20.3f / 512, 30.6f, &x, &y));
    PointAt(editor, x, y);
    ASSERT_TRUE(d.pick_valid);
    // What a round brush of radius 2 paints at the pick.
    const float pick_x = d.pick_x, pick_z = d.pick_z;
    std::vector<u8> predicted(d.vertex_plane.values.size(), 0);
    for (u32 vy = 0; vy < 64; ++vy)
        for (u32 vx = 0; vx < 64; ++vx) {
            const float dx = pick_x - vx, dz = pick_z - vy;
            if (dx * dx + dz * dz <= 4.0f) predicted[vy * 64 + vx] = 5;
        }
    HandleMouseButtonInput(0, 1);
    HandleMouseButtonInput(0, 0);
    StepFrame();
    StepFrame();
    EXPECT_FALSE(editor->IsButtonHeld());
    EXPECT_EQ(d.vertex_plane.values, predicted);
    EXPECT_EQ(d.saved_vertex_plane.values, predicted);
    EXPECT_TRUE(editor->IsModified());
    Draw();
    Screenshot("mesh_edit_painted");
    // Control+Z takes it back.
    HandleKeyInput(kKeyLeftControl, 1);
    HandleKeyInput('Z', 1);
    HandleKeyInput('Z', 0);
    HandleKeyInput(kKeyLeftControl, 0);
    StepFrame();
    EXPECT_EQ(d.vertex_plane.values, std::vector<u8>(predicted.size(), 0));
}

TEST_F(MeshEditGlTest, WireframeDrawsRedLinesAndCullingDropsBlocksBehind) {
    MeshEdit* editor = OpenTerrain([](u32, u32) { return u16(0); });
    ASSERT_NE(editor, nullptr);
    auto count_red = [&] {
        int red = 0;
        for (int y = 0; y < editor->View().height; y += 3)
            for (int x = 0; x < editor->View().width; x += 3) {
                const std::array<int, 3> p = ClientPixel(editor, x, y);
                red += p[0] > 240 && p[1] < 20 && p[2] < 20;
            }
        return red;
    };
    const int before = count_red();
    editor->Data().wireframe = true;
    Draw();
    Screenshot("mesh_edit_wireframe");
    EXPECT_GT(count_red(), before + 100);
    // Turned away from the terrain, every block is culled.
    editor->Data().wireframe = false;
    editor->Data().camera.yaw = 315;
    Draw();
    EXPECT_EQ(editor->Data().blocks_by_class[0], 4u);
    EXPECT_EQ(editor->Data().cells_drawn, 0u);
}

}  // namespace
}  // namespace pirn
