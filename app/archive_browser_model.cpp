#include "app/archive_browser_model.h"

#include <algorithm>
#include <cstring>

#include "app/archive_browser_rules.h"
#include "codex/codex_catalogue.h"
#include "codex/codex_events.h"
#include "codex/tag_group.h"
#include "platform/char_map.h"
#include "platform/strings.h"

namespace pirn {

ArchiveBrowserModel::~ArchiveBrowserModel() {
    view_ = nullptr;
    Clear();
}

bool ArchiveBrowserModel::IsShown(const TagEntry* tag) const { return IsTagShown(tag, showHidden_); }

bool ArchiveBrowserModel::IsShownWith(const TagEntry* tag, const TagSource* source) const {
    if (!source) return false;
    return showHidden_ || tag->group == kDetailMapGroup || GroupHasEditor(tag->group);
}

const char* ArchiveBrowserModel::LocationText(const char* location) {
    for (const KnownLocation& known : locations_)
        if (known.location == location) return known.text;
    locations_.push_back(KnownLocation{location, {}});
    FormatTagLocation(location, locations_.back().text);
    return locations_.back().text;
}

BrowserTagRow* ArchiveBrowserModel::FindTagRow(const TagEntry* tag) const {
    if (!tag) return nullptr;
    const BrowserGroupRow* group = groups_.Find(tag->group);
    return group ? group->tags.Find(tag->tag_id) : nullptr;
}

std::vector<BrowserTagRow*> ArchiveBrowserModel::TagRows() const {
    std::vector<BrowserGroupRow*> groups;
    groups_.AppendValues(groups);
    std::vector<BrowserTagRow*> rows;
    rows.reserve(tagRows_);
    for (BrowserGroupRow* group : groups) group->tags.AppendValues(rows);
    return rows;
}

void ArchiveBrowserModel::Clear() {
    for (BrowserTagRow* row : TagRows()) RemoveRow(row);
}

bool ArchiveBrowserModel::SourcesHold(const TagEntry* tag) const {
    if (sources_.combined) return true;
    if (sources_.local && IsTagLocal(tag)) return true;
    for (const TagSource* source : tag->sources) {
        if (!source->archive) continue;
        if (sources_.foundation && source->precedence == 0) return true;
        for (const Archive* archive : sources_.archives)
            if (source->archive == archive) return true;
    }
    return false;
}

void ArchiveBrowserModel::CollectSources(TagList& tags) const {
    if (sources_.combined) {
        ListAllTags(tags);
        return;  // every other source lists a part of these
    }
    if (sources_.local) ListLocalTags(tags);
    if (sources_.foundation) ListFoundationTags(tags);
    for (const Archive* archive : sources_.archives) ListArchiveTags(archive, tags);
}

void ArchiveBrowserModel::Refresh(const BrowserSources& sources) {
    sources_ = sources;
    ++refresh_;
    locations_.clear();
    TagList tags;
    CollectSources(tags);
    for (TagEntry* tag : tags) {
        const TagSource* source = GetEffectiveSource(tag);
        if (IsShownWith(tag, source)) AddOrUpdateRow(tag, source);
    }
    // Rows not listed now, or no longer shown, go.
    std::vector<BrowserTagRow*> stale;
    for (BrowserTagRow* row : TagRows())
        if (row->collected != refresh_) stale.push_back(row);
    for (BrowserTagRow* row : stale) RemoveRow(row);
    locations_.clear();
}

bool ArchiveBrowserModel::HandleCodexEvent(const Archive*, TagEntry* tag, u32 event) {
    if (!tag) return false;
    BrowserTagRow* row = FindTagRow(tag);
    switch (event) {
        case kCodexTagAvailable:
        case kCodexSourcesChanged:
            // A tag the selected sources no longer hold (a local copy
            // deleted while "local" is selected) leaves the tree as well.
            if (!IsShown(tag) || !SourcesHold(tag)) {
                if (!row) return false;
                RemoveRow(row);
                return true;
            }
            locations_.clear();
            AddOrUpdateRow(tag, GetEffectiveSource(tag));
            locations_.clear();
            return true;
        case kCodexTagGone:
            if (!row) return false;
            RemoveRow(row);
            return true;
        default:
            return false;
    }
}

void ArchiveBrowserModel::ForgetArchive(const Archive* archive) {
    std::vector<const Archive*>& archives = sources_.archives;
    archives.erase(std::remove(archives.begin(), archives.end(), archive), archives.end());
}

BrowserGroupRow* ArchiveBrowserModel::GroupRowFor(u32 group) {
    if (BrowserGroupRow* row = groups_.Find(group)) return row;
    auto* row = new BrowserGroupRow;
    row->group = group;
    CopyStringBounded(row->label, GetTagGroupLabel(group), sizeof row->label);
    row->has_editor = GroupHasEditor(group);
    row->color = GroupRowColor(row->has_editor);
    groups_.Insert(group, row);
    if (view_) view_->GroupRowAdded(row);
    return row;
}

void ArchiveBrowserModel::FillRecord(BrowserTagRow* row, const TagSource* source) {
    BrowserTagRecord& record = row->record;
    if (source) record.header = source->header;
    else GetTagHeader(row->tag, &record.header);
    std::memcpy(record.location, LocationText(GetSourceLocation(source)), sizeof record.location);

    u32 word = 0;  // stays 0, as the user data of such a header is, when unread
    const bool notOpenable = IsTagNotOpenable(row->tag, record.header, &word);
    if (CollectionFlagsInData(record.header)) record.header.user_data = word;
    row->not_openable = row->not_openable || notOpenable;
    row->local = IsTagLocal(row->tag);
    row->color = TagRowColor(row->local, row->not_openable);
}

void ArchiveBrowserModel::AddOrUpdateRow(TagEntry* tag, const TagSource* source) {
    BrowserGroupRow* group = GroupRowFor(tag->group);
    BrowserTagRow* row = group->tags.Find(tag->tag_id);
    const bool fresh = row == nullptr;
    if (fresh) {
        row = new BrowserTagRow;
        row->tag = tag;
        row->tag_id = tag->tag_id;
        row->group_row = group;
        group->tags.Insert(tag->tag_id, row);
        ++group->tag_count;
        ++tagRows_;
    }
    FillRecord(row, source);
    row->collected = refresh_;
    if (!view_) return;
    if (fresh) {
        view_->TagRowAdded(row);
        view_->GroupRowChanged(group);
    } else {
        view_->TagRowChanged(row);
    }
}

void ArchiveBrowserModel::RemoveRow(BrowserTagRow* row) {
    BrowserGroupRow* group = row->group_row;
    if (view_) view_->TagRowRemoved(row);
    group->tags.Remove(row->tag_id);
    --group->tag_count;
    --tagRows_;
    delete row;
    if (group->tag_count == 0) {
        if (view_) view_->GroupRowRemoved(group);
        groups_.Remove(group->group);
        delete group;
    } else if (view_) {
        view_->GroupRowChanged(group);
    }
}

}  // namespace pirn
