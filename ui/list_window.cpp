// List and tree widget: the view of a ListTree and its ListSelection; keys,
// mouse, type-ahead, in-place editing, row dragging and drawing.

#include "ui/list_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_time.h"
#include "ui/frame_timer.h"
#include "ui/skin.h"
#include "ui/text_contrast.h"
#include "ui/text_box.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

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

ListWindow::ListItemDDData* ListWindow::MakeRowDragData(ListItem* item, i32 offsetX, i32 offsetY) {
    return new ListItemDDData(this, item, offsetX, offsetY);
}

// ---- construction ----

ListWindow::ListWindow(u32 listFlags, u32 styleFlags, Window* parent)
    : ScrollableWindow(styleFlags | kTakesFocus, parent), listFlags_(listFlags) {
    ownTree_.SetObserver(this);
    selection_.SetObserver(this);
    selection_.SetRules(((listFlags & kMultipleSelection) ? ListSelection::kMultiple : 0u) |
                        ((listFlags & kNeverEmptySelection) ? ListSelection::kNeverEmpty : 0u));
    rowHeight_ = std::max(GetLineHeight(), 1);
    indentStep_ = rowHeight_;
    SetTitle("ListWindow");
}

ListWindow::~ListWindow() {
    if (activeDrag_) {
        activeDrag_->sourceList = nullptr;
        activeDrag_->item = nullptr;
    }
    // The owner may be half destroyed by now: no callbacks from here. An
    // owner's tree is left as it was given, without selected items.
    selection_.SetObserver(nullptr);
    selection_.ForgetAll();
    tree_->SetObserver(nullptr);
}

void ListWindow::ShowTree(ListTree* tree) {
    if (!tree) tree = &ownTree_;
    if (tree == tree_) return;
    const bool hadSelection = !selection_.IsEmpty();
    selection_.ForgetAll();
    tree_->SetObserver(nullptr);
    tree_ = tree;
    tree_->SetObserver(this);
    editItem_ = nullptr;
    if (activeDrag_) activeDrag_->item = nullptr;
    topCache_ = nullptr;
    topCacheVersion_ = 0;
    typed_.clear();
    SetScrollY(0);
    UpdateScrollRange();
    Invalidate();
    if (hadSelection) selectionChanged.Emit();
}

// ---- the tree's news ----

void ListWindow::SubtreeRemoving(ListItem* item) {
    const bool everything = tree_->IsRoot(item);
    if (everything) {
        selectionLost_ = selectionLost_ || !selection_.IsEmpty();
        selection_.ForgetAll();
        editItem_ = nullptr;
        if (activeDrag_) activeDrag_->item = nullptr;
        topCache_ = nullptr;
        typed_.clear();
        if (!g_deletedWatch) return;
    }
    auto forget = [this](ListItem* it) {
        if (it->IsSelected()) {
            selection_.Forget(it);
            selectionLost_ = true;
        }
        if (g_deletedWatch) g_deletedWatch->insert(it);
    };
    if (!everything && !item->firstChild) {
        forget(item);  // the usual case, without a walk
    } else {
        std::vector<ListItem*> stack;
        if (everything) {
            for (ListItem* c = item->firstChild; c; c = c->next) stack.push_back(c);
        } else {
            stack.push_back(item);
        }
        while (!stack.empty()) {
            ListItem* it = stack.back();
            stack.pop_back();
            forget(it);
            for (ListItem* c = it->firstChild; c; c = c->next) stack.push_back(c);
        }
    }
    if (everything) return;
    auto inside = [item](const ListItem* p) { return p && ListTree::IsInSubtree(p, item); };
    if (inside(selection_.GetCurrent())) selection_.SetCurrent(selection_.GetFirst());
    if (inside(editItem_)) editItem_ = nullptr;
    if (activeDrag_ && inside(activeDrag_->item)) activeDrag_->item = nullptr;
    if (inside(topCache_)) topCache_ = nullptr;
}

void ListWindow::RowsChanged() {
    Invalidate();
    if (selectionLost_ && !holdSelectionSignal_) EmitLostSelection();
}

void ListWindow::ItemChanged(ListItem*) { Invalidate(); }

void ListWindow::EmitLostSelection() {
    if (!selectionLost_) return;
    selectionLost_ = false;
    selectionChanged.Emit();
}

void ListWindow::ItemSelected(ListItem* item) {
    Window* owner = GetParent();
    if (owner && callbacks.selected) callbacks.selected(owner, item, item->userData);
}

void ListWindow::ItemDeselected(ListItem* item) {
    Window* owner = GetParent();
    if (owner && callbacks.deselected) callbacks.deselected(owner, item, item->userData);
}

void ListWindow::FreeUserData(void* list, void* userData) {
    auto* self = static_cast<ListWindow*>(list);
    Window* owner = self->GetParent();
    if (owner && self->callbacks.freeData) self->callbacks.freeData(owner, userData);
}

// ---- columns ----

int ListWindow::AddColumn(const char* title, const char* format, u32 type, u32 fieldSize, i32 width, u32 flags,
                          u32 textFlags) {
    ListColumn c;
    c.title = title ? title : "";
    c.format = format ? format : "";
    c.type = type;
    c.fieldSize = fieldSize;
    c.flags = flags;
    c.width = width;
    c.textFlags = textFlags;
    const int index = tree_->AddColumn(std::move(c));
    Invalidate();
    return index;
}

void ListWindow::SetColumn(int index, const char* title, i32 width, u32 flags) {
    if (index < 0 || index >= GetColumnCount()) return;
    tree_->SetColumn(index, title, width, flags);
    Invalidate();
}

void ListWindow::SetHeaderIndent(i32 steps) {
    headerIndent_ = indentStep_ * steps;
    Invalidate();
}

// ---- items ----

ListItem* ListWindow::AddItem(ListItem* parent, i32 image, u32 flags, void* data, const char* text) {
    // Opened through OpenItem, so that the owner may refuse.
    ListItem* item = tree_->Add(parent, image, flags & ~ListItem::kOpen, data, text);
    if ((flags & ListItem::kOpen) && (flags & ListItem::kExpandable)) OpenItem(item);
    return item;
}

ListItem* ListWindow::AddItemAndLayout(ListItem* parent, i32 image, u32 flags, void* data, const char* text) {
    ListItem* item = AddItem(parent, image, flags, data, text);
    UpdateScrollRange();
    return item;
}

void ListWindow::DeleteItemNoUpdate(ListItem* item) {
    if (!item || tree_->IsRoot(item)) return;
    tree_->Delete(item, &ListWindow::FreeUserData, this);
}

void ListWindow::DeleteItem(ListItem* item) {
    DeleteItemNoUpdate(item);
    UpdateScrollRange();
}

void ListWindow::RemoveAllItems() {
    // The selection signal comes last, once the list is back at the top.
    holdSelectionSignal_ = true;
    tree_->Clear(&ListWindow::FreeUserData, this);
    holdSelectionSignal_ = false;
    SetScrollY(0);
    UpdateScrollRange();
    EmitLostSelection();
}

void ListWindow::Reset() {
    RemoveAllItems();
    tree_->RemoveColumns();
    headerIndent_ = 0;
    UpdateScrollRange();
}

// ---- opening and closing ----

void ListWindow::OpenItem(ListItem* item) {
    if (!tree_->CanOpen(item)) return;
    Window* owner = GetParent();
    if (owner && callbacks.mayOpen && !callbacks.mayOpen(owner, item, item->userData)) return;
    tree_->Open(item);
}

void ListWindow::CloseItem(ListItem* item) {
    if (!tree_->CanClose(item)) return;
    Window* owner = GetParent();
    if (owner && callbacks.mayClose && !callbacks.mayClose(owner, item, item->userData)) return;
    tree_->Close(item);
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

ListItem* ListWindow::GetTopRow() const {
    const i64 y = GetScrollY();
    if (topCache_ && topCacheVersion_ == tree_->GetVersion()) {
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
    topCache_ = tree_->ItemAtRow(y);
    topCacheRow_ = y;
    topCacheVersion_ = tree_->GetVersion();
    return topCache_;
}

void ListWindow::OnScrollY(i32 y) { Invalidate(); }

i64 ListWindow::PageRows() const { return std::max<i64>(GetScrollPageY(), 1); }

bool ListWindow::HasHeader() const { return (listFlags_ & kHeaderRow) && tree_->GetColumnCount() > 0; }

i32 ListWindow::HeaderHeight() const { return HasHeader() ? rowHeight_ : 0; }

i32 ListWindow::GetTotalHeight() const {
    return rowHeight_ * (tree_->GetRowCount() + (HasHeader() ? 1 : 0));
}

i32 ListWindow::GetVisibleRowCapacity() const { return GetScrollPageY(); }

void ListWindow::UpdateScrollRange() {
    const i32 page = std::max(GetClientHeight() / std::max(rowHeight_, 1) - (HasHeader() ? 1 : 0), 0);
    const i32 range = tree_->GetRowCount();
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

i32 ListWindow::FirstCellLeft(const ListItem* item) const { return FirstCellLeftAtDepth(item->depth); }

i32 ListWindow::FirstCellLeftAtDepth(i32 depth) const {
    const int first = tree_->FirstVisibleColumn();
    i32 x = first >= 0 ? tree_->GetColumn(first).x : 0;
    if (listFlags_ & kTree) x += kMarkerWidth + depth * indentStep_;
    if (listFlags_ & kLeadingSpace) x += kMarkerWidth;
    if (!(listFlags_ & (kTree | kLeadingSpace))) x += 4;
    return x;
}

i32 ListWindow::FrameWidthForRowText(i32 textWidth) const {
    const u32 edges = GetBorderEdges();
    const i32 border = GetBorderSize();
    const i32 borders = ((edges & kEdgeLeft) ? border : 0) + ((edges & kEdgeRight) ? border : 0);
    return 2 * FirstCellLeftAtDepth(0) + textWidth + borders + GetScrollbarWidth();
}

std::string ListWindow::DisplayText(const ListItem* item) const {
    if (!item) return std::string();
    if ((item->flags & ListItem::kTextItem) || !(listFlags_ & kColumnMode) || !item->userData) return item->text;
    const int first = tree_->FirstVisibleColumn();
    return first >= 0 ? CellText(item, first) : item->text;
}

Rect ListWindow::CellRect(const ListItem* item, int column) const {
    const i64 row = RowOf(item);
    const i32 top = static_cast<i32>((row - GetScrollY()) * rowHeight_) + HeaderHeight();
    const i32 first = tree_->FirstVisibleColumn();
    const bool textCell = (item->flags & ListItem::kTextItem) || column < 0 || column >= GetColumnCount() ||
                          !(listFlags_ & kColumnMode);
    if (textCell) return Rect{FirstCellLeft(item), top, GetClientWidth(), top + rowHeight_};
    const ListColumn& c = tree_->GetColumn(column);
    const i32 left = column == first ? FirstCellLeft(item) : c.x;
    return Rect{left, top, std::max(left, c.x + c.width), top + rowHeight_};
}

// ---- selection ----

void ListWindow::ClearSelection(bool notify) {
    if (selection_.Clear()) Invalidate();
    if (notify) selectionChanged.Emit();
}

void ListWindow::SelectItem(ListItem* item, bool extend) {
    const ListSelection::Change change = selection_.Select(item, extend);
    if (change == ListSelection::kRefused) return;
    if (change == ListSelection::kChanged) Invalidate();
    selectionChanged.Emit();
}

void ListWindow::ToggleItemSelection(ListItem* item) {
    if (!selection_.Toggle(item)) return;
    selectionChanged.Emit();
    Invalidate();
}

void ListWindow::SelectRange(ListItem* from, ListItem* to) {
    if (!from) return;
    selection_.SelectRange(*tree_, from, to);
    selectionChanged.Emit();
    Invalidate();
}

void ListWindow::SelectAll() {
    if (!(listFlags_ & kMultipleSelection) || !tree_->GetFirstItem()) return;
    ListItem* top = GetTopRow();
    SelectRange(top ? top : tree_->GetFirstItem(), LastRow());
}

void ListWindow::DeselectAllExcept(ListItem* item) {
    selection_.DeselectAllExcept(item);
    selectionChanged.Emit();
    Invalidate();
}

size_t ListWindow::GetSelection(std::vector<ListItem*>* items, std::vector<void*>* data) const {
    const std::vector<ListItem*>& selection = selection_.GetItems();
    if (items) *items = selection;
    if (data) {
        data->clear();
        for (const ListItem* s : selection) data->push_back(s->userData);
    }
    return selection.size();
}

void ListWindow::RevealItem(ListItem* item) {
    if (!item || tree_->IsRoot(item)) return;
    std::vector<ListItem*> chain;
    for (ListItem* p = item->parent; p && !tree_->IsRoot(p); p = p->parent) chain.push_back(p);
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

void ListWindow::Sort() {
    tree_->Sort();
    UpdateScrollRange();
}

void ListWindow::HeaderClick(i32 x) {
    for (int i = 0; i < GetColumnCount(); ++i) {
        const ListColumn& c = GetColumn(i);
        if (c.IsHidden() || c.type == kColumnNone) continue;
        const i32 left = headerIndent_ + c.x;
        if (x < left || x >= left + c.width) continue;
        tree_->MakePrimarySortColumn(i);
        Sort();
        return;
    }
}

// ---- keys ----

void ListWindow::ForEachSelectedCopy(void (ListWindow::*action)(ListItem*)) {
    // The action may run callbacks that delete items: work on a copy and
    // skip whatever went meanwhile.
    const std::vector<ListItem*> copy = selection_.GetItems();
    DeletionWatch watch;
    for (ListItem* item : copy)
        if (!watch.Gone(item)) (this->*action)(item);
}

void ListWindow::MoveCurrentRow(i64 delta, bool toEnd, bool toStart, bool extend) {
    ListItem* current = selection_.GetCurrent();
    ListItem* start = current ? current : GetTopRow();
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
            if (!selection_.IsEmpty()) deleteRequested.Emit();
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
    ListItem* firstRow = tree_->FirstRow();
    if (prefix.empty() || !firstRow) return;
    ListItem* current = selection_.GetCurrent();
    ListItem* start = current ? current : firstRow;
    const bool repeated = prefix.size() >= 2 && prefix[prefix.size() - 1] == prefix[prefix.size() - 2];
    const std::string last(1, prefix.back());
    ListItem* candidate = nullptr;
    size_t bestScore = 0;
    ListItem* fallback = nullptr;
    const int first = tree_->FirstVisibleColumn();
    char cell[kCellTextLimit + 1];
    auto visit = [&](ListItem* row) -> bool {
        // The display text, without allocating a string per row.
        const char* text = row->text.c_str();
        size_t length = row->text.size();
        if (!(row->flags & ListItem::kTextItem) && (listFlags_ & kColumnMode) && row->userData && first >= 0) {
            length = FormatCellInto(tree_->GetColumn(first), row->userData, cell);
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
        if (repeated && !fallback && row != current && length > 0 && StartsWithNoCase(text, last.c_str(), 1))
            fallback = row;
        return false;
    };
    bool done = false;
    for (ListItem* row = start; row && !done; row = NextRow(row)) done = visit(row);
    if (!done && start != firstRow) {
        // Wrapping round: the run that reached the last row ends there.
        if (candidate) {
            done = true;
        } else {
            for (ListItem* row = firstRow; row && row != start && !done; row = NextRow(row))
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
    if (!typed_.empty()) RequestFrameBy(lastTypedTime_ + kTypeAheadTimeout);
    if (activeDrag_ && autoScroll_ != 0) {
        if (now - lastAutoScrollTime_ >= kAutoScrollInterval) {
            lastAutoScrollTime_ = now;
            ScrollByY(autoScroll_);
        }
        RequestFrameBy(lastAutoScrollTime_ + kAutoScrollInterval);
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
        if (!shift && !ctrl && !(listFlags_ & kNeverEmptySelection) &&
            (selection_.GetCurrent() || selection_.GetCount() != 1)) {
            selection_.SetCurrent(nullptr);
            ClearSelection(true);
        }
    } else if ((listFlags_ & kMultipleSelection) && selection_.GetCurrent() && shift) {
        SelectRange(selection_.GetCurrent(), item);
        if (!watch.Gone(item)) selection_.SetCurrent(item);
    } else if ((listFlags_ & kMultipleSelection) && selection_.GetCurrent() && ctrl) {
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
            if (ListItem* current = selection_.GetCurrent()) {
                ListItemDDData* payload =
                    MakeRowDragData(current, pressPoint_.x - GetClientScreenRect().left, rowHeight_ / 2);
                if (payload && !StartDragDrop(this, payload, ForwardMouseDrag)) delete payload;
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
    const i32 shown = static_cast<i32>(std::max<i64>(std::min<i64>(tree_->GetRowCount() - GetScrollY(), PageRows()), 0));
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
    return EditCell(item, textCell ? -1 : tree_->FirstVisibleColumn(), nullptr, nullptr);
}

int ListWindow::EditCell(ListItem* item, int column, EditCellCallback callback, void* argument) {
    if (!item || editBox_) return 0;
    const bool textCell = (item->flags & ListItem::kTextItem) || column < 0 || !(listFlags_ & kColumnMode);
    i32 maxLength = 256;
    std::string text = item->text;
    if (!textCell) {
        if (column >= GetColumnCount() || !item->userData) return 0;
        const ListColumn& c = GetColumn(column);
        // A string behind a pointer belongs to someone else: only an owner
        // that decides itself (a callback) edits it. A column without a type
        // has nothing to edit.
        if (c.type == kColumnNone || c.type > kColumnFixed) return 0;
        if (c.type == kColumnStringPtr && !callback) return 0;
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
        selection_.Deselect(item);
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
    if (WriteCell(GetColumn(column), edited->userData, result) != kCellWritten) {
        OsBeep();
        return 0;
    }
    return 1;
}

// ---- drawing ----

u32 ListWindow::SelectedTextColor(u32 color, bool focused) const {
    // A row's own colour (orange for a local copy) stays, made dark or
    // light enough to read on the selection under it.
    const u32 surface = TestFlags(kDarkBackground) ? kSkinDarkTint : kSkinWhite;
    const u32 fill = CompositeOver(SelectionColor(focused, false), surface);
    return LegibleOn(color, fill, kLegibleTextContrast);
}

void ListWindow::DrawRow(const ListItem* item, i32 y, bool focused) {
    Skin* skin = GetSkin();
    const i32 width = GetClientWidth();
    const Rect row{0, y, width, y + rowHeight_};
    if (item->IsSelected())
        DrawHighlight(row, kHighlightFill | (focused ? kHighlightStrong : 0u) |
                               (item == selection_.GetCurrent() ? kHighlightOutline : 0u));
    i32 left = FirstCellLeft(item);
    // Every item that has or may have children shows whether it is open,
    // in a tree or not (a flat list leaves the room with list flag 4).
    if (item->childCount > 0 || (item->flags & ListItem::kExpandable)) {
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
    else SetDrawColor(item->IsSelected() ? SelectedTextColor(item->textColor, focused) : item->textColor);
    const bool textRow = (item->flags & ListItem::kTextItem) || !(listFlags_ & kColumnMode) || !item->userData;
    if (textRow) {
        if (!item->text.empty()) DrawTextInRect(item->text.c_str(), 0, 0, Rect{left, y, width, y + rowHeight_});
        return;
    }
    const int first = tree_->FirstVisibleColumn();
    for (int i = 0; i < GetColumnCount(); ++i) {
        const ListColumn& c = GetColumn(i);
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
            for (const ListColumn& c : tree_->GetColumns()) {
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
        if (focused && !selection_.GetCurrent()) DrawHighlight(client, kHighlightStrong | kHighlightOutline);
    }
    EndWindowDraw(this);
}

}  // namespace pirn

