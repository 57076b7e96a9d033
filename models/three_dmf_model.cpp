#include "models/three_dmf_model.h"

#include <new>
#include <vector>

#include "models/three_dmf_parser.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

void AddMeshTexture(ModelObject* model, const TriMesh3dmf& mesh, size_t index) {
    ModelTexture texture;
    if (mesh.pixmap_width > 0 && mesh.pixmap_height > 0)
        SetImagePixels(&texture.colour, mesh.pixmap_width, mesh.pixmap_height, kFormatRgba, mesh.pixmap.data());
    texture.name = FormatString("Pixmap%zu", index);
    texture.file_name = texture.name;
    model->textures.push_back(std::move(texture));
}

// Texture coordinates come from the mesh's per-point pairs, when the mesh
// has a pair for each of the triangle's points.
void AddMeshTriangles(ModelObject* model, const TriMesh3dmf& mesh, u32 texture, u32 first_vertex) {
    const size_t pairs = mesh.uvs.size() / 2;
    for (size_t t = 0; t < mesh.triangle_count(); ++t) {
        ModelTriangle triangle;
        triangle.texture = texture;
        const u32* index = &mesh.triangles[3 * t];
        const bool has_uv = index[0] < pairs && index[1] < pairs && index[2] < pairs;
        for (int c = 0; c < 3; ++c) {
            ModelCorner& corner = triangle.corners[c];
            corner.vertex = first_vertex + index[c];
            if (has_uv) {
                corner.u = mesh.uvs[2 * size_t{index[c]}];
                corner.v = mesh.uvs[2 * size_t{index[c]} + 1];
            }
        }
        model->triangles.push_back(triangle);
    }
}

std::unique_ptr<ModelObject> BuildModel(std::vector<TriMesh3dmf>& meshes) {
    auto model = std::make_unique<ModelObject>();
    for (size_t m = 0; m < meshes.size(); ++m) {
        const TriMesh3dmf& mesh = meshes[m];
        AddMeshTexture(model.get(), mesh, m);
        const u32 first_vertex = static_cast<u32>(model->vertices.size());
        for (size_t p = 0; p < mesh.point_count(); ++p) {
            ModelVertex vertex;
            vertex.x = mesh.points[3 * p];
            vertex.y = mesh.points[3 * p + 1];
            vertex.z = mesh.points[3 * p + 2];
            model->vertices.push_back(vertex);
        }
        AddMeshTriangles(model.get(), mesh, static_cast<u32>(m), first_vertex);
    }
    ComputeModelBounds(model.get());
    return model;
}

std::unique_ptr<ModelObject> ParseText(const std::string& text, std::string* message) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    std::vector<Token3dmf> tokens;
    Tokenize3dmf(buffer.data(), tokens);
    x3DMFParser parser(std::move(tokens));
    if (!parser.parse3DMetaFile()) {
        if (message) *message = parser.error();
        return nullptr;
    }
    return BuildModel(parser.meshes());
}

}  // namespace

// Every count is checked against the tokens before anything is sized from
// it, so memory grows only with the text; a text too large for this build's
// address space is refused like any other bad file.
std::unique_ptr<ModelObject> Load3dmfModelFromText(const std::string& text, std::string* message) {
    try {
        return ParseText(text, message);
    } catch (const std::bad_alloc&) {
        if (message) *message = "The file is too large to read.";
        return nullptr;
    }
}

std::unique_ptr<ModelObject> Load3dmfModel(const std::string& path, std::string* message) {
    std::string text;
    bool read = false;
    try {
        read = ReadFileText(path, &text);
    } catch (const std::bad_alloc&) {
        read = false;
    }
    if (!read) {
        if (message) *message = "Input file failed to open.";
        return nullptr;
    }
    return Load3dmfModelFromText(text, message);
}

}  // namespace pirn
