#include "collections/ui/hue_browser.h"

#include "collections/hue_change_rules.h"
#include "collections/ui/hue_edit.h"
#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "collections/x256_texts.h"
#include "platform/strings.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

using namespace x256_text;

}  // namespace

X256HueBrowser::X256HueBrowser(X256Edit* editor, Window* parent)
    : ListWindow(kListFlags, kVisible | kBackground, parent), editor_(editor), collection_(&editor->GetCollection()) {
    SetTitle(kHueChangesTab);
    ConnectSignal<&X256HueBrowser::OnActivated>(activated, this);
    ConnectSignal<&X256HueBrowser::OnRowMoved>(rowMoved, this);
    ConnectSignal<&X256HueBrowser::OnContextClick>(contextClick, this);
    RefreshHueList();
}

void X256HueBrowser::RefreshHueList() {
    const i32 scroll = GetScrollY();
    RemoveAllItems();
    for (const auto& hue : collection_->hue_changes) AddItem(nullptr, 0, ListItem::kTextItem, hue.get(), hue->name);
    UpdateScrollRange();
    SetScrollY(scroll);
    Invalidate();
}

std::vector<CollectionHueChange*> X256HueBrowser::GetSelectedHueChanges() const {
    std::vector<CollectionHueChange*> hues;
    for (ListItem* item = GetFirstItem(); item; item = item->next)
        if (item->IsSelected()) hues.push_back(static_cast<CollectionHueChange*>(item->userData));
    return hues;
}

ListItem* X256HueBrowser::FindHueItem(const CollectionHueChange* hue) const { return FindItemByData(hue, nullptr); }

void X256HueBrowser::SelectHueChange(CollectionHueChange* hue) {
    if (ListItem* item = FindHueItem(hue)) {
        SelectItem(item, false);
        RevealItem(item);
    }
}

Menu* X256HueBrowser::BuildContextMenu() const {
    const size_t selected = GetSelectionCount();
    auto* menu = new Menu(false);
    Menu::AddItem(menu, kRenameEntry, nullptr, kRenameCommand, selected == 1);
    Menu::AddItem(menu, kDuplicateEntry, nullptr, kDuplicateCommand, selected == 1);
    Menu::AddItem(menu, kDeleteEntry, nullptr, kDeleteCommand, selected >= 1);
    Menu::AddItem(menu, kNewHueChangeEntry, nullptr, kNewCommand, true);
    return menu;
}

void X256HueBrowser::OnContextClick(intptr_t x, intptr_t y) {
    Menu* menu = BuildContextMenu();
    const i32 command = Menu::Popup(menu, Point{static_cast<i32>(x), static_cast<i32>(y)});
    DestroyWindow(menu);
    RunCommand(command);
}

void X256HueBrowser::RunCommand(i32 command) {
    switch (command) {
        case kRenameCommand: return Rename();
        case kDuplicateCommand: return Duplicate();
        case kDeleteCommand: return Delete();
        case kNewCommand: return AddNew();
        default: return;
    }
}

void X256HueBrowser::Rename() {
    const std::vector<CollectionHueChange*> selected = GetSelectedHueChanges();
    if (selected.size() != 1) return;
    ListItem* item = FindHueItem(selected[0]);
    const int edited = EditCell(
        item, -1,
        [](ListItem* row, void* data, int, void* self, const char* text) {
            auto* hue = static_cast<CollectionHueChange*>(data);
            SetElementName(hue->name, text);
            static_cast<X256HueBrowser*>(self)->SetItemText(row, hue->name);
            return 1;
        },
        this);
    if (!edited) return;
    if (void* open = editor_->Blocks().FindWindow(ElementBlocks::kHueChangeEditor, selected[0]))
        static_cast<X256HueEdit*>(open)->RefreshHueEdit();
    changed.Emit();
}

void X256HueBrowser::Duplicate() {
    const std::vector<CollectionHueChange*> selected = GetSelectedHueChanges();
    if (selected.size() != 1) return;
    CollectionHueChange* copy = DuplicateHueChange(collection_, selected[0]);
    if (!copy) return;
    RefreshHueList();
    SelectHueChange(copy);
    changed.Emit();
}

void X256HueBrowser::Delete() {
    const std::vector<CollectionHueChange*> selected = GetSelectedHueChanges();
    if (selected.empty()) return;
    if (CollectionHueChange* open = editor_->Blocks().FirstShown(ElementBlocks::kHueChangeEditor, selected)) {
        ShowMessageBox(kErrorCaption, FormatString(kHueChangeOpen, open->name).c_str(), kOkButton, nullptr);
        return;
    }
    const std::string question = FormatString(kHueDeleteQuestion, selected.size() > 1 ? kPlural : "");
    if (ShowMessageBox(kDeletionCaption, question.c_str(), kDeleteButton, kCancelButton, nullptr) != 0) return;
    for (CollectionHueChange* hue : selected) DeleteHueChange(collection_, hue);
    RefreshHueList();
    changed.Emit();
}

void X256HueBrowser::AddNew() {
    CollectionHueChange* hue = AddHueChange(collection_, kNewHueChangeName);
    RefreshHueList();
    SelectHueChange(hue);
    changed.Emit();
}

void X256HueBrowser::OnActivated(void* item) {
    if (item) OpenHueEdit(static_cast<CollectionHueChange*>(static_cast<ListItem*>(item)->userData));
}

X256HueEdit* X256HueBrowser::OpenHueEdit(CollectionHueChange* hue) {
    if (!hue) return nullptr;
    if (void* open = editor_->Blocks().FindWindow(ElementBlocks::kHueChangeEditor, hue)) {
        auto* window = static_cast<X256HueEdit*>(open);
        RaiseWindow(window);
        ActivateWindow(window, kFocusByProgram);
        return window;
    }
    auto* window = new X256HueEdit(hue, &editor_->Blocks());
    window->SetOwner(editor_);  // it shows the editor's collection: it goes with the editor
    ConnectSignal<&X256HueBrowser::OnEditChanged>(window->changed, this);
    ConnectSignal<&X256HueBrowser::RefreshHueList>(window->nameChanged, this);
    const Point at = NextCascadePosition();
    window->SetPosition(at.x, at.y);
    window->KeepOnScreen();
    RaiseWindow(window);
    ActivateWindow(window, kFocusByProgram);
    return window;
}

void X256HueBrowser::OnRowMoved(intptr_t item, i32 row) {
    auto* moved = reinterpret_cast<ListItem*>(item);
    if (moved && row >= 0) MoveRow(static_cast<CollectionHueChange*>(moved->userData), static_cast<u32>(row));
}

void X256HueBrowser::MoveRow(CollectionHueChange* hue, u32 row) {
    if (MoveHueChange(collection_, hue, row) == kNotFound) return;
    RefreshHueList();
    SelectHueChange(hue);
    changed.Emit();
}

}  // namespace pirn
