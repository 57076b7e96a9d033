#include "models/gl/model_view_gl.h"

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>

#include <vector>

#include "platform/os/gl_texture.h"
#include "platform/os/pirn_gl.h"

namespace pirn {

namespace {

// Each texture with pixels becomes a GL texture (its colour image with its
// alpha plane) the first time its model is drawn; it stays until the model
// is released.
void UploadTextures(ModelObject* model) {
    for (ModelTexture& texture : model->textures) {
        if (texture.gl.name != 0) continue;
        PixelImage rgba;
        if (ModelTextureRgba(texture, &rgba))
            UploadTexture(&texture.gl, rgba.pixels.data(), kGlRgba, rgba.width, rgba.height, 0, 0);
    }
}

// 0 draws untextured: no texture, one without pixels, or an index the
// model does not have.
u32 TextureName(const ModelObject& model, const ModelTriangle& triangle) {
    return triangle.texture < model.textures.size() ? model.textures[triangle.texture].gl.name : 0;
}

bool CornersInRange(const ModelObject& model, const ModelTriangle& triangle) {
    for (const ModelCorner& corner : triangle.corners)
        if (corner.vertex >= model.vertices.size()) return false;
    return true;
}

void Bind(u32 name) {
    if (name) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, name);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

// Per-corner arrays of one frame, kept between frames so that they are
// allocated once.
struct VertexArrays {
    std::vector<float> positions;
    std::vector<float> uvs;
    std::vector<u8> colours;  // red, green, blue, alpha: the colour word's bytes from the low one

    void Clear() {
        positions.clear();
        uvs.clear();
        colours.clear();
    }
    size_t Count() const { return positions.size() / 3; }
    void Add(const ModelVertex& v, const ModelCorner& corner, u32 colour) {
        positions.insert(positions.end(), {v.x, v.y, v.z});
        uvs.insert(uvs.end(), {corner.u, corner.v});
        colours.insert(colours.end(), {static_cast<u8>(colour), static_cast<u8>(colour >> 8),
                                       static_cast<u8>(colour >> 16), static_cast<u8>(colour >> 24)});
    }
};

VertexArrays& Arrays() {
    static VertexArrays arrays;
    return arrays;
}

struct TextureRun {
    u32 texture;
    size_t first;
    size_t count;
};

}  // namespace

void DrawCameraModels(ModelViewCamera* camera) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const i32 area[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
    SetupCameraView(camera, area);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(camera->projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(camera->model_view);
    SortCameraTriangles(camera);

    for (ModelObject* model : camera->models) UploadTextures(model);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The corners go to GL in draw order from arrays, one draw per run of
    // triangles with the same texture; nothing is bound before the first
    // run, so it always binds.
    VertexArrays& arrays = Arrays();
    arrays.Clear();
    std::vector<TextureRun> runs;
    for (const CameraTriangle& entry : camera->draw_list) {
        const ModelObject& model = *entry.model;
        const ModelTriangle& triangle = *entry.triangle;
        if (!CornersInRange(model, triangle)) continue;
        const u32 name = TextureName(model, triangle);
        if (runs.empty() || runs.back().texture != name) runs.push_back({name, arrays.Count(), 0});
        for (const ModelCorner& corner : triangle.corners) arrays.Add(model.vertices[corner.vertex], corner, triangle.colour);
        runs.back().count += 3;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, arrays.uvs.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, arrays.colours.data());
    for (const TextureRun& run : runs) {
        Bind(run.texture);
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(run.first), static_cast<GLsizei>(run.count));
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

void ReleaseModelTextures(ModelObject* model) {
    for (ModelTexture& texture : model->textures) ReleaseTexture(&texture.gl);
}

// Everything the view draws with is set here and put back afterwards: what
// other views (the terrain's sky, its wireframe, a second texture unit)
// leave behind must not show in it, nor what it sets in them.
void GlModelViewRenderer::DrawScene(ModelViewCamera* camera) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glClearColor(kModelViewBackground[0], kModelViewBackground[1], kModelViewBackground[2], 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);  // a model's front faces wind clockwise on the screen
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glShadeModel(GL_SMOOTH);
    const GlEntryPoints& gl = GetGlEntryPoints();
    if (gl.activeTexture) {
        gl.activeTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        gl.activeTexture(GL_TEXTURE0);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    DrawCameraModels(camera);
    glPopAttrib();
}

void GlModelViewRenderer::ReleaseModel(ModelObject* model) { ReleaseModelTextures(model); }

void InstallModelViewGl() {
    static GlModelViewRenderer renderer;
    SetModelViewRenderer(&renderer);
}

}  // namespace pirn
