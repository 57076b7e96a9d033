#include "editors/ui/struct_array_edit.h"

#include <tinyxml2.h>

#include <cstring>
#include <vector>

#include "codex/codex_catalogue.h"
#include "collections/collection.h"
#include "editors/member_type.h"
#include "editors/struct_array.h"
#include "editors/struct_data.h"
#include "editors/struct_definition.h"
#include "editors/struct_member.h"
#include "editors/ui/struct_editor.h"
#include "editors/ui/struct_item_widgets.h"
#include "editors/xml_attribute.h"
#include "platform/os/os_beep.h"
#include "platform/strings.h"

namespace pirn {

namespace {

constexpr char kCollectionMemberName[] = "collection";

void* ElementData(u32 element) { return reinterpret_cast<void*>(static_cast<uintptr_t>(element)); }

}  // namespace

SubStructArrayEdit::SubStructArrayEdit(StructEditor* editor, Window* parent, const StructMember& member,
                                       const tinyxml2::XMLElement& item)
    : Window(kVisible | kEnabled, parent), editor_(editor), member_(member), element_definition_(*member.nested) {
    SetTitle("SubStructArrayEdit");
    text_target_ = FindStructMember(element_definition_, XmlAttributeText(item, "text_target"));
    list_ = new ListWindow(0, kListStyle, this);
    add_ = new Button(this, 0);
    add_->SetTitle("Add");
    delete_ = new Button(this, 1);
    delete_->SetTitle("Delete");
    duplicate_ = new Button(this, 2);
    duplicate_->SetTitle("Duplicate");
    i32 x = 0;
    i32 button_height = 0;
    for (Button* button : {add_, delete_, duplicate_}) {
        button->SizeToFit();
        button->SetPosition(x, kButtonTop);
        x += button->GetWidth() + kButtonGap;
        button_height = std::max(button_height, button->GetHeight());
    }
    const i32 width = x - kButtonGap;
    list_->SetPosition(0, 0);
    list_->SetSize(width, kListHeight);
    SetClientSize(width, button_height + kButtonTop);
    add_->SetVisible(FindRuntimeCountMember(editor_->GetScope(), member_).member != nullptr);
    list_->SetTabNext(add_);
    add_->SetTabNext(delete_);
    delete_->SetTabNext(duplicate_);
    ConnectSignal<&SubStructArrayEdit::OnAdd>(add_->clicked, this);
    ConnectSignal<&SubStructArrayEdit::OnDelete>(delete_->clicked, this);
    ConnectSignal<&SubStructArrayEdit::OnDuplicate>(duplicate_->clicked, this);
    ConnectSignal<&SubStructArrayEdit::OnActivated>(list_->activated, this);
    ConnectSignal<&SubStructArrayEdit::OnSelectionChanged>(list_->selectionChanged, this);
    ConnectSignal<&SubStructArrayEdit::OnDelete>(list_->deleteRequested, this);
    Refresh();
}

SubStructArrayEdit::~SubStructArrayEdit() = default;

FocusAnswer SubStructArrayEdit::OnFocusGained(Window*, int) { return PassFocusTo(list_); }

std::string SubStructArrayEdit::RowText(u32 element) const {
    // Every element in use has a row, named or not: an element the user
    // cannot see could not be selected, opened or deleted.
    const int number = static_cast<int>(element + 1);
    u8* bytes = ArrayElementAddress(editor_->GetScope(), member_, element);
    if (!bytes || !text_target_) return FormatString("%s #%d", element_definition_.name.c_str(), number);
    const StructData record(element_definition_, bytes);
    const u32 raw = ReadMemberRaw(record, *text_target_);
    if (text_target_->type_code == kMemberTag) {
        TagEntry* tag = FindTag(static_cast<const TagMember&>(*text_target_).group, raw);
        if (!tag) return FormatString("%s #%d", kNoTagText, number);
        TagHeader header;
        GetTagHeader(tag, &header);
        return header.name;
    }
    if (text_target_->type_code == kMemberSequenceIndex) {
        const ScopedMember owner = FindScopedMember(editor_->GetScope(), kCollectionMemberName);
        const Collection* collection =
            owner.member && owner.member->type_code == kMemberTag
                ? editor_->GetMemberCollection(static_cast<const TagMember&>(*owner.member), 0)
                : nullptr;
        const CollectionSequence* sequence = collection ? GetCollectionSequence(*collection, raw) : nullptr;
        return sequence ? std::string(sequence->name) : FormatString("Sequence #%d", number);
    }
    return FormatString("%s #%d", element_definition_.name.c_str(), number);
}

void SubStructArrayEdit::Refresh() {
    const i64 selected = SelectedElement();
    list_->RemoveAllItems();
    const u32 in_use = ArrayCountInUse(editor_->GetScope(), member_);
    ListItem* reselect = nullptr;
    for (u32 i = 0; i < in_use; ++i) {
        const std::string text = RowText(i);
        ListItem* row = list_->AddItemAndLayout(nullptr, 0, ListItem::kTextItem, ElementData(i), text.c_str());
        if (i64{i} == selected) reselect = row;
    }
    if (reselect) list_->SelectItem(reselect, false);
    UpdateButtons();
}

i64 SubStructArrayEdit::SelectedElement() const {
    const ListItem* item = list_->GetSelectedItem();
    return item ? static_cast<i64>(reinterpret_cast<uintptr_t>(item->userData)) : -1;
}

void SubStructArrayEdit::UpdateButtons() {
    const StructScope& scope = editor_->GetScope();
    const i64 selected = SelectedElement();
    add_->SetEnabled(CanAddArrayElement(scope, member_));
    delete_->SetEnabled(CanDeleteArrayElement(scope, member_, selected));
    duplicate_->SetEnabled(CanDuplicateArrayElement(scope, member_, selected));
}

i64 SubStructArrayEdit::AddElement(i64 duplicate_of) {
    const StructScope& scope = editor_->GetScope();
    const u32 n = ArrayCountInUse(scope, member_);
    u8* target = ArrayElementAddress(scope, member_, n);
    if (!target) return -1;
    // Cancel gives the element back as it was, a duplicate's copy undone.
    const std::vector<u8> before(target, target + member_.element_size);
    if (AddArrayElement(scope, member_, duplicate_of) < 0) {
        OsBeep();
        return -1;
    }
    editor_->EmitChanged();
    const std::string title =
        FormatString("%s #%d", element_definition_.name.c_str(), static_cast<int>(n + 1));
    const i64 result = OpenStructEditorWindow(element_definition_, editor_, target, title);
    if (result != 1) {
        std::memcpy(target, before.data(), before.size());
        SetArrayCountInUse(scope, member_, n);
        editor_->EmitChanged();
    }
    Refresh();
    return result;
}

bool SubStructArrayEdit::DeleteSelected() {
    const i64 selected = SelectedElement();
    if (!CanDeleteArrayElement(editor_->GetScope(), member_, selected) ||
        !DeleteArrayElement(editor_->GetScope(), member_, static_cast<u32>(selected))) {
        OsBeep();
        return false;
    }
    editor_->EmitChanged();
    Refresh();
    return true;
}

i64 SubStructArrayEdit::OpenRow(ListItem* item) {
    if (!item) return -1;
    const u32 element = static_cast<u32>(reinterpret_cast<uintptr_t>(item->userData));
    u8* bytes = ArrayElementAddress(editor_->GetScope(), member_, element);
    if (!bytes) return -1;
    const std::string title = item->text;
    const i64 result = OpenStructEditorWindow(element_definition_, editor_, bytes, title);
    if (result == 1) Refresh();
    return result;
}

void SubStructArrayEdit::OnAdd() { AddElement(-1); }
void SubStructArrayEdit::OnDuplicate() { AddElement(SelectedElement()); }
void SubStructArrayEdit::OnDelete() {
    if (FindRuntimeCountMember(editor_->GetScope(), member_).member) DeleteSelected();
}
void SubStructArrayEdit::OnActivated(void* item) { OpenRow(static_cast<ListItem*>(item)); }
void SubStructArrayEdit::OnSelectionChanged() { UpdateButtons(); }

}  // namespace pirn
