#pragma once
// MeshEdit: the terrain editor, the editor of 'mesh' tags. It shows the
// terrain in 3D (camera keys X Z W S Q E A D C V O P) and, with the Detail
// Map Tool, paints the current texture index of the detail map with a round
// or square brush, flood-fills with Alt, and keeps every stroke and fill
// in an undo history (Control+Z, Control+Y). The Brush List at the right
// edge holds the 128 texture slots; the right button opens the "Switch
// Tool" menu with the detail-map commands and display toggles. Saving
// writes the detail map ('dmap' tag with the collection's id); the mesh
// itself is never written.
//
// The data and the command bodies are headless (models/mesh_*.h); drawing
// goes through the installed MeshRenderer (models/ui/mesh_renderer.h).

#include <memory>
#include <string>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "models/mesh_camera.h"
#include "models/mesh_edit_data.h"
#include "ui/undo_history.h"

namespace pirn {

class ListWindow;
class BrushListWindow;
struct Archive;
struct ListItem;

class MeshEdit : public TagEdit, private MeshEditHooks {
public:
    static constexpr i32 kWidth = 800;
    static constexpr i32 kHeight = 600;
    static constexpr i32 kBrushListWidth = 192;
    static constexpr double kTickRate = 60.0;
    static constexpr float kRadiusStep = 0.2f;

    // "Switch Tool" commands.
    enum Command : i32 {
        kNoToolCommand = 0,
        kDetailMapToolCommand = 1,
        kNewBlankCommand = 2,
        kNewFromTerrainCommand = 3,
        kExportVertexCommand = 4,
        kImportVertexCommand = 5,
        kExportTriangleCommand = 6,
        kImportTriangleCommand = 7,
        kImportClutCommand = 8,
        kToggleInfoCommand = 9,
        kTogglePaletteCommand = 10,
        kToggleWireframeCommand = 11,
        kToggleDetailCommand = 12,
        kToggleHighlightingCommand = 13,
        kToggleShapeCommand = 14,
        kToggleTriangleCommand = 15,
        kToggleMediaCommand = 16,
        kHighlightModeCommand = 17,
        kSwitchToolSubmenu = 100,
    };

    explicit MeshEdit(TagEntry* tag);
    ~MeshEdit() override;

    const char* GetClassName() const override { return "MeshEdit"; }
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnWheel(InputEvent& event) override;
    FocusAnswer OnFocusGained(Window* old_focus, int reason) override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    int Save() override;
    // Meshes are made by the game's tools, not here.
    int CreateNew(u32, const char*) override { return 0; }

    // ---- the tool menu and its commands ----
    void ShowToolMenu(Point screen_point);
    // Whether the menu entry can be chosen now.
    bool IsCommandEnabled(i32 command) const;
    void RunCommand(i32 command);
    void SetMeshTool(u32 tool);
    void NewBlankDetailMapCommand();
    // The terrain-types dialog, then the detail map made from them; false
    // when cancelled.
    bool NewDetailMapFromTerrain();
    void ExportVertexDetail();
    void ExportTriangleDetail();
    void ImportVertexDetail();
    void ImportTriangleDetail();
    void ImportHighlightClut();
    // SetHighlightPalette with the rows refreshed.
    void SetHighlightPalette(const u8 colors[768]);

    // ---- the Brush List ----
    void RebuildBrushList();
    // Reloads the slot's texture and its row.
    void SetSlotTexture(u32 slot, bool clear);
    void RefreshSlotRow(u32 slot);
    void ActivateSlot(u32 slot);
    void ClearSelectedSlot();
    void SelectedSlotChanged();
    void ToggleSlotLock(u32 slot);
    void ToggleSlotHighlight(u32 slot);
    void ShowBrushList(bool show);
    bool IsBrushListShown() const { return brush_list_shown_; }

    // ---- painting and ticks (run by OnIdle) ----
    void PaintStep();
    // One 60 Hz step of the camera keys and the media wave.
    void TickMeshEditor();

    MeshEditData& Data() { return data_; }
    const MeshEditData& Data() const { return data_; }
    UndoHistory& Undo() { return undo_; }
    ListWindow* BrushList() const;
    ListItem* SlotRow(u32 slot) const { return slot < kDetailSlotCount ? rows_[slot] : nullptr; }
    const MeshView& View() const { return view_; }
    bool IsButtonHeld() const { return button_held_; }
    // The message box the load left to show (a size conflict), shown once
    // the editor is on screen.
    void ShowEditor() override;

private:
    void MarkModified() override;
    void RequestRedraw() override;
    static void CodexEvent(void* context, Archive* archive, TagEntry* tag, u32 event);
    void OnCodexEvent(TagEntry* tag, u32 event);
    void ListActivated(void* item);
    void ListDeleteRequested();
    void ListSelectionChanged();
    void ClampBrushRadius();
    void EndStroke();
    bool IsActiveEditor() const;
    u32 HeldCameraKeys() const;
    void ExportDetail(bool triangles);
    void ImportDetail(bool triangles);

    MeshEditData data_;
    UndoHistory undo_;
    BrushListWindow* brush_list_ = nullptr;
    ListItem* rows_[kDetailSlotCount] = {};
    bool brush_list_shown_ = true;
    MeshView view_;
    // Input state.
    bool button_held_ = false;
    u32 button_modifiers_ = 0;
    bool fill_pending_ = false;
    bool ignore_next_button_ = false;
    bool key_seen_ = false;
    // Camera keys pressed as part of a Control shortcut (Control+Z, +S):
    // they move nothing until released, even if Control goes up first.
    u32 shortcut_keys_ = 0;
    bool redraw_requested_ = true;
    double tick_base_ = -1.0;
    u64 ticks_done_ = 0;
    std::string pending_title_;
    std::string pending_text_;
};

// The registry's factory, and its binding to the "MeshEdit" row.
TagEdit* NewMeshEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindMeshEdit();

}  // namespace pirn
