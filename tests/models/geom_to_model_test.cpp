#include "models/geom_to_model.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pirn;

namespace {

// Four vertices, two materials, triangles as each case sets them.
GeomData SmallGeom() {
    GeomData geom;
    SetGeomVertexCount(&geom, 4);
    const i16 stored[4][3] = {{512, 0, 0}, {-1024, 256, 512}, {0, -512, 1536}, {0, 0, 0}};
    for (int i = 0; i < 4; ++i) std::memcpy(geom.vertices[i].axis, stored[i], sizeof(stored[i]));
    geom.header.pivot[0] = -512;
    geom.header.pivot[1] = 1024;
    geom.header.pivot[2] = 256;
    SetGeomMaterialCount(&geom, 2);
    std::strcpy(geom.materials[0].name, "hull");
    geom.materials[1].sequence_index = 9;
    return geom;
}

GeomTriangle Triangle(u16 material, u16 a, u16 b, u16 c) {
    GeomTriangle t{};
    t.material = material;
    t.corners[0].vertex = a;
    t.corners[1].vertex = b;
    t.corners[2].vertex = c;
    return t;
}

TEST(GeomToModel, VerticesReturnToModelAxes) {
    GeomData geom = SmallGeom();
    auto model = GeomDataToModel(geom, nullptr, nullptr);
    ASSERT_EQ(model->vertices.size(), 4u);
    EXPECT_EQ(model->vertices[0].x, -1.0f);
    EXPECT_EQ(model->vertices[1].x, 2.0f);
    EXPECT_EQ(model->vertices[1].y, 1.0f);
    EXPECT_EQ(model->vertices[1].z, 0.5f);
    EXPECT_EQ(model->pivot[0], 1.0f);
    EXPECT_EQ(model->pivot[1], 0.5f);
    EXPECT_EQ(model->pivot[2], 2.0f);
    const float bounds[6] = {-1, 0, -1, 2, 3, 0.5f};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(model->bounds[i], bounds[i]) << i;
}

TEST(GeomToModel, EmptyGeometryHasZeroBounds) {
    GeomData geom;
    auto model = GeomDataToModel(geom, nullptr, nullptr);
    for (float b : model->bounds) EXPECT_EQ(b, 0.0f);
}

TEST(GeomToModel, ModelEntirelyAtNegativeXKeepsItsBounds) {
    GeomData geom;
    SetGeomVertexCount(&geom, 2);
    geom.vertices[0].axis[0] = 1024;
    geom.vertices[1].axis[0] = 2048;
    auto model = GeomDataToModel(geom, nullptr, nullptr);
    EXPECT_EQ(model->bounds[0], -4.0f);
    EXPECT_EQ(model->bounds[3], -2.0f);
}

TEST(GeomToModel, BadIndicesDrawUntexturedOrAreLeftOut) {
    struct Case {
        const char* what;
        GeomTriangle triangle;
        bool kept;
        u32 texture;
        GeomDisplayProblems problems;
    };
    const Case cases[] = {
        {"good", Triangle(1, 0, 1, 2), true, 1, {0, 0}},
        {"material beyond the list", Triangle(2, 0, 1, 2), true, kNoModelTexture, {0, 1}},
        {"negative material", Triangle(0x8000, 0, 1, 2), true, kNoModelTexture, {0, 1}},
        {"no material", Triangle(kGeomNoMaterial, 0, 1, 2), true, kNoModelTexture, {0, 0}},
        {"vertex beyond the list", Triangle(0, 0, 4, 2), false, 0, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeomData geom = SmallGeom();
        geom.triangles.push_back(c.triangle);
        GeomDisplayProblems problems;
        auto model = GeomDataToModel(geom, nullptr, &problems);
        EXPECT_EQ(problems.triangles_left_out, c.problems.triangles_left_out);
        EXPECT_EQ(problems.bad_materials, c.problems.bad_materials);
        ASSERT_EQ(model->triangles.size(), c.kept ? 1u : 0u);
        if (!c.kept) continue;
        EXPECT_EQ(model->triangles[0].texture, c.texture);
        EXPECT_EQ(model->triangles[0].owner, model.get());
        EXPECT_FALSE(ModelTriangleIsTextured(*model, model->triangles[0]));
    }
}

TEST(GeomToModel, TransparencyBecomesTheAlphaItWasMadeFrom) {
    struct Case {
        u16 flags;
        u16 transparency;
        u32 colour;
    };
    const Case cases[] = {
        {0, 65535, 0xFFFFFFFF},   // flag clear: the field is not used
        {1, 0, 0xFFFFFFFF},       // fully opaque
        {1, 65535, 0x00FFFFFF},   // fully transparent
        {1, 32639, 0x80FFFFFF},   // (1 - 128/255) x 65535
    };
    for (const Case& c : cases) {
        GeomData geom = SmallGeom();
        GeomTriangle t = Triangle(0, 0, 1, 2);
        t.flags = c.flags;
        t.transparency = c.transparency;
        geom.triangles.push_back(t);
        auto model = GeomDataToModel(geom, nullptr, nullptr);
        EXPECT_EQ(model->triangles[0].colour, c.colour) << c.flags << " " << c.transparency;
    }
}

TEST(GeomToModel, CornersTakeTheirTextureFractions) {
    GeomData geom = SmallGeom();
    GeomTriangle t = Triangle(0, 3, 1, 2);
    t.corners[0].u = 65535;
    t.corners[0].v = 0;
    t.corners[1].u = 32768;
    t.corners[1].v = 65535;
    geom.triangles.push_back(t);
    auto model = GeomDataToModel(geom, nullptr, nullptr);
    const ModelTriangle& m = model->triangles[0];
    EXPECT_EQ(m.corners[0].vertex, 3u);
    EXPECT_EQ(m.corners[0].u, 1.0f);
    EXPECT_EQ(m.corners[0].v, 0.0f);
    EXPECT_FLOAT_EQ(m.corners[1].u, 32768.0f / 65535.0f);
    EXPECT_EQ(m.corners[1].v, 1.0f);
}

TEST(GeomToModel, EveryMaterialGetsATextureFromTheFiller) {
    GeomData geom = SmallGeom();
    geom.triangles.push_back(Triangle(1, 0, 1, 2));
    std::vector<std::pair<u32, u16>> calls;
    auto model = GeomDataToModel(
        geom,
        [&](u32 index, const GeomMaterial& material, ModelTexture* texture) {
            calls.push_back({index, material.sequence_index});
            texture->name = index == 0 ? material.name : "second";
            if (index == 1) SetImagePixels(&texture->colour, 2, 2, kFormatRgba, nullptr);
        },
        nullptr);
    ASSERT_EQ(model->textures.size(), 2u);
    EXPECT_EQ(calls, (std::vector<std::pair<u32, u16>>{{0, 0}, {1, 9}}));
    EXPECT_EQ(model->textures[0].name, "hull");
    EXPECT_TRUE(ModelTriangleIsTextured(*model, model->triangles[0]));

    auto without = GeomDataToModel(geom, nullptr, nullptr);
    ASSERT_EQ(without->textures.size(), 2u);
    EXPECT_TRUE(without->textures[1].name.empty());
    EXPECT_FALSE(ModelTriangleIsTextured(*without, without->triangles[0]));
}

}  // namespace
