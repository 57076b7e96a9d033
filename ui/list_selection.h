#pragma once
// ListSelection: which items of a ListTree are selected, in the order they
// were selected, and the current item (the most recently selected). Items
// carry their own selected flag and their place in the array, so that asking
// and taking an item out cost nothing; the array keeps holes where items
// left it and closes them lazily, so that taking thousands of items out
// (deleting a selected branch) stays linear.
//
// The rules of single or multiple selection and of a selection that may
// never be emptied are the list's; the observer hears every item that joins
// or leaves (the list passes that on to its owner).

#include <cstddef>
#include <vector>

#include "platform/types.h"
#include "ui/list_tree.h"

namespace pirn {

class ListSelectionObserver {
public:
    virtual ~ListSelectionObserver() = default;
    virtual void ItemSelected(ListItem* item) = 0;
    virtual void ItemDeselected(ListItem* item) = 0;
};

class ListSelection {
public:
    enum Rule : u32 {
        kMultiple = 1,    // extending a selection is allowed
        kNeverEmpty = 2,  // selecting nothing is refused
    };
    // What a Select did.
    enum Change { kRefused, kUnchanged, kChanged };

    void SetRules(u32 rules) { rules_ = rules; }
    u32 GetRules() const { return rules_; }
    void SetObserver(ListSelectionObserver* observer) { observer_ = observer; }

    ListItem* GetCurrent() const { return current_; }
    void SetCurrent(ListItem* item) { current_ = item; }
    size_t GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    // In order of selection.
    const std::vector<ListItem*>& GetItems() const { return Compact(); }
    ListItem* GetFirst() const;

    // Selects the item and makes it current. Without extending (or without
    // the multiple rule) every other item is deselected first. Refused for a
    // disabled item and, under the never-empty rule, for null; nothing
    // happens when the item already is the only one and current (kRefused
    // both). Null clears the selection.
    Change Select(ListItem* item, bool extend);
    // A selected item leaves (the current one then becomes the first left);
    // another joins and becomes current. False for a disabled or null item.
    bool Toggle(ListItem* item);
    // Deselects everything, then selects every row from `from` to `to`
    // (looked for upwards first, then downwards; `from` alone when neither
    // finds it), both ends included, skipping disabled items. The current
    // item stays.
    void SelectRange(const ListTree& tree, ListItem* from, ListItem* to);
    // Deselects everything but the item (kept when it was selected); the
    // item, if kept, becomes current, else there is none.
    void DeselectAllExcept(ListItem* item);
    // Deselects one item; the current item stays.
    void Deselect(ListItem* item);
    // Deselects everything; returns whether anything was selected. The
    // current item stays.
    bool Clear();

    // Items leaving the tree: taken out without telling the observer.
    void Forget(ListItem* item);
    void ForgetAll();

private:
    void Append(ListItem* item);
    void Remove(ListItem* item);
    std::vector<ListItem*> Take();
    const std::vector<ListItem*>& Compact() const;
    void TellSelected(ListItem* item);
    void TellDeselected(ListItem* item);

    u32 rules_ = 0;
    ListSelectionObserver* observer_ = nullptr;
    mutable std::vector<ListItem*> items_;
    mutable size_t holes_ = 0;
    size_t count_ = 0;
    ListItem* current_ = nullptr;
};

}  // namespace pirn
