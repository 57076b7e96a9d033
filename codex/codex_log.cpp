#include "codex/codex_log.h"

#include <cstdarg>

#include "platform/log_message.h"

namespace pirn {

void LogCodex(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogMessageV(level, "Codex", format, args);
    va_end(args);
}

}  // namespace pirn
