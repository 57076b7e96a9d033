#include "app/ui/addon_popup.h"

#include "ui/message_box_window.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr i32 kRowGap = 4;
// Text boxes are a line of text and two pixels above and below.
constexpr i32 kBoxPadding = 4;

}  // namespace

AddonPopup::AddonPopup(const AddonFields& fields) {
    SetFlags(kStyle);
    SetTitle("Build Add-on plugin");
    const i32 row = RowHeight();
    const i32 buttons = GetOkButton()->GetHeight() + 2 * kButtonGap;
    Window::SetClientSize(kWidth, kFieldRows * row + kFieldExtra + buttons);

    name_ = AddField("Name:", kRowGap, row, TextBox::kTextField);
    url_ = AddField("URL:", row + 2 * kRowGap, row, TextBox::kTextField);
    priority_ = AddField("Priority:", 2 * row + 3 * kRowGap, row, TextBox::kIntegerField);
    help_ = AddField("Help:", 3 * row + 4 * kRowGap, kHelpRows * row, TextBox::kReadOnlyView);
    name_->SetMaxLength(kMaxNameLength);
    url_->SetMaxLength(kMaxUrlLength);
    name_->SetText(fields.name);
    url_->SetText(fields.url);
    priority_->SetText(fields.priority);
    help_->SetText(kAddonHelpText);

    name_->SetTabNext(url_);
    url_->SetTabNext(priority_);
    priority_->SetTabNext(name_);
    ActivateWindow(priority_, kFocusByProgram);
}

i32 AddonPopup::RowHeight() const { return GetLineHeight() + kBoxPadding; }

TextBox* AddonPopup::AddField(const char* label, i32 top, i32 height, int kind) {
    TextBox* text = CreateLabel(this, label);
    SetFrame(text, MakeRect(kLabelX, top, kLabelWidth, RowHeight()));
    auto* box = new TextBox(kind, this);
    box->AddFlags(Window::kThinBorder | Window::kDarkBackground);
    SetFrame(box, MakeRect(kBoxX, top, kWidth - kBoxX - kLabelX, height));
    return box;
}

AddonFields AddonPopup::GetFields() const {
    AddonFields fields;
    fields.name = name_->GetText();
    fields.url = url_->GetText();
    fields.priority = priority_->GetText();
    return fields;
}

bool AskAddonFields(AddonFields* fields) {
    auto* popup = new AddonPopup(*fields);
    popup->CenterInParent();
    const bool confirmed = popup->RunDialog(kModalKeysOutside | kModalDimBehind) == 1;
    if (confirmed) *fields = popup->GetFields();
    DestroyWindow(popup);
    return confirmed;
}

void ShowAddonMessage(const AddonMessage& message) {
    if (message.empty()) return;
    ShowMessageBox(message.caption.c_str(), message.text.c_str(), message.button.c_str(), nullptr);
}

int RunBuildRegularAddon() {
    AddonMessage message;
    const int built = BuildRegularAddon(AskAddonFields, &message);
    ShowAddonMessage(message);
    return built;
}

int RunBuildDtexAddon() {
    AddonMessage message;
    const int built = BuildDtexAddon(AskAddonFields, &message);
    ShowAddonMessage(message);
    return built;
}

}  // namespace pirn
