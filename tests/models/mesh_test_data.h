#pragma once
// Terrain editor data made in memory for the headless tests: a mesh of
// whole blocks with heights and flags from functions, planes made, a
// detail map present, every block built.

#include <cstring>
#include <functional>
#include <memory>

#include "models/mesh_cell_word.h"
#include "models/mesh_edit_data.h"

namespace mesh_test {

using pirn::i16;
using pirn::u16;
using pirn::u32;
using pirn::u8;

inline std::unique_ptr<pirn::MeshEditData> MakeMeshData(
    u16 block_columns, u16 block_rows, const std::function<i16(u32 x, u32 y)>& height = nullptr,
    const std::function<u16(u32 x, u32 y)>& flags = nullptr) {
    auto data = std::make_unique<pirn::MeshEditData>();
    auto mesh = std::make_unique<pirn::MeshMap>();
    std::memcpy(mesh->header.bytes + 8, &block_columns, 2);
    std::memcpy(mesh->header.bytes + 10, &block_rows, 2);
    mesh->columns = block_columns * 32u;
    mesh->rows = block_rows * 32u;
    mesh->cells.resize(size_t(mesh->columns) * mesh->rows);
    for (u32 y = 0; y < mesh->rows; ++y)
        for (u32 x = 0; x < mesh->columns; ++x) {
            pirn::MeshCell& cell = mesh->cells[size_t(y) * mesh->columns + x];
            cell = pirn::MeshCell{};
            if (height) cell.word0 = u16(height(x, y));
            if (flags) cell.flags = flags(x, y);
        }
    data->columns = mesh->columns;
    data->rows = mesh->rows;
    data->mesh = std::move(mesh);
    pirn::SetupMeshBlocks(data.get());
    pirn::ResetMeshPlanes(data.get());
    data->detail_map_present = true;
    data->tool = pirn::kMeshDetailMapTool;
    for (pirn::MeshBlockRecord& block : data->blocks) {
        pirn::BuildBlockCells(data.get(), &block, block.first_column, block.first_column + 32, block.first_row,
                              block.first_row + 32);
        pirn::ComputeBlockBox(&block);
    }
    return data;
}

// Counts what the data tells its window.
struct CountingHooks : pirn::MeshEditHooks {
    void MarkModified() override { ++modified; }
    void RequestRedraw() override { ++redraws; }
    int modified = 0;
    int redraws = 0;
};

inline u8& Vertex(pirn::MeshEditData& d, u32 x, u32 y) { return d.vertex_plane.values[size_t(y) * d.columns + x]; }
inline u8& Triangle(pirn::MeshEditData& d, u32 x, u32 y, u32 t) {
    return d.triangle_plane.values[(size_t(y) * d.columns + x) * 2 + t];
}

}  // namespace mesh_test
