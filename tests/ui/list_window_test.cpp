// ListWindow on the headless window system: rows-below bookkeeping against a
// plain walk of the tree, selection by mouse and keys, deleting items that
// are referenced, sorting, type-ahead, in-place editing and row dragging.

#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/os/os_time.h"
#include "tests/ui/widget_fixture.h"
#include "ui/frame_timer.h"
#include "ui/list_window.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/text_contrast.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

struct Tag {
    u32 group;
    char name[8];
    u32 id;
};

class ListWindowTest : public WidgetTest {
public:
    static constexpr i32 kRows = 10;

    // A list inside an owner window, 10 rows high (14-px rows).
    ListWindow* MakeList(u32 listFlags) {
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{0, 0, 400, 400});
        list_ = new ListWindow(listFlags, Window::kVisible, owner_);
        SetFrame(list_, Rect{10, 10, 250, 10 + kRows * kLineHeight});
        ConnectSignal(list_->selectionChanged, nullptr, [](SignalListener*) { ++selectionSignals_; });
        selectionSignals_ = 0;
        return list_;
    }
    ListItem* Text(const char* text, ListItem* parent = nullptr, u32 flags = 0) {
        return list_->AddItem(parent, 0, ListItem::kTextItem | flags, nullptr, text);
    }
    // Visible rows by a plain depth-first walk of the tree.
    std::vector<ListItem*> WalkRows() const {
        std::vector<ListItem*> rows;
        std::function<void(ListItem*)> visit = [&](ListItem* parent) {
            for (ListItem* c = parent->firstChild; c; c = c->next) {
                rows.push_back(c);
                if (c->IsOpen()) visit(c);
            }
        };
        visit(list_->GetRoot());
        return rows;
    }
    // Rows-below of every item against a count of its shown descendants.
    void ExpectCountsExact() {
        std::function<i32(ListItem*)> shown = [&](ListItem* item) {
            if (!item->IsOpen()) return 0;
            i32 n = 0;
            for (ListItem* c = item->firstChild; c; c = c->next) n += 1 + shown(c);
            return n;
        };
        std::function<void(ListItem*)> check = [&](ListItem* item) {
            ASSERT_EQ(item->rowsBelow, shown(item)) << item->text;
            for (ListItem* c = item->firstChild; c; c = c->next) check(c);
        };
        check(list_->GetRoot());
        const std::vector<ListItem*> rows = WalkRows();
        ASSERT_EQ(list_->GetRowCount(), static_cast<i32>(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(list_->ItemAtRow(static_cast<i64>(i)), rows[i]) << i;
            ASSERT_EQ(list_->RowOf(rows[i]), static_cast<i64>(i));
            ASSERT_EQ(list_->NextRow(rows[i]), i + 1 < rows.size() ? rows[i + 1] : nullptr);
            ASSERT_EQ(list_->PreviousRow(rows[i]), i > 0 ? rows[i - 1] : nullptr);
        }
    }
    Point RowPoint(i32 row) const {
        const Rect& c = list_->GetClientScreenRect();
        return Point{c.left + 30, c.top + row * kLineHeight + kLineHeight / 2};
    }
    void ClickRow(i32 row, std::vector<int> modifiers = {}, int button = 0) {
        for (int m : modifiers) HandleKeyInput(m, 1);
        DrainEventQueue();
        headless::AdvanceTime(0.5);
        const Point p = RowPoint(row);
        Click(p.x, p.y, button);
        for (int m : modifiers) HandleKeyInput(m, 0);
        DrainEventQueue();
    }
    std::vector<std::string> SelectedTexts() const {
        std::vector<std::string> out;
        for (const ListItem* s : list_->GetSelectionArray()) out.push_back(s->text);
        return out;
    }
    static void TypeChar(ListWindow* list, char c) {
        InputEvent e;
        e.type = kEventChar;
        e.word[0] = static_cast<u8>(c);
        e.word[1] = 1;
        list->OnChar(e);
    }

    ProbeWindow* owner_ = nullptr;
    ListWindow* list_ = nullptr;
    inline static int selectionSignals_ = 0;
};

TEST_F(ListWindowTest, CountsStayExactThroughRandomEdits) {
    MakeList(ListWindow::kTree);
    std::mt19937 rng(7);
    std::vector<ListItem*> items;
    for (int step = 0; step < 600; ++step) {
        const int op = static_cast<int>(rng() % 10);
        ListItem* some = items.empty() ? nullptr : items[rng() % items.size()];
        if (op < 5 || items.empty()) {
            const u32 flags = ListItem::kExpandable | (rng() % 3 == 0 ? ListItem::kOpen : 0u) |
                              (rng() % 4 == 0 ? ListItem::kInsertFirst : 0u);
            items.push_back(Text(std::to_string(step).c_str(), rng() % 4 ? some : nullptr, flags));
        } else if (op < 7) {
            list_->OpenItem(some);
        } else if (op < 9) {
            list_->CloseItem(some);
        } else {
            // Delete a subtree and forget the items in it.
            std::vector<ListItem*> gone{some};
            for (size_t i = 0; i < gone.size(); ++i)
                for (ListItem* c = gone[i]->firstChild; c; c = c->next) gone.push_back(c);
            list_->DeleteItem(some);
            items.erase(std::remove_if(items.begin(), items.end(),
                                       [&](ListItem* it) { return std::find(gone.begin(), gone.end(), it) != gone.end(); }),
                        items.end());
        }
        ExpectCountsExact();
        if (HasFatalFailure()) return;
    }
}

TEST_F(ListWindowTest, AddingAndClosingFollowTheFlags) {
    MakeList(ListWindow::kTree);
    ListItem* a = Text("a", nullptr, ListItem::kSelected | ListItem::kOpen);  // open without expandable
    EXPECT_FALSE(a->IsSelected());
    EXPECT_FALSE(a->IsOpen());
    EXPECT_TRUE(list_->GetSelectionArray().empty());
    ListItem* b = Text("b", nullptr, ListItem::kExpandable | ListItem::kOpen);
    EXPECT_TRUE(b->IsOpen());
    for (int i = 0; i < 3; ++i) Text("child", b, ListItem::kExpandable);
    EXPECT_EQ(list_->GetRowCount(), 5);
    // Children under a closed grandchild change nothing above it.
    ListItem* closed = b->firstChild;
    Text("hidden", closed);
    EXPECT_EQ(list_->GetRowCount(), 5);
    list_->CloseItem(b);
    EXPECT_EQ(list_->GetRowCount(), 2);
    ExpectCountsExact();
}

TEST_F(ListWindowTest, OwnerCallbacksCanRefuseAndHearSelection) {
    MakeList(ListWindow::kTree);
    static int selected = 0, deselected = 0, freed = 0;
    selected = deselected = freed = 0;
    list_->callbacks.mayOpen = [](Window*, ListItem* item, void*) { return item->text == "locked" ? 0 : 1; };
    list_->callbacks.selected = [](Window*, ListItem*, void*) { ++selected; };
    list_->callbacks.deselected = [](Window*, ListItem*, void*) { ++deselected; };
    list_->callbacks.freeData = [](Window*, void*) { ++freed; };
    ListItem* locked = Text("locked", nullptr, ListItem::kExpandable);
    Text("inside", locked);
    list_->OpenItem(locked);
    EXPECT_FALSE(locked->IsOpen());
    ListItem* other = Text("other");
    list_->SelectItem(locked, false);
    list_->SelectItem(other, false);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(deselected, 1);
    list_->DeleteItem(locked);
    EXPECT_EQ(freed, 2);
}

TEST_F(ListWindowTest, DeletingPurgesEveryReferenceAndTellsTheOwner) {
    MakeList(ListWindow::kTree | ListWindow::kMultipleSelection);
    ListItem* group = Text("group", nullptr, ListItem::kExpandable | ListItem::kOpen);
    std::vector<ListItem*> children;
    for (int i = 0; i < 30; ++i) children.push_back(Text(("c" + std::to_string(i)).c_str(), group));
    ListItem* keep = Text("keep");
    list_->UpdateScrollRange();
    list_->SelectItem(children[3], false);
    list_->SelectItem(keep, true);
    list_->SelectItem(children[20], true);  // current
    list_->SetScrollY(15);
    ASSERT_EQ(list_->GetTopRow(), children[14]);
    const int signalsBefore = selectionSignals_;

    list_->DeleteItem(group);

    EXPECT_EQ(selectionSignals_, signalsBefore + 1);
    ASSERT_EQ(list_->GetSelectionArray().size(), 1u);
    EXPECT_EQ(list_->GetSelectionArray()[0], keep);
    EXPECT_EQ(list_->GetCurrentItem(), keep);
    EXPECT_EQ(list_->GetRowCount(), 1);
    EXPECT_EQ(list_->GetScrollY(), 0);
    EXPECT_EQ(list_->GetTopRow(), keep);
    // Keys and drawing after the delete touch only live items (ASan).
    ActivateWindow(list_, kFocusByProgram);
    Key(kKeyDown);
    Key(kKeyUp);
    InvalidateAll();
    StepFrame();

    list_->RemoveAllItems();
    EXPECT_EQ(selectionSignals_, signalsBefore + 2);
    EXPECT_EQ(list_->GetCurrentItem(), nullptr);
    EXPECT_EQ(list_->GetTopRow(), nullptr);
}

TEST_F(ListWindowTest, TopRowFollowsTheScrollPositionWhenItemsGoInAbove) {
    MakeList(0);
    for (int i = 0; i < 40; ++i) Text(std::to_string(i).c_str());
    list_->UpdateScrollRange();
    list_->SetScrollY(20);
    EXPECT_EQ(list_->GetTopRow()->text, "20");
    Text("first", nullptr, ListItem::kInsertFirst);
    EXPECT_EQ(list_->GetTopRow(), list_->ItemAtRow(20));
    EXPECT_EQ(list_->GetTopRow()->text, "19");
    list_->ScrollByY(-3);
    EXPECT_EQ(list_->GetTopRow()->text, "16");
}

TEST_F(ListWindowTest, MouseSelection) {
    struct Case {
        const char* name;
        u32 flags;
        std::function<void(ListWindowTest*)> act;
        std::vector<std::string> selected;
    } cases[] = {
        {"click selects one", ListWindow::kMultipleSelection,
         [](ListWindowTest* t) { t->ClickRow(1); t->ClickRow(3); }, {"3"}},
        {"shift click selects a range", ListWindow::kMultipleSelection,
         [](ListWindowTest* t) { t->ClickRow(4); t->ClickRow(1, {kKeyLeftShift}); }, {"4", "3", "2", "1"}},
        {"ctrl click toggles", ListWindow::kMultipleSelection,
         [](ListWindowTest* t) { t->ClickRow(1); t->ClickRow(3, {kKeyLeftControl}); t->ClickRow(1, {kKeyLeftControl}); },
         {"3"}},
        {"empty space clears", 0, [](ListWindowTest* t) { t->ClickRow(2); t->ClickRow(8); }, {}},
        {"empty space keeps a never-empty selection", ListWindow::kNeverEmptySelection,
         [](ListWindowTest* t) { t->ClickRow(2); t->ClickRow(8); }, {"2"}},
        {"right click on the selection keeps it", ListWindow::kMultipleSelection,
         [](ListWindowTest* t) { t->ClickRow(1); t->ClickRow(2, {kKeyLeftShift}); t->ClickRow(1, {}, 1); },
         {"1", "2"}},
        {"disabled rows are skipped in a range", ListWindow::kMultipleSelection,
         [](ListWindowTest* t) { t->ClickRow(0); t->ClickRow(5, {kKeyLeftShift}); }, {"0", "1", "2", "3", "4"}},
    };
    for (auto& c : cases) {
        MakeList(c.flags);
        for (int i = 0; i < 5; ++i) Text(std::to_string(i).c_str());
        Text("5", nullptr, ListItem::kDisabled);
        list_->UpdateScrollRange();
        c.act(this);
        EXPECT_EQ(SelectedTexts(), c.selected) << c.name;
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
}

TEST_F(ListWindowTest, KeysMoveTheCurrentRow) {
    struct Case {
        std::vector<std::pair<int, std::vector<int>>> keys;
        std::vector<std::string> selected;
        i32 scroll;
    } cases[] = {
        {{{kKeyDown, {}}, {kKeyDown, {}}}, {"2"}, 0},
        {{{kKeyDown, {}}, {kKeyDown, {kKeyLeftShift}}}, {"1", "2"}, 0},
        {{{kKeyEnd, {}}}, {"29"}, 20},
        {{{kKeyEnd, {}}, {kKeyHome, {}}}, {"0"}, 0},
        {{{kKeyPageDown, {}}}, {"10"}, 1},
        // Up and then a page up from the last row: row 18 lies above the view,
        // more than a row away, so it is centred.
        {{{kKeyEnd, {}}, {kKeyUp, {}}, {kKeyPageUp, {}}}, {"18"}, 13},
        {{{'A', {kKeyLeftControl}}}, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
                                      "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26",
                                      "27", "28", "29"}, 0},
    };
    for (auto& c : cases) {
        MakeList(ListWindow::kMultipleSelection);
        for (int i = 0; i < 30; ++i) Text(std::to_string(i).c_str());
        list_->UpdateScrollRange();
        list_->SelectItem(list_->GetFirstItem(), false);
        ActivateWindow(list_, kFocusByProgram);
        for (auto& k : c.keys) Key(k.first, k.second);
        EXPECT_EQ(SelectedTexts(), c.selected);
        EXPECT_EQ(list_->GetScrollY(), c.scroll);
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
}

TEST_F(ListWindowTest, CtrlAStartsAtTheFirstRowInView) {
    MakeList(ListWindow::kMultipleSelection);
    for (int i = 0; i < 30; ++i) Text(std::to_string(i).c_str());
    list_->UpdateScrollRange();
    list_->SetScrollY(25);
    ActivateWindow(list_, kFocusByProgram);
    Key('A', {kKeyLeftControl});
    EXPECT_EQ(SelectedTexts().size(), 10u);
    EXPECT_EQ(SelectedTexts().front(), "20");  // position clamped to range - page
}

TEST_F(ListWindowTest, EnterOnEverySelectedItemSurvivesDeletesFromTheSlot) {
    MakeList(ListWindow::kMultipleSelection);
    std::vector<ListItem*> items;
    for (int i = 0; i < 6; ++i) items.push_back(Text(std::to_string(i).c_str()));
    for (ListItem* it : items) list_->SelectItem(it, true);
    static ListWindow* list = nullptr;
    static std::vector<std::string> activated;
    list = list_;
    activated.clear();
    // Activating an item deletes the next one: the copy must skip it.
    ConnectSignal(list_->activated, nullptr, [](SignalListener*, void* item) {
        auto* it = static_cast<ListItem*>(item);
        activated.push_back(it->text);
        if (it->next) list->DeleteItem(it->next);
    });
    ActivateWindow(list_, kFocusByProgram);
    Key(kKeyEnter);
    EXPECT_EQ(activated, (std::vector<std::string>{"0", "2", "4"}));
    EXPECT_EQ(list_->GetSelectionArray().size(), 3u);
}

// Owners rebuild their rows when the selection changes (a combo box whose
// choice refills it): the list must not go on with the item it just selected.
TEST_F(ListWindowTest, SelectionHandlersMayDeleteTheItemJustSelected) {
    static ListWindow* list = nullptr;
    static bool armed = false;
    static std::vector<void*> activated;
    auto make = [&](u32 flags, int rows) {
        MakeList(flags);
        for (int i = 0; i < rows; ++i) Text(std::to_string(i).c_str());
        list_->UpdateScrollRange();
        list = list_;
        armed = false;
        ConnectSignal(list_->selectionChanged, nullptr, [](SignalListener*) {
            if (!armed) return;
            armed = false;
            list->RemoveAllItems();
            for (const char* t : {"a", "b", "c", "d"}) list->AddItem(nullptr, 0, ListItem::kTextItem, nullptr, t);
            list->UpdateScrollRange();
        });
        activated.clear();
        ConnectSignal(list_->activated, nullptr, [](SignalListener*, void* item) { activated.push_back(item); });
    };
    auto drop = [&] {
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    };

    make(ListWindow::kSingleClickActivates, 4);
    const Point p2 = RowPoint(2);
    MoveTo(p2.x, p2.y);  // the pointer selects row 2 on its way
    list_->SelectItem(list_->GetFirstItem(), false);
    armed = true;
    Press();
    Release();
    EXPECT_TRUE(activated.empty());  // the clicked row is gone: nothing to activate
    drop();

    make(ListWindow::kMultipleSelection, 4);
    ClickRow(0);
    armed = true;
    ClickRow(2, {kKeyLeftShift});
    EXPECT_EQ(list_->GetCurrentItem(), nullptr);  // the range end went with the rebuild
    drop();

    // Keys and type-ahead reveal the row they selected only while it exists.
    make(0, 30);
    ActivateWindow(list_, kFocusByProgram);
    armed = true;
    Key(kKeyEnd);
    EXPECT_EQ(list_->GetRowCount(), 4);
    drop();
    make(0, 30);
    armed = true;
    TypeChar(list_, '2');
    EXPECT_EQ(list_->GetRowCount(), 4);
    drop();

    // An edit whose deselection removes the row does not run.
    make(0, 3);
    list_->SelectItem(list_->GetFirstItem(), false);
    armed = true;
    Then([] { PostKey(kKeyEnter); });
    EXPECT_EQ(list_->EditItem(list_->GetSelectedItem()), 0);
    EXPECT_EQ(list_->GetEditBox(), nullptr);
    EXPECT_EQ(list_->GetFirstItem()->text, "a");
}

TEST_F(ListWindowTest, SortingByTypedColumnsAndHeaderClicks) {
    MakeList(ListWindow::kColumnMode | ListWindow::kHeaderRow | ListWindow::kTree);
    list_->AddColumn("Group", "%s", kColumnFourCC, 4, 60, 0, 0);
    list_->AddColumn("Name", "%s", kColumnCharArray, 8, 80, 0, 0);
    list_->AddColumn("Id", "%u", kColumnInteger, 4, 80, 0, 0);
    std::vector<Tag> tags = {{0x6D657368, "b", 0xFFFFFFFFu}, {0x2E323536, "b", 1}, {0x6D657368, "a", 7},
                             {0x2E323536, "c", 0x80000000u}, {0x6D657368, "a", 2}};
    for (Tag& t : tags) list_->AddItem(nullptr, 0, 0, &t, nullptr);
    auto order = [&] {
        std::vector<u32> ids;
        for (ListItem* it = list_->GetFirstItem(); it; it = it->next) ids.push_back(static_cast<Tag*>(it->userData)->id);
        return ids;
    };
    list_->Sort();
    EXPECT_EQ(order(), (std::vector<u32>{1, 0x80000000u, 2, 7, 0xFFFFFFFFu}));

    // A click on the Id header: descending, and Id becomes the primary key
    // while Group and Name keep their order behind it.
    const Rect& c = list_->GetClientScreenRect();
    Click(c.left + 60 + 80 + 10, c.top + 3);
    EXPECT_EQ(list_->GetColumn(2).sortPriority, 0);
    EXPECT_EQ(list_->GetColumn(0).sortPriority, 1);
    EXPECT_EQ(list_->GetColumn(1).sortPriority, 2);
    EXPECT_EQ(order(), (std::vector<u32>{0xFFFFFFFFu, 0x80000000u, 7, 2, 1}));
    // The Name header next: Name first (now descending), then Id
    // (descending), then Group.
    headless::AdvanceTime(1);
    Click(c.left + 60 + 10, c.top + 3);
    EXPECT_EQ(list_->GetColumn(1).sortPriority, 0);
    EXPECT_EQ(list_->GetColumn(2).sortPriority, 1);
    EXPECT_EQ(list_->GetColumn(0).sortPriority, 2);
    EXPECT_EQ(order(), (std::vector<u32>{0x80000000u, 0xFFFFFFFFu, 1, 7, 2}));
    // A right click on the header sorts too, and still asks for the context menu.
    static int contexts = 0;
    contexts = 0;
    ConnectSignal(list_->contextClick, nullptr, [](SignalListener*, intptr_t, intptr_t) { ++contexts; });
    headless::AdvanceTime(1);
    Click(c.left + 60 + 10, c.top + 3, 1);
    EXPECT_EQ(contexts, 1);
    EXPECT_EQ(order(), (std::vector<u32>{7, 2, 0xFFFFFFFFu, 1, 0x80000000u}));  // Name ascending again
}

TEST_F(ListWindowTest, ClosedBranchesSortWhenOpened) {
    MakeList(ListWindow::kTree);
    ListItem* open = Text("open", nullptr, ListItem::kExpandable | ListItem::kOpen);
    ListItem* closed = Text("closed", nullptr, ListItem::kExpandable);
    for (const char* t : {"z", "x", "y"}) {
        Text(t, open);
        Text(t, closed);
    }
    list_->Sort();
    EXPECT_EQ(open->firstChild->text, "x");
    EXPECT_EQ(closed->firstChild->text, "z");
    EXPECT_TRUE(closed->flags & ListItem::kSortWhenOpened);
    list_->OpenItem(closed);
    EXPECT_EQ(closed->firstChild->text, "x");
    EXPECT_EQ(closed->lastChild->text, "z");
    EXPECT_EQ(list_->GetFirstItem()->text, "closed");
    ExpectCountsExact();
}

TEST_F(ListWindowTest, TypeAheadFindsRowsByPrefix) {
    MakeList(0);
    for (const char* t : {"Apple", "apricot", "Banana", "blueberry", "Blue", "cherry", "coconut"}) Text(t);
    list_->UpdateScrollRange();
    struct Case {
        const char* typed;
        const char* selected;
    } cases[] = {
        {"b", "Banana"}, {"bl", "blueberry"}, {"blue", "blueberry"}, {"apr", "apricot"},
        {"bluex", "Blue"},  // no row is that long: the shortest miss wins
        {"co", "coconut"}, {"q", nullptr},
    };
    for (const Case& c : cases) {
        list_->SelectItem(list_->GetFirstItem(), false);
        list_->TypeAhead(c.typed);
        if (c.selected) EXPECT_EQ(list_->GetCurrentItem()->text, c.selected) << c.typed;
        else EXPECT_EQ(list_->GetCurrentItem()->text, "Apple") << c.typed;
    }
}

TEST_F(ListWindowTest, RepeatedInitialCyclesAndThePrefixTimesOut) {
    MakeList(0);
    for (const char* t : {"beta", "alpha", "bravo", "charlie", "bingo"}) Text(t);
    list_->UpdateScrollRange();
    TypeChar(list_, 'b');
    EXPECT_EQ(list_->GetCurrentItem()->text, "beta");
    TypeChar(list_, 'b');
    EXPECT_EQ(list_->GetCurrentItem()->text, "bravo");
    TypeChar(list_, 'b');
    EXPECT_EQ(list_->GetCurrentItem()->text, "bingo");
    TypeChar(list_, 'b');
    EXPECT_EQ(list_->GetCurrentItem()->text, "beta");
    EXPECT_EQ(list_->GetTypedPrefix(), "bbbb");
    // The list asks for the frame that ends the prefix, so an idle program
    // wakes for it.
    ForgetFrameRequests();
    list_->OnIdle();
    EXPECT_DOUBLE_EQ(RequestedFrameTime(), OsGetTime() + ListWindow::kTypeAheadTimeout);
    headless::AdvanceTime(0.6);
    ForgetFrameRequests();
    list_->OnIdle();
    EXPECT_EQ(list_->GetTypedPrefix(), "");
    EXPECT_EQ(RequestedFrameTime(), std::numeric_limits<double>::infinity());
    TypeChar(list_, 'c');
    EXPECT_EQ(list_->GetCurrentItem()->text, "charlie");
}

TEST_F(ListWindowTest, EditCellRefusesValuesThatDoNotFitAndKeepsTheRecord) {
    struct Row {
        u8 level;
        char name[6];
    };
    MakeList(ListWindow::kColumnMode);
    list_->AddColumn("Level", "%d", kColumnInteger, 1, 60, 0, 0);
    list_->AddColumn("Name", "%s", kColumnCharArray, 6, 80, 0, 0);
    Row row{7, "abc"};
    ListItem* item = list_->AddItemAndLayout(nullptr, 0, 0, &row, nullptr);
    list_->SelectItem(item, false);
    auto edit = [&](int column, const char* text) {
        ListWindow* list = list_;
        std::string typed = text;
        Then([list, typed] {
            ASSERT_NE(list->GetEditBox(), nullptr);
            list->GetEditBox()->SetText(typed);
            PostKey(kKeyEnter);
        });
        return list_->EditCell(item, column, nullptr, nullptr);
    };
    const int beeps = Beeps();
    EXPECT_EQ(edit(0, "300"), 0);
    EXPECT_EQ(row.level, 7);
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_FALSE(item->IsSelected());  // the edited row is deselected
    EXPECT_EQ(edit(0, "255"), 1);
    EXPECT_EQ(row.level, 255);
    EXPECT_EQ(edit(1, "toolong"), 0);
    EXPECT_STREQ(row.name, "abc");
    EXPECT_EQ(edit(1, "fives"), 1);
    EXPECT_EQ(std::memcmp(row.name, "fives\0", 6), 0);
    EXPECT_EQ(list_->GetEditBox(), nullptr);
}

TEST_F(ListWindowTest, EditCellCallbackDecidesAndDeletedItemsAreNotWritten) {
    MakeList(0);
    ListItem* item = Text("old");
    list_->UpdateScrollRange();
    static std::string seen;
    static int five = 5;
    ListWindow* list = list_;
    Then([list] {
        list->GetEditBox()->SetText("new");
        PostKey(kKeyEnter);
    });
    const int r = list_->EditCell(item, -1, [](ListItem*, void*, int, void* arg, const char* text) {
        seen = text;
        return *static_cast<int*>(arg);
    }, &five);
    EXPECT_EQ(r, 5);
    EXPECT_EQ(seen, "new");
    EXPECT_EQ(item->text, "old");

    Then([list, item] {
        list->DeleteItem(item);
        PostKey(kKeyEnter);
    });
    EXPECT_EQ(list_->EditItem(item), 0);
    EXPECT_EQ(list_->GetRowCount(), 0);
}

// A string behind a pointer is the owner's: edited only when the owner's
// callback takes the new text, and never written by the list.
TEST_F(ListWindowTest, StringPointerCellsEditOnlyThroughTheOwnersCallback) {
    struct Row {
        const char* label;
    };
    MakeList(ListWindow::kColumnMode);
    list_->AddColumn("Label", "%s", kColumnStringPtr, sizeof(const char*), 120, 0, 0);
    const char* const original = "crate";
    Row row{original};
    ListItem* item = list_->AddItemAndLayout(nullptr, 0, 0, &row, nullptr);
    ListWindow* list = list_;
    static std::string shown, received;
    static int calls = 0;
    calls = 0;

    // Without a callback nothing opens.
    EXPECT_EQ(list_->EditCell(item, 0, nullptr, nullptr), 0);
    EXPECT_EQ(list_->GetEditBox(), nullptr);

    Then([list] {
        ASSERT_NE(list->GetEditBox(), nullptr);
        shown = list->GetEditBox()->GetText();
        list->GetEditBox()->SelectAll();
        for (char c : std::string("wooden crate")) list->GetEditBox()->TypeChar(u8(c));
        PostKey(kKeyEnter);
    });
    const int r = list_->EditCell(item, 0, [](ListItem*, void* data, int column, void*, const char* text) {
        ++calls;
        received = text;
        EXPECT_EQ(column, 0);
        static_cast<Row*>(data)->label = "kept by the owner";
        return 7;
    }, nullptr);
    EXPECT_EQ(r, 7);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(shown, "crate");
    EXPECT_EQ(received, "wooden crate");  // typed in full: the field takes the text
    EXPECT_STREQ(row.label, "kept by the owner");
    EXPECT_STREQ(original, "crate");
}

TEST_F(ListWindowTest, DraggingARowReportsTheTargetRow) {
    MakeList(ListWindow::kDraggableRows);
    for (int i = 0; i < 6; ++i) Text(std::to_string(i).c_str());
    list_->UpdateScrollRange();
    static intptr_t movedItem = 0;
    static i32 movedRow = -1;
    movedItem = 0;
    movedRow = -1;
    ConnectSignal(list_->rowMoved, nullptr, [](SignalListener*, intptr_t item, i32 row) {
        movedItem = item;
        movedRow = row;
    });
    const Point from = RowPoint(1);
    MoveTo(from.x, from.y);
    Press();
    ASSERT_EQ(list_->GetCurrentItem()->text, "1");
    MoveTo(from.x, from.y + 2);  // not yet past the threshold
    EXPECT_FALSE(IsDragRunning());
    const Point to = RowPoint(4);
    MoveTo(to.x, to.y);
    EXPECT_TRUE(IsDragRunning());
    MoveTo(to.x, to.y + kLineHeight / 2 - 1);  // lower half of row 4: boundary 5
    EXPECT_EQ(list_->GetDropRow(), 5);
    Release();
    EXPECT_EQ(movedRow, 5);
    EXPECT_EQ(reinterpret_cast<ListItem*>(movedItem)->text, "1");
    EXPECT_EQ(list_->GetDropRow(), -1);

    // The dragged row deleted during the drag: nothing is reported.
    movedRow = -1;
    headless::AdvanceTime(1);
    MoveTo(from.x, from.y);
    Press();
    MoveTo(to.x, to.y);
    ASSERT_TRUE(IsDragRunning());
    MoveTo(to.x, to.y + 3);
    list_->DeleteItem(list_->GetCurrentItem());
    Release();
    EXPECT_EQ(movedRow, -1);
}

TEST_F(ListWindowTest, CellGeometryFollowsTheListFlags) {
    struct Case {
        u32 flags;
        i32 depth1Left;  // first cell of a top-level item
        i32 depth2Left;
    } cases[] = {
        {ListWindow::kColumnMode, 4, 4},
        {ListWindow::kColumnMode | ListWindow::kLeadingSpace, 16, 16},
        {ListWindow::kColumnMode | ListWindow::kTree, 16 + kLineHeight, 16 + 2 * kLineHeight},
        {ListWindow::kColumnMode | ListWindow::kTree | ListWindow::kLeadingSpace, 32 + kLineHeight,
         32 + 2 * kLineHeight},
    };
    Tag tag{0x6D657368, "x", 1};
    for (const Case& c : cases) {
        MakeList(c.flags | ListWindow::kHeaderRow);
        list_->AddColumn("Group", "%s", kColumnFourCC, 4, 60, 0, 0);
        list_->AddColumn("Hidden", "%s", kColumnCharArray, 8, 50, ListColumn::kHidden, 0);
        list_->AddColumn("Id", "%u", kColumnInteger, 4, 40, 0, 0);
        ListItem* top = list_->AddItem(nullptr, 0, ListItem::kExpandable | ListItem::kOpen, &tag, nullptr);
        ListItem* child = list_->AddItem(top, 0, 0, &tag, nullptr);
        list_->UpdateScrollRange();
        EXPECT_EQ(list_->CellRect(top, 0), (Rect{c.depth1Left, kLineHeight, 60, 2 * kLineHeight})) << c.flags;
        EXPECT_EQ(list_->CellRect(child, 0).left, c.depth2Left) << c.flags;
        EXPECT_EQ(list_->CellRect(child, 2), (Rect{60, 2 * kLineHeight, 100, 3 * kLineHeight}));  // hidden adds nothing
        EXPECT_EQ(list_->GetColumn(1).sortPriority, -1);
        EXPECT_EQ(list_->GetColumn(2).fieldOffset, 12u);
        EXPECT_EQ(list_->GetTotalHeight(), 3 * kLineHeight);
        EXPECT_EQ(list_->GetScrollPageY(), kRows - 1);  // the header row takes one
        EXPECT_EQ(list_->CellText(child, 2), "1");
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
}

TEST_F(ListWindowTest, DoubleClicksRightClicksAndSingleClickActivation) {
    MakeList(ListWindow::kTree);
    ListItem* branch = Text("branch", nullptr, ListItem::kExpandable);
    Text("leaf inside", branch);
    Text("leaf");
    list_->UpdateScrollRange();
    static std::vector<std::string> activated;
    static std::vector<Point> contexts;
    activated.clear();
    contexts.clear();
    ConnectSignal(list_->activated, nullptr,
                  [](SignalListener*, void* item) { activated.push_back(static_cast<ListItem*>(item)->text); });
    ConnectSignal(list_->contextClick, nullptr, [](SignalListener*, intptr_t x, intptr_t y) {
        contexts.push_back(Point{static_cast<i32>(x), static_cast<i32>(y)});
    });
    const Point p0 = RowPoint(0);
    MoveTo(p0.x, p0.y);
    Press();
    Release();
    Press();  // same place, at once: a double click
    Release();
    EXPECT_TRUE(branch->IsOpen());
    EXPECT_EQ(list_->GetRowCount(), 3);
    headless::AdvanceTime(1);
    const Point p2 = RowPoint(2);
    MoveTo(p2.x, p2.y);
    Press();
    Release();
    Press();
    Release();
    EXPECT_EQ(activated, (std::vector<std::string>{"leaf"}));
    headless::AdvanceTime(1);
    ClickRow(1, {}, 1);
    ASSERT_EQ(contexts.size(), 1u);
    EXPECT_EQ(contexts[0].y, RowPoint(1).y);
    EXPECT_EQ(list_->GetCurrentItem()->text, "leaf inside");
    DestroyWindow(owner_);
    ProcessDeferredDeletes();

    // A single click activates; moving the pointer selects the row under it.
    MakeList(ListWindow::kSingleClickActivates | ListWindow::kNeverEmptySelection);
    for (const char* t : {"a", "b", "c"}) Text(t);
    list_->UpdateScrollRange();
    activated.clear();
    ConnectSignal(list_->activated, nullptr,
                  [](SignalListener*, void* item) { activated.push_back(static_cast<ListItem*>(item)->text); });
    const Point p1 = RowPoint(1);
    MoveTo(p1.x, p1.y);
    EXPECT_EQ(list_->GetCurrentItem()->text, "b");
    EXPECT_TRUE(activated.empty());
    ClickRow(2);
    EXPECT_EQ(activated, (std::vector<std::string>{"c"}));
}

TEST_F(ListWindowTest, RowDropsAcceptOnlyThisListsOwnRows) {
    MakeList(ListWindow::kDraggableRows);
    ListItem* a = Text("a");
    list_->UpdateScrollRange();
    auto* other = new ListWindow(ListWindow::kDraggableRows, Window::kVisible, owner_);
    Window::DragDropData foreign(0);
    ListWindow::ListItemDDData fromOther(other, nullptr, 0, 7);
    ListWindow::ListItemDDData own(list_, a, 0, 7);
    const Point p{RowPoint(0).x, list_->GetClientScreenRect().top + 2};  // upper half of the first row
    EXPECT_EQ(list_->OnDragDrop(p, 1, &foreign), 0);
    EXPECT_EQ(list_->OnDragDrop(p, 1, &fromOther), 0);
    EXPECT_EQ(list_->OnDragDrop(p, 1, &own), 1);
    EXPECT_EQ(list_->GetDropRow(), 0);
    EXPECT_EQ(list_->GetAutoScrollDirection(), -1);  // at the top edge
}

TEST_F(ListWindowTest, FindItemByDataWalksDepthFirstFromTheStart) {
    MakeList(ListWindow::kTree);
    int values[6] = {};
    ListItem* a = list_->AddItem(nullptr, 0, ListItem::kExpandable, &values[0], "a");
    ListItem* a1 = list_->AddItem(a, 0, 0, &values[1], "a1");
    ListItem* b = list_->AddItem(nullptr, 0, ListItem::kExpandable, &values[2], "b");
    ListItem* b1 = list_->AddItem(b, 0, 0, &values[3], "b1");
    ListItem* twin = list_->AddItem(b, 0, 0, &values[1], "twin of a1");
    EXPECT_EQ(list_->FindItemByData(&values[1], nullptr), a1);  // closed branches are searched too
    EXPECT_EQ(list_->FindItemByData(&values[3], nullptr), b1);
    EXPECT_EQ(list_->FindItemByData(&values[1], b), twin);      // from b on: a's branch is not searched
    EXPECT_EQ(list_->FindItemByData(&values[0], b), nullptr);
    EXPECT_EQ(list_->FindItemByData(&values[2], a1), nullptr);  // a1 has no later siblings
    EXPECT_EQ(list_->FindItemByData(&values[5], nullptr), nullptr);
}

TEST_F(ListWindowTest, CellTextStopsAtTheColumnEdge) {
    static std::vector<std::string> drawn;
    drawn.clear();
    SetWindowTextDrawer([](InterfaceFont*, const char* text, int, u32, const Rect&) {
        drawn.push_back(text);
        return 0;
    });
    MakeList(ListWindow::kColumnMode);
    list_->AddColumn("Name", "%s", kColumnCharArray, 8, 44, 0, 0);  // 40 px after the 4-px lead
    list_->AddColumn("Id", "%u", kColumnInteger, 4, 100, 0, 0);
    Tag tag{0, "abcdefg", 123456};
    list_->AddItemAndLayout(nullptr, 0, 0, &tag.name, nullptr);
    InvalidateAll();
    StepFrame();
    SetWindowTextDrawer(nullptr);
    EXPECT_EQ(drawn, (std::vector<std::string>{"abcde", "123456"}));
}

TEST_F(ListWindowTest, ShowsATreeItsOwnerFillsAndHearsWhatTheOwnerChanges) {
    // Filled without a window, as an owner fills a catalogue.
    ListTree model;
    std::vector<ListItem*> rows;
    for (int i = 0; i < 30; ++i)
        rows.push_back(model.Add(nullptr, 0, ListItem::kTextItem, nullptr, ("r" + std::to_string(i)).c_str()));
    MakeList(ListWindow::kMultipleSelection);
    Text("own");
    list_->ShowTree(&model);
    list_->UpdateScrollRange();
    EXPECT_EQ(list_->GetRowCount(), 30);
    EXPECT_EQ(list_->GetScrollRangeY(), 30);
    list_->SetScrollY(12);
    EXPECT_EQ(list_->GetTopRow(), rows[12]);
    ClickRow(0);
    ClickRow(2, {kKeyLeftShift});
    ASSERT_EQ(SelectedTexts(), (std::vector<std::string>{"r12", "r13", "r14"}));
    const int signals = selectionSignals_;

    // The owner deletes through the model: the list lets go of the item.
    model.Delete(rows[14]);
    EXPECT_EQ(selectionSignals_, signals + 1);
    EXPECT_EQ(SelectedTexts(), (std::vector<std::string>{"r12", "r13"}));
    EXPECT_EQ(list_->GetCurrentItem(), rows[12]);
    model.Delete(rows[0]);  // above the view: the top row follows the position
    EXPECT_EQ(list_->GetTopRow(), rows[13]);
    EXPECT_EQ(selectionSignals_, signals + 1);
    model.Clear();
    EXPECT_TRUE(list_->GetSelectionArray().empty());
    EXPECT_EQ(list_->GetCurrentItem(), nullptr);
    EXPECT_EQ(selectionSignals_, signals + 2);

    // Back to its own tree; the owner's is left without selected items.
    ListItem* kept = model.Add(nullptr, 0, ListItem::kTextItem, nullptr, "kept");
    list_->ShowTree(&model);
    list_->SelectItem(kept, false);
    list_->ShowTree(nullptr);
    EXPECT_FALSE(kept->IsSelected());
    EXPECT_EQ(model.GetObserver(), nullptr);
    list_->UpdateScrollRange();
    EXPECT_EQ(list_->GetFirstItem()->text, "own");
    EXPECT_EQ(list_->GetRowCount(), 1);
}

// Records where the open/closed marker is drawn and which way it points.
class MarkerRecorder : public DrawTarget {
public:
    struct Marker {
        Rect dest;
        bool open;
    };
    void SetColor(u32) override {}
    void FillRect(const Rect&) override {}
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override {
        for (const QueuedImageDraw& d : draws)
            if (d.image->index == kSlotDisclosure) markers.push_back(Marker{d.dest, !(d.flags & kImageRotate)});
    }
    std::vector<Marker> markers;
};

TEST_F(ListWindowTest, MarkersShowOnItemsThatHaveOrMayHaveChildrenInEveryList) {
    auto pack = CreateTexturePack();
    auto image = std::make_unique<TexturePackImage>();
    image->index = kSlotDisclosure;
    image->atlas.width = 8;
    image->atlas.height = 6;
    image->pixels.assign(8 * 6 * 4, 0xFF);
    pack->images.push_back(std::move(image));
    std::unique_ptr<Skin> skin = MakeSkin(std::move(pack));
    ASSERT_TRUE(skin);
    SetSkin(skin.get());
    struct Case {
        u32 listFlags;
        i32 firstCellLeft;  // of a top-level item
    };
    const Case cases[] = {
        {ListWindow::kTree, 16 + kLineHeight},
        {ListWindow::kLeadingSpace, 16},
        {0, 4},  // no room left for it: it stands partly left of the list
    };
    for (const Case& c : cases) {
        MakeList(c.listFlags);
        Text("leaf");
        Text("branch", nullptr, ListItem::kExpandable);
        ListItem* parent = Text("parent");
        Text("child", parent);  // children without the expandable flag
        Text("open", nullptr, ListItem::kExpandable | ListItem::kOpen);
        list_->UpdateScrollRange();
        MarkerRecorder recorder;
        SetDrawTarget(&recorder);
        InvalidateAll();
        StepFrame();
        SetDrawTarget(nullptr);
        // Rows: leaf, branch, parent, open; drawn in client coordinates.
        ASSERT_EQ(recorder.markers.size(), 3u) << c.listFlags;
        const i32 rows[] = {1, 2, 3};
        const bool opened[] = {false, false, true};
        for (int i = 0; i < 3; ++i) {
            const MarkerRecorder::Marker& m = recorder.markers[size_t(i)];
            EXPECT_EQ(m.open, opened[i]) << c.listFlags << " " << i;
            EXPECT_GE(m.dest.top, rows[i] * kLineHeight);
            EXPECT_LE(m.dest.bottom, (rows[i] + 1) * kLineHeight);
            // In the 16 px before the first cell.
            EXPECT_GE(m.dest.left, c.firstCellLeft - ListWindow::kMarkerWidth) << c.listFlags;
            EXPECT_LE(m.dest.right, c.firstCellLeft) << c.listFlags;
        }
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
    SetSkin(skin_.get());
}

TEST_F(ListWindowTest, DrawingCoversOnlyTheRowsInView) {
    MakeList(ListWindow::kTree | ListWindow::kMultipleSelection);
    RecordingDrawTarget target;
    SetDrawTarget(&target);
    for (int i = 0; i < 1000; ++i) Text(std::to_string(i).c_str());
    list_->UpdateScrollRange();
    list_->SelectAll();
    InvalidateAll();
    StepFrame();
    const size_t fillsAtTop = target.fills.size();
    target.fills.clear();
    list_->SetScrollY(990);
    InvalidateAll();
    StepFrame();
    EXPECT_EQ(target.fills.size(), fillsAtTop);
    EXPECT_EQ(list_->GetTopRow()->text, "990");
    SetDrawTarget(nullptr);
}

// The colour each text was drawn in, from the draw target in use.
struct DrawnText {
    std::string text;
    u32 color;
};
RecordingDrawTarget* g_textTarget = nullptr;
std::vector<DrawnText> g_drawnTexts;
i32 RecordText(InterfaceFont*, const char* text, int, u32, const Rect&) {
    g_drawnTexts.push_back(DrawnText{text, g_textTarget->color});
    return 0;
}

TEST_F(ListWindowTest, ARowsOwnColourStaysReadableOnTheSelection) {
    constexpr u32 kOrange = 0xFF0090FFu;  // a local copy's row in the Archive Browser
    RecordingDrawTarget target;
    g_textTarget = &target;
    SetDrawTarget(&target);
    SetWindowTextDrawer(RecordText);
    struct Case {
        const char* name;
        u32 style;
        u32 surface;  // what the list's background looks like
        bool focused;
    } cases[] = {
        {"light, focused", Window::kBackground, kSkinWhite, true},
        {"light, not focused", Window::kBackground, kSkinWhite, false},
        {"dark, focused", Window::kDarkBackground, kSkinDarkTint, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeList(0);
        list_->AddFlags(c.style);
        ListItem* chosen = Text("Chosen");
        ListItem* other = Text("Other");
        chosen->textColor = other->textColor = kOrange;
        list_->SelectItem(chosen, false);
        if (c.focused) ActivateWindow(list_, kFocusByProgram);
        target.fills.clear();
        g_drawnTexts.clear();
        list_->DrawContents();
        // The fill under the chosen row, then the texts over it.
        const Rect row = list_->CellRect(chosen, 0);
        u32 fill = 0;
        for (const auto& f : target.fills)
            if (f.rect.top == row.top && f.rect.bottom == row.bottom && f.rect.left == 0) fill = f.color;
        ASSERT_NE(fill, 0u) << "no selection drawn";
        ASSERT_EQ(g_drawnTexts.size(), 2u);
        const u32 chosenColor = g_drawnTexts[0].color;
        EXPECT_GE(ContrastRatio(chosenColor, CompositeOver(fill, c.surface)), kLegibleTextContrast);
        // Still the row's own hue: more red than green, more green than blue.
        const u32 r = chosenColor & 255, g = (chosenColor >> 8) & 255, b = (chosenColor >> 16) & 255;
        EXPECT_TRUE(r > g && g >= b) << std::hex << chosenColor;
        EXPECT_EQ(g_drawnTexts[1].color, kOrange);  // rows not selected keep their colour as it is
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
    SetWindowTextDrawer(nullptr);
    SetDrawTarget(nullptr);
    g_textTarget = nullptr;
}

}  // namespace
}  // namespace pirn_test
