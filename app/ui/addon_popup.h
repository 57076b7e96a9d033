#pragma once
// AddonPopup: "Build Add-on plugin", the dialog both add-on builders ask
// their fields with: the add-on's name, web address and priority, with a
// help text on what the priority does. The checks of the fields and the
// builds themselves are in app/addon_builder.h; the root menu's two
// commands start here.

#include "app/addon_builder.h"
#include "ui/dialog_window.h"

namespace pirn {

class TextBox;

class AddonPopup : public DialogWindow {
public:
    // Visible, enabled, title bar, shadow, thick border, background, large
    // minimum, popup layer: no resizing.
    static constexpr u32 kStyle = 0x402AF;
    static constexpr i32 kWidth = 448;
    static constexpr i32 kLabelX = 4;
    static constexpr i32 kLabelWidth = 64;
    static constexpr i32 kBoxX = 72;
    static constexpr i32 kMaxNameLength = 31;
    static constexpr i32 kMaxUrlLength = 63;
    static constexpr i32 kHelpRows = 8;
    // The fields take 11 rows and 20 pixels; the buttons come below.
    static constexpr i32 kFieldRows = 11;
    static constexpr i32 kFieldExtra = 20;

    // The boxes start with the given fields (the defaults "<addon name>",
    // "<addon url>" and 100 for a new build).
    explicit AddonPopup(const AddonFields& fields = AddonFields());

    const char* GetClassName() const override { return "AddonPopup"; }

    AddonFields GetFields() const;
    // A row: a text box's height.
    i32 RowHeight() const;

    TextBox* GetNameBox() const { return name_; }
    TextBox* GetUrlBox() const { return url_; }
    TextBox* GetPriorityBox() const { return priority_; }
    TextBox* GetHelpBox() const { return help_; }

private:
    TextBox* AddField(const char* label, i32 top, i32 height, int kind);

    TextBox* name_ = nullptr;
    TextBox* url_ = nullptr;
    TextBox* priority_ = nullptr;
    TextBox* help_ = nullptr;
};

// The dialog centred and run modally; on OK the fields as typed. True when
// the user pressed OK (the fields are checked afterwards, RunAddonPopup).
bool AskAddonFields(AddonFields* fields);

// Shows a builder's message box (nothing for an empty message).
void ShowAddonMessage(const AddonMessage& message);

// The root menu's "Build Regular Add-on" and "Build Dtex Add-on": the
// build through the popup, then its message. 1 when an add-on was written.
int RunBuildRegularAddon();
int RunBuildDtexAddon();

}  // namespace pirn
