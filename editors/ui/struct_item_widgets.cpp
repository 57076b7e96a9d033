#include "editors/ui/struct_item_widgets.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdint>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "collections/collection.h"
#include "editors/member_type.h"
#include "editors/struct_array.h"
#include "editors/struct_definition.h"
#include "editors/struct_member.h"
#include "editors/struct_values.h"
#include "editors/ui/struct_array_edit.h"
#include "editors/ui/struct_editor.h"
#include "editors/xml_attribute.h"
#include "platform/os/os_beep.h"
#include "ui/check_box.h"
#include "ui/text_filter.h"
#include "ui/window_event.h"

namespace pirn {

const char kNoTagText[] = "<no tag>";
const char kNoSequenceText[] = "<no sequence>";

namespace {

constexpr i32 kNumberFieldWidth = 64;
constexpr int kDropdownRows = 16;
constexpr u32 kCollectionGroup = MakeFourCC(".256");
constexpr u32 kCollectionReferenceGroup = MakeFourCC("core");

void* IndexData(i64 index) { return reinterpret_cast<void*>(static_cast<intptr_t>(index)); }

bool IsCollectionMember(const StructMember& member) {
    if (member.type_code != kMemberTag) return false;
    const u32 group = static_cast<const TagMember&>(member).group;
    return group == kCollectionGroup || group == kCollectionReferenceGroup;
}

// The id a tag element holds, as the Codex names tags.
u32 StoredTagId(const StructScope& scope, const StructMember& member, u32 index) {
    return static_cast<u32>(ReadMemberValue(scope, member, index));
}

}  // namespace

// ---- tag choices --------------------------------------------------------------

std::shared_ptr<TagChoiceList> ListTagChoices(u32 group, const Window& measure) {
    auto choices = std::make_shared<TagChoiceList>();
    choices->group = group;
    TagList tags;
    ListGroupTags(group, tags);
    choices->tags.reserve(tags.size());
    for (TagEntry* tag : tags) {
        TagHeader header;
        GetTagHeader(tag, &header);
        choices->tags.emplace_back(header.name, tag->tag_id);
    }
    // The order the combo box's own sort gives: bytewise, stable.
    std::stable_sort(choices->tags.begin(), choices->tags.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    choices->widest = measure.GetTextWidth(kNoTagText);
    for (const auto& choice : choices->tags)
        choices->widest = std::max(choices->widest, measure.GetTextWidth(choice.first.c_str()));
    return choices;
}

// ---- number fields ------------------------------------------------------------

void StructNumberField::OnFocusLost(Window* newFocus, int reason) {
    // The box repairs a field it cannot read back by putting 0 in it; that is
    // not the user's edit, and the listener shows the stored value again.
    quiet_ = true;
    TextBox::OnFocusLost(newFocus, reason);
    quiet_ = false;
    left.Emit();
}

void StructNumberField::ShowText(const std::string& text) {
    quiet_ = true;
    if (GetText() != text) SetText(text);
    quiet_ = false;
}

// ---- tag combo boxes --------------------------------------------------------------

StructTagComboBox::StructTagComboBox(Window* parent, std::shared_ptr<const TagChoiceList> choices)
    : CodexGroupBox(kNoTagId, parent, 0), choices_(std::move(choices)) {
    SetWidth(WidthToShowText(choices_->widest));  // as wide as the filled list will make it
}

void StructTagComboBox::ShowTagId(u32 tag_id) {
    if (filled_) {
        TagEntry* tag = tag_id == kNoTagId ? nullptr : FindTag(choices_->group, tag_id);
        ListItem* item = tag ? GetList()->FindItemByData(tag, nullptr) : nullptr;
        SelectItem(item ? item : GetTopItem());
        return;
    }
    Clear();
    TagEntry* tag = tag_id == kNoTagId ? nullptr : FindTag(choices_->group, tag_id);
    for (const auto& choice : choices_->tags) {
        if (!tag || choice.second != tag_id) continue;
        AddItem(tag, choice.first.c_str(), false);
        break;
    }
    SelectItem(AddItem(nullptr, kNoTagText, true));
    if (ListItem* shown = GetList()->FindItemByData(tag, nullptr); shown && tag) SelectItem(shown);
}

void StructTagComboBox::FillChoices() {
    if (filled_) return;
    void* shown = GetSelectedData();
    Clear();
    for (const auto& choice : choices_->tags)
        if (TagEntry* tag = FindTag(choices_->group, choice.second)) AddItem(tag, choice.first.c_str(), false);
    AddItem(nullptr, kNoTagText, true);
    filled_ = true;
    ListItem* item = shown ? GetList()->FindItemByData(shown, nullptr) : nullptr;
    SelectItem(item ? item : GetTopItem());
    FitDropdown(kDropdownRows, true);
}

int StructTagComboBox::HandleEvent(Window* target, u32 type, InputEvent& event) {
    if (!filled_ && (type == kEventKey || type == kEventChar || type == kEventButton) && target &&
        target->IsDescendantOf(this))
        FillChoices();
    return CodexGroupBox::HandleEvent(target, type, event);
}

void FillTagComboBox(CodexGroupBox* box, u32 group) {
    box->Fill(group);
    box->SelectItem(box->AddItem(nullptr, kNoTagText, true));
    box->FitDropdown(kDropdownRows, true);
}

void FillSequenceComboBox(ComboBox* box, const Collection* collection) {
    box->Clear();
    if (collection) {
        const u32 n = GetCollectionSequenceCount(*collection);
        for (u32 i = 0; i < n; ++i) box->AddItem(IndexData(i), GetCollectionSequence(*collection, i)->name, false);
        box->SortItems();
    }
    box->SelectItem(box->AddItem(IndexData(-1), kNoSequenceText, true));
    box->FitDropdown(kDropdownRows, true);
}

// ---- listeners ------------------------------------------------------------------

MemberChangeListener::MemberChangeListener(StructEditor* editor, Kind kind, const StructMember* member, Window* widget,
                                           u32 index, u32 bit, const StructMember* collection_member,
                                           std::string title)
    : editor_(editor),
      kind_(kind),
      member_(member),
      widget_(widget),
      index_(index),
      bit_(bit),
      collection_member_(collection_member),
      title_(std::move(title)) {}

u32 MemberChangeListener::CollectionIndex() const {
    return collection_member_ && index_ < collection_member_->count ? index_ : 0;
}

void MemberChangeListener::FillSequences() {
    Collection* collection = nullptr;
    if (collection_member_)
        collection = editor_->GetMemberCollection(static_cast<const TagMember&>(*collection_member_), CollectionIndex());
    FillSequenceComboBox(static_cast<ComboBox*>(widget_), collection);
}

void MemberChangeListener::Show() {
    const StructScope& scope = editor_->GetScope();
    switch (kind_) {
        case Kind::RealField: {
            auto* field = static_cast<StructNumberField*>(widget_);
            const double shown = MemberDisplayValue(scope, *member_, index_);
            field->ShowText(FormatRealForField(static_cast<float>(shown), field->GetMaxLength()));
            break;
        }
        case Kind::IntegerField:
            static_cast<StructNumberField*>(widget_)->ShowText(
                FormatMemberInteger(ReadMemberValue(scope, *member_, index_)));
            break;
        case Kind::BitBox:
            static_cast<CheckBox*>(widget_)->SetChecked(ReadMemberBit(scope, *member_, index_, bit_), true);
            break;
        case Kind::EnumCombo: {
            auto* box = static_cast<ComboBox*>(widget_);
            const auto& enumeration = static_cast<const EnumMember&>(*member_);
            const i64 value = ReadMemberValue(scope, *member_, index_);
            const i64 shown = value == -1 && enumeration.FindEntry(-1) < 0 ? 0 : value;
            if (enumeration.FindEntry(static_cast<i32>(shown)) >= 0)
                box->SelectByData(IndexData(shown));
            else
                box->GetField()->SetText(std::to_string(value));  // a value no entry names shows as itself
            break;
        }
        case Kind::TagCombo:
            static_cast<StructTagComboBox*>(widget_)->ShowTagId(StoredTagId(scope, *member_, index_));
            break;
        case Kind::SequenceCombo: {
            FillSequences();
            static_cast<ComboBox*>(widget_)->SelectByData(IndexData(ReadMemberValue(scope, *member_, index_)));
            break;
        }
        case Kind::SubStructButton:
            break;
    }
}

void MemberChangeListener::Connect() {
    switch (kind_) {
        case Kind::RealField:
        case Kind::IntegerField: {
            auto* field = static_cast<StructNumberField*>(widget_);
            ConnectSignal<&MemberChangeListener::OnFieldChanged>(field->changed, this);
            ConnectSignal<&MemberChangeListener::OnFieldLeft>(field->left, this);
            break;
        }
        case Kind::BitBox:
            ConnectSignal<&MemberChangeListener::OnBoxClicked>(static_cast<CheckBox*>(widget_)->clicked, this);
            break;
        case Kind::EnumCombo:
        case Kind::TagCombo:
        case Kind::SequenceCombo:
            ConnectSignal<&MemberChangeListener::OnComboPicked>(static_cast<ComboBox*>(widget_)->selectionChanged,
                                                                this);
            break;
        case Kind::SubStructButton:
            ConnectSignal<&MemberChangeListener::OnButtonClicked>(static_cast<Button*>(widget_)->clicked, this);
            break;
    }
}

void MemberChangeListener::Changed() { editor_->EmitChanged(); }

void MemberChangeListener::OnFieldChanged() {
    auto* field = static_cast<StructNumberField*>(widget_);
    if (field->IsQuiet()) return;
    const std::string text = field->GetText();
    const StructScope& scope = editor_->GetScope();
    if (kind_ == Kind::IntegerField) {
        // Read as the box reads its number, past its 32 bits for `ulong`.
        i64 value = 0;
        if (!ReadsAsZeroInNumberField(kInputInteger, text) && !ParseMemberInteger(text, &value)) return;
        if (value == ReadMemberValue(scope, *member_, index_)) return;
        if (WriteMemberValue(scope, *member_, index_, value)) {
            Changed();
        } else if (!(member_->HasLowerBound() && value < ReadLowerBound(scope, *member_, index_))) {
            // A number below a lower bound may be the start of one above it
            // and is passed over quietly; one the member cannot hold is refused.
            OsBeep();
        }
        return;
    }
    float value = 0;
    if (!ParseRealField(text, &value)) return;
    if (WriteMemberDisplayValue(scope, *member_, index_, value)) Changed();
}

void MemberChangeListener::OnFieldLeft() {
    // What the field shows once the user is done is what the record holds.
    Show();
}

void MemberChangeListener::OnBoxClicked() {
    const bool on = static_cast<CheckBox*>(widget_)->IsChecked();
    if (WriteMemberBit(editor_->GetScope(), *member_, index_, bit_, on)) Changed();
}

void MemberChangeListener::OnComboPicked(intptr_t item, intptr_t data) {
    if (!item) return;
    const StructScope& scope = editor_->GetScope();
    i64 value = 0;
    if (kind_ == Kind::TagCombo) {
        const auto* tag = reinterpret_cast<const TagEntry*>(data);
        u32 id = kNoTagId;
        if (tag) {
            TagHeader header;
            GetTagHeader(tag, &header);
            id = header.tag_id;
        }
        value = static_cast<i32>(id);
    } else {
        value = static_cast<i64>(data);
    }
    if (ReadMemberValue(scope, *member_, index_) == value) return;
    if (!WriteMemberValue(scope, *member_, index_, value)) {
        OsBeep();
        Show();
        return;
    }
    Changed();
    if (kind_ == Kind::TagCombo && IsCollectionMember(*member_)) editor_->ResetDependentSequences(*member_);
}

void MemberChangeListener::ResetSequence() {
    WriteMemberValue(editor_->GetScope(), *member_, index_, -1);
    FillSequences();
}

void MemberChangeListener::OnButtonClicked() {
    u8* element = ArrayElementAddress(editor_->GetScope(), *member_, 0);
    if (!element || !member_->nested) return;
    if (OpenStructEditorWindow(*member_->nested, editor_, element, title_) < 0) OsBeep();
}

// ---- making the widgets -------------------------------------------------------------

namespace {

bool ReadItemNumber(const tinyxml2::XMLElement& item, const char* name, i64 fallback, i64* value) {
    *value = fallback;
    return QueryXmlInteger(item, name, -(i64{1} << 40), i64{1} << 40, value) != XmlNumber::Invalid;
}

}  // namespace

Window* CreateItemWidget(StructEditor* editor, Window* parent, const tinyxml2::XMLElement& item) {
    const StructScope& scope = editor->GetScope();
    const ScopedMember target = FindScopedMember(scope, XmlAttributeText(item, "target"));
    if (!target.member) return nullptr;
    const StructMember& member = *target.member;
    i64 index = 0, bit = -1;
    if (!ReadItemNumber(item, "index", 0, &index) || !IsValidItemIndex(member, index)) return nullptr;
    if (!ReadItemNumber(item, "bit", -1, &bit)) return nullptr;
    const bool has_bit = item.Attribute("bit") != nullptr;
    const std::string text = XmlAttributeText(item, "text");
    using Kind = MemberChangeListener::Kind;
    Window* widget = nullptr;
    Kind kind;
    const StructMember* collection_member = nullptr;
    const u32 code = member.type_code;

    if (code == kMemberSubstruct) {
        if (!member.nested) return nullptr;
        const bool runtime = FindScopedMember(scope, member.runtime_count).member != nullptr;
        if (runtime || member.count != 1) return new SubStructArrayEdit(editor, parent, member, item);
        auto* button = new Button(parent, 0);
        button->SetTitle(text.c_str());
        button->SizeToFit();
        widget = button;
        kind = Kind::SubStructButton;
    } else if (IsIntegerFieldType(code) && has_bit) {
        if (!IsValidItemBit(member, bit)) return nullptr;
        auto* box = new CheckBox(parent, 0);
        box->SetTitle(text.c_str());
        box->SizeToFit();
        widget = box;
        kind = Kind::BitBox;
    } else if (IsRealFieldType(code) || IsIntegerFieldType(code)) {
        const bool real = IsRealFieldType(code);
        auto* field = new StructNumberField(real ? TextBox::kRealField : TextBox::kIntegerField, parent);
        field->SetSize(kNumberFieldWidth, field->GetLineHeight());
        widget = field;
        kind = real ? Kind::RealField : Kind::IntegerField;
    } else if (code == kMemberShortEnum || code == kMemberByteEnum) {
        auto* box = new ComboBox(parent, ComboBox::kEditable);
        for (const EnumEntry& entry : static_cast<const EnumMember&>(member).entries)
            box->AddItem(IndexData(entry.value), entry.text.c_str(), false);
        widget = box;
        kind = Kind::EnumCombo;
    } else if (code == kMemberTag) {
        const u32 group = static_cast<const TagMember&>(member).group;
        widget = new StructTagComboBox(parent, editor->GetTagChoices(group));
        kind = Kind::TagCombo;
    } else if (code == kMemberSequenceIndex) {
        collection_member = FindScopedMember(scope, XmlAttributeText(item, "tag")).member;
        // Names come only from a tag member; anything else is left out.
        if (!collection_member || collection_member->type_code != kMemberTag) return nullptr;
        widget = new ComboBox(parent, 0);
        kind = Kind::SequenceCombo;
    } else {
        return nullptr;  // padding and colours have no widget
    }

    auto listener = std::make_unique<MemberChangeListener>(editor, kind, &member, widget, static_cast<u32>(index),
                                                           static_cast<u32>(has_bit ? bit : 0), collection_member, text);
    listener->Show();
    listener->Connect();
    editor->AddListener(std::move(listener));
    return widget;
}

}  // namespace pirn
