#include "models/geom_textures.h"

#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_operations.h"
#include "collections/collection_tag.h"
#include "editors/collection_reference.h"

namespace pirn {

void CollectionDeleter::operator()(Collection* collection) const {
    FreeCollection(collection);
    delete collection;
}

CollectionHolder LoadReferencedCollection(u32 core_tag_id) {
    const u32 collection_id = CoreCollectionId(core_tag_id);
    if (collection_id == kNoTagId) return nullptr;
    TagEntry* tag = FindTag(MakeFourCC(".256"), collection_id);
    if (!tag) return nullptr;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return nullptr;
    CollectionHolder collection(new Collection);
    InitCollection(collection.get());
    const int loaded = LoadCollection(collection.get(), stream, &header, true);
    CloseTagForReading(tag);
    return loaded ? std::move(collection) : nullptr;
}

bool TextureFromCollectionBitmap(const Collection& collection, const CollectionBitmap& bitmap,
                                 ModelTexture* texture) {
    PixelImage colour, alpha;
    if (!ExportBitmapColors(collection, bitmap, &colour) || !ExportBitmapAlpha(bitmap, &alpha)) return false;
    texture->colour = std::move(colour);
    texture->alpha = std::move(alpha);
    return true;
}

GeomTextureFiller MakeCollectionTextureFiller(const Collection* collection) {
    if (!collection) return nullptr;
    return [collection](u32, const GeomMaterial& material, ModelTexture* texture) {
        // Indices come from the tag: each is checked before it is followed.
        const CollectionSequence* sequence = GetCollectionSequence(*collection, material.sequence_index);
        if (!sequence) return;
        texture->name.assign(sequence->name, strnlen(sequence->name, sizeof(sequence->name)));
        if (sequence->frames.empty() || sequence->frames[0].instances.empty()) return;
        const CollectionBitmap* bitmap = sequence->frames[0].instances[0].standard.bitmap;
        if (!bitmap || FindCollectionBitmap(*collection, bitmap) < 0) return;
        if (TextureFromCollectionBitmap(*collection, *bitmap, texture)) texture->file_name.assign(bitmap->name, strnlen(bitmap->name, sizeof(bitmap->name)));
    };
}

std::unique_ptr<ModelObject> BuildGeomDisplayModel(const GeomData& geom, GeomDisplayProblems* problems) {
    CollectionHolder collection = LoadReferencedCollection(geom.header.core_tag_id);
    return GeomDataToModel(geom, MakeCollectionTextureFiller(collection.get()), problems);
}

std::unique_ptr<GeomData> LoadGeomModel(std::FILE* stream, const TagHeader& header) {
    auto geom = std::make_unique<GeomData>();
    if (!ReadGeomData(geom.get(), stream, header)) return nullptr;
    return geom;
}

}  // namespace pirn
