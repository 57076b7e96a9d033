#pragma once
// The Archive Browser's tag tree without its window: one group row per tag
// group shown, one tag row per tag shown, each tag row holding the record
// the tree's columns read (the effective header and the location text), its
// colour and whether it may be opened. A view (the browser's window) hears
// every row that comes, changes or goes, and keeps its list items in step.
//
// Rows never outlive their tags: a tag that stops being available or is
// about to be freed (Codex event 4) loses its row before the Codex lets it
// go.

#include <vector>

#include "codex/archive.h"
#include "codex/id_map.h"
#include "codex/tag_entry.h"
#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

// What the tree's columns read: the header's fields at their offsets, then
// the location text.
struct BrowserTagRecord {
    TagHeader header;
    char location[64];
};
static_assert(sizeof(BrowserTagRecord) == 128, "the tag tree's record is 64 + 64 bytes");

struct BrowserTagRow;

struct BrowserGroupRow {
    u32 group = 0;
    char label[32] = {};   // the group's plural label
    u32 tag_count = 0;
    bool has_editor = false;
    u32 color = 0;
    void* view_item = nullptr;  // the view's own
    IdMap<BrowserTagRow> tags;
};

struct BrowserTagRow {
    BrowserTagRecord record;  // first: a pointer to the row is one to its record
    TagEntry* tag = nullptr;
    u32 tag_id = 0;             // the tag's key in its group row
    BrowserGroupRow* group_row = nullptr;
    bool not_openable = false;  // only ever set while the row exists
    bool local = false;
    u32 color = 0;
    u64 collected = 0;          // the refresh that last listed it
    void* view_item = nullptr;  // the view's own
};

// What the active list has selected: the tags the tree shows come from these.
struct BrowserSources {
    bool local = false;
    bool foundation = false;
    bool combined = false;
    std::vector<const Archive*> archives;
    bool Empty() const { return !local && !foundation && !combined && archives.empty(); }
};

class ArchiveBrowserModel {
public:
    // Told about rows as they come, change and go (a removal before the
    // row is freed).
    class View {
    public:
        virtual ~View() = default;
        virtual void GroupRowAdded(BrowserGroupRow* row) = 0;
        virtual void GroupRowChanged(BrowserGroupRow* row) = 0;
        virtual void GroupRowRemoved(BrowserGroupRow* row) = 0;
        virtual void TagRowAdded(BrowserTagRow* row) = 0;
        virtual void TagRowChanged(BrowserTagRow* row) = 0;
        virtual void TagRowRemoved(BrowserTagRow* row) = 0;
    };

    ArchiveBrowserModel() = default;
    ~ArchiveBrowserModel();
    ArchiveBrowserModel(const ArchiveBrowserModel&) = delete;
    ArchiveBrowserModel& operator=(const ArchiveBrowserModel&) = delete;

    void SetView(View* view) { view_ = view; }

    // Rows for every shown tag of the sources, and none for any other tag.
    void Refresh(const BrowserSources& sources);
    // Takes every row away (telling the view).
    void Clear();

    bool ShowsHiddenGroups() const { return showHidden_; }
    // Flips the flag; the caller refreshes.
    void ToggleHiddenGroups() { showHidden_ = !showHidden_; }
    bool IsShown(const TagEntry* tag) const;

    // A Codex event. Returns whether the rows changed (the view re-sorts).
    bool HandleCodexEvent(const Archive* archive, TagEntry* tag, u32 event);

    // An archive about to be closed: it is no longer among the sources.
    void ForgetArchive(const Archive* archive);

    BrowserTagRow* FindTagRow(const TagEntry* tag) const;
    BrowserGroupRow* FindGroupRow(u32 group) const { return groups_.Find(group); }
    size_t GroupRowCount() const { return groups_.Count(); }
    size_t TagRowCount() const { return tagRows_; }
    // Every tag row (in no particular order).
    std::vector<BrowserTagRow*> TagRows() const;
    const BrowserSources& Sources() const { return sources_; }

private:
    // source: the tag's effective copy (the caller found it already).
    void AddOrUpdateRow(TagEntry* tag, const TagSource* source);
    void RemoveRow(BrowserTagRow* row);
    BrowserGroupRow* GroupRowFor(u32 group);
    void FillRecord(BrowserTagRow* row, const TagSource* source);
    bool IsShownWith(const TagEntry* tag, const TagSource* source) const;
    const char* LocationText(const char* location);
    // Whether the selected sources hold the tag.
    bool SourcesHold(const TagEntry* tag) const;
    void CollectSources(TagList& tags) const;

    View* view_ = nullptr;
    IdMap<BrowserGroupRow> groups_;
    size_t tagRows_ = 0;
    bool showHidden_ = false;
    BrowserSources sources_;
    u64 refresh_ = 0;
    // Location texts in the program's text, by the Codex's location text
    // (an archive's file name lives as long as the archive): made once per
    // refresh or event, not once per row.
    struct KnownLocation {
        const char* location;
        char text[64];
    };
    std::vector<KnownLocation> locations_;
};

}  // namespace pirn
