#include "models/gl/mesh_renderer_gl.h"

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "models/dtex_tag.h"
#include "models/mesh_cell_word.h"
#include "models/mesh_pick.h"
#include "platform/os/gl_texture.h"
#include "platform/os/pirn_gl.h"

namespace pirn {

namespace {

constexpr float kSky[3] = {0.16f, 0.20f, 0.28f};
constexpr u8 kHighlightAlpha = 127;
constexpr u8 kReflectivity[3] = {64, 224, 255};
constexpr u32 kOutlineSegments = 256;
constexpr u32 kSquareSideSteps = 64;
constexpr double kPi = 3.14159265358979323846;

// One corner as drawn: position (cells; height in cells) and its place in
// the block's colour texture.
struct Corner {
    float position[3];
    float u, v;
    u32 x, y;  // mesh vertex
};

class MeshDrawer {
public:
    MeshDrawer(MeshEditData* data, const GlEntryPoints& gl) : data_(*data), gl_(gl) {}

    void TerrainPass();
    void HighlightPass();
    void WireframePass();
    void PointsPass();

private:
    template <typename Visit>
    void ForEachVisibleCell(const MeshBlockRecord& block, Visit visit) const {
        const u32 x_end = std::min(block.first_column + kMeshBlockCells, data_.columns);
        const u32 y_end = std::min(block.first_row + kMeshBlockCells, data_.rows);
        for (u32 y = block.first_row; y < y_end; ++y)
            for (u32 x = block.first_column; x < x_end; ++x) {
                const u32 local = (y - block.first_row) * kMeshBlockCells + (x - block.first_column);
                if (block.block_class == 1 && block.cell_class[local] == 0) continue;
                visit(x, y, local);
            }
    }

    Corner MakeCorner(const MeshBlockRecord& block, u32 x, u32 y) const {
        Corner c;
        c.x = x;
        c.y = y;
        float v[3] = {float(x), float(block.heights[(y - block.first_row) * kBlockVertices + (x - block.first_column)]),
                      float(y)};
        if (data_.media_animation && x < data_.columns && y < data_.rows &&
            (data_.mesh->cells[size_t(y) * data_.columns + x].flags & kMeshFlagMarked))
            ApplyMediaWave(data_.media, data_.frame_counter, v);
        c.position[0] = v[0];
        c.position[1] = v[1] / kMeshHeightScale;
        c.position[2] = v[2];
        c.u = (16.0f * float(x - block.first_column) + 1) / 514.0f;
        c.v = (16.0f * float(y - block.first_row) + 1) / 514.0f;
        return c;
    }

    void Triangle(const MeshBlockRecord& block, u32 x, u32 y, u32 t, Corner out[3]) const {
        u32 corners[3][2];
        TriangleCorners(x, y, t, corners);
        for (int i = 0; i < 3; ++i) out[i] = MakeCorner(block, corners[i][0], corners[i][1]);
    }

    void Vertex(const Corner& c) const { glVertex3f(c.position[0], c.position[1], c.position[2]); }

    void ColourTextureVertex(const Corner& c) const {
        glTexCoord2f(c.u, c.v);
        Vertex(c);
    }

    void BindColourTexture(const MeshBlockRecord& block) const {
        if (gl_.activeTexture) gl_.activeTexture(GL_TEXTURE0);
        if (block.texture.name) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, block.texture.name);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
    }

    // Unit 1 holds the slot's detail texture, or nothing.
    void BindDetail(u32 index) const {
        gl_.activeTexture(GL_TEXTURE1);
        const DetailTextureSlot* slot = index < kDetailSlotCount ? &data_.slots[index] : nullptr;
        if (index == 0 || !slot->texture || !slot->texture->texture.name) {
            glDisable(GL_TEXTURE_2D);
        } else {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, slot->texture->texture.name);
            // Detail textures tile; the texture may be shared with its own
            // editor, which draws it once.
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
        gl_.activeTexture(GL_TEXTURE0);
    }

    void DrawBlockPlain(const MeshBlockRecord& block) const;
    void DrawBlockDetailed(const MeshBlockRecord& block) const;

    MeshEditData& data_;
    const GlEntryPoints& gl_;
};

void MeshDrawer::DrawBlockPlain(const MeshBlockRecord& block) const {
    BindColourTexture(block);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_TRIANGLES);
    ForEachVisibleCell(block, [&](u32 x, u32 y, u32) {
        for (u32 t = 0; t < 2; ++t) {
            Corner c[3];
            Triangle(block, x, y, t, c);
            for (const Corner& corner : c) ColourTextureVertex(corner);
        }
    });
    glEnd();
}

void MeshDrawer::DrawBlockDetailed(const MeshBlockRecord& block) const {
    BindColourTexture(block);
    // The colour texture alone under the triangles whose words ask for it.
    gl_.activeTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    gl_.activeTexture(GL_TEXTURE0);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_TRIANGLES);
    ForEachVisibleCell(block, [&](u32 x, u32 y, u32 local) {
        for (u32 t = 0; t < 2; ++t) {
            if (!(block.words[local][t] & kCellWordBase)) continue;
            Corner c[3];
            Triangle(block, x, y, t, c);
            for (const Corner& corner : c) ColourTextureVertex(corner);
        }
    });
    glEnd();
    // Then each layer in order; the triangles of one layer are gathered by
    // texture, since a layer only ever covers its own triangle.
    struct Item {
        u32 index;
        u32 x, y, t, corners;
    };
    std::vector<Item> items;
    for (u32 k = 0; k < kCellWordLayers; ++k) {
        items.clear();
        ForEachVisibleCell(block, [&](u32 x, u32 y, u32 local) {
            for (u32 t = 0; t < 2; ++t) {
                CellWordLayer layers[kCellWordLayers];
                if (DecodeCellWord(block.words[local][t], layers) > k)
                    items.push_back({layers[k].index, x, y, t, layers[k].corners});
            }
        });
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.index < b.index; });
        u32 bound = 0xFFFFFFFF;
        bool open = false;
        for (const Item& item : items) {
            if (item.index != bound) {
                if (open) glEnd();
                BindDetail(item.index);
                bound = item.index;
                glBegin(GL_TRIANGLES);
                open = true;
            }
            const DetailTextureSlot& slot = data_.slots[item.index];
            Corner c[3];
            Triangle(block, item.x, item.y, item.t, c);
            for (int i = 0; i < 3; ++i) {
                glColor4ub(255, 255, 255, (item.corners >> i) & 1 ? 255 : 0);
                glTexCoord2f(c[i].u, c[i].v);
                gl_.multiTexCoord2f(GL_TEXTURE1, -float(c[i].x) * slot.u_scale, float(c[i].y) * slot.v_scale);
                Vertex(c[i]);
            }
        }
        if (open) glEnd();
    }
}

void MeshDrawer::TerrainPass() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const bool detailed = data_.detail_textures && data_.detail_map_present && gl_.activeTexture && gl_.multiTexCoord2f;
    if (detailed) {
        gl_.activeTexture(GL_TEXTURE1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
        glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE, 2);
        gl_.activeTexture(GL_TEXTURE0);
    }
    for (const MeshBlockRecord& block : data_.blocks) {
        if (block.block_class == 0) continue;
        if (detailed) DrawBlockDetailed(block);
        else DrawBlockPlain(block);
    }
    if (detailed) {
        gl_.activeTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        gl_.activeTexture(GL_TEXTURE0);
    }
    glPopAttrib();
}

void MeshDrawer::HighlightPass() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_TRIANGLES);
    for (const MeshBlockRecord& block : data_.blocks) {
        if (block.block_class == 0) continue;
        ForEachVisibleCell(block, [&](u32 x, u32 y, u32 local) {
            const u16 flags = data_.mesh->cells[size_t(y) * data_.columns + x].flags;
            for (u32 t = 0; t < 2; ++t) {
                Corner c[3];
                Triangle(block, x, y, t, c);
                if (data_.highlight_mode == kHighlightTextureIndex) {
                    CellWordLayer layers[kCellWordLayers];
                    const u32 count = DecodeCellWord(block.words[local][t], layers);
                    for (u32 k = 0; k < count; ++k) {
                        if (layers[k].index >= kDetailSlotCount || !data_.slots[layers[k].index].highlighted) continue;
                        const u8* rgb = data_.palette + layers[k].index * 3;
                        for (int i = 0; i < 3; ++i) {
                            glColor4ub(rgb[0], rgb[1], rgb[2], (layers[k].corners >> i) & 1 ? kHighlightAlpha : 0);
                            Vertex(c[i]);
                        }
                    }
                } else if (data_.highlight_mode == kHighlightReflectivity) {
                    if (!(flags & (kMeshFlagA << t))) continue;
                    glColor4ub(kReflectivity[0], kReflectivity[1], kReflectivity[2], kHighlightAlpha);
                    for (const Corner& corner : c) Vertex(corner);
                } else {
                    const u32 type = t == 0 ? (flags >> 4) & 15 : flags & 15;
                    const u8* rgb = data_.palette + type * 3;
                    glColor4ub(rgb[0], rgb[1], rgb[2], kHighlightAlpha);
                    for (const Corner& corner : c) Vertex(corner);
                }
            }
        });
    }
    glEnd();
    glPopAttrib();
}

void MeshDrawer::WireframePass() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    for (int yellow = 0; yellow < 2; ++yellow) {
        if (yellow && !(data_.detail_map_present && data_.planes_exist)) break;
        glColor4ub(255, yellow ? 255 : 0, 0, 255);
        glBegin(GL_TRIANGLES);
        for (const MeshBlockRecord& block : data_.blocks) {
            if (block.block_class == 0) continue;
            ForEachVisibleCell(block, [&](u32 x, u32 y, u32) {
                for (u32 t = 0; t < 2; ++t) {
                    if (yellow && TriangleValue(data_, x, y, t) == 0) continue;
                    Corner c[3];
                    Triangle(block, x, y, t, c);
                    for (const Corner& corner : c) Vertex(corner);
                }
            });
        }
        glEnd();
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4ub(255, 255, 255, 255);
    glPopAttrib();
}

void MeshDrawer::PointsPass() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glPointSize(2.0f);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_POINTS);
    for (const MeshBlockRecord& block : data_.blocks) {
        if (block.block_class == 0) continue;
        const u32 x_end = std::min(block.first_column + kMeshBlockCells, data_.columns);
        const u32 y_end = std::min(block.first_row + kMeshBlockCells, data_.rows);
        for (u32 y = block.first_row; y <= y_end; ++y)
            for (u32 x = block.first_column; x <= x_end; ++x) Vertex(MakeCorner(block, x, y));
    }
    glEnd();
    glPopAttrib();
}

void DrawBrushOutline(const MeshEditData& data) {
    const float cx = data.pick_x, cz = data.pick_z, r = data.brush_radius;
    if (!(cx >= 0 && cz >= 0 && cx < data.columns && cz < data.rows)) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_LINE_LOOP);
    auto point = [&](float x, float z) { glVertex3f(x, GetTerrainHeight(data, x, z), z); };
    if (!data.square_brush) {
        for (int i = int(kOutlineSegments); i >= 0; --i) {
            const double a = (i + 0.5) * 2 * kPi / kOutlineSegments - kPi / 2;
            point(cx + r * float(std::cos(a)), cz + r * float(std::sin(a)));
        }
    } else {
        const float corners[5][2] = {{-r, -r}, {r, -r}, {r, r}, {-r, r}, {-r, -r}};
        for (int side = 0; side < 4; ++side)
            for (u32 i = 0; i < kSquareSideSteps; ++i) {
                const float f = float(i) / kSquareSideSteps;
                point(cx + corners[side][0] + (corners[side + 1][0] - corners[side][0]) * f,
                      cz + corners[side][1] + (corners[side + 1][1] - corners[side][1]) * f);
            }
    }
    glEnd();
    glPopAttrib();
}

GlMeshRenderer g_mesh_renderer;

}  // namespace

void UploadMeshTextures(MeshEditData* data) {
    for (MeshBlockRecord& block : data->blocks) {
        if (block.texture.name || block.texels.empty()) continue;
        UploadTexture(&block.texture, block.texels.data(), kGlRgb, block.texel_side, block.texel_side, 0, 0);
        glBindTexture(GL_TEXTURE_2D, block.texture.name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        std::vector<u8>().swap(block.texels);
    }
    for (DetailTextureSlot& slot : data->slots) {
        DtexTag* texture = slot.texture;
        if (!texture || texture->uploaded || texture->pixels.empty()) continue;
        ReleaseTexture(&texture->texture);
        UploadTexture(&texture->texture, texture->pixels.data(), kGlRgb, texture->width, texture->height, 1, 1);
        texture->uploaded = true;
    }
}

double ReadMeshDepth(i32 x, i32 y) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (x < 0 || y < 0 || x >= viewport[2] || y >= viewport[3]) return 1.0;
    GLfloat depth = 1.0f;
    glReadPixels(viewport[0] + x, viewport[1] + (viewport[3] - 1 - y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

bool PickMeshPoint(const MeshEditData& data, const MeshView& view, i32 x, i32 y, float* world_x, float* world_z) {
    if (PickPointFromDepth(view, x, y, ReadMeshDepth(x, y), world_x, world_z)) {
        RefineMeshPick(data, view, x, y, world_x, world_z);
        return true;
    }
    *world_x = *world_z = -1.0f;
    return false;
}

namespace {

// The enabled passes over the visible blocks. The pick reads the depth the
// terrain left, before wireframe lines and points can stand in front of it.
void DrawMeshBlocks(MeshEditData* data, const MeshView& view, const Point* pointer) {
    MeshDrawer drawer(data, GetGlEntryPoints());
    drawer.TerrainPass();
    if (data->highlighting) drawer.HighlightPass();
    data->pick_x = data->pick_z = -1.0f;
    data->pick_valid = pointer && PickMeshPoint(*data, view, pointer->x, pointer->y, &data->pick_x, &data->pick_z);
    if (data->wireframe) drawer.WireframePass();
    if (data->triangle_mode) drawer.PointsPass();
}

}  // namespace

bool GlMeshRenderer::AcceptsAnyTextureSize() { return SupportsNpotTextures() != 0; }

// The sky's clear colour, like every other state the passes set, is put
// back afterwards: the views drawn after this one set their own.
void GlMeshRenderer::DrawTerrain(MeshEditData* data, const MeshView& view, const Point* pointer) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glClearColor(kSky[0], kSky[1], kSky[2], 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The passes set the rest; the terrain is seen from both sides.
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glShadeModel(GL_SMOOTH);
    if (const GlEntryPoints& gl = GetGlEntryPoints(); gl.activeTexture) {
        gl.activeTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        gl.activeTexture(GL_TEXTURE0);
    }
    if (data->mesh) {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixd(view.projection);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixd(view.model_view);
        UploadMeshTextures(data);
        glColor4ub(255, 255, 255, 255);
        DrawMeshBlocks(data, view, pointer);
        if (data->tool == kMeshDetailMapTool && data->pick_valid) DrawBrushOutline(*data);
    }
    glPopAttrib();
}

void GlMeshRenderer::ReleaseBlockTextures(MeshEditData* data) {
    for (MeshBlockRecord& block : data->blocks) ReleaseTexture(&block.texture);
}

void InstallMeshRendererGl() {
    SetMeshRenderer(&g_mesh_renderer);
    SetDtexTextureReleaser(ReleaseTexture);
}

}  // namespace pirn
