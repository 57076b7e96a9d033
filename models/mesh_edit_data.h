#pragma once
// The terrain editor's data, apart from its window: the mesh's map data,
// the detail map being painted (four planes and 128 texture slots), the
// highlight palette, the brush, the display toggles, the camera and one
// record per 32 x 32-cell block with its cell words, heights and colour
// texture. Editor commands are free functions on this record (in the
// mesh_*.h files beside it), so that they run and test without a window;
// the window (models/ui/mesh_edit.h) holds the undo history and turns
// input into calls.

#include <memory>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "models/detail_map.h"
#include "models/dtex_tag.h"
#include "models/mesh_camera.h"
#include "models/mesh_map.h"
#include "models/mesh_media.h"
#include "models/mesh_plane.h"
#include "platform/os/gl_texture.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDetailSlotCount = 128;
constexpr u32 kHighlightPaletteBytes = 256 * 3;
constexpr u32 kBlockVertices = kMeshBlockCells + 1;
constexpr u32 kBlockCellCount = kMeshBlockCells * kMeshBlockCells;
constexpr u32 kMinSlotScale = 1;
constexpr u32 kMaxSlotScale = 256;
constexpr u32 kDefaultSlotScale = 128;
constexpr float kMinBrushRadius = 0.2f;
constexpr float kMaxBrushRadius = 10.0f;

enum MeshTool : u32 { kMeshNoTool = 0, kMeshDetailMapTool = 1 };
enum MeshHighlightMode : u32 {
    kHighlightTextureIndex = 0,
    kHighlightReflectivity = 1,
    kHighlightTerrainType = 2,
    kHighlightModeCount = 3,
};

// One texture index of the detail map.
struct DetailTextureSlot {
    float u_scale = 0;  // scale / texture width
    float v_scale = 0;  // scale / texture height
    bool locked = false;       // cells carrying it are not painted over
    bool highlighted = false;  // its cells are shown in its palette colour
    u32 scale = kDefaultSlotScale;  // texture pixels per cell, 1..256
    DetailTextureEntry entry{};     // tag id 0xFFFFFFFF: none
    DtexTag* texture = nullptr;     // one reference, or none
    // The texture was dropped (its tag went away) though the id stays.
    bool cleared = false;
};

// One 32 x 32-cell block: what drawing needs of it.
struct MeshBlockRecord {
    u32 words[kBlockCellCount][2] = {};  // cell words, triangle 0 and 1
    i16 heights[kBlockVertices * kBlockVertices] = {};
    float spread[kBlockCellCount] = {};  // ((max - min) / 1024)^2 + 0.5
    float centre[kBlockCellCount] = {};  // (min + max) / 1024
    u8 cell_class[kBlockCellCount] = {};  // 0 invisible, 1 partial, 2 full
    float box[6] = {};  // min x, y, z, max x, y, z (cells)
    u8 block_class = 0;
    // The colour texture: made by the loader as RGB texels, uploaded by the
    // GL side on first draw (which then frees the texels).
    GlTexture texture;
    std::vector<u8> texels;
    u32 texel_side = 0;  // 256 or 257
    u32 first_column = 0;
    u32 first_row = 0;
    u32 index = 0;
};

// What the data tells the window that shows it.
class MeshEditHooks {
public:
    virtual ~MeshEditHooks() = default;
    virtual void MarkModified() = 0;
    virtual void RequestRedraw() = 0;
};

struct MeshStroke {
    bool active = false;
    // An explicit flag: a dab at the mesh's edge has x0 == x1 and is still
    // a rectangle of cells.
    bool empty = true;
    u32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // inclusive
};

struct MeshEditData {
    MeshEditData();
    ~MeshEditData();
    MeshEditData(const MeshEditData&) = delete;
    MeshEditData& operator=(const MeshEditData&) = delete;

    std::unique_ptr<MeshMap> mesh;
    u32 columns = 0;
    u32 rows = 0;
    std::string collection_name;
    u32 collection_id = 0xFFFFFFFF;
    MediaWave media;
    u8 palette[kHighlightPaletteBytes] = {};
    DetailTextureSlot slots[kDetailSlotCount];

    // Working planes are painted; saved planes hold the state before the
    // current stroke.
    MeshPlane vertex_plane, saved_vertex_plane;      // bytes, one per vertex
    MeshPlane triangle_plane, saved_triangle_plane;  // two bytes per cell
    bool planes_exist = false;
    bool detail_map_present = false;

    u32 tool = kMeshNoTool;
    u32 current_texture = 0;
    std::string current_label = "<none>";
    float brush_radius = 3.0f;
    bool square_brush = false;
    bool triangle_mode = false;
    bool show_info = true;
    bool wireframe = false;
    bool detail_textures = false;
    bool highlighting = false;
    bool media_animation = false;
    u32 highlight_mode = kHighlightTextureIndex;
    u32 frame_counter = 0;
    MeshCamera camera;

    std::vector<MeshBlockRecord> blocks;
    u32 block_columns = 0;
    u32 block_rows = 0;
    // Drawing counts of the last visibility pass.
    u32 blocks_by_class[3] = {0, 0, 0};
    u32 cells_drawn = 0;

    MeshStroke stroke;
    // Modifier bits in force for painting (Shift paints over locked slots).
    u32 modifiers = 0;
    // The terrain point under the pointer (cells), or -1 when none.
    bool pick_valid = false;
    float pick_x = -1.0f;
    float pick_z = -1.0f;

    MeshEditHooks* hooks = nullptr;
};

void NotifyModified(MeshEditData* data);
void RequestRedraw(MeshEditData* data);

// ---- slots ----
// Clamps to 1..256, recomputes the factors from the texture; marks the
// data modified when the value changed. Returns whether it changed.
bool SetSlotScale(MeshEditData* data, u32 slot, u32 scale);
// Takes a reference to the 'dtex' resource of the slot's tag id (0xFFFFFFFF
// when clear), releasing the old one, and re-applies its scale. When the
// slot is the current texture, the current label follows.
void SetSlotTexture(MeshEditData* data, u32 slot, bool clear);
void ReleaseSlotTextures(MeshEditData* data);
// "|i%s|p (%s)" (description, tag name), the tag name, "'%s' <not found>"
// or "<no tag>".
std::string SlotLabel(const DetailTextureSlot& slot);
// " %.3d ~ %s"
std::string SlotRowText(u32 slot, const std::string& label);
// The texture's name, or "<none>".
std::string SlotTextureName(const DetailTextureSlot& slot);
void SelectCurrentTexture(MeshEditData* data, u32 slot);
// Whether painting must leave a cell of this value alone.
bool IsValueLocked(const MeshEditData& data, u8 value);

// ---- planes ----
// Allocates the four planes the first time, zeroes them every time.
bool ResetMeshPlanes(MeshEditData* data);
// The working planes become the saved ones.
void SyncSavedPlanes(MeshEditData* data);
u8 VertexValue(const MeshEditData& data, i64 x, i64 y);
u8 TriangleValue(const MeshEditData& data, i64 x, i64 y, u32 triangle);

// ---- blocks ----
// One zeroed record per block of the mesh, with origin and index.
bool SetupMeshBlocks(MeshEditData* data);
// Signed height of vertex (x, y): word 4 under media (flags 0x800 or
// 0x1000), else word 0; 0 outside the mesh.
i16 MeshVertexHeight(const MeshMap& mesh, i64 x, i64 y);
// Rebuilds heights (vertices x0..x1, y0..y1), cell words and spread and
// centre values (cells of that range inside the block) of one block.
void BuildBlockCells(MeshEditData* data, MeshBlockRecord* block, u32 x0, u32 x1, u32 y0, u32 y1);
// Rebuilds the cells of an inclusive rectangle grown by one cell, in every
// block it touches. Returns the number of blocks rebuilt.
u32 InvalidateMeshRegion(MeshEditData* data, i64 x0, i64 x1, i64 y0, i64 y1);
void InvalidateWholeMesh(MeshEditData* data);
void ComputeBlockBox(MeshBlockRecord* block);
// The corners of triangle t of cell (x, y), as (x, y) vertex pairs in the
// order their cell word's corner bits name them.
void TriangleCorners(u32 x, u32 y, u32 triangle, u32 corners[3][2]);

// ---- view ----
// Classifies every block, and the cells of partial blocks, against the
// view; fills the drawing counts.
void UpdateVisibleBlocks(MeshEditData* data, const MeshView& view);
// Height (cells) of the terrain surface at a point, 0 outside the mesh.
float GetTerrainHeight(const MeshEditData& data, float x, float z);

}  // namespace pirn
