#include "collections/ui/auto_collection_dialog.h"

#include "codex/ui/tag_editor_open.h"
#include "collections/ui/builder_dialog_layout.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/file_dialogs.h"
#include "ui/message_box_prompts.h"
#include "ui/remembered_dialog_fields.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

enum ControlId : i32 { kBrowseId = 2, kInvertId = 3, kOrderId = 4 };

constexpr i32 kMaxNameLength = 31;
constexpr i32 kMaxTagIdLength = 4;

}  // namespace

AutoCollectionDialog::AutoCollectionDialog() {
    SetFlags(kStyle);
    SetTitle("Build Standard Collection");
    SetClientSize(kContentWidth, kContentHeight);
    const Rect area = GetClientRect();
    const DialogRows rows{this, area.left, area.top, kBuilderRowHeight, kBuilderRowGap};

    rows.Label(0, 0, 60, "Name:");
    name_ = rows.Box(0, 64, 200, TextBox::kTextField, kMaxNameLength);
    rows.Label(0, 270, 100, "Tagid (opt.):");
    tag_id_ = rows.Box(0, 374, 48, TextBox::kTextField, kMaxTagIdLength);
    rows.Label(1, 0, 60, "Folder:");
    path_ = rows.Box(1, 64, 380, TextBox::kTextField);
    browse_ = rows.ButtonAt(1, 448, 32, "...", kBrowseId);
    rows.Label(2, 0, 60, "Regpoint");
    rows.Label(2, 64, 20, "X:");
    reg_x_ = rows.Box(2, 88, 48, TextBox::kIntegerField);
    rows.Label(2, 140, 20, "Y:");
    reg_y_ = rows.Box(2, 164, 48, TextBox::kIntegerField);
    invert_ = rows.Check(2, 230, 240, "Invert Alphas", kInvertId);
    order_ = rows.Check(3, 230, 250, "Frames Then Views Ordering", kOrderId);
    ConnectSignal<&AutoCollectionDialog::ChooseFolder>(browse_->clicked, this);

    name_->SetTabNext(tag_id_);
    tag_id_->SetTabNext(path_);
    path_->SetTabNext(browse_);
    browse_->SetTabNext(reg_x_);
    reg_x_->SetTabNext(reg_y_);
    reg_y_->SetTabNext(invert_);
    invert_->SetTabNext(order_);
    order_->SetTabNext(name_);  // a closed ring, the buttons go in after the last control
    LinkButtonsAfter(order_);

    PersistFields(false);
    ActivateWindow(name_, kFocusByProgram);
}

void AutoCollectionDialog::PersistFields(bool save) {
    PersistDialogFields(kName, save,
                        {{"Name", name_},
                         {"Path", path_},
                         {"Tagid", tag_id_},
                         {"RegX", reg_x_},
                         {"RegY", reg_y_},
                         {"InvertAlphas", invert_},
                         {"FramesThenViews", order_}});
}

AutoCollectionFields AutoCollectionDialog::GetFields() const {
    AutoCollectionFields fields;
    fields.name = name_->GetText();
    fields.path = path_->GetText();
    fields.tag_id = tag_id_->GetText();
    fields.registration_x = reg_x_->GetText();
    fields.registration_y = reg_y_->GetText();
    fields.invert_alphas = invert_->IsChecked();
    fields.frames_then_views = order_->IsChecked();
    return fields;
}

void AutoCollectionDialog::ChooseFolder() {
    std::string folder = path_->GetText();
    if (ChooseExportFolder("Choose Collection Folder", &folder, nullptr, kFileKindAny, nullptr)) path_->SetText(folder);
}

int AutoCollectionDialog::OnOK() {
    built_ = nullptr;
    CollectionBuildSettings settings;
    u32 tag_id = 0;
    UserPrompts& prompts = MessageBoxPrompts();
    if (!CheckAutoCollectionFields(GetFields(), prompts, &settings, &tag_id)) return 0;
    PersistFields(true);
    built_ = RunAutoCollectionBuild(settings, tag_id, prompts);
    if (!built_) return 0;
    OpenTagEditor(built_);
    return 1;
}

void RunAutoCollectionDialog() {
    auto* dialog = new AutoCollectionDialog();
    dialog->CenterInParent();
    dialog->RunDialog(0);
    DestroyWindow(dialog);
}

}  // namespace pirn
