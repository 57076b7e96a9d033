#include "editors/ui/struct_editor.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstring>

#include "editors/struct_collection_cache.h"
#include "editors/struct_definition.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_member.h"
#include "editors/ui/struct_array_edit.h"
#include "editors/ui/struct_item_widgets.h"
#include "editors/ui/struct_table.h"
#include "editors/xml_attribute.h"
#include "ui/frame_step.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

u32 AlignOf(const tinyxml2::XMLElement& element) {
    const std::string align = XmlAttributeText(element, "align");
    if (align == "right") return Table::kAlignRight;
    if (align == "center") return Table::kAlignCenter;
    return Table::kAlignLeft;
}

bool IsTrue(const tinyxml2::XMLElement& element, const char* name) { return XmlAttributeText(element, name) == "true"; }

bool NameIs(const tinyxml2::XMLElement& element, const char* name) { return std::strcmp(element.Name(), name) == 0; }

// The point of a window's frame in another window's client coordinates.
Point PositionIn(const Window& window, const Window& target) {
    const Rect& frame = window.GetFrameScreenRect();
    const Point origin = target.GetClientOrigin();
    return Point{frame.left - origin.x, frame.top - origin.y};
}

void ChainTab(Window* stop_first, Window* stop_last, Window** tab_first, Window** tab_last) {
    if (*tab_last) (*tab_last)->SetTabNext(stop_first);
    if (!*tab_first) *tab_first = stop_first;
    *tab_last = stop_last;
}

}  // namespace

StructEditor::StructEditor(const StructDefinition& definition, Window* parent)
    : Window(kVisible | kEnabled, parent), data_(definition) {
    scope_.record = &data_;
}

StructEditor::StructEditor(const StructDefinition& definition, StructEditor* parent_editor, u8* bytes)
    : Window(kNestedStyle & ~kVisible, nullptr),
      data_(definition, bytes),
      backup_(bytes, bytes + definition.size),
      parent_editor_(parent_editor) {
    scope_.record = &data_;
    scope_.parent = parent_editor ? &parent_editor->scope_ : nullptr;
    // Open over its parent, it goes when the parent's editor goes.
    SetOwner(parent_editor);
}

StructEditor::~StructEditor() {
    // Nothing may hear the widgets once the editor is going.
    listeners_.clear();
    DropCachedCollections(this);
}

void StructEditor::OnDestroy() {
    for (auto& listener : listeners_) listener->DisconnectAll();
    nested_forms_.clear();
    DropCachedCollections(this);
}

int StructEditor::OnCloseRequest(int byUser) {
    if (parent_editor_ && !ended_) {
        OnCancel();
        return 0;
    }
    return Window::OnCloseRequest(byUser);
}

void StructEditor::AddListener(std::unique_ptr<MemberChangeListener> listener) {
    listeners_.push_back(std::move(listener));
}

void StructEditor::EmitChanged() {
    for (StructEditor* editor = this; editor; editor = editor->parent_editor_) editor->changed.Emit();
}

// ---- the form ------------------------------------------------------------------

int StructEditor::BuildForm() {
    const tinyxml2::XMLElement* element = FindStructEdit(GetDefinition().name);
    if (!element || form_) return 0;
    form_ = BuildFormTable(*element, this, false);
    if (!form_) return 0;
    form_->SetPosition(0, 0);
    Window* tab_first = nullptr;
    Window* tab_last = nullptr;
    ReparentFormWidgets(form_, this, &tab_first, &tab_last);
    AddOkCancel();
    ok_->SetTabNext(cancel_);
    ChainTab(ok_, cancel_, &tab_first, &tab_last);
    tab_last->SetTabNext(tab_first);
    SetFocusChild(ok_);
    if (parent_editor_) {
        ConnectSignal<&StructEditor::OnOk>(ok_->clicked, this);
        ConnectSignal<&StructEditor::OnCancel>(cancel_->clicked, this);
    }
    return 1;
}

Table* StructEditor::BuildFormTable(const tinyxml2::XMLElement& element, Window* parent, bool nested_form) {
    Table* table = BuildGroup(element, parent, !XmlAttributeText(element, "text").empty(), nested_form);
    const std::string caption = XmlAttributeText(element, "caption");
    table->SetTitle(caption.c_str());
    if (parent == this) SetTitle(caption.c_str());
    table->ComputeSize();
    table->PlaceCells();
    return table;
}

Table* StructEditor::BuildGroup(const tinyxml2::XMLElement& element, Window* parent, bool framed, bool nested_form) {
    auto* table = new Table(parent, framed, XmlAttributeText(element, "text"), IsTrue(element, "stretch"),
                            AlignOf(element));
    if (nested_form) table->SetFlags(kNestedFormFlags | kEnabled);
    const std::string layout = XmlAttributeText(element, "layout");
    if (layout == "horizontal") {
        table->AddRow();
        for (const auto* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
            AddLayoutChild(table, *child);
    } else if (layout == "table") {
        const tinyxml2::XMLElement* first = element.FirstChildElement();
        for (const auto* row = first; row; row = row->NextSiblingElement()) {
            if (row != first && !NameIs(*row, "row")) continue;
            table->AddRow();
            for (const auto* cell = row->FirstChildElement(); cell; cell = cell->NextSiblingElement())
                AddLayoutChild(table, *cell);
        }
    } else {
        std::vector<Table*> framed_groups;
        for (const auto* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
            table->AddRow();
            AddLayoutChild(table, *child);
            const auto& row = table->GetRows().back();
            if (!row.empty() && row.back().is_group) framed_groups.push_back(static_cast<Table*>(row.back().window));
        }
        if (IsTrue(element, "alignchildren")) {
            std::vector<u32> widths;
            for (const Table* group : framed_groups) {
                const auto& own = group->GetColumnWidths();
                if (widths.size() < own.size()) widths.resize(own.size(), 0);
                for (size_t c = 0; c < own.size(); ++c) widths[c] = std::max(widths[c], own[c]);
            }
            for (Table* group : framed_groups) group->ApplyColumnWidths(widths);
        }
    }
    return table;
}

void StructEditor::AddLayoutChild(Table* table, const tinyxml2::XMLElement& child) {
    if (NameIs(child, "frame")) {
        Table* group = BuildGroup(child, table, true, false);
        group->ComputeSize();
        table->AddCell(group, true);
        return;
    }
    if (Window* cell = BuildLayoutChild(table, child)) table->AddCell(cell, false);
}

Window* StructEditor::BuildLayoutChild(Table* table, const tinyxml2::XMLElement& child) {
    if (NameIs(child, "label")) {
        const std::string text = XmlAttributeText(child, "text");
        TextBox* label = CreateLabel(table, text.c_str());
        label->SetSize(label->GetTextWidth(text.c_str()) + 1, kLabelHeight);
        return label;
    }
    if (NameIs(child, "item")) return CreateItemWidget(this, table, child);
    if (NameIs(child, "structedit")) return BuildNestedFormButton(table, child);
    return nullptr;
}

Window* StructEditor::BuildNestedFormButton(Table* table, const tinyxml2::XMLElement& child) {
    Table* form = BuildFormTable(child, nullptr, true);
    // A window of its own, not a child: it goes with the editor, however
    // the editor goes (as a child of a tag editor it never hears OnDestroy).
    form->SetOwner(this);
    Window* tab_first = nullptr;
    Window* tab_last = nullptr;
    ReparentFormWidgets(form, form, &tab_first, &tab_last);
    if (tab_last) tab_last->SetTabNext(tab_first);
    if (tab_first) form->SetFocusChild(tab_first);
    form->SetVisible(false);
    auto* button = new Button(table, static_cast<i32>(nested_forms_.size()));
    nested_forms_.push_back(form);
    button->SetTitle(form->GetTitle());
    button->SizeToFit();
    ConnectSignal<&StructEditor::OpenNestedForm>(button->clickedWithId, this);
    return button;
}

void StructEditor::ReparentFormWidgets(Table* form, Window* target, Window** tab_first, Window** tab_last) {
    for (const auto& row : form->GetRows()) {
        for (const Table::Cell& cell : row) {
            if (cell.is_group) {
                ReparentFormWidgets(static_cast<Table*>(cell.window), target, tab_first, tab_last);
                continue;
            }
            Window* widget = cell.window;
            if (widget->GetParent() != target) {
                const Point at = PositionIn(*widget, *target);
                SetParent(widget, target);
                widget->SetPosition(at.x, at.y);
            }
            if (auto* array = dynamic_cast<SubStructArrayEdit*>(widget)) {
                ChainTab(array->FirstTabStop(), array->LastTabStop(), tab_first, tab_last);
            } else if (widget->TestFlags(kTakesFocus)) {
                ChainTab(widget, widget, tab_first, tab_last);
            }
        }
    }
}

void StructEditor::AddOkCancel() {
    // A form narrower than the two buttons still shows both whole.
    const i32 width = std::max(form_->GetWidth(), 2 * kButtonWidth + 16);
    const i32 top = form_->GetHeight();
    ok_ = new Button(this, kOkId);
    ok_->SetTitle("OK");
    cancel_ = new Button(this, kCancelId);
    cancel_->SetTitle("Cancel");
    const i32 height = std::min(GetButtonHeight(GetLineHeight()), kButtonStripHeight);
    ok_->SetSize(kButtonWidth, height);
    cancel_->SetSize(kButtonWidth, height);
    ok_->SetPosition(width - 2 * kButtonWidth - 16, top);
    cancel_->SetPosition(width - kButtonWidth - 8, top);
    SetClientSize(width, top + kButtonStripHeight);
}

void StructEditor::OpenNestedForm(i32 index) {
    if (index < 0 || static_cast<size_t>(index) >= nested_forms_.size()) return;
    Table* form = nested_forms_[static_cast<size_t>(index)];
    form->SetVisible(true);
    form->CenterInParent();
    // While shown the form refuses to close, so nothing destroys this editor
    // (its owner) before the run ends.
    RunModal(form, 0, nullptr);
    form->SetVisible(false);
    if (Window* top = GetTopLevel()) ActivateWindow(top, kFocusByProgram);
}

// ---- nested editors ---------------------------------------------------------------

void StructEditor::EndNested(i64 result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    EndModal(this, result);
    DestroyWindow(this);
}

void StructEditor::OnOk() {
    if (!parent_editor_ || ended_) return;
    // Every edit already told the editors above; OK itself changes nothing.
    changed.Emit();
    EndNested(1);
}

void StructEditor::OnCancel() {
    if (!parent_editor_ || ended_) return;
    std::memcpy(data_.data(), backup_.data(), backup_.size());
    EndNested(0);
}

i64 OpenStructEditorWindow(const StructDefinition& definition, StructEditor* parent, u8* bytes,
                           const std::string& title) {
    auto* editor = new StructEditor(definition, parent, bytes);
    if (!editor->BuildForm()) {
        DestroyWindow(editor);
        return -1;
    }
    editor->SetTitle(title.c_str());
    Window* over = parent ? parent->GetTopLevel() : nullptr;
    if (over) {
        const Rect& r = over->GetFrameScreenRect();
        editor->SetPosition((r.left + r.right - editor->GetWidth()) / 2, (r.top + r.bottom - editor->GetHeight()) / 2);
    } else {
        editor->CenterInParent();
    }
    editor->KeepOnScreen();
    editor->SetVisible(true);
    int ended_by_close = 0;
    const i64 result = RunModal(editor, 0, &ended_by_close);
    if (parent) {
        if (Window* top = parent->GetTopLevel()) ActivateWindow(top, kFocusByProgram);
    }
    return ended_by_close ? 0 : result;
}

// ---- collections and tag lists ------------------------------------------------------

Collection* StructEditor::GetMemberCollection(const TagMember& member, u32 index) {
    if (index >= member.count) return nullptr;
    const u32 id = static_cast<u32>(ReadMemberValue(scope_, member, index));
    return LookupCachedCollection(this, member, index, id);
}

void StructEditor::ResetDependentSequences(const StructMember& collection_member) {
    for (auto& listener : listeners_)
        if (listener->kind() == MemberChangeListener::Kind::SequenceCombo &&
            listener->collection_member() == &collection_member)
            listener->ResetSequence();
}

std::shared_ptr<const TagChoiceList> StructEditor::GetTagChoices(u32 group) {
    for (const auto& entry : tag_choices_)
        if (entry.first == group) return entry.second;
    std::shared_ptr<const TagChoiceList> choices = ListTagChoices(group, *this);
    tag_choices_.emplace_back(group, choices);
    return choices;
}

}  // namespace pirn
