#include "ui/message_box_prompts.h"

#include "ui/message_box_window.h"

namespace pirn {

namespace {

class MessageBoxUserPrompts : public UserPrompts {
public:
    void ShowError(const std::string& text) override {
        ShowMessageBoxLabels("Error", text.c_str(), std::vector<std::string>{"OK"});
    }
    int Ask(const std::string& caption, const std::string& text, const std::vector<std::string>& buttons) override {
        return ShowMessageBoxLabels(caption.c_str(), text.c_str(), buttons);
    }
};

}  // namespace

UserPrompts& MessageBoxPrompts() {
    static MessageBoxUserPrompts prompts;
    return prompts;
}

}  // namespace pirn
