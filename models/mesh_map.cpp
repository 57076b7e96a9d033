#include "models/mesh_map.h"

#include <cstring>
#include <new>

#include "platform/records.h"

namespace pirn {

// Field runs of the header by offset: u32 x 2 at 0, u16 x 2 at 8, u32 x 2
// at 12, zero 4 at 20, u32 x 2 at 24, zero at 32, u32 x 3 at 36, zero at
// 48, u32 x 3 at 52, zero at 64, u32 x 5 at 68, u16 x 10 at 88, u32 at
// 108, u16 at 112, zero 2 at 114, u16 x 4 at 116, u32 x 17 at 124, u32 x 2
// at 192, zero at 200, u32 x 2 at 204, zero at 212, u16 x 5 at 216, zero 2
// at 226, u32 x 4 at 228, u16 x 4 at 244, u32 x 8 at 252, u32 x 3 at 284,
// zero at 296, three 63-character texts each followed by a zero byte at
// 300, 364 and 428, u32 at 492, u16 x 4 at 496, u32 x 3 at 504, 31
// characters and a zero byte at 516, 446 zero bytes at 548, u16 x 7 at 994,
// 16 bytes at 1008.
const u16 kMeshMapHeaderLayout[] = {
    kMeshMapHeaderBytes,
    2, kRunU32, 2, kRunU16, 2, kRunU32, 4, kRunZero8, 2, kRunU32, 4, kRunZero8, 3, kRunU32, 4, kRunZero8,
    3, kRunU32, 4, kRunZero8, 5, kRunU32, 10, kRunU16, 1, kRunU32, 1, kRunU16, 2, kRunZero8, 4, kRunU16,
    17, kRunU32, 2, kRunU32, 4, kRunZero8, 2, kRunU32, 4, kRunZero8, 5, kRunU16, 2, kRunZero8, 4, kRunU32,
    4, kRunU16, 8, kRunU32, 3, kRunU32, 4, kRunZero8, 63, kRunBytes, 1, kRunZero8, 63, kRunBytes, 1, kRunZero8,
    63, kRunBytes, 1, kRunZero8, 1, kRunU32, 4, kRunU16, 3, kRunU32, 31, kRunBytes, 1, kRunZero8,
    446, kRunZero8, 7, kRunU16, 16, kRunBytes,
};

// Words 0, 1, 2 (flags), word 3 zeroed, word 4, word 5 zeroed.
const u16 kMeshCellLayout[] = {kMeshCellBytes, 3, kRunU16, 1, kRunZero16, 1, kRunU16, 1, kRunZero16};

namespace {

// Largest grid we agree to hold (cells): 128 x 128 blocks.
constexpr u64 kMaxMeshCells = u64(1) << 24;

bool SeekTo(std::FILE* stream, u64 offset) {
    return offset <= 0x7FFFFFFFFFFFFFFFull && ::fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace

u32 MeshMapHeader::U32At(u32 offset) const {
    u32 value;
    std::memcpy(&value, bytes + offset, 4);
    return value;
}

u16 MeshMapHeader::U16At(u32 offset) const {
    u16 value;
    std::memcpy(&value, bytes + offset, 2);
    return value;
}

int ReadMeshMap(MeshMap* map, std::FILE* stream, const TagHeader& header) {
    if (!stream || header.version != kMeshMapVersion || header.data_length < kMeshMapHeaderBytes) return 0;
    if (!SeekTo(stream, header.data_offset) ||
        ReadRecords(map->header.bytes, 1, kMeshMapHeaderLayout, stream) != kMeshMapHeaderBytes)
        return 0;
    const u64 grid_offset = u64(map->header.U32At(12)) + map->header.U32At(24);
    const u64 columns = u64(map->header.BlockColumns()) * kMeshBlockCells;
    const u64 rows = u64(map->header.BlockRows()) * kMeshBlockCells;
    const u64 grid_bytes = columns * rows * kMeshCellBytes;
    // The grid must lie inside the tag's data.
    if (columns == 0 || rows == 0 || columns * rows > kMaxMeshCells || grid_offset > header.data_length ||
        grid_bytes > header.data_length - grid_offset)
        return 0;
    if (!SeekTo(stream, header.data_offset + grid_offset)) return 0;
    std::vector<MeshCell> cells(static_cast<size_t>(columns * rows));
    if (ReadRecords(cells.data(), static_cast<u32>(cells.size()), kMeshCellLayout, stream) != grid_bytes) return 0;
    map->cells.swap(cells);
    map->columns = static_cast<u32>(columns);
    map->rows = static_cast<u32>(rows);
    MarkMeshCellFlags(map);
    return 1;
}

std::unique_ptr<MeshMap> LoadMeshMap(std::FILE* stream, const TagHeader& header) {
    std::unique_ptr<MeshMap> map(new (std::nothrow) MeshMap());
    if (!map || !ReadMeshMap(map.get(), stream, header)) return nullptr;
    return map;
}

void MarkMeshCellFlags(MeshMap* map) {
    const u32 columns = map->columns;
    if (map->cells.size() < size_t(columns) * map->rows) return;
    for (u32 row = 1; row < map->rows; ++row) {
        for (u32 column = 1; column < columns; ++column) {
            MeshCell& cell = map->cells[size_t(row) * columns + column];
            const u16 all = cell.flags & map->cells[size_t(row - 1) * columns + column].flags &
                            map->cells[size_t(row) * columns + column - 1].flags &
                            map->cells[size_t(row - 1) * columns + column - 1].flags;
            if ((all & kMeshFlagA) && (all & kMeshFlagB)) cell.flags |= kMeshFlagMarked;
            cell.flags &= static_cast<u16>(~(kMeshFlagCleared1 | kMeshFlagCleared2));
        }
    }
}

}  // namespace pirn
