#pragma once
// "Build High-Res Collection": a collection of the archives, the folder of
// its larger renderings, the target scale with its tolerance and the
// object's own scale, and three switches; OK builds the high-resolution
// version into the local folder, "Create" lays out an empty folder per
// sequence to render into. The fields come back as they were last used
// (preferences "AutoUpResDialog.<field>").

#include "collections/uprez_request.h"
#include "ui/dialog_window.h"

namespace pirn {

class Button;
class CheckBox;
class CodexGroupBox;
class TextBox;

class AutoUpResDialog : public DialogWindow {
public:
    static constexpr i32 kContentWidth = 560;
    static constexpr i32 kContentHeight = 106;
    static constexpr const char* kName = "AutoUpResDialog";

    AutoUpResDialog();

    const char* GetClassName() const override { return "AutoUpResDialog"; }
    // The checks in order, the question about a local copy, the fields
    // stored, then the build; the dialog closes once a build was started.
    int OnOK() override;

    void ChooseFolder();
    // "Create": asks where, then makes the folders and puts the new one in
    // the folder box.
    void CreateFolders();
    AutoUpResFields GetFields() const;
    // The tag the last build wrote, or null.
    TagEntry* GetBuiltTag() const { return built_; }

    CodexGroupBox* GetCollectionBox() const { return collection_; }
    TextBox* GetPathBox() const { return path_; }
    TextBox* GetScaleBox() const { return scale_; }
    TextBox* GetToleranceBox() const { return tolerance_; }
    TextBox* GetObjectScaleBox() const { return object_scale_; }
    CheckBox* GetInvertBox() const { return invert_; }
    CheckBox* GetOrderBox() const { return order_; }
    CheckBox* GetAlignBox() const { return align_; }
    Button* GetBrowseButton() const { return browse_; }
    Button* GetCreateButton() const { return create_; }

private:
    void PersistFields(bool save);

    CodexGroupBox* collection_ = nullptr;
    TextBox* path_ = nullptr;
    TextBox* scale_ = nullptr;
    TextBox* tolerance_ = nullptr;
    TextBox* object_scale_ = nullptr;
    CheckBox* invert_ = nullptr;
    CheckBox* order_ = nullptr;
    CheckBox* align_ = nullptr;
    Button* browse_ = nullptr;
    Button* create_ = nullptr;
    TagEntry* built_ = nullptr;
};

// Makes the dialog, runs it modally and destroys it.
void RunAutoUpResDialog();

}  // namespace pirn
