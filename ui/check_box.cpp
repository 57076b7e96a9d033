// Check box: a toggling button with the skin's box and the title beside it.

#include "ui/check_box.h"

#include <algorithm>

#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"

namespace pirn {

namespace {
constexpr u32 kDisabledTextColor = 0xFF808080u;
}  // namespace

CheckBox::CheckBox(Window* parent, i32 id) : Button(parent, id) { toggles_ = 1; }

void CheckBox::GetMinimumSize(Point* out, Point content) {
    i32 boxW = 0, boxH = 0;
    GetCheckBoxSize(GetSkin(), &boxW, &boxH);
    Window::GetMinimumSize(out, content);
    out->x += boxW + kTitleGap + GetTextWidth(GetTitle());
    out->y += std::max(GetLineHeight(), boxH);
}

void CheckBox::SizeToFit() {
    Point size;
    GetMinimumSize(&size, Point{0, 0});
    SetSize(size.x, size.y);
}

void CheckBox::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        i32 boxW = 0, boxH = 0;
        GetCheckBoxSize(GetSkin(), &boxW, &boxH);
        const i32 lineHeight = GetLineHeight();
        const i32 rowHeight = std::max(lineHeight, boxH);
        DrawCheckBox(GetSkin(), MakeRect(0, (rowHeight - boxH) / 2, boxW, boxH), state_, IsEnabled());
        const Rect titleRect = MakeRect(boxW + kTitleGap, 0, GetClientWidth() - boxW - kTitleGap, rowHeight);
        if (const char* title = GetTitle()) {
            if (IsEnabled()) SetSkinTextColor(false);
            else SetDrawColor(kDisabledTextColor);
            DrawTextInRect(title, 0, kTextCenterVertically, titleRect);
            if (HasFocus()) {
                // A 2-px line under the title in the focus colour.
                const i32 textWidth = GetTextWidth(title);
                const i32 y = (rowHeight + lineHeight) / 2;
                SetDrawColor(kSkinFocusColor);
                FillRectangle(MakeRect(titleRect.left, std::min(y, rowHeight - 2), textWidth, 2));
            }
        }
    }
    EndWindowDraw(this);
}

}  // namespace pirn
