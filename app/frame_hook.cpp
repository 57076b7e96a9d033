#include "app/frame_hook.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "codex/local_folder.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "ui/frame_step.h"

namespace pirn {

namespace {

int g_swapChainLength = 1;
bool g_firstFrameNoted = false;

// The back buffer takes what is on screen. Everything this changes is put
// back, so the window system's scopes find the state they left.
void CopyFrontToBack() {
    const Point size = GetScreenSize();
    if (size.x <= 0 || size.y <= 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_PIXEL_MODE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glReadBuffer(GL_FRONT);
    glDrawBuffer(GL_BACK);
    glViewport(0, 0, size.x, size.y);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, size.x, 0, size.y, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2i(0, 0);
    glCopyPixels(0, 0, size.x, size.y, GL_COLOR);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glReadBuffer(GL_BACK);
    glPopAttrib();
}

void NoteFirstPresentedFrame() {
    g_firstFrameNoted = true;
    const char* path = std::getenv(kFirstFrameStampVariable);
    if (!path || !*path) return;
    glFinish();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (std::FILE* f = std::fopen(path, "w")) {
        std::fprintf(f, "%lld.%09ld\n", static_cast<long long>(now.tv_sec), static_cast<long>(now.tv_nsec));
        std::fclose(f);
    }
}

}  // namespace

int RunFrame() {
    OsPollEvents();
    PollLocalFolder(false);
    if (StepFrame()) PresentFrame();
    else OsSleep(0.001);
    return 1;
}

void PresentFrame() {
    OsSwapBuffers();
    if (g_swapChainLength >= 2) CopyFrontToBack();
    if (!g_firstFrameNoted) NoteFirstPresentedFrame();
}

int DetermineSwapChainLength() {
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    // A colour the buffers are unlikely to hold already.
    const unsigned long long now = static_cast<unsigned long long>(std::time(nullptr));
    const GLubyte red = GLubyte(now & 0xFF), green = GLubyte((now >> 8) & 0xFF), blue = GLubyte((now >> 16) & 0xFF);
    glViewport(0, 0, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    GLubyte reference[4] = {0, 0, 0, 0};
    for (int n = 1; n <= 3; n++) {
        glColor4ub(red, green, blue, 255);
        glBegin(GL_QUADS);
        glVertex2f(0, 0);
        glVertex2f(1, 0);
        glVertex2f(1, 1);
        glVertex2f(0, 1);
        glEnd();
        if (n == 1) glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, reference);
        OsSwapBuffers();
        GLubyte back[4] = {0, 0, 0, 0};
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, back);
        if (back[0] == reference[0] && back[1] == reference[1] && back[2] == reference[2] &&
            back[3] == reference[3])
            return n;
    }
    return 3;
}

void SetSwapChainLength(int length) { g_swapChainLength = length < 1 ? 1 : (length > 3 ? 3 : length); }

int GetSwapChainLength() { return g_swapChainLength; }

void HandleWindowRefresh() {
    InvalidateAll();
    if (IsNativeDialogMode()) {
        RenderFrame();
        PresentFrame();
    }
}

}  // namespace pirn
