// The "Color Table", "Flags" and "Optimize" pages: swatches edited with the
// colour chooser and saved to and loaded from Adobe Color Table files, the
// usage flags with the other bits kept, and the optimiser's buttons with
// their gate and reports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collections/ui/bitmap_browser.h"
#include "collections/ui/bitmap_browser_window.h"
#include "collections/ui/color_table_edit.h"
#include "collections/ui/optimiser_page.h"
#include "collections/ui/x256_flags_edit.h"
#include "tests/x256_edit/x256_edit_fixture.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/grid_window.h"
#include "ui/menu.h"

namespace pirn_test {
namespace {

class SmallPagesTest : public X256EditTest {
protected:
    void SetUp() override {
        X256EditTest::SetUp();
        editor_ = OpenEditorTag();
        ASSERT_NE(editor_, nullptr);
        editor_->SetModified(false);
    }
    const u8* Entry(u32 i) { return &editor_->GetCollection().colors[3 * i]; }

    pirn::X256Edit* editor_ = nullptr;
};

TEST_F(SmallPagesTest, SwatchesTakeTheChosenColourACancelChangesNothing) {
    pirn::X256ColorTableEdit* page = editor_->GetColorTableEdit();
    EXPECT_TRUE(page->TestFlags(pirn::Window::kTakesFocus));
    pirn::GridWindow* grid = page->GetGrid();
    EXPECT_EQ(grid->GetCellCount(), 256);
    EXPECT_EQ(grid->GetFrame().left, 1);
    EXPECT_EQ(grid->GetFrame().top, 1);
    EXPECT_EQ(grid->GetLayout().GetSpacing(), 0);

    headless::QueueDialogCancel();
    EXPECT_FALSE(page->ChooseEntryColor(3));
    EXPECT_EQ(Entry(3)[1], 255);
    EXPECT_FALSE(editor_->IsModified());

    // A double click on swatch 3 asks for its colour.
    editor_->GetTabs()->SelectTab(pirn::X256Edit::kColorTablePage);
    StepFrame();
    Rect cell = grid->CellRect(3);
    grid->ClientToScreenRects(&cell, 1);
    headless::QueueColorAnswer(pirn::ColorRgb{11, 22, 33});
    pirn::InputEvent twice;
    twice.word[0] = u32(cell.left + 5);
    twice.word[1] = u32(cell.top + 5);
    grid->OnDoubleClick(twice);
    EXPECT_EQ(Entry(3)[0], 11);
    EXPECT_EQ(Entry(3)[1], 22);
    EXPECT_EQ(Entry(3)[2], 33);
    EXPECT_TRUE(editor_->IsModified());
}

TEST_F(SmallPagesTest, TheColourTableGoesToAndComesFromAdobeColorTables) {
    pirn::X256ColorTableEdit* page = editor_->GetColorTableEdit();
    pirn::Menu* menu = page->BuildContextMenu();
    ASSERT_EQ(menu->Entries().size(), 2u);
    EXPECT_STREQ(menu->Entries()[0]->GetTitle(), "Save Color Table As...");
    EXPECT_STREQ(menu->Entries()[1]->GetTitle(), "Load Color Table...");
    pirn::DestroyWindow(menu);

    const std::string saved = ScratchFile("knight.act");
    headless::QueueFileDialogAnswer({saved});
    page->RunCommand(pirn::X256ColorTableEdit::kSaveCommand);
    std::vector<u8> bytes = ReadAll(saved);
    ASSERT_EQ(bytes.size(), 768u);
    EXPECT_EQ(bytes[3 * 3 + 0], 0);
    EXPECT_EQ(bytes[3 * 3 + 1], 255);
    EXPECT_EQ(bytes[3 * 200 + 2], 200);
    EXPECT_FALSE(editor_->IsModified());

    // Four colours and a count: the rest of the table is cleared.
    std::vector<u8> four(772, 0);
    for (int i = 0; i < 12; ++i) four[size_t(i)] = u8(50 + i);
    four[768] = 0;
    four[769] = 4;
    four[770] = four[771] = 0xFF;
    const std::string loaded = ScratchFile("four.act");
    WriteAll(loaded, four);
    headless::QueueFileDialogAnswer({loaded});
    page->RunCommand(pirn::X256ColorTableEdit::kLoadCommand);
    EXPECT_EQ(Entry(0)[0], 50);
    EXPECT_EQ(Entry(3)[2], 61);
    EXPECT_EQ(Entry(4)[0], 0);
    EXPECT_EQ(Entry(255)[2], 0);
    EXPECT_TRUE(editor_->IsModified());

    // A file that is no colour table leaves the table.
    const std::string broken = ScratchFile("broken.act");
    WriteAll(broken, std::vector<u8>(10, 7));
    headless::QueueFileDialogAnswer({broken});
    Answer(0);
    page->RunCommand(pirn::X256ColorTableEdit::kLoadCommand);
    RunScript();
    ASSERT_FALSE(asked_.empty());
    EXPECT_EQ(asked_.back().text, "The color table could not be opened.");
    EXPECT_EQ(Entry(0)[0], 50);
}

TEST_F(SmallPagesTest, TheFlagsPageSetsBitsZeroToFiveAndKeepsTheRest) {
    pirn::X256FlagsEdit* page = editor_->GetFlagsEdit();
    const char* labels[] = {"Textures", "Monsters", "Projectiles", "Scenery", "Atmospheric Effects", "Interfaces"};
    for (int bit = 0; bit < 6; ++bit) {
        EXPECT_STREQ(page->GetBox(bit)->GetTitle(), labels[bit]);
        EXPECT_EQ(page->GetBox(bit)->GetFrame().left, 20);
    }
    pirn::Collection& c = editor_->GetCollection();
    c.flags |= 0x100 | 0x8000;
    page->RefreshCollectionFlags();
    page->GetBox(0)->SetChecked(false, false);
    EXPECT_EQ(c.flags, 0x810Au);
    EXPECT_TRUE(editor_->IsModified());
    page->GetBox(5)->SetChecked(true, false);
    EXPECT_EQ(c.flags, 0x812Au);
    EXPECT_EQ(pirn::WithUsageFlags(0xFFFFFFFFu, 0), 0xFFFFFFC0u);
}

TEST_F(SmallPagesTest, TheOptimiserRunsOnlyWithItsGateOpenAndReports) {
    pirn::X256OptimizeEdit* page = editor_->GetOptimizeEdit();
    const char* titles[] = {"Delete Unused Bitmaps", "Merge Identical Bitmaps", "Crop All Bitmaps",
                            "Auto Rename Bitmaps", "Get Runtime Size"};
    i32 y = 12;
    for (u32 id = 0; id < 5; ++id) {
        pirn::Button* button = page->GetButton(id);
        ASSERT_NE(button, nullptr);
        EXPECT_STREQ(button->GetTitle(), titles[id]);
        EXPECT_EQ(button->GetId(), i32(id));
        EXPECT_EQ(button->GetFrame(), (Rect{12, y, 212, y + button->GetHeight()}));
        y += button->GetHeight() + 6;
    }

    pirn::Collection& c = editor_->GetCollection();
    pirn::BitmapWindow* window = editor_->GetBitmapBrowser()->OpenBitmapWindow(c.bitmaps[0].get());
    Answer(0);
    page->GetButton(0)->SetState(pirn::Button::kChecked, false);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "");
    EXPECT_EQ(asked_[0].text,
              "Please close all bitmap, sequence and sequence edit windows before performing optimizations.");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(pirn::GetCollectionBitmapCount(c), 5u);
    EXPECT_FALSE(editor_->IsModified());

    pirn::DestroyWindow(window);
    Answer(0);
    page->GetButton(0)->SetState(pirn::Button::kChecked, false);
    RunScript();
    EXPECT_EQ(asked_.back().text, "1 unused bitmap was removed.");
    EXPECT_EQ(pirn::GetCollectionBitmapCount(c), 4u);
    EXPECT_EQ(editor_->GetBitmapBrowser()->GetLabelText(), "  3 Bitmaps:");
    EXPECT_TRUE(editor_->IsModified());

    // A report without a change leaves the tag as it was.
    editor_->SetModified(false);
    Answer(0);
    page->RunCollectionOptimization(4);
    RunScript();
    EXPECT_EQ(asked_.back().caption, "Information");
    EXPECT_FALSE(editor_->IsModified());
    Answer(0);
    page->RunCollectionOptimization(3);
    RunScript();
    EXPECT_EQ(asked_.back().caption, "Rename operation");
    // The views show the alternates: Square is named after view 0.
    EXPECT_EQ(asked_.back().text, "2 Bitmaps Renamed.");
    EXPECT_STREQ(c.bitmaps[3]->name, "Walk 00");
    EXPECT_STREQ(c.bitmaps[1]->name, "Walk 01");
    EXPECT_STREQ(c.bitmaps[0]->name, "Sprite A");
    EXPECT_TRUE(editor_->IsModified());
}

}  // namespace
}  // namespace pirn_test
