#pragma once
// Tags that several windows show at once (a detail texture in its editor and
// in every terrain editor that uses it) are loaded once into a
// reference-counted TagResource kept by a ResourceManager keyed by the tag.
// A live resource is attached to its tag under 'tres', so the tag counts as
// in use: it cannot be deleted and its archive cannot be closed.

#include <cstdio>
#include <map>

#include "codex/tag_entry.h"
#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

class Resource {
public:
    explicit Resource(TagEntry* key) : key_(key) {}
    virtual ~Resource() = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    TagEntry* key() const { return key_; }
    u32 reference_count = 0;

private:
    TagEntry* key_;
};

class TagResource : public Resource {
public:
    // Attaches the resource to the tag under 'tres'.
    explicit TagResource(TagEntry* tag);
    // Detaches from the tag (which the catalogue may then free).
    ~TagResource() override;

    virtual const char* GetClassName() const { return "TagResource"; }
    // Reads the tag's effective copy through ReadTag. 1 on success.
    virtual int Load();
    // Writes the tag into the local folder through WriteTag; the file
    // replaces the old one only when WriteTag succeeded. 1 on success.
    virtual int Save();
    // Fills the resource with the defaults of a new tag.
    virtual void InitNew() = 0;
    // The stream is open on a copy whose data starts at tag_header.data_offset
    // and holds tag_header.data_length bytes.
    virtual int ReadTag(std::FILE* stream, TagHeader* tag_header) = 0;
    virtual int WriteTag(std::FILE* stream, TagHeader* tag_header) = 0;

    TagEntry* tag() const { return key(); }
    TagHeader header{};
    u32 flag = 0;  // for the derived class's own use
};

class ResourceManager {
public:
    virtual ~ResourceManager() = default;
    std::map<TagEntry*, Resource*> resources;
};

class TagResourceManagerBase : public ResourceManager {
public:
    virtual TagResource* CreateResource(TagEntry* tag) = 0;

    // The resource of the available tag (group, tag_id) with one more
    // reference, or null (tag id 0xFFFFFFFF asks nothing of the catalogue).
    TagResource* FindResource(u32 group, u32 tag_id);
    // The cached resource, or a new one loaded from the tag (null when the
    // load fails); one more reference either way.
    TagResource* FindOrLoadResource(TagEntry* tag);
    // A resource for a new tag (made by CreateTag, never overwriting), with
    // InitNew's defaults and one reference; nothing is written until Save.
    TagResource* CreateTagResource(u32 group, const char* name, u32 tag_id);
};

template <class T>
class TagResourceManager : public TagResourceManagerBase {
public:
    TagResource* CreateResource(TagEntry* tag) override { return new T(tag); }
    T* Find(u32 group, u32 tag_id) { return static_cast<T*>(FindResource(group, tag_id)); }
    T* FindOrLoad(TagEntry* tag) { return static_cast<T*>(FindOrLoadResource(tag)); }
    T* Create(u32 group, const char* name, u32 tag_id) {
        return static_cast<T*>(CreateTagResource(group, name, tag_id));
    }
};

void AddResourceReference(ResourceManager* manager, Resource* resource);
Resource* FindCachedResource(ResourceManager* manager, TagEntry* tag);
void InsertResource(ResourceManager* manager, Resource* resource);
// At zero references the resource leaves the map and is destroyed.
void ReleaseResource(ResourceManager* manager, Resource* resource);

}  // namespace pirn
