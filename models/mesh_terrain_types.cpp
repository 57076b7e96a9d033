#include "models/mesh_terrain_types.h"

#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "models/mesh_edit_load.h"

namespace pirn {

const TerrainTypeRow kTerrainTypes[kTerrainTypeCount] = {
    {"dwarf depth media", MakeFourCC("wate"), {32, 32, 255}},
    {"human depth media", MakeFourCC("wate"), {32, 32, 186}},
    {"giant depth media", MakeFourCC("wate"), {32, 32, 144}},
    {"deeper than giant depth media", MakeFourCC("wate"), {32, 32, 102}},
    {"sloped", MakeFourCC("ston"), {192, 128, 128}},
    {"steep", MakeFourCC("ston"), {255, 48, 48}},
    {"grass", MakeFourCC("gras"), {255, 255, 255}},
    {"desert", MakeFourCC("sand"), {255, 255, 128}},
    {"rocky", MakeFourCC("dirt"), {144, 144, 144}},
    {"marsh", MakeFourCC("gras"), {192, 160, 128}},
    {"snow", MakeFourCC("snow"), {207, 207, 207}},
    {"forest", MakeFourCC("gras"), {144, 184, 144}},
    {"quillary special", kNoTagId, {255, 255, 255}},
    {"unused", kNoTagId, {255, 255, 255}},
    {"walking impassible", kNoTagId, {32, 144, 32}},
    {"flying impassible", kNoTagId, {32, 255, 32}},
};

std::string DetailTextureTagLabel(u32 tag_id) {
    const TagEntry* tag = tag_id == kNoTagId ? nullptr : FindTag(kDtexGroup, tag_id);
    if (!tag) return "<no tag>";
    TagHeader header{};
    GetTagHeader(tag, &header);
    return std::string(header.name, strnlen(header.name, sizeof(header.name)));
}

void ProposeTerrainTypeChoices(TerrainTypeChoice choices[kTerrainTypeCount]) {
    for (u32 t = 0; t < kTerrainTypeCount; ++t) {
        const TerrainTypeRow& row = kTerrainTypes[t];
        TerrainTypeChoice& choice = choices[t];
        choice.name = row.name;
        choice.entry = DetailTextureEntry{};
        const bool found = row.proposed_id != kNoTagId && FindTag(kDtexGroup, row.proposed_id);
        choice.entry.tag_id = found ? row.proposed_id : kNoTagId;
        std::memcpy(choice.entry.highlight, row.colour, 3);
        SetDetailTextureDescription(&choice.entry, row.name);
        choice.texture_label = DetailTextureTagLabel(choice.entry.tag_id);
    }
}

void ApplyTerrainTypes(MeshEditData* data, const TerrainTypeChoice choices[kTerrainTypeCount]) {
    if (!data->planes_exist || !data->mesh) return;
    data->slots[0].entry.tag_id = kNoTagId;
    for (u32 t = 0; t < kTerrainTypeCount; ++t) {
        data->slots[t + 1].entry = choices[t].entry;
        std::memcpy(data->palette + (t + 1) * 3, choices[t].entry.highlight, 3);
    }
    const MeshMap& mesh = *data->mesh;
    for (u32 row = 0; row < data->rows; ++row)
        for (u32 column = 0; column < data->columns; ++column) {
            u8& target = data->vertex_plane.values[size_t(row) * data->columns + column];
            if (IsValueLocked(*data, target)) continue;
            target = static_cast<u8>(((mesh.cells[size_t(row) * mesh.columns + column].flags >> 4) & 15) + 1);
        }
    SyncSavedPlanes(data);
    data->detail_textures = true;
    RebuildSlots(data);
    InvalidateWholeMesh(data);
    NotifyModified(data);
    RequestRedraw(data);
}

}  // namespace pirn
