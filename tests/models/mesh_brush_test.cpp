// Brushes, strokes and their undo on one 32 x 32-cell block: which vertices
// and triangles each shape covers, locked slots, the value cap, and a
// stroke's change restoring exactly what it painted over, in both planes.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "models/mesh_brush.h"
#include "tests/models/mesh_test_data.h"

namespace {

using mesh_test::MakeMeshData;
using mesh_test::Triangle;
using mesh_test::Vertex;
using pirn::u32;
using pirn::u8;

using Point = std::pair<u32, u32>;
using Tri = std::tuple<u32, u32, u32>;

std::set<Point> PaintedVertices(pirn::MeshEditData& d) {
    std::set<Point> out;
    for (u32 y = 0; y < d.rows; ++y)
        for (u32 x = 0; x < d.columns; ++x)
            if (Vertex(d, x, y)) out.insert({x, y});
    return out;
}

std::set<Tri> PaintedTriangles(pirn::MeshEditData& d) {
    std::set<Tri> out;
    for (u32 y = 0; y < d.rows; ++y)
        for (u32 x = 0; x < d.columns; ++x)
            for (u32 t = 0; t < 2; ++t)
                if (Triangle(d, x, y, t)) out.insert({x, y, t});
    return out;
}

TEST(MeshBrush, TriangleCentroidsFollowTheCheckerboardDiagonal) {
    struct Case {
        u32 x, y, t;
        float cx, cy;
    } cases[] = {
        {0, 0, 0, 1.0f / 3, 2.0f / 3}, {0, 0, 1, 2.0f / 3, 1.0f / 3},  // even cell
        {1, 0, 0, 4.0f / 3, 1.0f / 3}, {1, 0, 1, 5.0f / 3, 2.0f / 3},  // odd cell
        {3, 3, 1, 3 + 2.0f / 3, 3 + 1.0f / 3},
    };
    for (const Case& c : cases) {
        float cx, cy;
        pirn::TriangleCentroid(c.x, c.y, c.t, &cx, &cy);
        EXPECT_NEAR(cx, c.cx, 1e-6) << c.x << "," << c.y << "," << c.t;
        EXPECT_NEAR(cy, c.cy, 1e-6) << c.x << "," << c.y << "," << c.t;
    }
}

TEST(MeshBrush, ShapesCoverTheirVerticesAndTriangles) {
    struct Case {
        bool triangles;
        bool square;
        float x, y, radius;
        std::set<Point> vertices;
        std::set<Tri> tris;
    } cases[] = {
        {false, false, 10, 10, 1.0f, {{10, 10}, {9, 10}, {11, 10}, {10, 9}, {10, 11}}, {}},
        {false, true, 10, 10, 1.0f, {{9, 9}, {10, 9}, {11, 9}, {9, 10}, {10, 10}, {11, 10}, {9, 11}, {10, 11}, {11, 11}}, {}},
        {false, false, 0.2f, 0.1f, 0.5f, {{0, 0}}, {}},  // clamped at the mesh's corner
        // Radius 0.5 round: only the centroids within 0.5, both of cell (5, 5).
        {true, false, 5.5f, 5.5f, 0.5f, {}, {{5, 5, 0}, {5, 5, 1}}},
        // The eight centroids around a vertex lie 0.745 away, 2/3 along one axis.
        {true, false, 6, 6, 0.7f, {}, {}},
        {true, true, 6, 6, 0.7f, {},
         {{5, 5, 0}, {5, 5, 1}, {6, 5, 0}, {6, 5, 1}, {5, 6, 0}, {5, 6, 1}, {6, 6, 0}, {6, 6, 1}}},
        {true, false, 6, 6, 0.75f, {},
         {{5, 5, 0}, {5, 5, 1}, {6, 5, 0}, {6, 5, 1}, {5, 6, 0}, {5, 6, 1}, {6, 6, 0}, {6, 6, 1}}},
    };
    for (const Case& c : cases) {
        auto d = MakeMeshData(1, 1);
        d->current_texture = 4;
        d->triangle_mode = c.triangles;
        d->square_brush = c.square;
        d->brush_radius = c.radius;
        pirn::BeginBrushStroke(d.get());
        pirn::PaintBrushDab(d.get(), c.x, c.y);
        EXPECT_EQ(PaintedVertices(*d), c.vertices) << c.x << "," << c.y << " r " << c.radius;
        EXPECT_EQ(PaintedTriangles(*d), c.tris) << c.x << "," << c.y << " r " << c.radius;
        for (const Tri& t : c.tris) EXPECT_EQ(Triangle(*d, std::get<0>(t), std::get<1>(t), std::get<2>(t)), 4);
    }
}

TEST(MeshBrush, LockedSlotsStayUnlessShiftIsHeldAndIndicesAreCapped) {
    auto d = MakeMeshData(1, 1);
    Vertex(*d, 10, 10) = 3;
    d->slots[3].locked = true;
    d->current_texture = 7;
    d->brush_radius = 1.0f;
    pirn::BeginBrushStroke(d.get());
    pirn::PaintBrushDab(d.get(), 10, 10);
    EXPECT_EQ(Vertex(*d, 10, 10), 3);
    EXPECT_EQ(Vertex(*d, 9, 10), 7);
    d->modifiers = 1;  // Shift
    pirn::PaintBrushDab(d.get(), 10, 10);
    EXPECT_EQ(Vertex(*d, 10, 10), 7);

    d->current_texture = 200;
    d->triangle_mode = true;
    pirn::PaintBrushDab(d.get(), 20.5f, 20.5f);
    EXPECT_EQ(Triangle(*d, 20, 20, 0), 127);
    EXPECT_EQ(Triangle(*d, 20, 20, 1), 127);
}

TEST(MeshBrush, StrokeChangeRestoresAndRedoesBothPlanes) {
    for (bool triangles : {false, true}) {
        auto d = MakeMeshData(1, 1);
        mesh_test::CountingHooks hooks;
        d->hooks = &hooks;
        d->triangle_mode = triangles;
        pirn::MeshPlane& working = triangles ? d->triangle_plane : d->vertex_plane;
        pirn::MeshPlane& saved = triangles ? d->saved_triangle_plane : d->saved_vertex_plane;
        // An earlier stroke's values under this one.
        for (u8& v : working.values) v = 2;
        pirn::SyncSavedPlanes(d.get());
        const std::vector<u8> before = working.values;

        d->current_texture = 9;
        d->brush_radius = 2.0f;
        pirn::BeginBrushStroke(d.get());
        pirn::PaintBrushDab(d.get(), 8, 8);
        pirn::PaintBrushDab(d.get(), 12, 9);
        EXPECT_EQ(saved.values, before) << "the saved plane holds the state before the stroke";
        std::unique_ptr<pirn::MeshStrokeChange> change = pirn::EndBrushStroke(d.get());
        ASSERT_TRUE(change);
        const std::vector<u8> after = working.values;
        EXPECT_NE(after, before);
        EXPECT_EQ(saved.values, after);
        EXPECT_FALSE(d->stroke.active);

        pirn::ApplyStrokeChange(d.get(), *change, false);
        EXPECT_EQ(working.values, before) << triangles;
        EXPECT_EQ(saved.values, before);
        pirn::ApplyStrokeChange(d.get(), *change, true);
        EXPECT_EQ(working.values, after);
        EXPECT_EQ(saved.values, after);
        EXPECT_EQ(hooks.modified, 2);
    }
}

TEST(MeshBrush, OneColumnDabAtTheEdgeStaysInTheStroke) {
    // The first dab's rectangle is one column wide (x 31 only): it must not
    // be forgotten when the second dab widens the stroke.
    auto d = MakeMeshData(1, 1);
    d->current_texture = 5;
    d->brush_radius = 0.5f;
    pirn::BeginBrushStroke(d.get());
    pirn::PaintBrushDab(d.get(), 31.5f, 10);
    EXPECT_EQ(Vertex(*d, 31, 10), 5);
    EXPECT_FALSE(d->stroke.empty);
    EXPECT_EQ(d->stroke.x0, 31u);
    EXPECT_EQ(d->stroke.x1, 31u);
    pirn::PaintBrushDab(d.get(), 5, 5);
    std::unique_ptr<pirn::MeshStrokeChange> change = pirn::EndBrushStroke(d.get());
    ASSERT_TRUE(change);
    EXPECT_EQ(d->saved_vertex_plane.values, d->vertex_plane.values);
    pirn::ApplyStrokeChange(d.get(), *change, false);
    EXPECT_EQ(Vertex(*d, 31, 10), 0);
    EXPECT_EQ(Vertex(*d, 5, 5), 0);
    EXPECT_EQ(d->saved_vertex_plane.values, d->vertex_plane.values);
}

TEST(MeshBrush, AStrokeThatTouchedNothingRecordsNothing) {
    auto d = MakeMeshData(1, 1);
    pirn::BeginBrushStroke(d.get());
    EXPECT_EQ(pirn::EndBrushStroke(d.get()), nullptr);
    // A dab wholly outside the mesh clamps to nothing.
    pirn::BeginBrushStroke(d.get());
    pirn::PaintBrushDab(d.get(), -20, -20);
    EXPECT_EQ(pirn::EndBrushStroke(d.get()), nullptr);
}

TEST(MeshBrush, DabsRebuildTheCellWordsTheyTouch) {
    auto d = MakeMeshData(1, 1);
    d->current_texture = 6;
    d->brush_radius = 0.2f;
    pirn::BeginBrushStroke(d.get());
    pirn::PaintBrushDab(d.get(), 10, 10);  // vertex (10, 10) only
    // Cell (10, 10) is even: triangle 0 has corners (10,10), (10,11), (11,11)
    // and triangle 1 (10,10), (11,11), (11,10): value 6 at corner 1 of both.
    const pirn::MeshBlockRecord& block = d->blocks[0];
    EXPECT_EQ(block.words[10 * 32 + 10][0], pirn::EncodeCellWord(0, 6, 0, 0));
    EXPECT_EQ(block.words[10 * 32 + 10][1], pirn::EncodeCellWord(0, 6, 0, 0));
    // Cell (9, 9) is even: (10, 10) is corner 3 of triangle 0 and corner 2 of 1.
    EXPECT_EQ(block.words[9 * 32 + 9][0], pirn::EncodeCellWord(0, 0, 0, 6));
    EXPECT_EQ(block.words[9 * 32 + 9][1], pirn::EncodeCellWord(0, 0, 6, 0));
    // Cell (9, 10) is odd: triangle 1 has corners (10,10), (9,11), (10,11).
    EXPECT_EQ(block.words[10 * 32 + 9][1], pirn::EncodeCellWord(0, 6, 0, 0));
    EXPECT_EQ(block.words[10 * 32 + 9][0], pirn::EncodeCellWord(0, 0, 0, 6));
}

}  // namespace
