#pragma once
// What long operations (importing and exporting bitmaps, model import, the
// builders) ask of the user: error boxes and the questions that offer a
// choice. The operations take the prompts as a parameter so that they run
// without a window; the program passes the message-box prompts
// (ui/message_box_prompts.h), tests pass scripted ones.

#include <string>
#include <vector>

namespace pirn {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // An "Error" box with "OK".
    virtual void ShowError(const std::string& text) = 0;
    // A box with the caption, text and buttons; the index of the button
    // pressed.
    virtual int Ask(const std::string& caption, const std::string& text, const std::vector<std::string>& buttons) = 0;
};

}  // namespace pirn
