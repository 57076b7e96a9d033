#include "editors/ui/dialog_edit_control_dialog.h"

#include "editors/dialog_commands.h"
#include "editors/dialog_control_types.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

enum Row : int { kIdRow = 0, kTagRow = 1, kTypeRow = 2, kTextRow = 3, kRowCount = 4 };

}  // namespace

EditControlDialog::EditControlDialog(const DialogControl& control) : control_(control) {
    SetTitle("Edit Control Data");
    const i32 rowHeight = GetLineHeight() + kRowGap;
    SetClientSize(kWidth, kRowCount * rowHeight);

    AddLabel("ID:", kIdRow);
    id_ = new TextBox(TextBox::kIntegerField, this);
    SetFrame(id_, FieldRect(kIdRow));
    id_->SetInteger(control.id);

    AddLabel("Tag:", kTagRow);
    tag_ = new TextBox(TextBox::kTextField, this);
    SetFrame(tag_, FieldRect(kTagRow));
    tag_->SetMaxLength(4);
    tag_->SetText(ControlTagText(control.type));

    AddLabel("Type:", kTypeRow);
    type_ = new ComboBox(this, 0);
    for (u32 i = 0; i < kDialogControlTypeCount; ++i) {
        const DialogControlType* row = GetDialogControlType(i);
        type_->AddItem(const_cast<DialogControlType*>(row), row->name, false);
    }
    type_->FitDropdown(kTypeRows, false);
    const Rect typeRect = FieldRect(kTypeRow);
    type_->SetPosition(typeRect.left, typeRect.top);
    type_->SetWidth(typeRect.Width());
    const int known = FindDialogControlType(control.type);
    if (known >= 0) type_->SelectByData(GetDialogControlType(static_cast<u32>(known)));
    // Connected after the field was filled: only the user's choice writes.
    ConnectSignal<&EditControlDialog::OnTypeChosen>(type_->selectionChanged, this);

    AddLabel("Text: ", kTextRow);
    text_ = new TextBox(TextBox::kTextEditor, this);
    SetFrame(text_, FieldRect(kTextRow));
    text_->SetMaxLength(kMaxTextLength);
    text_->SetText(control.text);

    SetTabOrder(id_, tag_, type_, text_, nullptr);
    LinkButtonsAfter(text_);
    ActivateWindow(id_, kFocusByProgram);
    id_->SelectAll();
    CenterInParent();
}

TextBox* EditControlDialog::AddLabel(const char* text, int row) {
    auto* label = new TextBox(TextBox::kLabel, this);
    const Rect area = GetClientRect();
    const i32 top = area.top + row * (GetLineHeight() + kRowGap);
    SetFrame(label, Rect{area.left + kLabelX, top, area.left + kFieldX, top + GetLineHeight() + 2});
    label->SetText(text);
    return label;
}

Rect EditControlDialog::FieldRect(int row) const {
    const Rect area = GetClientRect();
    const i32 top = area.top + row * (GetLineHeight() + kRowGap);
    return Rect{area.left + kFieldX, top, area.left + kFieldX + kFieldWidth, top + GetLineHeight() + 4};
}

void EditControlDialog::OnTypeChosen(intptr_t, intptr_t data) {
    const auto* row = reinterpret_cast<const DialogControlType*>(data);
    if (row) tag_->SetText(ControlTagText(row->code));
}

int EditControlDialog::OnOK() {
    DialogControl answer = control_;
    // The number the field holds: an empty field or a lone '-' is 0.
    i32 id = 0;
    if (!id_->GetInteger(&id) || !ApplyControlData(answer, id, tag_->GetText(), text_->GetText())) return 0;
    control_ = answer;
    return 1;
}

bool EditControlDialog::Run() { return RunDialog(kModalKeysOutside | kModalDimBehind) == 1; }

}  // namespace pirn
