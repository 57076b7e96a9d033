#pragma once
// The textures of a geometry tag for display: the collection its 'core'
// reference names, and for each material the first bitmap of the
// material's sequence. Whatever is missing (the reference, the collection,
// a sequence, a view, a bitmap) leaves that texture empty, and its
// triangles draw untextured.

#include <cstdio>
#include <memory>

#include "codex/tag_header.h"
#include "collections/collection.h"
#include "models/geom_data.h"
#include "models/geom_to_model.h"
#include "models/model_object.h"

namespace pirn {

struct CollectionDeleter {
    void operator()(Collection* collection) const;
};
using CollectionHolder = std::unique_ptr<Collection, CollectionDeleter>;

// The collection of the 'core' tag with that id, read from the effective
// copies of both tags; null when either is missing or does not load.
CollectionHolder LoadReferencedCollection(u32 core_tag_id);

// The texture from a 2-byte bitmap: its colour indices with the
// collection's colour table as the colour image, its alpha bytes as the
// alpha image. False (texture unchanged) for other bitmaps.
bool TextureFromCollectionBitmap(const Collection& collection, const CollectionBitmap& bitmap,
                                 ModelTexture* texture);

// The filler GeomDataToModel calls per material: the name of the
// material's sequence, and the bitmap of its first frame's first view with
// that bitmap's name as the file name. A null collection fills nothing.
GeomTextureFiller MakeCollectionTextureFiller(const Collection* collection);

// The display model of a geometry with the textures of its collection.
std::unique_ptr<ModelObject> BuildGeomDisplayModel(const GeomData& geom, GeomDisplayProblems* problems);

// Reads a 'geom' tag's data (the stream at the data offset of `header`);
// null when it cannot be read.
std::unique_ptr<GeomData> LoadGeomModel(std::FILE* stream, const TagHeader& header);

}  // namespace pirn
