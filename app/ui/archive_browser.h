#pragma once
// The Archive Browser, the program's main window. On its left the open
// archives in two lists, active (the working set, with the pseudo-archives
// "local", "foundation" and "combined") and inactive; on its right a tree
// of the tags of whatever is selected in the active list, grouped by tag
// group, one column per tag header field. From here the working set is
// changed (and remembered in CodexWorkingSet), archives are unpacked and
// tags opened, inspected, copied, duplicated and deleted. The tree's rows
// and rules are ArchiveBrowserModel's (app/archive_browser_model.h); this
// window shows them and turns input into commands.

#include <string>
#include <vector>

#include "app/archive_browser_model.h"
#include "codex/archive.h"
#include "codex/tag_entry.h"
#include "platform/types.h"
#include "ui/list_window.h"
#include "ui/window.h"

namespace pirn {

class SplitterWindow;

class ArchiveBrowser : public Window, public ArchiveBrowserModel::View {
public:
    // Visible, enabled, title bar, shadow, thick border, resizable, dark
    // background, both title buttons.
    static constexpr u32 kStyle = 0x196F;
    static constexpr i32 kOuterSplit = 196;
    static constexpr i32 kInnerSplit = 384;
    static constexpr i32 kPaneMinimum = 128;
    // Wide enough for the visible columns beside the lists, where the screen allows.
    static constexpr i32 kDefaultClientWidth = 1080;
    static constexpr i32 kDefaultClientHeight = 512;

    // The pseudo-archives of the active list, as their items' data.
    static constexpr intptr_t kLocalItem = -2;
    static constexpr intptr_t kCombinedItem = -3;
    static constexpr intptr_t kFoundationItem = -4;

    // Tag-tree menu commands.
    enum TagCommand : i32 {
        kOpenTags = 0,
        kGetInfo = 1,
        kCopyToLocal = 2,
        kDuplicateTags = 3,
        kDeleteTags = 4,
        kToggleHiddenGroups = 5,
    };
    // Archive-list menu commands.
    enum ArchiveCommand : i32 {
        kDefaultWorkingSet = 0,
        kActivateSelection = 1,
        kDeactivateSelection = 2,
        kDisassembleArchive = 3,
    };

    ArchiveBrowser();
    ~ArchiveBrowser() override;

    const char* GetClassName() const override { return "ArchiveBrowser"; }
    void OnDestroy() override;
    void OnIdle() override;
    void Layout() override;
    void GetMinimumSize(Point* out, Point content) override;
    int OnKey(InputEvent& event) override;

    // ---- working set and archive lists ----
    void LoadWorkingSet();
    // Both lists afresh from the Codex; selects the archive's item, or
    // "combined".
    void FillArchiveLists(Archive* select);
    // The active list's archives become the working set, which is stored;
    // the tree follows.
    void ApplyActiveList();
    void RefreshTagTree();
    // Refills the lists and applies them with these archives added.
    void AddArchives(const std::vector<Archive*>& archives);

    // ---- commands on the selection ----
    void RunTagCommand(i32 command);
    void RunArchiveCommand(i32 command, ListWindow* list);
    // The tags of the selected tag rows.
    std::vector<TagEntry*> SelectedTags() const;
    // The real archives selected in a list (pseudo-items left out).
    std::vector<Archive*> SelectedArchives(const ListWindow* list) const;

    // ---- the Codex ----
    void HandleCodexEvent(Archive* archive, TagEntry* tag, u32 event);

    ListWindow* GetActiveList() const { return active_; }
    ListWindow* GetInactiveList() const { return inactive_; }
    ListWindow* GetTagTree() const { return tree_; }
    SplitterWindow* GetOuterSplitter() const { return outer_; }
    SplitterWindow* GetInnerSplitter() const { return inner_; }
    ArchiveBrowserModel& GetModel() { return model_; }
    // The list item of an archive in either list, or null.
    ListItem* FindArchiveItem(const Archive* archive) const;
    ListItem* FindPseudoItem(intptr_t which) const;

    // ---- ArchiveBrowserModel::View ----
    void GroupRowAdded(BrowserGroupRow* row) override;
    void GroupRowChanged(BrowserGroupRow* row) override;
    void GroupRowRemoved(BrowserGroupRow* row) override;
    void TagRowAdded(BrowserTagRow* row) override;
    void TagRowChanged(BrowserTagRow* row) override;
    void TagRowRemoved(BrowserTagRow* row) override;

private:
    void BuildTagTree();
    void OnActiveSelection();
    void OnTagActivated(void* item);
    void OnTagDeleteRequested();
    void OnTagContextClick(intptr_t x, intptr_t y);
    void OnActiveContextClick(intptr_t x, intptr_t y);
    void OnInactiveContextClick(intptr_t x, intptr_t y);
    void ShowArchiveMenu(ListWindow* list, Point at);
    BrowserSources SelectedSources() const;
    void UpdateGroupTexts();
    void FitInnerSplit();
    void SortTree();
    void MoveSelectedArchives(ListWindow* from, ListWindow* to);
    void ForgetArchive(const Archive* archive);

    void OpenTags();
    void GetInfo();
    void CopyToLocal();
    void DuplicateTags();
    void DeleteTags();
    void DisassembleSelectedArchive(ListWindow* list);

    ArchiveBrowserModel model_;
    SplitterWindow* outer_ = nullptr;
    SplitterWindow* inner_ = nullptr;
    ListWindow* active_ = nullptr;
    ListWindow* inactive_ = nullptr;
    ListWindow* tree_ = nullptr;
    bool changingLists_ = false;  // the browser itself is changing the lists
    bool sortPending_ = false;    // rows changed by Codex events
    bool groupTextsStale_ = false;
    bool listsStale_ = false;     // an archive was closed under the lists
};

// The one browser, or null.
ArchiveBrowser* GetArchiveBrowser();
// Makes the browser when there is none, rescans the local folder, and
// brings the browser forward, expanded and active.
void OpenArchiveBrowser();
void CloseArchiveBrowser();
// Installs (or removes) the browser's Codex listener; while there is no
// browser it ignores every event.
void SetArchiveBrowserListener(bool add);
// The working set plus the archive of each path (opened as needed).
void AddArchivesToWorkingSet(const std::vector<std::string>& paths);

}  // namespace pirn
