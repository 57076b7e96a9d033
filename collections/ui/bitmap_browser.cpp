#include "collections/ui/bitmap_browser.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "collections/bitmap_browser_commands.h"
#include "collections/bitmap_export.h"
#include "collections/bitmap_import.h"
#include "collections/collection_messages.h"
#include "collections/plate.h"
#include "collections/ui/bitmap_browser_window.h"
#include "collections/ui/bitmap_drag_data.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "collections/x256_texts.h"
#include "platform/native_dialog_request.h"
#include "platform/strings.h"
#include "ui/file_dialogs.h"
#include "ui/grid_window.h"
#include "ui/input_box.h"
#include "ui/menu.h"
#include "ui/message_box_prompts.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"
#include "ui/window_drag.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

using namespace x256_text;

// Entries that open a submenu carry an id no command has.
constexpr i32 kSubmenuId = 1000;

std::vector<const CollectionBitmap*> Const(const std::vector<CollectionBitmap*>& bitmaps) {
    return std::vector<const CollectionBitmap*>(bitmaps.begin(), bitmaps.end());
}

void CopyText(char* field, size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(size - 1, text.size()));
}

// Asks a question with the collection editor's captions; whether the first
// button was pressed.
bool Confirm(const char* caption, const std::string& text, const char* yes) {
    return ShowMessageBox(caption, text.c_str(), yes, kCancelButton, nullptr) == 0;
}

}  // namespace

const X256BitmapBrowser::ActionEntry X256BitmapBrowser::kActions[] = {
    {kExport, kExportEntry, kExportCommand, kExportCommand + 1, false},
    {kExportAlpha, kExportAlphaEntry, kExportAlphaCommand, kExportAlphaCommand + 1, true},
    {kExportPlate, kExportPlateEntry, kExportPlateCommand, kExportPlateCommand + 1, true},
    {kExportAlphaPlate, kExportAlphaPlateEntry, kExportAlphaPlateCommand, kExportAlphaPlateCommand + 1, true},
    {kReplace, kReplaceEntry, kReplaceCommand, kReplaceCommand + 1, false},
    {kReplaceAlpha, kReplaceAlphaEntry, kReplaceAlphaCommand, kReplaceAlphaCommand + 1, true},
    {kReplaceFromPlate, kReplaceFromPlateEntry, kReplaceFromPlateCommand, kReplaceFromPlateCommand + 1, true},
    {kReplaceAlphaFromPlate, kReplaceAlphaFromPlateEntry, kReplaceAlphaFromPlateCommand,
     kReplaceAlphaFromPlateCommand + 1, true},
    {kRemoveAlpha, kRemoveAlphaEntry, kRemoveAlphaCommand, kRemoveAlphaCommand + 1, true},
    {kToRle, kConvertToRleEntry, kToRleCommand, kToRleAllCommand, true},
    {kToRaw, kConvertToRawEntry, kToRawCommand, kToRawAllCommand, true},
    {kCrop, kCropEntry, kCropCommand, kCropCommand + 1, true},
    {kUncrop, kUncropEntry, kUncropCommand, kUncropCommand + 1, true},
    {kDelete, kDeleteEntry, kDeleteCommand, kDeleteCommand + 1, false},
};

X256BitmapBrowser::X256BitmapBrowser(X256Edit* editor, Mode mode, Window* parent)
    : ListGridWindow(kVisible, parent), editor_(editor), collection_(&editor->GetCollection()), mode_(mode) {
    SetTitle(mode == kShadowMode ? kShadowsTab : kBitmapsTab);
    BuildViews();
    RefreshBitmapList();
}

X256BitmapBrowser::~X256BitmapBrowser() {
    // The table (deleted after this, with the other children) points at
    // the rows.
    if (table_) table_->RemoveAllItems();
}

void X256BitmapBrowser::BuildViews() {
    grid_ = new GridWindow(GridWindow::kMultipleSelection, kVisible, nullptr);
    grid_->SetTitle(kGridTitle);
    grid_->SetCallbackContext(this);
    grid_->SetDrawCellCallback(&X256BitmapBrowser::DrawCell);
    grid_->SetActivateCallback(&X256BitmapBrowser::ActivateCell);
    grid_->SetDragCallback(&X256BitmapBrowser::DragCells);
    grid_->BindZoomPref(kGridZoomKey);
    SetGridView(grid_);
    table_ = new BitmapTableList(collection_, nullptr);
    SetListView(table_);
    label_ = CreateLabel(this, "");
    label_->SetPosition(kLabelX, kLabelY);
    label_->SetSize(kLabelWidth, kLabelHeight);

    ConnectSignal<&X256BitmapBrowser::OnContextClick>(grid_->contextClick, this);
    ConnectSignal<&X256BitmapBrowser::OnContextClick>(table_->contextClick, this);
    ConnectSignal<&X256BitmapBrowser::OnTableActivated>(table_->activated, this);
    ConnectSignal<&X256BitmapBrowser::OnRowMoved>(table_->rowMoved, this);
    ConnectSignal<&X256BitmapBrowser::OnViewChanged>(viewChanged, this);
}

void X256BitmapBrowser::Layout() {
    ListGridWindow::Layout();
    if (label_) label_->SetPosition(kLabelX, kLabelY);
}

// ---- rows ------------------------------------------------------------------

void X256BitmapBrowser::RefreshBitmapList() {
    const std::vector<CollectionBitmap*> selected = GetSelectedBitmaps();
    const i32 gridScroll = grid_->GetScrollY();
    const i32 tableScroll = table_->GetScrollY();

    rowBitmaps_ = PageBitmaps(*collection_, ShowsShadows());
    const size_t n = rowBitmaps_.size();
    // The table's items point at the rows: they go first.
    table_->RemoveAllItems();
    rows_.clear();
    rows_.reserve(n);
    grid_->DeselectAll();
    grid_->SetCellCount(static_cast<i32>(n));
    for (size_t i = 0; i < n; ++i) {
        CollectionBitmap* bitmap = rowBitmaps_[i];
        auto row = std::make_unique<BitmapRow>();
        CopyText(row->name, sizeof row->name, bitmap->name);
        CopyText(row->bits, sizeof row->bits, BitmapBitsText(*bitmap));
        CopyText(row->format, sizeof row->format, BitmapFormatText(*bitmap));
        CopyText(row->dimensions, sizeof row->dimensions, BitmapDimensionsText(*bitmap));
        row->bitmap = bitmap;
        grid_->SetCellData(static_cast<i32>(i), bitmap);
        grid_->SetCellLabel(static_cast<i32>(i), bitmap->name);
        table_->AddItem(nullptr, 0, 0, row.get(), nullptr);
        rows_.push_back(std::move(row));
    }
    table_->UpdateScrollRange();
    grid_->SetScrollY(gridScroll);
    table_->SetScrollY(tableScroll);

    std::vector<CollectionBitmap*> kept;
    const std::unordered_set<CollectionBitmap*> present(rowBitmaps_.begin(), rowBitmaps_.end());
    for (CollectionBitmap* bitmap : selected)
        if (present.count(bitmap)) kept.push_back(bitmap);
    SelectBitmaps(kept);
    label_->SetText(BitmapCountLabel(n, ShowsShadows()));
    for (void* window : editor_->Blocks().Windows(ElementBlocks::kBitmapWindow))
        static_cast<BitmapWindow*>(window)->RefreshTitle();
    ShowUsageColors();
    Invalidate();
}

void X256BitmapBrowser::ShowUsageColors() {
    MarkUsedBitmaps(collection_);
    rowColors_.assign(rowBitmaps_.size(), kUsedRowColor);
    for (size_t i = 0; i < rowBitmaps_.size(); ++i) {
        rowColors_[i] = rowBitmaps_[i]->in_use ? kUsedRowColor : kUnusedRowColor;
        grid_->SetCellLabelColor(static_cast<i32>(i), rowColors_[i]);
    }
    for (ListItem* item = table_->GetFirstItem(); item; item = item->next)
        if (auto* row = static_cast<BitmapRow*>(item->userData))
            item->textColor = row->bitmap->in_use ? kUsedRowColor : kUnusedRowColor;
    grid_->Invalidate();
    table_->Invalidate();
}

std::string X256BitmapBrowser::GetLabelText() const { return label_->GetText(); }

u32 X256BitmapBrowser::GetRowColor(size_t row) const { return row < rowColors_.size() ? rowColors_[row] : 0; }

std::vector<CollectionBitmap*> X256BitmapBrowser::GetSelectedBitmaps() const {
    if (!IsGridActive()) return table_->SelectedBitmaps();
    std::vector<CollectionBitmap*> bitmaps;
    for (void* data : grid_->GetSelectedData()) bitmaps.push_back(static_cast<CollectionBitmap*>(data));
    return bitmaps;
}

void X256BitmapBrowser::SelectBitmaps(const std::vector<CollectionBitmap*>& bitmaps) {
    const std::unordered_set<const CollectionBitmap*> chosen(bitmaps.begin(), bitmaps.end());
    grid_->DeselectAll();
    for (size_t i = 0; i < rowBitmaps_.size(); ++i)
        if (chosen.count(rowBitmaps_[i])) grid_->SelectCell(static_cast<i32>(i));
    table_->DeselectAllExcept(nullptr);
    for (ListItem* item = table_->GetFirstItem(); item; item = item->next) {
        auto* row = static_cast<BitmapRow*>(item->userData);
        if (row && chosen.count(row->bitmap)) table_->SelectItem(item, true);
    }
}

void X256BitmapBrowser::OnViewChanged() {
    // The view that came to the front takes the other one's selection.
    std::vector<CollectionBitmap*> selected;
    if (IsGridActive()) {
        selected = table_->SelectedBitmaps();
    } else {
        for (void* data : grid_->GetSelectedData()) selected.push_back(static_cast<CollectionBitmap*>(data));
    }
    SelectBitmaps(selected);
}

void X256BitmapBrowser::Changed() {
    RefreshBitmapList();
    collectionChanged.Emit();
}

void X256BitmapBrowser::ForgetPictures() const {
    for (const auto& bitmap : collection_->bitmaps) ForgetCollectionBitmap(bitmap.get());
}

// ---- views -----------------------------------------------------------------

void X256BitmapBrowser::DrawCell(void* context, const Rect& imageRect, void* cellData) {
    auto* self = static_cast<X256BitmapBrowser*>(context);
    if (cellData) DrawCollectionBitmapInto(*self->collection_, *static_cast<CollectionBitmap*>(cellData), 0, imageRect);
}

void X256BitmapBrowser::ActivateCell(void* context, void* cellData) {
    if (cellData) static_cast<X256BitmapBrowser*>(context)->OpenBitmapWindow(static_cast<CollectionBitmap*>(cellData));
}

void X256BitmapBrowser::DragCells(void* context, GridWindow* grid, i32 pressedCell) {
    auto* self = static_cast<X256BitmapBrowser*>(context);
    // A press on a cell outside the selection drags that cell alone.
    if (pressedCell >= 0 && !grid->IsCellSelected(pressedCell)) {
        grid->DeselectAll();
        grid->SelectCell(pressedCell);
    }
    std::vector<CollectionBitmap*> bitmaps;
    for (void* data : grid->GetSelectedData()) bitmaps.push_back(static_cast<CollectionBitmap*>(data));
    Window::DragDropData* payload = MakeBitmapDragData(self->collection_, bitmaps);
    if (payload && !StartDragDrop(grid, payload, ForwardMouseDrag)) delete payload;
}

void X256BitmapBrowser::OnTableActivated(void* item) {
    auto* row = item ? static_cast<BitmapRow*>(static_cast<ListItem*>(item)->userData) : nullptr;
    if (row) OpenBitmapWindow(row->bitmap);
}

void X256BitmapBrowser::OnRowMoved(intptr_t item, i32 row) {
    auto* moved = reinterpret_cast<ListItem*>(item);
    auto* data = moved ? static_cast<BitmapRow*>(moved->userData) : nullptr;
    if (data && row >= 0) MoveRow(data->bitmap, static_cast<u32>(row));
}

void X256BitmapBrowser::MoveRow(CollectionBitmap* bitmap, u32 row) {
    // The rows as the table shows them (its order may be sorted).
    std::vector<CollectionBitmap*> shown;
    for (ListItem* item = table_->FirstRow(); item; item = table_->NextRow(item))
        if (auto* data = static_cast<BitmapRow*>(item->userData)) shown.push_back(data->bitmap);
    if (MoveBitmapToRow(collection_, bitmap, shown, row) == kNotFound) return;
    RefreshBitmapList();
    SelectBitmaps({bitmap});
    collectionChanged.Emit();
}

BitmapWindow* X256BitmapBrowser::OpenBitmapWindow(CollectionBitmap* bitmap) {
    if (void* open = editor_->Blocks().FindWindow(ElementBlocks::kBitmapWindow, bitmap)) {
        auto* window = static_cast<BitmapWindow*>(open);
        RaiseWindow(window);
        ActivateWindow(window, kFocusByProgram);
        return window;
    }
    auto* window = new BitmapWindow(*collection_, bitmap, &editor_->Blocks());
    window->SetOwner(editor_);  // it shows the editor's collection: it goes with the editor
    const Point at = NextCascadePosition();
    window->SetPosition(at.x, at.y);
    window->KeepOnScreen();
    RaiseWindow(window);
    ActivateWindow(window, kFocusByProgram);
    return window;
}

bool X256BitmapBrowser::CheckBitmapsClosed(const std::vector<CollectionBitmap*>& bitmaps, const char* verb) {
    const ElementBlocks& blocks = editor_->Blocks();
    if (CollectionBitmap* open = blocks.FirstShown(ElementBlocks::kBitmapWindow, bitmaps)) {
        ShowError("%s", BitmapOpenText(*open, verb).c_str());
        return false;
    }
    return true;
}

// ---- context menu ----------------------------------------------------------

Menu* X256BitmapBrowser::BuildContextMenu() const {
    auto* menu = new Menu(false);
    const std::vector<CollectionBitmap*> selected = GetSelectedBitmaps();
    const bool shadows = ShowsShadows();
    if (selected.size() == 1) Menu::AddItem(menu, kRenameEntry, nullptr, kRenameCommand, true);
    const char* selectedTitle = shadows ? (selected.size() == 1 ? kSelectedShadow : kSelectedShadows)
                                        : (selected.size() == 1 ? kSelectedBitmap : kSelectedBitmaps);
    MenuItem* some = Menu::AddItem(menu, selectedTitle, nullptr, kSubmenuId, !selected.empty());
    MenuItem* all = Menu::AddItem(menu, shadows ? kAllShadows : kAllBitmaps, nullptr, kSubmenuId + 1,
                                  !rowBitmaps_.empty());
    for (const auto& [parent, useAll] : {std::pair{some, false}, std::pair{all, true}}) {
        MenuItem* format = nullptr;
        for (const ActionEntry& entry : kActions) {
            if (entry.bitmapsOnly && shadows) continue;
            const i32 id = useAll ? entry.allId : entry.selectedId;
            if (entry.action == kToRle || entry.action == kToRaw) {
                if (!format) format = Menu::AddItem(menu, kFormatEntry, parent, kSubmenuId + 2, true);
                Menu::AddItem(menu, entry.title, format, id, true);
            } else {
                Menu::AddItem(menu, entry.title, parent, id, true);
            }
        }
    }
    Menu::AddItem(menu, shadows ? kAddShadowsEntry : kAddBitmapsEntry, nullptr, kAddFromFilesCommand, true);
    if (!shadows) Menu::AddItem(menu, kAddFromPlateEntry, nullptr, kAddFromPlateCommand, true);
    return menu;
}

void X256BitmapBrowser::ShowContextMenu(Point screen) {
    Menu* menu = BuildContextMenu();
    const i32 command = Menu::Popup(menu, screen);
    DestroyWindow(menu);
    if (command >= 0 && command < kSubmenuId) RunCommand(command);
}

void X256BitmapBrowser::OnContextClick(intptr_t x, intptr_t y) {
    ShowContextMenu(Point{static_cast<i32>(x), static_cast<i32>(y)});
}

void X256BitmapBrowser::RunCommand(i32 command) {
    if (command == kRenameCommand) return Rename();
    if (command == kAddFromFilesCommand) return AddFromFiles();
    if (command == kAddFromPlateCommand) return ShowsShadows() ? void() : AddFromPlate();
    for (const ActionEntry& entry : kActions) {
        if (entry.bitmapsOnly && ShowsShadows()) continue;
        if (command == entry.selectedId) {
            const std::vector<CollectionBitmap*> selected = GetSelectedBitmaps();
            if (!selected.empty()) RunAction(entry.action, selected, false);
            return;
        }
        if (command == entry.allId) {
            if (!rowBitmaps_.empty()) RunAction(entry.action, rowBitmaps_, true);
            return;
        }
    }
}

void X256BitmapBrowser::RunAction(Action action, const std::vector<CollectionBitmap*>& chosen, bool all) {
    // The command works on its own copy: refreshing replaces the rows.
    const std::vector<CollectionBitmap*> bitmaps = chosen;
    switch (action) {
        case kExport: return Export(bitmaps, false);
        case kExportAlpha: return Export(bitmaps, true);
        case kExportPlate: return ExportPlateFile(bitmaps, false);
        case kExportAlphaPlate: return ExportPlateFile(bitmaps, true);
        case kReplace: return Replace(bitmaps, ShowsShadows() ? kReplaceShadows : kReplaceBitmaps);
        case kReplaceAlpha: return Replace(bitmaps, kReplaceAlphas);
        case kReplaceFromPlate: return ReplaceFromPlate(bitmaps, false);
        case kReplaceAlphaFromPlate: return ReplaceFromPlate(bitmaps, true);
        case kRemoveAlpha:
            ForgetPictures();
            RemoveBitmapsAlpha(bitmaps);
            return Changed();
        case kToRle:
        case kToRaw:
            if (SetBitmapsRle(bitmaps, action == kToRle)) Changed();
            return;
        case kCrop: return Crop(bitmaps, all);
        case kUncrop: return Uncrop(bitmaps);
        case kDelete: return Delete(bitmaps, all);
    }
}

// ---- commands --------------------------------------------------------------

void X256BitmapBrowser::Rename() {
    const std::vector<CollectionBitmap*> selected = GetSelectedBitmaps();
    if (selected.size() != 1) return;
    CollectionBitmap* bitmap = selected[0];
    if (!IsGridActive()) {
        ListItem* item = table_->GetFirstItem();
        while (item && !(item->userData && static_cast<BitmapRow*>(item->userData)->bitmap == bitmap)) item = item->next;
        if (!item) return;
        const int edited = table_->EditCell(
            item, BitmapTableList::kNameColumn,
            [](ListItem*, void* data, int, void*, const char* text) {
                SetElementName(static_cast<BitmapRow*>(data)->bitmap->name, text);
                return 1;
            },
            nullptr);
        if (!edited) return;
    } else {
        std::string name = bitmap->name;
        if (ShowInputBox(kRenamePrompt, &name, kOkButton, kCancelButton, nullptr) != 0) return;
        SetElementName(bitmap->name, name.c_str());
    }
    RefreshBitmapList();
    SelectBitmaps({bitmap});
    collectionChanged.Emit();
}

void X256BitmapBrowser::Export(const std::vector<CollectionBitmap*>& bitmaps, bool alpha) {
    UserPrompts& prompts = MessageBoxPrompts();
    if (bitmaps.size() == 1) {
        ImageFile file;
        file.path = DefaultExportName(*bitmaps[0], alpha);
        if (!ChooseSaveFile(alpha ? collection_text::kExportAlphaTitle : collection_text::kExportBitmapTitle, &file,
                            kFileKindImage, nullptr))
            return;
        ExportBitmapToFile(*collection_, *bitmaps[0], alpha, file.path, file.type, prompts);
        return;
    }
    FileDialogOptions options;
    AddFileDialogChoices(options, kModeChoiceLabel, static_cast<int>(GetBitmapImportMappingMode()),
                         {{kByNumbering, kMapByOrder}, {kByBitmapName, kMapByName}});
    std::string folder;
    u32 type = 0;
    if (!ChooseExportFolder(collection_text::kDestinationFolderTitle, &folder, &type, kFileKindImage, &options))
        return;
    const u32 mode = GetFileDialogChoice(options, 0);
    SetBitmapImportMappingMode(mode);
    ExportBitmaps(*collection_, Const(bitmaps), alpha, folder, mode, type, prompts);
}

void X256BitmapBrowser::ExportPlateFile(const std::vector<CollectionBitmap*>& bitmaps, bool alpha) {
    ImageFile file;
    file.path = DefaultPlateName(*collection_, alpha);
    if (!ChooseSaveFile(collection_text::kExportPlateTitle, &file, kFileKindImage, nullptr)) return;
    ExportPlate(*collection_, Const(bitmaps), alpha, 0, file.path, file.type, MessageBoxPrompts());
}

void X256BitmapBrowser::Replace(const std::vector<CollectionBitmap*>& bitmaps, u32 kind) {
    if (!CheckBitmapsClosed(bitmaps, kReplacingVerb)) return;
    FileDialogOptions options;
    AddFileDialogChoices(options, kReplaceChoiceLabel, static_cast<int>(GetBitmapImportMappingMode()),
                         {{kByOrder, kMapByOrder}, {kByName, kMapByName}});
    std::vector<ImageFile> files;
    const ReplaceKind replaceKind = static_cast<ReplaceKind>(kind);
    if (!ChooseOpenFiles(ReplaceDialogTitle(replaceKind, bitmaps.size()), &files, kFileKindImage, &options)) return;
    const u32 mode = GetFileDialogChoice(options, 0);
    SetBitmapImportMappingMode(mode);
    std::vector<std::string> paths;
    for (const ImageFile& file : files) paths.push_back(file.path);
    ForgetPictures();
    if (ReplaceBitmapsFromFiles(collection_, paths, bitmaps, replaceKind, mode, MessageBoxPrompts()) > 0) Changed();
}

void X256BitmapBrowser::ReplaceFromPlate(const std::vector<CollectionBitmap*>& bitmaps, bool alpha) {
    if (!CheckBitmapsClosed(bitmaps, kReplacingVerb)) return;
    ImageFile file;
    if (!ChooseOpenFile(alpha ? kImportAlphaPlateTitle : kImportPlateTitle, &file, kFileKindImage, nullptr)) return;
    ForgetPictures();
    const bool done = alpha ? ImportAlphaPlate(&file, bitmaps, MessageBoxPrompts())
                            : ImportColorPlate(collection_, &file, bitmaps, MessageBoxPrompts()) > 0;
    if (done) Changed();
}

void X256BitmapBrowser::Crop(const std::vector<CollectionBitmap*>& bitmaps, bool all) {
    if (!Confirm(kMessageCaption, CropQuestionText(rowBitmaps_.size(), bitmaps.size(), all), kCropButton)) return;
    if (!CheckBitmapsClosed(bitmaps, kCroppingVerb)) return;
    const CropOutcome outcome = CropBitmaps(collection_, bitmaps);
    ShowMessageBox(kMessageCaption, CropReportText(outcome.cropped, outcome.pixels).c_str(), kOkButton, nullptr);
    if (outcome.cropped > 0) Changed();
}

void X256BitmapBrowser::Uncrop(const std::vector<CollectionBitmap*>& bitmaps) {
    std::string typed;
    if (ShowInputBox(kUncropPrompt, &typed, kUncropButton, kCancelButton, nullptr) != 0) return;
    u32 size = 0;
    if (!ParseUncropSize(typed, &size)) {
        ShowError("%s", kBadUncropSize);
        return;
    }
    if (!CheckBitmapsClosed(bitmaps, kCroppingVerb)) return;
    if (UncropBitmaps(collection_, bitmaps, size) > 0) Changed();
}

void X256BitmapBrowser::Delete(const std::vector<CollectionBitmap*>& bitmaps, bool all) {
    const std::string question = DeleteQuestionText(rowBitmaps_.size(), bitmaps.size(), all, ShowsShadows());
    if (!Confirm(kDeletionCaption, question, kDeleteButton)) return;
    if (!CheckBitmapsClosed(bitmaps, kDeletingVerb)) return;
    ForgetPictures();
    DeleteBitmaps(collection_, bitmaps);
    Changed();
}

void X256BitmapBrowser::AddFromFiles() {
    std::vector<ImageFile> files;
    if (!ChooseOpenFiles(ShowsShadows() ? kImportShadowsTitle : kImportBitmapsTitle, &files, kFileKindImage, nullptr))
        return;
    std::vector<std::string> paths;
    for (const ImageFile& file : files) paths.push_back(file.path);
    if (AddBitmapsFromFiles(collection_, paths, ShowsShadows(), MessageBoxPrompts()) > 0) Changed();
}

void X256BitmapBrowser::AddFromPlate() {
    ImageFile file;
    if (!ChooseOpenFile(kImportPlateTitle, &file, kFileKindImage, nullptr)) return;
    if (ImportColorPlate(collection_, &file, {}, MessageBoxPrompts()) > 0) Changed();
}

}  // namespace pirn
