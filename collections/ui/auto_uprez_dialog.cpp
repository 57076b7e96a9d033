#include "collections/ui/auto_uprez_dialog.h"

#include "codex/ui/codex_group_box.h"
#include "collections/local_collection_writer.h"
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

enum UprezControlId : i32 {
    kUprezBrowseId = 2,
    kUprezCreateId = 3,
    kUprezInvertId = 4,
    kUprezOrderId = 5,
    kUprezAlignId = 6,
};

constexpr i32 kLabelWidth = 130;
constexpr i32 kFieldX = kLabelWidth + 4;

}  // namespace

AutoUpResDialog::AutoUpResDialog() {
    SetTitle("Build High-Res Collection");
    SetClientSize(kContentWidth, kContentHeight);
    const Rect area = GetClientRect();
    const DialogRows rows{this, area.left, area.top, kBuilderRowHeight, kBuilderRowGap};

    rows.Label(0, 0, kLabelWidth, "Original Collection:");
    collection_ = new CodexGroupBox(kCollectionGroup, this, 0);
    SetFrame(collection_, MakeRect(area.left + kFieldX, rows.Top(0), 276, kBuilderRowHeight));
    collection_->SetWidth(276);
    rows.Label(1, 0, kLabelWidth, "High-Res Folder:");
    path_ = rows.Box(1, kFieldX, 276, TextBox::kTextField);
    browse_ = rows.ButtonAt(1, kFieldX + 280, 32, "...", kUprezBrowseId);
    create_ = rows.ButtonAt(1, kFieldX + 316, 64, "Create", kUprezCreateId);
    rows.Label(2, 0, kLabelWidth, "Target Scale:");
    scale_ = rows.Box(2, kFieldX, 64, TextBox::kRealField);
    rows.Label(2, kFieldX + 72, 120, "Scale Tolerance:");
    tolerance_ = rows.Box(2, kFieldX + 196, 64, TextBox::kRealField);
    rows.Label(3, 0, kLabelWidth, "Object Scale:");
    object_scale_ = rows.Box(3, kFieldX, 64, TextBox::kRealField);
    invert_ = rows.Check(4, 0, 130, "Invert Alphas", kUprezInvertId);
    order_ = rows.Check(4, 134, 220, "Frames Then Views Ordering", kUprezOrderId);
    align_ = rows.Check(4, 358, 200, "Align Bitmaps Individually", kUprezAlignId);
    ConnectSignal<&AutoUpResDialog::ChooseFolder>(browse_->clicked, this);
    ConnectSignal<&AutoUpResDialog::CreateFolders>(create_->clicked, this);

    collection_->SetTabNext(path_);
    path_->SetTabNext(browse_);
    browse_->SetTabNext(create_);
    create_->SetTabNext(scale_);
    scale_->SetTabNext(tolerance_);
    tolerance_->SetTabNext(object_scale_);
    object_scale_->SetTabNext(invert_);
    invert_->SetTabNext(order_);
    order_->SetTabNext(align_);
    align_->SetTabNext(collection_);  // a closed ring, the buttons go in after the last control
    LinkButtonsAfter(align_);

    // What a first run starts from: the usual doubling of a rendering.
    scale_->SetText("2.0");
    tolerance_->SetText("0.1");
    object_scale_->SetText("1.0");
    PersistFields(false);
    ActivateWindow(path_, kFocusByProgram);
}

void AutoUpResDialog::PersistFields(bool save) {
    PersistDialogFields(kName, save,
                        {{"Collection", collection_},
                         {"HighResPath", path_},
                         {"Scale", scale_},
                         {"ScaleTolerance", tolerance_},
                         {"ObjectScale", object_scale_},
                         {"InvertAlphas", invert_},
                         {"FramesThenViews", order_},
                         {"AlignIndividually", align_}});
}

AutoUpResFields AutoUpResDialog::GetFields() const {
    AutoUpResFields fields;
    fields.collection = collection_->GetSelectedTag();
    fields.high_res_path = path_->GetText();
    fields.scale = scale_->GetText();
    fields.scale_tolerance = tolerance_->GetText();
    fields.object_scale = object_scale_->GetText();
    fields.invert_alphas = invert_->IsChecked();
    fields.frames_then_views = order_->IsChecked();
    fields.align_individually = align_->IsChecked();
    return fields;
}

void AutoUpResDialog::ChooseFolder() {
    std::string folder = path_->GetText();
    if (ChooseExportFolder("Choose High-Res Folder", &folder, nullptr, kFileKindAny, nullptr)) path_->SetText(folder);
}

void AutoUpResDialog::CreateFolders() {
    UserPrompts& prompts = MessageBoxPrompts();
    TagEntry* tag = collection_->GetSelectedTag();
    if (!CheckHighResFoldersCollection(tag, prompts)) return;
    std::string location = path_->GetText();
    if (!ChooseExportFolder("Choose High-Res Folder Location", &location, nullptr, kFileKindAny, nullptr)) return;
    const std::string made = CreateHighResFolders(tag, location, prompts);
    if (!made.empty()) path_->SetText(made);
}

int AutoUpResDialog::OnOK() {
    built_ = nullptr;
    UserPrompts& prompts = MessageBoxPrompts();
    const AutoUpResFields fields = GetFields();
    UpResSettings settings;
    if (!CheckAutoUpResFields(fields, prompts, &settings)) return 0;
    if (!ConfirmUpResTarget(fields.collection, prompts)) return 0;
    PersistFields(true);
    built_ = RunUpRes(fields.collection, settings, prompts);
    return 1;
}

void RunAutoUpResDialog() {
    auto* dialog = new AutoUpResDialog();
    dialog->CenterInParent();
    dialog->RunDialog(0);
    DestroyWindow(dialog);
}

}  // namespace pirn
