// LightWave objects written by other programs (Debian's assimp-testmodels,
// copied under tests/data/lwo with their copyright file).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "models/lwo_reader.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

std::string SampleDir() { return pirn_test::SourceDir() + "/tests/data/lwo/"; }

struct Sample {
    const char* path;
    size_t layers, points, polygons, corners, surfaces, clips;
};

// Polygons, corners and surfaces are what `assimp info FILE -r` (assimp 5.2)
// reports as Faces, Vertices (one per polygon corner) and Materials; points
// are the PNTS chunk sizes / 12. assimp 5.2 cannot read LWOB files at all, so
// their rows come from walking the chunks by hand.
const Sample kSamples[] = {
    {"LWO2/MappingModes/earth_cylindrical_x.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_cylindrical_x_scale_222_wrap_21.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_cylindrical_y.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_cylindrical_y_scale_111.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_cylindrical_y_scale_111_wrap_21.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_cylindrical_z.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_planar_x.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_planar_y.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_planar_z.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_planar_z_scale_111.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_spherical_x.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_spherical_x_scale_222_wrap_22.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_spherical_y.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_spherical_z.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_spherical_z_wrap_22.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/MappingModes/earth_uv_cylindrical_y.lwo", 1, 266, 288, 1104, 1, 1},
    {"LWO2/ModoExport_vertNormals.lwo", 1, 266, 288, 1104, 1, 0},
    {"LWO2/Subdivision.lwo", 1, 26, 24, 96, 1, 0},
    {"LWO2/UglyVertexColors.lwo", 1, 1628, 1735, 6672, 3, 1},
    {"LWO2/box_2uv_1unused.lwo", 1, 8, 6, 24, 1, 1},
    {"LWO2/box_2vc_1unused.lwo", 1, 218, 195, 822, 1, 1},
    {"LWO2/boxuv.lwo", 1, 24, 6, 24, 1, 1},
    {"LWO2/concave_polygon.lwo", 1, 64, 1, 66, 1, 0},
    {"LWO2/concave_self_intersecting.lwo", 1, 14, 1, 14, 1, 0},
    {"LWO2/formatDetection", 1, 24, 1, 24, 1, 0},
    {"LWO2/hierarchy.lwo", 4, 290, 306, 1176, 3, 0},
    {"LWO2/hierarchy_smoothed.lwo", 4, 290, 306, 1176, 3, 0},
    {"LWO2/nonplanar_polygon.lwo", 1, 18, 1, 18, 1, 0},
    {"LWO2/shader_test/CellShader.lwo", 1, 16, 12, 48, 1, 0},
    {"LWO2/shader_test/SuperCellShader.lwo", 1, 16, 12, 48, 1, 0},
    {"LWO2/shader_test/fastFresnel.lwo", 1, 16, 12, 48, 1, 0},
    {"LWO2/shader_test/realFresnel.lwo", 1, 16, 12, 48, 1, 0},
    {"LWO2/sphere_with_gradient.lwo", 1, 266, 288, 1104, 1, 0},
    {"LWO2/sphere_with_mat_gloss_10pc.lwo", 1, 266, 288, 1104, 1, 0},
    {"LWO2/transparency.lwo", 1, 274, 294, 1128, 1, 0},
    {"LWO2/uvtest.lwo", 1, 64, 16, 64, 16, 1},
    {"LWS/simple_cube.lwo", 1, 8, 6, 24, 1, 0},
    {"LWOB/ConcavePolygon.lwo", 1, 64, 1, 66, 1, 0},
    {"LWOB/MappingModes/bluewithcylindrictexz.lwo", 1, 8, 6, 24, 1, 1},
    {"LWOB/formatDetection", 1, 24, 1, 24, 1, 0},
    {"LWOB/sphere_with_mat_gloss_10pc.lwo", 1, 266, 288, 1104, 1, 0},
    {"LWOB/sphere_with_mat_gloss_50pc.lwo", 1, 266, 288, 1104, 1, 0},
};

const char* const kBroken[] = {
    "invalid/empty.lwo",
    "LXOB_Modo/CrazyEngine.lxo",
    "LXOB_Modo/sphereWithVertMap.lxo",
};

struct Counts {
    size_t layers = 0, points = 0, polygons = 0, corners = 0;
};

Counts CountObject(const LwoObject& object) {
    Counts counts;
    counts.layers = object.layers.size();
    for (const LwoLayer& layer : object.layers) {
        counts.points += layer.points.size();
        counts.polygons += layer.polygons.size();
        for (const LwoPolygon& polygon : layer.polygons) counts.corners += polygon.vertices.size();
    }
    return counts;
}

TEST(LwoSamples, EveryGoodSampleReadsWithItsCounts) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.path);
        LwoReadFailure failure;
        auto object = LwoReadObjectFile(SampleDir() + sample.path, &failure);
        ASSERT_NE(object, nullptr) << LwoFailureText(failure);
        const Counts counts = CountObject(*object);
        EXPECT_EQ(counts.layers, sample.layers);
        EXPECT_EQ(counts.points, sample.points);
        EXPECT_EQ(counts.polygons, sample.polygons);
        EXPECT_EQ(counts.corners, sample.corners);
        EXPECT_EQ(object->surfaces.size(), sample.surfaces);
        EXPECT_EQ(object->clips.size(), sample.clips);
        for (const LwoLayer& layer : object->layers) {
            for (const LwoPolygon& polygon : layer.polygons) EXPECT_LT(polygon.surface, object->surfaces.size());
        }
    }
}

TEST(LwoSamples, BrokenFilesAreRefusedWithAMessage) {
    for (const char* path : kBroken) {
        SCOPED_TRACE(path);
        LwoReadFailure failure;
        EXPECT_EQ(LwoReadObjectFile(SampleDir() + path, &failure), nullptr);
        EXPECT_EQ(failure.position, 12u);
        EXPECT_NE(LwoFailureText(failure).find("chunk 'FORM' at byte 12: "), std::string::npos);
    }
}

TEST(LwoSamples, EverySampleCutShortIsRefused) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.path);
        std::vector<u8> bytes = pirn_test::ReadAll(SampleDir() + sample.path);
        for (size_t keep : {bytes.size() / 2, bytes.size() - 1, size_t{13}}) {
            LwoReadFailure failure;
            EXPECT_EQ(LwoReadObjectBytes(bytes.data(), keep, &failure), nullptr) << keep;
            EXPECT_FALSE(failure.reason.empty());
        }
    }
}

TEST(LwoSamples, TexturedSamplesNameTheirImagesAndUvMaps) {
    struct Case {
        const char* path;
        const char* clip;
        const char* uv_map;
    };
    const Case cases[] = {
        {"LWO2/boxuv.lwo", "boxuv.png", "Texture"},
        {"LWO2/uvtest.lwo", "uvtest.png", "uvtest"},
        {"LWO2/box_2vc_1unused.lwo", "white.bmp", "testUV0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LwoReadFailure failure;
        auto object = LwoReadObjectFile(SampleDir() + c.path, &failure);
        ASSERT_NE(object, nullptr);
        const LwoTextureBlock& block = object->surfaces[0].channels[kLwoChannelColour].at(0);
        EXPECT_EQ(block.image.projection, kLwoProjectionUv);
        EXPECT_EQ(block.image.uv_map, c.uv_map);
        const LwoClip* clip = LwoFindClip(object->clips, block.image.clip);
        ASSERT_NE(clip, nullptr);
        EXPECT_EQ(clip->file_name, c.clip);
        EXPECT_TRUE(pirn_test::Exists(SampleDir() + "LWO2/" + c.clip));
    }
}

// When assimp is installed its own report must agree with the table, so the
// table cannot drift from what an outside reader sees.
std::map<std::string, size_t> AssimpCounts(const std::string& path) {
    std::map<std::string, size_t> counts;
    const std::string command = "assimp info '" + path + "' -r 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return counts;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        for (const char* key : {"Faces:", "Vertices:", "Materials:"}) {
            const std::string text = line;
            if (text.rfind(key, 0) == 0) counts[key] = std::strtoul(text.c_str() + std::strlen(key), nullptr, 10);
        }
    }
    pclose(pipe);
    return counts;
}

TEST(LwoSamples, AssimpReportsTheTabledCounts) {
    PIRN_SKIP_LINUX_CHECKERS("assimp");
    if (std::system("command -v assimp >/dev/null 2>&1") != 0) GTEST_SKIP() << "assimp is not installed";
    for (const Sample& sample : kSamples) {
        if (std::string(sample.path).rfind("LWOB", 0) == 0) continue;
        SCOPED_TRACE(sample.path);
        std::map<std::string, size_t> counts = AssimpCounts(SampleDir() + sample.path);
        EXPECT_EQ(counts["Faces:"], sample.polygons);
        EXPECT_EQ(counts["Vertices:"], sample.corners);
        EXPECT_EQ(counts["Materials:"], sample.surfaces);
    }
}

}  // namespace
