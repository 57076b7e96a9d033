#pragma once
// Loading a terrain into the editor's data and saving its detail map: the
// mesh's map data, its collection ('.256', the mesh header's u32 at 0) for
// the block colour textures, its media ('medi', the u32 at 4) for the
// wave, and the detail map ('dmap') whose id is the collection's.

#include <cstdio>
#include <string>

#include "codex/tag_header.h"
#include "models/detail_map.h"
#include "models/mesh_edit_data.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kCollectionTagGroup = 0x2E323536;  // '.256'

struct MeshLoadResult {
    // The message box to show when the collection's detail map does not fit
    // the mesh (empty when none): title and text.
    std::string conflict_title;
    std::string conflict_text;
};

// Reads the mesh from its tag stream and everything it names. With
// `bordered` the blocks get 257 x 257 colour textures (the GL driver takes
// textures of any size). 0 when the mesh or its collection cannot be read.
int LoadMeshEditData(MeshEditData* data, std::FILE* stream, const TagHeader& header, bool bordered,
                     MeshLoadResult* result);

// Takes over the detail map: entries, scales, palette colours and planes;
// a detail map is then present with the detail map tool, detail textures
// and highlighting on. False when its size differs from the mesh's.
bool AdoptDetailMap(MeshEditData* data, const DetailMap& map);
// The 'dmap' tag with the collection's id, when it loads: adopted, or the
// conflict message when its size differs. Returns whether one was adopted.
bool LoadMatchingDetailMap(MeshEditData* data, MeshLoadResult* result);

// Reloads every slot's texture.
void RebuildSlots(MeshEditData* data);
// The detail map as the data holds it (attribute = scale - 1, colours from
// the palette, the working planes).
bool MakeDetailMapFromData(const MeshEditData& data, DetailMap* map);
// Saves the detail map as the 'dmap' tag with the collection's id, made
// (named after the collection) when missing. Success without planes, which
// have nothing to save. 1 on success.
int SaveDetailMap(MeshEditData* data);

// A fresh detail map: present, palette read again from `palette_path`,
// planes zeroed, slots reloaded, every cell rebuilt; marked modified.
bool NewBlankDetailMap(MeshEditData* data, const std::string& palette_path);
// Copies 256 colours into the palette and keeps the first 128 in the file;
// marks modified.
void SetHighlightPalette(MeshEditData* data, const u8 colors[768], const std::string& palette_path);

}  // namespace pirn
