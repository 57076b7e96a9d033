// ui_demo: the window system on screen. Overlapping skinned windows, one that
// moves and one that resizes every frame, text in the four font styles and a
// modal dialog that dims what lies behind it.
//
//   ui_demo [--frames N] [--screenshot file.png] [--res folder] [--size WxH]
//           [--overview] [--debug]
//
// --overview leaves the modal dialog out and presses F10 after a few frames,
// so that the window overview shows. --debug turns on the debug overlay and
// the dirty-rectangle outlines (Ctrl+F1, Ctrl+F2).
// With --frames the program stops after N frames (after saving the
// screenshot, when asked for one); otherwise it runs until the window closes.

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/os/key_codes.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "platform/pixel_image.h"
#include "platform/png_codec.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

using namespace pirn;

namespace {

// A window that shows lines of text in its client area.
class TextPanel : public Window {
public:
    TextPanel(u32 style, const char* text, u32 color) : Window(style, nullptr), text_(text), color_(color) {}
    const char* GetClassName() const override { return "TextPanel"; }
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 0)) {
            SetDrawColor(color_);
            DrawTextInRect(text_.c_str(), 0, kTextMultiLine | kTextWrap, Rect{8, 6, GetClientWidth() - 8, GetClientHeight()});
        }
        EndWindowDraw(this);
    }

private:
    std::string text_;
    u32 color_;
};

int g_frames = 0;
bool g_overview = false;
bool g_debug = false;
int g_frameLimit = -1;
std::string g_screenshot;
Window* g_mover = nullptr;
Window* g_resizer = nullptr;

bool g_backBufferKept = false;

// Whether the back buffer still holds the last frame after a swap (a swap
// that copies, as Mesa's software drivers do). Then presenting needs no
// copy; otherwise the front buffer is copied back after every swap.
bool BackBufferSurvivesSwap() {
    const u8 mark[4] = {37, 201, 90, 255};
    glDisable(GL_SCISSOR_TEST);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(mark[0] / 255.0f, mark[1] / 255.0f, mark[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    OsSwapBuffers();
    u8 p[4] = {0, 0, 0, 0};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_SCISSOR_TEST);
    return p[0] == mark[0] && p[1] == mark[1] && p[2] == mark[2];
}

void PresentFrame() {
    OsSwapBuffers();
    if (g_backBufferKept) return;
    // The back buffer must hold what is on screen so that the next frame can
    // redraw only its dirty rectangles.
    const Point size = GetScreenSize();
    glDisable(GL_SCISSOR_TEST);
    glReadBuffer(GL_FRONT);
    glDrawBuffer(GL_BACK);
    glViewport(0, 0, size.x, size.y);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, size.x, 0, size.y, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Copied pixels go through the fragment stages like drawn ones.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glRasterPos2i(0, 0);
    glCopyPixels(0, 0, size.x, size.y, GL_COLOR);
    glPopAttrib();
    glReadBuffer(GL_BACK);
    glEnable(GL_SCISSOR_TEST);
}

bool SaveScreenshot(const std::string& path) {
    const Point size = GetScreenSize();
    glReadBuffer(GL_BACK);
    PixelImage image;
    image.format = kFormatRgb;
    image.width = u32(size.x);
    image.height = u32(size.y);
    image.pixels = ReadScreenPixels(Rect{0, 0, size.x, size.y});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = WritePng(f, image);
    return std::fclose(f) == 0 && ok;
}

void Animate() {
    const double t = g_frames / 60.0;
    if (g_mover) g_mover->SetPosition(560 + int(120 * std::sin(t * 1.5)), 420);
    if (g_resizer) g_resizer->SetSize(220 + int(80 * (1 + std::sin(t * 2.0))), 150 + int(40 * (1 + std::cos(t * 2.0))));
}

int RunFrame() {
    OsPollEvents();
    if (OsWindowCloseRequested()) SetRunning(false);
    if (g_overview && g_frames == 10) {
        HandleKeyInput(kKeyF1 + 9, 1);
        HandleKeyInput(kKeyF1 + 9, 0);
    }
    Animate();
    if (StepFrame()) {
        ++g_frames;
        if (g_frameLimit >= 0 && g_frames >= g_frameLimit) {
            if (!g_screenshot.empty()) {
                // The frame just drawn, usually only its dirty rectangles:
                // the rest of the back buffer is what the last present
                // copied there, so the picture also shows that partial
                // redraws leave nothing stale behind.
                if (!SaveScreenshot(g_screenshot)) std::fprintf(stderr, "ui_demo: cannot write %s\n", g_screenshot.c_str());
            }
            SetRunning(false);
            return 0;
        }
        PresentFrame();
    } else {
        OsSleep(0.001);
    }
    return 1;
}

Window* MakeFramed(u32 extra, const char* title, const Rect& frame) {
    const u32 style = Window::kVisible | Window::kTitleBar | Window::kThickBorder | Window::kResizable |
                      Window::kShadow | Window::kCloseBox | Window::kTitleButton1 | Window::kTitleButton2 | extra;
    auto* w = new Window(style, nullptr);
    w->SetTitle(title);
    SetFrame(w, frame);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    std::string res = PIRN_RUN_RES_DIR;
    int width = 1024, height = 768;
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        if (a == "--frames" && i + 1 < argc) g_frameLimit = std::atoi(argv[++i]);
        else if (a == "--screenshot" && i + 1 < argc) g_screenshot = argv[++i];
        else if (a == "--res" && i + 1 < argc) res = argv[++i];
        else if (a == "--size" && i + 1 < argc) std::sscanf(argv[++i], "%dx%d", &width, &height);
        else if (a == "--overview") g_overview = true;
        else if (a == "--debug") g_debug = true;
        else {
            std::fprintf(stderr,
                         "usage: ui_demo [--frames N] [--screenshot file.png] [--res folder] [--size WxH] "
                         "[--overview] [--debug]\n");
            return 2;
        }
    }
    if (!OsInit() || !OsSetWindow(width, height, "Pirn UI demo", 0, 0)) {
        std::fprintf(stderr, "ui_demo: cannot open a window\n");
        return 1;
    }
    PirnGL_Init();
    g_backBufferKept = BackBufferSurvivesSwap();
    int fbw = width, fbh = height;
    OsGetFramebufferSize(&fbw, &fbh);
    std::string error;
    std::unique_ptr<InterfaceFont> font = LoadFont(res + "/orvane.pirnfont", &error);
    if (!font) {
        std::fprintf(stderr, "ui_demo: font: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<Skin> skin = LoadSkin(res + "/texturepack", &error);
    if (!skin) {
        std::fprintf(stderr, "ui_demo: skin: %s\n", error.c_str());
        return 1;
    }
    SetSkin(skin.get());
    SetDefaultFont(font.get());
    InstallGlWindowSystem();
    InitWindowSystem(fbw, fbh);
    SetPartialRedraw(true);
    SetIdleHook(RunFrame);
    OsSetKeyHandler(HandleKeyInput);
    OsSetMouseButtonHandler(HandleMouseButtonInput);
    OsSetCharCallback(HandleCharInput);
    OsSetMousePosCallback(HandleMouseMoveInput);
    OsSetMouseWheelCallback(HandleMouseWheelInput);
    OsSetWindowCloseCallback(HandleWindowCloseRequest);
    OsSetWindowSizeCallback(HandleWindowResize);

    MakeFramed(Window::kBackground, "Overlapping window", Rect{40, 40, 460, 330});
    auto* styles = new TextPanel(Window::kVisible | Window::kTitleBar | Window::kThickBorder | Window::kShadow |
                                     Window::kBackground | Window::kCloseBox,
                                 "|pPlain text in style 0\n|bBold text in style 1\n|iItalic text in style 2\n"
                                 "|oBold italic text in style 3\n|pKerning: AVAWAY To Ty 1234567890",
                                 kSkinTextColor);
    styles->SetTitle("Four styles");
    SetFrame(styles, Rect{220, 160, 640, 330});
    MakeFramed(Window::kDarkBackground, "Dark window", Rect{600, 60, 960, 300});
    g_mover = MakeFramed(Window::kBackground, "Moving", Rect{560, 420, 800, 560});
    g_resizer = MakeFramed(Window::kBackground, "Resizing, with a title longer than its title bar", Rect{60, 400, 280, 550});
    auto* dialog = new TextPanel(Window::kVisible | Window::kTitleBar | Window::kThickBorder | Window::kShadow |
                                     Window::kBackground | Window::kCloseBox,
                                 "A modal dialog: everything behind it is dimmed.", kSkinTextColor);
    dialog->SetTitle("Modal dialog");
    SetFrame(dialog, Rect{330, 470, 690, 570});
    if (g_overview) dialog->SetVisible(false);
    else BeginModal(dialog, kModalDimBehind);

    if (g_debug) {
        SetDebugOverlay(true);
        SetDirtyRectOutlines(true);
    }
    SetNativeDialogMode(false);  // draws the first frame
    RunMainLoop();
    DestroyRootWindow();
    SetSkin(nullptr);
    skin.reset();
    font.reset();
    OsTerminate();
    return 0;
}
