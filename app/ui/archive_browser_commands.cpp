// The Archive Browser's commands: its context menus, its keys, and what
// each command does with the selected tags or archives.

#include <string>
#include <utility>
#include <vector>

#include "app/ui/archive_browser.h"
#include "app/ui/tag_info_window.h"
#include "codex/archive_list.h"
#include "codex/codex_catalogue.h"
#include "codex/tag_operations.h"
#include "codex/ui/tag_editor_open.h"
#include "platform/char_map.h"
#include "platform/os/key_codes.h"
#include "platform/strings.h"
#include "ui/file_dialogs.h"
#include "ui/input_box.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Commands that ask the user between tags keep (group, id) pairs rather
// than entries: a modal box runs frames, and a frame may rescan the local
// folder.
using TagKey = std::pair<u32, u32>;

std::vector<TagKey> KeysOf(const std::vector<TagEntry*>& tags) {
    std::vector<TagKey> keys;
    for (const TagEntry* tag : tags) keys.emplace_back(tag->group, tag->tag_id);
    return keys;
}

TagEntry* Lookup(const TagKey& key) { return FindTagEntry(key.first, key.second); }

std::string NameOf(const TagEntry* tag) {
    TagHeader header;
    GetTagHeader(tag, &header);
    return header.name;
}

}  // namespace

// ---- menus and keys ----------------------------------------------------------

void ArchiveBrowser::OnTagContextClick(intptr_t x, intptr_t y) {
    const bool tagSelected = !SelectedTags().empty();
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "Open (enter)", nullptr, kOpenTags, tagSelected);
    Menu::AddItem(menu, "Get Info (cmd-I)", nullptr, kGetInfo, tagSelected);
    Menu::AddItem(menu, "Copy To Local (cmd-K)", nullptr, kCopyToLocal, tagSelected);
    Menu::AddItem(menu, "Duplicate (cmd-D)", nullptr, kDuplicateTags, tagSelected);
    Menu::AddItem(menu, "Delete (del)", nullptr, kDeleteTags, tagSelected);
    Menu::AddSeparator(menu, nullptr);
    Menu::AddItem(menu, "Toggle Hidden Groups (cmd-T)", nullptr, kToggleHiddenGroups, true);
    const i32 command = Menu::Popup(menu, Point{static_cast<i32>(x), static_cast<i32>(y)});
    DestroyWindow(menu);
    if (command >= 0) RunTagCommand(command);
}

void ArchiveBrowser::OnActiveContextClick(intptr_t x, intptr_t y) {
    ShowArchiveMenu(active_, Point{static_cast<i32>(x), static_cast<i32>(y)});
}

void ArchiveBrowser::OnInactiveContextClick(intptr_t x, intptr_t y) {
    ShowArchiveMenu(inactive_, Point{static_cast<i32>(x), static_cast<i32>(y)});
}

void ArchiveBrowser::ShowArchiveMenu(ListWindow* list, Point at) {
    const size_t selected = SelectedArchives(list).size();
    const bool activeList = list == active_;
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "Default Working Set", nullptr, kDefaultWorkingSet, true);
    Menu::AddItem(menu, activeList ? "Deactivate Selection" : "Activate Selection", nullptr,
                  activeList ? kDeactivateSelection : kActivateSelection, selected >= 1);
    Menu::AddItem(menu, "Disassemble Archive", nullptr, kDisassembleArchive, selected == 1);
    const i32 command = Menu::Popup(menu, at);
    DestroyWindow(menu);
    if (command >= 0) RunArchiveCommand(command, list);
}

int ArchiveBrowser::OnKey(InputEvent& event) {
    if (!event.IsPress() || !(event.KeyModifiers() & kModControl)) return 0;
    switch (event.Code()) {
        case 'D': RunTagCommand(kDuplicateTags); return 1;
        case 'I': RunTagCommand(kGetInfo); return 1;
        case 'K': RunTagCommand(kCopyToLocal); return 1;
        case 'O': RunTagCommand(kOpenTags); return 1;
        case 'T': RunTagCommand(kToggleHiddenGroups); return 1;
        default: return 0;
    }
}

void ArchiveBrowser::OnTagActivated(void* item) {
    auto* listItem = static_cast<ListItem*>(item);
    if (!listItem || listItem->flags & ListItem::kTextItem) return;  // group rows open and close
    const auto* row = static_cast<const BrowserTagRow*>(listItem->userData);
    if (!row->not_openable) OpenTagEditor(row->tag);
}

void ArchiveBrowser::OnTagDeleteRequested() { DeleteTags(); }

// ---- tag commands --------------------------------------------------------------

void ArchiveBrowser::RunTagCommand(i32 command) {
    switch (command) {
        case kOpenTags: OpenTags(); break;
        case kGetInfo: GetInfo(); break;
        case kCopyToLocal: CopyToLocal(); break;
        case kDuplicateTags: DuplicateTags(); break;
        case kDeleteTags: DeleteTags(); break;
        case kToggleHiddenGroups:
            model_.ToggleHiddenGroups();
            RefreshTagTree();
            break;
        default: break;
    }
}

void ArchiveBrowser::OpenTags() {
    std::vector<TagKey> openable;
    for (TagEntry* tag : SelectedTags()) {
        const BrowserTagRow* row = model_.FindTagRow(tag);
        if (row && !row->not_openable) openable.emplace_back(tag->group, tag->tag_id);
    }
    for (const TagKey& key : openable)
        if (TagEntry* tag = Lookup(key)) OpenTagEditor(tag);
}

void ArchiveBrowser::GetInfo() {
    for (TagEntry* tag : SelectedTags()) {
        if (TagInfoWindow* open = FindTagInfoWindow(tag)) {
            RaiseWindow(open);
            ActivateWindow(open, kFocusByProgram);
            return;
        }
        new TagInfoWindow(tag);
    }
}

void ArchiveBrowser::CopyToLocal() {
    for (const TagKey& key : KeysOf(SelectedTags()))
        if (TagEntry* tag = Lookup(key)) CopyTagToLocal(tag);
}

void ArchiveBrowser::DuplicateTags() {
    const std::vector<TagKey> keys = KeysOf(SelectedTags());
    if (keys.size() == 1) {
        TagEntry* tag = Lookup(keys.front());
        std::string name = FormatString("%s copy", NameOf(tag).c_str());
        if (ShowInputBox("Enter Name for Duplicate Tag", &name, "OK", "Cancel", nullptr) != 0) return;
        if ((tag = Lookup(keys.front()))) CopyTag(tag, name.c_str());
        return;
    }
    for (const TagKey& key : keys)
        if (TagEntry* tag = Lookup(key)) CopyTag(tag, nullptr);
}

void ArchiveBrowser::DeleteTags() {
    std::vector<TagKey> local;
    for (TagEntry* tag : SelectedTags())
        if (IsTagLocal(tag)) local.emplace_back(tag->group, tag->tag_id);
    if (local.empty()) return;
    const std::string question =
        local.size() == 1 ? FormatString("Are you sure you want to delete '%s'?", NameOf(Lookup(local[0])).c_str())
                          : FormatString("Are you sure you want to delete %d tags?", static_cast<int>(local.size()));
    if (ShowMessageBox("Confirm Deletion", question.c_str(), "Delete", "Don't Delete", nullptr) != 0) return;
    for (const TagKey& key : local) {
        TagEntry* tag = Lookup(key);
        if (!IsTagLocal(tag)) continue;  // gone while the question was open
        const std::string name = NameOf(tag);
        if (GetTagUseCount(tag) > 0) {
            const std::string text = FormatString("'%s' is still being used by Pirn.", name.c_str());
            ShowMessageBox("Can't delete tag.", text.c_str(), "OK", nullptr);
        } else if (!DeleteTag(tag)) {
            const std::string text =
                FormatString("Couldn't delete '%s'. It might be locked, or in use by another program.", name.c_str());
            ShowMessageBox("Error", text.c_str(), "OK", nullptr);
        }
    }
}

// ---- archive commands ------------------------------------------------------------

void ArchiveBrowser::RunArchiveCommand(i32 command, ListWindow* list) {
    switch (command) {
        case kDefaultWorkingSet:
            SetDefaultWorkingSet();
            FillArchiveLists(nullptr);
            ApplyActiveList();
            break;
        case kActivateSelection:
            MoveSelectedArchives(inactive_, active_);
            break;
        case kDeactivateSelection:
            MoveSelectedArchives(active_, inactive_);
            break;
        case kDisassembleArchive:
            DisassembleSelectedArchive(list);
            break;
        default: break;
    }
}

void ArchiveBrowser::MoveSelectedArchives(ListWindow* from, ListWindow* to) {
    const std::vector<Archive*> moving = SelectedArchives(from);
    if (moving.empty()) return;
    changingLists_ = true;
    bool first = true;
    for (Archive* archive : moving) {
        if (ListItem* item = from->FindItemByData(archive, nullptr)) from->DeleteItem(item);
        ListItem* moved =
            to->AddItem(nullptr, 0, ListItem::kTextItem, archive, Utf8ToCharMap(GetArchiveName(archive)).c_str());
        to->SelectItem(moved, !first);
        first = false;
    }
    for (ListWindow* list : {from, to}) {
        list->Sort();
        list->UpdateScrollRange();
    }
    changingLists_ = false;
    ApplyActiveList();
}

void ArchiveBrowser::DisassembleSelectedArchive(ListWindow* list) {
    const std::vector<Archive*> selected = SelectedArchives(list);
    if (selected.size() != 1) return;
    Archive* archive = selected.front();
    std::string folder;
    if (!ChooseExportFolder("Choose Destination Folder", &folder, nullptr, kFileKindArchive, nullptr)) return;
    // The archive may have been closed while the dialog was open.
    for (u32 i = 0; i < CountArchives(); ++i)
        if (GetArchive(i) == archive) DisassembleArchive(archive, folder);
}

}  // namespace pirn
