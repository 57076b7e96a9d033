#include "codex/archive_list.h"

#include <algorithm>

#include "codex/codex_catalogue.h"
#include "codex/codex_state.h"
#include "platform/file_system.h"

namespace pirn {

Archive* AddArchive(const std::string& path) {
    if (Archive* open = FindArchiveByPath(path)) return open;
    Archive* archive = OpenArchiveFile(path);
    if (!archive) return nullptr;
    return AddOpenedArchive(archive, path);
}

u32 AddArchivesInFolder(const std::string& folder) {
    RemoveStaleSafeSaveFiles(folder);
    std::vector<std::string> files;
    ListDirectoryFiles(folder, files, false, true);
    std::sort(files.begin(), files.end());
    u32 added = 0;
    for (const std::string& path : files) added += AddArchive(path) ? 1 : 0;
    return added;
}

Archive* AddOpenedArchive(Archive* archive, const std::string& path) {
    archive->path = path;
    archive->file_name = path.substr(path.find_last_of("/\\") + 1);
    CodexState& codex = TheCodex();
    archive->open_order = codex.next_open_order++;
    // An entry whose id stands for "no tag" is not a tag of the catalogue
    // (nothing could find it by its id); it stays in the directory. In a
    // catalogue of a million tags each lookup misses the caches: with every
    // entry's group map found first, the slots of the entries a little
    // ahead are asked for early, so that the misses overlap instead of
    // coming one after another.
    std::vector<TagSource>& entries = archive->entries;
    std::vector<TagIdMap*> maps(entries.size(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].header.tag_id != kNoTagId) maps[i] = FindOrCreateGroupMap(entries[i].header.group);
    constexpr size_t kAhead = 16;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + kAhead < entries.size() && maps[i + kAhead])
            if (const void* slot = maps[i + kAhead]->FirstSlot(entries[i + kAhead].header.tag_id))
                __builtin_prefetch(slot);
        TagSource& source = entries[i];
        if (maps[i])
            AddTagSource(FindOrCreateTagEntryIn(maps[i], source.header.group, source.header.tag_id), &source);
    }
    codex.archives.push_back(archive);
    NotifyCodexListeners(kCodexArchiveAdded, nullptr, archive);
    return archive;
}

int CloseArchive(Archive* archive) {
    if (!archive) return 0;
    NotifyCodexListeners(kCodexArchiveClosing, nullptr, archive);
    for (const TagSource& source : archive->entries)
        if (source.owner && !source.owner->attachments.empty()) return 0;

    // Owners once each, in directory order (an archive may list a tag twice).
    TagList owners;
    for (const TagSource& source : archive->entries)
        if (source.owner) owners.push_back(source.owner);
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());

    // Tell listeners about every tag that vanishes while it still exists.
    TagList moved;
    for (TagEntry* tag : owners) {
        TagSource* effective = GetEffectiveSource(tag);
        bool kept_elsewhere = false;
        bool available_after = false;
        for (const TagSource* source : tag->sources) {
            if (source->archive == archive) continue;
            kept_elsewhere = true;
            if (!source->archive || source->archive->active) available_after = true;
        }
        if ((effective && !available_after) || !kept_elsewhere)
            NotifyCodexListeners(kCodexTagGone, tag, nullptr);
        else if (effective && effective->archive == archive)
            moved.push_back(tag);
    }

    for (TagSource& source : archive->entries)
        if (source.owner) RemoveTagSource(&source);

    CodexState& codex = TheCodex();
    codex.archives.erase(std::remove(codex.archives.begin(), codex.archives.end(), archive), codex.archives.end());
    bool was_active = archive->active;
    delete archive;

    for (TagEntry* tag : moved) NotifyCodexListeners(kCodexSourcesChanged, tag, nullptr);
    if (was_active) NotifyCodexListeners(kCodexWorkingSetChanged, nullptr, nullptr);
    return 1;
}

int CloseAndRemoveArchive(Archive* archive) {
    if (!archive) return 1;
    return CloseArchive(archive);
}

int CloseAllArchives() {
    ArchiveList archives = TheCodex().archives;
    int all = 1;
    for (Archive* archive : archives)
        if (!CloseArchive(archive)) all = 0;
    return all;
}

u32 CountArchives() { return static_cast<u32>(TheCodex().archives.size()); }

Archive* GetArchive(u32 index) {
    const ArchiveList& archives = TheCodex().archives;
    return index < archives.size() ? archives[index] : nullptr;
}

const char* GetArchiveName(const Archive* archive) { return archive ? archive->file_name.c_str() : ""; }

Archive* FindArchiveByName(const std::string& file_name) {
    for (Archive* archive : TheCodex().archives)
        if (archive->file_name == file_name) return archive;
    return nullptr;
}

Archive* FindArchiveByPath(const std::string& path) {
    for (Archive* archive : TheCodex().archives)
        if (archive->path == path) return archive;
    return nullptr;
}

bool IsArchiveActive(const Archive* archive) { return archive && archive->active; }

namespace {

i32 RankKey(const Archive* archive) {
    if (!archive->active) return -1;
    switch (archive->header.kind) {
        case 3: return -3;
        case 2: return -2;
        case 6: return -1;
        default: return archive->header.priority;
    }
}

}  // namespace

int CompareArchives(const Archive* a, const Archive* b) {
    i32 key_a = RankKey(a);
    i32 key_b = RankKey(b);
    if (key_a != key_b) return key_a < key_b ? -1 : 1;
    int names = a->file_name.compare(b->file_name);
    return names < 0 ? -1 : (names > 0 ? 1 : 0);
}

void GetWorkingSet(ArchiveList& list) {
    size_t first = list.size();
    for (Archive* archive : TheCodex().archives)
        if (archive->active) list.push_back(archive);
    std::stable_sort(list.begin() + static_cast<std::ptrdiff_t>(first), list.end(),
                     [](const Archive* a, const Archive* b) { return CompareArchives(a, b) < 0; });
}

void SetWorkingSet(const ArchiveList& list) {
    CodexState& codex = TheCodex();
    // Only archives that are really open can join; the identity order is the
    // order they were opened, so renumbering does not depend on addresses.
    ArchiveList members;
    for (Archive* archive : list)
        if (archive && std::find(codex.archives.begin(), codex.archives.end(), archive) != codex.archives.end())
            members.push_back(archive);
    std::sort(members.begin(), members.end(),
              [](const Archive* a, const Archive* b) { return a->open_order < b->open_order; });
    members.erase(std::unique(members.begin(), members.end()), members.end());

    for (Archive* archive : codex.archives) archive->active = false;
    u16 counter = 0;
    for (Archive* archive : members) {
        archive->active = true;
        u16 kind = archive->header.kind;
        if (kind == 1 || kind == 5 || kind == 7) archive->header.priority = counter++;
    }
    std::stable_sort(codex.archives.begin(), codex.archives.end(),
                     [](const Archive* a, const Archive* b) { return CompareArchives(a, b) < 0; });
    NotifyCodexListeners(kCodexWorkingSetChanged, nullptr, nullptr);
}

void SetDefaultWorkingSet() {
    ArchiveList defaults;
    for (Archive* archive : TheCodex().archives) {
        u16 kind = archive->header.kind;
        if (kind == 2 || kind == 3 || kind == 6) defaults.push_back(archive);
    }
    SetWorkingSet(defaults);
}

}  // namespace pirn

