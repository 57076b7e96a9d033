// The selected items of a list and the rules of selecting.

#include "ui/list_selection.h"

namespace pirn {

// ---- the array ----

void ListSelection::Append(ListItem* item) {
    item->selectionIndex = static_cast<i32>(items_.size());
    items_.push_back(item);
    ++count_;
}

void ListSelection::Remove(ListItem* item) {
    if (item->selectionIndex < 0) return;
    items_[size_t(item->selectionIndex)] = nullptr;
    item->selectionIndex = -1;
    ++holes_;
    --count_;
    if (holes_ > 64 && holes_ > count_) Compact();
}

const std::vector<ListItem*>& ListSelection::Compact() const {
    if (holes_ == 0) return items_;
    size_t j = 0;
    for (ListItem* s : items_) {
        if (!s) continue;
        s->selectionIndex = static_cast<i32>(j);
        items_[j++] = s;
    }
    items_.resize(j);
    holes_ = 0;
    return items_;
}

std::vector<ListItem*> ListSelection::Take() {
    Compact();
    std::vector<ListItem*> taken = std::move(items_);
    items_.clear();
    count_ = 0;
    for (ListItem* s : taken) s->selectionIndex = -1;
    return taken;
}

ListItem* ListSelection::GetFirst() const {
    const std::vector<ListItem*>& s = Compact();
    return s.empty() ? nullptr : s.front();
}

void ListSelection::TellSelected(ListItem* item) {
    if (observer_) observer_->ItemSelected(item);
}

void ListSelection::TellDeselected(ListItem* item) {
    if (observer_) observer_->ItemDeselected(item);
}

// ---- selecting ----

ListSelection::Change ListSelection::Select(ListItem* item, bool extend) {
    if (item && item->IsDisabled()) return kRefused;
    if (!item && (rules_ & kNeverEmpty)) return kRefused;
    if (item && item == current_ && count_ == 1 && item->IsSelected()) return kRefused;
    extend = extend && (rules_ & kMultiple);
    current_ = item;
    bool changed = false;
    const bool wasSelected = item && item->IsSelected();
    if (!extend) {
        for (ListItem* s : Take()) {
            if (s == item) continue;
            s->flags &= ~ListItem::kSelected;
            TellDeselected(s);
            changed = true;
        }
    }
    if (!item) return changed ? kChanged : kUnchanged;
    if (!(wasSelected && extend)) {
        item->flags |= ListItem::kSelected;
        Append(item);
    }
    if (!wasSelected) {
        TellSelected(item);
        changed = true;
    }
    return changed ? kChanged : kUnchanged;
}

bool ListSelection::Toggle(ListItem* item) {
    if (!item || item->IsDisabled()) return false;
    if (item->IsSelected()) {
        item->flags &= ~ListItem::kSelected;
        TellDeselected(item);
        Remove(item);
        if (current_ == item) current_ = GetFirst();
    } else {
        item->flags |= ListItem::kSelected;
        TellSelected(item);
        current_ = item;
        Append(item);
    }
    return true;
}

void ListSelection::SelectRange(const ListTree& tree, ListItem* from, ListItem* to) {
    if (!from) return;
    Clear();
    int direction = 0;
    for (ListItem* it = from; it; it = tree.PreviousRow(it))
        if (it == to) {
            direction = -1;
            break;
        }
    if (!direction)
        for (ListItem* it = from; it; it = tree.NextRow(it))
            if (it == to) {
                direction = 1;
                break;
            }
    if (!direction) to = from;
    for (ListItem* it = from; it; it = direction < 0 ? tree.PreviousRow(it) : tree.NextRow(it)) {
        if (!it->IsDisabled() && !it->IsSelected()) {
            it->flags |= ListItem::kSelected;
            Append(it);
            TellSelected(it);
        }
        if (it == to) break;
    }
}

void ListSelection::DeselectAllExcept(ListItem* item) {
    const bool keep = item && item->IsSelected();
    for (ListItem* s : Take()) {
        if (s == item) continue;
        s->flags &= ~ListItem::kSelected;
        TellDeselected(s);
    }
    if (keep) Append(item);
    current_ = keep ? item : nullptr;
}

void ListSelection::Deselect(ListItem* item) {
    if (!item || !item->IsSelected()) return;
    item->flags &= ~ListItem::kSelected;
    Remove(item);
    TellDeselected(item);
}

bool ListSelection::Clear() {
    const std::vector<ListItem*> old = Take();
    for (ListItem* s : old) {
        s->flags &= ~ListItem::kSelected;
        TellDeselected(s);
    }
    return !old.empty();
}

// ---- items leaving ----

void ListSelection::Forget(ListItem* item) {
    if (!item->IsSelected()) return;
    item->flags &= ~ListItem::kSelected;
    Remove(item);
}

void ListSelection::ForgetAll() {
    for (ListItem* s : Take()) s->flags &= ~ListItem::kSelected;
    current_ = nullptr;
}

}  // namespace pirn
