// Window placements and dialog fields kept in the preferences: the stored
// text, what a restore accepts, keeping a frame on screen, and which
// widgets a dialog's fields are kept for.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pref_store.h"
#include "tests/ui/widget_fixture.h"
#include "ui/check_box.h"
#include "ui/remembered_dialog_fields.h"
#include "ui/remembered_placement.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class RememberedStateTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Prefs().Clear();
    }
    void TearDown() override {
        Prefs().Clear();
        WidgetTest::TearDown();
    }
    static std::string PrefText(const std::string& key) {
        std::string text;
        return GetPrefString(key, &text) ? text : "<none>";
    }
};

TEST_F(RememberedStateTest, APlacementIsFiveIntegersAndComesBackWhereItWas) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kTitleBar | Window::kThickBorder, nullptr, "w");
    SetFrame(w, Rect{30, 40, 330, 240});
    SaveWindowPlacement(w, "ProbePlacement");
    EXPECT_EQ(PrefText("ProbePlacement"), "0 30 40 330 240");

    auto* again = new ProbeWindow(Window::kVisible | Window::kTitleBar | Window::kThickBorder, nullptr, "again");
    SetFrame(again, Rect{0, 0, 50, 50});
    EXPECT_EQ(RestoreWindowPlacement(again, "ProbePlacement", true), 1);
    EXPECT_EQ(again->GetFrame(), (Rect{30, 40, 330, 240}));

    // A collapsed window keeps its normal frame in the placement.
    SetPrefString("Collapsed", "1 10 20 210 220");
    ASSERT_EQ(RestoreWindowPlacement(again, "Collapsed", false), 1);
    EXPECT_EQ(again->GetWindowState(), Window::kStateCollapsed);
    SaveWindowPlacement(again, "Collapsed");
    EXPECT_EQ(PrefText("Collapsed"), "1 10 20 210 220");
}

TEST_F(RememberedStateTest, OnlyExactlyFiveIntegersAreApplied) {
    struct Case {
        const char* text;
        bool applied;
    } cases[] = {
        {"0 10 20 110 120", true},
        {"  0 10 20 110 120  ", true},
        {"0 -10 -20 90 80", true},
        {"0 10 20 110", false},
        {"0 10 20 110 120 5", false},
        {"0 10 20 110 1x0", false},
        {"0 10 20 110 99999999999", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto* w = new ProbeWindow(Window::kVisible, nullptr, "w");
        SetFrame(w, Rect{200, 200, 300, 300});
        SetPrefString("P", c.text);
        EXPECT_EQ(RestoreWindowPlacement(w, "P", false), c.applied ? 1 : 0);
        if (!c.applied) {
            EXPECT_EQ(w->GetFrame(), (Rect{200, 200, 300, 300}));
        }
        DestroyWindow(w);
    }
    // An integer preference of the key is no placement either.
    auto* w = new ProbeWindow(Window::kVisible, nullptr, "w");
    SetPrefInt("P", 5);
    EXPECT_EQ(RestoreWindowPlacement(w, "P", false), 0);
    EXPECT_EQ(RestoreWindowPlacement(w, "Absent", false), 0);
}

TEST_F(RememberedStateTest, AFrameIsKeptOnScreenWithoutChangingItsSize) {
    const Point screen{800, 600};
    struct Case {
        const char* what;
        Rect frame;
        Rect kept;
    } cases[] = {
        {"inside", {10, 10, 110, 110}, {10, 10, 110, 110}},
        {"beyond the right edge", {750, 10, 850, 110}, {700, 10, 800, 110}},
        {"beyond the bottom edge", {10, 550, 110, 650}, {10, 500, 110, 600}},
        {"before the left and top edges", {-30, -40, 70, 60}, {0, 0, 100, 100}},
        {"wider than the screen ends at left 0", {100, 10, 1000, 110}, {0, 10, 900, 110}},
        {"taller than the screen ends at top 0", {10, 50, 110, 750}, {10, 0, 110, 700}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(KeepFrameOnScreen(c.frame, screen), c.kept);
    }
}

TEST_F(RememberedStateTest, DialogFieldsAreKeptByTheirWidgetsClass) {
    auto* dialog = new ProbeWindow(Window::kVisible, nullptr, "dialog");
    SetFrame(dialog, Rect{0, 0, 400, 300});
    auto* shadows = new CheckBox(dialog, 1);
    auto* name = new TextBox(TextBox::kSingleLineField, dialog);
    auto* other = new Button(dialog, 2);
    int signals = 0;
    struct Counter : SignalListener {
        int* count;
        void OnClick() { ++*count; }
    } counter;
    counter.count = &signals;
    ConnectSignal<&Counter::OnClick>(shadows->clicked, &counter);

    shadows->SetChecked(true, true);
    name->SetText("Knight Walk");
    other->SetTitle("Go");
    PersistDialogState("AutoCollectionDialog", 1, "Shadows", shadows, "Name", name, "Go", other, nullptr);
    EXPECT_EQ(Prefs().values().size(), 2u);  // the button is not kept
    i32 state = -1;
    EXPECT_TRUE(GetPrefInt("AutoCollectionDialog.Shadows", &state));
    EXPECT_EQ(state, 1);
    EXPECT_EQ(PrefText("AutoCollectionDialog.Name"), "Knight Walk");

    shadows->SetChecked(false, true);
    name->SetText("");
    PersistDialogState("AutoCollectionDialog", 0, "Shadows", shadows, "Name", name, "Go", other, nullptr);
    EXPECT_TRUE(shadows->IsChecked());
    EXPECT_EQ(name->GetText(), "Knight Walk");
    EXPECT_EQ(signals, 0);  // restored silently

    // Stored states outside the check box's four are ignored.
    for (i32 stored : {4, 7, -1}) {
        SCOPED_TRACE(stored);
        shadows->SetChecked(false, true);
        SetPrefInt("AutoCollectionDialog.Shadows", stored);
        PersistDialogControl("AutoCollectionDialog.Shadows", shadows, false);
        EXPECT_EQ(shadows->GetState(), Button::kUp);
    }

    // Another class handles its own controls once it registers.
    SetDialogControlPersister("Button", [](const std::string& key, Window* control, bool save) {
        if (save) SetPrefString(key, control->GetTitle());
    });
    PersistDialogFields("D", true, {{"Go", other}});
    EXPECT_EQ(PrefText("D.Go"), "Go");
    SetDialogControlPersister("Button", nullptr);
    PersistDialogFields("E", true, {{"Go", other}});
    EXPECT_EQ(PrefText("E.Go"), "<none>");
}

}  // namespace
}  // namespace pirn_test
