#pragma once
// X256SequenceEdit: the window of one sequence. Its properties in a band of
// controls at the top, and below them a grid of its frames (rows) by its
// shadow and shown views (columns): bitmaps are dropped onto cells, dragged
// between them, emptied with Delete, imported and exported through the
// grid's context menu; a double click on a cell asks for the frame editor.
//
// Number boxes take effect on Enter or when they lose the focus (a count
// half typed must not cut frames off). Frames and Views are disabled while
// a frame editor of the sequence is open. Registered in the collection
// editor's ElementBlocks as the sequence's editor while open.
//
// Every change emits sequenceChanged(sequence); imports that added bitmaps
// also emit bitmapsChanged; a change of the frame or view count
// sequenceListChanged; closing emits closed.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "collections/sequence_grid.h"
#include "collections/sequence_properties.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class CheckBox;
class ComboBox;
class GridWindow;
class Menu;
class TextBox;
class X256Edit;

class X256SequenceEdit : public Window {
public:
    static constexpr u32 kStyle = kVisible | kEnabled | kTitleBar | kShadow | kThickBorder | kResizable |
                                  kBackground | kCloseBox;
    static constexpr i32 kWidth = 800;
    static constexpr i32 kHeight = 600;
    static constexpr i32 kMinimumWidth = 520;
    static constexpr i32 kMinimumHeight = 404;
    static constexpr i32 kPanelHeight = 112;
    static constexpr i32 kGap = 12;
    static constexpr i32 kDragImageBox = 48;
    // The import and export menu's commands.
    enum Command : i32 {
        kImportViewsThenFrames = 0,
        kImportFramesThenViews = 1,
        kImportPlate = 2,
        kAlphasViewsThenFrames = 3,
        kAlphasFramesThenViews = 4,
        kAlphaPlate = 5,
        kExportBitmaps = 6,
        kExportPlate = 7,
        kExportAlphas = 8,
        kExportAlphaPlate = 9,
    };
    enum SoundBox : u32 { kFirstSound = 0, kKeySound = 1, kLastSound = 2 };

    // Registers itself in the editor's blocks as the sequence's editor.
    X256SequenceEdit(X256Edit* editor, CollectionSequence* sequence);

    const char* GetClassName() const override { return "X256SequenceEdit"; }
    void GetMinimumSize(Point* out, Point content) override;
    void Layout() override;
    void DrawBackground() override;
    int OnKey(InputEvent& event) override;
    void OnDestroy() override;

    CollectionSequence* GetSequence() const { return sequence_; }
    // Every control and the grid from the sequence.
    void RefreshSequenceEdit();
    // Labels and pictures of the cells (bitmaps changed elsewhere).
    void RefreshCells();
    void RefreshTitle();
    void SetCountsEnabled(bool on);

    // The controls (tests drive them as the user would).
    GridWindow* GetGrid() const { return grid_; }
    TextBox* GetFieldBox(SequenceField field) const { return fields_[field]; }
    TextBox* GetSoundBox(SoundBox box) const { return sounds_[box]; }
    ComboBox* GetModeBox() const { return mode_; }
    CheckBox* GetMirroringBox() const { return mirroring_; }
    CheckBox* GetNoRotationBox() const { return noRotation_; }
    CheckBox* GetHorzMirrorBox() const { return horzMirror_; }
    CheckBox* GetVertMirrorBox() const { return vertMirror_; }
    CheckBox* GetShadowLightBox() const { return shadowLight_; }
    const std::vector<SequenceGridCell>& GetCells() const { return cells_; }
    std::vector<SequenceGridCell*> SelectedCells();
    // The label a cell shows.
    const char* CellLabel(const SequenceGridCell& cell) const;

    Menu* BuildImportExportMenu() const;
    void ShowImportExportMenu(Point screen);
    void RunCommand(i32 command);
    // A payload over (phase 1) or dropped on (phase 0) a cell; > 0 accepts.
    int DropOnCell(DragDropData* payload, int phase, i32 cell);
    // Starts a drag of the selected cells (the pressed one alone when it is
    // not selected); whether one started.
    bool DragCells(i32 pressedCell);

    Signal<CollectionSequence*> sequenceChanged;
    SignalNone sequenceListChanged;
    SignalNone bitmapsChanged;
    SignalNone closed;
    Signal<CollectionSequence*, i32, i32> openFrame;  // sequence, view (-1 shadow), frame

private:
    void Build();
    void BuildFields();
    void BuildChecks();
    void BuildGrid();
    void RebuildGrid();
    void ShowFields();
    void Changed();
    void ApplyField(SequenceField field);
    void ApplySound(SoundBox box);
    void ImportBitmaps(i32 command);
    void ImportAlphas(i32 command);
    void Export(bool alpha, bool plate);
    void AfterImport();

    // Grid callbacks.
    static void DrawCell(void* context, const Rect& imageRect, void* cellData);
    static void ActivateCell(void* context, void* cellData);
    static void DragFromGrid(void* context, GridWindow* grid, i32 pressedCell);
    static int DropOnGrid(void* context, GridWindow* grid, DragDropData* payload, int phase, i32 cellIndex);
    static void DeleteCells(void* context);

    // Slots.
    void OnFieldCommit(i32 pressed);
    void OnFieldFocusLost(i32 reason);
    void OnModeChanged(intptr_t item, intptr_t data);
    void OnMirroringClicked();
    void OnNoRotationClicked();
    void OnCellMirrorClicked();
    void OnShadowLightClicked();
    void OnSelectionChanged();
    void OnContextClick(intptr_t x, intptr_t y);

    X256Edit* editor_;
    Collection* collection_;
    CollectionSequence* sequence_;
    GridWindow* grid_ = nullptr;
    TextBox* fields_[kSequenceFieldCount] = {};
    TextBox* sounds_[3] = {};
    ComboBox* mode_ = nullptr;
    CheckBox* mirroring_ = nullptr;
    CheckBox* noRotation_ = nullptr;
    CheckBox* horzMirror_ = nullptr;
    CheckBox* vertMirror_ = nullptr;
    CheckBox* shadowLight_ = nullptr;
    // Set while the program fills the controls: their signals write nothing.
    bool settingControls_ = false;
    // What the sound boxes showed when last filled.
    std::string soundShown_[3];
    std::vector<SequenceGridCell> cells_;
    std::vector<std::string> labels_;
};

}  // namespace pirn
