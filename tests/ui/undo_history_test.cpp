#include "ui/undo_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirn {
namespace {

// Appends or removes one letter of a shared string; counts live actions.
struct Doc {
    std::string text;
    int live = 0;
    bool fail_apply = false;
};

class AddLetter : public UndoableAction {
public:
    AddLetter(Doc& d, char c) : doc_(d), c_(c) { ++doc_.live; }
    ~AddLetter() override { --doc_.live; }
    bool Apply() override {
        if (doc_.fail_apply) return false;
        doc_.text.push_back(c_);
        return true;
    }
    void Undo() override { doc_.text.pop_back(); }

private:
    Doc& doc_;
    char c_;
};

TEST(UndoHistoryTest, FreshHistoryHasNothingToUndoOrRedo) {
    UndoHistory h;
    EXPECT_EQ(h.count, 1u);
    EXPECT_EQ(h.limit, -1);
    EXPECT_FALSE(UndoStep(h));
    EXPECT_FALSE(RedoStep(h));
}

TEST(UndoHistoryTest, PushUndoRedoAndTheSentinelIsNeverUndone) {
    Doc d;
    UndoHistory h;
    EXPECT_TRUE(PushUndoAction(h, new AddLetter(d, 'a'), false));
    EXPECT_EQ(d.text, "a");
    EXPECT_TRUE(UndoStep(h));
    EXPECT_FALSE(UndoStep(h));
    EXPECT_EQ(d.text, "");
    EXPECT_TRUE(RedoStep(h));
    EXPECT_FALSE(RedoStep(h));
    EXPECT_EQ(d.text, "a");

    // An action applied by the caller is not applied again.
    d.text += "b";
    EXPECT_TRUE(PushUndoAction(h, new AddLetter(d, 'b'), true));
    EXPECT_EQ(d.text, "ab");
    EXPECT_EQ(h.count, 3u);
}

TEST(UndoHistoryTest, NewActionCutsOffTheRedoTail) {
    Doc d;
    {
        UndoHistory h;
        PushUndoAction(h, new AddLetter(d, 'a'), false);
        PushUndoAction(h, new AddLetter(d, 'b'), false);
        UndoStep(h);
        PushUndoAction(h, new AddLetter(d, 'c'), false);
        EXPECT_EQ(d.live, 2);  // 'b' was deleted
        EXPECT_EQ(h.count, 3u);
        EXPECT_FALSE(RedoStep(h));
        EXPECT_EQ(d.text, "ac");
    }
    EXPECT_EQ(d.live, 0);  // the history deletes what it owns
}

TEST(UndoHistoryTest, FailedApplyDeletesTheActionAndChangesNothing) {
    Doc d;
    UndoHistory h;
    PushUndoAction(h, new AddLetter(d, 'a'), false);
    d.fail_apply = true;
    EXPECT_FALSE(PushUndoAction(h, new AddLetter(d, 'b'), false));
    EXPECT_EQ(d.live, 1);
    EXPECT_EQ(h.count, 2u);
    EXPECT_TRUE(UndoStep(h));
    EXPECT_EQ(d.text, "");
}

TEST(UndoHistoryTest, RedoThatFailsStaysPut) {
    Doc d;
    UndoHistory h;
    PushUndoAction(h, new AddLetter(d, 'a'), false);
    PushUndoAction(h, new AddLetter(d, 'b'), false);
    UndoStep(h);
    d.fail_apply = true;
    EXPECT_FALSE(RedoStep(h));
    // The next undo undoes 'a', not the 'b' that was never redone.
    EXPECT_TRUE(UndoStep(h));
    EXPECT_EQ(d.text, "");
    d.fail_apply = false;
    EXPECT_TRUE(RedoStep(h));
    EXPECT_TRUE(RedoStep(h));
    EXPECT_EQ(d.text, "ab");
}

TEST(UndoHistoryTest, ClearAndFree) {
    Doc d;
    UndoHistory h;
    PushUndoAction(h, new AddLetter(d, 'a'), false);
    PushUndoAction(h, new AddLetter(d, 'b'), false);
    UndoStep(h);
    ClearUndoHistory(h);
    EXPECT_EQ(d.live, 0);
    EXPECT_EQ(h.count, 1u);
    EXPECT_FALSE(UndoStep(h));
    EXPECT_FALSE(RedoStep(h));
    EXPECT_TRUE(PushUndoAction(h, new AddLetter(d, 'c'), false));
    EXPECT_TRUE(UndoStep(h));

    FreeUndoHistory(h);
    EXPECT_EQ(h.count, 0u);
    EXPECT_EQ(h.first, nullptr);
    EXPECT_EQ(d.live, 0);
    EXPECT_FALSE(UndoStep(h));
    EXPECT_FALSE(RedoStep(h));
}

}  // namespace
}  // namespace pirn
