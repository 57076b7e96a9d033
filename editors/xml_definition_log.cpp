#include "editors/xml_definition_log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/log_message.h"

namespace pirn {

namespace {

void LogXmlDefinitionLine(const char* kind, const char* file, int line, const char* format, va_list args)
#if defined(__GNUC__)
    PIRN_PRINTF_FORMAT(4, 0)
#endif
    ;

void LogXmlDefinitionLine(const char* kind, const char* file, int line, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    LogMessage(1, kXmlDefinitionTopic, "%s: %s line %d: %s\n", kind, file, line, text);
}

}  // namespace

void LogXmlDefinitionError(const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogXmlDefinitionLine("ERROR", file, line, format, args);
    va_end(args);
}

void LogXmlDefinitionWarning(const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogXmlDefinitionLine("WARNING", file, line, format, args);
    va_end(args);
}

}  // namespace pirn
