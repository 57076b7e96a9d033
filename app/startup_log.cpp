#include "app/startup_log.h"

#include <utility>
#include <vector>

namespace pirn {

namespace {

// The whole text, whatever its length, with a line end.
std::string FormatLine(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return "\n";
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    std::string line(buffer.data(), static_cast<size_t>(length));
    line += '\n';
    return line;
}

}  // namespace

StartupLog::StartupLog(std::string path) : path_(std::move(path)) {}

StartupLog::~StartupLog() { Close(); }

void StartupLog::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool StartupLog::Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = WriteV(format, args);
    va_end(args);
    return ok;
}

bool StartupLog::WriteV(const char* format, va_list args) {
    if (!file_) {
        file_ = std::fopen(path_.c_str(), "wb");  // "\n" line ends on Windows too
        if (!file_) return false;
    }
    std::string line = FormatLine(format, args);
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size();
    return std::fflush(file_) == 0 && written;
}

namespace {

StartupLog& ProgramLog() {
    static StartupLog log(kStartupLogFileName);
    return log;
}

StartupLogFailureHandler g_failureHandler = nullptr;

}  // namespace

void SetStartupLogFailureHandler(StartupLogFailureHandler handler) { g_failureHandler = handler; }

void WriteLog(const char* format, ...) {
    StartupLog& log = ProgramLog();
    const bool wasOpen = log.IsOpen();
    va_list args;
    va_start(args, format);
    log.WriteV(format, args);
    va_end(args);
    if (!wasOpen && !log.IsOpen() && g_failureHandler) g_failureHandler(log.path());
}

void CloseStartupLog() { ProgramLog().Close(); }

}  // namespace pirn
