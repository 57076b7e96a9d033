#include "models/three_dmf_parser.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/pixel_image.h"

namespace pirn {

namespace {

// The reader names itself this way in mismatch messages.
constexpr const char* kSourceName = "3DMFModel";
constexpr const char* kParseFile = "x3DMFParser::parse3DMetaFile";
constexpr const char* kParseTriMesh = "x3DMFParser::parseTriMesh";
constexpr const char* kParseAttributes = "x3DMFParser::parseAttributeArray";
constexpr const char* kParsePixmap = "x3DMFParser::parsePixmapTexture";

constexpr size_t kErrorLimit = 1023;

// '0'..'9', 'A'..'F' and, read as their upper-case forms, 'a'..'f'; -1 for
// anything else.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The 16 bytes of a "0x" + 32 digit token.
bool DecodeHexToken(const Token3dmf& token, u8 bytes[16]) {
    if (token.length != 34 || token.text[0] != '0' || token.text[1] != 'x') return false;
    for (int i = 0; i < 16; ++i) {
        const int high = HexDigit(token.text[2 + 2 * i]);
        const int low = HexDigit(token.text[3 + 2 * i]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<u8>(high * 16 + low);
    }
    return true;
}

}  // namespace

bool x3DMFParser::setError(const char* format, ...) {
    char text[kErrorLimit + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    error_ = text;
    return false;
}

bool x3DMFParser::mismatch(const char* operation, int source_line, const Token3dmf& found, const char* expected) {
    return setError("in '%s' at %s:%d:\nline %u col %u: found '%s'; expected '%s'", operation, kSourceName,
                    source_line, found.line, found.column, found.text, expected);
}

bool x3DMFParser::expect(const char* operation, int source_line, const char* text) {
    if (left() == 0) return setError("unexpected EOF; expected '%s'", text);
    const Token3dmf& found = token();
    if (std::strcmp(found.text, text) != 0) return mismatch(operation, source_line, found, text);
    ++cursor_;
    return true;
}

bool x3DMFParser::isToken(const char* text, bool* matches) {
    if (left() == 0) return setError("unexpected EOF.");
    *matches = std::strcmp(token().text, text) == 0;
    return true;
}

// The leading decimal number of the token, as scanf's "%d" takes it; a token
// without one, or one beyond the range of int, fails the file.
bool x3DMFParser::readInteger(const char* operation, int source_line, int* value) {
    if (left() == 0) return setError("unexpected EOF.");
    const Token3dmf& found = token();
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(found.text, &end, 10);
    if (end == found.text || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        return setError("in '%s' at %s:%d:\nline %u col %u: found '%s'; expected <integer>", operation, kSourceName,
                        source_line, found.line, found.column, found.text);
    }
    *value = static_cast<int>(number);
    ++cursor_;
    return true;
}

// The leading number of the token, as scanf's "%lf" takes it, kept as a
// float: a value no float holds fails the file.
bool x3DMFParser::readDouble(const char* operation, int source_line, float* value) {
    if (left() == 0) return setError("unexpected EOF.");
    const Token3dmf& found = token();
    char* end = nullptr;
    const double number = std::strtod(found.text, &end);
    if (end == found.text || !std::isfinite(number) || std::fabs(number) > FLT_MAX) {
        return setError("in '%s' at %s:%d:\nline %u col %u: found '%s'; expected <number>", operation, kSourceName,
                        source_line, found.line, found.column, found.text);
    }
    *value = static_cast<float>(number);
    ++cursor_;
    return true;
}

bool x3DMFParser::readBoolean(const char* operation, int source_line, bool* value) {
    if (left() == 0) return setError("unexpected EOF.");
    const Token3dmf& found = token();
    if (std::strcmp(found.text, "True") == 0) {
        *value = true;
    } else if (std::strcmp(found.text, "False") == 0) {
        *value = false;
    } else {
        return mismatch(operation, source_line, found, "True' or 'False");
    }
    ++cursor_;
    return true;
}

bool x3DMFParser::parse3DMetaFile() {
    if (tokens_.empty()) return setError("unexpected EOF; expected '%s'", "3DMetafile");
    if (!expect(kParseFile, __LINE__, "3DMetafile")) return false;
    while (left() > 0) {
        bool trimesh = false, attributes = false, pixmap = false;
        if (!isToken("TriMesh", &trimesh) || !isToken("AttributeArray", &attributes) ||
            !isToken("PixmapTexture", &pixmap))
            return false;
        if (trimesh) {
            meshes_.emplace_back();
            current_ = &meshes_.back();
            if (!parseTriMesh()) return false;
        } else if (attributes) {
            if (!parseAttributeArray()) return false;
        } else if (pixmap) {
            if (!parsePixmapTexture()) return false;
        } else {
            ++cursor_;
        }
    }
    return true;
}

// Stored as (a, c, b): the metafile winds its triangles the other way round.
// Indices are checked against the points once those are read.
bool x3DMFParser::readTriangles(TriMesh3dmf& mesh, int count, const char* operation) {
    mesh.triangles.clear();
    mesh.triangles.reserve(boundedBy(u64{3} * static_cast<u32>(count)));
    for (int t = 0; t < count; ++t) {
        int corner[3];
        for (int& index : corner) {
            if (!readInteger(operation, __LINE__, &index)) return false;
        }
        mesh.triangles.insert(mesh.triangles.end(), {static_cast<u32>(corner[0]), static_cast<u32>(corner[2]),
                                                     static_cast<u32>(corner[1])});
    }
    return true;
}

// Counts come from the file: the values are read one by one, so a count
// beyond the tokens left ends where the tokens do ("unexpected EOF.") and
// the storage never outgrows the file.
bool x3DMFParser::readDoubles(const char* operation, u64 count, std::vector<float>& values) {
    values.clear();
    values.reserve(boundedBy(count));
    for (u64 i = 0; i < count; ++i) {
        float value = 0;
        if (!readDouble(operation, __LINE__, &value)) return false;
        values.push_back(value);
    }
    return true;
}

bool x3DMFParser::parseTriMesh() {
    const u32 line = token().line;
    TriMesh3dmf& mesh = *current_;
    if (!expect(kParseTriMesh, __LINE__, "TriMesh") || !expect(kParseTriMesh, __LINE__, "(")) return false;
    int counts[6];
    for (int& count : counts) {
        if (!readInteger(kParseTriMesh, __LINE__, &count)) return false;
    }
    const int triangles = counts[0], edges = counts[2], points = counts[4];
    // No edge list is read: a mesh with edges would have them misread as points.
    if (edges != 0) return setError("TriMesh at line %u: %d edges given; edge lists are not supported", line, edges);
    if (triangles < 0) return setError("TriMesh at line %u: %d triangles cannot be counted", line, triangles);
    if (points < 0) return setError("TriMesh at line %u: %d points cannot be counted", line, points);
    if (!readTriangles(mesh, triangles, kParseTriMesh)) return false;
    if (!readDoubles(kParseTriMesh, u64{3} * static_cast<u32>(points), mesh.points)) return false;
    float box[6];
    for (float& value : box) {
        if (!readDouble(kParseTriMesh, __LINE__, &value)) return false;
    }
    bool empty = false;
    if (!readBoolean(kParseTriMesh, __LINE__, &empty)) return false;
    if (!expect(kParseTriMesh, __LINE__, ")")) return false;
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
        if (mesh.triangles[i] >= static_cast<u32>(points)) {
            return setError("TriMesh at line %u: triangle %zu uses point %d of %d", line, i / 3,
                            static_cast<int>(mesh.triangles[i]), points);
        }
    }
    return true;
}

bool x3DMFParser::parseAttributeArray() {
    const u32 line = token().line;
    if (!current_) return setError("AttributeArray at line %u: no TriMesh before it", line);
    TriMesh3dmf& mesh = *current_;
    if (!expect(kParseAttributes, __LINE__, "AttributeArray") || !expect(kParseAttributes, __LINE__, "(")) return false;
    int fields[5];
    for (int& field : fields) {
        if (!readInteger(kParseAttributes, __LINE__, &field)) return false;
    }
    const int attribute = fields[0], element = fields[2];
    std::vector<float> values;
    size_t per_element = 0, elements = 0;
    if (attribute == 2 && element == 2) {
        per_element = 2;
        elements = mesh.point_count();
    } else if (attribute == 3 && element == 0) {
        per_element = 3;
        elements = mesh.triangle_count();
    } else if (attribute == 3 && element == 2) {
        per_element = 3;
        elements = mesh.point_count();
    } else {
        return setError("AttributeArray at line %u: unknown attribute/geometry type combination %d:%d", line,
                        attribute, element);
    }
    if (!readDoubles(kParseAttributes, u64{per_element} * elements, values)) return false;
    if (!expect(kParseAttributes, __LINE__, ")")) return false;
    if (attribute == 2) {
        for (size_t i = 1; i < values.size(); i += 2) values[i] = 1.0f - values[i];
        mesh.uvs = std::move(values);
    } else if (element == 0) {
        mesh.triangle_normals = std::move(values);
    }
    return true;
}

bool x3DMFParser::badPixelToken(const Token3dmf& found) {
    return setError("line %u col %u: found '%s'; expected <128 bit hex constant>", found.line, found.column,
                    found.text);
}

// Each token holds 16 bytes of pixels, row after row with no gap; pixels
// beyond the image are dropped.
bool x3DMFParser::readPixelTokens(TriMesh3dmf& mesh, bool argb, u64 token_count) {
    const u64 pixel_count = u64{mesh.pixmap_width} * mesh.pixmap_height;
    u64 pixel = 0;
    for (u64 k = 0; k < token_count && left() > 0; ++k) {
        const Token3dmf& found = token();
        u8 bytes[16];
        if (!DecodeHexToken(found, bytes)) return badPixelToken(found);
        ++cursor_;
        const int per_token = argb ? 4 : 8;
        for (int i = 0; i < per_token; ++i, ++pixel) {
            if (pixel >= pixel_count) continue;
            u8* out = &mesh.pixmap[pixel * 4];
            if (argb) {
                const u8* in = bytes + 4 * i;
                out[0] = in[1];
                out[1] = in[2];
                out[2] = in[3];
                out[3] = in[0];
            } else {
                const u32 value = (u32{bytes[2 * i]} << 8) | bytes[2 * i + 1];
                out[0] = static_cast<u8>(((value >> 10) & 31) << 3);
                out[1] = static_cast<u8>(((value >> 5) & 31) << 3);
                out[2] = static_cast<u8>((value & 31) << 3);
                out[3] = 255;
            }
        }
    }
    return true;
}

bool x3DMFParser::parsePixmapTexture() {
    const u32 line = token().line;
    if (!current_) return setError("PixmapTexture at line %u: no TriMesh before it", line);
    TriMesh3dmf& mesh = *current_;
    if (!expect(kParsePixmap, __LINE__, "PixmapTexture") || !expect(kParsePixmap, __LINE__, "(")) return false;
    int width = 0, height = 0, row_bytes = 0, pixel_size = 0;
    if (!readInteger(kParsePixmap, __LINE__, &width) || !readInteger(kParsePixmap, __LINE__, &height) ||
        !readInteger(kParsePixmap, __LINE__, &row_bytes) || !readInteger(kParsePixmap, __LINE__, &pixel_size))
        return false;
    if (left() == 0) return setError("unexpected EOF.");
    const Token3dmf& type = token();
    const bool argb = std::strcmp(type.text, "ARGB32") == 0;
    if (!argb && std::strcmp(type.text, "RGB16") != 0)
        return setError("PixmapTexture at line %u: unknown pixel type '%s'", type.line, type.text);
    ++cursor_;
    if (!expect(kParsePixmap, __LINE__, "BigEndian") || !expect(kParsePixmap, __LINE__, "BigEndian")) return false;
    if (width < 0 || height < 0 || row_bytes < 0)
        return setError("PixmapTexture at line %u: size %d x %d with %d bytes a row", line, width, height, row_bytes);
    const u64 token_count = (u64{static_cast<u32>(row_bytes)} * static_cast<u32>(height) + 15) / 16;
    const u64 pixel_count = u64{static_cast<u32>(width)} * static_cast<u32>(height);
    // The pixel block is sized from the header, so the rows must be at
    // least as long as their pixels.
    const u64 per_token = argb ? 4 : 8;
    u64 bytes = 0;
    if (pixel_count > token_count * per_token ||
        !ImageByteSize(static_cast<u32>(width), static_cast<u32>(height), kFormatRgba, &bytes))
        return setError("PixmapTexture at line %u: %d x %d pixels do not fit in %llu data tokens", line, width,
                        height, static_cast<unsigned long long>(token_count));
    if (!tokensLeft(token_count)) {
        // Read in turn, the data would stop at the first token that is not
        // pixel data, or at the end of the file before the closing ")"; said
        // without making room for pixels the file does not hold.
        for (size_t k = cursor_; k < tokens_.size(); ++k) {
            u8 unused[16];
            if (!DecodeHexToken(tokens_[k], unused)) return badPixelToken(tokens_[k]);
        }
        return setError("unexpected EOF; expected '%s'", ")");
    }
    mesh.pixmap_width = static_cast<u32>(width);
    mesh.pixmap_height = static_cast<u32>(height);
    mesh.pixmap.assign(static_cast<size_t>(bytes), 0);
    if (!readPixelTokens(mesh, argb, token_count)) return false;
    return expect(kParsePixmap, __LINE__, ")");
}

}  // namespace pirn
