#pragma once
// TagStructEdit: the generated editor of every tag group a struct
// definition is named after. It holds one StructEditor over the tag's
// record: OK saves and closes (only once the save succeeded), Cancel closes
// without saving, and Control+S saves as in any tag editor.

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "editors/ui/struct_editor.h"

namespace pirn {

class StructDefinition;

class TagStructEdit : public TagEdit {
public:
    // Flags the editor drops and takes once its form is built: a window of
    // the form's fixed size.
    static constexpr u32 kDroppedFlags = 0x8260;
    static constexpr u32 kAddedFlags = 0x14A4;

    explicit TagStructEdit(TagEntry* tag);

    const char* GetClassName() const override { return "TagStructEdit"; }
    void Layout() override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    int WriteTag(std::FILE* stream, TagHeader* header) override;
    // A new tag starts as a zero-filled record.
    int CreateNew(u32 group, const char* name) override;

    StructEditor* GetStructEditor() const { return editor_; }

    void OnOk();
    void OnCancel();

private:
    // The editor and its form for the group's struct, with the record's
    // bytes read first when a stream is given. 0 when the group has no
    // struct or form, or the data does not match it.
    int MakeEditor(u32 group, std::FILE* stream, const TagHeader* header);
    void OnEditorChanged() { SetModified(true); }

    StructEditor* editor_ = nullptr;
};

// The factory the struct-described groups are registered with.
TagEdit* NewTagStructEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);

}  // namespace pirn
