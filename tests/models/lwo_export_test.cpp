// LightWave export: the bytes against the chunk tables, the names taken
// from tag data, the files written, and the object read back.

#include "models/lwo_export.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "tests/models/lwo_fixture_bytes.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

// One textured triangle, one untextured; the first texture a 2 x 1 RGB
// picture whose file name comes from a tag ("../x"), the second without
// pixels.
std::unique_ptr<ModelObject> TwoTriangleModel() {
    auto model = std::make_unique<ModelObject>();
    const float points[4][3] = {{1, 2, 3}, {-4, 5, 6}, {7, -8, 9}, {0, 0, 1}};
    for (const auto& p : points) {
        ModelVertex v;
        v.x = p[0];
        v.y = p[1];
        v.z = p[2];
        model->vertices.push_back(v);
    }
    model->pivot[0] = 0.5f;
    model->pivot[1] = 1.5f;
    model->pivot[2] = -2.5f;
    const u32 corners[2][3] = {{0, 1, 2}, {2, 1, 3}};
    for (int t = 0; t < 2; ++t) {
        ModelTriangle triangle;
        triangle.texture = t == 0 ? 0 : kNoModelTexture;
        for (int c = 0; c < 3; ++c) {
            triangle.corners[c].vertex = corners[t][c];
            triangle.corners[c].u = 0.25f * c;
            triangle.corners[c].v = 0.125f * (c + 1);
        }
        model->triangles.push_back(triangle);
    }
    model->textures.resize(2);
    model->textures[0].name = "Bark";
    model->textures[0].file_name = "../x";
    const u8 rgb[] = {255, 0, 0, 0, 0, 255};
    SetImagePixels(&model->textures[0].colour, 2, 1, kFormatRgb, rgb);
    model->textures[1].name = "Bark";  // the same name from another material
    SetModelTriangleOwners(model.get());
    return model;
}

TEST(LwoExport, BytesFollowTheChunkTables) {
    using namespace lwo_fixture;
    auto model = TwoTriangleModel();
    const std::vector<std::string> files = {"x.png", ""};
    const std::vector<std::string> surfaces = {"Bark", "Bark 2", "Default"};

    Bytes layer, vmad0, vmad1, clip, still, colour[3], sides;
    layer.U2(0).U2(0).Vec(-0.5f, 1.5f, -2.5f).S0("");
    vmad0.Id("TXUV").U2(2).S0("Bark");
    for (int c = 0; c < 3; ++c) vmad0.VX(u32(c)).VX(0).F4(0.25f * c).F4(1.0f - 0.125f * (c + 1));
    vmad1.Id("TXUV").U2(2).S0("Bark 2");
    still.S0("x.png");
    clip.U4(1).Raw(SubChunk("STIL", still));
    // The generator's first nine values from seed 0 (state x 214013 +
    // 2531011, bits 16-30), worked out by hand.
    const u32 random[3][3] = {{38, 7719, 21238}, {2437, 8855, 11797}, {8365, 32285, 10450}};
    Bytes surf[3];
    sides.U2(3);
    for (int s = 0; s < 3; ++s) {
        colour[s].F4(random[s][0] / 32768.0f).F4(random[s][1] / 32768.0f).F4(random[s][2] / 32768.0f).U2(0);
        surf[s].S0(surfaces[size_t(s)]).S0("").Raw(SubChunk("COLR", colour[s])).Raw(SubChunk("SIDE", sides));
    }
    Bytes header, chan, enab, nega, proj, imag, vmap, blok;
    chan.Id("COLR");
    enab.U2(1);
    nega.U2(0);
    header.S0("").Raw(SubChunk("CHAN", chan)).Raw(SubChunk("ENAB", enab)).Raw(SubChunk("NEGA", nega));
    proj.U2(5);
    imag.VX(1);
    vmap.S0("Bark");
    blok.Raw(SubChunk("IMAP", header)).Raw(SubChunk("PROJ", proj)).Raw(SubChunk("IMAG", imag)).Raw(SubChunk("VMAP", vmap));
    surf[0].Raw(SubChunk("BLOK", blok));
    const std::vector<u8> expected =
        Form("LWO2", {Tags(surfaces), Chunk("LAYR", layer),
                      Points({{-1, 2, 3}, {4, 5, 6}, {-7, -8, 9}, {0, 0, 1}}), Faces({{0, 1, 2}, {2, 1, 3}}),
                      PolygonTags("SURF", {{0, 0}, {1, 2}}), Chunk("VMAD", vmad0), Chunk("VMAD", vmad1),
                      Chunk("CLIP", clip), Chunk("SURF", surf[0]), Chunk("SURF", surf[1]), Chunk("SURF", surf[2])});
    const std::vector<u8> written = EncodeLwoModel(*model, files, surfaces);
    EXPECT_EQ(written, expected);
}

TEST(LwoExport, IndicesFromFF00OnAreWrittenAsFourByteVX) {
    using namespace lwo_fixture;
    ModelObject model;
    model.vertices.resize(0xFF05);
    ModelTriangle triangle;
    triangle.corners[0].vertex = 0xFF04;
    triangle.corners[1].vertex = 0xFEFF;
    triangle.corners[2].vertex = 0xFF00;
    model.triangles.assign(0xFF02, triangle);
    const std::vector<u8> bytes = EncodeLwoModel(model, {}, {"Default"});
    Bytes polygon;
    polygon.U2(3).VX(0xFF04).VX(0xFEFF).VX(0xFF00);
    EXPECT_EQ(polygon.data, (std::vector<u8>{0, 3, 0xFF, 0, 0xFF, 0x04, 0xFE, 0xFF, 0xFF, 0, 0xFF, 0}));
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), polygon.data.begin(), polygon.data.end()), bytes.end());
    // The last triangle's PTAG entry: polygon 0xFF01 as VX, surface 0.
    const std::vector<u8> last_tag = {0xFF, 0x00, 0xFF, 0x01, 0, 0};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), last_tag.begin(), last_tag.end()), bytes.end());
    // And our reader takes every index back.
    LwoReadFailure failure;
    auto object = LwoReadObjectBytes(bytes.data(), bytes.size(), &failure);
    ASSERT_NE(object, nullptr) << LwoFailureText(failure);
    ASSERT_EQ(object->layers[0].polygons.size(), 0xFF02u);
    EXPECT_EQ(object->layers[0].polygons.back().vertices[0].index, 0xFF04u);
}

TEST(LwoExport, TextureFileNamesAreSafeAndDistinct) {
    const struct {
        const char* from;
        const char* to;
    } cases[] = {
        {"../x", "x.png"},
        {"", "texture2.png"},
        {".png", "texture3.png"},
        {"..", "texture4.png"},
        {"C:\\maps\\wood.jpg", "wood.jpg.png"},
        {"Q:ASSIMP/models/earth.PNG", "earth.PNG"},
        {"x.png.bak", "x.png.bak.png"},
        {"wo*o|d?", "wo_o_d_.png"},
        {"X.png", "X 2.png"},
        {"x", "x 3.png"},
        {"../../etc/passwd", "passwd.png"},
        {"  .hidden ", "hidden.png"},
        {"aux.png", "_aux.png"},
        {"maps/Com1", "_Com1.png"},
        {"dots. .", "dots.png"},
    };
    std::vector<std::string> taken = {"Model.lwo"};
    size_t number = 1;
    for (const auto& c : cases) EXPECT_EQ(LwoTextureFileName(c.from, number++, &taken), c.to) << c.from;
}

TEST(LwoExport, CanonicalFolder) {
    EXPECT_EQ(CanonicalExportFolder("C:\\out\\a*b?"), "C:/out/a_b_/");
    EXPECT_EQ(CanonicalExportFolder("out/"), "out/");
    EXPECT_EQ(CanonicalExportFolder(""), "./");
}

TEST(LwoExport, FilesAreWrittenAndReadBackWithTheirSurfacesAndUvs) {
    pirn_test::TempDir dir;
    auto model = TwoTriangleModel();
    const std::string folder = dir.file("out/deeper");
    for (const char* name : {"Tree", "Tree.lwo"}) {
        SCOPED_TRACE(name);
        const LwoExportResult result = ExportLwoModel(*model, folder, name);
        ASSERT_TRUE(result.written);
        EXPECT_TRUE(result.problems.empty());
        EXPECT_EQ(result.lwo_path, folder + "/Tree.lwo");
        EXPECT_EQ(result.texture_files, (std::vector<std::string>{"x.png", ""}));
    }
    ImageFile png;
    InitImageFile(&png, folder + "/x.png");
    ASSERT_TRUE(LoadImageFile(&png));
    EXPECT_EQ(png.image.pixels, model->textures[0].colour.pixels);

    LwoReadFailure failure;
    auto object = LwoReadObjectFile(folder + "/Tree.lwo", &failure);
    ASSERT_NE(object, nullptr) << LwoFailureText(failure);
    std::string message;
    auto back = LwoObjectToModel(*object, folder, &message);
    ASSERT_NE(back, nullptr) << message;
    ASSERT_EQ(back->vertices.size(), model->vertices.size());
    for (size_t i = 0; i < model->vertices.size(); ++i) {
        EXPECT_EQ(back->vertices[i].x, model->vertices[i].x);
        EXPECT_EQ(back->vertices[i].z, model->vertices[i].z);
    }
    ASSERT_EQ(back->textures.size(), 2u);
    EXPECT_EQ(back->textures[0].name, "Bark");
    EXPECT_EQ(back->textures[0].file_name, "x.png");
    EXPECT_TRUE(ModelTriangleIsTextured(*back, back->triangles[0]));
    EXPECT_EQ(back->textures[1].name, "Default");
    for (int c = 0; c < 3; ++c) {
        EXPECT_FLOAT_EQ(back->triangles[0].corners[c].u, model->triangles[0].corners[c].u);
        EXPECT_FLOAT_EQ(back->triangles[0].corners[c].v, model->triangles[0].corners[c].v);
    }
}

TEST(LwoExport, TexturesOfOnePictureShareItsFile) {
    pirn_test::TempDir dir;
    auto model = TwoTriangleModel();
    model->textures[1] = model->textures[0];  // another surface, the same clip
    model->textures.push_back(model->textures[0]);
    model->textures[2].colour.pixels[0] = 7;  // the same name, another picture
    const LwoExportResult result = ExportLwoModel(*model, dir.path(), "Tree");
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.texture_files, (std::vector<std::string>{"x.png", "x.png", "x 2.png"}));
    EXPECT_EQ(result.surface_names, (std::vector<std::string>{"Bark", "Bark 2", "Bark 3", "Default"}));
    EXPECT_TRUE(pirn_test::Exists(dir.file("x 2.png")));
}

TEST(LwoExport, FailuresAreReported) {
    pirn_test::TempDir dir;
    auto model = TwoTriangleModel();
    // A folder where the texture file would go: that texture cannot be
    // written, the object still is.
    ASSERT_TRUE(MakeDirectory(dir.file("x.png")));
    LwoExportResult result = ExportLwoModel(*model, dir.path(), "Tree");
    EXPECT_TRUE(result.written);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0], "The texture '" + dir.path() + "/x.png' could not be written.");

    // A file where the folder should be.
    pirn_test::WriteAll(dir.file("plain"), "not a folder");
    result = ExportLwoModel(*model, dir.file("plain"), "Tree");
    EXPECT_FALSE(result.written);
    ASSERT_FALSE(result.problems.empty());
    EXPECT_EQ(result.problems[0], "The folder '" + dir.file("plain") + "/' could not be made.");

    result = ExportLwoModel(*model, dir.path(), "../");
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.problems.at(0), "'../' cannot be used as a file name.");

    // An object that cannot be written leaves no texture behind.
    pirn_test::TempDir other;
    ASSERT_TRUE(MakeDirectory(other.file("Tree.lwo")));
    result = ExportLwoModel(*model, other.path(), "Tree");
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.problems, (std::vector<std::string>{"'" + other.path() + "/Tree.lwo' could not be written."}));
    EXPECT_FALSE(pirn_test::Exists(other.file("x.png")));
}

}  // namespace
