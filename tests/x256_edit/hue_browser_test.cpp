// The "Hue Changes" page and its editor window: the list's commands with
// their questions and refusals word for word, rows moved, and every control
// of X256HueEdit storing into the hue change, the colour bar dragged with
// the mouse.

#include "collections/ui/hue_browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collections/hue_change_rules.h"
#include "collections/ui/hue_color_bar.h"
#include "collections/ui/hue_edit.h"
#include "tests/x256_edit/x256_edit_fixture.h"
#include "ui/check_box.h"
#include "ui/color_button.h"
#include "ui/combo_box.h"
#include "ui/menu.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

using pirn::CollectionHueChange;
using pirn::X256HueBrowser;
using pirn::X256HueEdit;

const std::string kDegree(1, '\xA1');

class HueBrowserTest : public X256EditTest {
protected:
    void SetUp() override {
        X256EditTest::SetUp();
        editor_ = OpenEditorTag();
        ASSERT_NE(editor_, nullptr);
        hues_ = editor_->GetHueBrowser();
        editor_->SetModified(false);
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (pirn::ListItem* item = hues_->GetFirstItem(); item; item = item->next) rows.push_back(item->text);
        return rows;
    }
    CollectionHueChange* Hue(size_t i) { return editor_->GetCollection().hue_changes.at(i).get(); }
    std::string MenuState() {
        pirn::Menu* menu = hues_->BuildContextMenu();
        std::string text;
        for (const pirn::MenuItem* e : menu->Entries())
            text += std::string(e->IsEnabled() ? "" : "-") + e->GetTitle() + ":" + std::to_string(e->GetId()) + " ";
        pirn::DestroyWindow(menu);
        return text;
    }

    pirn::X256Edit* editor_ = nullptr;
    X256HueBrowser* hues_ = nullptr;
};

TEST_F(HueBrowserTest, NewDuplicateRenameMoveAndDelete) {
    EXPECT_STREQ(hues_->GetClassName(), "X256HueBrowser");
    hues_->DeselectAllExcept(nullptr);
    EXPECT_EQ(MenuState(), "-Rename:0 -Duplicate:1 -Delete:2 New Hue Change:3 ");

    hues_->RunCommand(X256HueBrowser::kNewCommand);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Team", "New Hue Change"}));
    EXPECT_EQ(hues_->GetSelectedHueChanges(), (std::vector<CollectionHueChange*>{Hue(1)}));
    EXPECT_EQ(pirn::HueDegrees(Hue(1)->start_hue), 120u);
    EXPECT_TRUE(editor_->IsModified());
    EXPECT_EQ(MenuState(), "Rename:0 Duplicate:1 Delete:2 New Hue Change:3 ");

    hues_->SelectHueChange(Hue(0));
    hues_->RunCommand(X256HueBrowser::kDuplicateCommand);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Team", "Team copy", "New Hue Change"}));
    EXPECT_EQ(Hue(1)->start_hue, Hue(0)->start_hue);

    Then([this] {
        ASSERT_NE(hues_->GetEditBox(), nullptr);
        hues_->GetEditBox()->SetText("Cloth");
        PostKey(kKeyEnter);
    });
    hues_->RunCommand(X256HueBrowser::kRenameCommand);
    EXPECT_STREQ(Hue(1)->name, "Cloth");
    EXPECT_EQ(Rows()[1], "Cloth");

    hues_->MoveRow(Hue(2), 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"New Hue Change", "Team", "Cloth"}));
    EXPECT_EQ(hues_->GetSelectedHueChanges(), (std::vector<CollectionHueChange*>{Hue(0)}));

    // Two selected: the question is plural; Cancel keeps them.
    hues_->SelectItem(hues_->FindHueItem(Hue(1)), true);
    Answer(1);
    hues_->RunCommand(X256HueBrowser::kDeleteCommand);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "Are you sure you want to remove the selected hue changes?");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Delete", "Cancel"}));
    EXPECT_EQ(Rows().size(), 3u);
    Answer(0);
    hues_->RunCommand(X256HueBrowser::kDeleteCommand);
    RunScript();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Cloth"}));

    hues_->SelectHueChange(Hue(0));
    Answer(0);
    hues_->RunCommand(X256HueBrowser::kDeleteCommand);
    RunScript();
    EXPECT_EQ(asked_.back().text, "Are you sure you want to remove the selected hue change?");
}

TEST_F(HueBrowserTest, AHueChangeOpenInItsEditorIsNotDeleted) {
    X256HueEdit* edit = hues_->OpenHueEdit(Hue(0));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(hues_->OpenHueEdit(Hue(0)), edit);  // raised, not a second one
    hues_->SelectHueChange(Hue(0));
    Answer(0);
    hues_->RunCommand(X256HueBrowser::kDeleteCommand);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The hue change \"Team\" is currently open. Please close it before deleting.");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(pirn::GetCollectionHueChangeCount(editor_->GetCollection()), 1u);

    pirn::DestroyWindow(edit);
    Answer(0);
    hues_->RunCommand(X256HueBrowser::kDeleteCommand);
    RunScript();
    EXPECT_EQ(pirn::GetCollectionHueChangeCount(editor_->GetCollection()), 0u);
}

TEST_F(HueBrowserTest, TheEditorShowsTheHueChangeAndStoresEveryControl) {
    CollectionHueChange* team = Hue(0);
    X256HueEdit* edit = hues_->OpenHueEdit(team);
    ASSERT_NE(edit, nullptr);
    EXPECT_STREQ(edit->GetClassName(), "X256HueEdit");
    EXPECT_STREQ(edit->GetTitle(), "Team");
    EXPECT_EQ(edit->GetNameBox()->GetText(), "Team");
    EXPECT_EQ(edit->GetStartField()->GetText(), "270" + kDegree);
    EXPECT_EQ(edit->GetMedianField()->GetText(), "180" + kDegree);
    EXPECT_EQ(edit->GetEndField()->GetText(), "90" + kDegree);
    EXPECT_EQ(edit->GetSaturationBox()->GetText(), "0");
    EXPECT_EQ(edit->GetUseAsBox()->GetField()->GetText(), "Primary Color");
    EXPECT_FALSE(edit->GetReversedBox()->IsChecked());
    EXPECT_TRUE(edit->GetReplacementBox()->IsChecked());
    EXPECT_FALSE(edit->GetSolidBox()->IsChecked());
    EXPECT_EQ(edit->GetColorButton()->GetColor(), PackRgba(255, 0, 0, 255));
    EXPECT_EQ(edit->GetColorBar()->GetWidth(), 360);
    EXPECT_EQ(edit->GetColorBar()->GetHeight(), 20);
    EXPECT_FALSE(editor_->IsModified());

    edit->GetSaturationBox()->SetText("50");
    EXPECT_EQ(team->minimum_saturation, 32768);
    EXPECT_EQ(edit->GetSaturationBox()->GetText(), "50");
    EXPECT_TRUE(editor_->IsModified());
    edit->GetSaturationBox()->SetText("250");
    EXPECT_EQ(team->minimum_saturation, 65535);
    EXPECT_EQ(edit->GetSaturationBox()->GetText(), "100");

    pirn::ListWindow* choices = edit->GetUseAsBox()->GetList();
    choices->SelectItem(choices->GetFirstItem()->next->next, false);
    EXPECT_EQ(team->use_as, 2);
    choices->SelectItem(choices->GetFirstItem(), false);
    EXPECT_EQ(team->use_as, 0);

    edit->GetReversedBox()->SetChecked(true, false);
    EXPECT_EQ(team->hue_flags, 1);
    edit->GetSolidBox()->SetChecked(true, false);
    EXPECT_EQ(team->replacement_flags, 3);
    edit->GetReplacementBox()->SetChecked(false, false);
    EXPECT_EQ(team->replacement_flags, 0);  // solid only with a colour
    edit->GetReplacementBox()->SetChecked(true, false);
    EXPECT_EQ(team->replacement_flags, 3);

    headless::QueueColorAnswer(pirn::ColorRgb{10, 20, 30});
    EXPECT_EQ(edit->GetColorButton()->ChooseColor(), 1);
    EXPECT_EQ(team->replacement_red, 2560);
    EXPECT_EQ(team->replacement_green, 5120);
    EXPECT_EQ(team->replacement_blue, 7680);

    edit->GetNameBox()->SetText("Banner");
    EXPECT_STREQ(team->name, "Banner");
    EXPECT_STREQ(edit->GetTitle(), "Banner");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Banner"}));
}

TEST_F(HueBrowserTest, DraggingTheStartMarkMovesTheRange) {
    CollectionHueChange* team = Hue(0);
    team->start_hue = pirn::HueFromDegrees(45);
    team->median_hue = pirn::HueFromDegrees(90);
    team->end_hue = pirn::HueFromDegrees(180);
    X256HueEdit* edit = hues_->OpenHueEdit(team);
    pirn::ColorBar* bar = edit->GetColorBar();
    const Rect& r = bar->GetClientScreenRect();
    // 44 is within reach of the start (shown as 44); the drag takes it past
    // the median, which follows.
    MoveTo(r.left + 46, r.top + 10);
    Press();
    EXPECT_EQ(bar->GetDragMode(), pirn::kStartMark);
    MoveTo(r.left + 135, r.top + 10);
    EXPECT_EQ(team->start_hue, pirn::HueFromDegrees(135));
    EXPECT_EQ(team->median_hue, pirn::HueFromDegrees(135));
    EXPECT_EQ(edit->GetStartField()->GetText(), "135" + kDegree);
    EXPECT_EQ(edit->GetMedianField()->GetText(), "135" + kDegree);
    Release();
    EXPECT_EQ(bar->GetDragMode(), pirn::kNoMark);
    EXPECT_TRUE(editor_->IsModified());

    // Away from every mark nothing starts.
    MoveTo(r.left + 300, r.top + 10);
    Press();
    EXPECT_EQ(bar->GetDragMode(), pirn::kNoMark);
    Release();
}

}  // namespace
}  // namespace pirn_test
