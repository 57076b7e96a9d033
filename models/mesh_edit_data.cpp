#include "models/mesh_edit_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "models/mesh_cell_word.h"
#include "platform/strings.h"

namespace pirn {

MeshEditData::MeshEditData() {
    for (DetailTextureSlot& slot : slots) slot.entry.tag_id = kNoTagId;
}

MeshEditData::~MeshEditData() { ReleaseSlotTextures(this); }

void NotifyModified(MeshEditData* data) {
    if (data->hooks) data->hooks->MarkModified();
}

void RequestRedraw(MeshEditData* data) {
    if (data->hooks) data->hooks->RequestRedraw();
}

// ---- slots ----

namespace {

void ApplySlotScale(DetailTextureSlot* slot) {
    if (!slot->texture || slot->texture->width == 0 || slot->texture->height == 0) return;
    slot->u_scale = float(slot->scale) / float(slot->texture->width);
    slot->v_scale = float(slot->scale) / float(slot->texture->height);
}

std::string TagName(const TagResource& resource) {
    return std::string(resource.header.name, strnlen(resource.header.name, sizeof(resource.header.name)));
}

}  // namespace

bool SetSlotScale(MeshEditData* data, u32 slot, u32 scale) {
    if (slot >= kDetailSlotCount) return false;
    DetailTextureSlot& s = data->slots[slot];
    const u32 clamped = std::min(std::max(scale, kMinSlotScale), kMaxSlotScale);
    const bool changed = clamped != s.scale;
    s.scale = clamped;
    ApplySlotScale(&s);
    if (changed) NotifyModified(data);
    return changed;
}

void SetSlotTexture(MeshEditData* data, u32 slot, bool clear) {
    if (slot >= kDetailSlotCount) return;
    DetailTextureSlot& s = data->slots[slot];
    const u32 id = clear ? kNoTagId : s.entry.tag_id;
    DtexTag* texture = id == kNoTagId ? nullptr : DtexResources().Find(kDtexGroup, id);
    if (s.texture) ReleaseResource(&DtexResources(), s.texture);
    s.texture = texture;
    s.cleared = clear;
    ApplySlotScale(&s);
    if (slot == data->current_texture) data->current_label = SlotTextureName(s);
}

void ReleaseSlotTextures(MeshEditData* data) {
    for (DetailTextureSlot& slot : data->slots) {
        if (slot.texture) ReleaseResource(&DtexResources(), slot.texture);
        slot.texture = nullptr;
    }
}

std::string SlotLabel(const DetailTextureSlot& slot) {
    if (slot.texture) {
        const std::string name = TagName(*slot.texture);
        const std::string description(slot.entry.description, strnlen(slot.entry.description, 31));
        if (!description.empty()) return FormatString("|i%s|p (%s)", description.c_str(), name.c_str());
        return name;
    }
    // A slot whose texture was dropped keeps its id but shows no tag.
    if (slot.entry.tag_id == kNoTagId || slot.cleared) return "<no tag>";
    char id[5];
    FourCCToChars(slot.entry.tag_id, id);
    return FormatString("'%s' <not found>", id);
}

std::string SlotRowText(u32 slot, const std::string& label) {
    return FormatString(" %.3d ~ %s", static_cast<int>(slot), label.c_str());
}

std::string SlotTextureName(const DetailTextureSlot& slot) {
    return slot.texture ? TagName(*slot.texture) : std::string("<none>");
}

void SelectCurrentTexture(MeshEditData* data, u32 slot) {
    if (slot >= kDetailSlotCount) return;
    data->current_texture = slot;
    data->current_label = SlotTextureName(data->slots[slot]);
}

bool IsValueLocked(const MeshEditData& data, u8 value) {
    if (data.modifiers & 1) return false;  // Shift paints over locked slots
    return value < kDetailSlotCount && data.slots[value].locked;
}

// ---- planes ----

bool ResetMeshPlanes(MeshEditData* data) {
    if (!data->planes_exist || data->vertex_plane.width != data->columns ||
        data->vertex_plane.height != data->rows) {
        MeshPlane planes[4];
        if (!InitMeshPlane(&planes[0], data->columns, data->rows, 0) ||
            !InitMeshPlane(&planes[1], data->columns, data->rows, 0) ||
            !InitMeshPlane(&planes[2], data->columns, data->rows, 1) ||
            !InitMeshPlane(&planes[3], data->columns, data->rows, 1))
            return false;
        data->vertex_plane = std::move(planes[0]);
        data->saved_vertex_plane = std::move(planes[1]);
        data->triangle_plane = std::move(planes[2]);
        data->saved_triangle_plane = std::move(planes[3]);
        data->planes_exist = true;
    }
    ClearMeshPlane(&data->vertex_plane);
    ClearMeshPlane(&data->saved_vertex_plane);
    ClearMeshPlane(&data->triangle_plane);
    ClearMeshPlane(&data->saved_triangle_plane);
    return true;
}

void SyncSavedPlanes(MeshEditData* data) {
    CopyMeshPlane(&data->saved_vertex_plane, data->vertex_plane);
    CopyMeshPlane(&data->saved_triangle_plane, data->triangle_plane);
}

u8 VertexValue(const MeshEditData& data, i64 x, i64 y) {
    const MeshPlane& p = data.vertex_plane;
    if (!data.planes_exist || x < 0 || y < 0 || x >= p.width || y >= p.height) return 0;
    return p.values[size_t(y) * p.width + size_t(x)];
}

u8 TriangleValue(const MeshEditData& data, i64 x, i64 y, u32 triangle) {
    const MeshPlane& p = data.triangle_plane;
    if (!data.planes_exist || x < 0 || y < 0 || x >= p.width || y >= p.height) return 0;
    return p.values[(size_t(y) * p.width + size_t(x)) * 2 + (triangle & 1)];
}

// ---- blocks ----

bool SetupMeshBlocks(MeshEditData* data) {
    if (!data->mesh) return false;
    data->block_columns = data->mesh->header.BlockColumns();
    data->block_rows = data->mesh->header.BlockRows();
    const size_t count = size_t(data->block_columns) * data->block_rows;
    std::vector<MeshBlockRecord> blocks(count);
    for (u32 row = 0; row < data->block_rows; ++row)
        for (u32 column = 0; column < data->block_columns; ++column) {
            MeshBlockRecord& block = blocks[size_t(row) * data->block_columns + column];
            block.first_column = column * kMeshBlockCells;
            block.first_row = row * kMeshBlockCells;
            block.index = row * data->block_columns + column;
        }
    data->blocks.swap(blocks);
    return true;
}

i16 MeshVertexHeight(const MeshMap& mesh, i64 x, i64 y) {
    if (x < 0 || y < 0 || x >= mesh.columns || y >= mesh.rows) return 0;
    const MeshCell& cell = mesh.cells[size_t(y) * mesh.columns + size_t(x)];
    return static_cast<i16>((cell.flags & (kMeshFlagA | kMeshFlagB)) ? cell.word4 : cell.word0);
}

void TriangleCorners(u32 x, u32 y, u32 triangle, u32 corners[3][2]) {
    const bool odd = ((x ^ y) & 1) != 0;
    // Corners c0 (x, y), c1 (x + 1, y), c2 (x + 1, y + 1), c3 (x, y + 1).
    static const u32 kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    static const int kOrder[2][2][3] = {{{0, 3, 2}, {0, 2, 1}}, {{0, 3, 1}, {1, 3, 2}}};
    const int* order = kOrder[odd ? 1 : 0][triangle & 1];
    for (int i = 0; i < 3; ++i) {
        corners[i][0] = x + kCorner[order[i]][0];
        corners[i][1] = y + kCorner[order[i]][1];
    }
}

void BuildBlockCells(MeshEditData* data, MeshBlockRecord* block, u32 x0, u32 x1, u32 y0, u32 y1) {
    const MeshMap& mesh = *data->mesh;
    for (u32 y = y0; y <= y1; ++y)
        for (u32 x = x0; x <= x1; ++x)
            block->heights[(y - block->first_row) * kBlockVertices + (x - block->first_column)] =
                MeshVertexHeight(mesh, x, y);
    // Cells of the block only: its last vertex row and column belong to the
    // next block's cells.
    const u32 cx1 = std::min(x1, block->first_column + kMeshBlockCells - 1);
    const u32 cy1 = std::min(y1, block->first_row + kMeshBlockCells - 1);
    for (u32 y = y0; y <= cy1; ++y)
        for (u32 x = x0; x <= cx1; ++x) {
            const u32 local = (y - block->first_row) * kMeshBlockCells + (x - block->first_column);
            if (data->detail_map_present && data->planes_exist) {
                const u8 c0 = VertexValue(*data, x, y), c1 = VertexValue(*data, i64(x) + 1, y);
                const u8 c2 = VertexValue(*data, i64(x) + 1, i64(y) + 1), c3 = VertexValue(*data, x, i64(y) + 1);
                const u8 t0 = TriangleValue(*data, x, y, 0), t1 = TriangleValue(*data, x, y, 1);
                if (((x ^ y) & 1) == 0) {
                    block->words[local][0] = EncodeCellWord(t0, c0, c3, c2);
                    block->words[local][1] = EncodeCellWord(t1, c0, c2, c1);
                } else {
                    block->words[local][0] = EncodeCellWord(t0, c0, c3, c1);
                    block->words[local][1] = EncodeCellWord(t1, c1, c3, c2);
                }
            } else {
                block->words[local][0] = block->words[local][1] = 0;
            }
            const u32 hx = x - block->first_column, hy = y - block->first_row;
            const i32 h[4] = {block->heights[hy * kBlockVertices + hx], block->heights[hy * kBlockVertices + hx + 1],
                              block->heights[(hy + 1) * kBlockVertices + hx],
                              block->heights[(hy + 1) * kBlockVertices + hx + 1]};
            const i32 lo = std::min(std::min(h[0], h[1]), std::min(h[2], h[3]));
            const i32 hi = std::max(std::max(h[0], h[1]), std::max(h[2], h[3]));
            const float spread = (hi - lo) / 1024.0f;
            block->spread[local] = spread * spread + 0.5f;
            block->centre[local] = (lo + hi) / 1024.0f;
        }
}

u32 InvalidateMeshRegion(MeshEditData* data, i64 x0, i64 x1, i64 y0, i64 y1) {
    if (!data->mesh || x0 > x1 || y0 > y1) return 0;
    x0 = std::max<i64>(x0 - 1, 0);
    y0 = std::max<i64>(y0 - 1, 0);
    x1 = std::min<i64>(x1 + 1, data->columns);
    y1 = std::min<i64>(y1 + 1, data->rows);
    if (x0 > x1 || y0 > y1) return 0;
    // A block owns vertices first .. first + 32; a vertex on a block edge
    // belongs to both blocks beside it.
    const i64 bx0 = std::max<i64>((x0 - 1) / kMeshBlockCells, 0);
    const i64 by0 = std::max<i64>((y0 - 1) / kMeshBlockCells, 0);
    const i64 bx1 = std::min<i64>(x1 / kMeshBlockCells, i64(data->block_columns) - 1);
    const i64 by1 = std::min<i64>(y1 / kMeshBlockCells, i64(data->block_rows) - 1);
    u32 rebuilt = 0;
    for (i64 by = by0; by <= by1; ++by)
        for (i64 bx = bx0; bx <= bx1; ++bx) {
            MeshBlockRecord& block = data->blocks[size_t(by) * data->block_columns + size_t(bx)];
            const i64 lx = std::max<i64>(x0, block.first_column);
            const i64 hx = std::min<i64>(x1, i64(block.first_column) + kMeshBlockCells);
            const i64 ly = std::max<i64>(y0, block.first_row);
            const i64 hy = std::min<i64>(y1, i64(block.first_row) + kMeshBlockCells);
            if (lx > hx || ly > hy) continue;
            BuildBlockCells(data, &block, u32(lx), u32(hx), u32(ly), u32(hy));
            ++rebuilt;
        }
    return rebuilt;
}

void InvalidateWholeMesh(MeshEditData* data) {
    InvalidateMeshRegion(data, 0, data->columns, 0, data->rows);
}

void ComputeBlockBox(MeshBlockRecord* block) {
    i32 lo = block->heights[0], hi = block->heights[0];
    for (i16 h : block->heights) {
        lo = std::min<i32>(lo, h);
        hi = std::max<i32>(hi, h);
    }
    block->box[0] = float(block->first_column);
    block->box[1] = lo / kMeshHeightScale;
    block->box[2] = float(block->first_row);
    block->box[3] = float(block->first_column + kMeshBlockCells);
    block->box[4] = hi / kMeshHeightScale;
    block->box[5] = float(block->first_row + kMeshBlockCells);
}

// ---- view ----

void UpdateVisibleBlocks(MeshEditData* data, const MeshView& view) {
    std::fill(data->blocks_by_class, data->blocks_by_class + 3, 0u);
    data->cells_drawn = 0;
    if (!view.valid) return;
    float planes[4][3];
    MeshFrustumPlanes(view, planes);
    float eye[3];
    MeshEyePosition(data->camera, eye);
    const float wave = data->media_animation ? data->media.largest : 0.0f;
    for (MeshBlockRecord& block : data->blocks) {
        block.block_class = static_cast<u8>(ClassifyBlock(block.box, planes, eye));
        ++data->blocks_by_class[block.block_class];
        if (block.block_class == 0) continue;
        if (block.block_class == 2) {
            std::fill(block.cell_class, block.cell_class + kBlockCellCount, u8(2));
            data->cells_drawn += kBlockCellCount;
            continue;
        }
        for (u32 cell = 0; cell < kBlockCellCount; ++cell) {
            const float p[3] = {block.first_column + cell % kMeshBlockCells + 0.5f - eye[0],
                                block.centre[cell] - eye[1], block.first_row + cell / kMeshBlockCells + 0.5f - eye[2]};
            u8 cls = 2;
            for (const float* n : planes) {
                const float d = n[0] * p[0] + n[1] * p[1] + n[2] * p[2];
                if (d <= 0) continue;
                if (d * d > block.spread[cell] + wave) {
                    cls = 0;
                    break;
                }
                cls = 1;
            }
            block.cell_class[cell] = cls;
            if (cls) ++data->cells_drawn;
        }
    }
}

float GetTerrainHeight(const MeshEditData& data, float x, float z) {
    if (!data.mesh || !(x >= 0) || !(z >= 0) || x >= data.columns || z >= data.rows) return 0;
    const u32 cx = static_cast<u32>(x), cz = static_cast<u32>(z);
    const float fx = x - cx, fz = z - cz;
    const bool odd = ((cx ^ cz) & 1) != 0;
    const u32 triangle = odd ? (fx + fz >= 1 ? 1 : 0) : (fx >= fz ? 1 : 0);
    u32 corners[3][2];
    TriangleCorners(cx, cz, triangle, corners);
    // Barycentric weights of the point in the triangle's plane.
    float px[3], pz[3], h[3];
    for (int i = 0; i < 3; ++i) {
        px[i] = float(corners[i][0]);
        pz[i] = float(corners[i][1]);
        h[i] = MeshVertexHeight(*data.mesh, corners[i][0], corners[i][1]) / kMeshHeightScale;
    }
    const float det = (pz[1] - pz[2]) * (px[0] - px[2]) + (px[2] - px[1]) * (pz[0] - pz[2]);
    if (det == 0) return h[0];
    const float w0 = ((pz[1] - pz[2]) * (x - px[2]) + (px[2] - px[1]) * (z - pz[2])) / det;
    const float w1 = ((pz[2] - pz[0]) * (x - px[2]) + (px[0] - px[2]) * (z - pz[2])) / det;
    return w0 * h[0] + w1 * h[1] + (1 - w0 - w1) * h[2];
}

}  // namespace pirn
