#include "editors/struct_collection_cache.h"

#include <map>
#include <memory>
#include <tuple>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_attachments.h"
#include "codex/tag_operations.h"
#include "collections/collection_tag.h"
#include "editors/collection_reference.h"
#include "editors/struct_member.h"

namespace pirn {

namespace {

constexpr u32 kCollectionGroup = MakeFourCC(".256");
constexpr u32 kCollectionReferenceGroup = MakeFourCC("core");

struct CacheKey {
    const void* editor;
    const StructMember* member;
    u32 index;
    bool operator<(const CacheKey& o) const {
        return std::tie(editor, member, index) < std::tie(o.editor, o.member, o.index);
    }
};

struct CacheEntry {
    u32 group = 0;
    u32 tag_id = kNoTagId;
    TagEntry* tag = nullptr;
    Collection* collection = nullptr;
};

std::map<CacheKey, CacheEntry>& Cache() {
    static std::map<CacheKey, CacheEntry> cache;
    return cache;
}

// Gives back the entry's reference; the collection goes with the last one.
void ReleaseEntry(CacheEntry& entry) {
    if (entry.collection && entry.tag) {
        Collection* collection = entry.collection;
        if (DetachFromTag(entry.tag, kAttachStructEditor, collection) == 0) {
            FreeCollection(collection);
            delete collection;
        }
    }
    entry = CacheEntry{};
}

}  // namespace

Collection* LoadCollectionFromTag(TagEntry* tag) {
    TagHeader header;
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return nullptr;
    auto collection = std::make_unique<Collection>();
    InitCollection(collection.get());
    const int loaded = LoadCollection(collection.get(), stream, &header, false);
    CloseTagForReading(tag);
    if (!loaded) {
        FreeCollection(collection.get());
        return nullptr;
    }
    return collection.release();
}

Collection* LookupCachedCollection(const void* editor, const TagMember& member, u32 index, u32 tag_id) {
    if (member.group == kCollectionReferenceGroup) tag_id = CoreCollectionId(tag_id);
    CacheEntry& entry = Cache()[CacheKey{editor, &member, index}];
    if (entry.collection && entry.group == member.group && entry.tag_id == tag_id) return entry.collection;
    ReleaseEntry(entry);
    TagEntry* tag = tag_id == kNoTagId ? nullptr : FindTag(kCollectionGroup, tag_id);
    if (!tag) return nullptr;
    auto* collection = static_cast<Collection*>(FindTagAttachment(tag, kAttachStructEditor));
    if (!collection) collection = LoadCollectionFromTag(tag);
    if (!collection) return nullptr;
    AttachToTag(tag, kAttachStructEditor, collection);
    entry.group = member.group;
    entry.tag_id = tag_id;
    entry.tag = tag;
    entry.collection = collection;
    return collection;
}

void DropCachedCollections(const void* editor) {
    auto& cache = Cache();
    for (auto it = cache.begin(); it != cache.end();) {
        if (it->first.editor != editor) {
            ++it;
            continue;
        }
        ReleaseEntry(it->second);
        it = cache.erase(it);
    }
}

size_t CachedCollectionEntryCount() { return Cache().size(); }

Collection* FindSharedCollection(const TagEntry* collection_tag) {
    return collection_tag ? static_cast<Collection*>(FindTagAttachment(collection_tag, kAttachStructEditor)) : nullptr;
}

}  // namespace pirn
