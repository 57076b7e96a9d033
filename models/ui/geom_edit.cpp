#include "models/ui/geom_edit.h"

#include "codex/ui/tag_editor_registry.h"
#include "models/geom_textures.h"
#include "models/ui/model_view_renderer.h"
#include "platform/strings.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/skin_slots.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kStatusTextFlags = 0x106;  // title, multi-line, shadow

void ZoomGesture(ModelViewCamera* camera, float dx, float) { ZoomCamera(camera, dx); }

}  // namespace

GeomEdit::GeomEdit(TagEntry* tag) : TagEdit(tag) { InitModelViewCamera(&camera_); }

GeomEdit::~GeomEdit() {
    if (model_)
        if (ModelViewRenderer* renderer = GetModelViewRenderer()) renderer->ReleaseModel(model_.get());
    FreeModelViewCamera(&camera_);
}

void GeomEdit::MakeButtons() {
    if (pan_) return;
    pan_ = new ViewTransformButton(this, &camera_, PanCamera,
                                   {kSlotPanButton, kSlotPanButtonPressed, kSlotPanButtonDisabled}, "Pan");
    rotate_ = new ViewTransformButton(this, &camera_, RotateCamera,
                                      {kSlotRotateButton, kSlotRotateButtonPressed, kSlotRotateButtonDisabled},
                                      "Rotate");
    zoom_ = new ViewTransformButton(this, &camera_, ZoomGesture,
                                    {kSlotZoomButton, kSlotZoomButtonPressed, kSlotZoomButtonDisabled}, "Zoom");
}

int GeomEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    std::unique_ptr<GeomData> geom = LoadGeomModel(stream, *header);
    if (!geom) return 0;
    if (model_)
        if (ModelViewRenderer* renderer = GetModelViewRenderer()) renderer->ReleaseModel(model_.get());
    geom_ = std::move(geom);
    model_ = BuildGeomDisplayModel(*geom_, &problems_);
    camera_.models.assign(1, model_.get());
    MakeButtons();
    ResetView();
    SetSize(kSize, kSize);
    return 1;
}

void GeomEdit::Layout() {
    if (!pan_) return;
    const i32 width = GetClientWidth();
    ViewTransformButton* buttons[3] = {pan_, rotate_, zoom_};
    for (int i = 0; i < 3; ++i) {
        buttons[i]->SetPosition(width - (3 - i) * ViewTransformButton::kSide, 0);
        buttons[i]->SetSize(ViewTransformButton::kSide, ViewTransformButton::kSide);
    }
}

std::string GeomEdit::StatusText() const {
    const size_t triangles = model_ ? model_->triangles.size() : 0;
    const size_t vertices = model_ ? model_->vertices.size() : 0;
    const size_t materials = model_ ? model_->textures.size() : 0;
    return FormatString("Triangles: %d\nVertices: %d\nMaterials: %d\n", static_cast<int>(triangles),
                        static_cast<int>(vertices), static_cast<int>(materials));
}

void GeomEdit::DrawContents() {
    if (BeginWindowDraw(this, 1, 1))
        if (ModelViewRenderer* renderer = GetModelViewRenderer()) renderer->DrawScene(&camera_);
    EndWindowDraw(this);
    if (BeginWindowDraw(this, 1, 0)) {
        SetDrawColor(kColorWhite);
        DrawTextInRect(StatusText().c_str(), 0, kStatusTextFlags, GetClientRect());
    }
    EndWindowDraw(this);
}

void GeomEdit::OnMouseButton(InputEvent& event) {
    if (IsRightButtonEvent(event) && event.ButtonAction()) ShowMenu(Point{event.X(), event.Y()});
}

void GeomEdit::ResetView() {
    if (!model_) return;
    diagonal_ = FrameCameraOnBounds(&camera_, model_->bounds);
    reset_distance_ = camera_.distance;
    Invalidate();
}

void GeomEdit::ShowMenu(Point screen_point) {
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "Reset View", nullptr, kResetViewCommand, true);
    Menu::AddItem(menu, "Export LWO...", nullptr, kExportLwoCommand, true);
    const i32 command = Menu::Popup(menu, screen_point);
    DestroyWindow(menu);
    RunCommand(command);
}

void GeomEdit::RunCommand(i32 command) {
    if (command == kResetViewCommand) ResetView();
    if (command == kExportLwoCommand) ExportLwo();
}

void GeomEdit::ExportLwo() {
    std::string folder;
    if (!ChooseExportFolder("Choose a destination folder", &folder, nullptr, kFileKindModel, nullptr)) return;
    ExportTo(folder);
}

LwoExportResult GeomEdit::ExportTo(const std::string& folder) {
    LwoExportResult result;
    if (!model_) return result;
    result = ExportLwoModel(*model_, folder, GetHeader().name);
    if (!result.problems.empty()) {
        std::string text = "The export was not complete:";
        for (const std::string& problem : result.problems) text += "\n" + problem;
        ShowMessageBox("Error", text.c_str(), "OK", nullptr);
    }
    return result;
}

TagEdit* NewGeomEdit(TagEntry* tag, TagGroupInfo*, u32) { return new GeomEdit(tag); }

void BindGeomEdit() { BindTagEditor("GeomEdit", NewGeomEdit); }

}  // namespace pirn
