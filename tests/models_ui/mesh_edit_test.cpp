// MeshEdit on the headless window system over a scratch game of hand-built
// terrain tags: opening through the registry, the tool menu's commands and
// their enabling, the keys, painting and filling with the mouse (a stand-in
// renderer names the picked point), undo and redo, the Brush List's
// actions, saving, the detail image commands with scripted file dialogs,
// the attribute and terrain-type dialogs, and Codex events.

#include "models/ui/mesh_edit.h"

#include <gtest/gtest.h>

#include <cstring>

#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/dtex_codec.h"
#include "models/mesh_detail_image.h"
#include "models/ui/brush_list_window.h"
#include "models/ui/mesh_choice_dialog.h"
#include "models/ui/mesh_renderer.h"
#include "models/ui/terrain_types_dialog.h"
#include "platform/act_file.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "tests/models/terrain_fixture.h"
#include "ui/color_button.h"
#include "ui/list_window.h"
#include "ui/skin_slots.h"

namespace pirn_test {
namespace {

using pirn::MeshEdit;
using pirn::MeshEditData;
using terrain_fixture::Code;

// Draws nothing; the pick is whatever the test says.
struct PickingRenderer : pirn::MeshRenderer {
    bool AcceptsAnyTextureSize() override { return true; }
    void DrawTerrain(MeshEditData* data, const pirn::MeshView&, const Point*) override {
        data->pick_valid = valid;
        data->pick_x = valid ? x : -1.0f;
        data->pick_z = valid ? z : -1.0f;
        ++draws;
    }
    void ReleaseBlockTextures(MeshEditData*) override { ++releases; }
    bool valid = false;
    float x = -1, z = -1;
    int draws = 0;
    int releases = 0;
};

class MeshEditTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        headless::ResetScriptedDialogs();
        pirn::Prefs().Clear();
        pirn::SetNativeDialogBackend(pirn::OsNativeDialogBackend());
        pirn::SetMeshRenderer(&renderer_);
        ASSERT_TRUE(pirn::PushDirectory(dir_.path()));
        pirn::MakeDirectory(dir_.path() + "/res");
        pirn::BindMeshEdit();
        pirn::RegisterTagEditors();
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::PopDirectory();
        pirn::SetMeshRenderer(nullptr);
        pirn::UnbindTagEditors();
        pirn::ClearTagGroupEditors();
        pirn::SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        pirn::Prefs().Clear();
    }

    void AddTag(const char* label, u32 group, u32 id, const std::string& name, const std::vector<u8>& data,
                pirn::u16 version = 1) {
        codex_fixture::Tag tag{group, id, name, data};
        tag.version = version;
        WriteLocal(label, name, codex_fixture::TagFile(tag));
    }
    // One block of 32 x 32 cells, its collection; terrain type 6 on the
    // left half, 8 on the right.
    void AddTerrain() {
        terrain_fixture::MeshSpec spec;
        spec.flags = [](u32 x, u32) { return pirn::u16((x < 16 ? 6 : 8) << 4); };
        AddTag("Meshes", Code("mesh"), Code("vall"), "Valley", terrain_fixture::MeshData(spec), 11);
        terrain_fixture::TerrainCollection t;
        t.colour_index.push_back([](u32, u32) { return u8(3); });
        t.shade.push_back([](u32, u32) { return u8(0); });
        AddTag("Collections", Code(".256"), Code("tcol"), "Valley Colours", terrain_fixture::TerrainCollectionData(t), 4);
    }
    void AddDetailTexture(u32 id, const std::string& name) {
        std::vector<u8> rgb(16 * 16 * 3, 100), stream;
        pirn::EncodeDtexBytes(rgb.data(), 16, 16, &stream);
        terrain_fixture::Bytes b;
        b.U32(16).U32(16).U32(0).U32(0).Append(stream);
        AddTag("Detail Textures", Code("dtex"), id, name, b.data);
    }
    MeshEdit* Open() {
        pirn::PollLocalFolder(true);
        auto* editor = dynamic_cast<MeshEdit*>(pirn::OpenTagEditor(pirn::FindTag(Code("mesh"), Code("vall"))));
        if (editor) {
            editor->SetPosition(0, 0);
            editor->SetSize(640, 480);
        }
        return editor;
    }
    MeshEdit* OpenWithBlankMap() {
        AddTerrain();
        MeshEdit* editor = Open();
        if (editor) editor->RunCommand(MeshEdit::kNewBlankCommand);
        return editor;
    }

    // A left click (with the modifier keys held) over the picked point.
    void Click(MeshEdit* editor, float x, float z, std::initializer_list<int> keys = {}) {
        renderer_.valid = true;
        renderer_.x = x;
        renderer_.z = z;
        const Rect& client = editor->GetClientScreenRect();
        for (int key : keys) HandleKeyInput(key, 1);
        headless::AdvanceTime(0.5);
        HandleMouseMoveInput(client.left + 50, client.top + 50);
        IdleFrame();  // drawn: the pick
        HandleMouseButtonInput(0, 1);
        HandleMouseButtonInput(0, 0);
        IdleFrame();
        for (int key : keys) HandleKeyInput(key, 0);
        IdleFrame();
    }
    void Key(int code, std::initializer_list<int> modifiers = {}) {
        for (int m : modifiers) HandleKeyInput(m, 1);
        HandleKeyInput(code, 1);
        HandleKeyInput(code, 0);
        for (int m : modifiers) HandleKeyInput(m, 0);
        IdleFrame();
    }

    static u8 Vertex(MeshEdit* e, u32 x, u32 y) { return e->Data().vertex_plane.values[y * e->Data().columns + x]; }

    PickingRenderer renderer_;
};

TEST_F(MeshEditTest, OpensWithoutADetailMapAndEnablesItsCommandsByState) {
    AddTerrain();
    MeshEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "MeshEdit");
    EXPECT_STREQ(editor->GetTitle(), "Valley");
    EXPECT_FALSE(editor->BrushList()->IsVisible());
    EXPECT_EQ(editor->Data().tool, pirn::kMeshNoTool);
    for (pirn::i32 c : {0, 2, 3, 9, 11, 16}) EXPECT_TRUE(editor->IsCommandEnabled(c)) << c;
    for (pirn::i32 c : {1, 4, 5, 6, 7, 8, 10, 12, 13, 14, 15, 17}) EXPECT_FALSE(editor->IsCommandEnabled(c)) << c;
    // Saving with nothing painted succeeds and writes nothing.
    EXPECT_EQ(editor->Save(), 1);
    EXPECT_FALSE(Exists(LocalFile("Detail Maps", "Valley Colours")));

    editor->RunCommand(MeshEdit::kNewBlankCommand);
    EXPECT_EQ(editor->Data().tool, pirn::kMeshDetailMapTool);
    EXPECT_TRUE(editor->BrushList()->IsVisible());
    EXPECT_STREQ(editor->GetTitle(), "Valley*");
    EXPECT_EQ(editor->BrushList()->GetRowCount(), 128);
    EXPECT_EQ(editor->SlotRow(7)->text, " 007 ~ <no tag>");
    for (pirn::i32 c = 0; c <= 17; ++c) EXPECT_TRUE(editor->IsCommandEnabled(c)) << c;
    EXPECT_EQ(editor->BrushList()->GetFrame().left, editor->GetClientWidth() - MeshEdit::kBrushListWidth);
    editor->RunCommand(MeshEdit::kNoToolCommand);
    EXPECT_FALSE(editor->BrushList()->IsVisible());
    EXPECT_EQ(pirn::GetFocusWindow(), editor);
}

TEST_F(MeshEditTest, KeysToggleAndClampTheBrush) {
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    MeshEditData& d = editor->Data();
    for (int i = 0; i < 80; ++i) Key('[');
    EXPECT_FLOAT_EQ(d.brush_radius, pirn::kMinBrushRadius);
    for (int i = 0; i < 80; ++i) Key(']');
    EXPECT_FLOAT_EQ(d.brush_radius, pirn::kMaxBrushRadius);
    Key(pirn::kKeyF1 + 3);  // F4
    EXPECT_TRUE(d.square_brush);
    Key(pirn::kKeyF1 + 4);  // F5
    EXPECT_TRUE(d.triangle_mode);
    Key(pirn::kKeyF1);
    EXPECT_TRUE(d.wireframe);
    Key('`');
    EXPECT_FALSE(d.show_info);
    for (u32 mode : {1u, 2u, 0u}) {
        Key(pirn::kKeyF1 + 6);  // F7
        EXPECT_EQ(d.highlight_mode, mode);
    }
    Key(pirn::kKeyF1 + 2, {pirn::kKeyLeftShift});  // Shift+F3: every slot highlighted
    EXPECT_TRUE(d.highlighting);
    EXPECT_TRUE(d.slots[77].highlighted);
    Key('=');
    EXPECT_EQ(d.slots[0].scale, 129u);
    Key(pirn::kKeyTab);
    EXPECT_FALSE(editor->BrushList()->IsVisible());
    // The wheel: radius - 0.2 a step.
    HandleKeyInput(']', 1);
    d.brush_radius = 3.0f;
    InputEvent wheel;
    wheel.type = pirn::kEventWheel;
    wheel.word[4] = 0;
    wheel.word[5] = 2;
    editor->OnWheel(wheel);
    EXPECT_NEAR(d.brush_radius, 2.6f, 1e-5);
}

TEST_F(MeshEditTest, HeldCameraKeysMoveTheEyeButNotAsPartOfAShortcut) {
    AddTerrain();
    MeshEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    pirn::MeshCamera& camera = editor->Data().camera;
    const float x0 = camera.eye[0];
    HandleKeyInput('W', 1);
    for (int i = 0; i < 10; ++i) IdleFrame();
    HandleKeyInput('W', 0);
    IdleFrame();
    EXPECT_LT(camera.eye[0], x0) << "forward at yaw 135 is the camera's -x";
    const float x1 = camera.eye[0], z1 = camera.eye[2];
    for (int i = 0; i < 5; ++i) IdleFrame();
    EXPECT_FLOAT_EQ(camera.eye[0], x1);
    // Control goes up before Z does: the Z of Control+Z moves nothing.
    HandleKeyInput(pirn::kKeyLeftControl, 1);
    HandleKeyInput('Z', 1);
    IdleFrame();
    HandleKeyInput(pirn::kKeyLeftControl, 0);
    for (int i = 0; i < 5; ++i) IdleFrame();
    HandleKeyInput('Z', 0);
    IdleFrame();
    EXPECT_FLOAT_EQ(camera.eye[0], x1);
    EXPECT_FLOAT_EQ(camera.eye[2], z1);
}

TEST_F(MeshEditTest, PaintsFillsUndoesAndRedoesWithTheMouse) {
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    MeshEditData& d = editor->Data();
    d.current_texture = 4;
    d.brush_radius = 1.0f;
    Click(editor, 10, 10);
    EXPECT_EQ(Vertex(editor, 10, 10), 4);
    EXPECT_EQ(Vertex(editor, 11, 10), 4);
    EXPECT_EQ(Vertex(editor, 11, 11), 0);
    EXPECT_FALSE(d.stroke.active);
    d.current_texture = 9;
    d.square_brush = true;
    Click(editor, 20, 20);
    EXPECT_EQ(Vertex(editor, 21, 21), 9);
    // Alt fills the connected area of the value under the pick.
    d.current_texture = 2;
    Click(editor, 0.2f, 30.4f, {pirn::kKeyLeftAlt});
    EXPECT_EQ(Vertex(editor, 31, 0), 2);
    EXPECT_EQ(Vertex(editor, 10, 10), 4);
    EXPECT_EQ(Vertex(editor, 20, 20), 9);
    // Two undos: the fill, then the square dab.
    Key('Z', {pirn::kKeyLeftControl});
    Key('Z', {pirn::kKeyLeftControl});
    EXPECT_EQ(Vertex(editor, 31, 0), 0);
    EXPECT_EQ(Vertex(editor, 21, 21), 0);
    EXPECT_EQ(Vertex(editor, 10, 10), 4);
    EXPECT_EQ(d.saved_vertex_plane.values, d.vertex_plane.values);
    Key('Y', {pirn::kKeyLeftControl});
    EXPECT_EQ(Vertex(editor, 21, 21), 9);
    // Over nothing, no stroke.
    renderer_.valid = false;
    const std::vector<u8> before = d.vertex_plane.values;
    HandleMouseButtonInput(0, 1);
    HandleMouseButtonInput(0, 0);
    IdleFrame();
    EXPECT_EQ(d.vertex_plane.values, before);
}

TEST_F(MeshEditTest, BrushListRowsLockHighlightClearAndEditSlotZerosColour) {
    AddDetailTexture(Code("gras"), "Grass");
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    MeshEditData& d = editor->Data();
    pirn::BrushListWindow* list = static_cast<pirn::BrushListWindow*>(editor->BrushList());
    list->on_toggle(editor, 5, true);
    EXPECT_TRUE(d.slots[5].locked);
    EXPECT_TRUE(editor->SlotRow(5)->flags & pirn::ListItem::kHasImage);
    list->on_toggle(editor, 5, false);
    EXPECT_TRUE(d.slots[5].highlighted);
    EXPECT_EQ(editor->SlotRow(5)->textColor,
              pirn::PackRgba(d.palette[15], d.palette[16], d.palette[17], 255));

    d.slots[6].entry.tag_id = Code("gras");
    editor->SetSlotTexture(6, false);
    EXPECT_EQ(editor->SlotRow(6)->text, " 006 ~ Grass");
    list->SelectItem(editor->SlotRow(6), false);
    EXPECT_EQ(d.current_texture, 6u);
    EXPECT_EQ(d.current_label, "Grass");
    editor->ClearSelectedSlot();
    EXPECT_EQ(d.slots[6].entry.tag_id, 0xFFFFFFFFu);
    EXPECT_EQ(editor->SlotRow(6)->text, " 006 ~ <no tag>");

    // Slot 0: the reserved-index message, then only the colour chooser.
    Answer(0);
    headless::QueueColorAnswer(pirn::ColorRgb{1, 2, 3});
    editor->ActivateSlot(0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Message");
    EXPECT_EQ(asked_[0].text, "Index 0 is reserved, but you can edit the highlight color.");
    EXPECT_EQ(headless::ColorDialogCount(), 1);
    EXPECT_EQ(d.palette[0], 1);
    EXPECT_EQ(d.palette[2], 3);
    EXPECT_EQ(d.current_texture, 0u);
}

TEST_F(MeshEditTest, ChoiceDialogEditsAnEntryFromTheCodexsDetailTextures) {
    AddDetailTexture(Code("sand"), "Sand");
    AddDetailTexture(Code("gras"), "Grass");
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    Then([] {
        auto* dialog = dynamic_cast<pirn::ChoiceDialog*>(pirn::GetTopModalWindow());
        ASSERT_NE(dialog, nullptr);
        EXPECT_STREQ(dialog->GetTitle(), "Edit Detail Texture Attributes");
        ASSERT_EQ(dialog->Rows().size(), 3u);
        EXPECT_EQ(dialog->Rows()[0].name, "<no tag>");
        EXPECT_EQ(dialog->Rows()[1].name, "Grass");
        EXPECT_EQ(dialog->Rows()[2].name, "Sand");
        const pirn::u32 red = 0xFF0000FF;
        dialog->GetColorButton()->SetColor(&red);
        dialog->GetDescription()->SetText("Beach");
        pirn::ListItem* sand = dialog->GetList()->ItemAtRow(2);
        dialog->GetList()->SelectItem(sand, false);
        dialog->GetList()->activated.Emit(sand);  // activating a row accepts
    });
    editor->ActivateSlot(3);
    MeshEditData& d = editor->Data();
    EXPECT_EQ(d.slots[3].entry.tag_id, Code("sand"));
    EXPECT_STREQ(d.slots[3].entry.description, "Beach");
    EXPECT_EQ(d.palette[9], 255);
    EXPECT_EQ(d.palette[10], 0);
    EXPECT_EQ(editor->SlotRow(3)->text, " 003 ~ |iBeach|p (Sand)");
    EXPECT_EQ(d.current_texture, 3u);
}

TEST_F(MeshEditTest, NewDetailMapFromTerrainTypes) {
    AddDetailTexture(Code("gras"), "Grass");
    AddTerrain();
    MeshEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    // Cancelled: nothing changes.
    Then([] { dynamic_cast<pirn::DialogWindow*>(pirn::GetTopModalWindow())->CloseWithButton(1); });
    editor->RunCommand(MeshEdit::kNewFromTerrainCommand);
    EXPECT_FALSE(editor->Data().detail_map_present);
    EXPECT_EQ(editor->Data().tool, pirn::kMeshNoTool);
    Then([] {
        auto* dialog = dynamic_cast<pirn::TerrainTypesDialog*>(pirn::GetTopModalWindow());
        ASSERT_NE(dialog, nullptr);
        EXPECT_STREQ(dialog->GetTitle(), "Automatic Detail Texturing");
        EXPECT_EQ(dialog->GetList()->GetRowCount(), 16);
        EXPECT_EQ(dialog->Choice(6).texture_label, "Grass");
        EXPECT_EQ(dialog->Choice(0).texture_label, "<no tag>");
        EXPECT_EQ(dialog->Choice(15).name, "flying impassible");
        dialog->CloseWithButton(0);
    });
    editor->RunCommand(MeshEdit::kNewFromTerrainCommand);
    MeshEditData& d = editor->Data();
    EXPECT_EQ(d.tool, pirn::kMeshDetailMapTool);
    EXPECT_EQ(Vertex(editor, 3, 3), 7);
    EXPECT_EQ(Vertex(editor, 20, 3), 9);
    EXPECT_EQ(d.slots[7].entry.tag_id, Code("gras"));
    EXPECT_STREQ(d.slots[7].entry.description, "grass");
    EXPECT_EQ(editor->SlotRow(7)->text, " 007 ~ |igrass|p (Grass)");
    EXPECT_TRUE(d.detail_textures);
}

TEST_F(MeshEditTest, SavesTheDetailMapAsTheCollectionsDmap) {
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    editor->Data().current_texture = 3;
    editor->Data().brush_radius = 0.5f;
    Click(editor, 4, 5);
    Key('S', {pirn::kKeyLeftControl});
    EXPECT_STREQ(editor->GetTitle(), "Valley");
    terrain_fixture::ParsedDmap saved;
    const std::vector<u8> file = ReadAll(LocalFile("Detail Maps", "Valley Colours"));
    ASSERT_GT(file.size(), 64u);
    ASSERT_TRUE(terrain_fixture::ParseDmap(std::vector<u8>(file.begin() + 64, file.end()), &saved));
    std::vector<u8> expected(32 * 32, 0);
    expected[5 * 32 + 4] = 3;
    EXPECT_EQ(saved.byte_plane, expected);
    EXPECT_EQ(saved.triangle_bytes, std::vector<u8>(2 * 32 * 32, 0));
}

TEST_F(MeshEditTest, DetailImagesGoOutAndComeBackThroughTheFileDialogs) {
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    MeshEditData& d = editor->Data();
    for (u32 i = 0; i < 32 * 32; ++i) d.vertex_plane.values[i] = u8(i % 7);
    pirn::SyncSavedPlanes(&d);
    const std::vector<u8> painted = d.vertex_plane.values;
    const std::string out = dir_.path() + "/vertex.png";
    headless::QueueFileDialogAnswer({out});
    editor->RunCommand(MeshEdit::kExportVertexCommand);
    ASSERT_TRUE(Exists(out));
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Export Per-Vertex Details");
    pirn::ImageFile file;
    pirn::InitImageFile(&file, out);
    ASSERT_TRUE(pirn::LoadImageFile(&file));
    EXPECT_EQ(file.image.format, pirn::kFormatColorIndex);
    EXPECT_EQ(file.image.width, 256u);
    EXPECT_EQ(file.image.pixels[255], painted[0]);  // mirrored

    pirn::ResetMeshPlanes(&d);
    headless::QueueFileDialogAnswer({out});
    editor->RunCommand(MeshEdit::kImportVertexCommand);
    EXPECT_EQ(d.vertex_plane.values, painted);
    EXPECT_TRUE(asked_.empty()) << "no partial success";

    // A damaged copy: one pixel off in one square.
    file.image.pixels[0] = 6;
    file.path = dir_.path() + "/vertex2.png";
    ASSERT_TRUE(pirn::SaveImageFile(&file));
    Answer(0);
    headless::QueueFileDialogAnswer({file.path});
    editor->RunCommand(MeshEdit::kImportVertexCommand);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Partial Success");
    EXPECT_EQ(asked_[0].text, "The map wasn't 100% perfect, so please carefully check the results.");

    // Refused: the size, then a 24-bit picture.
    pirn::PixelImage wide;
    pirn::SetImagePixels(&wide, 257, 256, pirn::kFormatColorIndex, nullptr);
    pirn::SetImagePalette(&wide, 256, d.palette);
    std::vector<u8> bytes;
    ASSERT_TRUE(pirn::EncodeImageBytes(pirn::kTypePng, wide, &bytes));
    WriteAll(dir_.path() + "/wide.png", bytes);
    pirn::PixelImage rgb;
    pirn::SetImagePixels(&rgb, 256, 256, pirn::kFormatRgb, nullptr);
    ASSERT_TRUE(pirn::EncodeImageBytes(pirn::kTypePng, rgb, &bytes));
    WriteAll(dir_.path() + "/rgb.png", bytes);
    asked_.clear();
    Answer(0);
    Answer(0);
    headless::QueueFileDialogAnswer({dir_.path() + "/wide.png"});
    editor->RunCommand(MeshEdit::kImportTriangleCommand);
    headless::QueueFileDialogAnswer({dir_.path() + "/rgb.png"});
    editor->RunCommand(MeshEdit::kImportTriangleCommand);
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "Image dimensions (257,256) do not match expected dimensions (256,256)");
    EXPECT_EQ(asked_[1].text, "Image must be 8-bit paletted or greyscale.");
}

TEST_F(MeshEditTest, ASizeConflictIsReportedWhenTheEditorOpens) {
    AddTerrain();
    AddTag("Detail Maps", Code("dmap"), Code("tcol"), "Other",
           terrain_fixture::DmapData(64, 32, {}, std::vector<u8>(64 * 32), std::vector<u8>(2 * 64 * 32)), 2);
    Answer(0);
    MeshEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "dmap tagid conflict detected");
    EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(editor->Data().detail_map_present);
}

TEST_F(MeshEditTest, SlotsFollowTheirDetailTexturesInTheCodex) {
    AddDetailTexture(Code("gras"), "Grass");
    MeshEdit* editor = OpenWithBlankMap();
    ASSERT_NE(editor, nullptr);
    editor->Data().slots[2].entry.tag_id = Code("gras");
    editor->SetSlotTexture(2, false);
    ASSERT_NE(editor->Data().slots[2].texture, nullptr);
    ASSERT_EQ(::unlink(LocalFile("Detail Textures", "Grass").c_str()), 0);
    pirn::MarkLocalFolderChanged();
    pirn::PollLocalFolder(true);
    EXPECT_EQ(editor->Data().slots[2].texture, nullptr);
    EXPECT_EQ(editor->Data().slots[2].entry.tag_id, Code("gras")) << "the id stays";
    EXPECT_EQ(editor->SlotRow(2)->text, " 002 ~ <no tag>");
    AddDetailTexture(Code("gras"), "Grass");
    pirn::PollLocalFolder(true);
    EXPECT_NE(editor->Data().slots[2].texture, nullptr);
    EXPECT_EQ(editor->SlotRow(2)->text, " 002 ~ Grass");
}

}  // namespace
}  // namespace pirn_test
