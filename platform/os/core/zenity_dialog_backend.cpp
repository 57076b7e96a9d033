#include "platform/os/core/zenity_dialog_backend.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/native_dialog_zenity.h"
#include "platform/os/core/child_process.h"

namespace pirn {
namespace {

std::string CurrentFolder() {
    std::string folder(4096, '\0');
    if (getcwd(&folder[0], folder.size()) == nullptr) return std::string();
    folder.resize(folder.find('\0'));
    return folder;
}

}  // namespace

ZenityDialogBackend::ZenityDialogBackend(std::function<u64()> parent_window, std::string program)
    : parent_window_(std::move(parent_window)), program_(std::move(program)) {}

bool ZenityDialogBackend::Run(const std::vector<std::string>& args, std::string* output) {
    std::vector<std::string> argv;
    argv.reserve(args.size() + 1);
    argv.push_back(program_);
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcessResult result;
    if (!RunChildProcess(argv, [] { return RunNativeDialogFrame(); }, &result)) {
        if (!reported_missing_) {
            std::fprintf(stderr, "Pirn: cannot run %s; native dialogs are unavailable.\n", program_.c_str());
            reported_missing_ = true;
        }
        return false;
    }
    if (output != nullptr) *output = result.output;
    return result.exit_code == 0 && !result.output_cut;
}

bool ZenityDialogBackend::RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    std::string output;
    if (!Run(ZenityFileSelectionArgs(request, CurrentFolder(), parent), &output)) return false;
    FileDialogAnswer got;
    got.paths = ParseZenityFileOutput(output, request.kind == FileDialogKind::kOpenFiles);
    if (got.paths.empty()) return false;
    // The chooser cannot show extra lists, so each is asked right after it;
    // cancelling one cancels the whole dialog.
    for (const FileDialogBox& box : request.boxes) {
        std::string choice;
        if (!Run(ZenityChoiceArgs(request.title, box, parent), &choice)) return false;
        u32 index = box.default_index;
        ParseZenityChoice(choice, box, &index);
        got.chosen_indices.push_back(index);
    }
    *answer = std::move(got);
    return true;
}

bool ZenityDialogBackend::RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    std::string output;
    if (!Run(ZenityColorArgs(initial, parent), &output)) return false;
    ColorRgb color;
    if (!ParseZenityColor(output, &color)) return false;
    RememberCustomColor(custom, color);
    *chosen = color;
    return true;
}

bool ZenityDialogBackend::AskYesNo(const std::string& title, const std::string& text) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    return Run(ZenityQuestionArgs(title, text, parent), nullptr);
}

void ZenityDialogBackend::ShowError(const std::string& title, const std::string& text) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    Run(ZenityErrorArgs(title, text, parent), nullptr);
}

}  // namespace pirn
