#include "platform/log_message.h"

#include <cstdio>
#include <utility>

namespace pirn {

namespace {

LogHandler& InstalledHandler() {
    static LogHandler handler;
    return handler;
}

}  // namespace

void LogMessageV(i32 level, const std::string& topic, const char* format, va_list args) {
    char buffer[kLogMessageBufferSize];
    buffer[0] = '\0';
    if (format != nullptr && std::vsnprintf(buffer, sizeof buffer, format, args) < 0) {
        buffer[0] = '\0';  // an encoding error leaves nothing worth showing
    }
    LogMessageText(level, topic, buffer);
}

void LogMessage(i32 level, const std::string& topic, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogMessageV(level, topic, format, args);
    va_end(args);
}

void LogMessageText(i32 level, const std::string& topic, const std::string& text) {
    // A copy, so that a handler may replace itself while it runs.
    LogHandler handler = InstalledHandler();
    if (handler) {
        handler(level, topic, text);
    } else {
        WriteLogMessageToStderr(level, topic, text);
    }
}

LogHandler SetLogHandler(LogHandler handler) {
    LogHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}

void WriteLogMessageToStderr(i32 level, const std::string& topic, const std::string& text) {
    bool ends_line = !text.empty() && text.back() == '\n';
    std::fprintf(stderr, "[%s] %s%s", topic.c_str(), text.c_str(), ends_line ? "" : "\n");
}

}  // namespace pirn
