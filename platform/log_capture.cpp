#include "platform/log_capture.h"

#include <utility>

namespace pirn {

ScopedLogCapture::ScopedLogCapture() {
    previous_ = SetLogHandler([this](i32 level, const std::string& topic, const std::string& text) {
        messages_.push_back(LoggedMessage{level, topic, text});
    });
}

ScopedLogCapture::~ScopedLogCapture() { SetLogHandler(std::move(previous_)); }

std::string ScopedLogCapture::TopicText(const std::string& topic) const {
    std::string joined;
    for (const LoggedMessage& message : messages_) {
        if (message.topic == topic) joined += message.text;
    }
    return joined;
}

bool ScopedLogCapture::Contains(const std::string& fragment) const {
    for (const LoggedMessage& message : messages_) {
        if (message.text.find(fragment) != std::string::npos) return true;
    }
    return false;
}

}  // namespace pirn
