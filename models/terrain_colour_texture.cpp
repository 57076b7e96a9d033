#include "models/terrain_colour_texture.h"

#include <algorithm>
#include <cstring>

namespace pirn {

namespace {

constexpr u32 kTexels = kBlockTextureSide * kBlockTextureSide;

i64 Clamp(i64 value, i64 lo, i64 hi) { return value < lo ? lo : value > hi ? hi : value; }

// The second byte of texel k of a usable bitmap.
u8 TexelValue(const CollectionBitmap& bitmap, u32 k) {
    const size_t x = k % kBlockTextureSide, y = k / kBlockTextureSide;
    return bitmap.pixels[(y * bitmap.width + x) * 2 + 1];
}

void PutTexel(u8* destination, u32 at, const Collection& collection, const std::vector<u8>& lookup, u32 block,
              u32 k) {
    const CollectionBitmap& colour = *collection.bitmaps[2 * size_t(block)];
    const CollectionBitmap& shade = *collection.bitmaps[2 * size_t(block) + 1];
    const size_t entry = ((size_t(TexelValue(shade, k)) << 8) | TexelValue(colour, k)) * 3;
    std::memcpy(destination + size_t(at) * 3, lookup.data() + entry, 3);
}

bool BlockHasBitmaps(const Collection& collection, u32 block) {
    return IsTerrainBitmapUsable(collection, 2 * block) && IsTerrainBitmapUsable(collection, 2 * block + 1);
}

}  // namespace

void BuildShadeLookup(std::vector<u8>* lookup, const u8* colors, const MeshMapHeader& header) {
    lookup->assign(kShadeLookupBytes, 0);
    const i64 b = static_cast<i16>(header.U16At(88));
    const i64 a = static_cast<i16>(header.U16At(90));
    const i64 target[3] = {header.U16At(92), header.U16At(94), header.U16At(96)};
    const i64 mid = (i64(header.U32At(108)) * 255) >> 16;
    for (i64 s = 0; s < 256; ++s) {
        i64 t;
        if (s > mid) t = (s - mid) * a / (255 - mid);
        else t = mid == 0 ? 0 : b * (mid - s) / mid;  // mid 0 would divide by zero at shade 0
        const i64 w = static_cast<i16>(t);
        const i64 k = static_cast<i16>(256 - w);
        for (u32 p = 0; p < 256; ++p) {
            u8* out = lookup->data() + (size_t(s) * 256 + p) * 3;
            for (int c = 0; c < 3; ++c) {
                const i64 blended = (k * (i64(colors[p * 3 + c]) * 256) + w * target[c]) / 256;
                // Negative b pushes away from the target: clamp both ends.
                out[c] = static_cast<u8>(Clamp(blended, 0, 65535) >> 8);
            }
        }
    }
}

bool IsTerrainBitmapUsable(const Collection& collection, u32 index) {
    if (index >= collection.bitmaps.size() || !collection.bitmaps[index]) return false;
    const CollectionBitmap& bitmap = *collection.bitmaps[index];
    return bitmap.bytes_per_pixel == 2 && bitmap.width >= kBlockTextureSide && bitmap.height >= kBlockTextureSide &&
           bitmap.pixels.size() >= size_t(bitmap.width) * bitmap.height * 2;
}

void MakeBlockTexture256(std::vector<u8>* rgb, const Collection& collection, const std::vector<u8>& lookup,
                         u32 block_index) {
    rgb->assign(size_t(kTexels) * 3, 0);
    if (lookup.size() < kShadeLookupBytes || !BlockHasBitmaps(collection, block_index)) return;
    for (u32 k = 0; k < kTexels; ++k) PutTexel(rgb->data(), k, collection, lookup, block_index, k);
}

void CopyNeighbourTexels(const Collection& collection, const std::vector<u8>& lookup, u32 blocks_per_row,
                         u32 block_rows, u32 block_index, i32 dx, i32 dy, u8* destination, u32 first_destination,
                         u32 destination_step, u32 first_source, u32 source_step, u32 count) {
    const i64 column = i64(block_index % std::max(blocks_per_row, 1u)) + dx;
    const i64 row = i64(block_index / std::max(blocks_per_row, 1u)) + dy;
    const bool inside = column >= 0 && row >= 0 && column < blocks_per_row && row < block_rows;
    const u32 block = inside ? u32(row * blocks_per_row + column) : 0;
    const bool usable = inside && lookup.size() >= kShadeLookupBytes && BlockHasBitmaps(collection, block);
    for (u32 i = 0; i < count; ++i) {
        const u32 at = first_destination + i * destination_step;
        if (usable) PutTexel(destination, at, collection, lookup, block, first_source + i * source_step);
        else std::memset(destination + size_t(at) * 3, 0, 3);
    }
}

void MakeBlockTexture257(std::vector<u8>* rgb, const Collection& collection, const std::vector<u8>& lookup,
                         u32 blocks_per_row, u32 block_rows, u32 block_index) {
    const u32 side = kBlockBorderedSide;
    rgb->assign(size_t(side) * side * 3, 0);
    u8* out = rgb->data();
    CopyNeighbourTexels(collection, lookup, blocks_per_row, block_rows, block_index, -1, -1, out, 0, 0, kTexels - 1,
                        0, 1);
    CopyNeighbourTexels(collection, lookup, blocks_per_row, block_rows, block_index, -1, 0, out, side, side,
                        kBlockTextureSide - 1, kBlockTextureSide, kBlockTextureSide);
    CopyNeighbourTexels(collection, lookup, blocks_per_row, block_rows, block_index, 0, -1, out, 1, 1,
                        kTexels - kBlockTextureSide, 1, kBlockTextureSide);
    for (u32 r = 0; r < kBlockTextureSide; ++r)
        CopyNeighbourTexels(collection, lookup, blocks_per_row, block_rows, block_index, 0, 0, out, (r + 1) * side + 1,
                            1, r * kBlockTextureSide, 1, kBlockTextureSide);
}

void ResizeBlockRecords(std::vector<MeshBlockRecord>* records, size_t count, void (*release)(GlTexture*)) {
    if (count < records->size())
        for (size_t i = count; i < records->size(); ++i)
            if (release && (*records)[i].texture.name) release(&(*records)[i].texture);
    records->resize(count);
}

void MakeBlockTextures(MeshEditData* data, const Collection& collection, const std::vector<u8>& lookup,
                       bool bordered) {
    for (MeshBlockRecord& block : data->blocks) {
        if (bordered)
            MakeBlockTexture257(&block.texels, collection, lookup, data->block_columns, data->block_rows, block.index);
        else
            MakeBlockTexture256(&block.texels, collection, lookup, block.index);
        block.texel_side = bordered ? kBlockBorderedSide : kBlockTextureSide;
    }
}

}  // namespace pirn
