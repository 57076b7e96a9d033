#pragma once
// "Automatic Detail Texturing": the sixteen terrain types, each with the
// detail texture proposed for it; activating a row edits its texture entry
// (ChoiceDialog). Accepting it makes a detail map from the terrain types.

#include "models/mesh_terrain_types.h"
#include "platform/types.h"
#include "ui/dialog_window.h"

namespace pirn {

class ListWindow;

class TerrainTypesDialog : public DialogWindow {
public:
    static constexpr i32 kAreaWidth = 448;
    static constexpr i32 kAreaHeight = 320;

    TerrainTypesDialog();
    ~TerrainTypesDialog() override;
    const char* GetClassName() const override { return "TerrainTypesDialog"; }
    void Layout() override;

    // One row per type, in type order.
    void Fill(const TerrainTypeChoice choices[kTerrainTypeCount]);
    // Row t's choice (as edited).
    const TerrainTypeChoice& Choice(u32 type) const { return choices_[type]; }
    // The row's entry through ChoiceDialog; a changed tag id shows the new
    // tag's name. Whether the entry changed.
    bool EditRow(u32 type);
    ListWindow* GetList() const { return list_; }

private:
    void RowActivated(void* item);

    ListWindow* list_ = nullptr;
    TerrainTypeChoice choices_[kTerrainTypeCount];
};

// Runs the dialog (modal flags 5) on the proposals; false when cancelled.
// On OK `choices` holds the rows as edited.
bool RunTerrainTypesDialog(TerrainTypeChoice choices[kTerrainTypeCount]);

}  // namespace pirn
