// MeshEdit's commands: the "Switch Tool" menu, the detail-map commands,
// import and export of the detail planes, and the Brush List's actions.

#include <cstdint>
#include <cstring>

#include "codex/codex_catalogue.h"
#include "models/mesh_detail_image.h"
#include "models/mesh_edit_load.h"
#include "models/mesh_highlight_palette.h"
#include "models/mesh_terrain_types.h"
#include "models/ui/brush_list_window.h"
#include "models/ui/mesh_choice_dialog.h"
#include "models/ui/mesh_edit.h"
#include "models/ui/mesh_edit_messages.h"
#include "models/ui/terrain_types_dialog.h"
#include "platform/image_file.h"
#include "platform/native_dialogs.h"
#include "platform/os/key_codes.h"
#include "ui/color_table_dialogs.h"
#include "ui/draw_target.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/skin_slots.h"
#include "ui/window_system.h"

namespace pirn {

namespace msg = mesh_messages;

namespace {

struct MenuEntry {
    i32 command;
    const char* title;
};

const MenuEntry kMapEntries[] = {
    {MeshEdit::kNewFromTerrainCommand, "New Detail Map (From Terrain)"},
    {MeshEdit::kNewBlankCommand, "New Detail Map (Blank)"},
    {MeshEdit::kImportVertexCommand, "Import Vertex Detail"},
    {MeshEdit::kExportVertexCommand, "Export Vertex Detail"},
    {MeshEdit::kImportTriangleCommand, "Import Triangle Detail"},
    {MeshEdit::kExportTriangleCommand, "Export Triangle Detail"},
    {MeshEdit::kImportClutCommand, "Import Highlight CLUT"},
};

const MenuEntry kToggleEntries[] = {
    {MeshEdit::kToggleInfoCommand, "Toggle Info (~)"},
    {MeshEdit::kTogglePaletteCommand, "Toggle Palette (tab)"},
    {MeshEdit::kToggleWireframeCommand, "Toggle Wireframe (f1)"},
    {MeshEdit::kToggleDetailCommand, "Toggle Detail Textures (f2)"},
    {MeshEdit::kToggleHighlightingCommand, "Toggle Texture Highlighting (f3)"},
    {MeshEdit::kToggleShapeCommand, "Toggle Brush Shape (f4)"},
    {MeshEdit::kToggleTriangleCommand, "Toggle Triangle Mode (f5)"},
    {MeshEdit::kToggleMediaCommand, "Toggle Media Animation (f6)"},
    {MeshEdit::kHighlightModeCommand, "Toggle Highlight mode (f7)"},
};

void ShowOk(const char* caption, const char* text) { ShowMessageBox(caption, text, msg::kOk, nullptr); }

u32 RowSlot(const ListItem* item) {
    return item ? static_cast<u32>(reinterpret_cast<uintptr_t>(item->userData)) - 1 : kDetailSlotCount;
}

}  // namespace

// ---- the tool menu ----

bool MeshEdit::IsCommandEnabled(i32 command) const {
    const bool map = data_.detail_map_present;
    const bool tool = data_.tool != kMeshNoTool;
    switch (command) {
        case kDetailMapToolCommand:
        case kImportVertexCommand:
        case kExportVertexCommand:
        case kImportTriangleCommand:
        case kExportTriangleCommand:
        case kImportClutCommand:
        case kToggleDetailCommand:
        case kToggleHighlightingCommand:
            return map;
        case kTogglePaletteCommand:
        case kToggleShapeCommand:
        case kToggleTriangleCommand:
        case kHighlightModeCommand:
            return tool;
        default:
            return true;
    }
}

void MeshEdit::ShowToolMenu(Point screen_point) {
    auto* menu = new Menu(false);
    MenuItem* tools = Menu::AddItem(menu, "Switch Tool", nullptr, kSwitchToolSubmenu, true);
    Menu::AddItem(menu, "No Tool", tools, kNoToolCommand, true);
    Menu::AddItem(menu, "Detail Map Tool", tools, kDetailMapToolCommand, IsCommandEnabled(kDetailMapToolCommand));
    Menu::AddSeparator(menu, nullptr);
    for (const MenuEntry& e : kMapEntries) Menu::AddItem(menu, e.title, nullptr, e.command, IsCommandEnabled(e.command));
    Menu::AddSeparator(menu, nullptr);
    for (const MenuEntry& e : kToggleEntries)
        Menu::AddItem(menu, e.title, nullptr, e.command, IsCommandEnabled(e.command));
    const i32 command = Menu::Popup(menu, screen_point);
    DestroyWindow(menu);
    if (command < 0 || command == kSwitchToolSubmenu) {
        // The release of the button that closed the menu is not ours.
        ignore_next_button_ = true;
        return;
    }
    RunCommand(command);
}

void MeshEdit::RunCommand(i32 command) {
    if (!IsCommandEnabled(command)) return;
    u32 tool = data_.tool;
    switch (command) {
        case kNoToolCommand: tool = kMeshNoTool; break;
        case kDetailMapToolCommand: tool = kMeshDetailMapTool; break;
        case kNewFromTerrainCommand:
            if (NewDetailMapFromTerrain()) tool = kMeshDetailMapTool;
            break;
        case kNewBlankCommand:
            NewBlankDetailMapCommand();
            tool = kMeshDetailMapTool;
            break;
        case kImportVertexCommand: ImportVertexDetail(); break;
        case kExportVertexCommand: ExportVertexDetail(); break;
        case kImportTriangleCommand: ImportTriangleDetail(); break;
        case kExportTriangleCommand: ExportTriangleDetail(); break;
        case kImportClutCommand: ImportHighlightClut(); break;
        case kToggleInfoCommand: data_.show_info = !data_.show_info; break;
        case kTogglePaletteCommand:
            if (data_.tool == kMeshDetailMapTool) ShowBrushList(!brush_list_shown_);
            break;
        case kToggleWireframeCommand: data_.wireframe = !data_.wireframe; break;
        case kToggleDetailCommand: data_.detail_textures = !data_.detail_textures; break;
        case kToggleHighlightingCommand: data_.highlighting = !data_.highlighting; break;
        case kToggleShapeCommand: data_.square_brush = !data_.square_brush; break;
        case kToggleTriangleCommand: data_.triangle_mode = !data_.triangle_mode; break;
        case kToggleMediaCommand: data_.media_animation = !data_.media_animation; break;
        case kHighlightModeCommand: data_.highlight_mode = (data_.highlight_mode + 1) % kHighlightModeCount; break;
        default: break;
    }
    SetMeshTool(tool);
    RequestRedraw();
}

void MeshEdit::SetMeshTool(u32 tool) {
    const bool leaving = data_.tool == kMeshDetailMapTool && tool != kMeshDetailMapTool;
    data_.tool = tool;
    ShowBrushList(brush_list_shown_);
    if (leaving) ActivateWindow(this, kFocusByProgram);
}

// ---- detail-map commands ----

void MeshEdit::NewBlankDetailMapCommand() {
    ClearUndoHistory(undo_);
    NewBlankDetailMap(&data_, kHighlightPalettePath);
    RebuildBrushList();
    Invalidate();
}

bool MeshEdit::NewDetailMapFromTerrain() {
    TerrainTypeChoice choices[kTerrainTypeCount];
    ProposeTerrainTypeChoices(choices);
    if (!RunTerrainTypesDialog(choices)) return false;
    ClearUndoHistory(undo_);
    if (!NewBlankDetailMap(&data_, kHighlightPalettePath)) return false;
    data_.modifiers = GetModifierMask();
    ApplyTerrainTypes(&data_, choices);
    RebuildBrushList();
    Invalidate();
    return true;
}

void MeshEdit::ExportDetail(bool triangles) {
    PixelImage image;
    const bool made = triangles ? MakeTriangleDetailImage(data_, &image) : MakeVertexDetailImage(data_, &image);
    if (!made) return;
    ImageFile file;
    file.path = data_.collection_name + (triangles ? msg::kTriangleSuffix : msg::kVertexSuffix);
    if (!ChooseSaveFile(triangles ? msg::kExportTriangleCaption : msg::kExportVertexCaption, &file, kFileKindImage,
                        nullptr))
        return;
    if (file.type == kTypeUnknown) {
        // A name without an image extension is written as PNG.
        file.path += ".png";
        file.type = kTypePng;
        file.kind = kKindImage;
    }
    file.image = std::move(image);
    if (!SaveImageFile(&file)) ShowOk(msg::kErrorCaption, msg::kWriteFailed);
}

void MeshEdit::ImportDetail(bool triangles) {
    ImageFile file;
    file.path = data_.collection_name + (triangles ? msg::kTriangleSuffix : msg::kVertexSuffix);
    if (!ChooseOpenFile(triangles ? msg::kImportTriangleCaption : msg::kImportVertexCaption, &file, kFileKindImage,
                        nullptr))
        return;
    if (!LoadImageFile(&file)) {
        ShowOk(msg::kErrorCaption, msg::kReadFailed);
        return;
    }
    const std::string refusal = CheckDetailImage(data_, file.image, triangles);
    if (!refusal.empty()) {
        ShowOk(msg::kErrorCaption, refusal.c_str());
        return;
    }
    ClearUndoHistory(undo_);
    data_.modifiers = GetModifierMask();
    const bool perfect = triangles ? pirn::ImportTriangleDetail(&data_, file.image, kHighlightPalettePath)
                                   : pirn::ImportVertexDetail(&data_, file.image, kHighlightPalettePath);
    for (u32 slot = 0; slot < kDetailSlotCount; ++slot) RefreshSlotRow(slot);
    Invalidate();
    if (!perfect) ShowOk(msg::kPartialCaption, msg::kPartialText);
}

void MeshEdit::ExportVertexDetail() { ExportDetail(false); }
void MeshEdit::ExportTriangleDetail() { ExportDetail(true); }
void MeshEdit::ImportVertexDetail() { ImportDetail(false); }
void MeshEdit::ImportTriangleDetail() { ImportDetail(true); }

void MeshEdit::ImportHighlightClut() {
    u8 table[kActTableSize];
    std::memcpy(table, data_.palette, sizeof table);
    u32 count = 0;
    if (!ImportColorTable(data_.collection_name, table, &count)) return;
    SetHighlightPalette(table);
}

void MeshEdit::SetHighlightPalette(const u8 colors[768]) {
    pirn::SetHighlightPalette(&data_, colors, kHighlightPalettePath);
    for (u32 slot = 0; slot < kDetailSlotCount; ++slot) RefreshSlotRow(slot);
    Invalidate();
}

// ---- the Brush List ----

void MeshEdit::SetSlotTexture(u32 slot, bool clear) {
    if (slot >= kDetailSlotCount) return;
    pirn::SetSlotTexture(&data_, slot, clear);
    if (rows_[slot]) brush_list_->SetItemText(rows_[slot], SlotRowText(slot, SlotLabel(data_.slots[slot])).c_str());
    RefreshSlotRow(slot);
}

void MeshEdit::RefreshSlotRow(u32 slot) {
    ListItem* row = slot < kDetailSlotCount ? rows_[slot] : nullptr;
    if (!row) return;
    const DetailTextureSlot& s = data_.slots[slot];
    const u8* colour = data_.palette + slot * 3;
    row->textColor = s.highlighted ? PackRgba(colour[0], colour[1], colour[2], 255) : ListItem::kDefaultTextColor;
    // A locked slot's row is drawn with a mark before its text.
    row->image = s.locked ? kSlotCheckBoxChecked : 0;
    if (s.locked) row->flags |= ListItem::kHasImage;
    else row->flags &= ~u32(ListItem::kHasImage);
    brush_list_->Invalidate();
}

void MeshEdit::RebuildBrushList() {
    if (!rows_[0]) {
        for (u32 slot = 0; slot < kDetailSlotCount; ++slot)
            rows_[slot] = brush_list_->AddItem(nullptr, 0, ListItem::kTextItem, reinterpret_cast<void*>(uintptr_t(slot) + 1),
                                               "");
        brush_list_->UpdateScrollRange();
    }
    for (u32 slot = 0; slot < kDetailSlotCount; ++slot) SetSlotTexture(slot, false);
    if (!brush_list_->GetSelectedItem()) brush_list_->SelectItem(rows_[data_.current_texture], false);
}

void MeshEdit::ActivateSlot(u32 slot) {
    if (slot >= kDetailSlotCount) return;
    if (slot == 0) {
        ShowOk(msg::kMessageCaption, msg::kReservedIndex);
        ColorRgb rgb{data_.palette[0], data_.palette[1], data_.palette[2]};
        if (OsChooseColor(&rgb)) {
            data_.palette[0] = rgb.red;
            data_.palette[1] = rgb.green;
            data_.palette[2] = rgb.blue;
            SetModified(true);
            SetSlotTexture(0, false);
        }
    } else {
        DetailTextureEntry entry = data_.slots[slot].entry;
        std::memcpy(entry.highlight, data_.palette + slot * 3, 3);
        if (EditDetailTextureAttributes(&entry)) {
            data_.slots[slot].entry = entry;
            std::memcpy(data_.palette + slot * 3, entry.highlight, 3);
            SetModified(true);
            SetSlotTexture(slot, false);
        }
    }
    SelectCurrentTexture(&data_, slot);
    RequestRedraw();
}

void MeshEdit::ClearSelectedSlot() {
    const u32 slot = RowSlot(brush_list_->GetSelectedItem());
    if (slot >= kDetailSlotCount) return;
    data_.slots[slot].entry.tag_id = kNoTagId;
    SetSlotTexture(slot, false);
    SetModified(true);
    RequestRedraw();
}

void MeshEdit::SelectedSlotChanged() {
    const u32 slot = RowSlot(brush_list_->GetSelectedItem());
    if (slot >= kDetailSlotCount) return;
    SelectCurrentTexture(&data_, slot);
    RequestRedraw();
}

void MeshEdit::ToggleSlotLock(u32 slot) {
    if (slot >= kDetailSlotCount) return;
    data_.slots[slot].locked = !data_.slots[slot].locked;
    RefreshSlotRow(slot);
    RequestRedraw();
}

void MeshEdit::ToggleSlotHighlight(u32 slot) {
    if (slot >= kDetailSlotCount) return;
    data_.slots[slot].highlighted = !data_.slots[slot].highlighted;
    RefreshSlotRow(slot);
    RequestRedraw();
}

void MeshEdit::ListActivated(void* item) { ActivateSlot(RowSlot(static_cast<ListItem*>(item))); }
void MeshEdit::ListDeleteRequested() { ClearSelectedSlot(); }
void MeshEdit::ListSelectionChanged() { SelectedSlotChanged(); }

}  // namespace pirn
