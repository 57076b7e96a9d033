#pragma once
// Records every log message while it lives, instead of passing it on, and
// puts the earlier handler back when it goes. Tests use it to see what an
// operation logged.
//
//   ScopedLogCapture log;
//   RunSomething();
//   EXPECT_EQ(log.TopicText("Codex"), "ERROR: ...\n");

#include <string>
#include <vector>

#include "platform/log_message.h"

namespace pirn {

struct LoggedMessage {
    i32 level = 0;
    std::string topic;
    std::string text;
};

class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    const std::vector<LoggedMessage>& messages() const { return messages_; }
    // Every text of the topic in order, joined without separators, as the
    // Log Viewer would show it.
    std::string TopicText(const std::string& topic) const;
    // Whether any message's text holds the fragment.
    bool Contains(const std::string& fragment) const;
    void Clear() { messages_.clear(); }

private:
    LogHandler previous_;
    std::vector<LoggedMessage> messages_;
};

}  // namespace pirn
