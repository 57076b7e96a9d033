#pragma once
// ListWindow: the list and tree widget. It shows a tree of items one per row,
// as plain text items or as rows of typed columns read out of the record
// each item points to; selects with mouse and keyboard, opens and closes
// branches, sorts by columns, edits cells in place, finds items by typing,
// lets rows be dragged within the list, and reports through signals and
// owner callbacks.
//
// The items, their order and the rows are a ListTree, the selection a
// ListSelection; the list shows them and turns input into calls on them. It
// shows its own tree or one an owner fills (ShowTree). The item in the first
// row is worked out from the scroll position (and remembered only until the
// tree or the position changes), so it can never point at a deleted item or
// drift from the scrollbar.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/list_cell.h"
#include "ui/list_selection.h"
#include "ui/list_tree.h"
#include "ui/scrollable_window.h"
#include "ui/signal.h"

namespace pirn {

class TextBox;

// Owner callbacks: called with the list's parent window first, and only when
// the list has a parent. The list's destructor calls none of them (its
// parent is already half gone by then): an owner whose records need freeing
// removes the items in its own OnDestroy.
struct ListCallbacks {
    int (*mayOpen)(Window* owner, ListItem* item, void* userData) = nullptr;   // 0 refuses
    int (*mayClose)(Window* owner, ListItem* item, void* userData) = nullptr;  // 0 refuses
    void (*selected)(Window* owner, ListItem* item, void* userData) = nullptr;
    void (*deselected)(Window* owner, ListItem* item, void* userData) = nullptr;
    void (*freeData)(Window* owner, void* userData) = nullptr;
};

// Decides what an in-place edit does with the new text; its result is
// EditCell's.
using EditCellCallback = int (*)(ListItem* item, void* userData, int column, void* argument, const char* text);

class ListWindow : public ScrollableWindow, private ListTreeObserver, private ListSelectionObserver {
public:
    // List flags (the constructor's first argument).
    enum : u32 {
        kTree = 1,
        kColumnMode = 2,
        kLeadingSpace = 4,
        kMultipleSelection = 8,
        kHeaderRow = 32,
        kDraggableRows = 64,
        kNeverEmptySelection = 0x80,
        kSingleClickActivates = 0x100,
    };
    static constexpr u32 kDragPayloadType = 0;
    static constexpr i32 kMarkerWidth = 16;
    static constexpr double kTypeAheadTimeout = 0.5;
    static constexpr double kAutoScrollInterval = 1.0 / 30.0;
    static constexpr i32 kDragThreshold = 2;  // pixels (x plus y) before a press becomes a drag

    // The drag payload of a row.
    struct ListItemDDData : public Window::DragDropData {
        ListItemDDData(ListWindow* source, ListItem* item, i32 offsetX, i32 offsetY);
        ~ListItemDDData() override;
        ListWindow* sourceList;
        ListItem* item;  // null once the item was deleted during the drag
        i32 offsetX;
        i32 offsetY;
    };

    ListWindow(u32 listFlags, u32 styleFlags, Window* parent);
    ~ListWindow() override;

    const char* GetClassName() const override { return "ListWindow"; }
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnChar(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnDoubleClick(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    int OnDragDrop(Point pos, int phase, DragDropData* data) override;
    void OnScrollY(i32 y) override;

    // ---- the models ----
    // The tree shown: the list's own, or the one given to ShowTree.
    ListTree& GetTree() { return *tree_; }
    const ListTree& GetTree() const { return *tree_; }
    ListSelection& GetListSelection() { return selection_; }
    // Shows a tree an owner fills (null: the list's own again). The owner
    // keeps it and lets it outlive the list or takes it back first; one list
    // shows a tree at a time. The selection starts empty.
    void ShowTree(ListTree* tree);

    // ---- columns ----
    // Offsets follow one another (the previous column's offset plus its
    // size); SetColumnFieldOffset places a field where the record has it.
    int AddColumn(const char* title, const char* format, u32 type, u32 fieldSize, i32 width, u32 flags,
                  u32 textFlags);
    void SetColumn(int index, const char* title, i32 width, u32 flags);
    void SetColumnFieldOffset(int index, u32 offset) { tree_->SetColumnFieldOffset(index, offset); }
    void SetHeaderIndent(i32 steps);
    int GetColumnCount() const { return tree_->GetColumnCount(); }
    const ListColumn& GetColumn(int index) const { return tree_->GetColumn(index); }

    // ---- items ----
    ListItem* AddItem(ListItem* parent, i32 image, u32 flags, void* data, const char* text);
    ListItem* AddItemAndLayout(ListItem* parent, i32 image, u32 flags, void* data, const char* text);
    void DeleteItem(ListItem* item);
    void DeleteItemNoUpdate(ListItem* item);
    void RemoveAllItems();
    void Reset();
    void SetItemText(ListItem* item, const char* text) { tree_->SetItemText(item, text); }
    ListItem* GetRoot() { return tree_->GetRoot(); }
    ListItem* GetFirstItem() const { return tree_->GetFirstItem(); }

    void OpenItem(ListItem* item);
    void CloseItem(ListItem* item);
    void ToggleOrActivate(ListItem* item);

    // ---- selection ----
    void SelectItem(ListItem* item, bool extend);
    void ToggleItemSelection(ListItem* item);
    void SelectRange(ListItem* from, ListItem* to);
    void SelectAll();
    void DeselectAllExcept(ListItem* item);
    ListItem* GetSelectedItem() const { return selection_.GetCurrent(); }
    ListItem* GetCurrentItem() const { return selection_.GetCurrent(); }
    // In order of selection.
    const std::vector<ListItem*>& GetSelectionArray() const { return selection_.GetItems(); }
    size_t GetSelectionCount() const { return selection_.GetCount(); }
    // Fills either array (or both); returns the number selected.
    size_t GetSelection(std::vector<ListItem*>* items, std::vector<void*>* data) const;

    // Depth first, each item before its children, from the start item on
    // through its later siblings (from the first top-level item without one).
    ListItem* FindItemByData(const void* value, ListItem* start) const { return tree_->FindItemByData(value, start); }
    void RevealItem(ListItem* item);
    void Sort();
    void UpdateScrollRange();
    i32 GetRowCount() const { return tree_->GetRowCount(); }
    i32 GetTotalHeight() const;
    i32 GetRowHeight() const { return rowHeight_; }
    i32 GetVisibleRowCapacity() const;

    // ---- rows ----
    ListItem* NextRow(const ListItem* item) const { return tree_->NextRow(item); }
    ListItem* PreviousRow(const ListItem* item) const { return tree_->PreviousRow(item); }
    ListItem* FirstRow() const { return tree_->FirstRow(); }
    ListItem* LastRow() const { return tree_->LastRow(); }
    // Row index of a shown item (-1 when an ancestor is closed).
    i64 RowOf(const ListItem* item) const { return tree_->RowOf(item); }
    ListItem* ItemAtRow(i64 row) const { return tree_->ItemAtRow(row); }
    // The item in the first row at the current scroll position.
    ListItem* GetTopRow() const;
    // Item under a point in client coordinates (null on the header or past
    // the last row).
    ListItem* ItemAtClientPoint(Point client) const;
    // Text compared by type-ahead: a text item's text, else the first
    // visible column's cell text.
    std::string DisplayText(const ListItem* item) const;
    std::string CellText(const ListItem* item, int column) const { return tree_->CellText(item, column); }
    // Client rectangle of a cell (the whole row width for a text item).
    Rect CellRect(const ListItem* item, int column) const;
    // The frame width at which a text row at the top level shows a text of
    // this width whole, with the vertical scroll bar beside the rows: the
    // row's inset before the text and as much after it, the borders and
    // the bar.
    i32 FrameWidthForRowText(i32 textWidth) const;

    // ---- in-place editing ----
    int EditItem(ListItem* item);
    int EditCell(ListItem* item, int column, EditCellCallback callback, void* argument);
    // The text box while an edit runs (null otherwise).
    TextBox* GetEditBox() const { return editBox_; }

    // ---- type-ahead ----
    void TypeAhead(const std::string& prefix);
    const std::string& GetTypedPrefix() const { return typed_; }

    // ---- drag state ----
    i32 GetDropRow() const { return dropRow_; }
    int GetAutoScrollDirection() const { return autoScroll_; }

    u32 GetListFlags() const { return listFlags_; }
    ListCallbacks callbacks;

    SignalPtr activated;          // item
    SignalPtrInt rowMoved;        // item, target row
    SignalNone selectionChanged;
    SignalNone deleteRequested;
    SignalPair contextClick;      // x, y (screen)

protected:
    // The payload a row drag carries: a ListItemDDData of the dragged item,
    // offset where the row was pressed. A list whose rows stand for other
    // things (bitmaps of a collection) returns a class derived from it that
    // carries those too; the rows still move within the list.
    virtual ListItemDDData* MakeRowDragData(ListItem* item, i32 offsetX, i32 offsetY);

private:
    // ListTreeObserver: drops every reference into a subtree that goes.
    void SubtreeRemoving(ListItem* item) override;
    void RowsChanged() override;
    void ItemChanged(ListItem* item) override;
    // ListSelectionObserver: the owner's callbacks.
    void ItemSelected(ListItem* item) override;
    void ItemDeselected(ListItem* item) override;
    static void FreeUserData(void* list, void* userData);

    void HeaderClick(i32 x);
    void MoveCurrentRow(i64 delta, bool toEnd, bool toStart, bool extend);
    void ClearSelection(bool notify);
    void EmitLostSelection();
    i64 PageRows() const;
    i32 HeaderHeight() const;
    bool HasHeader() const;
    i32 FirstCellLeft(const ListItem* item) const;
    i32 FirstCellLeftAtDepth(i32 depth) const;
    void DrawRow(const ListItem* item, i32 y, bool focused);
    // A row's own text colour as drawn on the row's selection highlight.
    u32 SelectedTextColor(u32 color, bool focused) const;
    void ForEachSelectedCopy(void (ListWindow::*action)(ListItem*));

    u32 listFlags_;
    ListTree ownTree_;
    ListTree* tree_ = &ownTree_;
    ListSelection selection_;
    // A selected item went with a deleted subtree: the selection-changed
    // signal follows once the tree is whole again.
    bool selectionLost_ = false;
    bool holdSelectionSignal_ = false;
    i32 rowHeight_ = 14;
    i32 indentStep_ = 14;
    i32 headerIndent_ = 0;
    std::string typed_;
    double lastTypedTime_ = 0.0;
    i32 dropRow_ = -1;
    int autoScroll_ = 0;
    double lastAutoScrollTime_ = 0.0;
    bool dragArmed_ = false;
    Point pressPoint_;
    ListItem* editItem_ = nullptr;
    int editColumn_ = -1;
    TextBox* editBox_ = nullptr;
    ListItemDDData* activeDrag_ = nullptr;
    // Top-row cache: valid while the tree is unchanged.
    mutable ListItem* topCache_ = nullptr;
    mutable i64 topCacheRow_ = -1;
    mutable u64 topCacheVersion_ = 0;
    static bool painterRegistered_;
};

}  // namespace pirn
