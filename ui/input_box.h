#pragma once
// The input box: a message box with an editable text field above its
// buttons. The field starts with the caller's text, all selected; Enter in
// the field presses the first button.

#include <string>
#include <vector>

namespace pirn {

// Labels end with a null. Returns the index of the button pressed and, when
// a button was pressed, writes the field's final text into *text. A box that
// goes away unanswered returns the last button and leaves *text alone.
int ShowInputBox(const char* caption, std::string* text, const char* label, ...) __attribute__((sentinel));
int ShowInputBoxLabels(const char* caption, std::string* text, const std::vector<std::string>& labels);

}  // namespace pirn
