#pragma once
// The start-up log: one line per start-up and shutdown step, so that a
// start that ends early shows how far it got. Each run starts the file
// afresh; every line is flushed at once, because the process may end
// abruptly right after it.

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/printf_format.h"

namespace pirn {

constexpr char kStartupLogFileName[] = "pirn_log.txt";

class StartupLog {
public:
    explicit StartupLog(std::string path);
    ~StartupLog();
    StartupLog(const StartupLog&) = delete;
    StartupLog& operator=(const StartupLog&) = delete;

    // Formats one line (any length), creating the file at the first call
    // (an older one is emptied), and writes it with a line end. False when
    // the file cannot be created or the line cannot be written.
    bool Write(const char* format, ...) PIRN_PRINTF_FORMAT(2, 3);
    bool WriteV(const char* format, va_list args) PIRN_PRINTF_FORMAT(2, 0);

    bool IsOpen() const { return file_ != nullptr; }
    void Close();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

// Called when the program's log cannot be created; expected not to return
// (the program cannot report its start-up without it).
using StartupLogFailureHandler = void (*)(const std::string& path);
void SetStartupLogFailureHandler(StartupLogFailureHandler handler);

// One line to "pirn_log.txt" in the working folder. When the file cannot be
// created, the failure handler runs; without one the line is dropped.
void WriteLog(const char* format, ...) PIRN_PRINTF_FORMAT(1, 2);

// Closes the program's log (the next WriteLog starts it afresh).
void CloseStartupLog();

}  // namespace pirn
