#include "models/mesh_edit_load.h"

#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_operations.h"
#include "collections/collection_tag.h"
#include "models/detail_map_tag.h"
#include "models/mesh_highlight_palette.h"
#include "models/terrain_colour_texture.h"
#include "platform/strings.h"

namespace pirn {

namespace {

constexpr const char* kConflictTitle = "dmap tagid conflict detected";
constexpr const char* kConflictText =
    "WARNING: A the dmap tag %s (%s) matches this color map, but its dimensions do not match. If you edit and save "
    "the dmap on this mesh, it will overwrite the existing file, and the meshes which used that dmap will no longer "
    "have working detail textures.";

std::string HeaderName(const TagHeader& header) {
    return std::string(header.name, strnlen(header.name, sizeof(header.name)));
}

bool LoadTerrainCollection(Collection* collection, u32 id) {
    TagEntry* tag = FindTag(kCollectionTagGroup, id);
    if (!tag) return false;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return false;
    const int ok = LoadCollection(collection, stream, &header, true);
    CloseTagForReading(tag);
    return ok == 1;
}

void LoadMedia(MediaWave* wave, u32 id) {
    SetDefaultMediaWave(wave);
    TagEntry* tag = id == kNoTagId ? nullptr : FindTag(kMediaGroup, id);
    if (!tag) return;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (stream && !ReadMediaWave(wave, stream, header)) SetDefaultMediaWave(wave);
    if (stream) CloseTagForReading(tag);
}

}  // namespace

void RebuildSlots(MeshEditData* data) {
    for (u32 slot = 0; slot < kDetailSlotCount; ++slot) SetSlotTexture(data, slot, false);
}

bool AdoptDetailMap(MeshEditData* data, const DetailMap& map) {
    if (map.width != data->columns || map.height != data->rows) return false;
    if (!ResetMeshPlanes(data)) return false;
    for (u32 i = 0; i < kDetailSlotCount; ++i) {
        DetailTextureSlot& slot = data->slots[i];
        slot.entry = map.entries[i];
        slot.entry.description[sizeof(slot.entry.description) - 1] = 0;
        slot.scale = u32(map.entries[i].attribute) + 1;
        std::memcpy(data->palette + i * 3, map.entries[i].highlight, 3);
    }
    std::memcpy(data->vertex_plane.values.data(), map.byte_plane.data(), map.byte_plane.size());
    for (size_t cell = 0; cell < map.word_plane.size(); ++cell) {
        data->triangle_plane.values[2 * cell] = static_cast<u8>(map.word_plane[cell]);
        data->triangle_plane.values[2 * cell + 1] = static_cast<u8>(map.word_plane[cell] >> 8);
    }
    SyncSavedPlanes(data);
    data->detail_map_present = true;
    data->tool = kMeshDetailMapTool;
    data->detail_textures = true;
    data->highlighting = true;
    RebuildSlots(data);
    return true;
}

bool LoadMatchingDetailMap(MeshEditData* data, MeshLoadResult* result) {
    TagEntry* tag = FindTag(kDmapGroup, data->collection_id);
    if (!tag) return false;
    std::unique_ptr<DetailMap> map = LoadDetailMapTag(tag);
    if (!map) return false;
    if (map->width != data->columns || map->height != data->rows) {
        TagHeader header{};
        GetTagHeader(tag, &header);
        char id[5];
        FourCCToChars(data->collection_id, id);
        if (result) {
            result->conflict_title = kConflictTitle;
            result->conflict_text = FormatString(kConflictText, id, HeaderName(header).c_str());
        }
        return false;
    }
    return AdoptDetailMap(data, *map);
}

int LoadMeshEditData(MeshEditData* data, std::FILE* stream, const TagHeader& header, bool bordered,
                     MeshLoadResult* result) {
    std::unique_ptr<MeshMap> mesh = LoadMeshMap(stream, header);
    if (!mesh) return 0;
    Collection collection;
    InitCollection(&collection);
    if (!LoadTerrainCollection(&collection, mesh->header.U32At(0))) return 0;
    data->mesh = std::move(mesh);
    data->columns = data->mesh->columns;
    data->rows = data->mesh->rows;
    data->collection_id = data->mesh->header.U32At(0);
    data->collection_name = std::string(collection.name, strnlen(collection.name, sizeof(collection.name)));
    LoadMedia(&data->media, data->mesh->header.U32At(4));
    LoadMatchingDetailMap(data, result);
    if (!SetupMeshBlocks(data)) return 0;
    std::vector<u8> lookup;
    BuildShadeLookup(&lookup, collection.colors, data->mesh->header);
    MakeBlockTextures(data, collection, lookup, bordered);
    for (MeshBlockRecord& block : data->blocks) {
        BuildBlockCells(data, &block, block.first_column, block.first_column + kMeshBlockCells, block.first_row,
                        block.first_row + kMeshBlockCells);
        ComputeBlockBox(&block);
    }
    FreeCollection(&collection);
    return 1;
}

bool MakeDetailMapFromData(const MeshEditData& data, DetailMap* map) {
    if (!data.planes_exist || !SetDetailMapSize(map, data.columns, data.rows)) return false;
    for (u32 i = 0; i < kDetailSlotCount; ++i) {
        map->entries[i] = data.slots[i].entry;
        map->entries[i].attribute = static_cast<u8>(data.slots[i].scale - 1);
        std::memcpy(map->entries[i].highlight, data.palette + i * 3, 3);
    }
    std::memcpy(map->byte_plane.data(), data.vertex_plane.values.data(), map->byte_plane.size());
    for (size_t cell = 0; cell < map->word_plane.size(); ++cell)
        map->word_plane[cell] = static_cast<u16>(data.triangle_plane.values[2 * cell] |
                                                 (data.triangle_plane.values[2 * cell + 1] << 8));
    return true;
}

int SaveDetailMap(MeshEditData* data) {
    // Nothing painted, nothing to save: that is not a failure.
    if (!data->planes_exist) return 1;
    TagHeader header{};
    TagEntry* tag = FindTag(kDmapGroup, data->collection_id);
    if (tag) {
        GetTagHeader(tag, &header);
    } else {
        tag = CreateTag(kDmapGroup, data->collection_id, data->collection_name.c_str(), &header, 0);
        if (!tag) return 0;
    }
    DetailMap map;
    InitDetailMap(&map);
    int ok = MakeDetailMapFromData(*data, &map) ? SaveDetailMapTag(tag, &header, map) : 0;
    FreeDetailMap(&map);
    return ok;
}

bool NewBlankDetailMap(MeshEditData* data, const std::string& palette_path) {
    if (!ResetMeshPlanes(data)) return false;
    data->detail_map_present = true;
    LoadHighlightPaletteFile(data->palette, palette_path);
    RebuildSlots(data);
    NotifyModified(data);
    InvalidateWholeMesh(data);
    RequestRedraw(data);
    return true;
}

void SetHighlightPalette(MeshEditData* data, const u8 colors[768], const std::string& palette_path) {
    std::memcpy(data->palette, colors, kHighlightPaletteBytes);
    SaveHighlightPaletteFile(data->palette, palette_path);
    NotifyModified(data);
    RequestRedraw(data);
}

}  // namespace pirn
