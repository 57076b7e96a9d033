#pragma once
// Reading the three objects of a 3DMF text file that a model needs:
// TriMesh (triangles and points), AttributeArray (texture coordinates and
// normals of the mesh before it) and PixmapTexture (its image). Every other
// token is stepped over one at a time.

#include <string>
#include <vector>

#include "models/three_dmf_tokenizer.h"
#include "platform/types.h"
#include "platform/printf_format.h"

namespace pirn {

struct TriMesh3dmf {
    std::vector<u32> triangles;          // three point indices each, winding reversed
    std::vector<float> points;           // x, y, z each
    std::vector<float> triangle_normals; // x, y, z each
    std::vector<float> uvs;              // u, v per point (v = 0 at the top)
    u32 pixmap_width = 0;
    u32 pixmap_height = 0;
    std::vector<u8> pixmap;              // red, green, blue, alpha per pixel

    size_t triangle_count() const { return triangles.size() / 3; }
    size_t point_count() const { return points.size() / 3; }
};

class x3DMFParser {
public:
    // Takes the tokens of one file (their text stays in the caller's buffer).
    explicit x3DMFParser(std::vector<Token3dmf> tokens) : tokens_(std::move(tokens)) {}

    // True when the whole file was read; false with the message set.
    bool parse3DMetaFile();

    const std::string& error() const { return error_; }
    std::vector<TriMesh3dmf>& meshes() { return meshes_; }

private:
    bool parseTriMesh();
    bool parseAttributeArray();
    bool parsePixmapTexture();
    bool readTriangles(TriMesh3dmf& mesh, int count, const char* operation);
    bool readDoubles(const char* operation, u64 count, std::vector<float>& values);
    bool readPixelTokens(TriMesh3dmf& mesh, bool argb, u64 token_count);
    bool badPixelToken(const Token3dmf& found);

    // Token readers, each consuming one token. `operation` and `source_line`
    // name the reader's caller in mismatch messages.
    bool expect(const char* operation, int source_line, const char* text);
    bool readInteger(const char* operation, int source_line, int* value);
    bool readDouble(const char* operation, int source_line, float* value);
    bool readBoolean(const char* operation, int source_line, bool* value);
    // Tests the current token without consuming it.
    bool isToken(const char* text, bool* matches);
    bool setError(const char* format, ...) PIRN_PRINTF_FORMAT(2, 3);
    bool mismatch(const char* operation, int source_line, const Token3dmf& token, const char* expected);

    size_t left() const { return tokens_.size() - cursor_; }
    const Token3dmf& token() const { return tokens_[cursor_]; }
    // Whether `count` tokens (a 64-bit product of file values) remain.
    bool tokensLeft(u64 count) const { return count <= left(); }
    // Room worth reserving for `count` values: never more than the tokens left.
    size_t boundedBy(u64 count) const { return tokensLeft(count) ? static_cast<size_t>(count) : left(); }

    std::string error_;
    std::vector<Token3dmf> tokens_;
    size_t cursor_ = 0;
    std::vector<TriMesh3dmf> meshes_;
    TriMesh3dmf* current_ = nullptr;
};

}  // namespace pirn
