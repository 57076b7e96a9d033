#include "app/ui/archive_browser.h"

#include <algorithm>

#include "app/archive_browser_rules.h"
#include "app/working_set_names.h"
#include "codex/archive_list.h"
#include "codex/codex_events.h"
#include "codex/local_folder.h"
#include "platform/char_map.h"
#include "platform/strings.h"
#include "ui/remembered_placement.h"
#include "ui/splitter_window.h"
#include "ui/window_system.h"
#include "ui/frame_step.h"

namespace pirn {

namespace {

constexpr char kPlacementKey[] = "ArchiveBrowserPlacement";
constexpr u32 kPseudoItemFlags = ListItem::kInsertFirst | ListItem::kTextItem;
constexpr i32 kGroupItemKind = 0xF00D;
constexpr i32 kTagItemKind = 0xF00E;
// Title text, multi-line; without the shadow the dark skin's lists draw
// (262): under the light skin's dark text a black shadow hides the dimmed
// rows' grey.
constexpr u32 kCellTextFlags = 262 & ~0x100u;

ArchiveBrowser* g_browser = nullptr;

void BrowserListener(void*, Archive* archive, TagEntry* tag, u32 event) {
    if (g_browser) g_browser->HandleCodexEvent(archive, tag, event);
}

void* PseudoData(intptr_t which) { return reinterpret_cast<void*>(which); }

bool IsPseudoData(const void* data) {
    const intptr_t value = reinterpret_cast<intptr_t>(data);
    return value == ArchiveBrowser::kLocalItem || value == ArchiveBrowser::kCombinedItem ||
           value == ArchiveBrowser::kFoundationItem;
}

}  // namespace

ArchiveBrowser* GetArchiveBrowser() { return g_browser; }

ArchiveBrowser::ArchiveBrowser() : Window(kStyle, nullptr) {
    g_browser = this;
    SetTitle("Archive Browser");
    outer_ = new SplitterWindow(kVisible | kEnabled, this);
    outer_->SetLayout(SplitterWindow::kSideBySide, SplitterWindow::kSizingFree);
    inner_ = new SplitterWindow(kVisible | kEnabled, outer_);
    inner_->SetLayout(SplitterWindow::kStacked, SplitterWindow::kSizingFree);

    // The lists stand on the skin's light background, where its text
    // colour and the rows' colours read well.
    const u32 listStyle = kVisible | kEnabled | kBackground;
    active_ = new ListWindow(ListWindow::kMultipleSelection, listStyle, inner_);
    active_->SetTitle("Active Archives List");
    inactive_ = new ListWindow(ListWindow::kMultipleSelection, listStyle, inner_);
    inactive_->SetTitle("Inactive Archives List");
    tree_ = new ListWindow(ListWindow::kTree | ListWindow::kColumnMode | ListWindow::kMultipleSelection |
                               ListWindow::kHeaderRow,
                           listStyle, outer_);
    tree_->SetTitle("Tag Tree");
    BuildTagTree();

    inner_->SetPane(0, active_, kPaneMinimum);
    inner_->SetPane(1, inactive_, kPaneMinimum);
    outer_->SetPane(0, inner_, kPaneMinimum);
    outer_->SetPane(1, tree_, kPaneMinimum);

    ConnectSignal<&ArchiveBrowser::OnActiveSelection>(active_->selectionChanged, this);
    ConnectSignal<&ArchiveBrowser::OnActiveContextClick>(active_->contextClick, this);
    ConnectSignal<&ArchiveBrowser::OnInactiveContextClick>(inactive_->contextClick, this);
    ConnectSignal<&ArchiveBrowser::OnTagActivated>(tree_->activated, this);
    ConnectSignal<&ArchiveBrowser::OnTagDeleteRequested>(tree_->deleteRequested, this);
    ConnectSignal<&ArchiveBrowser::OnTagContextClick>(tree_->contextClick, this);
    SetTabOrder(active_, inactive_, tree_, nullptr);

    SetClientSize(kDefaultClientWidth, kDefaultClientHeight);
    outer_->SetSplitPosition(kOuterSplit);
    inner_->SetSplitPosition(kInnerSplit);
    model_.SetView(this);
    LoadWorkingSet();

    if (!RestoreWindowPlacement(this, kPlacementKey, true)) {
        const i32 screenWidth = GetScreenSize().x;
        if (screenWidth > 0 && GetWidth() > screenWidth) SetWidth(screenWidth);
        SetClientHeight(kDefaultClientHeight);
        CenterInParent();
    }
    SetVisible(true);
}

ArchiveBrowser::~ArchiveBrowser() {
    model_.SetView(nullptr);
    if (g_browser == this) g_browser = nullptr;
}

void ArchiveBrowser::OnDestroy() {
    SaveWindowPlacement(this, kPlacementKey);
    // The rows go with the browser; nothing may reach it from the Codex.
    model_.SetView(nullptr);
    model_.Clear();
    if (g_browser == this) g_browser = nullptr;
}

void ArchiveBrowser::BuildTagTree() {
    struct Column {
        const char* title;
        const char* format;
        u32 type;
        u32 size;
        i32 width;
        u32 flags;
    };
    static const Column kColumns[] = {
        {"Identifier", "%d", kColumnInteger, 2, 96, ListColumn::kHidden},
        {"Flags", "%d", kColumnInteger, 1, 96, ListColumn::kHidden},
        {"Type", "%d", kColumnInteger, 1, 96, ListColumn::kHidden},
        {"Name", "%s", kColumnCharArray, 32, 256, 0},
        {"Group", "%s", kColumnFourCC, 4, 64, ListColumn::kHidden},
        {"Tag", "%s", kColumnFourCC, 4, 64, 0},
        {"Offset", "%d", kColumnInteger, 4, 96, ListColumn::kHidden},
        {"Size", "%d", kColumnInteger, 4, 96, 0},
        {"User", "0x%x", kColumnInteger, 4, 64, 0},
        {"Vers.", "%d", kColumnInteger, 2, 48, 0},
        {"Foundation Index", "%d", kColumnInteger, 1, 96, ListColumn::kHidden},
        {"Owner Index", "%d", kColumnInteger, 1, 96, ListColumn::kHidden},
        {"Game", "%s", kColumnFourCC, 4, 64, 0},
        {"Location", "%s", kColumnCharArray, 64, 256, 0},
    };
    for (const Column& c : kColumns) tree_->AddColumn(c.title, c.format, c.type, c.size, c.width, c.flags, kCellTextFlags);
    tree_->SetHeaderIndent(1);
}

// ---- layout ----------------------------------------------------------------

void ArchiveBrowser::Layout() {
    SetFrame(outer_, GetClientRect());
    FitInnerSplit();
}

void ArchiveBrowser::GetMinimumSize(Point* out, Point content) {
    Window::GetMinimumSize(out, Point{content.x + 448, content.y + 256});
}

void ArchiveBrowser::FitInnerSplit() { inner_->SetSplitPosition(active_->GetTotalHeight()); }

// ---- archive lists and the working set -------------------------------------

ListItem* ArchiveBrowser::FindArchiveItem(const Archive* archive) const {
    if (ListItem* item = active_->FindItemByData(archive, nullptr)) return item;
    return inactive_->FindItemByData(archive, nullptr);
}

ListItem* ArchiveBrowser::FindPseudoItem(intptr_t which) const {
    return active_->FindItemByData(PseudoData(which), nullptr);
}

void ArchiveBrowser::LoadWorkingSet() {
    std::vector<std::string> names;
    if (ReadWorkingSetNames(&names)) {
        ArchiveList list;
        for (const std::string& name : names)
            if (Archive* archive = FindArchiveByName(name)) list.push_back(archive);
        SetWorkingSet(list);
    } else {
        SetDefaultWorkingSet();
    }
    FillArchiveLists(nullptr);
    ApplyActiveList();
}

void ArchiveBrowser::FillArchiveLists(Archive* select) {
    changingLists_ = true;
    active_->RemoveAllItems();
    inactive_->RemoveAllItems();
    listsStale_ = false;
    for (u32 i = 0; i < CountArchives(); ++i) {
        Archive* archive = GetArchive(i);
        ListWindow* list = IsArchiveActive(archive) ? active_ : inactive_;
        list->AddItem(nullptr, 0, ListItem::kTextItem, archive, Utf8ToCharMap(GetArchiveName(archive)).c_str());
    }
    active_->AddItem(nullptr, 0, kPseudoItemFlags, PseudoData(kLocalItem), "local");
    active_->AddItem(nullptr, 0, kPseudoItemFlags, PseudoData(kFoundationItem), "foundation");
    active_->AddItem(nullptr, 0, kPseudoItemFlags, PseudoData(kCombinedItem), "combined");
    for (ListWindow* list : {active_, inactive_}) {
        list->Sort();
        list->UpdateScrollRange();
    }
    ListWindow* owner = active_;
    ListItem* chosen = select ? active_->FindItemByData(select, nullptr) : nullptr;
    if (!chosen && select && (chosen = inactive_->FindItemByData(select, nullptr))) owner = inactive_;
    if (!chosen) chosen = FindPseudoItem(kCombinedItem);
    owner->SelectItem(chosen, false);
    changingLists_ = false;
    FitInnerSplit();
}

void ArchiveBrowser::ApplyActiveList() {
    changingLists_ = true;
    ArchiveList list;
    for (ListItem* item = active_->FirstRow(); item; item = active_->NextRow(item))
        if (!IsPseudoData(item->userData)) list.push_back(static_cast<Archive*>(item->userData));
    SetWorkingSet(list);
    ArchiveList workingSet;
    GetWorkingSet(workingSet);
    std::vector<std::string> names;
    for (const Archive* archive : workingSet) names.push_back(GetArchiveName(archive));
    WriteWorkingSetNames(names);
    changingLists_ = false;
    RefreshTagTree();
    FitInnerSplit();
}

void ArchiveBrowser::AddArchives(const std::vector<Archive*>& archives) {
    ArchiveList workingSet;
    GetWorkingSet(workingSet);
    for (Archive* archive : archives)
        if (archive) workingSet.push_back(archive);
    SetWorkingSet(workingSet);
    FillArchiveLists(nullptr);
    ApplyActiveList();
}

BrowserSources ArchiveBrowser::SelectedSources() const {
    BrowserSources sources;
    std::vector<void*> data;
    active_->GetSelection(nullptr, &data);
    for (void* value : data) {
        switch (reinterpret_cast<intptr_t>(value)) {
            case kLocalItem: sources.local = true; break;
            case kFoundationItem: sources.foundation = true; break;
            case kCombinedItem: sources.combined = true; break;
            default: sources.archives.push_back(static_cast<const Archive*>(value)); break;
        }
    }
    return sources;
}

void ArchiveBrowser::OnActiveSelection() {
    if (changingLists_) return;
    // Choosing "local" looks at the folder again, so that tag files other
    // programs put there since show up.
    if (SelectedSources().local) PollLocalFolder(true);
    RefreshTagTree();
}

// ---- the tag tree ----------------------------------------------------------

void ArchiveBrowser::RefreshTagTree() {
    model_.Refresh(SelectedSources());
    UpdateGroupTexts();
    SortTree();
}

void ArchiveBrowser::SortTree() {
    sortPending_ = false;
    tree_->Sort();
    tree_->UpdateScrollRange();
    if (ListItem* current = tree_->GetCurrentItem()) tree_->RevealItem(current);
    tree_->Invalidate();
}

void ArchiveBrowser::UpdateGroupTexts() {
    groupTextsStale_ = false;
    for (ListItem* item = tree_->GetFirstItem(); item; item = item->next) {
        auto* row = static_cast<BrowserGroupRow*>(item->userData);
        const std::string text = FormatString("%s (%u)", row->label, row->tag_count);
        if (item->text != text) tree_->SetItemText(item, text.c_str());
    }
}

void ArchiveBrowser::GroupRowAdded(BrowserGroupRow* row) {
    ListItem* item = tree_->AddItem(nullptr, kGroupItemKind, ListItem::kTextItem | ListItem::kExpandable, row,
                                    row->label);
    item->textColor = row->color;
    row->view_item = item;
    groupTextsStale_ = true;
}

void ArchiveBrowser::GroupRowChanged(BrowserGroupRow*) { groupTextsStale_ = true; }

void ArchiveBrowser::GroupRowRemoved(BrowserGroupRow* row) {
    if (auto* item = static_cast<ListItem*>(row->view_item)) tree_->DeleteItemNoUpdate(item);
    row->view_item = nullptr;
    sortPending_ = true;
}

void ArchiveBrowser::TagRowAdded(BrowserTagRow* row) {
    auto* parent = static_cast<ListItem*>(row->group_row->view_item);
    ListItem* item = tree_->AddItem(parent, kTagItemKind, 0, row, nullptr);
    item->textColor = row->color;
    row->view_item = item;
    sortPending_ = true;
}

void ArchiveBrowser::TagRowChanged(BrowserTagRow* row) {
    if (auto* item = static_cast<ListItem*>(row->view_item)) item->textColor = row->color;
    sortPending_ = true;
}

// The scroll range is brought up to date once, when the tree is sorted.
void ArchiveBrowser::TagRowRemoved(BrowserTagRow* row) {
    if (auto* item = static_cast<ListItem*>(row->view_item)) tree_->DeleteItemNoUpdate(item);
    row->view_item = nullptr;
    sortPending_ = true;
}

std::vector<TagEntry*> ArchiveBrowser::SelectedTags() const {
    std::vector<ListItem*> items;
    tree_->GetSelection(&items, nullptr);
    std::vector<TagEntry*> tags;
    for (ListItem* item : items)
        if (item->image == kTagItemKind) tags.push_back(static_cast<BrowserTagRow*>(item->userData)->tag);
    return tags;
}

std::vector<Archive*> ArchiveBrowser::SelectedArchives(const ListWindow* list) const {
    std::vector<void*> data;
    list->GetSelection(nullptr, &data);
    std::vector<Archive*> archives;
    for (void* value : data)
        if (!IsPseudoData(value)) archives.push_back(static_cast<Archive*>(value));
    return archives;
}

// ---- the Codex -------------------------------------------------------------

void ArchiveBrowser::HandleCodexEvent(Archive* archive, TagEntry* tag, u32 event) {
    switch (event) {
        case kCodexTagAvailable:
        case kCodexSourcesChanged:
        case kCodexTagGone:
            if (model_.HandleCodexEvent(archive, tag, event)) {
                sortPending_ = true;
                groupTextsStale_ = true;
                Invalidate();
            }
            break;
        case kCodexArchiveAdded:
            if (!changingLists_) {
                FillArchiveLists(nullptr);
                RefreshTagTree();
            }
            break;
        case kCodexArchiveClosing:
            ForgetArchive(archive);
            break;
        default:
            break;
    }
}

// The archive may be freed as soon as this returns (the close may also be
// refused): its items go now, and the lists are made afresh from the Codex
// at the next frame.
void ArchiveBrowser::ForgetArchive(const Archive* archive) {
    if (!archive) return;
    changingLists_ = true;
    for (ListWindow* list : {active_, inactive_})
        while (ListItem* item = list->FindItemByData(archive, nullptr)) list->DeleteItem(item);
    changingLists_ = false;
    model_.ForgetArchive(archive);
    listsStale_ = true;
}

void ArchiveBrowser::OnIdle() {
    if (listsStale_) {
        const std::vector<Archive*> selected = SelectedArchives(active_);
        FillArchiveLists(selected.size() == 1 ? selected.front() : nullptr);
        RefreshTagTree();
    }
    if (groupTextsStale_) UpdateGroupTexts();
    if (sortPending_) SortTree();
}

// ---- opening and closing ---------------------------------------------------

void OpenArchiveBrowser() {
    if (!g_browser) new ArchiveBrowser();
    PollLocalFolder(true);
    g_browser->SetCollapsed(0);
    RaiseWindow(g_browser);
    ActivateWindow(g_browser->GetTagTree(), kFocusByProgram);
}

void CloseArchiveBrowser() {
    if (g_browser) DestroyWindow(g_browser);
}

void SetArchiveBrowserListener(bool add) { SetCodexListener(BrowserListener, nullptr, add ? 1 : 0); }

void AddArchivesToWorkingSet(const std::vector<std::string>& paths) {
    std::vector<Archive*> added;
    for (const std::string& path : paths)
        if (Archive* archive = AddArchive(path)) added.push_back(archive);
    if (g_browser) {
        g_browser->AddArchives(added);
        return;
    }
    ArchiveList workingSet;
    GetWorkingSet(workingSet);
    workingSet.insert(workingSet.end(), added.begin(), added.end());
    SetWorkingSet(workingSet);
    std::vector<std::string> names;
    workingSet.clear();
    GetWorkingSet(workingSet);
    for (const Archive* archive : workingSet) names.push_back(GetArchiveName(archive));
    WriteWorkingSetNames(names);
}

}  // namespace pirn
