#pragma once
// Lines of the "Codex" topic of the log.

namespace pirn {

// printf-style, formatted into a bounded string; level 0 records only,
// 1 and above also bring the Log Viewer forward at the topic.
void LogCodex(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

}  // namespace pirn
