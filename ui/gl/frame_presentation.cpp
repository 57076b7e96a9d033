#include "ui/gl/frame_presentation.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/os/os_window.h"
#include "ui/frame_step.h"

namespace pirn {

namespace {

int g_swapChainLength = 1;
bool g_firstFrameNoted = false;

// What was just presented, kept in a texture so that the back buffer can
// get it back after the swap. It is taken from the back buffer before the
// swap: the front buffer of a window cannot be read back on every driver
// (Mesa's software rasteriser returns black), which would leave everything
// outside the next frame's dirty rectangles black.
GLuint g_presentedTexture = 0;
GLsizei g_presentedTextureWidth = 0;
GLsizei g_presentedTextureHeight = 0;

GLsizei PowerOfTwoAtLeast(GLsizei n) {
    GLsizei p = 1;
    while (p < n) p *= 2;
    return p;
}

// Everything these change is put back, so that the window system's drawing
// scopes find the state they left.
void PushPresentationState() {
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_PIXEL_MODE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_TEXTURE_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
}

bool KeepPresentedFrame(const Point& size) {
    if (size.x <= 0 || size.y <= 0) return false;
    const GLsizei width = PowerOfTwoAtLeast(size.x), height = PowerOfTwoAtLeast(size.y);
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (width > limit || height > limit) return false;
    PushPresentationState();
    if (!g_presentedTexture) glGenTextures(1, &g_presentedTexture);
    glBindTexture(GL_TEXTURE_2D, g_presentedTexture);
    if (g_presentedTextureWidth < width || g_presentedTextureHeight < height) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        g_presentedTextureWidth = width;
        g_presentedTextureHeight = height;
    }
    glReadBuffer(GL_BACK);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size.x, size.y);
    glPopAttrib();
    return true;
}

void RestorePresentedFrame(const Point& size) {
    PushPresentationState();
    glDrawBuffer(GL_BACK);
    glViewport(0, 0, size.x, size.y);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, size.x, 0, size.y, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_presentedTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float s = float(size.x) / float(g_presentedTextureWidth);
    const float t = float(size.y) / float(g_presentedTextureHeight);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(0, 0);
    glTexCoord2f(s, 0);
    glVertex2i(size.x, 0);
    glTexCoord2f(s, t);
    glVertex2i(size.x, size.y);
    glTexCoord2f(0, t);
    glVertex2i(0, size.y);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
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

void PresentFrame() {
    const Point size = GetScreenSize();
    const bool kept = g_swapChainLength >= 2 && KeepPresentedFrame(size);
    OsSwapBuffers();
    if (kept) RestorePresentedFrame(size);
    if (!g_firstFrameNoted) NoteFirstPresentedFrame();
}

void ReleasePresentationResources() {
    if (g_presentedTexture) glDeleteTextures(1, &g_presentedTexture);
    g_presentedTexture = 0;
    g_presentedTextureWidth = 0;
    g_presentedTextureHeight = 0;
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

}  // namespace pirn
