#pragma once
// Lines of the "Codex" topic of the log.

#include "platform/printf_format.h"

namespace pirn {

// printf-style, formatted into a bounded string; level 0 records only,
// 1 and above also bring the Log Viewer forward at the topic.
void LogCodex(int level, const char* format, ...)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(2, 3)
#endif
    ;

}  // namespace pirn
