#pragma once
// ListWindow: the list and tree widget. It shows a tree of items one per row,
// as plain text items or as rows of typed columns read out of the record
// each item points to; selects with mouse and keyboard, opens and closes
// branches, sorts by columns, edits cells in place, finds items by typing,
// lets rows be dragged within the list, and reports through signals and
// owner callbacks.
//
// Only the rows-below counts are kept beside the tree: every row operation
// walks the tree. The item in the first row is worked out from the scroll
// position (and remembered only until the tree or the position changes), so
// it can never point at a deleted item or drift from the scrollbar.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/list_cell.h"
#include "ui/scrollable_window.h"
#include "ui/signal.h"

namespace pirn {

class TextBox;

struct ListItem {
    enum : u32 {
        kSelected = 1,      // kept by the list; never taken from the caller
        kOpen = 2,          // needs kExpandable; given to AddItem it opens the item
        kTextItem = 8,      // shows its text instead of column cells
        kExpandable = 16,   // has or may have children
        kHasImage = 32,
        kDisabled = 64,     // cannot be selected; drawn grey
        kSortWhenOpened = 0x40000000u,
        kInsertFirst = 0x80000000u,
    };
    ListItem* prev = nullptr;
    ListItem* next = nullptr;
    ListItem* parent = nullptr;
    ListItem* firstChild = nullptr;
    ListItem* lastChild = nullptr;
    u32 childCount = 0;
    i32 rowsBelow = 0;   // rows shown below this item while open; 0 while closed
    u32 flags = 0;
    void* userData = nullptr;
    std::string text;
    bool hasText = false;
    i32 depth = 0;
    u32 textColor = 0xFFFFFFFFu;  // -1 draws in the skin's text colour
    i32 image = 0;
    i32 selectionIndex = -1;  // place in the list's selection array (kept by the list)

    bool IsOpen() const { return (flags & kOpen) != 0; }
    bool IsSelected() const { return (flags & kSelected) != 0; }
    bool IsDisabled() const { return (flags & kDisabled) != 0; }
};

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

class ListWindow : public ScrollableWindow {
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

    // ---- columns ----
    // Offsets follow one another (the previous column's offset plus its
    // size); SetColumnFieldOffset places a field where the record has it.
    int AddColumn(const char* title, const char* format, u32 type, u32 fieldSize, i32 width, u32 flags,
                  u32 textFlags);
    void SetColumn(int index, const char* title, i32 width, u32 flags);
    void SetColumnFieldOffset(int index, u32 offset);
    void SetHeaderIndent(i32 steps);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    const ListColumn& GetColumn(int index) const { return columns_[size_t(index)]; }

    // ---- items ----
    ListItem* AddItem(ListItem* parent, i32 image, u32 flags, void* data, const char* text);
    ListItem* AddItemAndLayout(ListItem* parent, i32 image, u32 flags, void* data, const char* text);
    void DeleteItem(ListItem* item);
    void DeleteItemNoUpdate(ListItem* item);
    void RemoveAllItems();
    void Reset();
    void SetItemText(ListItem* item, const char* text);
    ListItem* GetRoot() { return &root_; }
    ListItem* GetFirstItem() const { return root_.firstChild; }

    void OpenItem(ListItem* item);
    void CloseItem(ListItem* item);
    void ToggleOrActivate(ListItem* item);

    // ---- selection ----
    void SelectItem(ListItem* item, bool extend);
    void ToggleItemSelection(ListItem* item);
    void SelectRange(ListItem* from, ListItem* to);
    void SelectAll();
    void DeselectAllExcept(ListItem* item);
    ListItem* GetSelectedItem() const { return current_; }
    ListItem* GetCurrentItem() const { return current_; }
    // In order of selection.
    const std::vector<ListItem*>& GetSelectionArray() const { return CompactSelection(); }
    size_t GetSelectionCount() const { return selectionCount_; }
    // Fills either array (or both); returns the number selected.
    size_t GetSelection(std::vector<ListItem*>* items, std::vector<void*>* data) const;

    // Depth first, each item before its children, from the start item on
    // through its later siblings (from the first top-level item without one).
    ListItem* FindItemByData(const void* value, ListItem* start) const;
    void RevealItem(ListItem* item);
    void Sort();
    void UpdateScrollRange();
    i32 GetRowCount() const { return root_.rowsBelow; }
    i32 GetTotalHeight() const;
    i32 GetRowHeight() const { return rowHeight_; }
    i32 GetVisibleRowCapacity() const;

    // ---- rows ----
    ListItem* NextRow(const ListItem* item) const;
    ListItem* PreviousRow(const ListItem* item) const;
    ListItem* FirstRow() const { return root_.firstChild; }
    ListItem* LastRow() const;
    // Row index of a shown item (-1 when an ancestor is closed).
    i64 RowOf(const ListItem* item) const;
    ListItem* ItemAtRow(i64 row) const;
    // The item in the first row at the current scroll position.
    ListItem* GetTopRow() const;
    // Item under a point in client coordinates (null on the header or past
    // the last row).
    ListItem* ItemAtClientPoint(Point client) const;
    // Text compared by type-ahead: a text item's text, else the first
    // visible column's cell text.
    std::string DisplayText(const ListItem* item) const;
    std::string CellText(const ListItem* item, int column) const;
    // Client rectangle of a cell (the whole row width for a text item).
    Rect CellRect(const ListItem* item, int column) const;

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

private:
    void Link(ListItem* parent, ListItem* item, bool first);
    void Unlink(ListItem* item);
    // Adds delta to the rows-below of each open ancestor of `from`, from its
    // parent up, stopping at the first closed one.
    void AddRowsAbove(ListItem* from, i32 delta);
    void FreeSubtree(ListItem* item);
    void PurgeMarked();
    void TreeChanged();
    void SortChildren(ListItem* parent, const std::vector<int>& order);
    std::vector<int> SortOrder() const;
    int CompareItems(const ListItem* a, const ListItem* b, const std::vector<int>& order) const;
    void RecomputeColumnX();
    static i64 RowWithinParent(const ListItem* item);
    void HeaderClick(i32 x);
    void MoveCurrentRow(i64 delta, bool toEnd, bool toStart, bool extend);
    void SelectRow(ListItem* item, bool extend);
    void ClearSelection(bool notify);
    // The selection array keeps holes where items left it, so that taking
    // thousands of items out (deleting a selected branch) stays linear;
    // readers see it compacted.
    void SelectionAppend(ListItem* item);
    void SelectionRemove(ListItem* item);
    const std::vector<ListItem*>& CompactSelection() const;
    std::vector<ListItem*> TakeSelection();
    ListItem* FirstSelected() const;
    void CallSelected(ListItem* item);
    void CallDeselected(ListItem* item);
    i64 PageRows() const;
    i32 HeaderHeight() const;
    bool HasHeader() const;
    i32 FirstCellLeft(const ListItem* item) const;
    int FirstVisibleColumn() const;
    void DrawRow(const ListItem* item, i32 y, bool focused);
    void ForEachSelectedCopy(void (ListWindow::*action)(ListItem*));

    u32 listFlags_;
    std::vector<ListColumn> columns_;
    ListItem root_;
    i32 rowHeight_ = 14;
    i32 indentStep_ = 14;
    i32 headerIndent_ = 0;
    mutable std::vector<ListItem*> selection_;
    mutable size_t selectionHoles_ = 0;
    size_t selectionCount_ = 0;
    ListItem* current_ = nullptr;
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
    u64 treeVersion_ = 1;
    static bool painterRegistered_;
};

}  // namespace pirn
