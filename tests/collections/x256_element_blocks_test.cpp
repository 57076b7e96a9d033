// The record of which editor windows show which elements of a collection,
// and the rules read from it: deleting or replacing what a window shows,
// the optimiser's gate, and a sequence's counts while a frame editor of it
// is open.

#include "collections/x256_element_blocks.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

TEST(ElementBlocks, WindowsRegisterWhatTheyShowAndLeaveWithEverything) {
    ElementBlocks blocks;
    int notices = 0;
    blocks.SetObserver([&notices] { ++notices; });
    int bitmapA = 0, bitmapB = 0, hue = 0, windowA = 0, windowB = 0, hueWindow = 0;

    blocks.Add(ElementBlocks::kBitmapWindow, &bitmapA, &windowA);
    blocks.Add(ElementBlocks::kBitmapWindow, &bitmapA, &windowA);  // once only
    blocks.Add(ElementBlocks::kBitmapWindow, &bitmapB, &windowB);
    blocks.Add(ElementBlocks::kHueChangeEditor, &hue, &hueWindow);
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(blocks.Count(), 3u);
    EXPECT_EQ(blocks.Count(ElementBlocks::kBitmapWindow), 2u);
    EXPECT_EQ(blocks.FindWindow(ElementBlocks::kBitmapWindow, &bitmapB), &windowB);
    EXPECT_EQ(blocks.FindWindow(ElementBlocks::kHueChangeEditor, &bitmapB), nullptr);
    EXPECT_TRUE(blocks.Shows(ElementBlocks::kHueChangeEditor, &hue));
    EXPECT_EQ(blocks.Windows(ElementBlocks::kBitmapWindow), (std::vector<void*>{&windowA, &windowB}));

    int free = 0;
    std::vector<int*> candidates = {&free, &bitmapB, &bitmapA};
    EXPECT_EQ(blocks.FirstShown(ElementBlocks::kBitmapWindow, candidates), &bitmapB);
    EXPECT_EQ(blocks.FirstShown(ElementBlocks::kHueChangeEditor, candidates), nullptr);

    EXPECT_TRUE(blocks.Remove(&windowB));
    EXPECT_FALSE(blocks.Remove(&windowB));
    EXPECT_EQ(blocks.FirstShown(ElementBlocks::kBitmapWindow, candidates), &bitmapA);
    EXPECT_TRUE(blocks.ForgetElement(&bitmapA));
    EXPECT_EQ(blocks.Count(ElementBlocks::kBitmapWindow), 0u);
    EXPECT_EQ(notices, 5);
}

TEST(ElementBlocks, OpenEditorsGateTheOptimiserAndHoldSequences) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* walk = AddSequence(&c, "Walk");
    CollectionSequence* idle = AddSequence(&c, "Idle");
    int bitmapWindow = 0, hueEditor = 0, sequenceEditor = 0, frameEditor = 0, bitmap = 0, hue = 0;
    ElementBlocks blocks;
    EXPECT_TRUE(MayRunOptimiser(blocks));
    // A hue change being edited does not stop the optimiser.
    blocks.Add(ElementBlocks::kHueChangeEditor, &hue, &hueEditor);
    EXPECT_TRUE(MayRunOptimiser(blocks));

    const struct {
        ElementBlocks::Kind kind;
        const void* element;
        void* window;
    } gates[] = {
        {ElementBlocks::kBitmapWindow, &bitmap, &bitmapWindow},
        {ElementBlocks::kSequenceEditor, walk, &sequenceEditor},
        {ElementBlocks::kFrameEditor, idle, &frameEditor},
    };
    for (const auto& g : gates) {
        blocks.Add(g.kind, g.element, g.window);
        EXPECT_FALSE(MayRunOptimiser(blocks));
        blocks.Remove(g.window);
        EXPECT_TRUE(MayRunOptimiser(blocks));
    }

    // A sequence editor alone: the counts may change, deleting may not.
    blocks.Add(ElementBlocks::kSequenceEditor, walk, &sequenceEditor);
    EXPECT_TRUE(MayResizeSequence(blocks, walk));
    EXPECT_EQ(FirstOpenSequence(blocks, {idle, walk}), walk);
    blocks.Add(ElementBlocks::kFrameEditor, idle, &frameEditor);
    EXPECT_FALSE(MayResizeSequence(blocks, idle));
    EXPECT_TRUE(MayResizeSequence(blocks, walk));
    EXPECT_EQ(FirstOpenSequence(blocks, {idle, walk}), idle);
    blocks.Remove(&sequenceEditor);
    blocks.Remove(&frameEditor);
    EXPECT_EQ(FirstOpenSequence(blocks, {idle, walk}), nullptr);
    FreeCollection(&c);
}

}  // namespace
}  // namespace pirn
