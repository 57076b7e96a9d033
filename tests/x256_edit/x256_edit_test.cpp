// X256Edit over the Codex: opening a '.256' tag on its seven pages, the
// refused colour map, saving byte for byte with both references of every
// instance whichever is shown, Control+T, the optimiser's gate following
// the open windows, and closing with the windows that point into the
// collection.

#include "collections/ui/x256_edit.h"

#include <gtest/gtest.h>

#include "collections/ui/bitmap_browser.h"
#include "collections/ui/bitmap_browser_window.h"
#include "collections/ui/color_table_edit.h"
#include "collections/ui/hue_browser.h"
#include "collections/ui/hue_edit.h"
#include "collections/ui/optimiser_page.h"
#include "collections/ui/x256_flags_edit.h"
#include "collections/ui/x256_sequence_page.h"
#include "tests/x256_edit/x256_edit_fixture.h"
#include "ui/check_box.h"

namespace pirn_test {
namespace {

using pirn::ElementBlocks;
using pirn::X256Edit;

InputEvent ControlKey(i32 code) { return InputEvent::Key(code, 1, kModControl); }

TEST_F(X256EditTest, OpensTheTagOnItsSevenPagesMarkedModified) {
    X256Edit* editor = OpenEditorTag();
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "X256Edit");
    EXPECT_EQ(editor->GetWidth(), 575);
    EXPECT_EQ(editor->GetHeight(), 360);
    Point minimum, base;
    editor->GetMinimumSize(&minimum, Point{0, 0});
    editor->TagEdit::GetMinimumSize(&base, Point{446, 195});
    EXPECT_EQ(minimum.x, base.x);
    EXPECT_EQ(minimum.y, base.y);
    // A freshly opened collection stands modified.
    EXPECT_TRUE(editor->IsModified());
    EXPECT_STREQ(editor->GetTitle(), "Knight*");

    pirn::TabWindow* tabs = editor->GetTabs();
    EXPECT_STREQ(tabs->GetTitle(), "Tabs");
    EXPECT_EQ(tabs->GetFrame(), editor->GetClientRect());
    const struct {
        const char* title;
        const char* className;
    } pages[] = {
        {"Bitmaps", "X256BitmapBrowser"}, {"Shadows", "X256BitmapBrowser"}, {"Sequences", "X256SequenceList"},
        {"Hue Changes", "X256HueBrowser"}, {"Color Table", "X256ColorTableEdit"}, {"Flags", "X256FlagsEdit"},
        {"Optimize", "X256OptimizeEdit"},
    };
    ASSERT_EQ(tabs->GetTabCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(tabs->GetPage(i)->GetTitle(), pages[i].title);
        EXPECT_STREQ(tabs->GetPage(i)->GetClassName(), pages[i].className);
        EXPECT_EQ(editor->GetPage(static_cast<X256Edit::Page>(i)), tabs->GetPage(i));
    }
    EXPECT_EQ(tabs->GetCurrentTab(), 0);
    // The keyboard goes to the page in front (its grid).
    ASSERT_NE(pirn::GetFocusWindow(), nullptr);
    EXPECT_TRUE(pirn::GetFocusWindow()->IsDescendantOf(tabs->GetPage(0)));

    // Every page shows the collection.
    EXPECT_EQ(pirn::GetCollectionBitmapCount(editor->GetCollection()), 5u);
    EXPECT_EQ(editor->GetBitmapBrowser()->GetLabelText(), "  4 Bitmaps:");
    EXPECT_EQ(editor->GetShadowBrowser()->GetLabelText(), "  1 Shadow:");
    EXPECT_EQ(editor->GetHueBrowser()->GetRowCount(), 1);
    EXPECT_EQ(editor->GetHueBrowser()->DisplayText(editor->GetHueBrowser()->GetFirstItem()), "Team");
    auto* sequences = dynamic_cast<pirn::X256SequenceList*>(editor->GetSequencePage());
    ASSERT_NE(sequences, nullptr);
    EXPECT_EQ(sequences->DisplayText(sequences->GetFirstItem()), "Walk (1 x 2)");
    const bool flags[6] = {true, true, false, true, false, false};  // 0x0B
    for (int bit = 0; bit < 6; ++bit) EXPECT_EQ(editor->GetFlagsEdit()->GetBox(bit)->IsChecked(), flags[bit]);
    // Alternates are shown after loading.
    EXPECT_TRUE(editor->ShowsAlternates());
    const pirn::BitmapInstance& first = editor->GetCollection().sequences[0]->frames[0].instances[0];
    EXPECT_STREQ(pirn::ShownReference(first).bitmap->name, "Square");
    EXPECT_EQ(editor->GetOptimizeEdit()->GetOptimizeGate(), 1u);
}

TEST_F(X256EditTest, AColourMapIsRefusedWithItsOwnBox) {
    const StoredCollection stored = EditorTag();
    pirn::TagEntry* tag = WriteCollectionTag("Map", pirn::fixture::FourCC("cmap"), CollectionData(stored), stored.flags | 0x100);
    Answer(0);
    Answer(0);
    EXPECT_EQ(Open(tag), nullptr);
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_EQ(asked_[0].caption, "Unsupported");
    EXPECT_EQ(asked_[0].text,
              "The collection is a color map, which is currently not supported for editing.\nUse Quillary instead.");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Close"}));
    EXPECT_EQ(asked_[1].text, "The tag could not be loaded.");
    EXPECT_EQ(pirn::GetTagUseCount(tag), 0u);
}

TEST_F(X256EditTest, SavingKeepsBothReferencesOfEveryInstanceWhicheverIsShown) {
    const std::vector<u8> stored = CollectionData(EditorTag());
    X256Edit* editor = OpenEditorTag();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->SaveChanges(), 1);
    EXPECT_FALSE(editor->IsModified());
    std::vector<u8> saved = SavedData();
    EXPECT_EQ(saved, stored);
    const std::vector<u8> file = SavedFile();
    EXPECT_EQ(ReadU32(file, 52), 0x0Bu);  // the flags as user data
    EXPECT_EQ(ReadU16(file, 56), 4u);     // version

    // Showing the standard bitmaps changes what the views show, not what is
    // stored: instance 0 keeps bitmap 0 at (2, 3) and its alternate 3 at
    // (5, 6), scale 0.5.
    InputEvent key = ControlKey('T');
    EXPECT_EQ(editor->OnKey(key), 1);
    EXPECT_FALSE(editor->ShowsAlternates());
    const pirn::BitmapInstance& first = editor->GetCollection().sequences[0]->frames[0].instances[0];
    EXPECT_STREQ(pirn::ShownReference(first).bitmap->name, "Sprite A");
    ASSERT_EQ(editor->SaveChanges(), 1);
    saved = SavedData();
    EXPECT_EQ(saved, stored);
    const size_t at = InstanceRecordOffset(saved, 0);
    EXPECT_EQ(ReadU32(saved, at), 0x20u);
    EXPECT_EQ(ReadU16(saved, at + 12), 2u);
    EXPECT_EQ(ReadU16(saved, at + 14), 3u);
    EXPECT_EQ(ReadU16(saved, at + 28), 0u);
    EXPECT_EQ(ReadU16(saved, at + 30), 3u);
    EXPECT_EQ(ReadU32(saved, at + 32), 0x8000u);
    EXPECT_EQ(ReadU16(saved, at + 36), 5u);
    EXPECT_EQ(ReadU16(saved, at + 38), 6u);

    // Twice is where it started.
    editor->ToggleAlternates();
    EXPECT_TRUE(editor->ShowsAlternates());
    EXPECT_STREQ(pirn::ShownReference(first).bitmap->name, "Square");
    // Other keys go on to the TagEdit (Control+S saves).
    editor->MarkModified();
    InputEvent save = ControlKey('S');
    EXPECT_EQ(editor->OnKey(save), 1);
    EXPECT_FALSE(editor->IsModified());
}

TEST_F(X256EditTest, EditsSurviveASaveAndAReopenByteForByte) {
    X256Edit* editor = OpenEditorTag();
    ASSERT_NE(editor, nullptr);
    pirn::Collection& c = editor->GetCollection();
    editor->GetHueBrowser()->RunCommand(pirn::X256HueBrowser::kNewCommand);
    editor->GetFlagsEdit()->GetBox(4)->SetChecked(true, false);
    headless::QueueColorAnswer(pirn::ColorRgb{1, 2, 3});
    ASSERT_TRUE(editor->GetColorTableEdit()->ChooseEntryColor(7));
    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::vector<u8> first = SavedData();
    EXPECT_EQ(c.flags, 0x1Bu);

    // Closed (nothing unsaved) and opened again: the same collection.
    editor->SetModified(false);
    editor->Close(1);
    IdleFrame();
    X256Edit* again = Open(pirn::FindTag(kGroup, kKnight));
    ASSERT_NE(again, nullptr);
    const pirn::Collection& d = again->GetCollection();
    EXPECT_EQ(d.flags, 0x1Bu);
    EXPECT_EQ(d.colors[21], 1);
    EXPECT_EQ(d.colors[22], 2);
    EXPECT_EQ(d.colors[23], 3);
    ASSERT_EQ(pirn::GetCollectionHueChangeCount(d), 2u);
    EXPECT_STREQ(d.hue_changes[1]->name, "New Hue Change");
    ASSERT_EQ(again->SaveChanges(), 1);
    EXPECT_EQ(SavedData(), first);
}

TEST_F(X256EditTest, ANewTagIsAFreshCollection) {
    pirn::TagEdit* made = pirn::CreateTagWithEditor(kGroup, "Fresh");
    auto* editor = dynamic_cast<X256Edit*>(made);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->IsModified());
    // Monsters and Projectiles, as every new collection.
    for (int bit = 0; bit < 6; ++bit) EXPECT_EQ(editor->GetFlagsEdit()->GetBox(bit)->IsChecked(), bit == 1 || bit == 2);
    EXPECT_EQ(editor->GetBitmapBrowser()->GetLabelText(), "  0 Bitmaps:");
    ASSERT_EQ(editor->SaveChanges(), 1);
    EXPECT_EQ(ReadU32(SavedFile("Fresh"), 52), 6u);
}

TEST_F(X256EditTest, OpenElementWindowsGateTheOptimiserAndCloseWithTheEditor) {
    X256Edit* editor = OpenEditorTag();
    ASSERT_NE(editor, nullptr);
    pirn::X256OptimizeEdit* optimize = editor->GetOptimizeEdit();
    pirn::Collection& c = editor->GetCollection();
    pirn::BitmapWindow* bitmapWindow = editor->GetBitmapBrowser()->OpenBitmapWindow(c.bitmaps[0].get());
    ASSERT_NE(bitmapWindow, nullptr);
    EXPECT_EQ(optimize->GetOptimizeGate(), 0u);
    pirn::X256HueEdit* hueEdit = editor->GetHueBrowser()->OpenHueEdit(c.hue_changes[0].get());
    ASSERT_NE(hueEdit, nullptr);
    pirn::DestroyWindow(bitmapWindow);
    EXPECT_EQ(optimize->GetOptimizeGate(), 1u);  // a hue editor does not gate it

    // The sequence page's editors register the same way.
    int sequenceEditor = 0;
    editor->Blocks().Add(ElementBlocks::kSequenceEditor, c.sequences[0].get(), &sequenceEditor);
    EXPECT_EQ(optimize->GetOptimizeGate(), 0u);
    editor->Blocks().Remove(&sequenceEditor);
    EXPECT_EQ(optimize->GetOptimizeGate(), 1u);

    // Closing the editor (its changes discarded) closes its windows.
    bitmapWindow = editor->GetBitmapBrowser()->OpenBitmapWindow(c.bitmaps[1].get());
    int closings = 0;
    static int* counter = nullptr;
    counter = &closings;
    ConnectSignal(editor->closing, nullptr, [](SignalListener*) { ++*counter; });
    Answer(1);  // "Discard"
    EXPECT_TRUE(editor->Close(1));
    EXPECT_EQ(asked_.back().caption, "Save?");
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(hueEdit->IsDestroyed());
    EXPECT_TRUE(bitmapWindow->IsDestroyed());
    IdleFrame();
}

TEST_F(X256EditTest, ReadingTheTagAgainClosesWhatShowedTheOldElements) {
    X256Edit* editor = OpenEditorTag();
    ASSERT_NE(editor, nullptr);
    pirn::X256HueEdit* hueEdit = editor->GetHueBrowser()->OpenHueEdit(editor->GetCollection().hue_changes[0].get());
    ASSERT_EQ(editor->Load(), 1);
    EXPECT_TRUE(hueEdit->IsDestroyed());
    EXPECT_EQ(editor->Blocks().Count(), 0u);
    EXPECT_EQ(pirn::GetCollectionHueChangeCount(editor->GetCollection()), 1u);
    EXPECT_EQ(editor->GetBitmapBrowser()->GetLabelText(), "  4 Bitmaps:");
    IdleFrame();
}

}  // namespace
}  // namespace pirn_test
