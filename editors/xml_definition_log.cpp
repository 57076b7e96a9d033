#include "editors/xml_definition_log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/log_message.h"

namespace pirn {

void LogXmlDefinitionError(const char* file, int line, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    LogMessage(1, kXmlDefinitionTopic, "ERROR: %s line %d: %s\n", file, line, text);
}

}  // namespace pirn
