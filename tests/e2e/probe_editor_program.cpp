// Pirn with one editor more: text tags open in a small viewer of their
// bytes, so that the end-to-end tests can hold a tag open in an editor
// before the program has editors of its own.

#include <cstdio>
#include <string>

#include "app/gl/program_run.h"
#include "codex/ui/tag_edit.h"
#include "codex/ui/tag_editor_registry.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace {

using namespace pirn;

class ProbeTextEdit : public TagEdit {
public:
    explicit ProbeTextEdit(TagEntry* tag) : TagEdit(tag) {
        SetClientSize(360, 120);
        view_ = new TextBox(TextBox::kReadOnlyView, this);
        SetFrame(view_, GetClientRect());
        ActivateWindow(view_, kFocusByProgram);
    }
    const char* GetClassName() const override { return "ProbeTextEdit"; }
    int ReadTag(std::FILE* stream, TagHeader* header) override {
        text_.assign(header->data_length, '\0');
        if (!text_.empty() && std::fread(&text_[0], 1, text_.size(), stream) != text_.size()) return 0;
        view_->SetText(text_);
        return 1;
    }
    int WriteTag(std::FILE* stream, TagHeader*) override {
        return std::fwrite(text_.data(), 1, text_.size(), stream) == text_.size();
    }

private:
    TextBox* view_ = nullptr;
    std::string text_;
};

TagEdit* MakeProbeTextEdit(TagEntry* tag, TagGroupInfo*, u32) { return new ProbeTextEdit(tag); }

}  // namespace

int main() {
    BindTagEditor("TextEdit", MakeProbeTextEdit);
    return RunProgram();
}
