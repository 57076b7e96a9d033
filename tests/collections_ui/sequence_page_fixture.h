#pragma once
// The collection editor on the headless window system with a collection
// built for the sequence pages: six 4 x 3 bitmaps and two shadows, and
// the sequences "Walk" (8 views, mirrored, 2 frames), "Idle" (1 x 1),
// "Cast" (2 views, 2 frames) and "Unused" (3 views, no frames). Native
// dialogs are scripted; message boxes are answered with Then(AnswerTopBox).

#include <string>
#include <vector>

#include "collections/ui/bitmap_browser.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "collections/ui/x256_sequence_browser.h"
#include "collections/ui/x256_sequence_edit.h"
#include "collections/ui/x256_sequence_frame_edit.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/ui/box_answers.h"
#include "tests/ui/widget_fixture.h"
#include "ui/grid_window.h"
#include "ui/text_box.h"

namespace pirn_test {

class SequencePageTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        headless::ResetScriptedDialogs();
        Prefs().Clear();
        SetNativeDialogBackend(OsNativeDialogBackend());
        AskedBoxes().clear();
        ForgetCollectionBitmaps();
        editor_ = new X256Edit(nullptr);
        c_ = &editor_->GetCollection();
        Build();
        // What loading the tag does.
        editor_->GetBitmapBrowser()->RefreshBitmapList();
        editor_->GetShadowBrowser()->RefreshBitmapList();
        editor_->collectionLoaded.Emit();
    }
    void TearDown() override {
        ResetWindowSystem();
        ForgetCollectionBitmaps();
        SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        Prefs().Clear();
        WidgetTest::TearDown();
    }

    void Build() {
        std::vector<u8> pixels(4 * 3 * 2);
        for (size_t i = 0; i < pixels.size(); i += 2) {
            pixels[i] = 255;
            pixels[i + 1] = 2;
        }
        for (int i = 0; i < 6; ++i)
            bitmaps_.push_back(AddCollectionBitmap(c_, ("B" + std::to_string(i)).c_str(), 0, pixels.data(), 4, 3, 2, nullptr));
        for (int i = 0; i < 2; ++i)
            shadows_.push_back(
                AddCollectionBitmap(c_, ("S" + std::to_string(i)).c_str(), kBitmapShadow, pixels.data(), 4, 3, 2, nullptr));
        walk_ = AddSequence(c_, "Walk");
        ResizeSequence(walk_, 8, 2);
        walk_->flags |= kSequenceMirroring;
        walk_->frames[0].instances[0].standard.bitmap = bitmaps_[0];
        walk_->frames[1].instances[2].standard.bitmap = bitmaps_[1];
        walk_->frames[0].shadow = shadows_[0];
        idle_ = AddSequence(c_, "Idle");
        cast_ = AddSequence(c_, "Cast");
        ResizeSequence(cast_, 2, 2);
        unused_ = AddSequence(c_, "Unused");
        ResizeSequence(unused_, 3, 0);
    }

    X256SequenceBrowser* Browser() const { return dynamic_cast<X256SequenceBrowser*>(editor_->GetSequencePage()); }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (ListItem* item = Browser()->GetFirstItem(); item; item = item->next) names.push_back(item->text);
        return names;
    }
    std::vector<std::string> SequenceNames() const {
        std::vector<std::string> names;
        for (const auto& s : c_->sequences) names.push_back(s->name);
        return names;
    }
    void Select(const std::vector<CollectionSequence*>& sequences) {
        Browser()->DeselectAllExcept(nullptr);
        for (CollectionSequence* s : sequences) Browser()->SelectItem(Browser()->FindSequenceItem(s), true);
    }
    // Types into a box as the user would and presses Enter.
    static void Enter(TextBox* box, const std::string& text) {
        ActivateWindow(box, kFocusByClick);
        box->SelectAll();
        if (text.empty())
            box->DeleteSelection();
        else
            box->InsertText(text);
        Key(kKeyEnter);
    }
    // The text the next in-place edit ends with.
    void AnswerEdit(const std::string& text) {
        X256SequenceBrowser* browser = Browser();
        Then([browser, text] {
            ASSERT_NE(browser->GetEditBox(), nullptr);
            browser->GetEditBox()->SetText(text);
            PostKey(kKeyEnter);
        });
    }
    // Screen centre of a grid cell.
    static Point CellCentre(const GridWindow* grid, i32 cell) {
        Rect r = grid->CellImageRect(cell);
        grid->ClientToScreenRects(&r, 1);
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    X256Edit* editor_ = nullptr;
    Collection* c_ = nullptr;
    std::vector<CollectionBitmap*> bitmaps_, shadows_;
    CollectionSequence* walk_ = nullptr;
    CollectionSequence* idle_ = nullptr;
    CollectionSequence* cast_ = nullptr;
    CollectionSequence* unused_ = nullptr;
    std::vector<AskedBox>& asked_ = AskedBoxes();
};

}  // namespace pirn_test
