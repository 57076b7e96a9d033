// Both model readers on damaged input: bytes flipped, fields set to extreme
// values, files cut short or spliced. Every file must either be refused with
// a message or read into an object whose indices all hold, and whatever
// reads must go on through the model and geometry builders. Run under the
// sanitizers, this is the readers' fuzzing.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "models/geom_from_model.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/three_dmf_model.h"
#include "tests/models/lwo_fixture_bytes.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

using Random = std::mt19937;

size_t Below(Random& random, size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random); }

// One random change of the kinds that break readers.
std::vector<u8> Damage(std::vector<u8> bytes, Random& random) {
    if (bytes.empty()) return {u8(Below(random, 256))};
    const size_t at = Below(random, bytes.size());
    switch (Below(random, 6)) {
        case 0:  // a few bytes flipped
            for (size_t n = 1 + Below(random, 8); n > 0; --n) bytes[Below(random, bytes.size())] ^= u8(1 + Below(random, 255));
            break;
        case 1: {  // a size or index field set to an extreme
            static const u32 extremes[] = {0, 1, 0xFF, 0xFF00, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
            const u32 value = extremes[Below(random, 8)];
            const size_t width = Below(random, 2) ? 4 : 2;
            for (size_t i = 0; i < width && at + i < bytes.size(); ++i)
                bytes[at + i] = u8(value >> (8 * (width - 1 - i)));
            break;
        }
        case 2:  // cut short
            bytes.resize(at);
            break;
        case 3:  // random bytes inserted
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), 1 + Below(random, 16), u8(Below(random, 256)));
            break;
        case 4: {  // a range repeated
            const size_t length = std::min(bytes.size() - at, 1 + Below(random, 64));
            std::vector<u8> range(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(Below(random, bytes.size())), range.begin(), range.end());
            break;
        }
        default:  // a range removed
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + 1 + Below(random, 32))));
            break;
    }
    return bytes;
}

// What every object the reader hands out must satisfy.
void ExpectConsistent(const LwoObject& object) {
    ASSERT_FALSE(object.layers.empty());
    for (const LwoLayer& layer : object.layers) {
        for (const LwoPolygon& polygon : layer.polygons) {
            for (const LwoPolygonVertex& vertex : polygon.vertices) {
                ASSERT_LT(vertex.index, layer.points.size());
                for (const LwoVertexMapRef& ref : layer.VmadsOf(vertex)) {
                    ASSERT_LT(ref.map, layer.vertex_maps.size());
                    ASSERT_LT(ref.entry, layer.vertex_maps[ref.map].size());
                }
            }
            ASSERT_TRUE(polygon.surface == kLwoNone || polygon.surface < object.surfaces.size());
        }
        for (const LwoPoint& point : layer.points) {
            for (u32 p : layer.PolygonsOf(point)) ASSERT_LT(p, layer.polygons.size());
            for (const LwoVertexMapRef& ref : layer.VmapsOf(point)) ASSERT_LT(ref.map, layer.vertex_maps.size());
        }
        for (const LwoVertexMap& map : layer.vertex_maps)
            ASSERT_EQ(map.values.size(), size_t{map.dimension} * map.points.size());
    }
}

void ReadLwoToTheEnd(const std::vector<u8>& bytes) {
    LwoReadFailure failure;
    auto object = LwoReadObjectBytes(bytes.data(), bytes.size(), &failure);
    if (!object) {
        ASSERT_FALSE(failure.reason.empty());
        return;
    }
    ExpectConsistent(*object);
    std::string message;
    auto model = LwoObjectToModel(*object, "", &message);
    if (!model) {
        ASSERT_FALSE(message.empty());
        return;
    }
    GeomData geom;
    if (!BuildGeomData(*model, 1, &geom, &message)) {
        ASSERT_FALSE(message.empty());
    }
}

std::vector<std::vector<u8>> LwoSeeds() {
    using namespace lwo_fixture;
    std::vector<std::vector<u8>> seeds;
    for (const char* sample : {"LWO2/boxuv.lwo", "LWO2/uvtest.lwo", "LWO2/hierarchy.lwo", "LWO2/UglyVertexColors.lwo",
                               "LWO2/sphere_with_gradient.lwo", "LWO2/transparency.lwo",
                               "LWO2/MappingModes/earth_uv_cylindrical_y.lwo", "LWO2/shader_test/CellShader.lwo",
                               "LWOB/MappingModes/bluewithcylindrictexz.lwo", "LWOB/sphere_with_mat_gloss_10pc.lwo"})
        seeds.push_back(pirn_test::ReadAll(pirn_test::SourceDir() + "/tests/data/lwo/" + sample));
    // Triangles with a UV map, per-polygon values, tags and a clip, so that
    // damage reaches the conversion and the geometry builder too.
    Bytes clip, stil, vmap, vmad, surf, blok, header, chan, proj, imag, uvname, sman;
    stil.S0("x.png");
    clip.U4(1).Raw(SubChunk("STIL", stil));
    chan.Id("COLR");
    header.S0("\x80").Raw(SubChunk("CHAN", chan));
    proj.U2(5);
    imag.VX(1);
    uvname.S0("uv");
    sman.F4(1.5f);
    blok.Raw(SubChunk("IMAP", header)).Raw(SubChunk("PROJ", proj)).Raw(SubChunk("IMAG", imag)).Raw(SubChunk("VMAP", uvname));
    surf.S0("S").S0("").Raw(SubChunk("SMAN", sman)).Raw(SubChunk("BLOK", blok));
    vmap.Id("TXUV").U2(2).S0("uv").VX(0).F4(0).F4(0).VX(1).F4(1).F4(0).VX(2).F4(0).F4(1);
    vmad.Id("TXUV").U2(2).S0("uv").VX(2).VX(1).F4(0.5f).F4(0.5f);
    seeds.push_back(Form("LWO2", {Tags({"S", "T"}), Layer(0, "main"), Chunk("CLIP", clip), Chunk("SURF", surf),
                                  Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}),
                                  Faces({{0, 1, 2}, {0, 2, 3}, {0, 3, 1}}), PolygonTags("SURF", {{0, 0}, {1, 1}, {2, 0}}),
                                  Chunk("VMAP", vmap), Chunk("VMAD", vmad)}));
    return seeds;
}

TEST(ModelReaderDamage, LwoReaderRefusesOrReadsConsistently) {
    Random random(20240515);
    for (const std::vector<u8>& seed : LwoSeeds()) {
        ASSERT_FALSE(seed.empty());
        ReadLwoToTheEnd(seed);
        for (int round = 0; round < 150; ++round) {
            std::vector<u8> bytes = Damage(seed, random);
            if (Below(random, 4) == 0) bytes = Damage(bytes, random);
            ReadLwoToTheEnd(bytes);
            if (HasFatalFailure()) return;
        }
    }
}

void Read3dmfToTheEnd(const std::string& text) {
    std::string message;
    auto model = Load3dmfModelFromText(text, &message);
    if (!model) {
        ASSERT_FALSE(message.empty());
        return;
    }
    for (const ModelTriangle& t : model->triangles) {
        for (const ModelCorner& c : t.corners) ASSERT_LT(c.vertex, model->vertices.size());
        ASSERT_LT(t.texture, model->textures.size());
    }
    GeomData geom;
    if (!BuildGeomData(*model, 1, &geom, &message)) {
        ASSERT_FALSE(message.empty());
    }
}

// Whole tokens replaced: counts and indices at their extremes, numbers that
// are not numbers, tokens dropped or repeated.
std::string DamageTokens(const std::string& text, Random& random) {
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text + " ") {
        if (c == ' ' || c == '\n') {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    static const char* const replacements[] = {"-1",         "0",        "2147483647", "99999999999", "1e39",
                                               "nan",        "x",        "(",          ")",           "TriMesh",
                                               "AttributeArray", "PixmapTexture", "True", "0x",       "RGB16"};
    const size_t at = Below(random, tokens.size());
    switch (Below(random, 3)) {
        case 0: tokens[at] = replacements[Below(random, sizeof(replacements) / sizeof(replacements[0]))]; break;
        case 1: tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(at)); break;
        default: tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(at), tokens[at]); break;
    }
    std::string out;
    for (const std::string& t : tokens) out += t + (Below(random, 8) == 0 ? "\n" : " ");
    return out;
}

TEST(ModelReaderDamage, ThreeDmfReaderRefusesOrReadsConsistently) {
    const std::string seed =
        "3DMetafile ( 1 6 Normal toc> )\n"
        "TriMesh ( 2 0 0 0 4 0\n0 1 2 0 2 3\n0 0 0 1 0 0 1 1 0 0 1 0\n0 0 0 1 1 0 False )\n"
        "AttributeArray ( 2 0 2 0 0 0 0 1 0 1 1 0 1 )\n"
        "AttributeArray ( 3 0 0 0 0 0 0 1 0 0 1 )\n"
        "AttributeArray ( 3 0 2 0 0 0 0 1 0 0 1 0 0 1 0 0 1 )\n"
        "PixmapTexture ( 2 2 8 32 ARGB32 BigEndian BigEndian\n"
        "0xFF102030FF405060FF708090FFA0B0C0 )\n"
        "TriMesh ( 1 0 0 0 3 0 0 1 2 0 0 0 1 0 0 0 1 0 0 0 0 1 1 0 False )\n"
        "PixmapTexture ( 8 1 16 16 RGB16 BigEndian BigEndian 0x7FFF0000123456789ABCDEF012345678 )\n";
    Read3dmfToTheEnd(seed);
    Random random(7);
    for (int round = 0; round < 1500; ++round) {
        std::string text = seed;
        if (Below(random, 2)) {
            text = DamageTokens(text, random);
        } else {
            std::vector<u8> bytes(text.begin(), text.end());
            bytes = Damage(bytes, random);
            text.assign(bytes.begin(), bytes.end());
        }
        Read3dmfToTheEnd(text);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
