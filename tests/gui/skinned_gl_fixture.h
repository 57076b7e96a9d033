#pragma once
// The common ground of the pixel tests that draw with the generated skin and
// font in the shared test window (Xvfb + Mesa in the test run): the window
// and GL opened once per suite, the font, the skin and a pixel copy of the
// texture pack loaded from the build, the window system started on the GL
// renderer for each test, and frame drawing and pixel readback.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ui/interface_font.h"
#include "ui/rect.h"
#include "ui/skin.h"
#include "ui/texture_pack.h"

namespace pirn {

class SkinnedGlFixture : public ::testing::Test {
protected:
    // For SetUpTestSuite: opens the shared window (the first title and size
    // win), starts GL and loads the generated resources. Each suite loads
    // its own copies; they are kept until the process ends, since a suite's
    // skin or font may still be installed when the next suite starts.
    // Returns whether the window is open; the resources stay null when the
    // build has not generated them.
    static bool OpenWindowAndLoad(const std::string& title, int width, int height);

    // Skips without a display, the window or the resources; otherwise starts
    // the window system.
    void SetUp() override;
    // Stops the window system when this test started it.
    void TearDown() override;

    // Skin, font and the GL renderer installed, and a fresh window system
    // the size of the frame buffer (width_, height_), running, drawing into
    // and read back from the back buffer.
    void StartWindowSystem();
    // A fresh window system with no skin or font installed.
    void StopWindowSystem();

    // Redraws every window and waits for GL to finish.
    void Draw();
    // The colour at (x, y), top-left origin, from the back buffer.
    std::array<int, 3> Pixel(int x, int y) const;
    // Pixels inside the rectangle whose red, green and blue are all below
    // `level`: the ink of text and dark lines.
    int DarkPixelsIn(const Rect& r, int level) const;
    // Writes the back buffer as a PPM when PIRN_GUI_SHOTS names a folder.
    void Shot(const char* name) const;
    // Writes the back buffer as NAME.png into the build's test-output
    // folder (PIRN_BUILD_DIR, else the working folder), for looking at.
    void SavePng(const std::string& name) const;

    static InterfaceFont* font_;
    static Skin* skin_;
    // A second copy of the pack that keeps its pixels: the expected colours.
    static TexturePack* images_;
    int width_ = 0;
    int height_ = 0;

private:
    bool windowSystemStarted_ = false;
};

}  // namespace pirn
