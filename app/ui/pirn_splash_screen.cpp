#include "app/ui/pirn_splash_screen.h"

#include <algorithm>
#include <cmath>

#include "app/about_credits.h"
#include "platform/image_file.h"
#include "platform/os/os_time.h"
#include "ui/draw_target.h"
#include "ui/frame_timer.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr char kImagePath[] = "res/pirn.bmp";

PirnSplashScreen* g_splash = nullptr;

}  // namespace

u32 FadeAlpha(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return static_cast<u32>(std::lround((1.0 - (3.0 - 2.0 * t) * t * t) * 255.0));
}

PirnSplashScreen::PirnSplashScreen() : Window(kPopup, nullptr) {
    ImageFile file;
    InitImageFile(&file, kImagePath);
    if (LoadImageFile(&file)) MovePixelImage(&image_, &file.image);
}

PirnSplashScreen::~PirnSplashScreen() {
    ForgetDrawnPixelImage(image_);
    if (g_splash == this) g_splash = nullptr;
}

PirnSplashScreen* GetSplashScreen() {
    if (!g_splash) g_splash = new PirnSplashScreen();
    return g_splash;
}

void PirnSplashScreen::Run(int mode) {
    mode_ = mode;
    start_ = OsGetTime();
    fading_ = false;
    const i32 w = static_cast<i32>(image_.width), h = static_cast<i32>(image_.height);
    if (mode == kAbout) {
        hold_ = kAboutHold;
        SetFlags(kPopup | kEnabled | kAboutFlags);
        SetTitle("About Pirn");
        SetClientSize(w + kCreditsWidth, h);
    } else {
        hold_ = kSplashHold;
        SetFlags(kPopup | kEnabled | kSplashFlags);
        SetClientSize(w, h);
    }
    fade_ = kFadeTime;
    CenterInParent();
    SetVisible(true);
    RaiseWindow(this);
    RunModal(this, kModalFlags, nullptr);
}

u32 PirnSplashScreen::CurrentAlpha() const {
    if (!fading_) return 255;
    return FadeAlpha((OsGetTime() - start_) / fade_);
}

void PirnSplashScreen::OnIdle() {
    if (!IsVisible()) return;
    const double now = OsGetTime();
    if (!fading_ && now - start_ >= hold_) {
        start_ = now;
        fading_ = true;
    }
    if (!fading_) {
        RequestFrameBy(start_ + hold_);
        return;
    }
    Invalidate();
    if (now - start_ >= fade_) End();
}

void PirnSplashScreen::End() {
    fading_ = false;
    SetVisible(false);
    if (IsModal(this, false)) EndModal(this, 0);
}

void PirnSplashScreen::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const u32 alpha = CurrentAlpha();
        Rect picture = GetClientRect();
        if (mode_ == kAbout) picture.right -= kCreditsWidth;
        if (image_.width && image_.height) {
            SetDrawColor(PackRgba(255, 255, 255, alpha));
            DrawPixelImage(image_, picture);
        }
        if (mode_ == kAbout) {
            // The credits keep clear of the picture and the frame.
            const Rect credits{picture.right + kCreditsMargin, kCreditsMargin, GetClientWidth() - kCreditsMargin,
                               GetClientHeight() - kCreditsMargin};
            SetDrawColor(kColorWhite);
            DrawTextInRect(AboutCredits(), 0, kCreditsTextFlags, credits);
        }
    }
    EndWindowDraw(this);
}

void PirnSplashScreen::OnMouseButton(InputEvent& event) {
    if (mode_ == kAbout && event.ButtonAction() != 0) End();
}

void RunSplashScreen() {
    PirnSplashScreen* splash = GetSplashScreen();
    if (splash->GetImage().width == 0) return;  // no picture: nothing to show
    splash->Run(PirnSplashScreen::kSplash);
}

void ShowAboutBox() { GetSplashScreen()->Run(PirnSplashScreen::kAbout); }

}  // namespace pirn
