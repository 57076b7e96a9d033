#pragma once
// CodexGroupBox: a combo box of the available tags of one tag group, by
// name, so that a dialog can let the user pick a tag. Each entry's data is
// the tag. Dialogs remember its choice as the tag's id (under "%s.%s",
// ui/remembered_dialog_fields.h).

#include "codex/tag_entry.h"
#include "platform/types.h"
#include "ui/combo_box.h"

namespace pirn {

class CodexGroupBox : public ComboBox {
public:
    // flags: the combo box's (ComboBox::kEditable or 0).
    CodexGroupBox(u32 group, Window* parent, u32 flags);

    const char* GetClassName() const override { return "CodexGroupBox"; }

    // Empties the box and, for a group other than 0xFFFFFFFF, lists the
    // group's available tags (sorted by name) and keeps the group. With
    // 0xFFFFFFFF the box stays empty and keeps its previous group.
    void Fill(u32 group);
    u32 GetGroup() const { return group_; }
    // The selected entry's tag, or null.
    TagEntry* GetSelectedTag() const;
    // The selected tag's id from its effective header; 0xFFFFFFFF (-1) when
    // nothing is selected.
    u32 GetSelectedTagId() const;
    // Selects the group's available tag of that id; when there is none,
    // nothing is selected.
    void SelectTag(u32 tagId);

private:
    u32 group_ = 0;
};

}  // namespace pirn
