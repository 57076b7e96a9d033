// The "Sequences" page on the headless window system: its rows and context
// menu, rename, duplicate, delete (refused while open) and new, row moves,
// and the sequence and frame editors it opens, raises and keeps apart.

#include <gtest/gtest.h>

#include "collections/x256_element_blocks.h"
#include "tests/collections_ui/sequence_page_fixture.h"
#include "ui/menu.h"

namespace pirn_test {
namespace {

TEST_F(SequencePageTest, RowsAndTheContextMenuFollowTheSelection) {
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Walk", "Idle", "Cast", "Unused"}));
    EXPECT_STREQ(Browser()->GetTitle(), "Sequences");
    const struct {
        std::vector<CollectionSequence*> selected;
        std::vector<bool> enabled;  // Rename, Duplicate, Delete, New Sequence
    } cases[] = {
        {{}, {false, false, false, true}},
        {{walk_}, {true, true, true, true}},
        {{walk_, idle_}, {false, false, true, true}},
    };
    for (const auto& c : cases) {
        Select(c.selected);
        Menu* menu = Browser()->BuildContextMenu();
        std::vector<std::string> titles;
        std::vector<bool> enabled;
        for (MenuItem* entry : menu->Entries()) {
            if (entry->IsSeparator()) {
                titles.push_back("-");
                continue;
            }
            titles.push_back(entry->GetTitle());
            enabled.push_back(entry->IsEnabled());
        }
        EXPECT_EQ(titles, (std::vector<std::string>{"Rename", "Duplicate", "Delete", "-", "New Sequence"}));
        EXPECT_EQ(enabled, c.enabled) << c.selected.size() << " selected";
        DestroyWindow(menu);
    }
}

TEST_F(SequencePageTest, RenameDuplicateNewAndMoveMarkTheTagModified) {
    EXPECT_FALSE(editor_->IsModified());
    Select({walk_});
    AnswerEdit("Stride");
    Browser()->RunCommand(X256SequenceBrowser::kRenameCommand);
    EXPECT_STREQ(walk_->name, "Stride");
    EXPECT_EQ(RowNames()[0], "Stride");
    EXPECT_TRUE(editor_->IsModified());

    Select({walk_});
    Browser()->RunCommand(X256SequenceBrowser::kDuplicateCommand);
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"Stride", "Stride copy", "Idle", "Cast", "Unused"}));
    EXPECT_EQ(RowNames(), SequenceNames());
    ASSERT_EQ(Browser()->GetSelectedSequences().size(), 1u);
    EXPECT_STREQ(Browser()->GetSelectedSequences()[0]->name, "Stride copy");

    // A new sequence is named, selected and renamed at once.
    AnswerEdit("Run");
    Browser()->RunCommand(X256SequenceBrowser::kNewCommand);
    EXPECT_EQ(SequenceNames().back(), "Run");
    EXPECT_EQ(c_->sequences.back()->view_count, 1);
    EXPECT_EQ(c_->sequences.back()->frame_count, 1);

    Browser()->MoveRow(unused_, 0);
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"Unused", "Stride", "Stride copy", "Idle", "Cast", "Run"}));
    EXPECT_EQ(Browser()->GetSelectedSequences(), std::vector<CollectionSequence*>{unused_});
}

TEST_F(SequencePageTest, DeletingAnOpenSequenceIsRefusedByName) {
    X256SequenceEdit* open = Browser()->OpenSequenceEditor(cast_);
    ASSERT_NE(open, nullptr);
    Select({idle_, cast_});
    Then(AnswerTopBox(0));
    Browser()->RunCommand(X256SequenceBrowser::kDeleteCommand);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The sequence \"Cast\" is currently open. Please close it before deleting.");
    EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(c_->sequences.size(), 4u);

    // A frame editor blocks it just as well.
    DestroyWindow(open);
    Browser()->OpenFrameEditor(cast_, 1, 1);
    Then(AnswerTopBox(0));
    Browser()->RunCommand(X256SequenceBrowser::kDeleteCommand);
    EXPECT_EQ(asked_.back().text, "The sequence \"Cast\" is currently open. Please close it before deleting.");
    EXPECT_EQ(c_->sequences.size(), 4u);
}

TEST_F(SequencePageTest, DeleteAsksWithTheRightEndingAndRemoves) {
    Select({idle_, unused_});
    Then(AnswerTopBox(1));  // Cancel
    Browser()->RunCommand(X256SequenceBrowser::kDeleteCommand);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Confirm Delete");
    EXPECT_EQ(asked_[0].text, "Are you sure you want to remove the selected sequences?");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Delete", "Cancel"}));
    EXPECT_EQ(c_->sequences.size(), 4u);
    EXPECT_FALSE(editor_->IsModified());

    Select({idle_});
    Then(AnswerTopBox(0));
    Browser()->RunCommand(X256SequenceBrowser::kDeleteCommand);
    EXPECT_EQ(asked_.back().text, "Are you sure you want to remove the selected sequence?");
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"Walk", "Cast", "Unused"}));
    EXPECT_EQ(RowNames(), SequenceNames());
    EXPECT_TRUE(editor_->IsModified());

    // The list's Delete key asks the same.
    Select({unused_});
    ActivateWindow(Browser(), kFocusByClick);
    Then(AnswerTopBox(0));
    Key(kKeyDelete);
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"Walk", "Cast"}));
}

TEST_F(SequencePageTest, EditorsAreRaisedNotDoubledAndGateTheOptimiser) {
    ElementBlocks& blocks = editor_->Blocks();
    X256SequenceEdit* first = Browser()->OpenSequenceEditor(walk_);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Browser()->OpenSequenceEditor(walk_), first);
    EXPECT_EQ(blocks.Count(ElementBlocks::kSequenceEditor), 1u);
    EXPECT_FALSE(MayRunOptimiser(blocks));
    // Activating a row opens its editor too.
    ActivateWindow(Browser(), kFocusByClick);
    Select({idle_});
    Key(kKeyEnter);
    ASSERT_EQ(Browser()->SequenceEditors().size(), 2u);
    EXPECT_EQ(Browser()->SequenceEditors()[1]->GetSequence(), idle_);
    EXPECT_STREQ(Browser()->SequenceEditors()[1]->GetTitle(), "Idle");

    X256SequenceFrameEdit* frame = Browser()->OpenFrameEditor(walk_, 2, 1);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Browser()->OpenFrameEditor(walk_, 2, 1), frame);
    EXPECT_NE(Browser()->OpenFrameEditor(walk_, 3, 1), frame);
    EXPECT_EQ(Browser()->FrameEditors().size(), 2u);

    for (Window* w : {static_cast<Window*>(first), static_cast<Window*>(Browser()->SequenceEditors()[1])})
        DestroyWindow(w);
    for (X256SequenceFrameEdit* w : Browser()->FrameEditors()) DestroyWindow(w);
    StepFrame();
    EXPECT_EQ(blocks.Count(), 0u);
    EXPECT_TRUE(MayRunOptimiser(blocks));
}

TEST_F(SequencePageTest, CountsStayWhileAFrameEditorOfTheSequenceIsOpen) {
    X256SequenceEdit* walk = Browser()->OpenSequenceEditor(walk_);
    X256SequenceEdit* cast = Browser()->OpenSequenceEditor(cast_);
    TextBox* frames = walk->GetFieldBox(kFramesField);
    TextBox* views = walk->GetFieldBox(kViewsField);
    EXPECT_TRUE(frames->IsEnabled());

    X256SequenceFrameEdit* frameEdit = Browser()->OpenFrameEditor(walk_, 0, 0);
    EXPECT_FALSE(frames->IsEnabled());
    EXPECT_FALSE(views->IsEnabled());
    EXPECT_TRUE(cast->GetFieldBox(kFramesField)->IsEnabled());
    // Even a count typed past the disabled box is refused.
    walk->GetFieldBox(kFramesField)->SetText("5");
    walk->GetFieldBox(kTicksField)->SetText("3");
    ActivateWindow(walk->GetFieldBox(kTicksField), kFocusByClick);
    Key(kKeyEnter);
    EXPECT_EQ(walk_->frame_count, 2);
    EXPECT_EQ(walk_->ticks_per_frame, 3);

    // An editor opened now starts with them disabled.
    DestroyWindow(walk);
    StepFrame();
    X256SequenceEdit* again = Browser()->OpenSequenceEditor(walk_);
    EXPECT_FALSE(again->GetFieldBox(kFramesField)->IsEnabled());

    // The frame editor moving to another sequence frees this one's counts
    // and holds the other's.
    frameEdit->SetSequence(cast_);
    EXPECT_TRUE(again->GetFieldBox(kViewsField)->IsEnabled());
    EXPECT_FALSE(cast->GetFieldBox(kViewsField)->IsEnabled());
    DestroyWindow(frameEdit);
    EXPECT_TRUE(cast->GetFieldBox(kViewsField)->IsEnabled());
}

TEST_F(SequencePageTest, ClosingTheEditorClosesEverySequenceWindow) {
    X256SequenceEdit* sequence = Browser()->OpenSequenceEditor(walk_);
    X256SequenceFrameEdit* frame = Browser()->OpenFrameEditor(idle_, 0, 0);
    EXPECT_EQ(editor_->Blocks().Count(), 2u);
    DestroyWindow(editor_);
    // Destroyed now, deleted at the next frame.
    EXPECT_TRUE(sequence->IsDestroyed());
    EXPECT_TRUE(frame->IsDestroyed());
    StepFrame();
}

}  // namespace
}  // namespace pirn_test
