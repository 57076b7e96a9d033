// ComboBox on the headless window system: layout, selecting by program
// (silent) and by the user (signalled), where the list opens, and the
// drop-down's modal run.

#include <string>
#include <vector>

#include "tests/ui/widget_fixture.h"
#include "ui/combo_box.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class ComboBoxTest : public WidgetTest {
protected:
    ComboBox* MakeBox(u32 flags, Point at = Point{100, 100}) {
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{0, 0, kWidth, kHeight});
        box_ = new ComboBox(owner_, flags);
        box_->SetPosition(at.x, at.y);
        for (int i = 0; i < 5; ++i) box_->AddItem(&data_[i], names_[i], false);
        signals_.clear();
        ConnectSignal(box_->selectionChanged, nullptr, [](SignalListener*, intptr_t item, intptr_t data) {
            signals_.push_back(data);
        });
        return box_;
    }
    std::string FieldText() const { return box_->GetField()->GetText(); }

    ProbeWindow* owner_ = nullptr;
    ComboBox* box_ = nullptr;
    int data_[5] = {10, 11, 12, 13, 14};
    const char* names_[5] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};
    inline static std::vector<intptr_t> signals_;
};

TEST_F(ComboBoxTest, LayoutOfFieldButtonAndList) {
    MakeBox(0);
    EXPECT_EQ(box_->GetWidth(), 178);
    EXPECT_EQ(box_->GetHeight(), 16);
    EXPECT_EQ(box_->GetField()->GetFrame(), (Rect{0, 0, 164, 16}));
    EXPECT_EQ(box_->GetButton()->GetFrame(), (Rect{164, 0, 178, 16}));
    EXPECT_STREQ(box_->GetField()->GetTitle(), "ComboBox Textfield");
    EXPECT_STREQ(box_->GetButton()->GetTitle(), "ComboBox Button");
    EXPECT_STREQ(box_->GetList()->GetTitle(), "ComboBox List");
    // The button is a plain Button to anything that asks (the Window Spy).
    EXPECT_STREQ(box_->GetClassName(), "ComboBox");
    EXPECT_STREQ(box_->GetButton()->GetClassName(), "Button");
    EXPECT_STREQ(box_->GetList()->GetClassName(), "ListWindow");
    EXPECT_FALSE(box_->GetList()->IsVisible());
    EXPECT_FALSE(box_->GetList()->TestFlags(Window::kTakesFocus));

    box_->FitDropdown(3, false);
    EXPECT_EQ(box_->GetList()->GetHeight(), 3 * kLineHeight);
    box_->FitDropdown(20, false);
    EXPECT_EQ(box_->GetList()->GetHeight(), 6 * kLineHeight);  // five items and one more row
}

TEST_F(ComboBoxTest, AWidenedBoxShowsEveryNameWholeBesideTheScrollBar) {
    MakeBox(0);
    box_->AddItem(nullptr, "A much longer name", false);
    for (int rows : {3, 20}) {  // scrolling and not
        SCOPED_TRACE(rows);
        box_->FitDropdown(rows, true);
        ListWindow* list = box_->GetList();
        EXPECT_GT(list->GetScrollPageY(), 0);  // the scroll bar stands beside the rows
        for (ListItem* item = list->GetFirstItem(); item; item = item->next)
            EXPECT_GE(list->CellRect(item, 0).Width(), list->GetTextWidth(item->text.c_str())) << item->text;
        // The field that shows the pick is as wide.
        EXPECT_EQ(box_->GetField()->GetWidth(), list->GetWidth());
    }
}

TEST_F(ComboBoxTest, SelectingByProgramIsSilent) {
    MakeBox(0);
    box_->SelectByData(&data_[3]);
    EXPECT_EQ(FieldText(), "Delta");  // the label shows the text
    EXPECT_EQ(box_->GetSelectedData(), &data_[3]);
    int unknown = 0;
    box_->SelectByData(&unknown);
    EXPECT_EQ(FieldText(), "Delta");
    EXPECT_EQ(box_->GetSelectedData(), &data_[3]);
    EXPECT_TRUE(signals_.empty());
    box_->Clear();
    EXPECT_EQ(FieldText(), "");
    EXPECT_EQ(box_->GetSelectedData(), nullptr);
    EXPECT_TRUE(signals_.empty());
}

TEST_F(ComboBoxTest, PickingInTheOpenListSignalsAndCloses) {
    MakeBox(0);
    box_->FitDropdown(8, false);
    ListWindow* list = box_->GetList();
    Then([list] {
        ASSERT_TRUE(list->IsVisible());
        const Rect& c = list->GetClientScreenRect();
        headless::AdvanceTime(0.5);
        HandleMouseMoveInput(c.left + 10, c.top + 2 * kLineHeight + 3);
        HandleMouseButtonInput(0, 1);
        HandleMouseButtonInput(0, 0);
    });
    box_->OpenDropdown(false);
    EXPECT_FALSE(box_->IsDropdownOpen());
    EXPECT_FALSE(list->IsVisible());
    EXPECT_EQ(box_->GetHeight(), 16);
    EXPECT_EQ(FieldText(), "Charlie");
    ASSERT_FALSE(signals_.empty());
    EXPECT_EQ(signals_.back(), reinterpret_cast<intptr_t>(&data_[2]));
}

TEST_F(ComboBoxTest, ListOpensAboveOnlyWithMoreRoomThere) {
    struct Case {
        i32 y;
        bool above;
    } cases[] = {{100, false}, {kHeight - 40, true}, {kHeight - 16 - 5 * kLineHeight, false}};
    for (const Case& c : cases) {
        MakeBox(0, Point{100, c.y});
        box_->FitDropdown(5, false);
        ComboBox* box = box_;
        const i32 y = c.y;
        const bool above = c.above;
        Then([box, y, above] {
            EXPECT_EQ(box->IsOpenAbove(), above) << y;
            const Rect& list = box->GetList()->GetFrameScreenRect();
            const Rect& field = box->GetField()->GetFrameScreenRect();
            EXPECT_EQ(field.top, y);  // the field stays where it was
            if (above) EXPECT_EQ(list.bottom, field.top);
            else EXPECT_EQ(list.top, field.bottom);
            PostKey(kKeyEsc);
        });
        box_->OpenDropdown(false);
        EXPECT_EQ(box_->GetFrameScreenRect().top, c.y);
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
        Then([] {});  // the frame after a run's end drains nothing
    }
}

// Without FitDropdown the list follows the items at each opening: a box
// first opened with one item still shows all of them once it is filled.
TEST_F(ComboBoxTest, UnfittedListGrowsWithItemsAddedAfterAnOpening) {
    owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
    SetFrame(owner_, Rect{0, 0, kWidth, kHeight});
    box_ = new ComboBox(owner_, 0);
    box_->SetPosition(100, 100);
    box_->AddItem(&data_[0], names_[0], false);
    static i32 listHeight = 0;
    ComboBox* box = box_;
    Then([box] {
        listHeight = box->GetList()->GetHeight();
        PostKey(kKeyEsc);
    });
    box_->OpenDropdown(false);
    EXPECT_EQ(listHeight, 2 * kLineHeight);
    for (int i = 1; i < 5; ++i) box_->AddItem(&data_[i], names_[i], false);
    Then([box] {
        listHeight = box->GetList()->GetHeight();
        PostKey(kKeyEsc);
    });
    box_->OpenDropdown(false);
    EXPECT_EQ(listHeight, 6 * kLineHeight);
}

TEST_F(ComboBoxTest, ArrowKeysOpenAndMoveAnEditableBox) {
    MakeBox(ComboBox::kEditable);
    box_->SelectItem(box_->GetList()->GetFirstItem());
    ActivateWindow(box_, kFocusByProgram);
    EXPECT_TRUE(box_->GetField()->HasFocus());
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyEnter); });
    Key(kKeyDown);  // opens; the run takes the scripted keys
    EXPECT_FALSE(box_->IsDropdownOpen());
    EXPECT_EQ(FieldText(), "Charlie");
    EXPECT_EQ(box_->GetSelectedData(), &data_[2]);
    EXPECT_EQ(signals_.size(), 2u);  // one for each move in the list
}

// Esc and Enter that close the list are the box's, release included; on a
// closed box both go on: to the field (Enter commits there, 1 then 0) and on
// to the window around it.
TEST_F(ComboBoxTest, KeysThatCloseTheListKeepTheirReleaseAndOthersPassOn) {
    struct Case {
        int key;
        u32 flags;
        bool open;
        size_t keysAtOwner;  // press and release, or neither
        std::vector<i32> commits;
    };
    const Case cases[] = {
        {kKeyEnter, 0, false, 2, {}},
        {kKeyEsc, 0, false, 2, {}},
        {kKeyEnter, ComboBox::kEditable, false, 0, {1, 0}},
        {kKeyEsc, ComboBox::kEditable, false, 2, {}},
        {kKeyEnter, 0, true, 0, {}},
        {kKeyEsc, 0, true, 0, {}},
        {kKeyEnter, ComboBox::kEditable, true, 0, {}},
        {kKeyEsc, ComboBox::kEditable, true, 0, {}},
    };
    static std::vector<i32> commits;
    for (const Case& c : cases) {
        MakeBox(c.flags);
        commits.clear();
        ConnectSignal(box_->GetField()->commit, nullptr, [](SignalListener*, i32 how) { commits.push_back(how); });
        ActivateWindow(box_, kFocusByProgram);
        const int key = c.key;
        if (c.open) {
            Then([key] { PostKey(key); });
            box_->OpenDropdown(false);
        } else {
            PostKey(key);
        }
        DrainEventQueue();
        EXPECT_FALSE(box_->IsDropdownOpen());
        size_t atOwner = 0;
        for (const InputEvent& e : owner_->keys) atOwner += e.Code() == key;
        EXPECT_EQ(atOwner, c.keysAtOwner) << key << " open " << c.open << " flags " << c.flags;
        if (c.keysAtOwner == 2) {
            EXPECT_TRUE(owner_->keys[0].IsPress());
            EXPECT_FALSE(owner_->keys[1].IsPress());
        }
        EXPECT_EQ(commits, c.commits) << key << " open " << c.open << " flags " << c.flags;
        DestroyWindow(owner_);
        ProcessDeferredDeletes();
    }
}

TEST_F(ComboBoxTest, TypingInAnEditableFieldOpensTheListAtTheMatch) {
    MakeBox(ComboBox::kEditable);
    ActivateWindow(box_, kFocusByProgram);
    ComboBox* box = box_;
    Then([box] {
        EXPECT_TRUE(box->IsDropdownOpen());
        EXPECT_EQ(box->GetField()->GetText(), "d");
        HandleCharInput('e', 1);
    });
    Then([box] {
        EXPECT_EQ(box->GetField()->GetText(), "de");
        EXPECT_EQ(box->GetList()->GetCurrentItem()->text, "Delta");
        PostKey(kKeyEnter);
    });
    HandleCharInput('d', 1);
    DrainEventQueue();
    EXPECT_FALSE(box_->IsDropdownOpen());
    EXPECT_EQ(FieldText(), "Delta");
    EXPECT_EQ(box_->GetSelectedData(), &data_[3]);
}

}  // namespace
}  // namespace pirn_test
