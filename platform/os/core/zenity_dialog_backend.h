#pragma once
// Native dialogs through the desktop's own chooser: zenity, run as a child
// process while the program keeps drawing frames (native-dialog mode).

#include <functional>
#include <string>
#include <vector>

#include "platform/native_dialogs.h"
#include "platform/types.h"

namespace pirn {

class ZenityDialogBackend : public NativeDialogBackend {
public:
    // parent_window gives the X11 window the dialogs belong to (0: none);
    // program is the zenity to run (looked up on PATH).
    explicit ZenityDialogBackend(std::function<u64()> parent_window = {}, std::string program = "zenity");

    bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) override;
    bool RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) override;
    bool AskYesNo(const std::string& title, const std::string& text) override;
    void ShowError(const std::string& title, const std::string& text) override;

private:
    // Runs zenity with the arguments; true when it ended with OK (exit 0).
    bool Run(const std::vector<std::string>& args, std::string* output,
             const std::vector<std::string>& env = {});

    std::function<u64()> parent_window_;
    std::string program_;
    bool reported_missing_ = false;
};

}  // namespace pirn
