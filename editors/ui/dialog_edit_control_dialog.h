#pragma once
// EditControlDialog ("Edit Control Data"): the id, the type and the text of
// one dialog control. The type can be typed as its four characters ("Tag:")
// or picked by name ("Type:", which writes the code into "Tag:"). OK is
// refused, with a beep, while the id or the type is not one the file can hold.

#include <string>

#include "editors/dialog_data.h"
#include "platform/types.h"
#include "ui/combo_box.h"
#include "ui/dialog_window.h"
#include "ui/text_box.h"

namespace pirn {

class EditControlDialog : public DialogWindow {
public:
    static constexpr i32 kWidth = 264;
    static constexpr i32 kLabelX = 8;
    static constexpr i32 kFieldX = 64;
    static constexpr i32 kFieldWidth = 192;
    static constexpr i32 kRowGap = 6;
    static constexpr int kTypeRows = 8;
    static constexpr i32 kMaxTextLength = 255;

    // Filled from the control; the dialog edits a copy (Control()).
    explicit EditControlDialog(const DialogControl& control);

    const char* GetClassName() const override { return "EditControlDialog"; }
    int OnOK() override;

    // Runs the dialog modally; true when OK closed it (Control() then holds
    // the answers).
    bool Run();
    const DialogControl& Control() const { return control_; }

    TextBox* IdField() const { return id_; }
    TextBox* TagField() const { return tag_; }
    ComboBox* TypeBox() const { return type_; }
    TextBox* TextField() const { return text_; }

private:
    TextBox* AddLabel(const char* text, int row);
    Rect FieldRect(int row) const;
    void OnTypeChosen(intptr_t item, intptr_t data);

    DialogControl control_;
    TextBox* id_ = nullptr;
    TextBox* tag_ = nullptr;
    ComboBox* type_ = nullptr;
    TextBox* text_ = nullptr;
};

}  // namespace pirn
