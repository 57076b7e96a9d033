#include "app/gl/program_run.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/default_prefs.h"
#include "app/gl/frame_hook.h"
#include "app/startup_log.h"
#include "app/startup_message_box.h"
#include "app/ui/quit_request.h"
#include "app/ui/startup_seam.h"
#include "models/gl/dtex_edit_gl.h"
#include "models/gl/mesh_renderer_gl.h"
#include "models/gl/model_view_gl.h"
#include "platform/char_map.h"
#include "platform/native_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/os/os_input.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "platform/pref_store.h"
#include "platform/types.h"
#include "ui/frame_step.h"
#include "ui/gl/frame_presentation.h"
#include "ui/gl/gl_draw_target.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Start-up failures end the process with a status scripts and the desktop
// can see.
constexpr int kExitFatal = 1;
constexpr int kExitNoLog = -1;
constexpr int kExitNoSkin = -1;

constexpr char kWindowTitle[] = "Pirn";
constexpr char kFontPath[] = "res/orvane.pirnfont";
constexpr char kSkinPath[] = "res/texturepack";
constexpr char kCharMapPath[] = "charmap";
constexpr char kMissingResText[] = "The 'res' folder could not be found (improper installation?); quitting.";
constexpr char kWindowFailedText[] = "FATAL: OsSetWindow failed; quitting.";
// 1..3 replaces the measured swap-chain length, so that the front-to-back
// copy can be exercised on drivers whose back buffer survives a swap.
constexpr char kSwapChainVariable[] = "PIRN_SWAP_CHAIN_LENGTH";

u64 g_nativeWindow = 0;

void OnStartupLogFailure(const std::string&) {
    ShowStartupMessageBox("FATAL ERROR", "Couldn't open pirn_log.txt for writing. Press OK to quit.");
    std::exit(kExitNoLog);
}

// Icon, and a window that does not fit inside the desktop's work area
// starts maximised.
void AdjustWindow(const WindowSettings& settings) {
    g_nativeWindow = OsGetNativeWindow();
    OsSetWindowIcon(nullptr, 0, 0);
    int x = 0, y = 0, workWidth = 0, workHeight = 0;
    OsGetWorkArea(&x, &y, &workWidth, &workHeight);
    if (ShouldMaximizeWindow(settings.width, settings.height, workWidth, workHeight)) OsMaximizeWindow();
}

int MeasureSwapChain() {
    const int measured = DetermineSwapChainLength();
    if (const char* forced = std::getenv(kSwapChainVariable)) {
        const int length = std::atoi(forced);
        if (length >= 1 && length <= 3) return length;
    }
    return measured;
}

void SetInitialGlState() {
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The horizontal wheel stays unconnected.
void InstallInputCallbacks() {
    OsSetWindowRefreshCallback(HandleWindowRefresh);
    OsSetWindowCloseCallback(HandleWindowCloseRequest);
    OsSetCharCallback(HandleCharInput);
    OsSetKeyHandler(HandleKeyInput);
    OsSetMousePosCallback(HandleMouseMoveInput);
    OsSetMouseWheelCallback(HandleMouseWheelInput);
    OsSetMouseButtonHandler(HandleMouseButtonInput);
    OsSetWindowSizeCallback(HandleWindowResize);
}

// Native file, folder and colour dialogs run in native-dialog mode and keep
// frames coming while they are open.
void InstallNativeDialogs() {
    SetNativeDialogBackend(OsNativeDialogBackend());
    SetNativeDialogModeHook([](bool on) { SetNativeDialogMode(on); });
    SetNativeDialogFrameHook([] { RunFrame(); });
}

void RemoveNativeDialogs() {
    SetNativeDialogFrameHook(nullptr);
    SetNativeDialogModeHook(nullptr);
    SetNativeDialogBackend(nullptr);
}

}  // namespace

int RunProgram() { return RunProgramWith(RunStartupSplash); }

int RunProgramWith(void (*first_frame_step)()) {
    SetStartupLogFailureHandler(OnStartupLogFailure);
    WriteLog("In main");
    // The system's own start-up is done by now: on Windows main() has set up
    // the low-fragmentation heap (ending the process on heap corruption) and
    // OLE for the file dialogs before calling here; Linux needs neither. The
    // step is logged on both, so the log reads the same everywhere and tools
    // that follow it find it.
    WriteLog("OsSpecificInit Passed");

    SetDefaultPrefs();
    ReadPrefs();  // a missing file keeps the defaults
    const WindowSettings settings = ReadWindowSettings(Prefs());
    WriteLog("ReadPrefs Passed");

    // Without a display the window library cannot start; that is reported
    // as the window failure below, never as a passed step.
    const int osReady = OsInit();
    if (osReady) WriteLog("OsInit Passed");

    if (!osReady || !OsSetWindow(settings.width, settings.height, kWindowTitle, settings.fullscreen, settings.vsync)) {
        WriteLog("%s", kWindowFailedText);
        std::fprintf(stderr, "%s\n", kWindowFailedText);
        OsTerminate();
        return kExitFatal;  // preferences are not written
    }
    WriteLog("OsSetWindow Passed");

    PirnGL_Init();
    WriteLog("PirnGL_Init Passed");

    AdjustWindow(settings);
    WriteLog("Window Adjustment OK");

    SetSwapChainLength(MeasureSwapChain());
    WriteLog("DetermineSwapChainLength Passed");

    SetInitialGlState();

    std::unique_ptr<InterfaceFont> font = LoadFont(kFontPath);
    if (!font) {
        ShowStartupMessageBox("Error", kMissingResText);
        OsTerminate();
        return kExitFatal;
    }
    WriteLog("Font loaded");

    LoadCharMap(kCharMapPath);  // without it the built-in table applies

    SetDefaultFont(font.get());
    std::string skinError;
    std::unique_ptr<Skin> skin = LoadSkin(kSkinPath, &skinError);
    if (!skin) {
        std::fprintf(stderr, "Pirn: %s: %s\n", kSkinPath, skinError.c_str());
        OsTerminate();
        return kExitNoSkin;
    }
    SetSkin(skin.get());
    SetPartialRedraw(true);

    SetIdleHook(RunFrame);
    SetQuitHook(HandleQuitRequest);

    InstallGlWindowSystem();
    InstallModelViewGl();
    InstallMeshRendererGl();
    InstallDtexEditGl();
    int width = settings.width, height = settings.height;
    OsGetFramebufferSize(&width, &height);
    InitWindowSystem(width, height);
    HandleWindowResize(width, height);

    InstallInputCallbacks();
    InstallNativeDialogs();

    StartProgramTools();

    WriteLog("Entering main loop...");
    SetNativeDialogMode(false);  // draws the first frame
    if (first_frame_step) first_frame_step();
    RunMainLoop();

    WriteLog("Shutting down...");
    DestroyRootWindow();
    SetDefaultFont(nullptr);
    FreeFont(font);
    SetSkin(nullptr);
    FreeSkin(skin);
    ReleasePresentationResources();
    ReleaseGlDrawTargetTextures();
    StopProgramTools();
    RemoveNativeDialogs();
    OsTerminate();
    if (!WritePrefs()) std::fprintf(stderr, "Pirn: could not write %s\n", PrefsPath().c_str());
    WriteLog("Graceful shutdown complete");
    CloseStartupLog();
    return 0;
}

}  // namespace pirn
