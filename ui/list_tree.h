#pragma once
// ListTree: the items of a list or tree view without the view. Items form a
// tree under an always open root; an item shows as a row while all its
// ancestors are open. Every item keeps the number of rows shown below it, so
// that rows are found by index and counted without walking the whole tree.
// The columns say how the owners' records are printed and in which order
// siblings sort.
//
// An owner may fill a tree on its own (a catalogue of a hundred thousand
// tags) and hand it to a ListWindow to show; the observer tells that list
// what changed, so that its selection never holds an item that went.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/list_cell.h"

namespace pirn {

struct ListItem {
    enum : u32 {
        kSelected = 1,      // kept by the selection; never taken from the caller
        kOpen = 2,          // needs kExpandable; given to Add it opens the item
        kTextItem = 8,      // shows its text instead of column cells
        kExpandable = 16,   // has or may have children
        kHasImage = 32,
        kDisabled = 64,     // cannot be selected; drawn grey
        kSortWhenOpened = 0x40000000u,
        kInsertFirst = 0x80000000u,
    };
    static constexpr u32 kDisabledTextColor = 0xFF808080u;
    static constexpr u32 kDefaultTextColor = 0xFFFFFFFFu;  // the skin's text colour

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
    u32 textColor = kDefaultTextColor;
    i32 image = 0;
    i32 selectionIndex = -1;  // place in the selection's array (kept by ListSelection)

    bool IsOpen() const { return (flags & kOpen) != 0; }
    bool IsSelected() const { return (flags & kSelected) != 0; }
    bool IsDisabled() const { return (flags & kDisabled) != 0; }
};

// Hears what happens to a tree: one observer at a time, the view showing it.
class ListTreeObserver {
public:
    virtual ~ListTreeObserver() = default;
    // The item and everything under it are about to go (still linked, their
    // user data not yet freed). The root stands for every item.
    virtual void SubtreeRemoving(ListItem* item) = 0;
    // Items were added, removed, opened, closed or put in another order.
    virtual void RowsChanged() = 0;
    // An item's text changed.
    virtual void ItemChanged(ListItem* item) = 0;
};

class ListTree {
public:
    // Called for the user data of every item deleted (with the item's data).
    using FreeHook = void (*)(void* context, void* userData);

    ListTree();
    // Frees every item; no hook runs and no observer hears of it.
    ~ListTree();
    ListTree(const ListTree&) = delete;
    ListTree& operator=(const ListTree&) = delete;

    void SetObserver(ListTreeObserver* observer) { observer_ = observer; }
    ListTreeObserver* GetObserver() const { return observer_; }

    // ---- columns ----
    // Appends a column; its field offset follows the previous column's
    // (offset plus size), its sort priority is its index (-1 when hidden).
    int AddColumn(ListColumn column);
    void SetColumn(int index, const char* title, i32 width, u32 flags);
    // Places a column's field where the record has it.
    void SetColumnFieldOffset(int index, u32 offset);
    void RemoveColumns();
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    const ListColumn& GetColumn(int index) const { return columns_[size_t(index)]; }
    const std::vector<ListColumn>& GetColumns() const { return columns_; }
    // The first column that is shown and has a type (-1 when none).
    int FirstVisibleColumn() const;
    // A click on a column's header: its direction flips and it becomes the
    // primary key; the columns before it move one place down behind it.
    void MakePrimarySortColumn(int index);
    // Column indexes by sort priority, primary first.
    std::vector<int> SortOrder() const;
    // Text items (and items without a record) by their text; records by the
    // columns in that order, each descending column reversed.
    int CompareItems(const ListItem* a, const ListItem* b, const std::vector<int>& order) const;
    // The column's cell text of the item's record ("" without one).
    std::string CellText(const ListItem* item, int column) const;

    // ---- items ----
    // Adds an item under the parent (the root when null), last or, with
    // kInsertFirst, first. kSelected is dropped; kOpen opens it at once when
    // it is expandable. A disabled item's text colour is grey.
    ListItem* Add(ListItem* parent, i32 image, u32 flags, void* userData, const char* text);
    // Takes the item and its subtree out and frees them, each item's user
    // data through the hook first.
    void Delete(ListItem* item, FreeHook hook = nullptr, void* context = nullptr);
    // Deletes every item (the columns stay).
    void Clear(FreeHook hook = nullptr, void* context = nullptr);
    void SetItemText(ListItem* item, const char* text);
    ListItem* GetRoot() { return &root_; }
    const ListItem* GetRoot() const { return &root_; }
    ListItem* GetFirstItem() const { return root_.firstChild; }
    bool IsRoot(const ListItem* item) const { return item == &root_; }
    // Whether the item is inside the subtree of `top` (itself included).
    static bool IsInSubtree(const ListItem* item, const ListItem* top);

    // ---- open and closed ----
    bool CanOpen(const ListItem* item) const;   // expandable, closed, not the root
    bool CanClose(const ListItem* item) const;  // open, not the root
    // Opening sorts the children first when a sort passed the closed item.
    // Both keep every rows-below count exact; false when nothing changed.
    bool Open(ListItem* item);
    bool Close(ListItem* item);

    // ---- rows ----
    i32 GetRowCount() const { return root_.rowsBelow; }
    ListItem* NextRow(const ListItem* item) const;
    ListItem* PreviousRow(const ListItem* item) const;
    ListItem* FirstRow() const { return root_.firstChild; }
    ListItem* LastRow() const;
    // Row index of a shown item (-1 when an ancestor is closed).
    i64 RowOf(const ListItem* item) const;
    ListItem* ItemAtRow(i64 row) const;
    // Depth first, each item before its children, from the start item on
    // through its later siblings (from the first top-level item without one).
    ListItem* FindItemByData(const void* value, ListItem* start) const;

    // ---- order ----
    // Sorts the children of every open item by SortOrder; closed items with
    // children are marked and sorted when they are next opened.
    void Sort();

    // Changes with every change of the rows (add, delete, open, close, sort).
    u64 GetVersion() const { return version_; }

private:
    void Link(ListItem* parent, ListItem* item, bool first);
    void Unlink(ListItem* item);
    // Adds delta to the rows-below of each open ancestor of `from`, from its
    // parent up, stopping at the first closed one.
    void AddRowsAbove(ListItem* from, i32 delta);
    static void FreeSubtree(ListItem* item, FreeHook hook, void* context);
    void SortChildren(ListItem* parent, const std::vector<int>& order);
    void RecomputeColumnX();
    static i64 RowWithinParent(const ListItem* item);
    void RowsChanged() {
        ++version_;
        if (observer_) observer_->RowsChanged();
    }

    ListItem root_;
    std::vector<ListColumn> columns_;
    ListTreeObserver* observer_ = nullptr;
    u64 version_ = 1;
};

}  // namespace pirn
