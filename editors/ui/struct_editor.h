#pragma once
// StructEditor: the form that edits one record of a struct definition,
// built from the struct's `structedit` description: nested Table groups,
// labels, and one widget per `item`, each bound to one element of one
// member by a MemberChangeListener. Every widget writes through to the
// record's bytes at once, and only when the user changes it, so a form
// opened and closed without edits leaves the bytes as they were.
//
// A top-level editor owns its bytes (zero-filled until read); a nested one
// edits an element of its parent's bytes in place, keeps a backup for
// Cancel, and runs modally in a window of its own. Every change emits the
// editor's changed signal and its parents' too, so the tag editor at the
// top hears edits made anywhere below it.

#include <memory>
#include <string>
#include <vector>

#include "editors/struct_data.h"
#include "editors/struct_values.h"
#include "platform/types.h"
#include "ui/button.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace tinyxml2 {
class XMLElement;
}

namespace pirn {

class MemberChangeListener;
class StructDefinition;
class Table;
class TagMember;
struct Collection;
struct TagChoiceList;

class StructEditor : public Window {
public:
    // Nested editors: visible, enabled, title bar, shadow, thick border,
    // background, large minimum, popup layer.
    static constexpr u32 kNestedStyle = 0x402AF;
    // Nested `structedit` forms: title bar, shadow, thick border,
    // background, close box.
    static constexpr u32 kNestedFormFlags = 1196;
    static constexpr i32 kButtonStripHeight = 32;
    static constexpr i32 kButtonWidth = 96;
    static constexpr i32 kOkId = 2;
    static constexpr i32 kCancelId = 1;
    static constexpr i32 kLabelHeight = 21;

    // A top-level editor with owned, zero-filled bytes, a child of parent.
    StructEditor(const StructDefinition& definition, Window* parent);
    // A nested editor of `bytes` (an element inside the parent's record).
    StructEditor(const StructDefinition& definition, StructEditor* parent_editor, u8* bytes);
    ~StructEditor() override;

    const char* GetClassName() const override { return "StructEditor"; }
    // A nested editor's close box cancels.
    int OnCloseRequest(int byUser) override;
    void OnDestroy() override;

    // Builds the form of the struct's `structedit`; 0 when the struct has
    // none or the form cannot be built.
    int BuildForm();

    const StructDefinition& GetDefinition() const { return data_.definition(); }
    StructData& GetData() { return data_; }
    const StructData& GetData() const { return data_; }
    // This record and the records of the parent editors.
    const StructScope& GetScope() const { return scope_; }
    StructEditor* GetParentEditor() const { return parent_editor_; }
    Table* GetForm() const { return form_; }
    Button* GetOkButton() const { return ok_; }
    Button* GetCancelButton() const { return cancel_; }
    const std::vector<std::unique_ptr<MemberChangeListener>>& GetListeners() const { return listeners_; }
    const std::vector<Table*>& GetNestedForms() const { return nested_forms_; }
    // The modal result of a nested editor: 1 after OK, 0 otherwise.
    i64 GetResult() const { return result_; }

    // Emits changed here and in every parent editor.
    void EmitChanged();
    // Nested editors: OK emits this editor's changed signal, ends the modal
    // run with 1 and closes; Cancel puts the backup back over the bytes, ends
    // the run with 0 and closes.
    void OnOk();
    void OnCancel();
    // Shows nested form `index` over the root window, modally.
    void OpenNestedForm(i32 index);

    // The collection the tag member's element names (cached per editor,
    // member and element), or null.
    Collection* GetMemberCollection(const TagMember& member, u32 index);
    // After a '.256' or 'core' member changed: every sequence widget of this
    // editor that takes its names from it is set to -1 and refilled.
    void ResetDependentSequences(const StructMember& collection_member);
    // The sorted tags of a group, listed once per editor.
    std::shared_ptr<const TagChoiceList> GetTagChoices(u32 group);
    // Takes the listener of a widget of the form.
    void AddListener(std::unique_ptr<MemberChangeListener> listener);

    SignalNone changed;

private:
    Table* BuildGroup(const tinyxml2::XMLElement& element, Window* parent, bool framed, bool nested_form);
    void AddLayoutChild(Table* table, const tinyxml2::XMLElement& child);
    Window* BuildLayoutChild(Table* table, const tinyxml2::XMLElement& child);
    Window* BuildNestedFormButton(Table* table, const tinyxml2::XMLElement& child);
    // A group with its title, size and cells placed; a parentless nested
    // form (hidden, with a frame of its own) when nested_form is set.
    Table* BuildFormTable(const tinyxml2::XMLElement& element, Window* parent, bool nested_form);
    // Moves every widget of the form's groups into target at the same place
    // on screen, chaining the ones that take the focus in tab order.
    void ReparentFormWidgets(Table* form, Window* target, Window** tab_first, Window** tab_last);
    void AddOkCancel();
    void EndNested(i64 result);

    StructData data_;
    std::vector<u8> backup_;
    StructEditor* parent_editor_ = nullptr;
    StructScope scope_;
    Table* form_ = nullptr;
    Button* ok_ = nullptr;
    Button* cancel_ = nullptr;
    std::vector<std::unique_ptr<MemberChangeListener>> listeners_;
    std::vector<Table*> nested_forms_;
    std::vector<std::pair<u32, std::shared_ptr<const TagChoiceList>>> tag_choices_;
    i64 result_ = 0;
    bool ended_ = false;
};

// Opens `bytes` (an element of the parent's record) in a nested editor
// centred over the parent, titled, and runs it modally: 1 after OK, 0 after
// Cancel, -1 when the element's struct has no form.
i64 OpenStructEditorWindow(const StructDefinition& definition, StructEditor* parent, u8* bytes,
                           const std::string& title);

}  // namespace pirn
