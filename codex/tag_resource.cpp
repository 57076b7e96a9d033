#include "codex/tag_resource.h"

#include "codex/codex_catalogue.h"
#include "codex/tag_attachments.h"
#include "codex/tag_operations.h"

namespace pirn {

TagResource::TagResource(TagEntry* tag) : Resource(tag) {
    if (tag) AttachToTag(tag, kAttachResource, this);
}

TagResource::~TagResource() {
    if (tag()) DetachFromTag(tag(), kAttachResource, this);
}

int TagResource::Load() {
    std::FILE* stream = OpenTagForReading(tag(), &header);
    if (!stream) return 0;
    int ok = ReadTag(stream, &header);
    CloseTagForReading(tag());
    return ok ? 1 : 0;
}

int TagResource::Save() {
    std::FILE* stream = OpenTagForWriting(tag(), &header, nullptr);
    if (!stream) return 0;
    int ok = WriteTag(stream, &header) ? 1 : 0;
    // The header goes along so that what WriteTag set in it (the version of
    // the data it wrote) labels the file.
    return CloseTagForWriting(tag(), &header, ok) && ok ? 1 : 0;
}

void AddResourceReference(ResourceManager* manager, Resource* resource) {
    (void)manager;
    if (resource) ++resource->reference_count;
}

Resource* FindCachedResource(ResourceManager* manager, TagEntry* tag) {
    auto found = manager->resources.find(tag);
    return found == manager->resources.end() ? nullptr : found->second;
}

void InsertResource(ResourceManager* manager, Resource* resource) {
    manager->resources[resource->key()] = resource;
}

void ReleaseResource(ResourceManager* manager, Resource* resource) {
    if (!resource) return;
    if (resource->reference_count > 0) --resource->reference_count;
    if (resource->reference_count > 0) return;
    auto found = manager->resources.find(resource->key());
    if (found != manager->resources.end() && found->second == resource) manager->resources.erase(found);
    delete resource;
}

TagResource* TagResourceManagerBase::FindResource(u32 group, u32 tag_id) {
    if (tag_id == kNoTagId) return nullptr;
    TagEntry* tag = FindTag(group, tag_id);
    return tag ? FindOrLoadResource(tag) : nullptr;
}

TagResource* TagResourceManagerBase::FindOrLoadResource(TagEntry* tag) {
    if (!tag) return nullptr;
    auto* resource = static_cast<TagResource*>(FindCachedResource(this, tag));
    if (!resource) {
        resource = CreateResource(tag);
        if (!resource) return nullptr;
        if (!resource->Load()) {
            delete resource;
            return nullptr;
        }
        InsertResource(this, resource);
    }
    AddResourceReference(this, resource);
    return resource;
}

TagResource* TagResourceManagerBase::CreateTagResource(u32 group, const char* name, u32 tag_id) {
    TagHeader header{};
    TagEntry* tag = CreateTag(group, tag_id, name, &header, 0);
    if (!tag) return nullptr;
    TagResource* resource = CreateResource(tag);
    if (!resource) return nullptr;
    resource->header = header;
    resource->InitNew();
    InsertResource(this, resource);
    AddResourceReference(this, resource);
    return resource;
}

}  // namespace pirn
