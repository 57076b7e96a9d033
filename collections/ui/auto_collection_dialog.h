#pragma once
// "Build Standard Collection": a name, a folder of frames, an optional tag
// id, the registration point and two switches; OK builds the collection
// into the local folder and opens it in its editor. The fields come back as
// they were last used (preferences "AutoCollectionDialog.<field>").

#include "collections/collection_build_request.h"
#include "ui/dialog_window.h"

namespace pirn {

class Button;
class CheckBox;
class TextBox;

class AutoCollectionDialog : public DialogWindow {
public:
    // The dialog's style: no resizing.
    static constexpr u32 kStyle = 0x402AF;
    static constexpr i32 kContentWidth = 480;
    static constexpr i32 kContentHeight = 84;
    static constexpr const char* kName = "AutoCollectionDialog";

    AutoCollectionDialog();

    const char* GetClassName() const override { return "AutoCollectionDialog"; }
    // The checks in order, the fields stored, then the build; 1 (the dialog
    // closes) only when a collection was built.
    int OnOK() override;

    // Fills the folder box from the folder chooser.
    void ChooseFolder();
    AutoCollectionFields GetFields() const;
    // The tag the last OK built, or null.
    TagEntry* GetBuiltTag() const { return built_; }

    TextBox* GetNameBox() const { return name_; }
    TextBox* GetPathBox() const { return path_; }
    TextBox* GetTagIdBox() const { return tag_id_; }
    TextBox* GetRegXBox() const { return reg_x_; }
    TextBox* GetRegYBox() const { return reg_y_; }
    CheckBox* GetInvertBox() const { return invert_; }
    CheckBox* GetOrderBox() const { return order_; }
    Button* GetBrowseButton() const { return browse_; }

private:
    void PersistFields(bool save);

    TextBox* name_ = nullptr;
    TextBox* path_ = nullptr;
    TextBox* tag_id_ = nullptr;
    TextBox* reg_x_ = nullptr;
    TextBox* reg_y_ = nullptr;
    CheckBox* invert_ = nullptr;
    CheckBox* order_ = nullptr;
    Button* browse_ = nullptr;
    TagEntry* built_ = nullptr;
};

// Makes the dialog, runs it modally and destroys it.
void RunAutoCollectionDialog();

}  // namespace pirn
