#include "models/gl/model_view_gl.h"

#include <GL/gl.h>

#include "platform/os/gl_texture.h"

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
    // Triangles go in runs of one texture; nothing is bound before the
    // first triangle, so it always binds.
    bool open = false;
    u32 bound = 0;
    for (const CameraTriangle& entry : camera->draw_list) {
        const ModelObject& model = *entry.model;
        const ModelTriangle& triangle = *entry.triangle;
        if (!CornersInRange(model, triangle)) continue;
        const u32 name = TextureName(model, triangle);
        if (!open || name != bound) {
            if (open) glEnd();
            Bind(name);
            bound = name;
            glBegin(GL_TRIANGLES);
            open = true;
        }
        const u32 colour = triangle.colour;
        glColor4ub(static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 8), static_cast<GLubyte>(colour >> 16),
                   static_cast<GLubyte>(colour >> 24));
        for (const ModelCorner& corner : triangle.corners) {
            const ModelVertex& v = model.vertices[corner.vertex];
            glTexCoord2f(corner.u, corner.v);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    if (open) glEnd();
    glDisable(GL_TEXTURE_2D);
}

void ReleaseModelTextures(ModelObject* model) {
    for (ModelTexture& texture : model->textures) ReleaseTexture(&texture.gl);
}

void GlModelViewRenderer::DrawScene(ModelViewCamera* camera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    DrawCameraModels(camera);
    glDisable(GL_CULL_FACE);
}

void GlModelViewRenderer::ReleaseModel(ModelObject* model) { ReleaseModelTextures(model); }

void InstallModelViewGl() {
    static GlModelViewRenderer renderer;
    SetModelViewRenderer(&renderer);
}

}  // namespace pirn
