#include "codex/codex_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#if __has_include("ui/log_message.h")
#include "ui/log_message.h"
#define PIRN_HAVE_LOG_MESSAGE 1
#endif

namespace pirn {

void LogCodex(int level, const char* format, ...) {
    char buffer[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
#ifdef PIRN_HAVE_LOG_MESSAGE
    LogMessageText(level, "Codex", buffer);
#else
    (void)level;
    std::fputs(buffer, stderr);
#endif
}

}  // namespace pirn
