// Input box: a message box whose text is an editable field.

#include "ui/input_box.h"

#include <cstdarg>

#include "ui/button.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"

namespace pirn {

namespace {

Window* MakeField(MessageBoxWindow* box, void* context) {
    auto* field = new TextBox(TextBox::kTextField, box);
    field->AddFlags(Window::kThinBorder | Window::kDarkBackground);
    field->SetAlignment(TextBox::kAlignCenter);
    if (const auto* text = static_cast<const std::string*>(context)) field->SetText(*text);
    return field;
}

// Enter in the field: the press shows the first button pressed, the release
// clicks it.
void OnFieldCommit(SignalListener* listener, i32 phase) {
    auto* box = static_cast<MessageBoxWindow*>(listener);
    Button* first = box->GetButton(0);
    if (!first || box->IsDestroyed()) return;
    if (phase) first->SetState(Button::kPressedUnchecked, false);
    else first->SetState(Button::kChecked, false);
}

void ReadField(Window* field, std::string* out) { *out = static_cast<TextBox*>(field)->GetText(); }

}  // namespace

int ShowInputBoxLabels(const char* caption, std::string* text, const std::vector<std::string>& labels) {
    auto* box = new MessageBoxWindow(caption, nullptr, labels, MakeField, text);
    auto* field = static_cast<TextBox*>(box->GetField());
    field->SelectAll();
    box->SetFieldReader(ReadField);
    ConnectSignal(field->commit, box, OnFieldCommit);
    return RunMessageBox(box, text);
}

int ShowInputBox(const char* caption, std::string* text, const char* label, ...) {
    std::vector<std::string> labels;
    va_list args;
    va_start(args, label);
    for (const char* l = label; l; l = va_arg(args, const char*)) labels.emplace_back(l);
    va_end(args);
    return ShowInputBoxLabels(caption, text, labels);
}

}  // namespace pirn
