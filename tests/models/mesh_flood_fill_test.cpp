// Flood fill: the general scanline fill on small bitmaps drawn as text, the
// triangle adjacency across cell edges, and the fills of the terrain
// editor with their undo.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "models/mesh_flood_fill.h"
#include "tests/models/mesh_test_data.h"

namespace {

using mesh_test::MakeMeshData;
using mesh_test::Triangle;
using mesh_test::Vertex;
using pirn::u32;
using pirn::u8;

// Rows of digits.
std::vector<u8> Bitmap(const std::vector<std::string>& rows) {
    std::vector<u8> out;
    for (const std::string& row : rows)
        for (char c : row) out.push_back(u8(c - '0'));
    return out;
}

TEST(FloodFill, FillsTheConnectedAreaAndRecordsSortedRunsOnce) {
    std::vector<u8> bitmap = Bitmap({
        "000100",
        "010101",
        "010001",
        "011110",
    });
    pirn::FloodFillRequest r;
    r.bitmap = bitmap.data();
    r.width = 6;
    r.height = 4;
    r.x = 2;
    r.y = 2;
    r.new_value = 7;
    r.record_runs = true;
    pirn::FloodFill(&r);
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(r.old_value, 0);
    EXPECT_EQ(bitmap, Bitmap({
                          "777177",
                          "717171",
                          "717771",
                          "711110",
                      }));
    EXPECT_EQ(r.min_x, 0u);
    EXPECT_EQ(r.max_x, 5u);
    EXPECT_EQ(r.min_y, 0u);
    EXPECT_EQ(r.max_y, 3u);
    u32 filled = 0, last_end = 0;
    for (const pirn::MeshFillRun& run : r.runs) {
        EXPECT_GE(run.offset, last_end) << "runs sorted and not overlapping";
        last_end = run.offset + run.length;
        filled += run.length;
        for (u32 i = 0; i < run.length; ++i) EXPECT_EQ(bitmap[run.offset + i], 7);
    }
    EXPECT_EQ(filled, 13u);  // every filled byte in exactly one run
}

TEST(FloodFill, DoesNothingOutsideOrOntoTheSameValue) {
    std::vector<u8> bitmap = Bitmap({"11", "11"});
    const std::vector<u8> kept = bitmap;
    struct Case {
        pirn::i64 x, y;
        u8 value;
    } cases[] = {{-1, 0, 5}, {2, 0, 5}, {0, 2, 5}, {0, -1, 5}, {1, 1, 1}};
    for (const Case& c : cases) {
        pirn::FloodFillRequest r;
        r.bitmap = bitmap.data();
        r.width = r.height = 2;
        r.x = c.x;
        r.y = c.y;
        r.new_value = c.value;
        r.record_runs = true;
        pirn::FloodFill(&r);
        EXPECT_FALSE(r.changed);
        EXPECT_TRUE(r.runs.empty());
        EXPECT_EQ(bitmap, kept);
    }
}

// Triangle bytes of one 32 x 32 block: everything 9 except an open region.
struct TriangleCase {
    const char* what;
    std::vector<std::tuple<u32, u32, u32>> open;  // cell x, y, triangle of value 0
    float x, y;                                    // the fill's start point
    std::vector<std::tuple<u32, u32, u32>> filled;
};

TEST(FloodFill, TrianglesCrossOnlyTheCellsTopAndBottomEdges) {
    // Cell (3, 10) is odd: triangle 0 holds its top edge, triangle 1 its
    // bottom. Cell (3, 9) is even: triangle 0 holds its bottom edge,
    // triangle 1 its top.
    const TriangleCase cases[] = {
        {"up from the top triangle", {{3, 10, 0}, {3, 9, 0}, {3, 9, 1}}, 3.2f, 10.2f, {{3, 10, 0}, {3, 9, 0}, {3, 9, 1}}},
        {"not up from the bottom triangle", {{3, 10, 1}, {3, 9, 0}, {3, 9, 1}}, 3.8f, 10.8f, {{3, 10, 1}}},
        {"down from the bottom triangle", {{3, 9, 0}, {3, 10, 0}, {3, 10, 1}}, 3.2f, 9.8f, {{3, 9, 0}, {3, 10, 0}, {3, 10, 1}}},
        {"not down from the top triangle", {{3, 9, 1}, {3, 10, 0}, {3, 10, 1}}, 3.8f, 9.2f, {{3, 9, 1}}},
        {"along a row through the diagonals", {{3, 10, 0}, {3, 10, 1}, {4, 10, 0}, {5, 10, 1}}, 3.2f, 10.2f,
         {{3, 10, 0}, {3, 10, 1}, {4, 10, 0}}},
    };
    for (const TriangleCase& c : cases) {
        auto d = MakeMeshData(1, 1);
        for (u8& v : d->triangle_plane.values) v = 9;
        for (const auto& [x, y, t] : c.open) Triangle(*d, x, y, t) = 0;
        pirn::SyncSavedPlanes(d.get());
        d->current_texture = 4;
        std::unique_ptr<pirn::MeshFillChange> change = pirn::FloodFillTriangles(d.get(), c.x, c.y);
        ASSERT_TRUE(change) << c.what;
        for (const auto& [x, y, t] : c.open) {
            const bool expected = std::find(c.filled.begin(), c.filled.end(), std::make_tuple(x, y, t)) != c.filled.end();
            EXPECT_EQ(Triangle(*d, x, y, t), expected ? 4 : 0) << c.what << ": " << x << "," << y << "," << t;
        }
        EXPECT_EQ(d->saved_triangle_plane.values, d->triangle_plane.values) << c.what;
    }
}

TEST(FloodFill, TriangleFillIsUndoneAndRedone) {
    auto d = MakeMeshData(1, 1);
    mesh_test::CountingHooks hooks;
    d->hooks = &hooks;
    for (u32 x = 0; x < 32; ++x) Triangle(*d, x, 16, 0) = Triangle(*d, x, 16, 1) = 3;  // a wall
    pirn::SyncSavedPlanes(d.get());
    const std::vector<u8> before = d->triangle_plane.values;
    d->current_texture = 11;
    std::unique_ptr<pirn::MeshFillChange> change = pirn::FloodFillTriangles(d.get(), 5.5f, 5.2f);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->old_value, 0);
    EXPECT_EQ(change->new_value, 11);
    EXPECT_EQ(Triangle(*d, 0, 0, 0), 11);
    EXPECT_EQ(Triangle(*d, 31, 15, 1), 11);
    EXPECT_EQ(Triangle(*d, 0, 17, 0), 0) << "the wall holds";
    EXPECT_EQ(hooks.modified, 1);
    const std::vector<u8> after = d->triangle_plane.values;
    pirn::ApplyFillChange(d.get(), *change, false);
    EXPECT_EQ(d->triangle_plane.values, before);
    EXPECT_EQ(d->saved_triangle_plane.values, before);
    pirn::ApplyFillChange(d.get(), *change, true);
    EXPECT_EQ(d->triangle_plane.values, after);
    EXPECT_EQ(d->saved_triangle_plane.values, after);
}

TEST(FloodFill, VertexFillAndItsUndo) {
    auto d = MakeMeshData(1, 1);
    for (u32 y = 0; y < 32; ++y) Vertex(*d, 20, y) = 1;
    pirn::SyncSavedPlanes(d.get());
    d->current_texture = 2;
    std::unique_ptr<pirn::MeshFillChange> change = pirn::FloodFillVertices(d.get(), 25, 3);
    ASSERT_TRUE(change);
    EXPECT_EQ(Vertex(*d, 31, 31), 2);
    EXPECT_EQ(Vertex(*d, 21, 0), 2);
    EXPECT_EQ(Vertex(*d, 19, 0), 0);
    EXPECT_EQ(Vertex(*d, 20, 5), 1);
    EXPECT_EQ(change->x0, 21);
    EXPECT_EQ(change->x1, 31);
    EXPECT_EQ(d->saved_vertex_plane.values, d->vertex_plane.values);
    pirn::ApplyFillChange(d.get(), *change, false);
    EXPECT_EQ(Vertex(*d, 31, 31), 0);
    EXPECT_EQ(d->saved_vertex_plane.values, d->vertex_plane.values);
    // Onto its own value, or from outside: nothing.
    d->current_texture = 0;
    EXPECT_EQ(pirn::FloodFillVertices(d.get(), 25, 3), nullptr);
    d->current_texture = 5;
    EXPECT_EQ(pirn::FloodFillVertices(d.get(), 32, 3), nullptr);
}

TEST(FloodFill, PicksTheTriangleUnderAPointAndNothingPastTheMesh) {
    auto d = MakeMeshData(1, 1);
    struct Case {
        float x, y;
        bool inside;
        u32 cx, cy, t;
    } cases[] = {
        {2.7f, 4.2f, true, 2, 4, 1},   // even cell: fx >= fy
        {2.2f, 4.7f, true, 2, 4, 0},
        {3.2f, 4.2f, true, 3, 4, 0},   // odd cell: fx + fy < 1
        {3.8f, 4.7f, true, 3, 4, 1},
        {32.0f, 4.0f, false, 0, 0, 0},  // would wrap into the next row
        {-0.1f, 4.0f, false, 0, 0, 0},
        {4.0f, 32.5f, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        u32 cx, cy, t;
        EXPECT_EQ(pirn::PickTriangle(*d, c.x, c.y, &cx, &cy, &t), c.inside) << c.x << "," << c.y;
        if (!c.inside) continue;
        EXPECT_EQ(cx, c.cx);
        EXPECT_EQ(cy, c.cy);
        EXPECT_EQ(t, c.t) << c.x << "," << c.y;
    }
    d->current_texture = 3;
    EXPECT_EQ(pirn::FloodFillTriangles(d.get(), 32.0f, 0.5f), nullptr);
}

}  // namespace
