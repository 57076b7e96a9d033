#pragma once
// The one entry point for user-facing messages of long operations (the
// Codex, importers, collection builders). Each message goes to a topic of
// the log; the handler (the Log Viewer, once the window system runs) shows
// it. Until a handler is installed, messages go to stderr.

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/types.h"
#include "platform/printf_format.h"

namespace pirn {

// Formatted messages are cut to this many bytes, NUL included.
constexpr size_t kLogMessageBufferSize = 4096;

// level 0 records the text in its topic only; 1 and above also bring the
// Log Viewer forward at that topic. Topics compare exactly (case counts).
// The text is appended to its topic as it is: callers end their lines.
using LogHandler =
    std::function<void(i32 level, const std::string& topic, const std::string& text)>;

// printf-style; output longer than 4,095 characters is cut, not refused.
void LogMessage(i32 level, const std::string& topic, const char* format, ...)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(3, 4)
#endif
    ;
void LogMessageV(i32 level, const std::string& topic, const char* format, va_list args)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(3, 0)
#endif
    ;

// Hands the three values to the handler unchanged.
void LogMessageText(i32 level, const std::string& topic, const std::string& text);

// Installs the handler and returns the one it replaces. An empty handler
// brings back the default, which writes to stderr.
LogHandler SetLogHandler(LogHandler handler);

// "[topic] text" on stderr (a line end added when the text has none).
void WriteLogMessageToStderr(i32 level, const std::string& topic, const std::string& text);

}  // namespace pirn
