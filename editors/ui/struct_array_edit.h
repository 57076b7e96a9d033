#pragma once
// SubStructArrayEdit: an array of sub-structs in a struct editor's form. A
// list of the elements in use, each named by its text-target member (a tag's
// name or a sequence's name) or by a numbered placeholder when that names
// nothing, and Add, Delete and Duplicate buttons. Rows
// open their element in a nested editor. Only an array with a runtime-count
// member grows and shrinks; every change marks the editor changed.

#include <string>

#include "platform/types.h"
#include "ui/button.h"
#include "ui/list_window.h"
#include "ui/window.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

class StructDefinition;
class StructEditor;
class StructMember;

class SubStructArrayEdit : public Window {
public:
    static constexpr i32 kListHeight = 144;
    static constexpr i32 kButtonTop = 152;
    static constexpr i32 kButtonGap = 8;
    static constexpr u32 kListStyle = 275;  // visible, enabled, thin border, dark background

    SubStructArrayEdit(StructEditor* editor, Window* parent, const StructMember& member,
                       const tinyxml2::XMLElement& item);
    ~SubStructArrayEdit() override;

    const char* GetClassName() const override { return "SubStructArrayEdit"; }
    FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;

    // Rows for the elements in use, then the buttons' states.
    void Refresh();
    void UpdateButtons();
    // Add (duplicate_of -1) or Duplicate: takes the next element into use and
    // opens it; Cancel gives it back. Returns the nested editor's result, or
    // -1 when nothing was added.
    i64 AddElement(i64 duplicate_of);
    // Removes the selected row's element.
    bool DeleteSelected();
    // Opens a row's element in a nested editor titled with the row's text.
    i64 OpenRow(ListItem* item);

    ListWindow* GetList() const { return list_; }
    Button* GetAddButton() const { return add_; }
    Button* GetDeleteButton() const { return delete_; }
    Button* GetDuplicateButton() const { return duplicate_; }
    const StructMember& GetMember() const { return member_; }
    const StructMember* GetTextTarget() const { return text_target_; }
    // Where Tab enters the array (its list) and where it leaves it.
    Window* FirstTabStop() const { return list_; }
    Window* LastTabStop() const { return duplicate_; }
    // The selected row's element, or -1.
    i64 SelectedElement() const;

private:
    void OnAdd();
    void OnDelete();
    void OnDuplicate();
    void OnActivated(void* item);
    void OnSelectionChanged();
    // The row of an element in use: the name its text-target member gives,
    // or a placeholder ("<no tag> #3", "Sequence #3", "<struct> #3").
    std::string RowText(u32 element) const;

    StructEditor* editor_;
    const StructMember& member_;
    const StructDefinition& element_definition_;
    const StructMember* text_target_ = nullptr;
    ListWindow* list_ = nullptr;
    Button* add_ = nullptr;
    Button* delete_ = nullptr;
    Button* duplicate_ = nullptr;
};

}  // namespace pirn
