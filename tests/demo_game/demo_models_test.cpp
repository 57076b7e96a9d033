// The demo game's models: four tags each, pointing at each other, read back
// field by field and with the program's readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "models/geom_data.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/three_dmf_model.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

using namespace pirn;
using namespace pirn::demo;
using pirn::fixture::ReadU16;
using pirn::fixture::ReadU32;

namespace {

// The tag's data in a file behind a 64-byte gap, with its header.
struct DataStream {
    explicit DataStream(const DemoTag& tag) {
        std::vector<u8> file(64 + tag.data.size(), 0);
        std::copy(tag.data.begin(), tag.data.end(), file.begin() + 64);
        pirn_test::WriteAll(dir.file("data"), file);
        stream = std::fopen(dir.file("data").c_str(), "rb");
        header.data_offset = 64;
        header.data_length = u32(tag.data.size());
        header.user_data = tag.user_data;
        header.version = tag.version;
    }
    ~DataStream() {
        if (stream) std::fclose(stream);
    }
    pirn_test::TempDir dir;
    std::FILE* stream = nullptr;
    TagHeader header{};
};

std::map<u32, const DemoTag*> LocalTagsNamed(const DemoGame& game, const std::string& name) {
    std::map<u32, const DemoTag*> tags;
    for (const DemoLocalFile& file : game.local_files)
        if (file.tag.name == name) tags[file.tag.group] = &file.tag;
    return tags;
}

TEST(DemoModels, EachModelIsFourTagsThatPointAtEachOther) {
    const DemoGame game = BuildDemoGame();
    const struct {
        const char* name;
        u16 materials, vertices, triangles, bitmaps;
    } models[] = {{"Demo Crate", 1, 24, 12, 1}, {"Demo Figure", 3, 192, 96, 2}};
    for (const auto& m : models) {
        SCOPED_TRACE(m.name);
        std::map<u32, const DemoTag*> tags = LocalTagsNamed(game, m.name);
        ASSERT_EQ(tags.size(), 4u);
        const DemoTag& geom = *tags[MakeFourCC("geom")];
        const DemoTag& collection = *tags[MakeFourCC(".256")];
        const DemoTag& core = *tags[MakeFourCC("core")];
        const DemoTag& mode = *tags[MakeFourCC("mode")];
        EXPECT_EQ(geom.version, 1);
        EXPECT_EQ(collection.version, 4);
        EXPECT_EQ(core.version, 1);
        EXPECT_EQ(mode.version, 4);
        EXPECT_EQ(ReadU32(geom.data, 4), core.tag_id);
        EXPECT_EQ(ReadU16(geom.data, 8), m.materials);
        EXPECT_EQ(ReadU16(geom.data, 10), m.vertices);
        EXPECT_EQ(ReadU16(geom.data, 12), m.triangles);
        EXPECT_EQ(ReadU32(core.data, 0), collection.tag_id);
        EXPECT_EQ(ReadU32(mode.data, 4), geom.tag_id);

        DataStream geom_stream(geom);
        GeomData data;
        ASSERT_EQ(ReadGeomData(&data, geom_stream.stream, geom_stream.header), 1);
        // The model stands on the ground: its lowest stored height (axis 2)
        // is 0.
        EXPECT_EQ(data.header.bounds[2], 0);
        DataStream collection_stream(collection);
        Collection c;
        InitCollection(&c);
        ASSERT_EQ(LoadCollection(&c, collection_stream.stream, &collection_stream.header, true), 1);
        EXPECT_EQ(GetCollectionBitmapCount(c), m.bitmaps);
        EXPECT_EQ(GetCollectionSequenceCount(c), m.materials);
        for (u32 i = 0; i < m.materials; ++i)
            EXPECT_STREQ(GetCollectionSequence(c, i)->name, data.materials[i].name) << i;
        FreeCollection(&c);
    }
}

// The placeholder geometries read as geometries too.
TEST(DemoModels, EveryGeometryTagReads) {
    const DemoGame game = BuildDemoGame();
    std::vector<const DemoTag*> geoms;
    for (const DemoArchive& a : game.archives)
        for (const DemoTag& t : a.tags)
            if (t.group == MakeFourCC("geom")) geoms.push_back(&t);
    for (const DemoLocalFile& f : game.local_files)
        if (f.tag.group == MakeFourCC("geom")) geoms.push_back(&f.tag);
    ASSERT_GE(geoms.size(), 4u);
    for (const DemoTag* tag : geoms) {
        SCOPED_TRACE(tag->name);
        DataStream stream(*tag);
        GeomData data;
        EXPECT_EQ(ReadGeomData(&data, stream.stream, stream.header), 1);
        EXPECT_GT(data.triangles.size(), 0u);
    }
}

// The sources a new user imports from art/models/: the LightWave objects
// with their textures beside them, and the pyramid as a 3DMF file, read by
// the program's readers.
TEST(DemoModels, TheModelSourcesReadAsModels) {
    const DemoGame game = BuildDemoGame();
    pirn_test::TempDir dir;
    std::vector<std::string> names;
    for (const DemoFile& file : game.files) {
        if (file.path.rfind("art/models/", 0) != 0) continue;
        names.push_back(file.path.substr(11));
        pirn_test::WriteAll(dir.file(names.back()), file.bytes);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"crate.lwo", "crate.png", "face.png", "figure.lwo", "pyramid.3dmf",
                                               "tunic.png"}));
    for (const char* object : {"crate.lwo", "figure.lwo"}) {
        SCOPED_TRACE(object);
        LwoReadFailure failure;
        auto lwo = LwoReadObjectFile(dir.file(object), &failure);
        ASSERT_NE(lwo, nullptr) << LwoFailureText(failure);
        std::string message;
        auto model = LwoObjectToModel(*lwo, dir.path(), &message);
        ASSERT_NE(model, nullptr) << message;
        ASSERT_FALSE(model->textures.empty());
        for (const ModelTexture& texture : model->textures) {
            if (texture.file_name.empty()) continue;  // a plain surface
            EXPECT_TRUE(HasWholePixels(texture.colour)) << texture.file_name;
        }
    }
    std::string message;
    auto pyramid = Load3dmfModel(dir.file("pyramid.3dmf"), &message);
    ASSERT_NE(pyramid, nullptr) << message;
    EXPECT_EQ(pyramid->vertices.size(), 5u);
    EXPECT_EQ(pyramid->triangles.size(), 6u);
    ASSERT_EQ(pyramid->textures.size(), 1u);
    EXPECT_EQ(pyramid->textures[0].colour.width, 4u);
    EXPECT_EQ(pyramid->textures[0].colour.height, 4u);
}

}  // namespace
