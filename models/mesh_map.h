#pragma once
// The map data of a terrain 'mesh' tag (version 11): a 1024-byte header and
// a grid of 12-byte cells, (width x 32) columns by (height x 32) rows,
// where width and height are the header's block counts. The terrain editor
// lays its detail map over this grid.

#include <cstdio>
#include <memory>
#include <vector>

#include "codex/archive.h"
#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

// kMeshGroup ('mesh') comes with the archive records, which name meshes too.
constexpr u16 kMeshMapVersion = 11;
constexpr u32 kMeshMapHeaderBytes = 1024;
constexpr u32 kMeshCellBytes = 12;
constexpr u32 kMeshBlockCells = 32;

// Cell flag bits the flag pass looks at.
constexpr u16 kMeshFlagMarked = 0x400;
constexpr u16 kMeshFlagCleared1 = 0x200;
constexpr u16 kMeshFlagA = 0x800;
constexpr u16 kMeshFlagB = 0x1000;
constexpr u16 kMeshFlagCleared2 = 0x4000;

struct MeshCell {
    u16 word0;
    u16 word1;
    u16 flags;
    u16 word3;  // zero after reading
    u16 word4;
    u16 word5;  // zero after reading
};
static_assert(sizeof(MeshCell) == kMeshCellBytes, "MeshCell is 12 bytes");

// The header in memory form: every field converted to host order at its
// stored offset.
struct MeshMapHeader {
    alignas(4) u8 bytes[kMeshMapHeaderBytes];

    u16 BlockColumns() const { return U16At(8); }
    u16 BlockRows() const { return U16At(10); }
    u32 U32At(u32 offset) const;
    u16 U16At(u32 offset) const;
};

struct MeshMap {
    MeshMapHeader header{};
    std::vector<MeshCell> cells;  // columns x rows, row-major
    u32 columns = 0;
    u32 rows = 0;
};

extern const u16 kMeshMapHeaderLayout[];
extern const u16 kMeshCellLayout[];

// Reads a version-11 mesh's header and cells, every size and offset
// checked against the header's data length, then runs the flag pass.
// 1 on success.
int ReadMeshMap(MeshMap* map, std::FILE* stream, const TagHeader& header);
std::unique_ptr<MeshMap> LoadMeshMap(std::FILE* stream, const TagHeader& header);

// For every cell with row >= 1 and column >= 1: when the cell and its
// neighbours above, left and above-left all carry 0x800 and 0x1000, the
// cell gets 0x400; then 0x200 and 0x4000 are cleared. Row 0 and column 0
// stay as read.
void MarkMeshCellFlags(MeshMap* map);

}  // namespace pirn
