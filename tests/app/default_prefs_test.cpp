// Default preferences and the window settings start-up takes from them.

#include "app/default_prefs.h"

#include <gtest/gtest.h>

#include <string>

namespace pirn_test {
namespace {

using namespace pirn;

TEST(DefaultPrefsTest, DefaultsAreOverriddenByTheFileAndWrittenSorted) {
    PrefStore store;
    SetDefaultPrefs(store);
    EXPECT_EQ(store.Serialize(), "ShowSplash 1\nUseFullscreen 0\nUseVSync 0\nZarnPath \".\"\n");

    // The file is read after the defaults: its values win, its other keys
    // join them, and everything comes back out in key order.
    store.Parse("ZarnPath \"/games/Zarnhold\"\nShowSplash 0\nOsWindowSizeY 600\nOsWindowSizeX 800\n");
    EXPECT_EQ(store.Serialize(),
              "OsWindowSizeX 800\nOsWindowSizeY 600\nShowSplash 0\nUseFullscreen 0\nUseVSync 0\n"
              "ZarnPath \"/games/Zarnhold\"\n");
}

TEST(DefaultPrefsTest, WindowSizeNeedsBothKeysAndIsClamped) {
    struct Case {
        const char* prefs;
        i32 width, height;
    };
    const Case cases[] = {
        {"", 1024, 768},
        {"OsWindowSizeX 300\nOsWindowSizeY 200\n", 640, 480},
        {"OsWindowSizeX 800\n", 1024, 768},               // only one of the two
        {"OsWindowSizeY 600\n", 1024, 768},
        {"OsWindowSizeX 800\nOsWindowSizeY 600\n", 800, 600},
        {"OsWindowSizeX 640\nOsWindowSizeY 480\n", 640, 480},
        {"OsWindowSizeX 639\nOsWindowSizeY 479\n", 640, 480},
        {"OsWindowSizeX 16384\nOsWindowSizeY 16384\n", 16384, 16384},
        {"OsWindowSizeX 16385\nOsWindowSizeY 99999\n", 16384, 16384},
        {"OsWindowSizeX -5\nOsWindowSizeY -2147483648\n", 640, 480},
        {"OsWindowSizeX 2147483647\nOsWindowSizeY 500\n", 16384, 500},
        {"OsWindowSizeX \"800\"\nOsWindowSizeY 600\n", 1024, 768},  // not an int: absent
        {"OsWindowSizeX 800.5\nOsWindowSizeY 600\n", 1024, 768},
    };
    for (const Case& c : cases) {
        PrefStore store;
        store.Parse(c.prefs);
        const WindowSettings s = ReadWindowSettings(store);
        EXPECT_EQ(s.width, c.width) << c.prefs;
        EXPECT_EQ(s.height, c.height) << c.prefs;
    }
}

TEST(DefaultPrefsTest, VsyncAndFullScreen) {
    PrefStore store;
    WindowSettings s = ReadWindowSettings(store);
    EXPECT_EQ(s.vsync, 1);  // without the key
    EXPECT_EQ(s.fullscreen, 0);

    SetDefaultPrefs(store);
    s = ReadWindowSettings(store);
    EXPECT_EQ(s.vsync, 0);
    EXPECT_EQ(s.fullscreen, 0);

    store.Parse("UseVSync 1\nUseFullscreen 1\n");
    s = ReadWindowSettings(store);
    EXPECT_EQ(s.vsync, 1);
    EXPECT_EQ(s.fullscreen, 1);
}

TEST(DefaultPrefsTest, WindowsThatDoNotFitTheWorkAreaStartMaximised) {
    struct Case {
        i32 w, h, workW, workH;
        bool maximise;
    };
    const Case cases[] = {
        {1024, 768, 1280, 1024, false},
        {1280, 1024, 1280, 1024, true},  // as large as the work area
        {1280, 700, 1280, 1024, true},   // as wide
        {1000, 1024, 1280, 1024, true},  // as tall
        {2000, 2000, 1280, 1024, true},
        {1279, 1023, 1280, 1024, false},
        {640, 480, 0, 0, true},          // no work area known
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldMaximizeWindow(c.w, c.h, c.workW, c.workH), c.maximise)
            << c.w << "x" << c.h << " in " << c.workW << "x" << c.workH;
}

}  // namespace
}  // namespace pirn_test
