#include "collections/ui/x256_sequence_browser.h"

#include "collections/sequence_commands.h"
#include "collections/sequence_messages.h"
#include "collections/ui/x256_edit.h"
#include "collections/ui/x256_sequence_edit.h"
#include "collections/ui/x256_sequence_frame_edit.h"
#include "collections/x256_messages.h"
#include "platform/os/os_beep.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

namespace st = sequence_text;

template <typename T>
std::vector<T*> WindowsOfKind(const ElementBlocks& blocks, ElementBlocks::Kind kind) {
    std::vector<T*> windows;
    for (void* window : blocks.Windows(kind)) windows.push_back(static_cast<T*>(window));
    return windows;
}

void Raise(Window* window) {
    RaiseWindow(window);
    ActivateWindow(window, kFocusByProgram);
}

void PlaceNew(Window* window) {
    const Point at = NextCascadePosition();
    window->SetPosition(at.x, at.y);
    window->KeepOnScreen();
    Raise(window);
}

}  // namespace

X256SequenceBrowser::X256SequenceBrowser(X256Edit* editor, Window* parent)
    : ListWindow(kListFlags, kVisible | kBackground, parent), editor_(editor), collection_(&editor->GetCollection()) {
    SetTitle(x256_text::kSequencesTab);
    ConnectSignal<&X256SequenceBrowser::OnActivated>(activated, this);
    ConnectSignal<&X256SequenceBrowser::OnRowMoved>(rowMoved, this);
    ConnectSignal<&X256SequenceBrowser::OnContextClick>(contextClick, this);
    ConnectSignal<&X256SequenceBrowser::OnDeleteRequested>(deleteRequested, this);
    ConnectSignal<&X256SequenceBrowser::OnCollectionLoaded>(editor->collectionLoaded, this);
    ConnectSignal<&X256SequenceBrowser::OnBitmapsChanged>(editor->bitmapsChanged, this);
    ConnectSignal<&X256Edit::SequencesChanged>(collectionChanged, editor);
    ConnectSignal<&X256Edit::SequenceBitmapsChanged>(bitmapsChanged, editor);
    RefreshSequenceList();
}

void X256SequenceBrowser::OnDestroy() {
    for (X256SequenceFrameEdit* window : FrameEditors()) DestroyWindow(window);
    for (X256SequenceEdit* window : SequenceEditors()) DestroyWindow(window);
    ListWindow::OnDestroy();
}

// ---- rows ------------------------------------------------------------------

void X256SequenceBrowser::RefreshSequenceList() {
    const i32 scroll = GetScrollY();
    RemoveAllItems();
    for (const auto& sequence : collection_->sequences)
        AddItem(nullptr, 0, ListItem::kTextItem, sequence.get(), sequence->name);
    UpdateScrollRange();
    SetScrollY(scroll);
    Invalidate();
}

std::vector<CollectionSequence*> X256SequenceBrowser::GetSelectedSequences() const {
    std::vector<CollectionSequence*> sequences;
    for (ListItem* item = GetFirstItem(); item; item = item->next)
        if (item->IsSelected()) sequences.push_back(static_cast<CollectionSequence*>(item->userData));
    return sequences;
}

ListItem* X256SequenceBrowser::FindSequenceItem(const CollectionSequence* sequence) const {
    return FindItemByData(sequence, nullptr);
}

void X256SequenceBrowser::SelectSequence(CollectionSequence* sequence) {
    if (ListItem* item = FindSequenceItem(sequence)) {
        SelectItem(item, false);
        RevealItem(item);
    }
}

void X256SequenceBrowser::Changed() { collectionChanged.Emit(); }

void X256SequenceBrowser::OnCollectionLoaded() {
    RefreshSequenceList();
    RefreshFrameEditors();
}

void X256SequenceBrowser::OnBitmapsChanged() {
    // Cells may have lost their bitmaps or shown ones changed; a mirrored
    // view measures its x from its bitmap's other edge, which a replaced
    // bitmap may have moved.
    FollowMirroredViews(collection_);
    for (X256SequenceEdit* window : SequenceEditors()) window->RefreshCells();
    for (X256SequenceFrameEdit* window : FrameEditors()) window->RefreshFrameEdit();
}

// ---- context menu ----------------------------------------------------------

Menu* X256SequenceBrowser::BuildContextMenu() const {
    const size_t selected = GetSelectionCount();
    auto* menu = new Menu(false);
    Menu::AddItem(menu, st::kRenameEntry, nullptr, kRenameCommand, selected == 1);
    Menu::AddItem(menu, st::kDuplicateEntry, nullptr, kDuplicateCommand, selected == 1);
    Menu::AddItem(menu, st::kDeleteEntry, nullptr, kDeleteCommand, selected >= 1);
    Menu::AddSeparator(menu, nullptr);
    Menu::AddItem(menu, st::kNewSequenceEntry, nullptr, kNewCommand, true);
    return menu;
}

void X256SequenceBrowser::OnContextClick(intptr_t x, intptr_t y) {
    Menu* menu = BuildContextMenu();
    const i32 command = Menu::Popup(menu, Point{static_cast<i32>(x), static_cast<i32>(y)});
    DestroyWindow(menu);
    RunCommand(command);
}

void X256SequenceBrowser::RunCommand(i32 command) {
    switch (command) {
        case kRenameCommand: return Rename();
        case kDuplicateCommand: return Duplicate();
        case kDeleteCommand: return Delete();
        case kNewCommand: return AddNew();
        default: return;
    }
}

void X256SequenceBrowser::Rename() {
    const std::vector<CollectionSequence*> selected = GetSelectedSequences();
    if (selected.size() != 1) return;
    const int edited = EditCell(
        FindSequenceItem(selected[0]), -1,
        [](ListItem* row, void* data, int, void* self, const char* text) {
            auto* sequence = static_cast<CollectionSequence*>(data);
            SetElementName(sequence->name, text);
            static_cast<X256SequenceBrowser*>(self)->SetItemText(row, sequence->name);
            return 1;
        },
        this);
    if (!edited) return;
    for (X256SequenceEdit* window : SequenceEditors()) window->RefreshTitle();
    RefreshFrameEditors();
    Changed();
}

void X256SequenceBrowser::Duplicate() {
    const std::vector<CollectionSequence*> selected = GetSelectedSequences();
    if (selected.size() != 1) return;
    CollectionSequence* copy = DuplicateSequence(collection_, selected[0]);
    if (!copy) {
        OsBeep();
        return;
    }
    RefreshSequenceList();
    SelectSequence(copy);
    RefreshFrameEditors();
    Changed();
}

void X256SequenceBrowser::Delete() {
    const std::vector<CollectionSequence*> selected = GetSelectedSequences();
    if (selected.empty()) return;
    if (CollectionSequence* open = FirstOpenSequence(editor_->Blocks(), selected)) {
        ShowMessageBox(st::kErrorCaption, SequenceOpenText(*open).c_str(), st::kOkButton, nullptr);
        return;
    }
    const std::string question = SequenceDeleteQuestion(selected.size());
    if (ShowMessageBox(st::kDeleteCaption, question.c_str(), st::kDeleteButton, st::kCancelButton, nullptr) != 0)
        return;
    // An editor may have opened while the box was up.
    if (FirstOpenSequence(editor_->Blocks(), selected)) return;
    DeleteSequences(collection_, selected);
    RefreshFrameEditors();
    RefreshSequenceList();
    Changed();
}

void X256SequenceBrowser::AddNew() {
    CollectionSequence* sequence = AddNewSequence(collection_);
    if (!sequence) {
        OsBeep();
        return;
    }
    RefreshSequenceList();
    SelectSequence(sequence);
    RefreshFrameEditors();
    Changed();
    Rename();
}

void X256SequenceBrowser::OnRowMoved(intptr_t item, i32 row) {
    auto* moved = reinterpret_cast<ListItem*>(item);
    if (moved && row >= 0) MoveRow(static_cast<CollectionSequence*>(moved->userData), static_cast<u32>(row));
}

void X256SequenceBrowser::MoveRow(CollectionSequence* sequence, u32 row) {
    if (MoveSequence(collection_, sequence, row) == kNotFound) return;
    RefreshSequenceList();
    SelectSequence(sequence);
    RefreshFrameEditors();
    Changed();
}

// ---- editors ---------------------------------------------------------------

std::vector<X256SequenceEdit*> X256SequenceBrowser::SequenceEditors() const {
    return WindowsOfKind<X256SequenceEdit>(editor_->Blocks(), ElementBlocks::kSequenceEditor);
}

std::vector<X256SequenceFrameEdit*> X256SequenceBrowser::FrameEditors() const {
    return WindowsOfKind<X256SequenceFrameEdit>(editor_->Blocks(), ElementBlocks::kFrameEditor);
}

void X256SequenceBrowser::OnActivated(void* item) {
    if (item) OpenSequenceEditor(static_cast<CollectionSequence*>(static_cast<ListItem*>(item)->userData));
}

X256SequenceEdit* X256SequenceBrowser::OpenSequenceEditor(CollectionSequence* sequence) {
    if (!sequence || FindSequence(*collection_, sequence) == kNotFound) return nullptr;
    if (void* open = editor_->Blocks().FindWindow(ElementBlocks::kSequenceEditor, sequence)) {
        auto* window = static_cast<X256SequenceEdit*>(open);
        Raise(window);
        return window;
    }
    auto* window = new X256SequenceEdit(editor_, sequence);
    window->SetOwner(editor_);  // it shows the editor's collection: it goes with the editor
    ConnectSignal<&X256SequenceBrowser::OnSequenceChanged>(window->sequenceChanged, this);
    ConnectSignal<&X256SequenceBrowser::OnSequenceListChanged>(window->sequenceListChanged, this);
    ConnectSignal<&X256SequenceBrowser::OnOpenFrame>(window->openFrame, this);
    ConnectSignal<&X256SequenceBrowser::OnEditorClosed>(window->closed, this);
    ConnectSignal<&X256SequenceBrowser::OnEditorBitmapsChanged>(window->bitmapsChanged, this);
    window->SetCountsEnabled(MayResizeSequence(editor_->Blocks(), sequence));
    PlaceNew(window);
    editorListChanged.Emit();
    return window;
}

X256SequenceFrameEdit* X256SequenceBrowser::OpenFrameEditor(CollectionSequence* sequence, i32 view, i32 frame) {
    if (!sequence || FindSequence(*collection_, sequence) == kNotFound) return nullptr;
    const u32 v = view < 0 ? 0 : static_cast<u32>(view);
    const u32 f = frame < 0 ? 0 : static_cast<u32>(frame);
    for (void* open : editor_->Blocks().WindowsOf(ElementBlocks::kFrameEditor, sequence)) {
        auto* window = static_cast<X256SequenceFrameEdit*>(open);
        if (window->GetView() == v && window->GetFrame() == f) {
            Raise(window);
            return window;
        }
    }
    auto* window = new X256SequenceFrameEdit(editor_, sequence, v, f);
    window->SetOwner(editor_);  // it shows the editor's collection: it goes with the editor
    ConnectSignal<&X256SequenceBrowser::OnSequenceChanged>(window->sequenceChanged, this);
    ConnectSignal<&X256SequenceBrowser::OnFrameEditorChanged>(window->changed, this);
    ConnectSignal<&X256SequenceBrowser::OnEditorClosed>(window->closed, this);
    PlaceNew(window);
    UpdateCountBoxes();
    editorListChanged.Emit();
    return window;
}

void X256SequenceBrowser::OnOpenFrame(CollectionSequence* sequence, i32 view, i32 frame) {
    OpenFrameEditor(sequence, view, frame);
}

void X256SequenceBrowser::OnSequenceChanged(CollectionSequence* sequence) {
    // Whatever changed a stored view changed its reflection: it shows now
    // what loading the saved tag will rebuild.
    FollowMirroredViews(sequence);
    for (void* window : editor_->Blocks().WindowsOf(ElementBlocks::kSequenceEditor, sequence))
        static_cast<X256SequenceEdit*>(window)->Invalidate();
    // Counts stay while frame editors are open: a redraw shows the change.
    for (void* window : editor_->Blocks().WindowsOf(ElementBlocks::kFrameEditor, sequence))
        static_cast<X256SequenceFrameEdit*>(window)->RedrawFrameEdit();
    Changed();
}

void X256SequenceBrowser::OnSequenceListChanged() {
    RefreshSequenceList();
    RefreshFrameEditors();
}

void X256SequenceBrowser::RefreshFrameEditors() {
    for (X256SequenceFrameEdit* window : FrameEditors()) window->RefreshSequenceList();
}

void X256SequenceBrowser::UpdateCountBoxes() {
    const ElementBlocks& blocks = editor_->Blocks();
    for (X256SequenceEdit* window : SequenceEditors())
        window->SetCountsEnabled(MayResizeSequence(blocks, window->GetSequence()));
}

void X256SequenceBrowser::OnFrameEditorChanged() { UpdateCountBoxes(); }

void X256SequenceBrowser::OnEditorClosed() {
    // The window has left the blocks already.
    UpdateCountBoxes();
    editorListChanged.Emit();
}

}  // namespace pirn
