// GL drawing scopes of the window system.

#include "ui/gl/gl_window_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/os/os_clipboard.h"
#include "ui/frame_step.h"
#include "ui/gl/draw_text.h"
#include "ui/gl/gl_draw_target.h"

namespace pirn {

namespace {

GlWindowRenderer g_renderer;

i32 DrawTextWithGl(InterfaceFont* font, const char* text, int style, u32 flags, const Rect& rect) {
    return DrawText(font, text, style, flags, rect);
}

}  // namespace

void GlWindowRenderer::BeginScope(const Rect& r, Point size, const Rect& scissor, bool threeD) {
    const i32 screenHeight = GetScreenSize().y;
    glColor4ub(255, 255, 255, 255);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // GL counts rows from the bottom.
    glScissor(scissor.left, screenHeight - scissor.bottom, std::max(0, scissor.Width()),
              std::max(0, scissor.Height()));
    glViewport(r.left, screenHeight - r.bottom, r.Width(), r.Height());
    glMatrixMode(GL_PROJECTION);
    if (threeD) {
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
        const Projection& p = projection_;
        const double top = std::tan(p.fieldOfView / 360.0 * M_PI) * p.nearPlane;
        const double right = top * size.x / std::max(1, size.y);
        glFrustum(-right, right, -top, top, p.nearPlane, p.farPlane);
    } else {
        glOrtho(0, size.x, size.y, 0, -1, 1);
        glDepthMask(GL_FALSE);
        glDisable(GL_DEPTH_TEST);
    }
    glMatrixMode(GL_MODELVIEW);
}

void GlWindowRenderer::NoteVendor(const char* vendor) { vendorIsIntel_ = vendor && std::strstr(vendor, "Intel"); }

void GlWindowRenderer::EndScope() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void GlWindowRenderer::ClearScreen() {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
}

void GlWindowRenderer::SetScissorEnabled(bool on) {
    if (on) glEnable(GL_SCISSOR_TEST);
    else glDisable(GL_SCISSOR_TEST);
}

std::vector<u8> ReadScreenPixels(const Rect& r) {
    const i32 w = r.Width();
    const i32 h = r.Height();
    if (w <= 0 || h <= 0) return {};
    const i32 screenHeight = GetScreenSize().y;
    std::vector<u8> bottomUp(size_t(w) * size_t(h) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(r.left, screenHeight - r.bottom, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<u8> rows(bottomUp.size());
    const size_t stride = size_t(w) * 3;
    for (i32 y = 0; y < h; y++) std::memcpy(&rows[size_t(y) * stride], &bottomUp[size_t(h - 1 - y) * stride], stride);
    return rows;
}

void GlWindowRenderer::CopyToClipboard(const Rect& screenRect) {
    const std::vector<u8> rgb = ReadScreenPixels(screenRect);
    if (rgb.empty()) return;
    OsSetClipboardImage(rgb.data(), u32(screenRect.Width()), u32(screenRect.Height()));
}

void InstallGlWindowSystem() {
    SetWindowRenderer(&g_renderer);
    InstallGlDrawTarget();
    SetWindowTextDrawer(DrawTextWithGl);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    g_renderer.NoteVendor(reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
}

}  // namespace pirn
