// The map data of a terrain 'mesh' tag as the terrain editor reads it
// (ReadMeshMap: the 1024-byte header and the grid of 12-byte cells, then
// the flag pass); input byte 0 is the tag's version. A map that reads
// holds exactly its header's grid.

#include <memory>

#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"
#include "models/mesh_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(pirn::kMeshGroup, data, size);
    std::unique_ptr<pirn::MeshMap> map = pirn::LoadMeshMap(input.stream(), input.header);
    if (!map) return 0;
    FUZZ_CHECK(map->columns == pirn::u32(map->header.BlockColumns()) * pirn::kMeshBlockCells);
    FUZZ_CHECK(map->rows == pirn::u32(map->header.BlockRows()) * pirn::kMeshBlockCells);
    FUZZ_CHECK(map->cells.size() == size_t(map->columns) * map->rows);
    FUZZ_CHECK(pirn::u64(map->cells.size()) * pirn::kMeshCellBytes <= input.header.data_length);
    for (const pirn::MeshCell& cell : map->cells) FUZZ_CHECK(cell.word3 == 0 && cell.word5 == 0);
    // The flag pass looks at each cell with its neighbours above and to the
    // left, so the first row and column keep the bits they were read with.
    for (pirn::u32 row = 1; row < map->rows; ++row)
        for (pirn::u32 column = 1; column < map->columns; ++column) {
            const pirn::MeshCell& cell = map->cells[size_t(row) * map->columns + column];
            FUZZ_CHECK((cell.flags & (pirn::kMeshFlagCleared1 | pirn::kMeshFlagCleared2)) == 0);
        }
    return 0;
}
