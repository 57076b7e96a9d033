#pragma once
// Preferences the program starts with before "res/prefs.txt" is read, and
// the window settings start-up takes from the preferences.

#include "platform/pref_store.h"
#include "platform/types.h"

namespace pirn {

constexpr i32 kDefaultWindowWidth = 1024;
constexpr i32 kDefaultWindowHeight = 768;
constexpr i32 kMinWindowWidth = 640;
constexpr i32 kMinWindowHeight = 480;
constexpr i32 kMaxWindowSize = 16384;

// ZarnPath ".", ShowSplash 1, UseVSync 0, UseFullscreen 0. Set before the
// file is read so that the file overrides them.
void SetDefaultPrefs(PrefStore& store);
void SetDefaultPrefs();  // the program's store

struct WindowSettings {
    i32 width = kDefaultWindowWidth;
    i32 height = kDefaultWindowHeight;
    i32 fullscreen = 0;
    i32 vsync = 1;
};

// vsync and full screen from the int preferences UseVSync and UseFullscreen
// when present (else 1 and 0). The size comes from OsWindowSizeX and
// OsWindowSizeY only when both are present as ints, clamped; otherwise
// 1024 x 768.
WindowSettings ReadWindowSettings(const PrefStore& store);

i32 ClampWindowWidth(i32 width);    // 640..16384
i32 ClampWindowHeight(i32 height);  // 480..16384

// A window that does not fit inside the desktop's work area (neither
// narrower nor shorter than it) starts maximised.
bool ShouldMaximizeWindow(i32 windowWidth, i32 windowHeight, i32 workWidth, i32 workHeight);

}  // namespace pirn
