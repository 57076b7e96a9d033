// List items and rows: links, rows-below counts, opening and closing,
// row lookup, columns and sorting.

#include "ui/list_tree.h"

#include <algorithm>

namespace pirn {

ListTree::ListTree() { root_.flags = ListItem::kOpen | ListItem::kExpandable; }

ListTree::~ListTree() {
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

int ListTree::AddColumn(ListColumn c) {
    c.fieldOffset = columns_.empty() ? 0 : columns_.back().fieldOffset + columns_.back().fieldSize;
    c.sortPriority = c.IsHidden() ? -1 : static_cast<i32>(columns_.size());
    columns_.push_back(std::move(c));
    RecomputeColumnX();
    return static_cast<int>(columns_.size()) - 1;
}

void ListTree::SetColumn(int index, const char* title, i32 width, u32 flags) {
    if (index < 0 || index >= GetColumnCount()) return;
    ListColumn& c = columns_[size_t(index)];
    c.title = title ? title : "";
    c.width = width;
    c.flags = flags;
    RecomputeColumnX();
}

void ListTree::SetColumnFieldOffset(int index, u32 offset) {
    if (index < 0 || index >= GetColumnCount()) return;
    columns_[size_t(index)].fieldOffset = offset;
}

void ListTree::RemoveColumns() { columns_.clear(); }

void ListTree::RecomputeColumnX() {
    i32 x = 0;
    for (ListColumn& c : columns_) {
        c.x = x;
        if (!c.IsHidden()) x += c.width;
    }
}

int ListTree::FirstVisibleColumn() const {
    for (int i = 0; i < GetColumnCount(); ++i)
        if (!columns_[size_t(i)].IsHidden() && columns_[size_t(i)].type != kColumnNone) return i;
    return -1;
}

void ListTree::MakePrimarySortColumn(int index) {
    if (index < 0 || index >= GetColumnCount()) return;
    ListColumn& c = columns_[size_t(index)];
    c.flags ^= ListColumn::kDescending;
    // The others keep their order behind it (adding one modulo the count
    // would turn priorities 0, 1, 2 into 1, 0, 0 for a click on the middle).
    const i32 old = c.sortPriority;
    if (old == 0) return;
    for (ListColumn& o : columns_)
        if (&o != &c && o.sortPriority >= 0 && (old < 0 || o.sortPriority < old)) o.sortPriority++;
    c.sortPriority = 0;
}

std::vector<int> ListTree::SortOrder() const {
    std::vector<int> order;
    for (int i = 0; i < GetColumnCount(); ++i)
        if (columns_[size_t(i)].sortPriority >= 0 && columns_[size_t(i)].type != kColumnNone) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return columns_[size_t(a)].sortPriority < columns_[size_t(b)].sortPriority;
    });
    return order;
}

int ListTree::CompareItems(const ListItem* a, const ListItem* b, const std::vector<int>& order) const {
    const bool textA = (a->flags & ListItem::kTextItem) || !a->userData;
    const bool textB = (b->flags & ListItem::kTextItem) || !b->userData;
    if (textA || textB) {
        const int r = a->text.compare(b->text);
        return (r > 0) - (r < 0);
    }
    for (int index : order) {
        const ListColumn& c = columns_[size_t(index)];
        const int r = CompareCells(c, a->userData, b->userData);
        if (r) return (c.flags & ListColumn::kDescending) ? -r : r;
    }
    return 0;
}

std::string ListTree::CellText(const ListItem* item, int column) const {
    if (!item || column < 0 || column >= GetColumnCount()) return std::string();
    return FormatCell(columns_[size_t(column)], item->userData);
}

// ---- links and counts ----

void ListTree::AddRowsAbove(ListItem* from, i32 delta) {
    for (ListItem* p = from->parent; p; p = p->parent) {
        // A closed ancestor shows none of these rows, and neither does
        // anything above it.
        if (!p->IsOpen()) break;
        p->rowsBelow += delta;
    }
}

void ListTree::Link(ListItem* parent, ListItem* item, bool first) {
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

void ListTree::Unlink(ListItem* item) {
    AddRowsAbove(item, -(1 + item->rowsBelow));
    ListItem* parent = item->parent;
    if (item->prev) item->prev->next = item->next;
    else parent->firstChild = item->next;
    if (item->next) item->next->prev = item->prev;
    else parent->lastChild = item->prev;
    parent->childCount--;
    item->prev = item->next = nullptr;
}

bool ListTree::IsInSubtree(const ListItem* item, const ListItem* top) {
    for (const ListItem* p = item; p; p = p->parent)
        if (p == top) return true;
    return false;
}

// ---- items ----

ListItem* ListTree::Add(ListItem* parent, i32 image, u32 flags, void* data, const char* text) {
    auto* item = new ListItem;
    if (!parent) parent = &root_;
    item->flags = flags & ~(ListItem::kSelected | ListItem::kOpen);
    item->image = image;
    item->userData = data;
    if (text) {
        item->text = text;
        item->hasText = true;
    }
    item->depth = parent->depth + 1;
    item->textColor = (flags & ListItem::kDisabled) ? ListItem::kDisabledTextColor : ListItem::kDefaultTextColor;
    Link(parent, item, (flags & ListItem::kInsertFirst) != 0);
    RowsChanged();
    if ((flags & ListItem::kOpen) && (flags & ListItem::kExpandable)) Open(item);
    return item;
}

void ListTree::FreeSubtree(ListItem* item, FreeHook hook, void* context) {
    if (!item->firstChild) {  // the usual case, without a walk
        if (hook) hook(context, item->userData);
        delete item;
        return;
    }
    std::vector<ListItem*> stack{item};
    while (!stack.empty()) {
        ListItem* it = stack.back();
        stack.pop_back();
        for (ListItem* c = it->firstChild; c; c = c->next) stack.push_back(c);
        if (hook) hook(context, it->userData);
        delete it;
    }
}

void ListTree::Delete(ListItem* item, FreeHook hook, void* context) {
    if (!item || item == &root_) return;
    if (observer_) observer_->SubtreeRemoving(item);
    Unlink(item);
    FreeSubtree(item, hook, context);
    RowsChanged();
}

void ListTree::Clear(FreeHook hook, void* context) {
    if (observer_) observer_->SubtreeRemoving(&root_);
    ListItem* c = root_.firstChild;
    root_.firstChild = root_.lastChild = nullptr;
    root_.childCount = 0;
    root_.rowsBelow = 0;
    while (c) {
        ListItem* next = c->next;
        FreeSubtree(c, hook, context);
        c = next;
    }
    RowsChanged();
}

void ListTree::SetItemText(ListItem* item, const char* text) {
    if (!item) return;
    item->hasText = text != nullptr;
    item->text = text ? text : "";
    if (observer_) observer_->ItemChanged(item);
}

// ---- open and closed ----

bool ListTree::CanOpen(const ListItem* item) const {
    return item && item != &root_ && (item->flags & ListItem::kExpandable) && !item->IsOpen();
}

bool ListTree::CanClose(const ListItem* item) const { return item && item != &root_ && item->IsOpen(); }

bool ListTree::Open(ListItem* item) {
    if (!CanOpen(item)) return false;
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
    RowsChanged();
    return true;
}

bool ListTree::Close(ListItem* item) {
    if (!CanClose(item)) return false;
    AddRowsAbove(item, -item->rowsBelow);
    item->flags &= ~ListItem::kOpen;
    item->rowsBelow = 0;
    RowsChanged();
    return true;
}

// ---- rows ----

ListItem* ListTree::NextRow(const ListItem* item) const {
    if (!item) return nullptr;
    if (item->IsOpen() && item->rowsBelow > 0 && item->firstChild) return item->firstChild;
    for (const ListItem* it = item; it && it != &root_; it = it->parent)
        if (it->next) return it->next;
    return nullptr;
}

ListItem* ListTree::PreviousRow(const ListItem* item) const {
    if (!item) return nullptr;
    if (item->prev) {
        ListItem* p = item->prev;
        while (p->IsOpen() && p->lastChild) p = p->lastChild;
        return p;
    }
    return item->parent == &root_ ? nullptr : item->parent;
}

ListItem* ListTree::LastRow() const {
    ListItem* p = root_.lastChild;
    while (p && p->IsOpen() && p->lastChild) p = p->lastChild;
    return p;
}

i64 ListTree::RowOf(const ListItem* item) const {
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

i64 ListTree::RowWithinParent(const ListItem* item) {
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

ListItem* ListTree::ItemAtRow(i64 row) const {
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

ListItem* ListTree::FindItemByData(const void* value, ListItem* start) const {
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

// ---- sorting ----

void ListTree::SortChildren(ListItem* parent, const std::vector<int>& order) {
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
        ListItem* prev = nullptr;
        for (const Entry& e : entries) {
            ListItem* c = e.item;
            c->prev = prev;
            c->next = nullptr;
            if (prev) prev->next = c;
            prev = c;
        }
        parent->firstChild = entries.front().item;
        parent->lastChild = entries.back().item;
    }
    for (ListItem* c = parent->firstChild; c; c = c->next) {
        if (!c->firstChild) continue;
        if (c->IsOpen()) SortChildren(c, order);
        else c->flags |= ListItem::kSortWhenOpened;
    }
}

void ListTree::Sort() {
    SortChildren(&root_, SortOrder());
    RowsChanged();
}

}  // namespace pirn
