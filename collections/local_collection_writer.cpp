#include "collections/local_collection_writer.h"

#include "codex/codex.h"
#include "codex/codex_log.h"
#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

void FreeIfUnused(TagEntry* tag) {
    if (tag && tag->sources.empty() && tag->attachments.empty()) FreeTagEntry(tag);
}

// A file name in the group folder that nothing uses, for a new file that
// must not take its final name until the tag there has gone.
std::string FreeStagingName(u32 tag_id) {
    const std::string folder = GetGroupFolderPath(GetLocalFolder(), kCollectionGroup);
    for (u32 n = 0;; ++n) {
        std::string name = FormatString("~new %08x %u", tag_id, n);
        if (!PathExists(folder + name, kPathAnyKind)) return name;
    }
}

}  // namespace

TagEntry* FindLocalCollectionByName(const char* name) {
    std::string safe;
    if (!MakeSafePathComponent(name, &safe)) return nullptr;
    TagList tags;
    ListLocalTags(tags);
    for (TagEntry* tag : tags)
        if (tag->group == kCollectionGroup && tag->local_source && tag->local_source->file_name == safe) return tag;
    return nullptr;
}

TagEntry* FindCollectionTarget(u32 tag_id, const char* name) {
    if (tag_id != kNoTagId) return FindTagEntry(kCollectionGroup, tag_id);
    return FindLocalCollectionByName(name);
}

TagEntry* SaveCollectionAsLocalTag(Collection* collection, u32 tag_id, const char* name) {
    std::string safe;
    if (GetLocalFolder().empty() || !MakeSafePathComponent(name, &safe) || tag_id == kKeepTagId) {
        LogCodex(2, "ERROR: the collection '%s' cannot be saved as a local tag.\n", name);
        return nullptr;
    }
    TagHeader header{};
    header.group = kCollectionGroup;
    header.owner_index = 0xFF;
    header.signature = kTagHeaderSignature;
    SetTagHeaderName(&header, name);
    TagEntry* in_the_way = FindLocalCollectionByName(name);
    if (tag_id == kNoTagId) {
        if (in_the_way) {
            tag_id = in_the_way->tag_id;
        } else {
            if (!MakeTagIdFromName(&header)) {
                LogCodex(2, "ERROR: no free tagid is left for the collection '%s'.\n", name);
                return nullptr;
            }
            tag_id = header.tag_id;
        }
    }
    header.tag_id = tag_id;
    TagEntry* target = FindOrCreateTagEntry(kCollectionGroup, tag_id);
    if (in_the_way == target) in_the_way = nullptr;
    if (!target->attachments.empty() || (in_the_way && !in_the_way->attachments.empty())) {
        LogCodex(2, "ERROR: the collection '%s' is in use; it is not replaced.\n", name);
        FreeIfUnused(target);
        return nullptr;
    }

    // The tag's own local file is replaced whole on commit; a new file whose
    // name another tag still holds waits under a staging name.
    std::string file_name;
    if (!target->local_source) file_name = in_the_way ? FreeStagingName(tag_id) : safe;
    std::FILE* out = OpenTagForWriting(target, &header, file_name.empty() ? nullptr : file_name.c_str());
    if (!out) return nullptr;
    const bool written = SaveCollection(collection, out, &header) == 1;
    if (!CloseTagForWriting(target, &header, written ? 1 : 0) || !written) {
        FreeIfUnused(target);
        return nullptr;
    }

    if (in_the_way && !DeleteTag(in_the_way))
        LogCodex(2, "ERROR: the local file of '%s' could not be replaced; the new collection was kept as '%s'.\n",
                 name, target->local_source ? target->local_source->file_name.c_str() : "");
    if (target->local_source && target->local_source->file_name != safe) {
        if (TagEntry* renamed = ChangeTagInfo(target, kKeepTagId, name)) target = renamed;
    }
    return target;
}

}  // namespace pirn
