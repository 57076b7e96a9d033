#pragma once
// TextPopup: the small modal window in which a text box edits a list cell in
// place (TextBox::EditInPopup). It ends its run on the box's Enter and on a
// press outside it, which it hands on so that the press still reaches the
// window under the pointer.

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class TextBox;

class TextPopup : public Window {
public:
    static constexpr u32 kStyle = kVisible | kEnabled;  // 3

    TextPopup(Window* owner, TextBox* box);
    ~TextPopup() override;

    const char* GetClassName() const override { return "TextPopup"; }
    void OnMouseButton(InputEvent& event) override;
    // Takes the box out again, back where it was before.
    void OnDestroy() override;

    TextBox* GetTextBox() const { return box_; }

private:
    void OnCommit(i32 pressed);
    void ReleaseBox();

    TextBox* box_ = nullptr;
    Window* boxParent_ = nullptr;
    Rect boxFrame_;
};

}  // namespace pirn
