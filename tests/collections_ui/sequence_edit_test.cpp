// X256SequenceEdit on the headless window system: the grid's shape and
// labels, the property boxes with their limits, the mode and the check
// boxes, Delete on cells, drops and drags (one real drag from the Bitmaps
// page onto a cell), the import menu, frame editors asked for by cells,
// and sequences without frames or views.

#include <gtest/gtest.h>

#include "collections/sequence_properties.h"
#include "collections/ui/bitmap_browser.h"
#include "collections/ui/bitmap_drag_data.h"
#include "platform/image_file.h"
#include "tests/collections_ui/sequence_page_fixture.h"
#include "tests/support/test_support.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/menu.h"
#include "ui/tab_window.h"
#include "ui/window_drag.h"

namespace pirn_test {
namespace {

const char kDeg = static_cast<char>(161);

class SequenceEditTest : public SequencePageTest {
protected:
    X256SequenceEdit* Open(CollectionSequence* sequence) {
        X256SequenceEdit* edit = Browser()->OpenSequenceEditor(sequence);
        EXPECT_NE(edit, nullptr);
        return edit;
    }
    static std::vector<std::string> Labels(X256SequenceEdit* edit) {
        std::vector<std::string> labels;
        for (const SequenceGridCell& cell : edit->GetCells()) labels.push_back(edit->CellLabel(cell));
        return labels;
    }
};

TEST_F(SequenceEditTest, GridShowsTheShadowAndTheStoredViewsOfEachFrame) {
    X256SequenceEdit* edit = Open(walk_);
    GridWindow* grid = edit->GetGrid();
    EXPECT_STREQ(grid->GetTitle(), "Views");
    EXPECT_EQ(grid->GetColumnCount(), 6);  // shadow + 5 stored views of 8
    EXPECT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetCellCount(), 12);
    EXPECT_EQ(SequenceColumnTitles(*walk_)[5], std::string("180") + kDeg);
    const std::vector<std::string> labels = Labels(edit);
    EXPECT_EQ(labels[0], "S0");
    EXPECT_EQ(labels[1], "B0");
    EXPECT_EQ(labels[2], "<no bitmap>");
    EXPECT_EQ(labels[6 + 3], "B1");  // frame 1, view 2
    EXPECT_EQ(edit->GetWidth(), X256SequenceEdit::kWidth);

    // Mirroring off shows all eight views.
    edit->GetMirroringBox()->SetChecked(false, false);
    EXPECT_EQ(walk_->flags & kSequenceMirroring, 0u);
    EXPECT_EQ(grid->GetColumnCount(), 9);
    EXPECT_EQ(grid->GetCellCount(), 18);
    EXPECT_TRUE(editor_->IsModified());
}

TEST_F(SequenceEditTest, NumberBoxesStoreRefuseOrSetBack) {
    X256SequenceEdit* edit = Open(cast_);
    const struct {
        SequenceField field;
        const char* typed;
        const char* shown;  // afterwards
        bool beep;
    } cases[] = {
        {kFramesField, "0", "1", false},    {kFramesField, "3", "3", false},   {kViewsField, "65536", "2", true},
        {kTicksField, "65535", "65535", false}, {kTicksField, "70000", "65535", true}, {kKeyFrameField, "2", "2", false},
        {kLoopFrameField, "-1", "0", true},  {kTransferPeriodField, "30", "30", false},
    };
    for (const auto& c : cases) {
        const int beeps = Beeps();
        Enter(edit->GetFieldBox(c.field), c.typed);
        EXPECT_EQ(edit->GetFieldBox(c.field)->GetText(), c.shown) << c.typed;
        EXPECT_EQ(GetSequenceField(*cast_, c.field), u32(std::stoul(c.shown))) << c.typed;
        EXPECT_EQ(Beeps() - beeps, c.beep ? 1 : 0) << c.typed;
    }
    // Counts rebuilt the grid.
    EXPECT_EQ(edit->GetGrid()->GetCellCount(), 3 * 3);
    // A box left with a half-typed count takes effect when the focus goes.
    TextBox* views = edit->GetFieldBox(kViewsField);
    ActivateWindow(views, kFocusByClick);
    views->SelectAll();
    views->InsertText("4");
    EXPECT_EQ(cast_->view_count, 2);
    ActivateWindow(edit->GetFieldBox(kTicksField), kFocusByClick);
    EXPECT_EQ(cast_->view_count, 4);
    EXPECT_EQ(edit->GetGrid()->GetCellCount(), 3 * 5);
}

TEST_F(SequenceEditTest, SoundTagsAndModeAreStored) {
    X256SequenceEdit* edit = Open(walk_);
    Enter(edit->GetSoundBox(X256SequenceEdit::kKeySound), "ab");
    EXPECT_EQ(walk_->sounds[1], 0x61622020u);
    Enter(edit->GetSoundBox(X256SequenceEdit::kKeySound), "");
    EXPECT_EQ(walk_->sounds[1], 0xFFFFFFFFu);
    Enter(edit->GetSoundBox(X256SequenceEdit::kFirstSound), "f002");
    EXPECT_EQ(walk_->sounds[0], 0x66303032u);

    ComboBox* mode = edit->GetModeBox();
    EXPECT_EQ(mode->GetField()->GetText(), "None");
    ListItem* cycle = mode->GetList()->GetFirstItem();
    while (cycle && std::string(cycle->text) != "Cycle") cycle = cycle->next;
    ASSERT_NE(cycle, nullptr);
    mode->GetList()->SelectItem(cycle, false);
    mode->GetList()->activated.Emit(cycle);
    EXPECT_EQ(walk_->transfer_mode, 7);

    // A stored mode no entry has shows "None" and is kept until chosen.
    cast_->transfer_mode = 4;
    cast_->sounds[2] = 0;  // zero bytes: no text shows them
    X256SequenceEdit* other = Open(cast_);
    EXPECT_EQ(other->GetModeBox()->GetField()->GetText(), "None");
    EXPECT_EQ(cast_->transfer_mode, 4);
    // Passing through the boxes changes neither.
    ActivateWindow(other->GetSoundBox(X256SequenceEdit::kLastSound), kFocusByClick);
    ActivateWindow(other->GetFieldBox(kTicksField), kFocusByClick);
    Key(kKeyEnter);
    EXPECT_EQ(cast_->sounds[2], 0u);
    EXPECT_EQ(cast_->transfer_mode, 4);
}

TEST_F(SequenceEditTest, CheckBoxesFollowAndSetTheSelectedCells) {
    X256SequenceEdit* edit = Open(cast_);  // 2 views: columns shadow, 0, 180
    GridWindow* grid = edit->GetGrid();
    cast_->frames[1].instances[1].flags = kInstanceFlipped;
    cast_->frames[0].record.flags = 1;
    grid->SelectCell(3 + 2);
    EXPECT_FALSE(edit->GetHorzMirrorBox()->IsChecked());
    EXPECT_TRUE(edit->GetVertMirrorBox()->IsChecked());
    grid->SelectCell(0);
    EXPECT_TRUE(edit->GetShadowLightBox()->IsChecked());
    EXPECT_EQ(cast_->frames[1].instances[1].flags, u32{kInstanceFlipped});  // showing wrote nothing

    grid->SelectCell(1);
    edit->GetHorzMirrorBox()->SetChecked(true, false);
    EXPECT_EQ(cast_->frames[0].instances[0].flags, u32{kInstanceMirrored | kInstanceFlipped});
    EXPECT_EQ(cast_->frames[1].instances[1].flags, u32{kInstanceMirrored | kInstanceFlipped});
    edit->GetShadowLightBox()->SetChecked(false, false);
    EXPECT_EQ(cast_->frames[0].record.flags, 0u);

    // "No Rotation" goes with "Use Mirroring".
    EXPECT_FALSE(edit->GetNoRotationBox()->IsEnabled());
    edit->GetMirroringBox()->SetChecked(true, false);
    EXPECT_TRUE(edit->GetNoRotationBox()->IsEnabled());
    edit->GetNoRotationBox()->SetChecked(true, false);
    EXPECT_EQ(cast_->flags & (kSequenceMirroring | kSequenceNoRotation), u32{kSequenceMirroring | kSequenceNoRotation});
    edit->GetMirroringBox()->SetChecked(false, false);
    EXPECT_EQ(cast_->flags & kSequenceNoRotation, 0u);
    EXPECT_FALSE(edit->GetNoRotationBox()->IsChecked());
}

TEST_F(SequenceEditTest, DeleteEmptiesTheSelectedCells) {
    X256SequenceEdit* edit = Open(walk_);
    GridWindow* grid = edit->GetGrid();
    grid->SelectCell(0);
    grid->SelectCell(1);
    grid->SelectCell(2);
    ActivateWindow(grid, kFocusByClick);
    Key(kKeyDelete);
    EXPECT_EQ(walk_->frames[0].shadow, nullptr);
    EXPECT_EQ(walk_->frames[0].instances[0].standard.bitmap, nullptr);
    EXPECT_EQ(walk_->frames[0].instances[0].standard.index, kNoIndex);
    EXPECT_EQ(Labels(edit)[0], "<no bitmap>");
    EXPECT_EQ(Labels(edit)[1], "<no bitmap>");
    EXPECT_TRUE(editor_->IsModified());
}

TEST_F(SequenceEditTest, DropsAreAskedThenAppliedAllOrNothing) {
    X256SequenceEdit* edit = Open(cast_);  // 2 frames x (shadow, 0, 180)
    BitmapDDData bitmap(kBitmapDragBitmap, c_, bitmaps_[3], nullptr, nullptr);
    BitmapDDData shadow(kBitmapDragShadow, c_, shadows_[1], nullptr, nullptr);
    EXPECT_EQ(edit->DropOnCell(&bitmap, 1, 0), 0);
    EXPECT_EQ(edit->DropOnCell(&bitmap, 1, 4), 1);
    EXPECT_EQ(cast_->frames[1].instances[0].standard.bitmap, nullptr);  // only asked
    EXPECT_EQ(edit->DropOnCell(&bitmap, 0, 4), 1);
    EXPECT_EQ(cast_->frames[1].instances[0].standard.bitmap, bitmaps_[3]);
    EXPECT_EQ(edit->CellLabel(edit->GetCells()[4]), std::string("B3"));
    EXPECT_EQ(edit->DropOnCell(&shadow, 0, 3), 1);
    EXPECT_EQ(cast_->frames[1].shadow, shadows_[1]);
    EXPECT_EQ(edit->DropOnCell(&shadow, 1, 5), 0);
    EXPECT_EQ(edit->DropOnCell(&shadow, 1, 99), 0);

    // Five bitmaps do not fit the four views from frame 0, view 0.
    BitmapGridDDData five(kBitmapDragGrid, c_, BitmapGridDDData::kFromBitmapBrowser);
    for (int i = 0; i < 5; ++i) five.AddItem(kBitmapDragBitmap, bitmaps_[size_t(i)], nullptr, nullptr);
    EXPECT_EQ(edit->DropOnCell(&five, 0, 1), 0);
    five.items.pop_back();
    EXPECT_EQ(edit->DropOnCell(&five, 0, 1), 1);
    EXPECT_EQ(cast_->frames[1].instances[1].standard.bitmap, bitmaps_[3]);

    // Another editor's collection.
    Collection other;
    InitCollection(&other);
    BitmapDDData foreign(kBitmapDragBitmap, &other, bitmaps_[0], nullptr, nullptr);
    EXPECT_EQ(edit->DropOnCell(&foreign, 1, 1), 0);
    ListWindow::ListItemDDData row(nullptr, nullptr, 0, 0);
    EXPECT_EQ(edit->DropOnCell(&row, 1, 1), 0);
}

TEST_F(SequenceEditTest, DraggedCellsCarryWhereTheyCameFrom) {
    X256SequenceEdit* edit = Open(walk_);
    GridWindow* grid = edit->GetGrid();
    ASSERT_TRUE(edit->DragCells(1));
    auto* one = dynamic_cast<BitmapDDData*>(GetDragState().payload);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->typeId, u32{kBitmapDragBitmap});
    EXPECT_EQ(one->instance, &walk_->frames[0].instances[0]);
    EXPECT_EQ(one->width, 48);
    CancelDrag();

    grid->SelectCell(0);
    grid->SelectCell(1);
    grid->SelectCell(6 + 3);
    grid->SelectCell(2);  // empty: not carried
    ASSERT_TRUE(edit->DragCells(1));
    auto* several = dynamic_cast<BitmapGridDDData*>(GetDragState().payload);
    ASSERT_NE(several, nullptr);
    EXPECT_EQ(several->source, u32{BitmapGridDDData::kFromSequenceEditor});
    ASSERT_EQ(several->ItemCount(), 3u);
    EXPECT_EQ(several->items[0]->typeId, u32{kBitmapDragShadow});
    EXPECT_EQ(several->items[0]->shadowSource, &walk_->frames[0]);
    EXPECT_EQ(several->x, 1);
    EXPECT_EQ(several->y, 0);
    EXPECT_EQ(several->positions[2].x, 3);
    EXPECT_EQ(several->positions[2].y, 1);
    CancelDrag();
    grid->DeselectAll();
    grid->SelectCell(2);
    EXPECT_FALSE(edit->DragCells(2));
}

TEST_F(SequenceEditTest, ABitmapDraggedFromTheBitmapsPageLandsOnACell) {
    editor_->SetPosition(0, 0);
    editor_->SetSize(575, 300);
    editor_->SetVisible(true);
    X256SequenceEdit* edit = Open(cast_);
    edit->SetPosition(0, 300);
    edit->SetSize(800, 300);
    StepFrame();
    GridWindow* source = editor_->GetBitmapBrowser()->GetGrid();
    ASSERT_TRUE(source->IsShownOnScreen());
    const Point from = CellCentre(source, 3);  // B3, in the first row
    const Point to = CellCentre(edit->GetGrid(), 2);  // frame 0, view 1
    MoveTo(from.x, from.y);
    Press();
    MoveTo(from.x + 6, from.y + 6);
    ASSERT_TRUE(IsDragRunning());
    MoveTo(to.x, to.y);
    EXPECT_EQ(GetDragState().accepted, 1);
    Release();
    EXPECT_FALSE(IsDragRunning());
    EXPECT_EQ(cast_->frames[0].instances[1].standard.bitmap, bitmaps_[3]);
    EXPECT_TRUE(editor_->IsModified());
    // The bitmap now counts as used on the Bitmaps page.
    EXPECT_EQ(editor_->GetBitmapBrowser()->GetRowColor(3), X256BitmapBrowser::kUsedRowColor);
    EXPECT_EQ(editor_->GetBitmapBrowser()->GetRowColor(4), X256BitmapBrowser::kUnusedRowColor);
}

TEST_F(SequenceEditTest, CellsAskForTheirFrameEditor) {
    X256SequenceEdit* edit = Open(walk_);
    GridWindow* grid = edit->GetGrid();
    grid->SelectCell(6 + 3);  // frame 1, view 2
    ActivateWindow(grid, kFocusByClick);
    Key(kKeyEnter);
    ASSERT_EQ(Browser()->FrameEditors().size(), 1u);
    X256SequenceFrameEdit* frame = Browser()->FrameEditors()[0];
    EXPECT_EQ(frame->GetSequence(), walk_);
    EXPECT_EQ(frame->GetView(), 2u);
    EXPECT_EQ(frame->GetFrame(), 1u);
    // A shadow cell opens on view 0.
    grid->DeselectAll();
    grid->SelectCell(6);
    ActivateWindow(grid, kFocusByClick);  // the frame editor took the focus
    Key(kKeyEnter);
    ASSERT_EQ(Browser()->FrameEditors().size(), 2u);
    EXPECT_EQ(Browser()->FrameEditors()[1]->GetView(), 0u);
}

TEST_F(SequenceEditTest, SequencesWithoutFramesOrViewsOpen) {
    X256SequenceEdit* edit = Open(unused_);
    EXPECT_EQ(edit->GetGrid()->GetCellCount(), 0);
    EXPECT_EQ(edit->GetGrid()->GetColumnCount(), 4);
    X256SequenceFrameEdit* frame = Browser()->OpenFrameEditor(unused_, 2, 5);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetFrame(), 0u);
    EXPECT_EQ(frame->CurrentInstance(), nullptr);
    frame->SetFrame(-1);
    frame->SetView(7);
    EXPECT_EQ(frame->GetFrame(), 0u);
    StepFrame();

    ResizeSequence(idle_, 0, 2);
    idle_->flags |= kSequenceMirroring;
    X256SequenceEdit* noViews = Open(idle_);
    EXPECT_EQ(noViews->GetGrid()->GetColumnCount(), 1);
    EXPECT_EQ(noViews->GetGrid()->GetCellCount(), 2);
    X256SequenceFrameEdit* frame2 = Browser()->OpenFrameEditor(idle_, 0, 1);
    EXPECT_EQ(std::string(frame2->GetTitle()), std::string("Idle (Frame 1 @ 0") + kDeg + ")");
    frame2->SetView(-1);
    EXPECT_EQ(frame2->GetView(), 0u);
    StepFrame();
}

TEST_F(SequenceEditTest, ImportMenuAssignsFilesToEveryView) {
    X256SequenceEdit* edit = Open(cast_);
    Menu* menu = edit->BuildImportExportMenu();
    std::vector<std::string> top;
    for (MenuItem* entry : menu->Entries()) top.push_back(entry->GetTitle());
    EXPECT_EQ(top, (std::vector<std::string>{"Bitmap Import", "Alpha Import", "Export"}));
    std::vector<std::string> exports;
    for (MenuItem* entry : menu->Entries()[2]->Entries()) exports.push_back(entry->GetTitle());
    EXPECT_EQ(exports, (std::vector<std::string>{"Bitmaps", "Bitmap Plate", "Alphas", "Alpha Plate"}));
    DestroyWindow(menu);

    // Three files for four views: refused with the count.
    pirn_test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        ImageFile file;
        InitImageFile(&file, dir.file("v" + std::to_string(i) + ".png"));
        file.type = kTypePng;
        std::vector<u8> pixels(6, u8(2 + i));
        SetImagePixels(&file.image, 3, 2, kFormatColorIndex, pixels.data());
        u8 palette[kPaletteBytes] = {};
        for (int k = 0; k < 6; ++k) palette[3 * (2 + k)] = u8(40 * k + 10);
        SetImagePalette(&file.image, 256, palette);
        ASSERT_TRUE(SaveImageFile(&file));
        paths.push_back(file.path);
    }
    headless::QueueFileDialogAnswer({paths[0], paths[1], paths[2]});
    Then(AnswerTopBox(0));
    edit->RunCommand(X256SequenceEdit::kImportViewsThenFrames);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "3 bitmaps were seleced, expected 4");
    EXPECT_EQ(c_->bitmaps.size(), 8u);

    headless::QueueFileDialogAnswer(paths);
    edit->RunCommand(X256SequenceEdit::kImportFramesThenViews);
    EXPECT_EQ(c_->bitmaps.size(), 12u);
    EXPECT_STREQ(cast_->frames[1].instances[0].standard.bitmap->name, "v1");
    EXPECT_EQ(edit->CellLabel(edit->GetCells()[3 + 1]), std::string("v1"));
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Import Bitmaps");
    // The Bitmaps page shows them.
    EXPECT_EQ(editor_->GetBitmapBrowser()->GetRowBitmaps().size(), 10u);
    EXPECT_TRUE(editor_->IsModified());

    // Alphas need every view assigned.
    cast_->frames[0].instances[0].standard.bitmap = nullptr;
    Then(AnswerTopBox(0));
    edit->RunCommand(X256SequenceEdit::kAlphasViewsThenFrames);
    EXPECT_EQ(asked_.back().text, "In order to replace alphas, every bitmap must be assigned.");
}

TEST_F(SequenceEditTest, ControlTTogglesTheAlternates) {
    cast_->frames[0].instances[0].flags = kInstanceHasAlternate;
    cast_->frames[0].instances[0].alternate.bitmap = bitmaps_[4];
    cast_->frames[0].instances[0].standard.bitmap = bitmaps_[2];
    RelinkInstances(c_, true);
    X256SequenceEdit* edit = Open(cast_);
    EXPECT_EQ(edit->CellLabel(edit->GetCells()[1]), std::string("B4"));
    ActivateWindow(edit->GetGrid(), kFocusByClick);
    Key('T', {kKeyLeftControl});
    EXPECT_FALSE(editor_->ShowsAlternates());
    EXPECT_EQ(edit->CellLabel(edit->GetCells()[1]), std::string("B2"));
}

}  // namespace
}  // namespace pirn_test
