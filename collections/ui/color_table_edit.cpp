#include "collections/ui/color_table_edit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "platform/native_dialogs.h"
#include "ui/color_table_dialogs.h"
#include "ui/draw_target.h"
#include "ui/grid_window.h"
#include "ui/menu.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Cells carry their entry's index + 1 (a cell's data is never null).
void* EntryData(u32 index) { return reinterpret_cast<void*>(static_cast<uintptr_t>(index) + 1); }
u32 EntryOf(void* data) { return static_cast<u32>(reinterpret_cast<uintptr_t>(data) - 1); }

}  // namespace

X256ColorTableEdit::X256ColorTableEdit(X256Edit* editor, Window* parent)
    : Window(kVisible | kBackground | kTakesFocus, parent), collection_(&editor->GetCollection()) {
    SetTitle(x256_text::kColorTableTab);
    grid_ = new GridWindow(0, kVisible, this);
    grid_->SetItemWidth(kCellSide);
    grid_->SetItemHeight(kCellSide);
    grid_->SetSpacing(0);
    grid_->SetLabelHeight(0);
    grid_->SetCellCount(static_cast<i32>(kColorTableEntries));
    for (u32 i = 0; i < kColorTableEntries; ++i) grid_->SetCellData(static_cast<i32>(i), EntryData(i));
    grid_->SetCallbackContext(this);
    grid_->SetDrawCellCallback(&X256ColorTableEdit::DrawCell);
    grid_->SetActivateCallback(&X256ColorTableEdit::ActivateCell);
    ConnectSignal<&X256ColorTableEdit::OnContextClick>(grid_->contextClick, this);
    Layout();
}

void X256ColorTableEdit::Layout() {
    const Rect client = GetClientRect();
    SetFrame(grid_, Rect{kGridOffset, kGridOffset, std::max(client.right, kGridOffset),
                         std::max(client.bottom, kGridOffset)});
}

FocusAnswer X256ColorTableEdit::OnFocusGained(Window*, int) { return PassFocusTo(grid_); }

void X256ColorTableEdit::DrawCell(void* context, const Rect& imageRect, void* cellData) {
    auto* self = static_cast<X256ColorTableEdit*>(context);
    const u8* rgb = &self->collection_->colors[3 * EntryOf(cellData)];
    SetDrawColor(PackRgba(rgb[0], rgb[1], rgb[2], 255));
    FillRectangle(imageRect);
}

void X256ColorTableEdit::ActivateCell(void* context, void* cellData) {
    static_cast<X256ColorTableEdit*>(context)->ChooseEntryColor(EntryOf(cellData));
}

bool X256ColorTableEdit::ChooseEntryColor(u32 index) {
    if (index >= kColorTableEntries) return false;
    u8* entry = &collection_->colors[3 * index];
    ColorRgb rgb{entry[0], entry[1], entry[2]};
    if (!OsChooseColor(&rgb)) return false;
    entry[0] = rgb.red;
    entry[1] = rgb.green;
    entry[2] = rgb.blue;
    changed.Emit();
    grid_->Invalidate();
    return true;
}

Menu* X256ColorTableEdit::BuildContextMenu() const {
    auto* menu = new Menu(false);
    Menu::AddItem(menu, x256_text::kSaveColorTableEntry, nullptr, kSaveCommand, true);
    Menu::AddItem(menu, x256_text::kLoadColorTableEntry, nullptr, kLoadCommand, true);
    return menu;
}

void X256ColorTableEdit::OnContextClick(intptr_t x, intptr_t y) {
    Menu* menu = BuildContextMenu();
    const i32 command = Menu::Popup(menu, Point{static_cast<i32>(x), static_cast<i32>(y)});
    DestroyWindow(menu);
    RunCommand(command);
}

void X256ColorTableEdit::RunCommand(i32 command) {
    const std::string name = collection_->name;
    if (command == kSaveCommand) {
        ExportColorTable(name, collection_->colors, kColorTableEntries);
    } else if (command == kLoadCommand) {
        // Into a copy first: a file that cannot be read leaves the table.
        u8 table[kActTableSize] = {};
        u32 count = 0;
        if (!ImportColorTable(name, table, &count)) return;
        SetCollectionColorTable(collection_, table, count);
        changed.Emit();
        Invalidate();
    }
}

}  // namespace pirn
