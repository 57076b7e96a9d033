#include "platform/log_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/log_capture.h"

namespace pirn {
namespace {

TEST(LogMessage, TextsOfOneTopicStandInCallOrderWithNothingBetween) {
    ScopedLogCapture log;
    LogMessage(0, "Codex", "ERROR: %s could not be opened\n", "tags/a.arc");
    LogMessage(1, "Model Import", "INFO: %d meshes\n", 3);
    LogMessage(2, "Codex", "WARNING: %u entries skipped\n", 2u);
    EXPECT_EQ(log.TopicText("Codex"),
              "ERROR: tags/a.arc could not be opened\nWARNING: 2 entries skipped\n");
    EXPECT_EQ(log.TopicText("codex"), "");  // topics compare exactly
    ASSERT_EQ(log.messages().size(), 3u);
    EXPECT_EQ(log.messages()[0].level, 0);
    EXPECT_EQ(log.messages()[1].level, 1);
    EXPECT_EQ(log.messages()[1].topic, "Model Import");
    EXPECT_EQ(log.messages()[2].level, 2);
    EXPECT_TRUE(log.Contains("3 meshes"));
}

TEST(LogMessage, LongOutputIsCutNotRefused) {
    ScopedLogCapture log;
    std::string long_text(10000, 'x');
    LogMessage(0, "T", "%s", long_text.c_str());
    std::string exact(kLogMessageBufferSize - 1, 'y');
    LogMessage(0, "T", "%s", exact.c_str());
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0].text, std::string(kLogMessageBufferSize - 1, 'x'));
    EXPECT_EQ(log.messages()[1].text, exact);

    // Unformatted text reaches the handler whole.
    LogMessageText(0, "T", long_text);
    EXPECT_EQ(log.messages()[2].text, long_text);
}

TEST(LogMessage, HandlersNestAndTheDefaultWritesToStderr) {
    std::vector<std::string> outer_seen;
    LogHandler before =
        SetLogHandler([&](i32, const std::string& topic, const std::string& text) {
            outer_seen.push_back(topic + ":" + text);
        });
    {
        ScopedLogCapture inner;
        LogMessage(0, "A", "one");
        EXPECT_EQ(inner.messages().size(), 1u);
    }
    LogMessage(0, "B", "two");
    EXPECT_EQ(outer_seen, (std::vector<std::string>{"B:two"}));

    SetLogHandler(LogHandler());  // back to the default
    testing::internal::CaptureStderr();
    LogMessage(1, "Codex", "INFO: %s\n", "ready");
    LogMessageText(0, "Codex", "no line end");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Codex] INFO: ready\n[Codex] no line end\n");
    SetLogHandler(before);
}

TEST(LogMessage, AHandlerMayReplaceItselfWhileItRuns) {
    ScopedLogCapture log;
    int calls = 0;
    LogHandler capture = SetLogHandler([&](i32, const std::string&, const std::string&) {
        ++calls;
        SetLogHandler(capture);  // destroys this handler's stored copy
    });
    LogMessage(0, "T", "first");
    LogMessage(0, "T", "second");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log.TopicText("T"), "second");
}

}  // namespace
}  // namespace pirn
