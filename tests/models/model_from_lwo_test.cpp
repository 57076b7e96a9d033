#include "models/model_from_lwo.h"

#include <gtest/gtest.h>

#include <array>

#include "models/geom_from_model.h"
#include "models/lwo_reader.h"
#include "platform/image_file.h"
#include "tests/models/lwo_fixture_bytes.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

LwoTextureBlock UvImageBlock(u32 clip, const std::string& uv_map) {
    LwoTextureBlock block;
    block.type = LwoId("IMAP");
    block.channel = LwoId("COLR");
    block.image.projection = kLwoProjectionUv;
    block.image.clip = clip;
    block.image.uv_map = uv_map;
    return block;
}

LwoVertexMap UvMap(const std::string& name, bool per_polygon, std::vector<u32> points, std::vector<u32> polygons,
                   std::vector<float> values) {
    LwoVertexMap map;
    map.type = LwoId("TXUV");
    map.dimension = 2;
    map.name = name;
    map.per_polygon = per_polygon;
    map.points = std::move(points);
    map.polygons = std::move(polygons);
    map.values = std::move(values);
    return map;
}

// Two triangles over four points; surface "Tex" maps clip 3 by the UV map
// "uv" (a per-polygon value overrides point 2 in polygon 1); surface "Flat"
// has no image.
LwoObject TwoSurfaceObject() {
    LwoObject object;
    object.layers.emplace_back();
    LwoLayer& layer = object.layers[0];
    layer.pivot[0] = 1;
    layer.pivot[1] = 2;
    layer.pivot[2] = 3;
    const float bounds[6] = {-1, -2, -3, 4, 5, 6};
    std::copy(bounds, bounds + 6, layer.bounds);
    const float points[4][3] = {{1, 0, 0}, {2, 1, 0}, {3, 0, 1}, {-4, 5, 6}};
    layer.points.resize(4);
    for (int i = 0; i < 4; ++i) std::copy(points[i], points[i] + 3, layer.points[i].position);
    const u32 corners[3][3] = {{0, 1, 2}, {2, 1, 3}, {0, 2, 3}};
    const u32 surfaces[3] = {0, 0, 1};
    for (int p = 0; p < 3; ++p) {
        LwoPolygon polygon;
        polygon.surface = surfaces[p];
        polygon.normal[0] = 0.6f;
        polygon.normal[1] = 0.8f;
        for (u32 c : corners[p]) {
            LwoPolygonVertex vertex;
            vertex.index = c;
            vertex.normal[0] = 1;
            polygon.vertices.push_back(vertex);
        }
        layer.polygons.push_back(polygon);
    }
    layer.vertex_maps.push_back(UvMap("uv", false, {0, 1, 2}, {}, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}));
    layer.vertex_maps.push_back(UvMap("other", false, {0}, {}, {0.9f, 0.9f}));
    layer.vertex_maps.push_back(UvMap("uv", true, {2}, {1}, {0.7f, 0.75f}));
    // Point 0 has "other" before "uv"; points 1 and 2 only "uv".
    layer.point_vmaps = {{1, 0}, {0, 0}, {0, 1}, {0, 2}};
    layer.points[0].vmaps = {0, 2};
    layer.points[1].vmaps = {2, 1};
    layer.points[2].vmaps = {3, 1};
    layer.corner_vmads = {{2, 0}};
    layer.polygons[1].vertices[0].vmads = {0, 1};

    object.surfaces.resize(2);
    object.surfaces[0].name = "Tex";
    object.surfaces[0].channels[kLwoChannelColour].push_back(UvImageBlock(3, "uv"));
    object.surfaces[1].name = "Flat";
    LwoClip clip;
    clip.index = 3;
    clip.type = kLwoClipStill;
    clip.file_name = "Q:ASSIMP/some/where/wood.png";
    object.clips.push_back(clip);
    return object;
}

TEST(LwoObjectToModel, MirrorsXAndKeepsBoundsInOrder) {
    std::string message;
    auto model = LwoObjectToModel(TwoSurfaceObject(), "/nonexistent", &message);
    ASSERT_NE(model, nullptr) << message;
    ASSERT_EQ(model->vertices.size(), 4u);
    EXPECT_EQ(model->vertices[1].x, -2.0f);
    EXPECT_EQ(model->vertices[1].y, 1.0f);
    EXPECT_EQ(model->vertices[3].z, 6.0f);
    const float bounds[6] = {-4, -2, -3, 1, 5, 6};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(model->bounds[i], bounds[i]) << i;
    EXPECT_EQ(model->pivot[0], -1.0f);
    EXPECT_EQ(model->pivot[2], 3.0f);
}

TEST(LwoObjectToModel, SurfacesBecomeTexturesInOrderOfFirstUse) {
    std::string message;
    auto model = LwoObjectToModel(TwoSurfaceObject(), "/nonexistent", &message);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->textures.size(), 2u);
    EXPECT_EQ(model->textures[0].name, "Tex");
    EXPECT_EQ(model->textures[0].file_name, "wood.png");
    EXPECT_EQ(model->textures[0].colour.width, 0u);  // no such file
    EXPECT_EQ(model->textures[1].name, "Flat");
    EXPECT_EQ(model->textures[1].file_name, "");
    ASSERT_EQ(model->triangles.size(), 3u);
    EXPECT_EQ(model->triangles[0].texture, 0u);
    EXPECT_EQ(model->triangles[2].texture, 1u);
    for (const ModelTriangle& t : model->triangles) {
        EXPECT_EQ(t.owner, model.get());
        EXPECT_EQ(t.colour, 0xFFFFFFFFu);
        EXPECT_EQ(t.normal[0], -0.6f);
        EXPECT_EQ(t.normal[1], 0.8f);
        EXPECT_EQ(t.corners[0].normal[0], -1.0f);
    }
}

TEST(LwoObjectToModel, CornersTakePerPolygonValuesBeforePointValues) {
    std::string message;
    auto model = LwoObjectToModel(TwoSurfaceObject(), "", &message);
    ASSERT_NE(model, nullptr);
    const ModelTriangle& first = model->triangles[0];
    // Point 0 carries an "other" map first; the "uv" one is taken.
    EXPECT_FLOAT_EQ(first.corners[0].u, 0.1f);
    EXPECT_FLOAT_EQ(first.corners[0].v, 0.8f);
    EXPECT_FLOAT_EQ(first.corners[2].u, 0.5f);
    EXPECT_FLOAT_EQ(first.corners[2].v, 0.4f);
    const ModelTriangle& second = model->triangles[1];
    EXPECT_FLOAT_EQ(second.corners[0].u, 0.7f);
    EXPECT_FLOAT_EQ(second.corners[0].v, 0.25f);
    // Point 3 has no value: 0, 0.
    EXPECT_EQ(second.corners[2].u, 0.0f);
    EXPECT_EQ(second.corners[2].v, 0.0f);
    // Untextured surfaces take no coordinates at all.
    EXPECT_EQ(model->triangles[2].corners[0].u, 0.0f);
}

// One layer of the given points and one polygon per corner list, all of
// surface 0 (untextured).
LwoObject PolygonObject(const std::vector<std::array<float, 3>>& points,
                        const std::vector<std::pair<u32, std::vector<u32>>>& polygons) {
    LwoObject object;
    object.layers.emplace_back();
    LwoLayer& layer = object.layers[0];
    for (const auto& p : points) {
        layer.points.emplace_back();
        std::copy(p.begin(), p.end(), layer.points.back().position);
    }
    for (const auto& [type, corners] : polygons) {
        LwoPolygon polygon;
        polygon.type = type;
        polygon.surface = 0;
        for (u32 c : corners) {
            LwoPolygonVertex vertex;
            vertex.index = c;
            polygon.vertices.push_back(vertex);
        }
        layer.polygons.push_back(polygon);
    }
    object.surfaces.resize(1);
    return object;
}

TEST(LwoObjectToModel, PolygonsBecomeFansAndPointsAndLinesAreLeftOut) {
    const u32 face = LwoId("FACE");
    // A unit square and a concave "arrow head" (its corner 2 points inward).
    const std::vector<std::array<float, 3>> points = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0},
                                                      {0, 0, 0}, {2, 1, 0}, {1, 0, 0}, {2, -1, 0}};
    struct Case {
        const char* what;
        std::vector<std::pair<u32, std::vector<u32>>> polygons;
        std::vector<std::array<u32, 3>> triangles;
        LwoConversionNotes notes;
    } cases[] = {
        {"triangle", {{face, {0, 1, 2}}}, {{0, 1, 2}}, {}},
        {"quad", {{face, {0, 1, 2, 3}}}, {{0, 1, 2}, {0, 2, 3}}, {1, 0, 0, 0, {}}},
        {"pentagon-like fan", {{face, {3, 0, 1, 2, 3}}}, {{3, 0, 1}, {3, 1, 2}, {3, 2, 3}}, {1, 0, 0, 0, {}}},
        {"concave quad", {{face, {4, 5, 6, 7}}}, {{4, 5, 6}, {4, 6, 7}}, {1, 1, 0, 0, {}}},
        {"subdivision patch", {{LwoId("PTCH"), {0, 1, 2, 3}}}, {{0, 1, 2}, {0, 2, 3}}, {1, 0, 0, 0, {}}},
        {"point, line and empty polygon", {{face, {0}}, {face, {0, 1}}, {face, {}}, {face, {0, 1, 2}}},
         {{0, 1, 2}}, {0, 0, 3, 0, {}}},
        {"curve, bone and metaball",
         {{LwoId("CURV"), {0, 1, 2, 3}}, {LwoId("BONE"), {0, 1}}, {LwoId("MBAL"), {2}}}, {}, {0, 0, 0, 3, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string message;
        LwoConversionNotes notes;
        auto model = LwoObjectToModel(PolygonObject(points, c.polygons), "", &message, &notes);
        ASSERT_NE(model, nullptr) << message;
        ASSERT_EQ(model->triangles.size(), c.triangles.size());
        for (size_t t = 0; t < c.triangles.size(); ++t) {
            for (int k = 0; k < 3; ++k) EXPECT_EQ(model->triangles[t].corners[k].vertex, c.triangles[t][k]) << t;
            EXPECT_EQ(model->triangles[t].texture, 0u);
            EXPECT_EQ(model->triangles[t].owner, model.get());
        }
        EXPECT_EQ(notes.split_polygons, c.notes.split_polygons);
        EXPECT_EQ(notes.not_convex, c.notes.not_convex);
        EXPECT_EQ(notes.skipped_points_lines, c.notes.skipped_points_lines);
        EXPECT_EQ(notes.skipped_other_kinds, c.notes.skipped_other_kinds);
    }
}

TEST(LwoObjectToModel, FanTrianglesKeepTheirCornersUvAndThePolygonNormal) {
    LwoObject object = TwoSurfaceObject();
    // Polygon 0 (surface "Tex") becomes a quad through point 3, which has no
    // UV: its second triangle is (0, 2, 3).
    LwoPolygonVertex extra;
    extra.index = 3;
    extra.normal[1] = 1;
    object.layers[0].polygons[0].vertices.push_back(extra);
    std::string message;
    auto model = LwoObjectToModel(object, "", &message);
    ASSERT_NE(model, nullptr) << message;
    ASSERT_EQ(model->triangles.size(), 4u);
    const ModelTriangle& second = model->triangles[1];
    EXPECT_EQ(second.corners[0].vertex, 0u);
    EXPECT_EQ(second.corners[1].vertex, 2u);
    EXPECT_EQ(second.corners[2].vertex, 3u);
    EXPECT_FLOAT_EQ(second.corners[1].u, 0.5f);
    EXPECT_FLOAT_EQ(second.corners[1].v, 0.4f);
    EXPECT_EQ(second.corners[2].normal[1], 1.0f);
    EXPECT_EQ(second.normal[0], -0.6f);
    EXPECT_EQ(model->triangles[2].corners[0].vertex, 2u);  // polygon 1 follows
}

TEST(LwoObjectToModel, AnObjectWithoutLayersIsRefused) {
    std::string message;
    EXPECT_EQ(LwoObjectToModel(LwoObject(), "", &message), nullptr);
    EXPECT_EQ(message, "The object has no layer.");
}

TEST(LwoObjectToModel, TextureNamesAreDistinctWithinThirtyOneCharacters) {
    LwoObject object = TwoSurfaceObject();
    const std::string long_name(40, 's');
    object.surfaces[0].name = long_name + "A";
    object.surfaces[1].name = long_name + "B";
    object.surfaces.emplace_back();  // a third surface with no name
    object.layers[0].polygons.push_back(object.layers[0].polygons[0]);
    object.layers[0].polygons.back().surface = 2;
    object.layers[0].polygons.push_back(object.layers[0].polygons[0]);
    object.layers[0].polygons.back().surface = kLwoNone;
    std::string message;
    auto model = LwoObjectToModel(object, "", &message);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->textures.size(), 4u);
    EXPECT_EQ(model->textures[0].name, std::string(31, 's'));
    EXPECT_EQ(model->textures[1].name, std::string(29, 's') + " 2");
    EXPECT_EQ(model->textures[2].name, "Texture");
    EXPECT_EQ(model->textures[3].name, "Texture 2");
}

TEST(LwoClipFileName, CutsAtTheLastColonThenTheLastSeparator) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {{"wood.png", "wood.png"},
                 {"Q:ASSIMP/models/earth.jpg", "earth.jpg"},
                 {"C:\\Users\\maps\\IMAGE2.jpg", "IMAGE2.jpg"},
                 {"images/", ""},
                 {"a:b:c", "c"},
                 {"../../etc/passwd", "passwd"}};
    for (const auto& c : cases) EXPECT_EQ(LwoClipFileName(c.path), c.name) << c.path;
}

// A 2 x 2 picture at maps/skin.png in a scratch folder.
class LwoImageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetImagePixels(&image_, 2, 2, kFormatRgb, kPixels));
        std::vector<u8> png;
        ASSERT_TRUE(EncodeImageBytes(kTypePng, image_, &png));
        pirn_test::WriteAll(dir_.file("maps/skin.png"), png);
    }
    std::unique_ptr<ModelObject> Convert(u16 projection, LwoConversionNotes* notes = nullptr) {
        const std::vector<u8> bytes = lwo_fixture::TriangleWithImage(projection, "X:/far/away/skin.png");
        LwoReadFailure failure;
        auto object = LwoReadObjectBytes(bytes.data(), bytes.size(), &failure);
        EXPECT_NE(object, nullptr) << LwoFailureText(failure);
        if (!object) return nullptr;
        std::string message;
        auto model = LwoObjectToModel(*object, dir_.file("maps"), &message, notes);
        EXPECT_NE(model, nullptr) << message;
        return model;
    }

    static constexpr u8 kPixels[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    pirn_test::TempDir dir_;
    PixelImage image_;
};

TEST_F(LwoImageFolder, ImagesLoadFromTheGivenFolder) {
    auto model = Convert(kLwoProjectionUv);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->textures.size(), 1u);
    EXPECT_EQ(model->textures[0].file_name, "skin.png");
    EXPECT_EQ(model->textures[0].colour.width, 2u);
    EXPECT_EQ(model->textures[0].colour.pixels, std::vector<u8>(kPixels, kPixels + 12));
    EXPECT_TRUE(ModelTriangleIsTextured(*model, model->triangles[0]));
    EXPECT_EQ(model->triangles[0].corners[1].u, 1.0f);
    EXPECT_EQ(model->triangles[0].corners[1].v, 0.75f);

    // And on into a geometry: the material carries the surface's name.
    GeomData geom;
    std::string message;
    ASSERT_TRUE(BuildGeomData(*model, 5, &geom, &message)) << message;
    EXPECT_STREQ(geom.materials[0].name, "Skin");
    EXPECT_EQ(geom.triangles[0].corners[1].u, 65535);
    EXPECT_EQ(geom.triangles[0].corners[1].v, 49151);
}

// An image laid on by a projection is the surface's texture all the same;
// only UV maps give its corners coordinates, so the others are noted.
TEST_F(LwoImageFolder, ImagesOfEveryProjectionAreLoaded) {
    for (u16 projection : {kLwoProjectionPlanar, kLwoProjectionCylindrical, kLwoProjectionSpherical,
                           kLwoProjectionCubic, kLwoProjectionFront}) {
        SCOPED_TRACE(LwoProjectionName(projection));
        LwoConversionNotes notes;
        auto model = Convert(projection, &notes);
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->textures.size(), 1u);
        EXPECT_EQ(model->textures[0].file_name, "skin.png");
        EXPECT_EQ(model->textures[0].colour.pixels, std::vector<u8>(kPixels, kPixels + 12));
        EXPECT_TRUE(ModelTriangleIsTextured(*model, model->triangles[0]));
        for (const ModelCorner& corner : model->triangles[0].corners) {
            EXPECT_EQ(corner.u, 0.0f);
            EXPECT_EQ(corner.v, 0.0f);
        }
        ASSERT_EQ(notes.projected_images.size(), 1u);
        EXPECT_EQ(notes.projected_images[0].surface, "Skin");
        EXPECT_EQ(notes.projected_images[0].projection, projection);
    }
    LwoConversionNotes notes;
    ASSERT_NE(Convert(kLwoProjectionUv, &notes), nullptr);
    EXPECT_TRUE(notes.projected_images.empty());
}

}  // namespace
