// List and tree widget: items and rows, selection, keys, mouse, type-ahead,
// sorting, in-place editing, row dragging and drawing.

#include "ui/list_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_time.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kDisabledTextColor = 0xFF808080u;
// Marks the items of a subtree being deleted, so that every reference to
// them can be dropped in one pass.
constexpr u32 kDoomed = 0x20000000u;
constexpr u32 kCallerFlagsDropped = ListItem::kSelected | ListItem::kOpen | kDoomed;

// Items deleted while a watch is up (handlers may delete rows).
thread_local std::unordered_set<const ListItem*>* g_deletedWatch = nullptr;

// Notes the items deleted while it lives, so that code which emits a signal
// or runs a callback can tell whether an item it holds is still there.
class DeletionWatch {
public:
    DeletionWatch() : outer_(g_deletedWatch) { g_deletedWatch = &deleted_; }
    ~DeletionWatch() {
        g_deletedWatch = outer_;
        if (outer_) outer_->insert(deleted_.begin(), deleted_.end());
    }
    DeletionWatch(const DeletionWatch&) = delete;
    DeletionWatch& operator=(const DeletionWatch&) = delete;
    bool Gone(const ListItem* item) const { return deleted_.count(item) != 0; }

private:
    std::unordered_set<const ListItem*> deleted_;
    std::unordered_set<const ListItem*>* outer_;
};

void NoDragImage(Window::DragDropData*, Point, Rect* extent) {
    if (extent) *extent = Rect{};
}

bool StartsWithNoCase(const char* text, const char* prefix, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

// Cells end at their column's edge: a text too wide is cut where it leaves
// the cell. Returns the characters that fit.
size_t FitCellText(const InterfaceFont* font, std::string_view text, i32 width) {
    if (!font || text.empty()) return text.size();
    if (TextWidth(*font, text, 0, 0) <= width) return text.size();
    if (width <= 0) return 0;
    size_t n = CharIndexAtX(*font, text, 0, width);
    while (n > 0 && OffsetOfIndex(*font, text, 0, n) > width) --n;
    return n;
}

}  // namespace

bool ListWindow::painterRegistered_ = false;

// ---- drag payload ----

ListWindow::ListItemDDData::ListItemDDData(ListWindow* source, ListItem* dragged, i32 x, i32 y)
    : DragDropData(kDragPayloadType), sourceList(source), item(dragged), offsetX(x), offsetY(y) {
    if (!painterRegistered_) {
        RegisterDragPainter(kDragPayloadType, NoDragImage);
        painterRegistered_ = true;
    }
    if (sourceList) sourceList->activeDrag_ = this;
}

ListWindow::ListItemDDData::~ListItemDDData() {
    if (!sourceList) return;
    if (sourceList->activeDrag_ == this) sourceList->activeDrag_ = nullptr;
    sourceList->dropRow_ = -1;
    sourceList->autoScroll_ = 0;
    sourceList->Invalidate();
}

// ---- construction ----

ListWindow::ListWindow(u32 listFlags, u32 styleFlags, Window* parent)
    : ScrollableWindow(styleFlags | kTakesFocus, parent), listFlags_(listFlags) {
    root_.flags = ListItem::kOpen | ListItem::kExpandable;
    rowHeight_ = std::max(GetLineHeight(), 1);
    indentStep_ = rowHeight_;
    SetTitle("ListWindow");
}

ListWindow::~ListWindow() {
    if (activeDrag_) {
        activeDrag_->sourceList = nullptr;
        activeDrag_->item = nullptr;
    }
    // The owner may be half destroyed by now: no callbacks from here.
    std::vector<ListItem*> stack;
    for (ListItem* c = root_.firstChild; c; c = c->next) stack.push_back(c);
    while (!stack.empty()) {
        ListItem* item = stack.back();
        stack.pop_back();
        for (ListItem* c = item->firstChild; c; c = c->next) stack.push_back(c);
        delete item;
    }
}

// ---- columns ----

int ListWindow::AddColumn(const char* title, const char* format, u32 type, u32 fieldSize, i32 width, u32 flags,
                          u32 textFlags) {
    ListColumn c;
    c.title = title ? title : "";
    c.format = format ? format : "";
    c.type = type;
    c.fieldSize = fieldSize;
    if (!columns_.empty()) c.fieldOffset = columns_.back().fieldOffset + columns_.back().fieldSize;
    c.flags = flags;
    c.width = width;
    c.textFlags = textFlags;
    c.sortPriority = (flags & ListColumn::kHidden) ? -1 : static_cast<i32>(columns_.size());
    columns_.push_back(std::move(c));
    RecomputeColumnX();
    Invalidate();
    return static_cast<int>(columns_.size()) - 1;
}

void ListWindow::SetColumn(int index, const char* title, i32 width, u32 flags) {
    if (index < 0 || index >= GetColumnCount()) return;
    ListColumn& c = columns_[size_t(index)];
    c.title = title ? title : "";
    c.width = width;
    c.flags = flags;
    RecomputeColumnX();
    Invalidate();
}

void ListWindow::SetColumnFieldOffset(int index, u32 offset) {
    if (index < 0 || index >= GetColumnCount()) return;
    columns_[size_t(index)].fieldOffset = offset;
}

void ListWindow::SetHeaderIndent(i32 steps) {
    headerIndent_ = indentStep_ * steps;
    Invalidate();
}

void ListWindow::RecomputeColumnX() {
    i32 x = 0;
    for (ListColumn& c : columns_) {
        c.x = x;
        if (!c.IsHidden()) x += c.width;
    }
}

// ---- tree bookkeeping ----

void ListWindow::AddRowsAbove(ListItem* from, i32 delta) {
    for (ListItem* p = from->parent; p; p = p->parent) {
        // A closed ancestor shows none of these rows, and neither does
        // anything above it.
        if (!p->IsOpen()) break;
        p->rowsBelow += delta;
    }
}

void ListWindow::Link(ListItem* parent, ListItem* item, bool first) {
    item->parent = parent;
    if (first) {
        item->next = parent->firstChild;
        if (parent->firstChild) parent->firstChild->prev = item;
        else parent->lastChild = item;
        parent->firstChild = item;
    } else {
        item->prev = parent->lastChild;
        if (parent->lastChild) parent->lastChild->next = item;
        else parent->firstChild = item;
        parent->lastChild = item;
    }
    parent->childCount++;
    AddRowsAbove(item, 1);
}

void ListWindow::Unlink(ListItem* item) {
    AddRowsAbove(item, -(1 + item->rowsBelow));
    ListItem* parent = item->parent;
    if (item->prev) item->prev->next = item->next;
    else parent->firstChild = item->next;
    if (item->next) item->next->prev = item->prev;
    else parent->lastChild = item->prev;
    parent->childCount--;
    item->prev = item->next = nullptr;
}

void ListWindow::TreeChanged() {
    ++treeVersion_;
    Invalidate();
}

ListItem* ListWindow::AddItem(ListItem* parent, i32 image, u32 flags, void* data, const char* text) {
    auto* item = new ListItem;
    if (!parent) parent = &root_;
    item->flags = flags & ~kCallerFlagsDropped;
    item->image = image;
    item->userData = data;
    if (text) {
        item->text = text;
        item->hasText = true;
    }
    item->depth = parent->depth + 1;
    item->textColor = (flags & ListItem::kDisabled) ? kDisabledTextColor : 0xFFFFFFFFu;
    Link(parent, item, (flags & ListItem::kInsertFirst) != 0);
    TreeChanged();
    if ((flags & ListItem::kOpen) && (flags & ListItem::kExpandable)) OpenItem(item);
    return item;
}

ListItem* ListWindow::AddItemAndLayout(ListItem* parent, i32 image, u32 flags, void* data, const char* text) {
    ListItem* item = AddItem(parent, image, flags, data, text);
    UpdateScrollRange();
    return item;
}

void ListWindow::SetItemText(ListItem* item, const char* text) {
    if (!item) return;
    item->hasText = text != nullptr;
    item->text = text ? text : "";
    Invalidate();
}

void ListWindow::PurgeMarked() {
    if (current_ && (current_->flags & kDoomed)) current_ = FirstSelected();
    if (editItem_ && (editItem_->flags & kDoomed)) editItem_ = nullptr;
    if (activeDrag_ && activeDrag_->item && (activeDrag_->item->flags & kDoomed)) activeDrag_->item = nullptr;
    if (topCache_ && (topCache_->flags & kDoomed)) topCache_ = nullptr;
}

void ListWindow::FreeSubtree(ListItem* item) {
    Window* owner = GetParent();
    std::vector<ListItem*> stack{item};
    while (!stack.empty()) {
        ListItem* it = stack.back();
        stack.pop_back();
        for (ListItem* c = it->firstChild; c; c = c->next) stack.push_back(c);
        if (owner && callbacks.freeData) callbacks.freeData(owner, it->userData);
        if (g_deletedWatch) g_deletedWatch->insert(it);
        delete it;
    }
}

void ListWindow::DeleteItemNoUpdate(ListItem* item) {
    if (!item || item == &root_) return;
    bool lostSelection = false;
    std::vector<ListItem*> stack{item};
    while (!stack.empty()) {
        ListItem* it = stack.back();
        stack.pop_back();
        it->flags |= kDoomed;
        if (it->IsSelected()) {
            SelectionRemove(it);
            lostSelection = true;
        }
        for (ListItem* c = it->firstChild; c; c = c->next) stack.push_back(c);
    }
    Unlink(item);
    PurgeMarked();
    FreeSubtree(item);
    TreeChanged();
    if (lostSelection) selectionChanged.Emit();
}

void ListWindow::DeleteItem(ListItem* item) {
    DeleteItemNoUpdate(item);
    UpdateScrollRange();
}

void ListWindow::RemoveAllItems() {
    const bool hadSelection = selectionCount_ != 0;
    for (ListItem* s : TakeSelection()) s->flags &= ~ListItem::kSelected;
    current_ = nullptr;
    editItem_ = nullptr;
    if (activeDrag_) activeDrag_->item = nullptr;
    topCache_ = nullptr;
    ListItem* c = root_.firstChild;
    root_.firstChild = root_.lastChild = nullptr;
    root_.childCount = 0;
    root_.rowsBelow = 0;
    while (c) {
        ListItem* next = c->next;
        FreeSubtree(c);
        c = next;
    }
    typed_.clear();
    TreeChanged();
    SetScrollY(0);
    UpdateScrollRange();
    if (hadSelection) selectionChanged.Emit();
}

void ListWindow::Reset() {
    RemoveAllItems();
    columns_.clear();
    headerIndent_ = 0;
    UpdateScrollRange();
}

// ---- opening and closing ----

void ListWindow::OpenItem(ListItem* item) {
    if (!item || item == &root_ || !(item->flags & ListItem::kExpandable) || item->IsOpen()) return;
    Window* owner = GetParent();
    if (owner && callbacks.mayOpen && !callbacks.mayOpen(owner, item, item->userData)) return;
    item->flags |= ListItem::kOpen;
    if (item->flags & ListItem::kSortWhenOpened) {
        item->flags &= ~ListItem::kSortWhenOpened;
        SortChildren(item, SortOrder());
    }
    i32 rows = static_cast<i32>(item->childCount);
    for (ListItem* c = item->firstChild; c; c = c->next)
        if (c->IsOpen()) rows += c->rowsBelow;
    item->rowsBelow = rows;
    AddRowsAbove(item, rows);
    TreeChanged();
}

void ListWindow::CloseItem(ListItem* item) {
    if (!item || item == &root_ || !item->IsOpen()) return;
    Window* owner = GetParent();
    if (owner && callbacks.mayClose && !callbacks.mayClose(owner, item, item->userData)) return;
    AddRowsAbove(item, -item->rowsBelow);
    item->flags &= ~ListItem::kOpen;
    item->rowsBelow = 0;
    TreeChanged();
}

void ListWindow::ToggleOrActivate(ListItem* item) {
    if (!item) return;
    if (item->flags & ListItem::kExpandable) {
        if (item->IsOpen()) CloseItem(item);
        else OpenItem(item);
        UpdateScrollRange();
    } else {
        activated.Emit(item);
    }
}

// ---- rows ----

ListItem* ListWindow::NextRow(const ListItem* item) const {
    if (!item) return nullptr;
    if (item->IsOpen() && item->rowsBelow > 0 && item->firstChild) return item->firstChild;
    for (const ListItem* it = item; it && it != &root_; it = it->parent)
        if (it->next) return it->next;
    return nullptr;
}

ListItem* ListWindow::PreviousRow(const ListItem* item) const {
    if (!item) return nullptr;
    if (item->prev) {
        ListItem* p = item->prev;
        while (p->IsOpen() && p->lastChild) p = p->lastChild;
        return p;
    }
    return item->parent == &root_ ? nullptr : item->parent;
}

ListItem* ListWindow::LastRow() const {
    ListItem* p = root_.lastChild;
    while (p && p->IsOpen() && p->lastChild) p = p->lastChild;
    return p;
}

i64 ListWindow::RowOf(const ListItem* item) const {
    if (!item || item == &root_) return -1;
    const ListItem* top = item;
    for (const ListItem* p = item->parent; p; p = p->parent) {
        if (p != &root_ && !p->IsOpen()) return -1;
        top = p;
    }
    if (top != &root_) return -1;
    i64 row = 0;
    for (const ListItem* it = item; it != &root_; it = it->parent) {
        row += RowWithinParent(it);
        if (it->parent != &root_) row += 1;
    }
    return row;
}

i64 ListWindow::RowWithinParent(const ListItem* item) {
    // Rows before the item among its siblings: walk towards both ends at
    // once and count from whichever end comes first, so that rows near the
    // end of a long list cost as little as rows near its start.
    i64 before = 0, after = 0;
    const ListItem* back = item->prev;
    const ListItem* front = item;
    while (true) {
        if (!back) return before;
        before += 1 + back->rowsBelow;
        back = back->prev;
        if (!front) break;
        after += 1 + front->rowsBelow;
        front = front->next;
        if (!front) return item->parent->rowsBelow - after;
    }
    return before;
}

ListItem* ListWindow::ItemAtRow(i64 row) const {
    if (row < 0 || row >= root_.rowsBelow) return nullptr;
    i64 r = row;
    const ListItem* parent = &root_;
    while (parent) {
        // r counts rows below `parent`; come from the nearer end.
        if (r < parent->rowsBelow / 2) {
            for (ListItem* c = parent->firstChild; c; c = c->next) {
                if (r == 0) return c;
                if (r <= c->rowsBelow) {
                    r -= 1;
                    parent = c;
                    break;
                }
                r -= 1 + c->rowsBelow;
                if (!c->next) return nullptr;
            }
        } else {
            i64 start = parent->rowsBelow;  // row just past the last child's rows
            ListItem* c = parent->lastChild;
            for (; c; c = c->prev) {
                start -= 1 + c->rowsBelow;
                if (r >= start) break;
            }
            if (!c) return nullptr;
            if (r == start) return c;
            r -= start + 1;
            parent = c;
        }
    }
    return nullptr;
}

ListItem* ListWindow::GetTopRow() const {
    const i64 y = GetScrollY();
    if (topCache_ && topCacheVersion_ == treeVersion_) {
        const i64 delta = y - topCacheRow_;
        if (delta == 0) return topCache_;
        // Short scrolls walk from the remembered row; long jumps go down the
        // tree by the rows-below counts.
        if (delta > -256 && delta < 256) {
            ListItem* it = topCache_;
            for (i64 i = 0; it && i < delta; ++i) it = NextRow(it);
            for (i64 i = 0; it && i > delta; --i) it = PreviousRow(it);
            if (it) {
                topCache_ = it;
                topCacheRow_ = y;
                return it;
            }
        }
    }
    topCache_ = ItemAtRow(y);
    topCacheRow_ = y;
    topCacheVersion_ = treeVersion_;
    return topCache_;
}

void ListWindow::OnScrollY(i32 y) { Invalidate(); }

i64 ListWindow::PageRows() const { return std::max<i64>(GetScrollPageY(), 1); }

bool ListWindow::HasHeader() const { return (listFlags_ & kHeaderRow) && !columns_.empty(); }

i32 ListWindow::HeaderHeight() const { return HasHeader() ? rowHeight_ : 0; }

i32 ListWindow::GetTotalHeight() const {
    return rowHeight_ * (root_.rowsBelow + (HasHeader() ? 1 : 0));
}

i32 ListWindow::GetVisibleRowCapacity() const { return GetScrollPageY(); }

void ListWindow::UpdateScrollRange() {
    const i32 page = std::max(GetClientHeight() / std::max(rowHeight_, 1) - (HasHeader() ? 1 : 0), 0);
    const i32 range = root_.rowsBelow;
    if (range == GetScrollRangeY() && page == GetScrollPageY()) return;
    SetScrollInfo(kSetRangeY | kSetPageY, range, 0, page, 0, 0, 0);
}

void ListWindow::Layout() {
    ScrollableWindow::Layout();
    UpdateScrollRange();
}

ListItem* ListWindow::ItemAtClientPoint(Point p) const {
    if (p.y < HeaderHeight() || p.x < 0 || p.x >= GetClientWidth()) return nullptr;
    const i64 row = GetScrollY() + (p.y - HeaderHeight()) / std::max(rowHeight_, 1);
    return ItemAtRow(row);
}

// ---- cells ----

int ListWindow::FirstVisibleColumn() const {
    for (int i = 0; i < GetColumnCount(); ++i)
        if (!columns_[size_t(i)].IsHidden() && columns_[size_t(i)].type != kColumnNone) return i;
    return -1;
}

i32 ListWindow::FirstCellLeft(const ListItem* item) const {
    const int first = FirstVisibleColumn();
    i32 x = first >= 0 ? columns_[size_t(first)].x : 0;
    if (listFlags_ & kTree) x += kMarkerWidth + item->depth * indentStep_;
    if (listFlags_ & kLeadingSpace) x += kMarkerWidth;
    if (!(listFlags_ & (kTree | kLeadingSpace))) x += 4;
    return x;
}

std::string ListWindow::CellText(const ListItem* item, int column) const {
    if (!item || column < 0 || column >= GetColumnCount()) return std::string();
    return FormatCell(columns_[size_t(column)], item->userData);
}

std::string ListWindow::DisplayText(const ListItem* item) const {
    if (!item) return std::string();
    if ((item->flags & ListItem::kTextItem) || !(listFlags_ & kColumnMode) || !item->userData) return item->text;
    const int first = FirstVisibleColumn();
    return first >= 0 ? CellText(item, first) : item->text;
}

Rect ListWindow::CellRect(const ListItem* item, int column) const {
    const i64 row = RowOf(item);
    const i32 top = static_cast<i32>((row - GetScrollY()) * rowHeight_) + HeaderHeight();
    const i32 first = FirstVisibleColumn();
    const bool textCell = (item->flags & ListItem::kTextItem) || column < 0 || column >= GetColumnCount() ||
                          !(listFlags_ & kColumnMode);
    if (textCell) return Rect{FirstCellLeft(item), top, GetClientWidth(), top + rowHeight_};
    const ListColumn& c = columns_[size_t(column)];
    const i32 left = column == first ? FirstCellLeft(item) : c.x;
    return Rect{left, top, std::max(left, c.x + c.width), top + rowHeight_};
}

// ---- selection ----

void ListWindow::CallSelected(ListItem* item) {
    Window* owner = GetParent();
    if (owner && callbacks.selected) callbacks.selected(owner, item, item->userData);
}

void ListWindow::CallDeselected(ListItem* item) {
    Window* owner = GetParent();
    if (owner && callbacks.deselected) callbacks.deselected(owner, item, item->userData);
}

void ListWindow::ClearSelection(bool notify) {
    const std::vector<ListItem*> old = TakeSelection();
    for (ListItem* s : old) {
        s->flags &= ~ListItem::kSelected;
        CallDeselected(s);
    }
    if (!old.empty()) Invalidate();
    if (notify) selectionChanged.Emit();
}

void ListWindow::SelectionAppend(ListItem* item) {
    item->selectionIndex = static_cast<i32>(selection_.size());
    selection_.push_back(item);
    ++selectionCount_;
}

void ListWindow::SelectionRemove(ListItem* item) {
    if (item->selectionIndex < 0) return;
    selection_[size_t(item->selectionIndex)] = nullptr;
    item->selectionIndex = -1;
    ++selectionHoles_;
    --selectionCount_;
    if (selectionHoles_ > 64 && selectionHoles_ > selectionCount_) CompactSelection();
}

const std::vector<ListItem*>& ListWindow::CompactSelection() const {
    if (selectionHoles_ == 0) return selection_;
    size_t j = 0;
    for (ListItem* s : selection_) {
        if (!s) continue;
        s->selectionIndex = static_cast<i32>(j);
        selection_[j++] = s;
    }
    selection_.resize(j);
    selectionHoles_ = 0;
    return selection_;
}

std::vector<ListItem*> ListWindow::TakeSelection() {
    CompactSelection();
    std::vector<ListItem*> taken = std::move(selection_);
    selection_.clear();
    selectionCount_ = 0;
    for (ListItem* s : taken) s->selectionIndex = -1;
    return taken;
}

ListItem* ListWindow::FirstSelected() const {
    const std::vector<ListItem*>& s = CompactSelection();
    return s.empty() ? nullptr : s.front();
}

void ListWindow::SelectItem(ListItem* item, bool extend) {
    if (item && item->IsDisabled()) return;
    if (!item && (listFlags_ & kNeverEmptySelection)) return;
    if (item && item == current_ && selectionCount_ == 1 && item->IsSelected()) return;
    extend = extend && (listFlags_ & kMultipleSelection);
    current_ = item;
    bool changed = false;
    const bool wasSelected = item && item->IsSelected();
    if (!extend) {
        std::vector<ListItem*> old = TakeSelection();
        for (ListItem* s : old) {
            if (s == item) continue;
            s->flags &= ~ListItem::kSelected;
            CallDeselected(s);
            changed = true;
        }
    }
    if (!item) {
        if (changed) Invalidate();
        selectionChanged.Emit();
        return;
    }
    if (!(wasSelected && extend)) {
        item->flags |= ListItem::kSelected;
        SelectionAppend(item);
    }
    if (!wasSelected) {
        CallSelected(item);
        changed = true;
    }
    if (changed) Invalidate();
    selectionChanged.Emit();
}

void ListWindow::ToggleItemSelection(ListItem* item) {
    if (!item || item->IsDisabled()) return;
    if (item->IsSelected()) {
        item->flags &= ~ListItem::kSelected;
        CallDeselected(item);
        SelectionRemove(item);
        if (current_ == item) current_ = FirstSelected();
    } else {
        item->flags |= ListItem::kSelected;
        CallSelected(item);
        current_ = item;
        SelectionAppend(item);
    }
    selectionChanged.Emit();
    Invalidate();
}

void ListWindow::SelectRange(ListItem* from, ListItem* to) {
    if (!from) return;
    ClearSelection(false);
    int direction = 0;
    for (ListItem* it = from; it; it = PreviousRow(it))
        if (it == to) {
            direction = -1;
            break;
        }
    if (!direction)
        for (ListItem* it = from; it; it = NextRow(it))
            if (it == to) {
                direction = 1;
                break;
            }
    if (!direction) to = from;
    for (ListItem* it = from; it; it = direction < 0 ? PreviousRow(it) : NextRow(it)) {
        if (!it->IsDisabled() && !it->IsSelected()) {
            it->flags |= ListItem::kSelected;
            SelectionAppend(it);
            CallSelected(it);
        }
        if (it == to) break;
    }
    selectionChanged.Emit();
    Invalidate();
}

void ListWindow::SelectAll() {
    if (!(listFlags_ & kMultipleSelection) || !root_.firstChild) return;
    ListItem* top = GetTopRow();
    SelectRange(top ? top : root_.firstChild, LastRow());
}

void ListWindow::DeselectAllExcept(ListItem* item) {
    const bool keep = item && item->IsSelected();
    std::vector<ListItem*> old = TakeSelection();
    for (ListItem* s : old) {
        if (s == item) continue;
        s->flags &= ~ListItem::kSelected;
        CallDeselected(s);
    }
    if (keep) SelectionAppend(item);
    current_ = keep ? item : nullptr;
    selectionChanged.Emit();
    Invalidate();
}

size_t ListWindow::GetSelection(std::vector<ListItem*>* items, std::vector<void*>* data) const {
    const std::vector<ListItem*>& selection = CompactSelection();
    if (items) *items = selection;
    if (data) {
        data->clear();
        for (const ListItem* s : selection) data->push_back(s->userData);
    }
    return selection.size();
}

ListItem* ListWindow::FindItemByData(const void* value, ListItem* start) const {
    // The start item and the siblings after it, each before its children
    // (from the root's first child without a start).
    std::vector<ListItem*> stack;
    ListItem* first = start ? start : root_.firstChild;
    if (first) {
        ListItem* last = first;
        while (last->next) last = last->next;
        for (ListItem* c = last;; c = c->prev) {
            stack.push_back(c);
            if (c == first) break;
        }
    }
    while (!stack.empty()) {
        ListItem* it = stack.back();
        stack.pop_back();
        if (it->userData == value) return it;
        for (ListItem* c = it->lastChild; c; c = c->prev) stack.push_back(c);
    }
    return nullptr;
}

void ListWindow::RevealItem(ListItem* item) {
    if (!item || item == &root_) return;
    std::vector<ListItem*> chain;
    for (ListItem* p = item->parent; p && p != &root_; p = p->parent) chain.push_back(p);
    bool opened = false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (!(*it)->IsOpen()) {
            OpenItem(*it);
            opened = true;
        }
    if (opened) UpdateScrollRange();
    const i64 row = RowOf(item);
    if (row < 0) return;
    const i64 pos = GetScrollY();
    const i64 page = PageRows();
    if (row >= pos && row < pos + page) return;
    const i64 target = row < pos ? row : row - page + 1;
    const i64 scrollTo = std::llabs(target - pos) <= 1 ? target : row - page / 2;
    SetScrollY(static_cast<i32>(std::clamp<i64>(scrollTo, 0, INT32_MAX)));
}

// ---- sorting ----

std::vector<int> ListWindow::SortOrder() const {
    std::vector<int> order;
    for (int i = 0; i < GetColumnCount(); ++i)
        if (columns_[size_t(i)].sortPriority >= 0 && columns_[size_t(i)].type != kColumnNone) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return columns_[size_t(a)].sortPriority < columns_[size_t(b)].sortPriority;
    });
    return order;
}

int ListWindow::CompareItems(const ListItem* a, const ListItem* b, const std::vector<int>& order) const {
    const bool textA = (a->flags & ListItem::kTextItem) || !a->userData;
    const bool textB = (b->flags & ListItem::kTextItem) || !b->userData;
    if (textA || textB) {
        const int r = a->text.compare(b->text);
        return (r > 0) - (r < 0);
    }
    for (int index : order) {
        const ListColumn& c = columns_[size_t(index)];
        int r = CompareCells(c, a->userData, b->userData);
        if (r) return (c.flags & ListColumn::kDescending) ? -r : r;
    }
    return 0;
}

void ListWindow::SortChildren(ListItem* parent, const std::vector<int>& order) {
    if (parent->childCount > 1) {
        // Records sit beside their items so that comparisons reach the
        // fields without going through the items first.
        struct Entry {
            u64 key;  // order of the primary column's first bytes; ties go to the full comparison
            const void* record;
            ListItem* item;
        };
        std::vector<Entry> entries;
        entries.reserve(parent->childCount);
        bool allRecords = true;
        for (ListItem* c = parent->firstChild; c; c = c->next) {
            const bool record = c->userData && !(c->flags & ListItem::kTextItem);
            allRecords = allRecords && record;
            entries.push_back(Entry{0, record ? c->userData : nullptr, c});
        }
        if (allRecords) {
            if (!order.empty()) {
                const ListColumn& primary = columns_[size_t(order.front())];
                for (Entry& e : entries) e.key = CellSortKey(primary, e.record);
            }
            std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
                if (a.key != b.key) return a.key < b.key;
                for (int index : order) {
                    const ListColumn& c = columns_[size_t(index)];
                    const int r = CompareCells(c, a.record, b.record);
                    if (r) return ((c.flags & ListColumn::kDescending) ? -r : r) < 0;
                }
                return false;
            });
        } else {
            std::stable_sort(entries.begin(), entries.end(),
                             [&](const Entry& a, const Entry& b) { return CompareItems(a.item, b.item, order) < 0; });
        }
        std::vector<ListItem*> children;
        children.reserve(entries.size());
        for (const Entry& e : entries) children.push_back(e.item);
        ListItem* prev = nullptr;
        for (ListItem* c : children) {
            c->prev = prev;
            c->next = nullptr;
            if (prev) prev->next = c;
            prev = c;
        }
        parent->firstChild = children.front();
        parent->lastChild = children.back();
    }
    for (ListItem* c = parent->firstChild; c; c = c->next) {
        if (!c->firstChild) continue;
        if (c->IsOpen()) SortChildren(c, order);
        else c->flags |= ListItem::kSortWhenOpened;
    }
}

void ListWindow::Sort() {
    SortChildren(&root_, SortOrder());
    TreeChanged();
    UpdateScrollRange();
}

void ListWindow::HeaderClick(i32 x) {
    for (ListColumn& c : columns_) {
        if (c.IsHidden() || c.type == kColumnNone) continue;
        const i32 left = headerIndent_ + c.x;
        if (x < left || x >= left + c.width) continue;
        c.flags ^= ListColumn::kDescending;
        // The clicked column becomes the primary key; the others keep their
        // order behind it.
        const i32 old = c.sortPriority;
        if (old != 0) {
            for (ListColumn& o : columns_)
                if (&o != &c && o.sortPriority >= 0 && (old < 0 || o.sortPriority < old)) o.sortPriority++;
            c.sortPriority = 0;
        }
        Sort();
        return;
    }
}

// ---- keys ----

void ListWindow::ForEachSelectedCopy(void (ListWindow::*action)(ListItem*)) {
    // The action may run callbacks that delete items: work on a copy and
    // skip whatever went meanwhile.
    const std::vector<ListItem*> copy = CompactSelection();
    DeletionWatch watch;
    for (ListItem* item : copy)
        if (!watch.Gone(item)) (this->*action)(item);
}

void ListWindow::MoveCurrentRow(i64 delta, bool toEnd, bool toStart, bool extend) {
    ListItem* start = current_ ? current_ : GetTopRow();
    if (!start) return;
    ListItem* target = start;
    if (toStart) {
        target = FirstRow();
    } else if (toEnd) {
        target = LastRow();
    } else {
        for (i64 i = 0; i < delta; ++i) {
            ListItem* n = NextRow(target);
            if (!n) break;
            target = n;
        }
        for (i64 i = 0; i > delta; --i) {
            ListItem* p = PreviousRow(target);
            if (!p) break;
            target = p;
        }
    }
    if (!target) return;
    DeletionWatch watch;
    SelectItem(target, extend);
    if (!watch.Gone(target)) RevealItem(target);
}

int ListWindow::OnKey(InputEvent& e) {
    if (!e.IsPress()) return 0;
    const u32 mods = e.KeyModifiers();
    const bool ctrl = (mods & kModControl) != 0;
    const bool shift = (mods & kModShift) != 0;
    const bool repeat = (mods & kKeyRepeatBit) != 0;
    switch (e.Code()) {
        case 'A':
            if (ctrl) SelectAll();
            return 1;
        case kKeyBackspace:
        case kKeyDelete:
            if (selectionCount_ != 0) deleteRequested.Emit();
            return 1;
        case kKeyEnter:
            if (!repeat) ForEachSelectedCopy(&ListWindow::ToggleOrActivate);
            return 1;
        case kKeyHome:
            MoveCurrentRow(0, false, true, shift);
            return 1;
        case kKeyEnd:
            MoveCurrentRow(0, true, false, shift);
            return 1;
        case kKeyPageUp:
            MoveCurrentRow(-PageRows(), false, false, shift);
            return 1;
        case kKeyPageDown:
            MoveCurrentRow(PageRows(), false, false, shift);
            return 1;
        case kKeyUp:
            MoveCurrentRow(-1, false, false, shift);
            return 1;
        case kKeyDown:
            MoveCurrentRow(1, false, false, shift);
            return 1;
        case kKeyLeft:
        case kKeyPadSubtract:
            if (!repeat || e.Code() == kKeyPadSubtract) {
                ForEachSelectedCopy(&ListWindow::CloseItem);
                UpdateScrollRange();
            }
            return 1;
        case kKeyRight:
        case kKeyPadAdd:
            if (!repeat || e.Code() == kKeyPadAdd) {
                ForEachSelectedCopy(&ListWindow::OpenItem);
                UpdateScrollRange();
            }
            return 1;
        default:
            return 0;
    }
}

// ---- type-ahead ----

void ListWindow::OnChar(InputEvent& e) {
    if (!e.IsPress() || (e.KeyModifiers() & kModControl)) return;
    const i32 code = e.Code();
    if (code < 32 || code > 255) return;
    typed_.push_back(static_cast<char>(code));
    lastTypedTime_ = OsGetTime();
    TypeAhead(typed_);
}

void ListWindow::TypeAhead(const std::string& prefix) {
    if (prefix.empty() || !root_.firstChild) return;
    ListItem* start = current_ ? current_ : root_.firstChild;
    const bool repeated = prefix.size() >= 2 && prefix[prefix.size() - 1] == prefix[prefix.size() - 2];
    const std::string last(1, prefix.back());
    ListItem* candidate = nullptr;
    size_t bestScore = 0;
    ListItem* fallback = nullptr;
    const int first = FirstVisibleColumn();
    char cell[kCellTextLimit + 1];
    auto visit = [&](ListItem* row) -> bool {
        // The display text, without allocating a string per row.
        const char* text = row->text.c_str();
        size_t length = row->text.size();
        if (!(row->flags & ListItem::kTextItem) && (listFlags_ & kColumnMode) && row->userData && first >= 0) {
            length = FormatCellInto(columns_[size_t(first)], row->userData, cell);
            text = cell;
        }
        const size_t n = std::min(length, prefix.size());
        if (StartsWithNoCase(text, prefix.c_str(), n)) {
            const size_t score = prefix.size() > length ? prefix.size() - length : 0;
            if (!candidate || score < bestScore) {
                candidate = row;
                bestScore = score;
            }
        } else if (candidate) {
            return true;
        }
        if (repeated && !fallback && row != current_ && length > 0 && StartsWithNoCase(text, last.c_str(), 1))
            fallback = row;
        return false;
    };
    bool done = false;
    for (ListItem* row = start; row && !done; row = NextRow(row)) done = visit(row);
    if (!done && start != root_.firstChild) {
        // Wrapping round: the run that reached the last row ends there.
        if (candidate) {
            done = true;
        } else {
            for (ListItem* row = root_.firstChild; row && row != start && !done; row = NextRow(row))
                done = visit(row);
        }
    }
    ListItem* chosen = nullptr;
    if (done) chosen = candidate;
    else chosen = fallback ? fallback : candidate;
    if (!chosen) return;
    DeletionWatch watch;
    SelectItem(chosen, false);
    if (!watch.Gone(chosen)) RevealItem(chosen);
}

void ListWindow::OnIdle() {
    ScrollableWindow::OnIdle();
    const double now = OsGetTime();
    if (!typed_.empty() && now - lastTypedTime_ > kTypeAheadTimeout) typed_.clear();
    if (activeDrag_ && autoScroll_ != 0 && now - lastAutoScrollTime_ >= kAutoScrollInterval) {
        lastAutoScrollTime_ = now;
        ScrollByY(autoScroll_);
    }
}

// ---- mouse ----

void ListWindow::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction()) {
        dragArmed_ = false;
        return;
    }
    const bool right = IsRightButtonEvent(e);
    const Point p{e.X() - GetClientScreenRect().left, e.Y() - GetClientScreenRect().top};
    if (HasHeader() && p.y >= 0 && p.y < rowHeight_) {
        HeaderClick(p.x);
        if (right) contextClick.Emit(e.X(), e.Y());
        return;
    }
    // Rows are dragged from the rows, never from the header.
    if ((listFlags_ & kDraggableRows) && e.Button() == 0) {
        pressPoint_ = Point{e.X(), e.Y()};
        dragArmed_ = true;
    }
    const u32 mods = e.MouseModifiers();
    const bool shift = (mods & kModShift) != 0;
    const bool ctrl = (mods & kModControl) != 0;
    ListItem* item = ItemAtClientPoint(p);
    // Selection handlers may delete the item under the pointer.
    DeletionWatch watch;
    if (!item) {
        if (!shift && !ctrl && !(listFlags_ & kNeverEmptySelection) && (current_ || selectionCount_ != 1)) {
            current_ = nullptr;
            ClearSelection(true);
        }
    } else if ((listFlags_ & kMultipleSelection) && current_ && shift) {
        SelectRange(current_, item);
        if (!watch.Gone(item)) current_ = item;
    } else if ((listFlags_ & kMultipleSelection) && current_ && ctrl) {
        ToggleItemSelection(item);
    } else if (!(right && item->IsSelected())) {
        SelectItem(item, false);
        if ((listFlags_ & kSingleClickActivates) && !watch.Gone(item)) ToggleOrActivate(item);
    }
    if (right) contextClick.Emit(e.X(), e.Y());
}

void ListWindow::OnDoubleClick(InputEvent& e) {
    const Point p{e.X() - GetClientScreenRect().left, e.Y() - GetClientScreenRect().top};
    if (ListItem* item = ItemAtClientPoint(p)) ToggleOrActivate(item);
}

void ListWindow::OnMouseMove(InputEvent& e) {
    if (dragArmed_) {
        const i32 moved = std::abs(e.X() - pressPoint_.x) + std::abs(e.Y() - pressPoint_.y);
        if (moved > kDragThreshold) {
            dragArmed_ = false;
            if (current_) {
                auto* payload = new ListItemDDData(this, current_, pressPoint_.x - GetClientScreenRect().left,
                                                   rowHeight_ / 2);
                if (!StartDragDrop(this, payload, ForwardMouseDrag)) delete payload;
            }
        }
    }
    if (listFlags_ & kSingleClickActivates) {
        const Point p{e.X() - GetClientScreenRect().left, e.Y() - GetClientScreenRect().top};
        if (ListItem* item = ItemAtClientPoint(p)) SelectItem(item, false);
    }
}

void ListWindow::OnMouseDrag(Point start, Point pos, int phase) {
    if (phase == 2) autoScroll_ = 0;
}

int ListWindow::OnDragDrop(Point pos, int phase, DragDropData* data) {
    auto* rows = dynamic_cast<ListItemDDData*>(data);
    if (!rows || rows->sourceList != this || !(listFlags_ & kDraggableRows)) return 0;
    if (phase == 0) {
        if (rows->item && dropRow_ >= 0) rowMoved.Emit(reinterpret_cast<intptr_t>(rows->item), GetScrollY() + dropRow_);
        return 1;
    }
    const i32 y = pos.y - GetClientScreenRect().top - HeaderHeight();
    const i32 h = std::max(rowHeight_, 1);
    i32 row = y < 0 ? 0 : y / h + ((y % h) >= h / 2 ? 1 : 0);
    const i32 shown = static_cast<i32>(std::max<i64>(std::min<i64>(root_.rowsBelow - GetScrollY(), PageRows()), 0));
    row = std::min(row, shown);
    if (row != dropRow_) {
        dropRow_ = row;
        Invalidate();
    }
    autoScroll_ = row == 0 ? -1 : (row >= PageRows() ? 1 : 0);
    return 1;
}

// ---- in-place editing ----

int ListWindow::EditItem(ListItem* item) {
    if (!item) return 0;
    const bool textCell = (item->flags & ListItem::kTextItem) || !(listFlags_ & kColumnMode);
    return EditCell(item, textCell ? -1 : FirstVisibleColumn(), nullptr, nullptr);
}

int ListWindow::EditCell(ListItem* item, int column, EditCellCallback callback, void* argument) {
    if (!item || editBox_) return 0;
    const bool textCell = (item->flags & ListItem::kTextItem) || column < 0 || !(listFlags_ & kColumnMode);
    i32 maxLength = 256;
    std::string text = item->text;
    if (!textCell) {
        if (column >= GetColumnCount() || !item->userData) return 0;
        const ListColumn& c = columns_[size_t(column)];
        // Fields behind a pointer belong to someone else; a column without
        // a type has nothing to edit.
        if (c.type == kColumnNone || c.type == kColumnStringPtr || c.type > kColumnFixed) return 0;
        maxLength = CellEditLength(c);
        text = CellText(item, column);
    }
    RevealItem(item);
    Rect cell = CellRect(item, textCell ? -1 : column);
    ClientToScreenRects(&cell, 1);
    // Noted before the deselection: its handlers may delete the item.
    editItem_ = item;
    editColumn_ = column;
    if (item->IsSelected()) {
        item->flags &= ~ListItem::kSelected;
        SelectionRemove(item);
        CallDeselected(item);
        selectionChanged.Emit();
        Invalidate();
    }
    if (editItem_ != item) {
        editItem_ = nullptr;
        editColumn_ = -1;
        return 0;
    }
    auto* box = new TextBox(TextBox::kTextField, this);
    box->SetMaxLength(maxLength);
    box->SetText(text);
    editBox_ = box;
    TextBox::EditInPopup(this, cell, box);
    const std::string result = box->GetText();
    editBox_ = nullptr;
    DestroyWindow(box);
    ListItem* edited = editItem_;
    editItem_ = nullptr;
    editColumn_ = -1;
    // The item may have been deleted while the editor ran.
    if (!edited) return 0;
    Invalidate();
    if (callback) return callback(edited, edited->userData, column, argument, result.c_str());
    if (textCell) {
        SetItemText(edited, result.c_str());
        return 1;
    }
    if (WriteCell(columns_[size_t(column)], edited->userData, result) != kCellWritten) {
        OsBeep();
        return 0;
    }
    return 1;
}

// ---- drawing ----

void ListWindow::DrawRow(const ListItem* item, i32 y, bool focused) {
    Skin* skin = GetSkin();
    const i32 width = GetClientWidth();
    const Rect row{0, y, width, y + rowHeight_};
    if (item->IsSelected())
        DrawHighlight(row, kHighlightFill | (focused ? kHighlightStrong : 0u) |
                               (item == current_ ? kHighlightOutline : 0u));
    i32 left = FirstCellLeft(item);
    if ((listFlags_ & kTree) && (item->childCount > 0 || (item->flags & ListItem::kExpandable))) {
        i32 tw = 0, th = 0;
        SkinImageSize(skin, kSlotDisclosure, &tw, &th);
        DrawDisclosureTriangle(skin, Point{left - kMarkerWidth + (kMarkerWidth - tw) / 2, y + (rowHeight_ - th) / 2},
                               item->IsOpen());
    }
    if (item->flags & ListItem::kHasImage) {
        i32 iw = 0, ih = 0;
        SkinImageSize(skin, item->image, &iw, &ih);
        DrawSkinImage(skin, item->image, left, y + (rowHeight_ - ih) / 2);
        left += iw + 2;
    }
    if (item->textColor == 0xFFFFFFFFu) SetSkinTextColor(false);
    else SetDrawColor(item->textColor);
    const bool textRow = (item->flags & ListItem::kTextItem) || !(listFlags_ & kColumnMode) || !item->userData;
    if (textRow) {
        if (!item->text.empty()) DrawTextInRect(item->text.c_str(), 0, 0, Rect{left, y, width, y + rowHeight_});
        return;
    }
    const int first = FirstVisibleColumn();
    for (int i = 0; i < GetColumnCount(); ++i) {
        const ListColumn& c = columns_[size_t(i)];
        if (c.IsHidden() || c.type == kColumnNone) continue;
        const i32 cl = i == first ? left : c.x;
        const Rect cell{cl, y, std::max(cl, c.x + c.width), y + rowHeight_};
        if (cell.IsEmpty() || cell.left >= width) continue;
        std::string text = FormatCell(c, item->userData);
        text.resize(FitCellText(GetFont(), text, cell.Width()));
        if (!text.empty()) DrawTextInRect(text.c_str(), 0, c.textFlags, cell);
    }
}

void ListWindow::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const Rect client = GetClientRect();
        const bool focused = HasFocus();
        i32 y = 0;
        if (HasHeader()) {
            SetSkinTextColor(false);
            for (const ListColumn& c : columns_) {
                if (c.IsHidden() || c.type == kColumnNone || c.title.empty()) continue;
                const i32 left = headerIndent_ + c.x;
                DrawTextInRect(c.title.c_str(), 0, c.textFlags, Rect{left, 0, left + c.width, rowHeight_});
            }
            DrawSkinSeparator(GetSkin(), Rect{0, rowHeight_ - kSeparatorThickness, client.right, rowHeight_}, 2);
            y = rowHeight_;
        }
        for (const ListItem* item = GetTopRow(); item && y < client.bottom; item = NextRow(item)) {
            DrawRow(item, y, focused);
            y += rowHeight_;
        }
        if (dropRow_ >= 0) {
            const i32 at = HeaderHeight() + dropRow_ * rowHeight_;
            SetDrawColor(kSkinFocusColor);
            FillRectangle(Rect{0, at - 1, client.right, at + 1});
        }
        if (focused && !current_) DrawHighlight(client, kHighlightStrong | kHighlightOutline);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
