// The start-up seam on the headless window system: its log lines in order,
// and the Log Viewer installed as the log handler, so that a message asking
// for attention after start-up brings the window forward.

#include "app/ui/startup_seam.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/startup_log.h"
#include "platform/log_message.h"
#include "tests/support/test_support.h"
#include "tests/ui/widget_fixture.h"
#include "ui/log_viewer.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class StartupSeamTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        previous_ = SetLogHandler(nullptr);
        ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr);
        ASSERT_EQ(::chdir(dir_.path().c_str()), 0);  // the start-up log goes here
    }
    void TearDown() override {
        StopProgramTools();
        CloseStartupLog();
        EXPECT_EQ(::chdir(cwd_), 0);
        SetLogHandler(previous_);
        WidgetTest::TearDown();
    }
    std::string LogText() const {
        const std::vector<uint8_t> bytes = ReadAll(dir_.file(kStartupLogFileName));
        return std::string(bytes.begin(), bytes.end());
    }
    TempDir dir_;
    char cwd_[4096] = {};
    LogHandler previous_;
};

TEST_F(StartupSeamTest, LogsItsStepsAndInstallsTheLogViewer) {
    StartProgramTools();
    EXPECT_EQ(LogText(),
              "Window System Initialized\nXML Editors Initialized\nCodex Initialized\nArchive Browser Opened\n");

    // Level 0 only records; level 1 shows the window at its topic.
    LogMessage(0, "Codex", "quiet\n");
    MessageLogWindow* viewer = GetLogViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->IsVisible());
    LogMessage(1, "Codex", "ERROR: %s\n", "loud");
    EXPECT_TRUE(viewer->IsVisible());
    ASSERT_NE(viewer->GetTopicBox("Codex"), nullptr);
    EXPECT_EQ(viewer->GetTopicBox("Codex")->GetText(), "quiet\nERROR: loud\n");
    EXPECT_EQ(viewer->GetCurrentBox(), viewer->GetTopicBox("Codex"));
}

}  // namespace
}  // namespace pirn_test
