#include "codex/local_folder.h"

#include <algorithm>
#include <cstring>

#include "codex/archive.h"
#include "codex/codex_catalogue.h"
#include "codex/codex_log.h"
#include "codex/codex_state.h"
#include "codex/safe_tag_name.h"
#include "codex/tag_group.h"
#include "codex/tag_source_stream.h"
#include "platform/file_ops.h"

namespace pirn {

namespace {

// A folder entry's user value remembers the tag id of its file; the marker
// bit tells a remembered id 0 from "nothing remembered".
constexpr u64 kRememberedId = u64{1} << 32;

bool HasActiveArchiveSource(const TagEntry* tag) {
    for (const TagSource* source : tag->sources)
        if (source->archive && source->archive->active) return true;
    return false;
}

enum class HeaderRead { kOk, kCannotOpen, kNotATag };

// Reads the header of one file of a group folder, quietly.
HeaderRead ReadGroupFolderFile(const std::string& file_name, u32 group, TagHeader* header) {
    std::string path = TheCodex().local_root + GroupFolderName(group) + "/" + file_name;
    u64 size = 0;
    std::FILE* stream = OpenRegularFileForReading(path, &size);
    if (!stream) return HeaderRead::kCannotOpen;
    // Only the 64-byte header is read: no point filling a whole buffer.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    bool ok = ReadLocalTagHeaderOfSize(stream, file_name, size, header);
    CloseFileStream(stream);
    return ok ? HeaderRead::kOk : HeaderRead::kNotATag;
}

// Reads and checks one file of a group folder. false when it is not a tag
// of this folder's group, or (with *unreadable set) could not be opened.
bool ReadGroupFolderHeader(const FolderEntry& entry, const TagGroupInfo* row, TagHeader* header,
                           bool* unreadable = nullptr) {
    const std::string& file_name = entry.name;
    const std::string label = TagGroupLabelText(row->code);
    HeaderRead read = ReadGroupFolderFile(file_name, row->code, header);
    if (unreadable) *unreadable = read == HeaderRead::kCannotOpen;
    if (read == HeaderRead::kCannotOpen) {
        LogCodex(1, "ERROR: '%s' in the '%s' folder could not be opened.\n", file_name.c_str(), label.c_str());
        return false;
    }
    if (read == HeaderRead::kNotATag) {
        LogCodex(1, "ERROR: '%s' in the '%s' folder is not a tag file (too short or no tag header).\n",
                 file_name.c_str(), label.c_str());
        return false;
    }
    if (header->group != row->code) {
        if (FindTagGroup(header->group))
            LogCodex(1, "'%s', a '%s' file, was found in the '%s' folder.\n", file_name.c_str(),
                     TagGroupLabelText(header->group).c_str(), label.c_str());
        return false;
    }
    // That id stands for "no tag": nothing could find the tag by it, so
    // nothing would ever take it out of the catalogue again.
    if (header->tag_id == kNoTagId) {
        LogCodex(1, "ERROR: '%s' in the '%s' folder has the tag id 0xffffffff, which stands for no tag.\n",
                 file_name.c_str(), label.c_str());
        return false;
    }
    return true;
}

// The tag of the group whose local copy is the file of that name, or null.
TagEntry* FindLocalTagOfFile(u32 group, const std::string& file_name) {
    TagList local;
    ListLocalTags(local);
    for (TagEntry* tag : local)
        if (tag->group == group && tag->local_source->file_name == file_name) return tag;
    return nullptr;
}

// (1, the tag) when a local source was added; (0, the existing tag of that
// group and id, if any) when refused. A file that cannot be opened just now
// (a failing disk, a moment without permission) is no reason to forget the
// tag the catalogue knows in it: that tag is the answer then.
int ReadLocalTagFile(const FolderEntry& entry, const TagGroupInfo* row, TagEntry** tag) {
    *tag = nullptr;
    TagHeader header{};
    bool unreadable = false;
    if (!ReadGroupFolderHeader(entry, row, &header, &unreadable)) {
        if (unreadable) *tag = FindLocalTagOfFile(row->code, entry.name);
        return 0;
    }
    TagSource* source = AddLocalTagSource(header, entry.name);
    if (source) {
        *tag = source->owner;
        return 1;
    }
    *tag = FindTagEntry(header.group, header.tag_id);
    return 0;
}

void AddLocalTagFile(FolderEntry* entry, const TagGroupInfo* row) {
    TagEntry* tag = nullptr;
    if (!ReadLocalTagFile(*entry, row, &tag)) {
        // The same file seen again (after a save or a rename) counts; a
        // refused file remembers nothing (it may have held another id).
        if (!tag || !tag->local_source || tag->local_source->file_name != entry->name) {
            entry->user = 0;
            return;
        }
    }
    entry->user = kRememberedId | tag->tag_id;
    NotifyCodexListeners(HasActiveArchiveSource(tag) ? kCodexSourcesChanged : kCodexTagAvailable, tag, nullptr);
}

// Tags whose local copy went: a file of the group folder that was refused
// as a duplicate of one of them becomes its copy after the next poll of the
// watchers (it was never remembered, so nothing else would look at it
// again). Kept as (group, id): the watchers may be replaced meanwhile.
struct OrphanedTag {
    u32 group;
    u32 tag_id;
};
std::vector<OrphanedTag>& OrphanedTags() {
    static std::vector<OrphanedTag> orphans;
    return orphans;
}

void RemoveLocalTagFile(FolderEntry* entry, const TagGroupInfo* row) {
    if (!(entry->user & kRememberedId)) return;
    TagEntry* tag = FindTag(row->code, static_cast<u32>(entry->user));
    // Only the file that really is the local copy takes it away: after a
    // rename the source already carries the new name.
    if (!tag || !tag->local_source || tag->local_source->file_name != entry->name) return;
    RemoveLocalSource(tag);
}

// Runs after the watchers took their new snapshots, so the remembered id
// set here stays with the file.
void AdoptRefusedDuplicates() {
    std::vector<OrphanedTag> orphans;
    orphans.swap(OrphanedTags());
    FolderWatcherList& watchers = TheCodex().watchers;
    for (const OrphanedTag& orphan : orphans) {
        const TagEntry* tag = FindTagEntry(orphan.group, orphan.tag_id);
        if (tag && tag->local_source) continue;
        const int index = TagGroupIndex(orphan.group);
        if (index < 0 || static_cast<size_t>(index) >= watchers.watchers.size()) continue;
        const TagGroupInfo* row = &GetTagGroupTable()[index];
        for (FolderEntry& other : watchers.watchers[static_cast<size_t>(index)]->snapshot_entries()) {
            if ((other.user & kRememberedId) || other.info.IsFolder()) continue;
            TagHeader header{};
            if (ReadGroupFolderFile(other.name, row->code, &header) != HeaderRead::kOk) continue;
            if (header.group != row->code || header.tag_id != orphan.tag_id) continue;
            AddLocalTagFile(&other, row);
            break;
        }
    }
}

void ChangeLocalTagFile(FolderEntry* entry, const TagGroupInfo* row) {
    TagEntry* tag = (entry->user & kRememberedId) ? FindTag(row->code, static_cast<u32>(entry->user)) : nullptr;
    if (!tag) {
        AddLocalTagFile(entry, row);
        return;
    }
    TagHeader header{};
    bool unreadable = false;
    if (!ReadGroupFolderHeader(*entry, row, &header, &unreadable)) {
        // The file is still there; what the catalogue knew of it stays
        // until it can be read again.
        if (!unreadable) RemoveLocalTagFile(entry, row);
        return;
    }
    TagSource* local = tag->local_source;
    if (local && local->file_name == entry->name && header.tag_id == tag->tag_id) {
        local->header = header;
        NotifyCodexListeners(kCodexSourcesChanged, tag, nullptr);
        return;
    }
    RemoveLocalTagFile(entry, row);
    AddLocalTagFile(entry, row);
}

void OnLocalFolderChange(FolderWatcher& watcher, int event, const FileInfo&, FolderEntry* entry) {
    const TagGroupInfo* row = static_cast<const TagGroupInfo*>(watcher.user());
    if (!entry || !row) return;
    switch (event) {
        case kFileAdded: AddLocalTagFile(entry, row); break;
        case kFileChanged: ChangeLocalTagFile(entry, row); break;
        case kFileRemoved: RemoveLocalTagFile(entry, row); break;
        default: break;
    }
}

void PollLocalWatchers() {
    PollFolderWatchers(TheCodex().watchers, OnLocalFolderChange);
    AdoptRefusedDuplicates();
}

}  // namespace

void SetLocalFolder(const std::string& path) {
    CodexState& codex = TheCodex();
    codex.local_root = EnsureTrailingSlash(path.empty() ? std::string(".") : path);
    DropLocalTags();
    FreeFolderWatchers(codex.watchers);
    // What interrupted saves left goes first (earlier versions kept their
    // temporary files in the root).
    RemoveStaleSafeSaveFiles(codex.local_root);
    for (u32 i = 0; i < kTagGroupCount; ++i) {
        const TagGroupInfo* row = &GetTagGroupTable()[i];
        RemoveStaleSafeSaveFiles(codex.local_root + GroupFolderName(row->code) + "/");
        AddFolderWatcher(codex.watchers, codex.local_root + GroupFolderName(row->code) + "/",
                         const_cast<TagGroupInfo*>(row), true);
    }
    PollLocalWatchers();
    codex.local_folder_changed = false;
}

const std::string& GetLocalFolder() { return TheCodex().local_root; }

void PollLocalFolder(bool forced) {
    CodexState& codex = TheCodex();
    if (!forced && !codex.local_folder_changed) return;
    PollLocalWatchers();
    codex.local_folder_changed = false;
}

TagSource* AddLocalTagSource(const TagHeader& header, const std::string& file_name) {
    TagEntry* entry = FindOrCreateTagEntry(header.group, header.tag_id);
    if (entry->local_source) {
        if (entry->local_source->file_name != file_name)
            LogCodex(1, "duplicate tagids detected: in the '%s' folder, '%s' and '%s' have the same tagids.\n",
                     TagGroupLabelText(header.group).c_str(), file_name.c_str(),
                     entry->local_source->file_name.c_str());
        return nullptr;
    }
    TagSource* source = new TagSource;
    source->precedence = kLocalPrecedence;
    source->header = header;
    source->file_name = file_name;
    AddTagSource(entry, source);
    return source;
}

TagSource* AnnounceLocalTagSource(const TagHeader& header, const std::string& file_name) {
    TagSource* source = AddLocalTagSource(header, file_name);
    if (source)
        NotifyCodexListeners(HasActiveArchiveSource(source->owner) ? kCodexSourcesChanged : kCodexTagAvailable,
                             source->owner, nullptr);
    return source;
}

void RemoveLocalSource(TagEntry* tag) {
    if (!tag || !tag->local_source) return;
    OrphanedTags().push_back({tag->group, tag->tag_id});
    if (HasActiveArchiveSource(tag)) {
        RemoveTagSource(tag->local_source);
        NotifyCodexListeners(kCodexSourcesChanged, tag, nullptr);
    } else {
        NotifyCodexListeners(kCodexTagGone, tag, nullptr);
        RemoveTagSource(tag->local_source);
    }
}

int DropLocalTags() {
    TagList local;
    ListLocalTags(local);
    std::sort(local.begin(), local.end(), [](const TagEntry* a, const TagEntry* b) {
        return a->group != b->group ? a->group < b->group : a->tag_id < b->tag_id;
    });
    for (TagEntry* tag : local) {
        if (!tag->attachments.empty()) return 0;
        RemoveLocalSource(tag);
    }
    return 1;
}

std::string GetGroupFolderPath(const std::string& root, u32 group) {
    std::string path = root + GroupFolderName(group);
    NormalizeDirectoryPath(path);
    return path;
}

std::string GetLocalTagPath(const TagHeader& header, const char* file_name) {
    return TheCodex().local_root + GroupFolderName(header.group) + "/" +
           (file_name ? std::string(file_name) : SafeTagFileName(header.name, header.tag_id));
}

bool LocalTagFileExists(u32 group, const char* name) {
    std::string safe;
    if (!MakeSafePathComponent(name ? name : "", &safe)) return false;
    return PathExists(TheCodex().local_root + GroupFolderName(group) + "/" + safe, kPathIsFile);
}

}  // namespace pirn
