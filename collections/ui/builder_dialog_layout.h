#pragma once
// The rows of labels, boxes and buttons the builder dialogs are made of.

#include "ui/text_box.h"
#include "ui/window.h"

namespace pirn {

class Button;
class CheckBox;

// The row height and gap both builder dialogs use, so they line up alike.
constexpr i32 kBuilderRowHeight = 18;
constexpr i32 kBuilderRowGap = 4;

// Coordinates are within the dialog's area for its own controls, whose
// corner is (left, top) of its client area.
struct DialogRows {
    Window* dialog;
    i32 left;
    i32 top;
    i32 row_height;
    i32 row_gap;

    i32 Top(int row) const { return top + row * (row_height + row_gap); }
    // A right-aligned label ending at x + width.
    TextBox* Label(int row, i32 x, i32 width, const char* text) const;
    TextBox* Box(int row, i32 x, i32 width, int kind, i32 max_length = 0) const;
    Button* ButtonAt(int row, i32 x, i32 width, const char* title, i32 id) const;
    CheckBox* Check(int row, i32 x, i32 width, const char* title, i32 id) const;
};

}  // namespace pirn
