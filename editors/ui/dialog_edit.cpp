#include "editors/ui/dialog_edit.h"

#include <utility>

#include "codex/ui/tag_editor_registry.h"
#include "editors/ui/dialog_edit_control_dialog.h"
#include "editors/ui/dialog_view.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "ui/input_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// The prompts of the version, size and position rows.
constexpr char kPositionPrompt[] = "Dialog Position (X,Y):";
constexpr char kSizePrompt[] = "Dialog Size (W,H):";
constexpr char kVersionPrompt[] = "Dialog Version:";

// Row data travels in the items' user data, moved up so that no row's is
// null (the fixed rows have -4..-1, controls their index).
constexpr intptr_t kRowDataBias = 5;

void* RowUserData(i32 data) { return reinterpret_cast<void*>(static_cast<intptr_t>(data) + kRowDataBias); }

bool IsShiftKey(i32 code) { return code == kKeyShift || code == kKeyLeftShift || code == kKeyRightShift; }
bool IsControlKey(i32 code) { return code == kKeyControl || code == kKeyLeftControl || code == kKeyRightControl; }

// Asks with the text prefilled; true when OK was pressed.
bool Ask(const char* prompt, std::string* text) { return ShowInputBox(prompt, text, "OK", "Cancel", nullptr) == 0; }

}  // namespace

DialogEdit::DialogEdit(TagEntry* tag) : TagEdit(tag) {
    splitter_ = new SplitterWindow(kVisible | kEnabled, this);
    splitter_->SetLayout(SplitterWindow::kSideBySide, SplitterWindow::kSizingFree);
    // The list stands on the skin's light background, where its text reads.
    list_ = new ListWindow(ListWindow::kTree | ListWindow::kColumnMode, kVisible | kEnabled | kBackground, splitter_);
    list_->SetTitle("Dialog List");
    view_ = new DialogView(this, splitter_);
    splitter_->SetPane(0, list_, kPaneSize);
    splitter_->SetPane(1, view_, kPaneSize);
    ConnectSignal<&DialogEdit::OnListSelection>(list_->selectionChanged, this);
    ConnectSignal<&DialogEdit::OnListActivated>(list_->activated, this);
    ConnectSignal<&DialogEdit::OnDeleteRequested>(list_->deleteRequested, this);
    SetSize(kWidth, kHeight);
    splitter_->SetSplitPosition(kPaneSize);
    RefreshList();
    ActivateWindow(list_, kFocusByProgram);
}

DialogEdit::~DialogEdit() = default;

// ---- the tag ---------------------------------------------------------------------

int DialogEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    DialogData dialog;
    if (!ReadDialog(&dialog, stream, header->data_length)) return 0;
    SetDialog(std::move(dialog));
    return 1;
}

int DialogEdit::WriteTag(std::FILE* stream, TagHeader*) { return WriteDialog(dialog_, stream) != 0; }

void DialogEdit::SetDialog(DialogData dialog) {
    if (IsDragging()) EndControlDrag();
    dialog_ = std::move(dialog);
    selected_ = -1;
    list_->DeselectAllExcept(nullptr);
    RefreshList();
    view_->UpdateScrollRange();
    view_->Invalidate();
}

// ---- layout and events -------------------------------------------------------------

void DialogEdit::Layout() {
    if (splitter_) SetFrame(splitter_, GetClientRect());
}

int DialogEdit::HandleEvent(Window* target, u32 type, InputEvent& e) {
    if (type == kEventKey && target && target->IsDescendantOf(this)) {
        const i32 code = e.Code();
        if (e.IsPress() && IsShiftKey(code)) SetMode(kDialogModeResize);
        if (e.IsPress() && IsControlKey(code)) SetMode(kDialogModeMove);
        if (IsShiftKey(code) || IsControlKey(code)) view_->UpdatePointer(GetMousePosition(), GetModifierMask());
        const bool modified = (e.KeyModifiers() & (kModControl | kModShift)) != 0;
        if (modified && target->IsDescendantOf(list_) && !list_->GetEditBox() && view_->OnKey(e)) return 1;
    }
    return TagEdit::HandleEvent(target, type, e);
}

void DialogEdit::OnMouseDrag(Point start, Point pos, int phase) {
    if (!IsDragging()) return;
    DragControlBy(pos.x - start.x, pos.y - start.y);
    if (phase == 2) EndControlDrag();
}

// ---- selection and mode ------------------------------------------------------------

void DialogEdit::SelectControl(int index) {
    if (index < -1 || index >= static_cast<int>(dialog_.controls.size())) index = -1;
    if (index == selected_) return;
    MoveSelection(index);
    if (index >= 0) SelectRow(index);
    else if (list_->GetSelectedItem() && RowDataOf(list_->GetSelectedItem()) >= 0) list_->DeselectAllExcept(nullptr);
}

void DialogEdit::SetMode(int mode) {
    if (mode != kDialogModeMove && mode != kDialogModeResize) return;
    if (mode == mode_) return;
    // The box beside the selected control changes its text and width.
    view_->InvalidateControl(selected_);
    mode_ = mode;
    view_->InvalidateControl(selected_);
}

i32 DialogEdit::RowDataOf(const ListItem* item) const {
    return item ? static_cast<i32>(reinterpret_cast<intptr_t>(item->userData) - kRowDataBias) : kDialogRowPlain;
}

void DialogEdit::SelectRow(i32 data) {
    ListItem* item = list_->FindItemByData(RowUserData(data), nullptr);
    if (!item) return;
    if (list_->GetSelectedItem() != item) list_->SelectItem(item, false);
    list_->RevealItem(item);
}

void DialogEdit::OnListSelection() {
    if (refreshing_) return;
    const ListItem* item = list_->GetSelectedItem();
    const i32 data = RowDataOf(item);
    const int index = item && data >= 0 ? data : -1;
    if (index != selected_) MoveSelection(index);
}

void DialogEdit::MoveSelection(int index) {
    // The old control's footprint while it is still selected: it holds the
    // box beside it, which must go too.
    view_->InvalidateControl(selected_);
    selected_ = index;
    view_->InvalidateControl(selected_);
}

void DialogEdit::OnListActivated(void* item) { ActivateRow(RowDataOf(static_cast<ListItem*>(item))); }

void DialogEdit::OnDeleteRequested() { RemoveSelected(); }

// ---- the list ---------------------------------------------------------------------

void DialogEdit::RefreshList() {
    const ListItem* current = list_->GetSelectedItem();
    const bool hadSelection = current != nullptr;
    const i32 data = RowDataOf(current);
    refreshing_ = true;
    list_->RemoveAllItems();
    for (const DialogListRow& row : DialogListRows(dialog_))
        list_->AddItem(nullptr, 0, ListItem::kTextItem, RowUserData(row.data), row.text.c_str());
    list_->UpdateScrollRange();
    if (hadSelection) SelectRow(data);
    refreshing_ = false;
    OnListSelection();
}

void DialogEdit::MarkModified() {
    if (!IsModified()) SetModified(true);
}

void DialogEdit::ListChanged() {
    MarkModified();
    RefreshList();
    view_->UpdateScrollRange();
    view_->Invalidate();
}

// ---- commands ------------------------------------------------------------------------

void DialogEdit::ActivateRow(i32 data) {
    switch (data) {
        case kDialogRowVersion:
            PromptVersion();
            break;
        case kDialogRowSize:
            PromptSize();
            break;
        case kDialogRowPosition:
            PromptPosition();
            break;
        default:
            if (data >= 0) EditControl(data);
            break;
    }
}

bool DialogEdit::EditControl(int index) {
    if (index < 0 || index >= static_cast<int>(dialog_.controls.size())) return false;
    auto* box = new EditControlDialog(dialog_.controls[static_cast<size_t>(index)]);
    const bool ok = box->Run();
    const DialogControl answer = box->Control();
    DestroyWindow(box);
    // The dialog ran modally: the control may have gone meanwhile.
    if (!ok || index >= static_cast<int>(dialog_.controls.size())) return false;
    view_->InvalidateControl(index);
    dialog_.controls[static_cast<size_t>(index)] = answer;
    SelectControl(index);
    ListChanged();
    return true;
}

bool DialogEdit::AddControlAt(i32 x, i32 y) {
    DialogControl control;
    if (!MakeDialogControlAt(dialog_, x, y, &control)) {
        OsBeep();
        return false;
    }
    auto* box = new EditControlDialog(control);
    const bool ok = box->Run();
    const DialogControl answer = box->Control();
    DestroyWindow(box);
    if (!ok || dialog_.controls.size() >= 0xFFFF) return false;
    dialog_.controls.push_back(answer);
    ListChanged();
    SelectControl(static_cast<int>(dialog_.controls.size()) - 1);
    return true;
}

bool DialogEdit::AddControlUnderMouse() {
    const Point mouse = GetMousePosition();
    Rect canvas = view_->GetClientScreenRect();
    if (!(mouse.x >= canvas.left && mouse.x < canvas.right && mouse.y >= canvas.top && mouse.y < canvas.bottom)) {
        OsBeep();
        return false;
    }
    const Point p = view_->ScreenToDialog(mouse);
    return AddControlAt(p.x, p.y);
}

void DialogEdit::RemoveSelected() {
    if (selected_ < 0) {
        OsBeep();
        return;
    }
    view_->InvalidateControl(selected_);
    const int next = RemoveDialogControl(dialog_, selected_);
    selected_ = -1;
    ListChanged();
    if (next >= 0) SelectControl(next);
}

void DialogEdit::ReorderSelected(int direction) {
    if (selected_ < 0) return;
    const int moved = MoveDialogControl(dialog_, selected_, direction);
    if (moved == selected_) return;
    selected_ = moved;
    ListChanged();
    SelectRow(moved);
}

void DialogEdit::NudgeSelected(i32 dx, i32 dy, bool resize) {
    if (selected_ < 0) return;
    DialogRect rect;
    if (!NudgeDialogRect(dialog_.controls[static_cast<size_t>(selected_)].rect, resize, dx, dy, &rect)) {
        OsBeep();
        return;
    }
    SetMode(resize ? kDialogModeResize : kDialogModeMove);
    SetControlRect(selected_, rect);
}

void DialogEdit::SetControlRect(int index, const DialogRect& rect) {
    DialogControl& control = dialog_.controls[static_cast<size_t>(index)];
    if (control.rect == rect) return;
    view_->InvalidateControl(index);
    control.rect = rect;
    view_->InvalidateControl(index);
    MarkModified();
}

void DialogEdit::PromptPosition() {
    std::string text = DialogPositionText(dialog_);
    if (!Ask(kPositionPrompt, &text)) return;
    if (!ApplyDialogPositionText(dialog_, text)) return OsBeep();
    ListChanged();
}

void DialogEdit::PromptSize() {
    std::string text = DialogSizeText(dialog_);
    if (!Ask(kSizePrompt, &text)) return;
    if (!ApplyDialogSizeText(dialog_, text)) return OsBeep();
    ListChanged();
}

void DialogEdit::PromptVersion() {
    std::string text = DialogVersionText(dialog_);
    if (!Ask(kVersionPrompt, &text)) return;
    if (!ApplyDialogVersionText(dialog_, text)) return OsBeep();
    ListChanged();
}

// ---- dragging ---------------------------------------------------------------------------

bool DialogEdit::BeginControlDrag(int index, int part) {
    if (index < 0 || index >= static_cast<int>(dialog_.controls.size()) || part == kDialogPartNone) return false;
    dragControl_ = index;
    dragPart_ = part;
    dragStart_ = dialog_.controls[static_cast<size_t>(index)].rect;
    SetMode(part == kDialogPartMove ? kDialogModeMove : kDialogModeResize);
    return true;
}

void DialogEdit::DragControlBy(i32 dx, i32 dy) {
    if (!IsDragging() || dragControl_ >= static_cast<int>(dialog_.controls.size())) return;
    DialogRect rect;
    // A drag past what the file can hold stops at the last rectangle that fit.
    if (DragDialogRect(dragStart_, dragPart_, dx, dy, &rect)) SetControlRect(dragControl_, rect);
}

void DialogEdit::EndControlDrag() {
    dragControl_ = -1;
    dragPart_ = kDialogPartNone;
}

TagEdit* NewDialogEdit(TagEntry* tag, TagGroupInfo*, u32) { return new DialogEdit(tag); }

void BindDialogEdit() { BindTagEditor("DialogEdit", NewDialogEdit); }

}  // namespace pirn
