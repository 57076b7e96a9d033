// The Log Viewer as the log handler: topics made on first use and kept in
// order, texts appended as they come, level 1 and above bringing the window
// forward, closing only hiding it, and the focus never left in a hidden box.

#include "ui/log_viewer.h"

#include <string>
#include <vector>

#include "platform/log_message.h"
#include "tests/ui/widget_fixture.h"
#include "ui/list_window.h"
#include "ui/splitter_window.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class LogViewerTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        previous_ = SetLogHandler(nullptr);
        InstallLogViewer();
    }
    void TearDown() override {
        SetLogHandler(previous_);
        WidgetTest::TearDown();
    }
    static std::string Text(const char* topic) {
        TextBox* box = GetLogViewer()->GetTopicBox(topic);
        return box ? box->GetText() : std::string("<none>");
    }
    LogHandler previous_;
};

TEST_F(LogViewerTest, WindowLooksAsMadeAndStartsHidden) {
    MessageLogWindow* log = GetLogViewer();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(GetLogViewer(), log) << "one instance";
    EXPECT_STREQ(log->GetTitle(), "Log Viewer");
    EXPECT_STREQ(log->GetClassName(), "MessageLogWindow");
    EXPECT_EQ(log->GetFlags() & ~u32(Window::kTakesFocus), 0x1D6Eu);
    EXPECT_FALSE(log->IsVisible());
    EXPECT_EQ(log->GetFrame(), MakeRect(32, 32, 600, 256));
    EXPECT_EQ(log->GetSplitter()->GetFrame(), log->GetClientRect());
    EXPECT_EQ(log->GetSplitter()->GetPane(0), log->GetTopicList());
    EXPECT_EQ(log->GetSplitter()->GetPaneMinimum(0), 128);
}

TEST_F(LogViewerTest, MessagesGoToTheirTopicsInOrder) {
    LogMessage(0, "Codex", "first %d\n", 1);
    LogMessage(0, "codex", "other\n");
    LogMessageText(0, "Codex", "second\n");
    EXPECT_EQ(Text("Codex"), "first 1\nsecond\n");
    EXPECT_EQ(Text("codex"), "other\n");
    EXPECT_FALSE(GetLogViewer()->IsVisible()) << "level 0 never shows the window";
    // The topic of the latest message is the one shown.
    EXPECT_EQ(GetLogViewer()->GetCurrentBox(), GetLogViewer()->GetTopicBox("Codex"));
}

TEST_F(LogViewerTest, TopicsAreSortedWhateverTheOrderOfFirstUse) {
    LogMessage(0, "Model Import", "a\n");
    LogMessage(0, "BuildCollection 10 (x)", "b\n");
    LogMessage(0, "Codex", "c\n");
    LogMessage(0, "BuildCollection 9 (y)", "d\n");
    ListWindow* list = GetLogViewer()->GetTopicList();
    std::vector<std::string> names;
    for (ListItem* row = list->FirstRow(); row; row = list->NextRow(row)) names.push_back(row->text);
    EXPECT_EQ(names, (std::vector<std::string>{"BuildCollection 10 (x)", "BuildCollection 9 (y)", "Codex",
                                               "Model Import"}));
    ASSERT_NE(list->GetSelectedItem(), nullptr);
    EXPECT_EQ(list->GetSelectedItem()->text, "BuildCollection 9 (y)") << "the newest topic";
}

TEST_F(LogViewerTest, ClosedByTheUserItComesBackWithEverything) {
    LogMessage(1, "Codex", "ERROR: one\n");
    MessageLogWindow* log = GetLogViewer();
    EXPECT_TRUE(log->IsVisible());
    EXPECT_TRUE(log->GetTopicBox("Codex")->HasFocus());
    EXPECT_FALSE(log->Close(1));
    EXPECT_FALSE(log->IsVisible());
    StepFrame();
    ASSERT_EQ(GetLogViewer(), log) << "only hidden, never destroyed by the user";
    LogMessage(0, "Codex", "two\n");
    EXPECT_FALSE(log->IsVisible());
    LogMessage(2, "Other", "x\n");
    EXPECT_TRUE(log->IsVisible()) << "level 2 shows it as level 1 does";
    LogMessage(1, "Codex", "three\n");
    EXPECT_EQ(Text("Codex"), "ERROR: one\ntwo\nthree\n");
    EXPECT_EQ(log->GetCurrentBox(), log->GetTopicBox("Codex"));
    ASSERT_NE(log->GetTopicList()->GetSelectedItem(), nullptr);
    EXPECT_EQ(log->GetTopicList()->GetSelectedItem()->text, "Codex");
}

TEST_F(LogViewerTest, TypingIsNeverSwallowedByAHiddenBox) {
    auto* owner = new ProbeWindow(Window::kVisible, nullptr, "owner");
    SetFrame(owner, Rect{300, 300, 600, 500});
    TextBox* field = new TextBox(TextBox::kTextField, owner);
    ActivateWindow(field, kFocusByProgram);
    LogMessage(0, "A", "a\n");
    LogMessage(0, "B", "b\n");
    HandleCharInput('x', 1);
    DrainEventQueue();
    EXPECT_EQ(field->GetText(), "x") << "messages to a hidden viewer leave the focus alone";

    // Shown, the viewer's focus goes to the visible topic text, never to a
    // hidden one.
    ShowLogViewer();
    MessageLogWindow* log = GetLogViewer();
    ASSERT_TRUE(log->GetTopicBox("B")->HasFocus());
    LogMessage(0, "A", "more\n");  // A becomes current: the focus follows it
    EXPECT_TRUE(log->GetTopicBox("A")->HasFocus());
    EXPECT_FALSE(log->GetTopicBox("B")->IsVisible());
    ActivateWindow(field, kFocusByProgram);
    ActivateWindow(log, kFocusByProgram);
    Window* focus = GetFocusWindow();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus->IsShownOnScreen());

    // A level-1 message to a viewer already on screen brings it to the
    // front but leaves the typing where it was.
    ActivateWindow(field, kFocusByProgram);
    LogMessage(1, "B", "note\n");
    EXPECT_TRUE(field->HasFocus());
}

TEST_F(LogViewerTest, PickingATopicShowsItsText) {
    LogMessage(0, "A", "alpha\n");
    LogMessage(1, "B", "beta\n");
    MessageLogWindow* log = GetLogViewer();
    ListWindow* list = log->GetTopicList();
    const Point o = list->GetClientOrigin();
    Click(o.x + 20, o.y + list->GetRowHeight() / 2);  // row 0: "A"
    EXPECT_EQ(log->GetCurrentBox(), log->GetTopicBox("A"));
    EXPECT_TRUE(log->GetTopicBox("A")->HasFocus());
    EXPECT_TRUE(log->GetTopicBox("A")->IsShownOnScreen());
    EXPECT_FALSE(log->GetTopicBox("B")->IsVisible());
    EXPECT_EQ(log->GetSplitter()->GetPane(1), log->GetTopicBox("A"));
    Key(kKeyDown);  // the keyboard reaches the text now, not the list
    EXPECT_EQ(log->GetCurrentBox(), log->GetTopicBox("A"));
}

TEST_F(LogViewerTest, LongLogsKeepEveryCharacter) {
    const std::string line(100, 'z');
    for (int i = 0; i < 300; ++i) LogMessage(0, "Big", "%s %d\n", line.c_str(), i);
    TextBox* box = GetLogViewer()->GetTopicBox("Big");
    EXPECT_GT(box->GetLength(), 30000);
    EXPECT_EQ(box->GetLineCount(), 301);
    EXPECT_EQ(box->GetLine(299), line + " 299");
    // The view follows the end.
    EXPECT_EQ(box->GetScrollY(), box->GetScrollRangeY() - box->GetScrollPageY());
}

TEST_F(LogViewerTest, ClosedByTheProgramTheNextMessageMakesANewWindow) {
    LogMessage(0, "Codex", "old\n");
    MessageLogWindow* log = GetLogViewer();
    EXPECT_TRUE(log->Close(0));
    LogMessage(0, "Codex", "new\n");  // before the deferred delete
    EXPECT_NE(GetLogViewer(), log);
    StepFrame();
    EXPECT_EQ(Text("Codex"), "new\n");
}

TEST_F(LogViewerTest, WithoutAWindowSystemMessagesGoToStderr) {
    ResetWindowSystem();
    EXPECT_EQ(GetLogViewer(), nullptr);
    testing::internal::CaptureStderr();
    ShowLogMessage(1, "Codex", "lost?\n");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("lost?"), std::string::npos);
}

}  // namespace
}  // namespace pirn_test
