#pragma once
// Widgets on the headless window system: a small skin built in memory (the
// sizes of the generated light theme: 6 x 24 button caps, a 13 x 13 check
// box, 16-px scrollbars), a font in which every character advances 8 px and
// lines are 12 px (14 with the window line gap), and a scripted idle hook
// that runs one queued action per frame, so that modal runs can be driven.

#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "tests/ui/window_system_fixture.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/texture_pack.h"

namespace pirn_test {

class WidgetTest : public WindowSystemTest {
protected:
    static constexpr i32 kCharWidth = 8;
    static constexpr i32 kLineHeight = 14;  // font line spacing 12 + 2
    static constexpr i32 kScrollbar = 16;

    void SetUp() override {
        WindowSystemTest::SetUp();
        auto pack = CreateTexturePack();
        auto add = [&](int index, u16 w, u16 h) {
            auto image = std::make_unique<TexturePackImage>();
            image->index = index;
            image->atlas.width = w;
            image->atlas.height = h;
            image->pixels.assign(size_t(w) * h * 4, 0xFF);
            pack->images.push_back(std::move(image));
        };
        add(kSlotButtonLeft, 6, 24);
        add(kSlotButtonRight, 6, 24);
        add(kSlotButtonMiddle, 4, 24);
        add(kSlotCheckBox, 13, 13);
        add(kSlotScrollTrack, 16, 8);
        add(kSlotScrollThumb, 16, 8);
        add(kSlotScrollArrow, 16, 14);
        skin_ = MakeSkin(std::move(pack));
        ASSERT_TRUE(skin_);
        SetSkin(skin_.get());

        font_ = std::make_unique<InterfaceFont>();
        font_->ascent = 10;
        font_->line_spacing = 12;
        font_->tab_width = 4;
        font_->styles[0].trailer[3] = 1;
        for (FontGlyph& g : font_->styles[0].glyphs)
            for (i8& a : g.advance) a = kCharWidth;
        SetDefaultFont(font_.get());

        script_.clear();
        SetIdleHook(&WidgetTest::ScriptedFrame);
        headless::SetTime(100.0);
    }

    void TearDown() override {
        ResetWindowSystem();
        SetSkin(nullptr);
        SetDefaultFont(nullptr);
        WindowSystemTest::TearDown();
    }

    // One frame: the next scripted action (if any), then a normal frame.
    static int ScriptedFrame() {
        if (!script_.empty()) {
            std::function<void()> action = std::move(script_.front());
            script_.pop_front();
            action();
        }
        return IdleFrame();
    }
    static void Then(std::function<void()> action) { script_.push_back(std::move(action)); }

    // A click in the middle of a window, posted for the next drain; the clock
    // moves on first so that clicks never pair into double clicks.
    static void PostClick(const Window* w) {
        const Rect& f = w->GetFrameScreenRect();
        headless::AdvanceTime(0.5);
        HandleMouseMoveInput((f.left + f.right) / 2, (f.top + f.bottom) / 2);
        HandleMouseButtonInput(0, 1);
        HandleMouseButtonInput(0, 0);
    }
    static void PostKey(int code) {
        HandleKeyInput(code, 1);
        HandleKeyInput(code, 0);
    }
    static int Beeps() { return headless::Record().beeps; }

    std::unique_ptr<Skin> skin_;
    std::unique_ptr<InterfaceFont> font_;
    inline static std::deque<std::function<void()>> script_;
};

}  // namespace pirn_test
