#include "editors/ui/text_edit.h"

#include <limits>

#include "codex/ui/tag_editor_registry.h"
#include "editors/stream_bytes.h"
#include "ui/window_system.h"

namespace pirn {

TextEdit::TextEdit(TagEntry* tag) : TagEdit(tag) {
    box_ = new TextBox(TextBox::kTextEditor, this);
    // The limit guards fields against runaway typing; here the text is the
    // tag's own, of any length.
    box_->SetMaxLength(std::numeric_limits<i32>::max());
    ConnectSignal<&TextEdit::OnTextChanged>(box_->changed, this);
    Layout();
    ActivateWindow(box_, kFocusByProgram);
}

void TextEdit::Layout() {
    if (box_) box_->SetSize(GetClientWidth(), GetClientHeight());
}

void TextEdit::OnTextChanged() {
    if (loading_) return;
    edited_ = true;
    SetModified(true);
}

int TextEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    // The length comes from the file: it is checked against what the stream
    // holds before the memory is asked for, then read in one piece.
    const u64 length = header->data_length;
    if (StreamBytesLeft(stream) < length) return 0;
    std::string data(static_cast<size_t>(length), '\0');
    if (length > 0 && std::fread(&data[0], 1, data.size(), stream) != data.size()) return 0;
    ShownText shown = TextTagToShown(TextTagKindOf(header->group), data);
    loading_ = true;
    box_->SetText(shown.text);
    box_->SetSelection(TextBox::TextPos{}, TextBox::TextPos{});
    box_->SetScrollY(0);
    loading_ = false;
    read_data_ = std::move(data);
    carried_ = std::move(shown.carried);
    edited_ = false;
    return 1;
}

std::string TextEdit::TagData() const {
    if (!edited_) return read_data_;
    return ShownToTextTag(box_->GetText(), carried_);
}

int TextEdit::WriteTag(std::FILE* stream, TagHeader*) {
    const std::string data = TagData();
    if (data.empty()) return 1;
    return std::fwrite(data.data(), 1, data.size(), stream) == data.size() ? 1 : 0;
}

TagEdit* NewTextEdit(TagEntry* tag, TagGroupInfo*, u32) {
    auto* editor = new TextEdit(tag);
    editor->SetSize(TextEdit::kWidth, TextEdit::kHeight);
    return editor;
}

void BindTextEdit() { BindTagEditor("TextEdit", NewTextEdit); }

}  // namespace pirn
