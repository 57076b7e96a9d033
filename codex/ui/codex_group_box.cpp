#include "codex/ui/codex_group_box.h"

#include <string>

#include "codex/codex_catalogue.h"
#include "platform/pref_store.h"
#include "ui/remembered_dialog_fields.h"

namespace pirn {

namespace {

// The selected tag's id as its four bytes, most significant first, cut at
// a zero byte; read back from the first four bytes of the string.
void PersistGroupBox(const std::string& key, Window* control, bool save) {
    auto* box = static_cast<CodexGroupBox*>(control);
    if (save) {
        const u32 id = box->GetSelectedTagId();
        std::string text;
        for (int shift = 24; shift >= 0; shift -= 8) {
            const char c = static_cast<char>((id >> shift) & 0xFF);
            if (c == '\0') break;
            text += c;
        }
        SetPrefString(key, text);
        return;
    }
    std::string text;
    if (!GetPrefString(key, &text)) return;
    u32 id = 0;
    for (size_t i = 0; i < 4; ++i) id = id << 8 | (i < text.size() ? static_cast<u8>(text[i]) : 0);
    box->SelectTag(id);
}

}  // namespace

CodexGroupBox::CodexGroupBox(u32 group, Window* parent, u32 flags) : ComboBox(parent, flags) {
    SetDialogControlPersister("CodexGroupBox", PersistGroupBox);
    Fill(group);
}

void CodexGroupBox::Fill(u32 group) {
    Clear();
    if (group == kNoTagId) return;
    group_ = group;
    TagList tags;
    ListGroupTags(group, tags);
    for (TagEntry* tag : tags) {
        TagHeader header;
        GetTagHeader(tag, &header);
        AddItem(tag, header.name, false);
    }
    SortItems();
}

TagEntry* CodexGroupBox::GetSelectedTag() const { return static_cast<TagEntry*>(GetSelectedData()); }

u32 CodexGroupBox::GetSelectedTagId() const {
    const TagEntry* tag = GetSelectedTag();
    if (!tag) return kNoTagId;
    TagHeader header;
    GetTagHeader(tag, &header);
    return header.tag_id;
}

void CodexGroupBox::SelectTag(u32 tagId) {
    TagEntry* tag = FindTag(group_, tagId);
    // The list never empties its selection by itself: listing the group
    // afresh leaves nothing selected (and lists a tag that became
    // available since the box was filled).
    if (!tag || !GetList()->FindItemByData(tag, nullptr)) Fill(group_);
    if (tag) SelectByData(tag);
}

}  // namespace pirn
