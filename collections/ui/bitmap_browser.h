#pragma once
// X256BitmapBrowser: the "Bitmaps" and "Shadows" pages of the collection
// editor. The page's bitmaps (sprites, or shadows) as a grid of thumbnails
// or as a table, a context menu with every per-bitmap command, full-size
// bitmap windows on a double click, and drags of bitmaps to the sequence
// editors. The commands' bodies are free functions of the collection
// (collections/bitmap_browser_commands.h, bitmap_import.h, bitmap_export.h,
// plate.h); the page asks, checks that no window shows what a command would
// free, runs them and refreshes.
//
// After every command that changed the collection the page refills its
// rows and emits collectionChanged (the editor marks the tag modified).

#include <memory>
#include <string>
#include <vector>

#include "collections/collection.h"
#include "collections/ui/bitmap_browser_table.h"
#include "ui/list_grid_window.h"
#include "ui/signal.h"

namespace pirn {

class BitmapWindow;
class GridWindow;
class Menu;
class TextBox;
class X256Edit;

class X256BitmapBrowser : public ListGridWindow {
public:
    enum Mode : u32 { kBitmapMode = 0, kShadowMode = 1 };
    // Context menu commands: the per-bitmap ones on the selection, and with
    // the "All" id on every row of the page.
    enum Command : i32 {
        kRenameCommand = 0,
        kExportCommand = 1,
        kExportPlateCommand = 3,
        kExportAlphaPlateCommand = 5,
        kExportAlphaCommand = 7,
        kReplaceCommand = 9,
        kReplaceAlphaCommand = 11,
        kReplaceFromPlateCommand = 13,
        kReplaceAlphaFromPlateCommand = 15,
        kDeleteCommand = 17,
        kRemoveAlphaCommand = 19,
        kToRleCommand = 21,
        kToRawCommand = 22,
        kToRleAllCommand = 23,
        kToRawAllCommand = 24,
        kCropCommand = 25,
        kUncropCommand = 27,
        kAddFromFilesCommand = 29,
        kAddFromPlateCommand = 30,
    };
    static constexpr i32 kLabelX = 4;
    static constexpr i32 kLabelY = 4;
    static constexpr i32 kLabelWidth = 200;
    static constexpr i32 kLabelHeight = 20;
    static constexpr u32 kUnusedRowColor = 0xFFC0C0C0u;
    static constexpr u32 kUsedRowColor = 0xFFFFFFFFu;

    X256BitmapBrowser(X256Edit* editor, Mode mode, Window* parent);
    ~X256BitmapBrowser() override;

    const char* GetClassName() const override { return "X256BitmapBrowser"; }
    void Layout() override;

    Mode GetMode() const { return mode_; }
    bool ShowsShadows() const { return mode_ == kShadowMode; }

    // Rebuilds the rows from the collection, keeping both views' scroll
    // positions and the selection of bitmaps still there; updates the label.
    void RefreshBitmapList();
    // White rows for bitmaps a sequence shows, grey for the others.
    void ShowUsageColors();

    // The page's bitmaps in row order (collection order).
    const std::vector<CollectionBitmap*>& GetRowBitmaps() const { return rowBitmaps_; }
    std::vector<CollectionBitmap*> GetSelectedBitmaps() const;
    // Selects exactly these bitmaps in both views.
    void SelectBitmaps(const std::vector<CollectionBitmap*>& bitmaps);
    GridWindow* GetGrid() const { return grid_; }
    BitmapTableList* GetTable() const { return table_; }
    TextBox* GetLabel() const { return label_; }
    // The label's text and a row's label colour (tests).
    std::string GetLabelText() const;
    u32 GetRowColor(size_t row) const;

    // The context menu as it stands now (the caller destroys it), and the
    // popup of it at a screen point that runs the chosen command.
    Menu* BuildContextMenu() const;
    void ShowContextMenu(Point screen);
    void RunCommand(i32 command);

    // Opens the bitmap's window, or raises the one already open.
    BitmapWindow* OpenBitmapWindow(CollectionBitmap* bitmap);
    // The error box for the first of the bitmaps shown in a window; whether
    // none is.
    bool CheckBitmapsClosed(const std::vector<CollectionBitmap*>& bitmaps, const char* verb);
    // Moves a table row to row `row` (the list's row move).
    void MoveRow(CollectionBitmap* bitmap, u32 row);

    SignalNone collectionChanged;

private:
    enum Action {
        kExport, kExportAlpha, kExportPlate, kExportAlphaPlate, kReplace, kReplaceAlpha, kReplaceFromPlate,
        kReplaceAlphaFromPlate, kRemoveAlpha, kToRle, kToRaw, kCrop, kUncrop, kDelete,
    };
    struct ActionEntry {
        Action action;
        const char* title;
        i32 selectedId;
        i32 allId;
        bool bitmapsOnly;
    };
    static const ActionEntry kActions[];

    void BuildViews();
    void Changed();
    void ForgetPictures() const;
    void SyncSelection();
    // Runs a per-bitmap action on the bitmaps (the whole page with all).
    void RunAction(Action action, const std::vector<CollectionBitmap*>& bitmaps, bool all);
    void Rename();
    void Export(const std::vector<CollectionBitmap*>& bitmaps, bool alpha);
    void ExportPlateFile(const std::vector<CollectionBitmap*>& bitmaps, bool alpha);
    void Replace(const std::vector<CollectionBitmap*>& bitmaps, u32 kind);
    void ReplaceFromPlate(const std::vector<CollectionBitmap*>& bitmaps, bool alpha);
    void Crop(const std::vector<CollectionBitmap*>& bitmaps, bool all);
    void Uncrop(const std::vector<CollectionBitmap*>& bitmaps);
    void Delete(const std::vector<CollectionBitmap*>& bitmaps, bool all);
    void AddFromFiles();
    void AddFromPlate();

    // View callbacks and slots.
    static void DrawCell(void* context, const Rect& imageRect, void* cellData);
    static void ActivateCell(void* context, void* cellData);
    static void DragCells(void* context, GridWindow* grid, i32 pressedCell);
    void OnTableActivated(void* item);
    void OnRowMoved(intptr_t item, i32 row);
    void OnContextClick(intptr_t x, intptr_t y);
    void OnViewChanged();

    X256Edit* editor_;
    Collection* collection_;
    Mode mode_;
    GridWindow* grid_ = nullptr;
    BitmapTableList* table_ = nullptr;
    TextBox* label_ = nullptr;
    std::vector<CollectionBitmap*> rowBitmaps_;
    std::vector<std::unique_ptr<BitmapRow>> rows_;
    std::vector<u32> rowColors_;
};

}  // namespace pirn
