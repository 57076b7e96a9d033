#pragma once
// The splash screen shown at start-up and the About box: one window for the
// whole run, in one of two modes. The splash shows "res/pirn.bmp" for
// 1.5 s and fades it out over 1 s; the About box shows the picture with the
// credits beside it for two minutes, or until clicked.

#include "platform/pixel_image.h"
#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class PirnSplashScreen : public Window {
public:
    enum Mode : int { kSplash = 0, kAbout = 1 };
    static constexpr u32 kSplashFlags = 0x10000;
    static constexpr u32 kAboutFlags = 300;
    static constexpr double kSplashHold = 1.5;
    static constexpr double kAboutHold = 120.0;
    static constexpr double kFadeTime = 1.0;
    static constexpr i32 kCreditsWidth = 384;
    static constexpr i32 kCreditsMargin = 8;
    static constexpr u32 kCreditsTextFlags = 278;
    static constexpr u32 kModalFlags = 5;

    PirnSplashScreen();
    ~PirnSplashScreen() override;

    const char* GetClassName() const override { return "PirnSplashScreen"; }
    void OnIdle() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;

    // Shows the window in a mode and runs it modally until it ends.
    void Run(int mode);
    int GetMode() const { return mode_; }
    bool IsFading() const { return fading_; }
    // The picture's opacity now, 0..255.
    u32 CurrentAlpha() const;
    const PixelImage& GetImage() const { return image_; }

private:
    void End();

    int mode_ = kSplash;
    PixelImage image_;
    double start_ = 0.0;
    double hold_ = kSplashHold;
    double fade_ = kFadeTime;
    bool fading_ = false;
};

// The one window, made at first use.
PirnSplashScreen* GetSplashScreen();
// The splash (mode 0), modally.
void RunSplashScreen();
// The About box (mode 1), modally.
void ShowAboutBox();

// (1 - (3 - 2t) t^2) x 255 for t clamped to 0..1: a smooth fade.
u32 FadeAlpha(double t);

}  // namespace pirn
