#include "collections/ui/x256_sequence_edit.h"

#include <algorithm>
#include <cstdint>

#include "collections/sequence_drop.h"
#include "collections/sequence_import.h"
#include "collections/sequence_messages.h"
#include "collections/ui/bitmap_drag_data.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/file_dialogs.h"
#include "ui/grid_window.h"
#include "ui/menu.h"
#include "ui/message_box_prompts.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

static_assert(u32{kDropShadow} == kBitmapDragShadow && u32{kDropBitmap} == kBitmapDragBitmap,
              "drops are described by the payload types");

namespace {

namespace st = sequence_text;

constexpr i32 kRowTop[4] = {8, 34, 60, 88};
constexpr i32 kNumberWidth = 56;
constexpr i32 kSoundWidth = 48;
constexpr i32 kModeWidth = 120;
constexpr i32 kLabelGap = 4;
// Entries that open a submenu carry an id no command has.
constexpr i32 kSubmenuId = 1000;

void* ModeData(u32 entry) { return reinterpret_cast<void*>(static_cast<uintptr_t>(entry) + 1); }

// The payload in the collection's terms; false for payloads that carry no
// bitmaps.
bool DescribeDrop(Window::DragDropData* data, SequenceDrop* drop) {
    if (!data) return false;
    if (data->typeId == kBitmapDragShadow || data->typeId == kBitmapDragBitmap) {
        auto* one = dynamic_cast<BitmapDDData*>(data);
        if (!one) return false;
        drop->collection = one->collection;
        SequenceDropItem item;
        item.kind = one->typeId;
        item.bitmap = one->bitmap;
        item.instance = one->instance;
        item.shadow_source = one->shadowSource;
        drop->items.push_back(item);
        return true;
    }
    auto* several = data->typeId == kBitmapDragGrid ? dynamic_cast<BitmapGridDDData*>(data) : nullptr;
    if (!several) return false;
    drop->collection = several->collection;
    drop->several = true;
    drop->source = several->source;
    if (several->x != BitmapGridDDData::kUnset && several->y != BitmapGridDDData::kUnset) {
        drop->anchor_column = several->x;
        drop->anchor_row = several->y;
    }
    for (size_t i = 0; i < several->items.size(); ++i) {
        const BitmapDDData& one = *several->items[i];
        SequenceDropItem item;
        item.kind = one.typeId;
        item.bitmap = one.bitmap;
        item.instance = one.instance;
        item.shadow_source = one.shadowSource;
        if (i < several->positions.size()) {
            item.column = several->positions[i].x;
            item.row = several->positions[i].y;
        }
        drop->items.push_back(item);
    }
    return true;
}

}  // namespace

X256SequenceEdit::X256SequenceEdit(X256Edit* editor, CollectionSequence* sequence)
    : Window(kStyle, nullptr), editor_(editor), collection_(&editor->GetCollection()), sequence_(sequence) {
    Build();
    SetSize(kWidth, kHeight);
    RefreshSequenceEdit();
    editor_->Blocks().Add(ElementBlocks::kSequenceEditor, sequence_, this);
}

// ---- building --------------------------------------------------------------

void X256SequenceEdit::Build() {
    BuildFields();
    BuildChecks();
    BuildGrid();
    SetTabOrder(fields_[kFramesField], fields_[kViewsField], fields_[kTicksField], fields_[kKeyFrameField],
                fields_[kLoopFrameField], fields_[kTransferPeriodField], mode_, sounds_[kFirstSound],
                sounds_[kKeySound], sounds_[kLastSound], mirroring_, noRotation_, horzMirror_, vertMirror_,
                shadowLight_, grid_, nullptr);
}

void X256SequenceEdit::BuildFields() {
    i32 x = kGap;
    i32 row = 0;
    // A field is one line high and level with its label, so that its text
    // stands on the label's baseline.
    auto place = [&](const char* label, Window* control, i32 width) {
        TextBox* text = CreateLabel(this, label);
        text->SetPosition(x, kRowTop[row] + 3);
        x += text->GetWidth() + kLabelGap;
        control->SetPosition(x, kRowTop[row] + 3);
        if (auto* combo = dynamic_cast<ComboBox*>(control))
            combo->SetWidth(width);
        else
            control->SetSize(width, control->GetLineHeight());
        x += width + kGap;
    };
    auto number = [&](SequenceField field, const char* label) {
        auto* box = new TextBox(TextBox::kIntegerField, this);
        box->SetMaxLength(6);
        fields_[field] = box;
        place(label, box, kNumberWidth);
    };
    number(kFramesField, st::kFramesLabel);
    number(kViewsField, st::kViewsLabel);
    number(kTicksField, st::kTicksLabel);
    number(kKeyFrameField, st::kKeyFrameLabel);
    row = 1;
    x = kGap;
    number(kLoopFrameField, st::kLoopFrameLabel);
    number(kTransferPeriodField, st::kTransferPeriodLabel);
    mode_ = new ComboBox(this, 0);
    for (u32 i = 0; i < 6; ++i) mode_->AddItem(ModeData(i), kTransferModes[i].name, false);
    mode_->FitDropdown(6, false);
    place(st::kModeLabel, mode_, kModeWidth);
    row = 2;
    x = kGap;
    const char* const soundLabels[3] = {st::kFirstSoundLabel, st::kKeySoundLabel, st::kLastSoundLabel};
    for (u32 i = 0; i < 3; ++i) {
        sounds_[i] = new TextBox(TextBox::kTextField, this);
        sounds_[i]->SetMaxLength(4);
        place(soundLabels[i], sounds_[i], kSoundWidth);
    }
    for (TextBox* box : fields_) {
        ConnectSignal<&X256SequenceEdit::OnFieldCommit>(box->commit, this);
        ConnectSignal<&X256SequenceEdit::OnFieldFocusLost>(box->focusLost, this);
    }
    for (TextBox* box : sounds_) {
        ConnectSignal<&X256SequenceEdit::OnFieldCommit>(box->commit, this);
        ConnectSignal<&X256SequenceEdit::OnFieldFocusLost>(box->focusLost, this);
    }
    ConnectSignal<&X256SequenceEdit::OnModeChanged>(mode_->selectionChanged, this);
}

void X256SequenceEdit::BuildChecks() {
    i32 x = kGap;
    auto check = [&](const char* title) {
        auto* box = new CheckBox(this, 0);
        box->SetTitle(title);
        box->SizeToFit();
        box->SetPosition(x, kRowTop[3]);
        x += box->GetWidth() + kGap;
        return box;
    };
    mirroring_ = check(st::kUseMirroringBox);
    noRotation_ = check(st::kNoRotationBox);
    horzMirror_ = check(st::kHorzMirrorBox);
    vertMirror_ = check(st::kVertMirrorBox);
    shadowLight_ = check(st::kShadowIsLightBox);
    ConnectSignal<&X256SequenceEdit::OnMirroringClicked>(mirroring_->clicked, this);
    ConnectSignal<&X256SequenceEdit::OnNoRotationClicked>(noRotation_->clicked, this);
    ConnectSignal<&X256SequenceEdit::OnCellMirrorClicked>(horzMirror_->clicked, this);
    ConnectSignal<&X256SequenceEdit::OnCellMirrorClicked>(vertMirror_->clicked, this);
    ConnectSignal<&X256SequenceEdit::OnShadowLightClicked>(shadowLight_->clicked, this);
}

void X256SequenceEdit::BuildGrid() {
    grid_ = new GridWindow(GridWindow::kMultipleSelection, kVisible, this);
    grid_->SetTitle(st::kGridTitle);
    grid_->SetTableMode(true);
    grid_->SetRowNumbers(true, 0);
    grid_->SetCallbackContext(this);
    grid_->SetDrawCellCallback(&X256SequenceEdit::DrawCell);
    grid_->SetActivateCallback(&X256SequenceEdit::ActivateCell);
    grid_->SetDragCallback(&X256SequenceEdit::DragFromGrid);
    grid_->SetDropCallback(&X256SequenceEdit::DropOnGrid);
    grid_->SetDeleteCallback(&X256SequenceEdit::DeleteCells);
    grid_->BindZoomPref(st::kGridZoomKey);
    ConnectSignal<&X256SequenceEdit::OnSelectionChanged>(grid_->selectionChanged, this);
    ConnectSignal<&X256SequenceEdit::OnContextClick>(grid_->contextClick, this);
}

void X256SequenceEdit::OnDestroy() {
    editor_->Blocks().Remove(this);
    closed.Emit();
}

// ---- geometry and drawing --------------------------------------------------

void X256SequenceEdit::GetMinimumSize(Point* out, Point content) {
    Window::GetMinimumSize(out, content);
    out->x = std::max(out->x, kMinimumWidth);
    out->y = std::max(out->y, kMinimumHeight);
}

void X256SequenceEdit::Layout() {
    if (grid_)
        SetFrame(grid_, MakeRect(0, kPanelHeight, GetClientWidth(), std::max(GetClientHeight() - kPanelHeight, 0)));
}

void X256SequenceEdit::DrawBackground() {
    Window::DrawBackground();
    if (BeginWindowDraw(this, 1, 0)) DrawGroupFrame(GetSkin(), MakeRect(2, 2, GetClientWidth() - 4, kPanelHeight - 4));
    EndWindowDraw(this);
}

int X256SequenceEdit::OnKey(InputEvent& event) {
    if (event.IsPress() && event.Code() == X256Edit::kToggleAlternatesKey && (event.KeyModifiers() & kModControl)) {
        editor_->ToggleAlternates();
        return 1;
    }
    return 0;
}

// ---- contents --------------------------------------------------------------

void X256SequenceEdit::RefreshTitle() { SetTitle(sequence_->name); }

void X256SequenceEdit::RefreshSequenceEdit() {
    RefreshTitle();
    ShowFields();
    RebuildGrid();
}

void X256SequenceEdit::ShowFields() {
    settingControls_ = true;
    for (u32 f = 0; f < kSequenceFieldCount; ++f)
        fields_[f]->SetInteger(static_cast<i32>(GetSequenceField(*sequence_, static_cast<SequenceField>(f))));
    for (u32 s = 0; s < 3; ++s) {
        sounds_[s]->SetText(SoundIdText(sequence_->sounds[s]));
        soundShown_[s] = sounds_[s]->GetText();
    }
    mode_->SelectByData(ModeData(TransferModeEntry(sequence_->transfer_mode)));
    mirroring_->SetChecked((sequence_->flags & kSequenceMirroring) != 0, true);
    noRotation_->SetChecked((sequence_->flags & kSequenceNoRotation) != 0, true);
    noRotation_->SetEnabled((sequence_->flags & kSequenceMirroring) != 0);
    settingControls_ = false;
}

void X256SequenceEdit::RebuildGrid() {
    const std::vector<i32> selected = grid_->GetSelectedIndices();
    cells_ = BuildSequenceGridCells(sequence_);
    const std::vector<std::string> titles = SequenceColumnTitles(*sequence_);
    std::vector<const char*> titleTexts;
    for (const std::string& t : titles) titleTexts.push_back(t.c_str());
    grid_->DeselectAll();
    grid_->SetColumnCount(static_cast<i32>(titleTexts.size()), titleTexts.data());
    grid_->SetCellCount(static_cast<i32>(cells_.size()));
    for (size_t i = 0; i < cells_.size(); ++i) grid_->SetCellData(static_cast<i32>(i), &cells_[i]);
    RefreshCells();
    for (i32 index : selected)
        if (index < grid_->GetCellCount()) grid_->SelectCell(index);
    OnSelectionChanged();
}

const char* X256SequenceEdit::CellLabel(const SequenceGridCell& cell) const {
    const CollectionBitmap* bitmap = CellBitmap(cell);
    return bitmap ? bitmap->name : st::kNoBitmap;
}

void X256SequenceEdit::RefreshCells() {
    for (size_t i = 0; i < cells_.size(); ++i) grid_->SetCellLabel(static_cast<i32>(i), CellLabel(cells_[i]));
    grid_->Invalidate();
    Invalidate();
}

void X256SequenceEdit::SetCountsEnabled(bool on) {
    fields_[kFramesField]->SetEnabled(on);
    fields_[kViewsField]->SetEnabled(on);
}

std::vector<SequenceGridCell*> X256SequenceEdit::SelectedCells() {
    std::vector<SequenceGridCell*> cells;
    for (void* data : grid_->GetSelectedData()) cells.push_back(static_cast<SequenceGridCell*>(data));
    return cells;
}

void X256SequenceEdit::Changed() {
    Invalidate();
    sequenceChanged.Emit(sequence_);
}

// ---- property controls -----------------------------------------------------

void X256SequenceEdit::OnFieldCommit(i32 pressed) {
    if (pressed) OnFieldFocusLost(0);
}

void X256SequenceEdit::OnFieldFocusLost(i32) {
    if (settingControls_) return;
    for (u32 f = 0; f < kSequenceFieldCount; ++f) ApplyField(static_cast<SequenceField>(f));
    for (u32 s = 0; s < 3; ++s) ApplySound(static_cast<SoundBox>(s));
}

void X256SequenceEdit::ApplyField(SequenceField field) {
    TextBox* box = fields_[field];
    const std::string text = box->GetText();
    const u32 stored = GetSequenceField(*sequence_, field);
    if (text == std::to_string(stored)) return;
    const bool counts = field == kFramesField || field == kViewsField;
    SequenceEntry entry;
    if (counts && !MayResizeSequence(editor_->Blocks(), sequence_))
        entry.outcome = SequenceEntry::kRefused;
    else
        entry = EnterSequenceField(*collection_, sequence_, field, text);
    if (entry.outcome == SequenceEntry::kIgnored) return;
    if (entry.outcome == SequenceEntry::kRefused) OsBeep();
    settingControls_ = true;
    box->SetInteger(static_cast<i32>(GetSequenceField(*sequence_, field)));
    settingControls_ = false;
    if (entry.outcome != SequenceEntry::kChanged) return;
    if (counts) {
        RebuildGrid();
        sequenceListChanged.Emit();
    }
    Changed();
}

void X256SequenceEdit::ApplySound(SoundBox box) {
    // Only what the user typed: a stored code the box cannot show exactly
    // (zero bytes) must not change by the box losing the focus.
    const std::string text = sounds_[box]->GetText();
    if (text == soundShown_[box]) return;
    soundShown_[box] = text;
    const u32 id = SoundIdFromText(text);
    if (id == sequence_->sounds[box]) return;
    sequence_->sounds[box] = id;
    Changed();
}

void X256SequenceEdit::OnModeChanged(intptr_t, intptr_t data) {
    if (settingControls_ || data <= 0 || data > 6) return;
    const u16 value = kTransferModes[data - 1].value;
    if (value == sequence_->transfer_mode) return;
    sequence_->transfer_mode = value;
    Changed();
}

void X256SequenceEdit::OnMirroringClicked() {
    if (settingControls_) return;
    if (!SetSequenceFlag(sequence_, kSequenceMirroring, mirroring_->IsChecked())) return;
    ShowFields();
    RebuildGrid();
    Changed();
}

void X256SequenceEdit::OnNoRotationClicked() {
    if (settingControls_) return;
    if (!SetSequenceFlag(sequence_, kSequenceNoRotation, noRotation_->IsChecked())) {
        ShowFields();
        return;
    }
    Changed();
}

void X256SequenceEdit::OnCellMirrorClicked() {
    if (settingControls_) return;
    const u32 bits = (horzMirror_->IsChecked() ? kInstanceMirrored : 0u) | (vertMirror_->IsChecked() ? kInstanceFlipped : 0u);
    bool changed = false;
    for (SequenceGridCell* cell : SelectedCells()) {
        if (!cell->instance) continue;
        const u32 flags = (cell->instance->flags & ~u32{kInstanceMirrored | kInstanceFlipped}) | bits;
        changed = changed || flags != cell->instance->flags;
        cell->instance->flags = flags;
    }
    if (!changed) return;
    grid_->Invalidate();
    Changed();
}

void X256SequenceEdit::OnShadowLightClicked() {
    if (settingControls_) return;
    const bool light = shadowLight_->IsChecked();
    bool changed = false;
    for (SequenceGridCell* cell : SelectedCells()) {
        if (!cell->IsShadow()) continue;
        u32& flags = cell->frame_record->record.flags;
        const u32 now = light ? flags | 1u : flags & ~1u;
        changed = changed || now != flags;
        flags = now;
    }
    if (changed) Changed();
}

void X256SequenceEdit::OnSelectionChanged() {
    bool horizontal = false, vertical = false, light = false;
    for (SequenceGridCell* cell : SelectedCells()) {
        if (cell->instance) {
            horizontal = horizontal || (cell->instance->flags & kInstanceMirrored);
            vertical = vertical || (cell->instance->flags & kInstanceFlipped);
        } else if (cell->frame_record) {
            light = light || (cell->frame_record->record.flags & 1);
        }
    }
    settingControls_ = true;
    horzMirror_->SetChecked(horizontal, true);
    vertMirror_->SetChecked(vertical, true);
    shadowLight_->SetChecked(light, true);
    settingControls_ = false;
}

// ---- the grid --------------------------------------------------------------

void X256SequenceEdit::DrawCell(void* context, const Rect& imageRect, void* cellData) {
    auto* self = static_cast<X256SequenceEdit*>(context);
    const auto* cell = static_cast<const SequenceGridCell*>(cellData);
    if (!cell) return;
    if (const CollectionBitmap* bitmap = CellBitmap(*cell))
        DrawCollectionBitmapInto(*self->collection_, *bitmap, CellMirrorFlags(*cell), imageRect);
}

void X256SequenceEdit::ActivateCell(void* context, void* cellData) {
    auto* self = static_cast<X256SequenceEdit*>(context);
    const auto* cell = static_cast<const SequenceGridCell*>(cellData);
    if (cell) self->openFrame.Emit(self->sequence_, cell->View(), static_cast<i32>(cell->frame));
}

void X256SequenceEdit::DeleteCells(void* context) {
    auto* self = static_cast<X256SequenceEdit*>(context);
    if (!ClearCellBitmaps(self->SelectedCells())) return;
    self->RefreshCells();
    self->Changed();
}

void X256SequenceEdit::DragFromGrid(void* context, GridWindow*, i32 pressedCell) {
    static_cast<X256SequenceEdit*>(context)->DragCells(pressedCell);
}

bool X256SequenceEdit::DragCells(i32 pressedCell) {
    if (pressedCell >= 0 && !grid_->IsCellSelected(pressedCell)) {
        grid_->DeselectAll();
        grid_->SelectCell(pressedCell);
    }
    std::vector<SequenceGridCell*> chosen;
    for (SequenceGridCell* cell : SelectedCells())
        if (CellBitmap(*cell)) chosen.push_back(cell);
    if (chosen.empty()) return false;
    auto typeOf = [](const SequenceGridCell& cell) { return cell.IsShadow() ? kBitmapDragShadow : kBitmapDragBitmap; };
    auto shadowOf = [](const SequenceGridCell& cell) { return cell.IsShadow() ? cell.frame_record : nullptr; };
    Window::DragDropData* payload = nullptr;
    if (chosen.size() == 1) {
        const SequenceGridCell& cell = *chosen[0];
        payload = new BitmapDDData(typeOf(cell), collection_, CellBitmap(cell), cell.instance, shadowOf(cell),
                                   kDragImageBox);
    } else {
        auto* several = new BitmapGridDDData(kBitmapDragGrid, collection_, BitmapGridDDData::kFromSequenceEditor);
        const i32 pressed = pressedCell >= 0 ? pressedCell : grid_->GetCurrentCell();
        if (pressed >= 0 && static_cast<size_t>(pressed) < cells_.size()) {
            several->x = static_cast<i32>(cells_[static_cast<size_t>(pressed)].column);
            several->y = static_cast<i32>(cells_[static_cast<size_t>(pressed)].frame);
        }
        several->gridColumns = SequenceGridColumns(*sequence_);
        for (SequenceGridCell* cell : chosen)
            several->AddItemAt(typeOf(*cell), CellBitmap(*cell), cell->instance, shadowOf(*cell),
                               Point{static_cast<i32>(cell->column), static_cast<i32>(cell->frame)});
        payload = several;
    }
    if (StartDragDrop(grid_, payload, ForwardMouseDrag)) return true;
    delete payload;
    return false;
}

int X256SequenceEdit::DropOnGrid(void* context, GridWindow*, DragDropData* payload, int phase, i32 cellIndex) {
    return static_cast<X256SequenceEdit*>(context)->DropOnCell(payload, phase, cellIndex);
}

int X256SequenceEdit::DropOnCell(DragDropData* payload, int phase, i32 cellIndex) {
    if (cellIndex < 0 || static_cast<size_t>(cellIndex) >= cells_.size()) return 0;
    SequenceDrop drop;
    if (!DescribeDrop(payload, &drop)) return 0;
    const SequenceGridCell& cell = cells_[static_cast<size_t>(cellIndex)];
    std::vector<SequenceDropPlacement> plan;
    if (!PlanSequenceDrop(*collection_, *sequence_, drop, cell.frame, cell.column, &plan)) return 0;
    if (phase != 0) return 1;
    if (ApplySequenceDrop(*collection_, sequence_, plan)) {
        RefreshCells();
        OnSelectionChanged();
        Changed();
    }
    return 1;
}

// ---- import and export -----------------------------------------------------

Menu* X256SequenceEdit::BuildImportExportMenu() const {
    auto* menu = new Menu(false);
    MenuItem* bitmaps = Menu::AddItem(menu, st::kBitmapImportEntry, nullptr, kSubmenuId, true);
    Menu::AddItem(menu, st::kViewsThenFramesEntry, bitmaps, kImportViewsThenFrames, true);
    Menu::AddItem(menu, st::kFramesThenViewsEntry, bitmaps, kImportFramesThenViews, true);
    Menu::AddItem(menu, st::kFromPlateEntry, bitmaps, kImportPlate, true);
    MenuItem* alphas = Menu::AddItem(menu, st::kAlphaImportEntry, nullptr, kSubmenuId + 1, true);
    Menu::AddItem(menu, st::kViewsThenFramesEntry, alphas, kAlphasViewsThenFrames, true);
    Menu::AddItem(menu, st::kFramesThenViewsEntry, alphas, kAlphasFramesThenViews, true);
    Menu::AddItem(menu, st::kFromPlateEntry, alphas, kAlphaPlate, true);
    MenuItem* exports = Menu::AddItem(menu, st::kExportEntry, nullptr, kSubmenuId + 2, true);
    Menu::AddItem(menu, st::kBitmapsEntry, exports, kExportBitmaps, true);
    Menu::AddItem(menu, st::kBitmapPlateEntry, exports, kExportPlate, true);
    Menu::AddItem(menu, st::kAlphasEntry, exports, kExportAlphas, true);
    Menu::AddItem(menu, st::kAlphaPlateEntry, exports, kExportAlphaPlate, true);
    return menu;
}

void X256SequenceEdit::ShowImportExportMenu(Point screen) {
    Menu* menu = BuildImportExportMenu();
    const i32 command = Menu::Popup(menu, screen);
    DestroyWindow(menu);
    if (command >= 0 && command < kSubmenuId) RunCommand(command);
}

void X256SequenceEdit::OnContextClick(intptr_t x, intptr_t y) {
    ShowImportExportMenu(Point{static_cast<i32>(x), static_cast<i32>(y)});
}

void X256SequenceEdit::RunCommand(i32 command) {
    switch (command) {
        case kImportViewsThenFrames:
        case kImportFramesThenViews:
        case kImportPlate: return ImportBitmaps(command);
        case kAlphasViewsThenFrames:
        case kAlphasFramesThenViews:
        case kAlphaPlate: return ImportAlphas(command);
        case kExportBitmaps: return Export(false, false);
        case kExportPlate: return Export(false, true);
        case kExportAlphas: return Export(true, false);
        case kExportAlphaPlate: return Export(true, true);
        default: return;
    }
}

void X256SequenceEdit::ImportBitmaps(i32 command) {
    UserPrompts& prompts = MessageBoxPrompts();
    u32 assigned = 0;
    if (command == kImportPlate) {
        ImageFile file;
        file.path = SequencePlateImportName(*sequence_, false);
        if (!ChooseOpenFile(st::kImportPlateTitle, &file, kFileKindImage, nullptr)) return;
        assigned = ImportSequencePlate(collection_, sequence_, &file, prompts);
    } else {
        std::vector<ImageFile> files;
        if (!ChooseOpenFiles(st::kImportBitmapsTitle, &files, kFileKindImage, nullptr)) return;
        std::vector<std::string> paths;
        for (const ImageFile& file : files) paths.push_back(file.path);
        const SequenceAssignOrder order = command == kImportFramesThenViews ? kAssignFramesThenViews : kAssignViewsThenFrames;
        assigned = ImportSequenceBitmaps(collection_, sequence_, paths, order, prompts);
    }
    if (assigned > 0) AfterImport();
}

void X256SequenceEdit::ImportAlphas(i32 command) {
    UserPrompts& prompts = MessageBoxPrompts();
    if (!CheckSequenceAssigned(*sequence_, prompts)) return;
    bool done = false;
    if (command == kAlphaPlate) {
        ImageFile file;
        file.path = SequencePlateImportName(*sequence_, true);
        if (!ChooseOpenFile(st::kImportAlphaPlateTitle, &file, kFileKindImage, nullptr)) return;
        done = ImportSequenceAlphaPlate(sequence_, &file, prompts);
    } else {
        std::vector<ImageFile> files;
        if (!ChooseOpenFiles(st::kImportAlphasTitle, &files, kFileKindImage, nullptr)) return;
        std::vector<std::string> paths;
        for (const ImageFile& file : files) paths.push_back(file.path);
        const SequenceAssignOrder order = command == kAlphasFramesThenViews ? kAssignFramesThenViews : kAssignViewsThenFrames;
        done = ImportSequenceAlphas(sequence_, paths, order, prompts);
    }
    if (!done) return;
    // The pixels changed in place.
    for (CollectionBitmap* bitmap : SequenceSlotBitmaps(*sequence_)) ForgetCollectionBitmap(bitmap);
    AfterImport();
}

void X256SequenceEdit::AfterImport() {
    RefreshCells();
    bitmapsChanged.Emit();
    Changed();
}

void X256SequenceEdit::Export(bool alpha, bool plate) {
    UserPrompts& prompts = MessageBoxPrompts();
    if (plate) {
        ImageFile file;
        file.path = SequencePlateExportName(*sequence_, alpha);
        if (!ChooseSaveFile(alpha ? st::kExportAlphaPlateTitle : st::kExportPlateTitle, &file, kFileKindImage, nullptr))
            return;
        ExportSequencePlate(*collection_, *sequence_, alpha, file.path, file.type, prompts);
        return;
    }
    std::string folder;
    u32 type = 0;
    if (!ChooseExportFolder(st::kDestinationFolderTitle, &folder, &type, kFileKindImage, nullptr)) return;
    ExportSequenceBitmaps(*collection_, *sequence_, alpha, folder, type, prompts);
}

}  // namespace pirn
