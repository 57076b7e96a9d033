#pragma once
// TextEdit: the editor of text tags ('ditl', 'scri', 'stli', 'temp',
// 'text'): one multi-line text box that fills the window. The tag data is
// the text itself (editors/text_edit_content.h says how it is shown and
// written). A tag opened and saved without an edit is written back exactly
// as it was read; the box takes typing past the usual length limit, so a
// tag longer than that can still be edited.

#include <string>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "editors/text_edit_content.h"
#include "ui/text_box.h"

namespace pirn {

class TextEdit : public TagEdit {
public:
    static constexpr i32 kWidth = 640;
    static constexpr i32 kHeight = 480;

    explicit TextEdit(TagEntry* tag);

    const char* GetClassName() const override { return "TextEdit"; }
    void Layout() override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    int WriteTag(std::FILE* stream, TagHeader* header) override;

    TextBox* GetTextBox() const { return box_; }
    // Whether the text changed since the tag was read.
    bool IsTextEdited() const { return edited_; }
    // The data WriteTag writes.
    std::string TagData() const;

private:
    void OnTextChanged();

    TextBox* box_ = nullptr;
    std::string read_data_;  // the tag's data as read
    std::string carried_;    // a plain text's bytes from its first NUL on
    bool edited_ = false;
    bool loading_ = false;
};

// The registry's factory (a 640 x 480 editor), and its binding to the
// "TextEdit" row.
TagEdit* NewTextEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindTextEdit();

}  // namespace pirn
