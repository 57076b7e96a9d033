#pragma once
// The four tags a model becomes, as data before any of them is written: a
// geometry ('geom'), a collection ('.256') with one bitmap and one one-frame
// sequence per texture, a collection reference ('core') from the geometry to
// that collection, and a model tag ('mode') pointing at the geometry. The
// import writes them through the Codex (models/model_tag_builder.h); the
// demo game generator encodes them into its own folder.

#include <cstdio>
#include <string>

#include "codex/tag_header.h"
#include "collections/collection.h"
#include "editors/collection_reference.h"
#include "models/geom_data.h"
#include "models/model_mode_data.h"
#include "models/model_object.h"

namespace pirn {

// The four tags in the order they are created (and rolled back).
enum ModelTagKind : int { kModelTagGeom = 0, kModelTagCollection, kModelTagReference, kModelTagMode, kModelTagCount };

// Group code of each kind: 'geom', '.256', 'core', 'mode'.
u32 ModelTagGroup(int kind);
constexpr u16 kModelReferenceTagVersion = 1;

struct ModelTagIds {
    u32 id[kModelTagCount] = {};
};

struct ModelTagSet {
    ModelTagSet() { InitCollection(&collection); }
    ModelTagSet(const ModelTagSet&) = delete;
    ModelTagSet& operator=(const ModelTagSet&) = delete;
    ~ModelTagSet() { FreeCollection(&collection); }

    GeomData geom;
    Collection collection;
    CollectionReference reference;
    ModeData mode;
};

// The collection of a model's textures: every colour image quantised into
// one shared colour table (entries 0 and 1 kept for the transparent
// colours), each image a 2-byte bitmap named after its file with its own
// alpha (the alpha image's when that has the image's size), and per texture
// a 1 x 1 sequence named after the texture showing its bitmap. A texture
// without pixels gets its sequence with an empty view, since a collection
// bitmap needs at least one pixel; it draws untextured. False with a
// message when a texture cannot become a bitmap.
bool BuildTextureCollection(const ModelObject& model, const std::string& name, Collection* collection,
                            std::string* message);

// The reference record a model's 'core' tag holds: the collection's id,
// 1 in the first value and 0xFFFF in values 2 to 163.
CollectionReference MakeModelCollectionReference(u32 collection_id);

// Every tag's data from the model and the ids the four tags will have.
// False with a message when the model does not fit a geometry (counts past
// 65,535, coordinates past +-64 units) or its textures a collection.
bool BuildModelTagSet(const ModelObject& model, const std::string& name, const ModelTagIds& ids, ModelTagSet* set,
                      std::string* message);

// Writes one tag's data to a stream positioned at the header's data offset
// and sets the header's version (and, for the collection, its user data).
// False when the data is refused or a write fails.
bool WriteModelTagData(ModelTagSet* set, int kind, std::FILE* stream, TagHeader* header);

}  // namespace pirn
