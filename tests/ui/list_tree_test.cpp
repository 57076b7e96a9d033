// ListTree without a window: rows-below counts against a plain walk of the
// tree, the flags an item is added with, what the observer hears and when,
// the hook that frees user data, sorting by typed columns (closed branches
// when they open) and the header-click order of sort keys.

#include "ui/list_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace pirn {
namespace {

// Rows shown by a plain depth-first walk.
std::vector<ListItem*> WalkRows(ListTree& tree) {
    std::vector<ListItem*> rows;
    std::function<void(ListItem*)> visit = [&](ListItem* parent) {
        for (ListItem* c = parent->firstChild; c; c = c->next) {
            rows.push_back(c);
            if (c->IsOpen()) visit(c);
        }
    };
    visit(tree.GetRoot());
    return rows;
}

void ExpectRowsExact(ListTree& tree) {
    std::function<i32(const ListItem*)> shown = [&](const ListItem* item) {
        if (!item->IsOpen()) return 0;
        i32 n = 0;
        for (const ListItem* c = item->firstChild; c; c = c->next) n += 1 + shown(c);
        return n;
    };
    std::function<void(const ListItem*)> check = [&](const ListItem* item) {
        ASSERT_EQ(item->rowsBelow, shown(item)) << item->text;
        for (const ListItem* c = item->firstChild; c; c = c->next) check(c);
    };
    check(tree.GetRoot());
    const std::vector<ListItem*> rows = WalkRows(tree);
    ASSERT_EQ(tree.GetRowCount(), static_cast<i32>(rows.size()));
    ASSERT_EQ(tree.LastRow(), rows.empty() ? nullptr : rows.back());
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(tree.ItemAtRow(static_cast<i64>(i)), rows[i]) << i;
        ASSERT_EQ(tree.RowOf(rows[i]), static_cast<i64>(i));
        ASSERT_EQ(tree.NextRow(rows[i]), i + 1 < rows.size() ? rows[i + 1] : nullptr);
        ASSERT_EQ(tree.PreviousRow(rows[i]), i > 0 ? rows[i - 1] : nullptr);
    }
}

ListItem* Text(ListTree& tree, const char* text, ListItem* parent = nullptr, u32 flags = 0) {
    return tree.Add(parent, 0, ListItem::kTextItem | flags, nullptr, text);
}

TEST(ListTreeTest, CountsAndRowsStayExactThroughRandomEdits) {
    ListTree tree;
    std::mt19937 rng(11);
    std::vector<ListItem*> items;
    for (int step = 0; step < 800; ++step) {
        const int op = static_cast<int>(rng() % 10);
        ListItem* some = items.empty() ? nullptr : items[rng() % items.size()];
        if (op < 5 || items.empty()) {
            const u32 flags = ListItem::kExpandable | (rng() % 3 == 0 ? ListItem::kOpen : 0u) |
                              (rng() % 4 == 0 ? ListItem::kInsertFirst : 0u);
            items.push_back(Text(tree, std::to_string(step).c_str(), rng() % 4 ? some : nullptr, flags));
        } else if (op < 7) {
            tree.Open(some);
        } else if (op < 9) {
            tree.Close(some);
        } else {
            std::vector<ListItem*> gone{some};
            for (size_t i = 0; i < gone.size(); ++i)
                for (ListItem* c = gone[i]->firstChild; c; c = c->next) gone.push_back(c);
            tree.Delete(some);
            items.erase(std::remove_if(items.begin(), items.end(),
                                       [&](ListItem* it) { return std::find(gone.begin(), gone.end(), it) != gone.end(); }),
                        items.end());
        }
        ExpectRowsExact(tree);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ListTreeTest, AddedItemsTakeOnlyTheFlagsThatApply) {
    ListTree tree;
    ListItem* a = Text(tree, "a", nullptr, ListItem::kSelected | ListItem::kOpen);  // open without expandable
    EXPECT_FALSE(a->IsSelected());
    EXPECT_FALSE(a->IsOpen());
    ListItem* b = Text(tree, "b", nullptr, ListItem::kExpandable | ListItem::kOpen | ListItem::kDisabled);
    EXPECT_TRUE(b->IsOpen());
    EXPECT_EQ(b->textColor, ListItem::kDisabledTextColor);
    EXPECT_EQ(a->textColor, ListItem::kDefaultTextColor);
    ListItem* first = Text(tree, "first", nullptr, ListItem::kInsertFirst);
    EXPECT_EQ(tree.GetFirstItem(), first);
    ListItem* child = Text(tree, "child", b);
    EXPECT_EQ(child->depth, 2);
    EXPECT_EQ(b->childCount, 1u);
    EXPECT_EQ(tree.GetRowCount(), 4);
    // Closing an item whose children are closed takes only its children away.
    ListItem* grand = Text(tree, "grand", child);
    EXPECT_EQ(tree.RowOf(grand), -1);
    EXPECT_FALSE(tree.Close(a));  // never opened
    EXPECT_TRUE(tree.Close(b));
    EXPECT_EQ(tree.GetRowCount(), 3);
    EXPECT_FALSE(tree.Open(tree.GetRoot()));
    EXPECT_FALSE(tree.Close(tree.GetRoot()));
}

// Records what the observer hears, with the rows counted at that moment.
class Recorder : public ListTreeObserver {
public:
    explicit Recorder(ListTree& tree) : tree_(tree) { tree.SetObserver(this); }
    void SubtreeRemoving(ListItem* item) override {
        log.push_back("removing " + (tree_.IsRoot(item) ? std::string("all") : item->text) + " rows " +
                      std::to_string(tree_.GetRowCount()));
    }
    void RowsChanged() override { log.push_back("rows " + std::to_string(tree_.GetRowCount())); }
    void ItemChanged(ListItem* item) override { log.push_back("text " + item->text); }
    std::vector<std::string> log;

private:
    ListTree& tree_;
};

TEST(ListTreeTest, ObserverHearsRemovalsWhileTheItemsAreStillThereAndFreeHookSeesEveryRecord) {
    ListTree tree;
    int records[4] = {0, 1, 2, 3};
    ListItem* group = tree.Add(nullptr, 0, ListItem::kExpandable | ListItem::kOpen, &records[0], "group");
    tree.Add(group, 0, 0, &records[1], "x");
    tree.Add(group, 0, 0, &records[2], "y");
    tree.Add(nullptr, 0, 0, &records[3], "keep");
    Recorder recorder(tree);
    std::vector<int> freed;
    auto hook = [](void* context, void* data) {
        static_cast<std::vector<int>*>(context)->push_back(*static_cast<int*>(data));
    };

    tree.SetItemText(tree.LastRow(), "kept");
    tree.Delete(group, hook, &freed);
    std::sort(freed.begin(), freed.end());
    EXPECT_EQ(freed, (std::vector<int>{0, 1, 2}));
    tree.Clear(hook, &freed);
    EXPECT_EQ(freed.back(), 3);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"text kept", "removing group rows 4", "rows 1",
                                                      "removing all rows 1", "rows 0"}));
    EXPECT_EQ(tree.GetFirstItem(), nullptr);
    const u64 version = tree.GetVersion();
    tree.Delete(tree.GetRoot());  // the root never goes
    EXPECT_EQ(tree.GetVersion(), version);
}

TEST(ListTreeTest, FindItemByDataGoesDepthFirstFromTheStartOn) {
    ListTree tree;
    int a = 0, b = 0;
    ListItem* first = tree.Add(nullptr, 0, ListItem::kExpandable, nullptr, "first");
    ListItem* inside = tree.Add(first, 0, 0, &a, "inside");  // under a closed item: found all the same
    ListItem* second = tree.Add(nullptr, 0, 0, &a, "second");
    ListItem* third = tree.Add(nullptr, 0, 0, &b, "third");
    EXPECT_EQ(tree.FindItemByData(&a, nullptr), inside);
    EXPECT_EQ(tree.FindItemByData(&a, second), second);
    EXPECT_EQ(tree.FindItemByData(&b, second), third);
    EXPECT_EQ(tree.FindItemByData(&b, inside), nullptr);  // the start's later siblings only
}

// Fields back to back, as the columns' offsets assume.
struct Record {
    u32 group;
    char name[8];
    u32 id;
};
static_assert(sizeof(Record) == 16, "packed record");

class ListTreeSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddColumn("Group", kColumnInteger, 4);
        AddColumn("Name", kColumnCharArray, 8);
        AddColumn("Id", kColumnInteger, 4);
    }
    void AddColumn(const char* title, u32 type, u32 size) {
        ListColumn c;
        c.title = title;
        c.type = type;
        c.fieldSize = size;
        c.width = 50;
        tree_.AddColumn(c);
    }
    ListItem* Add(ListItem* parent, u32 group, const char* name, u32 id, u32 flags = 0) {
        records_.push_back(std::make_unique<Record>());
        Record& r = *records_.back();
        r.group = group;
        std::memset(r.name, 0, sizeof r.name);
        std::strncpy(r.name, name, sizeof r.name - 1);
        r.id = id;
        return tree_.Add(parent, 0, flags, &r, nullptr);
    }
    std::vector<std::string> Names(const ListItem* parent) const {
        std::vector<std::string> out;
        for (const ListItem* c = parent->firstChild; c; c = c->next)
            out.push_back(static_cast<const Record*>(c->userData)->name);
        return out;
    }
    ListTree tree_;
    std::vector<std::unique_ptr<Record>> records_;
};

TEST_F(ListTreeSortTest, ColumnsLieBackToBackAndSortByPriority) {
    EXPECT_EQ(tree_.GetColumn(0).fieldOffset, 0u);
    EXPECT_EQ(tree_.GetColumn(1).fieldOffset, 4u);
    EXPECT_EQ(tree_.GetColumn(2).fieldOffset, 12u);
    EXPECT_EQ(tree_.GetColumn(2).x, 100);
    Add(nullptr, 2, "b", 1);
    Add(nullptr, 1, "c", 7);
    Add(nullptr, 2, "a", 9);
    Add(nullptr, 1, "c", 3);
    tree_.Sort();  // group, then name, then id
    EXPECT_EQ(Names(tree_.GetRoot()), (std::vector<std::string>{"c", "c", "a", "b"}));
    EXPECT_EQ(static_cast<const Record*>(tree_.GetFirstItem()->userData)->id, 3u);
    EXPECT_EQ(tree_.CellText(tree_.GetFirstItem(), 1), "c");
}

TEST_F(ListTreeSortTest, HeaderClicksMoveTheColumnToTheFrontAndFlipItsDirection) {
    struct Case {
        std::vector<int> clicks;
        std::vector<i32> priorities;
        std::vector<bool> descending;
    };
    const Case cases[] = {
        {{1}, {1, 0, 2}, {false, true, false}},
        {{2}, {1, 2, 0}, {false, false, true}},
        {{0}, {0, 1, 2}, {true, false, false}},  // already first: only the direction flips
        {{2, 1}, {2, 0, 1}, {false, true, true}},
        {{1, 1}, {1, 0, 2}, {false, false, false}},
    };
    for (const Case& c : cases) {
        ListTree tree;
        for (int i = 0; i < 3; ++i) {
            ListColumn column;
            column.type = kColumnInteger;
            column.fieldSize = 4;
            tree.AddColumn(column);
        }
        for (int click : c.clicks) tree.MakePrimarySortColumn(click);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(tree.GetColumn(i).sortPriority, c.priorities[size_t(i)]) << c.clicks.size() << " " << i;
            EXPECT_EQ((tree.GetColumn(i).flags & ListColumn::kDescending) != 0, c.descending[size_t(i)]);
        }
    }
}

TEST_F(ListTreeSortTest, ClosedBranchesSortWhenTheyOpen) {
    ListItem* open = Add(nullptr, 1, "open", 0, ListItem::kExpandable | ListItem::kOpen);
    ListItem* closed = Add(nullptr, 2, "closed", 0, ListItem::kExpandable);
    for (const char* n : {"z", "x", "y"}) {
        Add(open, 1, n, 0);
        Add(closed, 1, n, 0);
    }
    tree_.MakePrimarySortColumn(1);  // name, descending
    tree_.Sort();
    EXPECT_EQ(Names(open), (std::vector<std::string>{"z", "y", "x"}));
    EXPECT_EQ(Names(closed), (std::vector<std::string>{"z", "x", "y"}));
    EXPECT_TRUE(closed->flags & ListItem::kSortWhenOpened);
    tree_.Open(closed);
    EXPECT_EQ(Names(closed), (std::vector<std::string>{"z", "y", "x"}));
    EXPECT_FALSE(closed->flags & ListItem::kSortWhenOpened);
    ExpectRowsExact(tree_);
}

}  // namespace
}  // namespace pirn
