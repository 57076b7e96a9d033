#include "models/model_tag_set.h"

#include <algorithm>
#include <cstring>

#include <sys/types.h>

#include "codex/four_char_code.h"
#include "collections/collection_records.h"
#include "collections/collection_tag.h"
#include "models/geom_from_model.h"
#include "platform/palette_remap.h"
#include "platform/strings.h"

namespace pirn {

namespace {

bool Refuse(std::string* message, const std::string& text) {
    if (message) *message = text;
    return false;
}

// Every texture with pixels as RGBA, quantised together into a table whose
// entries 0 and 1 stay the transparent colours; textures without pixels
// stay empty images.
u32 QuantiseTextures(const ModelObject& model, std::vector<PixelImage>* images, u8 table[kColorTableBytes]) {
    images->assign(model.textures.size(), PixelImage());
    std::vector<PixelImage*> quantised;
    for (size_t i = 0; i < model.textures.size(); ++i) {
        if (ModelTextureRgba(model.textures[i], &(*images)[i])) quantised.push_back(&(*images)[i]);
    }
    return BuildSharedPalette(quantised, kFormatIndexAlpha, table);
}

}  // namespace

u32 ModelTagGroup(int kind) {
    static const u32 kGroups[kModelTagCount] = {MakeFourCC("geom"), MakeFourCC(".256"), MakeFourCC("core"),
                                                MakeFourCC("mode")};
    return kind >= 0 && kind < kModelTagCount ? kGroups[kind] : 0;
}

bool BuildTextureCollection(const ModelObject& model, const std::string& name, Collection* collection,
                            std::string* message) {
    FreeCollection(collection);
    InitCollection(collection);
    std::strncpy(collection->name, name.c_str(), sizeof(collection->name) - 1);
    std::vector<PixelImage> images;
    u8 table[kColorTableBytes] = {};
    const u32 colours = QuantiseTextures(model, &images, table);
    SetCollectionColorTable(collection, table, std::max<u32>(colours, 2));
    for (size_t i = 0; i < model.textures.size(); ++i) {
        const ModelTexture& texture = model.textures[i];
        const PixelImage& image = images[i];
        CollectionBitmap* bitmap = nullptr;
        if (HasWholePixels(image)) {
            if (image.format != kFormatIndexAlpha)
                return Refuse(message, FormatString("Texture '%s' could not be brought into the model's colours.",
                                                    texture.file_name.c_str()));
            bitmap = AddCollectionBitmap(collection, texture.file_name.c_str(), 0, image.pixels.data(), image.width,
                                         image.height, 2, nullptr);
            if (!bitmap)
                return Refuse(message, FormatString("Texture '%s' (%u x %u) is too large for a collection bitmap.",
                                                    texture.file_name.c_str(), image.width, image.height));
        }
        CollectionSequence* sequence = AddSequence(collection, texture.name.c_str());
        ResizeSequence(sequence, 1, 1);
        GetSequenceInstance(sequence, 0, 0)->standard.bitmap = bitmap;
    }
    std::string reason;
    if (!CheckCollectionStorable(*collection, &reason))
        return Refuse(message, "The textures do not fit a collection: " + reason + ".");
    return true;
}

CollectionReference MakeModelCollectionReference(u32 collection_id) {
    CollectionReference record{};
    record.collection = collection_id;
    record.values[0] = 1;
    // Bytes 8 to 331 of the record: values 2 to 163.
    for (int i = 2; i <= 163; ++i) record.values[i] = 0xFFFF;
    return record;
}

bool BuildModelTagSet(const ModelObject& model, const std::string& name, const ModelTagIds& ids, ModelTagSet* set,
                      std::string* message) {
    if (!BuildGeomData(model, ids.id[kModelTagReference], &set->geom, message)) return false;
    if (!BuildTextureCollection(model, name, &set->collection, message)) return false;
    set->reference = MakeModelCollectionReference(ids.id[kModelTagCollection]);
    BuildModeData(set->geom, ids.id[kModelTagGeom], &set->mode);
    return true;
}

bool WriteModelTagData(ModelTagSet* set, int kind, std::FILE* stream, TagHeader* header) {
    switch (kind) {
        case kModelTagGeom:
            header->version = kGeomTagVersion;
            return WriteGeomData(&set->geom, stream, *header) == 1;
        case kModelTagCollection:
            return SaveCollection(&set->collection, stream, header) == 1;
        case kModelTagReference:
            header->version = kModelReferenceTagVersion;
            return ::fseeko(stream, static_cast<off_t>(header->data_offset), SEEK_SET) == 0 &&
                   WriteCollectionReference(set->reference, stream) == kCollectionReferenceSize;
        case kModelTagMode:
            header->version = kModeTagVersion;
            return WriteModeData(&set->mode, stream, *header) == 1;
        default:
            return false;
    }
}

}  // namespace pirn
