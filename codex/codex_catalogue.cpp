#include "codex/codex_catalogue.h"

#include <algorithm>
#include <cstring>

#include "codex/archive.h"
#include "codex/codex_state.h"
#include "platform/file_ops.h"

namespace pirn {

CodexState& TheCodex() {
    static CodexState state;
    return state;
}

TagEntry* FindTagEntry(u32 group, u32 tag_id) {
    TagIdMap* ids = TheCodex().groups.Find(group);
    return ids ? ids->Find(tag_id) : nullptr;
}

TagEntry* FindTag(u32 group, u32 tag_id) {
    if (tag_id == kNoTagId) return nullptr;
    TagEntry* entry = FindTagEntry(group, tag_id);
    return entry && GetEffectiveSource(entry) ? entry : nullptr;
}

TagIdMap* FindOrCreateGroupMap(u32 group) {
    CodexState& codex = TheCodex();
    TagIdMap* ids = codex.groups.Find(group);
    if (!ids) {
        ids = new TagIdMap;
        codex.groups.Insert(group, ids);
    }
    return ids;
}

TagEntry* FindOrCreateTagEntry(u32 group, u32 tag_id) {
    return FindOrCreateTagEntryIn(FindOrCreateGroupMap(group), group, tag_id);
}

TagEntry* FindOrCreateTagEntryIn(TagIdMap* ids, u32 group, u32 tag_id) {
    TagEntry* entry = ids->Find(tag_id);
    if (!entry) {
        entry = new TagEntry;
        entry->group = group;
        entry->tag_id = tag_id;
        ids->Insert(tag_id, entry);
    }
    return entry;
}

namespace {

// Whether candidate beats best under the effective-copy rule (both in
// active archives).
bool Outranks(const TagSource* candidate, const TagSource* best) {
    if (candidate->precedence != best->precedence) return candidate->precedence > best->precedence;
    u16 candidate_priority = candidate->archive->header.priority;
    u16 best_priority = best->archive->header.priority;
    if (candidate_priority != best_priority) return candidate_priority > best_priority;
    return candidate->archive->file_name.compare(best->archive->file_name) > 0;
}

}  // namespace

TagSource* GetEffectiveSource(const TagEntry* tag) {
    if (!tag) return nullptr;
    if (tag->local_source) return tag->local_source;
    return GetEffectiveArchiveSource(tag);
}

TagSource* GetEffectiveArchiveSource(const TagEntry* tag) {
    if (!tag) return nullptr;
    TagSource* best = nullptr;
    for (TagSource* source : tag->sources) {
        if (!source->archive || !source->archive->active) continue;
        if (!best || Outranks(source, best)) best = source;
    }
    return best;
}

TagSource* FindSourceOfPrecedence(const TagEntry* tag, u32 precedence) {
    if (!tag) return nullptr;
    if (precedence == kLocalPrecedence) return tag->local_source;
    TagSource* best = nullptr;
    for (TagSource* source : tag->sources) {
        if (source->precedence != precedence || !source->archive) continue;
        if (!best || source->archive->header.priority > best->archive->header.priority) best = source;
    }
    return best;
}

void GetTagHeader(const TagEntry* tag, TagHeader* header) {
    if (const TagSource* source = GetEffectiveSource(tag)) {
        *header = source->header;
        return;
    }
    *header = TagHeader{};
    if (tag) {
        header->group = tag->group;
        header->tag_id = tag->tag_id;
    }
    std::strncpy(header->name, "~codex_placeholder~", sizeof(header->name) - 1);
}

const char* GetTagLocation(const TagEntry* tag) { return GetSourceLocation(GetEffectiveSource(tag)); }

const char* GetSourceLocation(const TagSource* source) {
    if (!source) return "unknown";
    if (!source->archive) return "local folder";
    return source->archive->file_name.c_str();
}

bool IsTagLocal(const TagEntry* tag) { return tag && tag->local_source; }
bool IsTagAvailable(const TagEntry* tag) { return GetEffectiveSource(tag) != nullptr; }
bool IsTagTaken(const TagEntry* tag) { return tag && (!tag->attachments.empty() || IsTagAvailable(tag)); }
u32 GetTagUseCount(const TagEntry* tag) { return tag ? static_cast<u32>(tag->attachments.size()) : 0; }
u32 CountTagSources(const TagEntry* tag) { return tag ? static_cast<u32>(tag->sources.size()) : 0; }

namespace {

template <typename Visit>
void ForEachEntry(Visit visit) {
    std::vector<TagIdMap*> groups;
    TheCodex().groups.AppendValues(groups);
    TagList entries;
    for (TagIdMap* ids : groups) {
        entries.clear();
        ids->AppendValues(entries);
        for (TagEntry* entry : entries) visit(entry);
    }
}

}  // namespace

u32 CountTagUses() {
    u32 uses = 0;
    ForEachEntry([&](TagEntry* entry) {
        if (IsTagAvailable(entry)) uses += GetTagUseCount(entry);
    });
    return uses;
}

void ListAllTags(TagList& list) {
    ForEachEntry([&](TagEntry* entry) {
        if (IsTagAvailable(entry)) list.push_back(entry);
    });
}

void ListLocalTags(TagList& list) {
    ForEachEntry([&](TagEntry* entry) {
        if (entry->local_source) list.push_back(entry);
    });
}

void ListGroupTags(u32 group, TagList& list) {
    TagIdMap* ids = TheCodex().groups.Find(group);
    if (!ids) return;
    TagList entries;
    ids->AppendValues(entries);
    for (TagEntry* entry : entries)
        if (IsTagAvailable(entry)) list.push_back(entry);
}

void ListArchiveTags(const Archive* archive, TagList& list) {
    if (!archive) return;
    for (const TagSource& source : archive->entries)
        if (source.owner) list.push_back(source.owner);
}

void ListFoundationTags(TagList& list) {
    ForEachEntry([&](TagEntry* entry) {
        if (!IsTagAvailable(entry)) return;
        for (const TagSource* source : entry->sources)
            if (source->archive && source->precedence == 0) {
                list.push_back(entry);
                return;
            }
    });
}

void DropUnavailableTags(TagList& list) {
    list.erase(std::remove_if(list.begin(), list.end(), [](TagEntry* tag) { return !IsTagAvailable(tag); }),
               list.end());
}

void SortTagList(TagList& list) {
    struct Key {
        u32 group;
        u32 tag_id;
        const char* name;
        TagEntry* tag;
    };
    std::vector<Key> keys;
    keys.reserve(list.size());
    for (TagEntry* tag : list) {
        const TagSource* source = GetEffectiveSource(tag);
        keys.push_back({tag->group, tag->tag_id, source ? source->header.name : "~codex_placeholder~", tag});
    }
    // (group, name, id) identifies a tag, so any correct sort gives the same order.
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.group != b.group) return a.group < b.group;
        int names = std::strncmp(a.name, b.name, sizeof(TagHeader::name));
        if (names != 0) return names < 0;
        if (a.tag_id != b.tag_id) return a.tag_id < b.tag_id;
        return a.tag < b.tag;
    });
    for (size_t i = 0; i < keys.size(); ++i) list[i] = keys[i].tag;
}

void AddTagSource(TagEntry* entry, TagSource* source) {
    if (source->precedence == kLocalPrecedence) entry->local_source = source;
    entry->sources.push_back(source);
    source->owner = entry;
    MarkLocalFolderChanged();
}

void RemoveTagSource(TagSource* source) {
    TagEntry* owner = source->owner;
    if (owner) {
        auto& sources = owner->sources;
        auto it = std::find(sources.begin(), sources.end(), source);
        if (it != sources.end()) sources.erase(it);
        if (owner->local_source == source) owner->local_source = nullptr;
    }
    source->owner = nullptr;
    if (source->precedence == kLocalPrecedence && !source->archive) delete source;
    if (owner && owner->sources.empty()) FreeTagEntry(owner);
    MarkLocalFolderChanged();
}

int FreeTagEntry(TagEntry* entry) {
    if (!entry->attachments.empty()) return 0;
    CodexState& codex = TheCodex();
    if (TagIdMap* ids = codex.groups.Find(entry->group)) {
        if (ids->Find(entry->tag_id) == entry) ids->Remove(entry->tag_id);
        if (ids->Count() == 0) delete codex.groups.Remove(entry->group);
    }
    // Archive sources die with their archive; only a stray local one is ours.
    for (TagSource* source : entry->sources) {
        source->owner = nullptr;
        if (!source->archive) delete source;
    }
    if (entry->read_stream) CloseFileStream(entry->read_stream);
    delete entry;  // an unfinished write's temporary file goes with its writer
    return 1;
}

void FreeUnusedTagEntries() {
    TagList unused;
    ForEachEntry([&](TagEntry* entry) {
        if (entry->sources.empty() && entry->attachments.empty()) unused.push_back(entry);
    });
    for (TagEntry* entry : unused) FreeTagEntry(entry);
}

void MarkLocalFolderChanged() { TheCodex().local_folder_changed = true; }
bool IsLocalFolderChanged() { return TheCodex().local_folder_changed; }

}  // namespace pirn
