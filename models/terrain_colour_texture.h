#pragma once
// The colour texture of each 32 x 32-cell block of a terrain, made from its
// collection: block i owns bitmaps 2i (a colour index per texel, the second
// byte of each 2-byte element) and 2i + 1 (a shade per texel), each 256 x
// 256. A lookup of 256 shades x 256 colours turns each pair into RGB; it
// blends the collection's colour towards the mesh's target colour by the
// mesh's lighting values.
//
// A missing bitmap, or one that is not 2 bytes a texel or smaller than
// 256 x 256, gives black texels.

#include <vector>

#include "collections/collection.h"
#include "models/mesh_edit_data.h"
#include "models/mesh_map.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kShadeLookupBytes = 256 * 256 * 3;
constexpr u32 kBlockTextureSide = 256;
constexpr u32 kBlockBorderedSide = 257;

// Fills the lookup from the colour table (256 RGB triples) and the mesh
// header's values: b (i16 at 88), a (i16 at 90), the target colour (u16 at
// 92, 94, 96) and f (u32 at 108), mid = (f x 255) >> 16. Entry (s x 256 + p)
// x 3.
void BuildShadeLookup(std::vector<u8>* lookup, const u8* colors, const MeshMapHeader& header);

// Whether bitmap `index` of the collection can give texels.
bool IsTerrainBitmapUsable(const Collection& collection, u32 index);

// 256 x 256 RGB texels of one block (black without its bitmaps).
void MakeBlockTexture256(std::vector<u8>* rgb, const Collection& collection, const std::vector<u8>& lookup,
                         u32 block_index);
// 257 x 257 RGB texels: the block's texels at rows and columns 1..256, row
// 0 the last row of the block above, column 0 the last column of the block
// to the left, texel (0, 0) the last texel of the block above-left; black
// for a neighbour outside the mesh or without bitmaps.
void MakeBlockTexture257(std::vector<u8>* rgb, const Collection& collection, const std::vector<u8>& lookup,
                         u32 blocks_per_row, u32 block_rows, u32 block_index);
// count texels of the block at (block column + dx, block row + dy) from
// source texel `first_source` (step `source_step`) into the 257 x 257
// image at `first_destination` (step `destination_step`); black when that
// block is outside the mesh or lacks a bitmap.
void CopyNeighbourTexels(const Collection& collection, const std::vector<u8>& lookup, u32 blocks_per_row,
                         u32 block_rows, u32 block_index, i32 dx, i32 dy, u8* destination, u32 first_destination,
                         u32 destination_step, u32 first_source, u32 source_step, u32 count);

// Grows or shrinks the block records; the removed ones' textures go
// through `release` (GL's, when drawing made them).
void ResizeBlockRecords(std::vector<MeshBlockRecord>* records, size_t count, void (*release)(GlTexture*));

// Each block's texture texels in the chosen form, in row-major order.
void MakeBlockTextures(MeshEditData* data, const Collection& collection, const std::vector<u8>& lookup,
                       bool bordered);

}  // namespace pirn
