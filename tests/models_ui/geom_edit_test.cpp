// GeomEdit on the headless window system: opening geometry tags made by the
// model import, the view's reset, the drag buttons, the context menu, the
// LWO export and the refused save.

#include "models/ui/geom_edit.h"

#include <gtest/gtest.h>

#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/lwo_reader.h"
#include "models/model_tag_builder.h"
#include "platform/file_system.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/tag_editor_fixture.h"
#include "tests/collections/scripted_prompts.h"
#include "ui/menu.h"
#include "ui/skin_slots.h"

namespace pirn_test {
namespace {

using pirn::GeomEdit;
using pirn::ModelObject;
using pirn::TagEntry;

constexpr float kPi = 3.14159265f;

// A tetrahedron with one 2 x 2 texture on all of its faces, or a model of
// one point.
std::unique_ptr<ModelObject> Tetrahedron() {
    auto model = std::make_unique<ModelObject>();
    const float points[4][3] = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {0, 0, 6}};
    for (const auto& p : points) {
        pirn::ModelVertex v;
        v.x = p[0];
        v.y = p[1];
        v.z = p[2];
        model->vertices.push_back(v);
    }
    pirn::ComputeModelBounds(model.get());
    const u32 faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (const auto& f : faces) {
        pirn::ModelTriangle t;
        t.texture = 0;
        for (int c = 0; c < 3; ++c) {
            t.corners[c].vertex = f[c];
            t.corners[c].u = c == 1 ? 1.0f : 0.0f;
            t.corners[c].v = c == 2 ? 1.0f : 0.0f;
        }
        model->triangles.push_back(t);
    }
    model->textures.resize(1);
    model->textures[0].name = "Stone";
    model->textures[0].file_name = "stone.png";
    const u8 rgb[] = {200, 20, 20, 20, 200, 20, 20, 20, 200, 250, 250, 250};
    pirn::SetImagePixels(&model->textures[0].colour, 2, 2, pirn::kFormatRgb, rgb);
    pirn::SetModelTriangleOwners(model.get());
    return model;
}

std::unique_ptr<ModelObject> OnePoint() {
    auto model = std::make_unique<ModelObject>();
    model->vertices.resize(1);
    model->vertices[0].x = 1.5f;
    model->vertices[0].y = -2;
    model->vertices[0].z = 0.25f;
    pirn::ComputeModelBounds(model.get());
    return model;
}

class GeomEditTest : public TagEditorTest {
protected:
    GeomEditTest() : TagEditorTest(pirn::BindGeomEdit) {}

    TagEntry* Import(const ModelObject& model, const std::string& name) {
        pirn::ScriptedPrompts prompts;
        pirn::ModelTagsOutcome outcome;
        std::string message;
        TagEntry* geom = pirn::BuildModelTags(model, name, prompts, &outcome, &message);
        EXPECT_NE(geom, nullptr) << message;
        return geom;
    }

    GeomEdit* Open(TagEntry* tag) { return dynamic_cast<GeomEdit*>(pirn::OpenTagEditor(tag)); }

    // A drag on one of the buttons: press in its middle, pointer moves of
    // the given steps, release. The platform reports where the pointer
    // goes, locked or not.
    void Drag(pirn::ViewTransformButton* button, const std::vector<Point>& steps,
              const std::function<void()>& during = nullptr) {
        const Rect& r = button->GetFrameScreenRect();
        Point at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        HandleMouseMoveInput(at.x, at.y);
        IdleFrame();
        HandleMouseButtonInput(0, 1);
        IdleFrame();
        for (const Point& step : steps) {
            at.x += step.x;
            at.y += step.y;
            HandleMouseMoveInput(at.x, at.y);
            IdleFrame();
        }
        if (during) during();
        HandleMouseButtonInput(0, 0);
        IdleFrame();
    }
};

TEST_F(GeomEditTest, OpeningShowsTheModelWithItsButtonsAndAFramedView) {
    TagEntry* tag = Import(*Tetrahedron(), "Stone");
    GeomEdit* editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "GeomEdit");
    EXPECT_EQ(editor->GetWidth(), GeomEdit::kSize);
    EXPECT_EQ(editor->GetHeight(), GeomEdit::kSize);
    EXPECT_EQ(editor->StatusText(), "Triangles: 4\nVertices: 4\nMaterials: 1\n");
    // The texture came back from the model's collection.
    ASSERT_EQ(editor->Model()->textures.size(), 1u);
    EXPECT_EQ(editor->Model()->textures[0].name, "Stone");
    EXPECT_EQ(editor->Model()->textures[0].file_name, "stone.png");
    EXPECT_TRUE(pirn::ModelTriangleIsTextured(*editor->Model(), editor->Model()->triangles[0]));

    const struct {
        pirn::ViewTransformButton* button;
        const char* title;
        i32 from_right;
        int look;
    } buttons[] = {{editor->PanButton(), "Pan", 45, pirn::kSlotPanButton},
                   {editor->RotateButton(), "Rotate", 30, pirn::kSlotRotateButton},
                   {editor->ZoomButton(), "Zoom", 15, pirn::kSlotZoomButton}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.title);
        ASSERT_NE(b.button, nullptr);
        EXPECT_STREQ(b.button->GetTitle(), b.title);
        EXPECT_STREQ(b.button->GetClassName(), "ViewTransformButton");
        EXPECT_EQ(b.button->GetParent(), editor);
        EXPECT_EQ(b.button->GetFrame().left, editor->GetClientWidth() - b.from_right);
        EXPECT_EQ(b.button->GetFrame().top, 0);
        EXPECT_EQ(b.button->GetWidth(), 15);
        EXPECT_EQ(b.button->GetHeight(), 15);
        Point minimum{};
        b.button->GetMinimumSize(&minimum, Point{});
        EXPECT_EQ(minimum.x, 15);
        EXPECT_EQ(minimum.y, 15);
        EXPECT_EQ(b.button->CurrentLook(), b.look);
    }
    // Diagonal 7 (2, 3, 6): 10.5 away, centred on the box, angles 0.
    pirn::ModelViewCamera& camera = editor->Camera();
    EXPECT_FLOAT_EQ(editor->Diagonal(), 7);
    EXPECT_FLOAT_EQ(camera.distance, 10.5f);
    EXPECT_FLOAT_EQ(editor->ResetDistance(), 10.5f);
    EXPECT_FLOAT_EQ(camera.centre[0], 1);
    EXPECT_FLOAT_EQ(camera.centre[1], 1.5f);
    EXPECT_FLOAT_EQ(camera.centre[2], 3);
    EXPECT_EQ(camera.models.size(), 1u);
}

TEST_F(GeomEditTest, WhatCannotBeFoundLeavesTrianglesUntexturedOrNoWindow) {
    TagEntry* stone = Import(*Tetrahedron(), "Stone");
    // Without its collection the geometry still opens, untextured.
    ASSERT_EQ(pirn::DeleteTag(pirn::FindTag(MakeFourCC(".256"), stone->tag_id)), 1);
    GeomEdit* editor = Open(stone);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Model()->triangles.size(), 4u);
    EXPECT_FALSE(pirn::ModelTriangleIsTextured(*editor->Model(), editor->Model()->triangles[0]));
    EXPECT_EQ(editor->Model()->textures[0].name, "");

    // A geometry tag too short for its header is not opened at all.
    pirn::fixture::TagHeaderFields header;
    header.name = "Stub";
    header.group = MakeFourCC("geom");
    header.id = MakeFourCC("stub");
    WriteLocal("Geometries", "Stub", pirn::fixture::TagFileBytes(header, std::vector<u8>(10, 1)));
    pirn::PollLocalFolder(true);
    TagEntry* stub = pirn::FindTag(MakeFourCC("geom"), MakeFourCC("stub"));
    Answer(0);
    EXPECT_EQ(Open(stub), nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "The tag could not be loaded.");
    EXPECT_EQ(pirn::GetTagUseCount(stub), 0u);
}

TEST_F(GeomEditTest, AModelOfOnePointIsViewedFromDistanceZero) {
    GeomEdit* editor = Open(Import(*OnePoint(), "Dot"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->StatusText(), "Triangles: 0\nVertices: 1\nMaterials: 0\n");
    EXPECT_EQ(editor->Diagonal(), 0);
    EXPECT_EQ(editor->Camera().distance, 0);
    // The point as stored: 1/512 units.
    EXPECT_FLOAT_EQ(editor->Camera().centre[0], 1.5f);
    EXPECT_FLOAT_EQ(editor->Camera().centre[1], -2);
    EXPECT_FLOAT_EQ(editor->Camera().centre[2], 0.25f);
}

TEST_F(GeomEditTest, DragButtonsLockThePointerAndCommitTheCameraWhenReleased) {
    GeomEdit* editor = Open(Import(*Tetrahedron(), "Stone"));
    ASSERT_NE(editor, nullptr);
    pirn::ModelViewCamera& camera = editor->Camera();

    // Zoom: 32 pixels to the left in two steps halve the distance.
    bool locked_during = false, hidden_during = false;
    int look_during = 0;
    Drag(editor->ZoomButton(), {{-20, 3}, {-12, 5}}, [&] {
        locked_during = IsPointerLocked();
        hidden_during = !headless::Record().cursorVisible;
        look_during = editor->ZoomButton()->CurrentLook();
    });
    EXPECT_TRUE(locked_during);
    EXPECT_TRUE(hidden_during);
    EXPECT_EQ(look_during, pirn::kSlotZoomButtonPressed);
    EXPECT_FALSE(IsPointerLocked());
    EXPECT_TRUE(headless::Record().cursorVisible);
    EXPECT_EQ(editor->ZoomButton()->CurrentLook(), pirn::kSlotZoomButton);
    EXPECT_FLOAT_EQ(camera.distance, 5.25f);
    EXPECT_FLOAT_EQ(camera.committed_distance, 5.25f);
    EXPECT_EQ(camera.far_plane, 65535.0f);
    EXPECT_EQ(editor->ZoomButton()->GetDragTotal().x, -32);

    // Rotate: 256 pixels to the left turn angle a once.
    Drag(editor->RotateButton(), {{-100, 0}, {-156, 0}});
    EXPECT_NEAR(camera.committed_angles[0], 2 * kPi, 1e-4f);
    EXPECT_EQ(camera.committed_angles[1], 0);

    // Pan: 128 pixels right move the centre one unit against the right
    // vector of the last frame.
    const float right[3] = {0, 0, 1};
    std::copy(right, right + 3, camera.right);
    const float before = camera.centre[2];
    Drag(editor->PanButton(), {{128, 0}});
    EXPECT_FLOAT_EQ(camera.committed_centre[2], before - 1);

    // The menu's Reset View brings the framed view back.
    Then([] {
        auto* menu = dynamic_cast<pirn::Menu*>(GetTopModalWindow());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->Entries().size(), 2u);
        EXPECT_STREQ(menu->Entries()[0]->GetTitle(), "Reset View");
        EXPECT_STREQ(menu->Entries()[1]->GetTitle(), "Export LWO...");
        menu->Entries()[0]->Choose();
    });
    editor->ShowMenu(Point{200, 200});
    EXPECT_FLOAT_EQ(camera.distance, 10.5f);
    EXPECT_FLOAT_EQ(camera.centre[2], 3);
    EXPECT_EQ(camera.angles[0], 0);
}

TEST_F(GeomEditTest, ExportWritesTheObjectAndTellsOfFailures) {
    GeomEdit* editor = Open(Import(*Tetrahedron(), "Stone"));
    ASSERT_NE(editor, nullptr);
    const std::string out = dir_.file("export");
    ASSERT_TRUE(pirn::MakeDirectory(out));  // a folder chooser picks folders that exist
    headless::QueueFileDialogAnswer({out});
    editor->RunCommand(GeomEdit::kExportLwoCommand);
    ASSERT_FALSE(headless::FileDialogRequests().empty());
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Choose a destination folder");
    EXPECT_TRUE(asked_.empty());
    pirn::LwoReadFailure failure;
    auto object = pirn::LwoReadObjectFile(out + "/Stone.lwo", &failure);
    ASSERT_NE(object, nullptr) << pirn::LwoFailureText(failure);
    EXPECT_EQ(object->layers[0].polygons.size(), 4u);
    ASSERT_EQ(object->surfaces.size(), 1u);
    EXPECT_EQ(object->surfaces[0].name, "Stone");
    EXPECT_TRUE(Exists(out + "/stone.png"));

    // Cancelled: nothing happens.
    headless::QueueDialogCancel();
    editor->RunCommand(GeomEdit::kExportLwoCommand);
    EXPECT_TRUE(asked_.empty());

    // A file where the folder should be: the user is told.
    WriteAll(dir_.file("blocked"), std::string("x"));
    Answer(0);
    const pirn::LwoExportResult result = editor->ExportTo(dir_.file("blocked"));
    EXPECT_FALSE(result.written);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The export was not complete:\nThe folder '" + dir_.file("blocked") +
                                  "/' could not be made.");
}

TEST_F(GeomEditTest, SavingIsRefused) {
    TagEntry* tag = Import(*Tetrahedron(), "Stone");
    const std::vector<u8> before = ReadAll(LocalFile("Geometries", "Stone"));
    GeomEdit* editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Save(), 0);
    EXPECT_EQ(ReadAll(LocalFile("Geometries", "Stone")), before);
}

}  // namespace
}  // namespace pirn_test
