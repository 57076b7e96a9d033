#pragma once
// The widgets of a struct editor's `item` elements and the listeners that
// bind each to one element of one member: number fields, bit check boxes,
// enumeration, tag and sequence combo boxes, sub-struct buttons and arrays.
// A listener puts the stored value into its widget before it listens, and
// writes only what the user changed.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "codex/tag_entry.h"
#include "codex/ui/codex_group_box.h"
#include "platform/types.h"
#include "ui/combo_box.h"
#include "ui/signal.h"
#include "ui/text_box.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

class StructEditor;
class StructMember;
struct Collection;

// The available tags of a group sorted by name, and the width of the widest
// name (with "<no tag>"), listed once for every tag item of a form.
struct TagChoiceList {
    u32 group = 0;
    std::vector<std::pair<std::string, TagEntry*>> tags;
    i32 widest = 0;
};
std::shared_ptr<TagChoiceList> ListTagChoices(u32 group, const Window& measure);

// A number field that tells the program's own text (and the repair the box
// makes of it when it loses the focus) from what the user types.
class StructNumberField : public TextBox {
public:
    StructNumberField(int kind, Window* parent) : TextBox(kind, parent) {}
    const char* GetClassName() const override { return "StructNumberField"; }
    void OnFocusLost(Window* newFocus, int reason) override;
    // Sets the text without it counting as the user's.
    void ShowText(const std::string& text);
    bool IsQuiet() const { return quiet_; }

    SignalNone left;  // the focus went elsewhere

private:
    bool quiet_ = false;
};

// A tag combo box: CodexGroupBox with "<no tag>" first. It shows its tag
// from the start and lists the group's tags when it is first opened or
// typed into, so a form of many tag items over a large group opens fast.
class StructTagComboBox : public CodexGroupBox {
public:
    StructTagComboBox(Window* parent, std::shared_ptr<const TagChoiceList> choices);
    const char* GetClassName() const override { return "StructTagComboBox"; }
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;

    // Shows the tag of the id ("<no tag>" for an id with no available tag).
    void ShowTagId(u32 tag_id);
    // Lists every tag (once).
    void FillChoices();
    bool IsFilled() const { return filled_; }

private:
    std::shared_ptr<const TagChoiceList> choices_;
    bool filled_ = false;
};

extern const char kNoTagText[];       // "<no tag>"
extern const char kNoSequenceText[];  // "<no sequence>"

// One item per available tag of the group (data: the tag), sorted, then
// "<no tag>" (no data) first and selected; a dropdown of 16 rows, widened.
void FillTagComboBox(CodexGroupBox* box, u32 group);
// Emptied; with a collection one item per sequence (data: its index),
// sorted; then "<no sequence>" (data -1) first and selected; 16 rows, widened.
void FillSequenceComboBox(ComboBox* box, const Collection* collection);

class MemberChangeListener : public SignalListener {
public:
    enum class Kind { RealField, IntegerField, BitBox, EnumCombo, TagCombo, SequenceCombo, SubStructButton };

    MemberChangeListener(StructEditor* editor, Kind kind, const StructMember* member, Window* widget, u32 index,
                         u32 bit, const StructMember* collection_member, std::string title);

    // Puts the stored value into the widget without writing anything.
    void Show();
    // Listens to the widget (after Show).
    void Connect();
    // Sequence widgets: -1 written, names from the collection again.
    void ResetSequence();

    Kind kind() const { return kind_; }
    const StructMember* member() const { return member_; }
    Window* widget() const { return widget_; }
    u32 index() const { return index_; }
    const StructMember* collection_member() const { return collection_member_; }

private:
    void OnFieldChanged();
    void OnFieldLeft();
    void OnBoxClicked();
    void OnComboPicked(intptr_t item, intptr_t data);
    void OnButtonClicked();
    void Changed();
    void FillSequences();
    u32 CollectionIndex() const;

    StructEditor* editor_;
    Kind kind_;
    const StructMember* member_;
    Window* widget_;
    u32 index_;
    u32 bit_;
    const StructMember* collection_member_;
    std::string title_;
};

// The widget of one `item` element in the table (its parent), with its
// listener added to the editor; null when the item makes none (no such
// member, an index or bit outside the member, padding and colours).
Window* CreateItemWidget(StructEditor* editor, Window* parent, const tinyxml2::XMLElement& item);

}  // namespace pirn
