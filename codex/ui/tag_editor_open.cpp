#include "codex/ui/tag_editor_open.h"

#include <string>

#include "codex/tag_attachments.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "platform/strings.h"
#include "ui/input_box.h"
#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

TagEdit* FindOpenEditor(const TagEntry* tag) {
    u32 key = 0;
    void* value = nullptr;
    for (u32 i = 0; GetTagAttachment(tag, i, &key, &value); ++i)
        if (key == kAttachEditor) return static_cast<TagEdit*>(value);
    return nullptr;
}

}  // namespace

TagEdit* OpenTagEditor(TagEntry* tag) {
    if (!tag) return nullptr;
    if (TagEdit* open = FindOpenEditor(tag)) {
        RaiseWindow(open);
        ActivateWindow(open, kFocusByProgram);
        return open;
    }
    TagEdit* editor = MakeTagEditor(tag);
    if (!editor) return nullptr;
    if (!editor->Load()) {
        ShowMessageBox("Error", "The tag could not be loaded.", "OK", nullptr);
        DestroyWindow(editor);
        return nullptr;
    }
    editor->SetModified(false);
    editor->ShowEditor();
    return editor;
}

TagEdit* CreateTagWithEditor(u32 group, const char* name) {
    TagGroupInfo* row = FindTagGroup(group);
    if (!row || !row->factory) return nullptr;
    TagEdit* editor = row->factory(nullptr, row, group);
    if (!editor) return nullptr;
    if (!editor->CreateNew(group, name)) {
        const std::string text =
            FormatString("The tag file '%s' could not be created; It may already exist.", name ? name : "");
        ShowMessageBox("Error", text.c_str(), "OK", nullptr);
        DestroyWindow(editor);
        return nullptr;
    }
    editor->ShowEditor();
    editor->SetModified(true);
    return editor;
}

TagEdit* PromptNewTag(u32 group, const char* suggestion) {
    TagGroupInfo* row = FindTagGroup(group);
    if (!row) return nullptr;
    const std::string prompt = FormatString("Enter Name for %s", row->singular_label);
    const std::string create = FormatString("Create %s", row->singular_label);
    std::string name = suggestion ? suggestion : "";
    if (ShowInputBox(prompt.c_str(), &name, create.c_str(), "Cancel", nullptr) != 0) return nullptr;
    if (name.empty()) {
        ShowMessageBox("Not Created", "You must specify a name.", "OK", nullptr);
        return nullptr;
    }
    return CreateTagWithEditor(group, name.c_str());
}

}  // namespace pirn
