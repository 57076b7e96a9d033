#pragma once
// GeomEdit: the viewer of geometry tags ('geom'). It shows the geometry in
// 3D with the textures of its collection, turned, moved and zoomed with
// three drag buttons at the top right; its context menu resets the view
// and exports the geometry as a LightWave object with PNG textures. It
// cannot save (the TagEdit base refuses).

#include <memory>
#include <string>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "models/geom_data.h"
#include "models/geom_to_model.h"
#include "models/lwo_export.h"
#include "models/model_object.h"
#include "models/model_view_camera.h"
#include "models/ui/view_transform_button.h"

namespace pirn {

class GeomEdit : public TagEdit {
public:
    static constexpr i32 kSize = 400;
    // Context menu commands.
    enum : i32 { kResetViewCommand = 0, kExportLwoCommand = 1 };

    explicit GeomEdit(TagEntry* tag);
    ~GeomEdit() override;

    const char* GetClassName() const override { return "GeomEdit"; }
    void Layout() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;

    // ResetGeomView: angles 0, centred on the model's bounds, 1.5 times its
    // diagonal away.
    void ResetView();
    // The popup menu at a screen point; runs the command chosen.
    void ShowMenu(Point screen_point);
    void RunCommand(i32 command);
    // Asks for a folder ("Choose a destination folder"), then ExportTo.
    void ExportLwo();
    // Writes the model as folder/<tag name>.lwo with its textures; a
    // failure is shown in an error box and returned.
    LwoExportResult ExportTo(const std::string& folder);

    // "Triangles: %d\nVertices: %d\nMaterials: %d\n"
    std::string StatusText() const;

    ModelViewCamera& Camera() { return camera_; }
    const ModelObject* Model() const { return model_.get(); }
    const GeomDisplayProblems& Problems() const { return problems_; }
    ViewTransformButton* PanButton() const { return pan_; }
    ViewTransformButton* RotateButton() const { return rotate_; }
    ViewTransformButton* ZoomButton() const { return zoom_; }
    float Diagonal() const { return diagonal_; }
    float ResetDistance() const { return reset_distance_; }

private:
    void MakeButtons();

    ModelViewCamera camera_;
    std::unique_ptr<ModelObject> model_;
    std::unique_ptr<GeomData> geom_;
    GeomDisplayProblems problems_;
    ViewTransformButton* pan_ = nullptr;
    ViewTransformButton* rotate_ = nullptr;
    ViewTransformButton* zoom_ = nullptr;
    float diagonal_ = 0;
    float reset_distance_ = 0;
};

// The registry's factory, and its binding to the "GeomEdit" row.
TagEdit* NewGeomEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindGeomEdit();

}  // namespace pirn
