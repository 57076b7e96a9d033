#include "collections/ui/builder_dialog_layout.h"

#include "ui/button.h"
#include "ui/check_box.h"

namespace pirn {

TextBox* DialogRows::Label(int row, i32 x, i32 width, const char* text) const {
    TextBox* label = CreateLabel(dialog, text);
    label->SetAlignment(TextBox::kAlignRight);
    SetFrame(label, MakeRect(left + x, Top(row) + 2, width, row_height - 2));
    return label;
}

TextBox* DialogRows::Box(int row, i32 x, i32 width, int kind, i32 max_length) const {
    auto* box = new TextBox(kind, dialog);
    box->AddFlags(Window::kThinBorder | Window::kDarkBackground);
    if (max_length > 0) box->SetMaxLength(max_length);
    SetFrame(box, MakeRect(left + x, Top(row), width, row_height));
    return box;
}

Button* DialogRows::ButtonAt(int row, i32 x, i32 width, const char* title, i32 id) const {
    auto* button = new Button(dialog, id);
    button->SetTitle(title);
    // A little taller than the boxes beside it, as the skin's buttons are.
    SetFrame(button, MakeRect(left + x, Top(row) - row_gap / 2, width, row_height + row_gap));
    return button;
}

CheckBox* DialogRows::Check(int row, i32 x, i32 width, const char* title, i32 id) const {
    auto* box = new CheckBox(dialog, id);
    box->SetTitle(title);
    SetFrame(box, MakeRect(left + x, Top(row), width, row_height));
    return box;
}

}  // namespace pirn
