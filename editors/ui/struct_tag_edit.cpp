#include "editors/ui/struct_tag_edit.h"

#include "codex/four_char_code.h"
#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "editors/ui/struct_table.h"
#include "ui/window_system.h"

namespace pirn {

TagStructEdit::TagStructEdit(TagEntry* tag) : TagEdit(tag) {}

void TagStructEdit::Layout() {
    if (editor_) editor_->SetSize(GetClientWidth(), GetClientHeight());
}

int TagStructEdit::MakeEditor(u32 group, std::FILE* stream, const TagHeader* header) {
    if (editor_) return 0;
    const StructDefinition* definition = FindStructDefinition(FourCCToText(group));
    if (!definition) return 0;
    editor_ = new StructEditor(*definition, this);
    ConnectSignal<&TagStructEdit::OnEditorChanged>(editor_->changed, this);
    if (stream) {
        if (header->data_length != definition->size) return 0;
        if (definition->size > 0 && ReadStruct(editor_->GetData(), stream) != definition->size) return 0;
    }
    if (!editor_->BuildForm()) return 0;
    ConnectSignal<&TagStructEdit::OnOk>(editor_->GetOkButton()->clicked, this);
    ConnectSignal<&TagStructEdit::OnCancel>(editor_->GetCancelButton()->clicked, this);
    editor_->SetPosition(0, 0);
    // The new frame lays the editor out again: its size is taken first.
    const Point size = editor_->GetSize();
    RemoveFlags(kDroppedFlags);
    AddFlags(kAddedFlags);
    SetClientSize(size.x, size.y);
    SetFocusChild(editor_);
    return 1;
}

int TagStructEdit::ReadTag(std::FILE* stream, TagHeader* header) { return MakeEditor(header->group, stream, header); }

int TagStructEdit::WriteTag(std::FILE* stream, TagHeader*) {
    if (!editor_) return 0;
    const u32 size = editor_->GetData().size();
    if (size == 0) return 1;
    return WriteStruct(editor_->GetData(), stream) == size ? 1 : 0;
}

int TagStructEdit::CreateNew(u32 group, const char* name) {
    if (!FindStructDefinition(FourCCToText(group))) return 0;
    if (!TagEdit::CreateNew(group, name)) return 0;
    return MakeEditor(group, nullptr, nullptr);
}

void TagStructEdit::OnOk() {
    SetModified(true);
    if (SaveChanges()) Close(0);
}

void TagStructEdit::OnCancel() {
    SetModified(false);
    Close(0);
}

TagEdit* NewTagStructEdit(TagEntry* tag, TagGroupInfo*, u32) { return new TagStructEdit(tag); }

}  // namespace pirn
