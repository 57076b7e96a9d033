// ListSelection without a window: the rules of Select for single, multiple
// and never-empty lists, toggling and ranges over a ListTree, the order in
// which the observer hears items join and leave, and items that leave the
// tree in bulk.

#include "ui/list_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirn {
namespace {

class Log : public ListSelectionObserver {
public:
    void ItemSelected(ListItem* item) override { events.push_back("+" + item->text); }
    void ItemDeselected(ListItem* item) override { events.push_back("-" + item->text); }
    std::vector<std::string> events;
};

class ListSelectionTest : public ::testing::Test {
protected:
    // Rows a..f; c is disabled; e is a closed branch with a child "hidden".
    void SetUp() override {
        for (const char* t : {"a", "b", "c", "d", "e", "f"})
            items_.push_back(tree_.Add(nullptr, 0, ListItem::kTextItem | (t[0] == 'c' ? ListItem::kDisabled : 0u),
                                       nullptr, t));
        tree_.Add(items_[4], 0, ListItem::kTextItem, nullptr, "hidden");
        items_[4]->flags |= ListItem::kExpandable;
        selection_.SetObserver(&log_);
    }
    ListItem* Item(char c) { return items_[size_t(c - 'a')]; }
    std::string Selected() const {
        std::string s;
        for (const ListItem* item : selection_.GetItems()) s += item->text;
        return s;
    }
    ListTree tree_;
    std::vector<ListItem*> items_;
    ListSelection selection_;
    Log log_;
};

TEST_F(ListSelectionTest, SelectFollowsTheListsRules) {
    struct Step {
        char item;  // 0 selects nothing
        bool extend;
        ListSelection::Change change;
        const char* selected;
        char current;
    };
    struct Case {
        u32 rules;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        // Single selection: extending is ignored.
        {0,
         {{'a', false, ListSelection::kChanged, "a", 'a'},
          {'a', false, ListSelection::kRefused, "a", 'a'},  // already the only one and current
          {'b', true, ListSelection::kChanged, "b", 'b'},
          {'c', false, ListSelection::kRefused, "b", 'b'},  // disabled
          {0, false, ListSelection::kChanged, "", 0}}},
        // Multiple: extending adds; a selected item extended again stays once.
        {ListSelection::kMultiple,
         {{'a', false, ListSelection::kChanged, "a", 'a'},
          {'d', true, ListSelection::kChanged, "ad", 'd'},
          {'a', true, ListSelection::kUnchanged, "ad", 'a'},
          {'d', false, ListSelection::kChanged, "d", 'd'}}},
        // Never empty: nothing is refused, and so is a disabled item.
        {ListSelection::kNeverEmpty,
         {{'b', false, ListSelection::kChanged, "b", 'b'},
          {0, false, ListSelection::kRefused, "b", 'b'}}},
    };
    for (const Case& c : cases) {
        selection_.ForgetAll();
        selection_.SetRules(c.rules);
        for (const Step& s : c.steps) {
            EXPECT_EQ(selection_.Select(s.item ? Item(s.item) : nullptr, s.extend), s.change) << c.rules << s.item;
            EXPECT_EQ(Selected(), s.selected) << c.rules << s.item;
            EXPECT_EQ(selection_.GetCurrent(), s.current ? Item(s.current) : nullptr);
            EXPECT_EQ(selection_.GetCount(), std::string(s.selected).size());
        }
    }
}

TEST_F(ListSelectionTest, ObserverHearsEveryItemThatJoinsOrLeavesOnce) {
    selection_.SetRules(ListSelection::kMultiple);
    selection_.Select(Item('a'), false);
    selection_.Select(Item('b'), true);
    selection_.Select(Item('d'), false);  // a and b leave, d joins
    selection_.Toggle(Item('f'));
    selection_.Toggle(Item('d'));
    EXPECT_EQ(selection_.GetCurrent(), Item('f'));
    selection_.Toggle(Item('f'));
    EXPECT_EQ(selection_.GetCurrent(), nullptr);  // the first left, and none is left
    EXPECT_FALSE(selection_.Toggle(Item('c')));
    EXPECT_EQ(log_.events, (std::vector<std::string>{"+a", "+b", "-a", "-b", "+d", "+f", "-d", "-f"}));
}

TEST_F(ListSelectionTest, RangesRunBetweenRowsEitherWaySkippingDisabledAndClosedOnes) {
    struct Case {
        char from, to;
        const char* selected;
    };
    const Case cases[] = {
        {'b', 'f', "bdef"},  // downwards: c is disabled, e's child is not shown
        {'f', 'b', "fedb"},  // upwards, in the order walked
        {'d', 'd', "d"},
    };
    for (const Case& c : cases) {
        selection_.Select(Item('a'), false);
        selection_.SelectRange(tree_, Item(c.from), Item(c.to));
        EXPECT_EQ(Selected(), c.selected) << c.from << c.to;
        EXPECT_EQ(selection_.GetCurrent(), Item('a'));  // a range leaves the current item alone
    }
    // An end that is not a shown row: the start alone.
    selection_.SelectRange(tree_, Item('b'), Item('e')->firstChild);
    EXPECT_EQ(Selected(), "b");
}

TEST_F(ListSelectionTest, DeselectAllExceptKeepsOnlyASelectedItem) {
    selection_.SetRules(ListSelection::kMultiple);
    selection_.Select(Item('a'), false);
    selection_.Select(Item('b'), true);
    selection_.DeselectAllExcept(Item('a'));
    EXPECT_EQ(Selected(), "a");
    EXPECT_EQ(selection_.GetCurrent(), Item('a'));
    selection_.DeselectAllExcept(Item('d'));  // not selected: nothing stays
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(selection_.GetCurrent(), nullptr);
}

TEST(ListSelectionBulkTest, ForgettingThousandsKeepsTheRestInOrder) {
    ListTree tree;
    ListSelection selection;
    selection.SetRules(ListSelection::kMultiple);
    std::vector<ListItem*> items;
    for (int i = 0; i < 5000; ++i) {
        items.push_back(tree.Add(nullptr, 0, ListItem::kTextItem, nullptr, std::to_string(i).c_str()));
        selection.Select(items.back(), true);
    }
    for (size_t i = 0; i < items.size(); ++i)
        if (i % 3 != 0) selection.Forget(items[i]);
    const std::vector<ListItem*>& left = selection.GetItems();
    ASSERT_EQ(left.size(), (items.size() + 2) / 3);
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(left[i], items[i * 3]);
        EXPECT_EQ(left[i]->selectionIndex, static_cast<i32>(i));
    }
    EXPECT_FALSE(items[1]->IsSelected());
    selection.ForgetAll();
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_FALSE(items[0]->IsSelected());
}

}  // namespace
}  // namespace pirn
