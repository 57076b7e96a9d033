#include "app/default_prefs.h"

#include <algorithm>

namespace pirn {

void SetDefaultPrefs(PrefStore& store) {
    store.SetString("ZarnPath", ".");
    store.SetInt("ShowSplash", 1);
    // Swap-interval control works on every desktop we run on, so the key
    // is always there; off by default, as on current systems.
    store.SetInt("UseVSync", 0);
    store.SetInt("UseFullscreen", 0);
}

void SetDefaultPrefs() { SetDefaultPrefs(Prefs()); }

i32 ClampWindowWidth(i32 width) { return std::min(std::max(width, kMinWindowWidth), kMaxWindowSize); }

i32 ClampWindowHeight(i32 height) { return std::min(std::max(height, kMinWindowHeight), kMaxWindowSize); }

WindowSettings ReadWindowSettings(const PrefStore& store) {
    WindowSettings settings;
    store.GetInt("UseVSync", &settings.vsync);
    store.GetInt("UseFullscreen", &settings.fullscreen);
    i32 width = 0, height = 0;
    if (store.GetInt("OsWindowSizeX", &width) && store.GetInt("OsWindowSizeY", &height)) {
        settings.width = ClampWindowWidth(width);
        settings.height = ClampWindowHeight(height);
    }
    return settings;
}

bool ShouldMaximizeWindow(i32 windowWidth, i32 windowHeight, i32 workWidth, i32 workHeight) {
    return !(windowWidth < workWidth && workHeight > windowHeight);
}

}  // namespace pirn
