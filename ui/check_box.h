#pragma once
// CheckBox: a toggling Button drawn as the skin's check box with the title
// beside it. Its checked state is state 1.

#include "ui/button.h"

namespace pirn {

class CheckBox : public Button {
public:
    // Space between the box and the title.
    static constexpr i32 kTitleGap = 8;

    CheckBox(Window* parent, i32 id);

    const char* GetClassName() const override { return "CheckBox"; }
    void GetMinimumSize(Point* out, Point content) override;
    void DrawContents() override;
    // The minimum size for an empty content.
    void SizeToFit() override;

    // Checks or unchecks; silent suppresses the signals.
    void SetChecked(bool on, bool silent) { SetState(on ? kChecked : kUp, silent); }
};

}  // namespace pirn
