#pragma once
// Lines of the "XML Definitions" topic of the log: definition elements that
// were refused, and slips in the ones that were kept, each with the file and
// line it came from.

#include "platform/printf_format.h"

namespace pirn {

constexpr const char* kXmlDefinitionTopic = "XML Definitions";

// "ERROR: <file> line <n>: <text>\n", printf-style text.
void LogXmlDefinitionError(const char* file, int line, const char* format, ...)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(3, 4)
#endif
    ;

// "WARNING: <file> line <n>: <text>\n": the element was kept.
void LogXmlDefinitionWarning(const char* file, int line, const char* format, ...)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(3, 4)
#endif
    ;

}  // namespace pirn
