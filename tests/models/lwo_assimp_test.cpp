// Our LightWave exports read by an outside reader: Debian's assimp turns
// each exported object into an OBJ file, whose positions, texture
// coordinates, materials and texture maps must be the model's. The models
// are the demo game's (from their tags, as the geometry editor exports
// them) and third-party samples brought in by our import.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "models/geom_textures.h"
#include "models/lwo_export.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

using namespace pirn;

namespace {

bool HaveAssimp() { return std::system("command -v assimp >/dev/null 2>&1") == 0; }

struct Corner {
    float p[3];
    float uv[2];
    bool has_uv = false;
};

using Triangle = std::array<Corner, 3>;

// Triangles per material name, and each material's diffuse map.
struct ObjContents {
    std::map<std::string, std::vector<Triangle>> triangles;
    std::map<std::string, std::string> maps;
};

bool ReadObj(const std::string& obj_path, const std::string& mtl_path, ObjContents* out) {
    std::ifstream obj(obj_path);
    if (!obj) return false;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> uvs;
    std::string material, line;
    while (std::getline(obj, line)) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "v") {
            std::array<float, 3> p;
            in >> p[0] >> p[1] >> p[2];
            positions.push_back(p);
        } else if (word == "vt") {
            std::array<float, 2> t;
            in >> t[0] >> t[1];
            uvs.push_back(t);
        } else if (word == "usemtl") {
            in >> material;
        } else if (word == "f") {
            std::vector<Corner> corners;
            std::string vertex;
            while (in >> vertex) {
                Corner c;
                const size_t slash = vertex.find('/');
                const size_t p = std::stoul(vertex.substr(0, slash)) - 1;
                if (p >= positions.size()) return false;
                std::copy(positions[p].begin(), positions[p].end(), c.p);
                if (slash != std::string::npos && slash + 1 < vertex.size() && vertex[slash + 1] != '/') {
                    const size_t t = std::stoul(vertex.substr(slash + 1)) - 1;
                    if (t >= uvs.size()) return false;
                    c.uv[0] = uvs[t][0];
                    c.uv[1] = uvs[t][1];
                    c.has_uv = true;
                }
                corners.push_back(c);
            }
            if (corners.size() != 3) return false;
            out->triangles[material].push_back({corners[0], corners[1], corners[2]});
        }
    }
    std::ifstream mtl(mtl_path);
    while (std::getline(mtl, line)) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "newmtl") in >> material;
        if (word == "map_Kd") {
            std::string file;
            std::getline(in >> std::ws, file);
            out->maps[material] = file;
        }
    }
    return true;
}

// The model's triangle as assimp shows an LWO: x mirrored back to the
// file's, z turned for its right-handed axes, v from the bottom. Texture
// coordinates of a surface without an image mean nothing to a reader.
Triangle Expected(const ModelObject& model, const ModelTriangle& triangle, bool textured) {
    Triangle t;
    for (int c = 0; c < 3; ++c) {
        const ModelVertex& v = model.vertices[triangle.corners[c].vertex];
        t[c].p[0] = -v.x;
        t[c].p[1] = v.y;
        t[c].p[2] = -v.z;
        t[c].uv[0] = triangle.corners[c].u;
        t[c].uv[1] = 1.0f - triangle.corners[c].v;
        t[c].has_uv = textured;
    }
    return t;
}

bool Near(float a, float b) { return std::fabs(a - b) <= 1e-4f * std::max(1.0f, std::fabs(a)); }

bool SameCorner(const Corner& a, const Corner& b) {
    for (int k = 0; k < 3; ++k)
        if (!Near(a.p[k], b.p[k])) return false;
    return !a.has_uv || !b.has_uv || (Near(a.uv[0], b.uv[0]) && Near(a.uv[1], b.uv[1]));
}

// The same corners in any order (the handedness change turns the winding);
// texture coordinates count only where `a` has them.
bool SameTriangle(const Triangle& a, const Triangle& b) {
    bool used[3] = {false, false, false};
    for (const Corner& corner : a) {
        bool found = false;
        for (int k = 0; k < 3 && !found; ++k) {
            if (!used[k] && SameCorner(corner, b[k])) used[k] = found = true;
        }
        if (!found) return false;
    }
    return true;
}

void CheckWithAssimp(const ModelObject& model, const std::string& label) {
    SCOPED_TRACE(label);
    pirn_test::TempDir dir;
    const LwoExportResult result = ExportLwoModel(model, dir.path(), "model");
    ASSERT_TRUE(result.written);
    ASSERT_TRUE(result.problems.empty()) << result.problems[0];
    const std::string obj = dir.file("model.obj");
    const std::string command = "cd '" + dir.path() + "' && assimp export model.lwo model.obj >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "assimp could not read " << result.lwo_path;
    ObjContents contents;
    ASSERT_TRUE(ReadObj(obj, dir.file("model.mtl"), &contents));

    // Every triangle of every surface, and nothing else.
    std::map<std::string, std::vector<Triangle>> expected;
    for (const ModelTriangle& triangle : model.triangles) {
        const u32 surface = triangle.texture < model.textures.size() ? triangle.texture : u32(model.textures.size());
        const bool textured = surface < result.texture_files.size() && !result.texture_files[surface].empty();
        expected[result.surface_names.at(surface)].push_back(Expected(model, triangle, textured));
    }
    size_t compared = 0;
    for (auto& [surface, triangles] : expected) {
        SCOPED_TRACE(surface);
        std::vector<Triangle>& read = contents.triangles[surface];
        ASSERT_EQ(read.size(), triangles.size());
        std::vector<bool> matched(read.size(), false);
        for (const Triangle& want : triangles) {
            bool found = false;
            for (size_t i = 0; i < read.size() && !found; ++i) {
                if (!matched[i] && SameTriangle(want, read[i])) matched[i] = found = true;
            }
            std::ostringstream detail;
            for (const Corner& c : want) detail << " (" << c.p[0] << ", " << c.p[1] << ", " << c.p[2] << ")";
            EXPECT_TRUE(found) << "a triangle is missing:" << detail.str();
            if (!found) return;
            ++compared;
        }
    }
    EXPECT_EQ(compared, model.triangles.size());
    // Clips: each textured surface maps its own PNG.
    for (size_t i = 0; i < model.textures.size(); ++i) {
        if (result.texture_files[i].empty() || expected.count(result.surface_names[i]) == 0) continue;
        EXPECT_EQ(contents.maps[result.surface_names[i]], result.texture_files[i]) << result.surface_names[i];
    }
}

TEST(LwoAssimp, DemoModelsExportAsAssimpReadsThem) {
    PIRN_SKIP_LINUX_CHECKERS("assimp");
    if (!HaveAssimp()) GTEST_SKIP() << "assimp is not installed";
    const demo::DemoGame game = demo::BuildDemoGame();
    for (const char* name : {"Demo Crate", "Demo Figure"}) {
        const demo::DemoTag* geom = nullptr;
        const demo::DemoTag* collection = nullptr;
        for (const demo::DemoLocalFile& file : game.local_files) {
            if (file.tag.name != name) continue;
            if (file.tag.group == MakeFourCC("geom")) geom = &file.tag;
            if (file.tag.group == MakeFourCC(".256")) collection = &file.tag;
        }
        ASSERT_TRUE(geom && collection);
        pirn_test::TempDir dir;
        for (const demo::DemoTag* tag : {geom, collection}) {
            std::vector<u8> file(64 + tag->data.size(), 0);
            std::copy(tag->data.begin(), tag->data.end(), file.begin() + 64);
            pirn_test::WriteAll(dir.file(FourCCToText(tag->group)), file);
        }
        TagHeader header{};
        header.data_offset = 64;
        header.data_length = u32(geom->data.size());
        std::FILE* stream = std::fopen(dir.file("geom").c_str(), "rb");
        GeomData data;
        ASSERT_EQ(ReadGeomData(&data, stream, header), 1);
        std::fclose(stream);
        header.data_length = u32(collection->data.size());
        stream = std::fopen(dir.file(".256").c_str(), "rb");
        Collection c;
        InitCollection(&c);
        ASSERT_EQ(LoadCollection(&c, stream, &header, true), 1);
        std::fclose(stream);
        auto model = GeomDataToModel(data, MakeCollectionTextureFiller(&c), nullptr);
        CheckWithAssimp(*model, name);
        FreeCollection(&c);
    }
}

TEST(LwoAssimp, ImportedSamplesExportAsAssimpReadsThem) {
    PIRN_SKIP_LINUX_CHECKERS("assimp");
    if (!HaveAssimp()) GTEST_SKIP() << "assimp is not installed";
    const std::string samples = pirn_test::SourceDir() + "/tests/data/lwo/";
    for (const char* path : {"LWO2/boxuv.lwo", "LWO2/uvtest.lwo", "LWO2/box_2uv_1unused.lwo", "LWO2/hierarchy.lwo",
                             "LWO2/UglyVertexColors.lwo", "LWO2/MappingModes/earth_uv_cylindrical_y.lwo",
                             "LWOB/sphere_with_mat_gloss_10pc.lwo"}) {
        LwoReadFailure failure;
        auto object = LwoReadObjectFile(samples + path, &failure);
        ASSERT_NE(object, nullptr) << path;
        std::string message;
        const std::string folder = samples + std::string(path).substr(0, std::string(path).rfind('/'));
        auto model = LwoObjectToModel(*object, folder, &message);
        ASSERT_NE(model, nullptr) << path << ": " << message;
        CheckWithAssimp(*model, path);
    }
}

}  // namespace
