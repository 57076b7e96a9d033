#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "models/three_dmf_model.h"
#include "models/three_dmf_parser.h"
#include "models/three_dmf_tokenizer.h"
#include "tests/support/test_support.h"

using namespace pirn;

namespace {

struct ExpectedToken {
    std::string text;
    u32 line;
    u32 column;
};

std::vector<ExpectedToken> Tokens(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    std::vector<Token3dmf> tokens;
    Tokenize3dmf(buffer.data(), tokens);
    std::vector<ExpectedToken> out;
    for (const Token3dmf& t : tokens) {
        EXPECT_EQ(std::string(t.text).size(), t.length);
        out.push_back({t.text, t.line, t.column});
    }
    return out;
}

bool operator==(const ExpectedToken& a, const ExpectedToken& b) {
    return a.text == b.text && a.line == b.line && a.column == b.column;
}
std::ostream& operator<<(std::ostream& out, const ExpectedToken& t) {
    return out << "'" << t.text << "'@" << t.line << ":" << t.column;
}

TEST(Tokenize3dmf, SplitsOnBlanksAndCountsLinesAndColumns) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<ExpectedToken> tokens;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"blanks only", " \t\r\n  ", {}},
        {"one line", "3DMetafile ( 1 6 )", {{"3DMetafile", 1, 0}, {"(", 1, 11}, {"1", 1, 13}, {"6", 1, 15}, {")", 1, 17}}},
        {"leading blanks and tabs", "  \tA\tB", {{"A", 1, 3}, {"B", 1, 5}}},
        {"comment line", "# a comment\nA", {{"A", 2, 0}}},
        {"indented comment", "   # note\n B", {{"B", 2, 1}}},
        {"hash later in a line", "1 # 2", {{"1", 1, 0}, {"#", 1, 2}, {"2", 1, 4}}},
        {"hash inside a token", "a#b", {{"a#b", 1, 0}}},
        {"CR LF counts two lines", "A\r\nB\r\nC", {{"A", 1, 0}, {"B", 3, 0}, {"C", 5, 0}}},
        {"lone CR and LF", "A\rB\nC", {{"A", 1, 0}, {"B", 2, 0}, {"C", 3, 0}}},
        {"blank lines", "\n\nA", {{"A", 3, 0}}},
        {"comment ends at CR", "#x\rA", {{"A", 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Tokens(c.text), c.tokens);
    }
}

std::unique_ptr<ModelObject> Load(const std::string& text, std::string* message = nullptr) {
    std::string ignored;
    return Load3dmfModelFromText(text, message ? message : &ignored);
}

std::string Refusal(const std::string& text) {
    std::string message;
    EXPECT_EQ(Load(text, &message), nullptr);
    EXPECT_FALSE(message.empty());
    return message;
}

// One triangle (0 1 2) over three points, with the bounding box and flag.
const char* kTriangle =
    "TriMesh ( 1 0 0 0 3 0\n"
    "0 1 2\n"
    "0 0 0  1 0 0  0 1 0\n"
    "0 0 0 1 1 0 False )\n";

TEST(Load3dmf, MetafileWithNothingElseIsAnEmptyModel) {
    auto model = Load("3DMetafile");
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->vertices.empty());
    EXPECT_TRUE(model->triangles.empty());
    EXPECT_TRUE(model->textures.empty());
    for (float b : model->bounds) EXPECT_EQ(b, 0.0f);
}

TEST(Load3dmf, OtherTokensAreSteppedOver) {
    auto model = Load(std::string("3DMetafile ( 1 6 Normal toc> )\nContainer ( ") + kTriangle + " ) EndGroup ( )");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->triangles.size(), 1u);
}

TEST(Load3dmf, TrianglesAreStoredWithTheirWindingReversed) {
    auto model = Load(std::string("3DMetafile\n") + kTriangle);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->triangles.size(), 1u);
    const ModelTriangle& t = model->triangles[0];
    EXPECT_EQ(t.corners[0].vertex, 0u);
    EXPECT_EQ(t.corners[1].vertex, 2u);
    EXPECT_EQ(t.corners[2].vertex, 1u);
    EXPECT_EQ(t.texture, 0u);
    EXPECT_EQ(t.colour, 0xFFFFFFFFu);
    EXPECT_EQ(t.owner, nullptr);
    for (float n : t.normal) EXPECT_EQ(n, 0.0f);
    ASSERT_EQ(model->textures.size(), 1u);
    EXPECT_EQ(model->textures[0].name, "Pixmap0");
    EXPECT_EQ(model->textures[0].file_name, "Pixmap0");
    EXPECT_EQ(model->textures[0].colour.width, 0u);
}

TEST(Load3dmf, SecondMeshCountsItsPointsAfterTheFirst) {
    const std::string second =
        "TriMesh ( 2 0 0 0 4 0\n"
        "0 1 2  0 2 3\n"
        "-5 0 0  0 0 0  0 2 0  1 1 7\n"
        "-5 0 0 1 2 7 False )\n";
    auto model = Load(std::string("3DMetafile\n") + kTriangle + second);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->vertices.size(), 7u);
    ASSERT_EQ(model->triangles.size(), 3u);
    EXPECT_EQ(model->triangles[1].corners[0].vertex, 3u);
    EXPECT_EQ(model->triangles[1].texture, 1u);
    EXPECT_EQ(model->triangles[2].corners[1].vertex, 6u);
    EXPECT_EQ(model->textures[1].name, "Pixmap1");
    const float expected[6] = {-5, 0, 0, 1, 2, 7};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(model->bounds[i], expected[i]) << i;
    for (float p : model->pivot) EXPECT_EQ(p, 0.0f);
}

TEST(Load3dmf, AttributeArraysGiveTextureCoordinatesWithVFlipped) {
    const std::string text = std::string("3DMetafile\n") + kTriangle +
                             "AttributeArray ( 2 0 2 0 0\n 0 0  0.25 0.75  1 0.5 )\n"
                             "AttributeArray ( 3 0 0 0 0\n 0 0 1 )\n"
                             "AttributeArray ( 3 0 2 0 0\n 0 0 1  0 0 1  0 0 1 )\n";
    auto model = Load(text);
    ASSERT_NE(model, nullptr);
    const ModelTriangle& t = model->triangles[0];
    // Corner 1 is point 2, corner 2 is point 1.
    EXPECT_FLOAT_EQ(t.corners[0].v, 1.0f);
    EXPECT_FLOAT_EQ(t.corners[1].u, 1.0f);
    EXPECT_FLOAT_EQ(t.corners[1].v, 0.5f);
    EXPECT_FLOAT_EQ(t.corners[2].u, 0.25f);
    EXPECT_FLOAT_EQ(t.corners[2].v, 0.25f);
}

TEST(Load3dmf, PixmapsDecodeBothPixelTypes) {
    struct Case {
        const char* what;
        std::string pixmap;
        std::vector<u8> pixels;
    };
    const Case cases[] = {
        {"ARGB32 stored as RGBA, pixels beyond the image dropped",
         "PixmapTexture ( 3 1 12 32 ARGB32 BigEndian BigEndian\n"
         "0x80112233FF445566007788990A0B0C0D )",
         {0x11, 0x22, 0x33, 0x80, 0x44, 0x55, 0x66, 0xFF, 0x77, 0x88, 0x99, 0x00}},
        {"RGB16 channels shifted by three, top bit ignored",
         "PixmapTexture ( 2 1 4 16 RGB16 BigEndian BigEndian\n"
         "0x7FFF8421000000000000000000000000 )",
         {248, 248, 248, 255, 8, 8, 8, 255}},
        {"lower-case digits",
         "PixmapTexture ( 1 1 4 32 ARGB32 BigEndian BigEndian\n"
         "0xff0a0b0c000000000000000000000000 )",
         {0x0A, 0x0B, 0x0C, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = Load(std::string("3DMetafile\n") + kTriangle + c.pixmap);
        ASSERT_NE(model, nullptr);
        const PixelImage& image = model->textures[0].colour;
        EXPECT_EQ(image.format, kFormatRgba);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

// "in 'OPERATION' at 3DMFModel:N:\nline L col C: found 'T'; expected 'E'"
::testing::AssertionResult IsMismatch(const std::string& message, const std::string& operation, int line,
                                      int column, const std::string& found, const std::string& expected) {
    const std::regex pattern("in '" + operation + "' at 3DMFModel:[0-9]+:\nline " + std::to_string(line) + " col " +
                             std::to_string(column) + ": found '" + found + "'; expected '" + expected + "'");
    if (std::regex_match(message, pattern)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "message: " << message;
}

TEST(Load3dmfErrors, MismatchesNameTheOperationTokenAndExpectation) {
    EXPECT_TRUE(IsMismatch(Refusal("Foo"), "x3DMFParser::parse3DMetaFile", 1, 0, "Foo", "3DMetafile"));
    EXPECT_TRUE(IsMismatch(Refusal("3DMetafile\n  TriMesh [ 1"), "x3DMFParser::parseTriMesh", 2, 10, "\\[", "\\("));
    EXPECT_TRUE(IsMismatch(Refusal("3DMetafile\r\nTriMesh ( 0 0 0 0 0 0 0 0 0 1 1 1 true )"),
                           "x3DMFParser::parseTriMesh", 3, 34, "true", "True' or 'False"));
    EXPECT_TRUE(IsMismatch(Refusal(std::string("3DMetafile ") + kTriangle +
                                   "PixmapTexture ( 1 1 4 32 ARGB32 LittleEndian BigEndian"),
                           "x3DMFParser::parsePixmapTexture", 5, 32, "LittleEndian", "BigEndian"));
}

TEST(Load3dmfErrors, FixedMessages) {
    const std::string mesh = std::string("3DMetafile\n") + kTriangle;
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"no token at all", "", "unexpected EOF; expected '3DMetafile'"},
        {"comments only", "# nothing\n", "unexpected EOF; expected '3DMetafile'"},
        {"expect at the end", "3DMetafile TriMesh", "unexpected EOF; expected '('"},
        {"number at the end", "3DMetafile TriMesh ( 1 0", "unexpected EOF."},
        {"unknown combination", mesh + "AttributeArray ( 2 0 0 0 0 )",
         "AttributeArray at line 6: unknown attribute/geometry type combination 2:0"},
        {"unknown pixel type", mesh + "PixmapTexture ( 1 1 4 32\n ARGB16 BigEndian BigEndian 0x0 )",
         "PixmapTexture at line 7: unknown pixel type 'ARGB16'"},
        {"short hex token", mesh + "PixmapTexture ( 1 1 4 32 ARGB32 BigEndian BigEndian\n  0x" + std::string(31, 'F') + " )",
         "line 7 col 2: found '0x" + std::string(31, 'F') + "'; expected <128 bit hex constant>"},
        {"hex token without 0x", mesh + "PixmapTexture ( 1 1 4 32 ARGB32 BigEndian BigEndian\n" + std::string(34, 'F') + " )",
         "line 7 col 0: found '" + std::string(34, 'F') + "'; expected <128 bit hex constant>"},
        {"digit that is not hex", mesh + "PixmapTexture ( 1 1 4 32 ARGB32 BigEndian BigEndian\n0xG" + std::string(31, '0') + " )",
         "line 7 col 0: found '0xG" + std::string(31, '0') + "'; expected <128 bit hex constant>"},
        // A file cut short says so wherever it ends, whatever the counts
        // before promised.
        {"cut inside an AttributeArray", mesh + "AttributeArray ( 2 0 2 0 0\n 0 0  0.25 0.75", "unexpected EOF."},
        {"cut inside the triangles", "3DMetafile\nTriMesh ( 2 0 0 0 3 0\n0 1 2  0", "unexpected EOF."},
        {"cut inside the points", "3DMetafile\nTriMesh ( 1 0 0 0 3 0\n0 1 2\n0 0 0  1 0", "unexpected EOF."},
        {"cut inside the pixel data", mesh + "PixmapTexture ( 8 1 32 32 ARGB32 BigEndian BigEndian\n0x" + std::string(32, '0'),
         "unexpected EOF; expected ')'"},
        {"pixel data ended early by the bracket",
         mesh + "PixmapTexture ( 8 1 32 32 ARGB32 BigEndian BigEndian\n0x" + std::string(32, '0') + "\n )",
         "line 8 col 1: found ')'; expected <128 bit hex constant>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Refusal(c.text), c.message);
    }
}

TEST(Load3dmfErrors, CountsIndicesAndNumbersAreChecked) {
    struct Case {
        const char* what;
        std::string text;
        std::string start;  // the message begins with this
    };
    const std::string mesh = std::string("3DMetafile\n") + kTriangle;
    const Case cases[] = {
        {"negative triangle count", "3DMetafile TriMesh ( -1 0 0 0 3 0 )", "TriMesh at line 1: -1 triangles"},
        {"more triangles than the file holds", "3DMetafile TriMesh ( 1000000000 0 0 0 3 0 0 1 2 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"more points than the file holds", "3DMetafile TriMesh ( 0 0 0 0 2000000000 0 1 2 3 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"more values than the file holds", mesh + "AttributeArray ( 3 0 2 0 0 0 0 1 )",
         "in 'x3DMFParser::parseAttributeArray' at 3DMFModel:"},
        {"negative point count", "3DMetafile TriMesh ( 0 0 0 0 -3 0 )", "TriMesh at line 1: -3 points"},
        {"edges would be read as points", "3DMetafile TriMesh ( 1 0 2 0 3 0 0 1 2 )",
         "TriMesh at line 1: 2 edges given"},
        {"triangle index beyond the points", "3DMetafile\nTriMesh ( 1 0 0 0 3 0 0 1 3 0 0 0 1 0 0 0 1 0 0 0 0 1 1 0 False )",
         "TriMesh at line 2: triangle 0 uses point 3 of 3"},
        {"negative triangle index", "3DMetafile TriMesh ( 1 0 0 0 3 0 0 -1 2 0 0 0 1 0 0 0 1 0 0 0 0 1 1 0 False )",
         "TriMesh at line 1: triangle 0 uses point -1 of 3"},
        {"integer that is no number", "3DMetafile TriMesh ( one 0 0 0 3 0 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"integer beyond int", "3DMetafile TriMesh ( 99999999999 0 0 0 3 0 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"coordinate that is no number", "3DMetafile TriMesh ( 0 0 0 0 1 0 x 0 0 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"coordinate beyond float", "3DMetafile TriMesh ( 0 0 0 0 1 0 1e300 0 0 )",
         "in 'x3DMFParser::parseTriMesh' at 3DMFModel:"},
        {"attributes before any mesh", "3DMetafile AttributeArray ( 2 0 2 0 0 )",
         "AttributeArray at line 1: no TriMesh before it"},
        {"pixmap before any mesh", "3DMetafile PixmapTexture ( 1 1 4 32 ARGB32 BigEndian BigEndian )",
         "PixmapTexture at line 1: no TriMesh before it"},
        {"more pixel data than the file holds", mesh + "PixmapTexture ( 100 100 400 32 ARGB32 BigEndian BigEndian )",
         "line 6 col 58: found ')'; expected <128 bit hex constant>"},
        {"rows shorter than their pixels", mesh + "PixmapTexture ( 8 1 4 32 ARGB32 BigEndian BigEndian 0x" +
                                                std::string(32, '0') + " )",
         "PixmapTexture at line 6: 8 x 1 pixels do not fit"},
        {"negative pixmap size", mesh + "PixmapTexture ( -1 1 4 32 ARGB32 BigEndian BigEndian )",
         "PixmapTexture at line 6: size -1 x 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = Refusal(c.text);
        EXPECT_EQ(message.substr(0, c.start.size()), c.start) << message;
    }
}

TEST(Load3dmfErrors, MissingFileCannotBeOpened) {
    pirn_test::TempDir dir;
    std::string message;
    EXPECT_EQ(Load3dmfModel(dir.file("none.3dmf"), &message), nullptr);
    EXPECT_EQ(message, "Input file failed to open.");
    pirn_test::WriteAll(dir.file("one.3dmf"), std::string("3DMetafile\n") + kTriangle);
    auto model = Load3dmfModel(dir.file("one.3dmf"), &message);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->vertices.size(), 3u);
}

TEST(Load3dmf, MeshWithoutTextureCoordinatesKeepsThemZero) {
    auto model = Load(std::string("3DMetafile\n") + kTriangle);
    ASSERT_NE(model, nullptr);
    for (const ModelCorner& corner : model->triangles[0].corners) {
        EXPECT_EQ(corner.u, 0.0f);
        EXPECT_EQ(corner.v, 0.0f);
    }
}

TEST(Load3dmf, ParserWithoutTokensAsksForTheMetafileKeyword) {
    x3DMFParser parser({});
    EXPECT_FALSE(parser.parse3DMetaFile());
    EXPECT_EQ(parser.error(), "unexpected EOF; expected '3DMetafile'");
}

}  // namespace
