// The sequence browser's commands without its window: new, duplicate and
// delete, their limits, and the texts of their boxes.

#include "collections/sequence_commands.h"

#include <gtest/gtest.h>

#include "collections/sequence_properties.h"

namespace pirn {
namespace {

std::vector<std::string> Names(const Collection& c) {
    std::vector<std::string> names;
    for (const auto& s : c.sequences) names.push_back(s->name);
    return names;
}

TEST(SequenceCommands, DuplicateIsADeepCopyRightAfterItsSource) {
    Collection c;
    InitCollection(&c);
    const u8 pixels[2] = {255, 2};
    CollectionBitmap* knight = AddCollectionBitmap(&c, "Knight", 0, pixels, 1, 1, 2, nullptr);
    AddSequence(&c, "Idle");
    CollectionSequence* walk = AddSequence(&c, "Walk");
    AddSequence(&c, "Cast");
    ResizeSequence(walk, 3, 2);
    walk->flags |= kSequenceMirroring;
    walk->ticks_per_frame = 4;
    walk->sounds[1] = SoundIdFromText("step");
    walk->box_radius = 7 * kFixedOne;
    walk->frames[1].instances[2].standard.bitmap = knight;
    walk->frames[1].instances[2].standard.x = 9;
    walk->frames[1].shadow = knight;
    walk->frames[1].record.shadow_x = 13107;

    CollectionSequence* copy = DuplicateSequence(&c, walk);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Names(c), (std::vector<std::string>{"Idle", "Walk", "Walk copy", "Cast"}));
    EXPECT_EQ(copy->flags, walk->flags);
    EXPECT_EQ(copy->ticks_per_frame, 4);
    EXPECT_EQ(copy->sounds[1], walk->sounds[1]);
    EXPECT_EQ(copy->box_radius, 7 * i32(kFixedOne));
    ASSERT_EQ(copy->frames.size(), 2u);
    EXPECT_EQ(copy->frames[1].instances[2].standard.bitmap, knight);
    EXPECT_EQ(copy->frames[1].shadow, knight);
    EXPECT_EQ(copy->frames[1].record.shadow_x, 13107);
    EXPECT_EQ(copy->frames[1].view_indices, walk->frames[1].view_indices);
    copy->frames[1].instances[2].standard.x = 1;  // the copy's own
    EXPECT_EQ(walk->frames[1].instances[2].standard.x, 9);

    // A name of 63 characters gives a copy name of 63.
    SetElementName(walk->name, std::string(63, 'w').c_str());
    CollectionSequence* long_copy = DuplicateSequence(&c, walk);
    ASSERT_NE(long_copy, nullptr);
    EXPECT_EQ(std::string(long_copy->name), std::string(63, 'w'));
    EXPECT_EQ(FindSequence(c, long_copy), 2u);

    CollectionSequence stray;
    InitSequence(&stray, "Stray");
    EXPECT_EQ(DuplicateSequence(&c, &stray), nullptr);
}

TEST(SequenceCommands, NewAndCopiesStopAtTheIndexLimit) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* first = AddNewSequence(&c);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "New Sequence");
    EXPECT_EQ(first->view_count, 1);
    EXPECT_EQ(first->frame_count, 1);
    ResizeSequence(first, 2, 32767);  // 65,534 instances: the most there may be
    EXPECT_EQ(AddNewSequence(&c), nullptr);
    EXPECT_EQ(DuplicateSequence(&c, first), nullptr);
    ResizeSequence(first, 2, 16000);
    EXPECT_NE(DuplicateSequence(&c, first), nullptr);
    EXPECT_EQ(DuplicateSequence(&c, first), nullptr);
    EXPECT_EQ(c.sequences.size(), 2u);
}

TEST(SequenceCommands, DeleteAndItsTexts) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* a = AddSequence(&c, "A");
    CollectionSequence* b = AddSequence(&c, "B");
    AddSequence(&c, "C");
    EXPECT_EQ(DeleteSequences(&c, {a, b}), 2u);
    EXPECT_EQ(Names(c), std::vector<std::string>{"C"});
    CollectionSequence stray;
    EXPECT_EQ(DeleteSequences(&c, {&stray}), 0u);

    EXPECT_EQ(SequenceDeleteQuestion(1), "Are you sure you want to remove the selected sequence?");
    EXPECT_EQ(SequenceDeleteQuestion(2), "Are you sure you want to remove the selected sequences?");
    CollectionSequence walk;
    InitSequence(&walk, "Walk");
    EXPECT_EQ(SequenceOpenText(walk), "The sequence \"Walk\" is currently open. Please close it before deleting.");
}

}  // namespace
}  // namespace pirn
