#pragma once
// Terrain types (bits 4-7 of a mesh cell's flag word) and the automatic
// detail map made from them: one texture slot per type, each cell's vertex
// value its type + 1.

#include <string>

#include "models/detail_map.h"
#include "models/mesh_edit_data.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kTerrainTypeCount = 16;

struct TerrainTypeRow {
    const char* name;
    u32 proposed_id;  // 'dtex' tag id, 0xFFFFFFFF for none
    u8 colour[3];
};

extern const TerrainTypeRow kTerrainTypes[kTerrainTypeCount];

// One row of the "Automatic Detail Texturing" dialog.
struct TerrainTypeChoice {
    std::string name;
    std::string texture_label;  // the tag's name, or "<no tag>"
    DetailTextureEntry entry{};
};

// The 16 proposals: a proposed id is used when a 'dtex' tag of that id
// exists; description = the type's name, colour = its default.
void ProposeTerrainTypeChoices(TerrainTypeChoice choices[kTerrainTypeCount]);
// The name of the 'dtex' tag of the id, or "<no tag>".
std::string DetailTextureTagLabel(u32 tag_id);

// After NewBlankDetailMap: slot 0 without a tag, slot t + 1 the choice of
// type t with its colour; every cell's vertex value ((flags >> 4) & 15) + 1
// (unless locked without Shift); saved planes follow, detail textures on,
// slots reloaded, every cell rebuilt; marked modified.
void ApplyTerrainTypes(MeshEditData* data, const TerrainTypeChoice choices[kTerrainTypeCount]);

}  // namespace pirn
