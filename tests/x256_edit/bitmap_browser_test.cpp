// The "Bitmaps" and "Shadows" pages: rows and their texts, usage colours,
// the context menu, each command with its questions and refusals word for
// word, bitmap windows that block what would free their bitmap, rows moved
// and dragged, and import and export through the scripted dialogs.

#include "collections/ui/bitmap_browser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "collections/bitmap_browser_commands.h"
#include "collections/ui/bitmap_browser_window.h"
#include "collections/ui/bitmap_drag_data.h"
#include "platform/file_system.h"
#include "tests/x256_edit/x256_edit_fixture.h"
#include "ui/grid_window.h"
#include "ui/menu.h"
#include "ui/text_box.h"
#include "ui/window_drag.h"

namespace pirn_test {
namespace {

using pirn::BitmapWindow;
using pirn::CollectionBitmap;
using pirn::X256BitmapBrowser;
using pirn::X256Edit;

// "title:id" per entry, "-" for disabled ones, submenus in brackets.
std::string DescribeMenu(const pirn::MenuItem* entry) {
    std::string text;
    for (const pirn::MenuItem* e : entry->Entries()) {
        if (!text.empty()) text += ", ";
        text += std::string(e->IsEnabled() ? "" : "-") + e->GetTitle();
        if (e->HasSubmenu()) text += " [" + DescribeMenu(e) + "]";
        else text += ":" + std::to_string(e->GetId());
    }
    return text;
}

class BitmapBrowserTest : public X256EditTest {
protected:
    void SetUp() override {
        X256EditTest::SetUp();
        editor_ = OpenEditorTag();
        ASSERT_NE(editor_, nullptr);
        bitmaps_ = editor_->GetBitmapBrowser();
        shadows_ = editor_->GetShadowBrowser();
        editor_->SetModified(false);
    }
    CollectionBitmap* Named(const char* name) {
        for (const auto& b : editor_->GetCollection().bitmaps)
            if (std::string(b->name) == name) return b.get();
        return nullptr;
    }
    std::vector<std::string> RowNames(X256BitmapBrowser* page) {
        std::vector<std::string> names;
        for (CollectionBitmap* b : page->GetRowBitmaps()) names.push_back(b->name);
        return names;
    }
    std::string Menu(X256BitmapBrowser* page) {
        pirn::Menu* menu = page->BuildContextMenu();
        const std::string text = DescribeMenu(menu);
        pirn::DestroyWindow(menu);
        return text;
    }
    // Runs a command whose boxes the script answers.
    void Run(X256BitmapBrowser* page, i32 command) {
        page->RunCommand(command);
        RunScript();
    }

    X256Edit* editor_ = nullptr;
    X256BitmapBrowser* bitmaps_ = nullptr;
    X256BitmapBrowser* shadows_ = nullptr;
};

TEST_F(BitmapBrowserTest, RowsShowTheirTextsAndWhetherASequenceUsesThem) {
    EXPECT_STREQ(bitmaps_->GetClassName(), "X256BitmapBrowser");
    EXPECT_EQ(bitmaps_->GetMode(), X256BitmapBrowser::kBitmapMode);
    EXPECT_EQ(shadows_->GetMode(), X256BitmapBrowser::kShadowMode);
    EXPECT_STREQ(bitmaps_->GetGrid()->GetTitle(), "Bitmaps Grid");
    EXPECT_STREQ(bitmaps_->GetTable()->GetTitle(), "Bitmaps Table");
    EXPECT_EQ(bitmaps_->GetLabel()->GetFrame(), (Rect{4, 4, 204, 24}));
    EXPECT_EQ(RowNames(bitmaps_), (std::vector<std::string>{"Sprite A", "Sprite B", "Square", "Spare"}));
    EXPECT_EQ(RowNames(shadows_), (std::vector<std::string>{"Shadow"}));

    pirn::BitmapTableList* table = bitmaps_->GetTable();
    ASSERT_EQ(table->GetColumnCount(), 4);
    const char* titles[] = {"Name", "Bits", "Format", "Dimensions"};
    const i32 widths[] = {256, 48, 40, 128};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table->GetColumn(i).title, titles[i]);
        EXPECT_EQ(table->GetColumn(i).width, widths[i]);
    }
    const std::vector<std::vector<std::string>> cells = {
        {"Sprite A", "8 bit", "RLE", "   3 x 2"},
        {"Sprite B", "16 bit", "RAW", "   2 x 2"},
        {"Square", "8 bit", "RAW", "   4 x 4"},
        {"Spare", "8 bit", "RAW", "   4 x 4"},
    };
    size_t row = 0;
    for (pirn::ListItem* item = table->GetFirstItem(); item; item = item->next, ++row)
        for (int column = 0; column < 4; ++column) EXPECT_EQ(table->CellText(item, column), cells[row][size_t(column)]);
    EXPECT_EQ(row, 4u);

    // Square is shown only as an alternate, and counts as used; Spare is
    // in no sequence.
    EXPECT_EQ(bitmaps_->GetRowColor(2), X256BitmapBrowser::kUsedRowColor);
    EXPECT_EQ(bitmaps_->GetRowColor(3), X256BitmapBrowser::kUnusedRowColor);
    EXPECT_EQ(table->GetFirstItem()->next->next->next->textColor, 0xFFC0C0C0u);
    // The sequence page reports a change: the rows are coloured again.
    editor_->GetCollection().sequences[1]->frames[0].instances[0].standard.bitmap = Named("Spare");
    editor_->SequencesChanged();
    EXPECT_EQ(bitmaps_->GetRowColor(3), X256BitmapBrowser::kUsedRowColor);
    EXPECT_TRUE(editor_->IsModified());
}

TEST_F(BitmapBrowserTest, TheContextMenuOffersWhatThePageCanDo) {
    EXPECT_EQ(Menu(bitmaps_),
              "-Selected Bitmaps [Export:1, Export Alpha:7, Export Plate:3, Export Alpha Plate:5, Replace:9, Replace "
              "Alpha:11, Replace from Plate:13, Replace Alpha from Plate:15, Remove Alpha:19, Format [Convert to "
              "RLE:21, Convert to RAW:22], Crop Transparency:25, Uncrop Transparency:27, Delete:17], All Bitmaps "
              "[Export:2, Export Alpha:8, Export Plate:4, Export Alpha Plate:6, Replace:10, Replace Alpha:12, Replace "
              "from Plate:14, Replace Alpha from Plate:16, Remove Alpha:20, Format [Convert to RLE:23, Convert to "
              "RAW:24], Crop Transparency:26, Uncrop Transparency:28, Delete:18], Add Bitmap(s) from File(s):29, Add "
              "Bitmap(s) from Plate:30");
    bitmaps_->SelectBitmaps({Named("Sprite B")});
    EXPECT_EQ(Menu(bitmaps_).substr(0, 38), "Rename:0, Selected Bitmap [Export:1, E");
    shadows_->SelectBitmaps({Named("Shadow")});
    EXPECT_EQ(Menu(shadows_),
              "Rename:0, Selected Shadow [Export:1, Replace:9, Delete:17], All Shadows [Export:2, Replace:10, "
              "Delete:18], Add Shadow(s) from File(s):29");
    // A page without rows offers only adding.
    pirn::DeleteBitmaps(&editor_->GetCollection(), {Named("Shadow")});
    shadows_->RefreshBitmapList();
    EXPECT_EQ(Menu(shadows_),
              "-Selected Shadows [Export:1, Replace:9, Delete:17], -All Shadows [Export:2, Replace:10, Delete:18], Add "
              "Shadow(s) from File(s):29");
}

TEST_F(BitmapBrowserTest, DeletingAsksNamingTheBitmapsAndEmptiesTheirViews) {
    shadows_->SelectBitmaps({Named("Shadow")});
    Answer(1);  // Cancel
    Run(shadows_, X256BitmapBrowser::kDeleteCommand);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Confirm Deletion");
    EXPECT_EQ(asked_[0].text, "Are you sure you want to remove the only shadow?");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Delete", "Cancel"}));
    EXPECT_NE(Named("Shadow"), nullptr);
    EXPECT_FALSE(editor_->IsModified());

    Answer(0);
    Run(shadows_, X256BitmapBrowser::kDeleteCommand + 1);  // all shadows
    EXPECT_EQ(Named("Shadow"), nullptr);
    EXPECT_EQ(editor_->GetCollection().sequences[0]->frames[0].shadow, nullptr);
    EXPECT_EQ(shadows_->GetLabelText(), "  0 Shadows:");
    EXPECT_TRUE(editor_->IsModified());

    bitmaps_->SelectBitmaps({Named("Sprite A"), Named("Spare")});
    Answer(0);
    Run(bitmaps_, X256BitmapBrowser::kDeleteCommand);
    EXPECT_EQ(asked_.back().text, "Are you sure you want to remove the selected bitmaps?");
    EXPECT_EQ(RowNames(bitmaps_), (std::vector<std::string>{"Sprite B", "Square"}));
    EXPECT_EQ(editor_->GetCollection().sequences[0]->frames[0].instances[0].standard.bitmap, nullptr);
}

TEST_F(BitmapBrowserTest, AnOpenBitmapIsNeitherDeletedCroppedNorReplaced) {
    CollectionBitmap* sprite = Named("Sprite A");
    BitmapWindow* window = bitmaps_->OpenBitmapWindow(sprite);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->GetClassName(), "BitmapWindow");
    EXPECT_STREQ(window->GetTitle(), "Sprite A");
    EXPECT_EQ(window->GetClientWidth(), 250);
    EXPECT_EQ(window->GetClientHeight(), 250);
    EXPECT_EQ(bitmaps_->OpenBitmapWindow(sprite), window);  // raised, not a second one

    bitmaps_->SelectBitmaps({Named("Sprite B"), sprite});
    const std::string open = "The bitmap \"Sprite A\" is currently open. Please close it before ";
    const struct {
        i32 command;
        std::function<void()> answers;
        const char* verb;
    } cases[] = {
        {X256BitmapBrowser::kDeleteCommand, [] { Answer(0); }, "deleting."},
        {X256BitmapBrowser::kCropCommand, [] { Answer(0); }, "cropping."},
        {X256BitmapBrowser::kUncropCommand, [] { AnswerInput(0, "64"); }, "cropping."},
        {X256BitmapBrowser::kReplaceCommand, [] {}, "replacing."},
        {X256BitmapBrowser::kReplaceFromPlateCommand, [] {}, "replacing."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.command);
        asked_.clear();
        k.answers();
        Answer(0);  // the error
        Run(bitmaps_, k.command);
        ASSERT_FALSE(asked_.empty());
        EXPECT_EQ(asked_.back().caption, "Error");
        EXPECT_EQ(asked_.back().text, open + k.verb);
        EXPECT_EQ(asked_.back().buttons, (std::vector<std::string>{"OK"}));
        EXPECT_EQ(sprite->width, 3);
        EXPECT_EQ(Named("Sprite A"), sprite);
    }
    EXPECT_TRUE(headless::FileDialogRequests().empty());
    EXPECT_FALSE(editor_->IsModified());

    // Closed, it goes.
    pirn::DestroyWindow(window);
    Answer(0);
    Run(bitmaps_, X256BitmapBrowser::kDeleteCommand);
    EXPECT_EQ(Named("Sprite A"), nullptr);
}

TEST_F(BitmapBrowserTest, UncropPadsToTheTypedSizeAndCropTakesItBack) {
    const struct {
        const char* typed;
    } refused[] = {{"0"}, {"5000"}, {"70000"}, {"x"}};
    bitmaps_->SelectBitmaps({Named("Sprite A")});
    for (const auto& k : refused) {
        asked_.clear();
        AnswerInput(0, k.typed);
        Answer(0);
        Run(bitmaps_, X256BitmapBrowser::kUncropCommand);
        ASSERT_EQ(asked_.size(), 2u) << k.typed;
        EXPECT_EQ(asked_[0].caption, "Enter Uncropped Size (pixels)");
        EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Uncrop", "Cancel"}));
        EXPECT_EQ(asked_[1].text, "Invalid size for uncropping.");
    }
    EXPECT_FALSE(editor_->IsModified());

    pirn::BitmapInstance& view = editor_->GetCollection().sequences[0]->frames[0].instances[0];
    AnswerInput(0, "8");
    Run(bitmaps_, X256BitmapBrowser::kUncropCommand);
    CollectionBitmap* sprite = Named("Sprite A");
    EXPECT_EQ(sprite->width, 8);
    EXPECT_EQ(sprite->height, 8);
    EXPECT_EQ(view.standard.x, 2 + 2);
    EXPECT_EQ(view.standard.y, 3 + 3);
    EXPECT_TRUE(editor_->IsModified());

    asked_.clear();
    Answer(0);  // "Crop"
    Answer(0);  // the report
    Run(bitmaps_, X256BitmapBrowser::kCropCommand);
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_EQ(asked_[0].text, "Are you sure you want to crop the selected bitmap?");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Crop", "Cancel"}));
    EXPECT_EQ(asked_[1].text, "1 bitmap was cropped (58 pixels removed).");
    EXPECT_EQ(sprite->width, 3);
    EXPECT_EQ(view.standard.x, 2);
    EXPECT_EQ(view.standard.y, 3);
}

TEST_F(BitmapBrowserTest, RenamingAsksInTheGridAndEditsInTheTable) {
    CollectionBitmap* wide = Named("Sprite B");
    bitmaps_->SelectBitmaps({wide});
    AnswerInput(0, "Renamed in the grid");
    Run(bitmaps_, X256BitmapBrowser::kRenameCommand);
    EXPECT_EQ(asked_.back().caption, "Enter Bitmap Name");
    EXPECT_EQ(asked_.back().text, "Sprite B");
    EXPECT_EQ(asked_.back().buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_STREQ(wide->name, "Renamed in the grid");
    EXPECT_EQ(bitmaps_->GetSelectedBitmaps(), (std::vector<CollectionBitmap*>{wide}));
    EXPECT_TRUE(editor_->IsModified());

    bitmaps_->ToggleView();
    ASSERT_FALSE(bitmaps_->IsGridActive());
    EXPECT_EQ(bitmaps_->GetSelectedBitmaps(), (std::vector<CollectionBitmap*>{wide}));
    pirn::BitmapTableList* table = bitmaps_->GetTable();
    Then([table] {
        ASSERT_NE(table->GetEditBox(), nullptr);
        table->GetEditBox()->SetText(std::string(70, 'n'));
        PostKey(kKeyEnter);
    });
    bitmaps_->RunCommand(X256BitmapBrowser::kRenameCommand);
    EXPECT_EQ(std::string(wide->name), std::string(63, 'n'));
}

TEST_F(BitmapBrowserTest, FormatAndAlphaCommands) {
    CollectionBitmap* wide = Named("Sprite B");
    bitmaps_->SelectBitmaps({wide});
    Run(bitmaps_, X256BitmapBrowser::kToRleCommand);
    EXPECT_EQ(wide->flags & pirn::kBitmapRle, pirn::kBitmapRle);
    EXPECT_TRUE(editor_->IsModified());
    editor_->SetModified(false);
    Run(bitmaps_, X256BitmapBrowser::kToRleCommand);  // nothing to change
    EXPECT_FALSE(editor_->IsModified());
    Run(bitmaps_, X256BitmapBrowser::kToRawAllCommand);
    for (CollectionBitmap* b : bitmaps_->GetRowBitmaps()) EXPECT_EQ(b->flags & pirn::kBitmapRle, 0);
    Run(bitmaps_, X256BitmapBrowser::kRemoveAlphaCommand);
    EXPECT_EQ(wide->flags & pirn::kBitmapPartialAlpha, 0);
    EXPECT_EQ(bitmaps_->GetTable()->CellText(bitmaps_->GetTable()->GetFirstItem()->next, 1), "8 bit");
}

TEST_F(BitmapBrowserTest, RowsMoveInTheTableAndDragOutAsBitmaps) {
    CollectionBitmap* square = Named("Square");
    bitmaps_->MoveRow(square, 0);
    EXPECT_EQ(RowNames(bitmaps_), (std::vector<std::string>{"Square", "Sprite A", "Sprite B", "Spare"}));
    EXPECT_EQ(pirn::FindCollectionBitmap(editor_->GetCollection(), square), 0);
    EXPECT_EQ(bitmaps_->GetSelectedBitmaps(), (std::vector<CollectionBitmap*>{square}));
    EXPECT_TRUE(editor_->IsModified());

    // Three rows dragged out of the table carry three bitmaps.
    bitmaps_->ToggleView();
    bitmaps_->SelectBitmaps({Named("Sprite A"), Named("Sprite B"), Named("Spare")});
    pirn::BitmapTableList* table = bitmaps_->GetTable();
    Rect cell = table->CellRect(table->GetFirstItem()->next, 0);
    table->ClientToScreenRects(&cell, 1);
    MoveTo(cell.left + 20, cell.top + 4);
    HandleKeyInput(kKeyShift, 1);
    Press();
    HandleKeyInput(kKeyShift, 0);
    MoveTo(cell.left + 20, cell.top + 40);
    pirn::Window::DragDropData* payload = pirn::GetDragState().payload;
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload->typeId, pirn::kBitmapDragTableRows);
    auto* grid = dynamic_cast<pirn::BitmapGridDDData*>(pirn::BitmapPayloadOf(payload));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->typeId, pirn::kBitmapDragGrid);
    EXPECT_EQ(grid->source, pirn::BitmapGridDDData::kFromBitmapBrowser);
    ASSERT_EQ(grid->ItemCount(), 3u);
    EXPECT_EQ(grid->items[0]->bitmap, Named("Sprite A"));
    EXPECT_EQ(grid->items[2]->bitmap, Named("Spare"));
    pirn::CancelDrag();
    Release();
}

TEST_F(BitmapBrowserTest, BitmapsComeInAndGoOutThroughTheDialogs) {
    const std::string picture = ScratchFile("Walk Extra.png");
    WritePalettedImage(picture, pirn::kTypePng);
    headless::QueueFileDialogAnswer({picture});
    Run(bitmaps_, X256BitmapBrowser::kAddFromFilesCommand);
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Import Bitmaps");
    CollectionBitmap* added = Named("Walk Extra");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->width, 4);
    EXPECT_EQ(bitmaps_->GetLabelText(), "  5 Bitmaps:");
    EXPECT_TRUE(editor_->IsModified());

    // One bitmap to a file.
    bitmaps_->SelectBitmaps({added});
    const std::string single = ScratchFile("out.png");
    headless::QueueFileDialogAnswer({single});
    Run(bitmaps_, X256BitmapBrowser::kExportCommand);
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Export Bitmap");
    pirn::ImageFile file;
    pirn::InitImageFile(&file, single);
    ASSERT_TRUE(pirn::LoadImageFile(&file));
    EXPECT_EQ(file.image.width, 4u);
    EXPECT_EQ(file.image.format, pirn::kFormatColorIndex);

    // Several into a folder, numbered.
    const std::string folder = ScratchFile("exported/");
    ASSERT_TRUE(pirn::MakeDirectory(folder));
    headless::QueueFileDialogAnswer({folder}, -1, {0, 0});
    Run(bitmaps_, X256BitmapBrowser::kExportCommand + 1);
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Choose a destination folder");
    for (int index : {0, 1, 3, 4, 5}) {
        char name[32];
        std::snprintf(name, sizeof name, "bitmap #%04d.bmp", index);  // the first format offered
        EXPECT_TRUE(Exists(folder + name)) << name;
    }

    // Replaced from a file: the view that showed it shows the new bitmap.
    CollectionBitmap* wide = Named("Sprite B");
    bitmaps_->SelectBitmaps({wide});
    headless::QueueFileDialogAnswer({picture}, -1, {0});
    Run(bitmaps_, X256BitmapBrowser::kReplaceCommand);
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Import replacement bitmap");
    const pirn::BitmapInstance& view = editor_->GetCollection().sequences[0]->frames[0].instances[1];
    ASSERT_NE(view.standard.bitmap, nullptr);
    EXPECT_EQ(view.standard.bitmap->width, 4);
    EXPECT_EQ(Named("Sprite B"), nullptr);
}

}  // namespace
}  // namespace pirn_test
