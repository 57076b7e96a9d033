// The four tags of a model: their data, their writing through the Codex as
// one step (questions, replacing, rolling back), the two imports with their
// log lines, and the display model built back from the tags.

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "models/geom_textures.h"
#include "models/lwo_object.h"
#include "models/model_import.h"
#include "models/model_tag_builder.h"
#include "models/model_tag_set.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/models/lwo_fixture_bytes.h"
#include "tests/models/models_fixture.h"

using namespace pirn;
using models_fixture::BigEndianBuffer;
using models_fixture::Code;
using pirn::fixture::ReadText;
using pirn::fixture::ReadU16;
using pirn::fixture::ReadU32;

namespace {

PixelImage RgbImage(u32 width, u32 height, const std::vector<u8>& rgb) {
    PixelImage image;
    SetImagePixels(&image, width, height, kFormatRgb, rgb.data());
    return image;
}

// Three vertices, two triangles; texture 0 a 4 x 2 picture of four
// colours, texture 1 named but without pixels (its file never loaded).
std::unique_ptr<ModelObject> SmallModel() {
    auto model = std::make_unique<ModelObject>();
    const float points[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 1}};
    for (const auto& p : points) {
        ModelVertex v;
        v.x = p[0];
        v.y = p[1];
        v.z = p[2];
        model->vertices.push_back(v);
    }
    ComputeModelBounds(model.get());
    for (u32 t = 0; t < 2; ++t) {
        ModelTriangle triangle;
        triangle.texture = t;
        for (u32 c = 0; c < 3; ++c) {
            triangle.corners[c].vertex = (c + t) % 3;
            triangle.corners[c].u = 0.25f * c;
            triangle.corners[c].v = 0.5f;
        }
        model->triangles.push_back(triangle);
    }
    model->textures.resize(2);
    model->textures[0].name = "Bark";
    model->textures[0].file_name = "bark.png";
    model->textures[0].colour = RgbImage(4, 2, {10, 20, 30, 200, 10, 10, 10, 200, 10, 10, 10, 200,
                                                10, 20, 30, 10, 20, 30, 90, 90, 90, 200, 10, 10});
    model->textures[1].name = "Leaf";
    model->textures[1].file_name = "leaf.png";
    SetModelTriangleOwners(model.get());
    return model;
}

// ---- The data of the four tags -------------------------------------------

TEST(ModelTagSet, ReferenceRecordBytes) {
    ModelTagSet set;
    set.reference = MakeModelCollectionReference(Code("mc01"));
    const std::vector<u8> data = models_fixture::WrittenData([&](std::FILE* f, TagHeader* header) {
        return WriteModelTagData(&set, kModelTagReference, f, header) && header->version == 1;
    });
    BigEndianBuffer expected;
    expected.PutU32(Code("mc01"));
    expected.PutU16(1);
    expected.PutU16(0);
    for (int i = 8; i < 332; ++i) expected.PutU8(0xFF);
    expected.PutZeros(384 - 332);
    EXPECT_EQ(data, expected.bytes());
}

TEST(ModelTagSet, CollectionHoldsOneBitmapAndOneSequencePerTexture) {
    auto model = SmallModel();
    // The second texture gets pixels with an alpha plane of its own.
    model->textures[1].colour = RgbImage(2, 1, {90, 90, 90, 10, 20, 30});
    SetImagePixels(&model->textures[1].alpha, 2, 1, kFormatAlpha, std::vector<u8>{255, 0}.data());
    model->textures.emplace_back();  // a third without pixels
    model->textures[2].name = "Empty";
    Collection c;
    InitCollection(&c);
    std::string message;
    ASSERT_TRUE(BuildTextureCollection(*model, "Oak", &c, &message)) << message;
    EXPECT_STREQ(c.name, "Oak");
    const u8 reserved[6] = {0, 0, 255, 255, 0, 255};
    EXPECT_EQ(std::vector<u8>(c.colors, c.colors + 6), std::vector<u8>(reserved, reserved + 6));

    ASSERT_EQ(GetCollectionBitmapCount(c), 2u);
    const CollectionBitmap& bark = *GetCollectionBitmap(c, 0);
    EXPECT_STREQ(bark.name, "bark.png");
    EXPECT_EQ(bark.width, 4);
    EXPECT_EQ(bark.height, 2);
    // Four colours fit the table exactly: every pixel's entry is its colour.
    const PixelImage& source = model->textures[0].colour;
    for (u32 i = 0; i < 8; ++i) {
        EXPECT_EQ(bark.pixels[2 * i], 255) << i;
        const u8 entry = bark.pixels[2 * i + 1];
        EXPECT_GE(entry, 2);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(c.colors[3 * entry + k], source.pixels[3 * i + k]) << i;
    }
    const CollectionBitmap& leaf = *GetCollectionBitmap(c, 1);
    EXPECT_EQ(leaf.pixels[0], 255);
    EXPECT_EQ(leaf.pixels[2], 0);  // the alpha plane's transparent pixel

    ASSERT_EQ(GetCollectionSequenceCount(c), 3u);
    const char* names[3] = {"Bark", "Leaf", "Empty"};
    for (u32 s = 0; s < 3; ++s) {
        CollectionSequence* sequence = GetCollectionSequence(c, s);
        EXPECT_STREQ(sequence->name, names[s]);
        EXPECT_EQ(GetSequenceFrameCount(*sequence), 1u);
        EXPECT_EQ(GetSequenceViewCount(*sequence), 1u);
        EXPECT_EQ(GetSequenceInstance(sequence, 0, 0)->standard.bitmap, s < 2 ? GetCollectionBitmap(c, s) : nullptr);
    }
    FreeCollection(&c);
}

TEST(ModelTagSet, ModelsTheTagsCannotHoldAreRefused) {
    struct Case {
        const char* what;
        void (*spoil)(ModelObject*);
        const char* message_start;
    } cases[] = {
        {"a vertex beyond 64 units", [](ModelObject* m) { m->vertices[1].x = 64.5f; }, "Vertex 1 at"},
        {"65,536 vertices", [](ModelObject* m) { m->vertices.resize(65536); }, "The model has 65536 vertices"},
        {"a texture wider than a bitmap",
         [](ModelObject* m) { m->textures[0].colour = RgbImage(32768, 1, std::vector<u8>(3 * 32768, 7)); },
         "The textures do not fit a collection"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = SmallModel();
        c.spoil(model.get());
        ModelTagSet set;
        std::string message;
        EXPECT_FALSE(BuildModelTagSet(*model, "Oak", ModelTagIds(), &set, &message));
        EXPECT_EQ(message.rfind(c.message_start, 0), 0u) << message;
    }
}

// ---- Through the Codex ------------------------------------------------------

class ModelTagsCodexTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadCodex();
        SetLocalFolder(Local());
        PollLocalFolder(true);
    }
    void TearDown() override { EXPECT_EQ(UnloadCodex(), 1); }

    std::string Local() const { return dir.path() + "/local/"; }
    std::string FileOf(const char* label, const std::string& name) const { return Local() + label + "/" + name; }

    // A local tag file written by hand: "old <group>" data of 16 bytes.
    std::vector<u8> PutOldTag(const char* label, u32 group, u32 id, const std::string& name) {
        pirn::fixture::TagHeaderFields header;
        header.name = name;
        header.group = group;
        header.id = id;
        header.version = 7;
        const std::vector<u8> bytes = pirn::fixture::TagFileBytes(header, std::vector<u8>(16, 0x5A));
        pirn_test::WriteAll(FileOf(label, name), bytes);
        PollLocalFolder(true);
        return bytes;
    }

    TagEntry* Build(const ModelObject& model, const std::string& name, ModelTagsOutcome* outcome,
                    std::string* message) {
        return BuildModelTags(model, name, prompts, outcome, message);
    }

    pirn_test::TempDir dir;
    ScopedLogCapture log;
    ScriptedPrompts prompts;
};

const char* const kLabels[4] = {"Geometries", "Collections", "Collection References", "Models"};

TEST_F(ModelTagsCodexTest, FourNewTagsPointAtEachOther) {
    auto model = SmallModel();
    ModelTagsOutcome outcome;
    std::string message;
    TagEntry* geom = Build(*model, "Oak Tree", &outcome, &message);
    ASSERT_NE(geom, nullptr) << message;
    EXPECT_EQ(outcome, ModelTagsOutcome::kBuilt);
    EXPECT_TRUE(prompts.questions.empty());

    std::vector<u8> files[4];
    const u32 groups[4] = {Code("geom"), Code(".256"), Code("core"), Code("mode")};
    const u16 versions[4] = {1, 4, 1, 4};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(kLabels[k]);
        files[k] = pirn_test::ReadAll(FileOf(kLabels[k], "Oak Tree"));
        ASSERT_GT(files[k].size(), 64u);
        EXPECT_EQ(ReadText(files[k], 4, 32), "Oak Tree");
        EXPECT_EQ(ReadU32(files[k], 36), groups[k]);
        EXPECT_EQ(ReadU32(files[k], 48), files[k].size() - 64);
        EXPECT_EQ(ReadU16(files[k], 56), versions[k]);
        EXPECT_NE(FindTag(groups[k], ReadU32(files[k], 40)), nullptr);
    }
    const u32 geom_id = ReadU32(files[0], 40), collection_id = ReadU32(files[1], 40), core_id = ReadU32(files[2], 40);
    EXPECT_EQ(geom->tag_id, geom_id);
    EXPECT_EQ(geom->group, Code("geom"));
    // geom -> core -> collection; mode -> geom.
    EXPECT_EQ(ReadU32(files[0], 64 + 4), core_id);
    EXPECT_EQ(ReadU16(files[0], 64 + 8), 2);   // materials
    EXPECT_EQ(ReadU16(files[0], 64 + 10), 3);  // vertices
    EXPECT_EQ(ReadU16(files[0], 64 + 12), 2);  // triangles
    EXPECT_EQ(ReadU32(files[2], 64), collection_id);
    EXPECT_EQ(ReadU16(files[2], 64 + 4), 1);
    EXPECT_EQ(files[2].size(), 64u + 384u);
    EXPECT_EQ(ReadU32(files[3], 64 + 4), geom_id);
    EXPECT_EQ(ReadU16(files[3], 64 + 10), 3);  // one word per vertex
}

TEST_F(ModelTagsCodexTest, LocalTagsOfTheNameAreReplacedOnlyWhenTheUserAgrees) {
    const std::vector<u8> old_geom = PutOldTag("Geometries", Code("geom"), Code("og01"), "Oak");
    const std::vector<u8> old_model = PutOldTag("Models", Code("mode"), Code("om01"), "Oak");
    auto model = SmallModel();
    ModelTagsOutcome outcome;
    std::string message;

    prompts.answers = {1};  // Cancel
    EXPECT_EQ(Build(*model, "Oak", &outcome, &message), nullptr);
    EXPECT_EQ(outcome, ModelTagsOutcome::kCancelled);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              "Replace?|Local tags named 'Oak' already exist (Geometry, Model). Replace them with the imported "
              "model?");
    EXPECT_EQ(prompts.asked_buttons, (std::vector<std::string>{"Replace", "Cancel"}));
    EXPECT_EQ(pirn_test::ReadAll(FileOf("Geometries", "Oak")), old_geom);
    EXPECT_EQ(pirn_test::ReadAll(FileOf("Models", "Oak")), old_model);
    EXPECT_FALSE(pirn_test::Exists(FileOf("Collections", "Oak")));

    prompts.answers = {0};  // Replace
    TagEntry* geom = Build(*model, "Oak", &outcome, &message);
    ASSERT_NE(geom, nullptr) << message;
    // The replaced tags keep their ids, so what pointed at them still does.
    EXPECT_EQ(geom->tag_id, Code("og01"));
    const std::vector<u8> mode = pirn_test::ReadAll(FileOf("Models", "Oak"));
    EXPECT_EQ(ReadU32(mode, 40), Code("om01"));
    EXPECT_EQ(ReadU32(mode, 64 + 4), Code("og01"));
    EXPECT_EQ(ReadU16(pirn_test::ReadAll(FileOf("Geometries", "Oak")), 56), 1);
}

TEST_F(ModelTagsCodexTest, ATagInUseIsNeverReplaced) {
    const std::vector<u8> old_core = PutOldTag("Collection References", Code("core"), Code("oc01"), "Oak");
    TagEntry* core = FindTag(Code("core"), Code("oc01"));
    ASSERT_NE(core, nullptr);
    int editor = 0;
    AttachToTag(core, kAttachEditor, &editor);
    auto model = SmallModel();
    ModelTagsOutcome outcome;
    std::string message;
    EXPECT_EQ(Build(*model, "Oak", &outcome, &message), nullptr);
    EXPECT_EQ(outcome, ModelTagsOutcome::kFailed);
    EXPECT_EQ(message, "The Collection Reference 'Oak' is in use (open in an editor); it was not replaced.");
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(pirn_test::ReadAll(FileOf("Collection References", "Oak")), old_core);
    DetachFromTag(core, kAttachEditor, &editor);
}

// A failure at any step leaves the local folder and the catalogue as they
// were: the old tag whole, no new tag or file.
TEST_F(ModelTagsCodexTest, AFailureAtAnyStepLeavesEveryTagAsItWas) {
    struct Case {
        const char* what;
        // Spoils the model, or the local folder while the question is open.
        void (*spoil)(ModelObject*);
        bool block_model_file;
        const char* message;
    } cases[] = {
        {"collection refused while the tags are built",
         [](ModelObject* m) { m->textures[0].colour = RgbImage(32768, 1, std::vector<u8>(3 * 32768, 7)); }, false,
         "The textures do not fit a collection: bitmap 0"},
        {"last tag not placed after three were committed", [](ModelObject*) {}, true, "'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<u8> old_geom = PutOldTag("Geometries", Code("geom"), Code("og01"), "Oak");
        const std::string blocked = FileOf("Models", "Oak");
        if (c.block_model_file) {
            // Another program makes a folder where the model tag goes while
            // the user is asked: the rename into place fails at the end.
            prompts.on_ask = [blocked] { MakeDirectory(blocked); };
        }
        auto model = SmallModel();
        c.spoil(model.get());
        TagList before;
        ListAllTags(before);
        ModelTagsOutcome outcome;
        std::string message;
        prompts.answers = {0};
        EXPECT_EQ(Build(*model, "Oak", &outcome, &message), nullptr);
        EXPECT_EQ(outcome, ModelTagsOutcome::kFailed);
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        EXPECT_EQ(pirn_test::ReadAll(FileOf("Geometries", "Oak")), old_geom);
        for (int k = 1; k < 3; ++k) EXPECT_FALSE(pirn_test::Exists(FileOf(kLabels[k], "Oak"))) << kLabels[k];
        TagList after;
        ListAllTags(after);
        EXPECT_EQ(after.size(), before.size());
        TagEntry* geom = FindTag(Code("geom"), Code("og01"));
        ASSERT_NE(geom, nullptr);
        TagHeader header{};
        GetTagHeader(geom, &header);
        EXPECT_EQ(header.version, 7);
        EXPECT_EQ(header.data_length, 16u);
        prompts.on_ask = nullptr;
        ::rmdir(blocked.c_str());
    }
}

// ---- The imports ------------------------------------------------------------

std::string LwoSample(const std::string& path) { return pirn_test::SourceDir() + "/tests/data/lwo/" + path; }

TEST_F(ModelTagsCodexTest, LwoImportLogsItsStepsAndMakesTheTags) {
    const std::string folder = LwoSample("LWO2");
    TagEntry* geom = ImportLwoModel(folder + "/boxuv.lwo", folder, "Box", prompts);
    ASSERT_NE(geom, nullptr) << log.TopicText("Model Import");
    EXPECT_EQ(log.TopicText("Model Import"),
              "Beginning import of 'Box' ...\n"
              "INFO: 6 polygon(s) of four or more corners were split into triangles.\n"
              "Import Successful.\n\n");
    GeomData data;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(geom, &header);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(ReadGeomData(&data, stream, header), 1);
    CloseTagForReading(geom);
    EXPECT_EQ(data.triangles.size(), 12u);
    EXPECT_EQ(data.vertices.size(), 24u);
    ASSERT_EQ(data.materials.size(), 1u);

    // Back for display: the texture comes from the collection.
    GeomDisplayProblems problems;
    auto shown = BuildGeomDisplayModel(data, &problems);
    ASSERT_EQ(shown->textures.size(), 1u);
    EXPECT_EQ(shown->textures[0].file_name, "boxuv.png");
    EXPECT_EQ(shown->textures[0].name, data.materials[0].name);
    ImageFile png;
    InitImageFile(&png, folder + "/boxuv.png");
    ASSERT_TRUE(LoadImageFile(&png));
    EXPECT_EQ(shown->textures[0].colour.width, png.image.width);
    EXPECT_EQ(shown->textures[0].colour.height, png.image.height);
    EXPECT_TRUE(ModelTriangleIsTextured(*shown, shown->triangles[0]));
}

// An image laid on by planar projection reaches the collection, and the log
// says that its corners have no texture coordinates.
TEST_F(ModelTagsCodexTest, PlanarMappedImageReachesTheCollection) {
    pirn_test::TempDir files;
    PixelImage picture;
    std::vector<u8> rgb(3 * 4 * 2, 90), png;
    ASSERT_TRUE(SetImagePixels(&picture, 4, 2, kFormatRgb, rgb.data()));
    ASSERT_TRUE(EncodeImageBytes(kTypePng, picture, &png));
    pirn_test::WriteAll(files.file("skin.png"), png);
    pirn_test::WriteAll(files.file("flat.lwo"), lwo_fixture::TriangleWithImage(kLwoProjectionPlanar, "skin.png"));

    TagEntry* geom = ImportLwoModel(files.file("flat.lwo"), files.path(), "Flat", prompts);
    ASSERT_NE(geom, nullptr) << log.TopicText("Model Import");
    EXPECT_EQ(log.TopicText("Model Import"),
              "Beginning import of 'Flat' ...\n"
              "WARNING: surface 'Skin' places its image by planar projection, not by a UV map: the image is "
              "imported, but its texture coordinates are 0.\n"
              "Import Successful.\n\n");
    GeomData data;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(geom, &header);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(ReadGeomData(&data, stream, header), 1);
    CloseTagForReading(geom);
    GeomDisplayProblems problems;
    auto shown = BuildGeomDisplayModel(data, &problems);
    ASSERT_EQ(shown->textures.size(), 1u);
    EXPECT_EQ(shown->textures[0].file_name, "skin.png");
    EXPECT_EQ(shown->textures[0].colour.width, 4u);
    EXPECT_EQ(shown->textures[0].colour.height, 2u);
}

TEST_F(ModelTagsCodexTest, ImportsReportWhatTheyCouldNotDo) {
    pirn_test::TempDir files;
    // A quad with a texture file that is not there, a line and a point.
    const std::string lwo_path = files.file("odd.lwo");
    {
        using pirn::fixture::FourCC;
        BigEndianBuffer body;
        auto chunk = [&body](const char (&id)[5], const BigEndianBuffer& data) {
            body.PutFourCC(id);
            body.PutU32(u32(data.bytes().size()));
            body.PutBytes(data.bytes());
        };
        BigEndianBuffer tags, pnts, pols, clip, surf, blok, imap;
        tags.PutBytes({'S', 0});
        for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 0.f, 0.f, 1.f, 0.f}) pnts.PutF32(v);
        pols.PutFourCC("FACE");
        for (u16 v : {4, 0, 1, 2, 3, 2, 0, 1, 1, 3}) pols.PutU16(v);
        clip.PutU32(1);
        clip.PutFourCC("STIL");
        clip.PutU16(10);
        clip.PutBytes({'n', 'o', 'n', 'e', '.', 'p', 'n', 'g', 0, 0});
        imap.PutBytes({0x80, 0});
        imap.PutFourCC("CHAN");
        imap.PutU16(4);
        imap.PutFourCC("COLR");
        blok.PutFourCC("IMAP");
        blok.PutU16(u16(imap.bytes().size()));
        blok.PutBytes(imap.bytes());
        blok.PutFourCC("PROJ");
        blok.PutU16(2);
        blok.PutU16(5);
        blok.PutFourCC("IMAG");
        blok.PutU16(2);
        blok.PutU16(1);
        surf.PutBytes({'S', 0, 0, 0});
        surf.PutFourCC("BLOK");
        surf.PutU16(u16(blok.bytes().size()));
        surf.PutBytes(blok.bytes());
        chunk("TAGS", tags);
        chunk("PNTS", pnts);
        chunk("POLS", pols);
        chunk("CLIP", clip);
        chunk("SURF", surf);
        BigEndianBuffer file;
        file.PutFourCC("FORM");
        file.PutU32(u32(body.bytes().size() + 4));
        file.PutFourCC("LWO2");
        file.PutBytes(body.bytes());
        pirn_test::WriteAll(lwo_path, file.bytes());
    }
    pirn_test::WriteAll(files.file("far.3dmf"),
                        "3DMetafile ( 1 6 Normal toc> )\nTriMesh ( 1 0 0 0 3 0\n0 1 2\n"
                        "0 0 0 1 0 0 99 0 0\n0 0 0 99 0 0 False )\n");
    pirn_test::WriteAll(files.file("bad.3dmf"), "3DMetafile\nTriMesh ( 1 0 0 0 3 0\n0 1 2\n0 0 )\n");
    struct Case {
        const char* what;
        std::function<TagEntry*()> run;
        std::vector<std::pair<int, std::string>> lines;  // level, text
        bool built;
    } cases[] = {
        {"missing texture, a line and a point",
         [&] { return ImportLwoModel(lwo_path, files.path(), "Odd", prompts); },
         {{0, "Beginning import of 'Odd' ...\n"},
          {1, "INFO: 1 polygon(s) of four or more corners were split into triangles.\n"},
          {1, "WARNING: 2 polygon(s) of fewer than three corners (points and lines) were skipped.\n"},
          {2, "Texture 'none.png' could not be loaded.\n"},
          {0, "Import Successful.\n\n"}},
         true},
        {"planar-mapped sample whose picture cannot be read",
         [&] {
             return ImportLwoModel(LwoSample("LWO2/MappingModes/earth_planar_x.lwo"), LwoSample("LWO2/MappingModes"),
                                   "Earth", prompts);
         },
         {{0, "Beginning import of 'Earth' ...\n"},
          {1, "INFO: 240 polygon(s) of four or more corners were split into triangles.\n"},
          {2, "Texture 'earthSpherical.jpg' could not be loaded.\n"},
          {0, "Import Successful.\n\n"}},
         true},
        {"not an LWO file",
         [&] { return ImportLwoModel(LwoSample("invalid/empty.lwo"), files.path(), "Empty", prompts); },
         {{0, "Beginning import of 'Empty' ...\n"},
          {0, "ERROR: '" + LwoSample("invalid/empty.lwo") + "' could not be read: chunk 'FORM' at byte 12: "},
          {0, "Import Failed.\n\n"}},
         false},
        {"3DMF beyond 64 units",
         [&] { return Import3dmfModel(files.file("far.3dmf"), "Far", prompts); },
         {{0, "Beginning import of 'Far' ...\n"},
          {0, "ERROR: Vertex 2 at (99, 0, 0) lies beyond the -64..64 units a geometry can hold.\n"},
          {2, "3DMF -> Model conversion failed. If the target model is already open in Pirn or another app, please "
              "close it first.\n"},
          {0, "Import Failed.\n\n"}},
         false},
        {"3DMF cut short",
         [&] { return Import3dmfModel(files.file("bad.3dmf"), "Bad", prompts); },
         {{0, "Beginning import of 'Bad' ...\n"},
          {0, "ERROR: '" + files.file("bad.3dmf") + "' could not be read.\n"},
          {0, "3dmf parsing failed: "},
          {0, "Import Failed.\n\n"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.Clear();
        TagList before;
        ListAllTags(before);
        TagEntry* geom = c.run();
        EXPECT_EQ(geom != nullptr, c.built);
        const std::vector<LoggedMessage>& logged = log.messages();
        ASSERT_EQ(logged.size(), c.lines.size()) << log.TopicText("Model Import");
        for (size_t i = 0; i < logged.size(); ++i) {
            EXPECT_EQ(logged[i].topic, "Model Import");
            EXPECT_EQ(logged[i].level, c.lines[i].first) << i;
            EXPECT_EQ(logged[i].text.rfind(c.lines[i].second, 0), 0u) << logged[i].text;
        }
        TagList after;
        ListAllTags(after);
        EXPECT_EQ(after.size(), before.size() + (c.built ? 4 : 0));
    }
}

// A geometry whose indices lead nowhere still shows, untextured where a
// texture cannot be found.
TEST_F(ModelTagsCodexTest, DisplayTexturesFollowOnlyIndicesThatLeadSomewhere) {
    auto model = SmallModel();
    ModelTagsOutcome outcome;
    std::string message;
    TagEntry* entry = Build(*model, "Oak", &outcome, &message);
    ASSERT_NE(entry, nullptr) << message;
    GeomData geom;
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(entry, &header);
    ASSERT_EQ(ReadGeomData(&geom, stream, header), 1);
    CloseTagForReading(entry);

    struct Case {
        const char* what;
        void (*spoil)(GeomData*);
        bool textured[2];
    } cases[] = {
        {"as built (the second texture never had pixels)", [](GeomData*) {}, {true, false}},
        {"sequence index past the collection", [](GeomData* g) { g->materials[0].sequence_index = 7; },
         {false, false}},
        {"material index past the materials", [](GeomData* g) { g->triangles[0].material = 9; }, {false, false}},
        {"no collection reference", [](GeomData* g) { g->header.core_tag_id = Code("none"); }, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeomData spoiled = geom;
        c.spoil(&spoiled);
        auto shown = BuildGeomDisplayModel(spoiled, nullptr);
        ASSERT_EQ(shown->triangles.size(), 2u);
        for (int t = 0; t < 2; ++t) EXPECT_EQ(ModelTriangleIsTextured(*shown, shown->triangles[t]), c.textured[t]) << t;
    }
}

}  // namespace
