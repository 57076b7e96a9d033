#include "models/ui/terrain_types_dialog.h"

#include <cstddef>

#include "models/ui/mesh_choice_dialog.h"
#include "ui/list_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kModalFlags = 5;
constexpr u32 kCellTextFlags = 262 & ~0x100u;

}  // namespace

TerrainTypesDialog::TerrainTypesDialog() {
    SetFlags(kStyle);
    SetTitle("Automatic Detail Texturing");
    SetClientSize(kAreaWidth, kAreaHeight);
    list_ = new ListWindow(ListWindow::kColumnMode | ListWindow::kHeaderRow | ListWindow::kNeverEmptySelection,
                           kVisible | kEnabled | kTakesFocus, this);
    const u32 string_size = sizeof(std::string);
    list_->AddColumn("Terrain Type", "%s", kColumnString, string_size, 224, 0, kCellTextFlags);
    list_->AddColumn("Detail Texture", "%s", kColumnString, string_size, 200, 0, kCellTextFlags);
    list_->SetColumnFieldOffset(0, offsetof(TerrainTypeChoice, name));
    list_->SetColumnFieldOffset(1, offsetof(TerrainTypeChoice, texture_label));
    ConnectSignal<&TerrainTypesDialog::RowActivated>(list_->activated, this);
    LinkButtonsAfter(list_);
    Layout();
}

TerrainTypesDialog::~TerrainTypesDialog() = default;

void TerrainTypesDialog::Layout() {
    DialogWindow::Layout();
    if (list_) SetFrame(list_, GetClientRect());
}

void TerrainTypesDialog::Fill(const TerrainTypeChoice choices[kTerrainTypeCount]) {
    list_->RemoveAllItems();
    for (u32 t = 0; t < kTerrainTypeCount; ++t) {
        choices_[t] = choices[t];
        list_->AddItem(nullptr, 0, 0, &choices_[t], nullptr);
    }
    list_->UpdateScrollRange();
    list_->SelectItem(list_->FirstRow(), false);
}

bool TerrainTypesDialog::EditRow(u32 type) {
    if (type >= kTerrainTypeCount) return false;
    TerrainTypeChoice& choice = choices_[type];
    const u32 old_id = choice.entry.tag_id;
    const bool changed = EditDetailTextureAttributes(&choice.entry);
    if (changed && choice.entry.tag_id != old_id) {
        choice.texture_label = DetailTextureTagLabel(choice.entry.tag_id);
        list_->Invalidate();
    }
    return changed;
}

void TerrainTypesDialog::RowActivated(void* item) {
    const auto* choice = static_cast<const TerrainTypeChoice*>(static_cast<ListItem*>(item)->userData);
    if (choice) EditRow(static_cast<u32>(choice - choices_));
}

bool RunTerrainTypesDialog(TerrainTypeChoice choices[kTerrainTypeCount]) {
    auto* dialog = new TerrainTypesDialog();
    dialog->Fill(choices);
    dialog->CenterInParent();
    const bool accepted = dialog->RunDialog(kModalFlags) == 1;
    if (accepted)
        for (u32 t = 0; t < kTerrainTypeCount; ++t) choices[t] = dialog->Choice(t);
    DestroyWindow(dialog);
    return accepted;
}

}  // namespace pirn
