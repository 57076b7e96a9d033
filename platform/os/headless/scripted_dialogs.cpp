#include "platform/os/headless/scripted_dialogs.h"

#include <deque>

#include "platform/os/os_dialogs.h"

namespace pirn {
namespace headless {
namespace {

struct ScriptedAnswer {
    enum Kind { kFile, kColor, kCancel } kind = kCancel;
    FileDialogAnswer file;
    ColorRgb color;
};

struct ScriptState {
    std::deque<ScriptedAnswer> answers;
    std::deque<bool> yes_no;
    std::vector<FileDialogRequest> requests;
    int color_dialogs = 0;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
};

ScriptState& Script() {
    static ScriptState state;
    return state;
}

// The next answer, or Cancel when the script has run out.
ScriptedAnswer Next() {
    ScriptState& s = Script();
    if (s.answers.empty()) return ScriptedAnswer();
    ScriptedAnswer a = s.answers.front();
    s.answers.pop_front();
    return a;
}

class ScriptedDialogBackend : public NativeDialogBackend {
public:
    bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) override {
        Script().requests.push_back(request);
        // One frame while "open", as the real dialog would draw.
        RunNativeDialogFrame();
        const ScriptedAnswer a = Next();
        if (a.kind != ScriptedAnswer::kFile) return false;
        *answer = a.file;
        return true;
    }
    bool RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) override {
        ++Script().color_dialogs;
        RunNativeDialogFrame();
        const ScriptedAnswer a = Next();
        if (a.kind != ScriptedAnswer::kColor) return false;
        RememberCustomColor(custom, a.color);
        *chosen = a.color;
        return true;
    }
    bool AskYesNo(const std::string& title, const std::string& text) override {
        ScriptState& s = Script();
        s.questions.push_back(text);
        if (s.yes_no.empty()) return false;
        const bool yes = s.yes_no.front();
        s.yes_no.pop_front();
        return yes;
    }
    void ShowError(const std::string& title, const std::string& text) override {
        Script().errors.push_back(text);
    }
};

}  // namespace

void QueueFileDialogAnswer(const std::vector<std::string>& paths, int filter_index,
                           const std::vector<u32>& choices) {
    ScriptedAnswer a;
    a.kind = ScriptedAnswer::kFile;
    a.file.paths = paths;
    a.file.filter_index = filter_index;
    a.file.chosen_indices = choices;
    Script().answers.push_back(a);
}

void QueueColorAnswer(const ColorRgb& color) {
    ScriptedAnswer a;
    a.kind = ScriptedAnswer::kColor;
    a.color = color;
    Script().answers.push_back(a);
}

void QueueDialogCancel() { Script().answers.push_back(ScriptedAnswer()); }
void QueueYesNoAnswer(bool yes) { Script().yes_no.push_back(yes); }

const std::vector<FileDialogRequest>& FileDialogRequests() { return Script().requests; }
int ColorDialogCount() { return Script().color_dialogs; }
const std::vector<std::string>& DialogQuestions() { return Script().questions; }
const std::vector<std::string>& DialogErrors() { return Script().errors; }
std::size_t PendingDialogAnswers() { return Script().answers.size(); }

void ResetScriptedDialogs() { Script() = ScriptState(); }

}  // namespace headless

NativeDialogBackend* OsNativeDialogBackend() {
    static headless::ScriptedDialogBackend backend;
    return &backend;
}

}  // namespace pirn
